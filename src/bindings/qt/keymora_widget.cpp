// KeymoraWidget: Qt's events into the control's steps and messages, the control's requests into
// Qt's repaint, focus, tooltip and cursor calls.
#include "keymora/qt/keymora_widget.h"

#include <QtCore/QMetaProperty>
#include <QtGui/QCursor>
#include <QtGui/QFocusEvent>
#include <QtGui/QGuiApplication>
#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtGui/QPaintEvent>
#include <QtWidgets/QMenu>
#include <QtWidgets/QToolTip>
#include <memory>

#include "keymora/model/published.h"
#include "keymora/qt/accessible.h"
#include "bindings/qt/qt_canvas.h"
#include "bindings/qt/qt_keys.h"

using namespace keymora;

namespace {

TColor FromQColor(const QColor& C) {
    return static_cast<TColor>(C.red()) | (static_cast<TColor>(C.green()) << 8) |
           (static_cast<TColor>(C.blue()) << 16);
}

bool IsArrow(std::uint16_t Key) {
    return Key >= vk::VK_LEFT && Key <= vk::VK_DOWN;
}

// One raster canvas serves every widget: widgets paint one at a time on the GUI thread, and a
// canvas's font tables and kept faces (some 20 KiB) would otherwise be paid by each widget. It
// lives while any widget does.
keymora::qt::QtCanvas* SharedCanvas = nullptr;
int SharedCanvasUsers = 0;

/// The client pixel under a pointer position, as drawn at the widget's device pixel ratio.
QPoint ClientPixel(const QWidget& W, QPointF P) {
    const qreal Ratio = W.devicePixelRatioF();
    return {keymora::qt::LogicalPixel(P.x(), Ratio), keymora::qt::LogicalPixel(P.y(), Ratio)};
}

}  // namespace

KeymoraWidget::KeymoraWidget(QWidget* parent) : QWidget(parent) {
    if (SharedCanvasUsers++ == 0) SharedCanvas = new keymora::qt::QtCanvas;
    // The control paints every pixel of its client area itself.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Duration tracking follows the pointer with no button held.
    setMouseTracking(true);
    // Qt gives no focus on a click here: the control's press takes it itself, after the host's
    // OnMouseDown, as it does on every host.
    setFocusPolicy(Control_.TabStop() ? Qt::TabFocus : Qt::NoFocus);

    Control_.BeginLoading();
    Parent_.Widget = parentWidget();
    Control_.SetParent(&Parent_);

    Control_.OnKeyClick = [this](TObject*, int Octave, int Note, int Tone) {
        emit keyClick(Octave, Note, Tone);
    };
    Control_.OnTrackMouse = [this](TObject*, bool Keys) { emit trackMouse(Keys); };
    Control_.OnOffsetChanged = [this](TObject*) { emit offsetChanged(); };
    Control_.OnDurationChanged = [this](TObject*) { emit durationChanged(); };
    Control_.OnMaxChanged = [this](TObject*) { emit maxChanged(); };
    Control_.OnKeyStateChange = [this](TObject*, int Index, bool Black, std::uint8_t Old,
                                       std::uint8_t New) {
        emit keyStateChanged(Index, Black, static_cast<int>(Old), static_cast<int>(New));
    };
    // The widget is the control's window from the start: Qt drops repaint requests for a widget
    // not yet shown, and the control's geometry queries answer for its real layout.
    Control_.CreateHandle(this);
    SyncFont();
    Mirrored_ = {Control_.TabStop(), Control_.Enabled(), Control_.Visible(), Control_.Font()};
    keymora::qt::AttachAccessibility(*this);
}

KeymoraWidget::~KeymoraWidget() {
    // Nothing may reach this widget through the control once its destruction has begun.
    Control_.DestroyHandle();
    Control_.OnKeyClick = nullptr;
    Control_.OnTrackMouse = nullptr;
    Control_.OnOffsetChanged = nullptr;
    Control_.OnDurationChanged = nullptr;
    Control_.OnMaxChanged = nullptr;
    Control_.OnKeyStateChange = nullptr;
    if (--SharedCanvasUsers == 0) {
        delete SharedCanvas;
        SharedCanvas = nullptr;
    }
}

