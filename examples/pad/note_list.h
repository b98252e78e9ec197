// The pad's list of entered notes: what a key click means as a pitch, how it reads, and how a whole
// list becomes a Standard MIDI File. Plain C++; the window around it lives in pad_window.*.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace keymora::pad {

/// One entry: a note as the keyboard reported it, or a rest, with the duration position chosen in
/// the duration row (0 = whole note, d = 1/2^d).
struct TEntry {
    bool Rest = false;
    int Octave = 0;  // the control's octave numbering (1 holds A0 and B0)
    int Note = 0;    // 1 = C .. 7 = B (8 = the next C, from an eight-letter Keys)
    int Tone = 0;    // -1 flat, 0 natural, +1 sharp
    int Duration = 0;
    friend bool operator==(const TEntry&, const TEntry&) = default;
};

/// MIDI note number of a reported key (A0 = 21, middle C = 60, C8 = 108); none for a rest.
std::optional<int> MidiNumber(const TEntry& Entry);

/// Readable pitch: "C4", "F#3", "Bb2" (sharp or flat as the keyboard reported it), or "rest".
std::string PitchName(const TEntry& Entry);

/// "whole", "1/2", "1/4" ... "1/128".
std::string DurationName(int Duration);

/// One line of the note list: "C4 1/4", "rest 1/2".
std::string Describe(const TEntry& Entry);

/// Ticks of a duration position at 480 ticks per quarter note: 1920 for a whole note, halved per
/// step.
int DurationTicks(int Duration);

/// The meter of a document: Beats beats of 1/BeatType each in a bar (4/4 by default). Beats
/// 1..32, BeatType 1, 2, 4, 8, 16 or 32.
struct TTimeSignature {
    int Beats = 4;
    int BeatType = 4;
    /// Ticks in a bar at 480 ticks per quarter note (1920 for 4/4).
    int BarTicks() const { return Beats * (4 * 480 / BeatType); }
    /// True for the values above.
    bool Valid() const;
    friend bool operator==(const TTimeSignature&, const TTimeSignature&) = default;
};

/// Tempo limits, quarter notes a minute.
constexpr int MinTempo = 20;
constexpr int MaxTempo = 400;

/// An entry, or a part of one, as it is written in a bar: entries that cross a bar line are
/// split there, and every part is a plain duration, so an entry becomes one or more pieces tied
/// together. Rests are split the same way; their flags mark the continuation, and no tie is
/// drawn.
struct TPiece {
    int Entry = 0;     // the entry's index
    int Bar = 0;       // the bar, from 0
    int Start = 0;     // ticks from the start of the bar
    int Duration = 0;  // 0 = whole .. 7 = 1/128
    bool TieFromPrevious = false;  // a later piece of the same entry
    bool TieToNext = false;        // more pieces of the entry follow
    friend bool operator==(const TPiece&, const TPiece&) = default;
};

/// The sign written before a piece's note head: bar by bar, a written sign holds for the same
/// letter and octave until the bar ends or another sign replaces it, so a natural comes back
/// only after a sharp or flat of that line. Tied continuations and rests show none.
enum class TAccidental : std::uint8_t { None, Sharp, Flat, Natural };

class TNoteList;

/// The sign of each piece of Pieces (the same length and order).
std::vector<TAccidental> Accidentals(const TNoteList& List, const std::vector<TPiece>& Pieces);

class TNoteList {
public:
    /// Adds what the keyboard reported through OnKeyClick (Octave 0 and Note -1 is Space: a rest).
    void AddClick(int Octave, int Note, int Tone, int Duration);
    void AddRest(int Duration);
    /// Removes the last entry; false when the list is empty.
    bool Undo();
    void Clear() { Entries_.clear(); }
    const std::vector<TEntry>& Entries() const { return Entries_; }
    int Size() const { return static_cast<int>(Entries_.size()); }
    /// Edits at an index 0..Size() (Insert) or 0..Size()-1 (Remove, Replace); other indexes are
    /// refused with false.
    bool Insert(int Index, const TEntry& Entry);
    bool Remove(int Index);
    bool Replace(int Index, const TEntry& Entry);
    /// Replaces everything, meter and tempo included.
    void Assign(std::vector<TEntry> Entries, TTimeSignature Time, int Tempo);

    const TTimeSignature& Time() const { return Time_; }
    /// Sets the meter; false (and no change) for an invalid one.
    bool SetTime(TTimeSignature Time);
    /// Quarter notes a minute, 120 by default.
    int Tempo() const { return Tempo_; }
    /// Sets the tempo; false (and no change) outside MinTempo..MaxTempo.
    bool SetTempo(int Tempo);

    /// The entries as written in bars under the meter, in order: each entry's pieces follow one
    /// another, largest first within a bar.
    std::vector<TPiece> Pieces() const;
    /// The tick at which each entry starts, from 0; one more value at the end gives the total
    /// length.
    std::vector<long long> StartTicks() const;

    friend bool operator==(const TNoteList& A, const TNoteList& B) {
        return A.Entries_ == B.Entries_ && A.Time_ == B.Time_ && A.Tempo_ == B.Tempo_;
    }

    /// A type 0 Standard MIDI File: 480 ticks per quarter, the document's tempo and meter, each
    /// note for its duration, rests as gaps.
    std::vector<std::uint8_t> ToMidi() const;
    /// Writes ToMidi() to Path (its bytes as given) atomically: on failure the old file is kept,
    /// and Error says why.
    bool SaveMidi(const std::string& Path, std::string& Error) const;

private:
    std::vector<TEntry> Entries_;
    TTimeSignature Time_;
    int Tempo_ = 120;
};

}  // namespace keymora::pad
