// The pad's note list: pitch numbers and names for every way the keyboard reports a key, and the
// MIDI export read back by a small independent reader (header, tempo, absolute note times).
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "midi_reader.h"
#include "note_list.h"

namespace keymora::pad {
namespace {

struct PitchCase {
    int Octave, Note, Tone;
    int Midi;
    const char* Name;
};

class Pitch : public ::testing::TestWithParam<PitchCase> {};

TEST_P(Pitch, NumberAndName) {
    const PitchCase& C = GetParam();
    const TEntry E{false, C.Octave, C.Note, C.Tone, 2};
    EXPECT_EQ(MidiNumber(E), C.Midi);
    EXPECT_EQ(PitchName(E), C.Name);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, Pitch,
    ::testing::Values(PitchCase{1, 6, 0, 21, "A0"},   // white key 0
                      PitchCase{1, 7, 0, 23, "B0"},   //
                      PitchCase{5, 1, 0, 60, "C4"},   // middle C, white key 23
                      PitchCase{9, 1, 0, 108, "C8"},  // white key 51
                      // The black key between D1 and E1, named both ways.
                      PitchCase{2, 3, -1, 27, "Eb1"}, PitchCase{2, 2, 1, 27, "D#1"},
                      // The first black key, after A0, as a flat of B0.
                      PitchCase{1, 7, -1, 22, "Bb0"},
                      // Note 8 from an eight-letter Keys: the next octave's C.
                      PitchCase{5, 8, 0, 72, "C5"}));

TEST(NoteList, SpaceIsARestAndUndoRemovesTheLast) {
    TNoteList L;
    L.AddClick(5, 1, 0, 2);
    L.AddClick(0, -1, 0, 1);
    ASSERT_EQ(L.Entries().size(), 2u);
    EXPECT_EQ(Describe(L.Entries()[0]), "C4 1/4");
    EXPECT_EQ(Describe(L.Entries()[1]), "rest 1/2");
    EXPECT_EQ(Describe({false, 5, 1, 0, 0}), "C4 whole");
    EXPECT_TRUE(L.Undo());
    EXPECT_TRUE(L.Undo());
    EXPECT_FALSE(L.Undo());
}

TEST(NoteList, DurationTicks) {
    const int Expected[8] = {1920, 960, 480, 240, 120, 60, 30, 15};
    for (int D = 0; D < 8; ++D) EXPECT_EQ(DurationTicks(D), Expected[D]) << D;
}

TEST(MidiExport, NotesTimesAndLengthsReadBack) {
    TNoteList L;
    L.AddClick(5, 1, 0, 2);   // C4 quarter
    L.AddClick(5, 3, -1, 3);  // Eb4 eighth
    L.AddRest(1);             // half rest
    L.AddClick(1, 6, 0, 0);   // A0 whole
    L.AddClick(9, 1, 0, 7);   // C8 1/128
    L.AddRest(2);             // trailing quarter rest
    const ReadFile F = ReadMidi(L.ToMidi());
    EXPECT_EQ(F.Format, 0);
    EXPECT_EQ(F.Tracks, 1);
    EXPECT_EQ(F.Division, 480);
    EXPECT_EQ(F.Tempo, 500000);
    const std::vector<ReadNote> Expected = {
        {60, 0, 480}, {63, 480, 240}, {21, 1680, 1920}, {108, 3600, 15}};
    EXPECT_EQ(F.Notes, Expected);
    EXPECT_EQ(F.End, 3615 + 480);
}

TEST(MidiExport, EmptyListIsAValidFile) {
    const ReadFile F = ReadMidi(TNoteList{}.ToMidi());
    EXPECT_EQ(F.Format, 0);
    EXPECT_TRUE(F.Notes.empty());
    EXPECT_EQ(F.End, 0);
}

TEST(MidiExport, SaveReportsAnUnwritablePath) {
    TNoteList L;
    std::string Error;
    EXPECT_FALSE(L.SaveMidi("/nonexistent-folder/x.mid", Error));
    EXPECT_NE(Error.find("/nonexistent-folder/x.mid"), std::string::npos);
    const std::string Path = ::testing::TempDir() + "pad_export.mid";
    L.AddClick(5, 1, 0, 2);
    ASSERT_TRUE(L.SaveMidi(Path, Error));
    std::ifstream In(Path, std::ios::binary);
    const std::vector<std::uint8_t> Bytes{std::istreambuf_iterator<char>(In), {}};
    EXPECT_EQ(Bytes, L.ToMidi());
    std::remove(Path.c_str());
}

}  // namespace
}  // namespace keymora::pad
