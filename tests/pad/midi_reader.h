// A reader of type 0 Standard MIDI Files written independently of the pad's writer, shared by the
// pad's tests.
#pragma once

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
    if (std::string(B.begin(), B.begin() + 4) != "MThd" || U32(4) != 6) return F;
    F.Format = U16(8);
    F.Tracks = U16(10);
    F.Division = U16(12);
    if (std::string(B.begin() + 14, B.begin() + 18) != "MTrk") return F;
    const std::size_t End = 22 + static_cast<std::size_t>(U32(18));
    std::size_t I = 22;
    long Now = 0;
    int Status = 0;
    std::vector<std::pair<int, long>> On;
    while (I < End) {
        long Delta = 0;
        std::uint8_t C;
        do {
            C = B.at(I++);
            Delta = (Delta << 7) | (C & 0x7F);
        } while (C & 0x80);
        Now += Delta;
        if (B.at(I) & 0x80) Status = B.at(I++);
        if (Status == 0xFF) {
            const int Type = B.at(I++);
            const int Len = B.at(I++);
            if (Type == 0x51) F.Tempo = B.at(I) << 16 | B.at(I + 1) << 8 | B.at(I + 2);
            if (Type == 0x2F) F.End = Now;
            I += static_cast<std::size_t>(Len);
            continue;
        }
        const int Number = B.at(I++);
        const int Velocity = B.at(I++);
        if ((Status & 0xF0) == 0x90 && Velocity > 0) {
            On.push_back({Number, Now});
        } else {
            for (auto It = On.begin(); It != On.end(); ++It) {
                if (It->first != Number) continue;
                F.Notes.push_back({Number, It->second, Now - It->second});
                On.erase(It);
                break;
            }
        }
    }
    return F;
}

}  // namespace keymora::pad
