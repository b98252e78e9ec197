// The session generator: a mix of every command keymora-script offers, chosen line by line from
// the state of a control driven by the same engine as the tool's.
#include "generator.h"

#include <algorithm>
#include <array>
#include <optional>
#include <sstream>
#include <vector>

#include "aim.h"
#include "engine/script.h"
#include "pointer.h"
#include "random.h"
#include "values.h"

namespace keymora::sessiongen {

namespace {

using script::TScriptEngine;

// The tool paints client areas of 1..16384 pixels each way.
constexpr int MaxPaintSide = 16384;
// The widest setting strip painted at every chance.
constexpr int MaxCheapSettingWidth = 4096;
// The keys the session holds down at most before it lets one go.
constexpr std::size_t MaxHeldKeys = 6;

enum TCommand : std::size_t {
    cmCreate,
    cmParent,
    cmWindow,
    cmBounds,
    cmLoading,
    cmLoaded,
    cmSet,
    cmGet,
    cmCall,
    cmMouse,
    cmKey,
    cmFocus,
    cmBlur,
    cmThemes,
    cmMessage,
    cmCount
};

class TSession {
  public:
    explicit TSession(const TSessionOptions& Options)
        : Options_(Options),
          R_(Options.Seed),
          Engine_(Sink_, [](TKeymora&, const std::string&, std::string&) { return true; }) {}

    bool Run(std::string& Script, std::string& Error) {
        Script = "# keymora-session-gen --seed " + std::to_string(Options_.Seed) + " --lines " +
                 std::to_string(Options_.Lines) + " --paint-every " +
                 std::to_string(Options_.PaintEvery) + "\n";
        long long Number = 1;
        for (int I = 0; I < Options_.Lines; ++I) {
            const std::string Line = Next();
            Script += Line;
            Script += '\n';
            if (!Engine_.Execute(Line, ++Number)) {
                Error = "line " + std::to_string(Number) + " \"" + Line + "\": " + Sink_.str();
                return false;
            }
            Sink_.str({});
        }
        return true;
    }

  private:
    std::string Next() {
        TKeymora* C = Engine_.Control();
        if (!C) return Create();
        if (Options_.PaintEvery > 0 && R_.OneIn(static_cast<std::uint64_t>(Options_.PaintEvery)))
            PaintDue_ = true;
        if (PaintDue_) {
            // Themed duration buttons cost memory in the square of SettingWidth (2 GB and
            // seconds at 32767): paint such a strip once in a while, not at every chance.
            if (C->SettingWidth() > MaxCheapSettingWidth && !R_.OneIn(8))
                return "set SettingWidth " + std::to_string(R_.Between(10, 120));
            if (CanPaint(*C)) {
                PaintDue_ = false;
                return Paint();
            }
            // Make the control paintable before long, so that most sessions paint often.
            if (R_.OneIn(2))
                return Engine_.Window() ? BoundsLine(R_, C->IsHorizontal(), true) : "window";
        }
        const bool Window = Engine_.Window() != nullptr;
        const bool Loading = C->ComponentState().Contains(csLoading);
        std::array<int, cmCount> Weights{};
        Weights[cmCreate] = 6;
        Weights[cmParent] = 4;
        Weights[cmWindow] = Window ? 0 : 120;
        // A new control has no size: give it one soon, or most presses fall outside it.
        const bool Sized = C->Width() > 0 && C->Height() > 0;
        Weights[cmBounds] = Loading ? 80 : Sized ? 40 : 250;
        Weights[cmLoading] = Loading ? 0 : 8;
        Weights[cmLoaded] = Loading ? 60 : 0;
        Weights[cmSet] = Loading ? 300 : 180;
        Weights[cmGet] = 70;
        Weights[cmCall] = 60;
        Weights[cmMouse] = Window ? 260 : 0;
        Weights[cmKey] = Window ? 110 : 0;
        Weights[cmFocus] = Window ? 12 : 0;
        Weights[cmBlur] = Window ? 12 : 0;
        Weights[cmThemes] = 6;
        Weights[cmMessage] = Window ? 8 : 0;
        switch (static_cast<TCommand>(R_.Weighted(Weights))) {
            case cmCreate:
                return Create();
            case cmParent:
                return "parent";
            case cmWindow:
                return "window";
            case cmBounds:
                return BoundsLine(R_, C->IsHorizontal(), false);
            case cmLoading:
                return "loading";
            case cmLoaded:
                return "loaded";
            case cmSet:
                return SetLine(R_, *C);
            case cmGet:
                return GetLine(R_);
            case cmCall:
                return CallLine(R_);
            case cmMouse:
                return Mouse(*C);
            case cmKey:
                return Key(*C);
            case cmFocus:
                return "focus";
            case cmBlur:
                return "blur";
            case cmThemes:
                return R_.OneIn(2) ? "themes on" : "themes off";
            case cmMessage:
                return "message " + AnyCase(R_, R_.OneIn(2) ? "WM_ERASEBKGND" : "WM_GETDLGCODE");
            case cmCount:
                break;
        }
        return "get Octave";
    }

