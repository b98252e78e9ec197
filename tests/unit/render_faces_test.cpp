// Classic button faces: they hand the canvas back as they found it, stay inside their rectangle,
// and draw a centred arrow that follows a pressed face by one pixel.
#include "core/host/faces.h"
#include "render_support.h"

namespace keymora::test::paint {
namespace {

struct FaceCase {
    const char* Name;
    unsigned Type;
    unsigned State;
};

class ClassicFace : public ::testing::TestWithParam<FaceCase> {};

TEST_P(ClassicFace, KeepsPenBrushFontAndStaysInside) {
    const FaceCase& C = GetParam();
    TRecordingCanvas Canvas;
    Canvas.Pen.Color = 0x00123456;
    Canvas.Brush.Color = 0x00654321;
    Canvas.Brush.Style = bsClear;
    Canvas.Font.Name = "Courier New";
    Canvas.Font.Size = 13;
    Canvas.Font.Color = 0x00ABCDEF;
    Canvas.Font.Style = TFontStyles{fsBold};
    const TPen Pen = Canvas.Pen;
    const TBrush Brush = Canvas.Brush;
    const TFont Font = Canvas.Font;

    const TRect R = Rect(10, 20, 25, 43);
    DrawClassicFrameControl(Canvas, R, C.Type, C.State);
    EXPECT_EQ(Canvas.Pen.Color, Pen.Color);
    EXPECT_EQ(Canvas.Brush.Color, Brush.Color);
    EXPECT_EQ(Canvas.Brush.Style, Brush.Style);
    EXPECT_EQ(Canvas.Font, Font);

    ASSERT_FALSE(Canvas.Calls.empty());
    // The face first covers its whole rectangle, so nothing beneath shows through.
    EXPECT_EQ(Describe(Canvas.Calls.front()), "fill 10 20 25 43 $00C0C0C0");
    for (const TCanvasCall& Call : Canvas.Calls) {
        EXPECT_EQ(Call.Op, TCanvasOp::FillRect);
        EXPECT_TRUE(Call.Rect.Left >= R.Left && Call.Rect.Right <= R.Right &&
                    Call.Rect.Top >= R.Top && Call.Rect.Bottom <= R.Bottom)
            << Describe(Call);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ClassicFace,
    ::testing::Values(
        FaceCase{"Push", DFC_BUTTON, DFCS_BUTTONPUSH},
        FaceCase{"PushPressedFlat", DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED | DFCS_FLAT},
        FaceCase{"PushSunken", DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED},
        FaceCase{"Up", DFC_SCROLL, DFCS_SCROLLUP},
        FaceCase{"DownPressed", DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_PUSHED | DFCS_FLAT},
        FaceCase{"Left", DFC_SCROLL, DFCS_SCROLLLEFT},
        FaceCase{"RightPressed", DFC_SCROLL, DFCS_SCROLLRIGHT | DFCS_PUSHED | DFCS_FLAT}),
    [](const auto& Info) { return std::string(Info.param.Name); });

/// The black fills inside a face's outer ring: its arrow.
std::vector<std::string> Arrow(TThemedElement Element, const TRect& R) {
    TRecordingCanvas Canvas;
    DrawClassicElement(Canvas, Element, R);
    std::vector<std::string> Lines;
    for (const TCanvasCall& Call : Canvas.Calls) {
        const TRect& F = Call.Rect;
        const bool Inside =
            F.Left > R.Left && F.Top > R.Top && F.Right < R.Right && F.Bottom < R.Bottom;
        if (Call.Brush.Color == clBlack && Inside) Lines.push_back(Describe(Call));
    }
    return Lines;
}

struct ArrowCase {
    const char* Name;
    TThemedElement Normal;
    TThemedElement Pressed;
    std::vector<std::string> Expected;  // the normal glyph on (0, 0, 16, 16), tip first or last
};

class ClassicArrow : public ::testing::TestWithParam<ArrowCase> {};

// On 16 x 16 the glyph has 16 div 4 = 4 slices and a base of 7, centred: from (16 - 7) div 2 = 4
// across and (16 - 4) div 2 = 6 along its direction.
TEST_P(ClassicArrow, CentredTriangleMovesWithThePressedFace) {
    const ArrowCase& C = GetParam();
    const TRect R = Rect(0, 0, 16, 16);
    EXPECT_EQ(Arrow(C.Normal, R), C.Expected);

    std::vector<std::string> Shifted;
    for (const std::string& Line : C.Expected) {
        int L, T, Rt, B;
        ASSERT_EQ(std::sscanf(Line.c_str(), "fill %d %d %d %d", &L, &T, &Rt, &B), 4);
        Shifted.push_back("fill " + RectText(Rect(L + 1, T + 1, Rt + 1, B + 1)) + " $00000000");
    }
    EXPECT_EQ(Arrow(C.Pressed, R), Shifted);
}

const std::string K = " $00000000";

INSTANTIATE_TEST_SUITE_P(Directions, ClassicArrow,
                         ::testing::Values(ArrowCase{"Up",
                                                     TThemedElement::tsArrowBtnUpNormal,
                                                     TThemedElement::tsArrowBtnUpPressed,
                                                     {"fill 7 6 8 7" + K, "fill 6 7 9 8" + K,
                                                      "fill 5 8 10 9" + K, "fill 4 9 11 10" + K}},
                                           ArrowCase{"Down",
                                                     TThemedElement::tsArrowBtnDownNormal,
                                                     TThemedElement::tsArrowBtnDownPressed,
                                                     {"fill 4 6 11 7" + K, "fill 5 7 10 8" + K,
                                                      "fill 6 8 9 9" + K, "fill 7 9 8 10" + K}},
                                           ArrowCase{"Left",
                                                     TThemedElement::tsArrowBtnLeftNormal,
                                                     TThemedElement::tsArrowBtnLeftPressed,
                                                     {"fill 6 7 7 8" + K, "fill 7 6 8 9" + K,
                                                      "fill 8 5 9 10" + K, "fill 9 4 10 11" + K}},
                                           ArrowCase{"Right",
                                                     TThemedElement::tsArrowBtnRightNormal,
                                                     TThemedElement::tsArrowBtnRightPressed,
                                                     {"fill 6 4 7 11" + K, "fill 7 5 8 10" + K,
                                                      "fill 8 6 9 9" + K, "fill 9 7 10 8" + K}}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST(ClassicFaces, PushButtonHasNoGlyphAndEmptyRectanglesDrawNothing) {
    EXPECT_TRUE(Arrow(TThemedElement::tbPushButtonPressed, Rect(0, 0, 16, 16)).empty());
    TRecordingCanvas Canvas;
    DrawClassicFrameControl(Canvas, Rect(5, 5, 5, 20), DFC_SCROLL, DFCS_SCROLLUP);
    DrawClassicElement(Canvas, TThemedElement::tbPushButtonNormal, Rect(5, 20, 9, 20));
    EXPECT_TRUE(Canvas.Calls.empty());
}

TEST(ClassicFaces, RaisedLightTopLeftDarkBottomRightPressedFlat) {
    // The corner pixels tell the bevel: the last fill covering a pixel is its colour.
    auto PixelColour = [](const std::vector<TCanvasCall>& Calls, int X, int Y) {
        TColor C = 0xFFFFFFFFu;
        for (const TCanvasCall& Call : Calls)
            if (X >= Call.Rect.Left && X < Call.Rect.Right && Y >= Call.Rect.Top &&
                Y < Call.Rect.Bottom)
                C = Call.Brush.Color;
        return C;
    };
    TRecordingCanvas Raised, Pressed;
    DrawClassicElement(Raised, TThemedElement::tbPushButtonNormal, Rect(0, 0, 16, 16));
    DrawClassicElement(Pressed, TThemedElement::tbPushButtonPressed, Rect(0, 0, 16, 16));
    struct Pixel {
        int X, Y;
        TColor Raised, Pressed;
    };
    const Pixel Pixels[] = {
        {0, 0, clBtnHighlight, clBtnShadow},  {1, 1, clBtnLight, clBtnFace},
        {15, 15, clBtnDkShadow, clBtnShadow}, {14, 14, clBtnShadow, clBtnFace},
        {15, 0, clBtnDkShadow, clBtnShadow},  {0, 15, clBtnDkShadow, clBtnShadow},
        {8, 8, clBtnFace, clBtnFace},
    };
    for (const Pixel& P : Pixels) {
        EXPECT_EQ(PixelColour(Raised.Calls, P.X, P.Y), P.Raised) << P.X << "," << P.Y;
        EXPECT_EQ(PixelColour(Pressed.Calls, P.X, P.Y), P.Pressed) << P.X << "," << P.Y;
    }
}

}  // namespace
}  // namespace keymora::test::paint
