// What drawing the keyboard costs on the raster canvas, beside a floor measured in the same run:
// a plain QPainter keyboard (88 filled and outlined rectangles and 52 one-letter labels) on the
// same images. Control: full passes at 800 x 120 and 1920 x 240 in both orientations (default
// style, focused, themed faces), a key press and release with its two clipped repaints, the same
// through KeymoraWidget on the offscreen platform, a tracking pointer move, CalculateWidth, a full
// pass on the recording canvas, and the memory of one control and of one widget. Heap allocations
// are counted by wrapping malloc and reported per iteration.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <QtCore/QCoreApplication>
#include <QtGui/QImage>
#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>
#include <QtWidgets/QApplication>
#include <QtWidgets/QStyle>
#include <QtWidgets/QStyleFactory>
#include <QtWidgets/QWidget>
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdio>
#include <memory>
#include <vector>

#include "keymora/headless/headless_window.h"
#include "keymora/headless/recording_canvas.h"
#include "keymora/qt/keymora_widget.h"
#include "bindings/qt/qt_canvas.h"
#include "keymora/model/keymora.h"
#include "support/malloc_counter.h"

using keymora::test::Allocations;
constexpr bool Counting = KEYMORA_COUNT_MALLOC != 0;

namespace {

using namespace keymora;

std::unique_ptr<QStyle> FusionStyle;  // made and dropped in main, inside the application's life

QStyle* Fusion() {
    return FusionStyle.get();
}

void ReportAllocations(benchmark::State& State, long long Before) {
    if (!Counting) return;
    State.counters["allocs"] = benchmark::Counter(static_cast<double>(Allocations.load() - Before),
                                                  benchmark::Counter::kAvgIterations);
}

/// A control on a headless window that keeps no records but hands every repaint rectangle to
/// a fixed list, as a window system collects invalid rectangles.
struct Control {
    TKeymora K;
    THeadlessForm Form;
    std::unique_ptr<THeadlessWindow> Window;
    std::array<TRect, 16> Invalid{};
    std::size_t InvalidCount = 0;
    bool WholeInvalid = false;

