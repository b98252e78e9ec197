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

#include <optional>
#include <string>
#include <string_view>

namespace keymora {

class TKeymora;

/// Why a text form was refused.
struct TTextFormError {
    /// 1-based number of the offending line.
    int Line = 0;
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
std::optional<TTextFormError> LoadTextForm(TKeymora& Control, std::string_view Text);

}  // namespace keymora