// ---- Properties ----

QMetaProperty KeymoraWidget::publishedProperty(const TPropInfo& info) {
    // QWidget::style() takes the plain name.
    QByteArray Name = info.Name == "Style"
                          ? QByteArray("musicStyle")
                          : QByteArray(info.Name.data(), static_cast<qsizetype>(info.Name.size()));
    if (!Name.isEmpty() && Name[0] >= 'A' && Name[0] <= 'Z')
        Name[0] = static_cast<char>(Name[0] - 'A' + 'a');
    const QMetaObject& M = staticMetaObject;
    const int Index = M.indexOfProperty(Name.constData());
    // Only the widget's own properties: QObject's and QWidget's are no rows of the table.
    if (Index < M.propertyOffset()) return {};
    return M.property(Index);
}

KeymoraWidget::KeyboardOrientation KeymoraWidget::orientation() const {
    return static_cast<KeyboardOrientation>(Control_.Orientation());
}

void KeymoraWidget::setOrientation(KeyboardOrientation value) {
    if (value != koHorizontal && value != koVertical) return;
    Control_.SetOrientation(static_cast<TKeyboardOrientation>(value));
}

KeymoraWidget::MusicStyles KeymoraWidget::musicStyle() const {
    return MusicStyles::fromInt(Control_.Style().Bits());
}

void KeymoraWidget::setMusicStyle(MusicStyles value) {
    Control_.SetStyle(TMusicStyles::FromBits(static_cast<std::uint8_t>(value.toInt() & 0xF)));
}

KeymoraWidget::AutoTone KeymoraWidget::autoTone() const {
    return static_cast<AutoTone>(Control_.AutoTone());
}

void KeymoraWidget::setAutoTone(AutoTone value) {
    if (value < atAutoMajor || value > atAutoMinor) return;
    Control_.SetAutoTone(static_cast<TAutoTone>(value));
    keymora::qt::SyncAccessibility(*this);
}

void KeymoraWidget::setOctave(int value) {
    Control_.SetOctave(value);
    keymora::qt::SyncAccessibility(*this);
}

QString KeymoraWidget::keys() const {
    return QString::fromStdString(Control_.Keys());
}

void KeymoraWidget::setKeys(const QString& value) {
    Control_.SetKeys(value.toStdString());
}

QColor KeymoraWidget::color() const {
    return keymora::qt::ToQColor(Control_.Color());
}

void KeymoraWidget::setColor(const QColor& value) {
    if (value.isValid()) Control_.SetColor(FromQColor(value.toRgb()));
}

void KeymoraWidget::setTabStop(bool value) {
    Control_.SetTabStop(value);
}

void KeymoraWidget::setShowHint(bool value) {
    Control_.SetShowHint(value);
}

void KeymoraWidget::setThemed(bool value) {
    if (value == Themed_) return;
    Themed_ = value;
    update();
}

QMenu* KeymoraWidget::popupMenu() const {
    return PopupMenu_;
}

void KeymoraWidget::setPopupMenu(QMenu* menu) {
    PopupMenu_ = menu;
}

QSize KeymoraWidget::sizeHint() const {
    return {600, 100};
}

void KeymoraWidget::selectNote(int octave, int note, int tone) {
    if (octave < 0 || octave > 255 || note < 0 || note > 255) return;
    Control_.SelectNote(static_cast<std::uint8_t>(octave), static_cast<std::uint8_t>(note),
                        tone != 0 ? 1 : 0);
}

void KeymoraWidget::releaseNote(int octave, int note, int tone) {
    if (octave < 0 || octave > 255 || note < 0 || note > 255) return;
    Control_.ReleaseNote(static_cast<std::uint8_t>(octave), static_cast<std::uint8_t>(note),
                         tone != 0 ? 1 : 0);
}

void KeymoraWidget::releaseSelected() {
    Control_.ReleaseSelected();
}

