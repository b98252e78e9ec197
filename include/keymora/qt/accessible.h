/// \file
/// Accessibility of KeymoraWidget through Qt's accessibility framework: the interface factory, the
/// tree of keys, duration cells, buttons and values under the widget, and the announcements of
/// what changes in it.
///
/// The tree is fixed: every key of the keyboard, every duration the control can offer and every
/// button it can show is always a child, at the same index. What the control does not show at
/// the moment (keys scrolled out of view, durations beyond MaxDuration or scrolled away, buttons
/// of a style that is off) carries the invisible and offscreen states and offers no action, so a
/// screen reader's cached indices never go stale.
#pragma once

#include <QtCore/QString>

class KeymoraWidget;
class QAccessibleEvent;

namespace keymora::qt {

/// Child indices of the accessible tree under a KeymoraWidget.
namespace a11y {
/// The current octave, as a spin box valued in scientific octaves (C4 is middle C).
constexpr int OctaveValue = 0;
///@{
/// The 88 keys in pitch order, A0 first (FirstKey), C8 last (FirstKey + KeyCount - 1).
constexpr int FirstKey = 1;
constexpr int KeyCount = 88;
///@}

/// The chosen duration, as a spin box valued by duration position.
constexpr int DurationValue = FirstKey + KeyCount;
///@{
/// One radio button per duration position 0..7 (whole to 1/128), from FirstDuration on.
constexpr int FirstDuration = DurationValue + 1;
constexpr int DurationCount = 8;
///@}

///@{
/// The two duration scroll buttons, then the six octave-zone buttons, from FirstButton on.
constexpr int FirstButton = FirstDuration + DurationCount;
constexpr int ButtonCount = 8;
///@}

/// The number of children of the widget's accessible interface.
constexpr int ChildCount = FirstButton + ButtonCount;

/// The child index of white key P (Black false) or of the black key after it (Black true);
/// -1 where there is no such key.
int KeyChild(int P, bool Black);
/// Name of a white key in scientific pitch notation ("C4" for middle C, white key 23).
QString WhiteKeyName(int P);
}  // namespace a11y

/// A receiver of announcements: called with each event before Qt's accessibility gets it.
using AnnouncementHandler = void (*)(QAccessibleEvent* Event);
/// Receives every announcement of every keyboard as it is made, before Qt's accessibility does.
/// While a handler is set, announcements are made even when no assistive technology is active:
/// for tests, and for applications that voice or log the changes themselves. Null removes it.
/// Returns the handler it replaces.
AnnouncementHandler SetAnnouncementHandler(AnnouncementHandler Handler);

}  // namespace keymora::qt
