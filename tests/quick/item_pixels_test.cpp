// The item paints exactly what the widget paints: both keyboards are put in the same state and
// painted at the same size and device pixel ratio, and every pixel must match. The item is
// painted through its paint() into an image of the ratio, and once through a real window's
// scene graph (software renderer, ratio 1), which adds the node's own copy.
#include <gtest/gtest.h>

#include <QtGui/QPainter>
#include <QtTest/QTest>
#include <functional>

#include "quick_support.h"

namespace keymora::test {
namespace {

// Puts either keyboard in a state through the methods both have.
template <class K>
using Setup = void (*)(K&);

struct PictureCase {
    const char* Name;
    bool Vertical;
    void (*Widget)(KeymoraWidget&);
    void (*Item)(KeymoraItem&);
};

#define BOTH(body) [](KeymoraWidget& K) { body; }, [](KeymoraItem& K) { body; }

// A press through the control, at the middle of the key of MIDI note N.
template <class K>
void PressNote(K& Keyboard, int N) {
    const QRect R = Keyboard.noteRect(N);
    Keyboard.control().MouseDown(mbLeft, TShiftState{ssLeft}, R.center().x(), R.center().y());
}

const PictureCase Cases[] = {
    {"Defaults", false, BOTH((void)K)},
    {"Vertical", true, BOTH(K.setOrientation(std::decay_t<decltype(K)>::koVertical))},
    {"ScrolledOctave", false, BOTH(K.setOffsetOctave(3))},
    {"PressedWhiteKey", false, BOTH(PressNote(K, 60))},
    {"PressedBlackKeyVertical", true,
     BOTH(K.setOrientation(std::decay_t<decltype(K)>::koVertical); PressNote(K, 61))},
    {"ColouredKeys", false,
     BOTH(K.setNoteColor(62, QColor(0, 160, 0)); K.setNoteColor(63, QColor(200, 0, 200)))},
    {"LitKeys", false, BOTH(for (int N : {60, 64, 67, 70}) K.lightNote(N))},
    {"ClassicFacesAndNames", false,
     BOTH(K.setThemed(false); K.setNoteNames(true); K.setOffsetDuration(2))},
    {"NoScrollStyles", false,
     BOTH(K.setMusicStyle(std::decay_t<decltype(K)>::msShowMarks); K.lightNote(21))},
};

QImage Blank(int W, int H, qreal Ratio) {
    QImage I(qRound(W * Ratio), qRound(H * Ratio), QImage::Format_RGB32);
    I.setDevicePixelRatio(Ratio);
    // What the control leaves unpainted shows its colour, as a window over its own background
    // does.
    I.fill(Qt::white);
    return I;
}

// The first differing pixel, or an empty string when the pictures are equal.
std::string Difference(const QImage& A, const QImage& B) {
    if (A.size() != B.size()) return "sizes differ";
    for (int Y = 0; Y < A.height(); ++Y)
        for (int X = 0; X < A.width(); ++X)
            if (A.pixel(X, Y) != B.pixel(X, Y))
                return "pixel (" + std::to_string(X) + ", " + std::to_string(Y) + "): widget " +
                       QString::number(A.pixel(X, Y), 16).toStdString() + ", item " +
                       QString::number(B.pixel(X, Y), 16).toStdString();
    return {};
}

class ItemPixels : public ::testing::TestWithParam<std::tuple<PictureCase, double>> {
  protected:
    static void SetUpTestSuite() { EnsureQuickApplication(); }
};

TEST_P(ItemPixels, ItemPaintsTheWidgetsPicture) {
    const auto& [Case, Ratio] = GetParam();
    const int W = Case.Vertical ? 100 : 600;
    const int H = Case.Vertical ? 600 : 100;
    KeymoraWidget Widget;
    Widget.resize(W, H);
    Widget.ensurePolished();
    Case.Widget(Widget);
    KeymoraItem Item;
    Item.setSize(QSizeF(W, H));
    Case.Item(Item);

    QImage FromWidget = Blank(W, H, Ratio);
    Widget.render(&FromWidget);
    QImage FromItem = Blank(W, H, Ratio);
    {
        QPainter P(&FromItem);
        Item.paint(&P);
    }
    EXPECT_EQ(Difference(FromWidget, FromItem), "");
    // A second paint after a change repaints only what the control invalidated, and still
    // gives the widget's picture.
    Item.lightNote(72);
    Widget.lightNote(72);
    FromWidget = Blank(W, H, Ratio);
    Widget.render(&FromWidget);
    {
        QPainter P(&FromItem);
        const QRect Key = Item.noteRect(72);
        P.setClipRect(Key);
        Item.paint(&P);
    }
    EXPECT_EQ(Difference(FromWidget, FromItem), "");
}

std::string CaseName(const ::testing::TestParamInfo<std::tuple<PictureCase, double>>& Info) {
    const double R = std::get<1>(Info.param);
    return std::string(std::get<0>(Info.param).Name) + "_x" +
           std::to_string(static_cast<int>(R * 10));
}

INSTANTIATE_TEST_SUITE_P(States, ItemPixels,
                         ::testing::Combine(::testing::ValuesIn(Cases),
                                            ::testing::Values(1.0, 1.5, 2.0)),
                         CaseName);

// Through a window: the scene graph's painted node, its dirty-rectangle repaints and the
// window's grab show the widget's picture.
TEST(ItemInWindow, SceneGraphShowsTheWidgetsPicture) {
    EnsureQuickApplication();
    ItemWindow Shown(600, 100);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Shown.Window));
    KeymoraWidget Widget;
    Widget.resize(600, 100);
    Widget.ensurePolished();
    for (auto* K : {static_cast<QObject*>(&Widget), static_cast<QObject*>(Shown.Item)}) {
        K->setProperty("offsetOctave", 2);
        QMetaObject::invokeMethod(K, "lightNote", Q_ARG(int, 64));
    }
    QImage FromWidget = Blank(600, 100, 1);
    auto Compare = [&] {
        Widget.render(&FromWidget);
        const QImage Grabbed = Shown.Window.grabWindow().convertToFormat(QImage::Format_RGB32);
        return Difference(FromWidget, Grabbed);
    };
    // Neither holds the focus, which the keyboard marks (the widget would need an active window
    // of its own, taking the item's).
    Shown.Item->setFocus(false);
    ASSERT_FALSE(Shown.Item->hasActiveFocus());
    EXPECT_EQ(Compare(), "");
    // A change after the first frame repaints through update(rect).
    Widget.setNoteColor(65, QColor(0, 0, 255));
    Shown.Item->setNoteColor(65, QColor(0, 0, 255));
    EXPECT_EQ(Compare(), "");
}

}  // namespace
}  // namespace keymora::test
