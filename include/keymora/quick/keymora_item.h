/// \file
/// KeymoraItem: the keyboard control as a Qt Quick item, KeymoraKeyboard in the QML module
/// Keymora 1.0. It owns a TKeymora, paints it through the same raster canvas as KeymoraWidget
/// and offers the widget's properties, signals and methods under the same names.
#pragma once

#include <QtCore/QList>
#include <QtCore/QRect>
#include <QtGui/QColor>
#include <QtGui/QImage>
#include <QtQml/qqmlregistration.h>
#include <QtQuick/QQuickPaintedItem>
#include <memory>

#include "keymora/host/control.h"
#include "keymora/model/keymora.h"

namespace keymora::qt {
class NoteInput;
class QtCanvas;
}

/// An on-screen piano keyboard (A0 to C8) with a duration selector for QML, played with the
/// mouse, touch and the PC keyboard.
///
/// Properties, signals and methods are KeymoraWidget's: the control's published properties in
/// their declaration order, each with its change signal fired once per actual change, and the
/// notes by MIDI number. An item made by QML applies its properties while loading and computes
/// the layout once, when the component is complete; an item made in C++ is complete at once.
/// The control's hint (the duration while tracking) is the property hintText, shown while
/// hintVisible; the QML side shows it as it likes (a ToolTip, a Text).
class KeymoraItem : public QQuickPaintedItem, private keymora::THostWindow {
    Q_OBJECT
    QML_NAMED_ELEMENT(KeymoraKeyboard)
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
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(bool showHint READ showHint WRITE setShowHint NOTIFY showHintChanged)
    Q_PROPERTY(bool tabStop READ tabStop WRITE setTabStop NOTIFY tabStopChanged)
    Q_PROPERTY(bool themed READ themed WRITE setThemed NOTIFY themedChanged)
    Q_PROPERTY(int velocity READ velocity WRITE setVelocity NOTIFY velocityChanged)
    Q_PROPERTY(bool velocityByPosition READ velocityByPosition WRITE setVelocityByPosition NOTIFY
                   velocityByPositionChanged)
    Q_PROPERTY(bool noteNames READ noteNames WRITE setNoteNames NOTIFY noteNamesChanged)
    Q_PROPERTY(bool scientificOctaves READ scientificOctaves WRITE setScientificOctaves NOTIFY
                   scientificOctavesChanged)
    Q_PROPERTY(Qt::FocusPolicy focusPolicy READ focusPolicy WRITE setFocusPolicy NOTIFY
                   tabStopChanged)
    Q_PROPERTY(QString hintText READ hintText NOTIFY hintChanged)
    Q_PROPERTY(bool hintVisible READ hintVisible NOTIFY hintChanged)

  public:
    // Each value has a second name with a capital initial: QML reads enum values in
    // expressions (KeymoraKeyboard.Vertical) only by such names.
    /// The axis the keys run along: the item's width (koHorizontal, Horizontal) or its height
    /// (koVertical, Vertical).
    enum KeyboardOrientation : int {
        koHorizontal,
        koVertical,
        Horizontal = koHorizontal,
        Vertical = koVertical
    };
    Q_ENUM(KeyboardOrientation)
    /// The feature switches; the values are the control's bits. In QML: ShowMarks,
    /// ColorOctave, ScrollDuration, ScrollOctave.
    enum MusicStyle : int {
        msShowMarks = 0x1,
        msColorOctave = 0x2,
        msScrollDuration = 0x4,
        msScrollOctave = 0x8,
        ShowMarks = msShowMarks,
        ColorOctave = msColorOctave,
        ScrollDuration = msScrollDuration,
        ScrollOctave = msScrollOctave,
    };
    Q_DECLARE_FLAGS(MusicStyles, MusicStyle)
    Q_FLAG(MusicStyles)
    /// How black keys are spelled in keyClick and notePlayed (see KeymoraWidget::AutoTone). In
    /// QML: AutoMajor, Bemol, Diesis, AutoMinor.
    enum AutoTone : int {
        atAutoMajor,
        atBemol,
        atDiesis,
        atAutoMinor,
        AutoMajor = atAutoMajor,
        Bemol = atBemol,
        Diesis = atDiesis,
        AutoMinor = atAutoMinor
    };
    Q_ENUM(AutoTone)

    /// A keyboard with the control's defaults; 600 x 100 until it is given a size. Made by
    /// QML, it applies its properties as a form loads them and computes the layout once the
    /// component is complete.
    explicit KeymoraItem(QQuickItem* parent = nullptr);
    ~KeymoraItem() override;

