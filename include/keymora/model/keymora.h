// TKeymora, the on-screen piano keyboard control: its state, published properties with their
// setters, events, layout geometry and note states. Painting lives in render/, mouse and keyboard
// handling in input/; both read the geometry defined here.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "keymora/host/control.h"
#include "keymora/pitch/pitch.h"

namespace keymora {

enum class TKeyboardOrientation : std::uint8_t { koHorizontal = 0, koVertical = 1 };
constexpr TKeyboardOrientation koHorizontal = TKeyboardOrientation::koHorizontal;
constexpr TKeyboardOrientation koVertical = TKeyboardOrientation::koVertical;

enum class TMusicStyle : std::uint8_t {
    msShowMarks = 0,
    msColorOctave = 1,
    msScrollDuration = 2,
    msScrollOctave = 3
};
using TMusicStyles = TSet<TMusicStyle>;
constexpr TMusicStyle msShowMarks = TMusicStyle::msShowMarks;
constexpr TMusicStyle msColorOctave = TMusicStyle::msColorOctave;
constexpr TMusicStyle msScrollDuration = TMusicStyle::msScrollDuration;
constexpr TMusicStyle msScrollOctave = TMusicStyle::msScrollOctave;

using TOnKeyClickEvent = std::function<void(TObject* Sender, int Octave, int Note, int Tone)>;
using TOnMouseTrackEvent = std::function<void(TObject* Sender, bool Keys)>;
/// A key's state changed: Index 0..51 in KeyStates (Black false) or ToneStates (Black true).
using TOnKeyStateEvent = std::function<void(TObject* Sender, int Index, bool Black,
                                            std::uint8_t OldState, std::uint8_t NewState)>;

/// Key states.
constexpr std::uint8_t ksIdle = 0;
constexpr std::uint8_t ksPressed = 2;
constexpr std::uint8_t ksSelected = 3;

/// The six buttons of the two octave-scroll zones.
enum class TZoneButton : std::uint8_t {
    OctaveDown,     // start-end arrow
    MoreOctaves,    // start-end plus
    FewerOctaves,   // start-end minus
    OctaveUp,       // far-end arrow
    MoreDurations,  // far-end plus
    FewerDurations  // far-end minus
};

/// Geometry of the duration row across the setting strip: Count cells of Cell pixels along the
/// cross axis; cell k spans [FarEdge - (k + 1) * Cell, FarEdge - k * Cell). Count <= 0 means no
/// cells at all.
struct TDurationRow {
    int Count = 0;
    int Cell = 0;
    int FarEdge = 0;
    bool Scroll = false;
};

using TKeyStateArray = std::array<std::uint8_t, WhiteKeyCount>;

class TKeymora : public TCustomControl {
public:
    /// Fields get their initial values; no setter runs and no layout is computed.
    explicit TKeymora(TComponent* AOwner = nullptr);
    ~TKeymora() override;

    // Life cycle.
    void Loaded() override;
    void SetParent(THostParent* AParent) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;

    // Input steps (defined in input/).
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(std::uint16_t& Key, TShiftState Shift) override;
    void KeyUp(std::uint16_t& Key, TShiftState Shift) override;
    /// Empty: the character step never reaches the base, so OnKeyPress never fires.
    void KeyPress(char& Key) override;

    void Dispatch(TMessage& Msg) override;

