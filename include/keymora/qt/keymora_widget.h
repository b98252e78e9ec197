/// \file
/// KeymoraWidget: the keyboard control as a Qt Widgets widget. It owns a TKeymora, gives it its
/// window (repaints, focus, hints, cursor, themes) and translates Qt's events into the control's
/// steps; everything the keyboard does is the control's own behaviour.
#pragma once

#include <QtCore/QList>
#include <QtCore/QPointer>
#include <QtCore/QRect>
#include <QtGui/QColor>
#include <QtWidgets/QWidget>
#include <array>
#include <cstdint>
#include <memory>

#include "keymora/host/control.h"
#include "keymora/model/keymora.h"

class QMenu;
class QMetaProperty;
class QTouchEvent;

namespace keymora {
struct TPropInfo;
}
namespace keymora::qt {
class NoteInput;
}

/// An on-screen piano keyboard (A0 to C8) with a duration selector, played with the mouse and
/// the PC keyboard.
///
/// Properties are those of the control, in the control's declaration order, so that a form
/// saves and loads them in that order; they apply through the control's setters (values out of
/// range are ignored silently). A widget starts in the loading state: properties assigned before
/// it is polished (by uic's setupUi, QUiLoader or code before show) are applied without
/// computing the layout, which is computed once when the widget is polished. Call
/// ensurePolished() to finish loading earlier.
class KeymoraWidget : public QWidget, private keymora::THostWindow {
    Q_OBJECT
    Q_PROPERTY(KeyboardOrientation orientation READ orientation WRITE setOrientation NOTIFY
                   orientationChanged)
    Q_PROPERTY(MusicStyles musicStyle READ musicStyle WRITE setMusicStyle NOTIFY musicStyleChanged)
    Q_PROPERTY(int settingWidth READ settingWidth WRITE setSettingWidth NOTIFY settingWidthChanged)
    Q_PROPERTY(
        int durationWidth READ durationWidth WRITE setDurationWidth NOTIFY durationWidthChanged)
    Q_PROPERTY(int durationPosition READ durationPosition WRITE setDurationPosition NOTIFY
                   durationPositionChanged)
    Q_PROPERTY(int octave READ octave WRITE setOctave NOTIFY octaveChanged)
    Q_PROPERTY(AutoTone autoTone READ autoTone WRITE setAutoTone NOTIFY autoToneChanged)
    Q_PROPERTY(int offsetOctave READ offsetOctave WRITE setOffsetOctave NOTIFY offsetOctaveChanged)
    Q_PROPERTY(int maxOffsetDuration READ maxOffsetDuration WRITE setMaxOffsetDuration NOTIFY
                   maxOffsetDurationChanged)
    Q_PROPERTY(int maxOffsetOttave READ maxOffsetOttave WRITE setMaxOffsetOttave NOTIFY
                   maxOffsetOttaveChanged)
    Q_PROPERTY(QString keys READ keys WRITE setKeys NOTIFY keysChanged)
    Q_PROPERTY(int maxDuration READ maxDuration WRITE setMaxDuration NOTIFY maxDurationChanged)
    Q_PROPERTY(bool mouseTrack READ mouseTrack WRITE setMouseTrack NOTIFY mouseTrackChanged)
    Q_PROPERTY(
        int offsetDuration READ offsetDuration WRITE setOffsetDuration NOTIFY offsetDurationChanged)
    Q_PROPERTY(bool ctrlMove READ ctrlMove WRITE setCtrlMove NOTIFY ctrlMoveChanged)
    // Base properties of the control that have no QWidget property of the same meaning.
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(bool showHint READ showHint WRITE setShowHint NOTIFY showHintChanged)
    Q_PROPERTY(bool tabStop READ tabStop WRITE setTabStop NOTIFY tabStopChanged)
    // The binding's own choices: QStyle faces or the classic faces; the velocity of notes.
    Q_PROPERTY(bool themed READ themed WRITE setThemed NOTIFY themedChanged)
    Q_PROPERTY(int velocity READ velocity WRITE setVelocity NOTIFY velocityChanged)
    Q_PROPERTY(bool velocityByPosition READ velocityByPosition WRITE setVelocityByPosition NOTIFY
                   velocityByPositionChanged)
    // Labels beyond the control's marks, off by default.
    Q_PROPERTY(bool noteNames READ noteNames WRITE setNoteNames NOTIFY noteNamesChanged)
    Q_PROPERTY(bool scientificOctaves READ scientificOctaves WRITE setScientificOctaves NOTIFY
                   scientificOctavesChanged)
    // tabStop decides the focus policy; a second, conflicting setting in forms would be lost.
    Q_PROPERTY(Qt::FocusPolicy focusPolicy READ focusPolicy WRITE setFocusPolicy
                   DESIGNABLE false STORED false)

