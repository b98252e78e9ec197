// Loads any bytes as a text form. A refused form must leave the control exactly as it was; an
// accepted one must save to a form that loads again without an error (values may still be
// refused by their setters, as saved forms load in declaration order).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "keymora/headless/headless_window.h"
#include "keymora/model/keymora.h"
#include "keymora/model/text_form.h"

using namespace keymora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string_view Text(reinterpret_cast<const char*>(Data), Size);
    THeadlessForm Form;
    TKeymora Control;
    Control.SetParent(&Form);
    Control.SetBounds(0, 0, 600, 100);
    const std::string Before = SaveTextForm(Control);
    const auto Error = LoadTextForm(Control, Text);
    const std::string After = SaveTextForm(Control);
    if (Error) {
        if (After != Before || Control.RealWidth() != 588) {
            std::fprintf(stderr, "a refused form changed the control\n");
            std::abort();
        }
        if (Error->Line < 0) std::abort();
        return 0;
    }
    TKeymora Copy;
    Copy.SetParent(&Form);
    Copy.SetBounds(0, 0, 600, 100);
    if (LoadTextForm(Copy, After)) {
        std::fprintf(stderr, "a saved form does not load again\n");
        std::abort();
    }
    return 0;
}
