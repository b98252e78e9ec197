// NoteInput: the part of a Qt binding between Qt's input events and the control that is the same
// for every kind of Qt item: pointer positions to client pixels, PC keys with the hanging-key
// release, touch points that each hold a key, wheel steps, velocities, and the note each key
// went down with. A binding hands it its events and the control's key-state changes; it owns no
// Qt object and allocates nothing after construction.
#pragma once

#include <QtCore/QList>
#include <QtCore/QPoint>
#include <QtCore/QRect>
#include <QtGui/QColor>
#include <array>
#include <cstdint>

#include "keymora/model/keymora.h"

class QKeyEvent;
class QMouseEvent;
class QTouchEvent;
class QWheelEvent;

namespace keymora::qt {

class NoteInput {
  public:
    explicit NoteInput(TKeymora& Control) : Control_(Control) {}

    int Velocity = 100;
    bool VelocityByPosition = false;

    /// Mouse steps at client coordinates from a pointer position drawn at device ratio Ratio;
    /// false when the button is not the control's.
    bool MousePress(const QMouseEvent& E, qreal Ratio, bool Double);
    void MouseMove(const QMouseEvent& E, qreal Ratio);
    /// A move with no button held, at a logical position (hover).
    void Hover(QPointF Position, Qt::KeyboardModifiers Modifiers, qreal Ratio);
    bool MouseRelease(const QMouseEvent& E, qreal Ratio);
    /// Key steps; false when the key is not taken. A release also releases what the same
    /// physical key pressed, whatever changed since.
    bool KeyPress(const QKeyEvent& E);
    bool KeyRelease(const QKeyEvent& E);
    /// Whether a Tab press is the control's rather than the focus chain's.
    bool TakesTab(const QKeyEvent& E);
    /// Every touch point plays the key under it from touch to lift.
    void Touch(const QTouchEvent& E, qreal Ratio);
    /// Octave or duration scrolling; false when the wheel is not used here.
    bool Wheel(QPointF Position, QPoint AngleDelta, qreal Ratio);
    void FocusIn();
    /// Keys the PC keyboard holds end here: their releases would never arrive.
    void FocusOut();
    void AllNotesOff();

    /// What a key-state change means as a note: 1 note on, -1 note off, 0 neither; Note and
    /// Vel are set for on and off. Call for every KeyState change the control reports.
    int KeyStateChanged(const TChange& C, int& Note, int& Vel);

    // Notes by MIDI number, the same for every binding.
    QRect NoteRect(int Note) const;
    int NoteAt(QPoint Pos) const;
    QList<int> HeldNotes() const;
    QColor NoteColor(int Note) const;
    void LightNote(int Note, bool On);
    void SetNoteColor(int Note, const QColor& Color);
    void ClearNoteColor(int Note);

  private:
    std::intptr_t DialogCode();
    bool DeliverKey(const QKeyEvent& E, bool Press);
    void ReleaseHeldBy(quint32 Physical);
    int VelocityAt(int X, int Y) const;

    TKeymora& Control_;
    struct Held {
        quint32 Physical = 0;
        int Index = 0;
        bool Black = false;
    };
    std::array<Held, 32> Held_{};
    int HeldCount_ = 0;
    quint32 Pressing_ = 0;
    struct Touched {
        int Id = 0;
        int Index = 0;
        bool Black = false;
    };
    std::array<Touched, 16> Touched_{};
    int TouchedCount_ = 0;
    int WheelRest_ = 0;
    int PressVelocity_ = 0;
    std::array<std::uint8_t, 2 * 52> DownNote_{};
    std::array<std::uint8_t, 2 * 52> DownVelocity_{};
};

/// Host colour ($00BBGGRR) of a QColor.
TColor FromQColor(const QColor& C);

}  // namespace keymora::qt
