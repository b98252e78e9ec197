// The device grid of a scaled painter (see device_grid.h).
#include "bindings/qt/device_grid.h"

#include <QtGui/QPaintDevice>
#include <QtGui/QTransform>
#include <cmath>

namespace keymora::qt {

namespace {

constexpr int MaxPeriod = 16;  // longer device periods draw faces in place

}  // namespace

bool ScaledGrid(const QPainter& P, DeviceGrid& Grid) {
    const QTransform& M = P.deviceTransform();
    const qreal Ratio = M.m11();
    // (The device's own figure for its ratio may be the unrounded one.)
    if (M.type() > QTransform::TxScale || M.m22() != Ratio || !(Ratio > 0) ||
        std::abs(Ratio - P.device()->devicePixelRatio()) > 1e-4)
        return false;
    Grid.Ratio = Ratio;
    Grid.Dx = M.dx();
    Grid.Dy = M.dy();
    // The period: 4 at 1.25 and 1.75, 2 at 1.5, 1 at whole ratios. A painter scales by its
    // device's ratio in steps of 1/65536, so 1.1 becomes 1.0999908 and has none.
    Grid.Period = 0;
    for (int Q = 1; Q <= MaxPeriod && Grid.Period == 0; ++Q)
        if (Ratio * Q == std::floor(Ratio * Q)) Grid.Period = Q;
    return true;
}

bool Place(qreal Ratio, qreal Offset, int Period, long long Pos, GridPlace& At) {
    const qreal Device = Ratio * static_cast<qreal>(Pos) + Offset;
    if (!(std::abs(Device) < (1 << 27))) return false;
    for (int Phase = 0; Phase < Period; ++Phase) {
        const qreal Apart = Device - Ratio * Phase;
        if (Apart != std::floor(Apart)) continue;
        At.Phase = Phase;
        At.Shift = static_cast<int>(Apart);
        return true;
    }
    return false;
}

QRect DeviceRect(const DeviceGrid& Grid, const QRect& Logical) {
    const int L = qRound(Grid.Ratio * Logical.x() + Grid.Dx);
    const int T = qRound(Grid.Ratio * Logical.y() + Grid.Dy);
    const int R = qRound(Grid.Ratio * (Logical.x() + Logical.width()) + Grid.Dx);
    const int B = qRound(Grid.Ratio * (Logical.y() + Logical.height()) + Grid.Dy);
    return QRect(L, T, R - L, B - T);
}

void DrawDevicePixels(QPainter& P, const DeviceGrid& Grid, const QImage& Image, const QRect& Source,
                      const QPoint& DeviceTopLeft) {
    if (Source.isEmpty()) return;
    // A target of the source's size divided by the ratio: the painter scales it back, so each
    // device pixel takes the source pixel at its centre.
    const QRectF Target((DeviceTopLeft.x() - Grid.Dx) / Grid.Ratio,
                        (DeviceTopLeft.y() - Grid.Dy) / Grid.Ratio, Source.width() / Grid.Ratio,
                        Source.height() / Grid.Ratio);
    P.drawImage(Target, Image, QRectF(Source));
}

}  // namespace keymora::qt
