// The text form: what a control saves, what loading accepts and applies, and that a refused form
// leaves the control untouched. Expected texts and values are written out by hand.
#include "keymora/model/text_form.h"

#include <gtest/gtest.h>

#include "keymora/headless/headless_window.h"
#include "keymora/model/keymora.h"
#include "keymora/model/published.h"

namespace keymora {
namespace {

TEST(TextFormSave, NewControlWritesOnlyWhatDiffersFromStoredDefaults) {
    TKeymora K;
    // DurationWidth is saved because its constructor value 6 differs from its stored default 5;
    // the properties without a default are always saved.
    EXPECT_EQ(SaveTextForm(K),
              "Orientation = koHorizontal\n"
              "Style = [msShowMarks, msColorOctave, msScrollDuration, msScrollOctave]\n"
              "DurationWidth = 6\n"
              "AutoTone = atAutoMajor\n"
              "Keys = \"CDEFGAB\"\n"
              "CtrlMove = false\n"
              "Font.Name = \"Tahoma\"\n"
              "Font.Size = 8\n"
              "Font.Color = $00000000\n"
              "Font.Style = []\n"
              "Font.Charset = 1\n"
              "Ctl3D = true\n");
}

TEST(TextFormSave, ChangedValuesAndEscapes) {
    TKeymora K;
    K.SetOrientation(koVertical);
    K.SetStyle({msColorOctave, msScrollOctave});
    K.SetDurationWidth(5);  // equals the stored default: left out
    K.SetOctave(7);
    K.SetKeys("A\"B\\C\tD");
    K.SetColor(0x00123456);
    K.SetShowHint(true);
    const std::string Text = SaveTextForm(K);
    EXPECT_NE(Text.find("Orientation = koVertical\n"), std::string::npos);
    EXPECT_NE(Text.find("Style = [msColorOctave, msScrollOctave]\n"), std::string::npos);
    EXPECT_EQ(Text.find("DurationWidth"), std::string::npos);
    EXPECT_NE(Text.find("Octave = 7\n"), std::string::npos);
    EXPECT_NE(Text.find("Keys = \"A\\\"B\\\\C\\x09D\"\n"), std::string::npos);
    EXPECT_NE(Text.find("Color = $00123456\n"), std::string::npos);
    EXPECT_NE(Text.find("ShowHint = true\n"), std::string::npos);
}

// Every published property of B equals that of A.
void ExpectSameProperties(const TKeymora& A, const TKeymora& B) {
    for (const TPropInfo& Info : PublishedProperties()) {
        const TPropValue VA = GetPropertyValue(A, Info);
        const TPropValue VB = GetPropertyValue(B, Info);
        EXPECT_EQ(VA.Int, VB.Int) << Info.Name;
        EXPECT_EQ(VA.Str, VB.Str) << Info.Name;
        EXPECT_EQ(VA.Font, VB.Font) << Info.Name;
    }
}

TEST(TextFormRoundTrip, ChangedControlComesBackTheSame) {
    TKeymora A;
    A.SetOrientation(koVertical);
    A.SetStyle({msShowMarks});
    A.SetSettingWidth(44);
    A.SetDurationPosition(4);
    A.SetAutoTone(atDiesis);
    A.SetOutOctave(3);
    A.SetKeys(std::string("zx\x01\"\\\xC3\xA9", 7));
    A.SetMouseTrack(true);
    A.SetCtrlMove(true);
    A.SetColor(0x00ABCDEF);
    TFont F = A.Font();
    F.Name = "Liberation Sans";
    F.Size = 11;
    F.Color = 0x000000FF;
    F.Style = {fsBold, fsStrikeOut};
    F.Charset = 0;
    A.SetFont(F);
    A.SetEnabled(false);
    A.SetTabStop(false);

    TKeymora B;
    const auto Error = LoadTextForm(B, SaveTextForm(A));
    ASSERT_FALSE(Error) << Error->What();
    ExpectSameProperties(A, B);
}

TEST(TextFormRoundTrip, DurationWidthOfFiveIsNotKept) {
    // 5 is the stored default, so it is not written, and a new control has 6.
    TKeymora A;
    A.SetDurationWidth(5);
    TKeymora B;
    ASSERT_FALSE(LoadTextForm(B, SaveTextForm(A)));
    EXPECT_EQ(B.DurationWidth(), 6);
}

TEST(TextFormLoad, AppliesInDeclarationOrder) {
    TKeymora K;
    int MaxChanged = 0;
    K.OnMaxChanged = [&](TObject*) { ++MaxChanged; };
    // OffsetOctave is declared before MaxOffsetOttave; its 6 is checked again once the 8 has
    // loaded, and kept. Octave 3 leaves the offset where the form puts it.
    const auto Error = LoadTextForm(K, "MaxOffsetOttave = 8\nOffsetOctave = 6\nOctave = 3\n");
    ASSERT_FALSE(Error) << Error->What();
    EXPECT_EQ(K.MaxOffsetOttave(), 8);
    EXPECT_EQ(K.OffsetOctave(), 6);
    EXPECT_EQ(K.Octave(), 3);
    EXPECT_EQ(MaxChanged, 1);
}

TEST(TextFormLoad, LoadsUnderCsLoadingAndEndsWithLoaded) {
    THeadlessForm Form;
    TKeymora K;
    K.SetParent(&Form);
    K.BeginLoading();
    K.SetBounds(0, 0, 600, 100);
    ASSERT_EQ(K.RealWidth(), 0);  // still loading: no layout yet
    bool LoadingSeen = false;
    K.OnDurationChanged = [&](TObject*) { LoadingSeen = K.ComponentState().Contains(csLoading); };
    ASSERT_FALSE(LoadTextForm(K, "DurationPosition = 1\n"));
    EXPECT_TRUE(LoadingSeen);
    // Loaded ran: loading is over and the layout is that of 600 x 100 with 35 keys in view:
    // RealWidth ((600 - 30 - 32) div 35) * 35 + 1 + 62 = 588, KeyWidth (588 - 62) div 35 = 15.
    EXPECT_FALSE(K.ComponentState().Contains(csLoading));
    EXPECT_EQ(K.RealWidth(), 588);
    EXPECT_EQ(K.KeyWidth(), 15);
}

TEST(TextFormLoad, OutOfRangeValuesAreLeftToTheSetters) {
    TKeymora K;
    ASSERT_FALSE(LoadTextForm(K, "SettingWidth = 9\nMaxDuration = 9\nOctave = 0\n"));
    EXPECT_EQ(K.SettingWidth(), 30);
    EXPECT_EQ(K.MaxDuration(), 6);
    EXPECT_EQ(K.Octave(), 5);
}

TEST(TextFormLoad, FontPartsOverlayTheCurrentFont) {
    TKeymora K;
    ASSERT_FALSE(LoadTextForm(K, "Font.Style = [fsItalic, fsBold]\nFont.Size = 12\n"));
    EXPECT_EQ(K.Font().Name, "Tahoma");
    EXPECT_EQ(K.Font().Size, 12);
    EXPECT_EQ(K.Font().Style, (TFontStyles{fsBold, fsItalic}));
    EXPECT_EQ(K.Font().Charset, 1);
}

struct AcceptedCase {
    const char* Name;
    const char* Text;
    std::function<void(const TKeymora&)> Check;
};

class TextFormAccepted : public ::testing::TestWithParam<AcceptedCase> {};

TEST_P(TextFormAccepted, Loads) {
    TKeymora K;
    const auto Error = LoadTextForm(K, GetParam().Text);
    ASSERT_FALSE(Error) << Error->What();
    GetParam().Check(K);
}

INSTANTIATE_TEST_SUITE_P(
    Syntax, TextFormAccepted,
    ::testing::Values(
        AcceptedCase{"Empty", "", [](const TKeymora& K) { EXPECT_EQ(K.Octave(), 5); }},
        AcceptedCase{"CommentsBlanksAndCrLf", "# settings\r\n\r\n  \t\r\n  Octave\t=  7  \r\n",
                     [](const TKeymora& K) { EXPECT_EQ(K.Octave(), 7); }},
        AcceptedCase{"NoFinalNewline", "Octave = 2",
                     [](const TKeymora& K) { EXPECT_EQ(K.Octave(), 2); }},
        AcceptedCase{"NamesIgnoreCase", "oCTAVE = 8\nfont.size = 9\norientation = KOVERTICAL",
                     [](const TKeymora& K) {
                         EXPECT_EQ(K.Octave(), 8);
                         EXPECT_EQ(K.Font().Size, 9);
                         EXPECT_EQ(K.Orientation(), koVertical);
                     }},
        AcceptedCase{"BooleanAnyCase", "MouseTrack = TRUE\nCtrlMove = True",
                     [](const TKeymora& K) {
                         EXPECT_TRUE(K.MouseTrack());
                         EXPECT_TRUE(K.CtrlMove());
                     }},
        AcceptedCase{"EmptySet", "Style = [ ]",
                     [](const TKeymora& K) { EXPECT_TRUE(K.Style().Empty()); }},
        AcceptedCase{"SetWithBlanks", "Style = [ msScrollOctave ,msShowMarks ]",
                     [](const TKeymora& K) { EXPECT_EQ(K.Style().Bits(), 0b1001); }},
        AcceptedCase{"ShortHexColour", "Color = $FF",
                     [](const TKeymora& K) { EXPECT_EQ(K.Color(), 0x000000FFu); }},
        AcceptedCase{"DecimalColour", "Color = 65280",
                     [](const TKeymora& K) { EXPECT_EQ(K.Color(), 0x0000FF00u); }},
        AcceptedCase{"EmptyString", "Keys = \"\"",
                     [](const TKeymora& K) { EXPECT_EQ(K.Keys(), ""); }},
        AcceptedCase{"HashInsideString", "Keys = \"#A=B\"",
                     [](const TKeymora& K) { EXPECT_EQ(K.Keys(), "#A=B"); }},
        AcceptedCase{"NegativeInteger", "DurationWidth = -3",
                     [](const TKeymora& K) { EXPECT_EQ(K.DurationWidth(), -3); }}),
    [](const auto& Info) { return std::string(Info.param.Name); });

struct RefusedCase {
    const char* Name;
    const char* Text;
    int Line;
    const char* Message;  // a part of the message
};

class TextFormRefused : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(TextFormRefused, NamesTheLineAndChangesNothing) {
    THeadlessForm Form;
    TKeymora K;
    K.SetParent(&Form);
    THeadlessWindow Window(K);
    K.SetBounds(0, 0, 600, 100);
    int Events = 0;
    K.OnOffsetChanged = [&](TObject*) { ++Events; };
    K.OnDurationChanged = [&](TObject*) { ++Events; };
    K.OnMaxChanged = [&](TObject*) { ++Events; };
    const std::string Before = SaveTextForm(K);
    const int RealWidth = K.RealWidth();
    Window.Records.clear();

