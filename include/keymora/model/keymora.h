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

/// What changed in a control, as reported through OnChange.
enum class TChangeKind : std::uint8_t {
    KeyState,  // a key's state: Index, Black, OldState, NewState
    Property,  // a published property's value: Property names it
    Focus,     // the control took or lost the input focus
    Layout     // the layout was computed anew (size, orientation, style, limits)
};
struct TChange {
    TChangeKind Kind = TChangeKind::Layout;
    /// Property: the published name, as in the property table ("Octave", "OffsetDuration").
    std::string_view Property;
    /// KeyState: white key Index 0..51 (Black false) or the black key after it (Black true).
    int Index = -1;
    bool Black = false;
    std::uint8_t OldState = 0;
    std::uint8_t NewState = 0;
};
using TOnChangeEvent = std::function<void(TObject* Sender, const TChange& Change)>;

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

using TKeyStateArray = std::array<std::uint8_t, WhiteKeyCount>;

class TLayout;

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
    void SetAutoTone(TAutoTone Value);
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
    /// The one way out of the control for bindings: fired right after every change of a key
    /// state (before its repaint request and OnKeyClick), of a published property's value
    /// (once per actual change, whoever made it), of the focus and of the layout. Not published.
    TOnChangeEvent OnChange;

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

    // Keys pressed and released by a binding's own input (touch points; keys whose PC key went
    // up while the control addressed another one), apart from the mouse and keyboard steps.
    /// Shows white key P (0..51), or the black key after it, pressed; false when it was already
    /// pressed or there is no such key.
    bool PressKey(int P, bool Black);
    /// Releases a pressed key (idle, repainted) and, when Click, reports it through OnKeyClick
    /// as a mouse release does; false when it was not pressed.
    bool ReleaseKey(int P, bool Black, bool Click);

    // Labels a binding may add, both off by default so that pictures stay as they are.
    /// The note name ("C" .. "B") on every white key, whatever the PC-key letters.
    bool NoteNames() const { return FNoteNames; }
    void SetNoteNames(bool Value);
    /// Octave numbers on the C keys in scientific numbering (C4 labelled 4) instead of the
    /// control's own (C4 labelled 5).
    bool ScientificOctaves() const { return FScientificOctaves; }
    void SetScientificOctaves(bool Value);

    // The application's colour layer: a key given a colour shows it on its body where it would
    // show its octave colour, Color or (a black key) black. Pressed and selected keys still draw
    // as pressed and selected on top of it; nothing the user does takes a colour away.
    /// Gives white key P (0..51), or the black key after it when Black, the colour Color; only
    /// that key is repainted. Indices outside the keyboard are ignored.
    void SetKeyColor(int P, bool Black, TColor Color);
    /// Takes the colour away from one key.
    void ClearKeyColor(int P, bool Black);
    /// Takes every key's colour away.
    void ClearKeyColors();
    /// True when the key has a colour of the application's, with the colour in Color.
    bool KeyColor(int P, bool Black, TColor& Color) const;

    bool IsHorizontal() const { return FOrientation == koHorizontal; }
    /// Where everything lies now: every drawn rectangle, the hit rules and the press points.
    TLayout Layout() const;

protected:
    void WMSetFocus(TMessage& Msg) override;
    void WMKillFocus(TMessage& Msg) override;

private:
    // The input handlers of input/ change key states and button flags through this class.
    friend class TKeymoraInput;

    void WMEraseBkGnd(TMessage& Msg);
    void WMGetDlgCode(TMessage& Msg);
    /// The only writers of the two state arrays; P must lie in 0..51. They store the value and
    /// report a change through OnChange.
    void SetKeyState(int P, std::uint8_t Value) { StoreState(FKeyStates, P, false, Value); }
    void SetToneState(int P, std::uint8_t Value) { StoreState(FToneStates, P, true, Value); }
    void StoreState(TKeyStateArray& States, int P, bool Black, std::uint8_t Value) {
        std::uint8_t& Slot = States[static_cast<std::size_t>(P)];
        const std::uint8_t Old = Slot;
        Slot = Value;
        if (Old == Value || !OnChange) return;
        TChange Change;
        Change.Kind = TChangeKind::KeyState;
        Change.Index = P;
        Change.Black = Black;
        Change.OldState = Old;
        Change.NewState = Value;
        OnChange(this, Change);
    }
    /// Reports a change of a kind without details, or of the published property Name.
    void Notify(TChangeKind Kind, std::string_view Name = {}) {
        if (!OnChange) return;
        TChange Change;
        Change.Kind = Kind;
        Change.Property = Name;
        OnChange(this, Change);
    }
    bool& ZoneButtonFlag(TZoneButton Button);
    /// While a form loads, a property whose range depends on another one that may load after it
    /// is noted here as given (Slot is its place among the four, in declaration order); Loaded
    /// assigns it again against the final values. True when Value is out of any range.
    bool HoldForLoad(std::size_t Slot, int Value, int Min, int Max);
    /// True while a form loads or Loaded assigns the held values: the view then stays where the
    /// form puts it instead of following the octave and the duration.
    bool KeepView() const { return FApplyingLoad || ComponentState().Contains(csLoading); }

    TMusicStyles FStyle;
    TAutoTone FAutoTone = atAutoMajor;
    int FSettingWidth = 0;
    int FScrollButtonWidth = 0;
    int FDurationWidth = 0;
    int FDurationPosition = 0;
    int FMaxDuration = 0;
    TKeyStateArray FKeyStates{};
    TKeyStateArray FToneStates{};
    // The colour layer; NoKeyColor where a key has none.
    static constexpr TColor NoKeyColor = 0xFFFFFFFFu;
    std::array<TColor, WhiteKeyCount> FKeyColors;
    std::array<TColor, WhiteKeyCount> FToneColors;
    int FColoredKeys = 0;
    bool FNoteNames = false;
    bool FScientificOctaves = false;
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
    // DurationPosition, OffsetOctave, MaxOffsetDuration, OffsetDuration as a loading form gave them.
    std::array<std::optional<int>, 4> FHeld{};
    bool FApplyingLoad = false;
};

}  // namespace keymora
