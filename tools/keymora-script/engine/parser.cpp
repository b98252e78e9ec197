// Tokenizer, number, key and word readers, and the value syntax of keymora-script.
#include "engine/parser.h"

#include <charconv>

#include "core/host/rtl.h"
#include "core/model/property_syntax.h"
#include "engine/json.h"
#include "keymora/host/types.h"

namespace keymora::script {

namespace {

bool IsBlank(char C) {
    return C == ' ' || C == '\t' || C == '\r' || C == '\v' || C == '\f';
}

bool IsDigit(char C) {
    return C >= '0' && C <= '9';
}

bool IsHexDigit(char C) {
    return IsDigit(C) || (C >= 'a' && C <= 'f') || (C >= 'A' && C <= 'F');
}

// A virtual-key code: hexadecimal digits only, up to 0xFFFF.
std::optional<std::uint16_t> HexCode(std::string_view Digits) {
    if (Digits.empty()) return std::nullopt;
    for (char C : Digits)
        if (!IsHexDigit(C)) return std::nullopt;
    unsigned long long Value = 0;
    const auto Result = std::from_chars(Digits.data(), Digits.data() + Digits.size(), Value, 16);
    if (Result.ec != std::errc{} || Value > 0xFFFF) return std::nullopt;
    return static_cast<std::uint16_t>(Value);
}

struct TNamedKey {
    std::string_view Name;
    std::uint16_t Code;
};

constexpr TNamedKey NamedKeys[] = {
    {"SPACE", vk::VK_SPACE}, {"PRIOR", vk::VK_PRIOR}, {"NEXT", vk::VK_NEXT},
    {"END", vk::VK_END},     {"HOME", vk::VK_HOME},   {"LEFT", vk::VK_LEFT},
    {"UP", vk::VK_UP},       {"RIGHT", vk::VK_RIGHT}, {"DOWN", vk::VK_DOWN},
};

}  // namespace

const TValueSyntax ScriptValues = {
    .MinInteger = -MaxPlain,
    .MaxInteger = MaxPlain,
    .RangeFirst = false,
    .ExactNames = true,
    .BlanksInSets = false,
    .MaxHexDigits = 0,
    .QuotedStrings = false,
    .MaxFontSize = 1000,
    .HexColors = false,
    .SetSeparator = ",",
    .AppendString = AppendJsonString,
    .QuoteNames = true,
};

bool SameText(std::string_view A, std::string_view B) {
    return CompareText(A, B) == 0;
}

bool Tokenize(std::string_view Line, std::vector<std::string>& Tokens, std::string& Error) {
    Tokens.clear();
    if (Line.size() > MaxLineLength) {
        Error = "line too long (more than 4096 bytes)";
        return false;
    }
    if (Line.find('\0') != std::string_view::npos) {
        Error = "NUL byte in the line";
        return false;
    }
    std::size_t I = 0;
    const std::size_t N = Line.size();
    while (I < N && IsBlank(Line[I])) ++I;
    if (I == N || Line[I] == '#') return true;
    while (I < N) {
        std::string Token;
        if (Line[I] == '"') {
            ++I;
            bool Closed = false;
            while (I < N) {
                const char C = Line[I++];
                if (C == '"') {
                    Closed = true;
                    break;
                }
                if (C == '\\' && I < N && (Line[I] == '"' || Line[I] == '\\')) {
                    Token += Line[I++];
                    continue;
                }
                Token += C;
            }
            if (!Closed) {
                Error = "unterminated quoted token";
                return false;
            }
            if (I < N && !IsBlank(Line[I])) {
                Error = "a quoted token must be followed by a blank";
                return false;
            }
        } else {
            while (I < N && !IsBlank(Line[I])) {
                if (Line[I] == '"') {
                    Error = "a quote inside a token (quote the whole token)";
                    return false;
                }
                Token += Line[I++];
            }
        }
        Tokens.push_back(std::move(Token));
        while (I < N && IsBlank(Line[I])) ++I;
    }
    return true;
}

TNumber ParseInteger(std::string_view Text, long long Min, long long Max, long long& Value) {
    switch (ReadInteger(Text, Min, Max, ScriptValues.RangeFirst, Value)) {
        case TValueFault::None:
            return TNumber::Ok;
        case TValueFault::OutOfRange:
            return TNumber::OutOfRange;
        default:
            return TNumber::NotANumber;
    }
}

std::optional<std::uint16_t> ParseKey(std::string_view Text) {
    if (Text.size() == 1) {
        const char C = UpCase(Text[0]);
        if ((C >= 'A' && C <= 'Z') || IsDigit(C)) return static_cast<std::uint16_t>(C);
        return std::nullopt;
    }
    for (const TNamedKey& Key : NamedKeys)
        if (SameText(Text, Key.Name)) return Key.Code;
    if (Text.size() == 7 && SameText(Text.substr(0, 6), "NUMPAD") && IsDigit(Text[6]))
        return static_cast<std::uint16_t>(vk::VK_NUMPAD0 + (Text[6] - '0'));
    if (Text.size() > 2 && Text[0] == '0' && (Text[1] == 'x' || Text[1] == 'X'))
        return HexCode(Text.substr(2));
    return std::nullopt;
}

}  // namespace keymora::script
