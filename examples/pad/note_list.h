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

class TNoteList {
public:
    /// Adds what the keyboard reported through OnKeyClick (Octave 0 and Note -1 is Space: a rest).
    void AddClick(int Octave, int Note, int Tone, int Duration);
    void AddRest(int Duration);
    /// Removes the last entry; false when the list is empty.
    bool Undo();
    void Clear() { Entries_.clear(); }
    const std::vector<TEntry>& Entries() const { return Entries_; }

    /// A type 0 Standard MIDI File: 480 ticks per quarter, tempo 120, each note for its duration,
    /// rests as gaps.
    std::vector<std::uint8_t> ToMidi() const;
    /// Writes ToMidi() to Path (its bytes as given) atomically: on failure the old file is kept,
    /// and Error says why.
    bool SaveMidi(const std::string& Path, std::string& Error) const;

private:
    std::vector<TEntry> Entries_;
};

}  // namespace keymora::pad
