// The value syntax shared by the text form and keymora-script: what each choice of a
// TValueSyntax accepts and refuses, with which fault and which part of the text, how values are
// written, and the font's parts. Two syntaxes stand for the two kinds of form: Words (32-bit
// integers read from the left, any letter case, blanks in sets, colours of at most eight
// hexadecimal digits written in hexadecimal, quoted strings) and Tokens (small integers, exact
// names, no blanks, any number of hexadecimal digits, colours written in decimal, raw strings,
// a whole font as NAME,SIZE).
#include "core/model/property_syntax.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace keymora {
namespace {

using F = TValueFault;
using K = TPropKind;

// Marks where a syntax quotes, so that tests see which texts went through AppendString.
void AppendAngled(std::string& Out, std::string_view Text) {
    Out += '<';
    Out += Text;
    Out += '>';
}

// The text form's own choices, as the text form reads and writes with them.
const TValueSyntax& Words = TextFormValues;

constexpr TValueSyntax Tokens = {
    .MinInteger = -1000000,
    .MaxInteger = 1000000,
    .RangeFirst = false,
    .ExactNames = true,
    .BlanksInSets = false,
    .MaxHexDigits = 0,
    .QuotedStrings = false,
    .MaxFontSize = 1000,
    .HexColors = false,
    .SetSeparator = ",",
    .AppendString = AppendAngled,
    .QuoteNames = true,
};

constexpr std::string_view Orientations[] = {"koHorizontal", "koVertical"};
constexpr std::string_view Styles[] = {"msShowMarks", "msColorOctave", "msScrollDuration",
                                       "msScrollOctave"};

// Value.Int before each read, to see that a refused text leaves it alone.
constexpr long long Untouched = 77;

struct TReadCase {
    const char* Title;
    const TValueSyntax* Syntax;
    TPropKind Kind;
    std::string Text;
    TValueFault Fault;
    const char* Item;  // the part of the text at fault; with None, unused
    long long Int;     // the value read, for the kinds held in Int
    const char* Str;   // the string read
};

std::span<const std::string_view> NamesOf(TPropKind Kind) {
    if (Kind == K::Enumeration) return Orientations;
    if (Kind == K::Set) return Styles;
    return {};
}

class ReadValue : public ::testing::TestWithParam<TReadCase> {};

TEST_P(ReadValue, AcceptsOrNamesTheFault) {
    const TReadCase& Case = GetParam();
    TPropValue V;
    V.Int = Untouched;
    V.Str = "untouched";
    const TValueError Error = ParseValue(Case.Kind, NamesOf(Case.Kind), Case.Text, *Case.Syntax, V);
    EXPECT_EQ(Error.Fault, Case.Fault);
    if (Case.Fault != F::None) {
        EXPECT_TRUE(static_cast<bool>(Error));
        EXPECT_EQ(Error.Item, Case.Item);
        EXPECT_EQ(V.Int, Untouched);
        EXPECT_EQ(V.Str, "untouched");
    } else if (Case.Kind == K::String) {
        EXPECT_EQ(V.Str, Case.Str);
    } else {
        EXPECT_EQ(V.Int, Case.Int);
    }
}

const TValueSyntax* const W = &Words;
const TValueSyntax* const T = &Tokens;

INSTANTIATE_TEST_SUITE_P(
    Integers, ReadValue,
    ::testing::Values(
        TReadCase{"AboveInt", W, K::Integer, "2147483648", F::OutOfRange, "2147483648", 0, ""},
        TReadCase{"MinusZero", T, K::Integer, "-0", F::None, "", 0, ""},
        TReadCase{"BeyondTokenBound", T, K::Integer, "1000001", F::OutOfRange, "1000001", 0, ""},
        // Words count the digits from the left: eleven digits are out of range before the x.
        TReadCase{"RangeBeforeStray", W, K::Integer, "99999999999x", F::OutOfRange, "99999999999x",
                  0, ""},
        TReadCase{"StrayFirst", T, K::Integer, "99999999999x", F::NotANumber, "99999999999x", 0,
                  ""},
        TReadCase{"StrayWithinRange", W, K::Integer, "12x", F::NotANumber, "12x", 0, ""},
        // 2147483648 is one past the largest int: not yet beyond it when the x comes.
        TReadCase{"StrayAtTheBound", W, K::Integer, "-2147483648x", F::NotANumber, "-2147483648x",
                  0, ""},
        TReadCase{"StrayPastTheBound", W, K::Integer, "-2147483649x", F::OutOfRange, "-2147483649x",
                  0, ""},
        TReadCase{"FarBeyond64Bits", T, K::Integer, "99999999999999999999999999", F::OutOfRange,
                  "99999999999999999999999999", 0, ""},
        TReadCase{"MinusAlone", W, K::Integer, "-", F::NotANumber, "-", 0, ""},
        TReadCase{"Empty", W, K::Integer, "", F::NotANumber, "", 0, ""}),
    [](const auto& Info) { return std::string(Info.param.Title); });

INSTANTIATE_TEST_SUITE_P(
    BooleansAndNames, ReadValue,
    ::testing::Values(TReadCase{"TrueAnyCase", T, K::Boolean, "TRUE", F::None, "", 1, ""},
                      TReadCase{"One", W, K::Boolean, "1", F::NotABoolean, "1", 0, ""},
                      TReadCase{"NameAnyCase", W, K::Enumeration, "KOVERTICAL", F::None, "", 1, ""},
                      TReadCase{"NameWrongCase", T, K::Enumeration, "KOVERTICAL", F::UnknownName,
                                "KOVERTICAL", 0, ""},
                      TReadCase{"NoSuchName", W, K::Enumeration, "koDiagonal", F::UnknownName,
                                "koDiagonal", 0, ""}),
    [](const auto& Info) { return std::string(Info.param.Title); });

INSTANTIATE_TEST_SUITE_P(
    Sets, ReadValue,
    ::testing::Values(
        TReadCase{"Empty", T, K::Set, "[]", F::None, "", 0, ""},
        TReadCase{"BitOrderNotTextOrder", T, K::Set, "[msScrollOctave,msColorOctave]", F::None, "",
                  0b1010, ""},
        TReadCase{"BlanksSkipped", W, K::Set, "[ msScrollOctave ,msShowMarks ]", F::None, "",
                  0b1001, ""},
        TReadCase{"BlanksAreText", T, K::Set, "[ msScrollOctave ,msShowMarks ]", F::UnknownElement,
                  " msScrollOctave ", 0, ""},
        TReadCase{"BlankBrackets", W, K::Set, "[ \t]", F::None, "", 0, ""},
        TReadCase{"BlankElement", T, K::Set, "[ ]", F::UnknownElement, " ", 0, ""},
        TReadCase{"ElementWrongCase", T, K::Set, "[msshowmarks]", F::UnknownElement, "msshowmarks",
                  0, ""},
        TReadCase{"TrailingComma", T, K::Set, "[msShowMarks,]", F::TrailingComma, "[msShowMarks,]",
                  0, ""},
        TReadCase{"TrailingCommaAndBlank", W, K::Set, "[msShowMarks, ]", F::TrailingComma,
                  "[msShowMarks, ]", 0, ""},
        TReadCase{"BlankAfterCommaIsAnElement", T, K::Set, "[msShowMarks, ]", F::UnknownElement,
                  " ", 0, ""},
        TReadCase{"LeadingComma", W, K::Set, "[,msShowMarks]", F::UnknownElement, "", 0, ""},
        TReadCase{"DoubleComma", T, K::Set, "[msShowMarks,,msColorOctave]", F::UnknownElement, "",
                  0, ""},
        TReadCase{"NoBrackets", W, K::Set, "msShowMarks", F::NotASet, "msShowMarks", 0, ""}),
    [](const auto& Info) { return std::string(Info.param.Title); });

INSTANTIATE_TEST_SUITE_P(
    Colours, ReadValue,
    ::testing::Values(
        TReadCase{"ShortHex", W, K::Color, "$fF", F::None, "", 255, ""},
        TReadCase{"Decimal", W, K::Color, "65280", F::None, "", 65280, ""},
        TReadCase{"DollarAloneCounts", W, K::Color, "$", F::HexDigitCount, "$", 0, ""},
        TReadCase{"DollarAlone", T, K::Color, "$", F::NotANumber, "$", 0, ""},
        TReadCase{"NineDigits", W, K::Color, "$0000000FF", F::HexDigitCount, "$0000000FF", 0, ""},
        TReadCase{"Negative", W, K::Color, "-1", F::OutOfRange, "-1", 0, ""}),
    [](const auto& Info) { return std::string(Info.param.Title); });

INSTANTIATE_TEST_SUITE_P(
    Strings, ReadValue,
    ::testing::Values(
        TReadCase{"Escapes", W, K::String, R"("A\"B\\C\x41\x0a")", F::None, "", 0, "A\"B\\CA\n"},
        TReadCase{"RawKeepsQuotes", T, K::String, R"("Q W")", F::None, "", 0, "\"Q W\""},
        TReadCase{"RawEmpty", T, K::String, "", F::None, "", 0, ""},
        TReadCase{"LoneQuote", W, K::String, "\"", F::NotQuoted, "\"", 0, ""},
        TReadCase{"BackslashAtEnd", W, K::String, R"("A\)", F::Unclosed, R"("A\)", 0, ""},
        TReadCase{"UnknownEscape", W, K::String, R"("A\qB")", F::UnknownEscape, "q", 0, ""}),
    [](const auto& Info) { return std::string(Info.param.Title); });

