// Mouse press and release: whole clicks with their events and repaint requests, in order.
// Layout throughout: 600 x 100, every style (keys of 15 from x = 16, key 2 at 46..61 drawn,
// hit from 47; strip 558..588), unless a test says otherwise.
#include <gtest/gtest.h>

#include "input_harness.h"

namespace keymora {
namespace {

using testing::TInputRig;
using Lines = std::vector<std::string>;
const auto Inv = TInputRig::Inv;

// Marks bands of octave 5 and 2 at origin 16.
const std::string MarksOctave5 = Inv(361, 86, 466, 100);
const std::string MarksOctave2 = Inv(46, 86, 151, 100);
const std::string Strip = Inv(558, 0, 588, 100);

TEST(MousePress, WhiteKeyTakesFocusAndReportsOnRelease) {
    TInputRig Rig(600, 100);
    Rig.LogHostEvents();
    Rig.Down(50, 90);
    // Base step first, then the focus (whose handler repaints marks and strip), then the key
    // and the octave change it implies.
    EXPECT_EQ(Rig.Take(), (Lines{"mousedown", "focus", MarksOctave5, Strip, Inv(46, 0, 61, 100),
                                 MarksOctave5, MarksOctave2}));
    EXPECT_EQ(Rig.K.KeyStates()[2], ksPressed);
    EXPECT_EQ(Rig.K.Octave(), 2);

    // Released anywhere, even outside the control.
    Rig.Up(700, 300);
    EXPECT_EQ(Rig.Take(), (Lines{"mouseup", Inv(46, 0, 61, 100), "click 2 1 0"}));
    EXPECT_EQ(Rig.K.KeyStates()[2], ksIdle);

    // A second click does not take the focus again.
    Rig.Down(50, 90);
    EXPECT_EQ(Rig.Take(), (Lines{"mousedown", Inv(46, 0, 61, 100)}));
}

TEST(MousePress, ReleaseRepaintsKeyWhereTheScrollMovedIt) {
    TInputRig Rig(600, 100);
    Rig.Focus();
    // Key 30 (C5, octave 6) is hit over 467..481. Octave 6 scrolls the view by one octave.
    Rig.Down(470, 90);
    EXPECT_EQ(Rig.Take(), (Lines{Inv(466, 0, 481, 100), MarksOctave5, Inv(466, 86, 571, 100),
                                 Inv(16, 0, 542, 100), "offset"}));
    EXPECT_EQ(Rig.K.OffsetOctave(), 1);
    // Scrolled by 30 pixels, key 30 now lies at 436..451.
    Rig.Up(470, 90);
    EXPECT_EQ(Rig.Take(), (Lines{Inv(436, 0, 451, 100), "click 6 1 0"}));
}

TEST(MousePress, EndKeysReport) {
    TInputRig Rig(600, 100, {msScrollDuration});  // 52 keys of 10, no marks
    Rig.Focus();
    Rig.Down(5, 90);
    Rig.Up(5, 90);
    EXPECT_EQ(Rig.Take(), (Lines{Inv(0, 0, 10, 100), Inv(0, 0, 10, 100), "click 1 6 0"}));
    Rig.Down(515, 90);
    Rig.Up(515, 90);
    EXPECT_EQ(Rig.Take(), (Lines{Inv(510, 0, 520, 100), Inv(510, 0, 520, 100), "click 9 1 0"}));
    EXPECT_EQ(Rig.K.Octave(), 9);
}

struct TToneCase {
    TAutoTone Mode;
    const char* Click;
};

class MouseBlackKey : public ::testing::TestWithParam<TToneCase> {};

// The black key between D1 and E1 (index 3), hit over 72..80 at the top of the keys.
TEST_P(MouseBlackKey, IsNamedByAutoTone) {
    TInputRig Rig(600, 100);
    Rig.Focus();
    Rig.K.SetAutoTone(GetParam().Mode);
    Rig.Down(74, 10);
    EXPECT_EQ(Rig.Take(), (Lines{Inv(73, 0, 81, 82), MarksOctave5, MarksOctave2}));
    EXPECT_EQ(Rig.K.ToneStates()[3], ksPressed);
    EXPECT_EQ(Rig.K.KeyStates()[3], ksIdle);
    Rig.Up(74, 10);
    EXPECT_EQ(Rig.Take(), (Lines{Inv(73, 0, 81, 82), GetParam().Click}));
}

INSTANTIATE_TEST_SUITE_P(Modes, MouseBlackKey,
                         ::testing::Values(TToneCase{atAutoMajor, "click 2 3 -1"},
                                           TToneCase{atBemol, "click 2 3 -1"},
                                           TToneCase{atAutoMinor, "click 2 2 1"},
                                           TToneCase{atDiesis, "click 2 2 1"}));

TEST(MousePress, HeldBlackKeyTakesPressesOverItsWhiteKey) {
    TInputRig Rig(600, 100);
    Rig.Focus();
    Rig.K.SetAutoTone(atDiesis);
    // Shift+D in octave 5 under atDiesis holds black key 24 (after D4).
    Rig.KeyDown('D', {ssShift});
    Rig.Take();
    // The middle of D4 (377..391) at the top names no black key, yet counts as black key 24.
    Rig.Down(383, 10);
    EXPECT_EQ(Rig.Take(), (Lines{Inv(388, 0, 396, 82)}));
    EXPECT_EQ(Rig.K.KeyStates()[24], ksIdle);
    // Below the black-key zone the same key is the white one.
    Rig.Down(383, 90);
    EXPECT_EQ(Rig.Take(), (Lines{Inv(376, 0, 391, 100)}));
    // One release serves both, white keys first; the PC key's release then finds nothing.
    Rig.Up(383, 90);
    EXPECT_EQ(Rig.Take(),
              (Lines{Inv(376, 0, 391, 100), "click 5 2 0", Inv(388, 0, 396, 82), "click 5 2 1"}));
    Rig.KeyUp('D', {ssShift});
    EXPECT_EQ(Rig.Take(), Lines{});
}

TEST(MousePress, SelectedKeyEndsIdleAndOthersStaySelected) {
    TInputRig Rig(600, 100);
    Rig.Focus();
    Rig.K.SelectNote(2, 0, 0);  // key 2
    Rig.K.SelectNote(2, 1, 0);  // key 3
    Rig.Take();
    Rig.Down(50, 90);
    Rig.Up(50, 90);
    EXPECT_EQ(Rig.K.KeyStates()[2], ksIdle);
    EXPECT_EQ(Rig.K.KeyStates()[3], ksSelected);
    EXPECT_EQ(Rig.Take().back(), "click 2 1 0");
}

TEST(MousePress, KeysAreIdleWhenTheirClickIsReported) {
    TInputRig Rig(600, 100);
    Rig.Focus();
    std::vector<std::string> Seen;
    Rig.K.OnKeyClick = [&](TObject*, int, int, int) {
        Seen.push_back(std::to_string(Rig.K.KeyStates()[2]) + std::to_string(Rig.K.KeyStates()[4]));
    };
    Rig.Down(50, 90);  // key 2
    Rig.Down(80, 90);  // key 4
    Rig.Up(0, 0);
    EXPECT_EQ(Seen, (Lines{"02", "00"}));
}

TEST(MousePress, NothingHitDoesNothing) {
    TInputRig Rig(600, 100);
    Rig.Focus();
    Rig.K.SetOffsetOctave(4);
    Rig.Take();
    Rig.Down(500, 90);  // beyond C8
    Rig.Down(50, 100);  // below the client area: not a white key
    Rig.Up(50, 100);
    EXPECT_EQ(Rig.Take(), Lines{});
}

TEST(MousePress, VerticalWhiteKey) {
    TInputRig Rig(100, 600, {msScrollOctave, msScrollDuration}, koVertical);
    Rig.Focus();
    Rig.Down(90, 50);
    Rig.Up(90, 50);
    EXPECT_EQ(Rig.Take(), (Lines{Inv(0, 46, 100, 61), Inv(0, 46, 100, 61), "click 2 1 0"}));
}

struct TZoneCase {
    const char* Name;
    int X;
    int Y;
    int OffsetOctave;  // before the press
    Lines Press;
    Lines Release;
};

class MouseZoneButton : public ::testing::TestWithParam<TZoneCase> {};

TEST_P(MouseZoneButton, ActsOnRelease) {
    const TZoneCase& C = GetParam();
    TInputRig Rig(600, 100);
    Rig.Focus();
    Rig.K.SetOffsetOctave(C.OffsetOctave);
    Rig.Take();
    Rig.Down(C.X, C.Y);
    EXPECT_EQ(Rig.Take(), C.Press);
    Rig.Up(C.X, C.Y);
    EXPECT_EQ(Rig.Take(), C.Release);
    EXPECT_FALSE(Rig.K.OctaveDownPressed() || Rig.K.OctaveUpPressed() ||
                 Rig.K.MoreOctavesPressed() || Rig.K.FewerOctavesPressed() ||
                 Rig.K.MoreDurationsPressed() || Rig.K.FewerDurationsPressed() ||
                 Rig.K.DurationUpPressed() || Rig.K.DurationDownPressed());
}

const Lines KeyArea = {Inv(16, 0, 542, 100), "offset"};

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Buttons, MouseZoneButton,
    ::testing::Values(
        // At offset 0 the start arrow only comes up again, repainting its whole zone.
        TZoneCase{"StartArrowAtZero", 5, 10, 0, {Inv(0, 0, 16, 68)}, {Inv(0, 0, 16, 100)}},
        TZoneCase{"StartArrow", 5, 10, 1, {Inv(0, 0, 16, 68)},
                  {KeyArea[0], KeyArea[1], Inv(0, 0, 16, 100)}},
        TZoneCase{"FarArrow", 550, 10, 0, {Inv(542, 0, 558, 68)},
                  {KeyArea[0], KeyArea[1], Inv(542, 0, 558, 68)}},
        TZoneCase{"FarArrowAtEnd", 550, 10, 4, {Inv(542, 0, 558, 68)}, {Inv(542, 0, 558, 68)}},
        TZoneCase{"StartPlus", 5, 75, 0, {Inv(0, 68, 16, 84)}, {"all", "max", Inv(0, 68, 16, 84)}},
        // MaxOffsetOttave 4 -> 3 lowers the offset first: OnOffsetChanged before OnMaxChanged.
        TZoneCase{"StartPlusClamps", 5, 75, 4, {Inv(0, 68, 16, 84)},
                  {KeyArea[0], KeyArea[1], "all", "max", Inv(0, 68, 16, 84)}},
        TZoneCase{"StartMinus", 5, 90, 0, {Inv(0, 84, 16, 100)},
                  {"all", "max", Inv(0, 84, 16, 100)}},
        TZoneCase{"FarPlus", 550, 75, 0, {Inv(542, 68, 558, 84)},
                  {"all", "max", Inv(542, 68, 558, 84)}},
        TZoneCase{"FarMinus", 550, 90, 0, {Inv(542, 84, 558, 100)},
                  {"all", "max", Inv(542, 84, 558, 100)}},
        // The duration buttons repaint their faces on press and the whole strip on release.
        TZoneCase{"DurationUp", 560, 90, 0, {Inv(558, 84, 588, 100)}, {Strip, "offset", Strip}},
        TZoneCase{"DurationDownAtZero", 580, 90, 0, {Inv(558, 84, 588, 100)}, {Strip}}),
    [](const ::testing::TestParamInfo<TZoneCase>& Info) { return Info.param.Name; });
// clang-format on

TEST(MouseZoneButtons, LimitsChange) {
    TInputRig Rig(600, 100);
    Rig.Focus();
    Rig.Down(5, 75);
    Rig.Up(5, 75);
    EXPECT_EQ(Rig.K.MaxOffsetOttave(), 3);
    // 42 keys in view now: RealWidth 567, strip from 537, far-end zone 522..536.
    ASSERT_EQ(Rig.K.RealWidth(), 567);
    Rig.Down(530, 90);
    Rig.Up(530, 90);
    EXPECT_EQ(Rig.K.MaxOffsetDuration(), 4);
    // Two cells of 42 now, the duration buttons still below 84.
    Rig.Down(540, 90);
    Rig.Up(540, 90);
    EXPECT_EQ(Rig.K.OffsetDuration(), 1);
}

TEST(MouseZoneButtons, OneReleaseServesOneZoneFlagAndOneDurationFlag) {
    TInputRig Rig(600, 100);
    Rig.Focus();
    Rig.Down(550, 10);  // far arrow
    Rig.Down(5, 10);    // start arrow: served first by the fixed order
    Rig.Down(560, 90);  // duration up
    Rig.Take();
    Rig.Up(0, 0);
    EXPECT_EQ(Rig.Take(), (Lines{Inv(0, 0, 16, 100), Strip, "offset", Strip}));
    EXPECT_TRUE(Rig.K.OctaveUpPressed());
    Rig.Up(0, 0);
    EXPECT_EQ(Rig.Take(), (Lines{KeyArea[0], KeyArea[1], Inv(542, 0, 558, 68)}));
    Rig.Up(0, 0);
    EXPECT_EQ(Rig.Take(), Lines{});
}

TEST(MouseCells, PressSelectsDuration) {
    TInputRig Rig(600, 100);
    Rig.Focus();
    Rig.Down(570, 40);  // cell 1
    EXPECT_EQ(Rig.Take(), (Lines{Strip, "duration"}));
    EXPECT_EQ(Rig.K.DurationPosition(), 1);
    Rig.Down(570, 40);  // the same position again: nothing
    Rig.Up(570, 40);    // and nothing on release
    EXPECT_EQ(Rig.Take(), Lines{});
    Rig.K.SetOffsetDuration(2);
    Rig.Take();
    Rig.Down(570, 10);  // cell 2 at offset 2
    EXPECT_EQ(Rig.K.DurationPosition(), 4);
    Rig.Down(570, 56);  // a boundary: nothing
    EXPECT_EQ(Rig.Take(), (Lines{Strip, "duration"}));
}

}  // namespace
}  // namespace keymora
