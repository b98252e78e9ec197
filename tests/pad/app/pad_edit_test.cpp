// The pad as a notepad: editing with undo and redo, the questions before unsaved changes are
// lost, the recovery copy, playback and its marks, driven through the window and its scripts.
#include <gtest/gtest.h>

#include "app_support.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtGui/QCloseEvent>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <cstdlib>
#include <sstream>

#include "keymora/qt/keymora_widget.h"
#include "musicxml.h"
#include "pad_script.h"
#include "pad_window.h"

namespace keymora::pad {
namespace {

using test::EnsureApplication;
using test::SpinUntil;

// A silent pad without MIDI input in a settings folder of its own.
struct Pad {
    QString Folder;
    std::unique_ptr<PadWindow> Window;
    std::ostringstream Out;
    explicit Pad(const QString& ConfigFolder) : Folder(ConfigFolder) {
        EnsureApplication();
        Window = std::make_unique<PadWindow>(PadWindow::Options{Folder, false, false});
        Window->resize(800, 480);
        Window->show();
        // A waiting copy is left for the test to restore; otherwise copies are kept from now.
        if (!Window->hasRecovery()) Window->offerRecovery();
        QApplication::processEvents();
    }
    int Run(const std::string& Script) {
        Out.str({});
        std::istringstream In(Script);
        return RunPadScript(*Window, In, Out);
    }
    std::string Names() const {
        std::string N;
        for (const TEntry& E : Window->notes().Entries()) N += (N.empty() ? "" : " ") + Describe(E);
        return N;
    }
};

// C D E entered on the PC keys in quarters (the top cell of the duration row at x 784).
const char* const ThreeNotes =
    "down 784 17\nup 784 17\nkeydown C\nkeyup C\nkeydown D\nkeyup D\nkeydown E\nkeyup E\n";

struct EditCase {
    const char* Name;
    const char* Script;    // after ThreeNotes
    const char* After;     // the entries after the script
};

class Edits : public ::testing::TestWithParam<EditCase> {};

// Each edit gives its result; undoing it gives back the three notes, redoing it the result again.
TEST_P(Edits, UndoAndRedoEveryEdit) {
    QTemporaryDir Config;
    Pad P(Config.path());
    ASSERT_EQ(P.Run(ThreeNotes), 0) << P.Out.str();
    ASSERT_EQ(P.Names(), "C4 1/4 D4 1/4 E4 1/4");
    ASSERT_EQ(P.Run(GetParam().Script), 0) << P.Out.str();
    EXPECT_EQ(P.Names(), GetParam().After);
    const int Steps = P.Window->document().undoStack().index() - 3;
    for (int I = 0; I < Steps; ++I) P.Window->undo();
    EXPECT_EQ(P.Names(), "C4 1/4 D4 1/4 E4 1/4");
    for (int I = 0; I < Steps; ++I) P.Window->redo();
    EXPECT_EQ(P.Names(), GetParam().After);
}

INSTANTIATE_TEST_SUITE_P(
    Pad, Edits,
    ::testing::Values(
        // A key played with a selection changes its pitch and keeps its duration.
        EditCase{"replace", "select 2\ndown 784 52\nup 784 52\nselect 2\nkeydown G\nkeyup G\n",
                 "C4 1/4 G4 1/2 E4 1/4"},
        EditCase{"shift_flat", "select 1\nkeydown F shift\nkeyup F shift\n",
                 "Fb4 1/4 D4 1/4 E4 1/4"},
        // A duration cell picked with a selection changes the selected duration.
        EditCase{"duration", "select 3\ndown 784 52\nup 784 52\n", "C4 1/4 D4 1/4 E4 1/2"},
        EditCase{"space_rest", "select 1\nkeydown SPACE\nkeyup SPACE\n",
                 "rest 1/4 D4 1/4 E4 1/4"},
        EditCase{"insert_mode", "select 2\ninsert on\nkeydown G\nkeyup G\nkeydown A\nkeyup A\n",
                 "C4 1/4 G4 1/4 A4 1/4 D4 1/4 E4 1/4"},
        EditCase{"insert_rest", "select 1\nrest\n", "rest 1/4 C4 1/4 D4 1/4 E4 1/4"},
        EditCase{"delete_selected", "select 2\ndelete\n", "C4 1/4 E4 1/4"},
        EditCase{"delete_last", "delete\ndelete\n", "C4 1/4"},
        EditCase{"append_after_select_end", "select 1\nselect end\nkeydown G\nkeyup G\n",
                 "C4 1/4 D4 1/4 E4 1/4 G4 1/4"},
        EditCase{"clear", "clear\n", ""}),
    [](const auto& Info) { return std::string(Info.param.Name); });

struct KeyCase {
    const char* Name;
    Qt::Key Key;
    Qt::KeyboardModifiers Modifiers;
    const char* After;  // the entries afterwards
    int Selection;      // the selected entry afterwards, -1 for none
};

class Shortcuts : public ::testing::TestWithParam<KeyCase> {};

// The editing keys reach the window while the keyboard has the focus (as it always has), and
// keep away from the keys the keyboard uses itself (plain arrows, End, digits). Each case starts
// with C D E entered and D selected.
TEST_P(Shortcuts, WorkWhileTheKeyboardHasTheFocus) {
    QTemporaryDir Config;
    Pad P(Config.path());
    ASSERT_EQ(P.Run(std::string(ThreeNotes) + "select 2\n"), 0);
    P.Window->activateWindow();
    P.Window->keyboard().setFocus();
    QTest::keyClick(&P.Window->keyboard(), GetParam().Key, GetParam().Modifiers);
    QApplication::processEvents();
    EXPECT_EQ(P.Names(), GetParam().After);
    EXPECT_EQ(P.Window->selection(), GetParam().Selection);
}

INSTANTIATE_TEST_SUITE_P(
    Pad, Shortcuts,
    ::testing::Values(
        KeyCase{"alt_left", Qt::Key_Left, Qt::AltModifier, "C4 1/4 D4 1/4 E4 1/4", 0},
        KeyCase{"alt_right", Qt::Key_Right, Qt::AltModifier, "C4 1/4 D4 1/4 E4 1/4", 2},
        KeyCase{"escape", Qt::Key_Escape, Qt::NoModifier, "C4 1/4 D4 1/4 E4 1/4", -1},
        KeyCase{"delete", Qt::Key_Delete, Qt::NoModifier, "C4 1/4 E4 1/4", 1},
        KeyCase{"backspace", Qt::Key_Backspace, Qt::NoModifier, "C4 1/4 E4 1/4", 1},
        KeyCase{"rest", Qt::Key_R, Qt::ControlModifier, "C4 1/4 rest 1/4 D4 1/4 E4 1/4", 2},
        KeyCase{"undo", Qt::Key_Z, Qt::ControlModifier, "C4 1/4 D4 1/4", 1},
        // The keyboard's own: a plain arrow steps its octave and enters nothing.
        KeyCase{"plain_left", Qt::Key_Left, Qt::NoModifier, "C4 1/4 D4 1/4 E4 1/4", 1}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(PadEdit, MeterAndTempoAreUndoableAndRefusedOutOfRange) {
    QTemporaryDir Config;
    Pad P(Config.path());
    ASSERT_EQ(P.Run("time 3/4\ntempo 90\n"), 0) << P.Out.str();
    EXPECT_EQ(P.Window->notes().Time(), (TTimeSignature{3, 4}));
    EXPECT_EQ(P.Window->notes().Tempo(), 90);
    P.Window->undo();
    P.Window->undo();
    EXPECT_EQ(P.Window->notes().Time(), (TTimeSignature{4, 4}));
    EXPECT_EQ(P.Window->notes().Tempo(), 120);
    for (const char* Bad : {"time 3/5\n", "time 0/4\n", "time 33/4\n", "tempo 19\n",
                            "tempo 401\n", "tempo fast\n", "select 1\n"}) {
        EXPECT_EQ(P.Run(Bad), 2) << Bad;
        EXPECT_NE(P.Out.str().find("\"error\""), std::string::npos) << Bad << P.Out.str();
    }
    EXPECT_EQ(P.Window->notes().Tempo(), 120);
}

struct AskCase {
    const char* Name;
    const char* Command;          // what would lose the changes
    PadWindow::Answer Answer;
    bool Proceeds;                // the command went ahead
    bool SavedFirst;              // the document's file holds the change afterwards
};

class Questions : public ::testing::TestWithParam<AskCase> {};

// New, open and close ask about unsaved changes: save writes them first, discard drops them,
// cancel keeps everything as it was.
TEST_P(Questions, SaveDiscardOrCancel) {
    QTemporaryDir Config, Work;
    const QString File = Work.filePath("tune.musicxml");
    const QString Other = Work.filePath("other.musicxml");
    Pad P(Config.path());
    ASSERT_EQ(P.Run(std::string(ThreeNotes) + "save " + Other.toStdString() + "\nclear\nsave " +
                    File.toStdString() + "\nkeydown G\nkeyup G\n"),
              0)
        << P.Out.str();
    ASSERT_TRUE(P.Window->document().isModified());
    int Asked = 0;
    P.Window->setAsk([&](const QString& Question) {
        ++Asked;
        EXPECT_TRUE(Question.contains("tune.musicxml")) << Question.toStdString();
        return GetParam().Answer;
    });
    const std::string Command = GetParam().Command;
    bool Proceeded = false;
    QString Error;
    if (Command == "new") {
        Proceeded = P.Window->newDocument();
    } else if (Command == "open") {
        Proceeded = P.Window->openDocument(Other, Error);
    } else {
        QCloseEvent Close;
        QApplication::sendEvent(P.Window.get(), &Close);
        Proceeded = Close.isAccepted();
    }
    EXPECT_EQ(Asked, 1);
    EXPECT_EQ(Proceeded, GetParam().Proceeds) << Error.toStdString();
    TNoteList OnDisk;
    ASSERT_TRUE(OpenMusicXml(File, OnDisk, Error)) << Error.toStdString();
    EXPECT_EQ(OnDisk.Size(), GetParam().SavedFirst ? 1 : 0);
    if (!GetParam().Proceeds) {
        EXPECT_EQ(P.Names(), "G4 1/4");
        EXPECT_TRUE(P.Window->document().isModified());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pad, Questions,
    ::testing::Values(AskCase{"new_save", "new", PadWindow::Answer::Save, true, true},
                      AskCase{"new_discard", "new", PadWindow::Answer::Discard, true, false},
                      AskCase{"new_cancel", "new", PadWindow::Answer::Cancel, false, false},
                      AskCase{"open_save", "open", PadWindow::Answer::Save, true, true},
                      AskCase{"open_discard", "open", PadWindow::Answer::Discard, true, false},
                      AskCase{"open_cancel", "open", PadWindow::Answer::Cancel, false, false},
                      AskCase{"close_save", "close", PadWindow::Answer::Save, true, true},
                      AskCase{"close_discard", "close", PadWindow::Answer::Discard, true, false},
                      AskCase{"close_cancel", "close", PadWindow::Answer::Cancel, false, false}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(PadDocuments, NothingAskedWithoutChangesAndAFailedOpenKeepsTheDocument) {
    QTemporaryDir Config, Work;
    Pad P(Config.path());
    int Asked = 0;
    P.Window->setAsk([&](const QString&) {
        ++Asked;
        return PadWindow::Answer::Cancel;
    });
    EXPECT_TRUE(P.Window->newDocument());
    EXPECT_EQ(Asked, 0);
    ASSERT_EQ(P.Run(std::string(ThreeNotes) + "save " + Work.filePath("a.musicxml").toStdString() +
                    "\n"),
              0);
    QFile Broken(Work.filePath("broken.musicxml"));
    ASSERT_TRUE(Broken.open(QIODevice::WriteOnly));
    Broken.write("<?xml version=\"1.0\"?>\n<score-partwise version=\"4.0\">\n<part-list>");
    Broken.close();
    QString Error;
    EXPECT_FALSE(P.Window->openDocument(Broken.fileName(), Error));
    EXPECT_FALSE(Error.isEmpty());
    EXPECT_EQ(Asked, 0);
    EXPECT_EQ(P.Names(), "C4 1/4 D4 1/4 E4 1/4");
    EXPECT_EQ(P.Window->document().filePath(), Work.filePath("a.musicxml"));
    EXPECT_EQ(P.Window->recentFiles().value(0), Work.filePath("a.musicxml"));
}

// After every change the document is copied to the recovery file; a pad started after a crash
// restores it, modified and with its file name; a saved document leaves none behind.
TEST(PadRecovery, ACrashLosesNothing) {
    QTemporaryDir Config, Work;
    const QString File = Work.filePath("song.musicxml");
    {
        Pad P(Config.path());
        ASSERT_EQ(P.Run(std::string(ThreeNotes) + "save " + File.toStdString() +
                        "\nkeydown G\nkeyup G\n"),
                  0);
        QApplication::processEvents();
        EXPECT_TRUE(QFile::exists(P.Window->recoveryPath()));
        // The window goes without closing, as in a crash.
    }
    Pad Again(Config.path());
    ASSERT_TRUE(Again.Window->hasRecovery());
    QString Error;
    ASSERT_TRUE(Again.Window->restoreRecovery(Error)) << Error.toStdString();
    EXPECT_EQ(Again.Names(), "C4 1/4 D4 1/4 E4 1/4 G4 1/4");
    EXPECT_TRUE(Again.Window->document().isModified());
    EXPECT_EQ(Again.Window->document().filePath(), File);
    Again.Window->setAsk([](const QString&) { return PadWindow::Answer::Save; });
    QCloseEvent Close;
    QApplication::sendEvent(Again.Window.get(), &Close);
    EXPECT_TRUE(Close.isAccepted());
    EXPECT_FALSE(QFile::exists(Again.Window->recoveryPath()));
    TNoteList Saved;
    ASSERT_TRUE(OpenMusicXml(File, Saved, Error));
    EXPECT_EQ(Saved.Size(), 4);
}

TEST(PadRecovery, AnEarlierCopyIsSetAsideNeverOverwritten) {
    QTemporaryDir Config;
    QFile Copy(Config.filePath("recovery.musicxml"));
    TNoteList Old;
    Old.AddClick(5, 1, 0, 2);
    QString Error;
    ASSERT_TRUE(SaveMusicXml(Copy.fileName(), Old, Error));
    EnsureApplication();
    PadWindow W(PadWindow::Options{Config.path(), false, false});
    ASSERT_TRUE(W.hasRecovery());
    const QString Aside = W.setRecoveryAside();
    ASSERT_FALSE(Aside.isEmpty());
    TNoteList Kept;
    ASSERT_TRUE(OpenMusicXml(Aside, Kept, Error));
    EXPECT_EQ(Kept, Old);
    EXPECT_FALSE(W.hasRecovery());
}

TEST(PadRecovery, AWriteFailureIsSaidOnce) {
    QTemporaryDir Work;
    // The configuration folder is a file: no copy can be written there.
    const QString NotAFolder = Work.filePath("config");
    QFile F(NotAFolder);
    ASSERT_TRUE(F.open(QIODevice::WriteOnly));
    F.close();
    Pad P(NotAFolder);
    ASSERT_EQ(P.Run(ThreeNotes), 0);
    QApplication::processEvents();
    int Said = 0;
    for (const QString& M : P.Window->messages()) Said += M.startsWith("No recovery copy") ? 1 : 0;
    EXPECT_EQ(Said, 1) << P.Window->messages().join('\n').toStdString();
}

// Playback sounds each entry in turn at the tempo, colours its key and leaves nothing coloured
// when it ends or is stopped.
TEST(PadPlayback, PlaysInTimeAndLeavesNothingBehind) {
    QTemporaryDir Config;
    Pad P(Config.path());
    ASSERT_EQ(P.Run(std::string(ThreeNotes) +
                    "keydown SPACE\nkeyup SPACE\nkeydown F shift\nkeyup F shift\n"
                    "tempo 400\n"),
              0);
    // Five quarters at 400 a minute: 750 ms.
    QElapsedTimer Clock;
    Clock.start();
    ASSERT_EQ(P.Run("play\n"), 0);
    const qint64 Took = Clock.elapsed();
    EXPECT_NE(P.Out.str().find("{\"played\":[\"C4\",\"D4\",\"E4\",\"rest\",\"Fb4\"],\"coloured\":0}"),
              std::string::npos)
        << P.Out.str();
    EXPECT_GE(Took, 700);
    EXPECT_LT(Took, 3000);

    // From the selection, for two entries; a key sounding is coloured, and stop clears it.
    P.Window->select(1);
    P.Window->play(2);
    EXPECT_TRUE(P.Window->playing());
    EXPECT_TRUE(P.Window->keyboard().noteColor(62).isValid());
    P.Window->stop();
    EXPECT_FALSE(P.Window->playing());
    for (int N = 21; N <= 108; ++N) EXPECT_FALSE(P.Window->keyboard().noteColor(N).isValid()) << N;
    EXPECT_EQ(P.Window->playedNotes(), QStringList{"D4"});

    // Pause ends the note as stop does, and playing again goes on from the paused entry.
    P.Window->select(2);
    P.Window->play();
    P.Window->pause();
    EXPECT_FALSE(P.Window->playing());
    EXPECT_FALSE(P.Window->keyboard().noteColor(64).isValid());
    EXPECT_EQ(P.Window->selection(), 2);

    // Closing the window while a note sounds ends it too.
    P.Window->select(-1);
    P.Window->play();
    ASSERT_TRUE(P.Window->keyboard().noteColor(60).isValid());
    P.Window->setAsk([](const QString&) { return PadWindow::Answer::Discard; });
    QCloseEvent Close;
    QApplication::sendEvent(P.Window.get(), &Close);
    EXPECT_TRUE(Close.isAccepted());
    EXPECT_FALSE(P.Window->playing());
    EXPECT_FALSE(P.Window->keyboard().noteColor(60).isValid());
}

}  // namespace
}  // namespace keymora::pad