    const auto Error = LoadTextForm(K, GetParam().Text);
    ASSERT_TRUE(Error);
    EXPECT_EQ(Error->Line, GetParam().Line);
    EXPECT_NE(Error->Message.find(GetParam().Message), std::string::npos) << Error->Message;
    EXPECT_EQ(Error->What().rfind("line " + std::to_string(GetParam().Line) + ": ", 0), 0u);

    EXPECT_EQ(SaveTextForm(K), Before);
    EXPECT_FALSE(K.ComponentState().Contains(csLoading));
    EXPECT_EQ(K.RealWidth(), RealWidth);
    EXPECT_TRUE(Window.Records.empty());
    EXPECT_EQ(Events, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, TextFormRefused,
    ::testing::Values(
        RefusedCase{"UnknownProperty", "Octave = 3\nFoo = 1\n", 2, "unknown property \"Foo\""},
        RefusedCase{"ErrorAfterGoodLines",
                    "MaxOffsetOttave = 2\r\nKeys = \"QWERTYU\"\r\nDurationPosition = 4\r\n"
                    "Style [msShowMarks]\r\n",
                    4, "expected '=' after \"Style\""},
        RefusedCase{"NoName", "= 3", 1, "expected a property name"},
        RefusedCase{"NoValue", "Octave =   ", 1, "no value given for \"Octave\""},
        RefusedCase{"NotAnInteger", "Octave = three", 1, "expected an integer"},
        RefusedCase{"TrailingText", "Octave = 3 # three", 1, "expected an integer"},
        RefusedCase{"IntegerBeyond32Bits", "SettingWidth = 2147483648", 1, "out of range"},
        RefusedCase{"NotABoolean", "MouseTrack = yes", 1, "expected true or false"},
        RefusedCase{"UnknownEnumeration", "Orientation = koDiagonal", 1,
                    "expected one of koHorizontal koVertical"},
        RefusedCase{"SetWithoutBrackets", "Style = msShowMarks", 1, "bracketed list"},
        RefusedCase{"UnknownSetElement", "Style = [msShowMarks,msBogus]", 1,
                    "unknown element msBogus"},
        RefusedCase{"TrailingComma", "Style = [msShowMarks,]", 1, "empty element"},
        RefusedCase{"UnquotedString", "Keys = ABC", 1, "double-quoted"},
        RefusedCase{"UnclosedString", "Keys = \"ABC", 1, "no closing quote"},
        RefusedCase{"TextAfterString", "Keys = \"AB\"C", 1, "after the closing quote"},
        RefusedCase{"UnknownEscape", "Keys = \"A\\qB\"", 1, "unknown escape \\q"},
        RefusedCase{"ShortHexEscape", "Keys = \"\\x4\"", 1, "two hexadecimal digits"},
        RefusedCase{"BadColour", "Color = $GG", 1, "colour"},
        RefusedCase{"ColourTooLong", "Color = $123456789", 1, "1 to 8 hexadecimal digits"},
        RefusedCase{"WholeFont", "Font = 3", 1, "given by its parts"},
        RefusedCase{"UnknownFontPart", "Font.Weight = 3", 1, "unknown property \"Font.Weight\""},
        RefusedCase{"PartOfNonFont", "Octave.Size = 3", 1, "unknown property \"Octave.Size\""},
        RefusedCase{"CharsetBeyondByte", "Font.Charset = 256", 1, "out of range"},
        RefusedCase{"GivenTwice", "Octave = 3\n\n# again\noctave = 4\n", 4,
                    "\"Octave\" is given twice (first on line 1)"},
        RefusedCase{"FontPartGivenTwice", "Font.Size = 3\nFont.Size = 4\n", 2, "given twice"}),
    [](const auto& Info) { return std::string(Info.param.Name); });

}  // namespace
}  // namespace keymora
