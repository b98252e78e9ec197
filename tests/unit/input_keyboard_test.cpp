// PC-keyboard playing: note keys, Shift for black keys, digits, navigation under the CtrlMove
// gate, Space. 600 x 100, every style, Octave 5 and Keys "CDEFGAB" unless a test says
// otherwise: the C key plays white key 23, drawn at 361..376.
#include <gtest/gtest.h>

#include "input_harness.h"

namespace keymora {
namespace {

using testing::TInputRig;
using Lines = std::vector<std::string>;
const auto Inv = TInputRig::Inv;

TEST(Keyboard, NoteKeyPressesAndReleasesItsKey) {
    TInputRig Rig(600, 100);
    Rig.LogHostEvents();
    Rig.KeyDown('C');
    EXPECT_EQ(Rig.Take(), (Lines{Inv(361, 0, 376, 100), "keydown 67"}));
    EXPECT_EQ(Rig.K.KeyStates()[23], ksPressed);
    // Auto-repeat finds the key pressed: only the host event.
    Rig.KeyDown('C');
    EXPECT_EQ(Rig.Take(), Lines{"keydown 67"});
    // The click comes before the host's own key-up event.
    Rig.KeyUp('C');
    EXPECT_EQ(Rig.Take(), (Lines{Inv(361, 0, 376, 100), "click 5 1 0", "keyup 67"}));
    Rig.KeyUp('C');
    EXPECT_EQ(Rig.Take(), Lines{"keyup 67"});
}

TEST(Keyboard, SpaceClicksOnEveryKeyDown) {
    TInputRig Rig(600, 100);
    Rig.LogHostEvents();
    Rig.KeyDown(vk::VK_SPACE);
    Rig.KeyDown(vk::VK_SPACE);
    Rig.KeyUp(vk::VK_SPACE);
    EXPECT_EQ(Rig.Take(),
              (Lines{"click 0 -1 0", "keydown 32", "click 0 -1 0", "keydown 32", "keyup 32"}));
}

struct TPlayCase {
    const char* Name;
    std::string Keys;
    int Octave;
    TAutoTone Mode;
    std::uint16_t Key;
    bool Shift;
    // What the key-down and key-up do, or nothing.
    Lines Down;
    Lines Up;
};

class KeyboardPlay : public ::testing::TestWithParam<TPlayCase> {};

TEST_P(KeyboardPlay, DownThenUp) {
    const TPlayCase& C = GetParam();
    TInputRig Rig(600, 100, {msScrollDuration});  // no marks: octave changes repaint nothing
    Rig.K.SetKeys(C.Keys);
    Rig.K.SetOctave(C.Octave);
    Rig.K.SetAutoTone(C.Mode);
    Rig.Take();
    const TShiftState Shift = C.Shift ? TShiftState{ssShift} : TShiftState{};
    Rig.KeyDown(C.Key, Shift);
    EXPECT_EQ(Rig.Take(), C.Down);
    Rig.KeyUp(C.Key, Shift);
    EXPECT_EQ(Rig.Take(), C.Up);
    EXPECT_EQ(Rig.K.Octave(), C.Octave);
}

// 52 keys of 10 from x = 0 here: white key w at 10w..10w + 10, black key b at
// 10(b + 1) - 2 .. 10(b + 1) + 4, height 82.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Cases, KeyboardPlay,
    ::testing::Values(
        TPlayCase{"C", "CDEFGAB", 5, atAutoMajor, 'C', false,
                  {Inv(230, 0, 240, 100)}, {Inv(230, 0, 240, 100), "click 5 1 0"}},
        // Lower-case letters in Keys play as upper-case ones.
        TPlayCase{"LowerCaseKeys", "cdefgab", 5, atAutoMajor, 'E', false,
                  {Inv(250, 0, 260, 100)}, {Inv(250, 0, 260, 100), "click 5 3 0"}},
        // A duplicate plays only at its first position.
        TPlayCase{"Duplicate", "CDEFGAC", 5, atAutoMajor, 'C', false,
                  {Inv(230, 0, 240, 100)}, {Inv(230, 0, 240, 100), "click 5 1 0"}},
        TPlayCase{"EmptyKeys", "", 5, atAutoMajor, 'C', false, {}, {}},
        TPlayCase{"NotInKeys", "CDEFGAB", 5, atAutoMajor, 'Z', false, {}, {}},
        // "0" in Keys plays.
        TPlayCase{"Zero", "0DEFGAB", 5, atAutoMajor, '0', false,
                  {Inv(230, 0, 240, 100)}, {Inv(230, 0, 240, 100), "click 5 1 0"}},
        // The numeric pad arrives on lower-case codes, which upper-cased Keys never holds.
        TPlayCase{"NumpadOnLowerCaseKeys", "abcdefg", 5, atAutoMajor, 0x61, false, {}, {}},
        // Page Up / Page Down take the character path: '!' and '"'.
        TPlayCase{"PriorAsCharacter", "!DEFGAB", 5, atAutoMajor, vk::VK_PRIOR, false,
                  {Inv(230, 0, 240, 100)}, {Inv(230, 0, 240, 100), "click 5 1 0"}},
        // An eighth character plays the next octave's C and reports Note 8.
        TPlayCase{"EighthKey", "CDEFGABH", 5, atAutoMajor, 'H', false,
                  {Inv(300, 0, 310, 100)}, {Inv(300, 0, 310, 100), "click 5 8 0"}},
        // Octave 1 holds only A0 and B0.
        TPlayCase{"A0", "CDEFGAB", 1, atAutoMajor, 'A', false,
                  {Inv(0, 0, 10, 100)}, {Inv(0, 0, 10, 100), "click 1 6 0"}},
        TPlayCase{"BelowA0", "CDEFGAB", 1, atAutoMajor, 'G', false, {}, {}},
        TPlayCase{"ShiftB0Bemol", "CDEFGAB", 1, atBemol, 'B', true,
                  {Inv(8, 0, 14, 82)}, {Inv(8, 0, 14, 82), "click 1 7 -1"}},
        TPlayCase{"ShiftA0Bemol", "CDEFGAB", 1, atBemol, 'A', true, {}, {}},
        // Octave 9 holds only C8; Shift+C under atDiesis is the unseen gap after it.
        TPlayCase{"C8", "CDEFGAB", 9, atAutoMajor, 'C', false,
                  {Inv(510, 0, 520, 100)}, {Inv(510, 0, 520, 100), "click 9 1 0"}},
        TPlayCase{"AboveC8", "CDEFGAB", 9, atAutoMajor, 'D', false, {}, {}},
        TPlayCase{"ShiftC8Diesis", "CDEFGAB", 9, atDiesis, 'C', true,
                  {Inv(518, 0, 524, 82)}, {Inv(518, 0, 524, 82), "click 9 1 1"}},
        // Shift+D in octave 5: the black key below (23) reads as a flat of D in every mode but
        // atDiesis, which plays the one above (24) as a sharp.
        TPlayCase{"ShiftDMajor", "CDEFGAB", 5, atAutoMajor, 'D', true,
                  {Inv(238, 0, 244, 82)}, {Inv(238, 0, 244, 82), "click 5 2 -1"}},
        TPlayCase{"ShiftDMinor", "CDEFGAB", 5, atAutoMinor, 'D', true,
                  {Inv(238, 0, 244, 82)}, {Inv(238, 0, 244, 82), "click 5 2 -1"}},
        TPlayCase{"ShiftDBemol", "CDEFGAB", 5, atBemol, 'D', true,
                  {Inv(238, 0, 244, 82)}, {Inv(238, 0, 244, 82), "click 5 2 -1"}},
        TPlayCase{"ShiftDDiesis", "CDEFGAB", 5, atDiesis, 'D', true,
                  {Inv(248, 0, 254, 82)}, {Inv(248, 0, 254, 82), "click 5 2 1"}}),
    [](const ::testing::TestParamInfo<TPlayCase>& Info) { return Info.param.Name; });
// clang-format on

TEST(Keyboard, DigitsChooseTheOctaveEvenWhenInKeys) {
    TInputRig Rig(600, 100);
    Rig.K.SetKeys("1DEFGAB");
    Rig.Take();
    Rig.KeyDown('6');
    // Octave 6 scrolls the view by one octave.
    EXPECT_EQ(Rig.Take(), (Lines{Inv(361, 86, 466, 100), Inv(466, 86, 571, 100),
                                 Inv(16, 0, 542, 100), "offset"}));
    EXPECT_EQ(Rig.K.Octave(), 6);
    Rig.KeyDown('1');
    EXPECT_EQ(Rig.K.Octave(), 1);
    EXPECT_EQ(Rig.K.KeyStates(), TKeyStateArray{});
    // The key-up of a digit has no digit test: '1' is looked up in Keys and finds key 0 idle.
    Rig.Take();
    Rig.KeyUp('1');
    EXPECT_EQ(Rig.Take(), Lines{});
    // Numeric-pad digits choose nothing.
    Rig.KeyDown(vk::VK_NUMPAD0 + 3);
    EXPECT_EQ(Rig.K.Octave(), 1);
}

struct TNavCase {
    const char* Name;
    bool CtrlMove;
    bool Ctrl;
    std::uint16_t Key;
    int Octave;    // afterwards, from 5
    int Position;  // afterwards, from 0
};

class KeyboardNavigation : public ::testing::TestWithParam<TNavCase> {};

TEST_P(KeyboardNavigation, UnderTheCtrlMoveGate) {
    const TNavCase& C = GetParam();
    TInputRig Rig(600, 100);
    Rig.LogHostEvents();
    Rig.K.SetCtrlMove(C.CtrlMove);
    const TShiftState Shift = C.Ctrl ? TShiftState{ssCtrl} : TShiftState{};
    Rig.KeyDown(C.Key, Shift);
    EXPECT_EQ(Rig.K.Octave(), C.Octave);
    EXPECT_EQ(Rig.K.DurationPosition(), C.Position);
    // The host event fires whether or not the key acted.
    EXPECT_EQ(Rig.Take().back(), "keydown " + std::to_string(C.Key));
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyboardNavigation,
                         ::testing::Values(TNavCase{"Left", false, false, vk::VK_LEFT, 4, 0},
                                           TNavCase{"Right", false, false, vk::VK_RIGHT, 6, 0},
                                           TNavCase{"Up", false, false, vk::VK_UP, 5, 1},
                                           TNavCase{"DownAtZero", false, false, vk::VK_DOWN, 5, 0},
                                           TNavCase{"End", false, false, vk::VK_END, 8, 0},
                                           TNavCase{"Home", false, false, vk::VK_HOME, 2, 0},
                                           TNavCase{"LeftWithCtrl", false, true, vk::VK_LEFT, 4, 0},
                                           TNavCase{"GatedLeft", true, false, vk::VK_LEFT, 5, 0},
                                           TNavCase{"GatedUp", true, false, vk::VK_UP, 5, 0},
                                           TNavCase{"GatedEnd", true, false, vk::VK_END, 5, 0},
                                           TNavCase{"GatedHome", true, false, vk::VK_HOME, 5, 0},
                                           TNavCase{"GateOpenLeft", true, true, vk::VK_LEFT, 4, 0},
                                           TNavCase{"GateOpenUp", true, true, vk::VK_UP, 5, 1},
                                           TNavCase{"GateOpenEnd", true, true, vk::VK_END, 8, 0},
                                           TNavCase{"GateOpenHome", true, true, vk::VK_HOME, 2, 0}),
                         [](const ::testing::TestParamInfo<TNavCase>& Info) {
                             return Info.param.Name;
                         });

TEST(Keyboard, ArrowsStopAtTheOctaveLimits) {
    TInputRig Rig(600, 100);
    Rig.K.SetOctave(1);
    Rig.KeyDown(vk::VK_LEFT);
    EXPECT_EQ(Rig.K.Octave(), 1);
    Rig.K.SetOctave(9);
    Rig.KeyDown(vk::VK_RIGHT);
    EXPECT_EQ(Rig.K.Octave(), 9);
    Rig.K.SetDurationPosition(5);
    Rig.KeyDown(vk::VK_UP);
    EXPECT_EQ(Rig.K.DurationPosition(), 5);
}

TEST(Keyboard, ReleaseAfterAnOctaveChangeReleasesNothing) {
    TInputRig Rig(600, 100, {msScrollDuration});
    Rig.KeyDown('C');
    Rig.KeyDown('6');
    Rig.Take();
    Rig.KeyUp('C');  // addresses key 30, which is idle
    EXPECT_EQ(Rig.Take(), Lines{});
    EXPECT_EQ(Rig.K.KeyStates()[23], ksPressed);
}

TEST(Keyboard, ShiftReleasedFirstLeavesTheBlackKeyHeld) {
    TInputRig Rig(600, 100, {msScrollDuration});
    Rig.KeyDown('C', {ssShift});  // black key 22 under atAutoMajor
    Rig.Take();
    Rig.KeyUp('C');  // looks at white key 23
    EXPECT_EQ(Rig.Take(), Lines{});
    EXPECT_EQ(Rig.K.ToneStates()[22], ksPressed);
    // A mouse release reports it by the mouse's naming (after B3: a B sharp under atAutoMajor).
    Rig.Up(0, 0);
    EXPECT_EQ(Rig.Take(), (Lines{Inv(228, 0, 234, 82), "click 4 7 1"}));
}

TEST(Keyboard, MouseReleaseTakesHeldKeysAndTheirKeyUpFindsNothing) {
    TInputRig Rig(600, 100, {msScrollDuration});
    Rig.KeyDown('C');
    Rig.Take();
    Rig.Up(0, 0);
    EXPECT_EQ(Rig.Take(), (Lines{Inv(230, 0, 240, 100), "click 5 1 0"}));
    Rig.KeyUp('C');
    EXPECT_EQ(Rig.Take(), Lines{});
}

TEST(Keyboard, SelectedKeyIsPressedAndThenIdle) {
    TInputRig Rig(600, 100, {msScrollDuration});
    Rig.K.SelectNote(5, 0, 0);
    Rig.KeyDown('C');
    EXPECT_EQ(Rig.K.KeyStates()[23], ksPressed);
    Rig.Take();
    Rig.KeyUp('C');
    EXPECT_EQ(Rig.Take(), (Lines{Inv(230, 0, 240, 100), "click 5 1 0"}));
    EXPECT_EQ(Rig.K.KeyStates()[23], ksIdle);
}

TEST(Keyboard, KeyPressIsSwallowed) {
    TInputRig Rig(600, 100);
    bool Fired = false;
    Rig.K.OnKeyPress = [&](TObject*, char&) { Fired = true; };
    char Ch = 'c';
    Rig.K.KeyPress(Ch);
    EXPECT_FALSE(Fired);
}

}  // namespace
}  // namespace keymora
