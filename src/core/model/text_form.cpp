// Writing and reading the text form of a control's published properties. Reading checks every
// line before it touches the control, so a refused form changes nothing.
#include "keymora/model/text_form.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <vector>

#include "core/host/rtl.h"
#include "keymora/model/keymora.h"
#include "keymora/model/published.h"

namespace keymora {

namespace {

constexpr std::string_view FontStyleNames[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};

// The parts of the font, in the order they are written.
enum class TFontPart : std::uint8_t { Name, Size, Color, Style, Charset, Count };
constexpr std::array<std::string_view, 5> FontPartNames = {"Name", "Size", "Color", "Style",
                                                           "Charset"};
constexpr std::size_t FontPartCount = static_cast<std::size_t>(TFontPart::Count);

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

int HexDigit(char C) {
    if (C >= '0' && C <= '9') return C - '0';
    if (C >= 'A' && C <= 'F') return C - 'A' + 10;
    if (C >= 'a' && C <= 'f') return C - 'a' + 10;
    return -1;
}

std::string Quote(std::string_view S) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string R = "\"";
    for (char C : S) {
        const auto U = static_cast<unsigned char>(C);
        if (C == '"' || C == '\\') {
            R += '\\';
            R += C;
        } else if (U < 0x20 || U == 0x7F) {
            // Control characters would break the line structure or vanish in an editor.
            R += "\\x";
            R += Hex[U >> 4];
            R += Hex[U & 0xF];
        } else {
            R += C;
        }
    }
    R += '"';
    return R;
}

std::string ColorText(long long V) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    const auto U = static_cast<std::uint32_t>(V);
    std::string R = "$";
    for (int Shift = 28; Shift >= 0; Shift -= 4) R += Hex[(U >> Shift) & 0xF];
    return R;
}

std::string SetText(long long Bits, std::span<const std::string_view> Names) {
    std::string R = "[";
    bool First = true;
    for (std::size_t I = 0; I < Names.size(); ++I) {
        if (!((Bits >> I) & 1)) continue;
        if (!First) R += ", ";
        R += Names[I];
        First = false;
    }
    R += ']';
    return R;
}

// ---- Value parsers: each returns an error text, empty on success ----

std::string ParseInteger(std::string_view S, long long Min, long long Max, long long& Out) {
    std::size_t I = 0;
    const bool Negative = !S.empty() && S[0] == '-';
    if (Negative) I = 1;
    if (I == S.size()) return "expected an integer";
    long long V = 0;
    for (; I < S.size(); ++I) {
        if (S[I] < '0' || S[I] > '9') return "expected an integer";
        V = V * 10 + (S[I] - '0');
        if (V > Max + 1) return "the integer is out of range";  // stops growth long before overflow
    }
    if (Negative) V = -V;
    if (V < Min || V > Max) return "the integer is out of range";
    Out = V;
    return {};
}

std::string ParseBoolean(std::string_view S, long long& Out) {
    if (CompareText(S, "true") == 0) {
        Out = 1;
        return {};
    }
    if (CompareText(S, "false") == 0) {
        Out = 0;
        return {};
    }
    return "expected true or false";
}

std::string ParseName(std::string_view S, std::span<const std::string_view> Names, long long& Out) {
    for (std::size_t I = 0; I < Names.size(); ++I) {
        if (CompareText(S, Names[I]) == 0) {
            Out = static_cast<long long>(I);
            return {};
        }
    }
    std::string Message = "expected one of";
    for (std::string_view N : Names) {
        Message += ' ';
        Message += N;
    }
    return Message;
}

std::string ParseSet(std::string_view S, std::span<const std::string_view> Names, long long& Out) {
    if (S.size() < 2 || S.front() != '[' || S.back() != ']')
        return "expected a bracketed list such as [" + std::string(Names[0]) + "]";
    std::string_view Body = Trim(S.substr(1, S.size() - 2));
    long long Bits = 0;
    while (!Body.empty()) {
        const std::size_t Comma = Body.find(',');
        const std::string_view Item = Trim(Body.substr(0, Comma));
        if (Item.empty()) return "empty element in the list";
        long long Index = 0;
        if (ParseName(Item, Names, Index).empty()) {
            Bits |= 1LL << Index;
        } else {
            return "unknown element " + std::string(Item);
        }
        if (Comma == std::string_view::npos) break;
        Body = Body.substr(Comma + 1);
        if (Trim(Body).empty()) return "empty element in the list";
    }
    Out = Bits;
    return {};
}

