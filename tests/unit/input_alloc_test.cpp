// The input paths allocate nothing: global operator new is replaced by a counting version and a
// whole playing session of moves, presses, releases and key strokes runs between two readings.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "keymora/headless/headless_window.h"
#include "keymora/layout/layout.h"
#include "keymora/model/keymora.h"

namespace {
std::atomic<long> Allocations{0};

// Out of line so that the compiler, seeing new and free meet after inlining, does not take the
// pair for a mismatch.
[[gnu::noinline]] void Release(void* P) noexcept {
    std::free(P);
}
}  // namespace

// The replacement holds for the whole test program; it only counts.
void* operator new(std::size_t Size) {
    Allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* P = std::malloc(Size == 0 ? 1 : Size)) return P;
    throw std::bad_alloc();
}
void operator delete(void* P) noexcept {
    Release(P);
}
void operator delete(void* P, std::size_t) noexcept {
    Release(P);
}

namespace keymora {
namespace {

TEST(InputAllocations, PlayingAllocatesNothing) {
    THeadlessForm Form;
    TKeymora K;
    K.SetParent(&Form);
    K.SetBounds(0, 0, 600, 100);
    THeadlessWindow Window(K);
    Window.Keep = false;
    K.SetMouseTrack(true);
    int Clicks = 0;
    int Tracks = 0;
    int Changes = 0;
    // Handlers that allocate nothing themselves (made before counting starts).
    K.OnKeyClick = [&](TObject*, int, int, int) { ++Clicks; };
    K.OnTrackMouse = [&](TObject*, bool) { ++Tracks; };
    K.OnDurationChanged = [&](TObject*) { ++Changes; };
    K.OnOffsetChanged = [&](TObject*) { ++Changes; };
    K.OnMaxChanged = [&](TObject*) { ++Changes; };

    // The counter is live: a direct call (which, unlike a new-expression, cannot be elided).
    const long Probe = Allocations.load();
    ::operator delete(::operator new(16));
    ASSERT_EQ(Allocations.load() - Probe, 1);

    const long Before = Allocations.load();
    for (int Round = 0; Round < 3; ++Round) {
        // Tracking across all bands, with hints up to "1/128" once the cells scroll.
        for (int Y = -20; Y < 100; Y += 7) K.MouseMove({}, 300, Y);
        K.MouseMove({}, 570, 90);
        K.MouseMove({}, 600, 40);
        // White and black keys, both zones, cells and duration buttons.
        const int Points[][2] = {{50, 90}, {74, 10},  {470, 90}, {5, 10},   {550, 10}, {5, 75},
                                 {5, 90},  {550, 75}, {550, 90}, {560, 90}, {580, 90}, {570, 40}};
        for (const auto& P : Points) {
            K.MouseDown(mbLeft, {}, P[0], P[1]);
            K.MouseUp(mbLeft, {}, P[0], P[1]);
            (void)K.Layout().HitTest(P[0], P[1]);
        }
        // The PC keyboard: notes, Shift, digits, navigation, Space.
        for (std::uint16_t Key : {std::uint16_t{'C'}, std::uint16_t{'A'}, std::uint16_t{'7'},
                                  vk::VK_LEFT, vk::VK_UP, vk::VK_END, vk::VK_SPACE, vk::VK_HOME}) {
            std::uint16_t Code = Key;
            K.KeyDown(Code, {});
            K.KeyUp(Code, {});
            K.KeyDown(Code, {ssShift});
            K.KeyUp(Code, {ssShift});
        }
    }
    for (int D = 1; D < 6; ++D) {
        K.SetDurationPosition(0);
        K.MouseMove({}, 300, -10);  // walks the position up through the scrolled cells
        K.MouseMove({}, 300, -10);
    }
    const long After = Allocations.load();

    EXPECT_EQ(After - Before, 0);
    // The session did reach the paths it was meant to.
    EXPECT_GT(Clicks, 0);
    EXPECT_GT(Tracks, 0);
    EXPECT_GT(Changes, 0);
}

}  // namespace
}  // namespace keymora