    // Published properties, in declaration order.
    TKeyboardOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TKeyboardOrientation Value);
    TMusicStyles Style() const { return FStyle; }
    void SetStyle(TMusicStyles Value);
    int SettingWidth() const { return FSettingWidth; }
    void SetSettingWidth(int Value);
    int DurationWidth() const { return FDurationWidth; }
    void SetDurationWidth(int Value);
    int DurationPosition() const { return FDurationPosition; }
    void SetDurationPosition(int Value);
    int Octave() const { return FOctave; }
    void SetOctave(int Value);
    TAutoTone AutoTone() const { return FAutoTone; }
    /// Plain store: the property has no setter rules.
    void SetAutoTone(TAutoTone Value) { FAutoTone = Value; }
    int OffsetOctave() const { return FOffsetOctave; }
    void SetOffsetOctave(int Value);
    int MaxOffsetDuration() const { return FMaxOffsetDuration; }
    void SetOutDuration(int Value);
    int MaxOffsetOttave() const { return FMaxOffsetOttave; }
    void SetOutOctave(int Value);
    const std::string& Keys() const { return FKeys; }
    void SetKeys(std::string_view Value);
    int MaxDuration() const { return FMaxDuration; }
    void SetDurationCount(int Value);
    bool MouseTrack() const { return FMouseTrack; }
    void SetMouseTrack(bool Value);
    int OffsetDuration() const { return FOffsetDuration; }
    void SetOffsetDuration(int Value);
    bool CtrlMove() const { return FCtrlMove; }
    void SetCtrlMove(bool Value);

    TOnKeyClickEvent OnKeyClick;
    TOnMouseTrackEvent OnTrackMouse;
    TNotifyEvent OnOffsetChanged;
    TNotifyEvent OnDurationChanged;
    TNotifyEvent OnMaxChanged;
    /// Fired right after every change of a key state, whoever makes it (mouse, PC keyboard, the
    /// note operations), before that change's repaint request and OnKeyClick. Not published.
    TOnKeyStateEvent OnKeyStateChange;

    // Unpublished state.
    int ScrollButtonWidth() const { return FScrollButtonWidth; }
    int RealWidth() const { return FRealWidth; }
    int VisibleKeyCount() const { return FVisibleKeyCount; }
    int KeyWidth() const { return FKeyWidth; }
    const TKeyStateArray& KeyStates() const { return FKeyStates; }
    const TKeyStateArray& ToneStates() const { return FToneStates; }
    /// Tint of the white keys of octave O (1..9) under msColorOctave.
    TColor OctaveColor(int O) const { return FOctaveColors[static_cast<std::size_t>(O - 1)]; }
    const std::array<TColor, 9>& OctaveColors() const { return FOctaveColors; }
    bool OctaveDownPressed() const { return FOctaveDownPressed; }
    bool DurationUpPressed() const { return FDurationUpPressed; }
    bool OctaveUpPressed() const { return FOctaveUpPressed; }
    bool DurationDownPressed() const { return FDurationDownPressed; }
    bool MoreOctavesPressed() const { return FMoreOctavesPressed; }
    bool FewerOctavesPressed() const { return FFewerOctavesPressed; }
    bool MoreDurationsPressed() const { return FMoreDurationsPressed; }
    bool FewerDurationsPressed() const { return FFewerDurationsPressed; }
    bool ZoneButtonPressed(TZoneButton Button) const;

    // Layout.
    /// Recomputes RealWidth, VisibleKeyCount and KeyWidth from the current size.
    void CalculateWidth();
    /// The RealWidth the current client size gives; stores VisibleKeyCount under msScrollOctave.
    int GetRealWidth();
    /// Pixels by which the keys are scrolled toward the start end.
    int GetOffsetOctave() const;
    /// Rectangle of white key I; the whole control while there is no window.
    TRect GetKeyRect(int I) const;
    /// Rectangle of the black key that follows white key I; the whole control without a window.
    TRect GetToneRect(int I) const;
    /// Requests a repaint of the current octave's marks band.
    void InvalidateOctave();
    /// Requests a repaint of the setting strip.
    void InvalidateSetting();
    /// Anchor point of a note (Note 0..6 for C..B) in duration row Row; none outside the keys.
    std::optional<TPoint> GetPoint(std::uint8_t AOctave, std::uint8_t Note, std::uint8_t Tone,
                                   std::uint8_t Row) const;

