// Line and polygon rasterizing by the desktop's rules (see raster.h). Both walk only what lies
// inside the clip, so a shape far larger than the device costs what its visible part costs.
#include "core/raster/raster.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace keymora::raster {

namespace {

/// Hands Out the part of [L, R) x [T, B) inside Clip, if any.
void Emit(long long L, long long T, long long R, long long B, const TBox& Clip, TBoxSink Out) {
    const TBox Inside{std::max(L, Clip.Left), std::max(T, Clip.Top), std::min(R, Clip.Right),
                      std::min(B, Clip.Bottom)};
    if (!Inside.IsEmpty()) Out(Inside);
}

}  // namespace

void Line(long long X0, long long Y0, long long X1, long long Y1, const TBox& Clip, TBoxSink Out) {
    const long long Dx = X1 - X0;
    const long long Dy = Y1 - Y0;
    if (Dx == 0 && Dy == 0) return;
    if (Dy == 0) {
        if (Dx > 0)
            Emit(X0, Y0, X1, Y0 + 1, Clip, Out);
        else
            Emit(X1 + 1, Y0, X0 + 1, Y0 + 1, Clip, Out);
        return;
    }
    if (Dx == 0) {
        if (Dy > 0)
            Emit(X0, Y0, X0 + 1, Y1, Clip, Out);
        else
            Emit(X0, Y1 + 1, X0 + 1, Y0 + 1, Clip, Out);
        return;
    }
    for (const long long C : {X0, Y0, X1, Y1})
        if (C < -CoordinateLimit || C > CoordinateLimit) return;
    // Bresenham over the major axis. Only the steps inside the clip along the major axis are
    // walked; steps that share a minor offset form one run.
    const bool XMajor = std::abs(Dx) >= std::abs(Dy);
    const long long Major = XMajor ? std::abs(Dx) : std::abs(Dy);
    const long long Minor = XMajor ? std::abs(Dy) : std::abs(Dx);
    const long long SMajor = (XMajor ? Dx : Dy) > 0 ? 1 : -1;
    const long long SMinor = (XMajor ? Dy : Dx) > 0 ? 1 : -1;
    const long long Major0 = XMajor ? X0 : Y0;
    const long long Minor0 = XMajor ? Y0 : X0;
    const long long Lo = XMajor ? Clip.Left : Clip.Top;
    const long long Hi = XMajor ? Clip.Right : Clip.Bottom;
    long long First = 0;
    long long Last = Major;  // steps [First, Last); the last point is left out
    if (SMajor > 0) {
        First = std::max(First, Lo - Major0);
        Last = std::min(Last, Hi - Major0);
    } else {
        First = std::max(First, Major0 - Hi + 1);
        Last = std::min(Last, Major0 - Lo + 1);
    }
    if (First >= Last) return;
    // Rounded to nearest with halves rounding down: towards the start, whichever way it lies.
    auto OffsetAt = [&](long long I) { return (2 * I * Minor + Major - 1) / (2 * Major); };
    long long RunStart = First;
    long long RunOffset = OffsetAt(First);
    for (long long I = First + 1; I <= Last; ++I) {
        const long long Offset = I < Last ? OffsetAt(I) : -1;
        if (Offset == RunOffset) continue;
        const long long A = Major0 + SMajor * RunStart;
        const long long B = Major0 + SMajor * (I - 1);
        const long long RunLo = std::min(A, B);
        const long long RunHi = std::max(A, B) + 1;
        const long long M = Minor0 + SMinor * RunOffset;
        if (XMajor)
            Emit(RunLo, M, RunHi, M + 1, Clip, Out);
        else
            Emit(M, RunLo, M + 1, RunHi, Clip, Out);
        RunStart = I;
        RunOffset = Offset;
    }
}

bool FillPolygon(const TPoint* Points, int Count, TPoint Origin, const TBox& Clip, TBoxSink Out) {
    if (Count > MaxPolygonPoints) return false;
    if (Count < 1) return true;
    int Top = Points[0].Y;
    int Bottom = Points[0].Y;
    for (int I = 0; I < Count; ++I) {
        const long long X = static_cast<long long>(Points[I].X) + Origin.X;
        const long long Y = static_cast<long long>(Points[I].Y) + Origin.Y;
        if (X < -CoordinateLimit || X > CoordinateLimit || Y < -CoordinateLimit ||
            Y > CoordinateLimit)
            return true;
        Top = std::min(Top, Points[I].Y);
        Bottom = std::max(Bottom, Points[I].Y);
    }
    // Rows are scanned in the polygon's own coordinates, and only those inside the clip.
    const long long ClipTop = std::max<long long>(Top, Clip.Top - Origin.Y);
    const long long ClipBottom = std::min<long long>(Bottom, Clip.Bottom - Origin.Y);
    if (ClipTop >= ClipBottom) return true;
    Top = static_cast<int>(ClipTop);
    Bottom = static_cast<int>(ClipBottom);
    std::array<int, MaxPolygonPoints> Prev{};
    std::array<int, MaxPolygonPoints> Cur{};
    int PrevCount = 0;
    int PrevRow = Top;
    auto Flush = [&](int Row) {
        for (int K = 0; K + 1 < PrevCount; K += 2)
            Emit(static_cast<long long>(Prev[static_cast<std::size_t>(K)]) + Origin.X,
                 static_cast<long long>(PrevRow) + Origin.Y,
                 static_cast<long long>(Prev[static_cast<std::size_t>(K + 1)]) + Origin.X,
                 static_cast<long long>(Row) + Origin.Y, Clip, Out);
    };
    for (int Y = Top; Y < Bottom; ++Y) {
        int N = 0;
        // Rows up to the next vertex cross the same edges; when all of them are upright, those
        // rows repeat this one and are skipped.
        bool Upright = true;
        int NextVertex = Bottom;
        for (int I = 0; I < Count; ++I) {
            const TPoint& A = Points[I];
            const TPoint& B = Points[(I + 1) % Count];
            if (A.Y > Y) NextVertex = std::min(NextVertex, A.Y);
            if (A.Y == B.Y || Y < std::min(A.Y, B.Y) || Y >= std::max(A.Y, B.Y)) continue;
            Upright = Upright && A.X == B.X;
            // The edge's x on row Y is Num / Den; the first point at or right of it is the ceiling.
            long long Num = static_cast<long long>(A.X) * (static_cast<long long>(B.Y) - A.Y) +
                            (static_cast<long long>(Y) - A.Y) * (static_cast<long long>(B.X) - A.X);
            long long Den = static_cast<long long>(B.Y) - A.Y;
            if (Den < 0) {
                Num = -Num;
                Den = -Den;
            }
            const int Px = static_cast<int>(Num >= 0 ? (Num + Den - 1) / Den : -((-Num) / Den));
            int J = N++;
            while (J > 0 && Cur[static_cast<std::size_t>(J - 1)] > Px) {
                Cur[static_cast<std::size_t>(J)] = Cur[static_cast<std::size_t>(J - 1)];
                --J;
            }
            Cur[static_cast<std::size_t>(J)] = Px;
        }
        const int Repeat = Upright ? NextVertex - 1 : Y;
        if (N == PrevCount && std::equal(Cur.begin(), Cur.begin() + N, Prev.begin())) {
            Y = Repeat;
            continue;
        }
        Flush(Y);
        std::copy(Cur.begin(), Cur.begin() + N, Prev.begin());
        PrevCount = N;
        PrevRow = Y;
        Y = Repeat;
    }
    Flush(Bottom);
    return true;
}

}  // namespace keymora::raster
