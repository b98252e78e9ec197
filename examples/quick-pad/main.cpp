// keymora-quick-pad: a QML window with a KeymoraKeyboard and the notes played on it.
//   keymora-quick-pad                 opens the window
//   keymora-quick-pad --script FILE   runs FILE's commands in a window without showing it
//                                     on screen, one a line ('#' starts a comment):
//     click NOTE      a mouse click on the key of MIDI note NOTE (60 = C4)
//     key KEY         a PC key: a letter, a digit or "space", with "shift+" for Shift
//     notes           prints "notes: " and the entered notes
//     clear           forgets the entered notes and unlights the keys
//     screenshot FILE saves the window as a PNG file
#include <QtCore/QCommandLineParser>
#include <QtCore/QFile>
#include <QtCore/QTextStream>
#include <QtGui/QGuiApplication>
#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtQml/QQmlApplicationEngine>
#include <QtQuick/QQuickWindow>
#include <cstdio>
#include <memory>
#include <keymora/quick/keymora_item.h>

namespace {

void Send(QQuickWindow& Window, QEvent& E) {
    QCoreApplication::sendEvent(&Window, &E);
    QCoreApplication::processEvents();
}

QPointF KeyPoint(KeymoraItem& Keys, int Note) {
    return Keys.mapToScene(QRectF(Keys.noteRect(Note)).center());
}

bool Run(QQuickWindow& Window, KeymoraItem& Keys, QObject& Pad, const QString& Line,
         QString& Error) {
    const QStringList A = Line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (A.isEmpty() || A[0].startsWith(QLatin1Char('#'))) return true;
    const QString& Name = A[0];
    const QString Arg = A.size() > 1 ? A[1] : QString();
    if (Name == u"click" && A.size() == 2) {
        bool Ok = false;
        const int Note = Arg.toInt(&Ok);
        if (!Ok || Keys.noteRect(Note).isEmpty()) return Error = "no key " + Arg, false;
        const QPointF P = KeyPoint(Keys, Note);
        QMouseEvent Down(QEvent::MouseButtonPress, P, P, Window.mapToGlobal(P), Qt::LeftButton,
                         Qt::LeftButton, Qt::NoModifier);
        Send(Window, Down);
        QMouseEvent Up(QEvent::MouseButtonRelease, P, P, Window.mapToGlobal(P), Qt::LeftButton,
                       Qt::NoButton, Qt::NoModifier);
        Send(Window, Up);
        return true;
    }
    if (Name == u"key" && A.size() == 2) {
        QString K = Arg.toLower();
        Qt::KeyboardModifiers Mods;
        if (K.startsWith(u"shift+")) {
            Mods = Qt::ShiftModifier;
            K = K.mid(6);
        }
        int Code = 0;
        QString Text;
        if (K == u"space") {
            Code = Qt::Key_Space;
            Text = QStringLiteral(" ");
        } else if (K.size() == 1 && K[0].isLetterOrNumber() && K[0].unicode() < 0x80) {
            Code = K[0].toUpper().unicode();
            Text = Mods ? K.toUpper() : K;
        } else {
            return Error = "no key " + Arg, false;
        }
        QKeyEvent Down(QEvent::KeyPress, Code, Mods, Text);
        Send(Window, Down);
        QKeyEvent Up(QEvent::KeyRelease, Code, Mods, Text);
        Send(Window, Up);
        return true;
    }
    if (Name == u"notes" && A.size() == 1) {
        const QStringList Notes = Pad.property("entered").toStringList();
        std::printf("notes: %s\n", qPrintable(Notes.join(QLatin1Char(' '))));
        std::fflush(stdout);
        return true;
    }
    if (Name == u"clear" && A.size() == 1) {
        QMetaObject::invokeMethod(&Pad, "clear");
        return true;
    }
    if (Name == u"screenshot" && A.size() == 2) {
        QCoreApplication::processEvents();
        if (!Window.grabWindow().save(Arg, "PNG")) return Error = "cannot write " + Arg, false;
        return true;
    }
    Error = "unknown command: " + Line;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    QCommandLineParser Options;
    Options.addHelpOption();
    Options.addOption({QStringLiteral("script"),
                       QStringLiteral("Runs the commands in FILE without showing the window."),
                       QStringLiteral("FILE")});
    QStringList Args;
    for (int I = 0; I < argc; ++I) Args << QString::fromLocal8Bit(argv[I]);
    const bool Scripted = Args.contains(QStringLiteral("--script"));
    // Scripts run the same anywhere: the software scene graph, no display needed.
    if (Scripted) {
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication App(argc, argv);
    Options.process(App);

    QQmlApplicationEngine Engine;
#ifdef KEYMORA_QML_BUILD_DIR
    Engine.addImportPath(QStringLiteral(KEYMORA_QML_BUILD_DIR));  // the build tree's module
#endif
    QQuickWindow Window;
    Window.setTitle(QStringLiteral("Keymora Quick Pad"));
    QQmlComponent Component(&Engine, QUrl(QStringLiteral("qrc:/quick-pad/Main.qml")));
    // Owned here and gone before the window it is shown in.
    std::unique_ptr<QQuickItem> Pad(qobject_cast<QQuickItem*>(Component.create()));
    if (!Pad) {
        std::fprintf(stderr, "%s\n", qPrintable(Component.errorString()));
        return 1;
    }
    Pad->setParentItem(Window.contentItem());
    Window.resize(static_cast<int>(Pad->width()), static_cast<int>(Pad->height()));
    auto* Keys = Pad->findChild<KeymoraItem*>(QStringLiteral("keyboard"));
    Window.show();
    Window.requestActivate();

    if (!Scripted) return App.exec();

    QFile File(Options.value(QStringLiteral("script")));
    if (!File.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(File.fileName()));
        return 1;
    }
    QCoreApplication::processEvents();
    Keys->forceActiveFocus();
    QTextStream In(&File);
    int Number = 0;
    while (!In.atEnd()) {
        const QString Line = In.readLine().trimmed();
        ++Number;
        QString Error;
        if (!Run(Window, *Keys, *Pad, Line, Error)) {
            std::fprintf(stderr, "line %d: %s\n", Number, qPrintable(Error));
            return 1;
        }
    }
    return 0;
}
