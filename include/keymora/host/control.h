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

class TObject {
public:
    virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, std::uint16_t& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

/// Owner and life-cycle state of a component.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* AOwner) : FOwner(AOwner) {}
    TComponent* Owner() const { return FOwner; }
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
    virtual bool Focused() const = 0;
    /// Gives the window the focus; WM_KILLFOCUS and WM_SETFOCUS are delivered before it returns.
    virtual void SetFocus() = 0;
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

enum class TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum class TAnchorKind : std::uint8_t { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;
enum class TBevelEdge : std::uint8_t { beLeft, beTop, beRight, beBottom };
using TBevelEdges = TSet<TBevelEdge>;
enum class TBevelCut : std::uint8_t { bvNone, bvLowered, bvRaised, bvSpace };
enum class TBevelKind : std::uint8_t { bkNone, bkTile, bkSoft, bkFlat };

/// A windowed control that paints itself. Input steps fire the host events; derived controls
/// override the steps and call the base step where their own rules say.
class TCustomControl : public TComponent {
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    TCustomControl(const TCustomControl&) = delete;
    TCustomControl& operator=(const TCustomControl&) = delete;

    // Life cycle.
    virtual void SetParent(THostParent* AParent);
    THostParent* Parent() const { return FParent; }
    /// Moves and sizes the control; each value is held to the window range -32768..32767.
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    virtual void CreateParams(TCreateParams& Params);
    virtual void Paint() {}

    /// Binds the control to a window: asks CreateParams for the window style, then attaches.
    void CreateHandle(THostWindow* Window);
    /// Detaches the window; repaint requests reach no one afterwards.
    void DestroyHandle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    THostWindow* Handle() const { return FHandle; }
    /// The style CreateParams gave when the window was created.
    std::uint32_t WindowStyle() const { return FWindowStyle; }

    /// Runs a paint pass on Canvas (the binding calls this when the window needs painting).
    void PaintTo(TCanvas& ACanvas);
    /// The canvas of the pass in progress, or null outside one.
    TCanvas* Canvas() const { return FCanvas; }

    // Geometry. The client area is the whole control.
    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    int ClientWidth() const { return FWidth; }
    int ClientHeight() const { return FHeight; }
    TRect ClientRect() const { return {0, 0, FWidth, FHeight}; }

    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle S) { FControlStyle = S; }

    // Repaint and focus requests; without a window they do nothing.
    void Invalidate();
    void InvalidateRect(const TRect& R);
    bool Focused() const;
    void SetFocus();
    bool ThemesEnabled() const;
    TPoint GetCursorPos() const;
    void CancelHint();
    void HintMouseMessage(const TMessage& Msg);

    // Input steps. The base steps fire the matching On... event.
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void KeyDown(std::uint16_t& Key, TShiftState Shift);
    virtual void KeyUp(std::uint16_t& Key, TShiftState Shift);
    virtual void KeyPress(char& Key);

    /// Delivers a window message to its handler.
    virtual void Dispatch(TMessage& Msg);
    /// Default handling of a message the control does not answer itself: result 0.
    virtual void DefaultHandler(TMessage& Msg);

    // Base properties a derived control may re-publish.
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value) {
        FTabStop = Value;
        if (FHandle) FHandle->BasePropertiesChanged();
    }
    const TFont& Font() const { return FFont; }
    void SetFont(const TFont& Value);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value) {
        FShowHint = Value;
        if (FHandle) FHandle->BasePropertiesChanged();
    }
    const std::string& Hint() const { return FHint; }
    void SetHint(std::string_view Value) { FHint.assign(Value.data(), Value.size()); }
    TCursor Cursor() const { return FCursor; }
    /// Stores the cursor and tells the window, on every assignment.
    void SetCursor(TCursor Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) {
        FEnabled = Value;
        if (FHandle) FHandle->BasePropertiesChanged();
    }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value) {
        FVisible = Value;
        if (FHandle) FHandle->BasePropertiesChanged();
    }
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

    // Host events.
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnResize;

protected:
    virtual void WMSetFocus(TMessage& Msg) { DefaultHandler(Msg); }
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
