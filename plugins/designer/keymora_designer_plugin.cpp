// The widget box entry of KeymoraWidget: page, icon, texts, the new widget's initial form entry.
#include "keymora_designer_plugin.h"

#include <QtGui/QPixmap>

#include "keymora/qt/keymora_widget.h"

QImage KeymoraPaletteImage() {
    QImage Bitmap(QStringLiteral(":/keymora/designer/TKEYMORA.bmp"));
    if (Bitmap.isNull()) return Bitmap;
    if (Bitmap.format() == QImage::Format_Indexed8) {
        // Clearing the palette entry keeps every pixel of that index transparent, border and
        // background alike, and no other colour.
        const int Border = Bitmap.pixelIndex(0, Bitmap.height() - 1);
        Bitmap.setColor(Border, Bitmap.color(Border) & 0x00FFFFFFu);
    }
    return Bitmap.convertToFormat(QImage::Format_ARGB32);
}

KeymoraDesignerPlugin::KeymoraDesignerPlugin(QObject* parent) : QObject(parent) {}

QString KeymoraDesignerPlugin::name() const {
    return QStringLiteral("KeymoraWidget");
}

QString KeymoraDesignerPlugin::group() const {
    return QStringLiteral("Music");
}

QString KeymoraDesignerPlugin::toolTip() const {
    return QStringLiteral("On-screen piano keyboard (A0 to C8) with a note-duration selector");
}

QString KeymoraDesignerPlugin::whatsThis() const {
    return QStringLiteral(
        "An 88-key piano keyboard for entering notes with the mouse and the PC keyboard. Each "
        "note played is reported by keyClick(octave, note, tone); the setting strip at the far "
        "end chooses the note duration (durationPosition).");
}

QString KeymoraDesignerPlugin::includeFile() const {
    return QStringLiteral("keymora/qt/keymora_widget.h");
}

QIcon KeymoraDesignerPlugin::icon() const {
    return QIcon(QPixmap::fromImage(KeymoraPaletteImage()));
}

QWidget* KeymoraDesignerPlugin::createWidget(QWidget* parent) {
    return new KeymoraWidget(parent);
}

void KeymoraDesignerPlugin::initialize(QDesignerFormEditorInterface*) {
    Initialized_ = true;
}

QString KeymoraDesignerPlugin::domXml() const {
    // A new widget's size, and the properties a new control always saves: those without a
    // stored default, and durationWidth, whose initial 6 differs from its stored default 5.
    return QStringLiteral(
        "<ui language=\"c++\">\n"
        " <widget class=\"KeymoraWidget\" name=\"keymora\">\n"
        "  <property name=\"geometry\">\n"
        "   <rect><x>0</x><y>0</y><width>600</width><height>100</height></rect>\n"
        "  </property>\n"
        "  <property name=\"orientation\"><enum>KeymoraWidget::koHorizontal</enum></property>\n"
        "  <property name=\"musicStyle\">\n"
        "   <set>KeymoraWidget::msShowMarks|KeymoraWidget::msColorOctave|"
        "KeymoraWidget::msScrollDuration|KeymoraWidget::msScrollOctave</set>\n"
        "  </property>\n"
        "  <property name=\"durationWidth\"><number>6</number></property>\n"
        "  <property name=\"autoTone\"><enum>KeymoraWidget::atAutoMajor</enum></property>\n"
        "  <property name=\"keys\"><string>CDEFGAB</string></property>\n"
        "  <property name=\"ctrlMove\"><bool>false</bool></property>\n"
        " </widget>\n"
        "</ui>\n");
}
