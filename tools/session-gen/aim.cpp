// The generator's only reader of the control's geometry. Every rectangle the generator aims at
// comes from here; the rest of the generator works on TAimMap alone.
#include "aim.h"

#include "keymora/layout/layout.h"
#include "keymora/model/keymora.h"

namespace keymora::sessiongen {

TAimMap Measure(const TKeymora& K) {
    const keymora::TLayout G = K.Layout();
    TAimMap L;
    L.Horizontal = K.IsHorizontal();
    L.Client = Rect(0, 0, K.ClientWidth(), K.ClientHeight());
    L.Targets.reserve(2 * WhiteKeyCount + 16);
    for (int I = 0; I < WhiteKeyCount; ++I)
        L.Targets.push_back({TAimKind::WhiteKey, G.WhiteKey(I)});
    // A black key follows every white key but an E or a B ((I + 5) % 7 counts from C).
    for (int I = 0; I + 1 < WhiteKeyCount; ++I)
        if ((I + 5) % 7 != 2 && (I + 5) % 7 != 6)
            L.Targets.push_back({TAimKind::BlackKey, G.BlackKey(I)});

    // The setting strip spans [S0, S1) along the key axis; its cells and scroll buttons are cut
    // across it.
    const TRect Strip = G.Strip();
    L.Targets.push_back({TAimKind::SettingStrip, Strip});
    const int S0 = L.Horizontal ? Strip.Left : Strip.Top;
    const int S1 = L.Horizontal ? Strip.Right : Strip.Bottom;
    const TDurationRow& Row = G.Row();
    for (int Cell = 0; Cell < Row.Count; ++Cell) {
        const int V1 = Row.FarEdge - Cell * Row.Cell;
        L.Targets.push_back({TAimKind::DurationCell, G.Frame(S0, V1 - Row.Cell, S1, V1)});
    }
    if (Row.Scroll && Row.Count > 0) {
        // Beyond the far edge (the edge itself belongs to neither): the button that raises the
        // offset on the strip's start half.
        const int Half = S1 - (S1 - S0) / 2;
        const int V0 = Row.FarEdge + 1;
        const int V1 = G.CrossExtent();
        L.Targets.push_back({TAimKind::DurationUp, G.Frame(S0, V0, Half, V1)});
        L.Targets.push_back({TAimKind::DurationDown, G.Frame(Half, V0, S1, V1)});
    }
    if (K.Style().Contains(msScrollOctave)) {
        for (TZoneButton B :
             {TZoneButton::OctaveDown, TZoneButton::MoreOctaves, TZoneButton::FewerOctaves,
              TZoneButton::OctaveUp, TZoneButton::MoreDurations, TZoneButton::FewerDurations})
            L.Targets.push_back({TAimKind::ZoneButton, G.ZoneButton(B)});
    }
    return L;
}

}  // namespace keymora::sessiongen
