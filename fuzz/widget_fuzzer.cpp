// Drives a KeymoraWidget on the offscreen platform through any sequence of Qt events and API calls
// (mouse, wheel, keys with modifiers and auto-repeat, touch, focus, resize, show and hide,
// property assignments, note lighting and colouring, device pixel ratios) and checks after every
// step: key states idle, pressed or selected; no key pressed once no mouse button, no touch and no
// PC key is down (the widget releases what a PC key pressed when that key goes up or the focus
// leaves); the accessible key children where the layout draws the keys; and a full paint equal to
// the same pass painted in clip rectangles that tile the control.
//
// Events reach the widget as a window system would deliver them: nothing while it is hidden, key
// events only while it has the focus, a button released only when it is down; the fuzzer keeps
// its own record of what is held so that the check above knows what the user still holds.
#include <fuzzer/FuzzedDataProvider.h>

#include <QtCore/QMetaProperty>
#include <QtGui/QAccessible>
#include <QtGui/QColor>
#include <QtGui/QImage>
#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtGui/QPointingDevice>
#include <QtGui/QTouchEvent>
#include <QtGui/QWheelEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QStyle>
#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>

#include "bindings/qt/qt_canvas.h"
#include "keymora/layout/layout.h"
#include "keymora/model/keymora.h"
#include "keymora/pitch/pitch.h"
#include "keymora/qt/accessible.h"
#include "keymora/qt/image.h"
#include "keymora/qt/keymora_widget.h"
#include "promise.h"

using namespace keymora;

namespace {

using fuzz::Check;

// Big enough for every layout rule, small enough that the paints after each step stay quick: a
// side may reach 4000 pixels, the area no more than a 4000 x 150 strip.
constexpr int MaxSide = 4000;
constexpr long long MaxArea = 600000;

int AnyCoordinate(FuzzedDataProvider& In, int Extent) {
    static constexpr int Special[] = {0, 1, -1, 2, 15, 16, 17, 100, 600, -100, 4000, -32768, 32767};
    switch (In.ConsumeIntegralInRange(0, 3)) {
        case 0: return Special[In.ConsumeIntegralInRange<std::size_t>(0, std::size(Special) - 1)];
        case 1: return Extent - 1;
        default: return In.ConsumeIntegralInRange(-20, std::max(Extent, 0) + 20);
    }
}

int AnyValue(FuzzedDataProvider& In) {
    static constexpr int Special[] = {-1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 15, 30, 127, 128,
                                      INT_MAX, INT_MIN};
    if (In.ConsumeBool())
        return Special[In.ConsumeIntegralInRange<std::size_t>(0, std::size(Special) - 1)];
    return In.ConsumeIntegral<int>();
}

Qt::KeyboardModifiers AnyModifiers(FuzzedDataProvider& In) {
    const auto Bits = In.ConsumeIntegral<std::uint8_t>();
    Qt::KeyboardModifiers M;
    if (Bits & 1) M |= Qt::ShiftModifier;
    if (Bits & 2) M |= Qt::ControlModifier;
    if (Bits & 4) M |= Qt::AltModifier;
    if (Bits & 8) M |= Qt::KeypadModifier;
    if (Bits & 16) M |= Qt::MetaModifier;
    return M;
}

constexpr Qt::MouseButton Buttons[] = {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton,
                                       Qt::BackButton};

int AnyKey(FuzzedDataProvider& In) {
    static constexpr int Named[] = {Qt::Key_Left,   Qt::Key_Right,    Qt::Key_Up,    Qt::Key_Down,
                                    Qt::Key_Home,   Qt::Key_End,      Qt::Key_PageUp,
                                    Qt::Key_PageDown, Qt::Key_Tab,    Qt::Key_Backtab,
                                    Qt::Key_Shift,  Qt::Key_Control,  Qt::Key_Space, Qt::Key_Escape,
                                    Qt::Key_Return, Qt::Key_Plus,     Qt::Key_Minus};
    switch (In.ConsumeIntegralInRange(0, 3)) {
        case 0: return Qt::Key_A + In.ConsumeIntegralInRange(0, 25);
        case 1: return Qt::Key_0 + In.ConsumeIntegralInRange(0, 9);
        case 2: return Named[In.ConsumeIntegralInRange<std::size_t>(0, std::size(Named) - 1)];
        default: return In.ConsumeIntegral<std::uint16_t>();
    }
}

QString TextOf(int Key, Qt::KeyboardModifiers M) {
    if (Key >= Qt::Key_A && Key <= Qt::Key_Z) {
        const char C = static_cast<char>((M & Qt::ShiftModifier ? 'A' : 'a') + Key - Qt::Key_A);
        return QString(QChar(C));
    }
    if ((Key >= Qt::Key_0 && Key <= Qt::Key_9) || Key == Qt::Key_Space)
        return QString(QChar(static_cast<char16_t>(Key)));
    return {};
}

const QPointingDevice* TouchScreen() {
    static const QPointingDevice Device(QStringLiteral("fuzz touch screen"), 4242,
                                        QInputDevice::DeviceType::TouchScreen,
                                        QPointingDevice::PointerType::Finger,
                                        QInputDevice::Capability::Position, 8, 0);
    return &Device;
}

struct Session {
    std::unique_ptr<KeymoraWidget> W;
    Qt::MouseButtons Down;           // mouse buttons the user holds
    std::map<int, quint32> PcDown;   // Qt key -> scan code of PC keys the user holds
    std::set<int> Touching;          // touch point ids down
    bool ScanCodes = true;           // the platform reports scan codes (X11 does)
    qreal Ratio = 1;
    bool HadFocus = false;

