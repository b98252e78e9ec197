/// \file
/// The text form of a control's settings: its published properties as "Name = Value" lines, for
/// applications that keep the settings themselves (a file, a database field) instead of in a
/// designer form.
///
/// One property a line, in declaration order. Blank lines and lines whose first non-blank
/// character is '#' are ignored. Names are matched without regard to letter case. Values:
/// \verbatim
///   Integer      decimal, optional '-'                     SettingWidth = 30
///   Boolean      true or false                             MouseTrack = true
///   Enumeration  a value name                              Orientation = koVertical
///   Set          bracketed, comma-separated names          Style = [msShowMarks, msScrollOctave]
///   Colour       $ and hexadecimal ($00BBGGRR) or decimal  Color = $00FFFFFF
///   String       double-quoted; \" \\ and \xHH escapes     Keys = "CDEFGAB"
/// \endverbatim
/// The font is written as five entries, Font.Name (string), Font.Size (integer), Font.Color
/// (colour), Font.Style (set of fsBold, fsItalic, fsUnderline, fsStrikeOut) and Font.Charset
/// (0..255); a form may give any of them, the others keep their values.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace keymora {

class TKeymora;

/// Why a text form was refused.
struct TTextFormError {
    /// 1-based number of the offending line.
    std::int64_t Line = 0;
    /// What is wrong with it.
    std::string Message;
    /// "line N: Message".
    std::string What() const;
};

/// The control's published properties in declaration order, leaving out those equal to their
/// stored default; one line each, every line ending in '\n'.
std::string SaveTextForm(const TKeymora& Control);

/// Reads a text form into the control. The whole text is checked first: on the first malformed
/// line, unknown name or property given twice, the error is returned and the control is left
/// exactly as it was. Otherwise the control enters loading, the properties given are assigned
/// through their setters in declaration order (each setter keeps its own range rules), and
/// Loaded ends the loading and computes the layout.
///
/// A line longer than MaxTextFormLine bytes is refused; messages quote at most the first 40
/// bytes of a name or value.
std::optional<TTextFormError> LoadTextForm(TKeymora& Control, std::string_view Text);

/// LoadTextForm, and, when the form loads, one entry in Refused for each value the control did
/// not take (its setter refused it, also against the final values of the others): the line
/// that gave it and what the property holds instead.
std::optional<TTextFormError> LoadTextForm(TKeymora& Control, std::string_view Text,
                                           std::vector<TTextFormError>& Refused);

/// The longest line a text form may hold, in bytes.
inline constexpr std::size_t MaxTextFormLine = 64 * 1024;

}  // namespace keymora
