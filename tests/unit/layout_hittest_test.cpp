// Hit testing: points and the buttons, cells and keys they meet, worked out by hand from the
// layout formulas for several layouts.
#include <gtest/gtest.h>

#include <climits>

#include "input_harness.h"
#include "keymora/layout/layout.h"

namespace keymora {

// Found by argument-dependent lookup, so it lives beside THit rather than in the unnamed namespace.
void PrintTo(const THit& H, std::ostream* Os) {
    *Os << "{region " << static_cast<int>(H.Region) << ", button " << static_cast<int>(H.Button)
        << ", cell " << H.Cell << ", white " << H.WhiteKey << ", black " << H.BlackKey << ", zone "
        << H.InBlackZone << "}";
}

namespace {

using testing::TInputRig;

THit None() {
    return {};
}
THit Zone(TZoneButton B) {
    THit H;
    H.Region = THitRegion::ZoneButton;
    H.Button = B;
    return H;
}
THit Region(THitRegion R) {
    THit H;
    H.Region = R;
    return H;
}
THit Cell(int I) {
    THit H;
    H.Region = THitRegion::DurationCell;
    H.Cell = I;
    return H;
}
// A key below the black-key zone.
THit White(int P) {
    THit H;
    H.Region = THitRegion::Key;
    H.WhiteKey = P;
    return H;
}
// A key inside the black-key zone, naming black key J (-1 for none).
THit Upper(int P, int J) {
    THit H = White(P);
    H.InBlackZone = true;
    H.BlackKey = J;
    return H;
}

struct TPointCase {
    int X;
    int Y;
    THit Expected;
};

void ExpectHits(const TKeymora& K, const std::vector<TPointCase>& Cases) {
    for (const TPointCase& C : Cases) {
        SCOPED_TRACE(::testing::Message() << "point (" << C.X << ", " << C.Y << ")");
        EXPECT_EQ(K.Layout().HitTest(C.X, C.Y), C.Expected);
    }
}

// 600 x 100, every style: VisibleKeyCount 35, RealWidth 588, KeyWidth 15, strip from 558, key
// band L = 526 from origin 16, so B(k) = 15k + 16 and h = 4; black-key zone y < 80; 3 cells of
// 28 with the scroll buttons below y = 84.
TEST(HitTest, HorizontalWithOctaveScrolling) {
    TInputRig Rig(600, 100);
    ASSERT_EQ(Rig.K.RealWidth(), 588);
    ExpectHits(Rig.K,
               {
                   // Start-end zone: arrow up to y 68, plus to 84, minus beyond.
                   {0, 10, Zone(TZoneButton::OctaveDown)},
                   {15, 68, Zone(TZoneButton::OctaveDown)},
                   {15, 69, Zone(TZoneButton::MoreOctaves)},
                   {15, 84, Zone(TZoneButton::MoreOctaves)},
                   {15, 85, Zone(TZoneButton::FewerOctaves)},
                   // x = 16 is key band; x = 542 (S - SBW) too: ((542 - 16) * 35) div 526 = 35.
                   {16, 10, Upper(0, -1)},
                   {542, 90, White(35)},
                   // Far-end zone.
                   {543, 10, Zone(TZoneButton::OctaveUp)},
                   {543, 70, Zone(TZoneButton::MoreDurations)},
                   {557, 99, Zone(TZoneButton::FewerDurations)},
                   // Black key 0 from both sides of B(1) = 31.
                   {26, 10, Upper(0, -1)},
                   {27, 10, Upper(0, 0)},
                   {31, 10, Upper(0, 0)},
                   {31, 79, Upper(0, 0)},
                   {31, 80, White(0)},
                   {32, 10, Upper(1, 0)},
                   {35, 10, Upper(1, 0)},
                   {36, 10, Upper(1, -1)},
                   // C1 (47..61) has its black key on the high side: B(3) - 4 = 57 .. 61.
                   {56, 10, Upper(2, -1)},
                   {57, 10, Upper(2, 2)},
                   // D1 (62..76): low side 61..65, high side B(3) + KW - h = 72 .. 76.
                   {62, 10, Upper(3, 2)},
                   {65, 10, Upper(3, 2)},
                   {66, 10, Upper(3, -1)},
                   {72, 10, Upper(3, 3)},
                   {76, 10, Upper(3, 3)},
                   // E1 from 77: low side only, B(4) = 76 .. 80.
                   {77, 10, Upper(4, 3)},
                   {81, 10, Upper(4, -1)},
                   // The proportional index drifts: key 10 is drawn from 166 but hit from 167.
                   {166, 90, White(9)},
                   {167, 90, White(10)},
                   // Setting strip: buttons below 84, split at 588 - 15 = 573.
                   {558, 85, Region(THitRegion::DurationUp)},
                   {572, 99, Region(THitRegion::DurationUp)},
                   {573, 85, Region(THitRegion::DurationDown)},
                   {600, 95, Region(THitRegion::DurationDown)},
                   // Cells with strict bounds; the boundaries 84, 56, 28 and 0 hit nothing.
                   {570, 84, None()},
                   {570, 83, Cell(0)},
                   {558, 57, Cell(0)},
                   {570, 56, None()},
                   {570, 55, Cell(1)},
                   {570, 29, Cell(1)},
                   {570, 28, None()},
                   {570, 1, Cell(2)},
                   {570, 0, None()},
                   // The cell beyond the low edge, reached only by a captured pointer.
                   {570, -1, Cell(3)},
                   {570, -28, None()},
               });
}

// The same without msScrollOctave: 52 keys of 10, L = 521, origin 0, strip from 521, h = 3.
TEST(HitTest, HorizontalWithoutOctaveScrolling) {
    TInputRig Rig(600, 100, {msShowMarks, msColorOctave, msScrollDuration});
    ASSERT_EQ(Rig.K.RealWidth(), 551);
    ExpectHits(
        Rig.K,
        {
            // Key 5 is drawn from 50 but hit from 51.
            {50, 90, White(4)},
            {51, 90, White(5)},
            // No zones: the very first pixels are keys.
            {0, 10, Upper(0, -1)},
            {5, 95, White(0)},
            // B(1) = 10: a = 10 maps to key 0 and hits black key 0.
            {7, 10, Upper(0, 0)},
            {10, 10, Upper(0, 0)},
            {11, 10, Upper(1, 0)},
            {13, 10, Upper(1, 0)},
            {14, 10, Upper(1, -1)},
            // B7 = key 50 (501..510): low side from B(50) = 500 to 503.
            {501, 10, Upper(50, 49)},
            {503, 10, Upper(50, 49)},
            {504, 10, Upper(50, -1)},
            // C8 has no black key.
            {520, 10, Upper(51, -1)},
            {520, 90, White(51)},
            {521, 10, Cell(2)},
            // A captured pointer may report any coordinate; key 29 spans 291..300 (B(29) = 290).
            {INT_MIN, 90, None()},
            {INT_MAX, 90, Region(THitRegion::DurationDown)},
            {300, INT_MIN, Upper(29, -1)},
            {300, INT_MAX, White(29)},
        });
}

// Vertical 100 x 600: the horizontal case transposed.
TEST(HitTest, VerticalWithOctaveScrolling) {
    TInputRig Rig(100, 600, TInputRig::AllStyles(), koVertical);
    ASSERT_EQ(Rig.K.RealWidth(), 588);
    ExpectHits(Rig.K, {
                          {10, 0, Zone(TZoneButton::OctaveDown)},
                          {69, 15, Zone(TZoneButton::MoreOctaves)},
                          {85, 15, Zone(TZoneButton::FewerOctaves)},
                          {10, 543, Zone(TZoneButton::OctaveUp)},
                          {99, 557, Zone(TZoneButton::FewerDurations)},
                          {10, 31, Upper(0, 0)},
                          {10, 32, Upper(1, 0)},
                          {80, 31, White(0)},
                          {90, 167, White(10)},
                          {60, 558, Cell(0)},
                          {40, 570, Cell(1)},
                          {85, 560, Region(THitRegion::DurationUp)},
                          {85, 573, Region(THitRegion::DurationDown)},
                      });
}

// Scrolled to the end (OffsetOctave 4): scrolled by 345, origin -329, B(k) = 526k div 35 - 329.
TEST(HitTest, ScrolledToTheEnd) {
    TInputRig Rig(600, 100);
    Rig.K.SetOffsetOctave(4);
    ASSERT_EQ(Rig.K.GetOffsetOctave(), 345);
    ExpectHits(Rig.K, {
                          // Key 23 is drawn from 16, its first column maps to key 22.
                          {16, 90, White(22)},
                          {17, 90, White(23)},
                          // B7 (423..437): black key 49 from B(50) = 422 to 426.
                          {423, 10, Upper(50, 49)},
                          {426, 10, Upper(50, 49)},
                          {427, 10, Upper(50, -1)},
                          // C8 is hit over 438..452; the rest of the band lies beyond the keyboard.
                          {437, 90, White(50)},
                          {438, 10, Upper(51, -1)},
                          {452, 90, White(51)},
                          {453, 90, None()},
                          {542, 10, None()},
                      });
}

// Without msScrollDuration six cells of 100 div 6 = 16, cell 0 reaching to the client edge.
TEST(HitTest, CellsWithoutDurationScrolling) {
    TInputRig Rig(600, 100, {msShowMarks, msColorOctave, msScrollOctave});
    ExpectHits(Rig.K, {
                          {570, 99, Cell(0)},
                          {570, 95, Cell(0)},
                          {570, 81, Cell(0)},
                          {570, 80, None()},
                          {570, 79, Cell(1)},
                          {570, 49, Cell(2)},
                          {570, 33, Cell(3)},
                          {570, 17, Cell(4)},
                          {570, 15, Cell(5)},
                          {570, 16, None()},
                          {570, 100, None()},
                          {570, 0, None()},
                          {570, -5, None()},
                      });
}

// Tiny controls. 40 wide: RealWidth 63, KeyWidth 0, strip from 33, key band of one pixel
// (L = 1) at x 16..17. 20 wide: RealWidth 28, L = -34, everything from x = -2 is the strip.
TEST(HitTest, TinyControls) {
    TInputRig Forty(40, 100);
    ASSERT_EQ(Forty.K.RealWidth(), 63);
    ExpectHits(Forty.K,
               {
                   {15, 90, Zone(TZoneButton::FewerOctaves)},
                   {16, 90, White(0)},
                   // ((17 - 16) * 35) div 1 = 35; B(35) = 17 with h = 1 names black key 34.
                   {17, 90, White(35)},
                   {17, 10, Upper(35, 34)},
                   {18, 90, Zone(TZoneButton::FewerDurations)},
               });

    TInputRig Twenty(20, 100);
    ASSERT_EQ(Twenty.K.RealWidth(), 28);
    ExpectHits(Twenty.K, {
                             {0, 60, Cell(0)},
                             {5, 90, Region(THitRegion::DurationUp)},
                             {13, 90, Region(THitRegion::DurationDown)},
                             {-3, 10, Zone(TZoneButton::OctaveDown)},
                         });
    for (int A : {-40, -2, 0, 16, 30}) EXPECT_EQ(Twenty.K.Layout().WhiteKeyAt(A), -1) << A;
    for (int P : {0, 1, 2, 3, 50}) EXPECT_EQ(Twenty.K.Layout().BlackKeyAt(P, 16), -1) << P;
}

TEST(HitTest, ControlWithoutLayoutHasNoKeys) {
    TKeymora K;  // VisibleKeyCount is still 0
    for (int A : {-20, 0, 16, 100}) EXPECT_EQ(K.Layout().WhiteKeyAt(A), -1) << A;
    EXPECT_EQ(K.Layout().BlackKeyAt(0, 0), -1);
}

TEST(HitTest, ReleaseAndButtonRectangles) {
    TInputRig H(600, 100);
    // The horizontal start-end arrow repaints its whole zone; every other button its own face.
    EXPECT_EQ(H.K.Layout().ZoneButtonRelease(TZoneButton::OctaveDown), Rect(0, 0, 16, 100));
    EXPECT_EQ(H.K.Layout().ZoneButtonRelease(TZoneButton::MoreOctaves), Rect(0, 68, 16, 84));
    EXPECT_EQ(H.K.Layout().ZoneButtonRelease(TZoneButton::OctaveUp), Rect(542, 0, 558, 68));
    EXPECT_EQ(H.K.Layout().ZoneButtonRelease(TZoneButton::FewerDurations), Rect(542, 84, 558, 100));
    EXPECT_EQ(H.K.Layout().DurationButtons(), Rect(558, 84, 588, 100));

    TInputRig V(100, 600, TInputRig::AllStyles(), koVertical);
    EXPECT_EQ(V.K.Layout().ZoneButtonRelease(TZoneButton::OctaveDown), Rect(0, 0, 68, 16));
    EXPECT_EQ(V.K.Layout().ZoneButtonRelease(TZoneButton::OctaveUp), Rect(0, 542, 68, 558));
    EXPECT_EQ(V.K.Layout().DurationButtons(), Rect(84, 558, 100, 588));
}

// Tracking bands over a 100-pixel cross extent: with scrolling 3 bands of 28, band 0 open
// upward and band 3 just beyond the low edge; without it 6 bands of 16, band 0 open upward.
TEST(HitTest, TrackingBands) {
    TInputRig Scroll(600, 100);
    const std::pair<int, int> ScrollCases[] = {
        {500, 0}, {100, 0}, {57, 0}, {56, -1}, {55, 1},   {29, 1},   {28, -1},
        {1, 2},   {0, -1},  {-1, 3}, {-27, 3}, {-28, -1}, {-40, -1},
    };
    for (auto [C, Band] : ScrollCases) EXPECT_EQ(Scroll.K.Layout().DurationBandAt(C), Band) << C;

    TInputRig Plain(600, 100, {msShowMarks, msScrollOctave});
    const std::pair<int, int> PlainCases[] = {
        {150, 0}, {81, 0}, {80, -1}, {79, 1}, {17, 4}, {15, 5}, {0, -1}, {-3, -1},
    };
    for (auto [C, Band] : PlainCases) EXPECT_EQ(Plain.K.Layout().DurationBandAt(C), Band) << C;
}

}  // namespace
}  // namespace keymora
