// A control on a headless window whose events and host requests land in one ordered log of short
// strings, so that tests can compare whole sequences: "inv L T R B", "all", "focus", "cursor 0",
// "hint TEXT", "OnOffsetChanged", "OnKeyClick O N T", "OnTrackMouse 1" ...
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "keymora/headless/headless_window.h"
#include "keymora/layout/layout.h"
#include "keymora/model/keymora.h"

namespace keymora::test {

inline std::string Inv(int L, int T, int R, int B) {
    return "inv " + std::to_string(L) + " " + std::to_string(T) + " " + std::to_string(R) + " " +
           std::to_string(B);
}
inline std::string Inv(const TRect& R) { return Inv(R.Left, R.Top, R.Right, R.Bottom); }

struct Harness {
    TKeymora Control;
    THeadlessForm Form;
    std::unique_ptr<THeadlessWindow> Window;
    std::vector<std::string> Log;

    /// A control on a form with a window of Width x Height, events logged; the log starts empty.
    explicit Harness(int Width = 600, int Height = 100, bool WithWindow = true) {
        Control.SetParent(&Form);
        if (WithWindow) CreateWindow();
        Control.SetBounds(0, 0, Width, Height);
        Control.OnKeyClick = [this](TObject* Sender, int O, int N, int T) {
            CheckSender(Sender);
            Log.push_back("OnKeyClick " + std::to_string(O) + " " + std::to_string(N) + " " +
                          std::to_string(T));
        };
        Control.OnTrackMouse = [this](TObject* Sender, bool Keys) {
            CheckSender(Sender);
            Log.push_back(std::string("OnTrackMouse ") + (Keys ? "1" : "0"));
        };
        Control.OnOffsetChanged = [this](TObject* Sender) {
            CheckSender(Sender);
            Log.push_back("OnOffsetChanged");
        };
        Control.OnDurationChanged = [this](TObject* Sender) {
            CheckSender(Sender);
            Log.push_back("OnDurationChanged");
        };
        Control.OnMaxChanged = [this](TObject* Sender) {
            CheckSender(Sender);
            Log.push_back("OnMaxChanged");
        };
        Log.clear();
    }

    void CreateWindow() {
        Window = std::make_unique<THeadlessWindow>(Control);
        Window->Keep = false;
        Window->OnRecord = [this](const THostRecord& R) {
            using K = THostRecord::TKind;
            switch (R.Kind) {
                case K::InvalidateRect:
                    Log.push_back(Inv(R.Rect));
                    break;
                case K::InvalidateAll:
                    Log.push_back("all");
                    break;
                case K::FocusSet:
                    Log.push_back("focus");
                    break;
                case K::Cursor:
                    Log.push_back("cursor " + std::to_string(R.Cursor));
                    break;
                case K::Hint:
                    Log.push_back("hint " + R.Text);
                    break;
                case K::CancelHint:
                    break;
            }
        };
    }

    void CheckSender(TObject* Sender) {
        if (Sender != &Control) Log.push_back("WRONG SENDER");
    }

    /// The log so far, then cleared.
    std::vector<std::string> Take() {
        std::vector<std::string> R;
        R.swap(Log);
        return R;
    }
};

}  // namespace keymora::test
