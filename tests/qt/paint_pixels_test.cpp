// Full paint passes on the raster canvas, probed pixel by pixel. Every expected colour and
// position is worked out by hand from the layout of an 800 x 120 control (and its 120 x 800
// vertical twin), default style unless a scene says otherwise:
//   VisibleKeyCount = min(63 - 7 * 4, 52) = 35; RealWidth = (738 div 35) * 35 + 1 + 30 + 32 = 798;
//   KeyWidth = 736 div 35 = 21; white key i starts at u = 16 + 21 i; black keys are centred on
//   the boundaries q = 16 + 21 (i + 1), half width h = 21 div 4 = 5, length B = 4 * 120 div 5 = 96.
// Probes are given as (u along the keys, v across them) and checked in both orientations.
#include <gtest/gtest.h>

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtGui/QImage>
#include <QtWidgets/QApplication>
#include <QtWidgets/QStyle>
#include <memory>
#include <string>
#include <vector>

#include "keymora/headless/headless_window.h"
#include "keymora/qt/image.h"
#include "bindings/qt/qt_canvas.h"
#include "keymora/model/keymora.h"

namespace keymora::qt {
namespace {

void EnsureApplication() {
    if (QCoreApplication::instance()) return;
    static int Argc = 3;
    static char Arg0[] = "paint_pixels_test";
    static char Arg1[] = "-platform";
    static char Arg2[] = "offscreen";
    static char* Argv[] = {Arg0, Arg1, Arg2, nullptr};
    static QApplication* App = new QApplication(Argc, Argv);
    (void)App;
}

constexpr QRgb Unpainted = 0xFFFF00FF;

// Colours of the description, $00BBGGRR.
constexpr TColor Black = 0x00000000;
constexpr TColor Grey = 0x00808080;
constexpr TColor Silver = 0x00C0C0C0;
constexpr TColor Red = 0x000000FF;
constexpr TColor DarkRed = 0x000000DF;
constexpr TColor Maroon = 0x00000080;
constexpr TColor SlateBlue = 0x0084614A;
constexpr TColor White = 0x00FFFFFF;
constexpr TColor Octave1 = 0x00EAEAFF;
constexpr TColor Octave2 = 0x00EAFFFF;
constexpr TColor Octave3 = 0x00EAFFED;
constexpr TColor Octave4 = 0x00FFFFEA;
constexpr TColor Octave5 = 0x00FFFFFF;
constexpr TColor Octave6 = 0x00FFEAEB;
constexpr TColor Octave9 = 0x00EAFAFF;

QRgb Rgb(TColor C) {
    return ToQColor(C).rgb();
}

/// A focused control on a headless window, ready to paint in either orientation.
struct Scene {
    TKeymora K;
    THeadlessForm Form;
    std::unique_ptr<THeadlessWindow> Window;

    explicit Scene(bool Vertical, bool Focused = true) {
        K.SetParent(&Form);
        Window = std::make_unique<THeadlessWindow>(K);
        if (Vertical) {
            K.SetBounds(0, 0, 120, 800);
            K.SetOrientation(koVertical);
        } else {
            K.SetBounds(0, 0, 800, 120);
        }
        if (Focused) Window->GiveFocus();
    }
    /// A left-button press at (U, V) of the keyboard frame.
    void Press(int U, int V) {
        if (K.IsHorizontal())
            K.MouseDown(mbLeft, TShiftState{ssLeft}, U, V);
        else
            K.MouseDown(mbLeft, TShiftState{ssLeft}, V, U);
    }

