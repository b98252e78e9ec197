// keymora-script [FILE]: drives one keyboard control on a headless host from a script (FILE, or
// standard input) and prints what the control does as JSON lines. With the Qt host built in,
// "paint FILE" renders the control into a PNG. A FILE that cannot be opened is reported like a
// malformed line, as an error line numbered 0 with exit status 2.
#include <fstream>
#include <iostream>
#include <string>

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

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
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
        std::ifstream File(Name, std::ios::binary);
        if (!File) {
            Engine.ReportError("cannot open " + Name, 0);
            return Engine.ExitStatus();
        }
        return Engine.Run(File);
    }
    return Engine.Run(std::cin);
}
