// QtCanvas: GDI pixel rules on a QPainter. Qt's own line and polygon rasterizers place edge
// pixels differently from GDI, so lines and polygon interiors come from the core's rasterizer and
// reach Qt as rectangle fills; text goes out as glyph runs from kept glyph tables and button faces
// as kept images, so that a warm canvas never allocates. The clip and the origin are kept here.
#include "bindings/qt/qt_canvas.h"

#include <QtGui/QPaintDevice>
#include <QtGui/QPixmap>
#include <QtGui/QPolygon>
#include <algorithm>
#include <cmath>

#include "core/host/faces.h"
#include "core/raster/raster.h"

namespace keymora::qt {

namespace {

TRect Intersect(const TRect& A, const TRect& B) {
    return {std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right),
            std::min(A.Bottom, B.Bottom)};
}

/// Fills a box the rasterizer has already clipped to the canvas's clip, so inside the int range.
void FillBox(QPainter& P, const raster::TBox& B, const QColor& Color) {
    P.fillRect(QRect(static_cast<int>(B.Left), static_cast<int>(B.Top),
                     static_cast<int>(B.Right - B.Left), static_cast<int>(B.Bottom - B.Top)),
               Color);
}

raster::TBox Box(const TRect& R) {
    return {R.Left, R.Top, R.Right, R.Bottom};
}

}  // namespace

QtCanvas::QtCanvas() {
    Saved_.reserve(16);
}

QtCanvas::QtCanvas(QPaintDevice* Device) : QtCanvas() {
    Begin(Device);
}

QtCanvas::~QtCanvas() {
    End();
}

bool QtCanvas::Begin(QPaintDevice* Device) {
    End();
    if (!Device || !Painter_.begin(Device)) return false;
    Painter_.setRenderHint(QPainter::Antialiasing, false);
    Painter_.setRenderHint(QPainter::TextAntialiasing, false);
    Painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
    Painter_.setBrush(Qt::NoBrush);
    // Images and pixmaps measure themselves in device pixels, widgets in the logical units the
    // painter is scaled to; the canvas works in logical units.
    QSizeF Size(Device->width(), Device->height());
    if (Device->devType() == QInternal::Image)
        Size = static_cast<QImage*>(Device)->deviceIndependentSize();
    else if (Device->devType() == QInternal::Pixmap)
        Size = static_cast<QPixmap*>(Device)->deviceIndependentSize();
    DeviceRect_ = {0, 0, static_cast<int>(std::ceil(Size.width())),
                   static_cast<int>(std::ceil(Size.height()))};
    Clip_ = DeviceRect_;
    Origin_ = {};
    PenPos_ = {};
    Saved_.clear();
    return true;
}

bool QtCanvas::Begin(QPaintDevice* Device, const TRect& Bounds) {
    if (!Begin(Device)) return false;
    Clip_ = Intersect(Clip_, Bounds);
    return true;
}

bool QtCanvas::Restart(const TRect& Bounds) {
    if (!Painter_.isActive()) return false;
    Clip_ = Intersect(DeviceRect_, Bounds);
    Origin_ = {};
    PenPos_ = {};
    Saved_.clear();
    return true;
}

void QtCanvas::End() {
    if (Painter_.isActive()) Painter_.end();
    Saved_.clear();
    Origin_ = {};
}

void QtCanvas::SetStyle(QStyle* AStyle, const QPalette& Palette) {
    Faces_.SetStyle(AStyle, Palette);
}

void QtCanvas::ResetFaces() {
    Faces_.Reset();
}

// ---- Clip and origin ----

// The clip is a rectangle kept here and applied by every primitive itself: the raster engine
// allocates a new clip object on each QPainter::setClipRect, which a paint pass must not pay
// for. Qt gets a clip only while it draws something that may cross the rectangle's edge.

bool QtCanvas::ClipPainterFor(const TRect& DeviceBounds) {
    const TRect Inside = Intersect(DeviceBounds, Clip_);
    if (Inside == DeviceBounds) return false;
    Painter_.setClipRect(QRect(Clip_.Left, Clip_.Top, Clip_.Width(), Clip_.Height()),
                         Qt::ReplaceClip);
    return true;
}

void QtCanvas::IntersectClipRect(const TRect& R) {
    TRect Device = R;
    OffsetRect(Device, Origin_.X, Origin_.Y);
    Clip_ = Intersect(Clip_, Device);
}

