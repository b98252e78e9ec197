// What the parts of the paint pass share: the button faces in their themed or classic style, and the
// drawing steps of the selector, the button zones and the marks.
#pragma once

#include <cstdint>

#include "keymora/host/canvas.h"
#include "keymora/layout/layout.h"
#include "keymora/model/keymora.h"

namespace keymora::render {

enum class TArrow : std::uint8_t { Up, Down, Left, Right };

/// How far the ink of a mark or a duration label can reach along the key axis beyond the key or
/// strip it belongs to: the texts are at most seven characters of 7 or 8 points, centred, or one
/// character beside a key's edge. Clip tests widen their spans by this much.
constexpr int TextReach = 40;

/// The stretch [Lo, Hi) of the key axis that the canvas's clip box lets through, in the canvas's
/// current logical coordinates. A step whose drawing lies wholly outside it is skipped: the
/// canvas would discard every pixel of it anyway.
struct TClipSpan {
    long long Lo = 0;
    long long Hi = 0;
    bool Meets(long long A, long long B) const { return Lo < Hi && A < Hi && B > Lo; }
};
inline TClipSpan ClipSpanOf(const TCanvas& Canvas, bool Horizontal) {
    const TRect R = Canvas.ClipBox();
    if (R.IsEmpty()) return {};
    return Horizontal ? TClipSpan{R.Left, R.Right} : TClipSpan{R.Top, R.Bottom};
}
/// True when R and the canvas's clip box share a pixel.
inline bool MeetsClip(const TRect& Clip, const TRect& R) {
    return !R.IsEmpty() && R.Left < Clip.Right && R.Right > Clip.Left && R.Top < Clip.Bottom &&
           R.Bottom > Clip.Top;
}

/// A push-button face: themed element or classic frame control, normal or pressed.
void DrawPushButton(TCanvas& Canvas, bool Themed, const TRect& R, bool Pressed);
/// An arrow-button face pointing in Direction.
void DrawArrowButton(TCanvas& Canvas, bool Themed, TArrow Direction, const TRect& R, bool Pressed);

/// The six buttons of the two octave zones, drawn before the keys.
void PaintButtonZones(const TKeymora& Control, const TLayout& Layout, TCanvas& Canvas,
                      bool Themed);
/// The duration cells and their scroll buttons inside the setting strip.
void PaintDurationSelector(const TKeymora& Control, const TLayout& Layout, TCanvas& Canvas,
                           bool Themed);
/// The letter of white key I, with note Note (1 = C .. 7 = B) of octave Octave, starting at P
/// along the key axis, and on a C its octave number, in the font face the canvas holds (the key
/// pass sets it).
void PaintMarks(const TKeymora& Control, const TLayout& Layout, TCanvas& Canvas, int I, int P,
                int Note, int Octave);

}  // namespace keymora::render
