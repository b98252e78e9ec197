// The accessible tree under a keyboard, whatever Qt item shows it: keys, duration cells, buttons
// and the two values at fixed indices (keymora/qt/accessible.h), their names, states, rectangles
// and press actions, and the announcements of what changes. A binding's root interface derives
// from its own Qt base (QAccessibleWidget for KeymoraWidget, QAccessibleObject for the Qt Quick
// item) and from AccessibleKeyboard, which answers for the keyboard through a few host calls.
#pragma once

#include <QtCore/QPoint>
#include <QtCore/QString>
#include <QtGui/QAccessible>
#include <array>
#include <bitset>
#include <optional>

#include "keymora/host/types.h"
#include "keymora/qt/accessible.h"

class QObject;

namespace keymora {
class TKeymora;
struct TChange;
struct TTarget;
}  // namespace keymora

namespace keymora::qt {

class AccessibleKeyboard {
  public:
    /// The tree of the keyboard Object, whose root interface is Self.
    AccessibleKeyboard(QAccessibleInterface* Self, QObject* Object);
    virtual ~AccessibleKeyboard();
    AccessibleKeyboard(const AccessibleKeyboard&) = delete;
    AccessibleKeyboard& operator=(const AccessibleKeyboard&) = delete;

    /// The tree of a keyboard, if its root exists.
    static AccessibleKeyboard* Of(const QObject* Object);

    // What the tree asks of the keyboard.
    virtual TKeymora& Control() const = 0;
    virtual bool Enabled() const = 0;
    virtual bool HasFocus() const = 0;
    /// Client point to screen, and back.
    virtual QPoint ToGlobal(QPoint Client) const = 0;
    virtual QPoint FromGlobal(QPoint Global) const = 0;
    virtual void SetOctave(int Octave) = 0;
    virtual void SetDurationPosition(int Position) = 0;

    QAccessibleInterface* Self() const { return Self_; }
    QObject* Object() const { return Object_; }

    /// The root's name (Name, or "Piano keyboard"), description and value.
    QString RootText(QAccessible::Text T, const QString& Name, const QString& Description) const;
    QAccessibleInterface* Child(int I) const;
    int IndexOfChild(const QAccessibleInterface* C) const;
    /// The child at screen point (X, Y); null outside the client area.
    QAccessibleInterface* ChildAt(int X, int Y) const;
    QAccessibleInterface* FocusChild() const;

    /// The child under client point (X, Y), as a press there would meet it; -1 for none.
    int ChildAtClient(int X, int Y) const;
    /// The key that stands for the current octave: its C, or A0 in octave 1.
    int OctaveKey() const;
    /// A client point where a press meets child I; none when nothing of it can be pressed now.
    std::optional<TPoint> PressPoint(int I) const;
    bool Shown(int I) const;
    /// The part of child I the control shows, in client coordinates; empty when hidden.
    QRect ClientRect(int I) const;
    /// A mouse press and release at the child's press point, through the control's steps.
    bool Press(int I);
    /// Announces a change of the control as it happens.
    void Changed(const TChange& C);

  protected:
    /// Sets up what the tree announces from; call once the host calls work.
    void Start();

  private:
    bool TargetOf(int I, TTarget& T) const;
    void AnnounceKeyState(int P, bool Black, int Old, int New);
    void UpdateShown();
    std::bitset<a11y::ChildCount> ShownChildren() const;
    template <class Event>
    void Post(Event&& E, int Child);

    QAccessibleInterface* Self_;
    QObject* Object_;
    mutable std::array<QAccessible::Id, a11y::ChildCount> Ids_{};
    int Duration_ = 0;
    std::bitset<a11y::ChildCount> Shown_;
};

/// Whether anyone listens: an assistive technology through the platform, or a handler.
bool Announcing();

/// Announces a change a keyboard's control reported, if its tree exists and anyone listens.
void AnnounceKeyboardChange(const QObject& Keyboard, const TChange& Change);

}  // namespace keymora::qt
