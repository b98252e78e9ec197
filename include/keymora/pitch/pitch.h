/// \file
/// Pitch: the one place where a key of the keyboard, the control's (octave, note, tone), a MIDI
/// note number and a pitch name turn into one another.
///
/// The keyboard has 88 keys, A0 to C8: 52 white keys indexed 0..51 and 36 black keys, each indexed
/// by the white key it follows (there is none after E, B and C8). The control numbers octaves from
/// 1: octave 1 holds A0 and B0, octave o runs from the C of scientific octave o - 1, so middle C
/// (C4, MIDI 60, white key 23) opens octave 5. It numbers notes 1..7 for C..B in what OnKeyClick
/// reports and 0..6 in the note operations (SelectNote, ReleaseNote, GetPoint).
///
/// Everything here is constexpr and allocates nothing; names go into a small buffer of their own.
/// The header stands alone and compiles as C++17.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace keymora {

/// How the black keys are spelled in what the control reports: by the major or minor key the
/// white keys suggest, all as flats, or all as sharps.
enum class TAutoTone : std::uint8_t { atAutoMajor = 0, atBemol = 1, atDiesis = 2, atAutoMinor = 3 };
///@{
/// Shorthands for the TAutoTone values: atAutoMajor (Eb, Ab, Bb flats, C# and F# sharps, the
/// default), atBemol (all flats), atDiesis (all sharps), atAutoMinor (Bb a flat, the others
/// sharps).
constexpr TAutoTone atAutoMajor = TAutoTone::atAutoMajor;
constexpr TAutoTone atBemol = TAutoTone::atBemol;
constexpr TAutoTone atDiesis = TAutoTone::atDiesis;
constexpr TAutoTone atAutoMinor = TAutoTone::atAutoMinor;
///@}

/// Number of white keys, A0 to C8.
constexpr int WhiteKeyCount = 52;
/// Number of keys, white and black.
constexpr int PianoKeyCount = 88;
///@{
/// MIDI note numbers of the lowest and the highest key, A0 (21) and C8 (108).
constexpr int LowestKeyMidi = 21;
constexpr int HighestKeyMidi = 108;
///@}

namespace pitch_detail {
constexpr int FloorDiv(int A, int B) {
    return A >= 0 ? A / B : -((-A + B - 1) / B);
}
constexpr int FloorMod(int A, int B) {
    return A - B * FloorDiv(A, B);
}
}  // namespace pitch_detail

/// The control's octave of white key I (1 for A0 and B0, 5 for C4 .. B4, 9 for C8). Any I is
/// allowed: the white keys continue below A0 and above C8 at the same step.
constexpr int WhiteKeyOctave(int I) {
    return pitch_detail::FloorDiv(I + 5, 7) + 1;
}

/// The note of white key I, 1 = C .. 7 = B (6 for A0).
constexpr int WhiteKeyNote(int I) {
    return pitch_detail::FloorMod(I + 5, 7) + 1;
}

/// The white key of note Note (1 = C .. 7 = B; 8 and beyond carry into the octaves above) in the
/// control's octave Octave: 7 * Octave + Note - 13. It may lie outside 0..51.
constexpr int WhiteKeyIndex(int Octave, int Note) {
    return 7 * Octave + Note - 13;
}

/// Whether a black key follows white key I: not after E, B and C8, nor outside the keyboard.
constexpr bool HasBlackKeyAfter(int I) {
    const int Note = WhiteKeyNote(I);
    return I >= 0 && I < WhiteKeyCount - 1 && Note != 3 && Note != 7;
}

/// The tone Shift adds to the note of a PC key under Mode: a sharp under atDiesis, a flat
/// otherwise. Shift plays the black key above the note's white key, or the one below it.
constexpr int ShiftTone(TAutoTone Mode) {
    return Mode == atDiesis ? +1 : -1;
}

/// A pitch name in a buffer of its own: "C#4", "Db4", "C4", or spoken "C sharp 4", "D flat 4".
class TPitchText {
  public:
    /// The text.
    constexpr std::string_view View() const { return std::string_view(Text_, Length_); }
    /// The length of the text, at most 32 characters.
    constexpr std::size_t Size() const { return Length_; }

    /// Appends C; characters beyond the 32nd are dropped.
    constexpr void Append(char C) {
        if (Length_ < Capacity) Text_[Length_++] = C;
    }
    /// Appends S, up to the 32-character capacity.
    constexpr void Append(std::string_view S) {
        for (char C : S) Append(C);
    }
    /// Appends N in decimal, with a '-' when negative.
    constexpr void AppendNumber(long long N) {
        if (N < 0) Append('-');
        unsigned long long U =
            N < 0 ? 0ULL - static_cast<unsigned long long>(N) : static_cast<unsigned long long>(N);
        char Digits[20] = {};
        int Count = 0;
        do {
            Digits[Count++] = static_cast<char>('0' + U % 10);
            U /= 10;
        } while (U != 0);
        while (Count > 0) Append(Digits[--Count]);
    }