    void Create() {
        W.reset();
        W = std::make_unique<KeymoraWidget>();
        W->resize(600, 100);
        Down = {};
        PcDown.clear();
        Touching.clear();
        HadFocus = false;
    }

    bool Deliverable() const { return W->isVisible() && W->isEnabled(); }

    void Send(QEvent& E) { QApplication::sendEvent(W.get(), &E); }

    void Mouse(QEvent::Type Type, Qt::MouseButton Button, QPointF P, Qt::KeyboardModifiers M) {
        if (!Deliverable()) return;
        QMouseEvent E(Type, P, W->mapToGlobal(P), Button, Down, M);
        Send(E);
    }

    quint32 ScanOf(int Key) const { return ScanCodes ? static_cast<quint32>(Key % 200 + 8) : 0; }

    void Key(QEvent::Type Type, int K, Qt::KeyboardModifiers M, bool Repeat) {
        if (!W->isVisible() || !W->hasFocus()) return;
        QKeyEvent E(Type, K, M, ScanOf(K), 0, 0, TextOf(K, M), Repeat);
        Send(E);
    }
};

Session* S = nullptr;

void SetAnyProperty(FuzzedDataProvider& In) {
    const QMetaObject* Meta = S->W->metaObject();
    // KeymoraWidget's own properties, and QWidget's enabled.
    const int First = KeymoraWidget::staticMetaObject.propertyOffset();
    const int Pick = In.ConsumeIntegralInRange(First - 1, Meta->propertyCount() - 1);
    if (Pick < First) {
        S->W->setEnabled(In.ConsumeBool());
        return;
    }
    const QMetaProperty P = Meta->property(Pick);
    QVariant V;
    // Qt's own enums (focusPolicy) have no fixed underlying type: an int beyond their values is
    // undefined behaviour inside Qt's types before the widget sees it. They get real values;
    // the widget's own enums take any int.
    if (P.isEnumType() && P.enumerator().enclosingMetaObject() != &KeymoraWidget::staticMetaObject) {
        const QMetaEnum E = P.enumerator();
        if (E.keyCount() > 0) P.write(S->W.get(), E.value(In.ConsumeIntegralInRange(0, E.keyCount() - 1)));
        return;
    }
    switch (P.userType()) {
        case QMetaType::Bool: V = In.ConsumeBool(); break;
        case QMetaType::QString:
            V = QString::fromLatin1(In.ConsumeRandomLengthString(16).c_str());
            break;
        case QMetaType::QColor:
            V = QColor::fromRgba(In.ConsumeIntegral<std::uint32_t>());
            break;
        default: V = AnyValue(In); break;  // ints, enums and flags
    }
    P.write(S->W.get(), V);
}

void Resize(FuzzedDataProvider& In) {
    static constexpr int Special[] = {0, 1, 2, 10, 16, 60, 100, 600, 1000, MaxSide};
    auto Side = [&In] {
        return In.ConsumeBool()
                   ? Special[In.ConsumeIntegralInRange<std::size_t>(0, std::size(Special) - 1)]
                   : In.ConsumeIntegralInRange(0, MaxSide);
    };
    int Width = Side(), Height = Side();
    if (static_cast<long long>(Width) * Height > MaxArea) {
        if (Width >= Height)
            Height = static_cast<int>(MaxArea / Width);
        else
            Width = static_cast<int>(MaxArea / Height);
    }
    S->W->resize(Width, Height);
}

void Touch(FuzzedDataProvider& In) {
    if (In.ConsumeBool() && !S->Touching.empty()) {
        if (S->Deliverable()) {
            QTouchEvent E(QEvent::TouchCancel, TouchScreen());
            S->Send(E);
        }
        S->Touching.clear();
        return;
    }
    const bool WasTouching = !S->Touching.empty();
    QList<QEventPoint> Points;
    const int Count = In.ConsumeIntegralInRange(1, 3);
    std::set<int> Used;
    for (int I = 0; I < Count; ++I) {
        const int Id = In.ConsumeIntegralInRange(0, 5);
        if (!Used.insert(Id).second) continue;
        const QPointF P(AnyCoordinate(In, S->W->width()), AnyCoordinate(In, S->W->height()));
        QEventPoint::State State;
        if (S->Touching.count(Id)) {
            State = In.ConsumeBool() ? QEventPoint::Released : QEventPoint::Updated;
            if (State == QEventPoint::Released) S->Touching.erase(Id);
        } else {
            State = QEventPoint::Pressed;
            S->Touching.insert(Id);
        }
        Points.append(QEventPoint(Id, State, P, S->W->mapToGlobal(P)));
    }
    for (int Id : S->Touching)
        if (!Used.count(Id))
            Points.append(QEventPoint(Id, QEventPoint::Stationary, QPointF(), QPointF()));
    const QEvent::Type Type = !WasTouching           ? QEvent::TouchBegin
                              : S->Touching.empty() ? QEvent::TouchEnd
                                                     : QEvent::TouchUpdate;
    if (!S->Deliverable()) return;
    QTouchEvent E(Type, TouchScreen(), AnyModifiers(In), Points);
    S->Send(E);
}

void Step(FuzzedDataProvider& In) {
    KeymoraWidget& W = *S->W;
    switch (In.ConsumeIntegralInRange(0, 19)) {
        case 0: S->Create(); break;
        case 1: {  // press, or a double click's second press
            const Qt::MouseButton B = Buttons[In.ConsumeIntegralInRange(0, 3)];
            if (S->Down & B) break;
            const QPointF P(AnyCoordinate(In, W.width()), AnyCoordinate(In, W.height()));
            const bool Double = In.ConsumeBool();
            const Qt::KeyboardModifiers M = AnyModifiers(In);
            S->Down |= B;
            S->Mouse(Double ? QEvent::MouseButtonDblClick : QEvent::MouseButtonPress, B, P, M);
            break;
        }
        case 2: {
            const QPointF P(AnyCoordinate(In, W.width()), AnyCoordinate(In, W.height()));
            S->Mouse(QEvent::MouseMove, Qt::NoButton, P, AnyModifiers(In));
            break;
        }
        case 3: {
            const Qt::MouseButton B = Buttons[In.ConsumeIntegralInRange(0, 3)];
            if (!(S->Down & B)) break;
            const QPointF P(AnyCoordinate(In, W.width()), AnyCoordinate(In, W.height()));
            S->Down &= ~B;
            S->Mouse(QEvent::MouseButtonRelease, B, P, AnyModifiers(In));
            break;
        }
        case 4: {
            const QPointF P(AnyCoordinate(In, W.width()), AnyCoordinate(In, W.height()));
            const QPoint Angle(In.ConsumeIntegralInRange(-480, 480), In.ConsumeIntegralInRange(-480, 480));
            const Qt::KeyboardModifiers M = AnyModifiers(In);
            if (!S->Deliverable()) break;
            QWheelEvent E(P, W.mapToGlobal(P), QPoint(), Angle, S->Down, M, Qt::NoScrollPhase,
                          false);
            S->Send(E);
            break;
        }
        case 5: {  // a PC key goes down, or repeats while down
            const int K = AnyKey(In);
            const Qt::KeyboardModifiers M = AnyModifiers(In);
            const bool Repeat = S->PcDown.count(K) != 0;
            if (!W.isVisible() || !W.hasFocus()) break;
            S->PcDown[K] = S->ScanOf(K);
            S->Key(QEvent::KeyPress, K, M, Repeat);
            break;
        }
        case 6: {  // a PC key held down goes up, or X11's repeat pair arrives
            if (S->PcDown.empty()) break;
            auto It = S->PcDown.begin();
            std::advance(It, In.ConsumeIntegralInRange<std::size_t>(0, S->PcDown.size() - 1));
            const int K = It->first;
            const Qt::KeyboardModifiers M = AnyModifiers(In);
            if (In.ConsumeBool()) {
                S->Key(QEvent::KeyRelease, K, M, true);
                S->Key(QEvent::KeyPress, K, M, true);
            } else {
                S->PcDown.erase(It);
                S->Key(QEvent::KeyRelease, K, M, false);
            }
            break;
        }
        case 7:
            if (In.ConsumeBool()) {
                QApplication::setActiveWindow(&W);
                W.setFocus(Qt::OtherFocusReason);
            } else {
                W.clearFocus();
            }
            break;
        case 8: Resize(In); break;
        case 9:
            if (In.ConsumeBool())
                W.show();
            else
                W.hide();
            break;
        case 10: {
            static constexpr qreal Ratios[] = {1, 1.25, 1.5, 1.75, 2, 2.5, 3, 0.5};
            S->Ratio = Ratios[In.ConsumeIntegralInRange<std::size_t>(0, std::size(Ratios) - 1)];
            break;
        }
        case 11: SetAnyProperty(In); break;
        case 12: {
            const int Note = In.ConsumeIntegralInRange(-2, 130);
            switch (In.ConsumeIntegralInRange(0, 5)) {
                case 0: W.lightNote(Note); break;
                case 1: W.unlightNote(Note); break;
                case 2: W.setNoteColor(Note, QColor::fromRgba(In.ConsumeIntegral<std::uint32_t>())); break;
                case 3: W.clearNoteColor(Note); break;
                case 4: W.clearNoteColors(); break;
                default: W.allNotesOff(); break;
            }
            break;
        }
        case 13: {
            const int O = AnyValue(In), N = AnyValue(In), T = AnyValue(In);
            switch (In.ConsumeIntegralInRange(0, 2)) {
                case 0: W.selectNote(O, N, T); break;
                case 1: W.releaseNote(O, N, T); break;
                default: W.releaseSelected(); break;
            }
            break;
        }
        case 14: Touch(In); break;
        case 15:
            // What a window system does to a shown widget: paint it through its own paint event.
            if (W.isVisible()) W.repaint();
            (void)W.grab();
            break;
        case 16: S->ScanCodes = !S->ScanCodes; break;
        case 17: {
            // The accessible tree's own queries.
            QAccessibleInterface* Root = QAccessible::queryAccessibleInterface(&W);
            if (!Root) break;
            const QPointF P(AnyCoordinate(In, W.width()), AnyCoordinate(In, W.height()));
            const QPoint G = W.mapToGlobal(P.toPoint());
            if (QAccessibleInterface* C = Root->childAt(G.x(), G.y())) {
                (void)C->text(QAccessible::Name);
                (void)C->state();
            }
            if (QAccessibleInterface* C = Root->child(In.ConsumeIntegralInRange(-1, 106))) {
                (void)C->text(QAccessible::Name);
                (void)C->text(QAccessible::Value);
                if (auto* Value = C->valueInterface()) Value->setCurrentValue(AnyValue(In));
            }
            break;
        }
        case 18: W.setMaximumSize(In.ConsumeIntegralInRange(0, MaxSide), MaxSide); break;
        default: {
            const bool Was = S->W->isVisible();
            W.setParent(nullptr);
            if (Was) W.show();
            break;
        }
    }
    // The focus left: the widget released what the PC keys held.
    const bool Focus = S->W->hasFocus();
    if (S->HadFocus && !Focus) S->PcDown.clear();
    S->HadFocus = Focus;
}

// ---- The promises ----

void CheckKeyStates() {
    const TKeymora& K = S->W->control();
    const bool Holding = S->Down || !S->Touching.empty() || !S->PcDown.empty();
    for (int I = 0; I < WhiteKeyCount; ++I) {
        for (const auto State : {K.KeyStates()[static_cast<std::size_t>(I)],
                                 K.ToneStates()[static_cast<std::size_t>(I)]}) {
            Check(State == ksIdle || State == ksPressed || State == ksSelected,
                  "key state idle, pressed or selected");
            if (!Holding) Check(State != ksPressed, "no key pressed when nothing is held");
        }
    }
}

void CheckAccessibleRects() {
    KeymoraWidget& W = *S->W;
    QAccessibleInterface* Root = QAccessible::queryAccessibleInterface(&W);
    Check(Root != nullptr, "the widget has an accessible interface");
    const TLayout L = W.control().Layout();
    const QRect Client(0, 0, W.control().ClientWidth(), W.control().ClientHeight());
    for (int N = 0; N < qt::a11y::KeyCount; ++N) {
        const TKey Key = TKey::FromOrdinal(N);
        QAccessibleInterface* Child = Root->child(qt::a11y::FirstKey + N);
        Check(Child != nullptr, "every key has a child");
        const QRect Got = Child->rect();
        const TTarget T{Key.Black() ? TTargetKind::BlackKey : TTargetKind::WhiteKey, Key.Index(),
                        TZoneButton::OctaveDown};
        TPoint Press;
        if (!L.PressPoint(T, Press)) {
            Check(Got.isEmpty(), "a key nobody can press has no accessible rectangle");
            continue;
        }
        // The key as drawn, inside the key band between the button zones.
        const TRect R = Key.Black() ? L.BlackKey(Key.Index()) : L.WhiteKey(Key.Index());
        int U0 = L.Horizontal() ? R.Left : R.Top, U1 = L.Horizontal() ? R.Right : R.Bottom;
        const int V0 = L.Horizontal() ? R.Top : R.Left, V1 = L.Horizontal() ? R.Bottom : R.Right;
        U0 = std::max(U0, L.ZoneWidth());
        U1 = std::min(U1, L.StripStart() - L.ZoneWidth());
        const TRect D = L.Frame(U0, V0, U1, V1);
        const QRect Drawn = QRect(D.Left, D.Top, D.Right - D.Left, D.Bottom - D.Top) & Client;
        Check(!Got.isEmpty(), "a key one can press has an accessible rectangle");
        Check(Got == QRect(W.mapToGlobal(Drawn.topLeft()), Drawn.size()),
              "the accessible rectangle of a key is where the layout draws it");
        Check(Got.contains(W.mapToGlobal(QPoint(Press.X, Press.Y))),
              "the accessible rectangle of a key holds its press point");
    }
}

QImage Paint(TKeymora& K, QStyle* Style, const QPalette& Palette, const TRect* Clip) {
    QImage Image(K.ClientWidth(), K.ClientHeight(), QImage::Format_RGB32);
    Image.fill(0xFFFF00FFu);
    keymora::qt::QtCanvas Canvas;
    Canvas.SetStyle(Style, Palette);
    if (Clip ? Canvas.Begin(&Image, *Clip) : Canvas.Begin(&Image)) {
        K.PaintTo(Canvas);
        Canvas.End();
    }
    return Image;
}

void CheckPaint(FuzzedDataProvider& In) {
    KeymoraWidget& W = *S->W;
    TKeymora& K = W.control();
    const int Width = K.ClientWidth(), Height = K.ClientHeight();
    if (Width <= 0 || Height <= 0) return;
    Check(static_cast<long long>(Width) * Height <= MaxArea, "the fuzzer keeps paints small");
    QStyle* Style = K.ThemesEnabled() ? W.style() : nullptr;
    const QImage Full = Paint(K, Style, W.palette(), nullptr);
    // Four tiles split at a point the input chooses.
    const int X = In.ConsumeIntegralInRange(0, Width), Y = In.ConsumeIntegralInRange(0, Height);
    QImage Tiled(Width, Height, QImage::Format_RGB32);
    const TRect Tiles[] = {{0, 0, X, Y}, {X, 0, Width, Y}, {0, Y, X, Height}, {X, Y, Width, Height}};
    for (const TRect& T : Tiles) {
        if (T.Right <= T.Left || T.Bottom <= T.Top) continue;
        const QImage Part = Paint(K, Style, W.palette(), &T);
        for (int Row = T.Top; Row < T.Bottom; ++Row)
            std::copy_n(reinterpret_cast<const QRgb*>(Part.constScanLine(Row)) + T.Left,
                        T.Right - T.Left, reinterpret_cast<QRgb*>(Tiled.scanLine(Row)) + T.Left);
    }
    Check(Full == Tiled, "a full paint equals the paints of tiles that cover it");
    if (S->Ratio != 1) {
        const QImage Scaled = keymora::qt::PaintToImage(K, S->Ratio);
        Check(!Scaled.isNull(), "a control with a client area paints at any ratio");
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* Argc, char*** Argv) {
    (void)Argc;
    (void)Argv;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int AppArgc = 1;
    static char Arg0[] = "widget_fuzzer";
    static char* AppArgv[] = {Arg0, nullptr};
    new QApplication(AppArgc, AppArgv);  // lives as long as the process
    S = new Session;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    FuzzedDataProvider In(Data, Size);
    S->Create();
    S->ScanCodes = true;
    S->Ratio = 1;
    int Steps = 0;
    while (In.remaining_bytes() > 0 && Steps++ < 64) {
        Step(In);
        CheckKeyStates();
        CheckAccessibleRects();
        CheckPaint(In);
    }
    S->W.reset();
    return 0;
}
