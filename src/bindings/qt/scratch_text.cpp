// Clipped text through a scratch image, at a device ratio of 1 and on scaled devices (see
// scratch_text.h).
#include "bindings/qt/scratch_text.h"

#include <QtGui/QPaintDevice>
#include <QtGui/QTransform>
#include <algorithm>
#include <cstring>

#include "bindings/qt/device_grid.h"
#include "bindings/qt/glyph_cache.h"

namespace keymora::qt {

namespace {

constexpr int MaxScratch = 512;  // text ink boxes up to this size go through the scratch image

}  // namespace

ScratchText::~ScratchText() {
    if (Painter_.isActive()) Painter_.end();
}

bool ScratchText::Draw(QPainter& Target, QGlyphRun& Run, const GlyphTable& Table, const QPen& Pen,
                       int X, int Y, std::string_view Text, const TRect& Ink,
                       const TRect& Visible) {
    if (Ink.Width() > MaxScratch || Ink.Height() > MaxScratch) return false;
    if (Target.device()->devicePixelRatio() == 1) {
        if (Target.deviceTransform().type() > QTransform::TxTranslate ||
            !Clear(Ink.Width(), Ink.Height()))
            return false;
        if (Painter_.worldTransform().type() != QTransform::TxNone) Painter_.resetTransform();
        if (Painter_.pen() != Pen) Painter_.setPen(Pen);
        Table.Draw(Painter_, Run, X - Ink.Left, Y - Ink.Top, Text);
        Target.drawImage(QPoint(Visible.Left, Visible.Top), Image_,
                         QRect(Visible.Left - Ink.Left, Visible.Top - Ink.Top, Visible.Width(),
                               Visible.Height()));
        return true;
    }
    // On a scaled device the scratch holds the device pixels of the ink box: its painter maps
    // client coordinates as the device's does, less the whole device pixels up to the box, so
    // every glyph lands on the fraction of a pixel it has on the device.
    DeviceGrid G;
    if (!ScaledGrid(Target, G)) return false;
    const QRect Box = DeviceRect(G, QRect(Ink.Left, Ink.Top, Ink.Width(), Ink.Height()));
    if (!Clear(Box.width(), Box.height())) return false;
    Painter_.setWorldTransform(
        QTransform(G.Ratio, 0, 0, G.Ratio, G.Dx - Box.left(), G.Dy - Box.top()));
    if (Painter_.pen() != Pen) Painter_.setPen(Pen);
    Table.Draw(Painter_, Run, X, Y, Text);
    const QRect Device =
        DeviceRect(G, QRect(Visible.Left, Visible.Top, Visible.Width(), Visible.Height()));
    DrawDevicePixels(Target, G, Image_, Device.translated(-Box.topLeft()), Device.topLeft());
    return true;
}

bool ScratchText::Clear(int Width, int Height) {
    if (Image_.width() < Width || Image_.height() < Height) {
        if (Painter_.isActive()) Painter_.end();
        Image_ = QImage(std::max(Width, Image_.width()), std::max(Height, Image_.height()),
                        QImage::Format_ARGB32_Premultiplied);
        if (!Painter_.begin(&Image_)) return false;
        Painter_.setRenderHint(QPainter::Antialiasing, false);
        Painter_.setRenderHint(QPainter::TextAntialiasing, false);
    }
    if (!Painter_.isActive()) return false;
    // Cleared to transparent by hand: the glyphs are drawn in one opaque colour without
    // antialiasing, so copying with source-over puts exactly their pixels down.
    for (int Row = 0; Row < Height; ++Row)
        std::memset(Image_.scanLine(Row), 0, static_cast<std::size_t>(Width) * 4);
    return true;
}

}  // namespace keymora::qt
