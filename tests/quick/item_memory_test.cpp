// Nothing is allocated on the item's own input and paint paths once it is warm: its mouse and
// key handlers (the control's steps, the note signals, the repaint requests) and its paint()
// into the node's image, full and clipped, at ratios 1 and 2. As the widget's check leaves out
// Qt's own costs (event delivery, QPainter::begin), the item stands outside a window, where Qt
// Quick schedules no frames, its handlers are called as its window calls them, and the node's
// painters stay begun. Allocations are counted by wrapping malloc for the whole test program
// (left out under AddressSanitizer).
#include <gtest/gtest.h>

#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>

#include "quick_support.h"
#include "support/malloc_counter.h"

using keymora::test::Allocations;

namespace keymora::test {
namespace {

// The item with its event handlers reachable.
struct OpenItem : KeymoraItem {
    using KeymoraItem::keyPressEvent;
    using KeymoraItem::keyReleaseEvent;
    using KeymoraItem::mousePressEvent;
    using KeymoraItem::mouseReleaseEvent;
};

class ItemMemory : public ::testing::TestWithParam<double> {
  protected:
    static void SetUpTestSuite() { EnsureQuickApplication(); }
};

TEST_P(ItemMemory, WarmPaintsAndInputAllocateNothing) {
    if (!KEYMORA_COUNT_MALLOC) GTEST_SKIP() << "malloc is not wrapped under AddressSanitizer";
    const double Ratio = GetParam();
    OpenItem Item;
    Item.setSize(QSizeF(1200, 160));
    int Notes = 0;
    QObject::connect(&Item, &KeymoraItem::noteOn, [&](int, int) { ++Notes; });
    QImage Node(qRound(1200 * Ratio), qRound(160 * Ratio), QImage::Format_RGB32);
    Node.setDevicePixelRatio(Ratio);
    QImage Clipped = Node;
    QPainter Whole(&Node);
    QPainter Part(&Clipped);
    const QRect C4 = Item.noteRect(60);
    Part.setClipRect(C4.united(Item.noteRect(64)));
    const QPointF At(C4.center().x(), C4.bottom() - 10);
    QMouseEvent Down(QEvent::MouseButtonPress, At, At, At, Qt::LeftButton, Qt::LeftButton,
                     Qt::NoModifier);
    QMouseEvent Up(QEvent::MouseButtonRelease, At, At, At, Qt::LeftButton, Qt::NoButton,
                   Qt::NoModifier);
    QKeyEvent KeyDown(QEvent::KeyPress, Qt::Key_E, Qt::NoModifier, QStringLiteral("e"));
    QKeyEvent KeyUp(QEvent::KeyRelease, Qt::Key_E, Qt::NoModifier, QStringLiteral("e"));
    auto Round = [&] {
        Item.mousePressEvent(&Down);
        Item.paint(&Part);
        Item.mouseReleaseEvent(&Up);
        Item.keyPressEvent(&KeyDown);
        Item.paint(&Part);
        Item.keyReleaseEvent(&KeyUp);
        Item.lightNote(67);
        Item.paint(&Whole);
        Item.unlightNote(67);
        Item.paint(&Part);
    };
    Round();  // warm: fonts, glyphs, faces, the kept picture
    const long long Before = Allocations.load();
    for (int I = 0; I < 10; ++I) Round();
    EXPECT_EQ(Allocations.load() - Before, 0);
    EXPECT_EQ(Notes, 22);  // the input did play: a click and a key per round
}

INSTANTIATE_TEST_SUITE_P(Ratios, ItemMemory, ::testing::Values(1.0, 2.0));

}  // namespace
}  // namespace keymora::test
