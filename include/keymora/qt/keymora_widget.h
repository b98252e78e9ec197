// KeymoraWidget: the keyboard control as a Qt Widgets widget. It owns a TKeymora, gives it its
// window (repaints, focus, hints, cursor, themes) and translates Qt's events into the control's
// steps; everything the keyboard does is the control's own behaviour.
#pragma once

#include <QtCore/QPointer>
#include <QtGui/QColor>
#include <QtWidgets/QWidget>

#include "keymora/host/control.h"
#include "keymora/model/keymora.h"

class QMenu;
class QMetaProperty;

namespace keymora {
struct TPropInfo;
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
    Q_PROPERTY(KeyboardOrientation orientation READ orientation WRITE setOrientation)
    Q_PROPERTY(MusicStyles musicStyle READ musicStyle WRITE setMusicStyle)
    Q_PROPERTY(int settingWidth READ settingWidth WRITE setSettingWidth)
    Q_PROPERTY(int durationWidth READ durationWidth WRITE setDurationWidth)
    Q_PROPERTY(
        int durationPosition READ durationPosition WRITE setDurationPosition NOTIFY durationChanged)
    Q_PROPERTY(int octave READ octave WRITE setOctave)
    Q_PROPERTY(AutoTone autoTone READ autoTone WRITE setAutoTone)
    Q_PROPERTY(int offsetOctave READ offsetOctave WRITE setOffsetOctave NOTIFY offsetChanged)
    Q_PROPERTY(
        int maxOffsetDuration READ maxOffsetDuration WRITE setMaxOffsetDuration NOTIFY maxChanged)
    Q_PROPERTY(int maxOffsetOttave READ maxOffsetOttave WRITE setMaxOffsetOttave NOTIFY maxChanged)
    Q_PROPERTY(QString keys READ keys WRITE setKeys)
    Q_PROPERTY(int maxDuration READ maxDuration WRITE setMaxDuration)
    Q_PROPERTY(bool mouseTrack READ mouseTrack WRITE setMouseTrack)
    Q_PROPERTY(int offsetDuration READ offsetDuration WRITE setOffsetDuration NOTIFY offsetChanged)
    Q_PROPERTY(bool ctrlMove READ ctrlMove WRITE setCtrlMove)
    // Base properties of the control that have no QWidget property of the same meaning.
    Q_PROPERTY(QColor color READ color WRITE setColor)
    Q_PROPERTY(bool showHint READ showHint WRITE setShowHint)
    Q_PROPERTY(bool tabStop READ tabStop WRITE setTabStop)
    // The binding's own choice: QStyle faces, or the classic faces.
    Q_PROPERTY(bool themed READ themed WRITE setThemed)
    // tabStop decides the focus policy; a second, conflicting setting in forms would be lost.
    Q_PROPERTY(Qt::FocusPolicy focusPolicy READ focusPolicy WRITE setFocusPolicy
                   DESIGNABLE false STORED false)

  public:
    enum KeyboardOrientation { koHorizontal, koVertical };
    Q_ENUM(KeyboardOrientation)
    /// The feature switches; the values are the control's bits.
    enum MusicStyle {
        msShowMarks = 0x1,
        msColorOctave = 0x2,
        msScrollDuration = 0x4,
        msScrollOctave = 0x8,
    };
    Q_DECLARE_FLAGS(MusicStyles, MusicStyle)
    Q_FLAG(MusicStyles)
    enum AutoTone { atAutoMajor, atBemol, atDiesis, atAutoMinor };
    Q_ENUM(AutoTone)

    explicit KeymoraWidget(QWidget* parent = nullptr);
    ~KeymoraWidget() override;

    /// The widget property that stands for a published property of the control (Info from
    /// keymora::PublishedProperties()): the table's name with a lower-case initial, Style as
    /// musicStyle. Invalid for the base properties that QWidget's own properties stand for
    /// (font, enabled, visible, ...) and those the widget does not offer.
    static QMetaProperty publishedProperty(const keymora::TPropInfo& info);

    /// The control itself, for its methods (GetKeyRect, GetPoint, ...) and host events.
    keymora::TKeymora& control() { return Control_; }
    const keymora::TKeymora& control() const { return Control_; }

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
    void setOctave(int value);
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

    QColor color() const;
    void setColor(const QColor& value);
    bool tabStop() const { return Control_.TabStop(); }
    /// Tab reaches the widget when true; a click focuses it either way.
    void setTabStop(bool value);
    bool showHint() const { return Control_.ShowHint(); }
    /// Whether the control's hint (the duration while tracking) is shown as a tooltip.
    void setShowHint(bool value);
    bool themed() const { return Themed_; }
    void setThemed(bool value);

    /// The menu shown on a context-menu request (not owned; null for none).
    QMenu* popupMenu() const;
    void setPopupMenu(QMenu* menu);

    QSize sizeHint() const override;

  public slots:
    /// Lights a note (Note 0..6 for C..B; Tone nonzero for the black key above it).
    void selectNote(int octave, int note, int tone);
    void releaseNote(int octave, int note, int tone);
    void releaseSelected();

  signals:
    /// A note was played: Note 1..7 for C..B, Tone -1 flat, +1 sharp, 0 white key; Space gives
    /// (0, -1, 0).
    void keyClick(int octave, int note, int tone);
    /// The pointer moved with duration tracking (keys = true) or over the setting strip.
    void trackMouse(bool keys);
    void offsetChanged();
    void durationChanged();
    void maxChanged();
    /// A key's state changed: Index is the white key (Black false) or the black key above it
    /// (Black true); the states are 0 idle, 2 pressed, 3 selected. Fired after each change, for
    /// holding a sound from press to release.
    void keyStateChanged(int index, bool black, int oldState, int newState);

  protected:
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
    /// The control's answer to WM_GETDLGCODE.
    std::intptr_t DialogCode();
    /// Key press or release through the control's key steps; false when the key is not taken.
    bool DeliverKey(QKeyEvent* e, bool Press);
    void DeliverFocus(std::uint32_t Msg);

    keymora::TKeymora Control_;
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
};

Q_DECLARE_OPERATORS_FOR_FLAGS(KeymoraWidget::MusicStyles)
