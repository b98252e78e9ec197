// The control's geometry as the session generator aims with it: the rectangles of every target a
// press can meet, read from the control in one place (aim.cpp) and handed on as plain data.
#pragma once

#include <cstdint>
#include <vector>

#include "keymora/host/types.h"

namespace keymora {
class TKeymora;
}

namespace keymora::sessiongen {

enum class TAimKind : std::uint8_t {
    WhiteKey,
    BlackKey,
    DurationCell,
    DurationUp,    // the duration scroll button at the strip's start half
    DurationDown,  // the one at its far half
    ZoneButton,
    SettingStrip,
};
constexpr int TargetKindCount = 7;

struct TTarget {
    TAimKind Kind;
    TRect Rect;  // client pixels, Right and Bottom exclusive; may be empty or off the client
};

struct TAimMap {
    bool Horizontal = true;  // keys run along X
    TRect Client;            // (0, 0, ClientWidth, ClientHeight)
    std::vector<TTarget> Targets;
};

/// Where the control puts its keys, duration cells and buttons now. Only meaningful once the
/// control has its window: before that every key rectangle is the whole control.
TAimMap Measure(const TKeymora& Control);

}  // namespace keymora::sessiongen
