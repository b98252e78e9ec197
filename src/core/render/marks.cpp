// Marks on the white keys: the PC-key letter of each note near the front edge, standing out in
// the current octave, and the octave number in the back corner of every C.
#include "core/host/rtl.h"
#include "core/render/parts.h"

namespace keymora::render {

namespace {

constexpr int LetterSize = 8;
constexpr int NumberSize = 7;
constexpr int NoteNameSize = 7;

/// Black or white, whichever stands out on Body.
TColor Contrasting(TColor Body) {
    const unsigned R = Body & 0xFF, G = (Body >> 8) & 0xFF, B = (Body >> 16) & 0xFF;
    return 299 * R + 587 * G + 114 * B < 128000 ? clWhite : clBlack;
}

/// The application's colour of white key I, unless the key is selected and shows red.
bool Tinted(const TKeymora& K, int I, TColor& Tint) {
    return K.KeyStates()[static_cast<std::size_t>(I)] != ksSelected && K.KeyColor(I, false, Tint);
}

/// The control's font at Size points, in the face the key pass set for all marks ("Arial"): the
/// name is a string, copied once a pass rather than three times a key.
void MarkFont(TCanvas& C, const TFont& Base, int Size) {
    C.Font.Color = Base.Color;
    C.Font.Style = Base.Style;
    C.Font.Charset = Base.Charset;
    C.Font.Size = Size;
}

TColor LetterColor(const TKeymora& K, const TColor* Tint, int Octave) {
    if (Tint) return Contrasting(*Tint);
    if (Octave != K.Octave()) return clSilver;
    // The current octave is the one the PC keys play: it is strong only while they reach us.
    return K.Focused() ? clMaroon : clGray;
}

}  // namespace

void PaintMarks(const TKeymora& K, const TLayout& L, TCanvas& C, int I, int P, int Note,
                int Octave) {
    const int KW = L.KeyWidth();
    // The key's own colour, asked once for all its marks.
    TColor TintColor;
    const TColor* Tint = Tinted(K, I, TintColor) ? &TintColor : nullptr;
    if (K.NoteNames()) {
        // Above the PC-key letters, in the middle of the key where no black key reaches.
        const std::string_view Name =
            std::string_view("CDEFGAB").substr(static_cast<std::size_t>(Note - 1), 1);
        C.Brush.Style = bsClear;
        MarkFont(C, K.Font(), NoteNameSize);
        C.Font.Color = Tint ? Contrasting(*Tint) : clGray;
        if (L.Horizontal())
            C.TextOut(P + (KW - C.TextWidth(Name)) / 2, L.CrossExtent() - 30, Name);
        else
            C.TextOut(L.CrossExtent() - 28, P + (KW - C.TextHeight(Name)) / 2, Name);
        C.Brush.Style = bsSolid;
    }
    if (!K.Style().Contains(msShowMarks)) return;
    const std::string_view Keys = K.Keys();

    // Keys may be shorter than the seven notes: a note beyond its end has no letter.
    if (static_cast<std::size_t>(Note) <= Keys.size()) {
        const std::string_view Letter = Keys.substr(static_cast<std::size_t>(Note - 1), 1);
        C.Brush.Style = bsClear;
        MarkFont(C, K.Font(), LetterSize);
        C.Font.Color = LetterColor(K, Tint, Octave);
        if (L.Horizontal())
            C.TextOut(P + (KW - C.TextWidth(Letter)) / 2, L.CrossExtent() - 16, Letter);
        else
            C.TextOut(L.CrossExtent() - 14, P + (KW - C.TextHeight(Letter)) / 2, Letter);
        C.Brush.Style = bsSolid;
    }

    // C8 closes the keyboard and opens no octave: it carries no number.
    if (Note == 1 && Octave != 9) {
        C.Brush.Style = bsClear;
        MarkFont(C, K.Font(), NumberSize);
        if (Tint) C.Font.Color = Contrasting(*Tint);
        const IntToStr Number(K.ScientificOctaves() ? Octave - 1 : Octave);
        if (L.Horizontal())
            C.TextOut(P + 2, 2, Number);
        else
            C.TextOut(2, P + 2, Number);
        // The brush stays clear: the black key drawn next sets a colour, which makes it solid.
    }
}

}  // namespace keymora::render
