// QtCanvas against the desktop pixel rules, one table per primitive: each case draws on a small
// white image and the result is compared with a hand-drawn picture ('.' untouched, 'B' black,
// 'R' red, 'G' grey). Then text cells, clip and origin bookkeeping, and the button faces.
#include <gtest/gtest.h>

#include <QtCore/QCoreApplication>
#include <QtGui/QFontInfo>
#include <QtGui/QImage>
#include <QtWidgets/QApplication>
#include <QtWidgets/QStyle>
#include <QtWidgets/QStyleFactory>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "bindings/qt/qt_canvas.h"

namespace keymora::qt {
namespace {

void EnsureApplication() {
    if (QCoreApplication::instance()) return;
    static int Argc = 3;
    static char Arg0[] = "canvas_test";
    static char Arg1[] = "-platform";
    static char Arg2[] = "offscreen";
    static char* Argv[] = {Arg0, Arg1, Arg2, nullptr};
    static QApplication* App = new QApplication(Argc, Argv);
    (void)App;
}

constexpr QRgb White = 0xFFFFFFFF;

char Code(QRgb Pixel) {
    switch (Pixel & 0xFFFFFF) {
        case 0xFFFFFF:
            return '.';
        case 0x000000:
            return 'B';
        case 0xFF0000:
            return 'R';
        case 0x808080:
            return 'G';
        default:
            return '?';
    }
}

std::vector<std::string> Picture(const QImage& Image) {
    std::vector<std::string> Rows;
    for (int Y = 0; Y < Image.height(); ++Y) {
        std::string Row;
        for (int X = 0; X < Image.width(); ++X) Row += Code(Image.pixel(X, Y));
        Rows.push_back(Row);
    }
    return Rows;
}

struct RasterCase {
    const char* Name;
    void (*Draw)(TCanvas&);
    std::vector<std::string> Expected;
};

std::string CaseName(const testing::TestParamInfo<RasterCase>& Info) {
    return Info.param.Name;
}

class RasterTest : public testing::TestWithParam<RasterCase> {
  protected:
    static void SetUpTestSuite() { EnsureApplication(); }
};

TEST_P(RasterTest, DrawsExactlyTheExpectedPixels) {
    const RasterCase& Case = GetParam();
    const int H = static_cast<int>(Case.Expected.size());
    const int W = static_cast<int>(Case.Expected[0].size());
    QImage Image(W, H, QImage::Format_RGB32);
    Image.fill(White);
    {
        QtCanvas Canvas(&Image);
        Canvas.Pen.Color = clBlack;
        Canvas.Brush.SetColor(clRed);
        Case.Draw(Canvas);
    }
    EXPECT_EQ(Picture(Image), Case.Expected);
}

// Fills cover [Left, Right) x [Top, Bottom) and nothing for an empty, inverted or hollow one.
INSTANTIATE_TEST_SUITE_P(
    FillRect, RasterTest,
    testing::Values(RasterCase{"HalfOpen",
                               [](TCanvas& C) { C.FillRect(Rect(1, 1, 4, 3)); },
                               {"......", ".RRR..", ".RRR..", "......"}},
                    RasterCase{"SinglePixel",
                               [](TCanvas& C) { C.FillRect(Rect(2, 1, 3, 2)); },
                               {"......", "..R...", "......", "......"}},
                    RasterCase{"EmptyWidth",
                               [](TCanvas& C) { C.FillRect(Rect(2, 0, 2, 4)); },
                               {"......", "......", "......", "......"}},
                    RasterCase{"Inverted",
                               [](TCanvas& C) { C.FillRect(Rect(4, 3, 1, 1)); },
                               {"......", "......", "......", "......"}},
                    RasterCase{"HollowBrush",
                               [](TCanvas& C) {
                                   C.Brush.Style = bsClear;
                                   C.FillRect(Rect(0, 0, 6, 4));
                               },
                               {"......", "......", "......", "......"}},
                    RasterCase{"BeyondTheDevice",
                               [](TCanvas& C) { C.FillRect(Rect(-3, 2, 99, 9)); },
                               {"......", "......", "RRRRRR", "RRRRRR"}}),
    CaseName);

// Lines leave out their last point; a pen position carries from one LineTo to the next.
INSTANTIATE_TEST_SUITE_P(
    Lines, RasterTest,
    testing::Values(
        RasterCase{"Right",
                   [](TCanvas& C) {
                       C.MoveTo(1, 1);
                       C.LineTo(5, 1);
                   },
                   {".......", ".BBBB..", "......."}},
        RasterCase{"Left",
                   [](TCanvas& C) {
                       C.MoveTo(5, 1);
                       C.LineTo(1, 1);
                   },
                   {".......", "..BBBB.", "......."}},
        RasterCase{"Down",
                   [](TCanvas& C) {
                       C.MoveTo(1, 1);
                       C.LineTo(1, 4);
                   },
                   {"...", ".B.", ".B.", ".B.", "..."}},
        RasterCase{"Up",
                   [](TCanvas& C) {
                       C.MoveTo(1, 4);
                       C.LineTo(1, 1);
                   },
                   {"...", "...", ".B.", ".B.", ".B."}},
        RasterCase{"ZeroLength",
                   [](TCanvas& C) {
                       C.MoveTo(1, 1);
                       C.LineTo(1, 1);
                   },
                   {"...", "...", "..."}},
        RasterCase{"Diagonal",
                   [](TCanvas& C) {
                       C.MoveTo(0, 0);
                       C.LineTo(4, 4);
                   },
                   {"B....", ".B...", "..B..", "...B.", "....."}},
        RasterCase{"DiagonalBackwards",
                   [](TCanvas& C) {
                       C.MoveTo(4, 0);
                       C.LineTo(0, 4);
                   },
                   {"....B", "...B.", "..B..", ".B...", "....."}},
        // One pixel across for three down, as the black keys' shadow starts: 1/3 and 2/3 of
        // a pixel round to 0 and 1.
        RasterCase{"Steep",
                   [](TCanvas& C) {
                       C.MoveTo(1, 0);
                       C.LineTo(2, 3);
                   },
                   {".B..", ".B..", "..B.", "...."}},
        RasterCase{"SteepUpward",
                   [](TCanvas& C) {
                       C.MoveTo(1, 3);
                       C.LineTo(2, 0);
                   },
                   {"....", "..B.", ".B..", ".B.."}},
        RasterCase{"Shallow",
                   [](TCanvas& C) {
                       C.MoveTo(0, 0);
                       C.LineTo(6, 2);
                   },
                   {"BB.....", "..BBB..", ".....B.", "......."}},
        RasterCase{"PenPositionCarries",
                   [](TCanvas& C) {
                       C.MoveTo(1, 1);
                       C.LineTo(4, 1);
                       C.LineTo(4, 3);
                   },
                   {"......", ".BBBB.", "....B.", "......"}},
        RasterCase{"PenColour",
                   [](TCanvas& C) {
                       C.Pen.Color = clGray;
                       C.MoveTo(0, 0);
                       C.LineTo(3, 0);
                   },
                   {"GGG.", "...."}},
        RasterCase{"PolylineOpen",
                   [](TCanvas& C) {
                       const TPoint P[] = {{1, 1}, {4, 1}, {4, 3}};
                       C.Polyline(P);
                   },
                   {"......", ".BBBB.", "....B.", "......"}},
        RasterCase{"PolylineClosed",
                   [](TCanvas& C) {
                       const TPoint P[] = {{1, 1}, {4, 1}, {4, 3}, {1, 3}, {1, 1}};
                       C.Polyline(P);
                   },
                   {"......", ".BBBB.", ".B..B.", ".BBBB.", "......"}},
        // The white key's outline: front edge with two cut corners, right edge, back edge.
        RasterCase{"WhiteKeyOutline",
                   [](TCanvas& C) {
                       const int P = 1, K = 5, E = 6;
                       const TPoint Pts[] = {{P, E - 3},     {P + 1, E - 2}, {P + K - 1, E - 2},
                                             {P + K, E - 3}, {P + K, 0},     {P, 0}};
                       C.Polyline(Pts);
                   },
                   {"..BBBBB.", "......B.", "......B.", ".B....B.", "..BBBB..", "........"}},
        RasterCase{"PolylineOnePoint",
                   [](TCanvas& C) {
                       const TPoint P[] = {{1, 1}};
                       C.Polyline(P);
                   },
                   {"...", "...", "..."}}),
    CaseName);

// Polygons: the interior with the brush, then the closed outline with the pen.
INSTANTIATE_TEST_SUITE_P(
    Polygon, RasterTest,
    testing::Values(
        RasterCase{"Rectangle",
                   [](TCanvas& C) {
                       const TPoint P[] = {{1, 1}, {5, 1}, {5, 4}, {1, 4}};
                       C.Polygon(P);
                   },
                   {".......", ".BBBBB.", ".BRRRB.", ".BRRRB.", ".BBBBB.", "......."}},
        RasterCase{"HollowBrush",
                   [](TCanvas& C) {
                       C.Brush.Style = bsClear;
                       const TPoint P[] = {{1, 1}, {5, 1}, {5, 4}, {1, 4}};
                       C.Polygon(P);
                   },
                   {".......", ".BBBBB.", ".B...B.", ".B...B.", ".BBBBB.", "......."}},
        // The fill reaches the diagonal outline with no gap between them.
        RasterCase{"Triangle",
                   [](TCanvas& C) {
                       const TPoint P[] = {{0, 0}, {6, 0}, {0, 6}};
                       C.Polygon(P);
                   },
                   {"BBBBBBB.", "BRRRRB..", "BRRRB...", "BRRB....", "BRB.....", "BB......",
                    "B.......", "........"}},
        // A black key at p = 10 with h = 3 and B = 12: the cut corner sits at the front left,
        // the front right corner stays square.
        RasterCase{"BlackKeyCutCorner",
                   [](TCanvas& C) {
                       const int P = 10, H = 3, B = 12;
                       const TPoint Pts[] = {{P - H, 0},     {P - H, B - 4}, {P - H + 1, B - 1},
                                             {P + H, B - 1}, {P + H, B - 4}, {P + H, 0}};
                       C.Polygon(Pts);
                   },
                   {".......BBBBBBB.", ".......BRRRRRB.", ".......BRRRRRB.", ".......BRRRRRB.",
                    ".......BRRRRRB.", ".......BRRRRRB.", ".......BRRRRRB.", ".......BRRRRRB.",
                    ".......BRRRRRB.", ".......BRRRRRB.", "........BRRRRB.", "........BBBBBB.",
                    "..............."}},
        // Alternate rule: the middle of a doubly wound star-like shape stays empty.
        RasterCase{
            "AlternateRule",
            [](TCanvas& C) {
                C.Pen.Color = clRed;
                const TPoint P[] = {{0, 0}, {6, 0}, {6, 6}, {2, 6}, {2, 2}, {4, 2}, {4, 4}, {0, 4}};
                C.Polygon(P);
            },
            {"RRRRRRR", "RRRRRRR", "RRRRRRR", "RRR.RRR", "RRRRRRR", "..RRRRR", "..RRRRR",
             "......."}},
        RasterCase{"TwoPoints",
                   [](TCanvas& C) {
                       const TPoint P[] = {{0, 1}, {3, 1}};
                       C.Polygon(P);
                   },
                   {".....", "BBBB.", "....."}}),
    CaseName);

// Clip and origin: the clip is given in logical coordinates and bounds everything after it;
// RestoreDC brings back the clip and origin of its SaveDC.
INSTANTIATE_TEST_SUITE_P(
    ClipAndOrigin, RasterTest,
    testing::Values(RasterCase{"Clip",
                               [](TCanvas& C) {
                                   C.IntersectClipRect(Rect(1, 1, 4, 3));
                                   C.FillRect(Rect(0, 0, 9, 9));
                               },
                               {"......", ".RRR..", ".RRR..", "......"}},
                    RasterCase{"ClipsIntersect",
                               [](TCanvas& C) {
                                   C.IntersectClipRect(Rect(1, 0, 4, 4));
                                   C.IntersectClipRect(Rect(0, 2, 6, 3));
                                   C.FillRect(Rect(0, 0, 9, 9));
                               },
                               {"......", "......", ".RRR..", "......"}},
                    RasterCase{"Origin",
                               [](TCanvas& C) {
                                   C.SetViewportOrg(3, 1);
                                   C.FillRect(Rect(0, 0, 2, 2));
                               },
                               {"......", "...RR.", "...RR.", "......"}},
                    RasterCase{"OriginIsNotCumulative",
                               [](TCanvas& C) {
                                   C.SetViewportOrg(3, 1);
                                   C.SetViewportOrg(-1, 0);
                                   C.FillRect(Rect(1, 0, 3, 1));
                               },
                               {"RR....", "......", "......", "......"}},
                    RasterCase{"ClipTakesTheOriginInForce",
                               [](TCanvas& C) {
                                   C.SetViewportOrg(2, 0);
                                   C.IntersectClipRect(Rect(0, 1, 2, 3));
                                   C.SetViewportOrg(0, 0);
                                   C.FillRect(Rect(0, 0, 9, 9));
                               },
                               {"......", "..RR..", "..RR..", "......"}},
                    RasterCase{"ShiftedLinesAndPolygons",
                               [](TCanvas& C) {
                                   C.SetViewportOrg(-2, 1);
                                   C.MoveTo(2, 0);
                                   C.LineTo(6, 0);
                                   const TPoint P[] = {{3, 1}, {5, 1}, {5, 2}, {3, 2}};
                                   C.Polygon(P);
                               },
                               {"......", "BBBB..", ".BBB..", ".BBB..", "......"}},
                    RasterCase{"ClippedLine",
                               [](TCanvas& C) {
                                   C.IntersectClipRect(Rect(2, 0, 4, 3));
                                   C.MoveTo(0, 1);
                                   C.LineTo(6, 1);
                               },
                               {"......", "..BB..", "......"}},
                    RasterCase{"RestoreDC",
                               [](TCanvas& C) {
                                   C.SaveDC();
                                   C.SetViewportOrg(4, 0);
                                   C.IntersectClipRect(Rect(0, 0, 1, 1));
                                   C.RestoreDC();
                                   C.FillRect(Rect(0, 3, 2, 4));
                               },
                               {"......", "......", "......", "RR...."}},
                    RasterCase{"NestedRestore",
                               [](TCanvas& C) {
                                   C.IntersectClipRect(Rect(0, 0, 4, 4));
                                   C.SaveDC();
                                   C.IntersectClipRect(Rect(0, 0, 2, 2));
                                   C.SaveDC();
                                   C.IntersectClipRect(Rect(0, 0, 1, 1));
                                   C.RestoreDC();
                                   C.FillRect(Rect(0, 0, 9, 1));
                                   C.RestoreDC();
                                   C.Brush.SetColor(clBlack);
                                   C.FillRect(Rect(0, 3, 9, 4));
                               },
                               {"RR....", "......", "......", "BBBB.."}},
                    RasterCase{"EmptyClip",
                               [](TCanvas& C) {
                                   C.IntersectClipRect(Rect(0, 0, 2, 2));
                                   C.IntersectClipRect(Rect(3, 3, 5, 5));
                                   C.FillRect(Rect(0, 0, 9, 9));
                                   C.MoveTo(0, 0);
                                   C.LineTo(5, 0);
                                   C.TextOut(0, 0, "W");
                               },
                               {"......", "......", "......", "......"}}),
    CaseName);

// Coordinates far outside the device: only the visible part is walked, wide sums do not wrap,
// and slanted lines beyond the 27-bit range that GDI accepts draw nothing.
INSTANTIATE_TEST_SUITE_P(
    Extremes, RasterTest,
    testing::Values(
        // Slope 1/3 through (0, 0): y is x / 3 rounded, so x 0-1 on row 0, 2-4 on 1, 5-6 on 2.
        RasterCase{"LongSlantedLine",
                   [](TCanvas& C) {
                       C.MoveTo(-300000, -100000);
                       C.LineTo(300000, 100000);
                   },
                   {"BB.....", "..BBB..", ".....BB"}},
        RasterCase{"BeyondTheCoordinateRange",
                   [](TCanvas& C) {
                       C.MoveTo(-2000000000, 0);
                       C.LineTo(2000000000, 1);
                   },
                   {"....", "...."}},
        RasterCase{"HugePolygon",
                   [](TCanvas& C) {
                       const TPoint P[] = {{-1000000, -1000000},
                                           {1000000, -1000000},
                                           {1000000, 1000000},
                                           {-1000000, 1000000}};
                       C.Polygon(P);
                   },
                   {"RRR", "RRR"}},
        RasterCase{"FarOrigin",
                   [](TCanvas& C) {
                       C.SetViewportOrg(2000000000, 0);
                       C.FillRect(Rect(-1999999999, 0, -1999999997, 1));
                       C.MoveTo(-1999999999, 1);
                       C.LineTo(-1999999996, 1);
                   },
                   {".RR.", ".BBB"}}),
    CaseName);

// ---- Clip bookkeeping ----

struct ClipCase {
    const char* Name;
    void (*Steps)(TCanvas&);
    TRect Expected;
};

class ClipRectTest : public testing::TestWithParam<ClipCase> {
  protected:
    static void SetUpTestSuite() { EnsureApplication(); }
};

TEST_P(ClipRectTest, ReportsTheClipInLogicalCoordinates) {
    QImage Image(20, 10, QImage::Format_RGB32);
    QtCanvas Canvas(&Image);
    GetParam().Steps(Canvas);
    EXPECT_EQ(Canvas.ClipRect(), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, ClipRectTest,
    testing::Values(ClipCase{"Device", [](TCanvas&) {}, Rect(0, 0, 20, 10)},
                    ClipCase{"Shifted", [](TCanvas& C) { C.SetViewportOrg(-5, 2); },
                             Rect(5, -2, 25, 8)},
                    ClipCase{"Narrowed",
                             [](TCanvas& C) {
                                 C.SetViewportOrg(-5, 0);
                                 C.IntersectClipRect(Rect(8, 1, 40, 3));
                             },
                             Rect(8, 1, 25, 3)},
                    ClipCase{"Empty", [](TCanvas& C) { C.IntersectClipRect(Rect(30, 0, 40, 5)); },
                             Rect(0, 0, 0, 0)},
                    ClipCase{"RestoredWithoutSave",
                             [](TCanvas& C) {
                                 C.IntersectClipRect(Rect(1, 1, 2, 2));
                                 C.RestoreDC();
                             },
                             Rect(1, 1, 2, 2)}),
    [](const testing::TestParamInfo<ClipCase>& Info) { return std::string(Info.param.Name); });

// ---- Text ----

class TextTest : public testing::Test {
  protected:
    static void SetUpTestSuite() { EnsureApplication(); }
    QImage Image{60, 30, QImage::Format_RGB32};
    void SetUp() override { Image.fill(White); }
};

// Font sizes are points at 96 dots per inch, rounded to whole pixels.
TEST(FontSizeTest, PointsBecomePixelsAt96Dpi) {
    struct {
        int Points;
        int Pixels;
    } const Cases[] = {{7, 9}, {8, 11}, {9, 12}, {10, 13}, {12, 16}, {1, 1}, {-8, 11}};
    for (const auto& C : Cases)
        EXPECT_EQ(QtCanvas::PixelSizeForPoints(C.Points), C.Pixels) << C.Points << " pt";
}

TEST_F(TextTest, ArialIsTheMetricCompatibleLiberationSans) {
    QtCanvas Canvas(&Image);
    Canvas.Font.Name = "Arial";
    Canvas.Font.Size = 8;
    EXPECT_EQ(QFontInfo(Canvas.CurrentQFont()).family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(Canvas.CurrentQFont().pixelSize(), 11);
}

// Liberation Sans: ascender 1854 and descender 434 of 2048 units; at 9 and 11 pixels that is
// 8 + 2 and 10 + 2 pixels. Digits advance 1139 units (5 and 6 pixels), '/' 569 (3 pixels).
TEST_F(TextTest, MeasuresInTheCurrentFont) {
    QtCanvas Canvas(&Image);
    Canvas.Font.Name = "Arial";
    Canvas.Font.Size = 7;
    EXPECT_EQ(Canvas.TextHeight("1/128"), 10);
    EXPECT_EQ(Canvas.TextWidth("1/128"), 4 * 5 + 3);
    EXPECT_EQ(Canvas.TextWidth(""), 0);
    Canvas.Font.Size = 8;
    EXPECT_EQ(Canvas.TextHeight("c"), 12);
    EXPECT_EQ(Canvas.TextWidth("128"), 3 * 6);
    // Back to the first font: measured as before.
    Canvas.Font.Size = 7;
    EXPECT_EQ(Canvas.TextWidth("128"), 3 * 5);
}

// An opaque cell covers exactly [X, X + width) x [Y, Y + height); the glyph of "E" sits on the
// baseline Y + ascent, so its lowest row is Y + ascent - 1, and nothing of it leaves the cell.
TEST_F(TextTest, OpaqueCellAtTheTopLeft) {
    QtCanvas Canvas(&Image);
    Canvas.Font.Name = "Arial";
    Canvas.Font.Size = 8;
    Canvas.Font.Color = clBlack;
    Canvas.Brush.SetColor(clRed);
    const int W = Canvas.TextWidth("E");
    const int H = Canvas.TextHeight("E");
    Canvas.TextOut(5, 4, "E");
    Canvas.End();
    int Lowest = -1;
    int Highest = 1000;
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X) {
            const char C = Code(Image.pixel(X, Y));
            const bool Inside = X >= 5 && X < 5 + W && Y >= 4 && Y < 4 + H;
            ASSERT_EQ(C != '.', Inside) << X << "," << Y;
            ASSERT_NE(C, '?') << "antialiased pixel at " << X << "," << Y;
            if (C == 'B') {
                Lowest = std::max(Lowest, Y);
                Highest = std::min(Highest, Y);
            }
        }
    EXPECT_EQ(Lowest, 4 + 10 - 1);
    // Cap height 1409 units: 7.6 pixels, so the capital stands 7 or 8 rows tall.
    EXPECT_GE(Lowest - Highest + 1, 7);
    EXPECT_LE(Lowest - Highest + 1, 8);
}

TEST_F(TextTest, ClearBrushLeavesTheBackground) {
    QtCanvas Canvas(&Image);
    Canvas.Font.Name = "Arial";
    Canvas.Font.Size = 8;
    Canvas.Font.Color = 0x00000080;  // maroon
    Canvas.Brush.SetColor(clRed);
    Canvas.Brush.Style = bsClear;
    Canvas.SetViewportOrg(10, 0);
    Canvas.TextOut(0, 2, "H");
    Canvas.End();
    int Ink = 0;
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X) {
            const QRgb P = Image.pixel(X, Y) & 0xFFFFFF;
            if (P == 0xFFFFFF) continue;
            ASSERT_EQ(P, 0x800000u) << "only maroon ink, at " << X << "," << Y;
            ASSERT_GE(X, 10) << "drawn at the shifted origin";
            ++Ink;
        }
    EXPECT_GT(Ink, 10);
}

TEST_F(TextTest, ClippedText) {
    QtCanvas Canvas(&Image);
    Canvas.Font.Name = "Arial";
    Canvas.Font.Size = 8;
    Canvas.Brush.SetColor(clRed);
    Canvas.IntersectClipRect(Rect(0, 0, 8, 30));
    Canvas.TextOut(2, 2, "WWWW");
    Canvas.End();
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 8; X < Image.width(); ++X) ASSERT_EQ(Code(Image.pixel(X, Y)), '.');
    EXPECT_EQ(Code(Image.pixel(7, 2)), 'R');
}

// ---- Faces ----

struct FaceCase {
    const char* Name;
    TThemedElement Normal;
    TThemedElement Pressed;
};

class FaceTest : public testing::TestWithParam<FaceCase> {
  protected:
    static void SetUpTestSuite() {
        EnsureApplication();
        Fusion.reset(QStyleFactory::create(QStringLiteral("Fusion")));
    }
    static void TearDownTestSuite() { Fusion.reset(); }
    static std::unique_ptr<QStyle> Fusion;

