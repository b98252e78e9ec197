// Full paint passes on the raster canvas: 800 x 120 and 1920 x 240, both orientations, default
// style, focused, themed faces (Fusion). Each benchmark also reports the heap allocations per
// pass, counted by wrapping malloc, so that a pass that starts allocating shows up here.
#include <benchmark/benchmark.h>

#include <QtGui/QGuiApplication>
#include <QtGui/QImage>
#include <QtWidgets/QStyle>
#include <QtWidgets/QStyleFactory>
#include <atomic>
#include <cstddef>
#include <memory>

#include "keymora/host/headless/headless_window.h"
#include "keymora/host/qt/qt_canvas.h"
#include "keymora/model/keymora.h"

namespace {
std::atomic<long long> Allocations{0};
}  // namespace

// Counting allocator: every malloc, calloc and realloc of the process passes here. Left out
// under AddressSanitizer, which owns these symbols.
#if !defined(__SANITIZE_ADDRESS__)
extern "C" {
void* __libc_malloc(std::size_t Size);
void* __libc_calloc(std::size_t Count, std::size_t Size);
void* __libc_realloc(void* Block, std::size_t Size);
void __libc_free(void* Block);

void* malloc(std::size_t Size) noexcept {
    Allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(Size);
}
void* calloc(std::size_t Count, std::size_t Size) noexcept {
    Allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(Count, Size);
}
void* realloc(void* Block, std::size_t Size) noexcept {
    Allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(Block, Size);
}
void free(void* Block) noexcept {
    __libc_free(Block);
}
}
constexpr bool Counting = true;
#else
constexpr bool Counting = false;
#endif

namespace {

using namespace keymora;

std::unique_ptr<QStyle> FusionStyle;  // made and dropped in main, inside the application's life

QStyle* Fusion() {
    return FusionStyle.get();
}

struct Control {
    TKeymora K;
    THeadlessForm Form;
    std::unique_ptr<THeadlessWindow> Window;
    Control(int Width, int Height, bool Vertical) {
        K.SetParent(&Form);
        Window = std::make_unique<THeadlessWindow>(K);
        Window->Keep = false;
        K.SetBounds(0, 0, Width, Height);
        if (Vertical) K.SetOrientation(koVertical);
        Window->GiveFocus();
    }
};

void ReportAllocations(benchmark::State& State, long long Before) {
    if (!Counting) return;
    State.counters["allocs_per_pass"] = benchmark::Counter(
        static_cast<double>(Allocations.load() - Before), benchmark::Counter::kAvgIterations);
}

/// One canvas kept painting across passes, as a widget that keeps its canvas does.
void BM_Pass(benchmark::State& State, int Width, int Height, bool Vertical) {
    // Width and height are those of the horizontal control; the vertical one is its transpose.
    Control C(Vertical ? Height : Width, Vertical ? Width : Height, Vertical);
    QImage Image(C.K.ClientWidth(), C.K.ClientHeight(), QImage::Format_RGB32);
    qt::QtCanvas Canvas(&Image);
    Canvas.SetStyle(Fusion());
    C.K.PaintTo(Canvas);  // warm the font, pen and face caches
    const long long Before = Allocations.load();
    for (auto _ : State) {
        C.K.PaintTo(Canvas);
        benchmark::ClobberMemory();
    }
    ReportAllocations(State, Before);
}

/// Begin and End around every pass, as a paint event does with a kept canvas.
void BM_PassWithBegin(benchmark::State& State, int Width, int Height, bool Vertical) {
    Control C(Vertical ? Height : Width, Vertical ? Width : Height, Vertical);
    QImage Image(C.K.ClientWidth(), C.K.ClientHeight(), QImage::Format_RGB32);
    qt::QtCanvas Canvas;
    Canvas.SetStyle(Fusion());
    Canvas.Begin(&Image);
    C.K.PaintTo(Canvas);
    Canvas.End();
    const long long Before = Allocations.load();
    for (auto _ : State) {
        Canvas.Begin(&Image);
        C.K.PaintTo(Canvas);
        Canvas.End();
    }
    ReportAllocations(State, Before);
}

/// The canvas calls one by one on a warm canvas: a text label with its measure, a key polygon,
/// a shadow polyline, a fill, a themed face.
void BM_CanvasCalls(benchmark::State& State) {
    QImage Image(200, 120, QImage::Format_RGB32);
    qt::QtCanvas Canvas(&Image);
    Canvas.SetStyle(Fusion());
    const TPoint Key[] = {{30, 0}, {30, 92}, {31, 95}, {40, 95}, {40, 92}, {40, 0}};
    const TPoint Shadow[] = {{30, 93}, {31, 96}, {40, 96}, {41, 93}, {41, 0}};
    auto Round = [&] {
        Canvas.Font.Name = "Arial";
        Canvas.Font.Size = 7;
        Canvas.Font.Color = clBlack;
        Canvas.Brush.Style = bsClear;
        Canvas.TextOut(100 - Canvas.TextWidth("1/128") / 2, 50, "1/128");
        Canvas.Font.Size = 8;
        Canvas.Font.Color = clMaroon;
        Canvas.TextOut(10, 104, "C");
        Canvas.Brush.SetColor(clBlack);
        Canvas.Polygon(Key);
        Canvas.Pen.Color = clGray;
        Canvas.Polyline(Shadow);
        Canvas.FillRect(Rect(50, 0, 70, 120));
        Canvas.DrawElement(TThemedElement::tbPushButtonPressed, Rect(150, 0, 180, 40));
    };
    Round();
    const long long Before = Allocations.load();
    for (auto _ : State) Round();
    if (Counting)
        State.counters["allocs_per_round"] = benchmark::Counter(
            static_cast<double>(Allocations.load() - Before), benchmark::Counter::kAvgIterations);
}

BENCHMARK_CAPTURE(BM_Pass, horizontal_800x120, 800, 120, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Pass, vertical_800x120, 800, 120, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Pass, horizontal_1920x240, 1920, 240, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Pass, vertical_1920x240, 1920, 240, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PassWithBegin, horizontal_800x120, 800, 120, false)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PassWithBegin, horizontal_1920x240, 1920, 240, false)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CanvasCalls)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    static int QtArgc = 3;
    static char Arg0[] = "paint_bench";
    static char Arg1[] = "-platform";
    static char Arg2[] = "offscreen";
    static char* QtArgv[] = {Arg0, Arg1, Arg2, nullptr};
    QGuiApplication App(QtArgc, QtArgv);
    FusionStyle.reset(QStyleFactory::create(QStringLiteral("Fusion")));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    FusionStyle.reset();
    return 0;
}
