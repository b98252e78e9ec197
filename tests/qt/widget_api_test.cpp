// KeymoraWidget as an application uses it: keys that never hang, one change signal per actual
// change, the wheel, touch, and sizing in a layout. Positions are worked out for a 600 x 100
// widget: 35 keys of 15 pixels from x = 16 (C4 is white key 23 at x 361..376), strip from 558.
#include <gtest/gtest.h>

#include <QtGui/QKeyEvent>
#include <QtGui/QPointingDevice>
#include <QtGui/QWheelEvent>
#include <QtTest/QSignalSpy>
#include <QtTest/QTest>
#include <QtWidgets/QVBoxLayout>
#include <functional>
#include <string>
#include <vector>

#include "keymora/qt/image.h"
#include "widget_support.h"

namespace keymora::test {
namespace {

using Log = std::vector<std::string>;

void Key(QWidget& W, QEvent::Type Type, int QtKey, Qt::KeyboardModifiers Mods,
         const QString& Text = {}) {
    QKeyEvent E(Type, QtKey, Mods, Text);
    QCoreApplication::sendEvent(&W, &E);
}

/// Every key that shows pressed, as "w23" or "b23".
Log Held(const KeymoraWidget& W) {
    Log R;
    const TKeymora& K = W.control();
    for (int P = 0; P < WhiteKeyCount; ++P) {
        if (K.KeyStates()[static_cast<std::size_t>(P)] == ksPressed)
            R.push_back("w" + std::to_string(P));
        if (K.ToneStates()[static_cast<std::size_t>(P)] == ksPressed)
            R.push_back("b" + std::to_string(P));
    }
    return R;
}

class WidgetApi : public ::testing::Test {
  protected:
    void SetUp() override { EnsureApplication(); }
};

// ---- Keys that never hang ----

struct HangCase {
    const char* Name;
    std::function<void(KeymoraWidget&)> Act;
    Log Downs;  // keys that went down, in order
};

TEST_F(WidgetApi, NoKeyHangs) {
    const HangCase Cases[] = {
        // Shift goes up before D: the release addresses D4, the press held C#4 (black 23).
        {"ShiftReleasedFirst",
         [](KeymoraWidget& W) {
             Key(W, QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
             Key(W, QEvent::KeyPress, Qt::Key_D, Qt::ShiftModifier, "D");
             Key(W, QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
             Key(W, QEvent::KeyRelease, Qt::Key_D, Qt::NoModifier, "d");
         },
         {"b23"}},
        // E held while 6 changes the octave: the release addresses E5.
        {"OctaveChangedWhileHeld",
         [](KeymoraWidget& W) {
             Key(W, QEvent::KeyPress, Qt::Key_E, Qt::NoModifier, "e");
             Key(W, QEvent::KeyPress, Qt::Key_6, Qt::NoModifier, "6");
             Key(W, QEvent::KeyRelease, Qt::Key_6, Qt::NoModifier, "6");
             Key(W, QEvent::KeyRelease, Qt::Key_E, Qt::NoModifier, "e");
         },
         {"w25"}},
        // The focus leaves while G is held.
        {"FocusLeaves",
         [](KeymoraWidget& W) {
             Key(W, QEvent::KeyPress, Qt::Key_G, Qt::NoModifier, "g");
             QFocusEvent Out(QEvent::FocusOut, Qt::TabFocusReason);
             QCoreApplication::sendEvent(&W, &Out);
         },
         {"w27"}},
        // All notes off, whatever pressed them.
        {"AllNotesOff",
         [](KeymoraWidget& W) {
             Key(W, QEvent::KeyPress, Qt::Key_C, Qt::NoModifier, "c");
             W.control().MouseDown(mbLeft, TShiftState{ssLeft}, 50, 90);
             W.allNotesOff();
         },
         {"w23", "w2"}},
    };
    for (const HangCase& C : Cases) {
        KeymoraWidget W;
        W.resize(600, 100);
        W.ensurePolished();
        Log Downs, Ups;
        QObject::connect(&W, &KeymoraWidget::keyStateChanged,
                         [&](int Index, bool Black, int Old, int New) {
                             const std::string Name = (Black ? "b" : "w") + std::to_string(Index);
                             if (New == ksPressed) Downs.push_back(Name);
                             if (Old == ksPressed) Ups.push_back(Name);
                         });
        C.Act(W);
        EXPECT_EQ(Held(W), Log{}) << C.Name;
        EXPECT_EQ(Downs, C.Downs) << C.Name;
        std::sort(Downs.begin(), Downs.end());
        std::sort(Ups.begin(), Ups.end());
        EXPECT_EQ(Ups, Downs) << C.Name;
    }
}

// A key whose release finds it is still released normally, with its click, and only once.
TEST_F(WidgetApi, AnOrdinaryReleaseStillClicks) {
    KeymoraWidget W;
    W.resize(600, 100);
    W.ensurePolished();
    Recorder R(W);
    Key(W, QEvent::KeyPress, Qt::Key_D, Qt::NoModifier, "d");
    Key(W, QEvent::KeyRelease, Qt::Key_D, Qt::NoModifier, "d");
    Log Clicks;
    for (const std::string& E : R.Log)
        if (E.rfind("keyClick", 0) == 0) Clicks.push_back(E);
    EXPECT_EQ(Clicks, Log{"keyClick 5 2 0"});
    EXPECT_EQ(Held(W), Log{});
}

// ---- One signal per actual change ----

struct NotifyCase {
    const char* Signal;  // the NOTIFY signal's name
    std::function<void(KeymoraWidget&)> Change;
    std::function<void(KeymoraWidget&)> Refused;  // a value the setter keeps out
};

TEST_F(WidgetApi, ChangeSignalsFireOncePerChange) {
    const NotifyCase Cases[] = {
        {"orientationChanged",
         [](KeymoraWidget& W) { W.setOrientation(KeymoraWidget::koVertical); },
         [](KeymoraWidget& W) { W.setOrientation(KeymoraWidget::KeyboardOrientation(7)); }},
        {"musicStyleChanged", [](KeymoraWidget& W) { W.setMusicStyle(KeymoraWidget::msShowMarks); },
         [](KeymoraWidget& W) { W.setMusicStyle(W.musicStyle()); }},
        {"settingWidthChanged", [](KeymoraWidget& W) { W.setSettingWidth(40); },
         [](KeymoraWidget& W) { W.setSettingWidth(5); }},
        {"durationWidthChanged", [](KeymoraWidget& W) { W.setDurationWidth(8); },
         [](KeymoraWidget& W) { W.setDurationWidth(W.durationWidth()); }},
        {"durationPositionChanged", [](KeymoraWidget& W) { W.setDurationPosition(1); },
         [](KeymoraWidget& W) { W.setDurationPosition(6); }},
        {"octaveChanged", [](KeymoraWidget& W) { W.setOctave(3); },
         [](KeymoraWidget& W) { W.setOctave(10); }},
        {"autoToneChanged", [](KeymoraWidget& W) { W.setAutoTone(KeymoraWidget::atDiesis); },
         [](KeymoraWidget& W) { W.setAutoTone(KeymoraWidget::AutoTone(9)); }},
        {"offsetOctaveChanged", [](KeymoraWidget& W) { W.setOffsetOctave(2); },
         [](KeymoraWidget& W) { W.setOffsetOctave(5); }},
        {"maxOffsetDurationChanged", [](KeymoraWidget& W) { W.setMaxOffsetDuration(2); },
         [](KeymoraWidget& W) { W.setMaxOffsetDuration(6); }},
        {"maxOffsetOttaveChanged", [](KeymoraWidget& W) { W.setMaxOffsetOttave(3); },
         [](KeymoraWidget& W) { W.setMaxOffsetOttave(9); }},
        {"keysChanged", [](KeymoraWidget& W) { W.setKeys(QStringLiteral("QWERTYU")); },
         [](KeymoraWidget& W) { W.setKeys(QStringLiteral("cdefgab")); }},
        {"maxDurationChanged", [](KeymoraWidget& W) { W.setMaxDuration(8); },
         [](KeymoraWidget& W) { W.setMaxDuration(1); }},
        {"mouseTrackChanged", [](KeymoraWidget& W) { W.setMouseTrack(true); },
         [](KeymoraWidget& W) { W.setMouseTrack(false); }},
        {"offsetDurationChanged", [](KeymoraWidget& W) { W.setOffsetDuration(2); },
         [](KeymoraWidget& W) { W.setOffsetDuration(4); }},
        {"ctrlMoveChanged", [](KeymoraWidget& W) { W.setCtrlMove(true); },
         [](KeymoraWidget& W) { W.setCtrlMove(false); }},
        {"colorChanged", [](KeymoraWidget& W) { W.setColor(QColor(10, 20, 30)); },
         [](KeymoraWidget& W) { W.setColor(QColor()); }},
        {"showHintChanged", [](KeymoraWidget& W) { W.setShowHint(true); },
         [](KeymoraWidget& W) { W.setShowHint(false); }},
        {"tabStopChanged", [](KeymoraWidget& W) { W.setTabStop(false); },
         [](KeymoraWidget& W) { W.setTabStop(true); }},
        {"themedChanged", [](KeymoraWidget& W) { W.setThemed(false); },
         [](KeymoraWidget& W) { W.setThemed(true); }},
        {"velocityChanged", [](KeymoraWidget& W) { W.setVelocity(64); },
         [](KeymoraWidget& W) { W.setVelocity(128); }},
        {"velocityByPositionChanged", [](KeymoraWidget& W) { W.setVelocityByPosition(true); },
         [](KeymoraWidget& W) { W.setVelocityByPosition(false); }},
        {"noteNamesChanged", [](KeymoraWidget& W) { W.setNoteNames(true); },
         [](KeymoraWidget& W) { W.setNoteNames(false); }},
        {"scientificOctavesChanged", [](KeymoraWidget& W) { W.setScientificOctaves(true); },
         [](KeymoraWidget& W) { W.setScientificOctaves(false); }},
    };
    const QMetaObject& M = KeymoraWidget::staticMetaObject;
    for (const NotifyCase& C : Cases) {
        KeymoraWidget W;
        W.resize(600, 100);
        W.ensurePolished();
        int Index = -1;
        for (int I = M.methodOffset(); I < M.methodCount(); ++I)
            if (M.method(I).name() == C.Signal) Index = I;
        ASSERT_GE(Index, 0) << C.Signal;
        QSignalSpy Spy(&W, M.method(Index));
        C.Refused(W);
        EXPECT_EQ(Spy.count(), 0) << C.Signal << " for a refused or unchanged value";
        C.Change(W);
        C.Change(W);
        EXPECT_EQ(Spy.count(), 1) << C.Signal;
    }
}

// Changes made on the control directly, as a loaded text form makes them, are signalled too.
TEST_F(WidgetApi, ChangesMadeOnTheControlAreSignalled) {
    KeymoraWidget W;
    QSignalSpy Octave(&W, &KeymoraWidget::octaveChanged);
    QSignalSpy Color(&W, &KeymoraWidget::colorChanged);
    W.control().SetOctave(7);
    W.control().SetColor(0x00112233);
    ASSERT_EQ(Octave.count(), 1);
    EXPECT_EQ(Octave.at(0).at(0).toInt(), 7);
    EXPECT_EQ(Color.count(), 1);
}

// ---- The wheel ----

void Wheel(KeymoraWidget& W, QPoint At, int Delta) {
    QWheelEvent E(QPointF(At), QPointF(W.mapToGlobal(At)), QPoint(), QPoint(0, Delta), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&W, &E);
}

TEST_F(WidgetApi, TheWheelScrollsOctavesAndDurations) {
    KeymoraWidget W;
    W.resize(600, 100);
    W.ensurePolished();
    // Over the keys: a notch is an octave; small steps add up to a notch.
    Wheel(W, QPoint(300, 50), 120);
    EXPECT_EQ(W.offsetOctave(), 1);
    for (int I = 0; I < 3; ++I) Wheel(W, QPoint(300, 50), 40);
    EXPECT_EQ(W.offsetOctave(), 2);
    Wheel(W, QPoint(300, 50), -240);
    EXPECT_EQ(W.offsetOctave(), 0);
    // Past the limit it stops there.
    Wheel(W, QPoint(300, 50), 1200);
    EXPECT_EQ(W.offsetOctave(), 4);
    // Over the duration row it scrolls the row.
    Wheel(W, QPoint(570, 40), 120);
    EXPECT_EQ(W.offsetDuration(), 1);
    EXPECT_EQ(W.offsetOctave(), 4);
    // Without the scroll styles the wheel is left to the parent.
    W.setMusicStyle(KeymoraWidget::msShowMarks);
    QWheelEvent E(QPointF(300, 50), QPointF(300, 50), QPoint(), QPoint(0, 120), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&W, &E);
    EXPECT_FALSE(E.isAccepted());
}

// ---- Touch ----

TEST_F(WidgetApi, TouchPointsPlayTheKeysUnderThem) {
    KeymoraWidget W;
    W.resize(600, 100);
    W.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&W));
    static QPointingDevice* Screen = QTest::createTouchDevice();
    Recorder R(W);
    // C4 (x 361..376) and E4 (x 391..406), low on the keys, at once.
    QTest::touchEvent(&W, Screen).press(0, QPoint(368, 90)).press(1, QPoint(398, 90));
    EXPECT_EQ(Held(W), (Log{"w23", "w25"}));
    QTest::touchEvent(&W, Screen).release(0, QPoint(368, 90)).stationary(1);
    EXPECT_EQ(Held(W), Log{"w25"});
    QTest::touchEvent(&W, Screen).release(1, QPoint(398, 90));
    EXPECT_EQ(Held(W), Log{});
    Log Clicks;
    for (const std::string& E : R.Log)
        if (E.rfind("keyClick", 0) == 0 || E.rfind("mouse", 0) == 0) Clicks.push_back(E);
    // Reported like clicks, and no mouse events made of the touches.
    EXPECT_EQ(Clicks, (Log{"keyClick 5 1 0", "keyClick 5 3 0"}));
}

// ---- Sizing ----

TEST_F(WidgetApi, SizeHintsFollowTheOrientation) {
    KeymoraWidget W;
    W.ensurePolished();
    EXPECT_EQ(W.sizeHint(), QSize(600, 100));
    // 2 * 16 + 30 + 8 * 35 + 1 along the keys.
    EXPECT_EQ(W.minimumSizeHint(), QSize(343, 56));
    W.setOrientation(KeymoraWidget::koVertical);
    EXPECT_EQ(W.sizeHint(), QSize(100, 600));
    EXPECT_EQ(W.minimumSizeHint(), QSize(56, 343));
}

// A vertical keyboard in a vertical layout gets the length its keys need and draws them.
TEST_F(WidgetApi, AVerticalKeyboardInALayoutDrawsItsKeys) {
    QWidget Window;
    auto* Layout = new QVBoxLayout(&Window);
    auto* W = new KeymoraWidget;
    W->setOrientation(KeymoraWidget::koVertical);
    Layout->addWidget(W);
    Window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
    EXPECT_GE(W->height(), 343);
    const QImage Picture = W->grab().toImage();
    // Along a line down the front of the white keys (x = 84, past the black keys' 4/5), fills
    // and outlines alternate: every visible key is drawn.
    int Edges = 0;
    for (int Y = 16; Y + 1 < W->height() - 40; ++Y)
        Edges += Picture.pixelColor(84, Y) != Picture.pixelColor(84, Y + 1);
    EXPECT_GE(Edges, 2 * 30);
}

// ---- Notes by MIDI number ----

// The colour of the middle of a white key's front part, below the black keys and above the
// marks: x at the key's middle, y = 75 of 100.
QColor FrontOf(const QImage& Picture, const KeymoraWidget& W, int Note) {
    const QRect R = W.noteRect(Note);
    return Picture.pixelColor(R.center().x(), 75);
}

TEST_F(WidgetApi, AChordLitByNumbersShowsOnItsKeys) {
    KeymoraWidget W;
    W.resize(600, 100);
    W.ensurePolished();
    // C4 E4 G4: white keys 23, 25, 27 at x 361, 391, 421 (15 pixels each from 16).
    for (int Note : {60, 64, 67}) W.lightNote(Note);
    EXPECT_EQ(W.noteRect(60), QRect(361, 0, 15, 100));
    EXPECT_EQ(W.noteRect(67), QRect(421, 0, 15, 100));
    const QImage Picture = qt::PaintToImage(W.control());
    for (int Note : {60, 64, 67}) EXPECT_EQ(FrontOf(Picture, W, Note), QColor(Qt::red)) << Note;
    for (int Note : {62, 65, 69}) EXPECT_NE(FrontOf(Picture, W, Note), QColor(Qt::red)) << Note;
    W.unlightNote(64);
    EXPECT_NE(FrontOf(qt::PaintToImage(W.control()), W, 64), QColor(Qt::red));
    // Numbers outside the keyboard are ignored.
    W.lightNote(20);
    W.lightNote(109);
    EXPECT_EQ(W.noteRect(109), QRect());
}

TEST_F(WidgetApi, ColouredKeysKeepTheirColourThroughAClick) {
    KeymoraWidget W;
    W.resize(600, 100);
    W.ensurePolished();
    const QColor Green(0, 160, 0);
    W.setNoteColor(60, Green);
    W.setNoteColor(61, QColor(0, 0, 255));
    QImage Picture = qt::PaintToImage(W.control());
    EXPECT_EQ(FrontOf(Picture, W, 60), Green);
    // C#4's body, half way down it.
    const QRect Black = W.noteRect(61);
    EXPECT_EQ(Picture.pixelColor(Black.center().x(), 40), QColor(0, 0, 255));
    // A click presses and releases the key; the colour stays.
    W.control().MouseDown(mbLeft, TShiftState{ssLeft}, 368, 90);
    W.control().MouseUp(mbLeft, TShiftState{}, 368, 90);
    Picture = qt::PaintToImage(W.control());
    EXPECT_EQ(FrontOf(Picture, W, 60), Green);
    EXPECT_EQ(W.noteColor(60), Green);
    // The letter of a dark key turns white: some pixel of C4's letter box is white.
    bool White = false;
    for (int Y = 84; Y < 98; ++Y)
        for (int X = 363; X < 374; ++X) White |= Picture.pixelColor(X, Y) == QColor(Qt::white);
    EXPECT_TRUE(White);
    W.clearNoteColors();
    EXPECT_FALSE(W.noteColor(60).isValid());
    EXPECT_NE(FrontOf(qt::PaintToImage(W.control()), W, 60), Green);
}

TEST_F(WidgetApi, NotesGoDownAndUpWithNumbersAndVelocity) {
    KeymoraWidget W;
    W.resize(600, 100);
    W.ensurePolished();
    Log Notes;
    QObject::connect(&W, &KeymoraWidget::noteOn, [&](int Note, int Velocity) {
        Notes.push_back("on " + std::to_string(Note) + " " + std::to_string(Velocity));
    });
    QObject::connect(&W, &KeymoraWidget::noteOff, [&](int Note, int Velocity) {
        Notes.push_back("off " + std::to_string(Note) + " " + std::to_string(Velocity));
    });
    QObject::connect(&W, &KeymoraWidget::notePlayed, [&](int Note, const QString& Name) {
        Notes.push_back("played " + std::to_string(Note) + " " + Name.toStdString());
    });
    auto Click = [&](QPoint P) {
        QTest::mousePress(&W, Qt::LeftButton, Qt::NoModifier, P);
        EXPECT_EQ(W.heldNotes(), QList<int>{W.noteAt(P)});
        QTest::mouseRelease(&W, Qt::LeftButton, Qt::NoModifier, P);
    };
    Click(QPoint(368, 90));  // C4
    // Shift+F under the default AutoTone holds the place after E4 and plays Fb4, MIDI 64.
    Key(W, QEvent::KeyPress, Qt::Key_F, Qt::ShiftModifier, "F");
    Key(W, QEvent::KeyRelease, Qt::Key_F, Qt::ShiftModifier, "F");
    // With velocity by position: y 10 of a 100-pixel white key is soft, y 99 loud.
    W.setVelocityByPosition(true);
    Click(QPoint(368, 99));
    W.setVelocity(50);
    W.setVelocityByPosition(false);
    Click(QPoint(398, 90));  // E4 at the fixed velocity
    EXPECT_EQ(Notes, (Log{"on 60 100", "off 60 100", "played 60 C4", "on 64 100", "off 64 100",
                          "played 64 Fb4", "on 60 127", "off 60 127", "played 60 C4",
                          "on 64 50", "off 64 50", "played 64 E4"}));
    EXPECT_EQ(W.noteAt(QPoint(368, 90)), 60);
    EXPECT_EQ(W.noteAt(QPoint(575, 50)), -1);  // the duration row
    EXPECT_EQ(W.heldNotes(), QList<int>{});
}

}  // namespace
}  // namespace keymora::test
