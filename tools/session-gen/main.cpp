// keymora-session-gen --seed S --lines N [--paint-every K]: prints a random keymora-script
// session of N command lines, the same for the same options on every platform.
#include <charconv>
#include <cstdint>
#include <iostream>
#include <string>
#include <string_view>

#include "generator.h"

namespace {

int Usage() {
    std::cerr << "usage: keymora-session-gen --seed S --lines N [--paint-every K]\n"
                 "Prints a random keymora-script session of N command lines drawn from seed S,\n"
                 "with a paint line every K lines on average (25 by default, none with 0).\n";
    return 2;
}

template <class T>
bool Read(std::string_view Text, T Max, T& Value) {
    const auto [End, Error] = std::from_chars(Text.data(), Text.data() + Text.size(), Value);
    return Error == std::errc{} && End == Text.data() + Text.size() && Value <= Max;
}

}  // namespace

int main(int argc, char** argv) {
    keymora::sessiongen::TSessionOptions Options;
    bool HaveSeed = false;
    bool HaveLines = false;
    for (int I = 1; I < argc; ++I) {
        const std::string_view Name = argv[I];
        if (Name == "-h" || Name == "--help") {
            Usage();
            return 0;
        }
        if (I + 1 >= argc) return Usage();
        const std::string_view Value = argv[++I];
        bool Ok = false;
        if (Name == "--seed") {
            Ok = Read<std::uint64_t>(Value, UINT64_MAX, Options.Seed);
            HaveSeed = true;
        } else if (Name == "--lines") {
            Ok = Read(Value, 10000000, Options.Lines) && Options.Lines >= 0;
            HaveLines = true;
        } else if (Name == "--paint-every") {
            Ok = Read(Value, 1000000, Options.PaintEvery) && Options.PaintEvery >= 0;
        }
        if (!Ok) return Usage();
    }
    if (!HaveSeed || !HaveLines) return Usage();

    std::string Script;
    std::string Error;
    const bool Ok = keymora::sessiongen::GenerateSession(Options, Script, Error);
    std::cout << Script;
    std::cout.flush();
    if (Ok) return 0;
    std::cerr << "keymora-session-gen: seed " << Options.Seed << ": generated a refused line, "
              << Error;
    return 1;
}
