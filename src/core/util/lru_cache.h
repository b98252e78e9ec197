// TLruCache: a fixed number of entries, the least recently used one replaced on a miss. For the
// tables a canvas builds once and reuses on every pass (fonts, pens, button faces): the slots live
// inside the cache, so a warm cache never allocates, and a lookup is a short linear scan that tries
// the last entry used first.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace keymora {

/// Up to Capacity entries of type Entry, found by a predicate rather than a key so that a lookup
/// can compare an entry with whatever describes it (a font, a colour) without building a key.
template <class Entry, std::size_t Capacity>
class TLruCache {
    static_assert(Capacity > 0, "a cache holds at least one entry");

  public:
    /// The entry Matches(const Entry&) accepts, now the most recently used; null when none does.
    template <class Match>
    Entry* Find(Match&& Matches) {
        if (Recent_ < Capacity && Slots_[Recent_].Used && Matches(Slots_[Recent_].Value))
            return Touch(Recent_);
        for (std::size_t I = 0; I < Capacity; ++I)
            if (I != Recent_ && Slots_[I].Used && Matches(Slots_[I].Value)) return Touch(I);
        return nullptr;
    }

    /// The entry Matches accepts; on a miss Make(Entry&) fills an unused slot, or else the one
    /// used least recently, and must overwrite all of it. Make may allocate; a hit does not.
    template <class Match, class Fill>
    Entry& Get(Match&& Matches, Fill&& Make) {
        if (Entry* Hit = Find(Matches)) return *Hit;
        std::size_t Victim = 0;
        for (std::size_t I = 0; I < Capacity; ++I) {
            if (!Slots_[I].Used) {
                Victim = I;
                break;
            }
            if (Slots_[I].LastUse < Slots_[Victim].LastUse) Victim = I;
        }
        Slots_[Victim].Used = true;
        Entry& E = *Touch(Victim);
        Make(E);
        return E;
    }

    /// Forgets every entry, resetting each to Entry{} so that what they hold is released.
    void Clear() {
        for (Slot& S : Slots_) S = Slot{};
        Recent_ = Capacity;
    }

    /// The entries in use.
    std::size_t Size() const {
        std::size_t N = 0;
        for (const Slot& S : Slots_) N += S.Used ? 1 : 0;
        return N;
    }

  private:
    struct Slot {
        Entry Value{};
        std::uint64_t LastUse = 0;
        bool Used = false;
    };

    Entry* Touch(std::size_t I) {
        Slots_[I].LastUse = ++Clock_;
        Recent_ = I;
        return &Slots_[I].Value;
    }

    std::array<Slot, Capacity> Slots_{};
    std::uint64_t Clock_ = 0;
    std::size_t Recent_ = Capacity;  // the slot of the last hit or fill, tried first
};

}  // namespace keymora
