// A reader of Standard MIDI Files written independently of the pad's writer, shared by the pad's
// tests: type 0 files, and type 1 files (another program's) with the notes of all tracks merged.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace keymora::pad {

// A reader of type 0 files written independently of the writer: it walks the chunk, decodes
// variable-length deltas and running status, and collects notes with absolute times.
struct ReadNote {
    int Number;
    long Start;
    long Length;
    friend bool operator==(const ReadNote&, const ReadNote&) = default;
};

struct ReadFile {
    int Format = -1, Tracks = -1, Division = -1;
    long Tempo = -1;
    long End = -1;
    std::vector<ReadNote> Notes;
};

inline ReadFile ReadMidi(const std::vector<std::uint8_t>& B) {
    ReadFile F;
    auto U16 = [&](std::size_t I) { return B.at(I) << 8 | B.at(I + 1); };
    auto U32 = [&](std::size_t I) {
        return static_cast<long>(B.at(I)) << 24 | B.at(I + 1) << 16 | B.at(I + 2) << 8 |
               B.at(I + 3);
    };
    auto VarLen = [&](std::size_t& I) {
        long V = 0;
        std::uint8_t C;
        do {
            C = B.at(I++);
            V = (V << 7) | (C & 0x7F);
        } while (C & 0x80);
        return V;
    };
    if (B.size() < 14 || std::string(B.begin(), B.begin() + 4) != "MThd" || U32(4) != 6) return F;
    F.Format = U16(8);
    F.Tracks = U16(10);
    F.Division = U16(12);
    // Every track (a type 1 file from another program has several), the notes of all merged.
    std::size_t Chunk = 14;
    for (int T = 0; T < F.Tracks; ++T) {
        if (std::string(B.begin() + static_cast<long>(Chunk), B.begin() + static_cast<long>(Chunk) + 4) != "MTrk")
            return F;
        const std::size_t End = Chunk + 8 + static_cast<std::size_t>(U32(Chunk + 4));
        std::size_t I = Chunk + 8;
        Chunk = End;
        long Now = 0;
        int Status = 0;
        std::vector<std::pair<int, long>> On;
        while (I < End) {
            Now += VarLen(I);
            if (B.at(I) & 0x80) Status = B.at(I++);
            if (Status == 0xFF) {
                const int Type = B.at(I++);
                const auto Len = static_cast<std::size_t>(VarLen(I));
                if (Type == 0x51) F.Tempo = B.at(I) << 16 | B.at(I + 1) << 8 | B.at(I + 2);
                if (Type == 0x2F) F.End = std::max(F.End, Now);
                I += Len;
                continue;
            }
            if (Status == 0xF0 || Status == 0xF7) {
                I += static_cast<std::size_t>(VarLen(I));
                continue;
            }
            // Program change and channel pressure carry one byte, the others two.
            if ((Status & 0xF0) == 0xC0 || (Status & 0xF0) == 0xD0) {
                ++I;
                continue;
            }
            const int Number = B.at(I++);
            const int Velocity = B.at(I++);
            if ((Status & 0xF0) == 0x90 && Velocity > 0) {
                On.push_back({Number, Now});
            } else if ((Status & 0xF0) == 0x80 || (Status & 0xF0) == 0x90) {
                for (auto It = On.begin(); It != On.end(); ++It) {
                    if (It->first != Number) continue;
                    F.Notes.push_back({Number, It->second, Now - It->second});
                    On.erase(It);
                    break;
                }
            }
        }
    }
    std::stable_sort(F.Notes.begin(), F.Notes.end(), [](const ReadNote& A, const ReadNote& B) {
        return A.Start != B.Start ? A.Start < B.Start : A.Number < B.Number;
    });
    return F;
}

}  // namespace keymora::pad
