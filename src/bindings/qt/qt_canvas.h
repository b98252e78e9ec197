// QtCanvas: the host canvas drawn with a QPainter on any QPaintDevice, pixel for pixel as desktop
// GDI draws (half-open fills, lines without their last point, aliased one-pixel pen, text placed
// by the top-left of its cell), with button faces from a QStyle or in the classic look.
#pragma once

#include <QtGui/QColor>
#include <QtGui/QFont>
#include <QtGui/QGlyphRun>
#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtGui/QPalette>
#include <QtGui/QPen>
#include <QtGui/QRawFont>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

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
/// become rectangle fills. Fonts,
/// glyph tables, text pens and themed faces are cached, so a canvas that has drawn a pass once
/// draws the next one without allocating, on a scaled device as well.
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
    /// Ends painting; clip, origin and saved states are dropped, caches are kept.
    void End();
    bool IsActive() const { return Painter_.isActive(); }
    /// The painter in use, for drawing beside the canvas.
    QPainter& Painter() { return Painter_; }

    /// Themed faces come from Style (not owned; keep it alive while set) in the colours of
    /// Palette (a widget's own palette; the application's by default); null selects the
    /// classic faces for DrawElement. The kept faces are dropped when either changes.
    void SetStyle(QStyle* Style, const QPalette& Palette = QPalette());
    QStyle* Style() const { return Style_; }
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
    static int PixelSizeForPoints(int Points);

  private:
    struct FontEntry {
        bool Valid = false;
        std::string Name;
        int Size = 0;
        std::uint8_t StyleBits = 0;
        unsigned LastUse = 0;
        QFont Font;
        QRawFont Raw;
        int Ascent = 0;
        int Height = 0;
        // Ink box of every glyph, relative to its pen position on the baseline (negative is
        // left and up).
        std::array<std::int16_t, 256> InkLeft{};
        std::array<std::int16_t, 256> InkRight{};
        std::array<std::int16_t, 256> InkTop{};
        std::array<std::int16_t, 256> InkBottom{};
        // Glyph index and advance for every byte value, text being single-byte Latin-1.
        std::array<quint32, 256> Glyph{};
        std::array<int, 256> Advance{};
    };
    struct FaceEntry {
        bool Valid = false;
        TThemedElement Element = TThemedElement::tbPushButtonNormal;
        int Width = 0;
        int Height = 0;
        qreal Ratio = 1;
        int PhaseX = 0;
        int PhaseY = 0;
        unsigned LastUse = 0;
        QImage Image;
    };
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
    struct PenEntry {
        bool Valid = false;
        TColor Color = 0;
        unsigned LastUse = 0;
        QPen Pen;
    };
    struct SavedState {
        TPoint Origin;
        TRect Clip;
    };

    static constexpr int FontSlots = 4;
    static constexpr int FaceSlots = 24;
    static constexpr int PenSlots = 8;

    FontEntry& Font_();
    const QPen& TextPen(TColor Color);
    /// The face of Element over a logical Width x Height, drawn at Ratio with its top-left
    /// corner at logical (PhaseX, PhaseY) of an image whose pixels are the device's.
    const QImage& Face(TThemedElement Element, int Width, int Height, qreal Ratio = 1,
                       int PhaseX = 0, int PhaseY = 0);
    void RenderFace(TThemedElement Element, QPainter& P, const QRect& Whole) const;
    /// Fills device pixels [L, R) x [T, B) after the canvas's own clip test.
    void FillDevice(long long L, long long T, long long R, long long B, const QColor& Color);
    /// One segment in logical coordinates, its last point left out.
    void Segment(int X0, int Y0, int X1, int Y1, const QColor& Color);
    /// Gives Qt the clip when DeviceBounds reaches outside it; true when it did so.
    bool ClipPainterFor(const TRect& DeviceBounds);
    /// The glyph run of Text with its cell's top-left corner at (X, Y) of P.
    void DrawRun(QPainter& P, const FontEntry& F, int X, int Y, std::string_view Text);
    /// The scratch image cleared to transparent over pixels [0, Width) x [0, Height), its
    /// painter active; false when it cannot be painted on.
    bool Scratch(int Width, int Height);
    /// The painter's grid on a device scaled by its pixel ratio, Period 0 when the ratio has
    /// none up to MaxPeriod logical pixels; false when the painter is transformed otherwise.
    bool ScaledGrid(DeviceGrid& Grid) const;
    /// Places logical position Pos (with device offset Offset) on a grid of Ratio and Period.
    static bool Place(qreal Ratio, qreal Offset, int Period, long long Pos, GridPlace& At);
    /// The device pixels that a logical rectangle covers, its edges rounded as a painter's
    /// fills and clips round them.
    static QRect DeviceRect(const DeviceGrid& Grid, const QRect& Logical);
    /// Copies Source of Image one to one onto the device pixels at DeviceTopLeft.
    void DrawDevicePixels(const DeviceGrid& Grid, const QImage& Image, const QRect& Source,
                          const QPoint& DeviceTopLeft);

    QPainter Painter_;
    QStyle* Style_ = nullptr;
    QPalette Palette_;
    TPoint Origin_;
    TPoint PenPos_;
    TRect DeviceRect_;
    TRect Clip_;  // device coordinates
    std::vector<SavedState> Saved_;
    unsigned Clock_ = 0;
    std::array<FontEntry, FontSlots> Fonts_;
    int CurrentFont_ = -1;
    std::array<FaceEntry, FaceSlots> Faces_;
    std::array<PenEntry, PenSlots> Pens_;
    QGlyphRun Run_;
    // Text across the clip's edge is drawn here first (see TextOut).
    QImage ScratchImage_;
    QPainter ScratchPainter_;
};

}  // namespace keymora::qt
