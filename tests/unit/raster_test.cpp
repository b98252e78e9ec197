// The line and polygon rasterizer against pixels worked out by hand from the desktop's rules: lines
// in all eight octants (with exact halves, which round towards the start), polygons by the
// alternate rule with left and top edges inside, the black key as the paint pass draws it in both
// orientations, clipping and coordinates far from the device. Every box handed out must be
// non-empty, inside the clip and cover no pixel another box covered.
#include "core/raster/raster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace keymora::raster {
namespace {

constexpr long long Limit = CoordinateLimit;

/// Boxes handed out by a rasterizer, checked as they come and painted onto a small picture:
/// '.' untouched, 'F' set once, '#' set twice.
struct Canvas {
    int Width;
    int Height;
    TBox Clip;
    std::vector<std::string> Rows;
    std::vector<TBox> Boxes;

    Canvas(int W, int H, const TBox& ClipBox)
        : Width(W),
          Height(H),
          Clip(ClipBox),
          Rows(static_cast<std::size_t>(H), std::string(static_cast<std::size_t>(W), '.')) {}

    void operator()(const TBox& B) {
        Boxes.push_back(B);
        EXPECT_FALSE(B.IsEmpty());
        EXPECT_TRUE(B.Left >= Clip.Left && B.Top >= Clip.Top && B.Right <= Clip.Right &&
                    B.Bottom <= Clip.Bottom)
            << "box [" << B.Left << ", " << B.Top << ", " << B.Right << ", " << B.Bottom
            << ") leaves the clip";
        for (long long Y = std::max(B.Top, 0LL); Y < std::min<long long>(B.Bottom, Height); ++Y)
            for (long long X = std::max(B.Left, 0LL); X < std::min<long long>(B.Right, Width);
                 ++X) {
                char& P = Rows[static_cast<std::size_t>(Y)][static_cast<std::size_t>(X)];
                P = P == '.' ? 'F' : '#';
            }
    }

