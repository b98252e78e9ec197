// Sound for the pad: a General MIDI synthesizer that holds a note from key press to key release.
// Built on FluidSynth when it is available; otherwise, or when no audio device opens, it is silent
// and says why once.
#pragma once

#include <memory>
#include <string>

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
/// it when Black.
int KeyMidiNumber(int Index, bool Black);

}  // namespace keymora::pad
