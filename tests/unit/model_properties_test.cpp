// Construction, setter ranges and the order of repaint requests and events of the published
// setters. Expected rectangles are worked out by hand for a 600 x 100 horizontal control:
// VisibleKeyCount 35, RealWidth 588, KeyWidth 15, key origin 16 at offset 0.
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "harness.h"

namespace keymora::test {
namespace {

using Log = std::vector<std::string>;

TEST(Construction, InitialValues) {
    TKeymora K;
    EXPECT_EQ(K.ControlStyle(),
              (TControlStyle{TControlStyleItem::csCaptureMouse, TControlStyleItem::csClickEvents,
                             TControlStyleItem::csOpaque, TControlStyleItem::csDoubleClicks}));
    EXPECT_EQ(K.Orientation(), koHorizontal);
    EXPECT_EQ(K.Style().Bits(), 0x0F);
    EXPECT_EQ(K.AutoTone(), atAutoMajor);
    EXPECT_EQ(K.SettingWidth(), 30);
    EXPECT_EQ(K.ScrollButtonWidth(), 16);
    EXPECT_EQ(K.DurationWidth(), 6);
    EXPECT_EQ(K.DurationPosition(), 0);
    EXPECT_EQ(K.MaxDuration(), 6);
    EXPECT_EQ(K.Octave(), 5);
    EXPECT_EQ(K.Keys(), "CDEFGAB");
    EXPECT_EQ(K.MaxOffsetDuration(), 3);
    EXPECT_EQ(K.MaxOffsetOttave(), 4);
    EXPECT_EQ(K.OffsetOctave(), 0);
    EXPECT_EQ(K.OffsetDuration(), 0);
    EXPECT_FALSE(K.MouseTrack());
    EXPECT_FALSE(K.CtrlMove());
    EXPECT_EQ(K.Color(), clWhite);
    EXPECT_TRUE(K.TabStop());
    // No layout until the first CalculateWidth.
    EXPECT_EQ(K.RealWidth(), 0);
    EXPECT_EQ(K.VisibleKeyCount(), 0);
    EXPECT_EQ(K.KeyWidth(), 0);
    const std::array<TColor, 9> Colors = {0x00EAEAFF, 0x00EAFFFF, 0x00EAFFED, 0x00FFFFEA, 0x00FFFFFF,
                                          0x00FFEAEB, 0x00FFEAFF, 0x00ECEAFF, 0x00EAFAFF};
    EXPECT_EQ(K.OctaveColors(), Colors);
    EXPECT_EQ(K.OctaveColor(9), 0x00EAFAFFu);
    for (int I = 0; I < WhiteKeyCount; ++I) {
        EXPECT_EQ(K.KeyStates()[static_cast<std::size_t>(I)], 0);
        EXPECT_EQ(K.ToneStates()[static_cast<std::size_t>(I)], 0);
    }
}

// A setter call that must be refused: nothing changes, nothing is repainted, nothing fires.
struct RefusedCase {
    const char* Name;
    std::function<void(TKeymora&)> Prepare;
    std::function<void(TKeymora&)> Call;
};

class RefusedValues : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedValues, ChangeNothingAndFireNothing) {
    Harness H;
    if (GetParam().Prepare) GetParam().Prepare(H.Control);
    H.Take();
    const TKeymora& K = H.Control;
    const auto Before = std::make_tuple(K.Orientation(), K.Style(), K.SettingWidth(),
                                        K.DurationWidth(), K.DurationPosition(), K.Octave(),
                                        K.OffsetOctave(), K.MaxOffsetDuration(), K.MaxOffsetOttave(),
                                        K.Keys(), K.MaxDuration(), K.MouseTrack(),
                                        K.OffsetDuration(), K.RealWidth(), K.KeyWidth());
    GetParam().Call(H.Control);
    const auto After = std::make_tuple(K.Orientation(), K.Style(), K.SettingWidth(),
                                       K.DurationWidth(), K.DurationPosition(), K.Octave(),
                                       K.OffsetOctave(), K.MaxOffsetDuration(), K.MaxOffsetOttave(),
                                       K.Keys(), K.MaxDuration(), K.MouseTrack(),
                                       K.OffsetDuration(), K.RealWidth(), K.KeyWidth());
    EXPECT_EQ(Before, After);
    EXPECT_EQ(H.Take(), Log{});
}

INSTANTIATE_TEST_SUITE_P(
    Setters, RefusedValues,
    ::testing::Values(
        RefusedCase{"SettingWidth9", nullptr, [](TKeymora& K) { K.SetSettingWidth(9); }},
        RefusedCase{"SettingWidthBeyondWindowRange", nullptr,
                    [](TKeymora& K) { K.SetSettingWidth(32768); }},
        RefusedCase{"SettingWidthEqual", nullptr, [](TKeymora& K) { K.SetSettingWidth(30); }},
        RefusedCase{"MaxDuration1", nullptr, [](TKeymora& K) { K.SetDurationCount(1); }},
        RefusedCase{"MaxDuration9", nullptr, [](TKeymora& K) { K.SetDurationCount(9); }},
        RefusedCase{"MaxOffsetOttave0", nullptr, [](TKeymora& K) { K.SetOutOctave(0); }},
        RefusedCase{"MaxOffsetOttave9", nullptr, [](TKeymora& K) { K.SetOutOctave(9); }},
        RefusedCase{"MaxOffsetDurationAtMax", nullptr, [](TKeymora& K) { K.SetOutDuration(6); }},
        RefusedCase{"MaxOffsetDuration0", nullptr, [](TKeymora& K) { K.SetOutDuration(0); }},
        RefusedCase{"Octave0", nullptr, [](TKeymora& K) { K.SetOctave(0); }},
        RefusedCase{"Octave10", nullptr, [](TKeymora& K) { K.SetOctave(10); }},
        RefusedCase{"OctaveEqual", nullptr, [](TKeymora& K) { K.SetOctave(5); }},
        RefusedCase{"OffsetOctaveAboveMax", nullptr, [](TKeymora& K) { K.SetOffsetOctave(5); }},
        RefusedCase{"OffsetOctaveNegative", nullptr, [](TKeymora& K) { K.SetOffsetOctave(-1); }},
        RefusedCase{"DurationPosition6", nullptr, [](TKeymora& K) { K.SetDurationPosition(6); }},
        RefusedCase{"DurationPositionNeg", nullptr, [](TKeymora& K) { K.SetDurationPosition(-1); }},
        RefusedCase{"OffsetDurationAboveMax", nullptr, [](TKeymora& K) { K.SetOffsetDuration(4); }},
        RefusedCase{"KeysLowerCase", nullptr, [](TKeymora& K) { K.SetKeys("cdefgab"); }},
        RefusedCase{"OrientationEqual", nullptr,
                    [](TKeymora& K) { K.SetOrientation(koHorizontal); }},
        RefusedCase{"StyleEqual", nullptr,
                    [](TKeymora& K) { K.SetStyle(TMusicStyles::FromBits(0x0F)); }},
        RefusedCase{"MouseTrackEqual", nullptr, [](TKeymora& K) { K.SetMouseTrack(false); }},
        RefusedCase{"DurationWidthEqual", nullptr, [](TKeymora& K) { K.SetDurationWidth(6); }},
        RefusedCase{"MaxOffsetDurationAboveRange",
                    [](TKeymora& K) { K.SetOutDuration(1); },
                    [](TKeymora& K) { K.SetOutDuration(7); }}),
    [](const auto& Info) { return std::string(Info.param.Name); });

// Accepted boundary values.
TEST(Setters, AcceptTheirBounds) {
    Harness H;
    TKeymora& K = H.Control;
    K.SetSettingWidth(10);
    EXPECT_EQ(K.SettingWidth(), 10);
    K.SetSettingWidth(32767);
    EXPECT_EQ(K.SettingWidth(), 32767);
    K.SetSettingWidth(10);
    K.SetDurationCount(8);
    EXPECT_EQ(K.MaxDuration(), 8);
    K.SetDurationCount(2);
    EXPECT_EQ(K.MaxDuration(), 2);
    K.SetOutOctave(1);
    EXPECT_EQ(K.MaxOffsetOttave(), 1);
    K.SetOutOctave(8);
    EXPECT_EQ(K.MaxOffsetOttave(), 8);
    K.SetDurationCount(6);
    K.SetOutDuration(5);
    EXPECT_EQ(K.MaxOffsetDuration(), 5);
    K.SetKeys("qwertyu");
    EXPECT_EQ(K.Keys(), "qwertyu");
    K.SetKeys("QWERTYU");  // same letters in another case: kept as stored
    EXPECT_EQ(K.Keys(), "qwertyu");
}

// Whole sequences of repaint requests and events, in order.
struct SequenceCase {
    const char* Name;
    std::function<void(TKeymora&)> Prepare;
    std::function<void(TKeymora&)> Call;
    Log Expected;
};

class SetterSequences : public ::testing::TestWithParam<SequenceCase> {};

TEST_P(SetterSequences, RepaintAndFireInOrder) {
    Harness H;
    if (GetParam().Prepare) GetParam().Prepare(H.Control);
    H.Take();
    GetParam().Call(H.Control);
    EXPECT_EQ(H.Take(), GetParam().Expected);
}

const Log KeyArea = {Inv(16, 0, 542, 100)};

INSTANTIATE_TEST_SUITE_P(
    Setters, SetterSequences,
    ::testing::Values(
        // Octave 5 -> 6: old and new marks band, then the view scrolls by one octave.
        SequenceCase{"OctaveScrollsForward", nullptr, [](TKeymora& K) { K.SetOctave(6); },
                     {Inv(361, 86, 466, 100), Inv(466, 86, 571, 100), Inv(16, 0, 542, 100),
                      "OnOffsetChanged"}},
        // From offset 1 (origin -14) to octave 9: offset 4.
        SequenceCase{"OctaveNineScrollsToEnd", [](TKeymora& K) { K.SetOctave(6); },
                     [](TKeymora& K) { K.SetOctave(9); },
                     {Inv(436, 86, 541, 100), Inv(751, 86, 766, 100), Inv(16, 0, 542, 100),
                      "OnOffsetChanged"}},
        // From offset 4 (origin -329) back to octave 3: offset 2.
        SequenceCase{"OctaveThreeScrollsBack",
                     [](TKeymora& K) {
                         K.SetOctave(6);
                         K.SetOctave(9);
                     },
                     [](TKeymora& K) { K.SetOctave(3); },
                     {Inv(436, 86, 451, 100), Inv(-194, 86, -89, 100), Inv(16, 0, 542, 100),
                      "OnOffsetChanged"}},
        // Octave 4 stays in view at offset 0: no scrolling.
        SequenceCase{"OctaveInView", nullptr, [](TKeymora& K) { K.SetOctave(4); },
                     {Inv(361, 86, 466, 100), Inv(256, 86, 361, 100)}},
        SequenceCase{"OctaveWithoutMarks",
                     [](TKeymora& K) { K.SetStyle(TMusicStyles{msScrollOctave}); },
                     [](TKeymora& K) { K.SetOctave(9); }, {}},
        // DurationPosition 4 scrolls the cells by direct store: no OnOffsetChanged.
        SequenceCase{"DurationPositionScrolls", nullptr,
                     [](TKeymora& K) { K.SetDurationPosition(4); },
                     {Inv(558, 0, 588, 100), "OnDurationChanged"}},
        SequenceCase{"OffsetOctaveRepaintsKeyArea", nullptr,
                     [](TKeymora& K) { K.SetOffsetOctave(2); }, {KeyArea[0], "OnOffsetChanged"}},
        SequenceCase{"OffsetDurationRepaintsStrip", nullptr,
                     [](TKeymora& K) { K.SetOffsetDuration(3); },
                     {Inv(558, 0, 588, 100), "OnOffsetChanged"}},
        // Lowering the octave maximum below the offset clamps it first.
        SequenceCase{"MaxOffsetOttaveClampsOffset", [](TKeymora& K) { K.SetOffsetOctave(4); },
                     [](TKeymora& K) { K.SetOutOctave(2); },
                     {Inv(16, 0, 542, 100), "OnOffsetChanged", "all", "OnMaxChanged"}},
        SequenceCase{"MaxOffsetDurationClampsOffset", [](TKeymora& K) { K.SetOffsetDuration(3); },
                     [](TKeymora& K) { K.SetOutDuration(2); },
                     {Inv(558, 0, 588, 100), "OnOffsetChanged", "all", "OnMaxChanged"}},
        SequenceCase{"MaxOffsetDurationWithoutClamp", nullptr,
                     [](TKeymora& K) { K.SetOutDuration(4); }, {"all", "OnMaxChanged"}},
        SequenceCase{"DurationWidthRepaintsStartStrip", nullptr,
                     [](TKeymora& K) { K.SetDurationWidth(5); }, {Inv(0, 0, 30, 100)}},
        SequenceCase{"KeysRepaintMarks", nullptr, [](TKeymora& K) { K.SetKeys("QWERTYU"); },
                     {Inv(361, 86, 466, 100)}},
        SequenceCase{"KeysWithoutMarks", [](TKeymora& K) { K.SetStyle(TMusicStyles{}); },
                     [](TKeymora& K) { K.SetKeys("QWERTYU"); }, {}},
        SequenceCase{"MaxDurationRepaintsStrip", nullptr,
                     [](TKeymora& K) { K.SetDurationCount(8); }, {Inv(558, 0, 588, 100)}},
        // Lowering MaxDuration to the offset maximum keeps MaxOffsetDuration below it and the
        // selected cell in range, through the setters and with their events.
        SequenceCase{"MaxDurationLoweredBelowOffsets",
                     [](TKeymora& K) { K.SetDurationPosition(5); },
                     [](TKeymora& K) { K.SetDurationCount(3); },
                     {Inv(558, 0, 588, 100), "OnOffsetChanged", "all", "OnMaxChanged",
                      Inv(558, 0, 588, 100), "OnDurationChanged", Inv(558, 0, 588, 100)}},
        SequenceCase{"StyleRepaintsAll", nullptr,
                     [](TKeymora& K) { K.SetStyle(TMusicStyles{msShowMarks}); }, {"all"}},
        SequenceCase{"SettingWidthRepaintsAll", nullptr,
                     [](TKeymora& K) { K.SetSettingWidth(40); }, {"all"}},
        SequenceCase{"OrientationRepaintsAll", nullptr,
                     [](TKeymora& K) { K.SetOrientation(koVertical); }, {"all"}},
        SequenceCase{"CtrlMoveStoresOnly", nullptr, [](TKeymora& K) { K.SetCtrlMove(true); }, {}},
        SequenceCase{"AutoToneStoresOnly", nullptr, [](TKeymora& K) { K.SetAutoTone(atBemol); },
                     {}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(Setters, OctaveOffsetsFollowTheWorkedExample) {
    Harness H;
    TKeymora& K = H.Control;
    const std::pair<int, int> Steps[] = {{6, 1}, {9, 4}, {3, 2}};
    for (auto [Octave, Offset] : Steps) {
        K.SetOctave(Octave);
        EXPECT_EQ(K.OffsetOctave(), Offset) << "octave " << Octave;
    }
}

TEST(Setters, OctaveWithAllKeysInView) {
    Harness H;
    TKeymora& K = H.Control;
    K.SetOutOctave(1);
    K.SetOctave(8);
    EXPECT_EQ(K.OffsetOctave(), 0);
    K.SetOctave(9);
    EXPECT_EQ(K.OffsetOctave(), 1);
}

TEST(Setters, DurationPositionBringsCellIntoView) {
    Harness H;
    TKeymora& K = H.Control;
    K.SetDurationPosition(4);
    EXPECT_EQ(K.OffsetDuration(), 2);
    K.SetDurationPosition(1);
    EXPECT_EQ(K.OffsetDuration(), 1);
    K.SetDurationPosition(6);
    EXPECT_EQ(K.DurationPosition(), 1);
}

TEST(Setters, LoweredMaxDurationKeepsInvariants) {
    // Every reachable combination: MaxDuration lowered from any state keeps
    // MaxOffsetDuration < MaxDuration, OffsetDuration <= MaxOffsetDuration and the position in range.
    for (int Position = 0; Position < 8; ++Position) {
        for (int Lowered = 2; Lowered <= 8; ++Lowered) {
            Harness H;
            TKeymora& K = H.Control;
            K.SetDurationCount(8);
            K.SetOutDuration(7);
            K.SetDurationPosition(Position);
            K.SetDurationCount(Lowered);
            EXPECT_LT(K.MaxOffsetDuration(), K.MaxDuration());
            EXPECT_GE(K.MaxOffsetDuration(), 1);
            EXPECT_LE(K.OffsetDuration(), K.MaxOffsetDuration());
            EXPECT_LT(K.DurationPosition(), K.MaxDuration());
            const int Visible = K.MaxDuration() - K.MaxOffsetDuration();
            EXPECT_GE(K.DurationPosition(), K.OffsetDuration());
            EXPECT_LT(K.DurationPosition(), K.OffsetDuration() + Visible);
        }
    }
}

TEST(Setters, WithoutWindowStoreAndFireButRequestNothing) {
    Harness H(600, 100, /*WithWindow=*/false);
    TKeymora& K = H.Control;
    K.SetOctave(6);
    K.SetDurationPosition(4);
    K.SetOutOctave(3);
    K.SetStyle(TMusicStyles{});
    EXPECT_EQ(K.Octave(), 6);
    EXPECT_EQ(K.OffsetOctave(), 1);
    EXPECT_EQ(H.Take(), (Log{"OnOffsetChanged", "OnDurationChanged", "OnMaxChanged"}));
}

TEST(Setters, StyleAndSettingWidthRecomputeTheLayout) {
    Harness H;
    TKeymora& K = H.Control;
    K.SetStyle(TMusicStyles{msShowMarks});
    EXPECT_EQ(K.VisibleKeyCount(), 52);
    EXPECT_EQ(K.RealWidth(), 551);
    EXPECT_EQ(K.KeyWidth(), 10);
    K.SetSettingWidth(50);
    // (600 - 50) div 52 = 10: 520 + 1 + 50.
    EXPECT_EQ(K.RealWidth(), 571);
}


// The colour layer as KeyColor reports it for white key 23 (G4) and the black key after it, after a
// run of changes. KeyColor answers "no colour" at once while no key has one, so the count of
// coloured keys must follow every change: a recolour, a clear of a key that has no colour, changes
// to keys that do not exist, and the colour that stands for none.
struct ColourCase {
    const char* Name;
    std::function<void(TKeymora&)> Changes;
    std::optional<TColor> White, Black;
};

class ColourLayer : public ::testing::TestWithParam<ColourCase> {};

TEST_P(ColourLayer, KeyColorFollowsEveryChange) {
    const ColourCase& C = GetParam();
    TKeymora K;
    C.Changes(K);
    TColor Got = 0;
    EXPECT_EQ(K.KeyColor(23, false, Got) ? std::optional<TColor>(Got) : std::nullopt, C.White);
    EXPECT_EQ(K.KeyColor(23, true, Got) ? std::optional<TColor>(Got) : std::nullopt, C.Black);
}

constexpr TColor Green = 0x0000FF00, Red = 0x000000FF, None = 0xFFFFFFFFu;

INSTANTIATE_TEST_SUITE_P(
    Model, ColourLayer,
    ::testing::Values(
        ColourCase{"NoneAtFirst", [](TKeymora&) {}, std::nullopt, std::nullopt},
        ColourCase{"Set", [](TKeymora& K) { K.SetKeyColor(23, false, Green); }, Green, std::nullopt},
        ColourCase{"RecolourThenClearAKeyWithoutColour",
                   [](TKeymora& K) {
                       K.SetKeyColor(23, false, Green);
                       K.SetKeyColor(23, false, Red);
                       K.ClearKeyColor(23, true);
                   },
                   Red, std::nullopt},
        ColourCase{"ClearOneOfTwo",
                   [](TKeymora& K) {
                       K.SetKeyColor(23, false, Green);
                       K.SetKeyColor(23, true, Red);
                       K.ClearKeyColor(23, false);
                   },
                   std::nullopt, Red},
        ColourCase{"KeysThatDoNotExist",
                   [](TKeymora& K) {
                       K.SetKeyColor(23, true, Red);
                       K.ClearKeyColor(25, true);  // no black key after E4
                       K.ClearKeyColor(52, false);
                       K.ClearKeyColor(-1, false);
                       K.SetKeyColor(52, false, Green);
                   },
                   std::nullopt, Red},
        ColourCase{"TheColourForNoneIsNoColour",
                   [](TKeymora& K) {
                       K.SetKeyColor(23, false, None);
                       K.SetKeyColor(23, true, Red);
                       K.SetKeyColor(23, true, None);
                   },
                   std::nullopt, Red},
        ColourCase{"ClearAllThenSetAgain",
                   [](TKeymora& K) {
                       K.SetKeyColor(23, false, Green);
                       K.SetKeyColor(30, true, Red);
                       K.ClearKeyColors();
                       K.SetKeyColor(23, true, Green);
                   },
                   std::nullopt, Green}),
    [](const ::testing::TestParamInfo<ColourCase>& I) { return std::string(I.param.Name); });

}  // namespace
}  // namespace keymora::test