// A whole font: the name, and the size when given; the other parts stay.
struct TFontCase {
    const char* Title;
    const char* Text;
    TValueFault Fault;
    const char* Item;
    const char* Name;
    int Size;
};

class ReadFont : public ::testing::TestWithParam<TFontCase> {};

TEST_P(ReadFont, NameAndSize) {
    const TFontCase& Case = GetParam();
    TPropValue V;
    V.Font.Color = clMaroon;
    V.Font.Style = {fsBold};
    const TValueError Error = ParseValue(K::Font, {}, Case.Text, Tokens, V);
    EXPECT_EQ(Error.Fault, Case.Fault);
    EXPECT_EQ(Error.Item, Case.Item);
    EXPECT_EQ(V.Font.Name, Case.Name);
    EXPECT_EQ(V.Font.Size, Case.Size);
    EXPECT_EQ(V.Font.Color, clMaroon);
    EXPECT_EQ(V.Font.Style, TFontStyles{fsBold});
}

// A new TFont is Tahoma, 8 points: what a refused text leaves.
INSTANTIATE_TEST_SUITE_P(
    WholeFont, ReadFont,
    ::testing::Values(TFontCase{"NameOnly", "Arial", F::None, "", "Arial", 8},
                      TFontCase{"NameAndSize", "Liberation Sans,11", F::None, "", "Liberation Sans",
                                11},
                      TFontCase{"NoName", ",12", F::NoFontName, ",12", "Tahoma", 8},
                      TFontCase{"NoSize", "Arial,", F::NotANumber, "", "Tahoma", 8},
                      TFontCase{"SizeBeyond", "Arial,1001", F::OutOfRange, "1001", "Tahoma", 8},
                      TFontCase{"TwoCommas", "Arial,12,5", F::NotANumber, "12,5", "Tahoma", 8}),
    [](const auto& Info) { return std::string(Info.param.Title); });

