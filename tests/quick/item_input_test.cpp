// The same input through a QQuickWindow and through a KeymoraWidget gives the same signals: each
// case is a short script of clicks, keys, touches and wheel turns that both keyboards receive at
// the same client points, and their note logs must be equal (and not empty). The property table
// sets each property on both and counts change signals: one per actual change, none for a
// refused value or a repeated one, as the widget does.
#include <gtest/gtest.h>

#include <QtCore/QMetaProperty>
#include <QtGui/QPointingDevice>
#include <QtGui/QWheelEvent>
#include <QtTest/QSignalSpy>
#include <QtTest/QTest>

#include "keymora/layout/layout.h"
#include "quick_support.h"

namespace keymora::test {
namespace {

// Where the input goes: a widget's events, or a window that delivers them to its item.
class Driver {
  public:
    virtual ~Driver() = default;
    virtual void Click(QPoint P, Qt::KeyboardModifiers M = {}) = 0;
    virtual void DoubleClick(QPoint P) = 0;
    virtual void Press(QPoint P) = 0;
    virtual void Release(QPoint P) = 0;
    virtual void KeyDown(Qt::Key K, Qt::KeyboardModifiers M = {}) = 0;
    virtual void KeyUp(Qt::Key K, Qt::KeyboardModifiers M = {}) = 0;
    virtual QTest::QTouchEventSequence Touch() = 0;
    virtual void Wheel(QPoint P, int Delta) = 0;

    void Key(Qt::Key K, Qt::KeyboardModifiers M = {}) {
        KeyDown(K, M);
        KeyUp(K, M);
    }
    static QPointingDevice* TouchScreen() {
        static QPointingDevice* D = QTest::createTouchDevice();
        return D;
    }
};

class DriverOfWindow : public Driver {
  public:
    explicit DriverOfWindow(QWindow* T) : T_(T) {}
    void Click(QPoint P, Qt::KeyboardModifiers M) override {
        QTest::mouseClick(T_, Qt::LeftButton, M, P);
    }
    void DoubleClick(QPoint P) override { QTest::mouseDClick(T_, Qt::LeftButton, {}, P); }
    void Press(QPoint P) override { QTest::mousePress(T_, Qt::LeftButton, {}, P); }
    void Release(QPoint P) override { QTest::mouseRelease(T_, Qt::LeftButton, {}, P); }
    void KeyDown(Qt::Key K, Qt::KeyboardModifiers M) override { QTest::keyPress(T_, K, M); }
    void KeyUp(Qt::Key K, Qt::KeyboardModifiers M) override { QTest::keyRelease(T_, K, M); }
    QTest::QTouchEventSequence Touch() override { return QTest::touchEvent(T_, TouchScreen()); }
    void Wheel(QPoint P, int Delta) override {
        QWheelEvent E(P, P, QPoint(), QPoint(0, Delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(T_, &E);
    }

  private:
    QWindow* T_;
};

QPoint Middle(const TKeymora& K, TTarget T) {
    TPoint P;
    EXPECT_TRUE(K.Layout().PressPoint(T, P));
    return {P.X, P.Y};
}

QPoint KeyPoint(const TKeymora& K, int Midi) {
    const TKey Key = TKey::FromMidi(Midi);
    return Middle(K, {Key.Black() ? TTargetKind::BlackKey : TTargetKind::WhiteKey, Key.Index(),
                      TZoneButton::OctaveDown});
}

struct InputCase {
    const char* Name;
    // Sends the input; K is the widget's control, for the points (both share the layout).
    void (*Send)(Driver& D, const TKeymora& K);
};

const InputCase InputCases[] = {
    {"ClickWhiteKey", [](Driver& D, const TKeymora& K) { D.Click(KeyPoint(K, 60)); }},
    {"ClickBlackKey", [](Driver& D, const TKeymora& K) { D.Click(KeyPoint(K, 66)); }},
    {"DoubleClick", [](Driver& D, const TKeymora& K) { D.DoubleClick(KeyPoint(K, 64)); }},
    {"HoldAndRelease",
     [](Driver& D, const TKeymora& K) {
         D.Press(KeyPoint(K, 62));
         D.Release(KeyPoint(K, 62));
     }},
    {"ClickDurationCell",
     [](Driver& D, const TKeymora& K) {
         D.Click(Middle(K, {TTargetKind::DurationCell, 2, TZoneButton::OctaveDown}));
     }},
    {"ClickZoneButtons",
     [](Driver& D, const TKeymora& K) {
         D.Click(Middle(K, {TTargetKind::ZoneButton, 0, TZoneButton::OctaveUp}));
         D.Click(Middle(K, {TTargetKind::ZoneButton, 0, TZoneButton::OctaveUp}));
     }},
    {"PcKeys",
     [](Driver& D, const TKeymora&) {
         D.Key(Qt::Key_C);
         D.Key(Qt::Key_D, Qt::ShiftModifier);
         D.Key(Qt::Key_6);
         D.Key(Qt::Key_E);
         D.Key(Qt::Key_Space);
     }},
    // The octave changes while C is held: its release still ends the note it started.
    {"HangingKeyReleased",
     [](Driver& D, const TKeymora&) {
         D.KeyDown(Qt::Key_C);
         D.Key(Qt::Key_7);
         D.KeyUp(Qt::Key_C);
     }},
    {"ArrowsStepOctaveAndDuration",
     [](Driver& D, const TKeymora&) {
         D.Key(Qt::Key_Right);
         D.Key(Qt::Key_Up);
         D.Key(Qt::Key_G);
     }},
    {"TwoTouchPoints",
     [](Driver& D, const TKeymora& K) {
         D.Touch().press(1, KeyPoint(K, 60)).press(2, KeyPoint(K, 67)).commit();
         D.Touch().stationary(1).release(2, KeyPoint(K, 67)).commit();
         D.Touch().release(1, KeyPoint(K, 60)).commit();
     }},
    {"WheelOverKeys",
     [](Driver& D, const TKeymora& K) {
         D.Wheel(KeyPoint(K, 60), 120);
         D.Wheel(KeyPoint(K, 60), 60);
         D.Wheel(KeyPoint(K, 60), 60);
         D.Click(KeyPoint(K, 84));
     }},
};

class ItemInput : public ::testing::TestWithParam<InputCase> {
  protected:
    static void SetUpTestSuite() { EnsureQuickApplication(); }
};

TEST_P(ItemInput, WindowInputGivesTheWidgetsSignals) {
    const InputCase& Case = GetParam();
    // Both take their input as a window system gives it, through their windows: the widget's
    // first, while its window is the active one, then the item's.
    KeymoraWidget Widget;
    Widget.resize(600, 100);
    Widget.show();
    QApplication::setActiveWindow(&Widget);
    Widget.setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Widget));
    NoteLog FromWidget(Widget);
    DriverOfWindow ToWidget(Widget.windowHandle());
    Case.Send(ToWidget, Widget.control());

