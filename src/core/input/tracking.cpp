// Duration tracking: with MouseTrack on, the band of the pointer across the keyboard picks the
// duration, and with msScrollDuration the new duration is shown at once as the hint.
#include <array>
#include <string_view>

#include "core/host/rtl.h"
#include "keymora/layout/layout.h"
#include "keymora/model/keymora.h"

namespace keymora {

namespace {

// The hint for duration position D: "c" for the whole note (as its cell is labelled), otherwise
// "1/" and the power of two. Built in place; the longest text, "1/128", fits the string's own
// small buffer, so no move allocates.
class TDurationHint {
  public:
    explicit TDurationHint(int D) {
        if (D <= 0 || D > 62) {
            Text_[0] = 'c';
            Length_ = 1;
            return;
        }
        const IntToStr Power(1LL << D);
        Text_[0] = '1';
        Text_[1] = '/';
        Length_ = 2;
        for (char Ch : Power.View()) Text_[Length_++] = Ch;
    }
    std::string_view View() const { return {Text_.data(), Length_}; }

  private:
    std::array<char, 24> Text_{};
    std::size_t Length_ = 0;
};

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
                    SetHint(TDurationHint(FDurationPosition).View());
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
