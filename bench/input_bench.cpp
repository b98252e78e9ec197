// The cost of the input paths on a headless window that keeps no records: a tracking pointer
// move, a press and release on a white key, and hit testing alone.
#include <benchmark/benchmark.h>

#include "keymora/headless/headless_window.h"
#include "keymora/layout/layout.h"
#include "keymora/model/keymora.h"

namespace {

using namespace keymora;

// A 600 x 100 control with every style: keys of 15 from x = 16, strip from 558.
struct TBenchControl {
    TBenchControl() {
        K.SetParent(&Form);
        K.SetBounds(0, 0, 600, 100);
        Window.Keep = false;
        K.OnKeyClick = [this](TObject*, int O, int N, int T) { Sum += O + N + T; };
        K.OnTrackMouse = [this](TObject*, bool Keys) { Sum += Keys; };
    }
    THeadlessForm Form;
    TKeymora K;
    THeadlessWindow Window{K};
    long long Sum = 0;
};

// Alternates between bands 0 and 1 over the keys, so every move changes the duration and
// rebuilds and re-shows the hint: the longest tracking path.
void BM_TrackingMoveChangingBand(benchmark::State& State) {
    TBenchControl C;
    C.K.SetMouseTrack(true);
    int Y = 90;
    for (auto _ : State) {
        C.K.MouseMove({}, 300, Y);
        Y = Y == 90 ? 40 : 90;
    }
    benchmark::DoNotOptimize(C.Sum);
}
BENCHMARK(BM_TrackingMoveChangingBand);

// Moves within one band: the common case while the pointer wanders over the keys.
void BM_TrackingMoveSameBand(benchmark::State& State) {
    TBenchControl C;
    C.K.SetMouseTrack(true);
    int X = 100;
    for (auto _ : State) {
        C.K.MouseMove({}, X, 90);
        X = X == 500 ? 100 : X + 1;
    }
    benchmark::DoNotOptimize(C.Sum);
}
BENCHMARK(BM_TrackingMoveSameBand);

// A click on a white key, alternating between key 2 (C1, x 50) and key 9 (C2, x 155) so that
// every press also changes the octave and repaints the marks of both octaves.
void BM_PressReleaseWhiteKey(benchmark::State& State) {
    TBenchControl C;
    C.Window.FocusedFlag = true;
    int X = 50;
    for (auto _ : State) {
        C.K.MouseDown(mbLeft, {}, X, 90);
        C.K.MouseUp(mbLeft, {}, X, 90);
        X = X == 50 ? 155 : 50;
    }
    benchmark::DoNotOptimize(C.Sum);
}
BENCHMARK(BM_PressReleaseWhiteKey);

// The same click without the octave change (the pressed key's octave is already current).
void BM_PressReleaseWhiteKeySameOctave(benchmark::State& State) {
    TBenchControl C;
    C.Window.FocusedFlag = true;
    C.K.SetOctave(2);
    for (auto _ : State) {
        C.K.MouseDown(mbLeft, {}, 50, 90);
        C.K.MouseUp(mbLeft, {}, 50, 90);
    }
    benchmark::DoNotOptimize(C.Sum);
}
BENCHMARK(BM_PressReleaseWhiteKeySameOctave);

// Hit testing alone (the layout taken afresh each time, as input does), sweeping the keys, both zones and the strip at the top of the keys.
void BM_HitTest(benchmark::State& State) {
    TBenchControl C;
    int X = 0;
    for (auto _ : State) {
        benchmark::DoNotOptimize(C.K.Layout().HitTest(X, 10));
        X = X == 599 ? 0 : X + 1;
    }
}
BENCHMARK(BM_HitTest);

}  // namespace