    ItemWindow Shown(600, 100);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Shown.Window));
    ASSERT_TRUE(Shown.Item->hasActiveFocus());
    NoteLog FromItem(*Shown.Item);
    DriverOfWindow ToWindow(&Shown.Window);
    Case.Send(ToWindow, Widget.control());

    EXPECT_FALSE(FromWidget.Lines.empty());
    EXPECT_EQ(FromItem.Lines, FromWidget.Lines);
    EXPECT_EQ(Shown.Item->heldNotes(), Widget.heldNotes());
}

INSTANTIATE_TEST_SUITE_P(Scripts, ItemInput, ::testing::ValuesIn(InputCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

// The duration hint while the pointer tracks, as the widget's tooltip: its text whether or not
// it shows, shown only under showHint, and no new hint over the duration already chosen.
struct HintCase {
    const char* Name;
    bool ShowHint;
    int MoveY;
    bool Visible;
    const char* Text;
};

class ItemHint : public ::testing::TestWithParam<HintCase> {
  protected:
    static void SetUpTestSuite() { EnsureQuickApplication(); }
};

TEST_P(ItemHint, HoverTrackingGivesTheWidgetsHint) {
    const HintCase& C = GetParam();
    ItemWindow Shown(600, 100);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Shown.Window));
    KeymoraItem& Item = *Shown.Item;
    Item.setMouseTrack(true);
    Item.setShowHint(C.ShowHint);
    // From a point of the duration already chosen: the window system sends no move to where
    // the pointer already is (the last test's window left it there).
    QTest::mouseMove(&Shown.Window, QPoint(301, 95));
    QSignalSpy Changes(&Item, &KeymoraItem::hintChanged);
    // Bands of (100 - 30 div 2) div 3 = 28 pixels across the keys: y = 40 is duration 1,
    // "1/2"; y = 90 is duration 0, the one already chosen.
    QTest::mouseMove(&Shown.Window, QPoint(300, C.MoveY));
    EXPECT_EQ(Item.hintVisible(), C.Visible);
    EXPECT_EQ(Item.hintText(), QString::fromLatin1(C.Text));
    if (C.Visible) {
        EXPECT_EQ(Changes.count(), 1);  // one notification for a hint that appears
        // The control's cancel takes it away, once.
        Item.control().CancelHint();
        Item.control().CancelHint();
        EXPECT_FALSE(Item.hintVisible());
        EXPECT_EQ(Changes.count(), 2);
    }
}

