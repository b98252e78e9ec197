// Random choices of the session generator. std::mt19937_64 produces the same numbers under every
// standard library, but the standard distributions do not, so every mapping from the engine's
// output to a choice is done here, and a seed names the same session everywhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <random>
#include <span>

namespace keymora::sessiongen {

class TRandom {
  public:
    explicit TRandom(std::uint64_t Seed) : Engine_(Seed) {}

    /// Uniform in 0..N-1; 0 when N is 0 or 1. Draws that fall into the incomplete top block of
    /// 2^64 are rejected, so no value is favoured.
    std::uint64_t Below(std::uint64_t N) {
        if (N <= 1) return 0;
        // 2^64 mod N: the size of the incomplete block at the top.
        const std::uint64_t Rest = (UINT64_MAX % N + 1) % N;
        for (;;) {
            const std::uint64_t V = Engine_();
            if (Rest == 0 || V < 0 - Rest) return V % N;
        }
    }

    /// Uniform in Lo..Hi, both included (Lo when Hi < Lo).
    long long Between(long long Lo, long long Hi) {
        if (Hi <= Lo) return Lo;
        return Lo + static_cast<long long>(Below(static_cast<std::uint64_t>(Hi - Lo) + 1));
    }

    /// True with probability 1/N.
    bool OneIn(std::uint64_t N) { return Below(N) == 0; }

    /// True with probability PerMille/1000.
    bool PerMille(int PerMille) { return static_cast<int>(Below(1000)) < PerMille; }

    /// An index drawn with probability proportional to its weight; weights are not negative
    /// and not all zero.
    std::size_t Weighted(std::span<const int> Weights) {
        std::uint64_t Total = 0;
        for (int W : Weights) Total += static_cast<std::uint64_t>(W);
        std::uint64_t Draw = Below(Total);
        for (std::size_t I = 0; I < Weights.size(); ++I) {
            const auto W = static_cast<std::uint64_t>(Weights[I]);
            if (Draw < W) return I;
            Draw -= W;
        }
        return Weights.size() - 1;
    }

    /// One element of a non-empty array, span or vector, each as likely.
    template <class List>
    decltype(auto) Pick(const List& Items) {
        return Items[static_cast<std::size_t>(Below(std::size(Items)))];
    }

  private:
    std::mt19937_64 Engine_;
};

}  // namespace keymora::sessiongen
