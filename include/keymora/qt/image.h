/// \file
/// Off-screen pictures of a control: one full paint pass into a QImage of the client size, and
/// the same written as a PNG file. Works with or without a display.
#pragma once

#include <QtGui/QImage>
#include <string>

namespace keymora {
class TKeymora;
}

/// The Qt binding's free functions: off-screen pictures and accessibility.
namespace keymora::qt {

/// Runs a full paint pass of Control into an RGB32 image of its client size. Faces are themed
/// (the application's style, or Fusion when there is no QApplication) while
/// Control.ThemesEnabled(), classic otherwise. Creates a QApplication on the offscreen platform
/// when no Qt application object exists yet. A control without a client area gives a null image.
/// With a DevicePixelRatio other than 1 the image has that ratio, as a scaled screen does: the
/// client size times the ratio in device pixels, the pass drawn in client units.
QImage PaintToImage(TKeymora& Control, qreal DevicePixelRatio = 1);

/// PaintToImage written to File as PNG. On failure returns false and says why in Error.
bool PaintToPng(TKeymora& Control, const std::string& File, std::string& Error);

}  // namespace keymora::qt
