// The widget box entry of KeymoraWidget: page, icon, texts, the new widget's initial form entry
// (written from the published-property table).
#include "keymora_designer_plugin.h"

#include <QtCore/QMetaEnum>
#include <QtCore/QMetaProperty>
#include <QtCore/QStringList>
#include <QtGui/QPixmap>

#include "keymora/model/keymora.h"
#include "keymora/model/published.h"
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

namespace {

// A property value as a form's element: <enum>, <set>, <number>, <bool>, <string> or <color>,
// enumeration keys scoped by the widget class.
QString DomValue(const QMetaProperty& P, keymora::TPropKind Kind, const keymora::TPropValue& V) {
    const QMetaEnum E = P.enumerator();
    const QString Scope = QLatin1String(E.scope()) + QStringLiteral("::");
    switch (Kind) {
        case keymora::TPropKind::Enumeration:
            return QStringLiteral("<enum>%1</enum>")
                .arg(Scope + QLatin1String(E.valueToKey(static_cast<int>(V.Int))));
        case keymora::TPropKind::Set: {
            QStringList Keys;
            for (int I = 0; I < E.keyCount(); ++I)
                if (V.Int & E.value(I)) Keys << Scope + QLatin1String(E.key(I));
            return QStringLiteral("<set>%1</set>").arg(Keys.join(QLatin1Char('|')));
        }
        case keymora::TPropKind::Boolean:
            return V.Int ? QStringLiteral("<bool>true</bool>")
                         : QStringLiteral("<bool>false</bool>");
        case keymora::TPropKind::String:
            return QStringLiteral("<string>%1</string>")
                .arg(QString::fromStdString(V.Str).toHtmlEscaped());
        case keymora::TPropKind::Color:
            return QStringLiteral("<color><red>%1</red><green>%2</green><blue>%3</blue></color>")
                .arg(V.Int & 0xFF)
                .arg((V.Int >> 8) & 0xFF)
                .arg((V.Int >> 16) & 0xFF);
        case keymora::TPropKind::Integer:
        case keymora::TPropKind::Font:
            break;
    }
    return QStringLiteral("<number>%1</number>").arg(V.Int);
}

}  // namespace

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
    const keymora::TKeymora Fresh;
    QString Xml = QStringLiteral(
        "<ui language=\"c++\">\n"
        " <widget class=\"KeymoraWidget\" name=\"keymora\">\n"
        "  <property name=\"geometry\">\n"
        "   <rect><x>0</x><y>0</y><width>600</width><height>100</height></rect>\n"
        "  </property>\n");
    for (const keymora::TPropInfo& Info : keymora::PublishedProperties()) {
        const QMetaProperty P = KeymoraWidget::publishedProperty(Info);
        if (!P.isValid() || !keymora::IsPropertyStored(Fresh, Info)) continue;
        Xml += QStringLiteral("  <property name=\"%1\">%2</property>\n")
                   .arg(QLatin1String(P.name()),
                        DomValue(P, Info.Kind, keymora::GetPropertyValue(Fresh, Info)));
    }
    Xml += QStringLiteral(" </widget>\n</ui>\n");
    return Xml;
}