  public:
    /// The axis the keys run along: the widget's width (koHorizontal) or its height (koVertical).
    // A fixed underlying type: properties, forms and scripts may hand over any int, which the
    // setters then refuse; without one, a value beyond the enumerators is undefined behaviour.
    enum KeyboardOrientation : int { koHorizontal, koVertical };
    Q_ENUM(KeyboardOrientation)
    /// The feature switches; the values are the control's bits.
    enum MusicStyle : int {
        msShowMarks = 0x1,
        msColorOctave = 0x2,
        msScrollDuration = 0x4,
        msScrollOctave = 0x8,
    };
    Q_DECLARE_FLAGS(MusicStyles, MusicStyle)
    Q_FLAG(MusicStyles)
    /// How black keys are spelled in keyClick and notePlayed: by the major (atAutoMajor) or
    /// minor (atAutoMinor) key the white keys suggest, all as flats (atBemol) or all as sharps
    /// (atDiesis).
    enum AutoTone : int { atAutoMajor, atBemol, atDiesis, atAutoMinor };
    Q_ENUM(AutoTone)

    /// A keyboard with the control's defaults, in the loading state until it is polished.
    explicit KeymoraWidget(QWidget* parent = nullptr);
    ~KeymoraWidget() override;

    /// The widget property that stands for a published property of the control (Info from
    /// keymora::PublishedProperties()): the table's name with a lower-case initial, Style as
    /// musicStyle. Invalid for the base properties that QWidget's own properties stand for
    /// (font, enabled, visible, ...) and those the widget does not offer.
    static QMetaProperty publishedProperty(const keymora::TPropInfo& info);

    /// The control itself, for its methods (GetKeyRect, GetPoint, ...) and host events.
    keymora::TKeymora& control() { return Control_; }
    /// The control itself, read-only.
    const keymora::TKeymora& control() const { return Control_; }

