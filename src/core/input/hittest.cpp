// Black-key names for OnKeyClick.
#include "core/input/hittest.h"

namespace keymora {

TKeyName BlackKeyName(TAutoTone Mode, int I) {
    const int R = (I + 5) % 7;  // the white key below: 0 = C .. 6 = B
    bool Flat = false;
    switch (Mode) {
        case atAutoMajor:
            Flat = R == 1 || R == 4 || R == 5;
            break;
        case atAutoMinor:
            Flat = R == 5;
            break;
        case atBemol:
            Flat = true;
            break;
        case atDiesis:
            Flat = false;
            break;
    }
    // A flat names the white key above, a sharp the one below.
    return Flat ? TKeyName{(I + 5) / 7 + 1, R + 2, -1} : TKeyName{(I + 5) / 7 + 1, R + 1, +1};
}

}  // namespace keymora
