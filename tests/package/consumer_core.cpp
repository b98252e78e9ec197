// A program using the installed core: a control on a headless window, its layout and its text
// form. Exits 0 when all is as expected.
#include <keymora/headless/headless_window.h>
#include <keymora/model/keymora.h>
#include <keymora/model/text_form.h>

#include <cstdio>

int main() {
    keymora::THeadlessForm Form;
    keymora::TKeymora Control;
    Control.SetParent(&Form);
    keymora::THeadlessWindow Window(Control);
    Control.SetBounds(0, 0, 600, 100);
    if (LoadTextForm(Control, "Octave = 3\n")) return 1;
    // 35 keys in view: RealWidth ((600 - 62) div 35) * 35 + 63 = 588.
    std::printf("octave %d, real width %d\n", Control.Octave(), Control.RealWidth());
    return Control.Octave() == 3 && Control.RealWidth() == 588 ? 0 : 1;
}