void QtCanvas::SetViewportOrg(int X, int Y) {
    Origin_ = {X, Y};
}

TRect QtCanvas::ClipRect() const {
    if (Clip_.IsEmpty()) return {};
    TRect R = Clip_;
    OffsetRect(R, -Origin_.X, -Origin_.Y);
    return R;
}

void QtCanvas::SaveDC() {
    Saved_.push_back({Origin_, Clip_});
}

void QtCanvas::RestoreDC() {
    if (Saved_.empty()) return;
    Origin_ = Saved_.back().Origin;
    Clip_ = Saved_.back().Clip;
    Saved_.pop_back();
}

// ---- Fills and lines ----

void QtCanvas::FillDevice(long long L, long long T, long long R, long long B, const QColor& Color) {
    // Wide arithmetic: logical coordinates plus the origin may leave the int range.
    L = std::max<long long>(L, Clip_.Left);
    T = std::max<long long>(T, Clip_.Top);
    R = std::min<long long>(R, Clip_.Right);
    B = std::min<long long>(B, Clip_.Bottom);
    if (R <= L || B <= T || !Painter_.isActive()) return;
    Painter_.fillRect(QRect(static_cast<int>(L), static_cast<int>(T), static_cast<int>(R - L),
                            static_cast<int>(B - T)),
                      Color);
}

void QtCanvas::FillRect(const TRect& R) {
    // A hollow brush paints nothing, as GDI's FillRect with a null brush.
    if (Brush.Style == bsClear) return;
    FillDevice(static_cast<long long>(R.Left) + Origin_.X,
               static_cast<long long>(R.Top) + Origin_.Y,
               static_cast<long long>(R.Right) + Origin_.X,
               static_cast<long long>(R.Bottom) + Origin_.Y, ToQColor(Brush.Color));
}

void QtCanvas::Segment(int LX0, int LY0, int LX1, int LY1, const QColor& Color) {
    if (!Painter_.isActive()) return;
    auto Fill = [&](const raster::TBox& B) { FillBox(Painter_, B, Color); };
    raster::Line(static_cast<long long>(LX0) + Origin_.X, static_cast<long long>(LY0) + Origin_.Y,
                 static_cast<long long>(LX1) + Origin_.X, static_cast<long long>(LY1) + Origin_.Y,
                 Box(Clip_), Fill);
}

void QtCanvas::MoveTo(int X, int Y) {
    PenPos_ = {X, Y};
}

void QtCanvas::LineTo(int X, int Y) {
    Segment(PenPos_.X, PenPos_.Y, X, Y, ToQColor(Pen.Color));
    PenPos_ = {X, Y};
}

void QtCanvas::Polyline(const TPoint* Points, int Count) {
    const QColor Color = ToQColor(Pen.Color);
    for (int I = 1; I < Count; ++I)
        Segment(Points[I - 1].X, Points[I - 1].Y, Points[I].X, Points[I].Y, Color);
}

void QtCanvas::Polygon(const TPoint* Points, int Count) {
    if (Count < 2) return;
    if (Brush.Style == bsSolid) {
        if (Count <= raster::MaxPolygonPoints) {
            if (Painter_.isActive()) {
                const QColor Color = ToQColor(Brush.Color);
                auto Fill = [&](const raster::TBox& B) { FillBox(Painter_, B, Color); };
                raster::FillPolygon(Points, Count, Origin_, Box(Clip_), Fill);
            }
        } else if (Painter_.isActive() && !Clip_.IsEmpty()) {
            // Larger shapes than the control draws: Qt's own fill, which samples pixel centres;
            // half a pixel of shift makes those the integer points the rasterizer samples.
            Painter_.save();
            Painter_.setClipRect(QRect(Clip_.Left, Clip_.Top, Clip_.Width(), Clip_.Height()));
            Painter_.setPen(Qt::NoPen);
            Painter_.setBrush(ToQColor(Brush.Color));
            Painter_.translate(Origin_.X + 0.5, Origin_.Y + 0.5);
            QPolygon Shape(Count);
            for (int I = 0; I < Count; ++I) Shape.setPoint(I, Points[I].X, Points[I].Y);
            Painter_.drawPolygon(Shape, Qt::OddEvenFill);
            Painter_.restore();
        }
    }
    // The outline is a closed polyline: every vertex is drawn, the closing segment ending on the
    // first point, which its first segment already drew.
    const QColor Color = ToQColor(Pen.Color);
    for (int I = 0; I < Count; ++I) {
        const TPoint& A = Points[I];
        const TPoint& B = Points[(I + 1) % Count];
        Segment(A.X, A.Y, B.X, B.Y, Color);
    }
}

