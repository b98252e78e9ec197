// A control on a headless window for the input tests, with one log in which the window's
// requests and the control's events appear in the order they happen.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "keymora/headless/headless_window.h"
#include "keymora/layout/layout.h"
#include "keymora/model/keymora.h"

namespace keymora::testing {

/// Log lines: "inv L T R B", "all", "focus", "cursor", "cancelhint", "hint TEXT X Y",
/// "click O N T", "track 1|0", "offset", "duration", "max", "mousedown", "mouseup", "keydown K",
/// "keyup K".
class TInputRig {
  public:
    /// A control of Width x Height on a parent form, with its window; Style and Orientation are
    /// set before the window exists, so setting them logs nothing.
    TInputRig(int Width, int Height, TMusicStyles Style = AllStyles(),
              TKeyboardOrientation Orientation = koHorizontal) {
        K.SetParent(&Form);
        K.SetStyle(Style);
        K.SetOrientation(Orientation);
        K.SetBounds(0, 0, Width, Height);
        Window = std::make_unique<THeadlessWindow>(K);
        Window->Keep = false;
        Window->OnRecord = [this](const THostRecord& R) { Log.push_back(Describe(R)); };
        K.OnKeyClick = [this](TObject*, int O, int N, int T) {
            Log.push_back("click " + std::to_string(O) + " " + std::to_string(N) + " " +
                          std::to_string(T));
        };
        K.OnTrackMouse = [this](TObject*, bool Keys) {
            Log.push_back(Keys ? "track 1" : "track 0");
        };
        K.OnOffsetChanged = [this](TObject*) { Log.push_back("offset"); };
        K.OnDurationChanged = [this](TObject*) { Log.push_back("duration"); };
        K.OnMaxChanged = [this](TObject*) { Log.push_back("max"); };
    }

    static TMusicStyles AllStyles() {
        return {msShowMarks, msColorOctave, msScrollDuration, msScrollOctave};
    }

    /// Gives the control the focus and forgets what that logged.
    void Focus() {
        Window->GiveFocus();
        Log.clear();
    }
    /// Logs the host's own mouse and key events too.
    void LogHostEvents() {
        K.OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) {
            Log.push_back("mousedown");
        };
        K.OnMouseUp = [this](TObject*, TMouseButton, TShiftState, int, int) {
            Log.push_back("mouseup");
        };
        K.OnKeyDown = [this](TObject*, std::uint16_t& Key, TShiftState) {
            Log.push_back("keydown " + std::to_string(Key));
        };
        K.OnKeyUp = [this](TObject*, std::uint16_t& Key, TShiftState) {
            Log.push_back("keyup " + std::to_string(Key));
        };
    }

    void Down(int X, int Y) { K.MouseDown(mbLeft, {}, X, Y); }
    void Up(int X, int Y) { K.MouseUp(mbLeft, {}, X, Y); }
    void Move(int X, int Y) { K.MouseMove({}, X, Y); }
    void KeyDown(std::uint16_t Key, TShiftState Shift = {}) { K.KeyDown(Key, Shift); }
    void KeyUp(std::uint16_t Key, TShiftState Shift = {}) { K.KeyUp(Key, Shift); }

    /// The log so far, which is then cleared.
    std::vector<std::string> Take() {
        std::vector<std::string> Result;
        Result.swap(Log);
        return Result;
    }

    static std::string Inv(int L, int T, int R, int B) {
        return "inv " + std::to_string(L) + " " + std::to_string(T) + " " + std::to_string(R) +
               " " + std::to_string(B);
    }

    THeadlessForm Form;
    TKeymora K;
    std::unique_ptr<THeadlessWindow> Window;
    std::vector<std::string> Log;

  private:
    static std::string Describe(const THostRecord& R) {
        switch (R.Kind) {
            case THostRecord::TKind::InvalidateRect:
                return Inv(R.Rect.Left, R.Rect.Top, R.Rect.Right, R.Rect.Bottom);
            case THostRecord::TKind::InvalidateAll:
                return "all";
            case THostRecord::TKind::FocusSet:
                return "focus";
            case THostRecord::TKind::Cursor:
                return "cursor";
            case THostRecord::TKind::CancelHint:
                return "cancelhint";
            case THostRecord::TKind::Hint:
                return "hint " + R.Text + " " + std::to_string(R.Pos.X) + " " +
                       std::to_string(R.Pos.Y);
        }
        return "?";
    }
};

}  // namespace keymora::testing
