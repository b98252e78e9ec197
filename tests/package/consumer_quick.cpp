// A QML application using the installed QML module: "import Keymora 1.0" found through the
// import path (QML_IMPORT_PATH, as a user sets it), a KeymoraKeyboard shown offscreen, its
// properties read back, and the C++ type from Keymora::Quick used beside it.
#include <keymora/quick/keymora_item.h>

#include <QtGui/QGuiApplication>
#include <QtQml/QQmlComponent>
#include <QtQml/QQmlEngine>
#include <QtQuick/QQuickWindow>
#include <cstdio>
#include <memory>

int main(int argc, char** argv) {
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    QGuiApplication App(argc, argv);
    QQmlEngine Engine;
    QQmlComponent Component(&Engine);
    // A local URL: the component is made at once (a remote one would load its imports later).
    Component.setData(R"(
        import QtQuick
        import Keymora 1.0
        KeymoraKeyboard {
            width: 600; height: 100
            octave: 6
            orientation: KeymoraKeyboard.koHorizontal
            Component.onCompleted: lightNote(60)
        }
    )",
                      QUrl::fromLocalFile(QStringLiteral("/consumer/consumer.qml")));
    std::unique_ptr<QObject> Object(Component.create());
    auto* Keys = qobject_cast<KeymoraItem*>(Object.get());
    if (!Keys) {
        std::printf("%s\n", qPrintable(Component.errorString()));
        return 1;
    }
    QQuickWindow Window;
    Keys->setParentItem(Window.contentItem());
    Window.resize(600, 100);
    Window.show();
    const QImage Shot = Window.grabWindow();
    std::printf("octave %d, real width %d, C4 %s, picture %dx%d\n",
                Keys->property("octave").toInt(), Keys->control().RealWidth(),
                Keys->control().KeyStates()[23] == keymora::ksSelected ? "lit" : "dark",
                Shot.width(), Shot.height());
    return Keys->property("octave").toInt() == 6 && Keys->control().RealWidth() == 588 &&
                   Keys->control().KeyStates()[23] == keymora::ksSelected &&
                   Shot.size() == QSize(600, 100)
               ? 0
               : 1;
}