// ---- The control's window ----

void KeymoraWidget::InvalidateRect(const TRect& R) {
    if (!R.IsEmpty()) update(QRect(R.Left, R.Top, R.Width(), R.Height()));
}

void KeymoraWidget::Invalidate() {
    update();
}

bool KeymoraWidget::Focused() const {
    return hasFocus();
}

void KeymoraWidget::SetFocus() {
    setFocus(Qt::MouseFocusReason);
}

TPoint KeymoraWidget::GetCursorPos() const {
    const QPoint P = QCursor::pos();
    return {P.x(), P.y()};
}

void KeymoraWidget::CursorChanged(TCursor Cursor) {
    if (Cursor == crDefault) unsetCursor();
}

void KeymoraWidget::CancelHint() {
    QToolTip::hideText();
}

void KeymoraWidget::HintMouseMessage(const TMessage&) {
    // The widget's tooltip is the control's hint; the event filter in event() keeps Qt's own
    // hover tooltips under ShowHint as well.
    setToolTip(QString::fromStdString(Control_.Hint()));
    // The message carries the cursor packed into 16-bit halves; the cursor itself is exact on
    // screens beyond 32767 pixels.
    if (Control_.ShowHint() && !toolTip().isEmpty())
        QToolTip::showText(QCursor::pos(), toolTip(), this);
}

void KeymoraWidget::BoundsChanged() {
    // The application moved the control itself: follow with the widget.
    const QRect Bounds(Control_.Left(), Control_.Top(), Control_.Width(), Control_.Height());
    if (geometry() != Bounds) setGeometry(Bounds);
}

template <class F>
void KeymoraWidget::FromWidget(F&& Change) {
    if (Mirroring_) return;
    Mirroring_ = true;
    Change();
    Mirroring_ = false;
    Mirrored_ = {Control_.TabStop(), Control_.Enabled(), Control_.Visible(), Control_.Font()};
}

void KeymoraWidget::BasePropertiesChanged() {
    if (Mirroring_) return;
    Mirroring_ = true;
    if (Control_.TabStop() != Mirrored_.TabStop)
        setFocusPolicy(Control_.TabStop() ? Qt::TabFocus : Qt::NoFocus);
    if (Control_.Enabled() != Mirrored_.Enabled) setEnabled(Control_.Enabled());
    if (Control_.Visible() != Mirrored_.Visible) setVisible(Control_.Visible());
    const TFont& F = Control_.Font();
    if (F != Mirrored_.Font) {
        QFont Q = font();
        Q.setFamily(QString::fromStdString(F.Name));
        if (F.Size > 0) Q.setPointSize(F.Size);
        Q.setBold(F.Style.Contains(fsBold));
        Q.setItalic(F.Style.Contains(fsItalic));
        Q.setUnderline(F.Style.Contains(fsUnderline));
        Q.setStrikeOut(F.Style.Contains(fsStrikeOut));
        setFont(Q);
        QPalette P = palette();
        P.setColor(QPalette::WindowText, keymora::qt::ToQColor(F.Color));
        setPalette(P);
    }
    Mirroring_ = false;
    Mirrored_ = {Control_.TabStop(), Control_.Enabled(), Control_.Visible(), Control_.Font()};
}

void KeymoraWidget::SyncBounds() {
    const QRect G = geometry();
    if (G.x() == Control_.Left() && G.y() == Control_.Top() && G.width() == Control_.Width() &&
        G.height() == Control_.Height())
        return;
    Control_.SetBounds(G.x(), G.y(), G.width(), G.height());
}

void KeymoraWidget::FinishLoading() {
    if (!Control_.ComponentState().Contains(csLoading)) return;
    // Bounds first, still loading, so that Loaded computes the layout once for the final size.
    SyncBounds();
    Control_.Loaded();
}

void KeymoraWidget::SyncFont() {
    FromWidget([this] { Control_.SetFont(FontFromWidget()); });
}

