// QtCanvas: the host canvas drawn with a QPainter on any QPaintDevice, pixel for pixel as desktop
// GDI draws (half-open fills, lines without their last point, aliased one-pixel pen, text placed
// by the top-left of its cell), with button faces from a QStyle or in the classic look.
#pragma once

#include <QtGui/QColor>
#include <QtGui/QFont>
#include <QtGui/QGlyphRun>
#include <QtGui/QPainter>
#include <QtGui/QPalette>
#include <QtGui/QPen>
#include <cmath>
#include <vector>

#include "bindings/qt/face_cache.h"
#include "bindings/qt/glyph_cache.h"
#include "bindings/qt/scratch_text.h"
#include "core/util/lru_cache.h"
#include "keymora/host/canvas.h"

class QPaintDevice;
class QStyle;

namespace keymora::qt {

/// Converts a host colour ($00BBGGRR) to a QColor; the top byte is ignored.
inline QColor ToQColor(TColor C) {
    return QColor(GetRValue(C), GetGValue(C), GetBValue(C));
}

/// The client pixel that a point at logical coordinate Pos falls in, as painted on a device of
/// pixel ratio Ratio. A painter scaled by Ratio puts logical edge X on device edge
/// qRound(X * Ratio), so the device pixel that holds Pos shows the logical pixel returned here;
/// input mapped through this hits what is drawn under the pointer at every ratio.
inline int LogicalPixel(qreal Pos, qreal Ratio) {
    if (!(Ratio > 0)) Ratio = 1;
    const qreal Device = std::floor(Pos * Ratio + 1e-9);
    return static_cast<int>(std::ceil((Device + 0.5) / Ratio)) - 1;
}

/// A TCanvas on a QPainter. Lines and polygon fills follow the desktop's pixel rules
/// (core/raster) rather than Qt's, so that every pixel lands where GDI puts it; runs of pixels
/// become rectangle fills. Fonts, glyph tables, text pens and themed faces are kept, so a
/// canvas that has drawn a pass once draws the next one without allocating, on a scaled device
/// as well.
class QtCanvas : public TCanvas {
  public:
    /// An idle canvas; Begin binds it to a device.
    QtCanvas();
    /// Begins at once on Device.
    explicit QtCanvas(QPaintDevice* Device);
    ~QtCanvas() override;
    QtCanvas(const QtCanvas&) = delete;
    QtCanvas& operator=(const QtCanvas&) = delete;

    /// Starts painting on Device: origin (0, 0), clip the device rectangle. Ends any earlier
    /// painting first. False when the device cannot be painted on.
    bool Begin(QPaintDevice* Device);
    /// As Begin, with the clip narrowed to Bounds (device coordinates): a widget passes the
    /// rectangle of its paint event, Qt clips to the event's region in any case.
    bool Begin(QPaintDevice* Device, const TRect& Bounds);
    /// Starts another pass on the device Begin bound, with the clip the device rectangle narrowed
    /// to Bounds: Begin without QPainter::begin, whose engine set-up allocates. A device painted
    /// again and again (the Qt Quick item's kept picture) stays begun between passes. False
    /// when the canvas is not active.
    bool Restart(const TRect& Bounds);
    /// Ends painting; clip, origin and saved states are dropped, caches are kept.
    void End();
    bool IsActive() const { return Painter_.isActive(); }
    /// The painter in use, for drawing beside the canvas.
    QPainter& Painter() { return Painter_; }

    /// Themed faces come from Style (not owned; keep it alive while set) in the colours of
    /// Palette (a widget's own palette; the application's by default); null selects the
    /// classic faces for DrawElement. The kept faces are dropped when either changes.
    void SetStyle(QStyle* Style, const QPalette& Palette = QPalette());
    QStyle* Style() const { return Faces_.Style(); }
    /// Drops the themed faces drawn so far, so that the next ones follow a changed palette.
    void ResetFaces();

    void FillRect(const TRect& R) override;
    void Polygon(const TPoint* Points, int Count) override;
    void Polyline(const TPoint* Points, int Count) override;
    void MoveTo(int X, int Y) override;
    void LineTo(int X, int Y) override;
    void TextOut(int X, int Y, std::string_view Text) override;
    int TextWidth(std::string_view Text) override;
    int TextHeight(std::string_view Text) override;
    void IntersectClipRect(const TRect& R) override;
    void SetViewportOrg(int X, int Y) override;
    TRect ClipRect() const override;
    TRect ClipBox() const override { return ClipRect(); }
    void SaveDC() override;
    void RestoreDC() override;
    void DrawElement(TThemedElement Element, const TRect& R) override;
    void DrawFrameControl(const TRect& R, unsigned Type, unsigned State) override;

    using TCanvas::Polygon;
    using TCanvas::Polyline;

    /// The Qt font the canvas font resolves to (for measuring beside the canvas).
    const QFont& CurrentQFont();
    /// Pixel size of a font of Points points at 96 dots per inch, rounded as the host does.
    static int PixelSizeForPoints(int Points) { return qt::PixelSizeForPoints(Points); }

  private:
    struct PenEntry {
        TColor Color = 0;
        QPen Pen;
    };
    struct SavedState {
        TPoint Origin;
        TRect Clip;
    };

    static constexpr int PenSlots = 8;

    const QPen& TextPen(TColor Color);
    /// Fills device pixels [L, R) x [T, B) after the canvas's own clip test.
    void FillDevice(long long L, long long T, long long R, long long B, const QColor& Color);
    /// One segment in logical coordinates, its last point left out.
    void Segment(int X0, int Y0, int X1, int Y1, const QColor& Color);
    /// Gives Qt the clip when DeviceBounds reaches outside it; true when it did so.
    bool ClipPainterFor(const TRect& DeviceBounds);

    QPainter Painter_;
    TPoint Origin_;
    TPoint PenPos_;
    TRect DeviceRect_;
    TRect Clip_;  // device coordinates
    std::vector<SavedState> Saved_;
    GlyphCache Glyphs_;
    TLruCache<PenEntry, PenSlots> Pens_;
    FaceCache Faces_;
    QGlyphRun Run_;
    // Text across the clip's edge is drawn here first (see TextOut).
    ScratchText Scratch_;
};

}  // namespace keymora::qt
