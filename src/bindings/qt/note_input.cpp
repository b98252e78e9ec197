// NoteInput: Qt's input events into the control's steps, as the widget translates them, for any
// Qt item that hosts a control.
#include "bindings/qt/note_input.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtGui/QTouchEvent>
#include <algorithm>

#include "bindings/qt/qt_canvas.h"
#include "bindings/qt/qt_keys.h"
#include "keymora/layout/layout.h"

namespace keymora::qt {

namespace {

QPoint ClientPixel(QPointF P, qreal Ratio) {
    return {LogicalPixel(P.x(), Ratio), LogicalPixel(P.y(), Ratio)};
}

bool IsArrow(std::uint16_t Key) {
    return Key >= vk::VK_LEFT && Key <= vk::VK_DOWN;
}

// The physical key of an event: its scan code where the platform gives one, else its Qt key
// (which does not change with Shift for letters and digits).
quint32 PhysicalKey(const QKeyEvent& E) {
    return E.nativeScanCode() ? E.nativeScanCode() : static_cast<quint32>(E.key()) | 1u << 31;
}

}  // namespace

TColor FromQColor(const QColor& C) {
    return static_cast<TColor>(C.red()) | (static_cast<TColor>(C.green()) << 8) |
           (static_cast<TColor>(C.blue()) << 16);
}

bool NoteInput::MousePress(const QMouseEvent& E, qreal Ratio, bool Double) {
    TMouseButton Button;
    if (!MouseButtonFromQt(E.button(), Button)) return false;
    TShiftState Shift = ShiftStateFromQt(E.modifiers(), E.buttons());
    if (Double && Control_.ControlStyle().Contains(TControlStyleItem::csDoubleClicks))
        Shift.Include(ssDouble);
    const QPoint P = ClientPixel(E.position(), Ratio);
    PressVelocity_ = VelocityAt(P.x(), P.y());
    Control_.MouseDown(Button, Shift, P.x(), P.y());
    PressVelocity_ = 0;
    return true;
}

void NoteInput::MouseMove(const QMouseEvent& E, qreal Ratio) {
    const QPoint P = ClientPixel(E.position(), Ratio);
    Control_.MouseMove(ShiftStateFromQt(E.modifiers(), E.buttons()), P.x(), P.y());
}

void NoteInput::Hover(QPointF Position, Qt::KeyboardModifiers Modifiers, qreal Ratio) {
    const QPoint P = ClientPixel(Position, Ratio);
    Control_.MouseMove(ShiftStateFromQt(Modifiers), P.x(), P.y());
}

bool NoteInput::MouseRelease(const QMouseEvent& E, qreal Ratio) {
    TMouseButton Button;
    if (!MouseButtonFromQt(E.button(), Button)) return false;
    const QPoint P = ClientPixel(E.position(), Ratio);
    Control_.MouseUp(Button, ShiftStateFromQt(E.modifiers(), E.buttons()), P.x(), P.y());
    return true;
}

std::intptr_t NoteInput::DialogCode() {
    TMessage Msg{wm::WM_GETDLGCODE, 0, 0, 0};
    Control_.Dispatch(Msg);
    return Msg.Result;
}

bool NoteInput::TakesTab(const QKeyEvent& E) {
    const bool Tab = E.key() == Qt::Key_Tab || E.key() == Qt::Key_Backtab;
    return Tab && !(E.modifiers() & (Qt::ControlModifier | Qt::AltModifier)) &&
           (DialogCode() & DLGC_WANTTAB);
}

bool NoteInput::DeliverKey(const QKeyEvent& E, bool Press) {
    std::uint16_t Key = VirtualKeyFromQt(E.key(), E.modifiers());
    if (Key == 0) return false;
    // Arrows are the focus chain's unless the control asks for them.
    if (IsArrow(Key) && !(DialogCode() & DLGC_WANTARROWS)) return false;
    const TShiftState Shift = ShiftStateFromQt(E.modifiers(), QGuiApplication::mouseButtons());
    if (!Press) {
        Control_.KeyUp(Key, Shift);
        return true;
    }
    Control_.KeyDown(Key, Shift);
    // The character step follows the key step for keys that type a single character.
    const QString Text = E.text();
    if (Text.size() == 1 && Text.at(0).unicode() < 0x80) {
        char C = static_cast<char>(Text.at(0).unicode());
        Control_.KeyPress(C);
    }
    return true;
}

bool NoteInput::KeyPress(const QKeyEvent& E) {
    Pressing_ = PhysicalKey(E);
    const bool Taken = DeliverKey(E, true);
    Pressing_ = 0;
    return Taken;
}

bool NoteInput::KeyRelease(const QKeyEvent& E) {
    // A held key repeats as release-press pairs on X11: the releases are not real.
    if (E.isAutoRepeat()) return true;
    const bool Taken = DeliverKey(E, false);
    // The control resolves a release against the octave, Shift and AutoTone of the moment; a
    // key this physical key pressed and that is still held would never be released otherwise.
    ReleaseHeldBy(PhysicalKey(E));
    return Taken;
}

void NoteInput::ReleaseHeldBy(quint32 Physical) {
    int Kept = 0;
    for (int I = 0; I < HeldCount_; ++I) {
        const Held H = Held_[static_cast<std::size_t>(I)];
        if (Physical == 0 || H.Physical == Physical)
            Control_.ReleaseKey(H.Index, H.Black, false);
        else
            Held_[static_cast<std::size_t>(Kept++)] = H;
    }
    HeldCount_ = Kept;
}

void NoteInput::FocusIn() {
    TMessage Msg{wm::WM_SETFOCUS, 0, 0, 0};
    Control_.Dispatch(Msg);
}

void NoteInput::FocusOut() {
    TMessage Msg{wm::WM_KILLFOCUS, 0, 0, 0};
    Control_.Dispatch(Msg);
    ReleaseHeldBy(0);
}

void NoteInput::Touch(const QTouchEvent& E, qreal Ratio) {
    const TLayout L = Control_.Layout();
    for (const QEventPoint& Point : E.points()) {
        const int Id = Point.id();
        if (Point.state() == QEventPoint::Pressed) {
            const QPoint P = ClientPixel(Point.position(), Ratio);
            const THit Hit = L.HitTest(P.x(), P.y());
            if (Hit.Region != THitRegion::Key) continue;
            if (TouchedCount_ >= static_cast<int>(Touched_.size())) continue;
            const bool Black = Hit.BlackKey >= 0;
            const int Index = Black ? Hit.BlackKey : Hit.WhiteKey;
            PressVelocity_ = VelocityAt(P.x(), P.y());
            const bool Pressed = Control_.PressKey(Index, Black);
            PressVelocity_ = 0;
            if (Pressed) Touched_[static_cast<std::size_t>(TouchedCount_++)] = {Id, Index, Black};
        } else if (Point.state() == QEventPoint::Released) {
            for (int I = 0; I < TouchedCount_; ++I) {
                const Touched T = Touched_[static_cast<std::size_t>(I)];
                if (T.Id != Id) continue;
                Touched_[static_cast<std::size_t>(I)] =
                    Touched_[static_cast<std::size_t>(--TouchedCount_)];
                Control_.ReleaseKey(T.Index, T.Black, true);
                break;
            }
        }
    }
    if (E.type() == QEvent::TouchCancel) {
        for (int I = 0; I < TouchedCount_; ++I) {
            const Touched T = Touched_[static_cast<std::size_t>(I)];
            Control_.ReleaseKey(T.Index, T.Black, false);
        }
        TouchedCount_ = 0;
    }
}

bool NoteInput::Wheel(QPointF Position, QPoint Delta, qreal Ratio) {
    const int Rotation = Delta.y() != 0 ? Delta.y() : Delta.x();
    const QPoint P = ClientPixel(Position, Ratio);
    const TLayout L = Control_.Layout();
    const bool OnRow = L.AlongOf(P.x(), P.y()) >= L.StripStart();
    if (!Control_.Style().Contains(OnRow ? msScrollDuration : msScrollOctave) || Rotation == 0)
        return false;
    // High-resolution wheels send fractions of the 120 units of a notch: they add up to steps.
    WheelRest_ += Rotation;
    const int Steps = WheelRest_ / 120;
    WheelRest_ %= 120;
    if (Steps != 0) {
        if (OnRow)
            Control_.SetOffsetDuration(
                std::clamp(Control_.OffsetDuration() + Steps, 0, Control_.MaxOffsetDuration()));
        else
            Control_.SetOffsetOctave(
                std::clamp(Control_.OffsetOctave() + Steps, 0, Control_.MaxOffsetOttave()));
    }
    return true;
}

void NoteInput::AllNotesOff() {
    for (int P = 0; P < WhiteKeyCount; ++P) {
        Control_.ReleaseKey(P, false, false);
        Control_.ReleaseKey(P, true, false);
    }
    HeldCount_ = 0;
    TouchedCount_ = 0;
}

int NoteInput::VelocityAt(int X, int Y) const {
    if (!VelocityByPosition) return 0;
    const TLayout L = Control_.Layout();
    const THit Hit = L.HitTest(X, Y);
    if (Hit.Region != THitRegion::Key) return 0;
    // Measured from the key's root end (the back edge) toward its front.
    const int Length = Hit.BlackKey >= 0 ? L.BlackLength() : L.CrossExtent();
    if (Length <= 1) return Velocity;
    const int Depth = std::clamp(L.AcrossOf(X, Y), 0, Length - 1);
    return 1 + 126 * Depth / (Length - 1);
}

int NoteInput::KeyStateChanged(const TChange& C, int& Note, int& Vel) {
    // A key the PC keyboard presses is remembered with the physical key that pressed it.
    if (Pressing_ && C.NewState == ksPressed && HeldCount_ < static_cast<int>(Held_.size()))
        Held_[static_cast<std::size_t>(HeldCount_++)] = {Pressing_, C.Index, C.Black};
    const auto Slot = static_cast<std::size_t>(C.Index + (C.Black ? 52 : 0));
    if (C.NewState == ksPressed) {
        // A black-key place is named as the PC keyboard spells it: Shift+F under the default
        // AutoTone holds the place after E4 and plays Fb4, MIDI 64.
        const TKey Key = C.Black ? TKey::BlackAfter(C.Index) : TKey::White(C.Index);
        const int Midi = C.Black ? Key.ShiftedName(Control_.AutoTone()).Midi() : Key.Midi();
        Vel = PressVelocity_ > 0 ? PressVelocity_ : Velocity;
        DownNote_[Slot] = static_cast<std::uint8_t>(std::clamp(Midi, 0, 127));
        DownVelocity_[Slot] = static_cast<std::uint8_t>(Vel);
        Note = DownNote_[Slot];
        return 1;
    }
    if (C.OldState == ksPressed) {
        Note = DownNote_[Slot];
        Vel = DownVelocity_[Slot];
        return -1;
    }
    return 0;
}

QRect NoteInput::NoteRect(int Note) const {
    const TKey Key = TKey::FromMidi(Note);
    if (!Key.Exists()) return {};
    const TLayout L = Control_.Layout();
    const TRect R = Key.Black() ? L.BlackKey(Key.Index()) : L.WhiteKey(Key.Index());
    return QRect(R.Left, R.Top, R.Width(), R.Height());
}

int NoteInput::NoteAt(QPoint Pos) const {
    const THit Hit = Control_.Layout().HitTest(Pos.x(), Pos.y());
    if (Hit.Region != THitRegion::Key) return -1;
    return Hit.BlackKey >= 0 ? TKey::BlackAfter(Hit.BlackKey).Midi()
                             : TKey::White(Hit.WhiteKey).Midi();
}

QList<int> NoteInput::HeldNotes() const {
    QList<int> Notes;
    for (int Ordinal = 0; Ordinal < PianoKeyCount; ++Ordinal) {
        const TKey Key = TKey::FromOrdinal(Ordinal);
        const auto& States = Key.Black() ? Control_.ToneStates() : Control_.KeyStates();
        if (States[static_cast<std::size_t>(Key.Index())] == ksPressed) Notes.append(Key.Midi());
    }
    return Notes;
}

QColor NoteInput::NoteColor(int Note) const {
    const TKey Key = TKey::FromMidi(Note);
    TColor Color = 0;
    if (!Key.Exists() || !Control_.KeyColor(Key.Index(), Key.Black(), Color)) return {};
    return ToQColor(Color);
}

void NoteInput::LightNote(int Note, bool On) {
    const TKey Key = TKey::FromMidi(Note);
    if (!Key.Exists()) return;
    // The control addresses a key by its white key's octave and note 0..6, and a flag for the
    // black key above it.
    const auto Octave = static_cast<std::uint8_t>(WhiteKeyOctave(Key.Index()));
    const auto Step = static_cast<std::uint8_t>(WhiteKeyNote(Key.Index()) - 1);
    if (On)
        Control_.SelectNote(Octave, Step, Key.Black() ? 1 : 0);
    else
        Control_.ReleaseNote(Octave, Step, Key.Black() ? 1 : 0);
}

void NoteInput::SetNoteColor(int Note, const QColor& Color) {
    const TKey Key = TKey::FromMidi(Note);
    if (!Key.Exists() || !Color.isValid()) return;
    Control_.SetKeyColor(Key.Index(), Key.Black(), FromQColor(Color.toRgb()));
}

void NoteInput::ClearNoteColor(int Note) {
    const TKey Key = TKey::FromMidi(Note);
    if (Key.Exists()) Control_.ClearKeyColor(Key.Index(), Key.Black());
}

}  // namespace keymora::qt
