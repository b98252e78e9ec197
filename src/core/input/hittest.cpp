// Mouse hit testing: regions, zone buttons, duration cells and bands, and the key band.
#include "core/input/hittest.h"

namespace keymora {

namespace {

struct TAxes {
    int A;  // along the key axis
    int C;  // across it
};

TAxes ToAxes(const TKeymora& K, int X, int Y) {
    return K.IsHorizontal() ? TAxes{X, Y} : TAxes{Y, X};
}

// The key band length L over which the proportional key formula runs.
int BandLength(const TKeymora& K) {
    return K.RealWidth() - K.SettingWidth() - 2 * K.ZoneWidth();
}

// B(k): where the hit rules put the edge between white keys k - 1 and k.
int Boundary(const TKeymora& K, int L, int Index) {
    return (L * Index) / K.VisibleKeyCount() + K.KeyOrigin();
}

bool Within(int Low, int Value, int High) {
    return Low <= Value && Value <= High;
}

// Zone buttons are stacked across the axis: arrow from the low edge, then plus, then minus.
TZoneButton ZoneButtonAt(const TKeymora& K, bool FarEnd, int C) {
    const int E = K.CrossExtent();
    const int SBW = K.ScrollButtonWidth();
    if (C > E - SBW) return FarEnd ? TZoneButton::FewerDurations : TZoneButton::FewerOctaves;
    if (C > E - 2 * SBW) return FarEnd ? TZoneButton::MoreDurations : TZoneButton::MoreOctaves;
    return FarEnd ? TZoneButton::OctaveUp : TZoneButton::OctaveDown;
}

THit StripHit(const TKeymora& K, TAxes P) {
    THit Hit;
    const TDurationRow Row = K.DurationRow();
    // A row without cells has no scroll buttons either: both are placed from the cell size.
    if (Row.Count <= 0) return Hit;
    if (Row.Scroll && P.C > Row.Count * Row.Cell) {
        Hit.Region = P.A < K.RealWidth() - K.SettingWidth() / 2 ? THitRegion::DurationUp
                                                                : THitRegion::DurationDown;
        return Hit;
    }
    const int Cell = DurationCellAt(K, P.C);
    if (Cell >= 0) {
        Hit.Region = THitRegion::DurationCell;
        Hit.Cell = Cell;
    }
    return Hit;
}

}  // namespace

int WhiteKeyAt(const TKeymora& K, int A) {
    const int L = BandLength(K);
    const int Count = K.VisibleKeyCount();
    if (L <= 0 || Count <= 0) return -1;
    // In 64 bits: a captured pointer can report any coordinate at all.
    const long long P = ((static_cast<long long>(A) - K.KeyOrigin()) * Count) / L;
    return (P >= 0 && P < WhiteKeyCount) ? static_cast<int>(P) : -1;
}

int BlackKeyAt(const TKeymora& K, int P, int A) {
    const int L = BandLength(K);
    if (L <= 0 || K.VisibleKeyCount() <= 0 || P < 0 || P > 50) return -1;
    const int KW = K.KeyWidth();
    const int H = KW / 4 + 1;
    if (P == 0) return Within(Boundary(K, L, 1) - H, A, Boundary(K, L, 1)) ? 0 : -1;
    if (P == 1) return Within(Boundary(K, L, 1), A, Boundary(K, L, 1) + H) ? 0 : -1;
    const int Low = Boundary(K, L, P);
    switch ((P - 2) % 7) {
        case 0:  // C
        case 3:  // F: a black key on the high side only
        {
            const int High = Boundary(K, L, P + 1);
            return Within(High - H, A, High) ? P : -1;
        }
        case 1:  // D
        case 4:  // G
        case 5:  // A: black keys on both sides; the high edge is measured from B(p), not B(p + 1)
            if (Within(Low, A, Low + H)) return P - 1;
            return Within(Low + KW - H, A, Low + KW) ? P : -1;
        default:  // E, B: a black key on the low side only
            return Within(Low, A, Low + H) ? P - 1 : -1;
    }
}

int DurationCellAt(const TKeymora& K, int C) {
    const TDurationRow Row = K.DurationRow();
    const int N = Row.Count;
    const int S = Row.Cell;
    if (N <= 0) return -1;
    // With scrolling the scan runs one cell past the row, just beyond the low edge, which only a
    // captured pointer reaches.
    const int Last = Row.Scroll ? N : N - 1;
    for (int I = 0; I <= Last; ++I) {
        // Without scrolling cell 0 takes the remainder of the division up to the client edge.
        const int Upper = (!Row.Scroll && I == 0) ? K.CrossExtent() : (N - I) * S;
        if ((N - I - 1) * S < C && C < Upper) return I;
    }
    return -1;
}

int DurationBandAt(const TKeymora& K, int C) {
    const TDurationRow Row = K.DurationRow();
    const int N = Row.Count;
    const int S = Row.Cell;
    if (N <= 0) return -1;
    const int Last = Row.Scroll ? N : N - 1;
    for (int I = 0; I <= Last; ++I) {
        if (C <= (N - I - 1) * S) continue;
        if (I == 0 || C < (N - I) * S) return I;
    }
    return -1;
}

bool InTrackingResetZone(const TKeymora& K, int X, int Y) {
    const TAxes P = ToAxes(K, X, Y);
    const TDurationRow Row = K.DurationRow();
    const int S = K.StripStart();
    const int SBW = K.ScrollButtonWidth();
    const bool OnScrollButtons = Row.Count > 0 && P.C > Row.Count * Row.Cell && P.A >= S;
    return OnScrollButtons || P.A <= SBW || (S - SBW <= P.A && P.A < S);
}

THit HitTest(const TKeymora& K, int X, int Y) {
    const TAxes P = ToAxes(K, X, Y);
    const int S = K.StripStart();
    const int SBW = K.ScrollButtonWidth();
    const bool Zones = K.Style().Contains(msScrollOctave);
    THit Hit;
    if (P.A >= S) return StripHit(K, P);
    if (Zones && (P.A < SBW || P.A > S - SBW)) {
        Hit.Region = THitRegion::ZoneButton;
        Hit.Button = ZoneButtonAt(K, P.A >= SBW, P.C);
        return Hit;
    }
    const int White = WhiteKeyAt(K, P.A);
    if (White < 0) return Hit;
    Hit.Region = THitRegion::Key;
    Hit.WhiteKey = White;
    Hit.InBlackZone = P.C < (K.CrossExtent() * 4) / 5;
    if (Hit.InBlackZone) Hit.BlackKey = BlackKeyAt(K, White, P.A);
    return Hit;
}

TRect ZoneButtonReleaseRect(const TKeymora& K, TZoneButton Button) {
    if (Button == TZoneButton::OctaveDown && K.IsHorizontal())
        return Rect(0, 0, K.ScrollButtonWidth(), K.ClientHeight());
    return K.ZoneButtonRect(Button);
}

TRect DurationButtonsRect(const TKeymora& K) {
    const TDurationRow Row = K.DurationRow();
    return K.FrameRect(K.StripStart(), Row.Count * Row.Cell, K.RealWidth(), K.CrossExtent());
}

}  // namespace keymora
