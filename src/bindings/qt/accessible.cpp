// The accessible tree under a keyboard (KeymoraWidget here; the Qt Quick item's root lives
// with that binding). The widget's root is a QAccessibleWidget made by the factory; its children are plain interfaces made on first request and owned by Qt's accessible cache
// once registered. Where a child lies, and whether it can be pressed, comes from the control's
// own hit testing: a child is shown when some client point hits it, and its press action is a
// mouse press and release at such a point through the control's input steps.
#include "keymora/qt/accessible.h"

#include "bindings/qt/accessible_hooks.h"
#include "bindings/qt/accessible_tree.h"

#include <QtCore/QHash>
#include <QtCore/QVariant>
#include <QtGui/QAccessible>
#include <QtWidgets/QAccessibleWidget>
#include <algorithm>
#include <array>
#include <bitset>
#include <optional>
#include <utility>

#include "keymora/qt/keymora_widget.h"
#include "keymora/layout/layout.h"
#include "keymora/model/keymora.h"
#include "keymora/pitch/duration.h"
#include "keymora/pitch/pitch.h"

namespace keymora::qt {

namespace {

using namespace a11y;

AnnouncementHandler Handler = nullptr;


/// A key of the pitch-ordered list: white key P, or the black key after it.
struct KeyRef {
    int P = 0;
    bool Black = false;
};

/// The keys in pitch order, as the children list them.
struct KeyTable {
    std::array<KeyRef, KeyCount> Keys{};
    KeyTable() {
        for (int N = 0; N < KeyCount; ++N) {
            const TKey Key = TKey::FromOrdinal(N);
            Keys[static_cast<std::size_t>(N)] = {Key.Index(), Key.Black()};
        }
    }
};

const KeyTable& Table() {
    static const KeyTable T;
    return T;
}

bool IsKey(int I) {
    return I >= FirstKey && I < FirstKey + KeyCount;
}
bool IsDuration(int I) {
    return I >= FirstDuration && I < FirstDuration + DurationCount;
}
bool IsButton(int I) {
    return I >= FirstButton && I < FirstButton + ButtonCount;
}
KeyRef KeyOf(int I) {
    return Table().Keys[static_cast<std::size_t>(I - FirstKey)];
}
TKey PitchOf(const KeyRef& Key) {
    return Key.Black ? TKey::BlackAfter(Key.P) : TKey::White(Key.P);
}

QString Latin1(std::string_view Text) {
    return QLatin1String(Text.data(), static_cast<qsizetype>(Text.size()));
}

// The buttons in child order: the two duration scroll buttons, then the zone buttons.
enum class Button : std::uint8_t {
    DurationUp,
    DurationDown,
    OctaveDown,
    MoreOctaves,
    FewerOctaves,
    OctaveUp,
    MoreDurations,
    FewerDurations
};
Button ButtonOf(int I) {
    return static_cast<Button>(I - FirstButton);
}
TZoneButton ZoneOf(Button B) {
    return static_cast<TZoneButton>(static_cast<int>(B) - static_cast<int>(Button::OctaveDown));
}

QString ButtonName(Button B) {
    switch (B) {
        case Button::DurationUp:
            return QStringLiteral("Show shorter durations");
        case Button::DurationDown:
            return QStringLiteral("Show longer durations");
        case Button::OctaveDown:
            return QStringLiteral("Scroll to lower octaves");
        case Button::MoreOctaves:
            return QStringLiteral("Show more octaves");
        case Button::FewerOctaves:
            return QStringLiteral("Show fewer octaves");
        case Button::OctaveUp:
            return QStringLiteral("Scroll to higher octaves");
        case Button::MoreDurations:
            return QStringLiteral("Show more durations");
        case Button::FewerDurations:
            return QStringLiteral("Show fewer durations");
    }
    return {};
}

/// "quarter (1/4)": the musician's name of duration position D, with the cell's label.
QString DurationName(int D) {
    if (D < 0 || D >= DurationCount) return {};
    return QStringLiteral("%1 (%2)").arg(Latin1(keymora::DurationName(D)),
                                         Latin1(TDurationLabel(D).View()));
}

/// The PC key that plays white key W in the current octave, or 0.
char PcKeyFor(const TKeymora& K, int W) {
    const int Position = W - WhiteKeyIndex(K.Octave(), 1) + 1;  // 1-based in Keys
    const std::string& Keys = K.Keys();
    if (Position < 1 || Position > static_cast<int>(Keys.size())) return 0;
    auto Upper = [](char C) { return C >= 'a' && C <= 'z' ? static_cast<char>(C - 32) : C; };
    const char C = Upper(Keys[static_cast<std::size_t>(Position - 1)]);
    if (C >= '1' && C <= '9') return 0;  // digits choose the octave first
    for (int I = 0; I + 1 < Position; ++I)
        if (Upper(Keys[static_cast<std::size_t>(I)]) == C) return 0;  // an earlier one plays
    return C;
}

/// The roots that exist, by keyboard. A keyboard nobody has asked about has none, and nothing
/// to announce: its root, once asked for, starts from the keyboard as it is then.
QHash<const QObject*, AccessibleKeyboard*>& Roots() {
    static QHash<const QObject*, AccessibleKeyboard*> Map;
    return Map;
}

/// A key, duration cell, button or value under the keyboard.
class KeymoraChild : public QAccessibleInterface,
                     public QAccessibleActionInterface,
                     public QAccessibleValueInterface {
  public:
    KeymoraChild(AccessibleKeyboard* Root, int Index) : Root_(Root), Index_(Index) {}

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QString text(QAccessible::Text T) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType T) override;