std::string ParseColor(std::string_view S, long long& Out) {
    if (!S.empty() && S[0] == '$') {
        if (S.size() < 2 || S.size() > 9) return "expected a colour of 1 to 8 hexadecimal digits";
        long long V = 0;
        for (std::size_t I = 1; I < S.size(); ++I) {
            const int D = HexDigit(S[I]);
            if (D < 0) return "expected a colour such as $00FFFFFF";
            V = V * 16 + D;
        }
        Out = V;
        return {};
    }
    if (!ParseInteger(S, 0, 0xFFFFFFFFLL, Out).empty())
        return "expected a colour such as $00FFFFFF";
    return {};
}

std::string ParseString(std::string_view S, std::string& Out) {
    if (S.size() < 2 || S.front() != '"') return "expected a double-quoted string";
    std::string R;
    std::size_t I = 1;
    for (;;) {
        if (I >= S.size()) return "the string has no closing quote";
        const char C = S[I++];
        if (C == '"') break;
        if (C != '\\') {
            R += C;
            continue;
        }
        if (I >= S.size()) return "the string has no closing quote";
        const char E = S[I++];
        if (E == '"' || E == '\\') {
            R += E;
        } else if (E == 'x') {
            const int Hi = I < S.size() ? HexDigit(S[I]) : -1;
            const int Lo = I + 1 < S.size() ? HexDigit(S[I + 1]) : -1;
            if (Hi < 0 || Lo < 0) return "\\x must be followed by two hexadecimal digits";
            R += static_cast<char>(Hi * 16 + Lo);
            I += 2;
        } else {
            return std::string("unknown escape \\") + E;
        }
    }
    if (I != S.size()) return "unexpected text after the closing quote";
    Out = std::move(R);
    return {};
}

std::string ParseValue(TPropKind Kind, std::span<const std::string_view> Names, std::string_view S,
                       TPropValue& Out) {
    switch (Kind) {
        case TPropKind::Integer:
            return ParseInteger(S, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(),
                                Out.Int);
        case TPropKind::Boolean:
            return ParseBoolean(S, Out.Int);
        case TPropKind::Enumeration:
            return ParseName(S, Names, Out.Int);
        case TPropKind::Set:
            return ParseSet(S, Names, Out.Int);
        case TPropKind::String:
            return ParseString(S, Out.Str);
        case TPropKind::Color:
            return ParseColor(S, Out.Int);
        case TPropKind::Font:
            break;
    }
    return "a font is given by its parts, Font.Name, Font.Size, Font.Color, Font.Style and "
           "Font.Charset";
}

std::string ParseFontPart(TFontPart Part, std::string_view S, TFont& Font) {
    long long V = 0;
    std::string Error;
    switch (Part) {
        case TFontPart::Name:
            return ParseString(S, Font.Name);
        case TFontPart::Size:
            Error = ParseInteger(S, std::numeric_limits<int>::min(),
                                 std::numeric_limits<int>::max(), V);
            if (Error.empty()) Font.Size = static_cast<int>(V);
            return Error;
        case TFontPart::Color:
            Error = ParseColor(S, V);
            if (Error.empty()) Font.Color = static_cast<TColor>(V);
            return Error;
        case TFontPart::Style:
            Error = ParseSet(S, FontStyleNames, V);
            if (Error.empty()) Font.Style = TFontStyles::FromBits(static_cast<std::uint8_t>(V));
            return Error;
        case TFontPart::Charset:
            Error = ParseInteger(S, 0, 255, V);
            if (Error.empty()) Font.Charset = static_cast<std::uint8_t>(V);
            return Error;
        case TFontPart::Count:
            break;
    }
    return "unknown font part";
}

std::string Quoted(std::string_view S) {
    return "\"" + std::string(S) + "\"";
}

}  // namespace

