// Pitch naming and the MIDI export of the pad's note list.
#include "note_list.h"

#include <algorithm>
#include <string_view>

#include "core/host/atomic_file.h"

#include "keymora/pitch/duration.h"
#include "keymora/pitch/pitch.h"

namespace keymora::pad {

namespace {
constexpr int TicksPerQuarter = 480;
constexpr int Velocity = 96;

TNote NoteOf(const TEntry& E) {
    return TNote{E.Octave, E.Note, E.Tone};
}

void PutVarLen(std::vector<std::uint8_t>& Out, std::uint32_t V) {
    std::uint8_t Bytes[5];
    int N = 0;
    Bytes[N++] = static_cast<std::uint8_t>(V & 0x7F);
    while ((V >>= 7) != 0) Bytes[N++] = static_cast<std::uint8_t>((V & 0x7F) | 0x80);
    while (N > 0) Out.push_back(Bytes[--N]);
}

void PutBE(std::vector<std::uint8_t>& Out, std::uint32_t V, int Bytes) {
    for (int I = Bytes - 1; I >= 0; --I) Out.push_back(static_cast<std::uint8_t>(V >> (8 * I)));
}
}  // namespace

std::optional<int> MidiNumber(const TEntry& E) {
    if (E.Rest) return std::nullopt;
    const int Number = NoteOf(E).Midi();
    if (Number < 0 || Number > 127) return std::nullopt;
    return Number;
}

std::string PitchName(const TEntry& E) {
    if (E.Rest) return "rest";
    return std::string(NoteOf(E).Text().View());
}

std::string DurationName(int Duration) {
    if (Duration <= 0) return std::string(keymora::DurationName(0));
    return std::string(TDurationLabel(std::min(Duration, 7)).View());
}

std::string Describe(const TEntry& E) { return PitchName(E) + " " + DurationName(E.Duration); }

int DurationTicks(int Duration) {
    if (Duration < 0) Duration = 0;
    if (Duration > 7) Duration = 7;
    return 4 * TicksPerQuarter >> Duration;
}

void TNoteList::AddClick(int Octave, int Note, int Tone, int Duration) {
    if (Octave == 0 && Note == -1) {
        AddRest(Duration);
        return;
    }
    Entries_.push_back({false, Octave, Note, Tone, Duration});
}

void TNoteList::AddRest(int Duration) { Entries_.push_back({true, 0, 0, 0, Duration}); }

bool TTimeSignature::Valid() const {
    return Beats >= 1 && Beats <= 32 &&
           (BeatType == 1 || BeatType == 2 || BeatType == 4 || BeatType == 8 || BeatType == 16 ||
            BeatType == 32);
}

bool TNoteList::Insert(int Index, const TEntry& Entry) {
    if (Index < 0 || Index > Size()) return false;
    Entries_.insert(Entries_.begin() + Index, Entry);
    return true;
}

bool TNoteList::Remove(int Index) {
    if (Index < 0 || Index >= Size()) return false;
    Entries_.erase(Entries_.begin() + Index);
    return true;
}

bool TNoteList::Replace(int Index, const TEntry& Entry) {
    if (Index < 0 || Index >= Size()) return false;
    Entries_[static_cast<std::size_t>(Index)] = Entry;
    return true;
}

void TNoteList::Assign(std::vector<TEntry> Entries, TTimeSignature Time, int Tempo) {
    Entries_ = std::move(Entries);
    if (Time.Valid()) Time_ = Time;
    SetTempo(Tempo);
}

bool TNoteList::SetTime(TTimeSignature Time) {
    if (!Time.Valid()) return false;
    Time_ = Time;
    return true;
}

bool TNoteList::SetTempo(int Tempo) {
    if (Tempo < MinTempo || Tempo > MaxTempo) return false;
    Tempo_ = Tempo;
    return true;
}

std::vector<long long> TNoteList::StartTicks() const {
    std::vector<long long> Starts;
    Starts.reserve(Entries_.size() + 1);
    long long At = 0;
    for (const TEntry& E : Entries_) {
        Starts.push_back(At);
        At += DurationTicks(E.Duration);
    }
    Starts.push_back(At);
    return Starts;
}

std::vector<TPiece> TNoteList::Pieces() const {
    std::vector<TPiece> Out;
    Out.reserve(Entries_.size());
    const int Bar = Time_.BarTicks();
    int BarIndex = 0;
    int At = 0;  // ticks from the start of the bar
    for (std::size_t I = 0; I < Entries_.size(); ++I) {
        int Left = DurationTicks(Entries_[I].Duration);
        const std::size_t First = Out.size();
        while (Left > 0) {
            if (At == Bar) {
                ++BarIndex;
                At = 0;
            }
            // The largest plain duration that fits both what is left of the entry and of the
            // bar. Every length is a multiple of a 1/128 (15 ticks), so one always fits.
            const int Room = std::min(Left, Bar - At);
            int D = 0;
            while (DurationTicks(D) > Room) ++D;
            TPiece P;
            P.Entry = static_cast<int>(I);
            P.Bar = BarIndex;
            P.Start = At;
            P.Duration = D;
            P.TieFromPrevious = Out.size() > First;
            Out.push_back(P);
            At += DurationTicks(D);
            Left -= DurationTicks(D);
        }
        for (std::size_t K = First; K + 1 < Out.size(); ++K) Out[K].TieToNext = true;
    }
    return Out;
}

std::vector<TAccidental> Accidentals(const TNoteList& List, const std::vector<TPiece>& Pieces) {
    std::vector<TAccidental> Out(Pieces.size(), TAccidental::None);
    // The tone in force on each staff line (letter and octave) in the current bar; lines not
    // touched this bar are natural. Only the lines touched are cleared at each bar line.
    struct TLine {
        long long Key;
        int Tone;
    };
    std::vector<TLine> Touched;
    int Bar = -1;
    for (std::size_t I = 0; I < Pieces.size(); ++I) {
        const TPiece& P = Pieces[I];
        if (P.Bar != Bar) {
            Touched.clear();
            Bar = P.Bar;
        }
        const TEntry& E = List.Entries()[static_cast<std::size_t>(P.Entry)];
        if (E.Rest || P.TieFromPrevious) continue;
        const TNote N = NoteOf(E);
        const long long Key = 7LL * N.ScientificOctave() + N.Letter();
        const int Tone = E.Tone > 0 ? 1 : E.Tone < 0 ? -1 : 0;
        auto Line = std::find_if(Touched.begin(), Touched.end(),
                                 [Key](const TLine& L) { return L.Key == Key; });
        const int InForce = Line == Touched.end() ? 0 : Line->Tone;
        if (Tone != InForce)
            Out[I] = Tone > 0 ? TAccidental::Sharp : Tone < 0 ? TAccidental::Flat : TAccidental::Natural;
        if (Line == Touched.end())
            Touched.push_back({Key, Tone});
        else
            Line->Tone = Tone;
    }
    return Out;
}

bool TNoteList::Undo() {
    if (Entries_.empty()) return false;
    Entries_.pop_back();
    return true;
}

std::vector<std::uint8_t> TNoteList::ToMidi() const {
    std::vector<std::uint8_t> Track;
    // The tempo in microseconds per quarter note (500000 at 120), and the meter: numerator,
    // the denominator as a power of two, 24 clocks a click, 8 thirty-seconds a quarter.
    const auto Micros = static_cast<std::uint32_t>(60000000 / Tempo_);
    Track.insert(Track.end(), {0x00, 0xFF, 0x51, 0x03});
    PutBE(Track, Micros, 3);
    std::uint8_t Power = 0;
    while ((1 << Power) < Time_.BeatType) ++Power;
    Track.insert(Track.end(), {0x00, 0xFF, 0x58, 0x04, static_cast<std::uint8_t>(Time_.Beats), Power,
                               24, 8});
    std::uint32_t Gap = 0;
    for (const TEntry& E : Entries_) {
        const auto Ticks = static_cast<std::uint32_t>(DurationTicks(E.Duration));
        const std::optional<int> Number = MidiNumber(E);
        if (!Number) {
            Gap += Ticks;
            continue;
        }
        PutVarLen(Track, Gap);
        Track.insert(Track.end(), {0x90, static_cast<std::uint8_t>(*Number), Velocity});
        PutVarLen(Track, Ticks);
        Track.insert(Track.end(), {0x80, static_cast<std::uint8_t>(*Number), 0x00});
        Gap = 0;
    }
    // A trailing rest still counts: the end of the track comes after it.
    PutVarLen(Track, Gap);
    Track.insert(Track.end(), {0xFF, 0x2F, 0x00});

    std::vector<std::uint8_t> File = {'M', 'T', 'h', 'd'};
    PutBE(File, 6, 4);
    PutBE(File, 0, 2);  // type 0
    PutBE(File, 1, 2);  // one track
    PutBE(File, TicksPerQuarter, 2);
    File.insert(File.end(), {'M', 'T', 'r', 'k'});
    PutBE(File, static_cast<std::uint32_t>(Track.size()), 4);
    File.insert(File.end(), Track.begin(), Track.end());
    return File;
}

bool TNoteList::SaveMidi(const std::string& Path, std::string& Error) const {
    const std::vector<std::uint8_t> Bytes = ToMidi();
    // Written whole or not at all: a full disk keeps the previous export.
    if (auto Why = host::WriteFileAtomically(
            Path, std::string_view(reinterpret_cast<const char*>(Bytes.data()), Bytes.size()))) {
        Error = std::move(*Why);
        return false;
    }
    return true;
}

}  // namespace keymora::pad
