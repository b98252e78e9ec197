// TLruCache: which lookups build an entry and which entry a miss replaces, worked out by hand for a
// cache of three over sequences of keys; lookups that only look; and forgetting everything.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/util/lru_cache.h"

namespace keymora {
namespace {

struct Entry {
    char Key = 0;
    int Serial = 0;  // which build made it, from 1; 0 for an entry never built
};

using Cache = TLruCache<Entry, 3>;

/// Looks Key up, building it on a miss; '+' for a miss, '.' for a hit.
char Use(Cache& C, char Key, int& Builds) {
    bool Built = false;
    const Entry& E = C.Get([&](const Entry& K) { return K.Key == Key; },
                           [&](Entry& K) {
                               K.Key = Key;
                               K.Serial = ++Builds;
                               Built = true;
                           });
    EXPECT_EQ(E.Key, Key);
    return Built ? '+' : '.';
}

std::string Contents(Cache& C) {
    std::string Keys;
    for (char K = 'a'; K <= 'z'; ++K)
        if (C.Find([&](const Entry& E) { return E.Key == K; })) Keys += K;
    return Keys;
}

struct SequenceCase {
    const char* Name;
    const char* Keys;
    const char* Misses;    // '+' where the lookup built its entry
    const char* Contents;  // what the cache holds at the end, in key order
};

class LruSequence : public testing::TestWithParam<SequenceCase> {};

TEST_P(LruSequence, BuildsOnMissesAndReplacesTheLeastRecentlyUsed) {
    const SequenceCase& C = GetParam();
    Cache Lru;
    int Builds = 0;
    std::string Misses;
    for (const char* K = C.Keys; *K; ++K) Misses += Use(Lru, *K, Builds);
    EXPECT_EQ(Misses, C.Misses);
    EXPECT_EQ(Builds, static_cast<int>(std::count(Misses.begin(), Misses.end(), '+')));
    EXPECT_EQ(Lru.Size(), std::string(C.Contents).size());
    EXPECT_EQ(Contents(Lru), C.Contents);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, LruSequence,
    testing::Values(SequenceCase{"OneKeyAgain", "aaaa", "+...", "a"},
                    SequenceCase{"FillsUp", "abc", "+++", "abc"},
                    SequenceCase{"HitsWhenFull", "abcbca", "+++...", "abc"},
                    // d replaces a, the oldest; a then comes back in place of b.
                    SequenceCase{"OldestGoes", "abcda", "+++++", "acd"},
                    // a used again before d comes: b is the oldest then, and c after it.
                    SequenceCase{"UseKeepsAnEntry", "abcadba", "+++.++.", "abd"},
                    // Alternating between two keys never pushes out the third.
                    SequenceCase{"RecentlyUsedFirst", "abcababab", "+++......", "abc"},
                    // Four keys round a cache of three: every lookup misses.
                    SequenceCase{"Cycling", "abcdabcd", "++++++++", "bcd"}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(LruCache, FindBuildsNothing) {
    Cache Lru;
    int Builds = 0;
    EXPECT_EQ(Lru.Find([](const Entry& E) { return E.Key == 'a'; }), nullptr);
    EXPECT_EQ(Lru.Size(), 0u);
    Use(Lru, 'a', Builds);
    const Entry* A = Lru.Find([](const Entry& E) { return E.Key == 'a'; });
    ASSERT_NE(A, nullptr);
    EXPECT_EQ(A->Serial, 1);
    EXPECT_EQ(Builds, 1);
}

// Default entries in unused slots must not match a lookup for a default-looking key.
TEST(LruCache, UnusedSlotsMatchNothing) {
    Cache Lru;
    int Builds = 0;
    EXPECT_EQ(Use(Lru, '\0', Builds), '+');
    EXPECT_EQ(Lru.Size(), 1u);
}

// A Find that hits counts as a use: the entry found outlives older ones.
TEST(LruCache, FindCountsAsAUse) {
    Cache Lru;
    int Builds = 0;
    for (char K : std::string("abc")) Use(Lru, K, Builds);
    Lru.Find([](const Entry& E) { return E.Key == 'a'; });
    Use(Lru, 'd', Builds);
    EXPECT_EQ(Contents(Lru), "acd");
}

TEST(LruCache, ClearForgetsAndResetsEveryEntry) {
    Cache Lru;
    int Builds = 0;
    for (char K : std::string("abc")) Use(Lru, K, Builds);
    Lru.Clear();
    EXPECT_EQ(Lru.Size(), 0u);
    EXPECT_EQ(Contents(Lru), "");
    // Rebuilt after the clear, into reset slots.
    const Entry& A = Lru.Get([](const Entry& E) { return E.Key == 'a'; },
                             [](Entry& E) {
                                 EXPECT_EQ(E.Key, 0);
                                 EXPECT_EQ(E.Serial, 0);
                                 E.Key = 'a';
                             });
    EXPECT_EQ(A.Key, 'a');
    EXPECT_EQ(Lru.Size(), 1u);
}

}  // namespace
}  // namespace keymora
