// TKeymora's state: construction, the published setters with their ranges and effects, the
// layout geometry, note states, and the control's own life-cycle steps and message handlers.
#include "keymora/model/keymora.h"

#include <algorithm>
#include <climits>

#include "core/host/rtl.h"

namespace keymora {

namespace {
constexpr std::array<TColor, 9> DefaultOctaveColors = {
    0x00EAEAFF, 0x00EAFFFF, 0x00EAFFED, 0x00FFFFEA, 0x00FFFFFF,
    0x00FFEAEB, 0x00FFEAFF, 0x00ECEAFF, 0x00EAFAFF,
};

constexpr int MaxCoordinate = 32767;

int Saturate(long long V) {
    return V < INT_MIN ? INT_MIN : (V > INT_MAX ? INT_MAX : static_cast<int>(V));
}
}  // namespace

TKeymora::TKeymora(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(TControlStyle{TControlStyleItem::csCaptureMouse,
                                  TControlStyleItem::csClickEvents, TControlStyleItem::csOpaque,
                                  TControlStyleItem::csDoubleClicks});
    FDurationWidth = 6;
    FScrollButtonWidth = 16;
    FSettingWidth = 30;
    FDurationPosition = 0;
    FMaxDuration = 6;
    SetColor(clWhite);
    SetTabStop(true);
    FKeys = "CDEFGAB";
    FStyle = TMusicStyles{msShowMarks, msColorOctave, msScrollDuration, msScrollOctave};
    FOctaveColors = DefaultOctaveColors;
    FOctave = 5;
    FMaxOffsetDuration = 3;
    FMaxOffsetOttave = 4;
}

TKeymora::~TKeymora() = default;

// ---- Life cycle and messages ----

void TKeymora::Loaded() {
    TCustomControl::Loaded();
    CalculateWidth();
}

void TKeymora::SetParent(THostParent* AParent) { TCustomControl::SetParent(AParent); }

void TKeymora::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (!ComponentState().Contains(csLoading)) CalculateWidth();
}

void TKeymora::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    if (TabStop()) Params.Style |= WS_TABSTOP;
}

void TKeymora::Dispatch(TMessage& Msg) {
    switch (Msg.Msg) {
        case wm::WM_ERASEBKGND:
            WMEraseBkGnd(Msg);
            break;
        case wm::WM_GETDLGCODE:
            WMGetDlgCode(Msg);
            break;
        default:
            TCustomControl::Dispatch(Msg);
            break;
    }
}

void TKeymora::WMEraseBkGnd(TMessage& Msg) { Msg.Result = 0; }

void TKeymora::WMGetDlgCode(TMessage& Msg) {
    DefaultHandler(Msg);
    Msg.Result = DLGC_WANTARROWS;
}

void TKeymora::WMSetFocus(TMessage& Msg) {
    TCustomControl::WMSetFocus(Msg);
    InvalidateOctave();
    InvalidateSetting();
}

void TKeymora::WMKillFocus(TMessage& Msg) {
    TCustomControl::WMKillFocus(Msg);
    InvalidateOctave();
    InvalidateSetting();
}

// ---- Published setters ----

void TKeymora::SetOrientation(TKeyboardOrientation Value) {
    if (Value == FOrientation) return;
    FOrientation = Value;
    CalculateWidth();
    Invalidate();
}

void TKeymora::SetStyle(TMusicStyles Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    // msScrollOctave enters the layout: recompute at once so that painting and hit testing agree.
    CalculateWidth();
    Invalidate();
}

void TKeymora::SetSettingWidth(int Value) {
    // Above the largest window coordinate a strip means nothing, and the layout sums would overflow.
    if (Value == FSettingWidth || Value < 10 || Value > MaxCoordinate) return;
    FSettingWidth = Value;
    CalculateWidth();
    Invalidate();
}

void TKeymora::SetDurationWidth(int Value) {
    if (Value == FDurationWidth) return;
    FDurationWidth = Value;
    InvalidateRect(IsHorizontal() ? Rect(0, 0, FSettingWidth, ClientHeight())
                                  : Rect(0, 0, ClientWidth(), FSettingWidth));
}

