// The paint pass: its order, the first key, the clip and shift of the scrolled keys, and the key
// pass that draws every white key with the black key that follows it.
#include "keymora/render/paint.h"

#include "core/render/parts.h"

namespace keymora {

namespace {

constexpr TColor clDarkRed = 0x000000DF;

/// Everything the key drawing reads, gathered once per pass.
struct TKeyPass {
    const TKeymora& K;
    const TLayout& L;
    TCanvas& C;
    int KW;            // white-key thickness along u
    int E;             // extent across the key axis
    int H;             // half width of a black key
    int BL;            // length of a black key across v
    bool Marks;        // letters, octave numbers or note names on the white keys
    bool ColorOctave;  // white keys in their octave's colour

    TColor WhiteKeyColor(int I, std::uint8_t State, int Octave) const {
        if (State == ksSelected) return clRed;
        TColor Tint;
        if (K.KeyColor(I, false, Tint)) return Tint;
        return ColorOctave ? K.OctaveColor(Octave) : K.Color();
    }

    void FillKey(int U0, int U1, TColor Color) {
        C.Brush.SetColor(Color);
        C.FillRect(L.Frame(U0, 0, U1, E));
    }

    void MoveTo(int U, int V) {
        const TPoint P = L.Point(U, V);
        C.MoveTo(P.X, P.Y);
    }
    void LineTo(int U, int V) {
        const TPoint P = L.Point(U, V);
        C.LineTo(P.X, P.Y);
    }

    /// The grey inner frame of a pressed white key spanning [U0, U1) along u.
    void PressedFrame(int U0, int U1) {
        C.Pen.Color = clGray;
        MoveTo(U1 - 1, E - 2);
        LineTo(U1 - 1, 1);
        LineTo(U0 + 1, 1);
        LineTo(U0 + 1, E - 2);
    }

    void FirstKey(int P) {
        const std::uint8_t State = K.KeyStates()[0];
        FillKey(P, P + KW, WhiteKeyColor(0, State, 1));
        C.Pen.Color = clBlack;
        MoveTo(P, 0);
        LineTo(P, E - 2);
        if (State == ksPressed) PressedFrame(P, P + KW);
    }

    /// One step of the key pass for white key I starting at P, note N, octave O; returns the
    /// start of the next key. The next key is filled before this one is outlined so that the black
    /// key drawn last, which overlaps both, is never covered by a later fill. Every part of a
    /// step sets the pen and brush it uses, so a step wholly outside the clip can be left out:
    /// its lines and fills stay within [P - 1, P + 2 * KW + 2) along u, its marks within
    /// TextReach of the key.
    int Step(int I, int P, int N, int O, const render::TClipSpan& Span) {
        // A negative key width (a control narrower than its strip and zones) skips nothing.
        const bool KeyMarks =
            Marks && (KW < 0 || Span.Meets(static_cast<long long>(P) - render::TextReach,
                                           static_cast<long long>(P) + KW + render::TextReach));
        if (KW >= 0 &&
            !Span.Meets(static_cast<long long>(P) - 1, static_cast<long long>(P) + 2LL * KW + 2)) {
            if (KeyMarks) render::PaintMarks(K, L, C, I, P, N, O);
            return P + KW;
        }
        const auto Index = static_cast<std::size_t>(I);
        if (I < WhiteKeyCount - 1) {
            const std::uint8_t Next = K.KeyStates()[Index + 1];
            FillKey(P + KW + 1, P + 2 * KW, WhiteKeyColor(I + 1, Next, N == 7 ? O + 1 : O));
            if (Next == ksPressed) PressedFrame(P + KW, P + 2 * KW);
        }
        const bool HasBlack = HasBlackKeyAfter(I);
        const std::uint8_t Tone = K.ToneStates()[Index];
        if (HasBlack && Tone != ksPressed) {
            C.Pen.Color = clGray;
            const TPoint Shadow[] = {L.Point(P + KW - H, BL - 3), L.Point(P + KW - H + 1, BL),
                                     L.Point(P + KW + H, BL), L.Point(P + KW + H + 1, BL - 3),
                                     L.Point(P + KW + H + 1, 0)};
            C.Polyline(Shadow);
        }
        C.Pen.Color = clBlack;
        const TPoint Outline[] = {L.Point(P, E - 3),          L.Point(P + 1, E - 2),
                                  L.Point(P + KW - 1, E - 2), L.Point(P + KW, E - 3),
                                  L.Point(P + KW, 0),         L.Point(P, 0)};
        C.Polyline(Outline);
        C.Pen.Color = clGray;
        MoveTo(P + 1, E - 1);
        LineTo(P + KW, E - 1);
        if (KeyMarks) render::PaintMarks(K, L, C, I, P, N, O);
        P += KW;
        if (HasBlack) BlackKey(I, P, Tone);
        return P;
    }

