// Pitch and duration names: white and black keys, the control's (octave, note, tone), MIDI numbers
// and names, checked against values worked out by hand (A0 = MIDI 21 = white key 0, C4 = 60 =
// white key 23, C8 = 108 = white key 51), round trips over all 88 keys, each AutoTone's spelling,
// and the edges of every conversion.
#include "keymora/pitch/pitch.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "keymora/pitch/duration.h"

namespace keymora {

void PrintTo(const TNote& N, std::ostream* Os) {
    *Os << "{" << N.Octave << ", " << N.Note << ", " << N.Tone << "}";
}
void PrintTo(const TKey& K, std::ostream* Os) {
    *Os << (K.Black() ? "black after " : "white ") << K.Index();
}

namespace {

struct WhiteCase {
    int Index;
    int Octave;  // the control's
    int Note;    // 1 = C .. 7 = B
    int Midi;
    const char* Name;
};

class WhiteKeys : public ::testing::TestWithParam<WhiteCase> {};

TEST_P(WhiteKeys, OctaveNoteMidiAndName) {
    const WhiteCase& C = GetParam();
    const TKey Key = TKey::White(C.Index);
    EXPECT_EQ(WhiteKeyOctave(C.Index), C.Octave);
    EXPECT_EQ(WhiteKeyNote(C.Index), C.Note);
    EXPECT_EQ(WhiteKeyIndex(C.Octave, C.Note), C.Index);
    EXPECT_EQ(Key.Midi(), C.Midi);
    EXPECT_EQ(Key.Ordinal(), C.Midi - 21);
    EXPECT_EQ(TKey::FromMidi(C.Midi), Key);
    for (TAutoTone Mode : {atAutoMajor, atBemol, atDiesis, atAutoMinor}) {
        EXPECT_EQ(Key.Name(Mode), (TNote{C.Octave, C.Note, 0}));
        EXPECT_EQ(Key.ShiftedName(Mode), (TNote{C.Octave, C.Note, 0}));
    }
    EXPECT_EQ(Key.Name(atAutoMajor).Text().View(), C.Name);
    EXPECT_EQ(Key.Name(atAutoMajor).SpokenText().View(), C.Name);
}

INSTANTIATE_TEST_SUITE_P(
    Keyboard, WhiteKeys,
    ::testing::Values(WhiteCase{0, 1, 6, 21, "A0"}, WhiteCase{1, 1, 7, 23, "B0"},
                      WhiteCase{2, 2, 1, 24, "C1"}, WhiteCase{22, 4, 7, 59, "B3"},
                      WhiteCase{23, 5, 1, 60, "C4"}, WhiteCase{26, 5, 4, 65, "F4"},
                      WhiteCase{51, 9, 1, 108, "C8"}));

TEST(Pitch, BlackKeysExistOnlyBetweenTwoWhiteKeysAPartOfATone) {
    // After A0, C1 and A7; not after B0, E1, B1, B7, C8, nor outside the keyboard.
    const std::pair<int, bool> Cases[] = {{-1, false}, {0, true},  {1, false}, {2, true},
                                          {4, false},  {8, false}, {49, true}, {50, false},
                                          {51, false}, {52, false}};
    for (auto [Index, Exists] : Cases) {
        EXPECT_EQ(HasBlackKeyAfter(Index), Exists) << Index;
        EXPECT_EQ(TKey::BlackAfter(Index).Exists(), Exists) << Index;
    }
    int Count = 0;
    for (int I = 0; I < WhiteKeyCount; ++I) Count += HasBlackKeyAfter(I) ? 1 : 0;
    EXPECT_EQ(Count, 36);
}

TEST(Pitch, AllKeysRoundTrip) {
    int Whites = 0;
    int Blacks = 0;
    for (int N = 0; N < PianoKeyCount; ++N) {
        const TKey Key = TKey::FromOrdinal(N);
        ASSERT_TRUE(Key.Exists()) << N;
        EXPECT_EQ(Key.Ordinal(), N);
        EXPECT_EQ(Key.Midi(), N + 21);
        EXPECT_EQ(TKey::FromMidi(N + 21), Key);
        (Key.Black() ? Blacks : Whites) += 1;
        if (N > 0) {
            // Pitch order: a white key follows the key before it, or a black key follows its own
            // white key.
            const TKey Before = TKey::FromOrdinal(N - 1);
            EXPECT_EQ(Key.Black() ? Key.Index() : Key.Index() - 1, Before.Index()) << N;
        }
        for (TAutoTone Mode : {atAutoMajor, atBemol, atDiesis, atAutoMinor}) {
            // Each way of naming the key sounds it and leads back to it.
            EXPECT_EQ(Key.Name(Mode).Midi(), N + 21) << N;
            EXPECT_EQ(Key.Name(Mode).Key(), Key) << N;
            EXPECT_EQ(Key.ShiftedName(Mode).Midi(), N + 21) << N;
            EXPECT_EQ(Key.ShiftedName(Mode).Key(), Key) << N;
        }
    }
    EXPECT_EQ(Whites, 52);
    EXPECT_EQ(Blacks, 36);
    for (int I = -20; I < 80; ++I)
        EXPECT_EQ(WhiteKeyIndex(WhiteKeyOctave(I), WhiteKeyNote(I)), I) << I;
}

TEST(Pitch, OutOfRange) {
    for (int Midi : {-1, 0, 20, 109, 127, 1000}) {
        EXPECT_FALSE(TKey::FromMidi(Midi).InKeyboard()) << Midi;
        EXPECT_FALSE(TKey::FromMidi(Midi).Exists()) << Midi;
    }
    for (int N : {-1, 88, 1 << 30}) EXPECT_FALSE(TKey::FromOrdinal(N).Exists()) << N;
    EXPECT_FALSE(TKey().InKeyboard());
    EXPECT_FALSE(TKey::White(-1).InKeyboard());
    EXPECT_FALSE(TKey::White(52).InKeyboard());
    EXPECT_EQ(TKey::White(52).Ordinal(), -1);
    // The place after C8 is in ToneStates but stands for no key.
    EXPECT_TRUE(TKey::BlackAfter(51).InKeyboard());
    EXPECT_EQ(TKey::BlackAfter(51).Ordinal(), -1);
    // White keys go on beyond the keyboard at the same step: G0 below A0, D8 above C8.
    EXPECT_EQ(WhiteKeyOctave(-1), 1);
    EXPECT_EQ(WhiteKeyNote(-1), 5);
    EXPECT_EQ(WhiteKeyOctave(52), 9);
    EXPECT_EQ(WhiteKeyNote(52), 2);
}

// SelectNote's numbering: Note 0 = C .. 6 = B of the control's octave, Tone != 0 the black key
// above.
TEST(Pitch, NoteAddresses) {
    struct Case {
        int Octave, Note, Tone;
        TKey Expected;
        bool InKeyboard;
    };
    const Case Cases[] = {
        {5, 0, 0, TKey::White(23), true},         // C4
        {5, 0, 255, TKey::BlackAfter(23), true},  // C#4: any tone but 0
        {4, 0, 0, TKey::White(16), true},         // C3
        {1, 5, 0, TKey::White(0), true},          // A0
        {9, 0, 1, TKey::BlackAfter(51), true},    // the place after C8
        {9, 1, 0, TKey::White(52), false},        // D8
        {1, 4, 0, TKey::White(-1), false},        // G0
        {255, 255, 255, TKey::BlackAfter(2028), false},
    };
    for (const Case& C : Cases) {
        const TKey Key = TKey::FromNoteAddress(C.Octave, C.Note, C.Tone);
        EXPECT_EQ(Key, C.Expected) << C.Octave << " " << C.Note << " " << C.Tone;
        EXPECT_EQ(Key.InKeyboard(), C.InKeyboard) << C.Octave << " " << C.Note;
    }
}

struct SpellingCase {
    TAutoTone Mode;
    const char* Names[5];  // after C4, D4, F4, G4, A4 (white keys 23, 24, 26, 27, 28)
    TNote Notes[5];
};

class Spelling : public ::testing::TestWithParam<SpellingCase> {};

TEST_P(Spelling, TheFiveBlackKeysOfAnOctave) {
    const SpellingCase& C = GetParam();
    const int After[5] = {23, 24, 26, 27, 28};
    const int Midi[5] = {61, 63, 66, 68, 70};
    for (int I = 0; I < 5; ++I) {
        const TNote Note = TKey::BlackAfter(After[I]).Name(C.Mode);
        EXPECT_EQ(Note, C.Notes[I]) << I;
        EXPECT_EQ(Note.Text().View(), C.Names[I]) << I;
        EXPECT_EQ(Note.Midi(), Midi[I]) << I;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, Spelling,
    ::testing::Values(SpellingCase{atAutoMajor,
                                   {"C#4", "Eb4", "F#4", "Ab4", "Bb4"},
                                   {{5, 1, 1}, {5, 3, -1}, {5, 4, 1}, {5, 6, -1}, {5, 7, -1}}},
                      SpellingCase{atAutoMinor,
                                   {"C#4", "D#4", "F#4", "G#4", "Bb4"},
                                   {{5, 1, 1}, {5, 2, 1}, {5, 4, 1}, {5, 5, 1}, {5, 7, -1}}},
                      SpellingCase{atBemol,
                                   {"Db4", "Eb4", "Gb4", "Ab4", "Bb4"},
                                   {{5, 2, -1}, {5, 3, -1}, {5, 5, -1}, {5, 6, -1}, {5, 7, -1}}},
                      SpellingCase{atDiesis,
                                   {"C#4", "D#4", "F#4", "G#4", "A#4"},
                                   {{5, 1, 1}, {5, 2, 1}, {5, 4, 1}, {5, 5, 1}, {5, 6, 1}}}));

struct TNameCase {
    TAutoTone Mode;
    int Index;
    TNote Expected;
};

class BlackKeyNaming : public ::testing::TestWithParam<TNameCase> {};

TEST_P(BlackKeyNaming, ReportsOctaveNoteAndTone) {
    const TNameCase& C = GetParam();
    EXPECT_EQ(TKey::BlackAfter(C.Index).Name(C.Mode), C.Expected);
}

// Index 0 lies after A0, 2 after C1 (octave 2), 3 after D1, 5 after F1, 6 after G1, 7 after
// A1; 8 (after B1) and 51 (after C8) are gaps that only the PC keyboard reaches.
INSTANTIATE_TEST_SUITE_P(
    Modes, BlackKeyNaming,
    ::testing::Values(TNameCase{atAutoMajor, 0, {1, 7, -1}}, TNameCase{atAutoMinor, 0, {1, 7, -1}},
                      TNameCase{atDiesis, 0, {1, 6, 1}}, TNameCase{atAutoMajor, 2, {2, 1, 1}},
                      TNameCase{atBemol, 2, {2, 2, -1}}, TNameCase{atAutoMajor, 3, {2, 3, -1}},
                      TNameCase{atBemol, 3, {2, 3, -1}}, TNameCase{atAutoMinor, 3, {2, 2, 1}},
                      TNameCase{atDiesis, 3, {2, 2, 1}}, TNameCase{atAutoMajor, 5, {2, 4, 1}},
                      TNameCase{atBemol, 5, {2, 5, -1}}, TNameCase{atAutoMajor, 6, {2, 6, -1}},
                      TNameCase{atAutoMinor, 6, {2, 5, 1}}, TNameCase{atAutoMajor, 7, {2, 7, -1}},
                      TNameCase{atAutoMinor, 7, {2, 7, -1}}, TNameCase{atDiesis, 7, {2, 6, 1}},
                      TNameCase{atAutoMajor, 8, {2, 7, 1}}, TNameCase{atBemol, 8, {2, 8, -1}},
                      TNameCase{atDiesis, 51, {9, 1, 1}}));

// Shift with a letter: a sharp of the letter's white key under atDiesis, else a flat of it. The
// places after E and B then hold the white key beside them.
TEST(Pitch, ShiftedNames) {
    struct Case {
        TAutoTone Mode;
        int After;
        TNote Expected;
        int Midi;
        const char* Name;
    };
    const Case Cases[] = {
        {atDiesis, 25, {5, 3, 1}, 65, "E#4"},     {atAutoMajor, 25, {5, 4, -1}, 64, "Fb4"},
        {atAutoMinor, 22, {5, 1, -1}, 59, "Cb4"}, {atDiesis, 22, {4, 7, 1}, 60, "B#3"},
        {atDiesis, 51, {9, 1, 1}, 109, "C#8"},    {atAutoMajor, 23, {5, 2, -1}, 61, "Db4"},
        {atDiesis, 23, {5, 1, 1}, 61, "C#4"},
    };
    for (const Case& C : Cases) {
        const TNote N = TKey::BlackAfter(C.After).ShiftedName(C.Mode);
        EXPECT_EQ(N, C.Expected) << C.Name;
        EXPECT_EQ(N.Midi(), C.Midi) << C.Name;
        EXPECT_EQ(N.Text().View(), C.Name);
        EXPECT_EQ(N.Key(), TKey::BlackAfter(C.After)) << C.Name;
    }
    EXPECT_EQ(ShiftTone(atDiesis), 1);
    for (TAutoTone Mode : {atAutoMajor, atBemol, atAutoMinor}) EXPECT_EQ(ShiftTone(Mode), -1);
}

// Notes as OnKeyClick reports them, with the spelling kept and notes outside 1..7 carried.
TEST(Pitch, ReportedNotes) {
    struct Case {
        TNote Note;
        int Midi;
        const char* Name;
        const char* Spoken;
        TKey Key;
    };
    const Case Cases[] = {
        {{5, 1, 0}, 60, "C4", "C4", TKey::White(23)},
        {{5, 1, 1}, 61, "C#4", "C sharp 4", TKey::BlackAfter(23)},
        {{5, 2, -1}, 61, "Db4", "D flat 4", TKey::BlackAfter(23)},
        {{5, 4, -1}, 64, "Fb4", "F flat 4", TKey::BlackAfter(25)},
        {{5, 1, -1}, 59, "Cb4", "C flat 4", TKey::BlackAfter(22)},
        {{5, 7, 1}, 72, "B#4", "B sharp 4", TKey::BlackAfter(29)},
        {{1, 7, -1}, 22, "Bb0", "B flat 0", TKey::BlackAfter(0)},
        // Eight letters in Keys: note 8 is the C above.
        {{5, 8, 0}, 72, "C5", "C5", TKey::White(30)},
        {{5, 8, -1}, 71, "Cb5", "C flat 5", TKey::BlackAfter(29)},
        {{5, 0, 0}, 59, "B3", "B3", TKey::White(22)},
        // Space reports octave 0, note -1: two letters below C of scientific octave -1.
        {{0, -1, 0}, -3, "A-2", "A-2", TKey::White(-14)},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(C.Note.Midi(), C.Midi) << C.Name;
        EXPECT_EQ(C.Note.Text().View(), C.Name);
        EXPECT_EQ(C.Note.SpokenText().View(), C.Spoken);
        EXPECT_EQ(C.Note.Key(), C.Key) << C.Name;
    }
}

TEST(Duration, NamesLabelsAndDenominators) {
    struct Case {
        int D;
        const char* Name;
        const char* Label;
        const char* Denominator;
        long long Value;
    };
    const Case Cases[] = {
        {0, "whole", "c", "", 1},
        {1, "half", "1/2", "2", 2},
        {2, "quarter", "1/4", "4", 4},
        {5, "thirty-second", "1/32", "32", 32},
        {7, "hundred twenty-eighth", "1/128", "128", 128},
        // Beyond the names: the row's cells reach position 14 without scrolling.
        {8, "", "1/256", "256", 256},
        {14, "", "1/16384", "16384", 16384},
        {62, "", "1/4611686018427387904", "4611686018427387904", 4611686018427387904LL},
        {63, "", "1/0", "0", 0},
        {-1, "", "1/0", "0", 0},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(DurationName(C.D), C.Name) << C.D;
        EXPECT_EQ(TDurationLabel(C.D).View(), C.Label) << C.D;
        EXPECT_EQ(TDurationLabel(C.D).Denominator(), C.Denominator) << C.D;
        EXPECT_EQ(DurationDenominator(C.D), C.Value) << C.D;
    }
}

}  // namespace
}  // namespace keymora
