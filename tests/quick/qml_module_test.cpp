// The QML module as an application meets it: "import Keymora 1.0" from the build's qml folder,
// a KeymoraKeyboard with properties set in QML (applied while loading, the layout computed once
// the component is complete), its enums, methods and signals used from JavaScript.
#include <gtest/gtest.h>

#include <QtQml/QQmlComponent>
#include <QtQml/QQmlEngine>
#include <QtQuick/QQuickItem>
#include <memory>

#include "quick_support.h"

namespace keymora::test {
namespace {

constexpr const char* Source = R"(
import QtQuick
import Keymora 1.0
Item {
    width: 600; height: 100
    property var played: []
    property string spelled
    KeymoraKeyboard {
        id: keys
        objectName: "keys"
        anchors.fill: parent
        octave: 6
        orientation: KeymoraKeyboard.koHorizontal
        musicStyle: KeymoraKeyboard.ShowMarks | KeymoraKeyboard.ScrollOctave
        autoTone: KeymoraKeyboard.Diesis
        maxOffsetOttave: 3
        offsetOctave: 3
        onNoteOn: (note, velocity) => played.push(note)
        onNotePlayed: (note, name) => spelled = name
        Component.onCompleted: setNoteColor(62, "green")
    }
    function light() { keys.lightNote(61); return keys.noteRect(61).width }
    function turn() { keys.orientation = KeymoraKeyboard.Vertical; return keys.orientation }
}
)";

TEST(QmlModule, KeyboardLoadsWithItsPropertiesAndMethods) {
    EnsureQuickApplication();
    QQmlEngine Engine;
    Engine.addImportPath(QStringLiteral(KEYMORA_QML_DIR));
    QQmlComponent Component(&Engine);
    Component.setData(Source, QUrl::fromLocalFile(QStringLiteral("/keymora/test.qml")));
    std::unique_ptr<QObject> Root(Component.create());
    ASSERT_TRUE(Root) << Component.errorString().toStdString();
    auto* Keys = Root->findChild<KeymoraItem*>(QStringLiteral("keys"));
    ASSERT_TRUE(Keys);
    EXPECT_EQ(Keys->octave(), 6);
    EXPECT_EQ(Keys->autoTone(), KeymoraItem::atDiesis);
    EXPECT_EQ(Keys->musicStyle().toInt(), 0x9);
    // offsetOctave 3 is only valid once maxOffsetOttave is 3 (4 by default): loading order.
    EXPECT_EQ(Keys->offsetOctave(), 3);
    EXPECT_FALSE(Keys->control().ComponentState().Contains(csLoading));
    EXPECT_EQ(Keys->control().Width(), 600);

    EXPECT_EQ(Keys->noteColor(62), QColor(0, 128, 0));  // a colour by name, from QML
    QVariant Turned;
    ASSERT_TRUE(QMetaObject::invokeMethod(Root.get(), "turn", Q_RETURN_ARG(QVariant, Turned)));
    EXPECT_EQ(Turned.toInt(), 1);
    EXPECT_EQ(Keys->orientation(), KeymoraItem::koVertical);
    Keys->setOrientation(KeymoraItem::koHorizontal);

    QVariant Width;
    ASSERT_TRUE(QMetaObject::invokeMethod(Root.get(), "light", Q_RETURN_ARG(QVariant, Width)));
    EXPECT_GT(Width.toInt(), 0);
    EXPECT_EQ(Keys->control().ToneStates()[23], ksSelected);  // C#4 lit from QML

    // A click through the control reaches the QML handlers with the MIDI note and spelling.
    const QRect Key = Keys->noteRect(63);
    Keys->control().MouseDown(mbLeft, TShiftState{ssLeft}, Key.center().x(), Key.top() + 5);
    Keys->control().MouseUp(mbLeft, TShiftState{}, Key.center().x(), Key.top() + 5);
    EXPECT_EQ(Root->property("played").toList(), QVariantList{63});
    EXPECT_EQ(Root->property("spelled").toString(), QStringLiteral("D#4"));
}

// An item made in C++ has no component to complete: it is laid out at once at its implicit
// size, without ever being resized or painted.
TEST(QmlModule, ItemMadeInCppIsLaidOutAtOnce) {
    EnsureQuickApplication();
    KeymoraItem Item;
    EXPECT_FALSE(Item.control().ComponentState().Contains(csLoading));
    EXPECT_EQ(Item.control().Width(), 600);
    EXPECT_EQ(Item.control().Height(), 100);
    EXPECT_EQ(Item.control().RealWidth(), 588);
    EXPECT_FALSE(Item.noteRect(60).isEmpty());
}

}  // namespace
}  // namespace keymora::test