    /// A full pass on an image filled with a colour the control never uses.
    QImage Paint(QStyle* Style) {
        QImage Image(K.ClientWidth(), K.ClientHeight(), QImage::Format_RGB32);
        Image.fill(Unpainted);
        QtCanvas Canvas(&Image);
        Canvas.SetStyle(Style);
        K.PaintTo(Canvas);
        return Image;
    }
};

QRgb At(const QImage& Image, bool Vertical, int U, int V) {
    return Vertical ? Image.pixel(V, U) : Image.pixel(U, V);
}

struct Probe {
    int U;
    int V;
    TColor Expected;
    const char* What;
};

struct PassCase {
    const char* Name;
    void (*Prepare)(Scene&);
    std::vector<Probe> Probes;
};

class PassTest : public testing::TestWithParam<std::tuple<PassCase, bool>> {
  protected:
    static void SetUpTestSuite() { EnsureApplication(); }
};

TEST_P(PassTest, ProbedPixelsHaveTheirColours) {
    const auto& [Case, Vertical] = GetParam();
    Scene S(Vertical);
    if (Case.Prepare) Case.Prepare(S);
    const QImage Image = S.Paint(QApplication::style());
    for (const Probe& P : Case.Probes)
        EXPECT_EQ(At(Image, Vertical, P.U, P.V) & 0xFFFFFF, Rgb(P.Expected) & 0xFFFFFF)
            << P.What << " at (u " << P.U << ", v " << P.V << ")";
}

const PassCase Cases[] = {
    {"Idle",
     nullptr,
     {
         {26, 99, Octave1, "A0 body"},
         {47, 99, Octave1, "B0 body"},
         {68, 99, Octave2, "C1 body: the octave opens at C"},
         {362, 99, Octave4, "C3 body, key 16"},
         {509, 99, Octave5, "C4 body, key 23"},
         {740, 99, Octave6, "key 34 body"},
         {37, 50, Black, "black key after A0, q = 37"},
         {34, 50, Silver, "its highlight at q - h + 2"},
         {34, 3, Black, "above the highlight, which starts at 4"},
         {34, 92, Black, "below the highlight, which ends before B - 4"},
         {43, 50, Grey, "shadow at q + h + 1"},
         {40, 96, Grey, "shadow row at v = B"},
         {32, 94, Grey, "shadow seen through the cut corner"},
         {32, 95, Octave1, "beside the cut corner: the white key"},
         {55, 50, Octave1, "no black key after B0"},
         {58, 110, Black, "key outline between B0 and C1"},
         {47, 0, Black, "back edge"},
         {47, 118, Black, "front edge at E - 2"},
         {47, 119, Grey, "bottom line at E - 1"},
         {8, 96, SlateBlue, "start-end plus glyph, horizontal bar"},
         {8, 94, SlateBlue, "start-end plus glyph, vertical bar"},
         {8, 112, SlateBlue, "start-end minus glyph"},
         {760, 96, SlateBlue, "far-end plus glyph"},
         {760, 112, SlateBlue, "far-end minus glyph"},
         {799, 60, White, "beyond RealWidth: the strip's fill, Color"},
     }},
    {"Selected",
     [](Scene& S) {
         S.K.SelectNote(5, 0, 0);  // white key 7 * 5 + 0 - 12 = 23 (C4)
         S.K.SelectNote(5, 0, 1);  // the black key after it, on q = 520
         S.K.SelectNote(5, 1, 0);  // key 24 (D4)
     },
     {
         {509, 99, Red, "selected C4 body"},
         {509, 50, Red, "selected C4 beside the black keys"},
         {530, 99, Red, "selected D4 body"},
         {520, 50, DarkRed, "selected black key body between selected keys"},
         {515, 50, DarkRed, "its outline, pen and brush alike"},
         {517, 50, Silver, "its highlight stays silver"},
         {518, 0, DarkRed, "its top row"},
         {522, 0, Black, "the next key's back edge crosses its top row"},
         {526, 50, Grey, "its shadow"},
         {488, 99, Octave4, "key 22 before them keeps its octave colour"},
     }},
    {"PressedWhiteKey",
     [](Scene& S) { S.Press(362, 100); },
     {
         {353, 100, Grey, "pressed frame, left side at p + 1"},
         {372, 100, Grey, "pressed frame, right side at p + KeyWidth - 1"},
         {362, 1, Grey, "pressed frame, top at v = 1"},
         {362, 99, Octave4, "body keeps its octave colour"},
         {362, 118, Black, "front edge over the frame's end"},
     }},
    {"PressedBlackKey",
     [](Scene& S) { S.Press(226, 50); },
     {
         {226, 50, Black, "pressed black key body, q = 226"},
         {221, 50, Grey, "inner outline at q - h"},
         {231, 50, Grey, "inner outline at q + h"},
         {226, 1, Grey, "inner outline at v = 1"},
         {226, 0, Black, "outline at v = 0"},
         {232, 50, Octave3, "no shadow at q + h + 1"},
         {228, 96, Octave3, "no shadow row"},
     }},
    {"ScrolledToTheEnd",
     // s = 21 * (7 * 4 - 5) = 483; C8 starts at 16 + 51 * 21 - 483 = 604; the band after it
     // runs to the far-end zone at 752.
     [](Scene& S) { S.K.SetOffsetOctave(4); },
     {
         {700, 60, Octave9, "band after C8"},
         {751, 60, Octave9, "band up to the far-end zone"},
         {614, 99, Octave9, "C8 body"},
         {625, 50, Black, "C8's far edge"},
         {608, 50, Octave9, "no black key before C8"},
         {26, 99, Octave5, "A0 covered by the shifted C4"},
     }},
    {"ScrolledToTheEndPlain",
     [](Scene& S) {
         S.K.SetStyle(TMusicStyles{msScrollOctave});
         S.K.SetColor(0x00C8E0F0);
         S.K.SetOffsetOctave(4);
     },
     {
         {700, 60, 0x00C8E0F0, "band after C8 in Color"},
         {614, 99, 0x00C8E0F0, "C8 in Color"},
         {625, 50, Black, "C8's far edge"},
     }},
    {"EveryFlagOff",
     // RealWidth = (770 div 52) * 52 + 31 = 759, KeyWidth = 729 div 52 = 14, h = 3; keys start
     // at u = 0.
     [](Scene& S) { S.K.SetStyle(TMusicStyles{}); },
     {
         {0, 60, Black, "left edge of A0 at u = 0"},
         {7, 99, White, "A0 in Color"},
         {14, 50, Black, "black key after A0, q = 14"},
         {13, 50, Silver, "its highlight at q - h + 2"},
         {18, 50, Grey, "its shadow at q + h + 1"},
         {720, 99, White, "C8 in Color"},
         {728, 50, Black, "C8's far edge"},
         {790, 60, White, "beyond RealWidth"},
     }},
};

INSTANTIATE_TEST_SUITE_P(Pass, PassTest,
                         testing::Combine(testing::ValuesIn(Cases), testing::Bool()),
                         [](const testing::TestParamInfo<std::tuple<PassCase, bool>>& Info) {
                             return std::string(std::get<0>(Info.param).Name) +
                                    (std::get<1>(Info.param) ? "Vertical" : "Horizontal");
                         });

// ---- Letters ----

struct Ink {
    int Maroon = 0;
    int Grey = 0;
    int Silver = 0;
    int Font = 0;
};

/// Colours found in [U0, U1) x [V0, V1) of the frame.
Ink Count(const QImage& Image, bool Vertical, int U0, int U1, int V0, int V1, TColor FontColor) {
    Ink N;
    for (int U = U0; U < U1; ++U)
        for (int V = V0; V < V1; ++V) {
            const QRgb P = At(Image, Vertical, U, V) & 0xFFFFFF;
            N.Maroon += P == (Rgb(Maroon) & 0xFFFFFF);
            N.Grey += P == (Rgb(Grey) & 0xFFFFFF);
            N.Silver += P == (Rgb(Silver) & 0xFFFFFF);
            N.Font += P == (Rgb(FontColor) & 0xFFFFFF);
        }
    return N;
}

class MarksTest : public testing::TestWithParam<bool> {
  protected:
    static void SetUpTestSuite() { EnsureApplication(); }
};

// The letter of C4 (key 23, current octave 5) sits in the band before the front edge: maroon
// with the focus, grey without; C3's letter (octave 4) is silver either way.
TEST_P(MarksTest, CurrentOctaveLettersFollowTheFocus) {
    const bool Vertical = GetParam();
    for (const bool Focused : {true, false}) {
        Scene S(Vertical, Focused);
        const QImage Image = S.Paint(QApplication::style());
        const Ink C4 = Count(Image, Vertical, 500, 520, 100, 119, Black);
        const Ink C3 = Count(Image, Vertical, 353, 373, 100, 119, Black);
        if (Focused) {
            EXPECT_GT(C4.Maroon, 3);
            EXPECT_EQ(C4.Grey, 0);
        } else {
            EXPECT_EQ(C4.Maroon, 0);
            EXPECT_GT(C4.Grey, 3);
        }
        EXPECT_EQ(C4.Silver, 0);
        EXPECT_GT(C3.Silver, 3);
        EXPECT_EQ(C3.Maroon + C3.Grey, 0);
    }
}

// Octave numbers stand at (p + 2, 2) of each C in the control's font colour: "2" on C1.
TEST_P(MarksTest, OctaveNumbersInTheFontColour) {
    const bool Vertical = GetParam();
    Scene S(Vertical);
    TFont F = S.K.Font();
    F.Color = 0x00FF0000;
    S.K.SetFont(F);
    const QImage Image = S.Paint(QApplication::style());
    EXPECT_GT(Count(Image, Vertical, 59, 70, 2, 14, F.Color).Font, 3);
    EXPECT_EQ(Count(Image, Vertical, 16, 58, 2, 14, F.Color).Font, 0) << "A0 and B0 carry none";
}

TEST_P(MarksTest, NoMarksWithoutTheFlag) {
    const bool Vertical = GetParam();
    Scene S(Vertical);
    S.K.SetStyle(TMusicStyles{msColorOctave, msScrollDuration, msScrollOctave});
    const QImage Image = S.Paint(QApplication::style());
    const Ink N = Count(Image, Vertical, 16, 752, 100, 118, Black);
    EXPECT_EQ(N.Maroon + N.Silver, 0);
}

INSTANTIATE_TEST_SUITE_P(Orientations, MarksTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& Info) {
                             return std::string(Info.param ? "Vertical" : "Horizontal");
                         });

// ---- Both orientations, whole passes ----

class WholePassTest : public testing::Test {
  protected:
    static void SetUpTestSuite() { EnsureApplication(); }
};

// Without texts the key area of the vertical control is the horizontal one transposed, pixel for
// pixel, also scrolled and with keys selected.
TEST_F(WholePassTest, VerticalIsTheTransposeOverTheKeys) {
    auto Prepare = [](Scene& S) {
        S.K.SetStyle(TMusicStyles{msColorOctave, msScrollDuration, msScrollOctave});
        S.K.SetOffsetOctave(2);
        S.K.SelectNote(4, 2, 0);
        S.K.SelectNote(4, 2, 1);
        S.K.SelectNote(4, 3, 1);
    };
    Scene H(false);
    Scene V(true);
    Prepare(H);
    Prepare(V);
    const QImage A = H.Paint(QApplication::style());
    const QImage B = V.Paint(QApplication::style());
    int Differences = 0;
    for (int U = 16; U < 752; ++U)
        for (int W = 0; W < 120; ++W) Differences += A.pixel(U, W) != B.pixel(W, U);
    EXPECT_EQ(Differences, 0);
}

// The pass covers its client area except, at each boundary between white keys, the two pixels
// under the cut corners of the front edge, which no step of the pass draws.
TEST_F(WholePassTest, PaintsTheClientAreaButTheFrontNotches) {
    for (const bool Vertical : {false, true}) {
        Scene S(Vertical);
        const QImage Image = S.Paint(QApplication::style());
        int Stray = 0;
        for (int U = 0; U < 800; ++U)
            for (int W = 0; W < 120; ++W) {
                if (At(Image, Vertical, U, W) != Unpainted) continue;
                const bool Notch = W >= 118 && U >= 37 && U < 752 && (U - 16) % 21 == 0;
                Stray += !Notch;
            }
        EXPECT_EQ(Stray, 0) << (Vertical ? "vertical" : "horizontal");
    }
}

// With themes off the faces are classic and the glyphs black; the key area does not change.
TEST_F(WholePassTest, ClassicFacesWithThemesOff) {
    Scene S(false);
    const QImage Themed = S.Paint(QApplication::style());
    S.Window->Themes = false;
    const QImage Classic = S.Paint(QApplication::style());
    EXPECT_EQ(Classic.pixel(8, 96) & 0xFFFFFF, Rgb(Black) & 0xFFFFFF);
    EXPECT_EQ(Classic.pixel(760, 112) & 0xFFFFFF, Rgb(Black) & 0xFFFFFF);
    EXPECT_NE(Themed.copy(0, 0, 16, 120), Classic.copy(0, 0, 16, 120));
    EXPECT_EQ(Themed.copy(16, 0, 736, 120), Classic.copy(16, 0, 736, 120));
}

// ---- Pictures ----

class PictureTest : public testing::Test {
  protected:
    static void SetUpTestSuite() { EnsureApplication(); }
};

TEST_F(PictureTest, ImageOfTheClientSizeWithThePassOnIt) {
    Scene S(true);
    const QImage Image = PaintToImage(S.K);
    ASSERT_EQ(Image.size(), QSize(120, 800));
    EXPECT_EQ(Image.format(), QImage::Format_RGB32);
    const QImage Direct = S.Paint(QApplication::style());
    int Differences = 0;
    for (int Y = 0; Y < 800; ++Y)
        for (int X = 0; X < 120; ++X)
            if (Direct.pixel(X, Y) != Unpainted)
                Differences += Direct.pixel(X, Y) != Image.pixel(X, Y);
    EXPECT_EQ(Differences, 0);
    // What the pass leaves shows the control's colour.
    EXPECT_EQ(Image.pixel(118, 37) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(PictureTest, ThemesOffGivesClassicFaces) {
    Scene S(false);
    S.Window->Themes = false;
    EXPECT_EQ(PaintToImage(S.K).pixel(8, 96) & 0xFFFFFF, Rgb(Black) & 0xFFFFFF);
    S.Window->Themes = true;
    EXPECT_EQ(PaintToImage(S.K).pixel(8, 96) & 0xFFFFFF, Rgb(SlateBlue) & 0xFFFFFF);
}

TEST_F(PictureTest, PngRoundTrip) {
    QTemporaryDir Dir;
    ASSERT_TRUE(Dir.isValid());
    Scene S(false);
    const std::string File = QDir(Dir.path()).filePath(QStringLiteral("k.png")).toStdString();
    std::string Error;
    ASSERT_TRUE(PaintToPng(S.K, File, Error)) << Error;
    const QImage Back(QString::fromStdString(File));
    ASSERT_EQ(Back.size(), QSize(800, 120));
    EXPECT_EQ(Back.convertToFormat(QImage::Format_RGB32), PaintToImage(S.K));
}

TEST_F(PictureTest, FailuresAreReported) {
    struct {
        int Width;
        int Height;
        const char* File;
    } const Cases[] = {
        {0, 120, "never.png"},
        {800, 0, "never.png"},
        {800, 120, "/nonexistent-directory/k.png"},
    };
    for (const auto& C : Cases) {
        Scene S(false);
        S.K.SetBounds(0, 0, C.Width, C.Height);
        std::string Error;
        EXPECT_FALSE(PaintToPng(S.K, C.File, Error)) << C.Width << "x" << C.Height;
        EXPECT_FALSE(Error.empty());
    }
    EXPECT_FALSE(QFile::exists(QStringLiteral("never.png")));
}

}  // namespace
}  // namespace keymora::qt