    // Draws Element into (4, 3, 24, 19) on a magenta image and gives the image.
    static QImage Draw(QStyle* Style, TThemedElement Element) {
        QImage Image(30, 24, QImage::Format_RGB32);
        Image.fill(0xFFFF00FF);
        QtCanvas Canvas(&Image);
        Canvas.SetStyle(Style);
        Canvas.Pen.Color = 0x00123456;
        Canvas.Brush.SetColor(0x00654321);
        Canvas.DrawElement(Element, Rect(4, 3, 24, 19));
        EXPECT_EQ(Canvas.Pen.Color, 0x00123456u);
        EXPECT_EQ(Canvas.Brush.Color, 0x00654321u);
        return Image;
    }
};
std::unique_ptr<QStyle> FaceTest::Fusion;

// A face paints inside its rectangle only; its pressed look differs from its normal one.
TEST_P(FaceTest, ThemedAndClassicStayInsideTheirRectangle) {
    for (QStyle* Style : {Fusion.get(), static_cast<QStyle*>(nullptr)}) {
        const QImage Normal = Draw(Style, GetParam().Normal);
        const QImage Pressed = Draw(Style, GetParam().Pressed);
        int Painted = 0;
        for (int Y = 0; Y < 24; ++Y)
            for (int X = 0; X < 30; ++X) {
                const bool Inside = X >= 4 && X < 24 && Y >= 3 && Y < 19;
                const bool Touched = (Normal.pixel(X, Y) & 0xFFFFFF) != 0xFF00FF;
                if (!Inside) {
                    ASSERT_FALSE(Touched) << X << "," << Y;
                }
                Painted += Touched;
            }
        EXPECT_GT(Painted, 20 * 16 / 2) << (Style ? "themed" : "classic");
        EXPECT_NE(Normal, Pressed) << (Style ? "themed" : "classic");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Elements, FaceTest,
    testing::Values(FaceCase{"PushButton", TThemedElement::tbPushButtonNormal,
                             TThemedElement::tbPushButtonPressed},
                    FaceCase{"ArrowUp", TThemedElement::tsArrowBtnUpNormal,
                             TThemedElement::tsArrowBtnUpPressed},
                    FaceCase{"ArrowDown", TThemedElement::tsArrowBtnDownNormal,
                             TThemedElement::tsArrowBtnDownPressed},
                    FaceCase{"ArrowLeft", TThemedElement::tsArrowBtnLeftNormal,
                             TThemedElement::tsArrowBtnLeftPressed},
                    FaceCase{"ArrowRight", TThemedElement::tsArrowBtnRightNormal,
                             TThemedElement::tsArrowBtnRightPressed}),
    [](const testing::TestParamInfo<FaceCase>& Info) { return std::string(Info.param.Name); });

// The four arrows of a style point four different ways.
TEST_F(FaceTest, ThemedArrowsDiffer) {
    const QImage Up = Draw(Fusion.get(), TThemedElement::tsArrowBtnUpNormal);
    const QImage Down = Draw(Fusion.get(), TThemedElement::tsArrowBtnDownNormal);
    const QImage Left = Draw(Fusion.get(), TThemedElement::tsArrowBtnLeftNormal);
    const QImage Right = Draw(Fusion.get(), TThemedElement::tsArrowBtnRightNormal);
    EXPECT_NE(Up, Down);
    EXPECT_NE(Left, Right);
    EXPECT_NE(Up, Left);
}

// Faces follow the origin and clip like every other drawing.
TEST_F(FaceTest, FacesAreShiftedAndClipped) {
    for (QStyle* Style : {Fusion.get(), static_cast<QStyle*>(nullptr)}) {
        QImage Image(30, 24, QImage::Format_RGB32);
        Image.fill(0xFFFF00FF);
        {
            QtCanvas Canvas(&Image);
            Canvas.SetStyle(Style);
            Canvas.SetViewportOrg(5, 0);
            Canvas.IntersectClipRect(Rect(2, 0, 10, 24));
            Canvas.DrawElement(TThemedElement::tbPushButtonNormal, Rect(0, 0, 20, 20));
        }
        QImage Whole(30, 24, QImage::Format_RGB32);
        Whole.fill(0xFFFF00FF);
        {
            QtCanvas Canvas(&Whole);
            Canvas.SetStyle(Style);
            Canvas.DrawElement(TThemedElement::tbPushButtonNormal, Rect(5, 0, 25, 20));
        }
        // The visible part, device columns 7..14, is that part of the whole face.
        for (int Y = 0; Y < 24; ++Y)
            for (int X = 0; X < 30; ++X) {
                const bool Visible = X >= 7 && X < 15 && Y < 20;
                const QRgb Expected = Visible ? Whole.pixel(X, Y) : 0xFFFF00FF;
                ASSERT_EQ(Image.pixel(X, Y), Expected) << X << "," << Y;
            }
    }
}

// The classic frame control of a push button: raised bevel, white at the top left, black at
// the bottom right, face grey inside.
TEST_F(FaceTest, ClassicFrameControlGoesThroughTheCanvas) {
    QImage Image(12, 10, QImage::Format_RGB32);
    Image.fill(0xFFFF00FF);
    {
        QtCanvas Canvas(&Image);
        Canvas.SetViewportOrg(1, 1);
        Canvas.DrawFrameControl(Rect(0, 0, 10, 8), DFC_BUTTON, DFCS_BUTTONPUSH);
    }
    EXPECT_EQ(Image.pixel(0, 0) & 0xFFFFFF, 0xFF00FFu);
    EXPECT_EQ(Image.pixel(1, 1) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(Image.pixel(10, 8) & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(Image.pixel(5, 4) & 0xFFFFFF, 0xC0C0C0u);
    EXPECT_EQ(Image.pixel(11, 9) & 0xFFFFFF, 0xFF00FFu);
}

}  // namespace
}  // namespace keymora::qt