INSTANTIATE_TEST_SUITE_P(Hints, ItemHint,
                         ::testing::Values(HintCase{"Shown", true, 40, true, "1/2"},
                                           HintCase{"NotShown", false, 40, false, "1/2"},
                                           HintCase{"Unchanged", true, 90, false, ""}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

struct PropertyCase {
    const char* Property;
    QVariant Value;
    int Signals;  // change signals for setting Value twice, worked out by hand
};

class ItemProperties : public ::testing::TestWithParam<PropertyCase> {
  protected:
    static void SetUpTestSuite() { EnsureQuickApplication(); }
};

int Notifications(QObject& O, const PropertyCase& C, QVariant& After) {
    const QMetaObject* M = O.metaObject();
    const QMetaProperty P = M->property(M->indexOfProperty(C.Property));
    EXPECT_TRUE(P.isValid() && P.hasNotifySignal()) << C.Property;
    QSignalSpy Spy(&O, P.notifySignal());
    O.setProperty(C.Property, C.Value);
    O.setProperty(C.Property, C.Value);
    After = P.read(&O);
    return static_cast<int>(Spy.count());
}

TEST_P(ItemProperties, OneSignalPerChangeAsTheWidget) {
    const PropertyCase& C = GetParam();
    KeymoraWidget Widget;
    Widget.resize(600, 100);
    Widget.ensurePolished();
    KeymoraItem Item;
    Item.setSize(QSizeF(600, 100));
    QVariant WidgetValue;
    QVariant ItemValue;
    EXPECT_EQ(Notifications(Widget, C, WidgetValue), C.Signals);
    EXPECT_EQ(Notifications(Item, C, ItemValue), C.Signals);
    // Enums of the two classes compare by value.
    if (WidgetValue.canConvert<int>() && WidgetValue.typeId() != QMetaType::QString &&
        WidgetValue.typeId() != QMetaType::QColor)
        EXPECT_EQ(ItemValue.toInt(), WidgetValue.toInt());
    else
        EXPECT_EQ(ItemValue, WidgetValue);
}

const PropertyCase PropertyCases[] = {
    {"orientation", 1, 1},
    {"orientation", 5, 0},
    {"musicStyle", 0x3, 1},
    {"settingWidth", 40, 1},
    {"settingWidth", 5, 0},
    {"durationWidth", 10, 1},
    {"durationPosition", 3, 1},
    {"durationPosition", 7, 0},
    {"octave", 6, 1},
    {"octave", 12, 0},
    {"autoTone", 2, 1},
    {"offsetOctave", 2, 1},
    {"offsetOctave", 9, 0},
    {"maxOffsetDuration", 2, 1},
    {"maxOffsetOttave", 3, 1},
    {"keys", QStringLiteral("QWERTYU"), 1},
    {"keys", QStringLiteral("cdefgab"), 0},
    {"maxDuration", 8, 1},
    {"mouseTrack", true, 1},
    {"offsetDuration", 2, 1},
    {"ctrlMove", true, 1},
    {"color", QColor(10, 20, 30), 1},
    {"showHint", true, 1},
    {"tabStop", false, 1},
    {"themed", false, 1},
    {"velocity", 64, 1},
    {"velocity", 0, 0},
    {"velocityByPosition", true, 1},
    {"noteNames", true, 1},
    {"scientificOctaves", true, 1},
};

INSTANTIATE_TEST_SUITE_P(Table, ItemProperties, ::testing::ValuesIn(PropertyCases),
                         [](const auto& Info) {
                             return std::string(Info.param.Property) + "_" +
                                    std::to_string(Info.index);
                         });

}  // namespace
}  // namespace keymora::test
