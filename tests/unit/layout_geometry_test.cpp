// Layout geometry: the computed widths for a range of sizes and styles, key and black-key
// rectangles, the marks band, the anchor point of a note, and the shared frame helpers. Every
// expected value is worked out by hand from the layout formulas (integer division truncating
// toward zero).
#include <gtest/gtest.h>

#include "harness.h"

namespace keymora::test {
namespace {

struct LayoutCase {
    const char* Name;
    TKeyboardOrientation Orientation;
    std::uint8_t StyleBits;
    int MaxOffsetOttave;
    int Width, Height;
    int VisibleKeyCount, RealWidth, KeyWidth;
};

class Layout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(Layout, CalculateWidth) {
    const LayoutCase& C = GetParam();
    Harness H(C.Width, C.Height);
    TKeymora& K = H.Control;
    K.SetOrientation(C.Orientation);
    K.SetStyle(TMusicStyles::FromBits(C.StyleBits));
    K.SetOutOctave(C.MaxOffsetOttave);
    K.CalculateWidth();
    EXPECT_EQ(K.VisibleKeyCount(), C.VisibleKeyCount);
    EXPECT_EQ(K.RealWidth(), C.RealWidth);
    EXPECT_EQ(K.KeyWidth(), C.KeyWidth);
}

constexpr std::uint8_t All = 0x0F;
constexpr std::uint8_t NoScroll = 0x07;

INSTANTIATE_TEST_SUITE_P(
    Sizes, Layout,
    ::testing::Values(
        // ((600 - 30 - 32) div 35) * 35 + 1 + 30 + 32 = 15 * 35 + 63.
        LayoutCase{"Default600", koHorizontal, All, 4, 600, 100, 35, 588, 15},
        LayoutCase{"NoScroll600", koHorizontal, NoScroll, 4, 600, 100, 52, 551, 10},
        // -42 div 35 = -1: RealWidth 28, KeyWidth -34 div 35 = 0.
        LayoutCase{"Tiny20", koHorizontal, All, 4, 20, 100, 35, 28, 0},
        LayoutCase{"Zero", koHorizontal, All, 4, 0, 100, 35, 28, 0},
        // -162 div 35 = -4: RealWidth -77, KeyWidth -139 div 35 = -3.
        LayoutCase{"Negative", koHorizontal, All, 4, -100, 100, 35, -77, -3},
        // 63 - 7 = 56 is capped at 52.
        LayoutCase{"MaxOffsetOne", koHorizontal, All, 1, 600, 100, 52, 583, 10},
        LayoutCase{"MaxOffsetEight", koHorizontal, All, 8, 600, 100, 7, 595, 76},
        LayoutCase{"Wide800", koHorizontal, All, 3, 800, 120, 42, 777, 17},
        LayoutCase{"Vertical600", koVertical, All, 4, 100, 600, 35, 588, 15},
        LayoutCase{"VerticalNoScroll", koVertical, NoScroll, 4, 100, 600, 52, 551, 10},
        // The vertical layout reads the height alone.
        LayoutCase{"VerticalIgnoresWidth", koVertical, All, 4, 5000, 600, 35, 588, 15}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(LayoutGeometry, StretchesAlongTheKeyAxis) {
    Harness H;
    const TKeymora& K = H.Control;
    EXPECT_EQ(K.Layout().KeyOrigin(), 16);
    EXPECT_EQ(K.Layout().StripStart(), 558);
    EXPECT_EQ(K.Layout().Strip(), Rect(558, 0, 588, 100));
    EXPECT_EQ(K.Layout().KeyArea(), Rect(16, 0, 542, 100));
    EXPECT_EQ(K.Layout().ZoneButton(TZoneButton::OctaveUp), Rect(542, 0, 558, 68));
    EXPECT_EQ(K.Layout().ZoneButton(TZoneButton::FewerDurations), Rect(542, 84, 558, 100));
}

TEST(LayoutGeometry, ZoneButtonsInBothOrientations) {
    struct Case {
        TZoneButton Button;
        TRect Horizontal;  // 600 x 100
        TRect Vertical;    // 100 x 600
    };
    const Case Cases[] = {
        {TZoneButton::OctaveDown, Rect(0, 0, 16, 68), Rect(0, 0, 68, 16)},
        {TZoneButton::MoreOctaves, Rect(0, 68, 16, 84), Rect(68, 0, 84, 16)},
        {TZoneButton::FewerOctaves, Rect(0, 84, 16, 100), Rect(84, 0, 100, 16)},
        {TZoneButton::OctaveUp, Rect(542, 0, 558, 68), Rect(0, 542, 68, 558)},
        {TZoneButton::MoreDurations, Rect(542, 68, 558, 84), Rect(68, 542, 84, 558)},
        {TZoneButton::FewerDurations, Rect(542, 84, 558, 100), Rect(84, 542, 100, 558)},
    };
    Harness Horizontal(600, 100);
    Harness Vertical(100, 600);
    Vertical.Control.SetOrientation(koVertical);
    for (const Case& C : Cases) {
        EXPECT_EQ(Horizontal.Control.Layout().ZoneButton(C.Button), C.Horizontal);
        EXPECT_EQ(Vertical.Control.Layout().ZoneButton(C.Button), C.Vertical);
    }
}

TEST(LayoutGeometry, DurationRow) {
    struct Case {
        const char* Name;
        std::uint8_t StyleBits;
        int MaxDuration, MaxOffsetDuration, Height;
        TDurationRow Expected;
    };
    const Case Cases[] = {
        // (100 - 15) div 3 = 28.
        {"Scrolling", All, 6, 3, 100, {3, 28, 84, true}},
        // 100 div 6 = 16, far edge 96: cell 0 takes the remainder to 100.
        {"Plain", 0x0B, 6, 3, 100, {6, 16, 96, false}},
        {"ScrollingTwoCells", All, 8, 6, 120, {2, 52, 104, true}},
    };
    for (const Case& C : Cases) {
        Harness H(600, C.Height);
        TKeymora& K = H.Control;
        K.SetStyle(TMusicStyles::FromBits(C.StyleBits));
        K.SetDurationCount(C.MaxDuration);
        K.SetOutDuration(C.MaxOffsetDuration);
        const TDurationRow Row = K.Layout().Row();
        EXPECT_EQ(Row.Count, C.Expected.Count) << C.Name;
        EXPECT_EQ(Row.Cell, C.Expected.Cell) << C.Name;
        EXPECT_EQ(Row.FarEdge, C.Expected.FarEdge) << C.Name;
        EXPECT_EQ(Row.Scroll, C.Expected.Scroll) << C.Name;
    }
}

TEST(LayoutGeometry, ScrollOffsetAndKeyOrigin) {
    Harness H;
    TKeymora& K = H.Control;
    K.SetOffsetOctave(2);
    EXPECT_EQ(K.GetOffsetOctave(), 135);
    EXPECT_EQ(K.Layout().KeyOrigin(), -119);
    // White key 9, the C of octave 3, is the first in view.
    EXPECT_EQ(K.GetKeyRect(9).Left, 16);
    // Without octave scrolling the offset moves nothing.
    K.SetStyle(TMusicStyles{msShowMarks});
    EXPECT_EQ(K.Layout().KeyOrigin(), 0);
}

TEST(LayoutGeometry, KeyAndToneRects) {
    struct Case {
        TKeyboardOrientation Orientation;
        int I;
        TRect Key, Tone;
    };
    const Case Cases[] = {
        {koHorizontal, 2, Rect(46, 0, 61, 100), Rect(58, 0, 66, 82)},
        {koHorizontal, 0, Rect(16, 0, 31, 100), Rect(28, 0, 36, 82)},
        {koHorizontal, 51, Rect(781, 0, 796, 100), Rect(793, 0, 801, 82)},
        {koVertical, 2, Rect(0, 46, 100, 61), Rect(0, 58, 82, 66)},
    };
    for (const Case& C : Cases) {
        Harness H(C.Orientation == koHorizontal ? 600 : 100, C.Orientation == koHorizontal ? 100 : 600);
        H.Control.SetOrientation(C.Orientation);
        EXPECT_EQ(H.Control.GetKeyRect(C.I), C.Key) << C.I;
        EXPECT_EQ(H.Control.GetToneRect(C.I), C.Tone) << C.I;
    }
}

TEST(LayoutGeometry, IndicesFarOutsideSaturate) {
    Harness H;
    EXPECT_EQ(H.Control.GetKeyRect(2147483647), Rect(2147483647, 0, 2147483647, 100));
    EXPECT_EQ(H.Control.GetToneRect(-2147483647 - 1), Rect(-2147483647 - 1, 0, -2147483647 - 1, 82));
    EXPECT_EQ(H.Control.GetKeyRect(-1), Rect(1, 0, 16, 100));
}

TEST(LayoutGeometry, RectsWithoutWindowAreTheWholeControl) {
    Harness H(600, 100, /*WithWindow=*/false);
    for (int I : {-3, 0, 2, 51, 60}) {
        EXPECT_EQ(H.Control.GetKeyRect(I), Rect(0, 0, 600, 100));
        EXPECT_EQ(H.Control.GetToneRect(I), Rect(0, 0, 600, 100));
    }
}

TEST(LayoutGeometry, InvalidateOctave) {
    struct Case {
        TKeyboardOrientation Orientation;
        int Octave;
        TRect Band;
    };
    const Case Cases[] = {
        {koHorizontal, 5, Rect(361, 86, 466, 100)},
        {koHorizontal, 9, Rect(781, 86, 796, 100)},
        // Octave 1 starts five key widths before A0.
        {koHorizontal, 1, Rect(-59, 86, 46, 100)},
        {koVertical, 5, Rect(86, 361, 100, 466)},
    };
    for (const Case& C : Cases) {
        const bool Horizontal = C.Orientation == koHorizontal;
        Harness H(Horizontal ? 600 : 100, Horizontal ? 100 : 600);
        TKeymora& K = H.Control;
        K.SetOrientation(C.Orientation);
        K.SetStyle(TMusicStyles{msScrollOctave});  // no scrolling to follow the octave
        K.SetOctave(C.Octave);
        H.Take();
        K.InvalidateOctave();
        EXPECT_EQ(H.Take(), std::vector<std::string>{Inv(C.Band)}) << C.Octave;
    }
}

TEST(LayoutGeometry, InvalidateSettingInBothOrientations) {
    Harness H;
    H.Control.InvalidateSetting();
    EXPECT_EQ(H.Take(), std::vector<std::string>{Inv(558, 0, 588, 100)});
    Harness V(100, 600);
    V.Control.SetOrientation(koVertical);
    V.Take();
    V.Control.InvalidateSetting();
    EXPECT_EQ(V.Take(), std::vector<std::string>{Inv(0, 558, 100, 588)});
}

TEST(LayoutGeometry, GetPoint) {
    Harness H;
    const TKeymora& K = H.Control;
    // g = (100 - 15) div 3 = 28; Y = 100 - 0 - 42.
    EXPECT_EQ(K.GetPoint(5, 0, 0, 0), Point(369, 58));
    EXPECT_EQ(K.GetPoint(5, 0, 1, 0), Point(376, 58));
    EXPECT_EQ(K.GetPoint(5, 0, 0, 1), Point(369, 30));
    EXPECT_EQ(K.GetPoint(1, 5, 0, 0), Point(24, 58));  // A0
    EXPECT_EQ(K.GetPoint(1, 4, 0, 0), std::nullopt);   // below A0
    EXPECT_EQ(K.GetPoint(9, 1, 0, 0), std::nullopt);   // above C8
    EXPECT_EQ(K.GetPoint(9, 0, 0, 0), Point(789, 58));  // C8
}

TEST(LayoutGeometry, GetRealWidthLeavesTheLayoutAlone) {
    Harness H;
    TKeymora& K = H.Control;
    K.BeginLoading();
    K.SetBounds(0, 0, 800, 100);
    // (800 - 62) div 35 = 21: 735 + 63.
    EXPECT_EQ(K.GetRealWidth(), 798);
    EXPECT_EQ(K.RealWidth(), 588);
    EXPECT_EQ(K.KeyWidth(), 15);
}

}  // namespace
}  // namespace keymora::test
