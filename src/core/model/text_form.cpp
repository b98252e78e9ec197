// Writing and reading the text form of a control's published properties. Reading checks every
// line before it touches the control, so a refused form changes nothing.
#include "keymora/model/text_form.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "core/host/rtl.h"
#include "core/model/property_syntax.h"
#include "keymora/model/keymora.h"
#include "keymora/model/published.h"

namespace keymora {

namespace {


bool IsBlank(char C) {
    return C == ' ' || C == '\t';
}
bool IsIdentStart(char C) {
    return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || C == '_';
}
bool IsIdentChar(char C) {
    return IsIdentStart(C) || (C >= '0' && C <= '9');
}

std::string_view Trim(std::string_view S) {
    while (!S.empty() && IsBlank(S.front())) S.remove_prefix(1);
    while (!S.empty() && IsBlank(S.back())) S.remove_suffix(1);
    return S;
}

// Names and values quoted in a message: a short prefix of a long one is enough to find it.
constexpr std::size_t QuotedBytes = 40;

std::string Prefix(std::string_view S) {
    if (S.size() <= QuotedBytes) return std::string(S);
    return std::string(S.substr(0, QuotedBytes)) + "...";
}

std::string Quoted(std::string_view S) {
    return "\"" + Prefix(S) + "\"";
}

// Why a value of Kind was refused, in the form's words.
std::string FaultMessage(TPropKind Kind, std::span<const std::string_view> Names,
                         const TValueError& Error) {
    using F = TValueFault;
    switch (Error.Fault) {
        case F::NotANumber:
        case F::OutOfRange:
            if (Kind == TPropKind::Color) return "expected a colour such as $00FFFFFF";
            return Error.Fault == F::NotANumber ? "expected an integer"
                                                : "the integer is out of range";
        case F::HexDigitCount:
            return "expected a colour of 1 to " +
                   std::string(IntToStr(TextFormValues.MaxHexDigits).View()) + " hexadecimal digits";
        case F::NotABoolean:
            return "expected true or false";
        case F::UnknownName: {
            std::string Message = "expected one of";
            for (std::string_view N : Names) {
                Message += ' ';
                Message += N;
            }
            return Message;
        }
        case F::NotASet:
            return "expected a bracketed list such as [" + std::string(Names[0]) + "]";
        case F::UnknownElement:
            if (Error.Item.empty()) return "empty element in the list";
            return "unknown element " + Prefix(Error.Item);
        case F::TrailingComma:
            return "empty element in the list";
        case F::NotQuoted:
            return "expected a double-quoted string";
        case F::Unclosed:
            return "the string has no closing quote";
        case F::BadHexEscape:
            return "\\x must be followed by two hexadecimal digits";
        case F::UnknownEscape:
            return "unknown escape \\" + Prefix(Error.Item);
        case F::TextAfterString:
            return "unexpected text after the closing quote";
        case F::None:
        case F::NoFontName:
        case F::FontByParts:
            break;
    }
    return "a font is given by its parts, Font.Name, Font.Size, Font.Color, Font.Style and "
           "Font.Charset";
}

std::string Int64ToStr(std::int64_t V) { return std::to_string(V); }

// Whether the control holds the value a form gave.
bool Holds(const TPropInfo& Info, const TPropValue& Now, const TPropValue& Given) {
    switch (Info.Kind) {
        case TPropKind::Font:
            return true;  // given by its parts, each of which any font takes
        case TPropKind::String:
            return CompareText(Now.Str, Given.Str) == 0;
        default:
            return Now.Int == Given.Int;
    }
}

}  // namespace

std::string TTextFormError::What() const {
    return "line " + Int64ToStr(Line) + ": " + Message;
}

std::string SaveTextForm(const TKeymora& Control) {
    std::string Out;
    for (const TPropInfo& Info : PublishedProperties()) {
        if (!IsPropertyStored(Control, Info)) continue;
        const TPropValue V = GetPropertyValue(Control, Info);
        if (Info.Kind != TPropKind::Font) {
            Out += Info.Name;
            Out += " = ";
            // An ordinal without a name comes out as its number: unreadable on purpose.
            FormatPropertyValue(Info, V, TextFormValues, Out);
            Out += '\n';
            continue;
        }
        for (const TFontPart& Part : FontParts()) {
            Out += Info.Name;
            Out += '.';
            Out += Part.Name;
            Out += " = ";
            FormatValue(Part.Kind, Part.Names, Part.Get(V.Font), TextFormValues, Out);
            Out += '\n';
        }
    }
    return Out;
}

std::optional<TTextFormError> LoadTextForm(TKeymora& Control, std::string_view Text) {
    std::vector<TTextFormError> Refused;
    return LoadTextForm(Control, Text, Refused);
}

std::optional<TTextFormError> LoadTextForm(TKeymora& Control, std::string_view Text,
                                           std::vector<TTextFormError>& Refused) {
    Refused.clear();
    const std::span<const TPropInfo> Props = PublishedProperties();
    // Everything parsed goes here first; the control is touched only once all lines are good.
    std::vector<std::optional<TPropValue>> Values(Props.size());
    std::vector<std::int64_t> SeenOn(Props.size(), 0);
    const std::span<const TFontPart> FontPartList = FontParts();
    std::vector<std::int64_t> FontSeenOn(FontPartList.size(), 0);
    TFont Font = Control.Font();
    std::size_t FontIndex = Props.size();

    std::int64_t LineNo = 0;
    for (std::size_t Pos = 0; Pos < Text.size();) {
        const std::size_t End = std::min(Text.find('\n', Pos), Text.size());
        std::string_view Line = Text.substr(Pos, End - Pos);
        Pos = End + 1;
        ++LineNo;
        auto Fail = [&](std::string Message) {
            return std::optional<TTextFormError>(TTextFormError{LineNo, std::move(Message)});
        };
        if (Line.size() > MaxTextFormLine)
            return Fail("the line is longer than " + Int64ToStr(MaxTextFormLine) + " bytes");
        if (!Line.empty() && Line.back() == '\r') Line.remove_suffix(1);
        Line = Trim(Line);
        if (Line.empty() || Line.front() == '#') continue;

        // Name, optionally Name.Part.
        std::size_t I = 0;
        if (!IsIdentStart(Line[0])) return Fail("expected a property name");
        while (I < Line.size() && IsIdentChar(Line[I])) ++I;
        const std::string_view Name = Line.substr(0, I);
        std::string_view Part;
        if (I < Line.size() && Line[I] == '.') {
            const std::size_t Start = ++I;
            if (I >= Line.size() || !IsIdentStart(Line[I]))
                return Fail("expected a part name after " + Quoted(Name) + ".");
            while (I < Line.size() && IsIdentChar(Line[I])) ++I;
            Part = Line.substr(Start, I - Start);
        }
        const std::string_view FullName = Line.substr(0, I);
        std::string_view Rest = Trim(Line.substr(I));
        if (Rest.empty() || Rest.front() != '=')
            return Fail("expected '=' after " + Quoted(FullName));
        const std::string_view Value = Trim(Rest.substr(1));
        if (Value.empty()) return Fail("no value given for " + Quoted(FullName));

        const TPropInfo* Info = FindProperty(Name);
        if (!Info) return Fail("unknown property " + Quoted(FullName));
        const auto Index = static_cast<std::size_t>(Info - Props.data());

        if (!Part.empty() || Info->Kind == TPropKind::Font) {
            if (Info->Kind != TPropKind::Font || Part.empty()) {
                if (Part.empty())
                    return Fail(Quoted(FullName) + " is given by its parts, such as " +
                                std::string(Info->Name) + ".Name");
                return Fail("unknown property " + Quoted(FullName));
            }
            std::size_t P = 0;
            while (P < FontPartList.size() && CompareText(Part, FontPartList[P].Name) != 0) ++P;
            if (P == FontPartList.size()) return Fail("unknown property " + Quoted(FullName));
            if (FontSeenOn[P])
                return Fail(Quoted(FullName) + " is given twice (first on line " +
                            Int64ToStr(FontSeenOn[P]) + ")");
            const TFontPart& FontPart = FontPartList[P];
            if (const TValueError Error = ParseFontPart(FontPart, Value, TextFormValues, Font))
                return Fail("bad value for " + Quoted(FullName) + ": " +
                            FaultMessage(FontPart.Kind, FontPart.Names, Error));
            FontSeenOn[P] = LineNo;
            FontIndex = Index;
        } else {
            if (SeenOn[Index])
                return Fail(Quoted(Info->Name) + " is given twice (first on line " +
                            Int64ToStr(SeenOn[Index]) + ")");
            TPropValue V;
            if (const TValueError Error = ParsePropertyValue(*Info, Value, TextFormValues, V))
                return Fail("bad value for " + Quoted(Info->Name) + ": " +
                            FaultMessage(Info->Kind, Info->Names, Error));
            SeenOn[Index] = LineNo;
            Values[Index] = std::move(V);
        }
    }

    if (FontIndex < Props.size()) {
        TPropValue V;
        V.Font = Font;
        Values[FontIndex] = std::move(V);
    }
    Control.BeginLoading();
    for (std::size_t I = 0; I < Props.size(); ++I)
        if (Values[I]) SetPropertyValue(Control, Props[I], *Values[I]);
    Control.Loaded();
    for (std::size_t I = 0; I < Props.size(); ++I) {
        if (!Values[I] || !SeenOn[I]) continue;
        const TPropValue Now = GetPropertyValue(Control, Props[I]);
        if (Holds(Props[I], Now, *Values[I])) continue;
        std::string Message = std::string(Props[I].Name) + " refused the value given; it stays ";
        FormatPropertyValue(Props[I], Now, TextFormValues, Message);
        Refused.push_back({SeenOn[I], std::move(Message)});
    }
    return std::nullopt;
}

}  // namespace keymora
