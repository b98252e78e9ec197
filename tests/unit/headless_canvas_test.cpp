// The recording canvas with Keep off: it logs nothing, yet counts every call and moves its clip
// and origin exactly as a kept one does, so a pass drawn through it clips, and is handed back,
// the same.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

#include "keymora/headless/recording_canvas.h"
#include "keymora/model/keymora.h"
#include "keymora/render/paint.h"

namespace keymora {
namespace {

struct UnkeptCase {
    const char* Name;
    std::function<void(TRecordingCanvas&)> Draw;
};

void PrintTo(const UnkeptCase& C, std::ostream* Os) { *Os << C.Name; }

class UnkeptCanvas : public ::testing::TestWithParam<UnkeptCase> {};

TEST_P(UnkeptCanvas, CountsAndClipsAsAKeptOne) {
    TRecordingCanvas Kept, Unkept;
    Unkept.Keep = false;
    for (TRecordingCanvas* C : {&Kept, &Unkept}) {
        C->Clipping = true;
        C->SetSize(200, 100);
        GetParam().Draw(*C);
    }
    EXPECT_TRUE(Unkept.Calls.empty());
    EXPECT_EQ(Unkept.CallCount, Kept.CallCount);
    EXPECT_EQ(static_cast<long long>(Kept.Calls.size()), Kept.CallCount);
    EXPECT_EQ(Unkept.Origin(), Kept.Origin());
    EXPECT_EQ(Unkept.DeviceClip(), Kept.DeviceClip());
    EXPECT_EQ(Unkept.ClipBox(), Kept.ClipBox());
}

const TPoint Triangle[] = {{0, 0}, {10, 0}, {5, 8}};

INSTANTIATE_TEST_SUITE_P(
    Calls, UnkeptCanvas,
    ::testing::Values(
        UnkeptCase{"Drawing", [](TRecordingCanvas& C) {
                       C.FillRect({1, 2, 3, 4});
                       C.Polygon(Triangle, 3);
                       C.Polyline(Triangle, 3);
                       C.MoveTo(1, 1);
                       C.LineTo(9, 9);
                       C.TextOut(4, 4, "C4");
                       C.DrawElement(TThemedElement::tsArrowBtnUpPressed, {0, 0, 16, 16});
                       C.DrawFrameControl({0, 0, 16, 16}, 3, 0x200);
                   }},
        UnkeptCase{"ClipAfterShift", [](TRecordingCanvas& C) {
                       C.SetViewportOrg(30, 5);
                       C.IntersectClipRect({-10, 0, 50, 40});
                   }},
        UnkeptCase{"SavedAndRestored", [](TRecordingCanvas& C) {
                       C.SaveDC();
                       C.SetViewportOrg(-7, 0);
                       C.IntersectClipRect({10, 10, 90, 60});
                       C.RestoreDC();
                       C.IntersectClipRect({0, 0, 120, 50});
                   }},
        UnkeptCase{"LeftSaved", [](TRecordingCanvas& C) {
                       C.IntersectClipRect({5, 5, 150, 95});
                       C.SaveDC();
                       C.SetViewportOrg(12, 3);
                       C.IntersectClipRect({0, 0, 20, 20});
                   }},
        UnkeptCase{"RestoreWithNothingSaved", [](TRecordingCanvas& C) {
                       C.SetViewportOrg(4, 4);
                       C.RestoreDC();
                   }}),
    [](const auto& Info) { return std::string(Info.param.Name); });

// A whole pass over a part of a scrolled keyboard: the clip set up for the shifted keys is the
// one thing a pass reads back from its canvas, so a count that differs shows a clip that does.
TEST(UnkeptCanvas, PaintsAPartialPassAsAKeptOne) {
    TKeymora K;
    K.SetBounds(0, 0, 600, 80);
    K.SetOffsetOctave(2);
    TRecordingCanvas Kept, Unkept;
    Unkept.Keep = false;
    for (TRecordingCanvas* C : {&Kept, &Unkept}) {
        C->Clipping = true;
        C->SetSize(K.ClientWidth(), K.ClientHeight());
        C->IntersectClipRect({100, 0, 260, 80});
        PaintKeymora(K, *C);
    }
    EXPECT_GT(Kept.CallCount, 0);
    EXPECT_EQ(Unkept.CallCount, Kept.CallCount);
    EXPECT_EQ(Unkept.Origin(), TPoint{});
    EXPECT_EQ(Unkept.DeviceClip(), (TRect{100, 0, 260, 80}));
}

}  // namespace
}  // namespace keymora
