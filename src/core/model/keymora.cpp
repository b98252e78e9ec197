// TKeymora's state: construction, the published setters with their ranges and effects, the
// layout geometry, note states, and the control's own life-cycle steps and message handlers.
#include "keymora/model/keymora.h"

#include <algorithm>
#include <climits>

#include "core/host/rtl.h"
#include "keymora/layout/layout.h"

namespace keymora {

namespace {
constexpr std::array<TColor, 9> DefaultOctaveColors = {
    0x00EAEAFF, 0x00EAFFFF, 0x00EAFFED, 0x00FFFFEA, 0x00FFFFFF,
    0x00FFEAEB, 0x00FFEAFF, 0x00ECEAFF, 0x00EAFAFF,
};

constexpr int MaxCoordinate = 32767;

// What a new control starts with, worked out by the compiler: a new control copies them.
constexpr TControlStyle KeymoraControlStyle{TControlStyleItem::csCaptureMouse,
                                            TControlStyleItem::csClickEvents,
                                            TControlStyleItem::csOpaque,
                                            TControlStyleItem::csDoubleClicks};
constexpr TMusicStyles DefaultStyle{msShowMarks, msColorOctave, msScrollDuration, msScrollOctave};
template <TColor Color>
constexpr std::array<TColor, WhiteKeyCount> Every = [] {
    std::array<TColor, WhiteKeyCount> A{};
    for (TColor& C : A) C = Color;
    return A;
}();

// Places in TKeymora::FHeld, in declaration order.
constexpr std::size_t HeldDurationPosition = 0;
constexpr std::size_t HeldOffsetOctave = 1;
constexpr std::size_t HeldMaxOffsetDuration = 2;
constexpr std::size_t HeldOffsetDuration = 3;
}  // namespace

TKeymora::TKeymora(TComponent* AOwner) : TCustomControl(AOwner), FKeys("CDEFGAB") {
    SetControlStyle(KeymoraControlStyle);
    FDurationWidth = 6;
    FScrollButtonWidth = 16;
    FSettingWidth = 30;
    FDurationPosition = 0;
    FMaxDuration = 6;
    SetColor(clWhite);
    SetTabStop(true);
    FStyle = DefaultStyle;
    FOctaveColors = DefaultOctaveColors;
    FOctave = 5;
    FMaxOffsetDuration = 3;
    FMaxOffsetOttave = 4;
    FKeyColors = Every<NoKeyColor>;
    FToneColors = Every<NoKeyColor>;
}

TKeymora::~TKeymora() = default;

// ---- Life cycle and messages ----

void TKeymora::Loaded() {
    // A saved form lists DurationPosition, OffsetOctave and MaxOffsetDuration before the limits
    // that bound them: now that every limit has its final value, what the form gave is assigned
    // again, in declaration order, and refused only if still out of range.
    const auto Held = FHeld;
    FHeld = {};
    FApplyingLoad = true;
    if (Held[HeldDurationPosition]) SetDurationPosition(*Held[HeldDurationPosition]);
    if (Held[HeldOffsetOctave]) SetOffsetOctave(*Held[HeldOffsetOctave]);
    if (Held[HeldMaxOffsetDuration]) SetOutDuration(*Held[HeldMaxOffsetDuration]);
    if (Held[HeldOffsetDuration]) SetOffsetDuration(*Held[HeldOffsetDuration]);
    FApplyingLoad = false;
    TCustomControl::Loaded();
    CalculateWidth();
}

bool TKeymora::HoldForLoad(std::size_t Slot, int Value, int Min, int Max) {
    if (Value < Min || Value > Max) return true;
    if (ComponentState().Contains(csLoading) && !FApplyingLoad) FHeld[Slot] = Value;
    return false;
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
    Notify(TChangeKind::Focus);
}

void TKeymora::WMKillFocus(TMessage& Msg) {
    TCustomControl::WMKillFocus(Msg);
    InvalidateOctave();
    InvalidateSetting();
    Notify(TChangeKind::Focus);
}

// ---- Published setters ----

void TKeymora::SetOrientation(TKeyboardOrientation Value) {
    if (Value == FOrientation) return;
    FOrientation = Value;
    CalculateWidth();
    Invalidate();
    Notify(TChangeKind::Property, "Orientation");
}

void TKeymora::SetStyle(TMusicStyles Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    // msScrollOctave enters the layout: recompute at once so that painting and hit testing agree.
    CalculateWidth();
    Invalidate();
    Notify(TChangeKind::Property, "Style");
}

void TKeymora::SetSettingWidth(int Value) {
    // Above the largest window coordinate a strip means nothing, and the layout sums would overflow.
    if (Value == FSettingWidth || Value < 10 || Value > MaxCoordinate) return;
    FSettingWidth = Value;
    CalculateWidth();
    Invalidate();
    Notify(TChangeKind::Property, "SettingWidth");
}

void TKeymora::SetDurationWidth(int Value) {
    if (Value == FDurationWidth) return;
    FDurationWidth = Value;
    InvalidateRect(Layout().DurationWidthRepaint());
    Notify(TChangeKind::Property, "DurationWidth");
}

void TKeymora::SetDurationPosition(int Value) {
    if (HoldForLoad(HeldDurationPosition, Value, 0, 7)) return;
    if (Value == FDurationPosition || Value < 0 || Value >= FMaxDuration) return;
    FDurationPosition = Value;
    const int Visible = FMaxDuration - FMaxOffsetDuration;
    const int Offset = FOffsetDuration;
    if (KeepView()) {
        // The form says where the view is.
    } else if (Value < FOffsetDuration) {
        FOffsetDuration = Value;
    } else if (Value >= FOffsetDuration + Visible) {
        FOffsetDuration = Value - Visible + 1;
    }
    if (FOffsetDuration != Offset) Notify(TChangeKind::Property, "OffsetDuration");
    InvalidateSetting();
    Notify(TChangeKind::Property, "DurationPosition");
    if (OnDurationChanged) OnDurationChanged(this);
}

void TKeymora::SetOctave(int Value) {
    if (Value == FOctave || Value < 1 || Value > 9) return;
    if (!FStyle.Contains(msShowMarks)) {
        FOctave = Value;
        Notify(TChangeKind::Property, "Octave");
        return;
    }
    InvalidateOctave();
    FOctave = Value;
    InvalidateOctave();
    Notify(TChangeKind::Property, "Octave");
    if (KeepView()) return;
    if (FOffsetOctave >= FOctave)
        SetOffsetOctave(FOctave - 1);
    else if (FOctave - FOffsetOctave >= 9 - FMaxOffsetOttave)
        SetOffsetOctave(FOctave + FMaxOffsetOttave - 9);
}

void TKeymora::SetAutoTone(TAutoTone Value) {
    if (Value == FAutoTone) return;
    FAutoTone = Value;
    Notify(TChangeKind::Property, "AutoTone");
}

void TKeymora::SetOffsetOctave(int Value) {
    if (HoldForLoad(HeldOffsetOctave, Value, 0, 8)) return;
    if (Value == FOffsetOctave || Value < 0 || Value > FMaxOffsetOttave) return;
    FOffsetOctave = Value;
    InvalidateRect(Layout().KeyArea());
    Notify(TChangeKind::Property, "OffsetOctave");
    if (OnOffsetChanged) OnOffsetChanged(this);
}

void TKeymora::SetOutDuration(int Value) {
    if (HoldForLoad(HeldMaxOffsetDuration, Value, 1, 7)) return;
    if (Value == FMaxOffsetDuration || Value < 1 || Value > FMaxDuration - 1) return;
    FMaxOffsetDuration = Value;
    if (FMaxOffsetDuration < FOffsetDuration) SetOffsetDuration(FMaxOffsetDuration);
    CalculateWidth();
    Invalidate();
    Notify(TChangeKind::Property, "MaxOffsetDuration");
    if (OnMaxChanged) OnMaxChanged(this);
}

void TKeymora::SetOutOctave(int Value) {
    if (Value == FMaxOffsetOttave || Value < 1 || Value > 8) return;
    FMaxOffsetOttave = Value;
    if (FMaxOffsetOttave < FOffsetOctave) SetOffsetOctave(FMaxOffsetOttave);
    CalculateWidth();
    Invalidate();
    Notify(TChangeKind::Property, "MaxOffsetOttave");
    if (OnMaxChanged) OnMaxChanged(this);
}

void TKeymora::SetKeys(std::string_view Value) {
    if (CompareText(Value, FKeys) == 0) return;
    FKeys.assign(Value.data(), Value.size());
    if (FStyle.Contains(msShowMarks)) InvalidateOctave();
    Notify(TChangeKind::Property, "Keys");
}

void TKeymora::SetDurationCount(int Value) {
    if (Value == FMaxDuration || Value < 2 || Value > 8) return;
    FMaxDuration = Value;
    // Keep MaxOffsetDuration below MaxDuration and the selected duration in range, through the
    // setters so that their events fire.
    if (FMaxOffsetDuration >= Value) SetOutDuration(Value - 1);
    if (FDurationPosition >= Value) SetDurationPosition(Value - 1);
    InvalidateSetting();
    Notify(TChangeKind::Property, "MaxDuration");
}

void TKeymora::SetMouseTrack(bool Value) {
    if (Value == FMouseTrack) return;
    FMouseTrack = Value;
    Notify(TChangeKind::Property, "MouseTrack");
}

void TKeymora::SetOffsetDuration(int Value) {
    if (HoldForLoad(HeldOffsetDuration, Value, 0, 7)) return;
    if (Value == FOffsetDuration || Value < 0 || Value > FMaxOffsetDuration) return;
    FOffsetDuration = Value;
    InvalidateSetting();
    Notify(TChangeKind::Property, "OffsetDuration");
    if (OnOffsetChanged) OnOffsetChanged(this);
}

void TKeymora::SetCtrlMove(bool Value) {
    if (Value == FCtrlMove) return;
    FCtrlMove = Value;
    Notify(TChangeKind::Property, "CtrlMove");
}

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

TLayout TKeymora::Layout() const { return TLayout(*this); }

void TKeymora::CalculateWidth() {
    FVisibleKeyCount = FStyle.Contains(msScrollOctave)
                           ? std::min(63 - 7 * FMaxOffsetOttave, WhiteKeyCount)
                           : WhiteKeyCount;
    // A control without a parent has no client area of its own yet: its size stands in.
    const int Extent = Parent() ? (IsHorizontal() ? ClientWidth() : ClientHeight())
                                : (IsHorizontal() ? Width() : Height());
    const int Zones = 2 * (FStyle.Contains(msScrollOctave) ? FScrollButtonWidth : 0);
    FRealWidth = ((Extent - FSettingWidth - Zones) / FVisibleKeyCount) * FVisibleKeyCount + 1 +
                 FSettingWidth + Zones;
    FKeyWidth = (FRealWidth - FSettingWidth - Zones) / FVisibleKeyCount;
    Notify(TChangeKind::Layout);
}

int TKeymora::GetRealWidth() {
    int Count = WhiteKeyCount;
    if (FStyle.Contains(msScrollOctave)) {
        Count = std::min(63 - 7 * FMaxOffsetOttave, WhiteKeyCount);
        FVisibleKeyCount = Count;
    }
    const int Zones = 2 * (FStyle.Contains(msScrollOctave) ? FScrollButtonWidth : 0);
    const int Extent = IsHorizontal() ? ClientWidth() : ClientHeight();
    return ((Extent - FSettingWidth - Zones) / Count) * Count + 1 + FSettingWidth + Zones;
}

int TKeymora::GetOffsetOctave() const { return Layout().Offset(); }

TRect TKeymora::GetKeyRect(int I) const { return Layout().WhiteKey(I); }

TRect TKeymora::GetToneRect(int I) const { return Layout().BlackKey(I); }

void TKeymora::InvalidateOctave() {
    if (HandleAllocated()) InvalidateRect(Layout().MarksBand(FOctave));
}

void TKeymora::InvalidateSetting() {
    if (HandleAllocated()) InvalidateRect(Layout().Strip());
}

std::optional<TPoint> TKeymora::GetPoint(std::uint8_t AOctave, std::uint8_t Note,
                                         std::uint8_t Tone, std::uint8_t Row) const {
    const TKey Key = TKey::FromNoteAddress(AOctave, Note, Tone);
    if (!Key.InKeyboard()) return std::nullopt;
    const int P = Key.Index();
    const int Cells = FMaxDuration - FMaxOffsetDuration;
    if (Cells <= 0) return std::nullopt;
    return Layout().NotePoint(P, Tone != 0, Row, Cells);
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

// ---- Labels ----

void TKeymora::SetNoteNames(bool Value) {
    if (Value == FNoteNames) return;
    FNoteNames = Value;
    InvalidateRect(Layout().KeyArea());
}

void TKeymora::SetScientificOctaves(bool Value) {
    if (Value == FScientificOctaves) return;
    FScientificOctaves = Value;
    InvalidateRect(Layout().KeyArea());
}

// ---- The colour layer ----

namespace {
bool KeyExists(int P, bool Black) {
    return (Black ? TKey::BlackAfter(P) : TKey::White(P)).Exists();
}
}  // namespace

void TKeymora::SetKeyColor(int P, bool Black, TColor Color) {
    if (!KeyExists(P, Black) || Color == NoKeyColor) return;
    TColor& Slot = (Black ? FToneColors : FKeyColors)[static_cast<std::size_t>(P)];
    if (Slot == Color) return;
    if (Slot == NoKeyColor) ++FColoredKeys;
    Slot = Color;
    InvalidateRect(Black ? GetToneRect(P) : GetKeyRect(P));
}

void TKeymora::ClearKeyColor(int P, bool Black) {
    if (!KeyExists(P, Black)) return;
    TColor& Slot = (Black ? FToneColors : FKeyColors)[static_cast<std::size_t>(P)];
    if (Slot == NoKeyColor) return;
    Slot = NoKeyColor;
    --FColoredKeys;
    InvalidateRect(Black ? GetToneRect(P) : GetKeyRect(P));
}

void TKeymora::ClearKeyColors() {
    for (int P = 0; FColoredKeys > 0 && P < WhiteKeyCount; ++P) {
        ClearKeyColor(P, false);
        ClearKeyColor(P, true);
    }
}

bool TKeymora::KeyColor(int P, bool Black, TColor& Color) const {
    // The paint pass asks for every key; mostly no key has a colour at all.
    if (FColoredKeys == 0 || !KeyExists(P, Black)) return false;
    const TColor Slot = (Black ? FToneColors : FKeyColors)[static_cast<std::size_t>(P)];
    if (Slot == NoKeyColor) return false;
    Color = Slot;
    return true;
}

}  // namespace keymora
