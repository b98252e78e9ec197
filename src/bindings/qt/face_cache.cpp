// Kept themed faces, and the choice between a kept face, a kept face at device resolution and the
// style drawing in place (see face_cache.h).
#include "bindings/qt/face_cache.h"

#include <QtWidgets/QStyle>
#include <QtWidgets/QStyleOption>
#include <algorithm>
#include <cmath>
#include <limits>

#include "bindings/qt/device_grid.h"

namespace keymora::qt {

namespace {

constexpr int MaxCachedFace = 1024;  // faces up to this size are kept as images

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

}  // namespace

void FaceCache::SetStyle(QStyle* AStyle, const QPalette& Palette) {
    if (AStyle == Style_ && Palette.cacheKey() == Palette_.cacheKey()) return;
    Style_ = AStyle;
    Palette_ = Palette;
    Reset();
}

void FaceCache::Render(TThemedElement Element, QPainter& P, const QRect& Panel) const {
    const bool Pressed = IsPressedElement(Element);
    const QStyle::State Base = QStyle::State_Enabled | QStyle::State_Active;
    const QStyle::State Face = Base | (Pressed ? QStyle::State_Sunken : QStyle::State_Raised);
    QStyle::PrimitiveElement Arrow;
    switch (Element) {
        case TThemedElement::tbPushButtonNormal:
        case TThemedElement::tbPushButtonPressed: {
            QStyleOptionButton Opt;
            Opt.rect = Panel;
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
    QStyleOptionToolButton Button;
    Button.rect = Panel;
    Button.state = Face;
    Button.palette = Palette_;
    Style_->drawPrimitive(QStyle::PE_PanelButtonTool, &Button, &P, nullptr);
    // Styles draw the glyph through a pixmap of the rectangle they are given: on a face cut to
    // its visible part (see Draw), it sits on that part.
    QStyleOption Glyph;
    Glyph.rect = Panel;
    Glyph.state = Base;
    Glyph.palette = Palette_;
    if (Pressed)
        Glyph.rect.translate(Style_->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &Glyph),
                             Style_->pixelMetric(QStyle::PM_ButtonShiftVertical, &Glyph));
    Style_->drawPrimitive(Arrow, &Glyph, &P, nullptr);
}

const QImage& FaceCache::Face(TThemedElement Element, int Width, int Height, qreal Ratio,
                              int PhaseX, int PhaseY) {
    const Entry& E = Faces_.Get(
        [&](const Entry& K) {
            return K.Element == Element && K.Width == Width && K.Height == Height &&
                   K.Ratio == Ratio && K.PhaseX == PhaseX && K.PhaseY == PhaseY;
        },
        [&](Entry& K) {
            K.Element = Element;
            K.Width = Width;
            K.Height = Height;
            K.Ratio = Ratio;
            K.PhaseX = PhaseX;
            K.PhaseY = PhaseY;
            // Device pixels up to the face's far edges, however they round; the style reads the
            // image's ratio and draws at that resolution.
            K.Image = QImage(static_cast<int>(std::ceil(Ratio * (PhaseX + Width))),
                             static_cast<int>(std::ceil(Ratio * (PhaseY + Height))),
                             QImage::Format_ARGB32_Premultiplied);
            K.Image.setDevicePixelRatio(Ratio);
            K.Image.fill(Qt::transparent);
            QPainter P(&K.Image);
            if (PhaseX != 0 || PhaseY != 0) P.translate(PhaseX, PhaseY);
            Render(Element, P, QRect(0, 0, Width, Height));
        });
    return E.Image;
}

void FaceCache::Draw(QPainter& P, TThemedElement Element, long long L, long long T, long long W,
                     long long H, const QRect& Visible) {
    const bool Scaled = P.device()->devicePixelRatio() != 1;
    if (W <= MaxCachedFace && H <= MaxCachedFace && Scaled) {
        // A scaled device takes a face kept at its resolution, drawn at the same fraction of a
        // device pixel as in place, and its visible device pixels are copied one to one.
        DeviceGrid G;
        GridPlace AtX;
        GridPlace AtY;
        if (ScaledGrid(P, G) && Place(G.Ratio, G.Dx, G.Period, L, AtX) &&
            Place(G.Ratio, G.Dy, G.Period, T, AtY)) {
            const QRect Device = DeviceRect(G, Visible);
            DrawDevicePixels(P, G,
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
        P.save();
        P.setClipRect(Visible);
        P.translate(static_cast<double>(L), static_cast<double>(T));
        const QRect Whole(0, 0, static_cast<int>(W), static_cast<int>(H));
        // Styles build a face's pixmaps and gradients at its full size: along a side too long to
        // keep, the face is cut to a margin past the device it is painted on, so one paint costs
        // what the screen holds. The cut follows the device, not the clip: a repaint of any part
        // draws the same gradient as a full paint.
        QRect Panel = Whole;
        const qreal Ratio = P.device()->devicePixelRatioF();
        const QRectF Device(0, 0, P.device()->width() / Ratio, P.device()->height() / Ratio);
        const QRect Seen = P.worldTransform().inverted().mapRect(Device).toAlignedRect();
        constexpr int Margin = 64;
        if (W > MaxCachedFace) {
            Panel.setLeft(std::max(0, Seen.left() - Margin));
            Panel.setRight(std::min(Whole.right(), Seen.right() + Margin));
        }
        if (H > MaxCachedFace) {
            Panel.setTop(std::max(0, Seen.top() - Margin));
            Panel.setBottom(std::min(Whole.bottom(), Seen.bottom() + Margin));
        }
        if (!Panel.isEmpty()) Render(Element, P, Panel);
        P.restore();
        return;
    }
    // Only the visible part of the kept face is copied: no Qt clip needed.
    P.drawImage(Visible.topLeft(), Face(Element, static_cast<int>(W), static_cast<int>(H)),
                Visible.translated(static_cast<int>(-L), static_cast<int>(-T)));
}

}  // namespace keymora::qt
