// The base control's own steps: geometry, window binding, repaint and focus requests, the host
// events fired by the input steps, and default message handling.
#include "keymora/host/control.h"

namespace keymora {

namespace {
constexpr TControlStyle DefaultControlStyle{TControlStyleItem::csCaptureMouse,
                                            TControlStyleItem::csClickEvents,
                                            TControlStyleItem::csSetCaption,
                                            TControlStyleItem::csDoubleClicks};
}  // namespace

TCustomControl::TCustomControl(TComponent* AOwner) : TComponent(AOwner) {
    FControlStyle = DefaultControlStyle;
}

TCustomControl::~TCustomControl() = default;

void TCustomControl::SetParent(THostParent* AParent) { FParent = AParent; }

namespace {
// Window systems keep coordinates and sizes in 16 bits; holding bounds to that range keeps every
// layout sum and product of a control well inside int.
int ToWindowRange(int V) { return V < -32768 ? -32768 : (V > 32767 ? 32767 : V); }
}  // namespace

void TCustomControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    ALeft = ToWindowRange(ALeft);
    ATop = ToWindowRange(ATop);
    AWidth = ToWindowRange(AWidth);
    AHeight = ToWindowRange(AHeight);
    const bool Resized = AWidth != FWidth || AHeight != FHeight;
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    if (FHandle) FHandle->BoundsChanged();
    if (Resized && OnResize) OnResize(this);
}

void TCustomControl::CreateParams(TCreateParams& Params) {
    Params.Style = WS_CHILD | WS_CLIPCHILDREN | (FVisible ? WS_VISIBLE : 0u);
    Params.ExStyle = 0;
    Params.X = FLeft;
    Params.Y = FTop;
    Params.Width = FWidth;
    Params.Height = FHeight;
}

void TCustomControl::CreateHandle(THostWindow* Window) {
    TCreateParams Params;
    CreateParams(Params);
    FWindowStyle = Params.Style;
    FHandle = Window;
}

void TCustomControl::DestroyHandle() { FHandle = nullptr; }

void TCustomControl::PaintTo(TCanvas& ACanvas) {
    TCanvas* Previous = FCanvas;
    FCanvas = &ACanvas;
    Paint();
    FCanvas = Previous;
}

void TCustomControl::Invalidate() {
    if (FHandle) FHandle->Invalidate();
}

void TCustomControl::InvalidateRect(const TRect& R) {
    if (FHandle) FHandle->InvalidateRect(R);
}

bool TCustomControl::Focused() const { return FHandle && FHandle->Focused(); }

void TCustomControl::SetFocus() {
    if (FHandle) FHandle->SetFocus();
}

bool TCustomControl::ThemesEnabled() const { return FHandle ? FHandle->ThemesEnabled() : true; }

TPoint TCustomControl::GetCursorPos() const { return FHandle ? FHandle->GetCursorPos() : TPoint{}; }

void TCustomControl::CancelHint() {
    if (FHandle) FHandle->CancelHint();
}

void TCustomControl::HintMouseMessage(const TMessage& Msg) {
    if (FHandle) FHandle->HintMouseMessage(Msg);
}

void TCustomControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TCustomControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TCustomControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TCustomControl::KeyDown(std::uint16_t& Key, TShiftState Shift) {
    if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TCustomControl::KeyUp(std::uint16_t& Key, TShiftState Shift) {
    if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TCustomControl::KeyPress(char& Key) {
    if (OnKeyPress) OnKeyPress(this, Key);
}

void TCustomControl::Dispatch(TMessage& Msg) {
    switch (Msg.Msg) {
        case wm::WM_SETFOCUS:
            WMSetFocus(Msg);
            break;
        case wm::WM_KILLFOCUS:
            WMKillFocus(Msg);
            break;
        default:
            DefaultHandler(Msg);
            break;
    }
}

void TCustomControl::DefaultHandler(TMessage& Msg) { Msg.Result = 0; }

void TCustomControl::SetColor(TColor Value) {
    if (Value == FColor) return;
    FColor = Value;
    if (FHandle) FHandle->BasePropertiesChanged();
    Invalidate();
}

void TCustomControl::SetFont(const TFont& Value) {
    if (Value == FFont) return;
    FFont = Value;
    if (FHandle) FHandle->BasePropertiesChanged();
    Invalidate();
}

void TCustomControl::SetCursor(TCursor Value) {
    FCursor = Value;
    if (FHandle) FHandle->CursorChanged(Value);
}

}  // namespace keymora