  private:
    static constexpr std::size_t Capacity = 32;
    char Text_[Capacity] = {};
    std::size_t Length_ = 0;
};

class TKey;

/// A note as the control reports it through OnKeyClick: the control's Octave, Note 1 = C .. 7 = B
/// and Tone -1 flat, 0 natural, +1 sharp. A Note past 7 carries into the octaves above (the
/// flat named after B, an eight-letter Keys), one below 1 into those below. The spelling is kept:
/// Fb4 is not E4, though both are MIDI 64.
struct TNote {
    /// The control's octave (middle C opens octave 5).
    int Octave = 0;
    /// 1 = C .. 7 = B; values outside carry into neighbouring octaves.
    int Note = 0;
    /// -1 flat, 0 natural, +1 sharp (any negative value is one flat, any positive one sharp).
    int Tone = 0;

    /// The letter after carrying, 0 = C .. 6 = B.
    constexpr int Letter() const { return pitch_detail::FloorMod(Note - 1, 7); }
    /// The scientific octave of the letter after carrying: C4 for (5, 1, 0), also Cb4 and B#4.
    constexpr int ScientificOctave() const {
        return Octave + pitch_detail::FloorDiv(Note - 1, 7) - 1;
    }
    /// The white key of the letter, natural: WhiteKeyIndex(Octave, Note). It may lie outside
    /// 0..51.
    constexpr int WhiteKey() const { return WhiteKeyIndex(Octave, Note); }
    /// The MIDI note number: 60 for C4, 64 for E4 and for Fb4, 72 for B#4. Not limited to 0..127.
    constexpr int Midi() const;
    /// Where the control keeps the note: a natural on its white key, a sharp on the black key
    /// after it, a flat on the black key before it. For E#, Fb, B# and Cb that is a place in
    /// ToneStates that stands for no black key (see TKey::Exists).
    constexpr TKey Key() const;
    /// "C4", "C#4", "Db4", "Fb4" (a positive Tone is one sharp, a negative one one flat).
    constexpr TPitchText Text() const;
    /// As it is spoken: "C4", "C sharp 4", "D flat 4".
    constexpr TPitchText SpokenText() const;

    /// Equal when octave, note and tone are: spellings count, so Fb4 != E4.
    friend constexpr bool operator==(const TNote& A, const TNote& B) {
        return A.Octave == B.Octave && A.Note == B.Note && A.Tone == B.Tone;
    }
    /// Unequal when octave, note or tone differ.
    friend constexpr bool operator!=(const TNote& A, const TNote& B) { return !(A == B); }
};

/// A key of the keyboard: white key Index, or the black key after white key Index, as the control
/// keeps them in KeyStates and ToneStates. Every index 0..51 has a place in both arrays; the
/// places in ToneStates after E, B and C8 stand for no black key, and only the PC keyboard's
/// Shift reaches them (for E#, Fb, B#, Cb, C#8).
class TKey {
  public:
    /// No key: InKeyboard() is false.
    constexpr TKey() = default;
    /// White key Index (any value; InKeyboard tells whether it lies on the keyboard).
    static constexpr TKey White(int Index) { return TKey(Index, false); }
    /// The black-key place after white key Index (Exists tells whether a black key is there).
    static constexpr TKey BlackAfter(int Index) { return TKey(Index, true); }
    /// The key SelectNote, ReleaseNote and GetPoint address: Note 0 = C .. 6 = B of the control's
    /// Octave, white, or with Tone != 0 the black key above it. It may lie outside the keyboard.
    static constexpr TKey FromNoteAddress(int Octave, int Note, int Tone) {
        return TKey(WhiteKeyIndex(Octave, Note + 1), Tone != 0);
    }
    /// The key of MIDI note number Midi, 21 (A0) .. 108 (C8); no key outside.
    static constexpr TKey FromMidi(int Midi);
    /// The key at Ordinal in pitch order, 0 (A0), 1 (A#0) .. 87 (C8); no key outside.
    static constexpr TKey FromOrdinal(int Ordinal) {
        return Ordinal >= 0 && Ordinal < PianoKeyCount ? FromMidi(Ordinal + LowestKeyMidi) : TKey();
    }

    /// The white key, or the one the black key follows.
    constexpr int Index() const { return Index_; }
    /// True for the black key (or place) after white key Index.
    constexpr bool Black() const { return Black_; }
    /// Index lies in 0..51: the key has a place in KeyStates or ToneStates.
    constexpr bool InKeyboard() const { return Index_ >= 0 && Index_ < WhiteKeyCount; }
    /// One of the 88 keys: a white key, or a black key where one exists.
    constexpr bool Exists() const { return Black_ ? HasBlackKeyAfter(Index_) : InKeyboard(); }
    /// The control's octave: that of the white key, or of the white key the black key follows.
    constexpr int Octave() const { return WhiteKeyOctave(Index_); }
    /// MIDI note number: 21 for A0, 22 for the black key after it, 60 for C4, 108 for C8. A place
    /// that stands for no black key counts one above its white key (the sharp's number).
    constexpr int Midi() const {
        return TNote{Octave(), WhiteKeyNote(Index_), Black_ ? 1 : 0}.Midi();
    }
    /// 0 (A0) .. 87 (C8) in pitch order; -1 unless the key exists.
    constexpr int Ordinal() const { return Exists() ? Midi() - LowestKeyMidi : -1; }