    QStringList actionNames() const override;
    void doAction(const QString& Name) override;
    QStringList keyBindingsForAction(const QString& Name) const override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant& Value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override { return 1; }

  private:
    bool IsValue() const { return Index_ == OctaveValue || Index_ == DurationValue; }
    AccessibleKeyboard* Root_;
    int Index_;
};

/// The widget's root: Qt's widget interface, with the keyboard's tree.
class WidgetRoot : public QAccessibleWidget, public AccessibleKeyboard {
  public:
    explicit WidgetRoot(KeymoraWidget* W)
        : QAccessibleWidget(W, QAccessible::Grouping), AccessibleKeyboard(this, W) {
        Start();
    }

    KeymoraWidget* Keyboard() const { return static_cast<KeymoraWidget*>(widget()); }
    TKeymora& Control() const override { return Keyboard()->control(); }
    bool Enabled() const override { return widget()->isEnabled(); }
    bool HasFocus() const override { return widget()->hasFocus(); }
    QPoint ToGlobal(QPoint P) const override { return widget()->mapToGlobal(P); }
    QPoint FromGlobal(QPoint P) const override { return widget()->mapFromGlobal(P); }
    void SetOctave(int O) override { Keyboard()->setOctave(O); }
    void SetDurationPosition(int D) override { Keyboard()->setDurationPosition(D); }

    QString text(QAccessible::Text T) const override {
        if (T == QAccessible::Name || T == QAccessible::Description || T == QAccessible::Value)
            return RootText(T, widget()->accessibleName(), widget()->accessibleDescription());
        return QAccessibleWidget::text(T);
    }
    int childCount() const override { return ChildCount; }
    QAccessibleInterface* child(int I) const override { return Child(I); }
    int indexOfChild(const QAccessibleInterface* C) const override { return IndexOfChild(C); }
    QAccessibleInterface* childAt(int X, int Y) const override { return ChildAt(X, Y); }
    QAccessibleInterface* focusChild() const override { return FocusChild(); }
};

}  // namespace

// ---- The tree ----

AccessibleKeyboard::AccessibleKeyboard(QAccessibleInterface* Self, QObject* Object)
    : Self_(Self), Object_(Object) {
    Roots().insert(Object, this);
}

AccessibleKeyboard::~AccessibleKeyboard() {
    Roots().remove(Object_);
    for (QAccessible::Id Id : Ids_)
        if (Id) QAccessible::deleteAccessibleInterface(Id);
}

void AccessibleKeyboard::Start() {
    Duration_ = Control().DurationPosition();
    Shown_ = ShownChildren();
}

AccessibleKeyboard* AccessibleKeyboard::Of(const QObject* Object) {
    return Roots().value(Object, nullptr);
}

