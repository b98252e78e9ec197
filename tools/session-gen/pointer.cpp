// How generated mouse lines pick their points. Most presses land inside a real target; the rest
// probe its edges (one pixel either side of each), the boundaries between keys, the client at
// large, the space around the control and coordinates at the tool's limits.
#include "pointer.h"

#include <algorithm>
#include <array>

namespace keymora::sessiongen {

namespace {

int Clamp(long long V) {
    return static_cast<int>(std::clamp<long long>(V, -MaxCoordinate, MaxCoordinate));
}

TPoint MakePoint(long long X, long long Y) {
    return {Clamp(X), Clamp(Y)};
}

bool Visible(const TRect& R, const TRect& Client) {
    return !R.IsEmpty() && R.Left < Client.Right && Client.Left < R.Right &&
           R.Top < Client.Bottom && Client.Top < R.Bottom;
}

// A target of a kind chosen by weight, preferring those that show in the client; null when the
// layout has none at all.
const TTarget* PickTarget(TRandom& R, const TAimMap& L) {
    if (L.Targets.empty()) return nullptr;
    static constexpr std::array<int, TargetKindCount> KindWeights = {
        30,  // WhiteKey
        25,  // BlackKey
        15,  // DurationCell
        5,   // DurationUp
        5,   // DurationDown
        15,  // ZoneButton
        5,   // SettingStrip
    };
    const bool OnlyVisible = !R.OneIn(7);
    std::array<int, TargetKindCount> Count{};
    for (const TTarget& T : L.Targets)
        if (!OnlyVisible || Visible(T.Rect, L.Client)) ++Count[static_cast<std::size_t>(T.Kind)];
    std::array<int, TargetKindCount> Weights{};
    bool Any = false;
    for (std::size_t K = 0; K < Weights.size(); ++K) {
        Weights[K] = Count[K] > 0 ? KindWeights[K] : 0;
        Any = Any || Weights[K] > 0;
    }
    if (!Any) return &L.Targets[static_cast<std::size_t>(R.Below(L.Targets.size()))];
    const auto Kind = static_cast<TAimKind>(R.Weighted(Weights));
    std::uint64_t Nth = R.Below(static_cast<std::uint64_t>(Count[static_cast<std::size_t>(Kind)]));
    for (const TTarget& T : L.Targets) {
        if (T.Kind != Kind || (OnlyVisible && !Visible(T.Rect, L.Client))) continue;
        if (Nth-- == 0) return &T;
    }
    return &L.Targets.front();
}

// A coordinate inside [Low, High), or Low when the span is empty.
long long Inside(TRandom& R, int Low, int High) {
    return R.Between(Low, static_cast<long long>(High) - 1);
}

// A coordinate on or next to an edge of [Low, High): each edge and one pixel either side.
long long NearEdge(TRandom& R, int Low, int High) {
    const std::array<long long, 6> Edges = {Low - 1LL,  Low,  Low + 1LL,
                                            High - 1LL, High, High + 1LL};
    return Edges[static_cast<std::size_t>(R.Below(Edges.size()))];
}

TPoint OnEdge(TRandom& R, const TRect& T) {
    // A corner or a pixel off it, else an edge and anywhere along it.
    const auto Way = R.Below(3);
    const long long X = Way == 2 ? Inside(R, T.Left, T.Right) : NearEdge(R, T.Left, T.Right);
    return MakePoint(X, Way == 1 ? Inside(R, T.Top, T.Bottom) : NearEdge(R, T.Top, T.Bottom));
}

// Anywhere in the client or a little around it.
TPoint AroundClient(TRandom& R, const TAimMap& L) {
    const int Margin = 20;
    const long long X = R.Between(L.Client.Left - Margin, L.Client.Right + Margin);
    return MakePoint(X, R.Between(L.Client.Top - Margin, L.Client.Bottom + Margin));
}

// On a boundary between keys, or one pixel either side, along the key axis; across it anywhere,
// or on the edge of the black-key zone.
TPoint OnKeyBoundary(TRandom& R, const TAimMap& L) {
    const TTarget* T = nullptr;
    for (int Try = 0; Try < 4 && !T; ++Try) {
        const TTarget* C = PickTarget(R, L);
        if (C && (C->Kind == TAimKind::WhiteKey || C->Kind == TAimKind::BlackKey)) T = C;
    }
    if (!T) return AroundClient(R, L);
    const int Low = L.Horizontal ? T->Rect.Left : T->Rect.Top;
    const int High = L.Horizontal ? T->Rect.Right : T->Rect.Bottom;
    const long long Edge = R.OneIn(2) ? Low : High;
    const long long A = Edge + R.Between(-1, 1);
    const int Cross = L.Horizontal ? L.Client.Height() : L.Client.Width();
    long long C = 0;
    switch (R.Below(3)) {
        case 0:
            C = Inside(R, 0, Cross);
            break;
        case 1:  // where the black-key zone ends
            C = Cross * 4LL / 5 + R.Between(-1, 1);
            break;
        default:
            C = R.OneIn(2) ? 0 : Cross - 1;
            break;
    }
    return L.Horizontal ? MakePoint(A, C) : MakePoint(C, A);
}

// Off the control: beside it, or at the limits of what the tool accepts.
TPoint Outside(TRandom& R, const TAimMap& L) {
    static constexpr std::array<long long, 8> Far = {
        -MaxCoordinate, -MaxCoordinate + 1, -65536,       -32769, 32768,
        65536,          MaxCoordinate - 1,  MaxCoordinate};
    const auto Coordinate = [&](int Low, int High) -> long long {
        switch (R.Below(4)) {
            case 0:
                return Far[static_cast<std::size_t>(R.Below(Far.size()))];
            case 1:
                return Low - R.Between(1, 500);
            case 2:
                return High + R.Between(0, 500);
            default:
                return R.Between(-MaxCoordinate, MaxCoordinate);
        }
    };
    // Often one coordinate stays within the client so that the point lies beside a side.
    const auto Way = R.Below(3);
    const long long X = Way == 1 ? Inside(R, L.Client.Left, L.Client.Right)
                                 : Coordinate(L.Client.Left, L.Client.Right);
    return MakePoint(X, Way == 0 ? Inside(R, L.Client.Top, L.Client.Bottom)
                                 : Coordinate(L.Client.Top, L.Client.Bottom));
}

}  // namespace

TPoint PointIn(TRandom& R, const TRect& T) {
    if (R.OneIn(5))
        return MakePoint((T.Left + static_cast<long long>(T.Right)) / 2,
                         (T.Top + static_cast<long long>(T.Bottom)) / 2);
    const long long X = Inside(R, T.Left, T.Right);
    return MakePoint(X, Inside(R, T.Top, T.Bottom));
}

TPoint PickPoint(TRandom& R, const TAimMap& L) {
    static constexpr std::array<int, 5> Ways = {
        600,  // inside a target
        150,  // on a target's edge or corner
        120,  // on a key boundary
        90,   // around the client
        40,   // outside the control, far away included
    };
    switch (R.Weighted(Ways)) {
        case 0:
            if (const TTarget* T = PickTarget(R, L)) return PointIn(R, T->Rect);
            break;
        case 1:
            if (const TTarget* T = PickTarget(R, L)) return OnEdge(R, T->Rect);
            break;
        case 2:
            return OnKeyBoundary(R, L);
        case 3:
            break;
        default:
            return Outside(R, L);
    }
    return AroundClient(R, L);
}

TPoint DragPoint(TRandom& R, const TAimMap& L, TPoint From) {
    if (R.OneIn(2)) return PickPoint(R, L);
    const long long X = From.X + R.Between(-30, 30);
    return MakePoint(X, From.Y + R.Between(-30, 30));
}

}  // namespace keymora::sessiongen
