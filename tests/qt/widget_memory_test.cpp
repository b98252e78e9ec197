// What the keyboard costs in memory: the heap a KeymoraWidget adds beyond a bare QWidget, and no
// heap allocation at all on a warm canvas while clicks and their repaints, full passes and
// tracking moves run. Allocations are counted by wrapping malloc for the whole test program
// (left out under AddressSanitizer, which owns malloc); heap in use is read from mallinfo2.
#include <gtest/gtest.h>
#include <malloc.h>

#include <QtCore/QCoreApplication>
#include <QtGui/QImage>
#include <QtWidgets/QApplication>
#include <QtWidgets/QStyle>
#include <QtWidgets/QWidget>
#include <array>
#include <atomic>
#include <cstddef>
#include <memory>
#include <string>

#include "keymora/headless/headless_window.h"
#include "keymora/qt/keymora_widget.h"
#include "bindings/qt/qt_canvas.h"
#include "keymora/model/keymora.h"
#include "support/malloc_counter.h"
#include "widget_support.h"

using keymora::test::Allocations;

namespace keymora::qt {
namespace {

using test::EnsureApplication;

long long HeapInUse() {
    const struct mallinfo2 M = mallinfo2();
    return static_cast<long long>(M.uordblks + M.hblkhd);
}

/// Heap growth per widget over Count widgets of type T, each shown and painted in a shown
/// window. One widget of the kind comes first, so that what all of them share (style, fonts,
/// the keyboard's one canvas) is not counted per widget.
template <typename T>
double HeapPerWidget(int Count) {
    QWidget Top;
    Top.resize(800, 600);
    Top.show();
    (new T(&Top))->setGeometry(0, 0, 200, 60);
    QCoreApplication::processEvents();
    const long long Before = HeapInUse();
    for (int I = 0; I < Count; ++I) {
        auto* W = new T(&Top);
        W->setGeometry((I % 4) * 200, 60 + (I / 4) * 20, 200, 60);
        W->show();
    }
    QCoreApplication::processEvents();
    return static_cast<double>(HeapInUse() - Before) / Count;
}

TEST(WidgetMemory, AKeyboardCostsAtMostFourKiBOfHeapBeyondABareWidget) {
    EnsureApplication();
    const double Bare = HeapPerWidget<QWidget>(100);
    const double Keyboard = HeapPerWidget<KeymoraWidget>(100);
    EXPECT_LE(Keyboard - Bare, 4096.0) << "bare " << Bare << " B, keyboard " << Keyboard << " B";
}

struct AllocCase {
    const char* Name;
    bool Vertical;
    bool Themed;
    std::uint8_t Style;
};

class PaintAllocations : public testing::TestWithParam<AllocCase> {
  protected:
    static void SetUpTestSuite() { EnsureApplication(); }
};

// A control of 1000 x 120 on a headless window that keeps no records but hands its repaint
// rectangles to a fixed list, painted like a widget paints them: one clipped pass each.
TEST_P(PaintAllocations, ClicksRepaintsPassesAndMovesAllocateNothing) {
    if (!KEYMORA_COUNT_MALLOC) GTEST_SKIP() << "malloc belongs to the sanitizer";
    const AllocCase& C = GetParam();
    TKeymora K;
    THeadlessForm Form;
    K.SetParent(&Form);
    THeadlessWindow Window(K);
    Window.Keep = false;
    std::array<TRect, 32> Invalid{};
    std::size_t Count = 0;
    Window.OnRecord = [&](const THostRecord& R) {
        if (Count < Invalid.size())
            Invalid[Count++] = R.Kind == THostRecord::TKind::InvalidateRect ? R.Rect : TRect{};
    };
    K.SetBounds(0, 0, C.Vertical ? 120 : 1000, C.Vertical ? 1000 : 120);
    if (C.Vertical) K.SetOrientation(koVertical);
    K.SetStyle(TMusicStyles::FromBits(C.Style));
    K.SetMouseTrack(true);
    Window.GiveFocus();
    QImage Image(K.ClientWidth(), K.ClientHeight(), QImage::Format_RGB32);
    QtCanvas Canvas;
    Canvas.SetStyle(C.Themed ? QApplication::style() : nullptr);

    // Begin and End are Qt's own cost (QPainter::begin sets up its engine state); the count
    // covers the control's steps and its passes between them.
    long long Counted = 0;
    auto Count_ = [&](auto&& Step) {
        const long long Before = Allocations.load();
        Step();
        Counted += Allocations.load() - Before;
    };
    auto Repaint = [&] {
        for (std::size_t I = 0; I < Count; ++I) {
            const bool Whole = Invalid[I].IsEmpty();
            if (Whole ? !Canvas.Begin(&Image) : !Canvas.Begin(&Image, Invalid[I])) continue;
            Count_([&] { K.PaintTo(Canvas); });
            Canvas.End();
        }
        Count = 0;
    };
    // A frame point: u along the keys, v across them.
    auto At = [&](auto&& Step, int U, int V) {
        Count_([&] { C.Vertical ? Step(V, U) : Step(U, V); });
        Repaint();
    };
    auto Down = [&](int X, int Y) { K.MouseDown(mbLeft, TShiftState{ssLeft}, X, Y); };
    auto Up = [&](int X, int Y) { K.MouseUp(mbLeft, {}, X, Y); };
    auto Move = [&](int X, int Y) { K.MouseMove({}, X, Y); };
    // White keys in two octaves, a black key and a zone button clicked, moves over the duration
    // bands, a PC key played and a full pass, each step followed by its repaints.
    auto Session = [&] {
        // The application's colours on a white and a black key, painted, then taken away.
        Count_([&] {
            K.SetKeyColor(23, false, 0x0000A000);
            K.SetKeyColor(23, true, 0x00802020);
        });
        Repaint();
        for (const auto& [U, V] :
             {std::pair{300, 110}, std::pair{700, 110}, std::pair{310, 30}, std::pair{8, 10}}) {
            At(Down, U, V);
            At(Up, U, V);
        }
        for (int V : {110, 60, 20, 110}) At(Move, 500, V);
        std::uint16_t Key = 'D';
        Count_([&] { K.KeyDown(Key, {}); });
        Repaint();
        Key = 'D';
        Count_([&] { K.KeyUp(Key, {}); });
        Repaint();
        Canvas.Begin(&Image);
        Count_([&] { K.PaintTo(Canvas); });
        Canvas.End();
        Count_([&] { K.ClearKeyColors(); });
        Repaint();
    };
    // The labels a binding may add are drawn in one of the scenes.
    K.SetNoteNames(C.Style == 0x03);
    K.SetScientificOctaves(C.Style == 0x03);
    Session();  // fills the canvas's font, pen and face tables
    Counted = 0;
    for (int Round = 0; Round < 3; ++Round) Session();
    EXPECT_EQ(Counted, 0);
}

INSTANTIATE_TEST_SUITE_P(Scenes, PaintAllocations,
                         testing::Values(AllocCase{"AllStylesThemed", false, true, 0x0F},
                                         AllocCase{"AllStylesClassicVertical", true, false, 0x0F},
                                         AllocCase{"NoStyleThemedVertical", true, true, 0x00},
                                         AllocCase{"MarksAndColoursClassic", false, false, 0x03}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

// On a scaled screen too: after a first round at the ratio, a full pass and repaints clipped
// through a button face, through the octave numbers and through the letters and duration labels
// allocate nothing (faces kept at device resolution, text across the clip through the scratch).
class ScaledPaintAllocations : public testing::TestWithParam<double> {
  protected:
    static void SetUpTestSuite() { EnsureApplication(); }
};

TEST_P(ScaledPaintAllocations, FullPassAndClippedRepaintsAllocateNothing) {
    if (!KEYMORA_COUNT_MALLOC) GTEST_SKIP() << "malloc belongs to the sanitizer";
    const double Ratio = GetParam();
    TKeymora K;
    THeadlessForm Form;
    K.SetParent(&Form);
    THeadlessWindow Window(K);
    Window.Keep = false;
    K.SetBounds(0, 0, 601, 101);
    K.SetStyle(TMusicStyles::FromBits(0x0F));
    Window.GiveFocus();
    QImage Image(qRound(601 * Ratio), qRound(101 * Ratio), QImage::Format_RGB32);
    Image.setDevicePixelRatio(Ratio);
    QtCanvas Canvas;
    Canvas.SetStyle(QApplication::style());
    const TRect B = K.Layout().ZoneButton(TZoneButton::MoreOctaves);
    const std::array<TRect, 4> Clips{TRect{0, 0, 601, 101},
                                     TRect{B.Left + 3, B.Top + 1, B.Right - 4, B.Bottom - 5},
                                     TRect{0, 0, 601, 7}, TRect{1, 89, 600, 101}};
    auto Pass = [&](const TRect& Clip) {
        long long Counted = -1;
        if (!Canvas.Begin(&Image, Clip)) return Counted;
        const long long Before = Allocations.load();
        K.PaintTo(Canvas);
        Counted = Allocations.load() - Before;
        Canvas.End();
        return Counted;
    };
    for (const TRect& Clip : Clips) Pass(Clip);
    for (const TRect& Clip : Clips)
        EXPECT_EQ(Pass(Clip), 0) << "clip [" << Clip.Left << ", " << Clip.Top << ", " << Clip.Right
                                 << ", " << Clip.Bottom << ")";
}

INSTANTIATE_TEST_SUITE_P(Ratios, ScaledPaintAllocations, testing::Values(2.0, 1.25),
                         [](const auto& Info) {
                             return Info.param == 2.0 ? "Two" : "OneAndAQuarter";
                         });

}  // namespace
}  // namespace keymora::qt
