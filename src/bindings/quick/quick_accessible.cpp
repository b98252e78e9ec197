// The accessible root of a KeymoraItem: a plain object interface placed as a Qt Quick item is
// (its window, its rectangle on the screen, its focus), over the keyboard tree the widget has.
#include "bindings/quick/quick_accessible.h"

#include <QtGui/QAccessibleObject>
#include <QtQuick/QQuickWindow>

#include "bindings/qt/accessible_tree.h"
#include "keymora/quick/keymora_item.h"

namespace keymora::quick {

namespace {

using namespace keymora::qt::a11y;

class ItemRoot : public QAccessibleObject, public qt::AccessibleKeyboard {
  public:
    explicit ItemRoot(KeymoraItem* Item) : QAccessibleObject(Item), AccessibleKeyboard(this, Item) {
        Start();
    }

    KeymoraItem* Item() const { return static_cast<KeymoraItem*>(object()); }
    TKeymora& Control() const override { return Item()->control(); }
    bool Enabled() const override { return Item()->isEnabled(); }
    bool HasFocus() const override { return Item()->hasActiveFocus(); }
    QPoint ToGlobal(QPoint P) const override { return Item()->mapToGlobal(P).toPoint(); }
    QPoint FromGlobal(QPoint P) const override { return Item()->mapFromGlobal(P).toPoint(); }
    void SetOctave(int O) override { Item()->setOctave(O); }
    void SetDurationPosition(int D) override { Item()->setDurationPosition(D); }

    QWindow* window() const override { return Item()->window(); }
    QAccessibleInterface* parent() const override {
        if (QQuickItem* P = Item()->parentItem()) return QAccessible::queryAccessibleInterface(P);
        return Item()->window() ? QAccessible::queryAccessibleInterface(Item()->window())
                                : nullptr;
    }
    QRect rect() const override {
        return QRect(ToGlobal(QPoint(0, 0)), QSize(qRound(Item()->width()), qRound(Item()->height())));
    }
    QAccessible::Role role() const override { return QAccessible::Grouping; }
    QAccessible::State state() const override {
        QAccessible::State S;
        S.focusable = true;
        S.focused = Item()->hasActiveFocus();
        S.disabled = !Item()->isEnabled();
        S.invisible = !Item()->isVisible();
        return S;
    }
    QString text(QAccessible::Text T) const override {
        return RootText(T, QString(), QString());
    }
    int childCount() const override { return ChildCount; }
    QAccessibleInterface* child(int I) const override { return Child(I); }
    int indexOfChild(const QAccessibleInterface* C) const override { return IndexOfChild(C); }
    QAccessibleInterface* childAt(int X, int Y) const override { return ChildAt(X, Y); }
    QAccessibleInterface* focusChild() const override { return FocusChild(); }
};

QAccessibleInterface* Factory(const QString& Key, QObject* Object) {
    if (Key != QLatin1String("KeymoraItem")) return nullptr;
    auto* Item = qobject_cast<KeymoraItem*>(Object);
    return Item ? new ItemRoot(Item) : nullptr;
}

// In place when the library loads: Qt may ask for an item's interface as soon as it exists.
const bool Installed = [] {
    QAccessible::installFactory(Factory);
    return true;
}();

}  // namespace

void AttachAccessibility(KeymoraItem&) {
    (void)Installed;
}

void AnnounceChange(KeymoraItem& Item, const TChange& Change) {
    qt::AnnounceKeyboardChange(Item, Change);
}

}  // namespace keymora::quick
