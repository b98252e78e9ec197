// The staff view against positions worked out by hand from the layout constants in staff_view.h:
// pixel probes of a few bars at device pixel ratio 1 and 2, hit testing, wrapping, scrolling, and
// a scrolled or partly exposed view drawing the same pixels as a whole one.
//
// The bars used (4/4, view 800 wide, system 0 at row 8: treble lines at rows 48 56 64 72 80, bass
// lines at rows 128 .. 160; the bars start at column 20 + 36 + 24 = 80, each piece 12 later):
//   bar 1  e0 C5 1/4   piece at 92,  head centre (97, 60.5), stem down in column 92
//          e1 A4 1/2   piece at 118, head (123, 68.5), stem up in column 127
//          e2 F#4 1/4  piece at 152, sharp room 12, head (169, 76.5); bar line at 152+12+26 = 190
//   bar 2  e3 C4 1/4   piece at 202, head (207, 88.5), ledger line in row 88
//          e4 rest 1/4 at 228, glyph centred in column 233, from row 52 to 77
//          e5 E4 1   its first piece a 1/2 at 254, head (259, 80.5); bar line at 288
//   bar 3  e5 cont.    1/2 at 300, head (305, 80.5), tied from the one before (below the heads)
//          e6 G4 1/8   at 334, head (339, 72.5), stem up in column 343 from row 45, one flag
#include <gtest/gtest.h>

#include "app_support.h"

#include <QtGui/QImage>
#include <QtGui/QMouseEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QScrollBar>
#include <cstdlib>

#include "note_list.h"
#include "staff_view.h"