TEST(ReadFontByParts, WholeFontRefusedWhereFormsGiveParts) {
    TPropValue V;
    const TValueError Error = ParseValue(K::Font, {}, "Arial,12", Words, V);
    EXPECT_EQ(Error.Fault, F::FontByParts);
    EXPECT_EQ(V.Font.Name, "Tahoma");
}

struct TWriteCase {
    const char* Title;
    const TValueSyntax* Syntax;
    TPropKind Kind;
    long long Int;
    std::string Str;
    const char* Text;
};

class WriteValue : public ::testing::TestWithParam<TWriteCase> {};

TEST_P(WriteValue, AppendsTheText) {
    const TWriteCase& Case = GetParam();
    TPropValue V;
    V.Int = Case.Int;
    V.Str = Case.Str;
    std::string Out = "=";
    FormatValue(Case.Kind, NamesOf(Case.Kind), V, *Case.Syntax, Out);
    EXPECT_EQ(Out, std::string("=") + Case.Text);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, WriteValue,
    ::testing::Values(
        TWriteCase{"Negative", W, K::Integer, -5, "", "-5"},
        TWriteCase{"True", T, K::Boolean, 1, "", "true"},
        TWriteCase{"BareName", W, K::Enumeration, 1, "", "koVertical"},
        TWriteCase{"QuotedName", T, K::Enumeration, 1, "", "<koVertical>"},
        TWriteCase{"OrdinalWithoutName", W, K::Enumeration, 7, "", "7"},
        TWriteCase{"SetWithBlanks", W, K::Set, 0b1001, "", "[msShowMarks, msScrollOctave]"},
        TWriteCase{"SetOfQuotedNames", T, K::Set, 0b0110, "",
                   "[<msColorOctave>,<msScrollDuration>]"},
        TWriteCase{"HexColour", W, K::Color, 0x00123456, "", "$00123456"},
        TWriteCase{"DecimalColour", T, K::Color, 0x00123456, "", "1193046"},
        TWriteCase{"QuotedString", W, K::String, 0, "A\"B\\C\tD\x7F", R"("A\"B\\C\x09D\x7F")"},
        TWriteCase{"StringThroughTheSyntax", T, K::String, 0, "Q W", "<Q W>"}),
    [](const auto& Info) { return std::string(Info.param.Title); });

