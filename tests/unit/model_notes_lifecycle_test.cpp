// Note states (select, release, release all) with their repaint requests, and the control's life
// cycle: loading, bounds, window style and the four messages it answers itself.
#include <gtest/gtest.h>

#include "harness.h"

namespace keymora::test {
namespace {

using Log = std::vector<std::string>;

struct SelectCase {
    const char* Name;
    int Octave, Note, Tone;
    int White;  // index in KeyStates, or -1
    int Black;  // index in ToneStates, or -1
};

class SelectNote : public ::testing::TestWithParam<SelectCase> {};

TEST_P(SelectNote, AddressesOneKeyAndRepaintsIt) {
    const SelectCase& C = GetParam();
    Harness H;
    TKeymora& K = H.Control;
    K.SelectNote(static_cast<std::uint8_t>(C.Octave), static_cast<std::uint8_t>(C.Note),
                 static_cast<std::uint8_t>(C.Tone));
    TKeyStateArray Keys{};
    TKeyStateArray Tones{};
    Log Expected;
    if (C.White >= 0) {
        Keys[static_cast<std::size_t>(C.White)] = 3;
        Expected.push_back(Inv(16 + 15 * C.White, 0, 31 + 15 * C.White, 100));
    }
    if (C.Black >= 0) {
        Tones[static_cast<std::size_t>(C.Black)] = 3;
        const int Boundary = 16 + 15 * (C.Black + 1);
        Expected.push_back(Inv(Boundary - 3, 0, Boundary + 5, 82));
    }
    EXPECT_EQ(K.KeyStates(), Keys);
    EXPECT_EQ(K.ToneStates(), Tones);
    EXPECT_EQ(H.Take(), Expected);
    // A second select of the same key changes and repaints nothing.
    K.SelectNote(static_cast<std::uint8_t>(C.Octave), static_cast<std::uint8_t>(C.Note),
                 static_cast<std::uint8_t>(C.Tone));
    EXPECT_EQ(H.Take(), Log{});
    // ReleaseNote undoes it with the same repaint.
    K.ReleaseNote(static_cast<std::uint8_t>(C.Octave), static_cast<std::uint8_t>(C.Note),
                  static_cast<std::uint8_t>(C.Tone));
    EXPECT_EQ(K.KeyStates(), TKeyStateArray{});
    EXPECT_EQ(K.ToneStates(), TKeyStateArray{});
    EXPECT_EQ(H.Take(), Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, SelectNote,
    ::testing::Values(SelectCase{"A0", 1, 5, 0, 0, -1}, SelectCase{"C8", 9, 0, 0, 51, -1},
                      SelectCase{"CSharp1", 2, 0, 1, -1, 2},
                      // Note is not limited to 0..6: (4, 7) is (5, 0), white key 23.
                      SelectCase{"NoteSeven", 4, 7, 0, 23, -1},
                      // After B0 there is no black key; the state is still kept.
                      SelectCase{"GapAfterB0", 1, 6, 1, -1, 1},
                      SelectCase{"BelowA0", 1, 4, 0, -1, -1}, SelectCase{"AboveC8", 9, 1, 0, -1, -1},
                      SelectCase{"OctaveZero", 0, 0, 0, -1, -1},
                      // Byte arguments: 255 is far beyond the keyboard, not -1.
                      SelectCase{"ByteOverflow", 255, 255, 1, -1, -1}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(NoteStates, ReleaseNoteLeavesIdleAndPressedKeysAlone) {
    Harness H;
    TKeymora& K = H.Control;
    K.ReleaseNote(5, 0, 0);
    K.ReleaseNote(5, 0, 1);
    EXPECT_EQ(H.Take(), Log{});
}

TEST(NoteStates, ReleaseSelectedWhiteKeysFirstThenBlack) {
    Harness H;
    TKeymora& K = H.Control;
    K.ReleaseSelected();
    EXPECT_EQ(H.Take(), Log{});
    K.SelectNote(2, 0, 1);   // black key 2
    K.SelectNote(7, 3, 0);   // white key 40
    K.SelectNote(2, 1, 0);   // white key 3
    H.Take();
    K.ReleaseSelected();
    EXPECT_EQ(H.Take(), (Log{Inv(61, 0, 76, 100), Inv(616, 0, 631, 100), Inv(58, 0, 66, 82)}));
    EXPECT_EQ(K.KeyStates(), TKeyStateArray{});
    EXPECT_EQ(K.ToneStates(), TKeyStateArray{});
}

TEST(NoteStates, WithoutWindowStatesChangeButNothingIsRequested) {
    Harness H(600, 100, /*WithWindow=*/false);
    TKeymora& K = H.Control;
    K.SelectNote(5, 0, 0);
    EXPECT_EQ(K.KeyStates()[23], 3);
    K.ReleaseSelected();
    EXPECT_EQ(K.KeyStates()[23], 0);
    EXPECT_EQ(H.Take(), Log{});
}

TEST(NoteStates, EveryChangeIsReportedBeforeItsRepaint) {
    Harness H;
    TKeymora& K = H.Control;
    K.OnChange = [&](TObject* Sender, const TChange& C) {
        H.CheckSender(Sender);
        if (C.Kind != TChangeKind::KeyState) return;
        H.Log.push_back("state " + std::to_string(C.Index) + (C.Black ? " black " : " white ") +
                        std::to_string(C.OldState) + "->" + std::to_string(C.NewState));
    };
    K.SelectNote(5, 0, 0);
    K.SelectNote(5, 0, 0);  // no change, no report
    K.SelectNote(2, 0, 1);
    K.ReleaseSelected();
    EXPECT_EQ(H.Take(), (Log{"state 23 white 0->3", Inv(361, 0, 376, 100), "state 2 black 0->3",
                             Inv(58, 0, 66, 82), "state 23 white 3->0", Inv(361, 0, 376, 100),
                             "state 2 black 3->0", Inv(58, 0, 66, 82)}));
}

TEST(Lifecycle, LoadingComputesTheLayoutInLoaded) {
    TKeymora K;
    THeadlessForm Form;
    K.BeginLoading();
    K.SetParent(&Form);
    K.SetBounds(0, 0, 300, 80);
    K.SetBounds(0, 0, 600, 100);
    EXPECT_EQ(K.RealWidth(), 0);
    K.Loaded();
    EXPECT_FALSE(K.ComponentState().Contains(csLoading));
    EXPECT_EQ(K.RealWidth(), 588);
    K.SetBounds(10, 10, 600, 100);
    EXPECT_EQ(K.RealWidth(), 588);
    K.SetBounds(10, 10, 800, 100);
    EXPECT_EQ(K.RealWidth(), 798);
}

TEST(Lifecycle, BoundsHeldToTheWindowRange) {
    TKeymora K;
    K.SetBounds(-2147483647 - 1, 2147483647, 40000, -40000);
    EXPECT_EQ(K.Left(), -32768);
    EXPECT_EQ(K.Top(), 32767);
    EXPECT_EQ(K.Width(), 32767);
    EXPECT_EQ(K.Height(), -32768);
    // (32767 - 62) div 35 = 934: 32690 + 63.
    EXPECT_EQ(K.RealWidth(), 32753);
}

TEST(Lifecycle, SavedValuesCheckedAgainstTheFinalValuesOfLaterProperties) {
    // Declaration order: DurationPosition, OffsetOctave and MaxOffsetDuration load before
    // MaxOffsetOttave and MaxDuration, which still hold the constructor's 4 and 6 then; Loaded
    // assigns them again against the final 8 and 8, and keeps them.
    TKeymora K;
    K.BeginLoading();
    K.SetDurationPosition(6);
    K.SetOffsetOctave(5);
    K.SetOutDuration(6);
    K.SetOutOctave(8);
    K.SetDurationCount(8);
    K.Loaded();
    EXPECT_EQ(K.DurationPosition(), 6);
    EXPECT_EQ(K.OffsetOctave(), 5);
    EXPECT_EQ(K.MaxOffsetDuration(), 6);
    EXPECT_EQ(K.MaxOffsetOttave(), 8);
    EXPECT_EQ(K.MaxDuration(), 8);
}

TEST(Lifecycle, CreateParamsAddsTabStop) {
    TKeymora K;
    TCreateParams Params;
    K.CreateParams(Params);
    EXPECT_TRUE(Params.Style & WS_TABSTOP);
    K.SetTabStop(false);
    TCreateParams Plain;
    K.CreateParams(Plain);
    EXPECT_FALSE(Plain.Style & WS_TABSTOP);
}

TEST(Messages, Answers) {
    struct Case {
        std::uint32_t Msg;
        std::intptr_t Preset;
        std::intptr_t Result;
    };
    const Case Cases[] = {
        {wm::WM_GETDLGCODE, 0x55, DLGC_WANTARROWS},
        {wm::WM_ERASEBKGND, 0x55, 0},
    };
    for (const Case& C : Cases) {
        Harness H;
        TMessage Msg{C.Msg, 0, 0, C.Preset};
        H.Control.Dispatch(Msg);
        EXPECT_EQ(Msg.Result, C.Result) << C.Msg;
        EXPECT_EQ(H.Take(), Log{});
    }
}

TEST(Messages, FocusChangesRepaintMarksAndStrip) {
    Harness H;
    H.Window->GiveFocus();
    EXPECT_EQ(H.Take(), (Log{Inv(361, 86, 466, 100), Inv(558, 0, 588, 100)}));
    H.Window->GiveFocus();  // already focused
    EXPECT_EQ(H.Take(), Log{});
    H.Window->TakeFocus();
    EXPECT_EQ(H.Take(), (Log{Inv(361, 86, 466, 100), Inv(558, 0, 588, 100)}));
    // SetFocus from the control reports itself, then the window delivers WM_SETFOCUS.
    H.Control.SetFocus();
    EXPECT_EQ(H.Take(), (Log{"focus", Inv(361, 86, 466, 100), Inv(558, 0, 588, 100)}));
    EXPECT_TRUE(H.Control.Focused());
}

TEST(Messages, KeyPressNeverReachesTheBase) {
    Harness H;
    bool Fired = false;
    H.Control.OnKeyPress = [&](TObject*, char&) { Fired = true; };
    char Key = 'a';
    H.Control.KeyPress(Key);
    EXPECT_FALSE(Fired);
}

}  // namespace
}  // namespace keymora::test
