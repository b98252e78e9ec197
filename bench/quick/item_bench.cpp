// KeymoraItem beside KeymoraWidget on the offscreen platform, measured in the same run: a full
// repaint at 1920 x 240 in both orientations (the widget's paintEvent into its backing store by
// repaint(); the item's paint() into an image of the node's size, as the scene graph calls it),
// and a note on and off by a mouse press and release sent to the widget and to the item's
// QQuickWindow, alone and with the repaint of the key. Heap allocations are counted per
// iteration by wrapping malloc.
#include <benchmark/benchmark.h>

#include <QtCore/QCoreApplication>
#include <QtGui/QImage>
#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>
#include <QtQuick/QQuickWindow>
#include <QtWidgets/QApplication>
#include <memory>

#include "keymora/qt/keymora_widget.h"
#include "keymora/quick/keymora_item.h"
#include "support/malloc_counter.h"

using keymora::test::Allocations;
constexpr bool Counting = KEYMORA_COUNT_MALLOC != 0;

namespace {

void ReportAllocations(benchmark::State& State, long long Before) {
    if (!Counting) return;
    State.counters["allocs"] = benchmark::Counter(static_cast<double>(Allocations.load() - Before),
                                                  benchmark::Counter::kAvgIterations);
}

constexpr int Long = 1920;
constexpr int Short = 240;

std::unique_ptr<KeymoraWidget> ShownWidget(bool Vertical) {
    auto W = std::make_unique<KeymoraWidget>();
    W->resize(Vertical ? Short : Long, Vertical ? Long : Short);
    if (Vertical) W->setOrientation(KeymoraWidget::koVertical);
    W->show();
    QCoreApplication::processEvents();
    return W;
}

struct ShownItem {
    QQuickWindow Window;
    KeymoraItem* Item;
    explicit ShownItem(bool Vertical) {
        Window.resize(Vertical ? Short : Long, Vertical ? Long : Short);
        Item = new KeymoraItem(Window.contentItem());
        Item->setSize(QSizeF(Window.width(), Window.height()));
        if (Vertical) Item->setOrientation(KeymoraItem::koVertical);
        Window.show();
        QCoreApplication::processEvents();
    }
};

void BM_WidgetFullRepaint(benchmark::State& State, bool Vertical) {
    auto W = ShownWidget(Vertical);
    W->repaint();
    const long long Before = Allocations.load();
    for (auto _ : State) W->repaint();
    ReportAllocations(State, Before);
}

void BM_ItemFullRepaint(benchmark::State& State, bool Vertical) {
    ShownItem S(Vertical);
    QImage Node(S.Window.size(), QImage::Format_RGB32);
    auto Paint = [&] {
        QPainter P(&Node);
        S.Item->paint(&P);
    };
    Paint();
    const long long Before = Allocations.load();
    for (auto _ : State) Paint();
    ReportAllocations(State, Before);
}

template <class Target>
void PressRelease(Target* T, QPointF At) {
    QMouseEvent Down(QEvent::MouseButtonPress, At, At, At, Qt::LeftButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(T, &Down);
    QMouseEvent Up(QEvent::MouseButtonRelease, At, At, At, Qt::LeftButton, Qt::NoButton,
                   Qt::NoModifier);
    QCoreApplication::sendEvent(T, &Up);
}

void BM_WidgetNoteOnOff(benchmark::State& State, bool Painted) {
    auto W = ShownWidget(false);
    const QRect Key = W->noteRect(60);
    const QPointF At(Key.center().x(), Key.bottom() - 10);
    auto Once = [&] {
        PressRelease(W.get(), At);
        if (Painted) W->repaint(Key);
    };
    Once();
    const long long Before = Allocations.load();
    for (auto _ : State) Once();
    ReportAllocations(State, Before);
}

void BM_ItemNoteOnOff(benchmark::State& State, bool Painted) {
    ShownItem S(false);
    const QRect Key = S.Item->noteRect(60);
    const QPointF At(Key.center().x(), Key.bottom() - 10);
    QImage Node(S.Window.size(), QImage::Format_RGB32);
    auto Once = [&] {
        PressRelease(&S.Window, At);
        if (Painted) {
            QPainter P(&Node);
            P.setClipRect(Key);
            S.Item->paint(&P);
        }
    };
    Once();
    const long long Before = Allocations.load();
    for (auto _ : State) Once();
    ReportAllocations(State, Before);
}

BENCHMARK_CAPTURE(BM_WidgetFullRepaint, horizontal_1920x240, false)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ItemFullRepaint, horizontal_1920x240, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_WidgetFullRepaint, vertical_1920x240, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ItemFullRepaint, vertical_1920x240, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_WidgetNoteOnOff, input, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ItemNoteOnOff, input, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_WidgetNoteOnOff, painted, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ItemNoteOnOff, painted, true)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    static int QtArgc = 3;
    static char Arg0[] = "item_bench";
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
