// Text across the edge of the canvas's clip without a Qt clip: the glyphs go onto a kept scratch
// image the size of their ink box, and only the visible part of it is copied to the device. A Qt
// clip costs allocations on every change; the scratch image is allocated once and grows only for a
// larger text.
#pragma once

#include <QtGui/QGlyphRun>
#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtGui/QPen>
#include <string_view>

#include "keymora/host/types.h"

namespace keymora::qt {

struct GlyphTable;

class ScratchText {
  public:
    ScratchText() = default;
    ~ScratchText();
    ScratchText(const ScratchText&) = delete;
    ScratchText& operator=(const ScratchText&) = delete;

    /// Draws Text in Pen with its cell's top-left corner at device (X, Y) of Target, only the
    /// part of Ink (the text's ink box, device coordinates) inside Visible reaching Target. False,
    /// with nothing drawn, when the text is too large for the scratch or Target is transformed in
    /// a way the scratch cannot follow: the caller then draws it with a Qt clip.
    bool Draw(QPainter& Target, QGlyphRun& Run, const GlyphTable& Table, const QPen& Pen, int X,
              int Y, std::string_view Text, const TRect& Ink, const TRect& Visible);

  private:
    /// The image cleared to transparent over pixels [0, Width) x [0, Height), its painter
    /// active; false when it cannot be painted on.
    bool Clear(int Width, int Height);

    QImage Image_;
    QPainter Painter_;
};

}  // namespace keymora::qt
