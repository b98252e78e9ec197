// Qt keys, modifiers and buttons to the host layer's codes.
#include "bindings/qt/qt_keys.h"

namespace keymora::qt {

namespace {

// Codes the host layer's headers do not name because the control never tests them; they are
// delivered all the same so that the host's OnKeyDown and OnKeyUp see every key.
constexpr std::uint16_t VK_BACK = 0x08;
constexpr std::uint16_t VK_CLEAR = 0x0C;
constexpr std::uint16_t VK_RETURN = 0x0D;
constexpr std::uint16_t VK_MENU = 0x12;
constexpr std::uint16_t VK_PAUSE = 0x13;
constexpr std::uint16_t VK_CAPITAL = 0x14;
constexpr std::uint16_t VK_ESCAPE = 0x1B;
constexpr std::uint16_t VK_SNAPSHOT = 0x2C;
constexpr std::uint16_t VK_INSERT = 0x2D;
constexpr std::uint16_t VK_DELETE = 0x2E;
constexpr std::uint16_t VK_LWIN = 0x5B;
constexpr std::uint16_t VK_APPS = 0x5D;
constexpr std::uint16_t VK_MULTIPLY = 0x6A;
constexpr std::uint16_t VK_ADD = 0x6B;
constexpr std::uint16_t VK_SUBTRACT = 0x6D;
constexpr std::uint16_t VK_DECIMAL = 0x6E;
constexpr std::uint16_t VK_DIVIDE = 0x6F;
constexpr std::uint16_t VK_F1 = 0x70;
constexpr std::uint16_t VK_NUMLOCK = 0x90;
constexpr std::uint16_t VK_SCROLL = 0x91;
constexpr std::uint16_t VK_OEM_1 = 0xBA;  // ;:
constexpr std::uint16_t VK_OEM_PLUS = 0xBB;
constexpr std::uint16_t VK_OEM_COMMA = 0xBC;
constexpr std::uint16_t VK_OEM_MINUS = 0xBD;
constexpr std::uint16_t VK_OEM_PERIOD = 0xBE;
constexpr std::uint16_t VK_OEM_2 = 0xBF;  // /?
constexpr std::uint16_t VK_OEM_3 = 0xC0;  // `~
constexpr std::uint16_t VK_OEM_4 = 0xDB;  // [{
constexpr std::uint16_t VK_OEM_5 = 0xDC;  // \|
constexpr std::uint16_t VK_OEM_6 = 0xDD;  // ]}
constexpr std::uint16_t VK_OEM_7 = 0xDE;  // '"

// Keys whose code depends on whether they sit on the numeric pad.
std::uint16_t KeypadKey(int Key) {
    if (Key >= Qt::Key_0 && Key <= Qt::Key_9)
        return static_cast<std::uint16_t>(vk::VK_NUMPAD0 + (Key - Qt::Key_0));
    switch (Key) {
        case Qt::Key_Asterisk:
            return VK_MULTIPLY;
        case Qt::Key_Plus:
            return VK_ADD;
        case Qt::Key_Minus:
            return VK_SUBTRACT;
        case Qt::Key_Period:
        case Qt::Key_Comma:
            return VK_DECIMAL;
        case Qt::Key_Slash:
            return VK_DIVIDE;
        default:
            return 0;
    }
}

}  // namespace

std::uint16_t VirtualKeyFromQt(int Key, Qt::KeyboardModifiers Modifiers) {
    if (Modifiers & Qt::KeypadModifier) {
        if (const std::uint16_t Code = KeypadKey(Key)) return Code;
        // Keypad keys without NumLock (arrows, Home, Clear...) read as the keys they stand for.
    }
    // Qt reports letters by their upper-case code whatever the Shift state, and digits and Space
    // by their own code: exactly the virtual-key codes.
    if ((Key >= Qt::Key_A && Key <= Qt::Key_Z) || (Key >= Qt::Key_0 && Key <= Qt::Key_9) ||
        Key == Qt::Key_Space)
        return static_cast<std::uint16_t>(Key);
    if (Key >= Qt::Key_F1 && Key <= Qt::Key_F24)
        return static_cast<std::uint16_t>(VK_F1 + (Key - Qt::Key_F1));
    switch (Key) {
        // Qt reports a symbol rather than the key that typed it; the punctuation codes overlap
        // the navigation codes (Percent is 0x25 = VK_LEFT), so every one must be translated.
        case Qt::Key_Exclam:
            return '1';
        case Qt::Key_At:
            return '2';
        case Qt::Key_NumberSign:
            return '3';
        case Qt::Key_Dollar:
            return '4';
        case Qt::Key_Percent:
            return '5';
        case Qt::Key_AsciiCircum:
            return '6';
        case Qt::Key_Ampersand:
            return '7';
        case Qt::Key_Asterisk:
            return '8';
        case Qt::Key_ParenLeft:
            return '9';
        case Qt::Key_ParenRight:
            return '0';
        case Qt::Key_Semicolon:
        case Qt::Key_Colon:
            return VK_OEM_1;
        case Qt::Key_Equal:
        case Qt::Key_Plus:
            return VK_OEM_PLUS;
        case Qt::Key_Comma:
        case Qt::Key_Less:
            return VK_OEM_COMMA;
        case Qt::Key_Minus:
        case Qt::Key_Underscore:
            return VK_OEM_MINUS;
        case Qt::Key_Period:
        case Qt::Key_Greater:
            return VK_OEM_PERIOD;
        case Qt::Key_Slash:
        case Qt::Key_Question:
            return VK_OEM_2;
        case Qt::Key_QuoteLeft:
        case Qt::Key_AsciiTilde:
            return VK_OEM_3;
        case Qt::Key_BracketLeft:
        case Qt::Key_BraceLeft:
            return VK_OEM_4;
        case Qt::Key_Backslash:
        case Qt::Key_Bar:
            return VK_OEM_5;
        case Qt::Key_BracketRight:
        case Qt::Key_BraceRight:
            return VK_OEM_6;
        case Qt::Key_Apostrophe:
        case Qt::Key_QuoteDbl:
            return VK_OEM_7;
        case Qt::Key_Backspace:
            return VK_BACK;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return vk::VK_TAB;
        case Qt::Key_Clear:
            return VK_CLEAR;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return VK_RETURN;
        case Qt::Key_Shift:
            return vk::VK_SHIFT;
        case Qt::Key_Control:
            return vk::VK_CONTROL;
        case Qt::Key_Alt:
            return VK_MENU;
        case Qt::Key_Pause:
            return VK_PAUSE;
        case Qt::Key_CapsLock:
            return VK_CAPITAL;
        case Qt::Key_Escape:
            return VK_ESCAPE;
        case Qt::Key_PageUp:
            return vk::VK_PRIOR;
        case Qt::Key_PageDown:
            return vk::VK_NEXT;
        case Qt::Key_End:
            return vk::VK_END;
        case Qt::Key_Home:
            return vk::VK_HOME;
        case Qt::Key_Left:
            return vk::VK_LEFT;
        case Qt::Key_Up:
            return vk::VK_UP;
        case Qt::Key_Right:
            return vk::VK_RIGHT;
        case Qt::Key_Down:
            return vk::VK_DOWN;
        case Qt::Key_Print:
            return VK_SNAPSHOT;
        case Qt::Key_Insert:
            return VK_INSERT;
        case Qt::Key_Delete:
            return VK_DELETE;
        case Qt::Key_Meta:
            return VK_LWIN;
        case Qt::Key_Menu:
            return VK_APPS;
        case Qt::Key_NumLock:
            return VK_NUMLOCK;
        case Qt::Key_ScrollLock:
            return VK_SCROLL;
        default:
            return 0;
    }
}

TShiftState ShiftStateFromQt(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons) {
    TShiftState S;
    if (Modifiers & Qt::ShiftModifier) S.Include(ssShift);
    if (Modifiers & Qt::ControlModifier) S.Include(ssCtrl);
    if (Modifiers & Qt::AltModifier) S.Include(ssAlt);
    if (Buttons & Qt::LeftButton) S.Include(ssLeft);
    if (Buttons & Qt::RightButton) S.Include(ssRight);
    if (Buttons & Qt::MiddleButton) S.Include(ssMiddle);
    return S;
}

bool MouseButtonFromQt(Qt::MouseButton Button, TMouseButton& Result) {
    switch (Button) {
        case Qt::LeftButton:
            Result = mbLeft;
            return true;
        case Qt::RightButton:
            Result = mbRight;
            return true;
        case Qt::MiddleButton:
            Result = mbMiddle;
            return true;
        default:
            return false;
    }
}

}  // namespace keymora::qt
