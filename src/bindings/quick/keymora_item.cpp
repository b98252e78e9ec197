// KeymoraItem: Qt Quick's events into the control's steps through the binding's shared input
// translation, the control's requests into the item's repaint, focus, hint and cursor calls, and
// the control's picture painted by the raster canvas into a kept image that paint() copies.
#include "keymora/quick/keymora_item.h"

#include <QtCore/QMetaMethod>
#include <QtGui/QCursor>
#include <QtGui/QGuiApplication>
#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>
#include <QtGui/QTouchEvent>
#include <QtGui/QWheelEvent>
#include <QtQuick/QQuickWindow>
#include <QtWidgets/QApplication>
#include <QtWidgets/QStyle>
#include <QtWidgets/QStyleFactory>
#include <cmath>

#include "bindings/qt/note_input.h"
#include "bindings/qt/qt_canvas.h"
#include "bindings/quick/quick_accessible.h"
#include "keymora/layout/layout.h"
#include "keymora/pitch/pitch.h"

using namespace keymora;

namespace {

// The faces of a themed keyboard: the application's style, or Fusion in an application without
// widgets (a plain QGuiApplication, as QML applications often are).
QStyle* ThemeStyle() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) return QApplication::style();
    static QStyle* Fusion = QStyleFactory::create(QStringLiteral("Fusion"));
    return Fusion;
}

TFont ApplicationFont(const TFont& Base) {
    const QFont Q = QGuiApplication::font();
    TFont F = Base;
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
    F.Color = qt::FromQColor(QGuiApplication::palette().color(QPalette::WindowText));
    return F;
}

}  // namespace

KeymoraItem::KeymoraItem(QQuickItem* parent)
    : QQuickPaintedItem(parent), Input_(std::make_unique<qt::NoteInput>(Control_)) {
    setOpaquePainting(true);
    setAcceptedMouseButtons(Qt::AllButtons);
    setAcceptHoverEvents(true);
    setAcceptTouchEvents(true);
    setActiveFocusOnTab(Control_.TabStop());

    Control_.SetParent(&Parent_);
    Control_.OnKeyClick = [this](TObject*, int Octave, int Note, int Tone) {
        emit keyClick(Octave, Note, Tone);
        if (Note < 1) return;  // Space: a rest, no note
        // The name is made only for a listener: a click allocates nothing otherwise.
        static const QMetaMethod Signal = QMetaMethod::fromSignal(&KeymoraItem::notePlayed);
        if (!isSignalConnected(Signal)) return;
        const TNote Played{Octave, Note, Tone};
        emit notePlayed(Played.Midi(),
                        QString::fromLatin1(Played.Text().View().data(),
                                            static_cast<int>(Played.Text().View().size())));
    };
    Control_.OnTrackMouse = [this](TObject*, bool Keys) { emit trackMouse(Keys); };
    Control_.OnOffsetChanged = [this](TObject*) { emit offsetChanged(); };
    Control_.OnDurationChanged = [this](TObject*) { emit durationChanged(); };
    Control_.OnMaxChanged = [this](TObject*) { emit maxChanged(); };
    Control_.OnChange = [this](TObject*, const TChange& C) { ControlChanged(C); };
    Control_.CreateHandle(this);
    Mirroring_ = true;
    Control_.SetFont(ApplicationFont(Control_.Font()));
    Mirroring_ = false;
    MirroredTabStop_ = Control_.TabStop();
    MirroredColor_ = Control_.Color();
    MirroredShowHint_ = Control_.ShowHint();
    keymora::quick::AttachAccessibility(*this);
    // The control's window exists: the size reaches it.
    setImplicitSize(600, 100);
    RepaintAll();
}

KeymoraItem::~KeymoraItem() {
    Control_.DestroyHandle();
    Control_.OnKeyClick = nullptr;
    Control_.OnTrackMouse = nullptr;
    Control_.OnOffsetChanged = nullptr;
    Control_.OnDurationChanged = nullptr;
    Control_.OnMaxChanged = nullptr;
    Control_.OnChange = nullptr;
}