    /// How a mouse release reports the key under Mode. A white key is natural. A black key is a
    /// flat of the white key above it or a sharp of the one below: under atAutoMajor Eb, Ab and
    /// Bb are flats and C#, F# sharps; under atAutoMinor only Bb is a flat; atBemol gives flats
    /// and atDiesis sharps. The places after E and B are spelled by the same rule (E#, B#, or
    /// under atBemol Fb, and the flat after B as note 8 of the octave).
    constexpr TNote Name(TAutoTone Mode) const;
    /// How the PC keyboard reports the key when a letter played it, with Shift for a black key:
    /// the sharp of the white key below under atDiesis, otherwise the flat of the white key above.
    /// A black key sounds the same either way; the places after E and B do not (Fb is E, E# is F).
    constexpr TNote ShiftedName(TAutoTone Mode) const;

    /// Equal when index and colour are.
    friend constexpr bool operator==(const TKey& A, const TKey& B) {
        return A.Index_ == B.Index_ && A.Black_ == B.Black_;
    }
    /// Unequal when index or colour differ.
    friend constexpr bool operator!=(const TKey& A, const TKey& B) { return !(A == B); }

  private:
    constexpr TKey(int Index, bool Black) : Index_(Index), Black_(Black) {}
    int Index_ = -1;
    bool Black_ = false;
};

// ---- Definitions ----

namespace pitch_detail {
/// Semitones of letter L (0 = C .. 6 = B) above its C.
constexpr int Semitones(int L) {
    return 2 * L - (L >= 3 ? 1 : 0);
}
constexpr char LetterChar(int L) {
    return "CDEFGAB"[L];
}
}  // namespace pitch_detail

constexpr int TNote::Midi() const {
    return 12 * (ScientificOctave() + 1) + pitch_detail::Semitones(Letter()) + Tone;
}

constexpr TKey TNote::Key() const {
    if (Tone == 0) return TKey::White(WhiteKey());
    return TKey::BlackAfter(Tone > 0 ? WhiteKey() : WhiteKey() - 1);
}

constexpr TPitchText TNote::Text() const {
    TPitchText T;
    T.Append(pitch_detail::LetterChar(Letter()));
    if (Tone > 0) T.Append('#');
    if (Tone < 0) T.Append('b');
    T.AppendNumber(ScientificOctave());
    return T;
}

constexpr TPitchText TNote::SpokenText() const {
    TPitchText T;
    T.Append(pitch_detail::LetterChar(Letter()));
    if (Tone > 0) T.Append(" sharp ");
    if (Tone < 0) T.Append(" flat ");
    T.AppendNumber(ScientificOctave());
    return T;
}

constexpr TKey TKey::FromMidi(int Midi) {
    if (Midi < LowestKeyMidi || Midi > HighestKeyMidi) return TKey();
    // The letter of each semitone above C, and whether it is the black key after that letter.
    constexpr int Letters[12] = {0, 0, 1, 1, 2, 3, 3, 4, 4, 5, 5, 6};
    constexpr bool Sharp[12] = {false, true,  false, true,  false, false,
                                true,  false, true,  false, true,  false};
    const int S = Midi % 12;
    return TKey(WhiteKeyIndex(Midi / 12, Letters[S] + 1), Sharp[S]);
}

constexpr TNote TKey::Name(TAutoTone Mode) const {
    const int Note = WhiteKeyNote(Index_);
    if (!Black_) return TNote{Octave(), Note, 0};
    bool Flat = false;
    switch (Mode) {
        case atAutoMajor:
            Flat = Note == 2 || Note == 5 || Note == 6;  // Eb, Ab, Bb
            break;
        case atAutoMinor:
            Flat = Note == 6;  // Bb
            break;
        case atBemol:
            Flat = true;
            break;
        case atDiesis:
            Flat = false;
            break;
    }
    // A flat names the white key above, a sharp the one below.
    return Flat ? TNote{Octave(), Note + 1, -1} : TNote{Octave(), Note, +1};
}

constexpr TNote TKey::ShiftedName(TAutoTone Mode) const {
    if (!Black_) return Name(Mode);
    if (ShiftTone(Mode) > 0) return TNote{Octave(), WhiteKeyNote(Index_), +1};
    return TNote{WhiteKeyOctave(Index_ + 1), WhiteKeyNote(Index_ + 1), -1};
}

}  // namespace keymora
