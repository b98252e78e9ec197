// The two octave button zones that flank the keys when the keyboard scrolls: an arrow, a plus
// and a minus button in each, with upright glyphs that follow a pressed face by one pixel.
#include "core/render/parts.h"

namespace keymora::render {

namespace {

constexpr TColor clGlyphThemed = 0x0084614A;  // slate blue, readable on a visual-style face

void PlusGlyph(TCanvas& C, const TRect& R) {
    C.FillRect(Rect(R.Left + 5, R.Top + 7, R.Left + 11, R.Top + 9));
    C.FillRect(Rect(R.Left + 7, R.Top + 5, R.Left + 9, R.Top + 11));
}

void MinusGlyph(TCanvas& C, const TRect& R) {
    C.FillRect(Rect(R.Left + 5, R.Top + 7, R.Left + 11, R.Top + 9));
}

/// The rectangle a glyph is placed in: the button's, moved with a pressed face.
TRect GlyphRect(const TKeymora& K, const TLayout& L, TZoneButton Button) {
    TRect R = L.ZoneButton(Button);
    if (K.ZoneButtonPressed(Button)) OffsetRect(R, 1, 1);
    return R;
}

}  // namespace

void PaintButtonZones(const TKeymora& K, const TLayout& L, TCanvas& C, bool Themed) {
    const bool H = L.Horizontal();
    const int S = L.ScrollButtonWidth();
    const int E = L.CrossExtent();
    const int Far = L.StripStart() - S;
    // Faces are the costly part of a zone: one wholly outside the clip is not drawn at all.
    // Glyphs are plain fills, which the canvas clips itself.
    const TRect Clip = C.ClipBox();
    auto Push = [&](TZoneButton B) {
        const TRect R = L.ZoneButton(B);
        if (MeetsClip(Clip, R)) DrawPushButton(C, Themed, R, K.ZoneButtonPressed(B));
    };
    auto Arrow = [&](TZoneButton B, TArrow Direction) {
        const TRect R = L.ZoneButton(B);
        if (MeetsClip(Clip, R)) DrawArrowButton(C, Themed, Direction, R, K.ZoneButtonPressed(B));
    };

    // A visual-style face may leave its corners unpainted; a classic face covers its rectangle.
    if (Themed) {
        C.Brush.SetColor(K.Color());
        C.FillRect(L.Frame(0, 0, S, E));
        C.FillRect(L.Frame(Far, 0, Far + S, E));
    }

    Push(TZoneButton::MoreOctaves);
    // Faces keep the brush, so this colour serves every glyph of both zones.
    C.Brush.SetColor(Themed ? clGlyphThemed : clBlack);
    PlusGlyph(C, GlyphRect(K, L, TZoneButton::MoreOctaves));
    Push(TZoneButton::FewerOctaves);
    MinusGlyph(C, GlyphRect(K, L, TZoneButton::FewerOctaves));
    Arrow(TZoneButton::OctaveDown, H ? TArrow::Left : TArrow::Up);

    Push(TZoneButton::MoreDurations);
    PlusGlyph(C, GlyphRect(K, L, TZoneButton::MoreDurations));
    Push(TZoneButton::FewerDurations);
    MinusGlyph(C, GlyphRect(K, L, TZoneButton::FewerDurations));
    Arrow(TZoneButton::OctaveUp, H ? TArrow::Right : TArrow::Down);
}

}  // namespace keymora::render
