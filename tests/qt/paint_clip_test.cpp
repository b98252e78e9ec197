// A pass painted through a clip rectangle leaves out the keys, marks and faces that lie wholly
// outside it, and must give exactly the pixels of the full pass inside the rectangle and nothing
// outside it. Checked for every white and black key, the marks band, the setting strip, each
// zone button and seeded random rectangles, in both orientations, scrolled and not, with themed
// and classic faces; and on the recording canvas, that a one-key clip really skips most calls.
#include <gtest/gtest.h>

#include <QtCore/QCoreApplication>
#include <QtGui/QImage>
#include <QtWidgets/QApplication>
#include <QtWidgets/QStyle>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "keymora/headless/headless_window.h"
#include "keymora/headless/recording_canvas.h"
#include "bindings/qt/qt_canvas.h"
#include "keymora/model/keymora.h"
#include "widget_support.h"

namespace keymora::qt {
namespace {

constexpr QRgb Unpainted = 0xFFFF00FF;

using test::EnsureApplication;

struct ClipCase {
    const char* Name;
    bool Vertical;
    int Offset;  // OffsetOctave; 600 x 100 shows 35 keys of 15, so offsets up to 4 scroll
    bool Themed;
    bool Pressed;      // a white and a black key selected, a black key held down
    int Length = 600;  // along the keys
    int Across = 100;
};

/// A focused control 100 pixels across with every style on.
struct Scene {
    TKeymora K;
    THeadlessForm Form;
    std::unique_ptr<THeadlessWindow> Window;

    explicit Scene(const ClipCase& C) {
        K.SetParent(&Form);
        Window = std::make_unique<THeadlessWindow>(K);
        K.SetBounds(0, 0, C.Vertical ? C.Across : C.Length, C.Vertical ? C.Length : C.Across);
        if (C.Vertical) K.SetOrientation(koVertical);
        Window->GiveFocus();
        if (C.Pressed) {
            K.SelectNote(4, 2, 0);
            K.SelectNote(4, 3, 1);
            const TRect Key = K.GetToneRect(25);
            K.MouseDown(mbLeft, TShiftState{ssLeft}, (Key.Left + Key.Right) / 2,
                        (Key.Top + Key.Bottom) / 2);
        }
        // After the press, which may scroll its octave into view.
        K.SetOffsetOctave(C.Offset);
    }

    /// The rectangle of the control's own repaint request made by Request.
    template <typename F>
    TRect Requested(F Request) {
        Window->Records.clear();
        Request();
        for (const THostRecord& R : Window->Records)
            if (R.Kind == THostRecord::TKind::InvalidateRect) return R.Rect;
        return {};
    }

    std::vector<std::pair<std::string, TRect>> Rectangles() {
        std::vector<std::pair<std::string, TRect>> All;
        for (int I = 0; I < 52; ++I) All.emplace_back("key " + std::to_string(I), K.GetKeyRect(I));
        for (int I = 0; I < 51; ++I)
            All.emplace_back("black key " + std::to_string(I), K.GetToneRect(I));
        All.emplace_back("marks band", Requested([this] { K.InvalidateOctave(); }));
        All.emplace_back("strip", Requested([this] { K.InvalidateSetting(); }));
        All.emplace_back("key area", K.Layout().KeyArea());
        for (TZoneButton B :
             {TZoneButton::OctaveDown, TZoneButton::MoreOctaves, TZoneButton::FewerOctaves,
              TZoneButton::OctaveUp, TZoneButton::MoreDurations, TZoneButton::FewerDurations})
            All.emplace_back("zone button " + std::to_string(static_cast<int>(B)),
                             K.Layout().ZoneButton(B));
        std::mt19937 Random(20261208);
        const int W = K.ClientWidth(), H = K.ClientHeight();
        for (int I = 0; I < 40; ++I) {
            std::uniform_int_distribution<int> X(-10, W + 10), Y(-10, H + 10), Size(1, 80);
            const int L = X(Random), T = Y(Random);
            // Thin slivers too: one pixel along either axis.
            const int DX = I % 5 == 0 ? 1 : Size(Random), DY = I % 7 == 0 ? 1 : Size(Random);
            All.emplace_back("random " + std::to_string(I), TRect{L, T, L + DX, T + DY});
        }
        return All;
    }

