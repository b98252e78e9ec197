// The recording window of the headless binding.
#include "keymora/headless/headless_window.h"

#include <utility>

namespace keymora {

THeadlessWindow::THeadlessWindow(TCustomControl& Control) : Control_(Control) {
    Control_.CreateHandle(this);
}

THeadlessWindow::~THeadlessWindow() {
    if (Control_.Handle() == this) Control_.DestroyHandle();
}

void THeadlessWindow::Add(THostRecord&& Record) {
    if (OnRecord) OnRecord(Record);
    if (Keep) Records.push_back(std::move(Record));
}

void THeadlessWindow::InvalidateRect(const TRect& R) {
    THostRecord Record;
    Record.Kind = THostRecord::TKind::InvalidateRect;
    Record.Rect = R;
    Add(std::move(Record));
}

void THeadlessWindow::Invalidate() {
    THostRecord Record;
    Record.Kind = THostRecord::TKind::InvalidateAll;
    Add(std::move(Record));
}

void THeadlessWindow::SetFocus() {
    if (FocusedFlag) return;
    THostRecord Record;
    Record.Kind = THostRecord::TKind::FocusSet;
    Add(std::move(Record));
    GiveFocus();
}

void THeadlessWindow::GiveFocus() {
    if (FocusedFlag) return;
    FocusedFlag = true;
    TMessage Msg{wm::WM_SETFOCUS, 0, 0, 0};
    Control_.Dispatch(Msg);
}

void THeadlessWindow::TakeFocus() {
    if (!FocusedFlag) return;
    FocusedFlag = false;
    TMessage Msg{wm::WM_KILLFOCUS, 0, 0, 0};
    Control_.Dispatch(Msg);
}

void THeadlessWindow::CursorChanged(TCursor Cursor) {
    THostRecord Record;
    Record.Kind = THostRecord::TKind::Cursor;
    Record.Cursor = Cursor;
    Add(std::move(Record));
}

void THeadlessWindow::CancelHint() {
    THostRecord Record;
    Record.Kind = THostRecord::TKind::CancelHint;
    Add(std::move(Record));
}

void THeadlessWindow::HintMouseMessage(const TMessage& Msg) {
    THostRecord Record;
    Record.Kind = THostRecord::TKind::Hint;
    Record.Text = Control_.Hint();
    const auto Packed = static_cast<std::uint32_t>(Msg.LParam);
    Record.Pos = Point(static_cast<std::int16_t>(Packed & 0xFFFFu),
                       static_cast<std::int16_t>(Packed >> 16));
    Add(std::move(Record));
}

}  // namespace keymora
