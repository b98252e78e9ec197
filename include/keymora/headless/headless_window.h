/// \file
/// A window without a display: it records what a control asks of its host (repaint requests,
/// focus, cursor and hint requests) and behaves as a desktop window system does toward focus.
/// keymora-script, the tests, benchmarks and fuzzers use it; applications may test with it too.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "keymora/host/control.h"

namespace keymora {

/// One request the control made of its window.
struct THostRecord {
    /// The request: InvalidateRect, Invalidate (InvalidateAll), SetFocus while unfocused
    /// (FocusSet), CursorChanged (Cursor), HintMouseMessage (Hint) or CancelHint.
    enum class TKind { InvalidateRect, InvalidateAll, FocusSet, Cursor, Hint, CancelHint };
    /// Which request it was.
    TKind Kind = TKind::InvalidateAll;
    TRect Rect;          ///< InvalidateRect: the rectangle to repaint.
    TCursor Cursor = 0;  ///< Cursor: the cursor assigned.
    std::string Text;    ///< Hint: the control's Hint at the time of the request.
    TPoint Pos;          ///< Hint: position packed into the message (signed 16-bit X, Y).
    /// Equal when every field is.
    friend bool operator==(const THostRecord& A, const THostRecord& B) {
        return A.Kind == B.Kind && A.Rect == B.Rect && A.Cursor == B.Cursor && A.Text == B.Text &&
               A.Pos == B.Pos;
    }
    /// Unequal when any field differs.
    friend bool operator!=(const THostRecord& A, const THostRecord& B) { return !(A == B); }
};

/// A parent form without a display.
class THeadlessForm : public THostParent {};

/// A window without a display for one control: it records every request the control makes
/// (THostRecord) and keeps the focus as a desktop window system does, delivering WM_SETFOCUS
/// and WM_KILLFOCUS to the control.
class THeadlessWindow : public THostWindow {
public:
    /// Binds itself to Control as its window (Control keeps a pointer; keep this alive as long).
    explicit THeadlessWindow(TCustomControl& Control);
    ~THeadlessWindow() override;
    THeadlessWindow(const THeadlessWindow&) = delete;
    THeadlessWindow& operator=(const THeadlessWindow&) = delete;

    void InvalidateRect(const TRect& R) override;
    void Invalidate() override;
    bool Focused() const override { return FocusedFlag; }
    void SetFocus() override;
    bool ThemesEnabled() const override { return Themes; }
    TPoint GetCursorPos() const override { return CursorPos; }
    void CursorChanged(TCursor Cursor) override;
    void CancelHint() override;
    void HintMouseMessage(const TMessage& Msg) override;

    /// The host gives the control the focus (no record of its own): WM_SETFOCUS is delivered.
    /// Does nothing when the control already has it.
    void GiveFocus();
    /// The host takes the focus away: WM_KILLFOCUS is delivered. Does nothing when unfocused.
    void TakeFocus();

    /// Every request in the order made; tests clear it between steps.
    std::vector<THostRecord> Records;
    /// Called for each record as it is made (keymora-script prints from here).
    std::function<void(const THostRecord&)> OnRecord;
    /// When false, requests are not kept in Records (OnRecord still runs).
    bool Keep = true;
    /// What ThemesEnabled answers; true by default.
    bool Themes = true;
    /// Whether the window has the focus; GiveFocus, TakeFocus and SetFocus keep it.
    bool FocusedFlag = false;
    /// What GetCursorPos answers, in screen coordinates; (0, 0) by default.
    TPoint CursorPos;

private:
    void Add(THostRecord&& Record);
    TCustomControl& Control_;
};

}  // namespace keymora