void TKeymora::SetDurationPosition(int Value) {
    if (Value == FDurationPosition || Value < 0 || Value >= FMaxDuration) return;
    FDurationPosition = Value;
    const int Visible = FMaxDuration - FMaxOffsetDuration;
    if (Value < FOffsetDuration)
        FOffsetDuration = Value;
    else if (Value >= FOffsetDuration + Visible)
        FOffsetDuration = Value - Visible + 1;
    InvalidateSetting();
    if (OnDurationChanged) OnDurationChanged(this);
}

void TKeymora::SetOctave(int Value) {
    if (Value == FOctave || Value < 1 || Value > 9) return;
    if (!FStyle.Contains(msShowMarks)) {
        FOctave = Value;
        return;
    }
    InvalidateOctave();
    FOctave = Value;
    InvalidateOctave();
    if (FOffsetOctave >= FOctave)
        SetOffsetOctave(FOctave - 1);
    else if (FOctave - FOffsetOctave >= 9 - FMaxOffsetOttave)
        SetOffsetOctave(FOctave + FMaxOffsetOttave - 9);
}

void TKeymora::SetOffsetOctave(int Value) {
    if (Value == FOffsetOctave || Value < 0 || Value > FMaxOffsetOttave) return;
    FOffsetOctave = Value;
    InvalidateRect(KeyAreaRect());
    if (OnOffsetChanged) OnOffsetChanged(this);
}

void TKeymora::SetOutDuration(int Value) {
    if (Value == FMaxOffsetDuration || Value < 1 || Value > FMaxDuration - 1) return;
    FMaxOffsetDuration = Value;
    if (FMaxOffsetDuration < FOffsetDuration) SetOffsetDuration(FMaxOffsetDuration);
    CalculateWidth();
    Invalidate();
    if (OnMaxChanged) OnMaxChanged(this);
}

void TKeymora::SetOutOctave(int Value) {
    if (Value == FMaxOffsetOttave || Value < 1 || Value > 8) return;
    FMaxOffsetOttave = Value;
    if (FMaxOffsetOttave < FOffsetOctave) SetOffsetOctave(FMaxOffsetOttave);
    CalculateWidth();
    Invalidate();
    if (OnMaxChanged) OnMaxChanged(this);
}

void TKeymora::SetKeys(std::string_view Value) {
    if (CompareText(Value, FKeys) == 0) return;
    FKeys.assign(Value.data(), Value.size());
    if (FStyle.Contains(msShowMarks)) InvalidateOctave();
}

void TKeymora::SetDurationCount(int Value) {
    if (Value == FMaxDuration || Value < 2 || Value > 8) return;
    FMaxDuration = Value;
    // Keep MaxOffsetDuration below MaxDuration and the selected duration in range, through the
    // setters so that their events fire.
    if (FMaxOffsetDuration >= Value) SetOutDuration(Value - 1);
    if (FDurationPosition >= Value) SetDurationPosition(Value - 1);
    InvalidateSetting();
}

void TKeymora::SetMouseTrack(bool Value) {
    if (Value == FMouseTrack) return;
    FMouseTrack = Value;
}

void TKeymora::SetOffsetDuration(int Value) {
    if (Value == FOffsetDuration || Value < 0 || Value > FMaxOffsetDuration) return;
    FOffsetDuration = Value;
    InvalidateSetting();
    if (OnOffsetChanged) OnOffsetChanged(this);
}

void TKeymora::SetCtrlMove(bool Value) { FCtrlMove = Value; }

bool TKeymora::ZoneButtonPressed(TZoneButton Button) const {
    return const_cast<TKeymora*>(this)->ZoneButtonFlag(Button);
}

bool& TKeymora::ZoneButtonFlag(TZoneButton Button) {
    switch (Button) {
        case TZoneButton::OctaveDown:
            return FOctaveDownPressed;
        case TZoneButton::MoreOctaves:
            return FMoreOctavesPressed;
        case TZoneButton::FewerOctaves:
            return FFewerOctavesPressed;
        case TZoneButton::OctaveUp:
            return FOctaveUpPressed;
        case TZoneButton::MoreDurations:
            return FMoreDurationsPressed;
        case TZoneButton::FewerDurations:
            break;
    }
    return FFewerDurationsPressed;
}

