// The logging canvas of the headless binding.
#include "keymora/headless/recording_canvas.h"

#include <algorithm>
#include <limits>

namespace keymora {

// Counts the call and, while Keep is set, logs it with the pen, brush and font in force; nullptr
// when the call is only counted, so that a pass that is not kept copies nothing.
TCanvasCall* TRecordingCanvas::Add(TCanvasOp Op) {
    ++CallCount;
    if (!Keep) return nullptr;
    TCanvasCall& Call = Calls.emplace_back();
    Call.Op = Op;
    Call.Pen = Pen;
    Call.Brush = Brush;
    Call.Font = Font;
    return &Call;
}

namespace {
// The one point of a kept MoveTo, LineTo, TextOut or SetViewportOrg. Out of line: a point made in those calls
// themselves gave every call, kept or not, a stack frame that ASan poisons and unpoisons.
[[gnu::noinline]] void KeepPoint(TCanvasCall& Call, int X, int Y) {
    Call.Points.assign(1, TPoint{X, Y});
}
}  // namespace

void TRecordingCanvas::FillRect(const TRect& R) {
    if (TCanvasCall* Call = Add(TCanvasOp::FillRect)) Call->Rect = R;
}

void TRecordingCanvas::Polygon(const TPoint* Points, int Count) {
    if (TCanvasCall* Call = Add(TCanvasOp::Polygon)) Call->Points.assign(Points, Points + Count);
}

void TRecordingCanvas::Polyline(const TPoint* Points, int Count) {
    if (TCanvasCall* Call = Add(TCanvasOp::Polyline)) Call->Points.assign(Points, Points + Count);
}

void TRecordingCanvas::MoveTo(int X, int Y) {
    if (TCanvasCall* Call = Add(TCanvasOp::MoveTo)) KeepPoint(*Call, X, Y);
}

void TRecordingCanvas::LineTo(int X, int Y) {
    if (TCanvasCall* Call = Add(TCanvasOp::LineTo)) KeepPoint(*Call, X, Y);
}

void TRecordingCanvas::TextOut(int X, int Y, std::string_view Text) {
    if (TCanvasCall* Call = Add(TCanvasOp::TextOut)) {
        KeepPoint(*Call, X, Y);
        Call->Text.assign(Text.data(), Text.size());
    }
}

int TRecordingCanvas::TextWidth(std::string_view Text) {
    return static_cast<int>(Text.size()) * std::max(1, Font.Size - 2);
}

int TRecordingCanvas::TextHeight(std::string_view) { return std::max(1, 2 * Font.Size - 2); }

void TRecordingCanvas::IntersectClipRect(const TRect& R) {
    if (TCanvasCall* Call = Add(TCanvasOp::IntersectClipRect)) Call->Rect = R;
    Clip_.Left = std::max(Clip_.Left, R.Left + Origin_.X);
    Clip_.Top = std::max(Clip_.Top, R.Top + Origin_.Y);
    Clip_.Right = std::min(Clip_.Right, R.Right + Origin_.X);
    Clip_.Bottom = std::min(Clip_.Bottom, R.Bottom + Origin_.Y);
}

void TRecordingCanvas::SetViewportOrg(int X, int Y) {
    if (TCanvasCall* Call = Add(TCanvasOp::SetViewportOrg)) KeepPoint(*Call, X, Y);
    Origin_ = {X, Y};
}

TRect TRecordingCanvas::ClipRect() const {
    return {Clip_.Left - Origin_.X, Clip_.Top - Origin_.Y, Clip_.Right - Origin_.X,
            Clip_.Bottom - Origin_.Y};
}

TRect TRecordingCanvas::ClipBox() const {
    if (Clipping) return ClipRect();
    return {std::numeric_limits<int>::min(), std::numeric_limits<int>::min(),
            std::numeric_limits<int>::max(), std::numeric_limits<int>::max()};
}

void TRecordingCanvas::SaveDC() {
    Add(TCanvasOp::SaveDC);
    Saved_.push_back({Origin_, Clip_});
}

void TRecordingCanvas::RestoreDC() {
    Add(TCanvasOp::RestoreDC);
    if (Saved_.empty()) return;
    Origin_ = Saved_.back().Origin;
    Clip_ = Saved_.back().Clip;
    Saved_.pop_back();
}

void TRecordingCanvas::DrawElement(TThemedElement Element, const TRect& R) {
    if (TCanvasCall* Call = Add(TCanvasOp::DrawElement)) {
        Call->Element = Element;
        Call->Rect = R;
    }
}

void TRecordingCanvas::DrawFrameControl(const TRect& R, unsigned Type, unsigned State) {
    if (TCanvasCall* Call = Add(TCanvasOp::DrawFrameControl)) {
        Call->Rect = R;
        Call->Type = Type;
        Call->State = State;
    }
}

void TRecordingCanvas::SetSize(int Width, int Height) { Clip_ = {0, 0, Width, Height}; }

}  // namespace keymora
