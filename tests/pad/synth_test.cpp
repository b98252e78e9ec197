// Key indices to MIDI numbers, and a synthesizer that cannot sound says why and stays harmless.
#include <gtest/gtest.h>

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
    for (const Case& C : Cases) EXPECT_EQ(KeyMidiNumber(C.Index, C.Black), C.Midi) << C.Index;
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