    /// The control itself, for its methods (GetKeyRect, GetPoint, ...) and host events.
    keymora::TKeymora& control() { return Control_; }
    /// The control itself, read-only.
    const keymora::TKeymora& control() const { return Control_; }

    ///@{
    /// The control's published properties, as KeymoraWidget's of the same names: the same
    /// defaults and ranges; values out of range are ignored.
    KeyboardOrientation orientation() const;
    void setOrientation(KeyboardOrientation value);
    MusicStyles musicStyle() const;
    void setMusicStyle(MusicStyles value);
    int settingWidth() const { return Control_.SettingWidth(); }
    void setSettingWidth(int value) { Control_.SetSettingWidth(value); }
    int durationWidth() const { return Control_.DurationWidth(); }
    void setDurationWidth(int value) { Control_.SetDurationWidth(value); }
    int durationPosition() const { return Control_.DurationPosition(); }
    void setDurationPosition(int value) { Control_.SetDurationPosition(value); }
    int octave() const { return Control_.Octave(); }
    void setOctave(int value) { Control_.SetOctave(value); }
    AutoTone autoTone() const;
    void setAutoTone(AutoTone value);
    int offsetOctave() const { return Control_.OffsetOctave(); }
    void setOffsetOctave(int value) { Control_.SetOffsetOctave(value); }
    int maxOffsetDuration() const { return Control_.MaxOffsetDuration(); }
    void setMaxOffsetDuration(int value) { Control_.SetOutDuration(value); }
    int maxOffsetOttave() const { return Control_.MaxOffsetOttave(); }
    void setMaxOffsetOttave(int value) { Control_.SetOutOctave(value); }
    QString keys() const;
    void setKeys(const QString& value);
    int maxDuration() const { return Control_.MaxDuration(); }
    void setMaxDuration(int value) { Control_.SetDurationCount(value); }
    bool mouseTrack() const { return Control_.MouseTrack(); }
    void setMouseTrack(bool value) { Control_.SetMouseTrack(value); }
    int offsetDuration() const { return Control_.OffsetDuration(); }
    void setOffsetDuration(int value) { Control_.SetOffsetDuration(value); }
    bool ctrlMove() const { return Control_.CtrlMove(); }
    void setCtrlMove(bool value) { Control_.SetCtrlMove(value); }
    ///@}

    ///@{
    /// The control's base properties and the binding's own choices, as KeymoraWidget's: the
    /// background colour, the hint switch, Tab focus (tabStop, which focusPolicy mirrors:
    /// Qt::TabFocus or stronger turns it on), QStyle or classic faces, the velocity of notes and
    /// the labels beyond the PC-key letters.
    QColor color() const;
    void setColor(const QColor& value);
    bool showHint() const { return Control_.ShowHint(); }
    void setShowHint(bool value) { Control_.SetShowHint(value); }
    bool tabStop() const { return Control_.TabStop(); }
    void setTabStop(bool value) { Control_.SetTabStop(value); }
    Qt::FocusPolicy focusPolicy() const;
    void setFocusPolicy(Qt::FocusPolicy policy);
    bool themed() const { return Themed_; }
    void setThemed(bool value);
    int velocity() const;
    void setVelocity(int value);
    bool velocityByPosition() const;
    void setVelocityByPosition(bool value);
    bool noteNames() const { return Control_.NoteNames(); }
    void setNoteNames(bool value);
    bool scientificOctaves() const { return Control_.ScientificOctaves(); }
    void setScientificOctaves(bool value);
    ///@}

    /// The control's hint: the duration under the pointer while it tracks; empty for none.
    QString hintText() const { return HintText_; }
    /// Whether the hint should show now: showHint is on and the pointer asked for it.
    bool hintVisible() const { return HintVisible_; }

    // ---- Notes by MIDI number: 21 = A0, 60 = C4 (middle C), 108 = C8 ----

