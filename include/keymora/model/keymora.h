/// \file
/// TKeymora, the on-screen piano keyboard control: its state, published properties with their
/// setters, events, layout geometry and note states. Painting lives in render/, mouse and keyboard
/// handling in input/; both read the geometry defined here.
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

/// The axis the keys run along: the control's width (koHorizontal) or its height (koVertical).
enum class TKeyboardOrientation : std::uint8_t { koHorizontal = 0, koVertical = 1 };
///@{
/// Shorthands for the TKeyboardOrientation values.
constexpr TKeyboardOrientation koHorizontal = TKeyboardOrientation::koHorizontal;
constexpr TKeyboardOrientation koVertical = TKeyboardOrientation::koVertical;
///@}

/// The control's feature switches: msShowMarks (the PC-key letters and octave numbers on the
/// keys), msColorOctave (white keys tinted by octave, OctaveColors), msScrollDuration (the
/// duration row scrolls with two buttons and shows MaxDuration - MaxOffsetDuration cells; the
/// tracking hint), msScrollOctave (two octave zones with scroll and more/fewer buttons, and only
/// VisibleKeyCount white keys in view).
enum class TMusicStyle : std::uint8_t {
    msShowMarks = 0,
    msColorOctave = 1,
    msScrollDuration = 2,
    msScrollOctave = 3
};
/// The feature switches that are on, as a set.
using TMusicStyles = TSet<TMusicStyle>;
///@{
/// Shorthands for the TMusicStyle values.
constexpr TMusicStyle msShowMarks = TMusicStyle::msShowMarks;
constexpr TMusicStyle msColorOctave = TMusicStyle::msColorOctave;
constexpr TMusicStyle msScrollDuration = TMusicStyle::msScrollDuration;
constexpr TMusicStyle msScrollOctave = TMusicStyle::msScrollOctave;
///@}

/// A note played: the control's Octave, Note 1 = C .. 7 = B and Tone -1 flat, 0 natural, +1
/// sharp (see TNote); Space reports (0, -1, 0).
using TOnKeyClickEvent = std::function<void(TObject* Sender, int Octave, int Note, int Tone)>;
/// The pointer moved: Keys true while it picks a duration (MouseTrack), false over the setting
/// strip otherwise.
using TOnMouseTrackEvent = std::function<void(TObject* Sender, bool Keys)>;

/// What changed in a control, as reported through OnChange.
enum class TChangeKind : std::uint8_t {
    KeyState,  ///< a key's state: Index, Black, OldState, NewState
    Property,  ///< a published property's value: Property names it
    Focus,     ///< the control took or lost the input focus
    Layout     ///< the layout was computed anew (size, orientation, style, limits)
};
/// One change reported through TKeymora::OnChange: its kind and, for a key state or a
/// property, the details.
struct TChange {
    /// What changed.
    TChangeKind Kind = TChangeKind::Layout;
    /// Property: the published name, as in the property table ("Octave", "OffsetDuration").
    std::string_view Property;
    /// KeyState: white key Index 0..51 (Black false) or the black key after it (Black true).
    int Index = -1;
    /// KeyState: true for the black key after white key Index.
    bool Black = false;
    /// KeyState: the state before the change (ksIdle, ksPressed, ksSelected).
    std::uint8_t OldState = 0;
    /// KeyState: the state after the change.
    std::uint8_t NewState = 0;
};
/// A change of key state, property value, focus or layout.
using TOnChangeEvent = std::function<void(TObject* Sender, const TChange& Change)>;

///@{
/// Key states, as KeyStates and ToneStates hold them: idle, pressed (by the mouse, the PC
/// keyboard or PressKey) and selected (lit by SelectNote).
constexpr std::uint8_t ksIdle = 0;
constexpr std::uint8_t ksPressed = 2;
constexpr std::uint8_t ksSelected = 3;
///@}

/// The six buttons of the two octave-scroll zones.
enum class TZoneButton : std::uint8_t {
    OctaveDown,     ///< start-end arrow
    MoreOctaves,    ///< start-end plus
    FewerOctaves,   ///< start-end minus
    OctaveUp,       ///< far-end arrow
    MoreDurations,  ///< far-end plus
    FewerDurations  ///< far-end minus
};

/// One key state per white-key index 0..51.
using TKeyStateArray = std::array<std::uint8_t, WhiteKeyCount>;

class TLayout;

/// The on-screen piano keyboard control: 88 keys A0 to C8, a row of duration cells and,
/// optionally, two octave zones with buttons. Played with the mouse, the PC keyboard (Keys) and
/// PressKey/ReleaseKey; reports through OnKeyClick and OnChange. The published properties'
/// setters ignore values outside their ranges and do nothing when the value does not change.
class TKeymora : public TCustomControl {
public:
    /// Fields get their initial values; no setter runs and no layout is computed.
    explicit TKeymora(TComponent* AOwner = nullptr);
    ~TKeymora() override;

