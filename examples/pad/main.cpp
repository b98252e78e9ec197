// keymora-pad: a window to enter notes on an on-screen piano keyboard, hear them and export them
// as a MIDI file. "keymora-pad --script FILE" plays a scripted session against the pad instead
// and exits; without a display it runs on Qt's offscreen platform.
#include <signal.h>

#include <QtCore/QFile>
#include <QtCore/QStandardPaths>
#include <QtWidgets/QApplication>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "pad_script.h"
#include "pad_window.h"

namespace {

int Usage(std::ostream& Out, int Status) {
    Out << "usage: keymora-pad [--config DIR] [--script FILE]\n"
           "  --config DIR   keep the keyboard settings in DIR (default: $KEYMORA_PAD_CONFIG,\n"
           "                 else the user's configuration folder)\n"
           "  --script FILE  play the keymora-script session FILE against the pad, print what\n"
           "                 happens as JSON lines and exit; the pad adds the commands notes,\n"
           "                 undo, clear, export FILE.mid and screenshot FILE.png\n";
    return Status;
}

// Qt's notes about the offscreen platform itself (no runtime folder, no window manager hints)
// say nothing about the session; everything else Qt reports passes through.
QtMessageHandler DefaultHandler = nullptr;
void QuietOffscreen(QtMsgType Type, const QMessageLogContext& Context, const QString& Text) {
    if (Type == QtWarningMsg && (Text.startsWith("QStandardPaths: XDG_RUNTIME_DIR not set") ||
                                 Text.startsWith("This plugin does not support")))
        return;
    DefaultHandler(Type, Context, Text);
}

bool Has(const char* Name) {
    const char* V = std::getenv(Name);
    return V && *V;
}

}  // namespace

int main(int argc, char** argv) {
    // A file-size limit makes a write fail with EFBIG, reported like any other failure, instead
    // of killing the pad.
    ::signal(SIGXFSZ, SIG_IGN);
    std::string Script;
    std::string Config;
    bool HaveScript = false;
    for (int I = 1; I < argc; ++I) {
        const std::string Arg = argv[I];
        if (Arg == "-h" || Arg == "--help") return Usage(std::cout, 0);
        if ((Arg == "--script" || Arg == "--config") && I + 1 < argc) {
            (Arg == "--script" ? Script : Config) = argv[++I];
            HaveScript = HaveScript || Arg == "--script";
        } else {
            return Usage(std::cerr, 2);
        }
    }

    // Without a display, the offscreen platform; a platform the user chose is kept.
    const bool Display = Has("DISPLAY") || Has("WAYLAND_DISPLAY");
    if (!Display && !Has("QT_QPA_PLATFORM")) {
        if (!HaveScript) {
            std::cerr << "keymora-pad: no display; use --script FILE to run headless\n";
            return 2;
        }
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (HaveScript) DefaultHandler = qInstallMessageHandler(QuietOffscreen);

    QApplication App(argc, argv);
    QApplication::setApplicationName("keymora-pad");
    QApplication::setOrganizationName("Keymora");

    keymora::pad::PadWindow::Options Options;
    if (!Config.empty())
        Options.configFolder = QFile::decodeName(QByteArray::fromStdString(Config));
    else if (Has("KEYMORA_PAD_CONFIG"))
        Options.configFolder = qEnvironmentVariable("KEYMORA_PAD_CONFIG");
    else
        Options.configFolder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    // A script runs in an instant: there is nothing to hear.
    Options.sound = !HaveScript;

    keymora::pad::PadWindow Window(Options);
    if (HaveScript)
        QObject::connect(&Window, &keymora::pad::PadWindow::message, [](const QString& Text) {
            std::cerr << "keymora-pad: " << Text.toStdString() << '\n';
        });
    for (const QString& Text : Window.messages())
        if (HaveScript) std::cerr << "keymora-pad: " << Text.toStdString() << '\n';
    Window.resize(800, 400);
    Window.show();
    if (!HaveScript) return QApplication::exec();

    QApplication::processEvents();
    const int Status = keymora::pad::RunPadScriptFile(Window, Script, std::cout);
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "keymora-pad: cannot write the output\n";
        return Status ? Status : 2;
    }
    return Status;
}
