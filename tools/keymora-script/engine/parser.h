// The lexical side of keymora-script: splitting a line into tokens, reading the numbers, key
// names and modifier words that commands take, and the tool's choices in the core's value syntax
// for set and get. Nothing here touches a control.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace keymora {
// core/model/property_syntax.h, which only the tool's own sources reach.
struct TValueSyntax;
}  // namespace keymora

namespace keymora::script {

/// Longest line accepted, in bytes (without its line end).
constexpr std::size_t MaxLineLength = 4096;

/// Bound of plain integers (property values, bounds, pointer coordinates). It keeps every
/// coordinate computation of the control far from 32-bit overflow: key widths stay below 2^18,
/// so products with key indices, rows and octave offsets stay below 2^31.
constexpr long long MaxPlain = 1000000;

/// Splits Line into Tokens (cleared first). Blanks are spaces, tabs, carriage returns, vertical
/// tabs and form feeds. A blank line or one whose first non-blank character is '#' yields no
/// tokens. A token that starts with '"' runs to the next unescaped '"' and may hold blanks;
/// inside it \" stands for a quote and \\ for a backslash, any other backslash is kept as it
/// is. Returns false with Error set for a line longer than MaxLineLength, a NUL byte, an
/// unterminated quoted token, a quoted token not followed by a blank, or a quote inside an
/// unquoted token.
bool Tokenize(std::string_view Line, std::vector<std::string>& Tokens, std::string& Error);

/// Result of reading a number.
enum class TNumber : std::uint8_t { Ok, NotANumber, OutOfRange };

/// A decimal integer with an optional leading '-', within [Min, Max].
TNumber ParseInteger(std::string_view Text, long long Min, long long Max, long long& Value);

/// How set reads and get writes property values: plain integers within +-MaxPlain,
/// colours as decimal or '$' and any number of hexadecimal digits within 0..$FFFFFFFF, written
/// in decimal; names in their declared letter case, sets without blanks ([a,b], []); a string is
/// the token itself, written as a JSON string; a font as NAME or NAME,SIZE with SIZE within
/// -1000..1000.
extern const TValueSyntax ScriptValues;

/// A key: a letter A-Z (either case), a digit 0-9, SPACE PRIOR NEXT END HOME LEFT UP RIGHT DOWN,
/// NUMPAD0-NUMPAD9 (names in any case), or a hexadecimal virtual-key code "0x.." up to 0xFFFF.
std::optional<std::uint16_t> ParseKey(std::string_view Text);

/// Compares two words without regard to ASCII letter case.
bool SameText(std::string_view A, std::string_view B);

}  // namespace keymora::script