// ---- Text ----

const QFont& QtCanvas::CurrentQFont() {
    return Glyphs_.For(Font).Font;
}

const QPen& QtCanvas::TextPen(TColor Color) {
    return Pens_
        .Get([&](const PenEntry& E) { return E.Color == Color; },
             [&](PenEntry& E) {
                 E.Color = Color;
                 E.Pen = QPen(ToQColor(Color), 0);
             })
        .Pen;
}

int QtCanvas::TextWidth(std::string_view Text) {
    return Glyphs_.For(Font).Width(Text);
}

int QtCanvas::TextHeight(std::string_view) {
    return Glyphs_.For(Font).Height;
}

void QtCanvas::TextOut(int X, int Y, std::string_view Text) {
    if (Text.empty() || !Painter_.isActive()) return;
    // A cell starting beyond 27 bits lies off every device.
    constexpr long long Limit = raster::CoordinateLimit;
    const long long DX = static_cast<long long>(X) + Origin_.X;
    const long long DY = static_cast<long long>(Y) + Origin_.Y;
    if (DX < -Limit || DX > Limit || DY < -Limit || DY > Limit) return;
    const GlyphTable& F = Glyphs_.For(Font);
    X = static_cast<int>(DX);
    Y = static_cast<int>(DY);
    if (Brush.Style == bsSolid)
        FillDevice(X, Y, X + F.Width(Text), Y + F.Height, ToQColor(Brush.Color));
    if (Clip_.IsEmpty() || !F.Raw.isValid()) return;
    // Text wholly outside the clip is skipped; text across its edge goes through the scratch
    // image, or failing that is the one case drawn with a Qt clip.
    const TRect Ink = F.InkBox(X, Y, Text);
    const TRect Visible = Intersect(Ink, Clip_);
    if (Visible.IsEmpty()) return;
    const QPen& TextColour = TextPen(Font.Color);
    Run_.setRawFont(F.Raw);
    Run_.setUnderline(Font.Style.Contains(fsUnderline));
    Run_.setStrikeOut(Font.Style.Contains(fsStrikeOut));
    if (Visible == Ink) {
        if (Painter_.pen() != TextColour) Painter_.setPen(TextColour);
        F.Draw(Painter_, Run_, X, Y, Text);
        return;
    }
    if (Scratch_.Draw(Painter_, Run_, F, TextColour, X, Y, Text, Ink, Visible)) return;
    const bool Clipped = ClipPainterFor(Ink);
    if (Painter_.pen() != TextColour) Painter_.setPen(TextColour);
    F.Draw(Painter_, Run_, X, Y, Text);
    if (Clipped) Painter_.setClipping(false);
}

// ---- Button faces ----

void QtCanvas::DrawElement(TThemedElement Element, const TRect& R) {
    if (!Faces_.Style()) {
        DrawClassicElement(*this, Element, R);
        return;
    }
    if (R.IsEmpty() || !Painter_.isActive()) return;
    const long long L = static_cast<long long>(R.Left) + Origin_.X;
    const long long T = static_cast<long long>(R.Top) + Origin_.Y;
    const long long W = static_cast<long long>(R.Right) - R.Left;
    const long long H = static_cast<long long>(R.Bottom) - R.Top;
    const long long VisibleL = std::max<long long>(L, Clip_.Left);
    const long long VisibleT = std::max<long long>(T, Clip_.Top);
    const long long VisibleR = std::min<long long>(L + W, Clip_.Right);
    const long long VisibleB = std::min<long long>(T + H, Clip_.Bottom);
    if (VisibleR <= VisibleL || VisibleB <= VisibleT) return;
    const QRect Visible(static_cast<int>(VisibleL), static_cast<int>(VisibleT),
                        static_cast<int>(VisibleR - VisibleL),
                        static_cast<int>(VisibleB - VisibleT));
    Faces_.Draw(Painter_, Element, L, T, W, H, Visible);
}

void QtCanvas::DrawFrameControl(const TRect& R, unsigned Type, unsigned State) {
    DrawClassicFrameControl(*this, R, Type, State);
}

}  // namespace keymora::qt
