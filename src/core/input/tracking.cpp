// Duration tracking: with MouseTrack on, the band of the pointer across the keyboard picks the
// duration, and with msScrollDuration the new duration is shown at once as the hint.
#include "keymora/layout/layout.h"
#include "keymora/model/keymora.h"
#include "keymora/pitch/duration.h"

namespace keymora {

namespace {

// The hint for duration position D: its cell's label ("c" also for positions outside 1..62). The
// longest text, "1/128", fits the hint string's own small buffer, so no move allocates.
TDurationLabel DurationHint(int D) {
    return TDurationLabel(D > 0 && D <= 62 ? D : 0);
}

}  // namespace

void TKeymora::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    const TLayout L = Layout();
    if (FMouseTrack) {
        const bool Scroll = FStyle.Contains(msScrollDuration);
        if (Scroll && L.InTrackingResetZone(X, Y)) {
            SetCursor(crDefault);
        } else {
            const int Band = L.DurationBandAt(L.AcrossOf(X, Y));
            if (Band >= 0) {
                const int Position = FOffsetDuration + Band;
                if (!Scroll) {
                    SetDurationPosition(Position);
                } else if (Position != FDurationPosition) {
                    SetDurationPosition(Position);
                    // The setter may have refused the position; the hint shows what holds now.
                    SetHint(DurationHint(FDurationPosition).View());
                    TMessage Msg;
                    Msg.Msg = wm::WM_MOUSEMOVE;
                    Msg.LParam = MakePointParam(GetCursorPos());
                    CancelHint();
                    HintMouseMessage(Msg);
                }
                if (OnTrackMouse) OnTrackMouse(this, true);
                return;
            }
        }
    }
    // Read afresh: the handlers above may have changed the layout.
    const TLayout Now = Layout();
    if (Now.AlongOf(X, Y) >= Now.StripStart() && OnTrackMouse) OnTrackMouse(this, false);
}

}  // namespace keymora
