// Where a painter on a scaled device puts logical pixels: its grid, the rounding of logical
// rectangles to device pixels, and the one-to-one copy of device pixels from an image. Kept faces
// and scratch text use these to land on exactly the device pixels a drawing in place would.
#pragma once

#include <QtCore/QPoint>
#include <QtCore/QRect>
#include <QtGui/QImage>
#include <QtGui/QPainter>

namespace keymora::qt {

/// Where the painter puts logical pixels on a scaled device: x goes to Ratio * x + Dx.
/// Period is the smallest logical step whose device length is a whole number of pixels, so
/// that a drawing moved by a multiple of it lands on the same device pixels, shifted.
struct DeviceGrid {
    qreal Ratio = 1;
    qreal Dx = 0;
    qreal Dy = 0;
    int Period = 1;
};

/// A logical position Pos on the device grid: Phase in [0, Period) is the position whose
/// device edge has the same fraction as that of Pos, Shift the whole device pixels between
/// the two.
struct GridPlace {
    int Phase = 0;
    int Shift = 0;
};

/// The grid of P on a device scaled by its pixel ratio, Period 0 when the ratio has none up to
/// a short limit; false when P is transformed otherwise.
bool ScaledGrid(const QPainter& P, DeviceGrid& Grid);

/// Places logical position Pos (with device offset Offset) on a grid of Ratio and Period.
bool Place(qreal Ratio, qreal Offset, int Period, long long Pos, GridPlace& At);

/// The device pixels that a logical rectangle covers, its edges rounded as a painter's fills and
/// clips round them.
QRect DeviceRect(const DeviceGrid& Grid, const QRect& Logical);

/// Copies Source of Image one to one onto the device pixels of P at DeviceTopLeft.
void DrawDevicePixels(QPainter& P, const DeviceGrid& Grid, const QImage& Image, const QRect& Source,
                      const QPoint& DeviceTopLeft);

}  // namespace keymora::qt