QString AccessibleKeyboard::RootText(QAccessible::Text T, const QString& Name,
                                     const QString& Description) const {
    switch (T) {
        case QAccessible::Name:
            return Name.isEmpty() ? QStringLiteral("Piano keyboard") : Name;
        case QAccessible::Description:
            return Description.isEmpty()
                       ? QStringLiteral(
                             "88 keys from A0 to C8 and a row of note durations. The letter "
                             "keys play the current octave, Shift plays black keys, the "
                             "digits 1 to 9 choose the octave, the arrows step the octave "
                             "and the duration.")
                       : Description;
        case QAccessible::Value:
            return QStringLiteral("octave %1, %2")
                .arg(Control().Octave() - 1)
                .arg(DurationName(Control().DurationPosition()));
        default:
            return {};
    }
}

QAccessibleInterface* AccessibleKeyboard::Child(int I) const {
    if (I < 0 || I >= ChildCount) return nullptr;
    QAccessible::Id& Id = Ids_[static_cast<std::size_t>(I)];
    if (!Id)
        Id = QAccessible::registerAccessibleInterface(
            new KeymoraChild(const_cast<AccessibleKeyboard*>(this), I));
    return QAccessible::accessibleInterface(Id);
}

int AccessibleKeyboard::IndexOfChild(const QAccessibleInterface* C) const {
    if (!C) return -1;
    const QAccessible::Id Id = QAccessible::uniqueId(const_cast<QAccessibleInterface*>(C));
    for (int I = 0; I < ChildCount; ++I)
        if (Ids_[static_cast<std::size_t>(I)] == Id) return I;
    return -1;
}

QAccessibleInterface* AccessibleKeyboard::ChildAt(int X, int Y) const {
    const QPoint P = FromGlobal(QPoint(X, Y));
    const TKeymora& K = Control();
    if (!QRect(0, 0, K.ClientWidth(), K.ClientHeight()).contains(P)) return nullptr;
    const int I = ChildAtClient(P.x(), P.y());
    return I >= 0 ? Child(I) : nullptr;
}

QAccessibleInterface* AccessibleKeyboard::FocusChild() const {
    return HasFocus() ? Child(OctaveKey()) : nullptr;
}


int AccessibleKeyboard::ChildAtClient(int X, int Y) const {
    const TKeymora& K = Control();
    const THit Hit = K.Layout().HitTest(X, Y);
    switch (Hit.Region) {
        case THitRegion::Key:
            return Hit.BlackKey >= 0 ? KeyChild(Hit.BlackKey, true) : KeyChild(Hit.WhiteKey, false);
        case THitRegion::DurationCell: {
            const int D = K.OffsetDuration() + Hit.Cell;
            return D < K.MaxDuration() ? FirstDuration + D : -1;
        }
        case THitRegion::DurationUp:
            return FirstButton + static_cast<int>(Button::DurationUp);
        case THitRegion::DurationDown:
            return FirstButton + static_cast<int>(Button::DurationDown);
        case THitRegion::ZoneButton:
            return FirstButton + static_cast<int>(Button::OctaveDown) +
                   static_cast<int>(Hit.Button);
        case THitRegion::None:
            break;
    }
    return -1;
}

int AccessibleKeyboard::OctaveKey() const {
    return KeyChild(std::max(0, WhiteKeyIndex(Control().Octave(), 1)), false);
}

/// What child I stands for in the layout; false for the values, and for a duration beyond
/// MaxDuration or scrolled away.
bool AccessibleKeyboard::TargetOf(int I, TTarget& T) const {
    const TKeymora& K = Control();
    if (IsKey(I)) {
        const KeyRef Key = KeyOf(I);
        T.Kind = Key.Black ? TTargetKind::BlackKey : TTargetKind::WhiteKey;
        T.Index = Key.P;
        return true;
    }
    if (IsDuration(I)) {
        const int D = I - FirstDuration;
        if (D >= K.MaxDuration()) return false;
        T.Kind = TTargetKind::DurationCell;
        T.Index = D - K.OffsetDuration();
        return true;
    }
    if (IsButton(I)) {
        const Button B = ButtonOf(I);
        T.Kind = B == Button::DurationUp     ? TTargetKind::DurationUp
                 : B == Button::DurationDown ? TTargetKind::DurationDown
                                             : TTargetKind::ZoneButton;
        if (T.Kind == TTargetKind::ZoneButton) T.Button = ZoneOf(B);
        return true;
    }
    return false;
}