// ---- Properties ----

KeymoraItem::KeyboardOrientation KeymoraItem::orientation() const {
    return static_cast<KeyboardOrientation>(Control_.Orientation());
}

void KeymoraItem::setOrientation(KeyboardOrientation value) {
    if (value != koHorizontal && value != koVertical) return;
    Control_.SetOrientation(static_cast<TKeyboardOrientation>(value));
}

KeymoraItem::MusicStyles KeymoraItem::musicStyle() const {
    return MusicStyles::fromInt(Control_.Style().Bits());
}

void KeymoraItem::setMusicStyle(MusicStyles value) {
    if (value.toInt() & ~0xF) return;
    Control_.SetStyle(TMusicStyles::FromBits(static_cast<std::uint8_t>(value.toInt())));
}

KeymoraItem::AutoTone KeymoraItem::autoTone() const {
    return static_cast<AutoTone>(Control_.AutoTone());
}

void KeymoraItem::setAutoTone(AutoTone value) {
    if (value < atAutoMajor || value > atAutoMinor) return;
    Control_.SetAutoTone(static_cast<TAutoTone>(value));
}

QString KeymoraItem::keys() const {
    return QString::fromStdString(Control_.Keys());
}

void KeymoraItem::setKeys(const QString& value) {
    Control_.SetKeys(value.toStdString());
}

QColor KeymoraItem::color() const {
    return qt::ToQColor(Control_.Color());
}

void KeymoraItem::setColor(const QColor& value) {
    if (value.isValid()) Control_.SetColor(qt::FromQColor(value.toRgb()));
}

Qt::FocusPolicy KeymoraItem::focusPolicy() const {
    // A click focuses the item either way: the control takes the focus on a press.
    return Control_.TabStop() ? Qt::StrongFocus : Qt::ClickFocus;
}

void KeymoraItem::setFocusPolicy(Qt::FocusPolicy policy) {
    Control_.SetTabStop((policy & Qt::TabFocus) != 0);
}

void KeymoraItem::setThemed(bool value) {
    if (value == Themed_) return;
    Themed_ = value;
    RepaintAll();
    emit themedChanged(value);
}

int KeymoraItem::velocity() const {
    return Input_->Velocity;
}

void KeymoraItem::setVelocity(int value) {
    if (value == Input_->Velocity || value < 1 || value > 127) return;
    Input_->Velocity = value;
    emit velocityChanged(value);
}

bool KeymoraItem::velocityByPosition() const {
    return Input_->VelocityByPosition;
}

void KeymoraItem::setVelocityByPosition(bool value) {
    if (value == Input_->VelocityByPosition) return;
    Input_->VelocityByPosition = value;
    emit velocityByPositionChanged(value);
}

void KeymoraItem::setNoteNames(bool value) {
    if (value == noteNames()) return;
    Control_.SetNoteNames(value);
    emit noteNamesChanged(value);
}

void KeymoraItem::setScientificOctaves(bool value) {
    if (value == scientificOctaves()) return;
    Control_.SetScientificOctaves(value);
    emit scientificOctavesChanged(value);
}

// ---- Notes ----

QRect KeymoraItem::noteRect(int note) const {
    return Input_->NoteRect(note);
}

int KeymoraItem::noteAt(const QPoint& pos) const {
    return Input_->NoteAt(pos);
}

QList<int> KeymoraItem::heldNotes() const {
    return Input_->HeldNotes();
}

QColor KeymoraItem::noteColor(int note) const {
    return Input_->NoteColor(note);
}

void KeymoraItem::lightNote(int note) {
    Input_->LightNote(note, true);
}

void KeymoraItem::unlightNote(int note) {
    Input_->LightNote(note, false);
}

void KeymoraItem::setNoteColor(int note, const QColor& color) {
    Input_->SetNoteColor(note, color);
}

