// The Designer plugin loaded as Designer loads it: its page, name, texts, the palette bitmap's
// pixels in its icon, and a widget created through it. The bitmap file itself is checked by its
// palette indices.
#include <gtest/gtest.h>

#include <QtCore/QBuffer>
#include <QtCore/QFileInfo>
#include <QtCore/QMetaProperty>
#include <QtCore/QPluginLoader>
#include <QtCore/QXmlStreamReader>
#include <QtGui/QIcon>
#include <QtGui/QImage>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <memory>
#include <string>
#include <vector>

#include "widget_support.h"

#ifdef KEYMORA_HAVE_UITOOLS
#include <QtUiTools/QUiLoader>
#endif

namespace keymora::test {
namespace {

// Hand-picked pixels of the picture, with their 16-colour palette index: 5 dark magenta border
// and background, 0 black, 15 white, 8 the zigzag, 7 the shadow.
struct PixelCase {
    const char* What;
    int X;
    int Y;
    int Index;
};

constexpr PixelCase Pixels[] = {
    {"border, top left", 0, 0, 5},
    {"border, bottom right", 23, 23, 5},
    {"background beside the top outline", 22, 1, 5},
    {"outline, top left", 1, 1, 0},
    {"outline, right", 21, 10, 0},
    {"outline, bottom", 10, 21, 0},
    {"first white key, top", 3, 3, 15},
    {"first white key, lower part", 3, 14, 15},
    {"divider below the black keys", 6, 15, 0},
    {"first black key", 5, 8, 0},
    {"third black key", 17, 11, 0},
    {"below the third black key", 17, 12, 15},
    {"zigzag of the first key, low", 2, 18, 8},
    {"zigzag of the first key, high", 3, 17, 8},
    {"zigzag of the last key, high", 20, 17, 8},
    {"beside the zigzag", 2, 17, 15},
    {"shadow, right edge", 22, 12, 7},
    {"shadow, lower edge", 12, 22, 7},
    {"background below the left outline", 1, 22, 5},
};

const QRgb Standard16[16] = {
    qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
    qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
    qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
    qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255),
};

TEST(PaletteBitmap, SixteenColoursTwentyFourSquare) {
    EnsureApplication();
    const QImage Bitmap(
        QStringLiteral(KEYMORA_SOURCE_DIR "/plugins/designer/TKEYMORA.bmp"));
    ASSERT_FALSE(Bitmap.isNull());
    EXPECT_EQ(Bitmap.size(), QSize(24, 24));
    ASSERT_EQ(Bitmap.format(), QImage::Format_Indexed8);
    ASSERT_EQ(Bitmap.colorCount(), 16);
    for (int I = 0; I < 16; ++I) EXPECT_EQ(Bitmap.color(I), Standard16[I]) << I;
    for (const PixelCase& P : Pixels) EXPECT_EQ(Bitmap.pixelIndex(P.X, P.Y), P.Index) << P.What;
    // The one-pixel border all round.
    for (int I = 0; I < 24; ++I) {
        EXPECT_EQ(Bitmap.pixelIndex(I, 0), 5);
        EXPECT_EQ(Bitmap.pixelIndex(I, 23), 5);
        EXPECT_EQ(Bitmap.pixelIndex(0, I), 5);
        EXPECT_EQ(Bitmap.pixelIndex(23, I), 5);
    }
}

#ifdef KEYMORA_DESIGNER_PLUGIN
class DesignerPlugin : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureApplication();
        Loader = std::make_unique<QPluginLoader>(QStringLiteral(KEYMORA_DESIGNER_PLUGIN));
        ASSERT_TRUE(Loader->load()) << Loader->errorString().toStdString();
        Plugin = qobject_cast<QDesignerCustomWidgetInterface*>(Loader->instance());
        ASSERT_TRUE(Plugin);
    }
    std::unique_ptr<QPluginLoader> Loader;
    QDesignerCustomWidgetInterface* Plugin = nullptr;
};

