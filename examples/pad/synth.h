// Sound for the pad: a General MIDI synthesizer that holds a note from key press to key release,
// and the note each held key sounds. Built on FluidSynth when it is available; otherwise, or when
// no audio device opens, it is silent and says why once.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "keymora/pitch/pitch.h"

namespace keymora::pad {

class TSynth {
public:
    /// Opens the synthesizer with the soundfont at SoundFont (the Debian GM soundfont when empty).
    explicit TSynth(const std::string& SoundFont = {});
    ~TSynth();
    TSynth(const TSynth&) = delete;
    TSynth& operator=(const TSynth&) = delete;

    /// True when notes are heard.
    bool Audible() const;
    /// Why the pad is silent (empty when audible).
    const std::string& SilentReason() const { return Reason_; }

    void NoteOn(int Midi);
    void NoteOff(int Midi);
    void AllOff();

private:
    struct TImpl;
    std::unique_ptr<TImpl> Impl_;
    std::string Reason_;
};

/// MIDI number of white key Index (0 = A0 = 21 .. 51 = C8 = 108), or of the black key that follows
/// it when Black, as the keyboard reports it under Mode once released. The places after E and B
/// that only Shift reaches hold the note Shift plays there: E# and B# under atDiesis, otherwise
/// Fb and Cb, which sound the white key beside them.
int KeyMidiNumber(int Index, bool Black, TAutoTone Mode);

/// The notes the keyboard's held keys sound. A key starts the note KeyMidiNumber gives under the
/// AutoTone of its press and stops that same note, whatever AutoTone holds at its release.
class THeldNotes {
public:
    /// The MIDI numbers to start and to stop, -1 for none.
    struct TChange {
        int On = -1;
        int Off = -1;
    };
    /// The sound of a key state change the keyboard reports (a key-state change of OnChange).
    TChange Change(int Index, bool Black, int OldState, int NewState, TAutoTone Mode);

private:
    std::array<int, 2 * WhiteKeyCount> Sounding_{};
};

}  // namespace keymora::pad