    Control(int Width, int Height, bool Vertical) {
        K.SetParent(&Form);
        Window = std::make_unique<THeadlessWindow>(K);
        Window->Keep = false;
        K.SetBounds(0, 0, Width, Height);
        if (Vertical) K.SetOrientation(koVertical);
        Window->GiveFocus();
        Window->OnRecord = [this](const THostRecord& R) {
            if (R.Kind == THostRecord::TKind::InvalidateAll) WholeInvalid = true;
            if (R.Kind == THostRecord::TKind::InvalidateRect && InvalidCount < Invalid.size())
                Invalid[InvalidCount++] = R.Rect;
        };
    }
    /// Paints every rectangle asked for since the last call, each clipped to itself.
    void PaintInvalid(qt::QtCanvas& Canvas, QImage& Image) {
        for (std::size_t I = 0; I < InvalidCount; ++I) {
            Canvas.Begin(&Image, Invalid[I]);
            K.PaintTo(Canvas);
            Canvas.End();
        }
        InvalidCount = 0;
    }
};

// ---- The floor: a plain QPainter keyboard ----

/// A straightforward keyboard: 52 white keys filled and outlined with a one-pixel pen, a letter
/// centred near the front of each, then 36 black keys filled and outlined. Vertical swaps x and
/// y of every rectangle.
void PaintFloor(QPainter& P, int Width, int Height, bool Vertical, bool Labels = true) {
    const int Along = Vertical ? Height : Width;
    const int Across = Vertical ? Width : Height;
    const int KW = Along / 52;
    auto Place = [Vertical](int U, int V, int DU, int DV) {
        return Vertical ? QRect(V, U, DV, DU) : QRect(U, V, DU, DV);
    };
    static const char Letters[] = "ABCDEFG";
    P.setPen(QPen(Qt::black, 1));
    QFont Font(QStringLiteral("Arial"));
    Font.setPixelSize(11);
    P.setFont(Font);
    for (int I = 0; I < 52; ++I) {
        const QRect Key = Place(I * KW, 0, KW, Across);
        P.fillRect(Key, Qt::white);
        P.drawRect(Key.adjusted(0, 0, -1, -1));
        if (Labels)
            P.drawText(Place(I * KW, Across - 16, KW, 14), Qt::AlignCenter,
                       QString(QChar(Letters[I % 7])));
    }
    const int Black = KW / 2;
    for (int I = 0; I < 51; ++I) {
        const int Note = I % 7;                // 0 = A
        if (Note == 1 || Note == 4) continue;  // no black key after B and E
        const QRect Key = Place((I + 1) * KW - Black / 2, 0, Black, Across * 4 / 5);
        P.fillRect(Key, Qt::black);
        P.drawRect(Key.adjusted(0, 0, -1, -1));
    }
}

void BM_Floor(benchmark::State& State, int Width, int Height, bool Vertical) {
    const int W = Vertical ? Height : Width, H = Vertical ? Width : Height;
    QImage Image(W, H, QImage::Format_RGB32);
    {
        QPainter P(&Image);
        PaintFloor(P, W, H, Vertical);
    }
    const long long Before = Allocations.load();
    for (auto _ : State) {
        QPainter P(&Image);
        PaintFloor(P, W, H, Vertical);
    }
    ReportAllocations(State, Before);
}

/// The floor without its labels: what its shapes alone cost (for reading the floor, not a
/// target).
void BM_FloorShapesOnly(benchmark::State& State) {
    QImage Image(1920, 240, QImage::Format_RGB32);
    for (auto _ : State) {
        QPainter P(&Image);
        PaintFloor(P, 1920, 240, false, false);
    }
}

/// The floor's repaints of one note on and off: twice the whole painter, clipped to one key.
void BM_FloorTwoClippedPaints(benchmark::State& State) {
    QImage Image(1920, 240, QImage::Format_RGB32);
    const QRect Key(24 * 36, 0, 36, 240);
    const long long Before = Allocations.load();
    for (auto _ : State) {
        for (int Repaint = 0; Repaint < 2; ++Repaint) {
            QPainter P(&Image);
            P.setClipRect(Key);
            PaintFloor(P, 1920, 240, false);
        }
    }
    ReportAllocations(State, Before);
}

// ---- The control on the raster canvas ----

/// One canvas kept painting across passes.
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

/// Begin and End around every pass, as a paint event does with a kept canvas: the figure to set
/// beside the floor, which begins a painter for every paint too.
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

/// A click on D4 (white key 24, in the current octave) through the control's handlers, each of
/// its repaint requests painted clipped to its rectangle.
void BM_PressReleaseWithRepaints(benchmark::State& State) {
    Control C(1920, 240, false);
    QImage Image(1920, 240, QImage::Format_RGB32);
    qt::QtCanvas Canvas;
    Canvas.SetStyle(Fusion());
    const TRect Key = C.K.GetKeyRect(24);
    const int X = (Key.Left + Key.Right) / 2, Y = Key.Bottom - 10;
    auto Click = [&] {
        C.K.MouseDown(mbLeft, TShiftState{ssLeft}, X, Y);
        C.PaintInvalid(Canvas, Image);
        C.K.MouseUp(mbLeft, {}, X, Y);
        C.PaintInvalid(Canvas, Image);
    };
    Click();
    C.Invalid = {};
    C.K.MouseDown(mbLeft, TShiftState{ssLeft}, X, Y);
    C.K.MouseUp(mbLeft, {}, X, Y);
    const std::size_t Repaints = C.InvalidCount;
    C.PaintInvalid(Canvas, Image);
    const long long Before = Allocations.load();
    for (auto _ : State) Click();
    ReportAllocations(State, Before);
    State.counters["repaints"] = static_cast<double>(Repaints);
    State.counters["repaint_px"] = Repaints ? C.Invalid[0].Width() * C.Invalid[0].Height() : 0;
}

/// The same click on a KeymoraWidget: mouse events sent to it, then the event loop until both
/// requested repaints have been painted into the offscreen backing store.
class PaintCounter : public QObject {
  public:
    int Paints = 0;
    bool eventFilter(QObject*, QEvent* E) override {
        if (E->type() == QEvent::Paint) ++Paints;
        return false;
    }
};

void BM_WidgetPressRelease(benchmark::State& State) {
    KeymoraWidget W;
    W.resize(1920, 240);
    W.show();
    W.control().SetBounds(0, 0, 1920, 240);
    QCoreApplication::processEvents();
    W.setFocus();
    QCoreApplication::processEvents();
    PaintCounter Counter;
    W.installEventFilter(&Counter);
    const TRect Key = W.control().GetKeyRect(24);
    const QPointF At((Key.Left + Key.Right) / 2, Key.Bottom - 10);
    auto Send = [&](QEvent::Type Type, Qt::MouseButtons Buttons) {
        QMouseEvent E(Type, At, W.mapToGlobal(At), Qt::LeftButton, Buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(&W, &E);
        const int Target = Counter.Paints + 1;
        while (Counter.Paints < Target) QCoreApplication::processEvents();
    };
    Send(QEvent::MouseButtonPress, Qt::LeftButton);
    Send(QEvent::MouseButtonRelease, Qt::NoButton);
    const long long Before = Allocations.load();
    for (auto _ : State) {
        Send(QEvent::MouseButtonPress, Qt::LeftButton);
        Send(QEvent::MouseButtonRelease, Qt::NoButton);
    }
    ReportAllocations(State, Before);
}

/// Notes lit and unlit by MIDI number on a KeymoraWidget (C4 E4 G4 on, then off), each change
/// painted through the event loop: what an application showing MIDI input does.
void BM_WidgetNotesByNumber(benchmark::State& State) {
    KeymoraWidget W;
    W.resize(1920, 240);
    W.show();
    QCoreApplication::processEvents();
    PaintCounter Counter;
    W.installEventFilter(&Counter);
    auto Settle = [&] {
        const int Target = Counter.Paints + 1;
        while (Counter.Paints < Target) QCoreApplication::processEvents();
    };
    auto Chord = [&](bool On) {
        for (int Note : {60, 64, 67}) On ? W.lightNote(Note) : W.unlightNote(Note);
        Settle();
    };
    Chord(true);
    Chord(false);
    const long long Before = Allocations.load();
    for (auto _ : State) {
        Chord(true);
        Chord(false);
    }
    ReportAllocations(State, Before);
}

/// The application's colour on one key, changed between two colours, painted through the event
/// loop.
void BM_WidgetNoteColour(benchmark::State& State) {
    KeymoraWidget W;
    W.resize(1920, 240);
    W.show();
    QCoreApplication::processEvents();
    PaintCounter Counter;
    W.installEventFilter(&Counter);
    const QColor Colours[] = {QColor(0, 160, 0), QColor(40, 60, 160)};
    int Next = 0;
    auto Change = [&] {
        W.setNoteColor(62, Colours[Next]);
        Next = 1 - Next;
        const int Target = Counter.Paints + 1;
        while (Counter.Paints < Target) QCoreApplication::processEvents();
    };
    Change();
    Change();
    const long long Before = Allocations.load();
    for (auto _ : State) Change();
    ReportAllocations(State, Before);
}

/// A full pass with a dozen keys in the application's colours, three of them lit as well.
void BM_PassWithColours(benchmark::State& State) {
    Control C(1920, 240, false);
    for (int P = 20; P < 32; ++P) C.K.SetKeyColor(P, P % 2 == 0, 0x0000A000 + P);
    for (int Octave : {4, 5}) C.K.SelectNote(static_cast<std::uint8_t>(Octave), 0, 0);
    QImage Image(1920, 240, QImage::Format_RGB32);
    qt::QtCanvas Canvas(&Image);
    Canvas.SetStyle(Fusion());
    C.K.PaintTo(Canvas);
    const long long Before = Allocations.load();
    for (auto _ : State) {
        C.K.PaintTo(Canvas);
        benchmark::ClobberMemory();
    }
    ReportAllocations(State, Before);
}

/// A pointer move with tracking on, alternating between the two duration bands of a key, so
/// that every move changes the duration and repaints the strip (the longest tracking path).
void BM_TrackingMove(benchmark::State& State) {
    Control C(1920, 240, false);
    C.K.SetMouseTrack(true);
    int Y = 230;
    const long long Before = Allocations.load();
    for (auto _ : State) {
        C.K.MouseMove({}, 900, Y);
        Y = Y == 230 ? 100 : 230;
        C.InvalidCount = 0;
    }
    ReportAllocations(State, Before);
}

void BM_CalculateWidth(benchmark::State& State) {
    Control C(1920, 240, false);
    for (auto _ : State) {
        C.K.CalculateWidth();
        benchmark::DoNotOptimize(C.K.KeyWidth());
    }
}

/// The pass on a canvas that draws nothing: the pass's own cost without pixels.
void BM_PassRecording(benchmark::State& State) {
    Control C(1920, 240, false);
    TRecordingCanvas Canvas;
    Canvas.Keep = false;
    Canvas.SetSize(1920, 240);
    C.K.PaintTo(Canvas);
    const long long Before = Allocations.load();
    for (auto _ : State) C.K.PaintTo(Canvas);
    ReportAllocations(State, Before);
    State.counters["calls"] = benchmark::Counter(static_cast<double>(Canvas.CallCount),
                                                 benchmark::Counter::kAvgIterations);
}

// ---- Memory ----

long long HeapInUse() {
    const struct mallinfo2 M = mallinfo2();
    return static_cast<long long>(M.uordblks + M.hblkhd);
}

long long Resident() {
    long Size = 0, Pages = 0;
    if (std::FILE* F = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(F, "%ld %ld", &Size, &Pages) != 2) Pages = 0;
        std::fclose(F);
    }
    return static_cast<long long>(Pages) * sysconf(_SC_PAGESIZE);
}

/// Heap and resident growth per widget over Count widgets of type T, children of a shown
/// window, each shown and painted once; one widget of the kind is made first, so that what all
/// widgets share (style, fonts, caches) is not counted per widget.
template <typename T>
std::pair<double, double> GrowthPerWidget(int Count) {
    QWidget Top;
    Top.resize(800, 600);
    Top.show();
    auto* First = new T(&Top);
    First->setGeometry(0, 0, 200, 60);
    First->show();
    QCoreApplication::processEvents();
    const long long Heap0 = HeapInUse(), Rss0 = Resident();
    for (int I = 0; I < Count; ++I) {
        auto* W = new T(&Top);
        W->setGeometry((I % 4) * 200, 60 + (I / 4) * 20, 200, 60);
        W->show();
    }
    QCoreApplication::processEvents();
    return {static_cast<double>(HeapInUse() - Heap0) / Count,
            static_cast<double>(Resident() - Rss0) / Count};
}

void BM_Memory(benchmark::State& State) {
    std::pair<double, double> Keymora{}, Bare{};
    for (auto _ : State) {
        Bare = GrowthPerWidget<QWidget>(100);
        Keymora = GrowthPerWidget<KeymoraWidget>(100);
    }
    State.counters["TKeymora_bytes"] = sizeof(TKeymora);
    State.counters["KeymoraWidget_bytes"] = sizeof(KeymoraWidget);
    State.counters["QWidget_bytes"] = sizeof(QWidget);
    State.counters["heap_per_widget"] = Keymora.first;
    State.counters["heap_per_bare_qwidget"] = Bare.first;
    State.counters["heap_extra"] = Keymora.first - Bare.first;
    State.counters["rss_per_widget"] = Keymora.second;
    State.counters["rss_per_bare_qwidget"] = Bare.second;
}

BENCHMARK_CAPTURE(BM_Floor, horizontal_800x120, 800, 120, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Floor, vertical_800x120, 800, 120, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Floor, horizontal_1920x240, 1920, 240, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Floor, vertical_1920x240, 1920, 240, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PassWithBegin, horizontal_800x120, 800, 120, false)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PassWithBegin, vertical_800x120, 800, 120, true)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PassWithBegin, horizontal_1920x240, 1920, 240, false)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PassWithBegin, vertical_1920x240, 1920, 240, true)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Pass, horizontal_800x120, 800, 120, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Pass, vertical_800x120, 800, 120, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Pass, horizontal_1920x240, 1920, 240, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Pass, vertical_1920x240, 1920, 240, true)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FloorShapesOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FloorTwoClippedPaints)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PressReleaseWithRepaints)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WidgetPressRelease)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WidgetNotesByNumber)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WidgetNoteColour)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PassWithColours)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TrackingMove)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CalculateWidth);
BENCHMARK(BM_PassRecording)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Memory)->Iterations(1)->Repetitions(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    static int QtArgc = 3;
    static char Arg0[] = "paint_bench";
    static char Arg1[] = "-platform";
    static char Arg2[] = "offscreen";
    static char* QtArgv[] = {Arg0, Arg1, Arg2, nullptr};
    QApplication App(QtArgc, QtArgv);
    FusionStyle.reset(QStyleFactory::create(QStringLiteral("Fusion")));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    FusionStyle.reset();
    return 0;
}
