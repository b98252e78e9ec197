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

// The note a Keys letter plays in the current octave: with Shift the sharp of its white key under
// atDiesis, the flat of it otherwise, which is the black key above or below.
TNote PlayedNote(int Octave, int Position, TAutoTone Mode, TShiftState Shift) {
    return TNote{Octave, Position, Shift.Contains(ssShift) ? ShiftTone(Mode) : 0};
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
            const TKey Played = PlayedNote(FOctave, K, FAutoTone, Shift).Key();
            if (!Played.InKeyboard()) break;
            const int P = Played.Index();
            // Auto-repeat finds the key already pressed and changes nothing.
            if (!Played.Black()) {
                if (FKeyStates[static_cast<std::size_t>(P)] == ksPressed) break;
                SetKeyState(P, ksPressed);
                InvalidateRect(GetKeyRect(P));
            } else {
                if (FToneStates[static_cast<std::size_t>(P)] == ksPressed) break;
                SetToneState(P, ksPressed);
                InvalidateRect(GetToneRect(P));
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
        const TNote Note = PlayedNote(FOctave, K, FAutoTone, Shift);
        const TKey Played = Note.Key();
        const int P = Played.Index();
        if (!Played.Black()) {
            if (Played.InKeyboard() && FKeyStates[static_cast<std::size_t>(P)] == ksPressed) {
                SetKeyState(P, ksIdle);
                InvalidateRect(GetKeyRect(P));
                if (OnKeyClick) OnKeyClick(this, Note.Octave, Note.Note, Note.Tone);
            }
        } else {
            if (Played.InKeyboard() && FToneStates[static_cast<std::size_t>(P)] == ksPressed) {
                SetToneState(P, ksIdle);
                InvalidateRect(GetToneRect(P));
                if (OnKeyClick) OnKeyClick(this, Note.Octave, Note.Note, Note.Tone);
            }
        }
    }
    TCustomControl::KeyUp(Key, Shift);
}

void TKeymora::KeyPress(char&) {}

}  // namespace keymora
