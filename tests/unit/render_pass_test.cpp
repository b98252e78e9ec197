// Properties of the whole pass: the vertical keyboard is the horizontal one transposed (texts and
// upright glyphs aside), the pass changes nothing in the control or its window, and the canvas
// is handed back without clip or shift.
#include <sstream>

#include "render_support.h"

namespace keymora::test::paint {
namespace {

TThemedElement Transposed(TThemedElement E) {
    using T = TThemedElement;
    switch (E) {
        case T::tsArrowBtnUpNormal:
            return T::tsArrowBtnLeftNormal;
        case T::tsArrowBtnUpPressed:
            return T::tsArrowBtnLeftPressed;
        case T::tsArrowBtnLeftNormal:
            return T::tsArrowBtnUpNormal;
        case T::tsArrowBtnLeftPressed:
            return T::tsArrowBtnUpPressed;
        case T::tsArrowBtnDownNormal:
            return T::tsArrowBtnRightNormal;
        case T::tsArrowBtnDownPressed:
            return T::tsArrowBtnRightPressed;
        case T::tsArrowBtnRightNormal:
            return T::tsArrowBtnDownNormal;
        case T::tsArrowBtnRightPressed:
            return T::tsArrowBtnDownPressed;
        default:
            return E;
    }
}

/// The call as the other orientation must make it: x and y exchanged, and an arrow pointing up
/// becomes one pointing left (and down becomes right), which is what the exchange does to it.
TCanvasCall Transposed(TCanvasCall C) {
    C.Rect = Rect(C.Rect.Top, C.Rect.Left, C.Rect.Bottom, C.Rect.Right);
    for (TPoint& P : C.Points) P = Point(P.Y, P.X);
    C.Element = Transposed(C.Element);
    if (C.Op == TCanvasOp::DrawFrameControl && C.Type == DFC_SCROLL) C.State ^= 0x0002u;
    return C;
}

/// The calls without texts, the bars of stacked fractions (a move and a line right after a
/// text) and the zone glyphs, which stay upright in both orientations.
std::vector<std::string> Geometry(const std::vector<TCanvasCall>& Calls, bool Transpose) {
    std::vector<std::string> Lines;
    for (std::size_t I = 0; I < Calls.size(); ++I) {
        const TCanvasCall& C = Calls[I];
        if (C.Op == TCanvasOp::TextOut) {
            if (I + 2 < Calls.size() && Calls[I + 1].Op == TCanvasOp::MoveTo &&
                Calls[I + 2].Op == TCanvasOp::LineTo)
                I += 2;
            continue;
        }
        const bool Glyph = C.Op == TCanvasOp::FillRect &&
                           (C.Brush.Color == 0x0084614A || C.Brush.Color == clBlack);
        if (Glyph) continue;
        Lines.push_back(Describe(Transpose ? Transposed(C) : C));
    }
    return Lines;
}

struct TransposeCase {
    const char* Name;
    std::uint8_t Style;
    bool Themed;
    std::size_t Calls;  // without texts, fraction bars and glyphs
};

class Transposition : public ::testing::TestWithParam<TransposeCase> {};

TEST_P(Transposition, VerticalIsHorizontalWithXAndYExchanged) {
    const TransposeCase& C = GetParam();
    Painter H(300, 300, C.Style, koHorizontal);
    Painter V(300, 300, C.Style, koVertical);
    for (Painter* P : {&H, &V}) {
        P->Window->Themes = C.Themed;
        P->Control.SelectNote(4, 2, 0);
        P->Control.SelectNote(4, 2, 1);
        P->Control.SelectNote(5, 6, 0);
        P->Control.SetOffsetOctave(2);
        P->Control.SetDurationPosition(1);
    }
    const auto Horizontal = Geometry(H.PaintCalls(), true);
    const auto Vertical = Geometry(V.PaintCalls(), false);
    EXPECT_EQ(Horizontal.size(), C.Calls);
    EXPECT_EQ(Horizontal, Vertical);
}

// The keys alone make 351 calls: 51 next-key fills, 52 outlines with their front lines (156), 36
// shadows and 36 black keys of three calls each. Plain adds the strip fill, six cells and the
// first key's three calls. With everything on: two zone fills when themed, six zone faces, the
// strip, two scroll buttons and three cells, the first key, save, clip, origin and restore (the
// keys at KeyWidth 6 scrolled by 54 still reach past the band, so no fill after C8).
INSTANTIATE_TEST_SUITE_P(
    Styles, Transposition,
    ::testing::Values(TransposeCase{"AllThemed", Marks | Colors | ScrollDur | ScrollOct, true, 372},
                      TransposeCase{"AllClassic", Marks | Colors | ScrollDur | ScrollOct, false,
                                    370},
                      TransposeCase{"Plain", 0, true, 361}),
    [](const auto& Info) { return std::string(Info.param.Name); });

std::string Snapshot(const TKeymora& K) {
    std::ostringstream S;
    S << int(K.Orientation()) << ' ' << int(K.Style().Bits()) << ' ' << K.SettingWidth() << ' '
      << K.DurationWidth() << ' ' << K.DurationPosition() << ' ' << K.Octave() << ' '
      << K.OffsetOctave() << ' ' << K.MaxOffsetDuration() << ' ' << K.MaxOffsetOttave() << ' '
      << K.Keys() << ' ' << K.MaxDuration() << ' ' << K.OffsetDuration() << ' ' << K.RealWidth()
      << ' ' << K.VisibleKeyCount() << ' ' << K.KeyWidth() << ' ' << K.Color() << ' '
      << K.Font().Name << ' ' << K.Font().Size << ' ' << K.Font().Color << ' ';
    for (int I = 0; I < WhiteKeyCount; ++I) S << int(K.KeyStates()[I]) << int(K.ToneStates()[I]);
    for (int B = 0; B < 6; ++B) S << K.ZoneButtonPressed(static_cast<TZoneButton>(B));
    S << K.DurationUpPressed() << K.DurationDownPressed();
    return S.str();
}

struct RestoreCase {
    const char* Name;
    TKeyboardOrientation Orientation;
    std::uint8_t Style;
    int Offset;
};

class PassLeavesNoTrace : public ::testing::TestWithParam<RestoreCase> {};

TEST_P(PassLeavesNoTrace, ControlUnchangedCanvasRestored) {
    const RestoreCase& C = GetParam();
    const bool H = C.Orientation == koHorizontal;
    Painter P(H ? 600 : 100, H ? 100 : 600, C.Style, C.Orientation);
    P.Control.SetOffsetOctave(C.Offset);
    P.Control.SelectNote(5, 3, 1);
    P.Press(5, 95);  // holds a zone button or a key, whichever lies there
    P.Window->GiveFocus();
    const std::string Before = Snapshot(P.Control);
    P.Window->Records.clear();

    const auto Lines = P.Paint();
    EXPECT_EQ(Snapshot(P.Control), Before);
    EXPECT_TRUE(P.Window->Records.empty()) << "the pass asked its window for something";
    EXPECT_EQ(Starting(Lines, "save").size(), Starting(Lines, "restore").size());
    EXPECT_EQ(P.Canvas.Origin(), Point(0, 0));
    EXPECT_EQ(P.Canvas.DeviceClip(), Rect(0, 0, P.Control.Width(), P.Control.Height()));
    EXPECT_EQ(P.Canvas.ClipRect(), Rect(0, 0, P.Control.Width(), P.Control.Height()));
}

INSTANTIATE_TEST_SUITE_P(Cases, PassLeavesNoTrace,
                         ::testing::Values(RestoreCase{"Scrolled", koHorizontal,
                                                       Marks | Colors | ScrollDur | ScrollOct, 3},
                                           RestoreCase{"ScrolledVertical", koVertical,
                                                       Marks | Colors | ScrollDur | ScrollOct, 4},
                                           RestoreCase{"Unscrolled", koHorizontal, Marks | Colors,
                                                       0}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

}  // namespace
}  // namespace keymora::test::paint
