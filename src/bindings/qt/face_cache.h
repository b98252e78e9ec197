// Themed button faces from a QStyle, drawn once per element, size, device ratio and phase and kept
// as images: QStyle builds cache keys and gradients on every call, which a paint pass must not pay
// for. On a scaled screen a face is kept at the device's resolution and its device pixels are
// copied one to one, so that it lands exactly where the style would have drawn it in place.
#pragma once

#include <QtCore/QRect>
#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtGui/QPalette>

#include "core/util/lru_cache.h"
#include "keymora/host/canvas.h"

class QStyle;

namespace keymora::qt {

class FaceCache {
  public:
    /// Faces come from Style (not owned; null for none) in the colours of Palette; the kept faces
    /// are dropped when either changes.
    void SetStyle(QStyle* Style, const QPalette& Palette);
    QStyle* Style() const { return Style_; }
    /// Drops the faces drawn so far.
    void Reset() { Faces_.Clear(); }

    /// Draws the face of Element over the logical rectangle at (L, T) of size W x H on P (which
    /// works in logical coordinates), only the device-coordinate part Visible of it: a kept image
    /// where one fits the device, the style drawing in place, clipped by Qt, otherwise. Needs a
    /// style.
    void Draw(QPainter& P, TThemedElement Element, long long L, long long T, long long W,
              long long H, const QRect& Visible);

  private:
    struct Entry {
        TThemedElement Element = TThemedElement::tbPushButtonNormal;
        int Width = 0;
        int Height = 0;
        qreal Ratio = 1;
        int PhaseX = 0;
        int PhaseY = 0;
        QImage Image;
    };

    /// The face of Element over a logical Width x Height, drawn at Ratio with its top-left
    /// corner at logical (PhaseX, PhaseY) of an image whose pixels are the device's.
    const QImage& Face(TThemedElement Element, int Width, int Height, qreal Ratio = 1,
                       int PhaseX = 0, int PhaseY = 0);
    /// Draws Element's face over Panel: the whole face, or the part of a huge one worth drawing.
    void Render(TThemedElement Element, QPainter& P, const QRect& Panel) const;

    static constexpr int Slots = 24;
    QStyle* Style_ = nullptr;
    QPalette Palette_;
    TLruCache<Entry, Slots> Faces_;
};

}  // namespace keymora::qt