TFont KeymoraWidget::FontFromWidget() const {
    const QFont& Q = font();
    TFont F = Control_.Font();
    F.Name = Q.family().toStdString();
    if (Q.pointSize() > 0)
        F.Size = Q.pointSize();
    else if (Q.pixelSize() > 0)
        F.Size = (Q.pixelSize() * 72 + 48) / 96;  // points at 96 dots per inch
    TFontStyles S;
    if (Q.bold()) S.Include(fsBold);
    if (Q.italic()) S.Include(fsItalic);
    if (Q.underline()) S.Include(fsUnderline);
    if (Q.strikeOut()) S.Include(fsStrikeOut);
    F.Style = S;
    F.Color = FromQColor(palette().color(QPalette::WindowText));
    return F;
}

std::intptr_t KeymoraWidget::DialogCode() {
    TMessage Msg{wm::WM_GETDLGCODE, 0, 0, 0};
    Control_.Dispatch(Msg);
    return Msg.Result;
}

void KeymoraWidget::DeliverFocus(std::uint32_t Message) {
    TMessage Msg{Message, 0, 0, 0};
    Control_.Dispatch(Msg);
}

bool KeymoraWidget::DeliverKey(QKeyEvent* e, bool Press) {
    std::uint16_t Key = keymora::qt::VirtualKeyFromQt(e->key(), e->modifiers());
    if (Key == 0) return false;
    // Arrows are the dialog's for moving between controls unless the control asks for them.
    if (IsArrow(Key) && !(DialogCode() & DLGC_WANTARROWS)) return false;
    const TShiftState Shift =
        keymora::qt::ShiftStateFromQt(e->modifiers(), QGuiApplication::mouseButtons());
    if (!Press) {
        Control_.KeyUp(Key, Shift);
        return true;
    }
    Control_.KeyDown(Key, Shift);
    // The character step follows the key step for keys that type a single character.
    const QString Text = e->text();
    if (Text.size() == 1 && Text.at(0).unicode() < 0x80) {
        char C = static_cast<char>(Text.at(0).unicode());
        Control_.KeyPress(C);
    }
    return true;
}

// ---- Qt events ----

bool KeymoraWidget::event(QEvent* e) {
    switch (e->type()) {
        case QEvent::Polish:
            FinishLoading();
            break;
        case QEvent::KeyPress: {
            // QWidget::event moves the focus on Tab before keyPressEvent could see it; a control
            // that asks for Tab gets it as a key instead.
            auto* K = static_cast<QKeyEvent*>(e);
            const bool Tab = K->key() == Qt::Key_Tab || K->key() == Qt::Key_Backtab;
            if (Tab && !(K->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) &&
                (DialogCode() & DLGC_WANTTAB)) {
                keyPressEvent(K);
                return true;
            }
            break;
        }
        case QEvent::ToolTip:
            if (!Control_.ShowHint()) {
                QToolTip::hideText();
                e->ignore();
                return true;
            }
            break;
        case QEvent::ToolTipChange:
            Control_.SetHint(toolTip().toStdString());
            break;
        case QEvent::ParentChange:
            Parent_.Widget = parentWidget();
            break;
        case QEvent::ShowToParent:
            FromWidget([this] { Control_.SetVisible(true); });
            break;
        case QEvent::HideToParent:
            FromWidget([this] { Control_.SetVisible(false); });
            break;
        default:
            break;
    }
    const bool Handled = QWidget::event(e);
    // Whatever the event changed (octave, duration, what is in view, focus) is announced.
    keymora::qt::SyncAccessibility(*this);
    return Handled;
}

void KeymoraWidget::paintEvent(QPaintEvent* e) {
    const QRect R = e->rect();
    // A widget painted from within another's paint (QWidget::render) draws on a canvas of its own.
    std::unique_ptr<keymora::qt::QtCanvas> Nested;
    keymora::qt::QtCanvas* Canvas = SharedCanvas;
    if (Canvas->IsActive()) {
        Nested = std::make_unique<keymora::qt::QtCanvas>();
        Canvas = Nested.get();
    }
    Canvas->SetStyle(Themed_ ? style() : nullptr, palette());
    if (!Canvas->Begin(this, TRect{R.left(), R.top(), R.right() + 1, R.bottom() + 1})) return;
    Control_.PaintTo(*Canvas);
    Canvas->End();
}

