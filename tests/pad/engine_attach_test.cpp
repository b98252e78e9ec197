// The script engine driving a control it does not own, as the pad attaches it to its keyboard:
// commands that would replace, resize or stand in for the control's window are refused, the
// control's own handlers run before each printed line, and they are back alone once the engine
// is gone.
#include <gtest/gtest.h>

#include <sstream>

#include "engine/script.h"
#include "keymora/headless/headless_window.h"
#include "keymora/model/keymora.h"

namespace keymora::script {
namespace {

// A control set up by an application: a window of its own and handlers of its own.
struct App {
    THeadlessForm Form;
    TKeymora Control{nullptr};
    std::unique_ptr<THeadlessWindow> Window;
    std::vector<std::string> Heard;
    App() {
        Control.SetParent(&Form);
        Window = std::make_unique<THeadlessWindow>(Control);
        Control.SetBounds(0, 0, 800, 120);
        Control.OnKeyClick = [this](TObject*, int O, int N, int T) {
            Heard.push_back("click " + std::to_string(O) + " " + std::to_string(N) + " " +
                            std::to_string(T));
        };
        Control.OnKeyDown = [this](TObject*, std::uint16_t& Key, TShiftState) {
            Heard.push_back("down " + std::to_string(Key));
        };
    }
    ~App() { Window.reset(); }
};

TEST(EngineAttached, RefusesWhatBelongsToTheApplication) {
    const char* Lines[] = {"create", "parent", "window",    "bounds 0 0 10 10",
                           "focus",  "blur",   "themes off"};
    for (const char* Line : Lines) {
        App A;
        std::ostringstream Out;
        TScriptEngine Engine(Out);
        Engine.Attach(A.Control);
        EXPECT_EQ(Engine.Run(std::string(Line) + "\n"), 2) << Line;
        const std::string Name = std::string(Line).substr(0, std::string(Line).find(' '));
        EXPECT_EQ(Out.str(), "{\"error\":\"" + Name +
                                 " is not available: the control belongs to the "
                                 "application\",\"line\":1}\n");
        EXPECT_EQ(A.Control.Width(), 800);
    }
}

TEST(EngineAttached, ChainsTheHandlersAndRestoresThem) {
    App A;
    std::ostringstream Out;
    {
        TScriptEngine Engine(Out);
        Engine.Attach(A.Control);
        Engine.SetExtension(
            [](const std::vector<std::string>& Args, std::ostream& O, std::string& Error) {
                if (Args[0] != "hello") return TExtensionResult::NotMine;
                if (Args.size() > 1) {
                    Error = "hello takes nothing";
                    return TExtensionResult::Failed;
                }
                O << "{\"hello\":true}\n";
                return TExtensionResult::Done;
            });
        EXPECT_EQ(Engine.Run("keydown E\nkeyup E\nhello\nget Octave\nhello there\nget Octave\n"),
                  2);
    }
    EXPECT_EQ(A.Heard, (std::vector<std::string>{"down 69", "click 5 3 0"}));
    EXPECT_EQ(Out.str(),
              "{\"event\":\"OnKeyDown\",\"key\":69}\n"
              "{\"event\":\"OnKeyClick\",\"octave\":5,\"note\":3,\"tone\":0}\n"
              "{\"event\":\"OnKeyUp\",\"key\":69}\n"
              "{\"hello\":true}\n"
              "{\"get\":\"Octave\",\"value\":5}\n"
              "{\"error\":\"hello takes nothing\",\"line\":5}\n");

    // The engine is gone: the application's handlers run alone, the unset one stays unset.
    const std::size_t Printed = Out.str().size();
    std::uint16_t Key = 'G';
    A.Control.KeyDown(Key, {});
    Key = 'G';
    A.Control.KeyUp(Key, {});
    EXPECT_EQ(A.Heard.back(), "click 5 5 0");
    EXPECT_EQ(A.Heard.size(), 4u);
    EXPECT_FALSE(A.Control.OnKeyUp);
    EXPECT_EQ(Out.str().size(), Printed);
}

}  // namespace
}  // namespace keymora::script