    std::vector<std::pair<long long, long long>> Pixels() const {
        std::vector<std::pair<long long, long long>> Set;
        for (int Y = 0; Y < Height; ++Y)
            for (int X = 0; X < Width; ++X)
                if (Rows[static_cast<std::size_t>(Y)][static_cast<std::size_t>(X)] != '.')
                    Set.emplace_back(X, Y);
        return Set;
    }
};

using Pixel = std::pair<long long, long long>;

std::vector<Pixel> Sorted(std::vector<Pixel> P) {
    std::sort(P.begin(), P.end());
    return P;
}

// ---- Lines ----

struct LineCase {
    const char* Name;
    long long X0, Y0, X1, Y1;
    std::vector<Pixel> Expected;  // (x, y), any order
    TBox Clip{0, 0, 9, 9};
};

class LineTest : public testing::TestWithParam<LineCase> {};

TEST_P(LineTest, SetsExactlyTheExpectedPixels) {
    const LineCase& C = GetParam();
    Canvas Out(9, 9, C.Clip);
    Line(C.X0, C.Y0, C.X1, C.Y1, C.Clip, Out);
    EXPECT_EQ(Sorted(Out.Pixels()), Sorted(C.Expected));
}

// From (4, 4) by two pixels across for four along: steps 1 and 3 sit exactly half a pixel off,
// and round towards the start, whichever way the line runs.
INSTANTIATE_TEST_SUITE_P(
    Octants, LineTest,
    testing::Values(LineCase{"RightShallowDown", 4, 4, 8, 6, {{4, 4}, {5, 4}, {6, 5}, {7, 5}}},
                    LineCase{"DownSteepRight", 4, 4, 6, 8, {{4, 4}, {4, 5}, {5, 6}, {5, 7}}},
                    LineCase{"DownSteepLeft", 4, 4, 2, 8, {{4, 4}, {4, 5}, {3, 6}, {3, 7}}},
                    LineCase{"LeftShallowDown", 4, 4, 0, 6, {{4, 4}, {3, 4}, {2, 5}, {1, 5}}},
                    LineCase{"LeftShallowUp", 4, 4, 0, 2, {{4, 4}, {3, 4}, {2, 3}, {1, 3}}},
                    LineCase{"UpSteepLeft", 4, 4, 2, 0, {{4, 4}, {4, 3}, {3, 2}, {3, 1}}},
                    LineCase{"UpSteepRight", 4, 4, 6, 0, {{4, 4}, {4, 3}, {5, 2}, {5, 1}}},
                    LineCase{"RightShallowUp", 4, 4, 8, 2, {{4, 4}, {5, 4}, {6, 3}, {7, 3}}},
                    // The same stretch drawn the other way round is not the same pixels.
                    LineCase{
                        "BackFromRightShallowDown", 8, 6, 4, 4, {{8, 6}, {7, 6}, {6, 5}, {5, 5}}},
                    // Thirds, no halves: 1/3 rounds to 0, 2/3 to 1.
                    LineCase{"Thirds", 0, 0, 3, 1, {{0, 0}, {1, 0}, {2, 1}}},
                    LineCase{"Diagonal", 0, 0, 3, 3, {{0, 0}, {1, 1}, {2, 2}}},
                    LineCase{"DiagonalUpLeft", 3, 3, 0, 0, {{3, 3}, {2, 2}, {1, 1}}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

INSTANTIATE_TEST_SUITE_P(
    Straight, LineTest,
    testing::Values(LineCase{"Right", 1, 2, 5, 2, {{1, 2}, {2, 2}, {3, 2}, {4, 2}}},
                    LineCase{"Left", 5, 2, 1, 2, {{5, 2}, {4, 2}, {3, 2}, {2, 2}}},
                    LineCase{"Down", 2, 1, 2, 4, {{2, 1}, {2, 2}, {2, 3}}},
                    LineCase{"Up", 2, 4, 2, 1, {{2, 4}, {2, 3}, {2, 2}}},
                    LineCase{"ZeroLength", 3, 3, 3, 3, {}},
                    LineCase{"OneAcross", 3, 3, 4, 3, {{3, 3}}},
                    LineCase{"OneDiagonal", 3, 3, 4, 4, {{3, 3}}},
                    // Two down, one across: step 1 is half a pixel off and stays on the start's
                    // column.
                    LineCase{"KnightsMove", 3, 3, 4, 5, {{3, 3}, {3, 4}}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

INSTANTIATE_TEST_SUITE_P(
    Clipped, LineTest,
    testing::Values(
        LineCase{"HorizontalInClip", 0, 1, 10, 1, {{2, 1}, {3, 1}, {4, 1}}, {2, 0, 5, 3}},
        LineCase{"VerticalBelowClip", 1, 5, 1, 9, {}, {0, 0, 9, 5}},
        // (0, 0) to (6, 2): x 0-1 on row 0, 2-4 on row 1, 5 on row 2; the clip keeps x 1-3.
        LineCase{"ShallowAlongMajor", 0, 0, 6, 2, {{1, 0}, {2, 1}, {3, 1}}, {1, 0, 4, 3}},
        LineCase{"ShallowAcrossMinor", 0, 0, 6, 2, {{2, 1}, {3, 1}, {4, 1}}, {0, 1, 9, 2}},
        // Backwards: x 6-5 on row 2, 4-2 on row 1, 1 on row 0.
        LineCase{"BackwardsAlongMajor", 6, 2, 0, 0, {{1, 0}, {2, 1}, {3, 1}}, {1, 0, 4, 3}},
        LineCase{"SteepUpwardInClip", 5, 8, 3, 0, {{4, 3}, {4, 2}}, {0, 2, 9, 4}},
        LineCase{"EmptyClip", 0, 0, 6, 2, {}, {3, 3, 3, 3}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

// Only the steps inside the clip are walked, and sums do not wrap: slope 1/3 through (0, 0) from
// far off; horizontal and vertical lines take any coordinates, slanted ones stop at 27 bits.
INSTANTIATE_TEST_SUITE_P(
    Far, LineTest,
    testing::Values(
        LineCase{"LongSlanted",
                 -300000,
                 -100000,
                 300000,
                 100000,
                 {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 2}, {6, 2}},
                 {0, 0, 7, 3}},
        LineCase{"HorizontalBeyondInt",
                 -5000000000LL,
                 1,
                 5000000000LL,
                 1,
                 {{0, 1}, {1, 1}, {2, 1}, {3, 1}},
                 {0, 0, 4, 2}},
        LineCase{
            "VerticalBeyondInt", 2, 5000000000LL, 2, -5000000000LL, {{2, 0}, {2, 1}}, {0, 0, 4, 2}},
        LineCase{"SlantedAtTheLimit", 0, 0, Limit, Limit, {{0, 0}, {1, 1}, {2, 2}}, {0, 0, 3, 3}},
        LineCase{"SlantedFromMinusTheLimit",
                 -Limit,
                 -Limit,
                 3,
                 3,
                 {{0, 0}, {1, 1}, {2, 2}},
                 {0, 0, 3, 3}},
        LineCase{"SlantedBeyondTheLimit", 0, 0, Limit + 1, Limit + 1, {}, {0, 0, 3, 3}},
        LineCase{"SlantedFromBeyondMinusTheLimit", -Limit - 1, -Limit - 1, 3, 3, {}, {0, 0, 3, 3}},
        LineCase{"NearlyHorizontalAcrossInt", -2000000000, 0, 2000000000, 1, {}, {0, 0, 4, 2}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

// Runs: pixels sharing a row (a column for steep lines) come as one box each.
struct RunCase {
    const char* Name;
    long long X0, Y0, X1, Y1;
    std::vector<TBox> Expected;
};

class LineRunTest : public testing::TestWithParam<RunCase> {};

TEST_P(LineRunTest, HandsOutOneBoxPerRun) {
    const RunCase& C = GetParam();
    Canvas Out(9, 9, {0, 0, 9, 9});
    Line(C.X0, C.Y0, C.X1, C.Y1, Out.Clip, Out);
    EXPECT_EQ(Out.Boxes, C.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, LineRunTest,
    testing::Values(RunCase{"Horizontal", 1, 1, 7, 1, {{1, 1, 7, 2}}},
                    RunCase{"Shallow", 0, 0, 6, 2, {{0, 0, 2, 1}, {2, 1, 5, 2}, {5, 2, 6, 3}}},
                    RunCase{
                        "ShallowBackwards", 6, 2, 0, 0, {{5, 2, 7, 3}, {2, 1, 5, 2}, {1, 0, 2, 1}}},
                    RunCase{"Steep", 1, 0, 2, 3, {{1, 0, 2, 2}, {2, 2, 3, 3}}},
                    RunCase{"Diagonal", 0, 0, 3, 3, {{0, 0, 1, 1}, {1, 1, 2, 2}, {2, 2, 3, 3}}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

// ---- Polygons ----

struct PolygonCase {
    const char* Name;
    std::vector<TPoint> Points;
    std::vector<std::string> Expected;
    TPoint Origin{};
    TBox Clip{};  // empty: the whole picture
};

class PolygonTest : public testing::TestWithParam<PolygonCase> {};

TEST_P(PolygonTest, FillsExactlyTheExpectedPixels) {
    const PolygonCase& C = GetParam();
    const int H = static_cast<int>(C.Expected.size());
    const int W = static_cast<int>(C.Expected[0].size());
    const TBox Clip = C.Clip.IsEmpty() ? TBox{0, 0, W, H} : C.Clip;
    Canvas Out(W, H, Clip);
    EXPECT_TRUE(
        FillPolygon(C.Points.data(), static_cast<int>(C.Points.size()), C.Origin, Clip, Out));
    EXPECT_EQ(Out.Rows, C.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, PolygonTest,
    testing::Values(
        PolygonCase{"Rectangle",
                    {{1, 1}, {5, 1}, {5, 4}, {1, 4}},
                    {".......", ".FFFF..", ".FFFF..", ".FFFF..", ".......", "......."}},
        // Right edge x = 6 - y: row y takes x 0 to 5 - y.
        PolygonCase{"Triangle",
                    {{0, 0}, {6, 0}, {0, 6}},
                    {"FFFFFF.", "FFFFF..", "FFFF...", "FFF....", "FF.....", "F......", "......."}},
        // Right edge x = 5 - 5y/3: 3.33 on row 1 and 1.67 on row 2, the first point right of
        // them being 4 and 2.
        PolygonCase{"TriangleWithFractions",
                    {{0, 0}, {5, 0}, {0, 3}},
                    {"FFFFF.", "FFFF..", "FF....", "......"}},
        // Apex on row 0: both edges meet at x = 3, an empty span.
        PolygonCase{"Apex", {{3, 0}, {6, 3}, {0, 3}}, {".......", "..FF...", ".FFFF..", "......."}},
        PolygonCase{"ConcaveU",
                    {{0, 0}, {2, 0}, {2, 3}, {4, 3}, {4, 0}, {6, 0}, {6, 5}, {0, 5}},
                    {"FF..FF.", "FF..FF.", "FF..FF.", "FFFFFF.", "FFFFFF.", "......."}},
        // An arrowhead pointing right, its notch at (2, 2): edges x = 2y and x = y above the
        // notch, x = 8 - 2y and x = 4 - y below it.
        PolygonCase{"ConcaveArrowhead",
                    {{0, 0}, {4, 2}, {0, 4}, {2, 2}},
                    {".....", ".F...", "..FF.", ".F...", "....."}},
        // Alternate rule: the square wound twice stays empty.
        PolygonCase{"AlternateRule",
                    {{0, 0}, {6, 0}, {6, 6}, {2, 6}, {2, 2}, {4, 2}, {4, 4}, {0, 4}},
                    {"FFFFFF.", "FFFFFF.", "FF..FF.", "FF..FF.", "..FFFF.", "..FFFF.", "......."}},
        PolygonCase{"TwoPoints", {{0, 1}, {3, 1}}, {".....", ".....", "....."}},
        PolygonCase{"Flat", {{0, 1}, {2, 1}, {4, 1}}, {".....", ".....", "....."}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

// The black key of the paint pass at p = 10, h = 3, B = 12: {(p - h, 0), (p - h, B - 4),
// (p - h + 1, B - 1), (p + h, B - 1), (p + h, B - 4), (p + h, 0)} through the frame, u along x
// when horizontal, along y when vertical. The cut edge runs from (7, 8) to (8, 11): x = 7.33 and
// 7.67 on rows 9 and 10, so those rows start at 8; vertical, it crosses row 7 only, at x = 8.
INSTANTIATE_TEST_SUITE_P(
    BlackKey, PolygonTest,
    testing::Values(
        PolygonCase{"Horizontal",
                    {{7, 0}, {7, 8}, {8, 11}, {13, 11}, {13, 8}, {13, 0}},
                    {".......FFFFFF.", ".......FFFFFF.", ".......FFFFFF.", ".......FFFFFF.",
                     ".......FFFFFF.", ".......FFFFFF.", ".......FFFFFF.", ".......FFFFFF.",
                     ".......FFFFFF.", "........FFFFF.", "........FFFFF.", ".............."}},
        PolygonCase{"Vertical",
                    {{0, 7}, {8, 7}, {11, 8}, {11, 13}, {8, 13}, {0, 13}},
                    {"............", "............", "............", "............", "............",
                     "............", "............", "FFFFFFFF....", "FFFFFFFFFFF.", "FFFFFFFFFFF.",
                     "FFFFFFFFFFF.", "FFFFFFFFFFF.", "FFFFFFFFFFF.", "............"}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

INSTANTIATE_TEST_SUITE_P(
    OriginAndClip, PolygonTest,
    testing::Values(
        PolygonCase{"Origin",
                    {{0, 0}, {3, 0}, {0, 3}},
                    {".....", ".....", "..FFF", "..FF.", "..F.."},
                    {2, 2}},
        PolygonCase{"TriangleClipped",
                    {{0, 0}, {6, 0}, {0, 6}},
                    {".......", "..FFF..", "..FF...", "..F....", ".......", ".......", "......."},
                    {},
                    {2, 1, 5, 4}},
        PolygonCase{"ClipAboveTheShape",
                    {{0, 2}, {4, 2}, {4, 4}, {0, 4}},
                    {".....", ".....", ".....", ".....", "....."},
                    {},
                    {0, 0, 5, 2}},
        // Rows outside the clip are not scanned; the clip and origin meet inside the shape.
        PolygonCase{
            "HugeShape",
            {{-1000000, -1000000}, {1000000, -1000000}, {1000000, 1000000}, {-1000000, 1000000}},
            {"FFF", "FFF"}},
        // Points near the end of the int range, brought onto the device by the origin.
        PolygonCase{"FarPointsNearOrigin",
                    {{2000000001, 0}, {2000000004, 0}, {2000000004, 2}, {2000000001, 2}},
                    {".FFF.", ".FFF.", "....."},
                    {-2000000000, 0}},
        PolygonCase{"BeyondTheLimit",
                    {{0, 0}, {4, 0}, {4, 2}, {0, 2}},
                    {".....", ".....", "....."},
                    {static_cast<int>(Limit) + 1, 0},
                    {0, 0, 5, 3}},
        PolygonCase{"OnePointBeyondTheLimit",
                    {{0, 0}, {static_cast<int>(Limit) + 1, 0}, {4, 2}, {0, 2}},
                    {".....", ".....", "....."}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

// Rows with the spans of the row above extend its boxes: a rectangle is one box, the black key
// two, the U three.
struct PolygonBoxCase {
    const char* Name;
    std::vector<TPoint> Points;
    std::vector<TBox> Expected;
};

class PolygonBoxTest : public testing::TestWithParam<PolygonBoxCase> {};

TEST_P(PolygonBoxTest, ExtendsBoxesOverRepeatedRows) {
    const PolygonBoxCase& C = GetParam();
    Canvas Out(16, 16, {0, 0, 16, 16});
    FillPolygon(C.Points.data(), static_cast<int>(C.Points.size()), {}, Out.Clip, Out);
    EXPECT_EQ(Out.Boxes, C.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, PolygonBoxTest,
    testing::Values(PolygonBoxCase{"Rectangle", {{1, 1}, {5, 1}, {5, 4}, {1, 4}}, {{1, 1, 5, 4}}},
                    PolygonBoxCase{"BlackKeyHorizontal",
                                   {{7, 0}, {7, 8}, {8, 11}, {13, 11}, {13, 8}, {13, 0}},
                                   {{7, 0, 13, 9}, {8, 9, 13, 11}}},
                    PolygonBoxCase{"BlackKeyVertical",
                                   {{0, 7}, {8, 7}, {11, 8}, {11, 13}, {8, 13}, {0, 13}},
                                   {{0, 7, 8, 8}, {0, 8, 11, 13}}},
                    PolygonBoxCase{"ConcaveU",
                                   {{0, 0}, {2, 0}, {2, 3}, {4, 3}, {4, 0}, {6, 0}, {6, 5}, {0, 5}},
                                   {{0, 0, 2, 3}, {4, 0, 6, 3}, {0, 3, 6, 5}}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

// The crossings of a row live on the stack: up to MaxPolygonPoints points are filled, more are
// refused untouched so that the caller can fill them another way.
TEST(PolygonLimit, FillsUpToTheMostPointsAndRefusesMore) {
    for (const int Count : {MaxPolygonPoints, MaxPolygonPoints + 1}) {
        // A 4 x 2 rectangle whose top edge is cut into Count - 3 points.
        std::vector<TPoint> Points;
        for (int I = 0; I < Count - 3; ++I) Points.push_back({I * 4 / (Count - 4), 0});
        Points.push_back({4, 2});
        Points.push_back({0, 2});
        Points.push_back({0, 1});
        Canvas Out(5, 3, {0, 0, 5, 3});
        const bool Filled = FillPolygon(Points.data(), Count, {}, Out.Clip, Out);
        EXPECT_EQ(Filled, Count <= MaxPolygonPoints) << Count << " points";
        const std::vector<std::string> Rectangle{"FFFF.", "FFFF.", "....."};
        const std::vector<std::string> Nothing{".....", ".....", "....."};
        EXPECT_EQ(Out.Rows, Filled ? Rectangle : Nothing) << Count << " points";
    }
}

}  // namespace
}  // namespace keymora::raster