std::string TTextFormError::What() const {
    return "line " + std::string(IntToStr(Line).View()) + ": " + Message;
}

std::string SaveTextForm(const TKeymora& Control) {
    std::string Out;
    for (const TPropInfo& Info : PublishedProperties()) {
        if (!IsPropertyStored(Control, Info)) continue;
        const TPropValue V = GetPropertyValue(Control, Info);
        const std::string Name(Info.Name);
        switch (Info.Kind) {
            case TPropKind::Integer:
                Out += Name + " = " + std::string(IntToStr(V.Int).View()) + "\n";
                break;
            case TPropKind::Boolean:
                Out += Name + (V.Int ? " = true\n" : " = false\n");
                break;
            case TPropKind::Enumeration:
                Out += Name + " = ";
                if (V.Int >= 0 && V.Int < static_cast<long long>(Info.Names.size()))
                    Out += Info.Names[static_cast<std::size_t>(V.Int)];
                else
                    Out += IntToStr(V.Int).View();  // unreadable on purpose: a broken value
                Out += '\n';
                break;
            case TPropKind::Set:
                Out += Name + " = " + SetText(V.Int, Info.Names) + "\n";
                break;
            case TPropKind::String:
                Out += Name + " = " + Quote(V.Str) + "\n";
                break;
            case TPropKind::Color:
                Out += Name + " = " + ColorText(V.Int) + "\n";
                break;
            case TPropKind::Font:
                Out += Name + ".Name = " + Quote(V.Font.Name) + "\n";
                Out += Name + ".Size = " + std::string(IntToStr(V.Font.Size).View()) + "\n";
                Out += Name + ".Color = " + ColorText(V.Font.Color) + "\n";
                Out += Name + ".Style = " + SetText(V.Font.Style.Bits(), FontStyleNames) + "\n";
                Out += Name + ".Charset = " + std::string(IntToStr(V.Font.Charset).View()) + "\n";
                break;
        }
    }
    return Out;
}

std::optional<TTextFormError> LoadTextForm(TKeymora& Control, std::string_view Text) {
    const std::span<const TPropInfo> Props = PublishedProperties();
    // Everything parsed goes here first; the control is touched only once all lines are good.
    std::vector<std::optional<TPropValue>> Values(Props.size());
    std::vector<int> SeenOn(Props.size(), 0);
    std::array<int, FontPartCount> FontSeenOn{};
    TFont Font = Control.Font();
    std::size_t FontIndex = Props.size();

    int LineNo = 0;
    for (std::size_t Pos = 0; Pos < Text.size();) {
        const std::size_t End = std::min(Text.find('\n', Pos), Text.size());
        std::string_view Line = Text.substr(Pos, End - Pos);
        Pos = End + 1;
        ++LineNo;
        if (!Line.empty() && Line.back() == '\r') Line.remove_suffix(1);
        Line = Trim(Line);
        if (Line.empty() || Line.front() == '#') continue;
        auto Fail = [&](std::string Message) {
            return std::optional<TTextFormError>(TTextFormError{LineNo, std::move(Message)});
        };

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
            while (P < FontPartCount && CompareText(Part, FontPartNames[P]) != 0) ++P;
            if (P == FontPartCount) return Fail("unknown property " + Quoted(FullName));
            if (FontSeenOn[P])
                return Fail(Quoted(FullName) + " is given twice (first on line " +
                            std::string(IntToStr(FontSeenOn[P]).View()) + ")");
            const std::string Error = ParseFontPart(static_cast<TFontPart>(P), Value, Font);
            if (!Error.empty()) return Fail("bad value for " + Quoted(FullName) + ": " + Error);
            FontSeenOn[P] = LineNo;
            FontIndex = Index;
        } else {
            if (SeenOn[Index])
                return Fail(Quoted(Info->Name) + " is given twice (first on line " +
                            std::string(IntToStr(SeenOn[Index]).View()) + ")");
            TPropValue V;
            const std::string Error = ParseValue(Info->Kind, Info->Names, Value, V);
            if (!Error.empty()) return Fail("bad value for " + Quoted(Info->Name) + ": " + Error);
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
    return std::nullopt;
}

}  // namespace keymora
