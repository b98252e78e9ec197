/// \file
/// TLayout: where everything of a keyboard lies, as one value derived from the control. It maps
/// the keyboard's own frame (u along the key axis, v across it) to client pixels, gives every
/// drawn rectangle (white and black keys, marks band, setting strip, duration cells and buttons,
/// zone buttons), the hit rules beside them, and a press point for every target.
///
/// The hit rules are deliberately not the inverse of the drawing: a white key is found by a
/// proportional formula over the whole key band and a black key by its distance to boundaries
/// computed the same way, so a key's hit area and its drawn rectangle differ by a pixel or so.
/// Duration cells hit with strict bounds (a point on a boundary hits no cell), and tracking
/// bands reach further than the cells.
///
/// A TLayout is a snapshot: take a new one from TKeymora::Layout() after the control changes.
/// It holds a handful of integers and allocates nothing.
#pragma once

#include <cstdint>

#include "keymora/host/types.h"
#include "keymora/model/keymora.h"

namespace keymora {

/// What a press at a point meets.
enum class THitRegion : std::uint8_t {
    None,          ///< nothing: beyond the keys, on a cell boundary, or a layout too small
    ZoneButton,    ///< one of the six octave-zone buttons (THit::Button)
    DurationUp,    ///< the duration scroll button that raises OffsetDuration
    DurationDown,  ///< the duration scroll button that lowers OffsetDuration
    DurationCell,  ///< duration cell THit::Cell, counted from the scroll-button end
    Key            ///< white key THit::WhiteKey, black key THit::BlackKey if one was named
};

/// The classification of one client point.
struct THit {
    /// What the point meets.
    THitRegion Region = THitRegion::None;
    TZoneButton Button = TZoneButton::OctaveDown;  ///< Region == ZoneButton: which button.
    /// Region == DurationCell: the cell index i; the cell stands for position OffsetDuration + i.
    int Cell = -1;
    /// Region == Key: the white-key index p, always in 0..51.
    int WhiteKey = -1;
    /// Region == Key: the black key j named by the black-key test (the one between white keys j
    /// and j + 1), or -1.
    int BlackKey = -1;
    /// Region == Key: the point lies in the black-key zone across the key axis.
    bool InBlackZone = false;

    /// Equal when every field is.
    friend bool operator==(const THit& A, const THit& B) {
        return A.Region == B.Region && A.Button == B.Button && A.Cell == B.Cell &&
               A.WhiteKey == B.WhiteKey && A.BlackKey == B.BlackKey &&
               A.InBlackZone == B.InBlackZone;
    }
    /// Unequal when any field differs.
    friend bool operator!=(const THit& A, const THit& B) { return !(A == B); }
};

/// The duration row across the setting strip: Count cells of Cell pixels along the cross axis;
/// cell k spans [FarEdge - (k + 1) * Cell, FarEdge - k * Cell). Count 0 means no cells at all.
struct TDurationRow {
    /// The number of cells; 0 for none.
    int Count = 0;
    /// The thickness of a cell across the key axis, in pixels.
    int Cell = 0;
    /// The across-axis coordinate where cell 0 ends: Count * Cell.
    int FarEdge = 0;
    /// True under msScrollDuration: the row scrolls and shows MaxDuration - MaxOffsetDuration
    /// cells.
    bool Scroll = false;
};

/// Something a press can be aimed at.
enum class TTargetKind : std::uint8_t {
    WhiteKey,
    BlackKey,
    DurationCell,
    DurationUp,
    DurationDown,
    ZoneButton
};
/// A target for a press: a key, a duration cell, a duration scroll button or a zone button.
struct TTarget {
    /// What kind of target.
    TTargetKind Kind = TTargetKind::WhiteKey;
    /// WhiteKey: 0..51; BlackKey: the white key it follows; DurationCell: the cell index i.
    int Index = 0;
    TZoneButton Button = TZoneButton::OctaveDown;  ///< Kind == ZoneButton: which button.
};

/// Where everything of a keyboard lies, taken from a control as it stands: the frame (u along
/// the key axis, v across it), drawn rectangles, hit rules and press points. A snapshot of a
/// few integers; take a new one after the control changes.
class TLayout {
  public:
    /// The layout of Control as it stands now.
    explicit TLayout(const TKeymora& Control);

    // ---- The frame ----
    /// Whether the key axis is the client's x axis (koHorizontal).
    bool Horizontal() const { return Horizontal_; }
    /// Client extent along the key axis.
    int AxisExtent() const { return Axis_; }
    /// Client extent across the key axis (the client height when horizontal).
    int CrossExtent() const { return Cross_; }
    /// The client point at U along the key axis and V across it.
    TPoint Point(int U, int V) const { return Horizontal_ ? TPoint{U, V} : TPoint{V, U}; }
    /// The client rectangle spanning [U0, U1) along the key axis and [V0, V1) across it.
    TRect Frame(int U0, int V0, int U1, int V1) const {
        return Horizontal_ ? TRect{U0, V0, U1, V1} : TRect{V0, U0, V1, U1};
    }
    /// Along-axis coordinate of client point (X, Y).
    int AlongOf(int X, int Y) const { return Horizontal_ ? X : Y; }
    /// Across-axis coordinate of client point (X, Y).
    int AcrossOf(int X, int Y) const { return Horizontal_ ? Y : X; }

    // ---- The numbers everything else is placed with ----
    ///@{
    /// The control's RealWidth, SettingWidth, ScrollButtonWidth, KeyWidth and VisibleKeyCount when
    /// the layout was taken.
    int RealWidth() const { return RealWidth_; }
    int SettingWidth() const { return SettingWidth_; }
    int ScrollButtonWidth() const { return ScrollButtonWidth_; }
    int KeyWidth() const { return KeyWidth_; }
    int VisibleKeyCount() const { return VisibleKeyCount_; }
    ///@}

