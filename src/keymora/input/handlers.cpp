// Mouse and keyboard steps of the control.
#include "keymora/model/keymora.h"

namespace keymora {

void TKeymora::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
}
void TKeymora::MouseMove(TShiftState Shift, int X, int Y) { TCustomControl::MouseMove(Shift, X, Y); }
void TKeymora::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
}
void TKeymora::KeyDown(std::uint16_t& Key, TShiftState Shift) { TCustomControl::KeyDown(Key, Shift); }
void TKeymora::KeyUp(std::uint16_t& Key, TShiftState Shift) { TCustomControl::KeyUp(Key, Shift); }
void TKeymora::KeyPress(char&) {}

}  // namespace keymora
