// Loading text forms: a form the control saved loads back to the same state whatever the order
// of its limits, values bounded by limits are checked against the final limits, refused values
// are reported with their line, and hostile forms are refused with short messages.
#include <gtest/gtest.h>

#include <random>

#include "keymora/headless/headless_window.h"
#include "keymora/model/keymora.h"
#include "keymora/model/text_form.h"

namespace keymora {
namespace {

struct TState {
    int Octave, OffsetOctave, MaxOffsetOttave, DurationPosition, MaxDuration, MaxOffsetDuration,
        OffsetDuration;
    friend bool operator==(const TState&, const TState&) = default;
};

TState StateOf(const TKeymora& K) {
    return {K.Octave(),      K.OffsetOctave(),      K.MaxOffsetOttave(), K.DurationPosition(),
            K.MaxDuration(), K.MaxOffsetDuration(), K.OffsetDuration()};
}

// Drives K through random setter calls: every state reached this way is one a user can save.
void Scramble(TKeymora& K, std::mt19937& Random) {
    auto Pick = [&](int Lo, int Hi) { return std::uniform_int_distribution<int>(Lo, Hi)(Random); };
    for (int Step = Pick(0, 30); Step > 0; --Step) {
        switch (Pick(0, 9)) {
            case 0: K.SetOctave(Pick(1, 9)); break;
            case 1: K.SetOffsetOctave(Pick(0, 8)); break;
            case 2: K.SetOutOctave(Pick(1, 8)); break;
            case 3: K.SetDurationPosition(Pick(0, 7)); break;
            case 4: K.SetDurationCount(Pick(2, 8)); break;
            case 5: K.SetOutDuration(Pick(1, 7)); break;
            case 6: K.SetOffsetDuration(Pick(0, 7)); break;
            case 7: K.SetStyle(TMusicStyles::FromBits(static_cast<std::uint8_t>(Pick(0, 15)))); break;
            case 8: K.SetSettingWidth(Pick(10, 60)); break;
            default: K.SetKeys(Pick(0, 1) ? "QWERTYU" : "CDEFGAB"); break;
        }
    }
}

TEST(TextFormRoundTrip, ThousandRandomStatesLoadBackEqual) {
    std::mt19937 Random(20240614);
    THeadlessForm Form;
    for (int I = 0; I < 1000; ++I) {
        TKeymora A;
        A.SetParent(&Form);
        A.SetBounds(0, 0, 700, 100);
        Scramble(A, Random);
        const std::string Saved = SaveTextForm(A);
        TKeymora B;
        B.SetParent(&Form);
        B.SetBounds(0, 0, 700, 100);
        std::vector<TTextFormError> Refused;
        const auto Error = LoadTextForm(B, Saved, Refused);
        ASSERT_FALSE(Error) << Error->What();
        EXPECT_TRUE(Refused.empty()) << Saved << Refused[0].What();
        ASSERT_EQ(StateOf(B), StateOf(A)) << Saved;
        ASSERT_EQ(SaveTextForm(B), Saved);
    }
}

struct TBoundCase {
    const char* Name;
    const char* Text;
    TState Expected;
    std::vector<std::int64_t> RefusedLines;
};

class TextFormBounds : public ::testing::TestWithParam<TBoundCase> {};

TEST_P(TextFormBounds, CheckedAgainstTheFinalLimits) {
    TKeymora K;
    std::vector<TTextFormError> Refused;
    const auto Error = LoadTextForm(K, GetParam().Text, Refused);
    ASSERT_FALSE(Error) << Error->What();
    EXPECT_EQ(StateOf(K), GetParam().Expected);
    std::vector<std::int64_t> Lines;
    for (const auto& R : Refused) Lines.push_back(R.Line);
    EXPECT_EQ(Lines, GetParam().RefusedLines);
}

// Constructor values: Octave 5, OffsetOctave 0, MaxOffsetOttave 4, DurationPosition 0,
// MaxDuration 6, MaxOffsetDuration 3, OffsetDuration 0.
INSTANTIATE_TEST_SUITE_P(
    Forms, TextFormBounds,
    ::testing::Values(
        TBoundCase{"limits_after_their_values",
                   "DurationPosition = 7\nOffsetOctave = 6\nMaxOffsetDuration = 6\n"
                   "MaxOffsetOttave = 6\nMaxDuration = 8\nOffsetDuration = 5\n",
                   {5, 6, 6, 7, 8, 6, 5},
                   {}},
        TBoundCase{"still_out_of_range", "DurationPosition = 7\nOffsetOctave = 6\n",
                   {5, 0, 4, 0, 6, 3, 0},
                   {1, 2}},
        TBoundCase{"offset_bounded_by_a_refused_limit",
                   "MaxOffsetDuration = 6\nOffsetDuration = 5\n", {5, 0, 4, 0, 6, 3, 0}, {1, 2}},
        TBoundCase{"lowered_limit_clamps", "MaxDuration = 2\nMaxOffsetOttave = 1\n",
                   {5, 0, 1, 0, 2, 1, 0},
                   {}},
        TBoundCase{"octave_out_of_range", "# comment\nOctave = 99\n", {5, 0, 4, 0, 6, 3, 0}, {2}},
        TBoundCase{"octave_leaves_the_offset", "Octave = 9\n", {9, 0, 4, 0, 6, 3, 0}, {}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

struct THostileCase {
    const char* Name;
    std::string Text;
    std::int64_t Line;
    const char* Message;
};

class TextFormHostile : public ::testing::TestWithParam<THostileCase> {};

TEST_P(TextFormHostile, RefusedWithAShortMessage) {
    TKeymora K;
    const std::string Before = SaveTextForm(K);
    const auto Error = LoadTextForm(K, GetParam().Text);
    ASSERT_TRUE(Error);
    EXPECT_EQ(Error->Line, GetParam().Line);
    EXPECT_NE(Error->Message.find(GetParam().Message), std::string::npos) << Error->Message;
    EXPECT_LT(Error->Message.size(), 200u);
    EXPECT_EQ(SaveTextForm(K), Before);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, TextFormHostile,
    ::testing::Values(
        THostileCase{"line_past_64_KiB", "Octave = 3\n# " + std::string(64 * 1024, 'x') + "\n", 2,
                     "longer than 65536 bytes"},
        THostileCase{"huge_name", "Octave = 3\n" + std::string(60000, 'N') + " = 1\n", 2,
                     "unknown property \"NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN...\""},
        THostileCase{"huge_set_member",
                     "Style = [" + std::string(60000, 'm') + "]\n", 1, "unknown element mmmm"},
        THostileCase{"nul_in_a_name", std::string("Oct\0ave = 3\n", 12), 1, "expected '='"},
        THostileCase{"set_with_unknown_member", "Style = [msShowMarks, msBogus]\n", 1,
                     "unknown element msBogus"}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(TextFormLoad, LineOfExactly64KiBIsRead) {
    TKeymora K;
    const auto Error = LoadTextForm(K, "#" + std::string(64 * 1024 - 1, ' ') + "\nOctave = 3\n");
    ASSERT_FALSE(Error) << Error->What();
    EXPECT_EQ(K.Octave(), 3);
}

}  // namespace
}  // namespace keymora