void KeymoraItem::clearNoteColor(int note) {
    Input_->ClearNoteColor(note);
}

void KeymoraItem::clearNoteColors() {
    Control_.ClearKeyColors();
}

void KeymoraItem::selectNote(int octave, int note, int tone) {
    if (octave < 0 || octave > 255 || note < 0 || note > 255) return;
    Control_.SelectNote(static_cast<std::uint8_t>(octave), static_cast<std::uint8_t>(note),
                        tone != 0 ? 1 : 0);
}

void KeymoraItem::releaseNote(int octave, int note, int tone) {
    if (octave < 0 || octave > 255 || note < 0 || note > 255) return;
    Control_.ReleaseNote(static_cast<std::uint8_t>(octave), static_cast<std::uint8_t>(note),
                         tone != 0 ? 1 : 0);
}

void KeymoraItem::releaseSelected() {
    Control_.ReleaseSelected();
}

void KeymoraItem::allNotesOff() {
    Input_->AllNotesOff();
}

// ---- What the control reports ----

void KeymoraItem::ControlChanged(const TChange& C) {
    switch (C.Kind) {
        case TChangeKind::KeyState: {
            // The input first records which PC key holds the key and what it went down with.
            int Note = 0;
            int Vel = 0;
            const int Kind = Input_->KeyStateChanged(C, Note, Vel);
            emit keyStateChanged(C.Index, C.Black, C.OldState, C.NewState);
            if (Kind > 0)
                emit noteOn(Note, Vel);
            else if (Kind < 0)
                emit noteOff(Note, Vel);
            break;
        }
        case TChangeKind::Property: {
            const std::string_view N = C.Property;
            if (N == "Orientation") {
                emit orientationChanged(orientation());
            } else if (N == "Style") {
                emit musicStyleChanged(musicStyle());
            } else if (N == "SettingWidth") {
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
    keymora::quick::AnnounceChange(*this, C);
}

// ---- The control's window ----

// QQuickPaintedItem takes a null dirty rectangle for "everything", and a later update(rect) before
// the frame narrows it to that rectangle: while a full repaint is pending, parts add nothing.
void KeymoraItem::InvalidateRect(const TRect& R) {
    if (!R.IsEmpty() && !FullRepaint_) update(QRect(R.Left, R.Top, R.Width(), R.Height()));
}

void KeymoraItem::Invalidate() {
    RepaintAll();
}

void KeymoraItem::RepaintAll() {
    FullRepaint_ = true;
    update();
}

bool KeymoraItem::Focused() const {
    return hasActiveFocus();
}

void KeymoraItem::SetFocus() {
    forceActiveFocus(Qt::MouseFocusReason);
}

TPoint KeymoraItem::GetCursorPos() const {
    const QPoint P = QCursor::pos();
    return {P.x(), P.y()};
}

void KeymoraItem::CursorChanged(TCursor Cursor) {
    if (Cursor == crDefault) unsetCursor();
}

void KeymoraItem::SetHint(bool Visible) {
    const QString Text = QString::fromStdString(Control_.Hint());
    Visible = Visible && Control_.ShowHint() && !Text.isEmpty();
    if (Text == HintText_ && Visible == HintVisible_) return;
    HintText_ = Text;
    HintVisible_ = Visible;
    emit hintChanged();
}

void KeymoraItem::CancelHint() {
    // Only the showing changes: the control cancels before every new hint, whose text follows.
    if (!HintVisible_) return;
    HintVisible_ = false;
    emit hintChanged();
}

void KeymoraItem::HintMouseMessage(const TMessage&) {
    SetHint(true);
}

void KeymoraItem::BoundsChanged() {
    // The application moved the control itself: follow with the item.
    setPosition(QPointF(Control_.Left(), Control_.Top()));
    setSize(QSizeF(Control_.Width(), Control_.Height()));
}

void KeymoraItem::BasePropertiesChanged() {
    if (Mirroring_) return;
    Mirroring_ = true;
    if (Control_.TabStop() != MirroredTabStop_) setActiveFocusOnTab(Control_.TabStop());
    if (Control_.Enabled() != isEnabled()) setEnabled(Control_.Enabled());
    if (Control_.Visible() != isVisible()) setVisible(Control_.Visible());
    Mirroring_ = false;
    if (Control_.TabStop() != MirroredTabStop_) {
        MirroredTabStop_ = Control_.TabStop();
        emit tabStopChanged(MirroredTabStop_);
    }
    if (Control_.Color() != MirroredColor_) {
        MirroredColor_ = Control_.Color();
        // What the control leaves unpainted shows the colour too: a new picture, painted whole.
        NewPicture_ = true;
        RepaintAll();
        emit colorChanged(color());
    }
    if (Control_.ShowHint() != MirroredShowHint_) {
        MirroredShowHint_ = Control_.ShowHint();
        if (!MirroredShowHint_) SetHint(false);
        emit showHintChanged(MirroredShowHint_);
    }
}

void KeymoraItem::SyncBounds() {
    const int X = static_cast<int>(std::lround(x()));
    const int Y = static_cast<int>(std::lround(y()));
    const int W = static_cast<int>(std::lround(width()));
    const int H = static_cast<int>(std::lround(height()));
    if (X == Control_.Left() && Y == Control_.Top() && W == Control_.Width() &&
        H == Control_.Height())
        return;
    Control_.SetBounds(X, Y, W, H);
}

void KeymoraItem::FinishLoading() {
    if (!Control_.ComponentState().Contains(csLoading)) return;
    // Bounds first, still loading, so that Loaded computes the layout once for the final size.
    SyncBounds();
    Control_.Loaded();
}

qreal KeymoraItem::Ratio() const {
    return window() ? window()->effectiveDevicePixelRatio() : 1.0;
}

// ---- Qt Quick's events ----

// QML builds an item between classBegin and componentComplete: its properties are applied as a
// form loads, and the layout is computed once, at the end. An item made in C++ never loads.
void KeymoraItem::classBegin() {
    QQuickPaintedItem::classBegin();
    Control_.BeginLoading();
}

void KeymoraItem::componentComplete() {
    QQuickPaintedItem::componentComplete();
    FinishLoading();
}

void KeymoraItem::geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) {
    QQuickPaintedItem::geometryChange(newGeometry, oldGeometry);
    // The node's image is made anew at the new size: every part of it must be painted.
    if (newGeometry.size() != oldGeometry.size()) RepaintAll();
    if (!Control_.ComponentState().Contains(csLoading)) SyncBounds();
}

void KeymoraItem::itemChange(ItemChange change, const ItemChangeData& value) {
    QQuickPaintedItem::itemChange(change, value);
    if (change == ItemSceneChange || change == ItemDevicePixelRatioHasChanged) RepaintAll();
    if (Mirroring_) return;
    Mirroring_ = true;
    if (change == ItemEnabledHasChanged) Control_.SetEnabled(value.boolValue);
    if (change == ItemVisibleHasChanged) Control_.SetVisible(value.boolValue);
    Mirroring_ = false;
}

bool KeymoraItem::event(QEvent* e) {
    // Qt Quick moves the focus on Tab unless the item takes the key: a control that asks for
    // Tab gets it.
    if (e->type() == QEvent::KeyPress && Input_->TakesTab(*static_cast<QKeyEvent*>(e))) {
        keyPressEvent(static_cast<QKeyEvent*>(e));
        return true;
    }
    return QQuickPaintedItem::event(e);
}

void KeymoraItem::focusInEvent(QFocusEvent* e) {
    QQuickPaintedItem::focusInEvent(e);
    Input_->FocusIn();
}

void KeymoraItem::focusOutEvent(QFocusEvent* e) {
    QQuickPaintedItem::focusOutEvent(e);
    Input_->FocusOut();
}

void KeymoraItem::mousePressEvent(QMouseEvent* e) {
    // Synthesized from touches that touchEvent takes whole: nothing to do twice.
    if (e->source() != Qt::MouseEventNotSynthesized) return e->ignore();
    if (!Input_->MousePress(*e, Ratio(), false)) e->ignore();
}

void KeymoraItem::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->source() != Qt::MouseEventNotSynthesized) return e->ignore();
    if (!Input_->MousePress(*e, Ratio(), true)) e->ignore();
}