    QImage Paint(QStyle* Style, const TRect* Clip) {
        QImage Image(K.ClientWidth(), K.ClientHeight(), QImage::Format_RGB32);
        Image.fill(Unpainted);
        QtCanvas Canvas;
        Canvas.SetStyle(Style);
        if (Clip)
            Canvas.Begin(&Image, *Clip);
        else
            Canvas.Begin(&Image);
        K.PaintTo(Canvas);
        Canvas.End();
        return Image;
    }
};

class ClipTest : public testing::TestWithParam<ClipCase> {
  protected:
    static void SetUpTestSuite() { EnsureApplication(); }
};

TEST_P(ClipTest, ClippedPassEqualsTheFullPassInsideAndPaintsNothingOutside) {
    Scene S(GetParam());
    QStyle* Style = GetParam().Themed ? QApplication::style() : nullptr;
    const QImage Full = S.Paint(Style, nullptr);
    for (const auto& [What, R] : S.Rectangles()) {
        const QImage Clipped = S.Paint(Style, &R);
        int Wrong = 0;
        QString First;
        for (int Y = 0; Y < Full.height() && Wrong < 1; ++Y) {
            const auto* A = reinterpret_cast<const QRgb*>(Full.constScanLine(Y));
            const auto* B = reinterpret_cast<const QRgb*>(Clipped.constScanLine(Y));
            for (int X = 0; X < Full.width(); ++X) {
                const bool Inside = X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom;
                if (B[X] == (Inside ? A[X] : Unpainted)) continue;
                ++Wrong;
                First = QStringLiteral("(%1, %2): %3 instead of %4")
                            .arg(X)
                            .arg(Y)
                            .arg(B[X], 8, 16)
                            .arg(Inside ? A[X] : Unpainted, 8, 16);
                break;
            }
        }
        EXPECT_EQ(Wrong, 0) << What << " [" << R.Left << ", " << R.Top << ", " << R.Right << ", "
                            << R.Bottom << "): first wrong pixel " << First.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Scenes, ClipTest,
    testing::Values(ClipCase{"Horizontal", false, 0, true, false},
                    ClipCase{"HorizontalScrolled", false, 2, true, true},
                    ClipCase{"HorizontalScrolledToTheEnd", false, 4, false, false},
                    ClipCase{"Vertical", true, 0, false, true},
                    ClipCase{"VerticalScrolled", true, 3, true, false},
                    // Keys of 4 pixels: letters, numbers and labels stand out of their keys.
                    ClipCase{"NarrowKeys", false, 1, true, false, 230},
                    ClipCase{"NarrowKeysVertical", true, 1, false, false, 230},
                    // Too short for its keys: KeyWidth 0, every key a line, letters on top.
                    ClipCase{"TooShortForItsKeys", false, 0, true, false, 60},
                    // Zone faces longer than the kept ones (16 x 1168): drawn in place, and the
                    // same whatever part of them a repaint covers.
                    ClipCase{"FacesTooLongToKeep", false, 0, true, false, 600, 1200}),
    [](const auto& Info) { return std::string(Info.param.Name); });

// The skipping itself, counted on the recording canvas: a clip of one key in the middle leaves
// the pass a handful of steps; an empty clip leaves it only the setup around the keys.
TEST(ClipSkipping, OneKeyClipDrawsAFewStepsOnly) {
    TKeymora K;
    THeadlessForm Form;
    K.SetParent(&Form);
    THeadlessWindow Window(K);
    K.SetBounds(0, 0, 1920, 240);
    auto Calls = [&K](const TRect& Clip) {
        TRecordingCanvas Canvas;
        Canvas.Keep = false;
        Canvas.Clipping = true;
        Canvas.SetSize(1920, 240);
        Canvas.IntersectClipRect(Clip);
        const long long Before = Canvas.CallCount;
        K.PaintTo(Canvas);
        return Canvas.CallCount - Before;
    };
    const long long Full = Calls({0, 0, 1920, 240});
    const long long OneKey = Calls(K.GetKeyRect(24));
    const long long None = Calls({0, 0, 0, 0});
    EXPECT_GT(Full, 300);
    EXPECT_LT(OneKey, Full / 5);
    EXPECT_LT(None, 20);
}

}  // namespace
}  // namespace keymora::qt
