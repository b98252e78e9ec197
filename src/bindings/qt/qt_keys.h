// Translation of Qt's key codes, keyboard modifiers and mouse buttons into the host layer's
// virtual-key codes, shift states and mouse buttons.
#pragma once

#include <QtCore/Qt>
#include <cstdint>

#include "keymora/host/types.h"

namespace keymora::qt {

/// The virtual-key code of a Qt key, or 0 when the key has none. Letters, digits and Space
/// keep their codes; keypad digits (Qt::KeypadModifier) give the numeric-pad codes; the shifted
/// symbols of a US keyboard give the code of their unshifted key, as a desktop keyboard driver
/// reports them.
std::uint16_t VirtualKeyFromQt(int Key, Qt::KeyboardModifiers Modifiers);

/// Shift, Ctrl and Alt from the modifiers, and the held buttons as ssLeft, ssRight, ssMiddle.
TShiftState ShiftStateFromQt(Qt::KeyboardModifiers Modifiers,
                             Qt::MouseButtons Buttons = Qt::NoButton);

/// The host's button for a Qt button; false for buttons the host does not know.
bool MouseButtonFromQt(Qt::MouseButton Button, TMouseButton& Result);

}  // namespace keymora::qt
