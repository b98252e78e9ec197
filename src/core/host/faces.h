// Classic bevelled button faces drawn with plain canvas fills, for canvases whose platform has no
// visual-style service: a push button and a scroll-arrow button, each normal or pressed.
#pragma once

#include "keymora/host/canvas.h"

namespace keymora {

/// Colours of the classic faces. The face is the grey of classic desktop buttons ($00C0C0C0)
/// rather than the paler $00F0F0F0 of later systems: on the control's usually white background a
/// paler face would barely stand apart from the keys and the strip.
constexpr TColor clBtnFace = 0x00C0C0C0;
constexpr TColor clBtnHighlight = 0x00FFFFFF;
constexpr TColor clBtnLight = 0x00DFDFDF;
constexpr TColor clBtnShadow = 0x00808080;
constexpr TColor clBtnDkShadow = 0x00000000;

/// Draws a classic frame control on R. Type DFC_BUTTON gives a push button, DFC_SCROLL a button
/// with a filled black arrow pointing as the DFCS_SCROLL* bits of State say. Without DFCS_PUSHED
/// the face is raised (light top-left, dark bottom-right, two pixels); with DFCS_PUSHED it is
/// sunken, or a one-pixel flat frame when DFCS_FLAT is also set, and the arrow moves by (1, 1).
/// An empty R draws nothing. Pen, Brush and Font are left as they were found.
void DrawClassicFrameControl(TCanvas& Canvas, const TRect& R, unsigned Type, unsigned State);

/// The same faces chosen by visual-style element: push buttons and arrow buttons, pressed
/// elements drawn as DFCS_PUSHED | DFCS_FLAT.
void DrawClassicElement(TCanvas& Canvas, TThemedElement Element, const TRect& R);

}  // namespace keymora
