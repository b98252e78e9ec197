// Property values as text: reading and writing integers, booleans, enumeration names, sets,
// colours, strings and the font for every form that gives published properties in words (the
// text form, keymora-script). Each form describes its own choices in a TValueSyntax (ranges,
// letter case, blanks, quoting); the recognition of each kind of value lives here alone.
// Faults come back as codes with the part of the text at fault, and each form words them itself.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "keymora/model/published.h"

namespace keymora {

/// The choices a form makes where value syntaxes differ.
struct TValueSyntax {
    // ---- Reading ----
    /// Integers outside this range are out of range, whatever the property holds.
    long long MinInteger = 0;
    long long MaxInteger = 0;
    /// Digits count from the left: a number grown beyond MaxInteger is out of range even when a
    /// stray character follows. Otherwise a stray character anywhere makes it no number.
    bool RangeFirst = false;
    /// Enumeration names and set elements match only in their declared letter case; otherwise
    /// ASCII letter case is ignored.
    bool ExactNames = false;
    /// Blanks (spaces, tabs) around set elements and inside empty brackets are skipped.
    bool BlanksInSets = false;
    /// Most hexadecimal digits a '$' colour may have; 0 for any number (leading zeros).
    int MaxHexDigits = 0;
    /// Strings are double-quoted, with \" \\ and \xHH escapes; otherwise the text is the string.
    bool QuotedStrings = false;
    /// A whole font is read as NAME or NAME,SIZE with SIZE within +-MaxFontSize, its other parts
    /// kept. 0: the syntax has no text for a whole font (forms give it by its parts).
    int MaxFontSize = 0;

    // ---- Writing ----
    /// Colours as $ and eight hexadecimal digits ($00BBGGRR); decimal otherwise.
    bool HexColors = false;
    /// Written between set elements.
    std::string_view SetSeparator = ",";
    /// Appends a string value as the form quotes it (required for writing).
    void (*AppendString)(std::string& Out, std::string_view Text) = nullptr;
    /// Enumeration names and set elements are appended through AppendString too; bare otherwise.
    bool QuoteNames = false;
};

/// What is wrong with a value's text.
enum class TValueFault : std::uint8_t {
    None,
    /// Integer, colour or a font's size: not digits as the kind takes them.
    NotANumber,
    /// Integer, colour or a font's size beyond its range.
    OutOfRange,
    /// Colour: '$' followed by no or more than MaxHexDigits digits.
    HexDigitCount,
    NotABoolean,
    /// Enumeration: no value of that name.
    UnknownName,
    /// Set: not enclosed in brackets.
    NotASet,
    /// Set: no element of that name (an empty one between commas too).
    UnknownElement,
    /// Set: nothing after the last comma.
    TrailingComma,
    /// Quoted string: no opening quote.
    NotQuoted,
    /// Quoted string: no closing quote.
    Unclosed,
    /// Quoted string: \x not followed by two hexadecimal digits.
    BadHexEscape,
    /// Quoted string: a backslash before anything but " \ x; Item holds that character.
    UnknownEscape,
    /// Quoted string: text after the closing quote.
    TextAfterString,
    /// Font: no name before the comma.
    NoFontName,
    /// Font: the syntax gives a font by its parts only.
    FontByParts,
};

struct TValueError {
    TValueFault Fault = TValueFault::None;
    /// The part of the text at fault: the whole text, a set element or a font's size.
    std::string_view Item;
    explicit operator bool() const { return Fault != TValueFault::None; }
};

/// Reads Text as a value of Kind (Names: the enumeration's values or the set's elements) into
/// the member of Value that holds the kind; Value is left as it was on a fault. A whole font
/// changes only the parts the text gives.
TValueError ParseValue(TPropKind Kind, std::span<const std::string_view> Names,
                       std::string_view Text, const TValueSyntax& Syntax, TPropValue& Value);

inline TValueError ParsePropertyValue(const TPropInfo& Info, std::string_view Text,
                                      const TValueSyntax& Syntax, TPropValue& Value) {
    return ParseValue(Info.Kind, Info.Names, Text, Syntax, Value);
}

/// Appends the text of a value of Kind; the inverse of ParseValue for every kind but the font,
/// which forms write by its parts (FontParts). An ordinal without a name is written as its
/// number, which reads back as no name.
void FormatValue(TPropKind Kind, std::span<const std::string_view> Names, const TPropValue& Value,
                 const TValueSyntax& Syntax, std::string& Out);

inline void FormatPropertyValue(const TPropInfo& Info, const TPropValue& Value,
                                const TValueSyntax& Syntax, std::string& Out) {
    FormatValue(Info.Kind, Info.Names, Value, Syntax, Out);
}

/// A decimal integer with an optional leading '-' within [Min, Max] (both within +-10^17):
/// None, NotANumber or OutOfRange. RangeFirst as in TValueSyntax.
TValueFault ReadInteger(std::string_view Text, long long Min, long long Max, bool RangeFirst,
                        long long& Value);

/// Appends Text double-quoted, with '"' and '\' escaped and control characters as \xHH, as
/// QuotedStrings reads it back.
void AppendQuoted(std::string& Out, std::string_view Text);

/// The text form's choices: 32-bit integers, names in any letter case, blanks allowed in sets,
/// colours of at most eight hexadecimal digits and written so, quoted strings, fonts by parts.
extern const TValueSyntax TextFormValues;

/// One part of a font, as forms give a font part by part.
struct TFontPart {
    std::string_view Name;
    TPropKind Kind;
    std::span<const std::string_view> Names;
    /// Integer parts: the values the part holds.
    long long Min;
    long long Max;
    TPropValue (*Get)(const TFont& Font);
    void (*Set)(TFont& Font, const TPropValue& Value);
};

/// Name, Size, Color, Style (fsBold, fsItalic, fsUnderline, fsStrikeOut) and Charset, in the
/// order forms write them.
std::span<const TFontPart> FontParts();

/// Reads Text as the value of one part of Font, within the part's range as well as the
/// syntax's; Font is left as it was on a fault.
TValueError ParseFontPart(const TFontPart& Part, std::string_view Text, const TValueSyntax& Syntax,
                          TFont& Font);

}  // namespace keymora
