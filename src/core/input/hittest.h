// Where things lie for the mouse: pure functions of a const TKeymora that classify a client point
// as a zone button, a duration scroll button, a duration cell or a key, give the rectangles the
// press and release handlers repaint, and find the duration band a pointer move falls into.
//
// The key rules are deliberately not the inverse of the drawing geometry: the white key comes
// from a proportional formula over the whole key band and black keys from their distance to
// computed boundaries, so a key's hit area and its drawn rectangle differ by a pixel or so.
#pragma once

#include <cstdint>

#include "keymora/model/keymora.h"

namespace keymora {

/// What a press at a point meets.
enum class THitRegion : std::uint8_t {
    None,          // nothing: beyond the keys, on a cell boundary, or a layout too small
    ZoneButton,    // one of the six octave-zone buttons (THit::Button)
    DurationUp,    // the duration scroll button that raises OffsetDuration
    DurationDown,  // the duration scroll button that lowers OffsetDuration
    DurationCell,  // duration cell THit::Cell, counted from the scroll-button end
    Key            // white key THit::WhiteKey, black key THit::BlackKey if one was named
};

/// The classification of one client point.
struct THit {
    THitRegion Region = THitRegion::None;
    TZoneButton Button = TZoneButton::OctaveDown;  // Region == ZoneButton
    /// Region == DurationCell: the cell index i; the cell stands for position OffsetDuration + i.
    int Cell = -1;
    /// Region == Key: the white-key index p, always in 0..51.
    int WhiteKey = -1;
    /// Region == Key: the black key j named by the black-key test (the one between white keys j
    /// and j + 1), or -1.
    int BlackKey = -1;
    /// Region == Key: the point lies in the black-key zone across the key axis.
    bool InBlackZone = false;
    friend bool operator==(const THit&, const THit&) = default;
};

/// Classifies the client point (X, Y): setting strip first, then the two octave zones, then the
/// key band.
THit HitTest(const TKeymora& K, int X, int Y);

/// The white key under along-axis coordinate A of the key band, or -1 when it is no key (index
/// outside 0..51, or a key band of no length).
int WhiteKeyAt(const TKeymora& K, int A);

/// The black key named at along-axis coordinate A for white key P (the press also requires the
/// point to lie in the black-key zone), or -1.
int BlackKeyAt(const TKeymora& K, int P, int A);

/// The duration cell under across-axis coordinate C of the setting strip (not on the scroll
/// buttons), or -1. Cell bounds are strict: a point on a boundary hits no cell.
int DurationCellAt(const TKeymora& K, int C);

/// The duration band of pointer tracking under across-axis coordinate C, or -1. Bands extend the
/// cells across the whole control: band 0 has no upper bound, and with msScrollDuration one more
/// band lies just beyond the low edge.
int DurationBandAt(const TKeymora& K, int C);

/// True where duration tracking with msScrollDuration resets the cursor instead of tracking: over
/// the duration scroll buttons and over both octave zones (bounds inclusive, unlike the press).
bool InTrackingResetZone(const TKeymora& K, int X, int Y);

/// The rectangle a release of a zone button repaints: its press rectangle, except that the
/// horizontal start-end arrow repaints its whole zone.
TRect ZoneButtonReleaseRect(const TKeymora& K, TZoneButton Button);

/// The press rectangle shared by the two duration scroll buttons. (Their release repaints the
/// whole setting strip, TKeymora::SettingRect.)
TRect DurationButtonsRect(const TKeymora& K);

}  // namespace keymora
