// Press points: the closed-form point of every target against a search that asks the hit test
// point by point, over layouts of every shape; and a few points worked out by hand.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "harness.h"
#include "keymora/layout/layout.h"

namespace keymora::test {
namespace {

bool Hits(const THit& H, const TTarget& T) {
    switch (T.Kind) {
        case TTargetKind::WhiteKey:
            return H.Region == THitRegion::Key && H.BlackKey < 0 && H.WhiteKey == T.Index;
        case TTargetKind::BlackKey:
            return H.Region == THitRegion::Key && H.BlackKey == T.Index;
        case TTargetKind::DurationCell:
            return H.Region == THitRegion::DurationCell && H.Cell == T.Index;
        case TTargetKind::DurationUp:
            return H.Region == THitRegion::DurationUp;
        case TTargetKind::DurationDown:
            return H.Region == THitRegion::DurationDown;
        case TTargetKind::ZoneButton:
            return H.Region == THitRegion::ZoneButton && H.Button == T.Button;
    }
    return false;
}

// The search: rows from the middle of the drawn area outward (keys: one row, below the black
// keys or half way down them), and in the first row with any hit, the middle of its first and
// last hit.
std::optional<TPoint> Search(const TLayout& L, const TTarget& T) {
    TRect Area;
    if (!L.DrawnArea(T, Area)) return std::nullopt;
    const bool H = L.Horizontal();
    const int U0 = H ? Area.Left : Area.Top, U1 = H ? Area.Right : Area.Bottom;
    int V0 = H ? Area.Top : Area.Left, V1 = H ? Area.Bottom : Area.Right;
    const int E = L.CrossExtent();
    if (T.Kind == TTargetKind::WhiteKey || T.Kind == TTargetKind::BlackKey) {
        V0 = T.Kind == TTargetKind::BlackKey ? (E * 4 / 5) / 2 : (E * 4 / 5 + E) / 2;
        V1 = V0 + 1;
    }
    const int Mid = (V0 + V1) / 2;
    for (int Step = 0; Step < V1 - V0; ++Step) {
        const int V = Step % 2 == 0 ? Mid + Step / 2 : Mid - (Step + 1) / 2;
        if (V < V0 || V >= V1) continue;
        int First = -1, Last = -1;
        for (int U = U0; U < U1; ++U) {
            const TPoint P = L.Point(U, V);
            if (!Hits(L.HitTest(P.X, P.Y), T)) continue;
            if (First < 0) First = U;
            Last = U;
        }
        if (First >= 0) return L.Point((First + Last) / 2, V);
    }
    return std::nullopt;
}

std::vector<TTarget> AllTargets() {
    std::vector<TTarget> All;
    for (int I = 0; I < WhiteKeyCount; ++I) {
        All.push_back({TTargetKind::WhiteKey, I, TZoneButton::OctaveDown});
        All.push_back({TTargetKind::BlackKey, I, TZoneButton::OctaveDown});
    }
    for (int I = 0; I < 8; ++I)
        All.push_back({TTargetKind::DurationCell, I, TZoneButton::OctaveDown});
    All.push_back({TTargetKind::DurationUp, 0, TZoneButton::OctaveDown});
    All.push_back({TTargetKind::DurationDown, 0, TZoneButton::OctaveDown});
    for (int B = 0; B < 6; ++B)
        All.push_back({TTargetKind::ZoneButton, 0, static_cast<TZoneButton>(B)});
    return All;
}

std::string Describe(const TKeymora& K, const TTarget& T) {
    return "size " + std::to_string(K.Width()) + "x" + std::to_string(K.Height()) + " style " +
           std::to_string(K.Style().Bits()) + " orientation " +
           std::to_string(static_cast<int>(K.Orientation())) + " offset " +
           std::to_string(K.OffsetOctave()) + " target " +
           std::to_string(static_cast<int>(T.Kind)) + "/" + std::to_string(T.Index) + "/" +
           std::to_string(static_cast<int>(T.Button));
}

TEST(LayoutPressPoints, EqualTheSearchOverHitTestsInEveryShape) {
    std::mt19937 Random(7);
    auto Pick = [&](int Lo, int Hi) { return std::uniform_int_distribution<int>(Lo, Hi)(Random); };
    const std::vector<TTarget> Targets = AllTargets();
    int Compared = 0;
    for (int Round = 0; Round < 300; ++Round) {
        Harness H;
        TKeymora& K = H.Control;
        if (Pick(0, 1)) K.SetOrientation(koVertical);
        K.SetStyle(TMusicStyles::FromBits(static_cast<std::uint8_t>(Pick(0, 15))));
        K.SetDurationCount(Pick(2, 8));
        K.SetOutDuration(Pick(1, 7));
        K.SetOutOctave(Pick(1, 8));
        K.SetSettingWidth(Pick(10, 60));
        // From layouts too small for their keys to wide ones; odd sizes leave remainders.
        const int Long = Round % 10 == 0 ? Pick(0, 120) : Pick(100, 1400);
        const int Across = Round % 7 == 0 ? Pick(0, 12) : Pick(13, 200);
        if (K.IsHorizontal())
            K.SetBounds(0, 0, Long, Across);
        else
            K.SetBounds(0, 0, Across, Long);
        K.SetOffsetOctave(Pick(0, 8));
        K.SetOffsetDuration(Pick(0, 6));
        const TLayout L = K.Layout();
        for (const TTarget& T : Targets) {
            TPoint P{};
            const bool Found = L.PressPoint(T, P);
            const std::optional<TPoint> Expected = Search(L, T);
            ASSERT_EQ(Found, Expected.has_value()) << Describe(K, T);
            if (Found) {
                ASSERT_EQ(P, *Expected) << Describe(K, T);
                ++Compared;
            }
        }
    }
    EXPECT_GT(Compared, 10000);
}

// Worked out from the default 600 x 100 keyboard: 63 - 7 * 4 = 35 visible keys of
// (600 - 30 - 32) / 35 = 15 pixels from x = 16, band length 15 * 35 + 1 = 526, strip from 558,
// three cells of (100 - 15) / 3 = 28 below y = 84.
TEST(LayoutPressPoints, ByHand) {
    Harness H;
    const TLayout L = H.Control.Layout();
    struct Case {
        const char* Name;
        TTarget Target;
        TPoint Expected;
    };
    const Case Cases[] = {
        // A0 is drawn over [16, 31) and hits up to 16 + ceil(526 / 35) - 1 = 31: the middle of
        // [16, 30] at y = (80 + 100) / 2.
        {"A0", {TTargetKind::WhiteKey, 0, TZoneButton::OctaveDown}, {23, 90}},
        // C4 (white 23) hits from 16 + ceil(23 * 526 / 35) = 362 to 16 + ceil(24 * 526 / 35)
        // - 1 = 376 and is drawn over [361, 376): the middle of [362, 375].
        {"C4", {TTargetKind::WhiteKey, 23, TZoneButton::OctaveDown}, {368, 90}},
        // The first cell counted from the buttons spans y 56..84 and hits strictly inside.
        {"Cell0", {TTargetKind::DurationCell, 0, TZoneButton::OctaveDown}, {572, 70}},
        {"Up", {TTargetKind::DurationUp, 0, TZoneButton::OctaveDown}, {565, 92}},
        {"Down", {TTargetKind::DurationDown, 0, TZoneButton::OctaveDown}, {580, 92}},
        // The plus button spans y [68, 84) but hits over (68, 84].
        {"MoreOctaves", {TTargetKind::ZoneButton, 0, TZoneButton::MoreOctaves}, {7, 76}},
    };
    for (const Case& C : Cases) {
        TPoint P{};
        ASSERT_TRUE(L.PressPoint(C.Target, P)) << C.Name;
        EXPECT_EQ(P, C.Expected) << C.Name;
    }
}

}  // namespace
}  // namespace keymora::test
