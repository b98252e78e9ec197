/// \file
/// The paint pass of the keyboard control: one free function that draws the whole control from a
/// const model onto any canvas.
#pragma once

#include "keymora/host/canvas.h"
#include "keymora/model/keymora.h"

namespace keymora {

/// Draws the whole control on Canvas: button zones, setting strip and duration selector, the 52
/// white and 36 black keys in their states and colours, letters and octave numbers. Reads Control
/// and changes nothing in it; allocates nothing. Keys, marks, faces and the duration selector that
/// lie wholly outside the canvas's ClipBox are left out, which changes no pixel. Clip and origin
/// shift used for the scrolled keys are undone before it returns, while pen, brush and font keep
/// the last values it set.
void PaintKeymora(const TKeymora& Control, TCanvas& Canvas);

}  // namespace keymora
