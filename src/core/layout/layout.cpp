// The one geometry of the keyboard: drawn rectangles, hit rules and press points, all placed from
// the few numbers a TLayout takes from the control.
#include "keymora/layout/layout.h"

#include <algorithm>
#include <climits>

namespace keymora {

namespace {

int Saturate(long long V) {
    return V < INT_MIN ? INT_MIN : (V > INT_MAX ? INT_MAX : static_cast<int>(V));
}

bool Within(int Low, int Value, int High) {
    return Low <= Value && Value <= High;
}

/// Ceiling of N / D for D > 0.
long long CeilDiv(long long N, long long D) {
    return N >= 0 ? (N + D - 1) / D : -((-N) / D);
}

/// A closed interval of integers, empty when Lo > Hi.
struct TRun {
    long long Lo = 1;
    long long Hi = 0;
    bool Empty() const { return Lo > Hi; }
    TRun Meet(TRun O) const { return {std::max(Lo, O.Lo), std::min(Hi, O.Hi)}; }
};

/// The value of [Lo, Hi] nearest to Mid: the first that a search from Mid outward reaches.
long long Nearest(TRun R, long long Mid) {
    return std::clamp(Mid, R.Lo, R.Hi);
}

}  // namespace

TLayout::TLayout(const TKeymora& K)
    : Horizontal_(K.IsHorizontal()),
      HasWindow_(K.HandleAllocated()),
      ScrollOctave_(K.Style().Contains(msScrollOctave)),
      Width_(K.Width()),
      Height_(K.Height()),
      ClientWidth_(K.ClientWidth()),
      ClientHeight_(K.ClientHeight()),
      Axis_(Horizontal_ ? ClientWidth_ : ClientHeight_),
      Cross_(Horizontal_ ? ClientHeight_ : ClientWidth_),
      RealWidth_(K.RealWidth()),
      SettingWidth_(K.SettingWidth()),
      ScrollButtonWidth_(K.ScrollButtonWidth()),
      KeyWidth_(K.KeyWidth()),
      VisibleKeyCount_(K.VisibleKeyCount()),
      Offset_(K.OffsetOctave() <= 0 ? 0 : K.KeyWidth() * (7 * K.OffsetOctave() - 5)) {
    Row_.Scroll = K.Style().Contains(msScrollDuration);
    Row_.Count = Row_.Scroll ? K.MaxDuration() - K.MaxOffsetDuration() : K.MaxDuration();
    if (Row_.Count <= 0) {
        Row_.Count = 0;
        return;
    }
    Row_.Cell = Row_.Scroll ? (Cross_ - SettingWidth_ / 2) / Row_.Count : Cross_ / Row_.Count;
    Row_.FarEdge = Row_.Cell * Row_.Count;
}

// ---- Drawn rectangles ----

// Any index is allowed; positions far outside the keyboard saturate instead of overflowing.
TRect TLayout::WhiteKey(int I) const {
    if (!HasWindow_) return {0, 0, Width_, Height_};
    const long long A = KeyOrigin();
    const long long KW = KeyWidth_;
    return Frame(Saturate(A + I * KW), 0, Saturate(A + (I + 1LL) * KW), Cross_);
}

TRect TLayout::BlackKey(int I) const {
    if (!HasWindow_) return {0, 0, Width_, Height_};
    const long long Q = KeyWidth_ / 4;
    const long long C = KeyOrigin() + (I + 1LL) * KeyWidth_;
    return Frame(Saturate(C - Q), 0, Saturate(C + Q + 2), Cross_ * 4 / 5 + 2);
}

TRect TLayout::MarksBand(int O) const {
    if (!HasWindow_) return {};
    // From the octave's C to the next C; octave 1 starts five keys before A0, and octave 9
    // holds C8 alone.
    const int Start = O == 9 ? 51 * KeyWidth_ : WhiteKeyIndex(O, 1) * KeyWidth_;
    const int End = O == 9 ? 52 * KeyWidth_ : WhiteKeyIndex(O + 1, 1) * KeyWidth_;
    const int A = KeyOrigin();
    return Frame(A + Start, Cross_ - 14, A + End, Cross_);
}

TRect TLayout::ZoneButton(TZoneButton Button) const {
    const int SBW = ScrollButtonWidth_;
    const int E = Cross_;
    const int S = StripStart();
    switch (Button) {
        case TZoneButton::OctaveDown:
            return Frame(0, 0, SBW, E - 2 * SBW);
        case TZoneButton::MoreOctaves:
            return Frame(0, E - 2 * SBW, SBW, E - SBW);
        case TZoneButton::FewerOctaves:
            return Frame(0, E - SBW, SBW, E);
        case TZoneButton::OctaveUp:
            return Frame(S - SBW, 0, S, E - 2 * SBW);
        case TZoneButton::MoreDurations:
            return Frame(S - SBW, E - 2 * SBW, S, E - SBW);
        case TZoneButton::FewerDurations:
            break;
    }
    return Frame(S - SBW, E - SBW, S, E);
}

TRect TLayout::DurationCell(int I) const {
    const int Far = Row_.FarEdge - I * Row_.Cell;
    // Without scroll buttons the first cell takes up the remainder of the division.
    const int Hi = I == 0 && !Row_.Scroll ? Cross_ : Far;
    return Frame(StripStart(), Far - Row_.Cell, RealWidth_, Hi);
}

TRect TLayout::DurationButton(bool Up) const {
    const int Split = RealWidth_ - SettingWidth_ / 2;
    return Up ? Frame(StripStart(), Row_.FarEdge, Split, Cross_)
              : Frame(Split, Row_.FarEdge, RealWidth_, Cross_);
}

TRect TLayout::ZoneButtonRelease(TZoneButton Button) const {
    if (Button == TZoneButton::OctaveDown && Horizontal_)
        return {0, 0, ScrollButtonWidth_, ClientHeight_};
    return ZoneButton(Button);
}

TPoint TLayout::NotePoint(int P, bool Black, int Row, int Cells) const {
    // Rows are counted up from the client's bottom edge whatever the orientation.
    const int G = (ClientHeight_ - SettingWidth_ / 2) / Cells;
    const int Y = ClientHeight_ - Row * G - (3 * G) / 2;
    const int Boundary = KeyOrigin() + (P + 1) * KeyWidth_;
    return {Black ? Boundary : Boundary - KeyWidth_ / 2, Y};
}

// ---- Hit rules ----

// B(k): where the hit rules put the edge between white keys k - 1 and k.
int TLayout::Boundary(int L, int Index) const {
    return (L * Index) / VisibleKeyCount_ + KeyOrigin();
}

int TLayout::WhiteKeyAt(int A) const {
    const int L = BandLength();
    const int Count = VisibleKeyCount_;
    if (L <= 0 || Count <= 0) return -1;
    // In 64 bits: a captured pointer can report any coordinate at all.
    const long long P = ((static_cast<long long>(A) - KeyOrigin()) * Count) / L;
    return (P >= 0 && P < WhiteKeyCount) ? static_cast<int>(P) : -1;
}

bool TLayout::WhiteKeySpan(int P, long long& First, long long& Last) const {
    const long long L = BandLength();
    const long long Count = VisibleKeyCount_;
    if (L <= 0 || Count <= 0 || P < 0 || P >= WhiteKeyCount) return false;
    // WhiteKeyAt truncates toward zero, so key 0 also takes the points just before the origin.
    const long long O = KeyOrigin();
    First = P == 0 ? O - CeilDiv(L, Count) + 1 : O + CeilDiv(P * L, Count);
    Last = O + CeilDiv((P + 1) * L, Count);
    return First < Last;
}

int TLayout::BlackKeyAt(int P, int A) const {
    const int L = BandLength();
    if (L <= 0 || VisibleKeyCount_ <= 0 || P < 0 || P > 50) return -1;
    const int KW = KeyWidth_;
    const int H = KW / 4 + 1;
    if (P == 0) return Within(Boundary(L, 1) - H, A, Boundary(L, 1)) ? 0 : -1;
    if (P == 1) return Within(Boundary(L, 1), A, Boundary(L, 1) + H) ? 0 : -1;
    const int Low = Boundary(L, P);
    switch ((P - 2) % 7) {
        case 0:  // C
        case 3:  // F: a black key on the high side only
        {
            const int High = Boundary(L, P + 1);
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

int TLayout::DurationCellAt(int C) const {
    const int N = Row_.Count;
    const int S = Row_.Cell;
    if (N <= 0) return -1;
    // With scrolling the scan runs one cell past the row, just beyond the low edge, which only a
    // captured pointer reaches.
    const int Last = Row_.Scroll ? N : N - 1;
    for (int I = 0; I <= Last; ++I) {
        // Without scrolling cell 0 takes the remainder of the division up to the client edge.
        const int Upper = (!Row_.Scroll && I == 0) ? Cross_ : (N - I) * S;
        if ((N - I - 1) * S < C && C < Upper) return I;
    }
    return -1;
}

int TLayout::DurationBandAt(int C) const {
    const int N = Row_.Count;
    const int S = Row_.Cell;
    if (N <= 0) return -1;
    const int Last = Row_.Scroll ? N : N - 1;
    for (int I = 0; I <= Last; ++I) {
        if (C <= (N - I - 1) * S) continue;
        if (I == 0 || C < (N - I) * S) return I;
    }
    return -1;
}

bool TLayout::InTrackingResetZone(int X, int Y) const {
    const int A = AlongOf(X, Y);
    const int C = AcrossOf(X, Y);
    const int S = StripStart();
    const int SBW = ScrollButtonWidth_;
    const bool OnScrollButtons = Row_.Count > 0 && C > Row_.Count * Row_.Cell && A >= S;
    return OnScrollButtons || A <= SBW || (S - SBW <= A && A < S);
}

// Zone buttons are stacked across the axis: arrow from the low edge, then plus, then minus.
TZoneButton TLayout::ZoneButtonAt(bool FarEnd, int C) const {
    const int E = Cross_;
    const int SBW = ScrollButtonWidth_;
    if (C > E - SBW) return FarEnd ? TZoneButton::FewerDurations : TZoneButton::FewerOctaves;
    if (C > E - 2 * SBW) return FarEnd ? TZoneButton::MoreDurations : TZoneButton::MoreOctaves;
    return FarEnd ? TZoneButton::OctaveUp : TZoneButton::OctaveDown;
}

THit TLayout::StripHit(int A, int C) const {
    THit Hit;
    // A row without cells has no scroll buttons either: both are placed from the cell size.
    if (Row_.Count <= 0) return Hit;
    if (Row_.Scroll && C > Row_.Count * Row_.Cell) {
        Hit.Region =
            A < RealWidth_ - SettingWidth_ / 2 ? THitRegion::DurationUp : THitRegion::DurationDown;
        return Hit;
    }
    const int Cell = DurationCellAt(C);
    if (Cell >= 0) {
        Hit.Region = THitRegion::DurationCell;
        Hit.Cell = Cell;
    }
    return Hit;
}

THit TLayout::HitTest(int X, int Y) const {
    const int A = AlongOf(X, Y);
    const int C = AcrossOf(X, Y);
    const int S = StripStart();
    const int SBW = ScrollButtonWidth_;
    THit Hit;
    if (A >= S) return StripHit(A, C);
    if (ScrollOctave_ && (A < SBW || A > S - SBW)) {
        Hit.Region = THitRegion::ZoneButton;
        Hit.Button = ZoneButtonAt(A >= SBW, C);
        return Hit;
    }
    const int White = WhiteKeyAt(A);
    if (White < 0) return Hit;
    Hit.Region = THitRegion::Key;
    Hit.WhiteKey = White;
    Hit.InBlackZone = C < (Cross_ * 4) / 5;
    if (Hit.InBlackZone) Hit.BlackKey = BlackKeyAt(White, A);
    return Hit;
}

// ---- Press points ----

bool TLayout::DrawnArea(const TTarget& T, TRect& Area) const {
    const int E = Cross_;
    const int S = StripStart();
    int U0 = 0, V0 = 0, U1 = 0, V1 = 0;
    auto FromFrame = [&](const TRect& R) {
        U0 = Horizontal_ ? R.Left : R.Top;
        V0 = Horizontal_ ? R.Top : R.Left;
        U1 = Horizontal_ ? R.Right : R.Bottom;
        V1 = Horizontal_ ? R.Bottom : R.Right;
    };
    switch (T.Kind) {
        case TTargetKind::WhiteKey:
        case TTargetKind::BlackKey:
            FromFrame(T.Kind == TTargetKind::BlackKey ? BlackKey(T.Index) : WhiteKey(T.Index));
            // Only where the key band is drawn: its last column hit-tests as the key beyond.
            U0 = std::max(U0, ZoneWidth());
            U1 = std::min(U1, S - ZoneWidth());
            break;
        case TTargetKind::DurationCell:
            if (SettingWidth_ <= 0 || T.Index < 0 || T.Index >= Row_.Count) return false;
            FromFrame(DurationCell(T.Index));
            break;
        case TTargetKind::DurationUp:
        case TTargetKind::DurationDown:
            if (!Row_.Scroll || SettingWidth_ <= 0) return false;
            FromFrame(DurationButton(T.Kind == TTargetKind::DurationUp));
            break;
        case TTargetKind::ZoneButton:
            if (!ScrollOctave_) return false;
            FromFrame(ZoneButton(T.Button));
            break;
    }
    U0 = std::max(U0, 0);
    V0 = std::max(V0, 0);
    U1 = std::min(U1, Axis_);
    V1 = std::min(V1, E);
    if (U0 >= U1 || V0 >= V1) return false;
    Area = Frame(U0, V0, U1, V1);
    return true;
}

// The press point is found in the drawn area as a search would find it: the row nearest the
// area's middle that holds a point hitting the target, and in that row the middle of the first
// and last such points. Each target's hit points form a run along the key axis and a run across
// it, so both come from the hit rules in closed form.
bool TLayout::PressPoint(const TTarget& T, TPoint& Point) const {
    TRect Area;
    if (!DrawnArea(T, Area)) return false;
    const int E = Cross_;
    TRun Along{Horizontal_ ? Area.Left : Area.Top, (Horizontal_ ? Area.Right : Area.Bottom) - 1};
    TRun Across{Horizontal_ ? Area.Top : Area.Left, (Horizontal_ ? Area.Bottom : Area.Right) - 1};
    const long long S = StripStart();
    const long long SBW = ScrollButtonWidth_;
    const long long N = Row_.Count;
    const long long G = Row_.Cell;

    switch (T.Kind) {
        case TTargetKind::WhiteKey: {
            // Pressed below the black keys, where no black key can take the press.
            const long long V = (E * 4 / 5 + E) / 2;
            if (V < Across.Lo || V > Across.Hi) return false;
            Across = {V, V};
            long long First = 0, Last = 0;
            if (!WhiteKeySpan(T.Index, First, Last)) return false;
            Along = Along.Meet({First, Last - 1});
            break;
        }
        case TTargetKind::BlackKey: {
            // Half way down the black keys; in a key band too thin for a black-key zone no
            // black key takes a press.
            const long long V = (E * 4 / 5) / 2;
            if (V < Across.Lo || V > Across.Hi || V >= (E * 4) / 5) return false;
            Across = {V, V};
            const int J = T.Index;
            const int L = BandLength();
            if (L <= 0 || VisibleKeyCount_ <= 0 || J < 0 || J > 50) return false;
            const int KW = KeyWidth_;
            const int H = KW / 4 + 1;
            // The press names J from white key J (its high side) or from white key J + 1 (its
            // low side); each piece lies within that white key's own hit run.
            TRun Hits;
            auto Add = [&](int White, TRun Piece) {
                long long First = 0, Last = 0;
                if (!WhiteKeySpan(White, First, Last)) return;
                Piece = Piece.Meet({First, Last - 1}).Meet(Along);
                if (Piece.Empty()) return;
                Hits = Hits.Empty()
                           ? Piece
                           : TRun{std::min(Hits.Lo, Piece.Lo), std::max(Hits.Hi, Piece.Hi)};
            };
            const int B1 = Boundary(L, 1);
            if (J == 0) {
                Add(0, {B1 - H, B1});
                Add(1, {B1, B1 + H});
            } else if (J >= 2) {
                const int Low = Boundary(L, J);
                switch ((J - 2) % 7) {
                    case 0:
                    case 3: {
                        const int High = Boundary(L, J + 1);
                        Add(J, {High - H, High});
                        break;
                    }
                    case 1:
                    case 4:
                    case 5: {
                        // The low side [Low, Low + H] names J - 1 first.
                        const TRun High{Low + KW - H, Low + KW};
                        Add(J, High.Meet({LLONG_MIN, Low - 1LL}));
                        Add(J, High.Meet({Low + H + 1LL, LLONG_MAX}));
                        break;
                    }
                    default:
                        break;
                }
                if (J + 1 <= 50) {
                    switch ((J + 1 - 2) % 7) {
                        case 1:
                        case 2:
                        case 4:
                        case 5:
                        case 6: {
                            const int Low1 = Boundary(L, J + 1);
                            Add(J + 1, {Low1, Low1 + H});
                            break;
                        }
                        default:
                            break;
                    }
                }
            }
            Along = Hits;
            break;
        }
        case TTargetKind::DurationCell: {
            // Strict bounds: a point on a cell's boundary hits no cell.
            const long long I = T.Index;
            const long long Upper = (!Row_.Scroll && I == 0) ? E : (N - I) * G;
            Across = Across.Meet({(N - I - 1) * G + 1, Upper - 1});
            break;
        }
        case TTargetKind::DurationUp:
        case TTargetKind::DurationDown:
            if (N <= 0) return false;
            Across = Across.Meet({N * G + 1, LLONG_MAX});
            break;
        case TTargetKind::ZoneButton: {
            const bool FarEnd = T.Button == TZoneButton::OctaveUp ||
                                T.Button == TZoneButton::MoreDurations ||
                                T.Button == TZoneButton::FewerDurations;
            // Short of the strip, in a zone, and at the end the zone test names.
            Along = FarEnd ? Along.Meet({std::max(SBW, S - SBW + 1), S - 1})
                           : Along.Meet({LLONG_MIN, std::min(S, SBW) - 1});
            switch (T.Button) {
                case TZoneButton::OctaveDown:
                case TZoneButton::OctaveUp:
                    Across = Across.Meet({LLONG_MIN, E - 2 * SBW});
                    break;
                case TZoneButton::MoreOctaves:
                case TZoneButton::MoreDurations:
                    Across = Across.Meet({E - 2 * SBW + 1, E - SBW});
                    break;
                default:
                    Across = Across.Meet({E - SBW + 1, LLONG_MAX});
                    break;
            }
            break;
        }
    }
    if (Along.Empty() || Across.Empty()) return false;
    const long long Mid = (static_cast<long long>(Horizontal_ ? Area.Top : Area.Left) +
                           (Horizontal_ ? Area.Bottom : Area.Right)) /
                          2;
    const long long V = Nearest(Across, Mid);
    const long long U = (Along.Lo + Along.Hi) / 2;
    Point = this->Point(static_cast<int>(U), static_cast<int>(V));
    return true;
}

}  // namespace keymora
