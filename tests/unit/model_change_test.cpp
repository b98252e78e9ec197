// OnChange, the control's one way out: each actual change of a property is reported once, by
// name, whoever made it; refused and unchanged values report nothing; the layout and the focus
// report themselves.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "harness.h"

namespace keymora::test {
namespace {

using Log = std::vector<std::string>;

struct ChangeCase {
    const char* Name;
    std::function<void(TKeymora&)> Act;
    Log Expected;
};

class Changes : public ::testing::TestWithParam<ChangeCase> {};

TEST_P(Changes, AreReportedOnceEach) {
    Harness H;
    TKeymora& K = H.Control;
    Log Seen;
    K.OnChange = [&](TObject* Sender, const TChange& C) {
        EXPECT_EQ(Sender, &K);
        switch (C.Kind) {
            case TChangeKind::Property:
                Seen.push_back(std::string(C.Property));
                break;
            case TChangeKind::Layout:
                Seen.push_back("layout");
                break;
            case TChangeKind::Focus:
                Seen.push_back(K.Focused() ? "focus in" : "focus out");
                break;
            case TChangeKind::KeyState:
                Seen.push_back("key " + std::to_string(C.Index) + (C.Black ? "b " : " ") +
                               std::to_string(C.OldState) + ">" + std::to_string(C.NewState));
                break;
        }
    };
    GetParam().Act(K);
    EXPECT_EQ(Seen, GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Model, Changes,
    ::testing::Values(
        ChangeCase{"OctaveOnce",
                   [](TKeymora& K) {
                       K.SetOctave(3);
                       K.SetOctave(3);
                   },
                   {"Octave"}},
        ChangeCase{"OctaveRefused",
                   [](TKeymora& K) {
                       K.SetOctave(10);
                       K.SetOctave(0);
                   },
                   {}},
        // A high octave scrolls the keys so that it stays in view.
        ChangeCase{
            "OctaveScrolls", [](TKeymora& K) { K.SetOctave(9); }, {"Octave", "OffsetOctave"}},
        ChangeCase{"OctaveWithoutMarks",
                   [](TKeymora& K) {
                       K.SetStyle(TMusicStyles{msScrollOctave});
                       K.SetOctave(2);
                   },
                   {"layout", "Style", "Octave"}},
        ChangeCase{"AutoTone",
                   [](TKeymora& K) {
                       K.SetAutoTone(atBemol);
                       K.SetAutoTone(atBemol);
                   },
                   {"AutoTone"}},
        ChangeCase{"Orientation",
                   [](TKeymora& K) { K.SetOrientation(koVertical); },
                   {"layout", "Orientation"}},
        ChangeCase{"SettingWidthRefused", [](TKeymora& K) { K.SetSettingWidth(9); }, {}},
        // Moving the duration past the visible cells scrolls the row: both are reported.
        ChangeCase{"DurationScrollsTheRow",
                   [](TKeymora& K) { K.SetDurationPosition(4); },
                   {"OffsetDuration", "DurationPosition"}},
        ChangeCase{"DurationRefused", [](TKeymora& K) { K.SetDurationPosition(6); }, {}},
        // A lower limit clamps the offset first, then the layout follows.
        ChangeCase{"LimitClampsTheOffset",
                   [](TKeymora& K) {
                       K.SetOffsetOctave(4);
                       K.SetOutOctave(2);
                   },
                   {"OffsetOctave", "OffsetOctave", "layout", "MaxOffsetOttave"}},
        ChangeCase{"MaxDurationClampsThePosition",
                   [](TKeymora& K) {
                       K.SetDurationPosition(5);
                       K.SetDurationCount(3);
                   },
                   {"OffsetDuration", "DurationPosition", "OffsetDuration", "layout",
                    "MaxOffsetDuration", "DurationPosition", "MaxDuration"}},
        ChangeCase{"KeysIgnoreCase",
                   [](TKeymora& K) {
                       K.SetKeys("cdefgab");
                       K.SetKeys("QWERTYU");
                   },
                   {"Keys"}},
        ChangeCase{"Flags",
                   [](TKeymora& K) {
                       K.SetMouseTrack(true);
                       K.SetMouseTrack(true);
                       K.SetCtrlMove(true);
                       K.SetCtrlMove(true);
                       K.SetDurationWidth(9);
                   },
                   {"MouseTrack", "CtrlMove", "DurationWidth"}},
        ChangeCase{"Resize", [](TKeymora& K) { K.SetBounds(0, 0, 800, 120); }, {"layout"}},
        ChangeCase{"Focus",
                   [](TKeymora& K) {
                       K.SetFocus();
                       K.SetFocus();
                   },
                   {"focus in"}},
        // A click on a white key: pressed, the octave it lies in, released.
        ChangeCase{"Click",
                   [](TKeymora& K) {
                       K.SetFocus();
                       K.MouseDown(mbLeft, TShiftState{ssLeft}, 50, 90);
                       K.MouseUp(mbLeft, TShiftState{}, 50, 90);
                   },
                   {"focus in", "key 2 0>2", "Octave", "key 2 2>0"}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

}  // namespace
}  // namespace keymora::test
