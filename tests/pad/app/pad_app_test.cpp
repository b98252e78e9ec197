// The pad as a whole: scripted sessions against its window (black keys under every AutoTone,
// every duration and rests, the MIDI file read back, the vertical layout, the commands refused
// on a keyboard the pad owns), and the headless run of the demo's command end to end.
#include <gtest/gtest.h>

#include "app_support.h"

#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "keymora/qt/keymora_widget.h"
#include "midi_reader.h"
#include "pad_script.h"
#include "pad_window.h"

namespace keymora::pad {
namespace {

using test::EnsureApplication;
using test::SpinUntil;

std::vector<std::uint8_t> ReadBytes(const std::string& Path) {
    std::ifstream In(Path, std::ios::binary);
    return {std::istreambuf_iterator<char>(In), {}};
}

// A pad in a fresh settings folder, sized as keymora-pad sizes it for scripts.
struct Pad {
    QTemporaryDir Config;
    PadWindow Window;
    std::ostringstream Out;
    Pad() : Window(PadWindow::Options{Config.path(), false, false}) {
        Window.resize(800, 400);
        Window.show();
        QApplication::processEvents();
    }
    int Run(const std::string& Script) {
        std::istringstream In(Script);
        return RunPadScript(Window, In, Out);
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> N;
        for (const TEntry& E : Window.notes().Entries()) N.push_back(Describe(E));
        return N;
    }
};

struct ToneCase {
    const char* AutoTone;
    std::vector<std::string> Names;
};

class BlackKeys : public ::testing::TestWithParam<ToneCase> {};

// The five black keys of octave 5 clicked left to right; the keyboard is 800 pixels wide with
// 21-pixel white keys, C4 at x 499..520, so the black keys sit on x 520, 541, 583, 604, 625.
TEST_P(BlackKeys, NamedAsTheKeyboardReportsThem) {
    EnsureApplication();
    Pad P;
    std::string Script = "set AutoTone " + std::string(GetParam().AutoTone) + "\n";
    for (int X : {520, 541, 583, 604, 625})
        Script += "down " + std::to_string(X) + " 30\nup " + std::to_string(X) + " 30\n";
    ASSERT_EQ(P.Run(Script), 0) << P.Out.str();
    EXPECT_EQ(P.Names(), GetParam().Names);
}

INSTANTIATE_TEST_SUITE_P(
    AutoTones, BlackKeys,
    ::testing::Values(
        ToneCase{"atAutoMajor", {"C#4 whole", "Eb4 whole", "F#4 whole", "Ab4 whole", "Bb4 whole"}},
        ToneCase{"atBemol", {"Db4 whole", "Eb4 whole", "Gb4 whole", "Ab4 whole", "Bb4 whole"}},
        ToneCase{"atDiesis", {"C#4 whole", "D#4 whole", "F#4 whole", "G#4 whole", "A#4 whole"}},
        ToneCase{"atAutoMinor", {"C#4 whole", "D#4 whole", "F#4 whole", "G#4 whole", "Bb4 whole"}}),
    [](const auto& Info) { return std::string(Info.param.AutoTone); });

// Every duration the row offers, each a C on the PC keyboard followed by a rest of the same
// length, exported and read back: notes start where the rest before them ends.
TEST(PadSession, EveryDurationAndRestsReachTheMidiFile) {
    EnsureApplication();
    Pad P;
    std::string Script = "set MaxDuration 8\n";
    for (int D = 0; D < 8; ++D)
        Script += "set DurationPosition " + std::to_string(D) +
                  "\nkeydown C\nkeyup C\nkeydown SPACE\nkeyup SPACE\n";
    const std::string Mid = (P.Config.path() + "/durations.mid").toStdString();
    Script += "undo\nexport " + Mid + "\n";
    ASSERT_EQ(P.Run(Script), 0) << P.Out.str();
    const std::vector<std::string> Names = P.Names();
    ASSERT_EQ(Names.size(), 15u);
    const char* Lengths[] = {"whole", "1/2", "1/4", "1/8", "1/16", "1/32", "1/64", "1/128"};
    for (std::size_t D = 0; D < 8; ++D) {
        EXPECT_EQ(Names[2 * D], std::string("C4 ") + Lengths[D]);
        if (D < 7) {
            EXPECT_EQ(Names[2 * D + 1], std::string("rest ") + Lengths[D]);
        }
    }
    const ReadFile F = ReadMidi(ReadBytes(Mid));
    EXPECT_EQ(F.Division, 480);
    EXPECT_EQ(F.Tempo, 500000);
    const std::vector<ReadNote> Expected = {{60, 0, 1920},   {60, 3840, 960}, {60, 5760, 480},
                                            {60, 6720, 240}, {60, 7200, 120}, {60, 7440, 60},
                                            {60, 7560, 30},  {60, 7620, 15}};
    EXPECT_EQ(F.Notes, Expected);
    EXPECT_NE(P.Out.str().find("{\"export\":\"" + Mid + "\",\"entries\":15}"), std::string::npos);
}

TEST(PadSession, VerticalKeyboardRunsDownTheLeftSide) {
    EnsureApplication();
    Pad P;
    ASSERT_EQ(P.Run("set Orientation koVertical\n"), 0) << P.Out.str();
    QApplication::processEvents();
    const QRect K = P.Window.keyboard().geometry();
    const QRect Area = P.Window.centralWidget()->rect();
    EXPECT_EQ(K, QRect(0, 0, 120, Area.height()));
    EXPECT_GE(Area.height(), 600) << "the window grows to give the keys their length";
    ASSERT_EQ(P.Run("set Orientation koHorizontal\n"), 0) << P.Out.str();
    QApplication::processEvents();
    const QRect Wide = P.Window.centralWidget()->rect();
    EXPECT_EQ(P.Window.keyboard().geometry(), QRect(0, Wide.height() - 120, Wide.width(), 120));
}

// The keyboard's own signals keep firing under a script, and alone once the script is over.
TEST(PadSession, KeyboardSignalsRunUnderTheScriptAndAfter) {
    EnsureApplication();
    Pad P;
    int Clicks = 0;
    QObject::connect(&P.Window.keyboard(), &KeymoraWidget::keyClick, [&] { ++Clicks; });
    ASSERT_EQ(P.Run("keydown E\nkeyup E\n"), 0);
    EXPECT_EQ(Clicks, 1);
    EXPECT_NE(P.Out.str().find("{\"event\":\"OnKeyClick\",\"octave\":5,\"note\":3,\"tone\":0}"),
              std::string::npos);
    const std::string Printed = P.Out.str();
    std::uint16_t Key = 'E';
    P.Window.keyboard().control().KeyDown(Key, {});
    Key = 'E';
    P.Window.keyboard().control().KeyUp(Key, {});
    EXPECT_EQ(Clicks, 2);
    EXPECT_EQ(P.Window.notes().Entries().size(), 2u);
    EXPECT_EQ(P.Out.str(), Printed) << "the engine prints nothing once it is gone";
}

// The README's command as the demo runs it without a display: keymora-pad --script on the
// sample melody in an empty settings folder.
TEST(PadHeadless, SampleMelodyEndToEnd) {
    QTemporaryDir Work;
    QProcess Pad;
    Pad.setWorkingDirectory(Work.path());
    QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
    Env.remove("DISPLAY");
    Env.remove("WAYLAND_DISPLAY");
    Env.remove("QT_QPA_PLATFORM");
    Env.insert("HOME", Work.path());  // the real user's folder stays out of reach
    Env.remove("XDG_CONFIG_HOME");
    Pad.setProcessEnvironment(Env);
    Pad.start(KEYMORA_PAD_EXE, {"--config", Work.path() + "/config", "--script",
                                KEYMORA_SOURCE_DIR "/examples/pad/sample-melody.kms"});
    ASSERT_TRUE(Pad.waitForFinished(60000));
    EXPECT_EQ(Pad.exitCode(), 0) << Pad.readAllStandardError().toStdString();
    const std::string Out = Pad.readAllStandardOutput().toStdString();
    EXPECT_NE(Out.find("{\"notes\":[\"E4 1/4\",\"D4 1/4\",\"C4 1/4\",\"D4 1/4\",\"E4 1/4\","
                       "\"E4 1/4\",\"E4 1/2\",\"D4 1/4\",\"D4 1/4\",\"rest 1/4\",\"E4 1/4\","
                       "\"G4 1/4\",\"G4 1/4\"]}\n"),
              std::string::npos)
        << Out;

    const std::string Dir = Work.path().toStdString() + "/";
    const ReadFile F = ReadMidi(ReadBytes(Dir + "sample-melody.mid"));
    EXPECT_EQ(F.Format, 0);
    const std::vector<ReadNote> Expected = {{64, 0, 480},    {62, 480, 480},  {60, 960, 480},
                                            {62, 1440, 480}, {64, 1920, 480}, {64, 2400, 480},
                                            {64, 2880, 960}, {62, 3840, 480}, {62, 4320, 480},
                                            {64, 5280, 480}, {67, 5760, 480}, {67, 6240, 480}};
    EXPECT_EQ(F.Notes, Expected);
    EXPECT_EQ(F.End, 6720);

    // The PNG's own header says how large it is: the 800 x 480 window.
    const std::vector<std::uint8_t> Png = ReadBytes(Dir + "sample-melody.png");
    ASSERT_GE(Png.size(), 24u);
    EXPECT_EQ(std::string(Png.begin() + 1, Png.begin() + 4), "PNG");
    const auto U32 = [&](std::size_t I) {
        return Png[I] << 24 | Png[I + 1] << 16 | Png[I + 2] << 8 | Png[I + 3];
    };
    EXPECT_EQ(U32(16), 800);
    EXPECT_EQ(U32(20), 480);
    EXPECT_NE(Out.find("{\"screenshot\":\"sample-melody.png\",\"width\":800,\"height\":480}"),
              std::string::npos);

    // The quarter notes chosen in the duration row were kept in the settings folder given.
    std::ifstream Settings(Dir + "config/keyboard.txt");
    const std::string Text{std::istreambuf_iterator<char>(Settings), {}};
    EXPECT_NE(Text.find("DurationPosition = 2"), std::string::npos) << Text;
    EXPECT_FALSE(std::filesystem::exists(Dir + ".config"));

    // The wrong note was fixed before the save, the first bar played back with nothing left
    // coloured, and the two notes entered after the save were unsaved when the run ended.
    EXPECT_NE(Out.find("{\"played\":[\"E4\",\"D4\",\"C4\",\"D4\"],\"coloured\":0}\n"),
              std::string::npos)
        << Out;
    EXPECT_NE(Out.find("{\"file\":\"sample-melody.musicxml\",\"entries\":15,\"modified\":true,"),
              std::string::npos)
        << Out;

    // A second run restores them from the recovery copy, as the demo's second run does.
    Pad.start(KEYMORA_PAD_EXE, {"--config", Work.path() + "/config", "--restore", "--script",
                                KEYMORA_SOURCE_DIR "/examples/pad/restore.kms"});
    ASSERT_TRUE(Pad.waitForFinished(60000));
    EXPECT_EQ(Pad.exitCode(), 0) << Pad.readAllStandardError().toStdString();
    const std::string Restored = Pad.readAllStandardOutput().toStdString();
    EXPECT_NE(Restored.find("\"G4 1/4\",\"G4 1/4\",\"A4 1/4\",\"G4 1/4\"]}"), std::string::npos)
        << Restored;
}

}  // namespace
}  // namespace keymora::pad
