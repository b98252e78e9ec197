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
#include <QtGui/QTouchEvent>
#include <QtGui/QWheelEvent>
#include <QtWidgets/QMenu>
#include <QtWidgets/QToolTip>
#include <algorithm>
#include <memory>

#include "bindings/qt/accessible_hooks.h"
#include "bindings/qt/note_input.h"
#include "keymora/model/published.h"
#include "bindings/qt/qt_canvas.h"
#include "bindings/qt/qt_keys.h"
#include "keymora/layout/layout.h"
#include "keymora/qt/accessible.h"

using namespace keymora;

namespace {

using keymora::qt::FromQColor;

// One raster canvas serves every widget: widgets paint one at a time on the GUI thread, and a
// canvas's font tables and kept faces (some 20 KiB) would otherwise be paid by each widget. It
// lives while any widget does.
keymora::qt::QtCanvas* SharedCanvas = nullptr;
int SharedCanvasUsers = 0;

}  // namespace

KeymoraWidget::KeymoraWidget(QWidget* parent)
    : QWidget(parent), Input_(std::make_unique<keymora::qt::NoteInput>(Control_)) {
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
        if (Note < 1) return;  // Space: a rest, no note
        const keymora::TNote Played{Octave, Note, Tone};
        emit notePlayed(Played.Midi(),
                        QString::fromLatin1(Played.Text().View().data(),
                                            static_cast<int>(Played.Text().View().size())));
    };
    Control_.OnTrackMouse = [this](TObject*, bool Keys) { emit trackMouse(Keys); };
    Control_.OnOffsetChanged = [this](TObject*) { emit offsetChanged(); };
    Control_.OnDurationChanged = [this](TObject*) { emit durationChanged(); };
    Control_.OnMaxChanged = [this](TObject*) { emit maxChanged(); };
    // Everything that changes in the control comes out here, once, as it happens.
    Control_.OnChange = [this](TObject*, const keymora::TChange& C) { ControlChanged(C); };
    setAttribute(Qt::WA_AcceptTouchEvents);
    // The widget is the control's window from the start: Qt drops repaint requests for a widget
    // not yet shown, and the control's geometry queries answer for its real layout.
    Control_.CreateHandle(this);
    SyncFont();
    Mirrored_ = {Control_.TabStop(), Control_.Enabled(), Control_.Visible(), Control_.Font()};
    MirroredColor_ = Control_.Color();
    MirroredShowHint_ = Control_.ShowHint();
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
    Control_.OnChange = nullptr;
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
    // A flag string with an unknown name reaches here from a .ui file as -1, every bit set:
    // that is a mistake in the form, not a wish for all four styles.
    if (value.toInt() & ~0xF) {
        qWarning("KeymoraWidget: musicStyle 0x%x names styles the keyboard does not have; the "
                 "styles stay as they are",
                 static_cast<unsigned>(value.toInt()));
        return;
    }
    Control_.SetStyle(TMusicStyles::FromBits(static_cast<std::uint8_t>(value.toInt())));
}

KeymoraWidget::AutoTone KeymoraWidget::autoTone() const {
    return static_cast<AutoTone>(Control_.AutoTone());
}

void KeymoraWidget::setAutoTone(AutoTone value) {
    if (value < atAutoMajor || value > atAutoMinor) return;
    Control_.SetAutoTone(static_cast<TAutoTone>(value));
}

void KeymoraWidget::setOctave(int value) {
    Control_.SetOctave(value);
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
    emit themedChanged(value);
}

int KeymoraWidget::velocity() const {
    return Input_->Velocity;
}

void KeymoraWidget::setVelocity(int value) {
    if (value == Input_->Velocity || value < 1 || value > 127) return;
    Input_->Velocity = value;
    emit velocityChanged(value);
}

void KeymoraWidget::setNoteNames(bool value) {
    if (value == noteNames()) return;
    Control_.SetNoteNames(value);
    emit noteNamesChanged(value);
}