std::optional<TPoint> AccessibleKeyboard::PressPoint(int I) const {
    TTarget T;
    TPoint P;
    if (!TargetOf(I, T) || !Control().Layout().PressPoint(T, P)) return std::nullopt;
    return P;
}

bool AccessibleKeyboard::Shown(int I) const {
    return I == OctaveValue || I == DurationValue || PressPoint(I);
}

QRect AccessibleKeyboard::ClientRect(int I) const {
    const TLayout L = Control().Layout();
    TRect R{};
    TTarget T;
    TPoint P;
    if (I == OctaveValue) {
        R = L.KeyArea();
    } else if (I == DurationValue) {
        R = L.Strip();
    } else if (!TargetOf(I, T) || !L.PressPoint(T, P) || !L.DrawnArea(T, R)) {
        return {};
    }
    // The control's client area, not the host's: Qt resizes a hidden widget without a resize
    // event, and the layout keeps the size the control last had until it is shown.
    const TKeymora& K = Control();
    return QRect(R.Left, R.Top, R.Right - R.Left, R.Bottom - R.Top)
        .intersected(QRect(0, 0, K.ClientWidth(), K.ClientHeight()));
}

bool AccessibleKeyboard::Press(int I) {
    if (!Enabled()) return false;
    const std::optional<TPoint> P = PressPoint(I);
    if (!P) return false;
    TKeymora& K = Control();
    K.MouseDown(mbLeft, TShiftState{ssLeft}, P->X, P->Y);
    K.MouseUp(mbLeft, TShiftState{}, P->X, P->Y);
    return true;
}

void AccessibleKeyboard::AnnounceKeyState(int P, bool Black, int Old, int New) {
    const int I = KeyChild(P, Black);
    if (I < 0) return;
    QAccessible::State Changed;
    Changed.pressed = (Old == ksPressed) != (New == ksPressed);
    Changed.selected = (Old == ksSelected) != (New == ksSelected);
    Post(QAccessibleStateChangeEvent(Object_, Changed), I);
}

// Octave: a value change, and focus to the octave's first key; duration: a value change and the
// checked cells; what came into view or left it; the names of the black keys after an AutoTone
// change.
void AccessibleKeyboard::Changed(const TChange& C) {
    const TKeymora& K = Control();
    const bool Focused = HasFocus();
    switch (C.Kind) {
        case TChangeKind::KeyState:
            AnnounceKeyState(C.Index, C.Black, C.OldState, C.NewState);
            return;
        case TChangeKind::Focus:
            if (Focused) Post(QAccessibleEvent(Object_, QAccessible::Focus), OctaveKey());
            return;
        case TChangeKind::Layout:
            UpdateShown();
            return;
        case TChangeKind::Property:
            break;
    }
    if (C.Property == "Octave") {
        Post(QAccessibleValueChangeEvent(Object_, K.Octave() - 1), OctaveValue);
        // Focus follows the octave while the keyboard has it.
        if (Focused) Post(QAccessibleEvent(Object_, QAccessible::Focus), OctaveKey());
    } else if (C.Property == "DurationPosition") {
        const int Was = std::exchange(Duration_, K.DurationPosition());
        Post(QAccessibleValueChangeEvent(Object_, Duration_), DurationValue);
        QAccessible::State Checked;
        Checked.checked = true;
        for (int D : {Was, Duration_})
            if (D >= 0 && D < DurationCount)
                Post(QAccessibleStateChangeEvent(Object_, Checked), FirstDuration + D);
    } else if (C.Property == "AutoTone") {
        for (const KeyRef& Key : Table().Keys)
            if (Key.Black)
                Post(QAccessibleEvent(Object_, QAccessible::NameChanged), KeyChild(Key.P, true));
    } else if (C.Property != "Keys" && C.Property != "MouseTrack" && C.Property != "CtrlMove" &&
               C.Property != "DurationWidth") {
        // Everything else moves or limits what is shown.
        UpdateShown();
    }
}

