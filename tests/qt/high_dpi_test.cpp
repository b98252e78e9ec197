// The control on scaled screens: pictures painted at device pixel ratios 1, 1.25, 1.5, 2 and 3,
// probed pixel by pixel, and the mapping of pointer positions to client pixels. A painter scaled
// by r puts client edge x on device edge round(x * r) (halves up), so device pixel d shows the
// client pixel x with round(x * r) <= d < round((x + 1) * r). The 800 x 120 layout: 35 keys of 21
// pixels from u = 16, key band [16, 752), setting strip [768, 798).
#include <gtest/gtest.h>

#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>
#include <QtWidgets/QApplication>
#include <QtWidgets/QStyle>
#include <QtWidgets/QStyleOption>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "keymora/headless/headless_window.h"
#include "keymora/qt/image.h"
#include "bindings/qt/qt_canvas.h"
#include "keymora/model/keymora.h"
#include "widget_support.h"

namespace keymora::qt {
namespace {

using keymora::test::EnsureApplication;

struct Scene {
    TKeymora K;
    THeadlessForm Form;
    std::unique_ptr<THeadlessWindow> Window;

    Scene(bool Vertical, TMusicStyles Style) {
        K.SetParent(&Form);
        Window = std::make_unique<THeadlessWindow>(K);
        K.SetBounds(0, 0, Vertical ? 120 : 800, Vertical ? 800 : 120);
        if (Vertical) K.SetOrientation(koVertical);
        K.SetStyle(Style);
        Window->GiveFocus();
        // Every kind of key face: selected and pressed, white and black.
        K.SelectNote(4, 0, 0);
        K.SelectNote(4, 0, 1);
        K.SelectNote(4, 3, 1);
        K.MouseDown(mbLeft, TShiftState{ssLeft}, Vertical ? 110 : 16 + 25 * 21 + 10,
                    Vertical ? 16 + 25 * 21 + 10 : 110);
    }
};

struct RatioCase {
    double Ratio;
    bool Vertical;
};

class Scaled : public ::testing::TestWithParam<RatioCase> {
  protected:
    static void SetUpTestSuite() { EnsureApplication(); }
};

// Across the whole key band every device pixel is exactly the client pixel it stands for: key
// edges fall on whole device pixels, nothing is blended, and the pixel under a pointer
// (LogicalPixel) is the one drawn there, which is the one the control hit-tests.
TEST_P(Scaled, KeyBandIsTheClientPictureMagnified) {
    const auto [R, Vertical] = GetParam();
    Scene S(Vertical, TMusicStyles{msScrollOctave, msScrollDuration, msColorOctave});
    const QImage One = PaintToImage(S.K);
    const QImage Big = PaintToImage(S.K, R);
    ASSERT_EQ(Big.size(), QSize(qRound(One.width() * R), qRound(One.height() * R)));
    int Checked = 0;
    int Wrong = 0;
    for (int DY = 0; DY < Big.height(); ++DY) {
        for (int DX = 0; DX < Big.width(); ++DX) {
            const int X = LogicalPixel(DX / R, R);
            const int Y = LogicalPixel(DY / R, R);
            const int U = Vertical ? Y : X;
            if (U < 16 || U >= 752) continue;  // the key band only: faces are the style's
            ++Checked;
            if (Big.pixel(DX, DY) != One.pixel(X, Y) && ++Wrong <= 5)
                ADD_FAILURE() << "device (" << DX << ", " << DY << ") is not client (" << X << ", "
                              << Y << ")";
        }
    }
    EXPECT_EQ(Wrong, 0);
    EXPECT_EQ(Checked, (qRound(752 * R) - qRound(16 * R)) * qRound(120 * R));
}

// Letters are drawn at the screen's scale, in two colours only: no blending on the keys.
TEST_P(Scaled, MarksScaleWithTheScreen) {
    // Not a structured binding: clang before 16 cannot capture one in the lambda below.
    const double R = GetParam().Ratio;
    const bool Vertical = GetParam().Vertical;
    Scene S(Vertical, TMusicStyles{msShowMarks, msScrollOctave, msScrollDuration});
    S.K.MouseUp(mbLeft, TShiftState{}, 0, 0);
    const QImage One = PaintToImage(S.K);
    const QImage Big = PaintToImage(S.K, R);
    // The marks band of C4 (white key 23, u [499, 520)), whose letter is maroon while focused.
    const QRgb Maroon = qRgb(0x80, 0, 0);
    const QRgb White = qRgb(0xFF, 0xFF, 0xFF);
    auto InkHeight = [&](const QImage& I, double Scale, std::set<QRgb>& Colours) {
        // Inside the key's edges and above its front edge lines.
        const QRect Band = Vertical ? QRect(qRound(104 * Scale), qRound(500 * Scale),
                                            qRound(14 * Scale), qRound(19 * Scale))
                                    : QRect(qRound(500 * Scale), qRound(102 * Scale),
                                            qRound(19 * Scale), qRound(16 * Scale));
        int Top = 1 << 20;
        int Bottom = -1;
        int Left = 1 << 20;
        int Right = -1;
        for (int Y = Band.top(); Y <= Band.bottom(); ++Y)
            for (int X = Band.left(); X <= Band.right(); ++X) {
                Colours.insert(I.pixel(X, Y));
                if (I.pixel(X, Y) != Maroon) continue;
                Top = std::min(Top, Y);
                Bottom = std::max(Bottom, Y);
                Left = std::min(Left, X);
                Right = std::max(Right, X);
            }
        return std::pair{Bottom - Top + 1, Right - Left + 1};
    };
    std::set<QRgb> ColoursOne;
    std::set<QRgb> ColoursBig;
    const auto [H1, W1] = InkHeight(One, 1, ColoursOne);
    const auto [HR, WR] = InkHeight(Big, R, ColoursBig);
    ASSERT_GT(H1, 4);
    EXPECT_NEAR(HR, H1 * R, R + 1) << "height at ratio 1: " << H1;
    EXPECT_NEAR(WR, W1 * R, R + 1) << "width at ratio 1: " << W1;
    EXPECT_EQ(ColoursBig, (std::set<QRgb>{Maroon, White}));
}

INSTANTIATE_TEST_SUITE_P(Ratios, Scaled,
                         ::testing::Values(RatioCase{1, false}, RatioCase{1.25, false},
                                           RatioCase{1.5, false}, RatioCase{2, false},
                                           RatioCase{3, false}, RatioCase{1.25, true},
                                           RatioCase{2, true}, RatioCase{3, true}),
                         [](const auto& Info) {
                             std::string Name = std::to_string(Info.param.Ratio);
                             Name = Name.substr(0, Name.find_last_not_of('0') + 1);
                             for (char& C : Name)
                                 if (C == '.') C = '_';
                             return (Info.param.Vertical ? "Vertical" : "Horizontal") + Name;
                         });

// The client pixel under a pointer, worked out from the device edges round(x * r).
TEST(HighDpi, PointerPositionsMapToTheDrawnPixel) {
    struct Case {
        double Pos;  // client units, as Qt reports a device pixel's position
        double Ratio;
        int Pixel;
    };
    for (const Case& C : {
             Case{13.7, 1, 13},        // inside pixel 13, not rounded to 14
             Case{-0.5, 1, -1},        // a captured pointer left of the widget
             Case{1.5, 2, 1},          // device pixel 3 shows client pixel 1
             Case{12.8, 1.25, 13},     // device 16: round(13 * 1.25) = 16
             Case{13.6, 1.25, 13},     // device 17: round(14 * 1.25) = 18 is beyond
             Case{14.4, 1.25, 14},     // device 18
             Case{2.0 / 1.5, 1.5, 1},  // device 2: round(1.5) = 2
             Case{1.0 / 1.5, 1.5, 0},  // device 1
             Case{5.0 / 3, 3, 1},      // device 5
         })
        EXPECT_EQ(LogicalPixel(C.Pos, C.Ratio), C.Pixel) << C.Pos << " at " << C.Ratio;
}

// A canvas on a scaled image works in client units: its clip is the client area.
TEST(HighDpi, CanvasOnAScaledImageClipsToTheClientArea) {
    EnsureApplication();
    QImage Image(1600, 240, QImage::Format_RGB32);
    Image.setDevicePixelRatio(2);
    QtCanvas Canvas(&Image);
    EXPECT_EQ(Canvas.ClipRect(), (TRect{0, 0, 800, 120}));
}

// The widget hands the control the pixel under the pointer; a fractional position between two
// keys plays the key it lies on. (x 376.6 lies in pixel 376, the last one of C4; 377 is D4.)
TEST(HighDpi, WidgetPlaysTheKeyUnderAFractionalPosition) {
    EnsureApplication();
    KeymoraWidget W;
    W.resize(600, 100);
    W.ensurePolished();
    keymora::test::Recorder R(W);
    const QPointF P(376.6, 90);
    QMouseEvent Press(QEvent::MouseButtonPress, P, W.mapToGlobal(P), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent Release(QEvent::MouseButtonRelease, P, W.mapToGlobal(P), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&W, &Press);
    QCoreApplication::sendEvent(&W, &Release);
    EXPECT_EQ(R.Log, (std::vector<std::string>{"mousedown 0 left 376 90", "mouseup 0 - 376 90",
                                               "keyClick 5 1 0"}));
    // The widget's own paint on a scaled device is the control's picture at that ratio. (The
    // cut corners of the keys are left as they were, so both start from the control's colour.)
    QImage Image(1200, 200, QImage::Format_RGB32);
    Image.setDevicePixelRatio(2);
    Image.fill(Qt::white);
    W.render(&Image);
    EXPECT_EQ(Image, PaintToImage(W.control(), 2));
}

// A repaint clipped through a button face, through the octave numbers or through the letters
// gives, in the device pixels of its rectangle [round(l * r), round(r' * r)), exactly the full
// pass, and leaves every other pixel as it was. The rectangles start on odd client pixels, so at
// 1.25 faces and text land on quarter device pixels.
TEST(HighDpi, ClippedRepaintsThroughFacesAndLabelsMatchTheFullPass) {
    EnsureApplication();
    constexpr QRgb Unpainted = 0xFFFF00FF;
    for (const double R : {2.0, 1.25}) {
        Scene S(false, TMusicStyles{msShowMarks, msScrollOctave, msScrollDuration, msColorOctave});
        auto Paint = [&](const TRect* Clip) {
            QImage Image(qRound(800 * R), qRound(120 * R), QImage::Format_RGB32);
            Image.setDevicePixelRatio(R);
            Image.fill(Unpainted);
            QtCanvas Canvas;
            Canvas.SetStyle(QApplication::style());
            if (Clip ? Canvas.Begin(&Image, *Clip) : Canvas.Begin(&Image)) S.K.PaintTo(Canvas);
            Canvas.End();
            return Image;
        };
        const QImage Full = Paint(nullptr);
        const TRect B = S.K.Layout().ZoneButton(TZoneButton::MoreOctaves);
        const TRect A = S.K.Layout().ZoneButton(TZoneButton::OctaveUp);
        for (const TRect& Clip : {TRect{B.Left + 3, B.Top + 1, B.Right - 4, B.Bottom - 5},
                                  TRect{A.Left + 1, A.Top + 5, A.Right - 1, A.Bottom - 3},
                                  TRect{3, 5, 797, 9}, TRect{301, 109, 599, 115}}) {
            const QImage Part = Paint(&Clip);
            const QRect In(qRound(Clip.Left * R), qRound(Clip.Top * R),
                           qRound(Clip.Right * R) - qRound(Clip.Left * R),
                           qRound(Clip.Bottom * R) - qRound(Clip.Top * R));
            int Wrong = 0;
            for (int Y = 0; Y < Full.height(); ++Y)
                for (int X = 0; X < Full.width(); ++X) {
                    const bool Inside = In.contains(X, Y);
                    if (Part.pixel(X, Y) != (Inside ? Full.pixel(X, Y) : Unpainted) && ++Wrong <= 3)
                        ADD_FAILURE() << "ratio " << R << ", clip [" << Clip.Left << ", "
                                      << Clip.Top << ", " << Clip.Right << ", " << Clip.Bottom
                                      << "): device (" << X << ", " << Y << ")";
                }
            EXPECT_EQ(Wrong, 0);
        }
    }
}

// A themed face on a scaled image is the style's own push button drawn there at the device's
// resolution, wherever it lies on the device's grid and however it is clipped: the same as the
// style drawing in place through a clip of the visible rectangle.
TEST(HighDpi, FacesAreTheStylesButtonsAtTheDevicesResolution) {
    EnsureApplication();
    struct Case {
        double Ratio;
        TRect Face;
        TRect Clip;
    };
    for (const Case& C :
         {Case{2, {13, 7, 42, 31}, {0, 0, 60, 40}}, Case{2, {13, 7, 42, 31}, {20, 9, 37, 40}},
          Case{1.25, {13, 7, 42, 31}, {0, 0, 60, 40}},  // device x 16.25
          Case{1.25, {14, 6, 43, 30}, {17, 11, 31, 26}}, Case{1.5, {1, 3, 30, 27}, {2, 0, 60, 24}},
          Case{3, {5, 2, 34, 26}, {0, 0, 60, 40}}}) {
        auto Blank = [&] {
            QImage I(qRound(60 * C.Ratio), qRound(40 * C.Ratio), QImage::Format_RGB32);
            I.setDevicePixelRatio(C.Ratio);
            I.fill(Qt::white);
            return I;
        };
        QImage Drawn = Blank();
        QtCanvas Canvas;
        Canvas.SetStyle(QApplication::style());
        for (int Pass = 0; Pass < 2; ++Pass) {  // the second one from the kept face
            Drawn = Blank();
            Canvas.Begin(&Drawn, C.Clip);
            Canvas.DrawElement(TThemedElement::tbPushButtonNormal, C.Face);
            Canvas.End();
        }
        QImage Style = Blank();
        {
            QPainter P(&Style);
            P.setClipRect(QRect(C.Clip.Left, C.Clip.Top, C.Clip.Width(), C.Clip.Height()));
            P.translate(C.Face.Left, C.Face.Top);
            QStyleOptionButton Opt;
            Opt.rect = QRect(0, 0, C.Face.Width(), C.Face.Height());
            Opt.state = QStyle::State_Enabled | QStyle::State_Active | QStyle::State_Raised;
            Opt.palette = QPalette();
            QApplication::style()->drawControl(QStyle::CE_PushButtonBevel, &Opt, &P, nullptr);
        }
        EXPECT_EQ(Drawn, Style) << "ratio " << C.Ratio << ", face at (" << C.Face.Left << ", "
                                << C.Face.Top << "), clip [" << C.Clip.Left << ", " << C.Clip.Top
                                << ", " << C.Clip.Right << ", " << C.Clip.Bottom << ")";
    }
}

}  // namespace
}  // namespace keymora::qt