    // Life cycle.
    /// Ends form loading and computes the layout.
    void Loaded() override;
    void SetParent(THostParent* AParent) override;
    /// Moves and sizes the control as the base does, then computes the layout (not while loading).
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    /// The base window style plus WS_TABSTOP while TabStop is true.
    void CreateParams(TCreateParams& Params) override;
    /// Draws the control on Canvas() with PaintKeymora.
    void Paint() override;

    // Input steps (defined in input/).
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(std::uint16_t& Key, TShiftState Shift) override;
    void KeyUp(std::uint16_t& Key, TShiftState Shift) override;
    /// Empty: the character step never reaches the base, so OnKeyPress never fires.
    void KeyPress(char& Key) override;

    /// Answers WM_ERASEBKGND with 0 and WM_GETDLGCODE with DLGC_WANTARROWS; other messages go to
    /// the base.
    void Dispatch(TMessage& Msg) override;

    // Published properties, in declaration order.
    /// Orientation: whether the keys run along the width or the height; koHorizontal by default.
    TKeyboardOrientation Orientation() const { return FOrientation; }
    /// Sets Orientation; the layout is computed anew and the whole control repainted.
    void SetOrientation(TKeyboardOrientation Value);
    /// Style: the feature switches; all four on by default.
    TMusicStyles Style() const { return FStyle; }
    /// Sets Style; the layout is computed anew and the whole control repainted.
    void SetStyle(TMusicStyles Value);
    /// SettingWidth: the thickness in pixels of the setting strip (the duration row) at the far end
    /// of the key axis; 30 by default.
    int SettingWidth() const { return FSettingWidth; }
    /// Sets SettingWidth, 10..32767; the layout is computed anew and the control repainted.
    void SetSettingWidth(int Value);
    /// DurationWidth: kept and saved with the other properties, not used for drawing; 6 by default.
    int DurationWidth() const { return FDurationWidth; }
    /// Sets DurationWidth (any value) and repaints the first SettingWidth pixels of the key axis.
    void SetDurationWidth(int Value);
    /// DurationPosition: the chosen duration, 0 for the whole note, D for the 1/2^D note; 0 by
    /// default.
    int DurationPosition() const { return FDurationPosition; }
    /// Sets DurationPosition, 0..MaxDuration - 1; scrolls OffsetDuration so that the cell is in
    /// view, repaints the setting strip and fires OnDurationChanged.
    void SetDurationPosition(int Value);
    /// Octave: the control's octave the PC keys play (1..9; 5 holds middle C); 5 by default.
    int Octave() const { return FOctave; }
    /// Sets Octave, 1..9. Under msShowMarks the marks bands are repainted and OffsetOctave is
    /// moved so that the octave stays in view.
    void SetOctave(int Value);
    /// AutoTone: how black keys are spelled in what the control reports; atAutoMajor by default.
    TAutoTone AutoTone() const { return FAutoTone; }
    /// Plain store: the property has no setter rules.
    void SetAutoTone(TAutoTone Value);
    /// OffsetOctave: how many octaves the keys are scrolled toward the start end, taking the
    /// lowest octaves out of view (under msScrollOctave); 0 by default.
    int OffsetOctave() const { return FOffsetOctave; }
    /// Sets OffsetOctave, 0..MaxOffsetOttave; repaints the key area and fires OnOffsetChanged.
    void SetOffsetOctave(int Value);
    /// MaxOffsetDuration: how many duration positions lie beyond the cells shown under
    /// msScrollDuration (MaxDuration - MaxOffsetDuration cells are shown); 3 by default.
    int MaxOffsetDuration() const { return FMaxOffsetDuration; }
    /// Sets MaxOffsetDuration, 1..MaxDuration - 1; lowers OffsetDuration to it when above,
    /// computes the layout, repaints and fires OnMaxChanged.
    void SetOutDuration(int Value);
    /// MaxOffsetOttave: how many octaves the keys can scroll under msScrollOctave, which shows
    /// 63 - 7 * MaxOffsetOttave white keys (at most 52); 4 by default.
    int MaxOffsetOttave() const { return FMaxOffsetOttave; }
    /// Sets MaxOffsetOttave, 1..8; lowers OffsetOctave to it when above, computes the layout,
    /// repaints and fires OnMaxChanged.
    void SetOutOctave(int Value);
    /// Keys: the PC-key letters that play C, D, E .. of the current Octave, one character per note
    /// (an eighth carries into the next octave); "CDEFGAB" by default.
    const std::string& Keys() const { return FKeys; }
    /// Sets Keys; a value that differs only in letter case is no change. Repaints the marks band
    /// under msShowMarks.
    void SetKeys(std::string_view Value);
    /// MaxDuration: how many duration positions the row offers; 6 by default.
    int MaxDuration() const { return FMaxDuration; }
    /// Sets MaxDuration, 2..8; lowers MaxOffsetDuration and DurationPosition (through their
    /// setters) to fit, and repaints the setting strip.
    void SetDurationCount(int Value);
    /// MouseTrack: when true, the pointer's position across the key axis picks the duration;
    /// false by default.
    bool MouseTrack() const { return FMouseTrack; }
    /// Sets MouseTrack.
    void SetMouseTrack(bool Value);
    /// OffsetDuration: the duration position of the first cell shown; 0 by default.
    int OffsetDuration() const { return FOffsetDuration; }
    /// Sets OffsetDuration, 0..MaxOffsetDuration; repaints the setting strip and fires
    /// OnOffsetChanged.
    void SetOffsetDuration(int Value);
    /// CtrlMove: when true, the arrow keys, Home and End change octave and duration only with Ctrl
    /// held; false by default.
    bool CtrlMove() const { return FCtrlMove; }
    /// Sets CtrlMove.
    void SetCtrlMove(bool Value);

