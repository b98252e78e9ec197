// QtCanvas: GDI pixel rules on a QPainter. Qt's own line and polygon rasterizers place edge
// pixels differently from GDI, so lines and polygon interiors come from the core's rasterizer and
// reach Qt as rectangle fills; text goes out as glyph runs from per-font tables so that a warm
// canvas never allocates.
#include "bindings/qt/qt_canvas.h"

#include <QtGui/QFontInfo>
#include <QtGui/QFontMetrics>
#include <QtGui/QPaintDevice>
#include <QtGui/QPixmap>
#include <QtGui/QPolygon>
#include <QtWidgets/QStyle>
#include <QtWidgets/QStyleOption>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "core/host/faces.h"
#include "core/raster/raster.h"

namespace keymora::qt {

namespace {

constexpr int TextChunk = 128;       // glyphs sent to Qt per glyph run
constexpr int MaxCachedFace = 1024;  // faces up to this size are kept as images
constexpr int MaxScratch = 512;      // text ink boxes up to this size go through the scratch image
constexpr int MaxPeriod = 16;        // longer device periods draw faces in place

TRect Intersect(const TRect& A, const TRect& B) {
    return {std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right),
            std::min(A.Bottom, B.Bottom)};
}

bool IsPressedElement(TThemedElement E) {
    switch (E) {
        case TThemedElement::tbPushButtonPressed:
        case TThemedElement::tsArrowBtnUpPressed:
        case TThemedElement::tsArrowBtnDownPressed:
        case TThemedElement::tsArrowBtnLeftPressed:
        case TThemedElement::tsArrowBtnRightPressed:
            return true;
        default:
            return false;
    }
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
    if (ScratchPainter_.isActive()) ScratchPainter_.end();
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

void QtCanvas::End() {
    if (Painter_.isActive()) Painter_.end();
    Saved_.clear();
    Origin_ = {};
}

void QtCanvas::SetStyle(QStyle* AStyle, const QPalette& Palette) {
    if (AStyle == Style_ && Palette.cacheKey() == Palette_.cacheKey()) return;
    Style_ = AStyle;
    Palette_ = Palette;
    ResetFaces();
}

void QtCanvas::ResetFaces() {
    for (FaceEntry& F : Faces_) F = FaceEntry{};
}

int QtCanvas::PixelSizeForPoints(int Points) {
    // MulDiv(Points, 96, 72): rounded to nearest, halves away from zero.
    const int Magnitude = (std::abs(Points) * 96 + 36) / 72;
    return std::max(1, Magnitude);
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

QtCanvas::FontEntry& QtCanvas::Font_() {
    const std::uint8_t Bits = Font.Style.Bits();
    auto Matches = [&](const FontEntry& E) {
        return E.Valid && E.Size == Font.Size && E.StyleBits == Bits && E.Name == Font.Name;
    };
    ++Clock_;
    if (CurrentFont_ >= 0 && Matches(Fonts_[static_cast<std::size_t>(CurrentFont_)])) {
        FontEntry& E = Fonts_[static_cast<std::size_t>(CurrentFont_)];
        E.LastUse = Clock_;
        return E;
    }
    int Slot = 0;
    for (int I = 0; I < FontSlots; ++I) {
        const FontEntry& E = Fonts_[static_cast<std::size_t>(I)];
        if (Matches(E)) {
            CurrentFont_ = I;
            Fonts_[static_cast<std::size_t>(I)].LastUse = Clock_;
            return Fonts_[static_cast<std::size_t>(I)];
        }
        const FontEntry& Oldest = Fonts_[static_cast<std::size_t>(Slot)];
        if (!E.Valid || (Oldest.Valid && E.LastUse < Oldest.LastUse)) Slot = I;
    }

    // Build: "Arial" and other family names go through fontconfig as they stand, so metric
    // aliases (Arial -> Liberation Sans) apply. Glyphs are bitmaps (no antialiasing), hinted
    // fully and not kerned, as the host's text is.
    FontEntry& E = Fonts_[static_cast<std::size_t>(Slot)];
    E = FontEntry{};
    E.Valid = true;
    E.Name = Font.Name;
    E.Size = Font.Size;
    E.StyleBits = Bits;
    E.LastUse = Clock_;
    QFont Q;
    if (!Font.Name.empty()) Q.setFamily(QString::fromStdString(Font.Name));
    Q.setPixelSize(PixelSizeForPoints(Font.Size));
    Q.setBold(Font.Style.Contains(fsBold));
    Q.setItalic(Font.Style.Contains(fsItalic));
    Q.setUnderline(Font.Style.Contains(fsUnderline));
    Q.setStrikeOut(Font.Style.Contains(fsStrikeOut));
    Q.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
    Q.setHintingPreference(QFont::PreferFullHinting);
    Q.setKerning(false);
    E.Font = Q;
    E.Raw = QRawFont::fromFont(Q);
    const QFontMetrics Metrics(Q);
    E.Ascent = Metrics.ascent();
    E.Height = Metrics.ascent() + Metrics.descent();
    std::array<QChar, 256> Chars;
    for (int I = 0; I < 256; ++I)
        Chars[static_cast<std::size_t>(I)] = QChar(static_cast<char16_t>(I));
    std::array<QPointF, 256> Advances;
    int N = 256;
    if (E.Raw.isValid() && E.Raw.glyphIndexesForChars(Chars.data(), 256, E.Glyph.data(), &N)) {
        E.Raw.advancesForGlyphIndexes(E.Glyph.data(), Advances.data(), 256,
                                      QRawFont::SeparateAdvances);
        for (std::size_t I = 0; I < 256; ++I) {
            E.Advance[I] = qRound(Advances[I].x());
            const QRectF Box = E.Raw.boundingRect(E.Glyph[I]);
            E.InkLeft[I] = static_cast<std::int16_t>(std::floor(Box.left()));
            E.InkRight[I] = static_cast<std::int16_t>(std::ceil(Box.right()));
            E.InkTop[I] = static_cast<std::int16_t>(std::floor(Box.top()));
            E.InkBottom[I] = static_cast<std::int16_t>(std::ceil(Box.bottom()));
        }
    } else {
        for (std::size_t I = 0; I < 256; ++I) E.Advance[I] = Metrics.horizontalAdvance(Chars[I]);
    }
    CurrentFont_ = Slot;
    return E;
}

const QFont& QtCanvas::CurrentQFont() {
    return Font_().Font;
}

const QPen& QtCanvas::TextPen(TColor Color) {
    ++Clock_;
    int Slot = 0;
    for (int I = 0; I < PenSlots; ++I) {
        PenEntry& E = Pens_[static_cast<std::size_t>(I)];
        if (E.Valid && E.Color == Color) {
            E.LastUse = Clock_;
            return E.Pen;
        }
        const PenEntry& Oldest = Pens_[static_cast<std::size_t>(Slot)];
        if (!E.Valid || (Oldest.Valid && E.LastUse < Oldest.LastUse)) Slot = I;
    }
    PenEntry& E = Pens_[static_cast<std::size_t>(Slot)];
    E.Valid = true;
    E.Color = Color;
    E.LastUse = Clock_;
    E.Pen = QPen(ToQColor(Color), 0);
    return E.Pen;
}

int QtCanvas::TextWidth(std::string_view Text) {
    const FontEntry& F = Font_();
    int W = 0;
    for (char C : Text) W += F.Advance[static_cast<unsigned char>(C)];
    return W;
}

int QtCanvas::TextHeight(std::string_view) {
    return Font_().Height;
}

void QtCanvas::TextOut(int X, int Y, std::string_view Text) {
    if (Text.empty() || !Painter_.isActive()) return;
    // A cell starting beyond 27 bits lies off every device.
    constexpr long long Limit = 1LL << 27;
    const long long DX = static_cast<long long>(X) + Origin_.X;
    const long long DY = static_cast<long long>(Y) + Origin_.Y;
    if (DX < -Limit || DX > Limit || DY < -Limit || DY > Limit) return;
    const FontEntry& F = Font_();
    X = static_cast<int>(DX);
    Y = static_cast<int>(DY);
    if (Brush.Style == bsSolid) {
        int W = 0;
        for (char C : Text) W += F.Advance[static_cast<unsigned char>(C)];
        FillDevice(X, Y, X + W, Y + F.Height, ToQColor(Brush.Color));
    }
    if (Clip_.IsEmpty() || !F.Raw.isValid()) return;
    // Where the ink can reach: the cell (underline and strike-out stay inside it) and every
    // glyph's box, one pixel wider for hinting. Text wholly outside the clip is skipped; text
    // across its edge is the one case drawn with a Qt clip.
    TRect Ink{X, Y, X, Y + F.Height};
    int Pen = X;
    for (char Ch : Text) {
        const auto C = static_cast<unsigned char>(Ch);
        Ink.Left = std::min(Ink.Left, Pen + F.InkLeft[C]);
        Ink.Right = std::max(Ink.Right, Pen + std::max<int>(F.Advance[C], F.InkRight[C]));
        Ink.Top = std::min(Ink.Top, Y + F.Ascent + F.InkTop[C]);
        Ink.Bottom = std::max(Ink.Bottom, Y + F.Ascent + F.InkBottom[C]);
        Pen += F.Advance[C];
    }
    Ink = {Ink.Left - 1, Ink.Top - 1, Ink.Right + 1, Ink.Bottom + 1};
    const TRect Visible = Intersect(Ink, Clip_);
    if (Visible.IsEmpty()) return;
    const QPen& TextColour = TextPen(Font.Color);
    Run_.setRawFont(F.Raw);
    Run_.setUnderline(Font.Style.Contains(fsUnderline));
    Run_.setStrikeOut(Font.Style.Contains(fsStrikeOut));
    if (Visible == Ink) {
        if (Painter_.pen() != TextColour) Painter_.setPen(TextColour);
        DrawRun(Painter_, F, X, Y, Text);
        return;
    }
    // Across the clip's edge. A Qt clip costs allocations on every change, so the text goes on
    // a kept scratch image the size of its ink box, and the visible part of that is copied. An
    // outsize text, or a device transformed in a way the scratch cannot follow, takes the Qt
    // clip instead.
    if (Ink.Width() <= MaxScratch && Ink.Height() <= MaxScratch) {
        if (Painter_.device()->devicePixelRatio() == 1) {
            if (Painter_.deviceTransform().type() <= QTransform::TxTranslate &&
                Scratch(Ink.Width(), Ink.Height())) {
                if (ScratchPainter_.worldTransform().type() != QTransform::TxNone)
                    ScratchPainter_.resetTransform();
                if (ScratchPainter_.pen() != TextColour) ScratchPainter_.setPen(TextColour);
                DrawRun(ScratchPainter_, F, X - Ink.Left, Y - Ink.Top, Text);
                Painter_.drawImage(QPoint(Visible.Left, Visible.Top), ScratchImage_,
                                   QRect(Visible.Left - Ink.Left, Visible.Top - Ink.Top,
                                         Visible.Width(), Visible.Height()));
                return;
            }
        } else {
            // On a scaled device the scratch holds the device pixels of the ink box: its painter
            // maps client coordinates as the device's does, less the whole device pixels up to
            // the box, so every glyph lands on the fraction of a pixel it has on the device.
            DeviceGrid G;
            if (ScaledGrid(G)) {
                const QRect Box =
                    DeviceRect(G, QRect(Ink.Left, Ink.Top, Ink.Width(), Ink.Height()));
                if (Scratch(Box.width(), Box.height())) {
                    ScratchPainter_.setWorldTransform(
                        QTransform(G.Ratio, 0, 0, G.Ratio, G.Dx - Box.left(), G.Dy - Box.top()));
                    if (ScratchPainter_.pen() != TextColour) ScratchPainter_.setPen(TextColour);
                    DrawRun(ScratchPainter_, F, X, Y, Text);
                    const QRect Device = DeviceRect(
                        G, QRect(Visible.Left, Visible.Top, Visible.Width(), Visible.Height()));
                    DrawDevicePixels(G, ScratchImage_, Device.translated(-Box.topLeft()),
                                     Device.topLeft());
                    return;
                }
            }
        }
    }
    const bool Clipped = ClipPainterFor(Ink);
    if (Painter_.pen() != TextColour) Painter_.setPen(TextColour);
    DrawRun(Painter_, F, X, Y, Text);
    if (Clipped) Painter_.setClipping(false);
}

void QtCanvas::DrawRun(QPainter& P, const FontEntry& F, int X, int Y, std::string_view Text) {
    std::array<quint32, TextChunk> Glyphs;
    std::array<QPointF, TextChunk> Positions;
    std::size_t Done = 0;
    int PenX = X;
    while (Done < Text.size()) {
        const std::size_t N = std::min<std::size_t>(TextChunk, Text.size() - Done);
        int Offset = 0;
        for (std::size_t I = 0; I < N; ++I) {
            const auto C = static_cast<unsigned char>(Text[Done + I]);
            Glyphs[I] = F.Glyph[C];
            Positions[I] = QPointF(Offset, 0);
            Offset += F.Advance[C];
        }
        Run_.setRawData(Glyphs.data(), Positions.data(), static_cast<int>(N));
        P.drawGlyphRun(QPointF(PenX, Y + F.Ascent), Run_);
        PenX += Offset;
        Done += N;
    }
}

bool QtCanvas::Scratch(int Width, int Height) {
    if (ScratchImage_.width() < Width || ScratchImage_.height() < Height) {
        if (ScratchPainter_.isActive()) ScratchPainter_.end();
        ScratchImage_ =
            QImage(std::max(Width, ScratchImage_.width()), std::max(Height, ScratchImage_.height()),
                   QImage::Format_ARGB32_Premultiplied);
        if (!ScratchPainter_.begin(&ScratchImage_)) return false;
        ScratchPainter_.setRenderHint(QPainter::Antialiasing, false);
        ScratchPainter_.setRenderHint(QPainter::TextAntialiasing, false);
    }
    if (!ScratchPainter_.isActive()) return false;
    // Cleared to transparent by hand: the glyphs are drawn in one opaque colour without
    // antialiasing, so copying with source-over puts exactly their pixels down.
    for (int Row = 0; Row < Height; ++Row)
        std::memset(ScratchImage_.scanLine(Row), 0, static_cast<std::size_t>(Width) * 4);
    return true;
}

// ---- Button faces ----

void QtCanvas::RenderFace(TThemedElement Element, QPainter& P, const QRect& Whole) const {
    const bool Pressed = IsPressedElement(Element);
    const QStyle::State Base = QStyle::State_Enabled | QStyle::State_Active;
    const QStyle::State Face = Base | (Pressed ? QStyle::State_Sunken : QStyle::State_Raised);
    QStyle::PrimitiveElement Arrow;
    switch (Element) {
        case TThemedElement::tbPushButtonNormal:
        case TThemedElement::tbPushButtonPressed: {
            QStyleOptionButton Opt;
            Opt.rect = Whole;
            Opt.state = Face;
            Opt.palette = Palette_;
            Style_->drawControl(QStyle::CE_PushButtonBevel, &Opt, &P, nullptr);
            return;
        }
        case TThemedElement::tsArrowBtnUpNormal:
        case TThemedElement::tsArrowBtnUpPressed:
            Arrow = QStyle::PE_IndicatorArrowUp;
            break;
        case TThemedElement::tsArrowBtnDownNormal:
        case TThemedElement::tsArrowBtnDownPressed:
            Arrow = QStyle::PE_IndicatorArrowDown;
            break;
        case TThemedElement::tsArrowBtnLeftNormal:
        case TThemedElement::tsArrowBtnLeftPressed:
            Arrow = QStyle::PE_IndicatorArrowLeft;
            break;
        default:
            Arrow = QStyle::PE_IndicatorArrowRight;
            break;
    }
    QStyleOptionToolButton Panel;
    Panel.rect = Whole;
    Panel.state = Face;
    Panel.palette = Palette_;
    Style_->drawPrimitive(QStyle::PE_PanelButtonTool, &Panel, &P, nullptr);
    QStyleOption Glyph;
    Glyph.rect = Whole;
    Glyph.state = Base;
    Glyph.palette = Palette_;
    if (Pressed)
        Glyph.rect.translate(Style_->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &Glyph),
                             Style_->pixelMetric(QStyle::PM_ButtonShiftVertical, &Glyph));
    Style_->drawPrimitive(Arrow, &Glyph, &P, nullptr);
}

const QImage& QtCanvas::Face(TThemedElement Element, int Width, int Height, qreal Ratio, int PhaseX,
                             int PhaseY) {
    // Style faces are drawn once per element, size, ratio and phase and kept: QStyle builds
    // cache keys and gradients on every call, which a paint pass must not pay for.
    ++Clock_;
    int Slot = 0;
    for (int I = 0; I < FaceSlots; ++I) {
        FaceEntry& E = Faces_[static_cast<std::size_t>(I)];
        if (E.Valid && E.Element == Element && E.Width == Width && E.Height == Height &&
            E.Ratio == Ratio && E.PhaseX == PhaseX && E.PhaseY == PhaseY) {
            E.LastUse = Clock_;
            return E.Image;
        }
        const FaceEntry& Oldest = Faces_[static_cast<std::size_t>(Slot)];
        if (!E.Valid || (Oldest.Valid && E.LastUse < Oldest.LastUse)) Slot = I;
    }
    FaceEntry& E = Faces_[static_cast<std::size_t>(Slot)];
    E.Valid = true;
    E.Element = Element;
    E.Width = Width;
    E.Height = Height;
    E.Ratio = Ratio;
    E.PhaseX = PhaseX;
    E.PhaseY = PhaseY;
    E.LastUse = Clock_;
    // Device pixels up to the face's far edges, however they round; the style reads the
    // image's ratio and draws at that resolution.
    E.Image = QImage(static_cast<int>(std::ceil(Ratio * (PhaseX + Width))),
                     static_cast<int>(std::ceil(Ratio * (PhaseY + Height))),
                     QImage::Format_ARGB32_Premultiplied);
    E.Image.setDevicePixelRatio(Ratio);
    E.Image.fill(Qt::transparent);
    QPainter P(&E.Image);
    if (PhaseX != 0 || PhaseY != 0) P.translate(PhaseX, PhaseY);
    RenderFace(Element, P, QRect(0, 0, Width, Height));
    return E.Image;
}

bool QtCanvas::ScaledGrid(DeviceGrid& Grid) const {
    const QTransform& M = Painter_.deviceTransform();
    const qreal Ratio = M.m11();
    // (The device's own figure for its ratio may be the unrounded one.)
    if (M.type() > QTransform::TxScale || M.m22() != Ratio || !(Ratio > 0) ||
        std::abs(Ratio - Painter_.device()->devicePixelRatio()) > 1e-4)
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

bool QtCanvas::Place(qreal Ratio, qreal Offset, int Period, long long Pos, GridPlace& At) {
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

QRect QtCanvas::DeviceRect(const DeviceGrid& Grid, const QRect& Logical) {
    const int L = qRound(Grid.Ratio * Logical.x() + Grid.Dx);
    const int T = qRound(Grid.Ratio * Logical.y() + Grid.Dy);
    const int R = qRound(Grid.Ratio * (Logical.x() + Logical.width()) + Grid.Dx);
    const int B = qRound(Grid.Ratio * (Logical.y() + Logical.height()) + Grid.Dy);
    return QRect(L, T, R - L, B - T);
}

void QtCanvas::DrawDevicePixels(const DeviceGrid& Grid, const QImage& Image, const QRect& Source,
                                const QPoint& DeviceTopLeft) {
    if (Source.isEmpty()) return;
    // A target of the source's size divided by the ratio: the painter scales it back, so each
    // device pixel takes the source pixel at its centre.
    const QRectF Target((DeviceTopLeft.x() - Grid.Dx) / Grid.Ratio,
                        (DeviceTopLeft.y() - Grid.Dy) / Grid.Ratio, Source.width() / Grid.Ratio,
                        Source.height() / Grid.Ratio);
    Painter_.drawImage(Target, Image, QRectF(Source));
}

void QtCanvas::DrawElement(TThemedElement Element, const TRect& R) {
    if (!Style_) {
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
    const bool Scaled = Painter_.device()->devicePixelRatio() != 1;
    if (W <= MaxCachedFace && H <= MaxCachedFace && Scaled) {
        // A scaled device takes a face kept at its resolution, drawn at the same fraction of a
        // device pixel as in place, and its visible device pixels are copied one to one.
        DeviceGrid G;
        GridPlace AtX;
        GridPlace AtY;
        if (ScaledGrid(G) && Place(G.Ratio, G.Dx, G.Period, L, AtX) &&
            Place(G.Ratio, G.Dy, G.Period, T, AtY)) {
            const QRect Device = DeviceRect(G, Visible);
            DrawDevicePixels(G,
                             Face(Element, static_cast<int>(W), static_cast<int>(H), G.Ratio,
                                  AtX.Phase, AtY.Phase),
                             Device.translated(-AtX.Shift, -AtY.Shift), Device.topLeft());
            return;
        }
    }
    if (W > MaxCachedFace || H > MaxCachedFace || Scaled) {
        // Too large to keep an image of, or a device the kept faces cannot follow: drawn in
        // place, clipped by Qt.
        if (W > std::numeric_limits<int>::max() || H > std::numeric_limits<int>::max()) return;
        Painter_.save();
        Painter_.setClipRect(Visible);
        Painter_.translate(static_cast<double>(L), static_cast<double>(T));
        RenderFace(Element, Painter_, QRect(0, 0, static_cast<int>(W), static_cast<int>(H)));
        Painter_.restore();
        return;
    }
    // Only the visible part of the cached face is copied: no Qt clip needed.
    Painter_.drawImage(Visible.topLeft(), Face(Element, static_cast<int>(W), static_cast<int>(H)),
                       Visible.translated(static_cast<int>(-L), static_cast<int>(-T)));
}

void QtCanvas::DrawFrameControl(const TRect& R, unsigned Type, unsigned State) {
    DrawClassicFrameControl(*this, R, Type, State);
}

}  // namespace keymora::qt
