// FluidSynth behind TSynth, or silence where it is missing.
#include "synth.h"

#include <cstdlib>

#include "keymora/model/keymora.h"

#if KEYMORA_PAD_FLUIDSYNTH
#include <fluidsynth.h>
#endif

namespace keymora::pad {

int KeyMidiNumber(int Index, bool Black, TAutoTone Mode) {
    const TKey Key = Black ? TKey::BlackAfter(Index) : TKey::White(Index);
    return Key.ShiftedName(Mode).Midi();
}

THeldNotes::TChange THeldNotes::Change(int Index, bool Black, int OldState, int NewState,
                                       TAutoTone Mode) {
    TChange Result;
    if (Index < 0 || Index >= WhiteKeyCount) return Result;
    int& Sounding = Sounding_[static_cast<std::size_t>(Black ? WhiteKeyCount + Index : Index)];
    if (NewState == ksPressed) {
        Sounding = KeyMidiNumber(Index, Black, Mode);
        Result.On = Sounding;
    }
    if (OldState == ksPressed) Result.Off = Sounding;
    return Result;
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
