/// \file
/// The thin host layer every platform binds to: the component and control base classes with their
/// life-cycle steps, window state, repaint and focus requests, input steps, message dispatch and
/// the re-publishable base properties; and THostWindow, the interface a binding implements to give
/// a control its window.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "keymora/host/canvas.h"
#include "keymora/host/types.h"

namespace keymora {

/// The root of the host layer's class tree; events pass their sender as a TObject*.
class TObject {
public:
    virtual ~TObject() = default;
};

/// An event that carries only its sender.
using TNotifyEvent = std::function<void(TObject* Sender)>;
/// A mouse press or release: the button, the modifier keys and buttons held, and the client
/// point.
using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
/// A pointer move: the modifier keys and buttons held, and the client point.
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
/// A key going down or up: its virtual-key code (see namespace vk) and the modifier keys held.
using TKeyEvent = std::function<void(TObject* Sender, std::uint16_t& Key, TShiftState Shift)>;
/// A character typed.
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

/// Owner and life-cycle state of a component.
class TComponent : public TObject {
public:
    /// A component owned by AOwner (may be null). The owner is only recorded.
    explicit TComponent(TComponent* AOwner) : FOwner(AOwner) {}
    /// The owner given to the constructor.
    TComponent* Owner() const { return FOwner; }
    /// The life-cycle flags; csLoading between BeginLoading and Loaded.
    TComponentState ComponentState() const { return FComponentState; }
    /// Enters form loading: csLoading stays set until Loaded runs.
    void BeginLoading() { FComponentState.Include(csLoading); }
    /// Called once after a form has assigned every saved property.
    virtual void Loaded() { FComponentState.Exclude(csLoading); }

private:
    TComponent* FOwner;
    TComponentState FComponentState;
};

/// A parent a control can be placed on (a form, a panel); bindings derive their own.
class THostParent {
public:
    virtual ~THostParent() = default;
};

/// What a platform binding provides for a control's window. Every request is made on the
/// user-interface thread; none may fail.
class THostWindow {
public:
    virtual ~THostWindow() = default;
    /// Repaint R later, without erasing the background.
    virtual void InvalidateRect(const TRect& R) = 0;
    /// Repaint the whole client area later, without erasing.
    virtual void Invalidate() = 0;
    /// Whether the window has the input focus.
    virtual bool Focused() const = 0;
    /// Gives the window the focus; WM_KILLFOCUS and WM_SETFOCUS are delivered before it returns.
    virtual void SetFocus() = 0;
    /// Whether buttons are drawn with the platform's visual style rather than the classic faces.
    virtual bool ThemesEnabled() const = 0;
    /// The pointer position in screen coordinates.
    virtual TPoint GetCursorPos() const = 0;
    /// The control assigned its Cursor property (called on every assignment).
    virtual void CursorChanged(TCursor Cursor) = 0;
    /// Hides the hint window, if one is showing.
    virtual void CancelHint() = 0;
    /// Shows the control's hint again at the position packed into Msg.LParam.
    virtual void HintMouseMessage(const TMessage& Msg) = 0;
    /// The control's bounds changed (the binding moves or resizes its window).
    virtual void BoundsChanged() {}
    /// TabStop, Enabled, Visible or Font changed (the binding mirrors them on its window).
    virtual void BasePropertiesChanged() {}
};

/// Where a control docks in its parent. Stored and saved only; no binding acts on it.
enum class TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
/// A parent edge a control keeps its distance to. Stored and saved only.
enum class TAnchorKind : std::uint8_t { akLeft, akTop, akRight, akBottom };
/// The anchored edges, as a set.
using TAnchors = TSet<TAnchorKind>;
/// An edge that carries a bevel. Stored and saved only; the control draws no bevel.
enum class TBevelEdge : std::uint8_t { beLeft, beTop, beRight, beBottom };
/// The bevelled edges, as a set.
using TBevelEdges = TSet<TBevelEdge>;
/// The look of an inner or outer bevel. Stored and saved only.
enum class TBevelCut : std::uint8_t { bvNone, bvLowered, bvRaised, bvSpace };
/// The kind of bevel. Stored and saved only.
enum class TBevelKind : std::uint8_t { bkNone, bkTile, bkSoft, bkFlat };

/// A windowed control that paints itself. Input steps fire the host events; derived controls
/// override the steps and call the base step where their own rules say.
class TCustomControl : public TComponent {
public:
    /// A control without parent or window, at (0, 0) with size 0 x 0; its ControlStyle holds
    /// csCaptureMouse, csClickEvents, csSetCaption and csDoubleClicks.
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    TCustomControl(const TCustomControl&) = delete;
    TCustomControl& operator=(const TCustomControl&) = delete;