    /// A note was played: a key released after a press by the mouse or the PC keyboard (or
    /// ReleaseKey with Click), or Space.
    TOnKeyClickEvent OnKeyClick;
    /// The pointer moved over the keyboard with MouseTrack on, or over the setting strip.
    TOnMouseTrackEvent OnTrackMouse;
    /// OffsetOctave or OffsetDuration changed through its setter.
    TNotifyEvent OnOffsetChanged;
    /// DurationPosition changed through its setter.
    TNotifyEvent OnDurationChanged;
    /// MaxOffsetDuration or MaxOffsetOttave changed through its setter.
    TNotifyEvent OnMaxChanged;
    /// The one way out of the control for bindings: fired right after every change of a key
    /// state (before its repaint request and OnKeyClick), of a published property's value
    /// (once per actual change, whoever made it), of the focus and of the layout. Not published.
    TOnChangeEvent OnChange;

    // Unpublished state.
    /// The thickness of the scroll buttons and of each octave zone in pixels (16).
    int ScrollButtonWidth() const { return FScrollButtonWidth; }
    /// The extent along the key axis the layout fills: VisibleKeyCount whole keys plus one pixel,
    /// the setting strip and the octave zones.
    int RealWidth() const { return FRealWidth; }
    /// The white keys in view at once: 52, or under msScrollOctave 63 - 7 * MaxOffsetOttave
    /// (at most 52).
    int VisibleKeyCount() const { return FVisibleKeyCount; }
    /// The width of a white key in pixels.
    int KeyWidth() const { return FKeyWidth; }
    /// The state of each white key (ksIdle, ksPressed, ksSelected).
    const TKeyStateArray& KeyStates() const { return FKeyStates; }
    /// The state of the black key after each white key; places after E, B and C8 stand for no key.
    const TKeyStateArray& ToneStates() const { return FToneStates; }
    /// Tint of the white keys of octave O (1..9) under msColorOctave.
    TColor OctaveColor(int O) const { return FOctaveColors[static_cast<std::size_t>(O - 1)]; }
    /// The tints of octaves 1..9 under msColorOctave.
    const std::array<TColor, 9>& OctaveColors() const { return FOctaveColors; }
    ///@{
    /// Whether a button is held down now: the octave arrows and the more/fewer buttons of the
    /// zones, and the two duration scroll buttons.
    bool OctaveDownPressed() const { return FOctaveDownPressed; }
    bool DurationUpPressed() const { return FDurationUpPressed; }
    bool OctaveUpPressed() const { return FOctaveUpPressed; }
    bool DurationDownPressed() const { return FDurationDownPressed; }
    bool MoreOctavesPressed() const { return FMoreOctavesPressed; }
    bool FewerOctavesPressed() const { return FFewerOctavesPressed; }
    bool MoreDurationsPressed() const { return FMoreDurationsPressed; }
    bool FewerDurationsPressed() const { return FFewerDurationsPressed; }
    ///@}

    /// Whether the zone button Button is held down now.
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
    /// Lights a key: Note 0 = C .. 6 = B of the control's octave AOctave, the white key, or with
    /// Tone nonzero the black key above it. The key shows selected until released; an address
    /// outside the keyboard is ignored.
    void SelectNote(std::uint8_t AOctave, std::uint8_t Note, std::uint8_t Tone);
    /// Takes the light off the key SelectNote addresses the same way; only a selected key changes.
    void ReleaseNote(std::uint8_t AOctave, std::uint8_t Note, std::uint8_t Tone);
    /// Takes the light off every selected key.
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
    /// Sets NoteNames and repaints the key area.
    void SetNoteNames(bool Value);
    /// Octave numbers on the C keys in scientific numbering (C4 labelled 4) instead of the
    /// control's own (C4 labelled 5).
    bool ScientificOctaves() const { return FScientificOctaves; }
    /// Sets ScientificOctaves and repaints the key area.
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

    /// Orientation == koHorizontal.
    bool IsHorizontal() const { return FOrientation == koHorizontal; }
    /// Where everything lies now: every drawn rectangle, the hit rules and the press points.
    TLayout Layout() const;

protected:
    /// Repaints the marks band and the setting strip and reports a Focus change.
    void WMSetFocus(TMessage& Msg) override;
    /// Repaints the marks band and the setting strip and reports a Focus change.
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
