// The pad's grand staff: the entered notes drawn as music, a treble and a bass staff joined by a
// brace, systems wrapping to the width and scrolling vertically. The notes come from a TNoteList
// the window owns; the view lays them out once per notesChanged() and paints from that layout.
#pragma once

#include <QtGui/QPolygonF>
#include <QtWidgets/QAbstractScrollArea>
#include <cstdint>
#include <memory>
#include <vector>

#include "note_list.h"

namespace keymora::pad {

/// Layout constants, in logical pixels (device independent). Rows and columns below are counted
/// from the top left of the document (the view scrolled to 0, 0); a line "at row r" covers the
/// pixel row r at device pixel ratio 1, and rows 2r and 2r+1 at ratio 2.
namespace staff {
/// Distance between two staff lines, the unit of every glyph.
constexpr int Space = 8;
/// Empty rows above the first system and below the last.
constexpr int TopMargin = 8;
constexpr int BottomMargin = 8;
/// One system (treble and bass staff): 40 rows of room for ledger lines above the treble staff,
/// the treble staff (4 spaces), a gap of 6 spaces, the bass staff, 40 rows below it.
constexpr int SystemHeight = 192;
/// Top line of each staff from the top of its system; the five lines of a staff lie at
/// Top + 0, 8, 16, 24, 32. The top of system s is TopMargin + s * SystemHeight.
constexpr int TrebleTop = 40;
constexpr int BassTop = 120;
/// The system line (the vertical line joining the staves): a 1 pixel column. The brace lies
/// left of it, in columns 7 .. 19; the staff lines run from it to the width minus RightMargin.
constexpr int SystemLineX = 20;
constexpr int RightMargin = 8;
/// Clef glyph origins: the G clef's curl is centred at column 36 on the G line (row TrebleTop +
/// 24), the F clef's dot at column 28 on the F line (row BassTop + 8).
constexpr int TrebleClefX = 36;
constexpr int BassClefX = 28;
/// Room taken by the clefs after the system line, and by the time signature after them (first
/// system only, numbers centred in it).
constexpr int ClefWidth = 36;
constexpr int TimeWidth = 24;
/// From a bar line (or the start of the bars) to the first piece of the bar.
constexpr int BarLead = 12;
/// Extra room before a piece that shows an accidental.
constexpr int AccidentalRoom = 12;
/// Width of a note head (quarter, half); a whole note's head is 13. A head's centre is
/// HeadWidth / 2 right of where its piece starts (after any AccidentalRoom).
constexpr int HeadWidth = 10;
/// The room each piece takes, by duration 0 = whole .. 7 = 1/128. A bar is BarLead plus its
/// pieces; systems other than the last are stretched to the width, each piece in proportion.
constexpr int Advance[8] = {48, 34, 26, 20, 18, 18, 18, 18};
/// Stems: 1 pixel wide, 3.5 spaces (28 rows) from the head's centre, on the head's right going
/// up for notes below the middle line, on its left going down from the middle line up; a note
/// beyond the staff has its stem reach the middle line. Up stems occupy column centre + 4,
/// down stems column centre - 5. Flags (1/8 .. 1/128: 1 .. 5) stack 0.8 space apart from the
/// stem's end; from the third flag on, the stem grows by 0.8 space a flag.
constexpr int StemLength = 28;
/// Rests stand on the staff of the note before them (of the first note, for opening rests),
/// centred HeadWidth / 2 into their piece: the whole rest hangs from the second line, the half
/// sits on the middle one. Ties lie on the side away from the stem, 6 rows from the heads'
/// centres, from 6 columns after one head to 6 before the next (or the system's end).
/// Entries below the split (setSplit) go on the bass staff, the rest on the treble staff.
}  // namespace staff

/// The grand staff of a note list. It never takes the keyboard focus: the PC keys keep playing
/// the keyboard beside it, and the window handles the arrow keys.
class StaffView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit StaffView(QWidget* Parent = nullptr);
    ~StaffView() override;

    /// The notes to draw (not owned; null for none). Lays them out.
    void setNotes(const TNoteList* Notes);
    /// Lays the notes out again after any edit, the meter included.
    void notesChanged();
    /// The selected entry (-1 none): blue, on a light highlight.
    void setSelection(int Entry);
    int selection() const { return Selection_; }
    /// The sounding entry (-1 none): orange.
    void setPlaying(int Entry);
    int playing() const { return Playing_; }
    /// Where the next note goes, 0 .. size: a thin caret before that entry (after the last).
    /// The view scrolls to keep it, and the selection, in sight.
    void setEntryPoint(int Entry);
    int entryPoint() const { return EntryPoint_; }
    /// Notes below this MIDI number go on the bass staff (60: middle C on the treble staff).
    void setSplit(int Midi = 60);
    int split() const { return Split_; }

    /// The entry's first head (a rest's glyph) in viewport coordinates; empty for no such entry.
    QRect headRect(int Entry) const;
    /// The entry whose head or rest is at a viewport point; -1 for none.
    int entryAt(QPoint Point) const;
    /// Height of the whole document as laid out, and the number of systems.
    int documentHeight() const;
    int systemCount() const { return static_cast<int>(Systems_.size()); }
    /// The system (from 0) that holds an entry's first piece; -1 for none.
    int systemOf(int Entry) const;

    QSize sizeHint() const override;

signals:
    /// A click on a note or a rest (its entry), or on empty space (-1).
    void entryClicked(int Entry);

protected:
    void paintEvent(QPaintEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void scrollContentsBy(int Dx, int Dy) override;

private:
    // One piece as laid out: document coordinates of its head's centre (of a rest's glyph).
    struct Placed {
        float X = 0;       // head centre
        float Left = 0;    // where the piece starts, accidental included
        float Right = 0;   // where the next piece starts
        float Y = 0;       // head centre row (centre of the line or space), or the staff's top
        int Entry = 0;
        int System = 0;
        std::int8_t Position = 0;  // half spaces below the staff's top line
        std::uint8_t Duration = 0;
        TAccidental Sign = TAccidental::None;
        bool Rest = false;
        bool Bass = false;
        bool StemUp = false;
        bool TieToNext = false;
        bool TieFromPrevious = false;
    };
    struct BarLine {
        float X = 0;
        int System = 0;
    };
    struct System {
        int FirstPiece = 0, EndPiece = 0;
        int FirstBar = 0, EndBar = 0;  // bar lines ending the bars of this system
        float ContentStart = 0;         // after the clefs (and the time signature)
        float End = 0;                  // right end of the staff lines
    };

    void Relayout();
    void UpdateScrollBars();
    void EnsureVisible(int Entry);
    void Reveal(int System, float Left, float Right);
    float SystemTop(int System) const;
    float CaretX(int Entry, int& SystemIndex) const;
    QRectF PieceBox(const Placed& P) const;

    const TNoteList* Notes_ = nullptr;
    int Selection_ = -1;
    int Playing_ = -1;
    int EntryPoint_ = 0;
    int Split_ = 60;
    int LayoutWidth_ = -1;

    std::vector<Placed> Pieces_;
    std::vector<int> FirstPiece_;  // per entry, plus one past the end
    std::vector<BarLine> Bars_;
    std::vector<System> Systems_;
    float ContentWidth_ = 0;
    struct Glyphs;
    std::unique_ptr<Glyphs> Glyphs_;  // the shapes, built once per view
    QPolygonF TieBuffer_;             // the outline of one tie, reused
};

}  // namespace keymora::pad