// ---- Layout ----

int TKeymora::ZoneWidth() const { return FStyle.Contains(msScrollOctave) ? FScrollButtonWidth : 0; }

void TKeymora::CalculateWidth() {
    FVisibleKeyCount = FStyle.Contains(msScrollOctave)
                           ? std::min(63 - 7 * FMaxOffsetOttave, WhiteKeyCount)
                           : WhiteKeyCount;
    // A control without a parent has no client area of its own yet: its size stands in.
    const int Extent = Parent() ? AxisExtent() : (IsHorizontal() ? Width() : Height());
    const int Zones = 2 * ZoneWidth();
    FRealWidth = ((Extent - FSettingWidth - Zones) / FVisibleKeyCount) * FVisibleKeyCount + 1 +
                 FSettingWidth + Zones;
    FKeyWidth = (FRealWidth - FSettingWidth - Zones) / FVisibleKeyCount;
}

int TKeymora::GetRealWidth() {
    int Count = WhiteKeyCount;
    if (FStyle.Contains(msScrollOctave)) {
        Count = std::min(63 - 7 * FMaxOffsetOttave, WhiteKeyCount);
        FVisibleKeyCount = Count;
    }
    const int Zones = 2 * ZoneWidth();
    return ((AxisExtent() - FSettingWidth - Zones) / Count) * Count + 1 + FSettingWidth + Zones;
}

int TKeymora::GetOffsetOctave() const {
    return FOffsetOctave <= 0 ? 0 : FKeyWidth * (7 * FOffsetOctave - 5);
}

int TKeymora::KeyOrigin() const {
    return FStyle.Contains(msScrollOctave) ? FScrollButtonWidth - GetOffsetOctave() : 0;
}

TRect TKeymora::FrameRect(int U0, int V0, int U1, int V1) const {
    return IsHorizontal() ? Rect(U0, V0, U1, V1) : Rect(V0, U0, V1, U1);
}

// Any int index is allowed; positions far outside the keyboard saturate instead of overflowing.
TRect TKeymora::GetKeyRect(int I) const {
    if (!HandleAllocated()) return Rect(0, 0, Width(), Height());
    const long long A = KeyOrigin();
    const long long KW = FKeyWidth;
    return FrameRect(Saturate(A + I * KW), 0, Saturate(A + (I + 1LL) * KW), CrossExtent());
}

TRect TKeymora::GetToneRect(int I) const {
    if (!HandleAllocated()) return Rect(0, 0, Width(), Height());
    const long long Q = FKeyWidth / 4;
    const long long C = KeyOrigin() + (I + 1LL) * FKeyWidth;
    return FrameRect(Saturate(C - Q), 0, Saturate(C + Q + 2), CrossExtent() * 4 / 5 + 2);
}

void TKeymora::InvalidateOctave() {
    int Start;
    int End;
    if (FOctave == 9) {
        Start = 51 * FKeyWidth;
        End = 52 * FKeyWidth;
    } else {
        // From the octave's C to the next C; octave 1 starts five keys before A0.
        Start = WhiteKeyIndex(FOctave, 1) * FKeyWidth;
        End = WhiteKeyIndex(FOctave + 1, 1) * FKeyWidth;
    }
    if (!HandleAllocated()) return;
    const int A = KeyOrigin();
    const int E = CrossExtent();
    InvalidateRect(FrameRect(A + Start, E - 14, A + End, E));
}

TRect TKeymora::SettingRect() const {
    return FrameRect(FRealWidth - FSettingWidth, 0, FRealWidth, CrossExtent());
}

void TKeymora::InvalidateSetting() {
    if (HandleAllocated()) InvalidateRect(SettingRect());
}

TRect TKeymora::KeyAreaRect() const {
    return FrameRect(FScrollButtonWidth, 0, FRealWidth - FSettingWidth - FScrollButtonWidth,
                     CrossExtent());
}

