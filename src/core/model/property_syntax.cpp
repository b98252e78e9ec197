// Reading and writing property values as text, and the parts of a font.
#include "core/model/property_syntax.h"

#include <algorithm>
#include <limits>
#include <type_traits>
#include <utility>

#include "core/host/rtl.h"

namespace keymora {

namespace {

using F = TValueFault;

constexpr std::string_view FontStyleNames[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};

template <auto Field>
using TPartOf = std::remove_cvref_t<decltype(std::declval<TFont&>().*Field)>;

template <auto Field>
TPropValue ReadPart(const TFont& Font) {
    TPropValue V;
    if constexpr (std::is_same_v<TPartOf<Field>, std::string>)
        V.Str = Font.*Field;
    else if constexpr (std::is_same_v<TPartOf<Field>, TFontStyles>)
        V.Int = (Font.*Field).Bits();
    else
        V.Int = Font.*Field;
    return V;
}

template <auto Field>
void WritePart(TFont& Font, const TPropValue& V) {
    if constexpr (std::is_same_v<TPartOf<Field>, std::string>)
        Font.*Field = V.Str;
    else if constexpr (std::is_same_v<TPartOf<Field>, TFontStyles>)
        Font.*Field = TFontStyles::FromBits(static_cast<std::uint8_t>(V.Int));
    else
        Font.*Field = static_cast<TPartOf<Field>>(V.Int);
}

constexpr long long IntMin = std::numeric_limits<int>::min();
constexpr long long IntMax = std::numeric_limits<int>::max();

template <auto Field>
constexpr TFontPart Part(std::string_view Name, TPropKind Kind, long long Min = 0,
                         long long Max = 0, std::span<const std::string_view> Names = {}) {
    return {Name, Kind, Names, Min, Max, &ReadPart<Field>, &WritePart<Field>};
}

constexpr TFontPart Parts[] = {
    Part<&TFont::Name>("Name", TPropKind::String),
    Part<&TFont::Size>("Size", TPropKind::Integer, IntMin, IntMax),
    Part<&TFont::Color>("Color", TPropKind::Color),
    Part<&TFont::Style>("Style", TPropKind::Set, 0, 0, FontStyleNames),
    Part<&TFont::Charset>("Charset", TPropKind::Integer, 0, 255),
};

bool IsBlank(char C) {
    return C == ' ' || C == '\t';
}

std::string_view Trim(std::string_view S) {
    while (!S.empty() && IsBlank(S.front())) S.remove_prefix(1);
    while (!S.empty() && IsBlank(S.back())) S.remove_suffix(1);
    return S;
}

int HexDigit(char C) {
    if (C >= '0' && C <= '9') return C - '0';
    if (C >= 'A' && C <= 'F') return C - 'A' + 10;
    if (C >= 'a' && C <= 'f') return C - 'a' + 10;
    return -1;
}

constexpr char UpperHex[] = "0123456789ABCDEF";

TValueError Fault(TValueFault Code, std::string_view Item) {
    return {Code, Item};
}

// The ordinal of the name S, or Names.size().
std::size_t FindName(std::string_view S, std::span<const std::string_view> Names, bool Exact) {
    for (std::size_t I = 0; I < Names.size(); ++I)
        if (Exact ? S == Names[I] : CompareText(S, Names[I]) == 0) return I;
    return Names.size();
}

TValueError ReadColor(std::string_view Text, const TValueSyntax& Syntax, long long& Out) {
    if (Text.empty() || Text.front() != '$') {
        const TValueFault R = ReadInteger(Text, 0, 0xFFFFFFFFLL, Syntax.RangeFirst, Out);
        return Fault(R, Text);
    }
    const std::string_view Digits = Text.substr(1);
    if (Syntax.MaxHexDigits > 0 &&
        (Digits.empty() || Digits.size() > static_cast<std::size_t>(Syntax.MaxHexDigits)))
        return Fault(F::HexDigitCount, Text);
    if (Digits.empty()) return Fault(F::NotANumber, Text);
    for (char C : Digits)
        if (HexDigit(C) < 0) return Fault(F::NotANumber, Text);
    long long V = 0;
    for (char C : Digits) {
        V = V * 16 + HexDigit(C);
        if (V > 0xFFFFFFFFLL) return Fault(F::OutOfRange, Text);
    }
    Out = V;
    return {};
}

TValueError ReadSet(std::string_view Text, std::span<const std::string_view> Names,
                    const TValueSyntax& Syntax, long long& Out) {
    if (Text.size() < 2 || Text.front() != '[' || Text.back() != ']')
        return Fault(F::NotASet, Text);
    const auto Blanks = [&](std::string_view S) { return Syntax.BlanksInSets ? Trim(S) : S; };
    std::string_view Body = Blanks(Text.substr(1, Text.size() - 2));
    long long Bits = 0;
    while (!Body.empty()) {
        const std::size_t Comma = Body.find(',');
        const std::string_view Item = Blanks(Body.substr(0, Comma));
        const std::size_t Index = FindName(Item, Names, Syntax.ExactNames);
        if (Index == Names.size()) return Fault(F::UnknownElement, Item);
        Bits |= 1LL << Index;
        if (Comma == std::string_view::npos) break;
        Body = Body.substr(Comma + 1);
        if (Blanks(Body).empty()) return Fault(F::TrailingComma, Text);
    }
    Out = Bits;
    return {};
}

TValueError ReadQuoted(std::string_view Text, std::string& Out) {
    if (Text.size() < 2 || Text.front() != '"') return Fault(F::NotQuoted, Text);
    std::string R;
    std::size_t I = 1;
    for (;;) {
        if (I >= Text.size()) return Fault(F::Unclosed, Text);
        const char C = Text[I++];
        if (C == '"') break;
        if (C != '\\') {
            R += C;
            continue;
        }
        if (I >= Text.size()) return Fault(F::Unclosed, Text);
        const char E = Text[I++];
        if (E == '"' || E == '\\') {
            R += E;
        } else if (E == 'x') {
            const int Hi = I < Text.size() ? HexDigit(Text[I]) : -1;
            const int Lo = I + 1 < Text.size() ? HexDigit(Text[I + 1]) : -1;
            if (Hi < 0 || Lo < 0) return Fault(F::BadHexEscape, Text);
            R += static_cast<char>(Hi * 16 + Lo);
            I += 2;
        } else {
            return Fault(F::UnknownEscape, Text.substr(I - 1, 1));
        }
    }
    if (I != Text.size()) return Fault(F::TextAfterString, Text);
    Out = std::move(R);
    return {};
}

TValueError ReadFont(std::string_view Text, const TValueSyntax& Syntax, TFont& Out) {
    if (Syntax.MaxFontSize <= 0) return Fault(F::FontByParts, Text);
    const std::size_t Comma = Text.find(',');
    TFont Font = Out;
    Font.Name = Text.substr(0, Comma);
    if (Font.Name.empty()) return Fault(F::NoFontName, Text);
    if (Comma != std::string_view::npos) {
        const std::string_view Size = Text.substr(Comma + 1);
        long long V = 0;
        const TValueFault R =
            ReadInteger(Size, -Syntax.MaxFontSize, Syntax.MaxFontSize, Syntax.RangeFirst, V);
        if (R != F::None) return Fault(R, Size);
        Font.Size = static_cast<int>(V);
    }
    Out = std::move(Font);
    return {};
}

void AppendName(std::string& Out, std::string_view Name, const TValueSyntax& Syntax) {
    if (Syntax.QuoteNames)
        Syntax.AppendString(Out, Name);
    else
        Out += Name;
}

}  // namespace

TValueFault ReadInteger(std::string_view Text, long long Min, long long Max, bool RangeFirst,
                        long long& Value) {
    const bool Negative = !Text.empty() && Text.front() == '-';
    if (Negative) Text.remove_prefix(1);
    if (Text.empty()) return F::NotANumber;
    // A magnitude beyond Limit is out of range whatever follows. Ranges lie within +-10^17, so
    // Magnitude never overflows.
    constexpr long long Far = 100000000000000000LL;
    const long long Limit = RangeFirst ? std::clamp(Max, -1LL, Far - 1) + 1 : Far;
    long long Magnitude = 0;
    bool Beyond = false;
    for (char C : Text) {
        if (C < '0' || C > '9') return RangeFirst && Beyond ? F::OutOfRange : F::NotANumber;
        if (Beyond) continue;
        Magnitude = Magnitude * 10 + (C - '0');
        Beyond = Magnitude > Limit;
    }
    if (Beyond) return F::OutOfRange;
    const long long Signed = Negative ? -Magnitude : Magnitude;
    if (Signed < Min || Signed > Max) return F::OutOfRange;
    Value = Signed;
    return F::None;
}

TValueError ParseValue(TPropKind Kind, std::span<const std::string_view> Names,
                       std::string_view Text, const TValueSyntax& Syntax, TPropValue& Value) {
    long long V = 0;
    TValueError Error;
    switch (Kind) {
        case TPropKind::Integer:
            Error.Fault =
                ReadInteger(Text, Syntax.MinInteger, Syntax.MaxInteger, Syntax.RangeFirst, V);
            Error.Item = Text;
            break;
        case TPropKind::Boolean:
            if (CompareText(Text, "true") == 0)
                V = 1;
            else if (CompareText(Text, "false") != 0)
                Error = Fault(F::NotABoolean, Text);
            break;
        case TPropKind::Enumeration:
            V = static_cast<long long>(FindName(Text, Names, Syntax.ExactNames));
            if (V == static_cast<long long>(Names.size())) Error = Fault(F::UnknownName, Text);
            break;
        case TPropKind::Set:
            Error = ReadSet(Text, Names, Syntax, V);
            break;
        case TPropKind::Color:
            Error = ReadColor(Text, Syntax, V);
            break;
        case TPropKind::String:
            if (Syntax.QuotedStrings) return ReadQuoted(Text, Value.Str);
            Value.Str = Text;
            return {};
        case TPropKind::Font:
            return ReadFont(Text, Syntax, Value.Font);
    }
    if (!Error) Value.Int = V;
    return Error;
}

void FormatValue(TPropKind Kind, std::span<const std::string_view> Names, const TPropValue& Value,
                 const TValueSyntax& Syntax, std::string& Out) {
    const long long V = Value.Int;
    switch (Kind) {
        case TPropKind::Integer:
            Out += IntToStr(V).View();
            break;
        case TPropKind::Boolean:
            Out += V ? "true" : "false";
            break;
        case TPropKind::Enumeration:
            if (V >= 0 && V < static_cast<long long>(Names.size()))
                AppendName(Out, Names[static_cast<std::size_t>(V)], Syntax);
            else
                Out += IntToStr(V).View();
            break;
        case TPropKind::Set: {
            Out += '[';
            bool First = true;
            for (std::size_t I = 0; I < Names.size(); ++I) {
                if (!((V >> I) & 1)) continue;
                if (!First) Out += Syntax.SetSeparator;
                AppendName(Out, Names[I], Syntax);
                First = false;
            }
            Out += ']';
            break;
        }
        case TPropKind::String:
            Syntax.AppendString(Out, Value.Str);
            break;
        case TPropKind::Color:
            if (Syntax.HexColors) {
                const auto U = static_cast<std::uint32_t>(V);
                Out += '$';
                for (int Shift = 28; Shift >= 0; Shift -= 4) Out += UpperHex[(U >> Shift) & 0xF];
            } else {
                Out += IntToStr(V).View();
            }
            break;
        case TPropKind::Font:
            break;
    }
}

void AppendQuoted(std::string& Out, std::string_view Text) {
    Out += '"';
    for (char C : Text) {
        const auto U = static_cast<unsigned char>(C);
        if (C == '"' || C == '\\') {
            Out += '\\';
            Out += C;
        } else if (U < 0x20 || U == 0x7F) {
            // Control characters would break the line structure or vanish in an editor.
            Out += "\\x";
            Out += UpperHex[U >> 4];
            Out += UpperHex[U & 0xF];
        } else {
            Out += C;
        }
    }
    Out += '"';
}

std::span<const TFontPart> FontParts() {
    return Parts;
}

TValueError ParseFontPart(const TFontPart& Part, std::string_view Text, const TValueSyntax& Syntax,
                          TFont& Font) {
    TValueSyntax Narrowed = Syntax;
    if (Part.Kind == TPropKind::Integer) {
        Narrowed.MinInteger = std::max(Syntax.MinInteger, Part.Min);
        Narrowed.MaxInteger = std::min(Syntax.MaxInteger, Part.Max);
    }
    TPropValue V;
    const TValueError Error = ParseValue(Part.Kind, Part.Names, Text, Narrowed, V);
    if (!Error) Part.Set(Font, V);
    return Error;
}

// The text form's choices in the value syntax: 32-bit integers, names in any letter case,
// blanks allowed in sets, colours of at most eight hexadecimal digits and written so, strings
// quoted with escapes, and the font given by its parts.
const TValueSyntax TextFormValues = {
    .MinInteger = std::numeric_limits<int>::min(),
    .MaxInteger = std::numeric_limits<int>::max(),
    .RangeFirst = true,
    .ExactNames = false,
    .BlanksInSets = true,
    .MaxHexDigits = 8,
    .QuotedStrings = true,
    .MaxFontSize = 0,
    .HexColors = true,
    .SetSeparator = ", ",
    .AppendString = AppendQuoted,
    .QuoteNames = false,
};

}  // namespace keymora
