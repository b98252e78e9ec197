// KeymoraWidget's translation of Qt input: key codes and modifiers to virtual keys and shift
// states, auto-repeat, the arrow and Tab keys, mouse buttons, focus with its repaint rectangles,
// the tooltip and the cursor. Positions and rectangles are worked out by hand for a 600 x 100
// widget: 35 keys of 15 pixels from x = 16, setting strip 558..588, marks band y 86..100.
#include <gtest/gtest.h>

#include <QtGui/QKeyEvent>
#include <QtGui/QPaintEvent>
#include <QtTest/QTest>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMenu>
#include <QtWidgets/QToolTip>
#include <QtWidgets/QVBoxLayout>

#include "widget_support.h"

namespace keymora::test {
namespace {

using Log = std::vector<std::string>;

void SendKey(QWidget& W, QEvent::Type Type, int Key, Qt::KeyboardModifiers Mods,
             const QString& Text = {}, bool AutoRepeat = false) {
    QKeyEvent E(Type, Key, Mods, Text, AutoRepeat);
    QCoreApplication::sendEvent(&W, &E);
}

void SendMouse(QWidget& W, QEvent::Type Type, Qt::MouseButton Button, Qt::MouseButtons Buttons,
               QPoint P, Qt::KeyboardModifiers Mods = Qt::NoModifier) {
    QMouseEvent E(Type, QPointF(P), QPointF(W.mapToGlobal(P)), Button, Buttons, Mods);
    QCoreApplication::sendEvent(&W, &E);
}

// ---- Key codes and shift states ----

struct KeyCase {
    const char* Name;
    int QtKey;
    Qt::KeyboardModifiers Mods;
    const char* Expected;  // the host's OnKeyDown: code and shift state
};

class KeyMapping : public ::testing::TestWithParam<KeyCase> {
  protected:
    void SetUp() override { EnsureApplication(); }
};

TEST_P(KeyMapping, PressAndReleaseReachTheControl) {
    KeymoraWidget W;
    Recorder R(W);
    SendKey(W, QEvent::KeyPress, GetParam().QtKey, GetParam().Mods);
    SendKey(W, QEvent::KeyRelease, GetParam().QtKey, GetParam().Mods);
    const std::string Code = GetParam().Expected;
    // Only the host's key events: what the control makes of the keys is another test's.
    Log Keys;
    for (const std::string& Entry : R.Log)
        if (Entry.rfind("key", 0) == 0 && Entry.rfind("keyClick", 0) != 0) Keys.push_back(Entry);
    EXPECT_EQ(Keys, (Log{"keydown " + Code, "keyup " + Code}));
}

constexpr Qt::KeyboardModifiers Keypad = Qt::KeypadModifier;
constexpr Qt::KeyboardModifiers Shift = Qt::ShiftModifier;

INSTANTIATE_TEST_SUITE_P(
    Codes, KeyMapping,
    ::testing::Values(
        KeyCase{"LetterQ", Qt::Key_Q, Qt::NoModifier, "81 -"},
        KeyCase{"ShiftedLetterZ", Qt::Key_Z, Shift, "90 shift"},
        KeyCase{"DigitZero", Qt::Key_0, Qt::NoModifier, "48 -"},
        KeyCase{"KeypadZero", Qt::Key_0, Keypad, "96 -"},
        KeyCase{"KeypadOne", Qt::Key_1, Keypad, "97 -"},
        KeyCase{"KeypadNine", Qt::Key_9, Keypad, "105 -"},
        KeyCase{"KeypadPlus", Qt::Key_Plus, Keypad, "107 -"},
        KeyCase{"PageUp", Qt::Key_PageUp, Qt::NoModifier, "33 -"},
        KeyCase{"PageDown", Qt::Key_PageDown, Qt::NoModifier, "34 -"},
        KeyCase{"Home", Qt::Key_Home, Qt::NoModifier, "36 -"},
        KeyCase{"KeypadHomeWithoutNumLock", Qt::Key_Home, Keypad, "36 -"},
        // Punctuation codes overlap the navigation codes; each must become its own key's code.
        KeyCase{"PercentIsShiftFive", Qt::Key_Percent, Shift, "53 shift"},
        KeyCase{"ApostropheIsNotRight", Qt::Key_Apostrophe, Qt::NoModifier, "222 -"},
        KeyCase{"AmpersandIsNotUp", Qt::Key_Ampersand, Shift, "55 shift"},
        KeyCase{"ParenLeftIsNotDown", Qt::Key_ParenLeft, Shift, "57 shift"},
        KeyCase{"Comma", Qt::Key_Comma, Qt::NoModifier, "188 -"},
        KeyCase{"F5", Qt::Key_F5, Qt::NoModifier, "116 -"},
        KeyCase{"Escape", Qt::Key_Escape, Qt::NoModifier, "27 -"},
        KeyCase{"AllModifiers", Qt::Key_Q, Shift | Qt::ControlModifier | Qt::AltModifier,
                "81 shift+alt+ctrl"}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(KeyMappingUnknown, KeyWithoutCodeIsLeftToTheParent) {
    EnsureApplication();
    KeymoraWidget W;
    Recorder R(W);
    QKeyEvent E(QEvent::KeyPress, Qt::Key_VolumeUp, Qt::NoModifier);
    QCoreApplication::sendEvent(&W, &E);
    EXPECT_FALSE(E.isAccepted());
    EXPECT_TRUE(R.Log.empty());
}

// ---- Keys that act: letters, digits, arrows and auto-repeat ----

struct KeyStep {
    QEvent::Type Type;
    int QtKey;
    Qt::KeyboardModifiers Mods;
    bool AutoRepeat;
};

struct ActingCase {
    const char* Name;
    std::vector<KeyStep> Steps;
    Log Expected;
    int Octave;
};

class ActingKeys : public ::testing::TestWithParam<ActingCase> {
  protected:
    void SetUp() override { EnsureApplication(); }
};

TEST_P(ActingKeys, ReachTheControlsKeySteps) {
    KeymoraWidget W;
    W.ensurePolished();  // loaded: the view follows the octave
    Recorder R(W);
    for (const KeyStep& S : GetParam().Steps) SendKey(W, S.Type, S.QtKey, S.Mods, {}, S.AutoRepeat);
    EXPECT_EQ(R.Log, GetParam().Expected);
    EXPECT_EQ(W.octave(), GetParam().Octave);
}

constexpr auto Press = QEvent::KeyPress;
constexpr auto Release = QEvent::KeyRelease;
constexpr Qt::KeyboardModifiers None = Qt::NoModifier;

INSTANTIATE_TEST_SUITE_P(
    Steps, ActingKeys,
    ::testing::Values(
        // X11 repeats a held key as release-press pairs flagged as auto-repeat: the releases are
        // dropped, the presses pass, and the note sounds once, at the real release.
        ActingCase{"HeldLetterRepeats",
                   {{Press, Qt::Key_C, None, false},
                    {Release, Qt::Key_C, None, true},
                    {Press, Qt::Key_C, None, true},
                    {Release, Qt::Key_C, None, true},
                    {Press, Qt::Key_C, None, true},
                    {Release, Qt::Key_C, None, false}},
                   {"keydown 67 -", "keydown 67 -", "keydown 67 -", "keyClick 5 1 0", "keyup 67 -"},
                   5},
        ActingCase{"DigitChoosesTheOctave",
                   {{Press, Qt::Key_3, None, false}, {Release, Qt::Key_3, None, false}},
                   {"keydown 51 -", "keyup 51 -"},
                   3},
        ActingCase{"KeypadDigitDoesNot",
                   {{Press, Qt::Key_3, Keypad, false}, {Release, Qt::Key_3, Keypad, false}},
                   {"keydown 99 -", "keyup 99 -"},
                   5},
        ActingCase{
            "ArrowsReachTheControl",
            {{Press, Qt::Key_Right, None, false},
             {Release, Qt::Key_Right, None, false},
             {Press, Qt::Key_Up, None, false}},
            // Octave 6 scrolls the view by one octave (6 - 0 >= 9 - 4).
            {"offsetChanged", "keydown 39 -", "keyup 39 -", "durationChanged", "keydown 38 -"},
            6},
        ActingCase{
            "ShiftedPunctuationIsNoArrow",
            {{Press, Qt::Key_Percent, Shift, false}, {Press, Qt::Key_Apostrophe, None, false}},
            {"keydown 53 shift", "keydown 222 -"},
            5},
        ActingCase{"SpaceClicksWithoutANote",
                   {{Press, Qt::Key_Space, None, false}, {Press, Qt::Key_Space, None, true}},
                   {"keyClick 0 -1 0", "keydown 32 -", "keyClick 0 -1 0", "keydown 32 -"},
                   5}),
    [](const auto& Info) { return std::string(Info.param.Name); });

// ---- Focus: Tab, clicks, and the repaint of the focus-dependent parts ----

// A window with an edit, the keyboard and another edit, in that tab order.
struct FocusWindow {
    QWidget Window;
    QLineEdit* Before;
    KeymoraWidget* Keyboard;
    QLineEdit* After;
    std::vector<QRegion> Painted;

    FocusWindow() {
        auto* Layout = new QVBoxLayout(&Window);
        Layout->setContentsMargins(0, 0, 0, 0);
        Before = new QLineEdit(&Window);
        Keyboard = new KeymoraWidget(&Window);
        Keyboard->setFixedSize(600, 100);
        After = new QLineEdit(&Window);
        Layout->addWidget(Before);
        Layout->addWidget(Keyboard);
        Layout->addWidget(After);
        Window.show();
        Window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&Window));
        Before->setFocus();
        Settle();
    }

    void Settle() {
        QCoreApplication::processEvents();
        QTest::qWait(20);
        Painted.clear();
    }

    // Every paint of the keyboard from here on, by its region.
    void Watch() {
        struct Filter : QObject {
            std::vector<QRegion>* Out;
            bool eventFilter(QObject*, QEvent* E) override {
                if (E->type() == QEvent::Paint)
                    Out->push_back(static_cast<QPaintEvent*>(E)->region());
                return false;
            }
        };
        auto* F = new Filter;
        F->Out = &Painted;
        F->setParent(Keyboard);
        Keyboard->installEventFilter(F);
    }

    QRegion PaintedRegion() const {
        QRegion R;
        for (const QRegion& P : Painted) R += P;
        return R;
    }
};

struct TabCase {
    const char* Name;
    bool TabStop;
    const char* FocusAfterTab;  // "keyboard" or "after"
};

class TabOrder : public ::testing::TestWithParam<TabCase> {
  protected:
    void SetUp() override { EnsureApplication(); }
};

TEST_P(TabOrder, TabStopDecidesWhetherTabEnters) {
    FocusWindow F;
    F.Keyboard->setTabStop(GetParam().TabStop);
    QTest::keyClick(F.Before, Qt::Key_Tab);
    QWidget* Expected = std::string(GetParam().FocusAfterTab) == "keyboard"
                            ? static_cast<QWidget*>(F.Keyboard)
                            : static_cast<QWidget*>(F.After);
    EXPECT_EQ(QApplication::focusWidget(), Expected);
    if (GetParam().TabStop) {
        // And Tab leaves it again: the control does not ask for Tab.
        QTest::keyClick(F.Keyboard, Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), F.After);
    }
}

TEST_P(TabOrder, AClickTakesTheFocusEither) {
    FocusWindow F;
    F.Keyboard->setTabStop(GetParam().TabStop);
    QTest::mouseClick(F.Keyboard, Qt::LeftButton, {}, QPoint(368, 90));
    EXPECT_EQ(QApplication::focusWidget(), F.Keyboard);
}

INSTANTIATE_TEST_SUITE_P(Focus, TabOrder,
                         ::testing::Values(TabCase{"TabStop", true, "keyboard"},
                                           TabCase{"NoTabStop", false, "after"}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST(FocusRepaint, InAndOutRepaintTheMarksAndTheStripOnly) {
    EnsureApplication();
    FocusWindow F;
    F.Watch();
    // The current octave 5's marks: keys 23..29 of octave 5, x 16 + 23 * 15 = 361 to
    // 16 + 30 * 15 = 466, the band 14 pixels above the front edge; and the setting strip.
    const QRegion Expected = QRegion(361, 86, 105, 14) + QRegion(558, 0, 30, 100);

    F.Keyboard->setFocus(Qt::OtherFocusReason);
    QTest::qWait(50);
    EXPECT_TRUE(F.Keyboard->hasFocus());
    EXPECT_EQ(F.PaintedRegion(), Expected);

    F.Painted.clear();
    F.After->setFocus(Qt::OtherFocusReason);
    QTest::qWait(50);
    EXPECT_FALSE(F.Keyboard->hasFocus());
    EXPECT_EQ(F.PaintedRegion(), Expected);
}

// ---- Mouse ----

struct MouseCase {
    const char* Name;
    Qt::MouseButton Button;
    QPoint PressAt;
    QPoint ReleaseAt;
    Log Expected;
};

class MouseButtons : public ::testing::TestWithParam<MouseCase> {
  protected:
    void SetUp() override { EnsureApplication(); }
};

TEST_P(MouseButtons, PressAndReleaseReachTheControl) {
    KeymoraWidget W;
    W.resize(600, 100);
    W.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&W));
    Recorder R(W);
    const MouseCase& C = GetParam();
    SendMouse(W, QEvent::MouseButtonPress, C.Button, C.Button, C.PressAt);
    SendMouse(W, QEvent::MouseButtonRelease, C.Button, Qt::NoButton, C.ReleaseAt);
    EXPECT_EQ(R.Log, C.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, MouseButtons,
    ::testing::Values(
        // White key 23 (C4): p = ((368 - 16) * 35) div 526 = 23, below the black keys.
        MouseCase{"LeftOnWhiteKey",
                  Qt::LeftButton,
                  {368, 90},
                  {368, 90},
                  {"mousedown 0 left 368 90", "mouseup 0 - 368 90", "keyClick 5 1 0"}},
        MouseCase{"RightButtonPlaysAlike",
                  Qt::RightButton,
                  {368, 90},
                  {368, 90},
                  {"mousedown 1 right 368 90", "mouseup 1 - 368 90", "keyClick 5 1 0"}},
        // Released outside after the press: the key is still reported.
        MouseCase{"ReleasedOutside",
                  Qt::LeftButton,
                  {368, 90},
                  {700, -20},
                  {"mousedown 0 left 368 90", "mouseup 0 - 700 -20", "keyClick 5 1 0"}},
        // The black key after C4: B(24) = 526 * 24 div 35 + 16 = 376, h = 15 div 4 + 1 = 4, so
        // x 372..376 in the black-key zone (y < 80) hits it: C sharp.
        MouseCase{"BlackKey",
                  Qt::MiddleButton,
                  {374, 40},
                  {374, 40},
                  {"mousedown 2 middle 374 40", "mouseup 2 - 374 40", "keyClick 5 1 1"}},
        // A button the host does not know goes to the parent.
        MouseCase{"BackButtonIgnored", Qt::BackButton, {368, 90}, {368, 90}, {}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

// The key-state signal carries every change, press and release alike, for sounds held from
// press to release; the click itself still comes only at the release.
TEST(KeyStateSignal, PressAndReleaseOfAKey) {
    EnsureApplication();
    KeymoraWidget W;
    W.resize(600, 100);
    W.ensurePolished();
    Log States;
    QObject::connect(&W, &KeymoraWidget::keyStateChanged, [&](int I, bool B, int O, int N) {
        States.push_back(std::to_string(I) + (B ? " black " : " white ") + std::to_string(O) +
                         "->" + std::to_string(N));
    });
    SendMouse(W, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {368, 90});
    SendMouse(W, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {368, 90});
    SendMouse(W, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {374, 40});
    SendMouse(W, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {374, 40});
    EXPECT_EQ(States, (Log{"23 white 0->2", "23 white 2->0", "23 black 0->2", "23 black 2->0"}));
}

TEST(MouseMoves, WithAndWithoutAButtonAndDoubleClick) {
    EnsureApplication();
    KeymoraWidget W;
    W.resize(600, 100);
    W.ensurePolished();  // the layout, so that these points lie on the keys
    Recorder R(W);
    SendMouse(W, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, {10, 20});
    SendMouse(W, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {11, 21}, Qt::ControlModifier);
    SendMouse(W, QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton, {12, 22});
    EXPECT_EQ(R.Log, (Log{"mousemove - 10 20", "mousemove ctrl+left 11 21",
                          "mousedown 0 left+double 12 22"}));
}

// ---- Hint and cursor ----

struct HintCase {
    const char* Name;
    bool ShowHint;
    int MoveY;
    bool Visible;
    const char* ToolTip;
};

// Qt hides a tooltip after a short delay; tests start with none showing.
void HideToolTip() {
    QToolTip::hideText();
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 2000));
}

class HintDisplay : public ::testing::TestWithParam<HintCase> {
  protected:
    void SetUp() override {
        EnsureApplication();
        HideToolTip();
    }
};

TEST_P(HintDisplay, DurationHintShowsOnlyWithShowHint) {
    KeymoraWidget W;
    W.resize(600, 100);
    W.setMouseTrack(true);
    W.setShowHint(GetParam().ShowHint);
    W.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&W));
    // Bands of s = (100 - 30 div 2) div 3 = 28: y = 40 is band 1, duration 1, "1/2"; y = 90
    // is band 0, the duration already selected, so no new hint.
    SendMouse(W, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, {300, GetParam().MoveY});
    EXPECT_EQ(QToolTip::isVisible(), GetParam().Visible);
    if (GetParam().Visible) {
        EXPECT_EQ(QToolTip::text(), QString::fromLatin1(GetParam().ToolTip));
    }
    EXPECT_EQ(W.toolTip(), QString::fromLatin1(GetParam().ToolTip));

    // Qt's own hover tooltip follows ShowHint as well.
    HideToolTip();
    QHelpEvent Help(QEvent::ToolTip, QPoint(300, 50), W.mapToGlobal(QPoint(300, 50)));
    QCoreApplication::sendEvent(&W, &Help);
    EXPECT_EQ(QToolTip::isVisible(), GetParam().ShowHint && GetParam().Visible);
}

INSTANTIATE_TEST_SUITE_P(Hints, HintDisplay,
                         ::testing::Values(HintCase{"Shown", true, 40, true, "1/2"},
                                           HintCase{"NotShown", false, 40, false, "1/2"},
                                           HintCase{"Unchanged", true, 90, false, ""}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST(HintDisplay, CancelHintHidesIt) {
    EnsureApplication();
    HideToolTip();
    KeymoraWidget W;
    W.setShowHint(true);
    W.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&W));
    W.control().SetHint("1/8");
    W.control().HintMouseMessage(TMessage{wm::WM_MOUSEMOVE, 0, 0, 0});
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), QStringLiteral("1/8"));
    W.control().CancelHint();
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 2000));
}

TEST(Cursor, TrackingResetsItToTheDefault) {
    EnsureApplication();
    KeymoraWidget W;
    W.resize(600, 100);
    W.setMouseTrack(true);
    W.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&W));
    W.setCursor(Qt::CrossCursor);
    // Over the strip's scroll buttons (x >= 558, y > 3 * 28 = 84): the reset zone.
    SendMouse(W, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, {570, 90});
    EXPECT_EQ(W.cursor().shape(), Qt::ArrowCursor);
}

TEST(ContextMenu, ThePopupMenuShows) {
    EnsureApplication();
    KeymoraWidget W;
    QMenu Menu;
    Menu.addAction(QStringLiteral("Reset"));
    W.setPopupMenu(&Menu);
    W.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&W));
    QContextMenuEvent E(QContextMenuEvent::Mouse, QPoint(5, 5), W.mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(&W, &E);
    EXPECT_TRUE(Menu.isVisible());
    Menu.hide();
}

}  // namespace
}  // namespace keymora::test
