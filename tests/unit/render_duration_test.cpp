// The duration selector: cells, labels and scroll buttons in both orientations, themed and
// classic. Strip [521, 551) of a 551-long keyboard without zones; the recording canvas measures a
// size-7 character as 5 x 12. With scroll buttons: 3 cells of (100 - 15) div 3 = 28, far edge 84.
// Without: 6 cells of 100 div 6 = 16, far edge 96, the first cell stretched to 100.
#include <functional>

#include "render_support.h"

namespace keymora::test::paint {
namespace {

struct DurationCase {
    const char* Name;
    TKeyboardOrientation Orientation;
    std::uint8_t Style;
    bool Themed;
    std::function<void(Painter&)> Setup;
    std::vector<std::string> Expected;  // from the strip fill to the first key's fill
};

class DurationSelector : public ::testing::TestWithParam<DurationCase> {};

TEST_P(DurationSelector, CellsLabelsAndButtons) {
    const DurationCase& C = GetParam();
    const bool H = C.Orientation == koHorizontal;
    Painter P(H ? 551 : 100, H ? 100 : 551, C.Style, C.Orientation);
    P.Window->Themes = C.Themed;
    if (C.Setup) C.Setup(P);
    EXPECT_EQ(From(P.Paint(), C.Expected.front(), C.Expected.size()), C.Expected);
}

const std::string Strip = "fill 521 0 551 100 $00FFFFFF";
const std::string First = "fill 0 0 10 100 $00FFFFFF";
const std::string Grey = " Arial 7 $00808080";
const std::string Black = " Arial 7 $00000000";

INSTANTIATE_TEST_SUITE_P(
    Cases, DurationSelector,
    ::testing::Values(
        DurationCase{"Scrolling",
                     koHorizontal,
                     ScrollDur,
                     true,
                     nullptr,
                     {Strip, "element tsArrowBtnUpNormal 521 84 536 100",
                      "element tsArrowBtnDownNormal 536 84 551 100",
                      "element tbPushButtonPressed 521 56 551 84", "text 533 64 c" + Grey,
                      "element tbPushButtonNormal 521 28 551 56", "text 528 36 1/2" + Grey,
                      "element tbPushButtonNormal 521 0 551 28", "text 528 8 1/4" + Grey, First}},
        DurationCase{"ScrollingVertical",
                     koVertical,
                     ScrollDur,
                     true,
                     nullptr,
                     {"fill 0 521 100 551 $00FFFFFF", "element tsArrowBtnLeftNormal 84 521 100 536",
                      "element tsArrowBtnRightNormal 84 536 100 551",
                      "element tbPushButtonPressed 56 521 84 551", "text 67 530 c" + Grey,
                      "element tbPushButtonNormal 28 521 56 551", "text 39 524 1" + Grey,
                      "text 39 536 2" + Grey, "move 38 536 $00808080", "line 46 536 $00808080",
                      "element tbPushButtonNormal 0 521 28 551", "text 11 524 1" + Grey,
                      "text 11 536 4" + Grey, "move 10 536 $00808080", "line 18 536 $00808080",
                      "fill 0 0 100 10 $00FFFFFF"}},
        // OffsetDuration 2: the row reads 1/4, 1/8, 1/16 and the selected "c" is out of view.
        DurationCase{"ScrolledClassic",
                     koHorizontal,
                     ScrollDur,
                     false,
                     [](Painter& P) { P.Control.SetOffsetDuration(2); },
                     {Strip, "frame 521 84 536 100 3 $0000", "frame 536 84 551 100 3 $0001",
                      "frame 521 56 551 84 4 $0010", "text 528 64 1/4" + Grey,
                      "frame 521 28 551 56 4 $0010", "text 528 36 1/8" + Grey,
                      "frame 521 0 551 28 4 $0010", "text 526 8 1/16" + Grey, First}},
        // A press on the first scroll button holds it down and gives the control the focus.
        DurationCase{"UpButtonHeldClassic",
                     koHorizontal,
                     ScrollDur,
                     false,
                     [](Painter& P) { P.Press(525, 90); },
                     {Strip, "frame 521 84 536 100 3 $4200", "frame 536 84 551 100 3 $0001",
                      "frame 521 56 551 84 4 $4210", "text 533 64 c" + Black}},
        DurationCase{"DownButtonHeldThemed",
                     koHorizontal,
                     ScrollDur,
                     true,
                     [](Painter& P) { P.Press(545, 90); },
                     {Strip, "element tsArrowBtnUpNormal 521 84 536 100",
                      "element tsArrowBtnDownPressed 536 84 551 100"}},
        DurationCase{"Fixed",
                     koHorizontal,
                     0,
                     true,
                     [](Painter& P) { P.Window->GiveFocus(); },
                     {Strip, "element tbPushButtonPressed 521 80 551 100", "text 533 84 c" + Black,
                      "element tbPushButtonNormal 521 64 551 80", "text 528 66 1/2" + Black,
                      "element tbPushButtonNormal 521 48 551 64", "text 528 50 1/4" + Black,
                      "element tbPushButtonNormal 521 32 551 48", "text 528 34 1/8" + Black,
                      "element tbPushButtonNormal 521 16 551 32", "text 526 18 1/16" + Black,
                      "element tbPushButtonNormal 521 0 551 16", "text 526 2 1/32" + Black, First}},
        // The stretched first cell centres "c" on [80, 100); fractions centre on their own cell.
        DurationCase{"FixedVertical",
                     koVertical,
                     0,
                     true,
                     [](Painter& P) { P.Control.SetDurationPosition(1); },
                     {"fill 0 521 100 551 $00FFFFFF", "element tbPushButtonNormal 80 521 100 551",
                      "text 87 530 c" + Grey, "element tbPushButtonPressed 64 521 80 551",
                      "text 69 524 1" + Grey, "text 69 536 2" + Grey}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(DurationLabels, EighthCellReadsOneOver128InBothOrientations) {
    // Eight fixed cells of 12: the last spans [0, 12).
    Painter H(551, 100, 0);
    H.Control.SetDurationCount(8);
    EXPECT_EQ(Starting(H.Paint(), "text 523 0 ").size(), 1u);  // "1/128" is 25 wide

    Painter V(100, 551, 0, koVertical);
    V.Control.SetDurationCount(8);
    const auto Lines = V.Paint();
    // (12 - 15) div 2 truncates to -1.
    EXPECT_EQ(From(Lines, "text 3 524 1" + Grey, 4),
              (std::vector<std::string>{"text 3 524 1" + Grey, "text -1 536 128" + Grey,
                                        "move 2 536 $00808080", "line 10 536 $00808080"}));
}

TEST(DurationLabels, UprightAndNormalWeightWhateverTheFontBefore) {
    Painter P(551, 100, Marks | ScrollDur);
    TFont F = P.Control.Font();
    F.Style = TFontStyles{fsBold, fsItalic};
    P.Control.SetFont(F);
    for (int Pass = 0; Pass < 2; ++Pass) {
        int Labels = 0, BoldLetters = 0;
        for (const TCanvasCall& Call : P.PaintCalls()) {
            if (Call.Op != TCanvasOp::TextOut) continue;
            if (Call.Text == "c" || Call.Text.rfind("1/", 0) == 0) {
                ++Labels;
                EXPECT_TRUE(Call.Font.Style.Empty()) << "pass " << Pass << " " << Call.Text;
            } else if (Call.Font.Size == 8 && Call.Font.Style.Contains(fsBold)) {
                ++BoldLetters;
            }
        }
        EXPECT_EQ(Labels, 3);
        // The marks carry the control's style, so the second pass starts from a bold font.
        EXPECT_EQ(BoldLetters, 52);
    }
}

}  // namespace
}  // namespace keymora::test::paint