TEST_F(DesignerPlugin, OffersTheWidgetOnThePageMusic) {
    EXPECT_EQ(Plugin->group(), QStringLiteral("Music"));
    EXPECT_EQ(Plugin->name(), QStringLiteral("KeymoraWidget"));
    EXPECT_EQ(Plugin->includeFile(), QStringLiteral("keymora/qt/keymora_widget.h"));
    EXPECT_FALSE(Plugin->isContainer());
    EXPECT_FALSE(Plugin->toolTip().isEmpty());
    EXPECT_FALSE(Plugin->whatsThis().isEmpty());
    EXPECT_TRUE(Plugin->domXml().contains(QStringLiteral("class=\"KeymoraWidget\"")));
}

TEST_F(DesignerPlugin, IconIsThePaletteBitmapWithItsBorderColourTransparent) {
    const QImage Icon =
        Plugin->icon().pixmap(24, 24).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(Icon.size(), QSize(24, 24));
    for (const PixelCase& P : Pixels) {
        const QRgb Pixel = Icon.pixel(P.X, P.Y);
        if (P.Index == 5) {
            EXPECT_EQ(qAlpha(Pixel), 0) << P.What;
        } else {
            EXPECT_EQ(Pixel, Standard16[P.Index]) << P.What;
        }
    }
}

TEST_F(DesignerPlugin, CreatesAKeyboardWithTheInitialValues) {
    QWidget Form;
    std::unique_ptr<QWidget> W(Plugin->createWidget(&Form));
    auto* K = qobject_cast<KeymoraWidget*>(W.get());
    ASSERT_TRUE(K);
    EXPECT_EQ(K->parentWidget(), &Form);
    EXPECT_EQ(K->octave(), 5);
    EXPECT_EQ(K->durationWidth(), 6);
    EXPECT_EQ(K->keys(), QStringLiteral("CDEFGAB"));
}

// The entry names exactly what a new control saves and the widget offers (the font and Ctl3D
// have no property of the widget's own), in declaration order, each value as uic reads it.
TEST_F(DesignerPlugin, NewWidgetFormEntryNamesTheStoredProperties) {
    QXmlStreamReader Xml(Plugin->domXml());
    std::vector<std::string> Entries;
    while (!Xml.atEnd()) {
        Xml.readNext();
        if (!Xml.isStartElement() || Xml.name() != QLatin1String("property")) continue;
        std::string Entry = Xml.attributes().value(QLatin1String("name")).toString().toStdString();
        if (Entry != "geometry") {
            Xml.readNextStartElement();
            Entry += " " + Xml.name().toString().toStdString() + " " +
                     Xml.readElementText().toStdString();
        }
        Entries.push_back(Entry);
    }
    ASSERT_FALSE(Xml.hasError()) << Xml.errorString().toStdString();
    EXPECT_EQ(Entries, (std::vector<std::string>{
                           "geometry",
                           "orientation enum KeymoraWidget::koHorizontal",
                           "musicStyle set KeymoraWidget::msShowMarks|KeymoraWidget::msColorOctave|"
                           "KeymoraWidget::msScrollDuration|KeymoraWidget::msScrollOctave",
                           "durationWidth number 6",
                           "autoTone enum KeymoraWidget::atAutoMajor",
                           "keys string CDEFGAB",
                           "ctrlMove bool false",
                       }));
}

#ifdef KEYMORA_HAVE_UITOOLS
TEST_F(DesignerPlugin, NewWidgetFormEntryHoldsTheInitialValues) {
    // What Designer puts on a form for a new keyboard: a 600 x 100 widget whose written
    // properties are exactly a new widget's values.
    QBuffer Dom;
    Dom.setData(Plugin->domXml().toUtf8());
    Dom.open(QIODevice::ReadOnly);
    QUiLoader L;
    L.clearPluginPaths();
    L.addPluginPath(QFileInfo(QStringLiteral(KEYMORA_DESIGNER_PLUGIN)).path());
    std::unique_ptr<QWidget> W(L.load(&Dom));
    auto* K = qobject_cast<KeymoraWidget*>(W.get());
    ASSERT_TRUE(K);
    EXPECT_EQ(K->size(), QSize(600, 100));
    KeymoraWidget Fresh;
    const QMetaObject& M = KeymoraWidget::staticMetaObject;
    for (int I = M.propertyOffset(); I < M.propertyCount(); ++I) {
        const char* Name = M.property(I).name();
        EXPECT_EQ(K->property(Name), Fresh.property(Name)) << Name;
    }
}
#endif
#endif

}  // namespace
}  // namespace keymora::test
