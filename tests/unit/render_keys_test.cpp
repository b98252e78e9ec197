// The key drawing of the paint pass: the first key, the first steps of the key pass with keys idle,
// pressed and selected, the octave tints, and the clip and shift of a scrolled keyboard with the
// band after C8. Horizontal 551 x 100 without zones gives KeyWidth 10, black half width 2, black
// length 80; every line below is worked out from those numbers.
#include <functional>

#include "render_support.h"

namespace keymora::test::paint {
namespace {

const std::string W = "$00FFFFFF", Blk = "$00000000", Gry = "$00808080", Sil = "$00C0C0C0";

struct KeyCase {
    const char* Name;
    std::function<void(Painter&)> Setup;
    std::string Anchor;
    std::vector<std::string> Expected;
};

class KeyPass : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyPass, DrawsTheStepsInOrder) {
    const KeyCase& C = GetParam();
    Painter P(551, 100, 0);
    if (C.Setup) C.Setup(P);
    EXPECT_EQ(From(P.Paint(), C.Anchor, C.Expected.size()), C.Expected);
}

// Steps 0 (A0, black key after it) and 1 (B0, none after it) with nothing pressed.
const std::vector<std::string> IdleSteps = {
    "fill 0 0 10 100 " + W, "move 0 0 " + Blk, "line 0 98 " + Blk,
    // i = 0: next key's fill, shadow, outline, front line, black key, its highlight.
    "fill 11 0 20 100 " + W, "polyline 8,77 9,80 12,80 13,77 13,0 " + Gry,
    "polyline 0,97 1,98 9,98 10,97 10,0 0,0 " + Blk, "move 1 99 " + Gry, "line 10 99 " + Gry,
    "polygon 8,0 8,76 9,79 12,79 12,76 12,0 " + Blk + " " + Blk, "move 10 4 " + Sil,
    "line 10 76 " + Sil,
    // i = 1: B0 has no black key.
    "fill 21 0 30 100 " + W, "polyline 10,97 11,98 19,98 20,97 20,0 10,0 " + Blk,
    "move 11 99 " + Gry, "line 20 99 " + Gry, "fill 31 0 40 100 " + W};

INSTANTIATE_TEST_SUITE_P(
    States, KeyPass,
    ::testing::Values(
        KeyCase{"Idle", nullptr, "fill 0 0 10 100 " + W, IdleSteps},
        // (9, 40) lies on the black key after A0: it loses its shadow, gains the inner outline.
        KeyCase{
            "BlackPressed",
            [](Painter& P) { P.Press(9, 40); },
            "fill 0 0 10 100 " + W,
            {"fill 0 0 10 100 " + W, "move 0 0 " + Blk, "line 0 98 " + Blk, "fill 11 0 20 100 " + W,
             "polyline 0,97 1,98 9,98 10,97 10,0 0,0 " + Blk, "move 1 99 " + Gry,
             "line 10 99 " + Gry, "polygon 8,0 8,76 9,79 12,79 12,76 12,0 " + Blk + " " + Blk,
             "move 10 4 " + Sil, "line 10 76 " + Sil,
             "polyline 8,1 8,76 9,79 12,79 12,76 12,1 8,1 " + Gry, "fill 21 0 30 100 " + W}},
        KeyCase{"BlackSelected",
                [](Painter& P) { P.Control.SelectNote(1, 5, 1); },
                "fill 11 0 20 100 " + W,
                {"fill 11 0 20 100 " + W, "polyline 8,77 9,80 12,80 13,77 13,0 " + Gry,
                 "polyline 0,97 1,98 9,98 10,97 10,0 0,0 " + Blk, "move 1 99 " + Gry,
                 "line 10 99 " + Gry, "polygon 8,0 8,76 9,79 12,79 12,76 12,0 $000000DF $000000DF",
                 "move 10 4 " + Sil, "line 10 76 " + Sil, "fill 21 0 30 100 " + W}},
        // (3, 95) and (15, 95) lie on the front of A0 and B0.
        KeyCase{
            "FirstPressed",
            [](Painter& P) { P.Press(3, 95); },
            "fill 0 0 10 100 " + W,
            {"fill 0 0 10 100 " + W, "move 0 0 " + Blk, "line 0 98 " + Blk, "move 9 98 " + Gry,
             "line 9 1 " + Gry, "line 1 1 " + Gry, "line 1 98 " + Gry, "fill 11 0 20 100 " + W}},
        KeyCase{
            "NextPressed",
            [](Painter& P) { P.Press(15, 95); },
            "fill 11 0 20 100 " + W,
            {"fill 11 0 20 100 " + W, "move 19 98 " + Gry, "line 19 1 " + Gry, "line 11 1 " + Gry,
             "line 11 98 " + Gry, "polyline 8,77 9,80 12,80 13,77 13,0 " + Gry}},
        KeyCase{"FirstSelected",
                [](Painter& P) { P.Control.SelectNote(1, 5, 0); },
                "fill 0 0 10 100 $000000FF",
                {"fill 0 0 10 100 $000000FF", "move 0 0 " + Blk, "line 0 98 " + Blk,
                 "fill 11 0 20 100 " + W}},
        KeyCase{"NextSelected",
                [](Painter& P) { P.Control.SelectNote(1, 6, 0); },
                "fill 0 0 10 100 " + W,
                {"fill 0 0 10 100 " + W, "move 0 0 " + Blk, "line 0 98 " + Blk,
                 "fill 11 0 20 100 $000000FF"}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(KeyPassColours, EachKeyTakesItsOctaveTintAndRedWinsOverIt) {
    Painter P(551, 100, Colors);
    P.Control.SelectNote(2, 1, 0);  // D1, white key 3
    const auto Fills = Starting(P.Paint(), "fill ");
    // A0 and B0 belong to octave 1, the C after B0 opens octave 2 with its colour.
    EXPECT_EQ(
        From(Fills, "fill 0 0 10 100 $00EAEAFF", 4),
        (std::vector<std::string>{"fill 0 0 10 100 $00EAEAFF", "fill 11 0 20 100 $00EAEAFF",
                                  "fill 21 0 30 100 $00EAFFFF", "fill 31 0 40 100 $000000FF"}));
    // B7 (key 50) is octave 8; C8 takes octave 9's tint.
    EXPECT_EQ(
        From(Fills, "fill 501 0 510 100 $00ECEAFF", 2),
        (std::vector<std::string>{"fill 501 0 510 100 $00ECEAFF", "fill 511 0 520 100 $00EAFAFF"}));
}

TEST(KeyPassColours, WithoutTintEveryKeyTakesTheControlColour) {
    Painter P(551, 100, 0);
    P.Control.SetColor(0x00123456);
    const auto Fills = Starting(P.Paint(), "fill ");
    // The strip first, then the first key and the 51 next-key fills, all in Color.
    int Keys = 0;
    for (const std::string& F : Fills)
        if (F.size() > 9 && F.compare(F.size() - 9, 9, "$00123456") == 0) ++Keys;
    EXPECT_EQ(Keys, 1 + 1 + 51);
}

struct ScrollCase {
    const char* Name;
    TKeyboardOrientation Orientation;
    std::uint8_t Style;
    int Offset;
    std::vector<std::string> Expected;  // from A0's fill on
};

class ClipAndShift : public ::testing::TestWithParam<ScrollCase> {};

// 600 x 100 with zones: KeyWidth 15, RealWidth 588, key band [16, 542). Offset 4 scrolls by
// 15 * 23 = 345: the keys end at 780 - 345 = 435 < 526, so [796, 887) is filled after C8.
TEST_P(ClipAndShift, FollowsTheFirstKeyAndIsUndoneAtTheEnd) {
    const ScrollCase& C = GetParam();
    const bool H = C.Orientation == koHorizontal;
    Painter P(H ? 600 : 100, H ? 100 : 600, C.Style, C.Orientation);
    P.Control.SetOffsetOctave(C.Offset);
    const auto Lines = P.Paint();
    EXPECT_EQ(From(Lines, C.Expected.front(), C.Expected.size()), C.Expected);
    EXPECT_EQ(Lines.back(), "restore");
    EXPECT_EQ(Starting(Lines, "save").size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Offsets, ClipAndShift,
    ::testing::Values(
        ScrollCase{"FullOffset",
                   koHorizontal,
                   ScrollOct,
                   4,
                   {"fill 16 0 31 100 " + W, "move 16 0 " + Blk, "line 16 98 " + Blk, "save",
                    "clip 16 0 542 100", "origin -345 0", "fill 796 0 887 100 " + W,
                    "fill 32 0 46 100 " + W}},
        ScrollCase{"FullOffsetTinted",
                   koHorizontal,
                   ScrollOct | Colors,
                   4,
                   {"fill 16 0 31 100 $00EAEAFF", "move 16 0 " + Blk, "line 16 98 " + Blk, "save",
                    "clip 16 0 542 100", "origin -345 0", "fill 796 0 887 100 $00EAFAFF",
                    "fill 32 0 46 100 $00EAEAFF"}},
        ScrollCase{"FullOffsetVertical",
                   koVertical,
                   ScrollOct,
                   4,
                   {"fill 0 16 100 31 " + W, "move 0 16 " + Blk, "line 98 16 " + Blk, "save",
                    "clip 0 16 100 542", "origin 0 -345", "fill 0 796 100 887 " + W,
                    "fill 0 32 100 46 " + W}},
        // Offset 3 scrolls by 240: the keys reach 540, past the band's end at 526; no fill.
        ScrollCase{"KeysFillTheBand",
                   koHorizontal,
                   ScrollOct,
                   3,
                   {"save", "clip 16 0 542 100", "origin -240 0", "fill 32 0 46 100 " + W}},
        ScrollCase{"NotScrolled",
                   koHorizontal,
                   ScrollOct,
                   0,
                   {"save", "clip 16 0 542 100", "origin 0 0", "fill 32 0 46 100 " + W}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(ClipAndShiftAbsent, WithoutZonesTheKeysStartAtZeroUnclipped) {
    Painter P(551, 100, Marks | Colors | ScrollDur);
    P.Control.SetOffsetOctave(2);  // no effect without zones
    const auto Lines = P.Paint();
    EXPECT_TRUE(Starting(Lines, "clip").empty());
    EXPECT_TRUE(Starting(Lines, "origin").empty());
    EXPECT_TRUE(Starting(Lines, "save").empty());
    EXPECT_FALSE(From(Lines, "fill 0 0 10 100 $00EAEAFF", 1).empty());
}

}  // namespace
}  // namespace keymora::test::paint
