// Loads any bytes as a text form. A refused form must leave the control exactly as it was, with
// an error on a line that exists; an accepted one must save to a form that loads back to the
// same form without a refused value. The first bytes may pad the form with lines, so that the
// line counting and the line-length limit are reached past what a length-capped fuzzer writes.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "keymora/headless/headless_window.h"
#include "keymora/model/keymora.h"
#include "keymora/model/text_form.h"

using namespace keymora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    std::string_view Text(reinterpret_cast<const char*>(Data), Size);
    std::string Padded;
    if (Text.size() >= 3 && Text.front() == '\x7f') {
        // 0x7f, a count N and a kind: N * 256 blank or comment lines, or one line of
        // 64 KiB - 128 + N bytes (around the limit), before the rest.
        const unsigned N = std::uint8_t(Text[1]);
        if (Text[2] & 1)
            Padded.assign(MaxTextFormLine - 128 + N, (Text[2] & 2) ? ' ' : '#');
        else
            for (unsigned I = 0; I < N * 256; ++I) Padded += (Text[2] & 2) ? "\n" : "# c\n";
        Padded += '\n';
        Padded += Text.substr(3);
        Text = Padded;
    }
    THeadlessForm Form;
    TKeymora Control;
    Control.SetParent(&Form);
    Control.SetBounds(0, 0, 600, 100);
    const std::string Before = SaveTextForm(Control);
    std::vector<TTextFormError> Refused;
    const auto Error = LoadTextForm(Control, Text, Refused);
    const std::string After = SaveTextForm(Control);
    if (Error) {
        if (After != Before || Control.RealWidth() != 588) {
            std::fprintf(stderr, "a refused form changed the control\n");
            std::abort();
        }
        const auto Lines = static_cast<std::int64_t>(std::count(Text.begin(), Text.end(), '\n')) + 1;
        if (Error->Line < 1 || Error->Line > Lines) std::abort();
        if (Error->Message.size() > 400) std::abort();
        return 0;
    }
    TKeymora Copy;
    Copy.SetParent(&Form);
    Copy.SetBounds(0, 0, 600, 100);
    if (LoadTextForm(Copy, After, Refused) || !Refused.empty()) {
        std::fprintf(stderr, "a saved form does not load again\n");
        std::abort();
    }
    // A DurationWidth of 5 equals the stored default and is not saved, while a new control has
    // 6: the one value a saved form does not carry.
    Copy.SetDurationWidth(Control.DurationWidth());
    if (SaveTextForm(Copy) != After) {
        std::fprintf(stderr, "a saved form loads back to another state\n");
        std::abort();
    }
    return 0;
}
