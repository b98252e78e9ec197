// Duration tracking: bands across the control, the reset zone, the hint and OnTrackMouse.
// 600 x 100 with every style: 3 bands of 28 (band 0 below y 56 and open downward), strip from
// x = 558, octave zones up to 16 and from 542.
#include <gtest/gtest.h>

#include "input_harness.h"

namespace keymora {
namespace {

using testing::TInputRig;
using Lines = std::vector<std::string>;
const auto Inv = TInputRig::Inv;
const std::string Strip = Inv(558, 0, 588, 100);

struct TMoveCase {
    const char* Name;
    int X;
    int Y;
    Lines Expected;
    int Position;  // DurationPosition afterwards
};

class TrackingMove : public ::testing::TestWithParam<TMoveCase> {};

// One move from the constructed state (position 0, offset 0) with tracking on; the pointer is
// at screen (1000, 500).
TEST_P(TrackingMove, FromRest) {
    const TMoveCase& C = GetParam();
    TInputRig Rig(600, 100);
    Rig.K.SetMouseTrack(true);
    Rig.Window->CursorPos = Point(1000, 500);
    Rig.Move(C.X, C.Y);
    EXPECT_EQ(Rig.Take(), C.Expected);
    EXPECT_EQ(Rig.K.DurationPosition(), C.Position);
}

const Lines ToHalf = {Strip, "duration", "cancelhint", "hint 1/2 1000 500", "track 1"};

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Moves, TrackingMove,
    ::testing::Values(
        // Band 0 over the keys, also below the last cell: already the position, no hint.
        TMoveCase{"KeysBand0", 300, 90, {"track 1"}, 0},
        // A band boundary over the keys reports nothing at all.
        TMoveCase{"KeysBoundary", 300, 56, {}, 0},
        TMoveCase{"KeysBand1", 300, 40, ToHalf, 1},
        TMoveCase{"StripBand1", 570, 40, ToHalf, 1},
        // Band 2 is position 2: 1/4.
        TMoveCase{"KeysBand2", 300, 5,
                  {Strip, "duration", "cancelhint", "hint 1/4 1000 500", "track 1"}, 2},
        // Over the duration buttons: cursor reset, and the strip reports an untaken move.
        TMoveCase{"StripButtons", 570, 90, {"cursor", "track 0"}, 0},
        TMoveCase{"StripBoundary", 570, 84, {"track 1"}, 0},
        // The reset zone's bounds are inclusive where the press's are strict.
        TMoveCase{"StartZoneEdge", 16, 40, {"cursor"}, 0},
        TMoveCase{"KeysAfterStartZone", 17, 40, ToHalf, 1},
        TMoveCase{"KeysBeforeFarZone", 541, 40, ToHalf, 1},
        TMoveCase{"FarZoneEdge", 542, 40, {"cursor"}, 0},
        TMoveCase{"FarZoneEnd", 557, 40, {"cursor"}, 0},
        TMoveCase{"StripStart", 558, 40, ToHalf, 1},
        // Beyond the strip's end the pointer is still "over the strip".
        TMoveCase{"BeyondStrip", 595, 56, {"track 0"}, 0},
        // Dragged above the top edge: band 3, position 3, which scrolls the cells silently.
        TMoveCase{"AboveTop", 300, -10,
                  {Strip, "duration", "cancelhint", "hint 1/8 1000 500", "track 1"}, 3},
        TMoveCase{"FarAboveTop", 300, -28, {}, 0}),
    [](const ::testing::TestParamInfo<TMoveCase>& Info) { return Info.param.Name; });
// clang-format on

TEST(Tracking, OffFiresOnlyOverTheStrip) {
    TInputRig Rig(600, 100);
    Rig.LogHostEvents();
    Rig.K.OnMouseMove = [&](TObject*, TShiftState, int, int) { Rig.Log.push_back("mousemove"); };
    Rig.Move(300, 40);
    Rig.Move(570, 40);
    Rig.Move(650, 40);
    EXPECT_EQ(Rig.Take(), (Lines{"mousemove", "mousemove", "track 0", "mousemove", "track 0"}));
    EXPECT_EQ(Rig.K.DurationPosition(), 0);
}

TEST(Tracking, SameBandRepeatsTrackWithoutChange) {
    TInputRig Rig(600, 100);
    Rig.K.SetMouseTrack(true);
    Rig.Move(300, 40);
    Rig.Take();
    Rig.Move(310, 45);
    Rig.Move(320, 30);
    EXPECT_EQ(Rig.Take(), (Lines{"track 1", "track 1"}));
}

TEST(Tracking, BackToTheWholeNoteShowsC) {
    TInputRig Rig(600, 100);
    Rig.K.SetMouseTrack(true);
    Rig.Move(300, 40);
    Rig.Take();
    Rig.Move(300, 90);
    EXPECT_EQ(Rig.Take(), (Lines{Strip, "duration", "cancelhint", "hint c 0 0", "track 1"}));
    EXPECT_EQ(Rig.K.Hint(), "c");
}

TEST(Tracking, RefusedPositionStillRefreshesTheHint) {
    TInputRig Rig(600, 100);
    Rig.K.SetMouseTrack(true);
    Rig.K.SetDurationPosition(5);  // offset becomes 3
    ASSERT_EQ(Rig.K.OffsetDuration(), 3);
    Rig.Take();
    // Band 3 above the top edge would be position 6, which does not exist.
    Rig.Move(300, -10);
    EXPECT_EQ(Rig.Take(), (Lines{"cancelhint", "hint 1/32 0 0", "track 1"}));
    EXPECT_EQ(Rig.K.DurationPosition(), 5);
}

TEST(Tracking, VerticalBandsRunAcrossX) {
    TInputRig Rig(100, 600, TInputRig::AllStyles(), koVertical);
    Rig.K.SetMouseTrack(true);
    Rig.Move(40, 300);
    EXPECT_EQ(Rig.Take(),
              (Lines{Inv(0, 558, 100, 588), "duration", "cancelhint", "hint 1/2 0 0", "track 1"}));
    Rig.Move(90, 10);  // the start zone along y
    EXPECT_EQ(Rig.Take(), Lines{"cursor"});
}

// Without msScrollDuration: 6 bands of 16, no reset zone, no hint, the setter called on every
// band move (it ignores an unchanged position).
TEST(Tracking, WithoutDurationScrolling) {
    TInputRig Rig(600, 100, {msShowMarks, msScrollOctave});
    Rig.K.SetMouseTrack(true);
    Rig.Move(10, 90);
    EXPECT_EQ(Rig.Take(), Lines{"track 1"});
    Rig.Move(10, 70);
    EXPECT_EQ(Rig.Take(), (Lines{Strip, "duration", "track 1"}));
    Rig.Move(570, 95);
    EXPECT_EQ(Rig.Take(), (Lines{Strip, "duration", "track 1"}));
    Rig.Move(570, 80);  // a boundary over the strip
    EXPECT_EQ(Rig.Take(), Lines{"track 0"});
    EXPECT_EQ(Rig.K.DurationPosition(), 0);
    EXPECT_EQ(Rig.K.Cursor(), crDefault);
}

TEST(Tracking, PressedKeysStayPressed) {
    TInputRig Rig(600, 100);
    Rig.Focus();
    Rig.K.SetMouseTrack(true);
    Rig.Down(50, 90);
    Rig.Move(300, 40);
    EXPECT_EQ(Rig.K.KeyStates()[2], ksPressed);
}

}  // namespace
}  // namespace keymora