/// Posts the children that came into view or left it.
void AccessibleKeyboard::UpdateShown() {
    const std::bitset<ChildCount> Now = ShownChildren();
    const std::bitset<ChildCount> Flipped = Now ^ Shown_;
    Shown_ = Now;
    QAccessible::State Visibility;
    Visibility.invisible = true;
    Visibility.offscreen = true;
    for (int I = 0; I < ChildCount; ++I)
        if (Flipped.test(static_cast<std::size_t>(I)))
            Post(QAccessibleStateChangeEvent(Object_, Visibility), I);
}

std::bitset<ChildCount> AccessibleKeyboard::ShownChildren() const {
    std::bitset<ChildCount> Now;
    for (int I = 0; I < ChildCount; ++I)
        if (Shown(I)) Now.set(static_cast<std::size_t>(I));
    return Now;
}

template <class Event>
void AccessibleKeyboard::Post(Event&& E, int Child) {
    if (!Announcing()) return;
    E.setChild(Child);
    if (Handler) Handler(&E);
    QAccessible::updateAccessibility(&E);
}

namespace {

// ---- Children ----

bool KeymoraChild::isValid() const {
    return Root_ && Root_->Self()->isValid();
}

QWindow* KeymoraChild::window() const {
    return Root_->Self()->window();
}

QAccessibleInterface* KeymoraChild::parent() const {
    return Root_->Self();
}

QString KeymoraChild::text(QAccessible::Text T) const {
    const TKeymora& K = Root_->Control();
    if (IsKey(Index_)) {
        const KeyRef Key = KeyOf(Index_);
        const TKey Pitch = PitchOf(Key);
        // The letter whose PC key plays the key: with Shift, that of the white key whose sharp
        // or flat it is.
        const char Pc = PcKeyFor(K, Pitch.ShiftedName(K.AutoTone()).WhiteKey());
        switch (T) {
            case QAccessible::Name:
                return Latin1(Pitch.Name(K.AutoTone()).SpokenText().View());
            case QAccessible::Description: {
                QString D = Key.Black ? QStringLiteral("black key, %1 / %2")
                                            .arg(Latin1(Pitch.Name(atDiesis).SpokenText().View()),
                                                 Latin1(Pitch.Name(atBemol).SpokenText().View()))
                                      : QStringLiteral("white key");
                if (Pc) D += QStringLiteral(", PC key %1%2").arg(Key.Black ? "Shift+" : "").arg(Pc);
                return D;
            }
            case QAccessible::Accelerator:
                return Pc ? QStringLiteral("%1%2").arg(Key.Black ? "Shift+" : "").arg(Pc)
                          : QString();
            default:
                return {};
        }
    }
    if (T == QAccessible::Name) {
        if (Index_ == OctaveValue) return QStringLiteral("Octave");
        if (Index_ == DurationValue) return QStringLiteral("Duration");
        if (IsDuration(Index_)) return DurationName(Index_ - FirstDuration);
        if (IsButton(Index_)) return ButtonName(ButtonOf(Index_));
    }
    if (T == QAccessible::Value && Index_ == OctaveValue) {
        const int O = K.Octave();
        if (O == 1) return QStringLiteral("0, A0 to B0");
        if (O == 9) return QStringLiteral("8, C8");
        return QStringLiteral("%1, C%1 to B%1").arg(O - 1);
    }
    if (T == QAccessible::Value && Index_ == DurationValue)
        return DurationName(K.DurationPosition());
    if (T == QAccessible::Description && IsDuration(Index_)) return QStringLiteral("note duration");
    return {};
}

QRect KeymoraChild::rect() const {
    const QRect R = Root_->ClientRect(Index_);
    if (R.isEmpty()) return {};
    return QRect(Root_->ToGlobal(R.topLeft()), R.size());
}

QAccessible::Role KeymoraChild::role() const {
    if (IsValue()) return QAccessible::SpinBox;
    if (IsDuration(Index_)) return QAccessible::RadioButton;
    return QAccessible::Button;
}

QAccessible::State KeymoraChild::state() const {
    const TKeymora& K = Root_->Control();
    QAccessible::State S;
    S.disabled = !Root_->Enabled();
    if (!Root_->Shown(Index_)) {
        S.invisible = true;
        S.offscreen = true;
    }
    if (IsKey(Index_)) {
        const KeyRef Key = KeyOf(Index_);
        const std::uint8_t State =
            (Key.Black ? K.ToneStates() : K.KeyStates())[static_cast<std::size_t>(Key.P)];
        S.pressed = State == ksPressed;
        S.selectable = true;
        S.selected = State == ksSelected;
        S.focusable = true;
        S.focused = Index_ == Root_->OctaveKey() && Root_->HasFocus();
    } else if (IsDuration(Index_)) {
        S.checkable = true;
        S.checked = Index_ - FirstDuration == K.DurationPosition();
    } else if (IsButton(Index_)) {
        const Button B = ButtonOf(Index_);
        S.pressed = B == Button::DurationUp     ? K.DurationUpPressed()
                    : B == Button::DurationDown ? K.DurationDownPressed()
                                                : K.ZoneButtonPressed(ZoneOf(B));
    }
    return S;
}

void* KeymoraChild::interface_cast(QAccessible::InterfaceType T) {
    if (T == QAccessible::ActionInterface && !IsValue())
        return static_cast<QAccessibleActionInterface*>(this);
    if (T == QAccessible::ValueInterface && IsValue())
        return static_cast<QAccessibleValueInterface*>(this);
    return nullptr;
}

QStringList KeymoraChild::actionNames() const {
    if (!Root_->Enabled() || !Root_->PressPoint(Index_)) return {};
    return {pressAction()};
}

void KeymoraChild::doAction(const QString& Name) {
    if (Name == pressAction()) Root_->Press(Index_);
}

QStringList KeymoraChild::keyBindingsForAction(const QString& Name) const {
    const QString Key = text(QAccessible::Accelerator);
    if (Name != pressAction() || Key.isEmpty()) return {};
    return {Key};
}

QVariant KeymoraChild::currentValue() const {
    const TKeymora& K = Root_->Control();
    return Index_ == OctaveValue ? K.Octave() - 1 : K.DurationPosition();
}

void KeymoraChild::setCurrentValue(const QVariant& Value) {
    bool Ok = false;
    const int V = Value.toInt(&Ok);
    if (!Ok) return;
    if (Index_ == OctaveValue)
        Root_->SetOctave(V + 1);
    else
        Root_->SetDurationPosition(V);
}

QVariant KeymoraChild::maximumValue() const {
    return Index_ == OctaveValue ? 8 : Root_->Control().MaxDuration() - 1;
}

QVariant KeymoraChild::minimumValue() const {
    return 0;
}

QAccessibleInterface* Factory(const QString& Key, QObject* Object) {
    if (Key != QLatin1String("KeymoraWidget")) return nullptr;
    auto* W = qobject_cast<KeymoraWidget*>(Object);
    return W ? new WidgetRoot(W) : nullptr;
}

// In place when the library loads: Qt may ask for a widget's interface as soon as it exists.
const bool Installed = [] {
    QAccessible::installFactory(Factory);
    return true;
}();

}  // namespace

namespace a11y {

int KeyChild(int P, bool Black) {
    const TKey Key = Black ? TKey::BlackAfter(P) : TKey::White(P);
    return Key.Exists() ? FirstKey + Key.Ordinal() : -1;
}

QString WhiteKeyName(int P) {
    return Latin1(TKey::White(P).Name(atAutoMajor).Text().View());
}

}  // namespace a11y

void AttachAccessibility(KeymoraWidget&) {
    (void)Installed;
}

void AnnounceKeyboardChange(const QObject& Keyboard, const TChange& Change) {
    // Key states change on the input path: nothing is done for them while nobody listens.
    if (Change.Kind == TChangeKind::KeyState && !Announcing()) return;
    if (AccessibleKeyboard* Root = AccessibleKeyboard::Of(&Keyboard)) Root->Changed(Change);
}

void AnnounceChange(KeymoraWidget& Widget, const TChange& Change) {
    AnnounceKeyboardChange(Widget, Change);
}

bool Announcing() {
    return Handler || QAccessible::isActive();
}

AnnouncementHandler SetAnnouncementHandler(AnnouncementHandler NewHandler) {
    return std::exchange(Handler, NewHandler);
}


}  // namespace keymora::qt
