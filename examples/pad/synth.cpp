// FluidSynth behind TSynth, or silence where it is missing.
#include "synth.h"

#include <cstdlib>

#if KEYMORA_PAD_FLUIDSYNTH
#include <fluidsynth.h>
#endif

namespace keymora::pad {

int KeyMidiNumber(int Index, bool Black) {
    static constexpr int Semitones[7] = {0, 2, 4, 5, 7, 9, 11};
    // White key Index is note (Index + 5) mod 7 of the control's octave (Index + 5) div 7 + 1,
    // whose C is MIDI 12 * octave.
    const int Octave = (Index + 5) / 7 + 1;
    const int Step = (Index + 5) % 7;
    return 12 * Octave + Semitones[Step] + (Black ? 1 : 0);
}

#if KEYMORA_PAD_FLUIDSYNTH

struct TSynth::TImpl {
    fluid_settings_t* Settings = nullptr;
    fluid_synth_t* Synth = nullptr;
    fluid_audio_driver_t* Driver = nullptr;
    ~TImpl() {
        if (Driver) delete_fluid_audio_driver(Driver);
        if (Synth) delete_fluid_synth(Synth);
        if (Settings) delete_fluid_settings(Settings);
    }
};

TSynth::TSynth(const std::string& SoundFont) : Impl_(std::make_unique<TImpl>()) {
    const std::string Font = SoundFont.empty() ? "/usr/share/sounds/sf2/FluidR3_GM.sf2" : SoundFont;
    fluid_set_log_function(FLUID_PANIC, nullptr, nullptr);
    fluid_set_log_function(FLUID_ERR, nullptr, nullptr);
    fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
    fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
    fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
    Impl_->Settings = new_fluid_settings();
    Impl_->Synth = Impl_->Settings ? new_fluid_synth(Impl_->Settings) : nullptr;
    if (!Impl_->Synth) {
        Reason_ = "the synthesizer could not start";
        Impl_.reset();
        return;
    }
    if (fluid_synth_sfload(Impl_->Synth, Font.c_str(), 1) == FLUID_FAILED) {
        Reason_ = "no soundfont at " + Font;
        Impl_.reset();
        return;
    }
    Impl_->Driver = new_fluid_audio_driver(Impl_->Settings, Impl_->Synth);
    if (!Impl_->Driver) {
        Reason_ = "no audio device";
        Impl_.reset();
    }
}

TSynth::~TSynth() = default;

bool TSynth::Audible() const { return Impl_ != nullptr; }

void TSynth::NoteOn(int Midi) {
    if (Impl_) fluid_synth_noteon(Impl_->Synth, 0, Midi, 100);
}

void TSynth::NoteOff(int Midi) {
    if (Impl_) fluid_synth_noteoff(Impl_->Synth, 0, Midi);
}

void TSynth::AllOff() {
    if (Impl_) fluid_synth_all_notes_off(Impl_->Synth, 0);
}

#else

struct TSynth::TImpl {};

TSynth::TSynth(const std::string&) : Reason_("built without FluidSynth") {}
TSynth::~TSynth() = default;
bool TSynth::Audible() const { return false; }
void TSynth::NoteOn(int) {}
void TSynth::NoteOff(int) {}
void TSynth::AllOff() {}

#endif

}  // namespace keymora::pad