void KeymoraItem::mouseMoveEvent(QMouseEvent* e) {
    Input_->MouseMove(*e, Ratio());
}

void KeymoraItem::mouseReleaseEvent(QMouseEvent* e) {
    if (!Input_->MouseRelease(*e, Ratio())) e->ignore();
}

void KeymoraItem::hoverMoveEvent(QHoverEvent* e) {
    // Duration tracking follows the pointer with no button held, as the widget's mouse tracking.
    Input_->Hover(e->position(), e->modifiers(), Ratio());
}

void KeymoraItem::hoverLeaveEvent(QHoverEvent*) {
    SetHint(false);
}

void KeymoraItem::touchEvent(QTouchEvent* e) {
    if (!isEnabled()) return e->ignore();
    Input_->Touch(*e, Ratio());
    e->accept();
}

void KeymoraItem::wheelEvent(QWheelEvent* e) {
    if (Input_->Wheel(e->position(), e->angleDelta(), Ratio()))
        e->accept();
    else
        e->ignore();
}

void KeymoraItem::keyPressEvent(QKeyEvent* e) {
    if (!Input_->KeyPress(*e)) e->ignore();
}

void KeymoraItem::keyReleaseEvent(QKeyEvent* e) {
    if (!Input_->KeyRelease(*e)) e->ignore();
}

