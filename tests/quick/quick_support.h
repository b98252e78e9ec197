// Shared by the Qt Quick tests: the offscreen application with the software scene graph, a
// window holding one KeymoraItem, and a recorder of the notes a keyboard reports, which logs a
// KeymoraItem and a KeymoraWidget the same way so that their logs compare line for line.
#pragma once

#include <QtCore/QObject>
#include <QtQuick/QQuickItem>
#include <QtQuick/QQuickWindow>
#include <QtQuick/QSGRendererInterface>
#include <QtWidgets/QApplication>
#include <memory>
#include <string>
#include <vector>

#include "keymora/qt/keymora_widget.h"
#include "keymora/quick/keymora_item.h"

namespace keymora::test {

inline void EnsureQuickApplication() {
    if (QCoreApplication::instance()) return;
    // The software scene graph: the offscreen platform has no OpenGL.
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    static int Argc = 3;
    static char Arg0[] = "keymora_quick_tests";
    static char Arg1[] = "-platform";
    static char Arg2[] = "offscreen";
    static char* Argv[] = {Arg0, Arg1, Arg2, nullptr};
    static QApplication* App = new QApplication(Argc, Argv);
    (void)App;
}

/// A shown window whose content is one keyboard item of Width x Height at (0, 0).
struct ItemWindow {
    QQuickWindow Window;
    KeymoraItem* Item;

    ItemWindow(int Width, int Height) {
        Window.resize(Width, Height);
        Item = new KeymoraItem(Window.contentItem());
        Item->setSize(QSizeF(Width, Height));
        Window.show();
        Window.requestActivate();
        Item->forceActiveFocus();
    }
};

/// What a keyboard reports as notes, one line per signal.
struct NoteLog {
    std::vector<std::string> Lines;

    template <class Keyboard>
    explicit NoteLog(Keyboard& K) {
        QObject::connect(&K, &Keyboard::keyClick, [this](int O, int N, int T) {
            Lines.push_back("keyClick " + std::to_string(O) + " " + std::to_string(N) + " " +
                            std::to_string(T));
        });
        QObject::connect(&K, &Keyboard::noteOn, [this](int N, int V) {
            Lines.push_back("noteOn " + std::to_string(N) + " " + std::to_string(V));
        });
        QObject::connect(&K, &Keyboard::noteOff, [this](int N, int V) {
            Lines.push_back("noteOff " + std::to_string(N) + " " + std::to_string(V));
        });
        QObject::connect(&K, &Keyboard::notePlayed, [this](int N, const QString& Name) {
            Lines.push_back("notePlayed " + std::to_string(N) + " " + Name.toStdString());
        });
        QObject::connect(&K, &Keyboard::octaveChanged,
                         [this](int O) { Lines.push_back("octave " + std::to_string(O)); });
        QObject::connect(&K, &Keyboard::offsetOctaveChanged, [this](int O) {
            Lines.push_back("offsetOctave " + std::to_string(O));
        });
        QObject::connect(&K, &Keyboard::durationPositionChanged, [this](int D) {
            Lines.push_back("durationPosition " + std::to_string(D));
        });
    }
};

}  // namespace keymora::test
