// Button faces of the pass: the host's visual-style elements when themes are on, classic frame
// controls otherwise.
#include "core/render/parts.h"

namespace keymora::render {

void DrawPushButton(TCanvas& Canvas, bool Themed, const TRect& R, bool Pressed) {
    if (Themed)
        Canvas.DrawElement(
            Pressed ? TThemedElement::tbPushButtonPressed : TThemedElement::tbPushButtonNormal, R);
    else
        Canvas.DrawFrameControl(R, DFC_BUTTON,
                                DFCS_BUTTONPUSH | (Pressed ? DFCS_PUSHED | DFCS_FLAT : 0u));
}

void DrawArrowButton(TCanvas& Canvas, bool Themed, TArrow Direction, const TRect& R, bool Pressed) {
    struct TArrowFace {
        TThemedElement Normal;
        TThemedElement Pushed;
        unsigned State;
    };
    static constexpr TArrowFace Faces[] = {
        {TThemedElement::tsArrowBtnUpNormal, TThemedElement::tsArrowBtnUpPressed, DFCS_SCROLLUP},
        {TThemedElement::tsArrowBtnDownNormal, TThemedElement::tsArrowBtnDownPressed,
         DFCS_SCROLLDOWN},
        {TThemedElement::tsArrowBtnLeftNormal, TThemedElement::tsArrowBtnLeftPressed,
         DFCS_SCROLLLEFT},
        {TThemedElement::tsArrowBtnRightNormal, TThemedElement::tsArrowBtnRightPressed,
         DFCS_SCROLLRIGHT},
    };
    const TArrowFace& Face = Faces[static_cast<std::size_t>(Direction)];
    if (Themed)
        Canvas.DrawElement(Pressed ? Face.Pushed : Face.Normal, R);
    else
        Canvas.DrawFrameControl(R, DFC_SCROLL,
                                Face.State | (Pressed ? DFCS_PUSHED | DFCS_FLAT : 0u));
}

}  // namespace keymora::render