    /// The black key centred on the boundary P.
    void BlackKey(int I, int P, std::uint8_t Tone) {
        TColor Body = clBlack;
        if (Tone == ksSelected)
            Body = clDarkRed;
        else
            K.KeyColor(I, true, Body);
        C.Pen.Color = Body;
        C.Brush.SetColor(Body);
        const TPoint Shape[] = {L.Point(P - H, 0),          L.Point(P - H, BL - 4),
                                L.Point(P - H + 1, BL - 1), L.Point(P + H, BL - 1),
                                L.Point(P + H, BL - 4),     L.Point(P + H, 0)};
        C.Polygon(Shape);
        C.Pen.Color = clSilver;
        MoveTo(P - H + 2, 4);
        LineTo(P - H + 2, BL - 4);
        if (Tone == ksPressed) {
            C.Pen.Color = clGray;
            const TPoint Inner[] = {L.Point(P - H, 1),          L.Point(P - H, BL - 4),
                                    L.Point(P - H + 1, BL - 1), L.Point(P + H, BL - 1),
                                    L.Point(P + H, BL - 4),     L.Point(P + H, 1),
                                    L.Point(P - H, 1)};
            C.Polyline(Inner);
        }
    }
};

}  // namespace

void TKeymora::Paint() {
    TCustomControl::Paint();
    if (TCanvas* C = Canvas()) PaintKeymora(*this, *C);
}

void PaintKeymora(const TKeymora& K, TCanvas& C) {
    const TLayout L = K.Layout();
    const bool Scroll = K.Style().Contains(msScrollOctave);
    // One choice of face style for the whole pass, so that no button changes style midway.
    const bool Themed = K.ThemesEnabled();
    const int E = L.CrossExtent();

    if (Scroll) render::PaintButtonZones(K, L, C, Themed);
    int P = L.ZoneWidth();
    TKeyPass Pass{K,
                  L,
                  C,
                  L.KeyWidth(),
                  E,
                  L.KeyWidth() / 4,
                  L.BlackLength(),
                  K.Style().Contains(msShowMarks) || K.NoteNames(),
                  K.Style().Contains(msColorOctave)};

    // The strip and everything beyond RealWidth: the keyboard paints every pixel it owns.
    C.Brush.SetColor(K.Color());
    C.FillRect(L.Frame(L.StripStart(), 0, L.AxisExtent(), E));
    // The selector's labels are centred on the strip and may stand out of a narrow one.
    if (L.SettingWidth() > 0 &&
        render::ClipSpanOf(C, L.Horizontal())
            .Meets(static_cast<long long>(L.RealWidth()) - L.SettingWidth() - render::TextReach,
                   static_cast<long long>(L.RealWidth()) + render::TextReach))
        render::PaintDurationSelector(K, L, C, Themed);

    // A0 goes down before the shift: scrolled away, it is covered by the shifted keys.
    Pass.FirstKey(P);

    if (Scroll) {
        const int S = L.Offset();
        const int SBW = L.ScrollButtonWidth();
        C.SaveDC();
        C.IntersectClipRect(L.KeyArea());
        const TPoint Origin = L.Point(-S, 0);
        C.SetViewportOrg(Origin.X, Origin.Y);
        // Scrolled to the end, the keys stop short of the far zone: fill the gap after C8.
        if (WhiteKeyCount * Pass.KW - S < L.StripStart() - 2 * SBW) {
            const TColor Gap = K.Style().Contains(msColorOctave) ? K.OctaveColor(9) : K.Color();
            Pass.FillKey(WhiteKeyCount * Pass.KW + SBW, S + L.StripStart() - SBW, Gap);
        }
    }

    // Taken after the shift: the span is in the keys' own, scrolled coordinates.
    const render::TClipSpan Span = render::ClipSpanOf(C, L.Horizontal());
    // The marks' face, once for the pass: nothing else in it changes the font's name.
    C.Font.Name = "Arial";
    int N = WhiteKeyNote(0), O = WhiteKeyOctave(0);
    for (int I = 0; I < WhiteKeyCount; ++I) {
        P = Pass.Step(I, P, N, O, Span);
        if (++N > 7) {
            N = 1;
            ++O;
        }
    }

    if (Scroll) C.RestoreDC();
}

}  // namespace keymora