namespace keymora::pad {
namespace {

using test::EnsureApplication;
using test::SpinUntil;

TEntry N(int Octave, int Note, int Tone, int Duration) { return {false, Octave, Note, Tone, Duration}; }
TEntry R(int Duration) { return {true, 0, 0, 0, Duration}; }

std::vector<TEntry> ThreeBars() {
    return {N(6, 1, 0, 2), N(5, 6, 0, 1), N(5, 4, 1, 2), N(5, 1, 0, 2), R(2), N(5, 3, 0, 0), N(5, 5, 0, 3)};
}

struct Application {
    Application() { EnsureApplication(); }
};

struct Staff : Application {
    TNoteList Notes;
    StaffView View;
    explicit Staff(std::vector<TEntry> Entries, int Width = 800, int Height = 400, TTimeSignature Time = {4, 4}) {
        Notes.Assign(std::move(Entries), Time, 120);
        View.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        View.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        View.resize(Width, Height);
        View.show();
        View.setNotes(&Notes);
    }
    QImage Render(double Ratio = 1) {
        QImage Image(View.size() * Ratio, QImage::Format_RGB32);
        Image.setDevicePixelRatio(Ratio);
        Image.fill(Qt::magenta);  // anything left unpainted shows
        View.render(&Image);
        return Image;
    }
};

bool Dark(const QImage& I, int X, int Y) { return qGray(I.pixel(X, Y)) < 110; }
bool Light(const QImage& I, int X, int Y) { return qGray(I.pixel(X, Y)) > 200; }
// Dark pixels in a box, the rows of staff lines left out (those dark at the right edge).
int Ink(const QImage& I, int X0, int Y0, int X1, int Y1) {
    int N = 0;
    for (int Y = Y0; Y <= Y1; ++Y) {
        if (qGray(I.pixel(I.width() - 20, Y)) < 128) continue;
        for (int X = X0; X <= X1; ++X) N += qGray(I.pixel(X, Y)) < 128;
    }
    return N;
}

// Pixels of two pictures of the same size apart by more than antialiasing at another offset
// (a few levels on an edge) can account for.
int Differences(const QImage& A, const QImage& B) {
    if (A.size() != B.size()) return -1;
    int N = 0;
    for (int Y = 0; Y < A.height(); ++Y)
        for (int X = 0; X < A.width(); ++X) {
            const QRgb P = A.pixel(X, Y), Q = B.pixel(X, Y);
            N += std::abs(qRed(P) - qRed(Q)) > 12 || std::abs(qGreen(P) - qGreen(Q)) > 12 ||
                 std::abs(qBlue(P) - qBlue(Q)) > 12;
        }
    return N;
}

struct Probe {
    const char* What;
    int X, Y;
    bool WantDark;
};

TEST(StaffView, HandWorkedBarsAtRatioOne) {
    Staff S(ThreeBars());
    S.View.setEntryPoint(5);  // the caret 3 columns before the piece at 254, out of the way
    const QImage I = S.Render();
    const Probe Probes[] = {
        {"treble top line", 600, 48, true},      {"treble bottom line", 600, 80, true},
        {"between treble lines", 600, 52, false}, {"bass top line", 600, 128, true},
        {"bass bottom line", 600, 160, true},    {"between the staves", 600, 104, false},
        {"system line", 20, 100, true},           {"F clef dot on the F line", 28, 136, true},
        {"C5 head centre", 97, 60, true},         {"C5 stem down on the left", 92, 82, true},
        {"C5 no stem on the right", 101, 82, false}, {"C5 nothing above", 97, 45, false},
        {"A4 half head hollow", 123, 68, false},  {"A4 half head rim", 119, 68, true},
        {"A4 stem up on the right", 127, 48, true}, {"A4 no stem below", 127, 84, false},
        {"F#4 head", 169, 76, true},              {"bar line 1", 190, 100, true},
        {"bar line 1 crosses the bass", 190, 150, true}, {"C4 ledger left of head", 200, 88, true},
        {"C4 ledger only one row", 200, 86, false}, {"bar line 2", 288, 100, true},
        {"no bar line after the open bar 3", 354, 100, false},
        {"G4 eighth stem top", 343, 47, true},
    };
    for (const Probe& P : Probes)
        EXPECT_EQ(P.WantDark ? Dark(I, P.X, P.Y) : Light(I, P.X, P.Y), true)
            << P.What << " at " << P.X << "," << P.Y << " gray " << qGray(I.pixel(P.X, P.Y));

    // Regions: ink where a glyph belongs, none where nothing does.
    struct Region {
        const char* What;
        int X0, Y0, X1, Y1;
        int Min, Max;
    } Regions[] = {
        {"G clef round the G line", 26, 58, 46, 88, 80, 1000},
        {"G clef above the staff", 28, 20, 44, 46, 8, 1000},
        {"time signature, treble", 60, 48, 76, 80, 60, 1000},
        {"time signature, bass", 60, 128, 76, 160, 60, 1000},
        {"sharp left of the F#4 head", 153, 65, 162, 88, 25, 1000},
        {"no sign left of the C5 head", 80, 50, 90, 72, 0, 0},
        {"quarter rest in its place", 229, 53, 237, 76, 30, 1000},
        {"rest on the treble staff only", 225, 120, 241, 170, 0, 0},
        {"tie below E4 heads", 270, 86, 294, 93, 12, 1000},
        {"tie not above", 266, 66, 284, 78, 0, 0},
        {"eighth flag right of the stem", 345, 48, 352, 64, 10, 1000},
        {"no flag on the quarter C5 side", 94, 84, 104, 92, 0, 0},
    };
    for (const Region& G : Regions) {
        const int Count = Ink(I, G.X0, G.Y0, G.X1, G.Y1);
        EXPECT_GE(Count, G.Min) << G.What;
        EXPECT_LE(Count, G.Max) << G.What;
    }
}

TEST(StaffView, HeadRectsAndClicksAgree) {
    Staff S(ThreeBars());
    // Heads span rows centre - 4 .. centre + 4 and columns piece .. piece + 9.
    EXPECT_EQ(S.View.headRect(0), QRect(92, 56, 10, 9));
    EXPECT_EQ(S.View.headRect(1), QRect(118, 64, 10, 9));
    EXPECT_EQ(S.View.headRect(3).center().x(), 206);
    EXPECT_TRUE(S.View.headRect(7).isEmpty());
    EXPECT_TRUE(S.View.headRect(-1).isEmpty());
    int Clicked = -2;
    QObject::connect(&S.View, &StaffView::entryClicked, [&](int E) { Clicked = E; });
    for (int E = 0; E < S.Notes.Size(); ++E) {
        const QPoint C = S.View.headRect(E).center();
        EXPECT_EQ(S.View.entryAt(C), E) << E;
        QMouseEvent Press(QEvent::MouseButtonPress, QPointF(C), QPointF(S.View.viewport()->mapToGlobal(C)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(S.View.viewport(), &Press);
        EXPECT_EQ(Clicked, E);
    }
    for (QPoint Empty : {QPoint(600, 100), QPoint(110, 60), QPoint(5, 5)}) {
        EXPECT_EQ(S.View.entryAt(Empty), -1);
        QMouseEvent Press(QEvent::MouseButtonPress, QPointF(Empty), QPointF(Empty), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(S.View.viewport(), &Press);
        EXPECT_EQ(Clicked, -1);
    }
    EXPECT_EQ(S.View.focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(S.View.viewport()->focusPolicy(), Qt::NoFocus);
}

TEST(StaffView, SelectionPlayingAndCaretColours) {
    Staff S(ThreeBars());
    S.View.setSelection(0);
    S.View.setPlaying(1);
    S.View.setEntryPoint(3);  // caret 3 columns before the piece at 202
    const QImage I = S.Render();
    const QRgb Head = I.pixel(97, 60), Stem = I.pixel(127, 48), Back = I.pixel(97, 104);
    EXPECT_GT(qBlue(Head), qRed(Head) + 80) << "selected head blue";
    EXPECT_GT(qRed(Stem), qBlue(Stem) + 100) << "playing stem orange";
    EXPECT_TRUE(qBlue(Back) > 240 && qRed(Back) < 235) << "light highlight behind the selection";
    const QRgb Caret = I.pixel(199, 104);
    EXPECT_GT(qRed(Caret), qGreen(Caret) + 80) << "caret before e3";
    EXPECT_TRUE(Light(I, 199 + 6, 104));
    // Unmarked, the same head is ink.
    S.View.setSelection(-1);
    const QRgb Plain = S.Render().pixel(97, 60);
    EXPECT_LT(qGray(Plain), 60);
}

TEST(StaffView, MiddleCLedgerFollowsTheSplit) {
    // C4 alone, quarter: piece at 92, head centre column 97.
    struct Case {
        int Split;
        int LedgerRow, HeadRow;  // ledger line row, head centre row
    } Cases[] = {
        {60, 88, 88},    // treble: one space below the bottom line (row 80)
        {61, 120, 120},  // bass: one space above the top line (row 128)
    };
    for (const Case& C : Cases) {
        Staff S({N(5, 1, 0, 2)});
        S.View.setSplit(C.Split);
        const QImage I = S.Render();
        // The ledger line reaches 3 columns past the head (columns 92 .. 101) each side.
        EXPECT_TRUE(Dark(I, 103, C.LedgerRow)) << C.Split;
        EXPECT_TRUE(Light(I, 103, C.LedgerRow - 2)) << C.Split;
        EXPECT_TRUE(Light(I, 107, C.LedgerRow)) << C.Split;
        EXPECT_TRUE(Dark(I, 97, C.HeadRow)) << C.Split;
        const int Other = C.LedgerRow == 88 ? 120 : 88;
        EXPECT_TRUE(Light(I, 103, Other)) << C.Split;
        EXPECT_EQ(S.View.headRect(0).center().y(), C.HeadRow) << C.Split;
    }
}

TEST(StaffView, StemsBySideLengthAndFlags) {
    // One quarter alone: piece at 92, head centre column 97; a down stem in column 92 from the
    // row under the head's centre, an up stem in column 101 up to the row above it, 28 rows
    // long, or to the middle line (row 64 treble, 144 bass) for notes beyond the staff.
    struct Case {
        const char* What;
        TEntry Note;
        int Column, InkRow, EmptyRow, OtherSideRow;
    } Cases[] = {
        {"B4 on the middle line: down", N(5, 7, 0, 2), 92, 91, 95, 60},
        {"A4 below it: up", N(5, 6, 0, 2), 101, 42, 38, 84},
        {"C6 above the staff: down to the middle line", N(7, 1, 0, 2), 92, 63, 67, 28},
        {"E3 on the bass: down", N(4, 3, 0, 2), 92, 166, 170, 130},
        {"C2 below the bass: up to its middle line", N(3, 1, 0, 2), 101, 146, 141, 180},
    };
    for (const Case& C : Cases) {
        Staff S({C.Note});
        S.View.setEntryPoint(1);
        const QImage I = S.Render();
        EXPECT_TRUE(Dark(I, C.Column, C.InkRow)) << C.What;
        EXPECT_TRUE(Light(I, C.Column, C.EmptyRow)) << C.What;
        EXPECT_TRUE(Light(I, C.Column == 92 ? 101 : 92, C.OtherSideRow)) << C.What;
    }
    // A4 with 1 .. 5 flags: from three flags on, the stem grows 6.4 rows a flag, and every flag
    // adds ink right of the stem.
    struct Flags {
        int Duration;
        int InkRow, EmptyRow;
    } Lengths[] = {{3, 42, 38}, {4, 42, 38}, {5, 35, 31}, {6, 29, 25}, {7, 22, 18}};
    int Before = 0;
    for (const Flags& F : Lengths) {
        Staff S({N(5, 6, 0, F.Duration)});
        S.View.setEntryPoint(1);
        const QImage I = S.Render();
        EXPECT_TRUE(Dark(I, 101, F.InkRow)) << F.Duration;
        EXPECT_TRUE(Light(I, 101, F.EmptyRow)) << F.Duration;
        const int Ink_ = Ink(I, 102, 16, 112, 66);
        EXPECT_GT(Ink_, Before + 8) << F.Duration;
        Before = Ink_;
    }
}

TEST(StaffView, RestsSitAndHang) {
    // A rest alone: centred in column 97; the whole hangs from the second line (rows 56 .. 59),
    // the half sits on the middle line (rows 60 .. 64); shorter ones reach further down.
    struct Case {
        int Duration;
        int InkRow, EmptyRow;
    } Cases[] = {{0, 58, 62}, {1, 62, 58}, {2, 70, 46}, {3, 66, 90}, {5, 74, 98}, {7, 82, 102}};
    for (const Case& C : Cases) {
        Staff S({R(C.Duration)});
        S.View.setEntryPoint(1);  // the caret after the rest
        const QImage I = S.Render();
        EXPECT_GT(Ink(I, 84, C.InkRow - 1, 105, C.InkRow + 1), 2) << C.Duration;
        EXPECT_EQ(Ink(I, 84, C.EmptyRow, 105, C.EmptyRow), 0) << C.Duration;
        EXPECT_TRUE(S.View.headRect(0).contains(97, C.InkRow)) << C.Duration;
    }
}

TEST(StaffView, BarsWrapWhole) {
    // At 280 wide the staff ends at 272: bar 1 (110 wide from 80) fits the first system, bar 2
    // (98) would end at 288 and opens the second, whose bars start at 20 + 36 = 56: e3's piece at
    // 68, its head at (73, 200 + 40 + 0.5 + 40).
    Staff S(ThreeBars(), 280, 600);
    EXPECT_EQ(S.View.systemCount(), 2);
    EXPECT_EQ(S.View.systemOf(2), 0);
    EXPECT_EQ(S.View.systemOf(3), 1);
    EXPECT_EQ(S.View.headRect(3), QRect(68, 276, 10, 9));
    const QImage I = S.Render();
    EXPECT_TRUE(Dark(I, 73, 280));
    EXPECT_TRUE(Dark(I, 66, 280)) << "C4 ledger on system 2";
    // The first system is stretched to the width: its last bar line at the staff's end.
    EXPECT_TRUE(Dark(I, 272, 100));

    // A tie over a system break: out to the end of the first system, in from the start of the
    // second, below the E4 heads (rows 80 and 272, stems up). Bar 1 (C5 1/4, A4 1/2, E4's first
    // 1/4) is 98 wide; bar 2 (E4's second 1/4 and three more) would end at 80 + 98 + 116 = 294.
    Staff T({N(6, 1, 0, 2), N(5, 6, 0, 1), N(5, 3, 0, 1), N(5, 1, 0, 2), R(2), N(5, 3, 0, 2)}, 280, 600);
    T.View.setEntryPoint(2);
    ASSERT_EQ(T.View.systemCount(), 2);
    const QImage Tied = T.Render();
    // System 1 is stretched by (272 - 80 - 98) / 86 for each piece: E4's head at 92 + 60 * 2.093
    // + 5 = 222.6, its tie from 228.6 to 270.
    EXPECT_GT(Ink(Tied, 229, 86, 269, 92), 10) << "tie out to the end of system 1";
    EXPECT_EQ(Ink(Tied, 229, 70, 269, 78), 0) << "not above";
    EXPECT_GT(Ink(Tied, 57, 278, 66, 284), 5) << "tie in from the start of system 2";
    EXPECT_EQ(Ink(Tied, 57, 262, 66, 271), 0) << "not above";

    // A bar wider than any system has one of its own.
    std::vector<TEntry> E = {N(6, 1, 0, 0)};
    for (int K = 0; K < 16; ++K) E.push_back(N(6, 1, 0, 4));
    E.push_back(N(6, 1, 0, 0));
    Staff W(E, 280, 800);
    EXPECT_EQ(W.View.systemCount(), 3);
    EXPECT_EQ(W.View.systemOf(0), 0);
    EXPECT_EQ(W.View.systemOf(1), 1);
    EXPECT_EQ(W.View.systemOf(16), 1);
    EXPECT_EQ(W.View.systemOf(17), 2);
}

TEST(StaffView, RatioTwoIsDevicePixelSharp) {
    Staff S(ThreeBars());
    const QImage I = S.Render(2);
    ASSERT_EQ(I.width(), 1600);
    for (int Row : {48, 56, 80, 128, 160}) {
        EXPECT_TRUE(Dark(I, 1200, 2 * Row)) << Row;
        EXPECT_TRUE(Dark(I, 1200, 2 * Row + 1)) << Row;
        EXPECT_TRUE(Light(I, 1200, 2 * Row - 1)) << Row;
        EXPECT_TRUE(Light(I, 1200, 2 * Row + 2)) << Row;
    }
    // The C5 stem: columns 184 and 185, light on both sides; the bar line likewise.
    for (int Column : {2 * 92, 2 * 190}) {
        EXPECT_TRUE(Dark(I, Column, 2 * 84)) << Column;
        EXPECT_TRUE(Dark(I, Column + 1, 2 * 84)) << Column;
        EXPECT_TRUE(Light(I, Column - 1, 2 * 84)) << Column;
        EXPECT_TRUE(Light(I, Column + 2, 2 * 84)) << Column;
    }
    EXPECT_TRUE(Dark(I, 2 * 97, 2 * 60 + 1)) << "C5 head centre";
    EXPECT_TRUE(Light(I, 2 * 123, 2 * 68 + 1)) << "half head hollow";
    EXPECT_TRUE(Dark(I, 2 * 28, 2 * 136 + 1)) << "F clef dot";
}

TEST(StaffView, ScrolledAndPartlyExposedDrawTheSame) {
    // 24 bars at 300 wide: many systems. A tall view draws them all; a short one scrolled, or a
    // band of the tall one alone, must show the very same pixels.
    std::vector<TEntry> E;
    for (int K = 0; K < 48; ++K) E.push_back(K % 3 ? N(5 + K % 2, 1 + K % 7, K % 5 == 0 ? 1 : 0, 2) : R(2));
    for (int K = 0; K < 24; ++K) E.push_back(N(4, 1 + K % 7, K % 4 == 0 ? -1 : 0, 1));
    Staff Tall(E, 300, 10000);
    const int Height = Tall.View.documentHeight();
    ASSERT_GE(Tall.View.systemCount(), 5);
    Tall.View.resize(300, Height);
    const QImage Whole = Tall.Render();

    Staff Short(E, 300, 250);
    Short.View.verticalScrollBar()->setValue(3 * 192 + 50);
    const int Offset = Short.View.verticalScrollBar()->value();
    ASSERT_EQ(Offset, 3 * 192 + 50);
    const QImage Part = Short.Render();
    EXPECT_EQ(Differences(Part, Whole.copy(0, Offset, 300, 250)), 0);

    QImage Band(Tall.View.size(), QImage::Format_RGB32);
    Band.fill(Qt::magenta);
    const QRect Exposed(0, 500, 300, 120);
    // The region lands at the target offset given.
    Tall.View.render(&Band, Exposed.topLeft(), QRegion(Exposed));
    EXPECT_EQ(Differences(Band.copy(Exposed), Whole.copy(Exposed)), 0);
}

TEST(StaffView, EditsRelayoutAndTheEntryPointStaysInSight) {
    Staff S(ThreeBars());
    // An accidental before e0 pushes its head 12 to the right.
    S.Notes.Replace(0, N(6, 1, 1, 2));
    S.View.notesChanged();
    EXPECT_EQ(S.View.headRect(0).left(), 104);
    S.Notes.Insert(0, R(2));
    S.View.notesChanged();
    EXPECT_EQ(S.View.headRect(1).left(), 104 + 26);

    std::vector<TEntry> E(200, N(5, 5, 0, 2));
    Staff Long(E, 400, 300);
    Long.View.setEntryPoint(200);
    const QRect Last = Long.View.headRect(199);
    EXPECT_GE(Last.top(), 0);
    EXPECT_LE(Last.bottom(), 300);
    Long.View.setEntryPoint(0);
    EXPECT_EQ(Long.View.verticalScrollBar()->value(), 0);
    Long.View.setSelection(120);
    const QRect Selected = Long.View.headRect(120);
    EXPECT_GE(Selected.top(), 0);
    EXPECT_LE(Selected.bottom(), 300);

    // No notes at all: an empty grand staff, nothing to hit.
    S.View.setNotes(nullptr);
    EXPECT_EQ(S.View.systemCount(), 1);
    EXPECT_EQ(S.View.entryAt(QPoint(97, 60)), -1);
    const QImage I = S.Render();
    EXPECT_TRUE(Dark(I, 600, 48));
    EXPECT_GT(Ink(I, 26, 58, 46, 88), 80);
}

}  // namespace
}  // namespace keymora::pad
