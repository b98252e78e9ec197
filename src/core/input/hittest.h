// How OnKeyClick names a black key under each AutoTone mode.
#pragma once

#include "keymora/model/keymora.h"

namespace keymora {

/// How OnKeyClick names the black key after white key I.
struct TKeyName {
    int Octave = 0;
    int Note = 0;  // 1 = C .. 7 = B
    int Tone = 0;  // -1 flat, +1 sharp
    friend bool operator==(const TKeyName&, const TKeyName&) = default;
};

/// The (Octave, Note, Tone) that the mouse release reports for black key I under Mode.
TKeyName BlackKeyName(TAutoTone Mode, int I);

}  // namespace keymora
