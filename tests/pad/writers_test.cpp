// The pad's plain writers against the table of write faults: the MIDI export and the settings
// file keep the old file, leave no temporary and say why whenever a write fails.
#include <gtest/gtest.h>

#include <chrono>

#include "../support/write_faults.h"
#include "keymora/model/keymora.h"
#include "note_list.h"
#include "settings.h"
#include "keymora/model/text_form.h"

#include <set>

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

struct TKeepCase {
    const char* Name;
    const char* Before;  // the file as the user left it
    const char* After;   // the file once Octave changed to 2
    std::vector<std::string> Refused;
};

// The properties saved whatever their value, added after the lines of the file.
#define Always                                                                              \
    "Orientation = koHorizontal\nStyle = [msShowMarks, msColorOctave, msScrollDuration, "    \
    "msScrollOctave]\nDurationWidth = 6\n"

class SettingsKeep : public ::testing::TestWithParam<TKeepCase> {};

TEST_P(SettingsKeep, OtherLinesSurviveAndRefusedValuesAreSaid) {
    const fs::path Folder = fs::path(::testing::TempDir()) / ("keymora_keep_" + std::string(GetParam().Name));
    fs::remove_all(Folder);
    fs::create_directories(Folder);
    std::ofstream(Folder / "keyboard.txt", std::ios::binary) << GetParam().Before;
    TKeymora K(nullptr);
    TSettingsFile File(Folder);
    ASSERT_EQ(File.Load(K), std::nullopt);
    EXPECT_EQ(File.Refused(), GetParam().Refused);
    K.SetOctave(2);
    ASSERT_EQ(File.SaveIfChanged(K), std::nullopt);
    EXPECT_EQ(keymora::testing::ReadWhole(Folder / "keyboard.txt"), GetParam().After);
    fs::remove_all(Folder);
}

INSTANTIATE_TEST_SUITE_P(
    Files, SettingsKeep,
    ::testing::Values(
        TKeepCase{"comments_and_window_settings",
                  "# mine\nColor = $00FF0000\nFont.Size = 12\nOctave = 3\n",
                  "# mine\nColor = $00FF0000\nFont.Size = 12\nOctave = 2\n" Always
                  "AutoTone = atAutoMajor\nKeys = \"CDEFGAB\"\nCtrlMove = false\n",
                  {}},
        TKeepCase{"name_in_another_case", "octave = 3\n# end\n",
                  "Octave = 2\n# end\n" Always
                  "AutoTone = atAutoMajor\nKeys = \"CDEFGAB\"\nCtrlMove = false\n",
                  {}},
        TKeepCase{"new_settings_appended", "# only a comment",
                  "# only a comment\n" Always
                  "Octave = 2\nAutoTone = atAutoMajor\nKeys = \"CDEFGAB\"\nCtrlMove = false\n",
                  {}},
        TKeepCase{"refused_with_its_line", "# x\nOctave = 99\nKeys = \"QWERTYU\"\n",
                  "# x\nOctave = 2\nKeys = \"QWERTYU\"\n" Always
                  "AutoTone = atAutoMajor\nCtrlMove = false\n",
                  {"the settings file " + (fs::path(::testing::TempDir()) /
                                           "keymora_keep_refused_with_its_line" / "keyboard.txt")
                                              .native() +
                   ", line 2: Octave refused the value given; it stays 5"}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(SettingsFile, AFailedWriteIsSaidOnceAndTriedAgainAtTheNextChange) {
    const fs::path Folder = fs::path(::testing::TempDir()) / "keymora_settings_retry";
    fs::remove_all(Folder);
    fs::create_directories(Folder / "keyboard.txt");  // a folder in the way
    TKeymora K(nullptr);
    TSettingsFile File(Folder);
    K.SetOctave(2);
    const auto First = File.SaveIfChanged(K);
    ASSERT_TRUE(First.has_value());
    EXPECT_NE(First->find("it is a directory"), std::string::npos) << *First;
    EXPECT_EQ(File.SaveIfChanged(K), std::nullopt) << "the same settings are not tried again";
    fs::remove(Folder / "keyboard.txt");
    K.SetOctave(3);
    EXPECT_EQ(File.SaveIfChanged(K), std::nullopt);
    EXPECT_NE(keymora::testing::ReadWhole(Folder / "keyboard.txt").find("Octave = 3"),
              std::string::npos);
    EXPECT_EQ(keymora::testing::StrayEntries(Folder, {"keyboard.txt"}), 0);
    fs::remove_all(Folder);
}

// Two pads write one settings file as fast as they can while a third reads it: every read sees
// one whole file of one writer or the other.
TEST(SettingsFile, ConcurrentWritersNeverShowATornFile) {
    const fs::path Folder = fs::path(::testing::TempDir()) / "keymora_settings_race";
    fs::remove_all(Folder);
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    pid_t Writers[2];
    for (int W = 0; W < 2; ++W) {
        Writers[W] = ::fork();
        ASSERT_GE(Writers[W], 0);
        if (Writers[W] == 0) {
            TKeymora K(nullptr);
            TSettingsFile File(Folder);
            K.SetKeys(W ? "QWERTYU" : "ZXCVBNM");
            int Failures = 0;
            for (int I = 0; std::chrono::steady_clock::now() < Deadline; ++I) {
                K.SetOctave(1 + I % 9);
                if (File.SaveIfChanged(K)) ++Failures;
            }
            ::_exit(Failures ? 1 : 0);
        }
    }
    std::set<std::string> Seen;
    int Reads = 0, Torn = 0;
    while (std::chrono::steady_clock::now() < Deadline) {
        std::ifstream In(Folder / "keyboard.txt", std::ios::binary);
        if (!In) continue;
        const std::string Text{std::istreambuf_iterator<char>(In), {}};
        ++Reads;
        TKeymora K(nullptr);
        const bool Whole = Text.rfind("# Keymora Pad keyboard settings\n", 0) == 0 &&
                           !Text.empty() && Text.back() == '\n' && !LoadTextForm(K, Text) &&
                           (K.Keys() == "QWERTYU" || K.Keys() == "ZXCVBNM");
        if (!Whole) ++Torn;
    }
    for (pid_t W : Writers) {
        int Status = 0;
        ::waitpid(W, &Status, 0);
        EXPECT_TRUE(WIFEXITED(Status) && WEXITSTATUS(Status) == 0) << "a writer failed";
    }
    EXPECT_GT(Reads, 10);
    EXPECT_EQ(Torn, 0) << "of " << Reads << " reads";
    EXPECT_EQ(keymora::testing::StrayEntries(Folder, {"keyboard.txt"}), 0);
    fs::remove_all(Folder);
}

}  // namespace
}  // namespace keymora::pad
