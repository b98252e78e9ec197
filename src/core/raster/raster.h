// The desktop's pixel rules for one-pixel lines and filled polygons, for canvases that place pixels
// themselves: which device pixels a line or a polygon interior covers, handed out as rectangles so
// that a host fills runs rather than single pixels. Nothing here allocates or keeps state.
#pragma once

#include <type_traits>
#include <utility>

#include "keymora/host/types.h"

namespace keymora::raster {

/// Device pixels [Left, Right) x [Top, Bottom). Wide, since logical coordinates plus a viewport
/// origin may leave the int range.
struct TBox {
    long long Left = 0;
    long long Top = 0;
    long long Right = 0;
    long long Bottom = 0;
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    friend constexpr bool operator==(const TBox&, const TBox&) = default;
};

/// Where the rasterizers put their pixels: a reference to any callable taking a const TBox&, which
/// must outlive the call it is passed to. A paint pass cannot afford a std::function per primitive.
class TBoxSink {
  public:
    template <class F, class = std::enable_if_t<!std::is_same_v<std::remove_cvref_t<F>, TBoxSink>>>
    TBoxSink(F&& Fn)
        : Context_(const_cast<void*>(static_cast<const void*>(&Fn))),
          Call_(&Invoke<std::remove_reference_t<F>>) {}
    void operator()(const TBox& B) const { Call_(Context_, B); }

  private:
    template <class F>
    static void Invoke(void* Fn, const TBox& B) {
        (*static_cast<F*>(Fn))(B);
    }

    void* Context_;
    void (*Call_)(void*, const TBox&);
};

/// Device coordinates a slanted line or a polygon may reach, as the desktop's 27 bits; a shape
/// reaching further draws nothing (which also keeps the arithmetic inside 64 bits).
inline constexpr long long CoordinateLimit = 1LL << 27;

/// Most vertices FillPolygon takes: each scan row keeps its crossings on the stack.
inline constexpr int MaxPolygonPoints = 64;

/// A one-pixel line from (X0, Y0) to (X1, Y1) in device pixels, its last point left out, handed
/// to Out as runs clipped to Clip: one box per run of pixels on the same row (or column, for a
/// steep line). The pixel of major step I sits I * Minor / Major off the start along the minor
/// axis, rounded to nearest with an exact half staying on the start's side. Horizontal and
/// vertical lines take any coordinates; slanted ones beyond CoordinateLimit draw nothing.
void Line(long long X0, long long Y0, long long X1, long long Y1, const TBox& Clip, TBoxSink Out);

/// The interior of the closed polygon Points[0, Count), every point moved by Origin, handed to
/// Out as boxes clipped to Clip. Integer point (x, y) is inside by the alternate (even-odd) rule,
/// points on left and top edges counting as inside and those on right and bottom edges not, so
/// that the fill meets its own one-pixel outline without a gap. Rows with the same spans as the
/// row above extend its boxes. False, with nothing drawn, for more than MaxPolygonPoints points.
bool FillPolygon(const TPoint* Points, int Count, TPoint Origin, const TBox& Clip, TBoxSink Out);

}  // namespace keymora::raster