std::optional<TPoint> TKeymora::GetPoint(std::uint8_t AOctave, std::uint8_t Note,
                                         std::uint8_t Tone, std::uint8_t Row) const {
    const TKey Key = TKey::FromNoteAddress(AOctave, Note, Tone);
    if (!Key.InKeyboard()) return std::nullopt;
    const int P = Key.Index();
    const int Cells = FMaxDuration - FMaxOffsetDuration;
    if (Cells <= 0) return std::nullopt;
    const int G = (ClientHeight() - FSettingWidth / 2) / Cells;
    const int Y = ClientHeight() - Row * G - (3 * G) / 2;
    const int Boundary = KeyOrigin() + (P + 1) * FKeyWidth;
    const int X = Tone != 0 ? Boundary : Boundary - FKeyWidth / 2;
    return Point(X, Y);
}

TRect TKeymora::ZoneButtonRect(TZoneButton Button) const {
    const int SBW = FScrollButtonWidth;
    const int E = CrossExtent();
    const int S = StripStart();
    switch (Button) {
        case TZoneButton::OctaveDown:
            return FrameRect(0, 0, SBW, E - 2 * SBW);
        case TZoneButton::MoreOctaves:
            return FrameRect(0, E - 2 * SBW, SBW, E - SBW);
        case TZoneButton::FewerOctaves:
            return FrameRect(0, E - SBW, SBW, E);
        case TZoneButton::OctaveUp:
            return FrameRect(S - SBW, 0, S, E - 2 * SBW);
        case TZoneButton::MoreDurations:
            return FrameRect(S - SBW, E - 2 * SBW, S, E - SBW);
        case TZoneButton::FewerDurations:
            break;
    }
    return FrameRect(S - SBW, E - SBW, S, E);
}

TDurationRow TKeymora::DurationRow() const {
    TDurationRow Row;
    const int E = CrossExtent();
    Row.Scroll = FStyle.Contains(msScrollDuration);
    Row.Count = Row.Scroll ? FMaxDuration - FMaxOffsetDuration : FMaxDuration;
    if (Row.Count <= 0) {
        Row.Count = 0;
        return Row;
    }
    Row.Cell = Row.Scroll ? (E - FSettingWidth / 2) / Row.Count : E / Row.Count;
    Row.FarEdge = Row.Cell * Row.Count;
    return Row;
}

// ---- Note states ----

void TKeymora::SelectNote(std::uint8_t AOctave, std::uint8_t Note, std::uint8_t Tone) {
    const TKey Key = TKey::FromNoteAddress(AOctave, Note, Tone);
    if (!Key.InKeyboard()) return;
    const int P = Key.Index();
    const auto Index = static_cast<std::size_t>(P);
    if (Key.Black()) {
        if (FToneStates[Index] == ksSelected) return;
        SetToneState(P, ksSelected);
        InvalidateRect(GetToneRect(P));
    } else {
        if (FKeyStates[Index] == ksSelected) return;
        SetKeyState(P, ksSelected);
        InvalidateRect(GetKeyRect(P));
    }
}

void TKeymora::ReleaseNote(std::uint8_t AOctave, std::uint8_t Note, std::uint8_t Tone) {
    const TKey Key = TKey::FromNoteAddress(AOctave, Note, Tone);
    if (!Key.InKeyboard()) return;
    const int P = Key.Index();
    const auto Index = static_cast<std::size_t>(P);
    if (Key.Black()) {
        if (FToneStates[Index] != ksSelected) return;
        SetToneState(P, ksIdle);
        InvalidateRect(GetToneRect(P));
    } else {
        if (FKeyStates[Index] != ksSelected) return;
        SetKeyState(P, ksIdle);
        InvalidateRect(GetKeyRect(P));
    }
}

void TKeymora::ReleaseSelected() {
    for (int P = 0; P < WhiteKeyCount; ++P) {
        if (FKeyStates[static_cast<std::size_t>(P)] != ksSelected) continue;
        SetKeyState(P, ksIdle);
        InvalidateRect(GetKeyRect(P));
    }
    for (int P = 0; P < WhiteKeyCount; ++P) {
        if (FToneStates[static_cast<std::size_t>(P)] != ksSelected) continue;
        SetToneState(P, ksIdle);
        InvalidateRect(GetToneRect(P));
    }
}

}  // namespace keymora
