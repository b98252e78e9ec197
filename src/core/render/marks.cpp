// Marks on the white keys: the PC-key letter of each note near the front edge, standing out in
// the current octave, and the octave number in the back corner of every C.
#include "core/host/rtl.h"
#include "core/render/parts.h"

namespace keymora::render {

namespace {

constexpr int LetterSize = 8;
constexpr int NumberSize = 7;

TColor LetterColor(const TKeymora& K, int Octave) {
    if (Octave != K.Octave()) return clSilver;
    // The current octave is the one the PC keys play: it is strong only while they reach us.
    return K.Focused() ? clMaroon : clGray;
}

}  // namespace

void PaintMarks(const TKeymora& K, const TLayout& L, TCanvas& C, int P, int Note, int Octave) {
    if (!K.Style().Contains(msShowMarks)) return;
    const std::string_view Keys = K.Keys();
    const int KW = L.KeyWidth();

    // Keys may be shorter than the seven notes: a note beyond its end has no letter.
    if (static_cast<std::size_t>(Note) <= Keys.size()) {
        const std::string_view Letter = Keys.substr(static_cast<std::size_t>(Note - 1), 1);
        C.Brush.Style = bsClear;
        C.Font.Assign(K.Font());
        C.Font.Color = LetterColor(K, Octave);
        C.Font.Name = "Arial";
        C.Font.Size = LetterSize;
        if (L.Horizontal())
            C.TextOut(P + (KW - C.TextWidth(Letter)) / 2, L.CrossExtent() - 16, Letter);
        else
            C.TextOut(L.CrossExtent() - 14, P + (KW - C.TextHeight(Letter)) / 2, Letter);
        C.Brush.Style = bsSolid;
    }

    // C8 closes the keyboard and opens no octave: it carries no number.
    if (Note == 1 && Octave != 9) {
        C.Brush.Style = bsClear;
        C.Font.Assign(K.Font());
        C.Font.Name = "Arial";
        C.Font.Size = NumberSize;
        const IntToStr Number(Octave);
        if (L.Horizontal())
            C.TextOut(P + 2, 2, Number);
        else
            C.TextOut(2, P + 2, Number);
        // The brush stays clear: the black key drawn next sets a colour, which makes it solid.
    }
}

}  // namespace keymora::render
