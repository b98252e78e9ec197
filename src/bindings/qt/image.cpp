// Off-screen paint passes: the Qt application and style they need when the caller has none, a
// raster canvas over a QImage, and PNG output.
#include "keymora/qt/image.h"

#include <QtCore/QBuffer>
#include <QtCore/QCoreApplication>
#include <QtGui/QGuiApplication>
#include <QtGui/QImageWriter>
#include <QtWidgets/QApplication>
#include <QtWidgets/QStyle>
#include <QtWidgets/QStyleFactory>

#include "bindings/qt/qt_canvas.h"
#include "core/host/atomic_file.h"
#include "keymora/model/keymora.h"

namespace keymora::qt {

namespace {

/// A GUI application to paint under: the caller's, or one made here on the offscreen platform
/// and kept for the life of the process. Null when the caller runs a non-GUI application.
QGuiApplication* GuiApplication() {
    if (!QCoreApplication::instance()) {
        static int Argc = 3;
        static char Arg0[] = "keymora";
        static char Arg1[] = "-platform";
        static char Arg2[] = "offscreen";
        static char* Argv[] = {Arg0, Arg1, Arg2, nullptr};
        static QApplication* Own = new QApplication(Argc, Argv);
        (void)Own;
    }
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance());
}

QStyle* ThemeStyle() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) return QApplication::style();
    static QStyle* Fusion = QStyleFactory::create(QStringLiteral("Fusion"));
    return Fusion;
}

}  // namespace

QImage PaintToImage(TKeymora& Control, qreal DevicePixelRatio) {
    if (!GuiApplication() || !(DevicePixelRatio > 0)) return {};
    const int W = Control.ClientWidth();
    const int H = Control.ClientHeight();
    if (W <= 0 || H <= 0) return {};
    // The client's far edges land where a painter at this ratio puts them.
    QImage Image(qRound(W * DevicePixelRatio), qRound(H * DevicePixelRatio),
                 QImage::Format_RGB32);
    Image.setDevicePixelRatio(DevicePixelRatio);
    // The pass paints its whole client area; what it leaves shows the control's colour, as a
    // freshly shown window over its own background would.
    Image.fill(ToQColor(Control.Color()));
    QtCanvas Canvas;
    Canvas.SetStyle(Control.ThemesEnabled() ? ThemeStyle() : nullptr);
    if (!Canvas.Begin(&Image)) return {};
    Control.PaintTo(Canvas);
    Canvas.End();
    return Image;
}

bool PaintToPng(TKeymora& Control, const std::string& File, std::string& Error) {
    if (!GuiApplication()) {
        Error = "a non-GUI Qt application is running: cannot paint";
        return false;
    }
    if (Control.ClientWidth() <= 0 || Control.ClientHeight() <= 0) {
        Error = "the control has no client area";
        return false;
    }
    const QImage Image = PaintToImage(Control);
    if (Image.isNull()) {
        Error = "cannot paint the control";
        return false;
    }
    // Encoded in memory, then written whole under the name exactly as given (its bytes, not a
    // decoded QString): a failed write keeps the file that was there.
    QByteArray Png;
    QBuffer Buffer(&Png);
    Buffer.open(QIODevice::WriteOnly);
    QImageWriter Writer(&Buffer, "png");
    if (!Writer.write(Image)) {
        Error = "cannot write " + File + ": " + Writer.errorString().toStdString();
        return false;
    }
    if (auto Why = host::WriteFileAtomically(File, std::string_view(Png.constData(),
                                                                     static_cast<std::size_t>(Png.size())))) {
        Error = std::move(*Why);
        return false;
    }
    return true;
}

}  // namespace keymora::qt
