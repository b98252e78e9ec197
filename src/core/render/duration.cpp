// The duration selector in the setting strip: a row of push-button cells labelled with note
// values ("c" for the whole note, then 1/2, 1/4 ...), the selected one pressed, and two arrow
// buttons when the row scrolls. Labels are built in fixed buffers (TDurationLabel): the pass
// allocates nothing.
#include "core/render/parts.h"
#include "keymora/pitch/duration.h"

namespace keymora::render {

namespace {

struct TCellLabel {
    TCanvas& C;
    bool Horizontal;
    int Middle2;  // twice the middle of the strip along u: 2 * RW - SW
    int Lo;       // near edge of the cell along v
    int Hi;       // far edge used for centring: the cell's own, or the client edge for cell 0
    int CellHi;   // the cell's own far edge, which a stacked fraction centres on

    void Draw(int D) {
        const TDurationLabel Label(D);
        if (Horizontal || D == 0) {
            const std::string_view Text = Label.View();
            const int W = C.TextWidth(Text), G = C.TextHeight(Text);
            if (Horizontal)
                C.TextOut((Middle2 - W) / 2, (Hi + Lo - G) / 2, Text);
            else
                C.TextOut((Hi + Lo - W) / 2, (Middle2 - G) / 2, Text);
            return;
        }
        // Across a vertical strip "1/128" would not fit: stack "1" over a bar over 2^D.
        const int M = Middle2 / 2;
        const int Centre2 = CellHi + Lo;
        const std::string_view One = "1";
        C.TextOut((Centre2 - C.TextWidth(One)) / 2, M - C.TextHeight(One), One);
        const std::string_view Number = Label.Denominator();
        C.TextOut((Centre2 - C.TextWidth(Number)) / 2, M, Number);
        C.Pen.Color = C.Font.Color;
        C.MoveTo(Centre2 / 2 - 4, M);
        C.LineTo(Centre2 / 2 + 4, M);
    }
};

}  // namespace

void PaintDurationSelector(const TKeymora& K, const TLayout& L, TCanvas& C, bool Themed) {
    const bool H = L.Horizontal();
    const int RW = L.RealWidth();
    const int SW = L.SettingWidth();

    C.Font.Size = 7;
    C.Font.Name = "Arial";
    C.Font.Color = K.Focused() ? clBlack : clGray;
    // Upright and of normal weight whatever the control's font: the labels are tiny.
    C.Font.Style = TFontStyles{};
    C.Brush.Style = bsClear;

    const TDurationRow& Row = L.Row();
    if (Row.Scroll) {
        DrawArrowButton(C, Themed, H ? TArrow::Up : TArrow::Left, L.DurationButton(true),
                        K.DurationUpPressed());
        DrawArrowButton(C, Themed, H ? TArrow::Down : TArrow::Right, L.DurationButton(false),
                        K.DurationDownPressed());
    }
    for (int Cell = 0; Cell < Row.Count; ++Cell) {
        const TRect R = L.DurationCell(Cell);
        const int D = Cell + K.OffsetDuration();
        DrawPushButton(C, Themed, R, D == K.DurationPosition());
        // A stacked fraction centres on the cell's own far edge even where cell 0 reaches on.
        const int Lo = H ? R.Top : R.Left;
        const int Hi = H ? R.Bottom : R.Right;
        TCellLabel{C, H, 2 * RW - SW, Lo, Hi, Lo + Row.Cell}.Draw(D);
    }
    C.Brush.Style = bsSolid;
}

}  // namespace keymora::render