    /// orientation: whether the keys run along the width or the height; koHorizontal by default.
    KeyboardOrientation orientation() const;
    /// Sets orientation (other values are ignored); emits orientationChanged.
    void setOrientation(KeyboardOrientation value);
    /// musicStyle: the feature switches (the control's Style): msShowMarks, msColorOctave,
    /// msScrollDuration, msScrollOctave; all on by default.
    MusicStyles musicStyle() const;
    /// Sets musicStyle (bits beyond the four switches are dropped); emits musicStyleChanged.
    void setMusicStyle(MusicStyles value);
    /// settingWidth: the thickness in pixels of the setting strip (the duration row) at the far end
    /// of the key axis; 30 by default.
    int settingWidth() const { return Control_.SettingWidth(); }
    /// Sets settingWidth, 10..32767 (other values are ignored); emits settingWidthChanged.
    void setSettingWidth(int value) { Control_.SetSettingWidth(value); }
    /// durationWidth: kept and saved with the other properties, not used for drawing; 6 by default.
    int durationWidth() const { return Control_.DurationWidth(); }
    /// Sets durationWidth (any value); emits durationWidthChanged.
    void setDurationWidth(int value) { Control_.SetDurationWidth(value); }
    /// durationPosition: the chosen duration, 0 for the whole note, D for the 1/2^D note; 0 by
    /// default.
    int durationPosition() const { return Control_.DurationPosition(); }
    /// Sets durationPosition, 0..maxDuration - 1 (other values are ignored); scrolls the row so
    /// that the cell is in view; emits durationPositionChanged and durationChanged.
    void setDurationPosition(int value) { Control_.SetDurationPosition(value); }
    /// octave: the control's octave the PC keys play, 1..9 (5 holds middle C); 5 by default.
    int octave() const { return Control_.Octave(); }
    /// Sets octave, 1..9 (other values are ignored); emits octaveChanged.
    void setOctave(int value);
    /// autoTone: how black keys are spelled in what the widget reports; atAutoMajor by default.
    AutoTone autoTone() const;
    /// Sets autoTone (other values are ignored); emits autoToneChanged.
    void setAutoTone(AutoTone value);
    /// offsetOctave: how many octaves the keys are scrolled toward the start end under
    /// msScrollOctave; 0 by default.
    int offsetOctave() const { return Control_.OffsetOctave(); }
    /// Sets offsetOctave, 0..maxOffsetOttave (other values are ignored); emits offsetOctaveChanged
    /// and offsetChanged.
    void setOffsetOctave(int value) { Control_.SetOffsetOctave(value); }
    /// maxOffsetDuration: how many duration positions lie beyond the cells shown under
    /// msScrollDuration; 3 by default.
    int maxOffsetDuration() const { return Control_.MaxOffsetDuration(); }
    /// Sets maxOffsetDuration, 1..maxDuration - 1 (other values are ignored); emits
    /// maxOffsetDurationChanged and maxChanged.
    void setMaxOffsetDuration(int value) { Control_.SetOutDuration(value); }
    /// maxOffsetOttave: how many octaves the keys can scroll under msScrollOctave, which shows
    /// 63 - 7 * maxOffsetOttave white keys (at most 52); 4 by default.
    int maxOffsetOttave() const { return Control_.MaxOffsetOttave(); }
    /// Sets maxOffsetOttave, 1..8 (other values are ignored); emits maxOffsetOttaveChanged and
    /// maxChanged.
    void setMaxOffsetOttave(int value) { Control_.SetOutOctave(value); }
    /// keys: the PC-key letters that play C, D, E .. of the current octave; "CDEFGAB" by default.
    QString keys() const;
    /// Sets keys; a value that differs only in letter case is no change. Emits keysChanged.
    void setKeys(const QString& value);
    /// maxDuration: how many duration positions the row offers; 6 by default.
    int maxDuration() const { return Control_.MaxDuration(); }
    /// Sets maxDuration, 2..8 (other values are ignored), lowering maxOffsetDuration and
    /// durationPosition to fit; emits maxDurationChanged.
    void setMaxDuration(int value) { Control_.SetDurationCount(value); }
    /// mouseTrack: when true, the pointer's position across the key axis picks the duration; false
    /// by default.
    bool mouseTrack() const { return Control_.MouseTrack(); }
    /// Sets mouseTrack; emits mouseTrackChanged.
    void setMouseTrack(bool value) { Control_.SetMouseTrack(value); }
    /// offsetDuration: the duration position of the first cell shown; 0 by default.
    int offsetDuration() const { return Control_.OffsetDuration(); }
    /// Sets offsetDuration, 0..maxOffsetDuration (other values are ignored); emits
    /// offsetDurationChanged and offsetChanged.
    void setOffsetDuration(int value) { Control_.SetOffsetDuration(value); }
    /// ctrlMove: when true, the arrow keys, Home and End change octave and duration only with Ctrl
    /// held; false by default.
    bool ctrlMove() const { return Control_.CtrlMove(); }
    /// Sets ctrlMove; emits ctrlMoveChanged.
    void setCtrlMove(bool value) { Control_.SetCtrlMove(value); }

    /// color: the keyboard's background and white-key colour where no octave tint applies; white by
    /// default.
    QColor color() const;
    /// Sets color (an invalid colour is ignored); repaints and emits colorChanged.
    void setColor(const QColor& value);
    /// tabStop: whether Tab reaches the widget; true by default.
    bool tabStop() const { return Control_.TabStop(); }
    /// Tab reaches the widget when true; a click focuses it either way.
    void setTabStop(bool value);
    /// showHint: whether the hint is shown as a tooltip; false by default.
    bool showHint() const { return Control_.ShowHint(); }
    /// Whether the control's hint (the duration while tracking) is shown as a tooltip.
    void setShowHint(bool value);
    /// themed: buttons drawn with the current QStyle (true, the default) or as classic flat faces.
    bool themed() const { return Themed_; }
    /// Sets themed; repaints and emits themedChanged.
    void setThemed(bool value);
    /// The velocity of every note played (1..127, 100 by default), unless velocityByPosition.
    int velocity() const;
    /// Sets velocity, 1..127 (other values are ignored); emits velocityChanged.
    void setVelocity(int value);
    /// When true, a key pressed with the mouse or a touch sounds louder the further from its
    /// root end (the back of the key) it is pressed; off by default.
    bool velocityByPosition() const;
    /// Sets velocityByPosition; emits velocityByPositionChanged.
    void setVelocityByPosition(bool value);
    /// The note name ("C" .. "B") on every white key, whatever the PC-key letters; off by
    /// default.
    bool noteNames() const { return Control_.NoteNames(); }
    /// Sets noteNames; repaints the keys and emits noteNamesChanged.
    void setNoteNames(bool value);
    /// Octave numbers on the C keys in scientific numbering (C4 labelled 4) instead of the
    /// control's own (C4 labelled 5); off by default.
    bool scientificOctaves() const { return Control_.ScientificOctaves(); }
    /// Sets scientificOctaves; repaints the keys and emits scientificOctavesChanged.
    void setScientificOctaves(bool value);