    // Life cycle.
    /// Places the control on AParent (null takes it off). The parent is only recorded.
    virtual void SetParent(THostParent* AParent);
    /// The parent given to SetParent, or null.
    THostParent* Parent() const { return FParent; }
    /// Moves and sizes the control; each value is held to the window range -32768..32767.
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    /// Fills in the window style (WS_CHILD, WS_CLIPCHILDREN, WS_VISIBLE while Visible) and the
    /// bounds for the window CreateHandle attaches.
    virtual void CreateParams(TCreateParams& Params);
    /// Draws the control on Canvas(); empty in the base. Called by PaintTo.
    virtual void Paint() {}

    /// Binds the control to a window: asks CreateParams for the window style, then attaches.
    void CreateHandle(THostWindow* Window);
    /// Detaches the window; repaint requests reach no one afterwards.
    void DestroyHandle();
    /// Whether a window is attached.
    bool HandleAllocated() const { return FHandle != nullptr; }
    /// The attached window, or null.
    THostWindow* Handle() const { return FHandle; }
    /// The style CreateParams gave when the window was created.
    std::uint32_t WindowStyle() const { return FWindowStyle; }

    /// Runs a paint pass on Canvas (the binding calls this when the window needs painting).
    void PaintTo(TCanvas& ACanvas);
    /// The canvas of the pass in progress, or null outside one.
    TCanvas* Canvas() const { return FCanvas; }

    // Geometry. The client area is the whole control.
    ///@{
    /// The bounds given to SetBounds, in the parent's client pixels. The client area is the whole
    /// control: ClientWidth and ClientHeight equal Width and Height, ClientRect is
    /// (0, 0, Width, Height).
    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    int ClientWidth() const { return FWidth; }
    int ClientHeight() const { return FHeight; }
    TRect ClientRect() const { return {0, 0, FWidth, FHeight}; }
    ///@}

    /// The behaviour flags (see the constructor).
    TControlStyle ControlStyle() const { return FControlStyle; }
    /// Replaces the behaviour flags; nothing else happens.
    void SetControlStyle(TControlStyle S) { FControlStyle = S; }

    // Repaint and focus requests; without a window they do nothing.
    /// Asks the window to repaint the whole client area.
    void Invalidate();
    /// Asks the window to repaint R.
    void InvalidateRect(const TRect& R);
    /// Whether the window has the focus; false without a window.
    bool Focused() const;
    /// Asks the window for the focus.
    void SetFocus();
    /// Whether faces are themed; true without a window.
    bool ThemesEnabled() const;
    /// The pointer in screen coordinates; (0, 0) without a window.
    TPoint GetCursorPos() const;
    /// Asks the window to hide the hint.
    void CancelHint();
    /// Asks the window to show the hint again at the position in Msg.LParam.
    void HintMouseMessage(const TMessage& Msg);

    // Input steps. The base steps fire the matching On... event.
    /// A mouse button went down at client point (X, Y); the base fires OnMouseDown.
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    /// The pointer moved to client point (X, Y); the base fires OnMouseMove.
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    /// A mouse button went up at client point (X, Y); the base fires OnMouseUp.
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    /// Key (a virtual-key code) went down; the base fires OnKeyDown, which may change Key.
    virtual void KeyDown(std::uint16_t& Key, TShiftState Shift);
    /// Key (a virtual-key code) went up; the base fires OnKeyUp, which may change Key.
    virtual void KeyUp(std::uint16_t& Key, TShiftState Shift);
    /// The character Key was typed; the base fires OnKeyPress.
    virtual void KeyPress(char& Key);

    /// Delivers a window message to its handler.
    virtual void Dispatch(TMessage& Msg);
    /// Default handling of a message the control does not answer itself: result 0.
    virtual void DefaultHandler(TMessage& Msg);

