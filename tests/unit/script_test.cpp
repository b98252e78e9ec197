// keymora-script's engine: the tokenizer, number and key readers, JSON escaping, the error lines
// of malformed or impossible commands, hostile input, and how commands reach the control.
#include "engine/script.h"

#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "core/model/property_syntax.h"
#include "engine/json.h"
#include "engine/parser.h"

namespace keymora::script {
namespace {

using Tokens = std::vector<std::string>;

// ---- Tokenizer ----

struct TTokenCase {
    const char* Title;
    std::string Line;
    bool Ok;
    Tokens Expected;    // when Ok
    const char* Error;  // a part of the error text otherwise
};

class TokenizeTest : public ::testing::TestWithParam<TTokenCase> {};

TEST_P(TokenizeTest, SplitsOrRefuses) {
    const TTokenCase& Case = GetParam();
    Tokens Out;
    std::string Error;
    const bool Ok = Tokenize(Case.Line, Out, Error);
    ASSERT_EQ(Ok, Case.Ok) << Error;
    if (Ok)
        EXPECT_EQ(Out, Case.Expected);
    else
        EXPECT_NE(Error.find(Case.Error), std::string::npos) << Error;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, TokenizeTest,
    ::testing::Values(
        TTokenCase{"Single", "create", true, {"create"}, ""},
        TTokenCase{"Blanks", "  set \t Keys   QWE  ", true, {"set", "Keys", "QWE"}, ""},
        TTokenCase{"CarriageReturn", "get Octave\r", true, {"get", "Octave"}, ""},
        TTokenCase{"Empty", "", true, {}, ""}, TTokenCase{"OnlyBlanks", " \t\r", true, {}, ""},
        TTokenCase{"Comment", "   # set Octave 3", true, {}, ""},
        TTokenCase{"HashLaterIsText", "set Keys #x", true, {"set", "Keys", "#x"}, ""},
        TTokenCase{"Quoted", "set Keys \"Q W E\"", true, {"set", "Keys", "Q W E"}, ""},
        TTokenCase{"EmptyQuoted", "set Keys \"\"", true, {"set", "Keys", ""}, ""},
        TTokenCase{"Escapes", R"("a\"b\\c")", true, {R"(a"b\c)"}, ""},
        TTokenCase{"OtherBackslashKept", R"("a\nb" c\d)", true, {R"(a\nb)", R"(c\d)"}, ""},
        TTokenCase{"QuotedAtEnd", "paint \"my shot.png\"", true, {"paint", "my shot.png"}, ""},
        TTokenCase{"Unterminated", "set Keys \"QWE", false, {}, "unterminated"},
        TTokenCase{"EscapedCloseIsNoClose", R"(set Keys "QWE\")", false, {}, "unterminated"},
        TTokenCase{"GlueAfterQuote", "set Keys \"QW\"E", false, {}, "followed by a blank"},
        TTokenCase{"QuoteInside", "set Keys QW\"E\"", false, {}, "quote inside"},
        TTokenCase{"Nul", std::string("get Oct\0ave", 11), false, {}, "NUL"},
        TTokenCase{"LongestLine", std::string(4096, 'x'), true, {std::string(4096, 'x')}, ""},
        TTokenCase{"Overlong", std::string(4097, 'x'), false, {}, "too long"},
        TTokenCase{"OverlongComment", "#" + std::string(5000, 'x'), false, {}, "too long"}),
    [](const auto& Info) { return std::string(Info.param.Title); });

// ---- Numbers and keys ----

struct TIntegerCase {
    const char* Text;
    TNumber Result;
    long long Value;
};

TEST(ParseIntegerTest, DecimalWithinRange) {
    const TIntegerCase Cases[] = {
        {"0", TNumber::Ok, 0},
        {"-5", TNumber::Ok, -5},
        {"-0", TNumber::Ok, 0},
        {"1000000", TNumber::Ok, 1000000},
        {"-1000000", TNumber::Ok, -1000000},
        {"1000001", TNumber::OutOfRange, 0},
        {"-1000001", TNumber::OutOfRange, 0},
        {"99999999999999999999999999", TNumber::OutOfRange, 0},
        {"-99999999999999999999999999", TNumber::OutOfRange, 0},
        {"", TNumber::NotANumber, 0},
        {"-", TNumber::NotANumber, 0},
        {"+5", TNumber::NotANumber, 0},
        {"12a", TNumber::NotANumber, 0},
        {"1 2", TNumber::NotANumber, 0},
        {"$10", TNumber::NotANumber, 0},
        {"--1", TNumber::NotANumber, 0},
    };
    for (const TIntegerCase& Case : Cases) {
        long long V = 0;
        EXPECT_EQ(ParseInteger(Case.Text, -1000000, 1000000, V), Case.Result) << Case.Text;
        if (Case.Result == TNumber::Ok) {
            EXPECT_EQ(V, Case.Value) << Case.Text;
        }
    }
}

// Colours as set reads them: the core's value syntax with the tool's choices.
TEST(ScriptColorTest, DecimalOrDollarHexadecimal) {
    using F = TValueFault;
    const struct {
        const char* Text;
        TValueFault Fault;
        long long Value;
    } Cases[] = {
        {"$FF", F::None, 255},
        {"$00ff0000", F::None, 16711680},
        {"$FFFFFFFF", F::None, 4294967295LL},
        {"$0000000000FF", F::None, 255},
        {"$100000000", F::OutOfRange, 0},
        {"4294967295", F::None, 4294967295LL},
        {"4294967296", F::OutOfRange, 0},
        {"-1", F::OutOfRange, 0},
        {"$", F::NotANumber, 0},
        {"$G0", F::NotANumber, 0},
        {"0xFF", F::NotANumber, 0},
        {"clRed", F::NotANumber, 0},
    };
    for (const auto& Case : Cases) {
        TPropValue V;
        EXPECT_EQ(ParseValue(TPropKind::Color, {}, Case.Text, ScriptValues, V).Fault, Case.Fault)
            << Case.Text;
        if (Case.Fault == F::None) {
            EXPECT_EQ(V.Int, Case.Value) << Case.Text;
        }
    }
}

TEST(ParseKeyTest, LettersDigitsNamesAndCodes) {
    const struct {
        const char* Text;
        int Code;  // -1: not a key
    } Cases[] = {
        {"a", 0x41},     {"Z", 0x5A},        {"0", 0x30},    {"9", 0x39},       {"space", 0x20},
        {"PRIOR", 0x21}, {"Next", 0x22},     {"end", 0x23},  {"HOME", 0x24},    {"left", 0x25},
        {"Up", 0x26},    {"RIGHT", 0x27},    {"down", 0x28}, {"numpad0", 0x60}, {"NumPad9", 0x69},
        {"0x41", 0x41},  {"0XfFfF", 0xFFFF}, {"0x0", 0},     {"0x10000", -1},   {"0x", -1},
        {"0xG", -1},     {"F1", -1},         {"ab", -1},     {"numpad10", -1},  {"numpadx", -1},
        {"", -1},        {"#", -1},          {"é", -1},
    };
    for (const auto& Case : Cases) {
        const auto Key = ParseKey(Case.Text);
        if (Case.Code < 0)
            EXPECT_FALSE(Key.has_value()) << Case.Text;
        else
            EXPECT_EQ(Key, std::optional<std::uint16_t>(Case.Code)) << Case.Text;
    }
}

// ---- JSON strings ----

TEST(JsonStringTest, AnyBytesGiveValidAsciiJson) {
    const struct {
        std::string In;
        const char* Out;
    } Cases[] = {
        {"1/2", R"("1/2")"},
        {"a\"b", R"("a\"b")"},
        {"\\", R"("\\")"},
        {"\n\t\r\b\f", R"("\n\t\r\b\f")"},
        {"\x01\x1f\x7f", R"("\u0001\u001f\u007f")"},
        {std::string("a\0b", 3), R"("a\u0000b")"},
        {"\xC3\xA9", R"("\u00e9")"},                            // é
        {"\xE2\x82\xAC", R"("\u20ac")"},                        // euro sign
        {"\xF0\x9F\x98\x80", R"("\ud83d\ude00")"},              // beyond U+FFFF: a surrogate pair
        {"\xFF", R"("\u00ff")"},                                // never valid in UTF-8
        {"\xE2\x82", R"("\u00e2\u0082")"},                      // cut short
        {"\xC0\xAF", R"("\u00c0\u00af")"},                      // overlong '/'
        {"\xED\xA0\x80", R"("\u00ed\u00a0\u0080")"},            // an encoded surrogate
        {"\xF4\x90\x80\x80", R"("\u00f4\u0090\u0080\u0080")"},  // above U+10FFFF
        {"\xC3\xA9\xC3", R"("\u00e9\u00c3")"},
    };
    for (const auto& Case : Cases) {
        std::string Out;
        AppendJsonString(Out, Case.In);
        EXPECT_EQ(Out, Case.Out);
    }
}

// ---- Sessions ----

struct TRun {
    std::string Output;
    int Status;
};

TRun RunScript(const std::string& Script, TPainter Painter = nullptr) {
    std::ostringstream Out;
    TScriptEngine Engine(Out, std::move(Painter));
    const int Status = Engine.Run(Script);
    return {Out.str(), Status};
}

struct TErrorCase {
    const char* Title;
    std::string Script;
    const char* Output;  // every line printed, the error line last
};

class ScriptErrorTest : public ::testing::TestWithParam<TErrorCase> {};

TEST_P(ScriptErrorTest, PrintsTheErrorLineAndStopsWithStatusTwo) {
    const TErrorCase& Case = GetParam();
    const TRun R = RunScript(Case.Script + "\nget Octave\n");
    EXPECT_EQ(R.Output, Case.Output);
    EXPECT_EQ(R.Status, 2);
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, ScriptErrorTest,
    ::testing::Values(
        TErrorCase{"UnknownCommand", "create\nplay C",
                   "{\"error\":\"unknown command: play\",\"line\":2}\n"},
        TErrorCase{"NoControl", "# nothing yet\n\nset Octave 3",
                   "{\"error\":\"no control (use create first)\",\"line\":3}\n"},
        TErrorCase{"NoWindow", "create\nfocus",
                   "{\"error\":\"the control has no window\",\"line\":2}\n"},
        TErrorCase{"MissingValue", "create\nset Octave",
                   "{\"error\":\"missing arguments for set\",\"line\":2}\n"},
        TErrorCase{"ExtraValue", "create\nset Octave 3 4",
                   "{\"error\":\"too many arguments for set\",\"line\":2}\n"},
        TErrorCase{"BlanksInSet", "create\nset Style [msShowMarks, msColorOctave]",
                   "{\"error\":\"too many arguments for set\",\"line\":2}\n"},
        TErrorCase{"ReadOnlyField", "create\nset RealWidth 5",
                   "{\"error\":\"not a published property: RealWidth\",\"line\":2}\n"},
        TErrorCase{"HugeNumber", "create\nset Octave 99999999999999999999",
                   "{\"error\":\"number out of range -1000000..1000000: "
                   "99999999999999999999\",\"line\":2}\n"},
        TErrorCase{"BoundsBeyondRange", "create\nbounds 0 0 2147483648 10",
                   "{\"error\":\"number out of range -1000000..1000000: 2147483648\","
                   "\"line\":2}\n"},
        TErrorCase{"EnumerationIsCaseSensitive", "create\nset Orientation kovertical",
                   "{\"error\":\"not a value of Orientation: kovertical\",\"line\":2}\n"},
        TErrorCase{"UnknownSetElement", "create\nset Style [msShowMarks,msBig]",
                   "{\"error\":\"not an element of Style: msBig\",\"line\":2}\n"},
        TErrorCase{"TrailingComma", "create\nset Style [msShowMarks,]",
                   "{\"error\":\"empty element in set: [msShowMarks,]\",\"line\":2}\n"},
        TErrorCase{"SetWithoutBrackets", "create\nset Anchors akLeft",
                   "{\"error\":\"expected a set such as [a,b] or []: akLeft\",\"line\":2}\n"},
        TErrorCase{"NotABoolean", "create\nset MouseTrack 1",
                   "{\"error\":\"expected true or false: 1\",\"line\":2}\n"},
        TErrorCase{"NotAColour", "create\nset Color clRed",
                   "{\"error\":\"not a colour: clRed\",\"line\":2}\n"},
        TErrorCase{"MethodArity", "create\ncall GetKeyRect",
                   "{\"error\":\"GetKeyRect takes 1 argument\",\"line\":2}\n"},
        TErrorCase{"ByteArgument", "create\ncall SelectNote 256 0 0",
                   "{\"error\":\"number out of range 0..255: 256\",\"line\":2}\n"},
        TErrorCase{"UnknownMethod", "create\ncall Paint",
                   "{\"error\":\"not a public method: Paint\",\"line\":2}\n"},
        TErrorCase{"NothingToGet", "create\nget OnKeyClick",
                   "{\"error\":\"nothing to get by that name: OnKeyClick\",\"line\":2}\n"},
        TErrorCase{"SecondWindow", "create\nwindow\nwindow",
                   "{\"error\":\"the control already has a window\",\"line\":3}\n"},
        TErrorCase{"LoadedWithoutLoading", "create\nloaded",
                   "{\"error\":\"the control is not loading\",\"line\":2}\n"},
        TErrorCase{"UnknownKey", "create\nwindow\nkeydown F1",
                   "{\"error\":\"unknown key: F1\",\"line\":3}\n"},
        TErrorCase{"MouseModifierOnKey", "create\nwindow\nkeyup A left",
                   "{\"error\":\"unknown modifier: left\",\"line\":3}\n"},
        TErrorCase{"TwoButtons", "create\nwindow\ndown 1 1 left right",
                   "{\"error\":\"more than one mouse button: right\",\"line\":3}\n"},
        TErrorCase{"UnknownMessage", "create\nwindow\nmessage WM_PAINT",
                   "{\"error\":\"unknown message: WM_PAINT\",\"line\":3}\n"},
        TErrorCase{"Themes", "create\nthemes maybe",
                   "{\"error\":\"expected on or off: maybe\",\"line\":2}\n"},
        TErrorCase{"NoPainter", "create\nwindow\nbounds 0 0 10 10\npaint a.png",
                   "{\"error\":\"paint needs the Qt host, which this build lacks\","
                   "\"line\":4}\n"},
        TErrorCase{"HostileToken", "create\nset \"Oct\x01\\\"ave\" 3",
                   "{\"error\":\"not a published property: Oct\\u0001\\\"ave\",\"line\":2}\n"},
        TErrorCase{"NulByte", std::string("create\nget Oct\0ave", 18),
                   "{\"error\":\"NUL byte in the line\",\"line\":2}\n"},
        TErrorCase{"OverlongLine", "create\nset Keys " + std::string(5000, 'Q'),
                   "{\"error\":\"line too long (more than 4096 bytes)\",\"line\":2}\n"}),
    [](const auto& Info) { return std::string(Info.param.Title); });

TEST(ScriptSession, NamesIgnoreCaseAndQuotedValuesKeepTheirBlanks) {
    const TRun R = RunScript(
        "CREATE\nSet MOUSETRACK TRUE\nget mousetrack\nset keys \"Q W\"\nget KEYS\n"
        "set style []\nget Style\nwindow\nKeyDown NumPad1 SHIFT\nMESSAGE Wm_GetDlgCode");
    EXPECT_EQ(R.Output,
              "{\"get\":\"MouseTrack\",\"value\":true}\n"
              "{\"get\":\"Keys\",\"value\":\"Q W\"}\n"
              "{\"get\":\"Style\",\"value\":[]}\n"
              "{\"event\":\"OnKeyDown\",\"key\":97}\n"
              "{\"message\":\"WM_GETDLGCODE\",\"result\":1}\n");
    EXPECT_EQ(R.Status, 0);
}

TEST(ScriptSession, FontIsReadAsAnObjectAndSetByNameAndSize) {
    const TRun R = RunScript(
        "create\nwindow\nset Font \"Liberation Sans,11\"\nget Font\nset Font Arial\nget Font");
    EXPECT_EQ(R.Output,
              "{\"invalidate\":\"all\"}\n"
              "{\"get\":\"Font\",\"value\":{\"name\":\"Liberation Sans\",\"size\":11,"
              "\"color\":0,\"style\":[]}}\n"
              "{\"invalidate\":\"all\"}\n"
              "{\"get\":\"Font\",\"value\":{\"name\":\"Arial\",\"size\":11,\"color\":0,"
              "\"style\":[]}}\n");
}

TEST(ScriptSession, StreamAndTextRunsAgreeAndTheLastLineNeedsNoLineEnd) {
    const std::string Script = "create\r\nset Octave 6\r\nget OffsetOctave";
    std::ostringstream FromStream;
    std::istringstream In(Script);
    TScriptEngine Engine(FromStream);
    EXPECT_EQ(Engine.Run(In), 0);
    EXPECT_EQ(FromStream.str(), RunScript(Script).Output);
    EXPECT_EQ(FromStream.str(),
              "{\"event\":\"OnOffsetChanged\"}\n{\"get\":\"OffsetOctave\",\"value\":1}\n");
}

// An endless line without a line end: the engine reads a little past the limit and stops.
class EndlessSource : public std::streambuf {
  public:
    long long Taken = 0;

