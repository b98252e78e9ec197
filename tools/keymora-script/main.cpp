// keymora-script [FILE]: drives one keyboard control on a headless host from a script (FILE, or
// standard input) and prints what the control does as JSON lines. With the Qt host built in,
// "paint FILE" renders the control into a PNG. A FILE that cannot be opened is reported like a
// malformed line, as an error line numbered 0 with exit status 2.
#include <signal.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "core/host/atomic_file.h"
#include "engine/script.h"

#if defined(KEYMORA_WITH_QT) && __has_include("keymora/qt/image.h")
#define KEYMORA_SCRIPT_PAINTS 1
#include "keymora/qt/image.h"
#endif

namespace {

int Usage() {
    std::cerr << "usage: keymora-script [FILE]\n"
                 "Runs a script of keyboard-control commands (FILE, or standard input) and prints\n"
                 "what the control does as JSON lines.\n";
    return 2;
}

// The session's status, made a failure when its output could not all be written.
int Finish(const keymora::script::TScriptEngine& Engine, int Status) {
    std::cout.flush();
    if (!std::cout || Engine.OutputFailed()) {
        const int Errno = errno;
        std::cerr << "keymora-script: cannot write the output"
                  << (Errno ? std::string(": ") + std::strerror(Errno) : std::string()) << '\n';
        return Status ? Status : 2;
    }
    return Status;
}

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    // A file-size limit makes a write fail with EFBIG, reported like any other failure, instead
    // of killing the process.
    ::signal(SIGXFSZ, SIG_IGN);
    if (argc > 2) return Usage();

    keymora::script::TPainter Painter;
#ifdef KEYMORA_SCRIPT_PAINTS
    // The painter brings up its own off-screen Qt application the first time a script paints.
    Painter = &keymora::qt::PaintToPng;
#endif

    keymora::script::TScriptEngine Engine(std::cout, Painter);
    if (argc == 2) {
        const std::string Name = argv[1];
        if (Name == "-h" || Name == "--help") {
            Usage();
            return 0;
        }
        // Only a regular file is read: a directory or a FIFO is refused before it can fail or
        // block the read.
        if (const auto Why = keymora::host::CheckReadableFile(Name)) {
            Engine.ReportError(*Why, 0);
            return Finish(Engine, Engine.ExitStatus());
        }
        std::ifstream File(Name, std::ios::binary);
        if (!File) {
            Engine.ReportError("cannot open " + Name + ": " + std::strerror(errno), 0);
            return Finish(Engine, Engine.ExitStatus());
        }
        return Finish(Engine, Engine.Run(File));
    }
    return Finish(Engine, Engine.Run(std::cin));
}
