// The pad's plain writers against the table of write faults: the MIDI export and the settings
// file keep the old file, leave no temporary and say why whenever a write fails.
#include <gtest/gtest.h>

#include "../support/write_faults.h"
#include "keymora/model/keymora.h"
#include "note_list.h"
#include "settings.h"

namespace keymora::pad {
namespace {

namespace fs = std::filesystem;
using keymora::testing::TFaultCase;

class MidiWriteFaults : public ::testing::TestWithParam<TFaultCase> {};

TEST_P(MidiWriteFaults, OldExportKept) {
    TNoteList Notes;
    for (int I = 0; I < 8; ++I) Notes.AddClick(4, 1 + I % 7, 0, 2);
    keymora::testing::CheckWriteFault(GetParam(), "midi", [&](const fs::path& P) {
        std::string Error;
        return Notes.SaveMidi(P.native(), Error) ? std::nullopt : std::optional(Error);
    }, 40);
}

INSTANTIATE_TEST_SUITE_P(Faults, MidiWriteFaults,
                         ::testing::ValuesIn(keymora::testing::WriteFaultCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

class SettingsWriteFaults : public ::testing::TestWithParam<TFaultCase> {};

TEST_P(SettingsWriteFaults, OldSettingsKept) {
    // The settings file is Folder/keyboard.txt, and its folder is made when missing.
    keymora::testing::CheckWriteFault(
        GetParam(), "settings",
        [](const fs::path& P) {
            TKeymora K(nullptr);
            K.SetOctave(2);
            K.SetKeys("QWERTYU");
            return TSettingsFile(P.parent_path()).SaveIfChanged(K);
        },
        40, "keyboard.txt", true);
}

INSTANTIATE_TEST_SUITE_P(Faults, SettingsWriteFaults,
                         ::testing::ValuesIn(keymora::testing::WriteFaultCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

}  // namespace
}  // namespace keymora::pad