    /// Thickness of each octave button zone: ScrollButtonWidth with msScrollOctave, else 0.
    int ZoneWidth() const { return ScrollOctave_ ? ScrollButtonWidth_ : 0; }
    /// Pixels by which the keys are scrolled toward the start end.
    int Offset() const { return Offset_; }
    /// Key-axis coordinate of the start edge of white key 0.
    int KeyOrigin() const { return ScrollOctave_ ? ScrollButtonWidth_ - Offset_ : 0; }
    /// Start of the setting strip along the key axis.
    int StripStart() const { return RealWidth_ - SettingWidth_; }
    /// Length of the black keys across the key axis.
    int BlackLength() const { return 4 * Cross_ / 5; }

    // ---- Drawn rectangles ----
    /// White key I; the whole control while it has no window.
    TRect WhiteKey(int I) const;
    /// The black key that follows white key I; the whole control while it has no window.
    TRect BlackKey(int I) const;
    /// The band of marks of octave O (1..9) along the front edge of the keys; empty while the
    /// control has no window.
    TRect MarksBand(int O) const;
    /// The setting strip.
    TRect Strip() const { return Frame(StripStart(), 0, RealWidth_, Cross_); }
    /// The key area between the button zones.
    TRect KeyArea() const {
        return Frame(ScrollButtonWidth_, 0, StripStart() - ScrollButtonWidth_, Cross_);
    }
    /// A zone button's face, which is also where it is pressed.
    TRect ZoneButton(TZoneButton Button) const;
    /// Duration row: Count cells of Cell pixels across the key axis; cell k spans
    /// [FarEdge - (k + 1) * Cell, FarEdge - k * Cell).
    const TDurationRow& Row() const { return Row_; }
    /// The face of duration cell I. Without scrolling, cell 0 reaches to the far client edge.
    TRect DurationCell(int I) const;
    /// The face of a duration scroll button: Up raises OffsetDuration.
    TRect DurationButton(bool Up) const;

    // ---- What repaints ask for ----
    /// What a release of a zone button repaints: its face, except that the horizontal start-end
    /// arrow repaints its whole zone.
    TRect ZoneButtonRelease(TZoneButton Button) const;
    /// What a press of either duration scroll button repaints: both of them.
    TRect DurationButtons() const {
        return Frame(StripStart(), Row_.Count * Row_.Cell, RealWidth_, Cross_);
    }
    /// What a change of DurationWidth repaints: the first SettingWidth pixels of the key axis.
    TRect DurationWidthRepaint() const {
        return Horizontal_ ? TRect{0, 0, SettingWidth_, ClientHeight_}
                           : TRect{0, 0, ClientWidth_, SettingWidth_};
    }

    // ---- Hit rules ----
    /// Classifies client point (X, Y): setting strip first, then the two octave zones, then
    /// the key band.
    THit HitTest(int X, int Y) const;
    /// The white key under along-axis coordinate A, or -1 (outside 0..51, or no key band).
    int WhiteKeyAt(int A) const;
    /// The black key named at along-axis coordinate A for white key P, or -1. (A press also
    /// needs the point in the black-key zone.)
    int BlackKeyAt(int P, int A) const;
    /// The duration cell under across-axis coordinate C of the strip (not on the scroll
    /// buttons), or -1; a point on a boundary hits no cell.
    int DurationCellAt(int C) const;
    /// The duration band of pointer tracking under across-axis coordinate C, or -1. Band 0 has
    /// no upper bound, and with msScrollDuration one more band lies just beyond the low edge.
    int DurationBandAt(int C) const;
    /// True where duration tracking with msScrollDuration resets the cursor instead: over the
    /// duration scroll buttons and both octave zones (bounds inclusive, unlike the press).
    bool InTrackingResetZone(int X, int Y) const;
    /// The along-axis coordinates where WhiteKeyAt gives P: [First, Last). False when there
    /// are none (no key band, or P outside 0..51).
    bool WhiteKeySpan(int P, long long& First, long long& Last) const;

    // ---- Press points ----
    /// A client point where a press meets Target, in the middle of where it can be pressed
    /// within the client area and the drawn target (white keys below the black keys, black keys
    /// half way down them); false when nothing of it can be pressed now.
    bool PressPoint(const TTarget& Target, TPoint& Point) const;
    /// The drawn part of Target inside the client area (keys: inside the key band), in client
    /// coordinates; false when nothing of it is drawn.
    bool DrawnArea(const TTarget& Target, TRect& Area) const;

    /// The anchor point of white key P (the black key after it when Black) in duration row
    /// Row: the point GetPoint reports.
    TPoint NotePoint(int P, bool Black, int Row, int Cells) const;

  private:
    THit StripHit(int A, int C) const;
    TZoneButton ZoneButtonAt(bool FarEnd, int C) const;
    int BandLength() const { return RealWidth_ - SettingWidth_ - 2 * ZoneWidth(); }
    int Boundary(int L, int Index) const;

    bool Horizontal_ = true;
    bool HasWindow_ = false;
    bool ScrollOctave_ = false;
    int Width_ = 0;
    int Height_ = 0;
    int ClientWidth_ = 0;
    int ClientHeight_ = 0;
    int Axis_ = 0;
    int Cross_ = 0;
    int RealWidth_ = 0;
    int SettingWidth_ = 0;
    int ScrollButtonWidth_ = 0;
    int KeyWidth_ = 0;
    int VisibleKeyCount_ = 0;
    int Offset_ = 0;
    TDurationRow Row_;
};

}  // namespace keymora
