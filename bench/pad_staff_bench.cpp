// What the pad's staff view costs: a full repaint at 1920 x 1080 (QWidget::render into a reused
// image) of a 500-note document, of the same view with no notes (the staves, clefs and brace
// alone), and of a 10,000-note document scrolled to its middle (painting only the systems in
// sight); and the layout after an edit (notesChanged) for 500 and 10,000 notes. Heap
// allocations are counted by wrapping malloc and reported per iteration (`allocs`), Qt's own
// included.
#include <benchmark/benchmark.h>

#include <QtGui/QImage>
#include <QtWidgets/QApplication>
#include <QtWidgets/QScrollBar>
#include <vector>

#include "note_list.h"
#include "staff_view.h"
#include "support/malloc_counter.h"

using keymora::test::Allocations;
constexpr bool Counting = KEYMORA_COUNT_MALLOC != 0;

namespace {

using namespace keymora::pad;

void ReportAllocations(benchmark::State& State, long long Before) {
    if (!Counting) return;
    State.counters["allocs"] = benchmark::Counter(static_cast<double>(Allocations.load() - Before),
                                                  benchmark::Counter::kAvgIterations);
}

// A melody over both staves: durations from whole to 1/32 (mostly quarters and eighths), a
// sharp or flat on one note in five, a rest in eleven, every seventh note in the bass.
TNoteList Document(int Size) {
    std::vector<TEntry> E;
    E.reserve(static_cast<std::size_t>(Size));
    static const int Durations[] = {2, 3, 3, 2, 4, 1, 3, 2, 5, 3, 0, 2};
    for (int I = 0; I < Size; ++I) {
        const int D = Durations[I % 12];
        if (I % 11 == 10) {
            E.push_back({true, 0, 0, 0, D});
            continue;
        }
        const bool Bass = I % 7 == 3;
        const int Octave = Bass ? 3 + I % 2 : 5 + (I / 3) % 2;
        const int Tone = I % 5 == 1 ? 1 : I % 5 == 3 ? -1 : 0;
        E.push_back({false, Octave, 1 + (I * 3) % 7, Tone, D});
    }
    TNoteList L;
    L.Assign(std::move(E), {4, 4}, 120);
    return L;
}

struct Setup {
    TNoteList Notes;
    StaffView View;
    QImage Image{1920, 1080, QImage::Format_ARGB32_Premultiplied};
    explicit Setup(int Size) : Notes(Document(Size)) {
        View.resize(1920, 1080);
        View.show();
        View.setNotes(Size > 0 ? &Notes : nullptr);
    }
};

void Repaint(benchmark::State& State, int Size, bool Middle) {
    Setup S(Size);
    if (Middle) S.View.verticalScrollBar()->setValue(S.View.verticalScrollBar()->maximum() / 2);
    S.View.setSelection(Size / 2);
    S.View.render(&S.Image);  // warm caches
    const long long Before = Allocations.load();
    for (auto _ : State) {
        S.View.render(&S.Image);
        benchmark::DoNotOptimize(S.Image.constBits());
    }
    ReportAllocations(State, Before);
    State.counters["systems"] = S.View.systemCount();
}

void BM_StaffRepaint500(benchmark::State& State) { Repaint(State, 500, false); }
void BM_StaffRepaintEmpty(benchmark::State& State) { Repaint(State, 0, false); }
void BM_StaffRepaint10000Middle(benchmark::State& State) { Repaint(State, 10000, true); }

void BM_StaffNotesChanged(benchmark::State& State) {
    Setup S(static_cast<int>(State.range(0)));
    const long long Before = Allocations.load();
    for (auto _ : State) S.View.notesChanged();
    ReportAllocations(State, Before);
    State.SetItemsProcessed(State.iterations() * State.range(0));
}

BENCHMARK(BM_StaffRepaint500)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StaffRepaintEmpty)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StaffRepaint10000Middle)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StaffNotesChanged)->Arg(500)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    static int QtArgc = 3;
    static char Arg0[] = "pad_staff_bench";
    static char Arg1[] = "-platform";
    static char Arg2[] = "offscreen";
    static char* QtArgv[] = {Arg0, Arg1, Arg2, nullptr};
    QApplication App(QtArgc, QtArgv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