// ---- Painting ----

void KeymoraItem::paint(QPainter* painter) {
    FullRepaint_ = false;
    const int W = Control_.ClientWidth();
    const int H = Control_.ClientHeight();
    if (W <= 0 || H <= 0) return;
    // The device pixels per item unit: the node's image may carry the ratio itself or be
    // painted through a scaled painter.
    qreal Scale = painter->device()->devicePixelRatioF() * painter->transform().m11();
    if (!(Scale > 0)) Scale = 1;
    // Each item has its own canvas (unlike the widgets' shared one): items paint on the scene
    // graph's render thread, and windows with threads of their own paint in parallel.
    if (!Canvas_) Canvas_ = std::make_unique<qt::QtCanvas>();
    const QSize Device(qRound(W * Scale), qRound(H * Scale));
    const bool Full = NewPicture_ || Picture_.size() != Device || Picture_.devicePixelRatio() != Scale;
    if (Full) {
        NewPicture_ = false;
        Canvas_->End();
        Picture_ = QImage(Device, QImage::Format_RGB32);
        Picture_.setDevicePixelRatio(Scale);
        // What the control leaves unpainted shows its colour, as a window over its own
        // background does.
        Picture_.fill(qt::ToQColor(Control_.Color()));
        // The picture stays begun between paints: QPainter::begin allocates, a restart does not.
        if (!Canvas_->Begin(&Picture_)) return;
    }
    Canvas_->SetStyle(Themed_ ? ThemeStyle() : nullptr, QGuiApplication::palette());
    TRect Bounds{0, 0, W, H};
    if (!Full && painter->hasClipping()) {
        const QRect Clip = painter->clipBoundingRect().toAlignedRect();
        Bounds = TRect{Clip.left(), Clip.top(), Clip.right() + 1, Clip.bottom() + 1};
    }
    if (!Canvas_->Restart(Bounds)) return;
    Control_.PaintTo(*Canvas_);
    painter->drawImage(QPointF(0, 0), Picture_);
    // A new node image shows only the part the scene graph asked for: the rest follows in the
    // next frame.
    if (Full && painter->hasClipping() &&
        !painter->clipBoundingRect().contains(QRectF(0, 0, width(), height())))
        RepaintAll();
}
