// Classic button faces: bevels and arrow glyphs built from one-pixel fills, so that any canvas
// that can fill a rectangle can draw them exactly alike.
#include "core/host/faces.h"

#include <algorithm>

namespace keymora {

namespace {

enum class TArrowGlyph : std::uint8_t { None, Up, Down, Left, Right };

void Fill(TCanvas& C, TColor Color, int L, int T, int R, int B) {
    if (R <= L || B <= T) return;
    C.Brush.SetColor(Color);
    C.FillRect(Rect(L, T, R, B));
}

/// Two one-pixel rings: Outer* on the outermost ring, Inner* just inside it; *TL colours the top
/// and left edges, *BR the bottom and right edges, which own the corners they share.
void Bevel(TCanvas& C, const TRect& R, TColor OuterTL, TColor OuterBR, TColor InnerTL,
           TColor InnerBR) {
    const int L = R.Left, T = R.Top, Rt = R.Right, B = R.Bottom;
    Fill(C, OuterTL, L, T, Rt - 1, T + 1);
    Fill(C, OuterTL, L, T, L + 1, B - 1);
    Fill(C, OuterBR, L, B - 1, Rt, B);
    Fill(C, OuterBR, Rt - 1, T, Rt, B);
    Fill(C, InnerTL, L + 1, T + 1, Rt - 2, T + 2);
    Fill(C, InnerTL, L + 1, T + 1, L + 2, B - 2);
    Fill(C, InnerBR, L + 1, B - 2, Rt - 1, B - 1);
    Fill(C, InnerBR, Rt - 2, T + 1, Rt - 1, B - 1);
}

void FlatFrame(TCanvas& C, const TRect& R, TColor Color) {
    const int L = R.Left, T = R.Top, Rt = R.Right, B = R.Bottom;
    Fill(C, Color, L, T, Rt, T + 1);
    Fill(C, Color, L, B - 1, Rt, B);
    Fill(C, Color, L, T + 1, L + 1, B - 1);
    Fill(C, Color, Rt - 1, T + 1, Rt, B - 1);
}

/// A solid black triangle centred in R: Size rows (or columns) growing by one pixel on each side,
/// 2 * Size - 1 pixels across at its base, about a quarter of the button's shorter side.
void ArrowGlyph(TCanvas& C, const TRect& R, TArrowGlyph Glyph) {
    const int W = R.Width(), H = R.Height();
    const int Size = std::max(1, std::min(W, H) / 4);
    const int Base = 2 * Size - 1;
    const bool Vertical = Glyph == TArrowGlyph::Up || Glyph == TArrowGlyph::Down;
    const int Left = R.Left + (W - (Vertical ? Base : Size)) / 2;
    const int Top = R.Top + (H - (Vertical ? Size : Base)) / 2;
    // Up and left arrows start at their tip, down and right arrows at their base.
    const bool FromTip = Glyph == TArrowGlyph::Up || Glyph == TArrowGlyph::Left;
    for (int Step = 0; Step < Size; ++Step) {
        const int Half = FromTip ? Step : Size - 1 - Step;
        const int Lo = Size - 1 - Half, Hi = Size + Half;
        if (Vertical)
            Fill(C, clBlack, Left + Lo, Top + Step, Left + Hi, Top + Step + 1);
        else
            Fill(C, clBlack, Left + Step, Top + Lo, Left + Step + 1, Top + Hi);
    }
}

void DrawFace(TCanvas& C, const TRect& R, bool Pressed, bool Flat, TArrowGlyph Glyph) {
    if (R.IsEmpty()) return;
    const TBrush SavedBrush = C.Brush;
    const TPen SavedPen = C.Pen;
    Fill(C, clBtnFace, R.Left, R.Top, R.Right, R.Bottom);
    if (Flat)
        FlatFrame(C, R, clBtnShadow);
    else if (Pressed)
        Bevel(C, R, clBtnShadow, clBtnHighlight, clBtnDkShadow, clBtnLight);
    else
        Bevel(C, R, clBtnHighlight, clBtnDkShadow, clBtnLight, clBtnShadow);
    if (Glyph != TArrowGlyph::None) {
        TRect G = R;
        if (Pressed) OffsetRect(G, 1, 1);
        ArrowGlyph(C, G, Glyph);
    }
    C.Pen = SavedPen;
    C.Brush = SavedBrush;
}

TArrowGlyph ScrollGlyph(unsigned State) {
    switch (State & 0x000Fu) {
        case DFCS_SCROLLUP:
            return TArrowGlyph::Up;
        case DFCS_SCROLLDOWN:
            return TArrowGlyph::Down;
        case DFCS_SCROLLLEFT:
            return TArrowGlyph::Left;
        case DFCS_SCROLLRIGHT:
            return TArrowGlyph::Right;
        default:
            return TArrowGlyph::None;
    }
}

}  // namespace

void DrawClassicFrameControl(TCanvas& Canvas, const TRect& R, unsigned Type, unsigned State) {
    const bool Pressed = (State & DFCS_PUSHED) != 0;
    const bool Flat = (State & DFCS_FLAT) != 0;
    DrawFace(Canvas, R, Pressed, Flat, Type == DFC_SCROLL ? ScrollGlyph(State) : TArrowGlyph::None);
}

void DrawClassicElement(TCanvas& Canvas, TThemedElement Element, const TRect& R) {
    unsigned Type = DFC_SCROLL;
    unsigned State = 0;
    switch (Element) {
        case TThemedElement::tbPushButtonNormal:
        case TThemedElement::tbPushButtonPressed:
            Type = DFC_BUTTON;
            State = DFCS_BUTTONPUSH;
            break;
        case TThemedElement::tsArrowBtnUpNormal:
        case TThemedElement::tsArrowBtnUpPressed:
            State = DFCS_SCROLLUP;
            break;
        case TThemedElement::tsArrowBtnDownNormal:
        case TThemedElement::tsArrowBtnDownPressed:
            State = DFCS_SCROLLDOWN;
            break;
        case TThemedElement::tsArrowBtnLeftNormal:
        case TThemedElement::tsArrowBtnLeftPressed:
            State = DFCS_SCROLLLEFT;
            break;
        case TThemedElement::tsArrowBtnRightNormal:
        case TThemedElement::tsArrowBtnRightPressed:
            State = DFCS_SCROLLRIGHT;
            break;
    }
    switch (Element) {
        case TThemedElement::tbPushButtonPressed:
        case TThemedElement::tsArrowBtnUpPressed:
        case TThemedElement::tsArrowBtnDownPressed:
        case TThemedElement::tsArrowBtnLeftPressed:
        case TThemedElement::tsArrowBtnRightPressed:
            State |= DFCS_PUSHED | DFCS_FLAT;
            break;
        default:
            break;
    }
    DrawClassicFrameControl(Canvas, R, Type, State);
}

}  // namespace keymora