    std::string Create() {
        // A new control: whatever was held down belonged to the old one.
        Button_.reset();
        HeldKeys_.clear();
        return "create";
    }

    bool CanPaint(const TKeymora& C) const {
        const auto Fits = [](int Side) { return Side >= 1 && Side <= MaxPaintSide; };
        return Engine_.Window() && Fits(C.ClientWidth()) && Fits(C.ClientHeight());
    }

    std::string Paint() {
        std::string Number = std::to_string(++Paints_);
        Number.insert(0, Number.size() < 4 ? 4 - Number.size() : 0, '0');
        return "paint p" + Number + ".png";
    }

    static std::string At(TPoint P) { return std::to_string(P.X) + " " + std::to_string(P.Y); }

    // Mouse lines come in press, drag and release sequences, with free moves (duration tracking
    // when MouseTrack is on) in between.
    std::string Mouse(const TKeymora& C) {
        static constexpr std::array<std::string_view, 3> Buttons = {"left", "right", "middle"};
        const TAimMap Layout = Measure(C);
        if (Button_) {
            if (R_.Below(10) < 7) {
                Last_ = DragPoint(R_, Layout, Last_);
                std::string Held = R_.OneIn(10) ? "" : " " + AnyCase(R_, *Button_);
                if (R_.OneIn(15)) Held += " " + std::string(R_.Pick(Buttons));
                return "move " + At(Last_) + Held + MouseModifiers();
            }
            Last_ = R_.OneIn(3) ? Last_ : DragPoint(R_, Layout, Last_);
            std::string Released = " " + *Button_;
            if (R_.OneIn(10)) Released = *Button_ == "left" && R_.OneIn(2) ? "" : " right";
            Button_.reset();
            return "up " + At(Last_) + Released + MouseModifiers();
        }
        switch (R_.Below(20)) {
            case 0:  // a release nothing pressed
                Last_ = PickPoint(R_, Layout);
                return "up " + At(Last_) + MouseModifiers();
            case 1:
            case 2:
            case 3:
            case 4:
            case 5:
            case 6:
            case 7:
            case 8: {  // a free move
                Last_ = R_.OneIn(3) ? DragPoint(R_, Layout, Last_) : PickPoint(R_, Layout);
                std::string Held;
                if (R_.OneIn(12)) Held = " " + std::string(R_.Pick(Buttons));
                return "move " + At(Last_) + Held + MouseModifiers();
            }
            default: {  // a press
                Last_ = PickPoint(R_, Layout);
                std::string Named;
                switch (R_.Below(10)) {
                    case 0:
                    case 1:
                        Button_ = "left";
                        Named = " " + AnyCase(R_, "left");
                        break;
                    case 2:
                    case 3:
                        Button_ = "right";
                        Named = " right";
                        break;
                    case 4:
                        Button_ = "middle";
                        Named = " middle";
                        break;
                    default:
                        Button_ = "left";
                        break;
                }
                return "down " + At(Last_) + Named + MouseModifiers();
            }
        }
    }

    std::string MouseModifiers() {
        switch (R_.Below(12)) {
            case 0:
                return " shift";
            case 1:
                return " ctrl";
            case 2:
                return R_.OneIn(2) ? " shift ctrl" : " CTRL shift";
            default:
                return {};
        }
    }

    // Key lines: presses held for a while and released in any order, now and then a repeat or
    // a release of a key that was never pressed.
    std::string Key(const TKeymora& C) {
        const bool Release =
            !HeldKeys_.empty() && (HeldKeys_.size() >= MaxHeldKeys || R_.Below(5) < 3);
        if (Release) {
            const auto I = static_cast<std::size_t>(R_.Below(HeldKeys_.size()));
            const std::string Key = HeldKeys_[I];
            HeldKeys_.erase(HeldKeys_.begin() + static_cast<std::ptrdiff_t>(I));
            return "keyup " + Key + KeyModifiers(R_);
        }
        if (!HeldKeys_.empty() && R_.OneIn(12))  // auto-repeat
            return "keydown " + HeldKeys_.back() + KeyModifiers(R_);
        const std::string Key = KeyToken(R_, C);
        if (R_.OneIn(15)) return "keyup " + Key + KeyModifiers(R_);
        if (std::find(HeldKeys_.begin(), HeldKeys_.end(), Key) == HeldKeys_.end())
            HeldKeys_.push_back(Key);
        return "keydown " + Key + KeyModifiers(R_);
    }

    TSessionOptions Options_;
    TRandom R_;
    std::ostringstream Sink_;
    TScriptEngine Engine_;
    bool PaintDue_ = false;
    int Paints_ = 0;
    std::optional<std::string> Button_;  // the mouse button held down, if any
    TPoint Last_;                        // the pointer's last position
    std::vector<std::string> HeldKeys_;
};

}  // namespace

bool GenerateSession(const TSessionOptions& Options, std::string& Script, std::string& Error) {
    TSession Session(Options);
    return Session.Run(Script, Error);
}

}  // namespace keymora::sessiongen
