// The keymora-script interpreter: command dispatch, argument checking, the control's events and
// host records turned into output lines, and the line reader.
#include "engine/script.h"

#include <istream>
#include <ostream>

#include "engine/json.h"
#include "engine/parser.h"
#include "core/host/rtl.h"
#include "core/model/property_syntax.h"
#include "keymora/model/published.h"

namespace keymora::script {

namespace {

constexpr long long MaxKeyIndex = 1000;
constexpr int MaxPaintSide = 16384;

template <class Array>
void AppendArray(std::string& Out, const Array& Values) {
    Out += '[';
    for (std::size_t I = 0; I < Values.size(); ++I) {
        if (I) Out += ',';
        AppendJsonInt(Out, static_cast<long long>(Values[I]));
    }
    Out += ']';
}

void AppendCursor(std::string& Out, TCursor Cursor) {
    if (Cursor == crDefault)
        Out += "\"default\"";
    else
        AppendJsonInt(Out, Cursor);
}

// {"name":N,"size":S,"color":C,"style":[...]}: the font's first four parts (all but the
// charset), each written as get writes its kind.
void AppendFont(std::string& Out, const TFont& Font) {
    static constexpr std::string_view Keys[] = {"name", "size", "color", "style"};
    const std::span<const TFontPart> Parts = FontParts();
    Out += '{';
    for (std::size_t I = 0; I < std::size(Keys); ++I) {
        if (I) Out += ',';
        AppendJsonString(Out, Keys[I]);
        Out += ':';
        FormatValue(Parts[I].Kind, Parts[I].Names, Parts[I].Get(Font), ScriptValues, Out);
    }
    Out += '}';
}

void AppendProperty(std::string& Out, const TPropInfo& Info, const TPropValue& V) {
    if (Info.Kind == TPropKind::Font)
        AppendFont(Out, V.Font);
    else
        FormatPropertyValue(Info, V, ScriptValues, Out);
}

std::string RangeText(long long Min, long long Max) {
    return "number out of range " + std::string(IntToStr(Min).View()) + ".." +
           std::string(IntToStr(Max).View()) + ": ";
}

// The error line's text for a value set refuses.
std::string FaultText(const TPropInfo& Info, const std::string& Text, const TValueError& Error) {
    const std::string Item(Error.Item);
    const std::string Name(Info.Name);
    switch (Error.Fault) {
        case TValueFault::NotANumber:
            if (Info.Kind == TPropKind::Color) return "not a colour: " + Text;
            return "not an integer: " + Item;
        case TValueFault::OutOfRange:
            if (Info.Kind == TPropKind::Color) return "colour out of range 0..$FFFFFFFF: " + Text;
            if (Info.Kind == TPropKind::Font)
                return RangeText(-ScriptValues.MaxFontSize, ScriptValues.MaxFontSize) + Item;
            return RangeText(ScriptValues.MinInteger, ScriptValues.MaxInteger) + Item;
        case TValueFault::NotABoolean:
            return "expected true or false: " + Text;
        case TValueFault::UnknownName:
            return "not a value of " + Name + ": " + Text;
        case TValueFault::NotASet:
            return "expected a set such as [a,b] or []: " + Text;
        case TValueFault::UnknownElement:
            return "not an element of " + Name + ": " + Item;
        case TValueFault::TrailingComma:
            return "empty element in set: " + Text;
        case TValueFault::NoFontName:
            return "expected a font as NAME or NAME,SIZE: " + Text;
        default:
            // The script's syntax has no quoted strings, no digit count and a whole font.
            return "bad value for " + Name + ": " + Text;
    }
}

// Readable state beyond the published properties: the layout and state fields, then what the
// host knows of the control.
struct TField {
    std::string_view Name;
    void (*Append)(std::string& Out, const TKeymora& C);
};

constexpr TField Fields[] = {
    {"RealWidth", [](std::string& O, const TKeymora& C) { AppendJsonInt(O, C.RealWidth()); }},
    {"VisibleKeyCount",
     [](std::string& O, const TKeymora& C) { AppendJsonInt(O, C.VisibleKeyCount()); }},
    {"KeyWidth", [](std::string& O, const TKeymora& C) { AppendJsonInt(O, C.KeyWidth()); }},
    {"ScrollButtonWidth",
     [](std::string& O, const TKeymora& C) { AppendJsonInt(O, C.ScrollButtonWidth()); }},
    {"KeyStates", [](std::string& O, const TKeymora& C) { AppendArray(O, C.KeyStates()); }},
    {"ToneStates", [](std::string& O, const TKeymora& C) { AppendArray(O, C.ToneStates()); }},
    {"OctaveColors", [](std::string& O, const TKeymora& C) { AppendArray(O, C.OctaveColors()); }},
    {"OctaveDownPressed",
     [](std::string& O, const TKeymora& C) { AppendJsonBool(O, C.OctaveDownPressed()); }},
    {"DurationUpPressed",
     [](std::string& O, const TKeymora& C) { AppendJsonBool(O, C.DurationUpPressed()); }},
    {"OctaveUpPressed",
     [](std::string& O, const TKeymora& C) { AppendJsonBool(O, C.OctaveUpPressed()); }},
    {"DurationDownPressed",
     [](std::string& O, const TKeymora& C) { AppendJsonBool(O, C.DurationDownPressed()); }},
    {"MoreOctavesPressed",
     [](std::string& O, const TKeymora& C) { AppendJsonBool(O, C.MoreOctavesPressed()); }},
    {"FewerOctavesPressed",
     [](std::string& O, const TKeymora& C) { AppendJsonBool(O, C.FewerOctavesPressed()); }},
    {"MoreDurationsPressed",
     [](std::string& O, const TKeymora& C) { AppendJsonBool(O, C.MoreDurationsPressed()); }},
    {"FewerDurationsPressed",
     [](std::string& O, const TKeymora& C) { AppendJsonBool(O, C.FewerDurationsPressed()); }},
    {"Hint", [](std::string& O, const TKeymora& C) { AppendJsonString(O, C.Hint()); }},
    {"Cursor", [](std::string& O, const TKeymora& C) { AppendCursor(O, C.Cursor()); }},
    {"Focused", [](std::string& O, const TKeymora& C) { AppendJsonBool(O, C.Focused()); }},
    {"Width", [](std::string& O, const TKeymora& C) { AppendJsonInt(O, C.Width()); }},
    {"Height", [](std::string& O, const TKeymora& C) { AppendJsonInt(O, C.Height()); }},
    {"ClientWidth", [](std::string& O, const TKeymora& C) { AppendJsonInt(O, C.ClientWidth()); }},
    {"ClientHeight", [](std::string& O, const TKeymora& C) { AppendJsonInt(O, C.ClientHeight()); }},
    {"HandleAllocated",
     [](std::string& O, const TKeymora& C) { AppendJsonBool(O, C.HandleAllocated()); }},
};

}  // namespace

const TScriptEngine::TCommand TScriptEngine::Commands[] = {
    {"create", &TScriptEngine::Create, false, false, true, 0, 0},
    {"parent", &TScriptEngine::Parent, true, false, true, 0, 0},
    {"window", &TScriptEngine::MakeWindow, true, false, true, 0, 0},
    {"bounds", &TScriptEngine::Bounds, true, false, true, 4, 4},
    {"loading", &TScriptEngine::Loading, true, false, false, 0, 0},
    {"loaded", &TScriptEngine::LoadedCmd, true, false, false, 0, 0},
    {"set", &TScriptEngine::Set, true, false, false, 2, 2},
    {"get", &TScriptEngine::Get, true, false, false, 1, 1},
    {"call", &TScriptEngine::Call, true, false, false, 1, 5},
    {"down", &TScriptEngine::Down, true, true, false, 2, 10},
    {"move", &TScriptEngine::Move, true, true, false, 2, 10},
    {"up", &TScriptEngine::Up, true, true, false, 2, 10},
    {"keydown", &TScriptEngine::KeyDownCmd, true, true, false, 1, 5},
    {"keyup", &TScriptEngine::KeyUpCmd, true, true, false, 1, 5},
    {"focus", &TScriptEngine::Focus, true, true, true, 0, 0},
    {"blur", &TScriptEngine::Blur, true, true, true, 0, 0},
    {"themes", &TScriptEngine::Themes, true, false, true, 1, 1},
    {"message", &TScriptEngine::Message, true, true, false, 1, 1},
    {"paint", &TScriptEngine::Paint, true, true, false, 1, 1},
};

TScriptEngine::TScriptEngine(std::ostream& Out, TPainter Painter)
    : Out_(Out), Painter_(std::move(Painter)) {}

TScriptEngine::~TScriptEngine() {
    DestroyControl();
}

void TScriptEngine::Attach(TKeymora& Control) {
    DestroyControl();
    Control_ = &Control;
    Attached_ = true;
    AssignEvents();
}

// ---- Running ----

int TScriptEngine::Run(std::istream& In) {
    std::streambuf* Source = In.rdbuf();
    if (!Source) return ExitStatus();
    using Traits = std::streambuf::traits_type;
    std::string Line;
    long long Number = 0;
    while (!Failed_) {
        Line.clear();
        bool Any = false;
        Traits::int_type C = Traits::eof();
        // Stop collecting one byte past the limit: Execute reports the line as too long, and an
        // endless line never fills memory. A source that fails to read (a directory, an I/O
        // error) throws from the stream buffer: that ends the session with an error line.
        try {
            while (Line.size() <= MaxLineLength) {
                C = Source->sbumpc();
                if (Traits::eq_int_type(C, Traits::eof())) break;
                Any = true;
                if (Traits::to_char_type(C) == '\n') break;
                Line += Traits::to_char_type(C);
            }
        } catch (const std::exception& Error) {
            ReportError(std::string("cannot read the script: ") + Error.what(), Number + 1);
            break;
        }
        if (!Any) break;
        Execute(Line, ++Number);
        if (!Failed_ && AfterLine_) AfterLine_();
        if (Traits::eq_int_type(C, Traits::eof())) break;
    }
    return ExitStatus();
}

int TScriptEngine::Run(std::string_view Text) {
    long long Number = 0;
    while (!Text.empty() && !Failed_) {
        const std::size_t End = Text.find('\n');
        Execute(Text.substr(0, End), ++Number);
        if (End == std::string_view::npos) break;
        Text.remove_prefix(End + 1);
    }
    return ExitStatus();
}

bool TScriptEngine::Execute(std::string_view Line, long long LineNumber) {
    if (Failed_) return false;
    Line_ = LineNumber;
    std::string Error;
    if (!Tokenize(Line, Tokens_, Error)) return Fail(Error);
    if (Tokens_.empty()) return true;
    const TArgs& Args = Tokens_;
    const std::string& Name = Args[0];
    for (const TCommand& Command : Commands) {
        if (!SameText(Name, Command.Name)) continue;
        if (Command.OwnControlOnly && Attached_)
            return Fail(Args[0] + " is not available: the control belongs to the application");
        if (Command.NeedsControl && !Control_) return Fail("no control (use create first)");
        if (Command.NeedsWindow && !Window_ && !(Attached_ && Control_->HandleAllocated()))
            return Fail("the control has no window");
        const int Count = static_cast<int>(Args.size()) - 1;
        if (Count < Command.MinArgs) return Fail("missing arguments for " + Args[0]);
        if (Count > Command.MaxArgs) return Fail("too many arguments for " + Args[0]);
        const bool Ok = (this->*Command.Handler)(Args);
        return Flushed() && Ok;
    }
    if (Extension_) {
        std::string Error;
        const TExtensionResult Result = Extension_(Args, Out_, Error);
        if (!Flushed()) return false;
        if (Result == TExtensionResult::Done) return true;
        if (Result == TExtensionResult::Failed)
            return Fail(Error.empty() ? Name + " failed" : Error);
    }
    return Fail("unknown command: " + Name);
}

bool TScriptEngine::Flushed() {
    Out_.flush();
    if (Out_) return true;
    // Nothing more can be reported: the session ends here, and the status says it failed.
    Failed_ = true;
    OutputFailed_ = true;
    return false;
}

void TScriptEngine::ReportError(std::string_view Text, long long LineNumber) {
    std::string Line = "{\"error\":";
    AppendJsonString(Line, Text);
    Line += ",\"line\":";
    AppendJsonInt(Line, LineNumber);
    Line += '}';
    Emit(Line);
    Out_.flush();
    if (!Out_) OutputFailed_ = true;
    Failed_ = true;
}

bool TScriptEngine::Fail(std::string_view Text) {
    ReportError(Text, Line_);
    return false;
}

void TScriptEngine::Emit(const std::string& Line) {
    Out_ << Line << '\n';
}

// ---- Output of the control's doings ----

void TScriptEngine::PrintEvent(std::string_view Name, std::string_view Fields) {
    std::string Line = "{\"event\":";
    AppendJsonString(Line, Name);
    Line += Fields;
    Line += '}';
    Emit(Line);
}

void TScriptEngine::PrintRecord(const THostRecord& Record) {
    std::string Line;
    switch (Record.Kind) {
        case THostRecord::TKind::InvalidateRect:
            Line = "{\"invalidate\":";
            AppendJsonRect(Line, Record.Rect);
            Line += '}';
            break;
        case THostRecord::TKind::InvalidateAll:
            Line = "{\"invalidate\":\"all\"}";
            break;
        case THostRecord::TKind::FocusSet:
            Line = "{\"focus\":\"set\"}";
            break;
        case THostRecord::TKind::Cursor:
            Line = "{\"cursor\":";
            AppendCursor(Line, Record.Cursor);
            Line += '}';
            break;
        case THostRecord::TKind::Hint:
            Line = "{\"hint\":";
            AppendJsonString(Line, Record.Text);
            Line += '}';
            break;
        case THostRecord::TKind::CancelHint:
            // Hiding the old hint is the first half of showing the new one: one line is enough.
            return;
    }
    Emit(Line);
}

void TScriptEngine::AssignEvents() {
    TKeymora& C = *Control_;
    const auto Point = [](int X, int Y) {
        std::string F = ",\"x\":";
        AppendJsonInt(F, X);
        F += ",\"y\":";
        AppendJsonInt(F, Y);
        return F;
    };
    const auto Key = [](std::uint16_t Code) {
        std::string F = ",\"key\":";
        AppendJsonInt(F, Code);
        return F;
    };
    // An attached control keeps its application's handlers: each runs first, then the line is
    // printed. A control of the engine's own has none.
    Saved_ = {};
    if (Attached_)
        Saved_ = {C.OnKeyClick,   C.OnTrackMouse, C.OnOffsetChanged, C.OnDurationChanged,
                  C.OnMaxChanged, C.OnMouseDown,  C.OnMouseMove,     C.OnMouseUp,
                  C.OnKeyDown,    C.OnKeyUp};
    const TSavedEvents& S = Saved_;
    C.OnKeyClick = [this, &S](TObject* Sender, int Octave, int Note, int Tone) {
        if (S.OnKeyClick) S.OnKeyClick(Sender, Octave, Note, Tone);
        std::string F = ",\"octave\":";
        AppendJsonInt(F, Octave);
        F += ",\"note\":";
        AppendJsonInt(F, Note);
        F += ",\"tone\":";
        AppendJsonInt(F, Tone);
        PrintEvent("OnKeyClick", F);
    };
    C.OnTrackMouse = [this, &S](TObject* Sender, bool Keys) {
        if (S.OnTrackMouse) S.OnTrackMouse(Sender, Keys);
        std::string F = ",\"keys\":";
        AppendJsonBool(F, Keys);
        PrintEvent("OnTrackMouse", F);
    };
    C.OnOffsetChanged = [this, &S](TObject* Sender) {
        if (S.OnOffsetChanged) S.OnOffsetChanged(Sender);
        PrintEvent("OnOffsetChanged");
    };
    C.OnDurationChanged = [this, &S](TObject* Sender) {
        if (S.OnDurationChanged) S.OnDurationChanged(Sender);
        PrintEvent("OnDurationChanged");
    };
    C.OnMaxChanged = [this, &S](TObject* Sender) {
        if (S.OnMaxChanged) S.OnMaxChanged(Sender);
        PrintEvent("OnMaxChanged");
    };
    C.OnMouseDown = [this, &S, Point](TObject* Sender, TMouseButton Button, TShiftState Shift,
                                      int X, int Y) {
        if (S.OnMouseDown) S.OnMouseDown(Sender, Button, Shift, X, Y);
        PrintEvent("OnMouseDown", Point(X, Y));
    };
    C.OnMouseMove = [this, &S, Point](TObject* Sender, TShiftState Shift, int X, int Y) {
        if (S.OnMouseMove) S.OnMouseMove(Sender, Shift, X, Y);
        PrintEvent("OnMouseMove", Point(X, Y));
    };
    C.OnMouseUp = [this, &S, Point](TObject* Sender, TMouseButton Button, TShiftState Shift, int X,
                                    int Y) {
        if (S.OnMouseUp) S.OnMouseUp(Sender, Button, Shift, X, Y);
        PrintEvent("OnMouseUp", Point(X, Y));
    };
    C.OnKeyDown = [this, &S, Key](TObject* Sender, std::uint16_t& Code, TShiftState Shift) {
        if (S.OnKeyDown) S.OnKeyDown(Sender, Code, Shift);
        PrintEvent("OnKeyDown", Key(Code));
    };
    C.OnKeyUp = [this, &S, Key](TObject* Sender, std::uint16_t& Code, TShiftState Shift) {
        if (S.OnKeyUp) S.OnKeyUp(Sender, Code, Shift);
        PrintEvent("OnKeyUp", Key(Code));
    };
}

void TScriptEngine::RestoreEvents() {
    TKeymora& C = *Control_;
    C.OnKeyClick = std::move(Saved_.OnKeyClick);
    C.OnTrackMouse = std::move(Saved_.OnTrackMouse);
    C.OnOffsetChanged = std::move(Saved_.OnOffsetChanged);
    C.OnDurationChanged = std::move(Saved_.OnDurationChanged);
    C.OnMaxChanged = std::move(Saved_.OnMaxChanged);
    C.OnMouseDown = std::move(Saved_.OnMouseDown);
    C.OnMouseMove = std::move(Saved_.OnMouseMove);
    C.OnMouseUp = std::move(Saved_.OnMouseUp);
    C.OnKeyDown = std::move(Saved_.OnKeyDown);
    C.OnKeyUp = std::move(Saved_.OnKeyUp);
    Saved_ = {};
}

void TScriptEngine::DestroyControl() {
    if (Attached_) {
        RestoreEvents();
        Attached_ = false;
        Control_ = nullptr;
        return;
    }
    // The window detaches itself from the control, so it goes first.
    Window_.reset();
    Owned_.reset();
    Control_ = nullptr;
}

// ---- Arguments ----

bool TScriptEngine::Int(const std::string& Token, long long Min, long long Max, int& Value) {
    long long V = 0;
    switch (ParseInteger(Token, Min, Max, V)) {
        case TNumber::Ok:
            Value = static_cast<int>(V);
            return true;
        case TNumber::NotANumber:
            return Fail("not an integer: " + Token);
        case TNumber::OutOfRange:
            break;
    }
    return Fail(RangeText(Min, Max) + Token);
}

bool TScriptEngine::Mouse(const TArgs& A, bool AllowButton, int& X, int& Y, TMouseButton& Button,
                          TShiftState& Shift, int& Buttons) {
    if (!Int(A[1], -MaxPlain, MaxPlain, X) || !Int(A[2], -MaxPlain, MaxPlain, Y)) return false;
    Button = mbLeft;
    Buttons = 0;
    for (std::size_t I = 3; I < A.size(); ++I) {
        const std::string& M = A[I];
        if (SameText(M, "shift")) {
            Shift.Include(ssShift);
        } else if (SameText(M, "ctrl")) {
            Shift.Include(ssCtrl);
        } else if (SameText(M, "left") || SameText(M, "right") || SameText(M, "middle")) {
            const bool Left = SameText(M, "left");
            const bool Right = SameText(M, "right");
            Button = Left ? mbLeft : Right ? mbRight : mbMiddle;
            Shift.Include(Left ? ssLeft : Right ? ssRight : ssMiddle);
            if (++Buttons > 1 && !AllowButton) return Fail("more than one mouse button: " + M);
        } else {
            return Fail("unknown modifier: " + M);
        }
    }
    return true;
}

bool TScriptEngine::KeyArgs(const TArgs& A, std::uint16_t& Key, TShiftState& Shift) {
    const auto Code = ParseKey(A[1]);
    if (!Code) return Fail("unknown key: " + A[1]);
    Key = *Code;
    for (std::size_t I = 2; I < A.size(); ++I) {
        if (SameText(A[I], "shift"))
            Shift.Include(ssShift);
        else if (SameText(A[I], "ctrl"))
            Shift.Include(ssCtrl);
        else
            return Fail("unknown modifier: " + A[I]);
    }
    return true;
}

// ---- Commands ----

bool TScriptEngine::Create(const TArgs&) {
    DestroyControl();
    Owned_ = std::make_unique<TKeymora>(nullptr);
    Control_ = Owned_.get();
    AssignEvents();
    return true;
}

bool TScriptEngine::Parent(const TArgs&) {
    Control_->SetParent(&Form_);
    return true;
}

bool TScriptEngine::MakeWindow(const TArgs&) {
    if (Window_) return Fail("the control already has a window");
    if (!Control_->Parent()) Control_->SetParent(&Form_);
    Window_ = std::make_unique<THeadlessWindow>(*Control_);
    Window_->Keep = false;
    Window_->Themes = Themes_;
    Window_->OnRecord = [this](const THostRecord& Record) { PrintRecord(Record); };
    return true;
}

bool TScriptEngine::Bounds(const TArgs& A) {
    int V[4] = {};
    for (std::size_t I = 0; I < 4; ++I)
        if (!Int(A[I + 1], -MaxPlain, MaxPlain, V[I])) return false;
    Control_->SetBounds(V[0], V[1], V[2], V[3]);
    return true;
}

bool TScriptEngine::Loading(const TArgs&) {
    if (Control_->ComponentState().Contains(csLoading))
        return Fail("the control is loading already");
    Control_->BeginLoading();
    return true;
}

bool TScriptEngine::LoadedCmd(const TArgs&) {
    if (!Control_->ComponentState().Contains(csLoading)) return Fail("the control is not loading");
    Control_->Loaded();
    return true;
}

bool TScriptEngine::Set(const TArgs& A) {
    const TPropInfo* Info = FindProperty(A[1]);
    if (!Info) return Fail("not a published property: " + A[1]);
    TPropValue V;
    // A font given as NAME,SIZE keeps the colour and style it has.
    if (Info->Kind == TPropKind::Font) V.Font = Control_->Font();
    if (const TValueError Error = ParsePropertyValue(*Info, A[2], ScriptValues, V))
        return Fail(FaultText(*Info, A[2], Error));
    SetPropertyValue(*Control_, *Info, V);
    return true;
}

bool TScriptEngine::Get(const TArgs& A) {
    std::string Line = "{\"get\":";
    if (const TPropInfo* Info = FindProperty(A[1])) {
        const TPropValue V = GetPropertyValue(*Control_, *Info);
        AppendJsonString(Line, Info->Name);
        Line += ",\"value\":";
        AppendProperty(Line, *Info, V);
    } else {
        const TField* Field = nullptr;
        for (const TField& F : Fields)
            if (SameText(A[1], F.Name)) Field = &F;
        if (!Field) return Fail("nothing to get by that name: " + A[1]);
        AppendJsonString(Line, Field->Name);
        Line += ",\"value\":";
        Field->Append(Line, *Control_);
    }
    Line += '}';
    Emit(Line);
    return true;
}

bool TScriptEngine::Call(const TArgs& A) {
    static constexpr struct {
        std::string_view Name;
        int Args;
    } Methods[] = {
        {"CalculateWidth", 0}, {"GetRealWidth", 0},     {"GetOffsetOctave", 0},   {"GetKeyRect", 1},
        {"GetToneRect", 1},    {"InvalidateOctave", 0}, {"InvalidateSetting", 0}, {"GetPoint", 4},
        {"SelectNote", 3},     {"ReleaseNote", 3},      {"ReleaseSelected", 0},
        // Beyond the published methods: the colour layer, the labels and the binding's presses.
        {"SetKeyColor", 3},    {"ClearKeyColor", 2},    {"ClearKeyColors", 0},
        {"SetNoteNames", 1},   {"SetScientificOctaves", 1},
        {"PressKey", 2},       {"ReleaseKey", 3},
    };
    std::size_t Index = 0;
    while (Index < std::size(Methods) && !SameText(A[1], Methods[Index].Name)) ++Index;
    if (Index == std::size(Methods)) return Fail("not a public method: " + A[1]);
    const std::string_view Name = Methods[Index].Name;
    const int Wanted = Methods[Index].Args;
    if (static_cast<int>(A.size()) - 2 != Wanted)
        return Fail(std::string(Name) + " takes " + std::string(IntToStr(Wanted).View()) +
                    (Wanted == 1 ? " argument" : " arguments"));

    // Note addresses are bytes; key indices are plain integers.
    int Arg[4] = {};
    const bool Bytes = Name == "GetPoint" || Name == "SelectNote" || Name == "ReleaseNote";
    for (int I = 0; I < Wanted; ++I) {
        const std::string& Token = A[static_cast<std::size_t>(I) + 2];
        // A colour, $00BBGGRR in decimal, is the third argument of SetKeyColor.
        const bool Colour = Name == "SetKeyColor" && I == 2;
        if (!(Bytes    ? Int(Token, 0, 255, Arg[I])
              : Colour ? Int(Token, 0, 0xFFFFFF, Arg[I])
                       : Int(Token, -MaxKeyIndex, MaxKeyIndex, Arg[I])))
            return false;
    }
    const auto B = [&](int I) { return static_cast<std::uint8_t>(Arg[I]); };

    TKeymora& C = *Control_;
    std::string Result;
    if (Name == "CalculateWidth") {
        C.CalculateWidth();
    } else if (Name == "GetRealWidth") {
        AppendJsonInt(Result, C.GetRealWidth());
    } else if (Name == "GetOffsetOctave") {
        AppendJsonInt(Result, C.GetOffsetOctave());
    } else if (Name == "GetKeyRect") {
        AppendJsonRect(Result, C.GetKeyRect(Arg[0]));
    } else if (Name == "GetToneRect") {
        AppendJsonRect(Result, C.GetToneRect(Arg[0]));
    } else if (Name == "InvalidateOctave") {
        C.InvalidateOctave();
    } else if (Name == "InvalidateSetting") {
        C.InvalidateSetting();
    } else if (Name == "GetPoint") {
        const auto P = C.GetPoint(B(0), B(1), B(2), B(3));
        if (P) {
            Result = '[';
            AppendJsonInt(Result, P->X);
            Result += ',';
            AppendJsonInt(Result, P->Y);
            Result += ']';
        } else {
            Result = "null";
        }
    } else if (Name == "SelectNote") {
        C.SelectNote(B(0), B(1), B(2));
    } else if (Name == "ReleaseNote") {
        C.ReleaseNote(B(0), B(1), B(2));
    } else if (Name == "SetKeyColor") {
        C.SetKeyColor(Arg[0], Arg[1] != 0, static_cast<TColor>(Arg[2]));
    } else if (Name == "ClearKeyColor") {
        C.ClearKeyColor(Arg[0], Arg[1] != 0);
    } else if (Name == "ClearKeyColors") {
        C.ClearKeyColors();
    } else if (Name == "SetNoteNames") {
        C.SetNoteNames(Arg[0] != 0);
    } else if (Name == "SetScientificOctaves") {
        C.SetScientificOctaves(Arg[0] != 0);
    } else if (Name == "PressKey") {
        AppendJsonBool(Result, C.PressKey(Arg[0], Arg[1] != 0));
    } else if (Name == "ReleaseKey") {
        AppendJsonBool(Result, C.ReleaseKey(Arg[0], Arg[1] != 0, Arg[2] != 0));
    } else {
        C.ReleaseSelected();
    }
    if (Result.empty()) return true;
    std::string Line = "{\"call\":";
    AppendJsonString(Line, Name);
    Line += ",\"result\":";
    Line += Result;
    Line += '}';
    Emit(Line);
    return true;
}

bool TScriptEngine::Down(const TArgs& A) {
    int X = 0, Y = 0, Buttons = 0;
    TMouseButton Button = mbLeft;
    TShiftState Shift;
    if (!Mouse(A, false, X, Y, Button, Shift, Buttons)) return false;
    // The button going down is held from now on, so it belongs to the shift state.
    if (Buttons == 0) Shift.Include(ssLeft);
    Control_->MouseDown(Button, Shift, X, Y);
    return true;
}

bool TScriptEngine::Move(const TArgs& A) {
    int X = 0, Y = 0, Buttons = 0;
    TMouseButton Button = mbLeft;
    TShiftState Shift;
    if (!Mouse(A, true, X, Y, Button, Shift, Buttons)) return false;
    Control_->MouseMove(Shift, X, Y);
    return true;
}

bool TScriptEngine::Up(const TArgs& A) {
    int X = 0, Y = 0, Buttons = 0;
    TMouseButton Button = mbLeft;
    TShiftState Shift;
    if (!Mouse(A, false, X, Y, Button, Shift, Buttons)) return false;
    // The released button is no longer held.
    Shift.Exclude(ssLeft);
    Shift.Exclude(ssRight);
    Shift.Exclude(ssMiddle);
    Control_->MouseUp(Button, Shift, X, Y);
    return true;
}

bool TScriptEngine::KeyDownCmd(const TArgs& A) {
    std::uint16_t Key = 0;
    TShiftState Shift;
    if (!KeyArgs(A, Key, Shift)) return false;
    Control_->KeyDown(Key, Shift);
    return true;
}

bool TScriptEngine::KeyUpCmd(const TArgs& A) {
    std::uint16_t Key = 0;
    TShiftState Shift;
    if (!KeyArgs(A, Key, Shift)) return false;
    Control_->KeyUp(Key, Shift);
    return true;
}

bool TScriptEngine::Focus(const TArgs&) {
    Window_->GiveFocus();
    return true;
}

bool TScriptEngine::Blur(const TArgs&) {
    Window_->TakeFocus();
    return true;
}

bool TScriptEngine::Themes(const TArgs& A) {
    if (SameText(A[1], "on"))
        Themes_ = true;
    else if (SameText(A[1], "off"))
        Themes_ = false;
    else
        return Fail("expected on or off: " + A[1]);
    if (Window_) Window_->Themes = Themes_;
    return true;
}

bool TScriptEngine::Message(const TArgs& A) {
    static constexpr struct {
        std::string_view Name;
        std::uint32_t Code;
    } Messages[] = {{"WM_ERASEBKGND", wm::WM_ERASEBKGND}, {"WM_GETDLGCODE", wm::WM_GETDLGCODE}};
    for (const auto& M : Messages) {
        if (!SameText(A[1], M.Name)) continue;
        TMessage Msg{M.Code, 0, 0, 0};
        Control_->Dispatch(Msg);
        std::string Line = "{\"message\":";
        AppendJsonString(Line, M.Name);
        Line += ",\"result\":";
        AppendJsonInt(Line, Msg.Result);
        Line += '}';
        Emit(Line);
        return true;
    }
    return Fail("unknown message: " + A[1]);
}

bool TScriptEngine::Paint(const TArgs& A) {
    if (!Painter_) return Fail("paint needs the Qt host, which this build lacks");
    const int W = Control_->ClientWidth();
    const int H = Control_->ClientHeight();
    if (W < 1 || H < 1 || W > MaxPaintSide || H > MaxPaintSide)
        return Fail("cannot paint a client area of " + std::string(IntToStr(W).View()) + " x " +
                    std::string(IntToStr(H).View()) + " pixels");
    std::string Error;
    if (!Painter_(*Control_, A[1], Error))
        return Fail(Error.empty() ? "paint failed: " + A[1] : Error);
    std::string Line = "{\"paint\":";
    AppendJsonString(Line, A[1]);
    Line += ",\"width\":";
    AppendJsonInt(Line, W);
    Line += ",\"height\":";
    AppendJsonInt(Line, H);
    Line += '}';
    Emit(Line);
    return true;
}

}  // namespace keymora::script