// Each part read into a new TFont (Tahoma, 8 points, black, no style, charset 1), within the
// part's range as well as the syntax's; written back, it reads as it was given.
TEST(FontParts, ReadIntoTheirFieldWithinTheirRange) {
    const auto Find = [](std::string_view Name) {
        const TFontPart* Found = nullptr;
        for (const TFontPart& P : FontParts())
            if (P.Name == Name) Found = &P;
        return Found;
    };
    const struct {
        const char* Part;
        const char* Text;
        TValueFault Fault;
        TFont Expected;
    } Cases[] = {
        {"Name", R"("Liberation Sans")", F::None, {"Liberation Sans", 8, clBlack, {}, 1}},
        {"Color", "$000000FF", F::None, {"Tahoma", 8, clRed, {}, 1}},
        {"Style",
         "[fsBold, fsStrikeOut]",
         F::None,
         {"Tahoma", 8, clBlack, {fsBold, fsStrikeOut}, 1}},
        {"Charset", "255", F::None, {"Tahoma", 8, clBlack, {}, 255}},
        // The charset is a byte however wide the syntax's integers are.
        {"Charset", "256", F::OutOfRange, {}},
        {"Charset", "-1", F::OutOfRange, {}},
        {"Style", "[fsBold,fsHeavy]", F::UnknownElement, {}},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(std::string(Case.Part) + " = " + Case.Text);
        const TFontPart* Part = Find(Case.Part);
        ASSERT_NE(Part, nullptr);
        TFont Font;
        EXPECT_EQ(ParseFontPart(*Part, Case.Text, Words, Font).Fault, Case.Fault);
        EXPECT_EQ(Font, Case.Expected);
        if (Case.Fault == F::None) {
            std::string Written;
            FormatValue(Part->Kind, Part->Names, Part->Get(Font), Words, Written);
            EXPECT_EQ(Written, Case.Text);
        }
    }
}

}  // namespace
}  // namespace keymora
