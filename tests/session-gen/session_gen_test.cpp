// The session generator: its random mappings, that sessions run to their end and are the same for
// the same seed, that together they use every command, property, field, method and key family
// the tool offers, and that presses land on every kind of target the control has.
#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "aim.h"
#include "engine/script.h"
#include "generator.h"
#include "keymora/layout/layout.h"
#include "keymora/model/published.h"
#include "pointer.h"
#include "random.h"

namespace keymora::sessiongen {
namespace {

std::vector<std::string> Lines(const std::string& Script) {
    std::vector<std::string> Out;
    std::istringstream In(Script);
    for (std::string Line; std::getline(In, Line);)
        if (!Line.empty() && Line[0] != '#') Out.push_back(Line);
    return Out;
}

std::vector<std::string> Words(const std::string& Line) {
    std::vector<std::string> Out;
    std::istringstream In(Line);
    for (std::string W; In >> W;) Out.push_back(W);
    return Out;
}

std::string Generate(std::uint64_t Seed, int Count = 200, int PaintEvery = 25) {
    std::string Script, Error;
    EXPECT_TRUE(GenerateSession({Seed, Count, PaintEvery}, Script, Error)) << Error;
    return Script;
}

// Sessions of 200 lines for seeds 1..Count, generated once for all the tests that read them.
const std::vector<std::string>& Sessions() {
    static const std::vector<std::string> All = [] {
        std::vector<std::string> S;
        for (std::uint64_t Seed = 1; Seed <= 150; ++Seed) S.push_back(Generate(Seed));
        return S;
    }();
    return All;
}

// ---- Random mappings ----

TEST(Random, BelowStaysInRange) {
    TRandom R(7);
    for (std::uint64_t N :
         std::array<std::uint64_t, 6>{1, 2, 3, 10, (1ULL << 63) + 1, UINT64_MAX}) {
        for (int I = 0; I < 2000; ++I) ASSERT_LT(R.Below(N), N) << N;
    }
    EXPECT_EQ(R.Below(0), 0U);
    for (int I = 0; I < 1000; ++I) {
        const long long V = R.Between(-3, 3);
        ASSERT_GE(V, -3);
        ASSERT_LE(V, 3);
    }
}

TEST(Random, BelowIsUniform) {
    TRandom R(11);
    std::array<int, 10> Count{};
    for (int I = 0; I < 100000; ++I) ++Count[R.Below(10)];
    for (int C : Count) EXPECT_NEAR(C, 10000, 500);
}

TEST(Random, WeightedFollowsWeightsAndSkipsZero) {
    TRandom R(3);
    const std::array<int, 4> Weights = {0, 1, 0, 3};
    std::array<int, 4> Count{};
    for (int I = 0; I < 40000; ++I) ++Count[R.Weighted(Weights)];
    EXPECT_EQ(Count[0], 0);
    EXPECT_EQ(Count[2], 0);
    EXPECT_NEAR(Count[3], 3 * Count[1], 1500);
}

// ---- Sessions ----

TEST(Sessions, SameSeedSameTextOtherSeedOtherText) {
    EXPECT_EQ(Generate(42), Generate(42));
    EXPECT_NE(Generate(42), Generate(43));
}

TEST(Sessions, HaveTheLinesAskedForAndRunToTheirEnd) {
    for (int Count : {0, 1, 2, 50, 1000}) {
        const std::string Script = Generate(5, Count);
        EXPECT_EQ(Lines(Script).size(), static_cast<std::size_t>(Count));
        std::ostringstream Out;
        script::TScriptEngine Engine(
            Out, [](TKeymora&, const std::string&, std::string&) { return true; });
        EXPECT_EQ(Engine.Run(Script), 0) << Out.str();
    }
    // The generator checks every line itself; many seeds exercise that check.
    EXPECT_EQ(Sessions().size(), 150U);
}

TEST(Sessions, PaintAsOftenAsAsked) {
    int Paints = 0;
    int Painting = 0;
    for (const std::string& S : Sessions()) {
        int Here = 0;
        for (const std::string& L : Lines(S)) Here += L.rfind("paint ", 0) == 0;
        Paints += Here;
        Painting += Here > 0;
    }
    const double PerSession = static_cast<double>(Paints) / static_cast<double>(Sessions().size());
    EXPECT_GT(PerSession, 5.0);
    EXPECT_LT(PerSession, 11.0);
    EXPECT_GT(Painting, 140);
    for (const std::string& L : Lines(Generate(9, 400, 0))) EXPECT_NE(L.rfind("paint", 0), 0U);
}

// Files are numbered in order, so that both binaries of a comparison write the same names.
TEST(Sessions, PaintFilesAreNumberedInOrder) {
    int Expected = 0;
    for (const std::string& L : Lines(Sessions()[0])) {
        if (L.rfind("paint ", 0) != 0) continue;
        std::string Number = std::to_string(++Expected);
        EXPECT_EQ(Words(L)[1], "p" + std::string(4 - Number.size(), '0') + Number + ".png");
    }
    EXPECT_GT(Expected, 0);
}

// ---- What the sessions cover ----

std::string Lower(std::string S) {
    for (char& C : S) C = static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
    return S;
}

// How often each first word, and each second word of set, get and call, comes up.
struct TUsage {
    std::map<std::string, int> Commands, Set, Get, Call, Keys, Modifiers, Values;
};

const TUsage& Usage() {
    static const TUsage U = [] {
        TUsage U;
        for (const std::string& S : Sessions()) {
            for (const std::string& L : Lines(S)) {
                const auto W = Words(L);
                ++U.Commands[W[0]];
                if (W[0] == "set") ++U.Set[Lower(W[1])];
                if (W[0] == "set") ++U.Values[Lower(W[1]) + " " + W[2]];
                if (W[0] == "get") ++U.Get[Lower(W[1])];
                if (W[0] == "call") ++U.Call[Lower(W[1])];
                if (W[0] == "keydown" || W[0] == "keyup") ++U.Keys[Lower(W[1])];
                if (W[0] == "themes" || W[0] == "message") ++U.Values[L];
                const std::size_t First = W[0] == "keydown" || W[0] == "keyup" ? 2 : 3;
                for (std::size_t I = First; I < W.size() && W[0] != "set" && W[0] != "call"; ++I)
                    ++U.Modifiers[W[0] + " " + Lower(W[I])];
            }
        }
        return U;
    }();
    return U;
}

TEST(Coverage, EveryCommand) {
    for (const char* C :
         {"create", "parent", "window", "bounds", "loading", "loaded", "set", "get", "call", "down",
          "move", "up", "keydown", "keyup", "focus", "blur", "themes", "message", "paint"})
        EXPECT_GT(Usage().Commands.count(C), 0U) << C;
    for (const char* V :
         {"themes on", "themes off", "message WM_ERASEBKGND", "message WM_GETDLGCODE"})
        EXPECT_GT(Usage().Values.count(V), 0U) << V;
}

TEST(Coverage, EveryPublishedPropertySetAndGot) {
    for (const TPropInfo& P : PublishedProperties()) {
        EXPECT_GT(Usage().Set.count(Lower(std::string(P.Name))), 0U) << P.Name;
        EXPECT_GT(Usage().Get.count(Lower(std::string(P.Name))), 0U) << P.Name;
    }
}

TEST(Coverage, EveryFieldGot) {
    for (const char* F : {"realwidth",
                          "visiblekeycount",
                          "keywidth",
                          "scrollbuttonwidth",
                          "keystates",
                          "tonestates",
                          "octavecolors",
                          "octavedownpressed",
                          "durationuppressed",
                          "octaveuppressed",
                          "durationdownpressed",
                          "moreoctavespressed",
                          "feweroctavespressed",
                          "moredurationspressed",
                          "fewerdurationspressed",
                          "hint",
                          "cursor",
                          "focused",
                          "width",
                          "height",
                          "clientwidth",
                          "clientheight",
                          "handleallocated"})
        EXPECT_GT(Usage().Get.count(F), 0U) << F;
}

TEST(Coverage, EveryMethodCalled) {
    for (const char* M : {"calculatewidth", "getrealwidth", "getoffsetoctave", "getkeyrect",
                          "gettonerect", "invalidateoctave", "invalidatesetting", "getpoint",
                          "selectnote", "releasenote", "releaseselected"})
        EXPECT_GT(Usage().Call.count(M), 0U) << M;
}

// Values on both sides of each setter's range edges, and the tool's own limits.
TEST(Coverage, RangeEdges) {
    for (const char* V : {"settingwidth 9",
                          "settingwidth 10",
                          "settingwidth 32767",
                          "settingwidth 32768",
                          "octave 0",
                          "octave 1",
                          "octave 9",
                          "octave 10",
                          "maxduration 1",
                          "maxduration 2",
                          "maxduration 8",
                          "maxduration 9",
                          "maxoffsetottave 0",
                          "maxoffsetottave 8",
                          "maxoffsetottave 9",
                          "offsetoctave -1",
                          "durationposition -1",
                          "keys \"\"",
                          "style []",
                          "orientation koVertical",
                          "orientation koHorizontal",
                          "mousetrack true",
                          "ctrlmove true"})
        EXPECT_GT(Usage().Values.count(V), 0U) << V;
}

TEST(Coverage, KeyFamiliesAndModifiers) {
    for (const char* K : {"a", "q", "0", "5", "9", "space", "prior", "next", "end", "home", "left",
                          "up", "right", "down", "numpad0", "numpad9", "0x10"})
        EXPECT_GT(Usage().Keys.count(K), 0U) << K;
    for (const char* M : {"keydown shift", "keydown ctrl", "keyup shift", "down shift", "down ctrl",
                          "down right", "down middle", "down left", "move left", "move right",
                          "up right", "move shift", "up ctrl"})
        EXPECT_GT(Usage().Modifiers.count(M), 0U) << M;
}

// ---- Where presses land ----

// Points drawn inside each target of a layout meet that target in the control's hit test: white
// keys a key, black keys their black key, cells a cell, and so on. Hit areas and drawn
// rectangles differ by a pixel or so, hence the margins.
struct TLayoutCase {
    const char* Title;
    std::vector<std::string> Setup;  // after create, window
    int Zones;                       // zone buttons expected
    bool ScrollButtons;              // duration scroll buttons expected
};

void PrintTo(const TLayoutCase& Case, std::ostream* Os) {
    *Os << Case.Title;
}

class AimTest : public ::testing::TestWithParam<TLayoutCase> {};

bool Meets(TAimKind Kind, const THit& Hit) {
    switch (Kind) {
        case TAimKind::WhiteKey:
            return Hit.Region == THitRegion::Key;
        case TAimKind::BlackKey:
            return Hit.Region == THitRegion::Key && Hit.BlackKey >= 0;
        case TAimKind::DurationCell:
            return Hit.Region == THitRegion::DurationCell;
        case TAimKind::DurationUp:
            return Hit.Region == THitRegion::DurationUp;
        case TAimKind::DurationDown:
            return Hit.Region == THitRegion::DurationDown;
        case TAimKind::ZoneButton:
            return Hit.Region == THitRegion::ZoneButton;
        case TAimKind::SettingStrip:
            return Hit.Region != THitRegion::Key && Hit.Region != THitRegion::ZoneButton;
    }
    return false;
}

TEST_P(AimTest, PointsInsideATargetMeetIt) {
    const TLayoutCase& Case = GetParam();
    std::ostringstream Out;
    script::TScriptEngine Engine(Out);
    ASSERT_EQ(Engine.Run("create\nwindow"), 0);
    for (const std::string& Line : Case.Setup) ASSERT_TRUE(Engine.Execute(Line, 1)) << Out.str();
    const TKeymora& C = *Engine.Control();
    const TAimMap Layout = Measure(C);

    std::array<int, TargetKindCount> Targets{}, Tries{}, Met{};
    TRandom R(1);
    for (const TTarget& T : Layout.Targets) {
        const auto K = static_cast<std::size_t>(T.Kind);
        ++Targets[K];
        for (int I = 0; I < 20; ++I) {
            const TPoint P = PointIn(R, T.Rect);
            ++Tries[K];
            Met[K] += Meets(T.Kind, C.Layout().HitTest(P.X, P.Y));
        }
    }
    const auto Count = [&](TAimKind K) { return Targets[static_cast<std::size_t>(K)]; };
    EXPECT_EQ(Count(TAimKind::WhiteKey), 52);
    EXPECT_EQ(Count(TAimKind::BlackKey), 36);
    EXPECT_EQ(Count(TAimKind::DurationCell), C.Style().Contains(msScrollDuration)
                                                    ? C.MaxDuration() - C.MaxOffsetDuration()
                                                    : C.MaxDuration());
    EXPECT_EQ(Count(TAimKind::DurationUp), Case.ScrollButtons ? 1 : 0);
    EXPECT_EQ(Count(TAimKind::DurationDown), Case.ScrollButtons ? 1 : 0);
    EXPECT_EQ(Count(TAimKind::ZoneButton), Case.Zones);

    // Keys scrolled out of the key area meet the zones or the strip instead: count only the
    // share of all tries, which leaves room for them.
    static constexpr std::array<double, TargetKindCount> Share = {
        0.6,   // WhiteKey
        0.6,   // BlackKey
        0.9,   // DurationCell
        0.95,  // DurationUp
        0.95,  // DurationDown
        0.95,  // ZoneButton
        0.95,  // SettingStrip
    };
    for (std::size_t K = 0; K < Share.size(); ++K) {
        if (Tries[K] == 0) continue;
        EXPECT_GE(Met[K], Share[K] * Tries[K]) << "target kind " << K;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, AimTest,
    ::testing::Values(
        TLayoutCase{"Default", {"bounds 0 0 800 120"}, 6, true},
        TLayoutCase{"Vertical", {"bounds 0 0 120 800", "set Orientation koVertical"}, 6, true},
        TLayoutCase{"WideNoZones",
                    {"bounds 0 0 1500 200", "set Style [msShowMarks,msScrollDuration]"},
                    0,
                    true},
        TLayoutCase{"CellsWithoutScrolling",
                    {"bounds 0 0 600 100", "set Style [msScrollOctave]", "set MaxDuration 8"},
                    6,
                    false},
        TLayoutCase{"Scrolled",
                    {"bounds 0 0 900 150", "set MaxOffsetOttave 3", "set OffsetOctave 2"},
                    6,
                    true},
        TLayoutCase{"VerticalWideStrip",
                    {"bounds 0 0 150 1200", "set Orientation koVertical", "set SettingWidth 60",
                     "set Style []"},
                    0,
                    false}),
    [](const auto& Info) { return std::string(Info.param.Title); });

// Replays every session, classifying each press as the control's hit test does at that moment.
struct TPresses {
    std::map<std::string, int> Regions;
    int Total = 0;
    int Outside = 0;  // off the client
    int AtLimit = 0;  // a coordinate at +-1000000
};

std::string RegionName(const THit& Hit) {
    switch (Hit.Region) {
        case THitRegion::None:
            return "none";
        case THitRegion::ZoneButton:
            return "zone" + std::to_string(static_cast<int>(Hit.Button));
        case THitRegion::DurationUp:
            return "duration-up";
        case THitRegion::DurationDown:
            return "duration-down";
        case THitRegion::DurationCell:
            return "cell";
        case THitRegion::Key:
            return Hit.BlackKey >= 0 ? "black" : "white";
    }
    return "?";
}

const TPresses& Presses() {
    static const TPresses P = [] {
        TPresses P;
        for (const std::string& S : Sessions()) {
            std::ostringstream Out;
            script::TScriptEngine Engine(
                Out, [](TKeymora&, const std::string&, std::string&) { return true; });
            long long Number = 0;
            for (const std::string& L : Lines(S)) {
                const auto W = Words(L);
                if (W[0] == "down") {
                    const TKeymora& C = *Engine.Control();
                    const int X = std::stoi(W[1]);
                    const int Y = std::stoi(W[2]);
                    ++P.Total;
                    ++P.Regions[RegionName(C.Layout().HitTest(X, Y))];
                    P.Outside += X < 0 || Y < 0 || X >= C.ClientWidth() || Y >= C.ClientHeight();
                    P.AtLimit += std::abs(X) == 1000000 || std::abs(Y) == 1000000;
                }
                if (!Engine.Execute(L, ++Number)) ADD_FAILURE() << L << Out.str();
            }
        }
        return P;
    }();
    return P;
}

TEST(Aim, PressesReachEveryKindOfTarget) {
    const TPresses& P = Presses();
    for (const char* Region : {"white", "black", "cell", "duration-up", "duration-down", "zone0",
                               "zone1", "zone2", "zone3", "zone4", "zone5", "none"})
        EXPECT_GE(P.Regions.count(Region) ? P.Regions.at(Region) : 0, 10) << Region;
}

TEST(Aim, MostPressesHitSomething) {
    const TPresses& P = Presses();
    ASSERT_GT(P.Total, 1000);
    EXPECT_LT(P.Regions.at("none"), P.Total * 2 / 5);
    EXPECT_GT(P.Regions.at("black"), P.Total / 20);
    // Some presses probe the space around the control and the tool's limits.
    EXPECT_GT(P.Outside, P.Total / 50);
    EXPECT_GT(P.AtLimit, 0);
}

}  // namespace
}  // namespace keymora::sessiongen