    /// The rectangle of the key of MIDI note \p note in item coordinates; empty outside 21..108.
    Q_INVOKABLE QRect noteRect(int note) const;
    /// The MIDI note a press at \p pos (item coordinates) would play, or -1.
    Q_INVOKABLE int noteAt(const QPoint& pos) const;
    /// The MIDI notes of the keys held down now, lowest first.
    Q_INVOKABLE QList<int> heldNotes() const;
    /// The colour the application gave the key of \p note; invalid when it has none.
    Q_INVOKABLE QColor noteColor(int note) const;
    /// Lights the key of MIDI note \p note (numbers outside 21..108 are ignored).
    Q_INVOKABLE void lightNote(int note);
    /// Takes the light off the key of \p note.
    Q_INVOKABLE void unlightNote(int note);
    /// Gives the key of \p note the application's colour until it is cleared.
    Q_INVOKABLE void setNoteColor(int note, const QColor& color);
    /// Takes the application's colour away from the key of \p note.
    Q_INVOKABLE void clearNoteColor(int note);
    /// Takes every application colour away.
    Q_INVOKABLE void clearNoteColors();
    /// Lights a note by the control's address: \p octave, \p note 0..6 for C..B, \p tone nonzero
    /// for the black key above it.
    Q_INVOKABLE void selectNote(int octave, int note, int tone);
    /// Takes the light off a note selectNote lit, addressed the same way.
    Q_INVOKABLE void releaseNote(int octave, int note, int tone);
    /// Takes the light off every lit key.
    Q_INVOKABLE void releaseSelected();
    /// Releases every pressed key, whatever pressed it, without a click.
    Q_INVOKABLE void allNotesOff();

    /// Paints the keyboard (the scene graph calls it for the parts that changed).
    void paint(QPainter* painter) override;

  signals:
    /// A note was played: the control's \p octave, \p note 1..7 for C..B, \p tone -1, 0 or +1;
    /// Space gives (0, -1, 0).
    void keyClick(int octave, int note, int tone);
    /// The pointer moved with duration tracking (keys = true) or over the setting strip.
    void trackMouse(bool keys);
    /// offsetOctave or offsetDuration changed.
    void offsetChanged();
    /// durationPosition changed.
    void durationChanged();
    /// maxOffsetDuration or maxOffsetOttave changed.
    void maxChanged();
    /// A key's state changed (see KeymoraWidget::keyStateChanged).
    void keyStateChanged(int index, bool black, int oldState, int newState);
    /// A key went down, whoever pressed it: its MIDI note and velocity.
    void noteOn(int note, int velocity);
    /// A key went up: the note and velocity its noteOn reported.
    void noteOff(int note, int velocity);
    /// A note was played (keyClick) as a MIDI note with its spelling under autoTone.
    void notePlayed(int note, const QString& name);
    /// hintText or hintVisible changed.
    void hintChanged();

    ///@{
    /// The change notifications of the properties, one per actual change, whoever made it.
    void orientationChanged(KeymoraItem::KeyboardOrientation orientation);
    void musicStyleChanged(KeymoraItem::MusicStyles musicStyle);
    void settingWidthChanged(int settingWidth);
    void durationWidthChanged(int durationWidth);
    void durationPositionChanged(int durationPosition);
    void octaveChanged(int octave);
    void autoToneChanged(KeymoraItem::AutoTone autoTone);
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
    /// Qt Quick's events, handed to the control's steps as KeymoraWidget hands Qt's widget
    /// events: loading ends with the component; geometry, enabled and visible changes; focus;
    /// mouse, hover, touch and wheel; keys (Tab too while the control asks for it).
    void classBegin() override;
    void componentComplete() override;
    void geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) override;
    void itemChange(ItemChange change, const ItemChangeData& value) override;
    bool event(QEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void hoverMoveEvent(QHoverEvent* e) override;
    void hoverLeaveEvent(QHoverEvent* e) override;
    void touchEvent(QTouchEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    ///@}

  private:
    class Parent : public keymora::THostParent {};

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

    void RepaintAll();
    void SyncBounds();
    void FinishLoading();
    void ControlChanged(const keymora::TChange& Change);
    void SetHint(bool Visible);
    qreal Ratio() const;

    keymora::TKeymora Control_;
    Parent Parent_;
    std::unique_ptr<keymora::qt::NoteInput> Input_;
    bool Themed_ = true;
    bool Mirroring_ = false;
    bool MirroredTabStop_ = true;
    bool MirroredShowHint_ = false;
    std::uint32_t MirroredColor_ = 0;
    QString HintText_;
    bool HintVisible_ = false;
    // The picture the canvas paints into, kept between paints at the item's size and ratio;
    // paint() copies it under the scene graph's clip.
    QImage Picture_;
    bool FullRepaint_ = false;
    bool NewPicture_ = false;
    std::unique_ptr<keymora::qt::QtCanvas> Canvas_;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(KeymoraItem::MusicStyles)
