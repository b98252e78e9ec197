// The item's accessible tree is the widget's: the same children at the same indices with the
// same names, roles, states, places and actions, walked side by side over every child; keys are
// named in scientific pitch, and a key's press action plays it through the item.
#include <gtest/gtest.h>

#include <QtGui/QAccessible>
#include <QtTest/QTest>
#include <cstring>

#include "keymora/qt/accessible.h"
#include "quick_support.h"

namespace keymora::test {
namespace {

using namespace keymora::qt::a11y;

quint64 StateBits(const QAccessible::State& S) {
    quint64 Bits = 0;
    static_assert(sizeof(S) == sizeof(Bits));
    std::memcpy(&Bits, &S, sizeof(Bits));
    return Bits;
}

TEST(ItemAccessible, TreeIsTheWidgets) {
    EnsureQuickApplication();
    KeymoraWidget Widget;
    Widget.resize(600, 100);
    Widget.ensurePolished();
    ItemWindow Shown(600, 100);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Shown.Window));
    Shown.Item->setFocus(false);
    for (QObject* K : {static_cast<QObject*>(&Widget), static_cast<QObject*>(Shown.Item)}) {
        K->setProperty("offsetOctave", 2);
        K->setProperty("durationPosition", 2);
        QMetaObject::invokeMethod(K, "lightNote", Q_ARG(int, 61));
    }
    QAccessibleInterface* W = QAccessible::queryAccessibleInterface(&Widget);
    QAccessibleInterface* I = QAccessible::queryAccessibleInterface(Shown.Item);
    ASSERT_TRUE(W && I);
    EXPECT_EQ(I->role(), QAccessible::Grouping);
    EXPECT_EQ(I->text(QAccessible::Name), QStringLiteral("Piano keyboard"));
    EXPECT_EQ(I->text(QAccessible::Value), W->text(QAccessible::Value));
    ASSERT_EQ(I->childCount(), ChildCount);
    ASSERT_EQ(W->childCount(), ChildCount);
    const QPoint WOrigin = W->rect().topLeft();
    const QPoint IOrigin = I->rect().topLeft();
    for (int C = 0; C < ChildCount; ++C) {
        QAccessibleInterface* WC = W->child(C);
        QAccessibleInterface* IC = I->child(C);
        ASSERT_TRUE(WC && IC) << C;
        EXPECT_EQ(IC->parent(), I);
        EXPECT_EQ(I->indexOfChild(IC), C);
        for (auto T : {QAccessible::Name, QAccessible::Description, QAccessible::Value,
                       QAccessible::Accelerator})
            EXPECT_EQ(IC->text(T), WC->text(T)) << C << " text " << T;
        EXPECT_EQ(IC->role(), WC->role()) << C;
        EXPECT_EQ(StateBits(IC->state()), StateBits(WC->state())) << C;
        const QRect WR = WC->rect();
        const QRect IR = IC->rect();
        EXPECT_EQ(IR.isEmpty(), WR.isEmpty()) << C;
        if (!WR.isEmpty()) {
            EXPECT_EQ(IR.translated(-IOrigin), WR.translated(-WOrigin)) << C;
        }
        auto* WA = WC->actionInterface();
        auto* IA = IC->actionInterface();
        EXPECT_EQ(IA == nullptr, WA == nullptr) << C;
        if (WA && IA) {
            EXPECT_EQ(IA->actionNames(), WA->actionNames()) << C;
        }
    }
    // Anchors worked out by hand: A0 first, middle C at child 40, C8 last; the checked cell.
    EXPECT_EQ(I->child(FirstKey)->text(QAccessible::Name), QStringLiteral("A0"));
    EXPECT_EQ(I->child(40)->text(QAccessible::Name), QStringLiteral("C4"));
    EXPECT_EQ(I->child(FirstKey + KeyCount - 1)->text(QAccessible::Name), QStringLiteral("C8"));
    EXPECT_TRUE(I->child(FirstDuration + 2)->state().checked);
    EXPECT_TRUE(I->child(KeyChild(23, true))->state().selected);  // C#4, lit
    EXPECT_EQ(I->child(FirstButton + 5)->text(QAccessible::Name),
              QStringLiteral("Scroll to higher octaves"));
    // Under the pointer: the child whose key is drawn there.
    const QRect C4 = I->child(40)->rect();
    EXPECT_EQ(I->childAt(C4.center().x(), C4.bottom() - 2), I->child(40));
}

TEST(ItemAccessible, PressActionPlaysTheKey) {
    EnsureQuickApplication();
    ItemWindow Shown(600, 100);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Shown.Window));
    NoteLog Log(*Shown.Item);
    QAccessibleInterface* I = QAccessible::queryAccessibleInterface(Shown.Item);
    ASSERT_TRUE(I);
    I->child(40)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    const std::vector<std::string> Expected = {"noteOn 60 100", "noteOff 60 100",
                                               "keyClick 5 1 0", "notePlayed 60 C4"};
    EXPECT_EQ(Log.Lines, Expected);
    // The octave value sets the item's octave, in scientific numbering.
    I->child(OctaveValue)->valueInterface()->setCurrentValue(2);
    EXPECT_EQ(Shown.Item->octave(), 3);
}

}  // namespace
}  // namespace keymora::test