void KeymoraWidget::resizeEvent(QResizeEvent*) {
    SyncBounds();
}

void KeymoraWidget::moveEvent(QMoveEvent*) {
    SyncBounds();
}

void KeymoraWidget::showEvent(QShowEvent*) {
    SyncBounds();
}

void KeymoraWidget::changeEvent(QEvent* e) {
    switch (e->type()) {
        case QEvent::EnabledChange:
            // The control's own flag, not the state inherited from a disabled parent.
            FromWidget([this] { Control_.SetEnabled(!testAttribute(Qt::WA_ForceDisabled)); });
            break;
        case QEvent::FontChange:
            SyncFont();
            break;
        case QEvent::PaletteChange:
            // Themed faces are drawn in the palette's colours and kept between paints.
            SharedCanvas->ResetFaces();
            SyncFont();
            update();
            break;
        case QEvent::StyleChange:
            SharedCanvas->ResetFaces();
            update();
            break;
        default:
            break;
    }
    QWidget::changeEvent(e);
}

// QWidget's own focus handlers repaint the whole widget; the control repaints only the parts
// whose look depends on the focus.
void KeymoraWidget::focusInEvent(QFocusEvent*) {
    DeliverFocus(wm::WM_SETFOCUS);
}

void KeymoraWidget::focusOutEvent(QFocusEvent*) {
    DeliverFocus(wm::WM_KILLFOCUS);
}

void KeymoraWidget::mousePressEvent(QMouseEvent* e) {
    TMouseButton Button;
    if (!keymora::qt::MouseButtonFromQt(e->button(), Button)) {
        e->ignore();
        return;
    }
    const QPoint P = ClientPixel(*this, e->position());
    Control_.MouseDown(Button, keymora::qt::ShiftStateFromQt(e->modifiers(), e->buttons()), P.x(),
                       P.y());
}

void KeymoraWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    TMouseButton Button;
    if (!keymora::qt::MouseButtonFromQt(e->button(), Button)) {
        e->ignore();
        return;
    }
    // The second press of a double click; the host marks it when the control asks for double
    // clicks.
    TShiftState Shift = keymora::qt::ShiftStateFromQt(e->modifiers(), e->buttons());
    if (Control_.ControlStyle().Contains(TControlStyleItem::csDoubleClicks))
        Shift.Include(ssDouble);
    const QPoint P = ClientPixel(*this, e->position());
    Control_.MouseDown(Button, Shift, P.x(), P.y());
}

void KeymoraWidget::mouseMoveEvent(QMouseEvent* e) {
    const QPoint P = ClientPixel(*this, e->position());
    Control_.MouseMove(keymora::qt::ShiftStateFromQt(e->modifiers(), e->buttons()), P.x(), P.y());
}

void KeymoraWidget::mouseReleaseEvent(QMouseEvent* e) {
    TMouseButton Button;
    if (!keymora::qt::MouseButtonFromQt(e->button(), Button)) {
        e->ignore();
        return;
    }
    const QPoint P = ClientPixel(*this, e->position());
    Control_.MouseUp(Button, keymora::qt::ShiftStateFromQt(e->modifiers(), e->buttons()), P.x(),
                     P.y());
}

void KeymoraWidget::keyPressEvent(QKeyEvent* e) {
    if (!DeliverKey(e, true)) e->ignore();
}

void KeymoraWidget::keyReleaseEvent(QKeyEvent* e) {
    // A held key repeats as release-press pairs on X11: the releases are not real, the presses
    // are the repeat the control expects.
    if (e->isAutoRepeat()) return;
    if (!DeliverKey(e, false)) e->ignore();
}

void KeymoraWidget::contextMenuEvent(QContextMenuEvent* e) {
    if (PopupMenu_)
        PopupMenu_->popup(e->globalPos());
    else
        e->ignore();
}
