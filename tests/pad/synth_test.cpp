// Key indices to MIDI numbers, the pad sounding what its note list records for every PC key with
// and without Shift under every AutoTone, and a synthesizer that cannot sound says why and stays
// harmless.
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "keymora/headless/headless_window.h"
#include "keymora/model/keymora.h"
#include "midi_reader.h"
#include "note_list.h"
#include "synth.h"

namespace keymora::pad {
namespace {

TEST(KeyMidiNumber, WhiteAndBlackKeys) {
    struct Case {
        int Index;
        bool Black;
        int Midi;
    };
    const Case Cases[] = {
        {0, false, 21},   // A0
        {0, true, 22},    // A#0
        {1, false, 23},   // B0
        {2, false, 24},   // C1
        {23, false, 60},  // C4
        {25, false, 64},  // E4
        {26, false, 65},  // F4
        {51, false, 108}, // C8
    };
    // The keys themselves do not depend on the spelling.
    for (TAutoTone Mode : {atAutoMajor, atBemol, atDiesis, atAutoMinor})
        for (const Case& C : Cases)
            EXPECT_EQ(KeyMidiNumber(C.Index, C.Black, Mode), C.Midi) << C.Index;
}

// A held key stops the note it started, even when AutoTone changed meanwhile.
TEST(HeldNotes, StopWhatStarted) {
    THeldNotes Held;
    THeldNotes::TChange C = Held.Change(25, true, ksIdle, ksPressed, atAutoMajor);
    EXPECT_EQ(C.On, 64);
    EXPECT_EQ(C.Off, -1);
    C = Held.Change(25, true, ksPressed, ksIdle, atDiesis);
    EXPECT_EQ(C.On, -1);
    EXPECT_EQ(C.Off, 64);
    // White and black keys are held apart; selection sounds nothing.
    EXPECT_EQ(Held.Change(25, false, ksIdle, ksPressed, atDiesis).On, 64);
    EXPECT_EQ(Held.Change(25, true, ksIdle, ksPressed, atDiesis).On, 65);
    EXPECT_EQ(Held.Change(25, false, ksPressed, ksIdle, atDiesis).Off, 64);
    EXPECT_EQ(Held.Change(23, false, ksIdle, ksSelected, atAutoMajor).On, -1);
}

// A keyboard wired as the pad wires it: key state changes to the sound, clicks to the note list.
struct Pad {
    THeadlessForm Form;
    TKeymora Control{nullptr};
    std::unique_ptr<THeadlessWindow> Window;
    THeldNotes Held;
    TNoteList Notes;
    std::vector<int> Started;
    std::vector<int> Stopped;
    explicit Pad(TAutoTone Mode) {
        Control.SetParent(&Form);
        Window = std::make_unique<THeadlessWindow>(Control);
        Control.SetBounds(0, 0, 800, 120);
        Control.SetAutoTone(Mode);
        Control.OnChange = [this](TObject*, const keymora::TChange& K) {
            if (K.Kind != keymora::TChangeKind::KeyState) return;
            const THeldNotes::TChange C =
                Held.Change(K.Index, K.Black, K.OldState, K.NewState, Control.AutoTone());
            if (C.On >= 0) Started.push_back(C.On);
            if (C.Off >= 0) Stopped.push_back(C.Off);
        };
        Control.OnKeyClick = [this](TObject*, int O, int N, int T) { Notes.AddClick(O, N, T, 2); };
    }
    ~Pad() { Window.reset(); }
    void Play(char Letter, bool Shift) {
        const TShiftState State = Shift ? TShiftState{ssShift} : TShiftState{};
        std::uint16_t Key = static_cast<std::uint8_t>(Letter);
        Control.KeyDown(Key, State);
        Key = static_cast<std::uint8_t>(Letter);
        Control.KeyUp(Key, State);
    }
};

struct PlayCase {
    TAutoTone Mode;
    int Octave;
    char Letter;
    bool Shift;
    int Midi;
    const char* Listed;
};

void PrintTo(const PlayCase& C, std::ostream* Os) {
    *Os << "AutoTone " << static_cast<int>(C.Mode) << ", octave " << C.Octave << ", "
        << (C.Shift ? "Shift+" : "") << C.Letter;
}

class PadSound : public ::testing::TestWithParam<PlayCase> {};

TEST_P(PadSound, SoundsWhatTheListRecords) {
    const PlayCase& C = GetParam();
    Pad P(C.Mode);
    P.Control.SetOctave(C.Octave);
    P.Play(C.Letter, C.Shift);
    ASSERT_EQ(P.Notes.Entries().size(), 1u);
    EXPECT_EQ(Describe(P.Notes.Entries()[0]), C.Listed);
    EXPECT_EQ(MidiNumber(P.Notes.Entries()[0]), C.Midi);
    EXPECT_EQ(P.Started, std::vector<int>{C.Midi});
    EXPECT_EQ(P.Stopped, std::vector<int>{C.Midi});
    const ReadFile Exported = ReadMidi(P.Notes.ToMidi());
    ASSERT_EQ(Exported.Notes.size(), 1u);
    EXPECT_EQ(Exported.Notes[0].Number, C.Midi);
}

INSTANTIATE_TEST_SUITE_P(Keys, PadSound,
                         ::testing::Values(PlayCase{atAutoMajor, 5, 'F', true, 64, "Fb4 1/4"},
                                           PlayCase{atAutoMajor, 5, 'C', true, 59, "Cb4 1/4"},
                                           PlayCase{atDiesis, 5, 'E', true, 65, "E#4 1/4"},
                                           PlayCase{atDiesis, 9, 'C', true, 109, "C#8 1/4"},
                                           PlayCase{atAutoMajor, 5, 'F', false, 65, "F4 1/4"}));

// Every letter with and without Shift in every octave under every AutoTone: what sounds is what
// the list records, and a key beyond the keyboard does neither.
TEST(PadSound, EveryPcKey) {
    for (TAutoTone Mode : {atAutoMajor, atBemol, atDiesis, atAutoMinor}) {
        for (int Octave = 1; Octave <= 9; ++Octave) {
            for (char Letter : std::string("CDEFGAB")) {
                for (bool Shift : {false, true}) {
                    Pad P(Mode);
                    P.Control.SetOctave(Octave);
                    P.Play(Letter, Shift);
                    const std::string Where = std::to_string(static_cast<int>(Mode)) + " " +
                                              std::to_string(Octave) + Letter +
                                              (Shift ? " shift" : "");
                    EXPECT_EQ(P.Started, P.Stopped) << Where;
                    if (P.Notes.Entries().empty()) {
                        EXPECT_TRUE(P.Started.empty()) << Where;
                        continue;
                    }
                    ASSERT_EQ(P.Notes.Entries().size(), 1u) << Where;
                    ASSERT_EQ(P.Started.size(), 1u) << Where;
                    EXPECT_EQ(MidiNumber(P.Notes.Entries()[0]), P.Started[0]) << Where;
                }
            }
        }
    }
}

TEST(Synth, MissingSoundFontIsSilentWithAReason) {
    TSynth Synth("/nonexistent/none.sf2");
    EXPECT_FALSE(Synth.Audible());
    EXPECT_FALSE(Synth.SilentReason().empty());
    Synth.NoteOn(60);  // harmless when silent
    Synth.NoteOff(60);
    Synth.AllOff();
}

}  // namespace
}  // namespace keymora::pad