    // Base properties a derived control may re-publish.
    /// The background colour ($00BBGGRR), $00F0F0F0 by default.
    TColor Color() const { return FColor; }
    /// Sets Color; on a change tells the window (BasePropertiesChanged) and repaints.
    void SetColor(TColor Value);
    /// Whether Tab reaches the control.
    bool TabStop() const { return FTabStop; }
    /// Sets TabStop and tells the window (BasePropertiesChanged).
    void SetTabStop(bool Value) {
        FTabStop = Value;
        if (FHandle) FHandle->BasePropertiesChanged();
    }
    /// The font of the control's text.
    const TFont& Font() const { return FFont; }
    /// Sets Font; on a change tells the window (BasePropertiesChanged) and repaints.
    void SetFont(const TFont& Value);
    /// Whether the window shows the control's hint.
    bool ShowHint() const { return FShowHint; }
    /// Sets ShowHint and tells the window (BasePropertiesChanged).
    void SetShowHint(bool Value) {
        FShowHint = Value;
        if (FHandle) FHandle->BasePropertiesChanged();
    }
    /// The hint text.
    const std::string& Hint() const { return FHint; }
    /// Sets the hint text; nothing is repainted or shown.
    void SetHint(std::string_view Value) { FHint.assign(Value.data(), Value.size()); }
    /// The pointer's shape over the control.
    TCursor Cursor() const { return FCursor; }
    /// Stores the cursor and tells the window, on every assignment.
    void SetCursor(TCursor Value);
    /// Whether the control takes input.
    bool Enabled() const { return FEnabled; }
    /// Sets Enabled and tells the window (BasePropertiesChanged).
    void SetEnabled(bool Value) {
        FEnabled = Value;
        if (FHandle) FHandle->BasePropertiesChanged();
    }
    /// Whether the control is shown.
    bool Visible() const { return FVisible; }
    /// Sets Visible and tells the window (BasePropertiesChanged).
    void SetVisible(bool Value) {
        FVisible = Value;
        if (FHandle) FHandle->BasePropertiesChanged();
    }
    ///@{
    /// Layout and bevel properties (Align, Anchors, BevelEdges, BevelInner, BevelOuter, BevelKind,
    /// BevelWidth, BorderWidth, Ctl3D): stored, saved and loaded with the other published
    /// properties; the control neither draws nor places anything by them.
    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value) { FAlign = Value; }
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors Value) { FAnchors = Value; }
    TBevelEdges BevelEdges() const { return FBevelEdges; }
    void SetBevelEdges(TBevelEdges Value) { FBevelEdges = Value; }
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value) { FBevelInner = Value; }
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value) { FBevelOuter = Value; }
    TBevelKind BevelKind() const { return FBevelKind; }
    void SetBevelKind(TBevelKind Value) { FBevelKind = Value; }
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value) { FBevelWidth = Value; }
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value) { FBorderWidth = Value; }
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value) { FCtl3D = Value; }
    ///@}

    // Host events.
    ///@{
    /// The host events, fired by the base input steps (MouseDown, MouseMove, MouseUp, KeyDown,
    /// KeyUp, KeyPress) and by SetBounds when the size changes (OnResize).
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnResize;
    ///@}

protected:
    /// WM_SETFOCUS arrived; the base answers with DefaultHandler.
    virtual void WMSetFocus(TMessage& Msg) { DefaultHandler(Msg); }
    /// WM_KILLFOCUS arrived; the base answers with DefaultHandler.
    virtual void WMKillFocus(TMessage& Msg) { DefaultHandler(Msg); }

private:
    THostParent* FParent = nullptr;
    THostWindow* FHandle = nullptr;
    TCanvas* FCanvas = nullptr;
    std::uint32_t FWindowStyle = 0;
    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;
    TControlStyle FControlStyle;
    TColor FColor = 0x00F0F0F0;
    bool FTabStop = false;
    TFont FFont;
    bool FShowHint = false;
    std::string FHint;
    TCursor FCursor = crDefault;
    bool FEnabled = true;
    bool FVisible = true;
    TAlign FAlign = TAlign::alNone;
    TAnchors FAnchors{TAnchorKind::akLeft, TAnchorKind::akTop};
    TBevelEdges FBevelEdges{TBevelEdge::beLeft, TBevelEdge::beTop, TBevelEdge::beRight,
                            TBevelEdge::beBottom};
    TBevelCut FBevelInner = TBevelCut::bvRaised;
    TBevelCut FBevelOuter = TBevelCut::bvLowered;
    TBevelKind FBevelKind = TBevelKind::bkNone;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    bool FCtl3D = true;
};

}  // namespace keymora
