// keymora-pad: a notepad to enter notes on an on-screen piano keyboard, a PC keyboard or a MIDI
// keyboard, see them on a staff, edit, hear, save as MusicXML and export as MIDI.
// "keymora-pad --script FILE" plays a scripted session against the pad instead and exits;
// without a display it runs on Qt's offscreen platform.
#include <signal.h>

#include <QtCore/QFile>
#include <QtCore/QStandardPaths>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMessageBox>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "pad_script.h"
#include "pad_window.h"

namespace {

int Usage(std::ostream& Out, int Status) {
    Out << "usage: keymora-pad [--config DIR] [--script FILE [--restore] [--midi]] [FILE.musicxml]\n"
           "  --config DIR   keep the keyboard settings and the recovery copy in DIR (default:\n"
           "                 $KEYMORA_PAD_CONFIG, else the user's configuration folder)\n"
           "  --script FILE  play the keymora-script session FILE against the pad, print what\n"
           "                 happens as JSON lines and exit; the pad adds the commands notes,\n"
           "                 new, open, save, document, answer, select, insert, delete, rest,\n"
           "                 undo, redo, clear, tempo, time, play, stop, export FILE.mid and\n"
           "                 screenshot FILE.png\n"
           "  --restore      with --script: restore the recovery copy of an earlier run (without\n"
           "                 it, the copy is set aside under a dated name)\n"
           "  --midi         with --script: open the MIDI input port \"Keymora Pad\"\n"
           "  FILE.musicxml  the document to open\n";
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
    std::string Document;
    bool HaveScript = false;
    bool Restore = false;
    bool Midi = false;
    for (int I = 1; I < argc; ++I) {
        const std::string Arg = argv[I];
        if (Arg == "-h" || Arg == "--help") return Usage(std::cout, 0);
        if ((Arg == "--script" || Arg == "--config") && I + 1 < argc) {
            (Arg == "--script" ? Script : Config) = argv[++I];
            HaveScript = HaveScript || Arg == "--script";
        } else if (Arg == "--restore") {
            Restore = true;
        } else if (Arg == "--midi") {
            Midi = true;
        } else if (!Arg.empty() && Arg[0] != '-' && Document.empty()) {
            Document = Arg;
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
    // A script runs in an instant: there is nothing to hear, and it takes MIDI input only when
    // asked.
    Options.sound = !HaveScript;
    Options.midiInput = !HaveScript || Midi;

    keymora::pad::PadWindow Window(Options);
    if (HaveScript)
        QObject::connect(&Window, &keymora::pad::PadWindow::message, [](const QString& Text) {
            std::cerr << "keymora-pad: " << Text.toStdString() << '\n';
        });
    for (const QString& Text : Window.messages())
        if (HaveScript) std::cerr << "keymora-pad: " << Text.toStdString() << '\n';
    Window.resize(800, 480);
    Window.show();
    // An earlier run's unsaved notes: the user is asked; a script restores them when told to,
    // and otherwise sets them aside under a dated name, so that they are never overwritten.
    if (!HaveScript) {
        Window.offerRecovery();
    } else if (Window.hasRecovery()) {
        QString Error;
        if (!Restore || !Window.restoreRecovery(Error)) {
            if (!Error.isEmpty()) std::cerr << "keymora-pad: " << Error.toStdString() << '\n';
            Window.setRecoveryAside();
        }
    } else {
        Window.offerRecovery();
    }
    if (!Document.empty()) {
        QString Error;
        if (!Window.openDocument(QFile::decodeName(QByteArray::fromStdString(Document)), Error)) {
            std::cerr << "keymora-pad: " << Error.toStdString() << '\n';
            if (HaveScript) return 2;
            QMessageBox::warning(&Window, QStringLiteral("Keymora Pad"), Error);
        }
    }
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