    /// The menu shown on a context-menu request (not owned; null for none).
    QMenu* popupMenu() const;
    /// Sets the context menu (not owned; null for none). A deleted menu reads as null.
    void setPopupMenu(QMenu* menu);

    /// 600 x 100 along the keys' axis: 100 x 600 for a vertical keyboard.
    QSize sizeHint() const override;
    /// The smallest size at which every visible key is still 8 pixels wide and long enough for
    /// its marks and a black key.
    QSize minimumSizeHint() const override;

    // ---- Notes by MIDI number: 21 = A0, 60 = C4 (middle C), 108 = C8 ----

    /// The rectangle of the key that sounds MIDI note \p note, in widget coordinates; empty for a
    /// number outside 21..108.
    QRect noteRect(int note) const;
    /// The MIDI note of the key a press at \p pos would play, or -1 where it would play none.
    int noteAt(const QPoint& pos) const;
    /// The MIDI notes of the keys held down now (by the mouse, the PC keyboard or touch),
    /// lowest first.
    QList<int> heldNotes() const;
    /// The colour the application gave the key of \p note; invalid when it has none.
    QColor noteColor(int note) const;

  public slots:
    /// Lights the key of MIDI note \p note as selectNote does (numbers outside 21..108 are
    /// ignored).
    void lightNote(int note);
    /// Takes the light off the key of \p note.
    void unlightNote(int note);
    /// Gives the key of \p note the application's colour: its body shows it until the colour is
    /// taken away, whatever the user plays; pressed and lit keys draw over it as usual.
    void setNoteColor(int note, const QColor& color);
    /// Takes the application's colour away from the key of \p note.
    void clearNoteColor(int note);
    /// Takes every application colour away.
    void clearNoteColors();

    /// Lights a note: \p note 0..6 for C..B of the control's \p octave, \p tone nonzero for the
    /// black key above it. An address outside the keyboard is ignored.
    void selectNote(int octave, int note, int tone);
    /// Takes the light off a note selectNote lit, addressed the same way; only a lit key changes.
    void releaseNote(int octave, int note, int tone);
    /// Takes the light off every lit key.
    void releaseSelected();
    /// Releases every pressed key (all notes off), whatever pressed it, without a click.
    void allNotesOff();

  signals:
    /// A note was played: the control's \p octave, \p note 1..7 for C..B, \p tone -1 flat, +1
    /// sharp, 0 white key; Space gives (0, -1, 0).
    void keyClick(int octave, int note, int tone);
    /// The pointer moved with duration tracking (keys = true) or over the setting strip.
    void trackMouse(bool keys);
    /// offsetOctave or offsetDuration changed.
    void offsetChanged();
    /// durationPosition changed.
    void durationChanged();
    /// maxOffsetDuration or maxOffsetOttave changed.
    void maxChanged();
    /// A key's state changed: Index is the white key (Black false) or the black key above it
    /// (Black true); the states are 0 idle, 2 pressed, 3 selected. Fired after each change, for
    /// holding a sound from press to release.
    void keyStateChanged(int index, bool black, int oldState, int newState);
    /// A key went down, whoever pressed it (mouse, PC keyboard, touch): its MIDI note and the
    /// velocity (the velocity property, or from the press position with velocityByPosition).
    void noteOn(int note, int velocity);
    /// A key went up: the same note and velocity its noteOn reported.
    void noteOff(int note, int velocity);
    /// A note was played (keyClick) as a MIDI note with its spelling under autoTone ("C#4",
    /// "Db4", "Fb4"); not for Space, which keyClick reports as (0, -1, 0).
    void notePlayed(int note, const QString& name);