void KeymoraWidget::setScientificOctaves(bool value) {
    if (value == scientificOctaves()) return;
    Control_.SetScientificOctaves(value);
    emit scientificOctavesChanged(value);
}

bool KeymoraWidget::velocityByPosition() const {
    return Input_->VelocityByPosition;
}

void KeymoraWidget::setVelocityByPosition(bool value) {
    if (value == Input_->VelocityByPosition) return;
    Input_->VelocityByPosition = value;
    emit velocityByPositionChanged(value);
}

QMenu* KeymoraWidget::popupMenu() const {
    return PopupMenu_;
}

void KeymoraWidget::setPopupMenu(QMenu* menu) {
    PopupMenu_ = menu;
}

QSize KeymoraWidget::sizeHint() const {
    return Control_.IsHorizontal() ? QSize(600, 100) : QSize(100, 600);
}

QSize KeymoraWidget::minimumSizeHint() const {
    // Every visible key 8 pixels wide, and room across the keys for a black key above the marks.
    const keymora::TLayout L = Control_.Layout();
    const int Count = L.VisibleKeyCount() > 0 ? L.VisibleKeyCount() : keymora::WhiteKeyCount;
    const int Along = 2 * L.ZoneWidth() + L.SettingWidth() + 8 * Count + 1;
    const int Across = 56;
    return Control_.IsHorizontal() ? QSize(Along, Across) : QSize(Across, Along);
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

// Notes by MIDI number: the same rules as every Qt binding's (NoteInput).

QRect KeymoraWidget::noteRect(int note) const {
    return Input_->NoteRect(note);
}

int KeymoraWidget::noteAt(const QPoint& pos) const {
    return Input_->NoteAt(pos);
}

QList<int> KeymoraWidget::heldNotes() const {
    return Input_->HeldNotes();
}

QColor KeymoraWidget::noteColor(int note) const {
    return Input_->NoteColor(note);
}

void KeymoraWidget::lightNote(int note) {
    Input_->LightNote(note, true);
}

void KeymoraWidget::unlightNote(int note) {
    Input_->LightNote(note, false);
}

void KeymoraWidget::setNoteColor(int note, const QColor& color) {
    Input_->SetNoteColor(note, color);
}

void KeymoraWidget::clearNoteColor(int note) {
    Input_->ClearNoteColor(note);
}

void KeymoraWidget::clearNoteColors() {
    Control_.ClearKeyColors();
}

void KeymoraWidget::allNotesOff() {
    Input_->AllNotesOff();
}

void KeymoraWidget::ControlChanged(const keymora::TChange& C) {
    using keymora::TChangeKind;
    switch (C.Kind) {
        case TChangeKind::KeyState: {
            // The input first records which PC key holds the key and what it went down with.
            int Note = 0;
            int Velocity = 0;
            const int Kind = Input_->KeyStateChanged(C, Note, Velocity);
            emit keyStateChanged(C.Index, C.Black, C.OldState, C.NewState);
            if (Kind > 0)
                emit noteOn(Note, Velocity);
            else if (Kind < 0)
                emit noteOff(Note, Velocity);
            break;
        }
        case TChangeKind::Property: {
            const std::string_view N = C.Property;
            if (N == "Orientation") {
                updateGeometry();
                emit orientationChanged(orientation());
            } else if (N == "Style") {
                updateGeometry();
                emit musicStyleChanged(musicStyle());
            } else if (N == "SettingWidth") {
                updateGeometry();
                emit settingWidthChanged(settingWidth());
            } else if (N == "DurationWidth") {
                emit durationWidthChanged(durationWidth());
            } else if (N == "DurationPosition") {
                emit durationPositionChanged(durationPosition());
            } else if (N == "Octave") {
                emit octaveChanged(octave());
            } else if (N == "AutoTone") {
                emit autoToneChanged(autoTone());
            } else if (N == "OffsetOctave") {
                emit offsetOctaveChanged(offsetOctave());
            } else if (N == "MaxOffsetDuration") {
                emit maxOffsetDurationChanged(maxOffsetDuration());
            } else if (N == "MaxOffsetOttave") {
                updateGeometry();
                emit maxOffsetOttaveChanged(maxOffsetOttave());
            } else if (N == "Keys") {
                emit keysChanged(keys());
            } else if (N == "MaxDuration") {
                emit maxDurationChanged(maxDuration());
            } else if (N == "MouseTrack") {
                emit mouseTrackChanged(mouseTrack());
            } else if (N == "OffsetDuration") {
                emit offsetDurationChanged(offsetDuration());
            } else if (N == "CtrlMove") {
                emit ctrlMoveChanged(ctrlMove());
            }
            break;
        }
        case TChangeKind::Focus:
        case TChangeKind::Layout:
            break;
    }
    keymora::qt::AnnounceChange(*this, C);
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
    const bool TabStopChanged = Control_.TabStop() != Mirrored_.TabStop;
    Mirroring_ = false;
    Mirrored_ = {Control_.TabStop(), Control_.Enabled(), Control_.Visible(), Control_.Font()};
    // Change notifications for the base properties the widget publishes, whoever changed them.
    if (TabStopChanged) emit tabStopChanged(Control_.TabStop());
    if (Control_.Color() != MirroredColor_) {
        MirroredColor_ = Control_.Color();
        emit colorChanged(color());
    }
    if (Control_.ShowHint() != MirroredShowHint_) {
        MirroredShowHint_ = Control_.ShowHint();
        emit showHintChanged(Control_.ShowHint());
    }
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

// ---- Qt events ----

bool KeymoraWidget::event(QEvent* e) {
    switch (e->type()) {
        case QEvent::Polish:
            FinishLoading();
            break;
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TouchCancel:
            // Taken whole, so that Qt makes no mouse events of the same touches.
            if (isEnabled()) {
                Input_->Touch(*static_cast<QTouchEvent*>(e), devicePixelRatioF());
                e->accept();
                return true;
            }
            break;
        case QEvent::KeyPress: {
            // QWidget::event moves the focus on Tab before keyPressEvent could see it; a control
            // that asks for Tab gets it as a key instead.
            auto* K = static_cast<QKeyEvent*>(e);
            if (Input_->TakesTab(*K)) {
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
    return QWidget::event(e);
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
    Input_->FocusIn();
}

void KeymoraWidget::focusOutEvent(QFocusEvent*) {
    // Keys held by the PC keyboard would never see their release now: they end here.
    Input_->FocusOut();
}

void KeymoraWidget::mousePressEvent(QMouseEvent* e) {
    if (!Input_->MousePress(*e, devicePixelRatioF(), false)) e->ignore();
}

void KeymoraWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    // The second press of a double click; the host marks it when the control asks for double
    // clicks.
    if (!Input_->MousePress(*e, devicePixelRatioF(), true)) e->ignore();
}

void KeymoraWidget::mouseMoveEvent(QMouseEvent* e) {
    Input_->MouseMove(*e, devicePixelRatioF());
}

void KeymoraWidget::mouseReleaseEvent(QMouseEvent* e) {
    if (!Input_->MouseRelease(*e, devicePixelRatioF())) e->ignore();
}

void KeymoraWidget::keyPressEvent(QKeyEvent* e) {
    if (!Input_->KeyPress(*e)) e->ignore();
}

void KeymoraWidget::keyReleaseEvent(QKeyEvent* e) {
    // Auto-repeated releases are dropped there; a release also ends whatever its physical key
    // pressed and still holds.
    if (!Input_->KeyRelease(*e)) e->ignore();
}

void KeymoraWidget::wheelEvent(QWheelEvent* e) {
    if (Input_->Wheel(e->position(), e->angleDelta(), devicePixelRatioF()))
        e->accept();
    else
        e->ignore();
}

void KeymoraWidget::contextMenuEvent(QContextMenuEvent* e) {
    if (PopupMenu_)
        PopupMenu_->popup(e->globalPos());
    else
        e->ignore();
}
