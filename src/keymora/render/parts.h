// What the parts of the paint pass share: the map from the keyboard's own frame (u along the key
// axis, v across it) to client pixels, the button faces in their themed or classic style, and the
// drawing steps of the selector, the button zones and the marks.
#pragma once

#include <cstdint>

#include "keymora/host/canvas.h"
#include "keymora/model/keymora.h"

namespace keymora::render {

/// Maps a point of the keyboard frame to client pixels: u along the key axis, v across it, so
/// that the vertical keyboard is the horizontal one with x and y exchanged.
struct TFrame {
    bool Horizontal = true;
    constexpr TPoint operator()(int U, int V) const {
        return Horizontal ? Point(U, V) : Point(V, U);
    }
};

enum class TArrow : std::uint8_t { Up, Down, Left, Right };

/// A push-button face: themed element or classic frame control, normal or pressed.
void DrawPushButton(TCanvas& Canvas, bool Themed, const TRect& R, bool Pressed);
/// An arrow-button face pointing in Direction.
void DrawArrowButton(TCanvas& Canvas, bool Themed, TArrow Direction, const TRect& R, bool Pressed);

/// The six buttons of the two octave zones, drawn before the keys.
void PaintButtonZones(const TKeymora& Control, TCanvas& Canvas, bool Themed);
/// The duration cells and their scroll buttons inside the setting strip.
void PaintDurationSelector(const TKeymora& Control, TCanvas& Canvas, bool Themed);
/// The letter of white key with note Note (1 = C .. 7 = B) of octave Octave starting at P along
/// the key axis, and on a C its octave number.
void PaintMarks(const TKeymora& Control, TCanvas& Canvas, int P, int Note, int Octave);

}  // namespace keymora::render
