// The octave button zones, drawn first in the pass: 600 x 100 with zones gives the start zone
// [0, 16) and the far zone [542, 558) along the keys; across, the arrow spans [0, 68), plus
// [68, 84) and minus [84, 100). Glyphs are placed from the button's left and top edges and move
// by (1, 1) on a pressed button.
#include "render_support.h"

namespace keymora::test::paint {
namespace {

struct ZoneCase {
    const char* Name;
    TKeyboardOrientation Orientation;
    bool Themed;
    TPoint Press;                       // (-1, -1): nothing held
    std::vector<std::string> Expected;  // from the first line equal to Expected[0]
};

class ButtonZones : public ::testing::TestWithParam<ZoneCase> {};

TEST_P(ButtonZones, FacesAndGlyphsInOrder) {
    const ZoneCase& C = GetParam();
    const bool H = C.Orientation == koHorizontal;
    Painter P(H ? 600 : 100, H ? 100 : 600, ScrollOct, C.Orientation);
    P.Window->Themes = C.Themed;
    if (C.Press.X >= 0) P.Press(C.Press.X, C.Press.Y);
    EXPECT_EQ(From(P.Paint(), C.Expected.front(), C.Expected.size()), C.Expected);
}

const std::string Slate = " $0084614A", Ink = " $00000000", W = " $00FFFFFF";

INSTANTIATE_TEST_SUITE_P(
    Cases, ButtonZones,
    ::testing::Values(
        ZoneCase{"Themed",
                 koHorizontal,
                 true,
                 {-1, -1},
                 {"fill 0 0 16 100" + W, "fill 542 0 558 100" + W,
                  "element tbPushButtonNormal 0 68 16 84", "fill 5 75 11 77" + Slate,
                  "fill 7 73 9 79" + Slate, "element tbPushButtonNormal 0 84 16 100",
                  "fill 5 91 11 93" + Slate, "element tsArrowBtnLeftNormal 0 0 16 68",
                  "element tbPushButtonNormal 542 68 558 84", "fill 547 75 553 77" + Slate,
                  "fill 549 73 551 79" + Slate, "element tbPushButtonNormal 542 84 558 100",
                  "fill 547 91 553 93" + Slate, "element tsArrowBtnRightNormal 542 0 558 68",
                  "fill 558 0 600 100" + W}},
        // Classic faces cover their rectangles: no zone fill, black glyphs.
        ZoneCase{
            "ClassicMinusHeld",
            koHorizontal,
            false,
            {5, 95},
            {"frame 0 68 16 84 4 $0010", "fill 5 75 11 77" + Ink, "fill 7 73 9 79" + Ink,
             "frame 0 84 16 100 4 $4210", "fill 6 92 12 94" + Ink, "frame 0 0 16 68 3 $0002",
             "frame 542 68 558 84 4 $0010", "fill 547 75 553 77" + Ink, "fill 549 73 551 79" + Ink,
             "frame 542 84 558 100 4 $0010", "fill 547 91 553 93" + Ink,
             "frame 542 0 558 68 3 $0003", "fill 558 0 600 100" + W}},
        ZoneCase{"ThemedFarPlusHeld",
                 koHorizontal,
                 true,
                 {550, 75},
                 {"element tbPushButtonPressed 542 68 558 84", "fill 548 76 554 78" + Slate,
                  "fill 550 74 552 80" + Slate, "element tbPushButtonNormal 542 84 558 100"}},
        ZoneCase{"ThemedStartArrowHeld",
                 koHorizontal,
                 true,
                 {5, 10},
                 {"fill 5 91 11 93" + Slate, "element tsArrowBtnLeftPressed 0 0 16 68"}},
        ZoneCase{"ClassicFarArrowHeld",
                 koHorizontal,
                 false,
                 {550, 10},
                 {"fill 547 91 553 93" + Ink, "frame 542 0 558 68 3 $4203"}},
        // Vertical: the zones are rows, the glyphs stay upright.
        ZoneCase{"ThemedVertical",
                 koVertical,
                 true,
                 {-1, -1},
                 {"fill 0 0 100 16" + W, "fill 0 542 100 558" + W,
                  "element tbPushButtonNormal 68 0 84 16", "fill 73 7 79 9" + Slate,
                  "fill 75 5 77 11" + Slate, "element tbPushButtonNormal 84 0 100 16",
                  "fill 89 7 95 9" + Slate, "element tsArrowBtnUpNormal 0 0 68 16",
                  "element tbPushButtonNormal 68 542 84 558", "fill 73 549 79 551" + Slate,
                  "fill 75 547 77 553" + Slate, "element tbPushButtonNormal 84 542 100 558",
                  "fill 89 549 95 551" + Slate, "element tsArrowBtnDownNormal 0 542 68 558",
                  "fill 0 558 100 600" + W}},
        ZoneCase{"ClassicVerticalFarMinusHeld",
                 koVertical,
                 false,
                 {95, 550},
                 {"frame 84 542 100 558 4 $4210", "fill 90 550 96 552" + Ink,
                  "frame 0 542 68 558 3 $0001"}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(ButtonZonesAbsent, NoZoneWithoutOctaveScrolling) {
    Painter P(551, 100, Marks | Colors | ScrollDur);
    const auto Lines = P.Paint();
    ASSERT_FALSE(Lines.empty());
    EXPECT_EQ(Lines.front(), "fill 521 0 551 100" + W);  // the strip comes first
    EXPECT_TRUE(Starting(Lines, "element tsArrowBtnLeft").empty());
    EXPECT_TRUE(Starting(Lines, "element tsArrowBtnRight").empty());
}

}  // namespace
}  // namespace keymora::test::paint
