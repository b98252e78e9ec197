// Shared by the widget and form tests: the offscreen application, and a recorder of what a
// KeymoraWidget reports (its signals and the control's host key and mouse events) as short
// strings, in order.
#pragma once

#include <QtWidgets/QApplication>
#include <string>
#include <vector>

#include "keymora/layout/layout.h"
#include "keymora/qt/keymora_widget.h"

namespace keymora::test {

inline void EnsureApplication() {
    if (QCoreApplication::instance()) return;
    static int Argc = 3;
    static char Arg0[] = "keymora_qt_tests";
    static char Arg1[] = "-platform";
    static char Arg2[] = "offscreen";
    static char* Argv[] = {Arg0, Arg1, Arg2, nullptr};
    static QApplication* App = new QApplication(Argc, Argv);
    (void)App;
}

inline std::string ShiftText(TShiftState S) {
    static constexpr const char* Names[] = {"shift", "alt",    "ctrl",  "left",
                                            "right", "middle", "double"};
    std::string R;
    for (int I = 0; I < 7; ++I) {
        if (!S.Contains(static_cast<TShiftStateItem>(I))) continue;
        if (!R.empty()) R += '+';
        R += Names[I];
    }
    return R.empty() ? "-" : R;
}

struct Recorder {
    std::vector<std::string> Log;

    explicit Recorder(KeymoraWidget& W) {
        QObject::connect(&W, &KeymoraWidget::keyClick, [this](int O, int N, int T) {
            Log.push_back("keyClick " + std::to_string(O) + " " + std::to_string(N) + " " +
                          std::to_string(T));
        });
        QObject::connect(&W, &KeymoraWidget::trackMouse, [this](bool Keys) {
            Log.push_back(std::string("trackMouse ") + (Keys ? "1" : "0"));
        });
        QObject::connect(&W, &KeymoraWidget::offsetChanged,
                         [this] { Log.push_back("offsetChanged"); });
        QObject::connect(&W, &KeymoraWidget::durationChanged,
                         [this] { Log.push_back("durationChanged"); });
        QObject::connect(&W, &KeymoraWidget::maxChanged, [this] { Log.push_back("maxChanged"); });
        TKeymora& C = W.control();
        C.OnKeyDown = [this](TObject*, std::uint16_t& Key, TShiftState S) {
            Log.push_back("keydown " + std::to_string(Key) + " " + ShiftText(S));
        };
        C.OnKeyUp = [this](TObject*, std::uint16_t& Key, TShiftState S) {
            Log.push_back("keyup " + std::to_string(Key) + " " + ShiftText(S));
        };
        C.OnMouseDown = [this](TObject*, TMouseButton B, TShiftState S, int X, int Y) {
            Log.push_back("mousedown " + std::to_string(static_cast<int>(B)) + " " + ShiftText(S) +
                          " " + std::to_string(X) + " " + std::to_string(Y));
        };
        C.OnMouseUp = [this](TObject*, TMouseButton B, TShiftState S, int X, int Y) {
            Log.push_back("mouseup " + std::to_string(static_cast<int>(B)) + " " + ShiftText(S) +
                          " " + std::to_string(X) + " " + std::to_string(Y));
        };
        C.OnMouseMove = [this](TObject*, TShiftState S, int X, int Y) {
            Log.push_back("mousemove " + ShiftText(S) + " " + std::to_string(X) + " " +
                          std::to_string(Y));
        };
    }
};

}  // namespace keymora::test