    // Note states.
    void SelectNote(std::uint8_t AOctave, std::uint8_t Note, std::uint8_t Tone);
    void ReleaseNote(std::uint8_t AOctave, std::uint8_t Note, std::uint8_t Tone);
    void ReleaseSelected();

    // Shared geometry: painting and hit testing both place things with these.
    bool IsHorizontal() const { return FOrientation == koHorizontal; }
    /// Extent across the key axis (client height when horizontal).
    int CrossExtent() const { return IsHorizontal() ? ClientHeight() : ClientWidth(); }
    /// Client extent along the key axis.
    int AxisExtent() const { return IsHorizontal() ? ClientWidth() : ClientHeight(); }
    /// Thickness of each octave button zone: ScrollButtonWidth with msScrollOctave, else 0.
    int ZoneWidth() const;
    /// Key-axis coordinate of the start edge of white key 0.
    int KeyOrigin() const;
    /// Start of the setting strip along the key axis, RealWidth - SettingWidth.
    int StripStart() const { return FRealWidth - FSettingWidth; }
    /// The client rectangle spanning [U0, U1) along the key axis and [V0, V1) across it.
    TRect FrameRect(int U0, int V0, int U1, int V1) const;
    /// The setting strip, the rectangle InvalidateSetting repaints.
    TRect SettingRect() const;
    /// The key area between the button zones.
    TRect KeyAreaRect() const;
    /// The press rectangle of a zone button.
    TRect ZoneButtonRect(TZoneButton Button) const;
    /// The duration cells and scroll buttons of the setting strip.
    TDurationRow DurationRow() const;

protected:
    void WMSetFocus(TMessage& Msg) override;
    void WMKillFocus(TMessage& Msg) override;

private:
    // The input handlers of input/ change key states and button flags through this class.
    friend class TKeymoraInput;

    void WMEraseBkGnd(TMessage& Msg);
    void WMGetDlgCode(TMessage& Msg);
    /// The only writers of the two state arrays; P must lie in 0..51. They store the value and
    /// report a change through OnKeyStateChange.
    void SetKeyState(int P, std::uint8_t Value) { StoreState(FKeyStates, P, false, Value); }
    void SetToneState(int P, std::uint8_t Value) { StoreState(FToneStates, P, true, Value); }
    void StoreState(TKeyStateArray& States, int P, bool Black, std::uint8_t Value) {
        std::uint8_t& Slot = States[static_cast<std::size_t>(P)];
        const std::uint8_t Old = Slot;
        Slot = Value;
        if (Old != Value && OnKeyStateChange) OnKeyStateChange(this, P, Black, Old, Value);
    }
    bool& ZoneButtonFlag(TZoneButton Button);

    TMusicStyles FStyle;
    TAutoTone FAutoTone = atAutoMajor;
    int FSettingWidth = 0;
    int FScrollButtonWidth = 0;
    int FDurationWidth = 0;
    int FDurationPosition = 0;
    int FMaxDuration = 0;
    TKeyStateArray FKeyStates{};
    TKeyStateArray FToneStates{};
    std::array<TColor, 9> FOctaveColors{};
    int FOctave = 0;
    std::string FKeys;
    int FRealWidth = 0;
    bool FMouseTrack = false;
    int FOffsetDuration = 0;
    bool FOctaveDownPressed = false;
    bool FDurationUpPressed = false;
    bool FOctaveUpPressed = false;
    bool FDurationDownPressed = false;
    int FMaxOffsetDuration = 0;
    bool FMoreOctavesPressed = false;
    bool FFewerOctavesPressed = false;
    bool FMoreDurationsPressed = false;
    bool FFewerDurationsPressed = false;
    int FOffsetOctave = 0;
    int FMaxOffsetOttave = 0;
    int FVisibleKeyCount = 0;
    int FKeyWidth = 0;
    bool FCtrlMove = false;
    TKeyboardOrientation FOrientation = koHorizontal;
};

}  // namespace keymora
