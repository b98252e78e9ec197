// PC-keyboard playing: the Keys letters play the current octave (with Shift the neighbouring
// black key), digits choose the octave, navigation keys step octave and duration under the
// CtrlMove gate, and Space reports a click without a note.
#include <cstdint>
#include <string_view>

#include "core/host/rtl.h"
#include "keymora/model/keymora.h"

namespace keymora {

namespace {

// 1-based position of the key's character in the upper-cased Keys, 0 when absent. Only the low
// byte of the code is the character; the numeric pad's codes fall on lower-case letters, which
// upper-cased Keys never holds, so the pad plays nothing.
int NotePosition(std::string_view Keys, std::uint16_t Key) {
    const char Ch = static_cast<char>(Key & 0xFF);
    for (std::size_t I = 0; I < Keys.size(); ++I)
        if (UpCase(Keys[I]) == Ch) return static_cast<int>(I) + 1;
    return 0;
}

bool InKeyboard(int P) {
    return P >= 0 && P < WhiteKeyCount;
}

// Shift plays the black key above the white key under atDiesis and the one below it otherwise;
// the Tone then names that very key as seen from white key w.
int ShiftedKey(TAutoTone Mode, int W) {
    return Mode == atDiesis ? W : W - 1;
}
int ShiftedTone(TAutoTone Mode) {
    return Mode == atDiesis ? +1 : -1;
}

}  // namespace

void TKeymora::KeyDown(std::uint16_t& Key, TShiftState Shift) {
    const bool Navigate = !FCtrlMove || Shift.Contains(ssCtrl);
    switch (Key) {
        case vk::VK_SPACE:
            if (OnKeyClick) OnKeyClick(this, 0, -1, 0);
            break;
        case vk::VK_END:
            if (Navigate) SetOctave(8);
            break;
        case vk::VK_HOME:
            if (Navigate) SetOctave(2);
            break;
        case vk::VK_LEFT:
            if (Navigate) SetOctave(FOctave - 1);
            break;
        case vk::VK_UP:
            if (Navigate) SetDurationPosition(FDurationPosition + 1);
            break;
        case vk::VK_RIGHT:
            if (Navigate) SetOctave(FOctave + 1);
            break;
        case vk::VK_DOWN:
            if (Navigate) SetDurationPosition(FDurationPosition - 1);
            break;
        default: {
            const char Ch = static_cast<char>(Key & 0xFF);
            if (Ch >= '1' && Ch <= '9') {
                SetOctave(Ch - '0');
                break;
            }
            const int K = NotePosition(FKeys, Key);
            if (K == 0) break;
            const int W = 7 * FOctave + K - 13;
            if (!Shift.Contains(ssShift)) {
                // Auto-repeat finds the key already pressed and changes nothing.
                if (!InKeyboard(W) || FKeyStates[static_cast<std::size_t>(W)] == ksPressed) break;
                SetKeyState(W, ksPressed);
                InvalidateRect(GetKeyRect(W));
            } else {
                const int B = ShiftedKey(FAutoTone, W);
                if (!InKeyboard(B) || FToneStates[static_cast<std::size_t>(B)] == ksPressed) break;
                SetToneState(B, ksPressed);
                InvalidateRect(GetToneRect(B));
            }
            break;
        }
    }
    TCustomControl::KeyDown(Key, Shift);
}

void TKeymora::KeyUp(std::uint16_t& Key, TShiftState Shift) {
    // Resolved against the Octave, Shift and AutoTone of the moment: a release that addresses
    // another key than its press leaves the pressed one held.
    const int K = NotePosition(FKeys, Key);
    if (K != 0) {
        const int W = 7 * FOctave + K - 13;
        if (!Shift.Contains(ssShift)) {
            if (InKeyboard(W) && FKeyStates[static_cast<std::size_t>(W)] == ksPressed) {
                SetKeyState(W, ksIdle);
                InvalidateRect(GetKeyRect(W));
                if (OnKeyClick) OnKeyClick(this, FOctave, K, 0);
            }
        } else {
            const int B = ShiftedKey(FAutoTone, W);
            if (InKeyboard(B) && FToneStates[static_cast<std::size_t>(B)] == ksPressed) {
                SetToneState(B, ksIdle);
                InvalidateRect(GetToneRect(B));
                if (OnKeyClick) OnKeyClick(this, FOctave, K, ShiftedTone(FAutoTone));
            }
        }
    }
    TCustomControl::KeyUp(Key, Shift);
}

void TKeymora::KeyPress(char&) {}

}  // namespace keymora
