// TScriptEngine: the interpreter behind keymora-script. It owns one TKeymora on a headless host,
// runs script lines against it and writes, as JSON lines, everything the control does that a
// host or an application can observe. Tests and fuzzers drive it directly; it never throws,
// crashes or hangs on any input: a malformed or impossible line prints an error line and stops
// the session.
//
// Choices the tool makes where the input format leaves room:
// - Plain integers (property values, bounds, pointer coordinates) lie within -1000000..1000000,
//   so no coordinate arithmetic of the control can overflow; note arguments of GetPoint,
//   SelectNote and ReleaseNote are bytes, 0..255; key indices of GetKeyRect and GetToneRect lie
//   within -1000..1000. Colours take 0..4294967295 in decimal or $-hexadecimal.
// - "get Font" prints {"name":N,"size":S,"color":C,"style":[...]}; "set Font NAME" or
//   "set Font NAME,SIZE" changes the name (and size) and keeps the colour and style.
// - "get Cursor" prints "default" for the default cursor (the only one the control assigns),
//   another cursor as its number.
// - "down" and "up" take at most one button (left when none is named); the pressed button is
//   part of the shift state of "down" but not of "up"; "move" holds the buttons it names (none
//   by default).
// - "window" on a control that has one, "loading" while loading and "loaded" when not loading
//   are impossible commands. "paint" needs a client area of 1..16384 pixels each way.
// - "themes" is the host's setting: it outlives "create".
//
// Attached to a control that lives elsewhere (an application's widget, through Attach), the
// engine drives that control without owning it: the control's window is the application's, so
// the commands that create, parent, size or destroy the control or stand in for its window
// (create, parent, window, bounds, focus, blur, themes) are refused with an error line, and host
// requests (repaints, focus, cursor, hints) go to that window unprinted. The control's event
// handlers are chained, not replaced: each runs the application's handler first, then prints;
// the engine restores the application's handlers when it is destroyed.
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "keymora/headless/headless_window.h"
#include "keymora/model/keymora.h"

namespace keymora::script {

/// Renders Control's client area into a PNG file; false with Error set when it cannot.
using TPainter =
    std::function<bool(TKeymora& Control, const std::string& File, std::string& Error)>;

/// What a command extension made of a line.
enum class TExtensionResult { NotMine, Done, Failed };

/// Serves commands the engine does not know, such as an application's own. Args holds the
/// line's tokens (the command name first); output lines go to Out; Failed with Error set makes
/// the line an error line.
using TExtension = std::function<TExtensionResult(const std::vector<std::string>& Args,
                                                  std::ostream& Out, std::string& Error)>;

class TScriptEngine {
  public:
    /// Output lines go to Out; Painter serves "paint" (without one, "paint" is an error).
    explicit TScriptEngine(std::ostream& Out, TPainter Painter = nullptr);
    ~TScriptEngine();
    TScriptEngine(const TScriptEngine&) = delete;
    TScriptEngine& operator=(const TScriptEngine&) = delete;

    /// Runs every line of In up to its end or the first error; returns the exit status.
    int Run(std::istream& In);
    /// Runs every line of Text (lines end at '\n') up to the first error; returns the status.
    int Run(std::string_view Text);
    /// Runs one line, numbered LineNumber in error lines. False once an error was reported
    /// (by this line or an earlier one: after an error nothing more runs).
    bool Execute(std::string_view Line, long long LineNumber);
    /// Prints an error line and stops the session.
    void ReportError(std::string_view Text, long long LineNumber);

    /// Drives Control (not owned, which must outlive the engine or a later Attach) instead of a
    /// control of the engine's own; Control already has its window. Drops the current control.
    void Attach(TKeymora& Control);
    /// True while driving an attached control.
    bool Attached() const { return Attached_; }
    /// Installs the server of commands the engine does not know (none by default).
    void SetExtension(TExtension Extension) { Extension_ = std::move(Extension); }
    /// Runs After between the lines Run(std::istream&) reads, after each line that succeeded.
    void SetAfterLine(std::function<void()> After) { AfterLine_ = std::move(After); }
    /// True once the output could not be written: the session stopped there.
    bool OutputFailed() const { return OutputFailed_; }

    /// 0 while no error has been reported, 2 after one.
    int ExitStatus() const { return Failed_ ? 2 : 0; }
    /// The current control, or null before the first "create".
    TKeymora* Control() const { return Control_; }
    /// The control's window, or null while it has none.
    THeadlessWindow* Window() const { return Window_.get(); }

  private:
    using TArgs = std::vector<std::string>;
    using THandler = bool (TScriptEngine::*)(const TArgs&);
    struct TCommand {
        std::string_view Name;
        THandler Handler;
        bool NeedsControl;
        bool NeedsWindow;
        bool OwnControlOnly;  // refused while attached
        int MinArgs;
        int MaxArgs;
    };
    static const TCommand Commands[];

    bool Create(const TArgs& A);
    bool Parent(const TArgs& A);
    bool MakeWindow(const TArgs& A);
    bool Bounds(const TArgs& A);
    bool Loading(const TArgs& A);
    bool LoadedCmd(const TArgs& A);
    bool Set(const TArgs& A);
    bool Get(const TArgs& A);
    bool Call(const TArgs& A);
    bool Down(const TArgs& A);
    bool Move(const TArgs& A);
    bool Up(const TArgs& A);
    bool KeyDownCmd(const TArgs& A);
    bool KeyUpCmd(const TArgs& A);
    bool Focus(const TArgs& A);
    bool Blur(const TArgs& A);
    bool Themes(const TArgs& A);
    bool Message(const TArgs& A);
    bool Paint(const TArgs& A);

    bool Fail(std::string_view Text);
    bool Int(const std::string& Token, long long Min, long long Max, int& Value);
    bool Mouse(const TArgs& A, bool AllowButton, int& X, int& Y, TMouseButton& Button,
               TShiftState& Shift, int& Buttons);
    bool KeyArgs(const TArgs& A, std::uint16_t& Key, TShiftState& Shift);
    void AssignEvents();
    /// Gives an attached control back the handlers it had before Attach.
    void RestoreEvents();
    void DestroyControl();
    void Emit(const std::string& Line);
    /// Flushes the output; false (and the session stopped) when it cannot be written.
    bool Flushed();
    void PrintRecord(const THostRecord& Record);
    void PrintEvent(std::string_view Name, std::string_view Fields = {});

    std::ostream& Out_;
    TPainter Painter_;
    THeadlessForm Form_;
    std::unique_ptr<TKeymora> Owned_;
    TKeymora* Control_ = nullptr;  // Owned_, or the attached control
    bool Attached_ = false;
    // The attached control's own handlers, run before the engine prints and restored after.
    struct TSavedEvents {
        TOnKeyClickEvent OnKeyClick;
        TOnMouseTrackEvent OnTrackMouse;
        TNotifyEvent OnOffsetChanged;
        TNotifyEvent OnDurationChanged;
        TNotifyEvent OnMaxChanged;
        TMouseEvent OnMouseDown;
        TMouseMoveEvent OnMouseMove;
        TMouseEvent OnMouseUp;
        TKeyEvent OnKeyDown;
        TKeyEvent OnKeyUp;
    };
    TSavedEvents Saved_;
    TExtension Extension_;
    std::function<void()> AfterLine_;
    std::unique_ptr<THeadlessWindow> Window_;
    bool Themes_ = true;
    bool Failed_ = false;
    bool OutputFailed_ = false;
    long long Line_ = 0;
    std::vector<std::string> Tokens_;
};

}  // namespace keymora::script