    // Change notifications, one per actual change of the property, whoever made it.
    ///@{
    /// The change notifications of the properties, one per actual change of the property, whoever
    /// made it (a setter, the user, a loaded text form), with the new value.
    void orientationChanged(KeymoraWidget::KeyboardOrientation orientation);
    void musicStyleChanged(KeymoraWidget::MusicStyles musicStyle);
    void settingWidthChanged(int settingWidth);
    void durationWidthChanged(int durationWidth);
    void durationPositionChanged(int durationPosition);
    void octaveChanged(int octave);
    void autoToneChanged(KeymoraWidget::AutoTone autoTone);
    void offsetOctaveChanged(int offsetOctave);
    void maxOffsetDurationChanged(int maxOffsetDuration);
    void maxOffsetOttaveChanged(int maxOffsetOttave);
    void keysChanged(const QString& keys);
    void maxDurationChanged(int maxDuration);
    void mouseTrackChanged(bool mouseTrack);
    void offsetDurationChanged(int offsetDuration);
    void ctrlMoveChanged(bool ctrlMove);
    void colorChanged(const QColor& color);
    void showHintChanged(bool showHint);
    void tabStopChanged(bool tabStop);
    void themedChanged(bool themed);
    void velocityChanged(int velocity);
    void velocityByPositionChanged(bool velocityByPosition);
    void noteNamesChanged(bool noteNames);
    void scientificOctavesChanged(bool scientificOctaves);
    ///@}
  protected:
    ///@{
    /// Qt's events, handed to the control's steps: polishing ends loading; paint, geometry, show
    /// and state changes; focus; mouse and touch presses (touch in event()); keys through the
    /// control's key steps (Tab too while the control asks for it); the wheel scrolls octaves or,
    /// over the setting strip, the duration row, under the matching scroll style; the context menu
    /// shows popupMenu.
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void changeEvent(QEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    ///@}
  private:
    // The host's parent for the control: the widget's parent widget (null for a window).
    class Parent : public keymora::THostParent {
      public:
        QWidget* Widget = nullptr;
    };

    // THostWindow.
    void InvalidateRect(const keymora::TRect& R) override;
    void Invalidate() override;
    bool Focused() const override;
    void SetFocus() override;
    bool ThemesEnabled() const override { return Themed_; }
    keymora::TPoint GetCursorPos() const override;
    void CursorChanged(keymora::TCursor Cursor) override;
    void CancelHint() override;
    void HintMouseMessage(const keymora::TMessage& Msg) override;
    void BoundsChanged() override;
    void BasePropertiesChanged() override;

    /// Hands the widget's geometry to the control when it differs from the control's bounds.
    void SyncBounds();
    /// Ends the loading state: bounds, then Loaded (once).
    void FinishLoading();
    /// Hands the widget's font and text colour to the control.
    void SyncFont();
    keymora::TFont FontFromWidget() const;
    /// Runs a change the widget makes to the control's base properties, without mirroring it
    /// back, and remembers what the widget now mirrors.
    template <class F>
    void FromWidget(F&& Change);
    /// Turns a change the control reports into signals and announcements.
    void ControlChanged(const keymora::TChange& Change);

    keymora::TKeymora Control_;
    // Qt's input events into the control's steps, shared with the Qt Quick binding: pointer
    // positions, PC keys with their hanging-key release, touch points, the wheel, velocities.
    std::unique_ptr<keymora::qt::NoteInput> Input_;
    Parent Parent_;
    QPointer<QMenu> PopupMenu_;
    bool Themed_ = true;
    // The control's base properties as the widget last mirrored them, so that a change made in
    // the control (a loaded text form) is applied to the widget and nothing else is.
    struct Mirror {
        bool TabStop = true;
        bool Enabled = true;
        bool Visible = true;
        keymora::TFont Font;
    };
    Mirror Mirrored_;
    bool Mirroring_ = false;
    std::uint32_t MirroredColor_ = 0;
    bool MirroredShowHint_ = false;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(KeymoraWidget::MusicStyles)