  protected:
    int_type underflow() override {
        if (Taken > (1 << 20)) return traits_type::eof();  // a safety net for the test
        Fill = 'x';
        setg(&Fill, &Fill, &Fill + 1);
        ++Taken;
        return traits_type::to_int_type(Fill);
    }

  private:
    char Fill = 'x';
};

TEST(ScriptSession, EndlessLineIsReportedWithoutReadingItAll) {
    EndlessSource Source;
    std::istream In(&Source);
    std::ostringstream Out;
    TScriptEngine Engine(Out);
    EXPECT_EQ(Engine.Run(In), 2);
    EXPECT_EQ(Out.str(), "{\"error\":\"line too long (more than 4096 bytes)\",\"line\":1}\n");
    EXPECT_LT(Source.Taken, 5000);
}

TEST(ScriptSession, NothingRunsAfterAnError) {
    std::ostringstream Out;
    TScriptEngine Engine(Out);
    EXPECT_TRUE(Engine.Execute("create", 1));
    EXPECT_FALSE(Engine.Execute("bogus", 2));
    EXPECT_FALSE(Engine.Execute("get Octave", 3));
    EXPECT_EQ(Out.str(), "{\"error\":\"unknown command: bogus\",\"line\":2}\n");
    EXPECT_EQ(Engine.ExitStatus(), 2);
}

// ---- What the commands hand to the control ----

struct TMouseCase {
    const char* Line;
    TMouseButton Button;
    TShiftState Shift;
};

TEST(ScriptInput, MouseWordsBecomeButtonAndShiftState) {
    const TMouseCase Cases[] = {
        {"down 5 6", mbLeft, {ssLeft}},
        {"down 5 6 right shift", mbRight, {ssRight, ssShift}},
        {"down 5 6 CTRL middle", mbMiddle, {ssMiddle, ssCtrl}},
        {"up 5 6", mbLeft, {}},
        {"up 5 6 middle ctrl", mbMiddle, {ssCtrl}},
        {"move 5 6", mbLeft, {}},
        {"move 5 6 left right shift", mbLeft, {ssLeft, ssRight, ssShift}},
    };
    for (const TMouseCase& Case : Cases) {
        std::ostringstream Out;
        TScriptEngine Engine(Out);
        ASSERT_TRUE(Engine.Execute("create", 1));
        ASSERT_TRUE(Engine.Execute("window", 2));
        TMouseButton Button = mbLeft;
        TShiftState Shift;
        int X = 0, Y = 0;
        TKeymora& C = *Engine.Control();
        C.OnMouseDown = [&](TObject*, TMouseButton B, TShiftState S, int AX, int AY) {
            Button = B, Shift = S, X = AX, Y = AY;
        };
        C.OnMouseUp = C.OnMouseDown;
        C.OnMouseMove = [&](TObject*, TShiftState S, int AX, int AY) { Shift = S, X = AX, Y = AY; };
        ASSERT_TRUE(Engine.Execute(Case.Line, 3)) << Out.str();
        EXPECT_EQ(Button, Case.Button) << Case.Line;
        EXPECT_EQ(Shift, Case.Shift) << Case.Line;
        EXPECT_EQ(X, 5);
        EXPECT_EQ(Y, 6);
    }
}

TEST(ScriptHost, HintRequestsPrintTheTextAndCancellingPrintsNothing) {
    std::ostringstream Out;
    TScriptEngine Engine(Out);
    Engine.Execute("create", 1);
    Engine.Execute("window", 2);
    Engine.Execute("bounds 0 0 600 100", 3);
    TKeymora& C = *Engine.Control();
    C.SetHint("1/\"4\"");
    C.CancelHint();
    C.HintMouseMessage(TMessage{wm::WM_MOUSEMOVE, 0, MakePointParam({3, 4}), 0});
    C.SetCursor(crDefault);
    C.SetFocus();
    C.SetFocus();
    EXPECT_EQ(Out.str(),
              "{\"hint\":\"1/\\\"4\\\"\"}\n"
              "{\"cursor\":\"default\"}\n"
              "{\"focus\":\"set\"}\n"
              "{\"invalidate\":[361,86,466,100]}\n"
              "{\"invalidate\":[558,0,588,100]}\n");
}

TEST(ScriptPaint, ThePainterGetsTheControlAndFileAndItsFailureIsAnError) {
    std::string Seen;
    const TPainter Good = [&](TKeymora& C, const std::string& File, std::string&) {
        Seen = File + " " + std::to_string(C.ClientWidth());
        return true;
    };
    const TRun Ok = RunScript("create\nwindow\nbounds 0 0 600 100\npaint \"a b.png\"", Good);
    EXPECT_EQ(Ok.Output, "{\"paint\":\"a b.png\",\"width\":600,\"height\":100}\n");
    EXPECT_EQ(Seen, "a b.png 600");

    const TPainter Bad = [](TKeymora&, const std::string&, std::string& Error) {
        Error = "cannot write x.png";
        return false;
    };
    const TRun Failed = RunScript("create\nwindow\nbounds 0 0 600 100\npaint x.png", Bad);
    EXPECT_EQ(Failed.Output, "{\"error\":\"cannot write x.png\",\"line\":4}\n");
    EXPECT_EQ(Failed.Status, 2);

    // Nothing to render, or more than a picture should hold: refused before painting.
    Seen.clear();
    EXPECT_EQ(RunScript("create\nwindow\npaint x.png", Good).Output,
              "{\"error\":\"cannot paint a client area of 0 x 0 pixels\",\"line\":3}\n");
    EXPECT_EQ(RunScript("create\nwindow\nbounds 0 0 20000 10\npaint x.png", Good).Status, 2);
    EXPECT_TRUE(Seen.empty());
}

}  // namespace
}  // namespace keymora::script
