// Values for generated lines, drawn from tables of what matters for each: the edges of each
// setter's range, the tool's own limits, and ordinary values in between.
#include "values.h"

#include <array>
#include <cctype>
#include <vector>

#include "keymora/model/keymora.h"
#include "keymora/model/published.h"

namespace keymora::sessiongen {

namespace {

std::string Num(long long V) {
    return std::to_string(V);
}

// Values at the limits of what the tool reads as a plain integer, and at int16 edges.
long long Extreme(TRandom& R) {
    static constexpr std::array<long long, 12> Values = {
        -1000000, -999999, -65536, -32769, -32768, -1, 0, 1, 32767, 32768, 999999, 1000000};
    return R.Pick(Values);
}

// A value around the range [Low, High]: both ends, one past each, or inside.
long long AroundRange(TRandom& R, long long Low, long long High) {
    switch (R.Below(4)) {
        case 0:
            return R.OneIn(2) ? Low : High;
        case 1:
            return R.OneIn(2) ? Low - 1 : High + 1;
        default:
            return R.Between(Low, High);
    }
}

long long IntegerValue(TRandom& R, std::string_view Name, const TKeymora& C) {
    if (R.OneIn(12)) return Extreme(R);
    if (Name == "SettingWidth") {
        static constexpr std::array<long long, 4> Wide = {1000, 4096, 32767, 32768};
        static constexpr std::array<long long, 6> Edges = {9, 10, 11, 20, 30, 31};
        if (R.OneIn(20)) return R.Pick(Wide);
        return R.OneIn(2) ? R.Pick(Edges) : R.Between(10, 120);
    }
    if (Name == "DurationWidth") return R.Between(-2, 40);
    if (Name == "DurationPosition") return AroundRange(R, 0, C.MaxDuration() - 1);
    if (Name == "Octave") return AroundRange(R, 1, 9);
    if (Name == "OffsetOctave") return AroundRange(R, 0, C.MaxOffsetOttave());
    if (Name == "MaxOffsetDuration") return AroundRange(R, 1, C.MaxDuration() - 1);
    if (Name == "MaxOffsetOttave") return AroundRange(R, 1, 8);
    if (Name == "MaxDuration") return AroundRange(R, 2, 8);
    if (Name == "OffsetDuration") return AroundRange(R, 0, C.MaxOffsetDuration());
    // BevelWidth, BorderWidth and any integer added later.
    return R.Between(-2, 12);
}

std::string BooleanValue(TRandom& R) {
    static constexpr std::array<std::string_view, 6> Values = {"true",  "false", "true",
                                                               "false", "TRUE",  "False"};
    return std::string(R.Pick(Values));
}

std::string SetValue(TRandom& R, std::span<const std::string_view> Names) {
    // Elements in a random order, now and then one twice.
    std::vector<std::string_view> Items;
    for (std::string_view N : Names)
        if (R.OneIn(2)) Items.push_back(N);
    if (!Items.empty() && R.OneIn(10)) Items.push_back(Items.front());
    for (std::size_t I = Items.size(); I > 1; --I)
        std::swap(Items[I - 1], Items[static_cast<std::size_t>(R.Below(I))]);
    std::string V = "[";
    for (std::size_t I = 0; I < Items.size(); ++I) {
        if (I) V += ',';
        V += Items[I];
    }
    return V + "]";
}

std::string ColorValue(TRandom& R) {
    static constexpr std::array<std::string_view, 12> Named = {
        "$FFFFFF",   "$000000", "0",       "$FFFFFFFF", "4294967295", "$80000005",
        "$1FFFFFFF", "$00FF00", "$0000ff", "16777215",  "$7FFFFFFF",  "$C0C0C0"};
    switch (R.Below(3)) {
        case 0:
            return std::string(R.Pick(Named));
        case 1:
            return Num(R.Between(0, 0xFFFFFF));
        default: {
            static constexpr char Hex[] = "0123456789ABCDEF";
            std::string V = "$";
            const auto Digits = R.OneIn(8) ? 8 : 6;
            for (int I = 0; I < Digits; ++I) V += Hex[R.Below(16)];
            return V;
        }
    }
}

std::string KeysValue(TRandom& R) {
    static constexpr std::array<std::string_view, 14> Named = {
        "CDEFGAB",    "cdefgab",
        "QWERTYU",    "ZXCVBNM",
        "ASDFGHJ",    "",
        "A",          "QW",
        "QWERTYUIOP", "1234567",
        "Q W E R",    ",./;'[]",
        "\"Q\"\\",    "\xC3\x84\xC3\x96\xC3\x9C"};
    if (!R.OneIn(3)) return Token(R, R.Pick(Named));
    static constexpr std::string_view Pool =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 ,.;:-+*/#\"\\";
    std::string Text;
    const auto Length = R.Below(13);
    for (std::uint64_t I = 0; I < Length; ++I) Text += Pool[R.Below(Pool.size())];
    return Token(R, Text);
}

std::string FontValue(TRandom& R) {
    static constexpr std::array<std::string_view, 8> Names = {
        "Arial",       "Tahoma",   "DejaVu Sans", "MS Sans Serif",
        "Courier New", "Segoe UI", "NoSuchFont",  "Liberation Serif"};
    static constexpr std::array<long long, 11> Sizes = {8, 9, 10, 12, 14, 0, -1, -11, 1, 72, 200};
    std::string V(R.Pick(Names));
    switch (R.Below(5)) {
        case 0:
            break;
        case 1:
            V += "," + Num(R.OneIn(10) ? (R.OneIn(2) ? -1000 : 1000) : R.Between(-20, 40));
            break;
        default:
            V += "," + Num(R.Pick(Sizes));
            break;
    }
    return Token(R, V);
}

// How often each property is set: the control's own more often than the inherited ones, and
// those that change the layout or the input most of all.
int PropertyWeight(const TPropInfo& Info) {
    static constexpr struct {
        std::string_view Name;
        int Weight;
    } Weights[] = {{"Style", 8},  {"Orientation", 5}, {"MouseTrack", 6}, {"Keys", 5},
                   {"Octave", 5}, {"CtrlMove", 4},    {"Font", 2},       {"Color", 2}};
    for (const auto& W : Weights)
        if (W.Name == Info.Name) return W.Weight;
    return Info.Inherited ? 1 : 3;
}

}  // namespace

std::string Token(TRandom& R, std::string_view Text) {
    bool MustQuote = Text.empty();
    for (char C : Text) MustQuote = MustQuote || C == ' ' || C == '"' || C == '\t';
    if (!MustQuote && !R.OneIn(10)) return std::string(Text);
    std::string Q = "\"";
    for (char C : Text) {
        if (C == '"' || C == '\\') Q += '\\';
        Q += C;
    }
    return Q + "\"";
}

std::string AnyCase(TRandom& R, std::string_view Name) {
    std::string S(Name);
    switch (R.Below(20)) {
        case 0:
            for (char& C : S) C = static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
            break;
        case 1:
            for (char& C : S) C = static_cast<char>(std::toupper(static_cast<unsigned char>(C)));
            break;
        default:
            break;
    }
    return S;
}

std::string SetLine(TRandom& R, const TKeymora& C) {
    const std::span<const TPropInfo> Props = PublishedProperties();
    std::vector<int> Weights;
    Weights.reserve(Props.size());
    for (const TPropInfo& Info : Props) Weights.push_back(PropertyWeight(Info));
    const TPropInfo& Info = Props[R.Weighted(Weights)];
    std::string Value;
    switch (Info.Kind) {
        case TPropKind::Integer:
            Value = Num(IntegerValue(R, Info.Name, C));
            break;
        case TPropKind::Boolean:
            Value = BooleanValue(R);
            break;
        case TPropKind::Enumeration:
            Value = std::string(R.Pick(Info.Names));
            break;
        case TPropKind::Set:
            Value = SetValue(R, Info.Names);
            break;
        case TPropKind::String:
            Value = KeysValue(R);
            break;
        case TPropKind::Color:
            Value = ColorValue(R);
            break;
        case TPropKind::Font:
            Value = FontValue(R);
            break;
    }
    return "set " + AnyCase(R, Info.Name) + " " + Value;
}

std::string GetLine(TRandom& R) {
    static constexpr std::array<std::string_view, 23> Fields = {"RealWidth",
                                                                "VisibleKeyCount",
                                                                "KeyWidth",
                                                                "ScrollButtonWidth",
                                                                "KeyStates",
                                                                "ToneStates",
                                                                "OctaveColors",
                                                                "OctaveDownPressed",
                                                                "DurationUpPressed",
                                                                "OctaveUpPressed",
                                                                "DurationDownPressed",
                                                                "MoreOctavesPressed",
                                                                "FewerOctavesPressed",
                                                                "MoreDurationsPressed",
                                                                "FewerDurationsPressed",
                                                                "Hint",
                                                                "Cursor",
                                                                "Focused",
                                                                "Width",
                                                                "Height",
                                                                "ClientWidth",
                                                                "ClientHeight",
                                                                "HandleAllocated"};
    if (R.OneIn(2)) return "get " + AnyCase(R, R.Pick(Fields));
    return "get " + AnyCase(R, R.Pick(PublishedProperties()).Name);
}

std::string CallLine(TRandom& R) {
    // A key index: mostly around the keyboard's 52 white keys, now and then at the tool's limits.
    const auto KeyIndex = [&R] {
        static constexpr std::array<long long, 6> Edges = {-1000, -1, 51, 52, 53, 1000};
        return Num(R.OneIn(4) ? R.Pick(Edges) : R.Between(-2, 53));
    };
    // A byte argument: small values mostly, 255 and random bytes now and then.
    const auto Byte = [&R](long long Low, long long High) {
        if (R.OneIn(12)) return Num(R.OneIn(2) ? 255 : R.Between(0, 255));
        return Num(R.Between(Low, High));
    };
    // Each draw in a statement of its own: the order of operands is unspecified.
    const auto Note = [&] {
        std::string Args = Byte(0, 10);
        Args += " " + Byte(0, 7);
        return Args + " " + Byte(0, 2);
    };
    switch (R.Below(11)) {
        case 0:
            return "call CalculateWidth";
        case 1:
            return "call GetRealWidth";
        case 2:
            return "call GetOffsetOctave";
        case 3:
            return "call " + AnyCase(R, "GetKeyRect") + " " + KeyIndex();
        case 4:
            return "call GetToneRect " + KeyIndex();
        case 5:
            return "call InvalidateOctave";
        case 6:
            return "call InvalidateSetting";
        case 7: {
            const std::string Args = Note();
            return "call GetPoint " + Args + " " + Byte(0, 9);
        }
        case 8:
            return "call SelectNote " + Note();
        case 9:
            return "call ReleaseNote " + Note();
        default:
            return "call ReleaseSelected";
    }
}

std::string BoundsLine(TRandom& R, bool Horizontal, bool Paintable) {
    long long L = 0, T = 0, W = 0, H = 0;
    // Long along the keys, short across them.
    const auto Typical = [&](bool AlongX) {
        const long long Along = R.OneIn(4) ? R.Between(60, 300) : R.Between(300, 2000);
        const long long Across = R.Between(20, 260);
        W = AlongX ? Along : Across;
        H = AlongX ? Across : Along;
    };
    static constexpr std::array<int, 9> Shapes = {
        400,  // typical of the orientation
        150,  // typical of the other one
        80,   // tiny, 0..40 each way
        170,  // medium, square-ish
        50,   // a sliver: one way tiny, the other long
        40,   // sizes at the painter's and the keyboard's edges
        12,   // a large square
        50,   // no area: zero or negative
        38,   // beyond what can be painted
    };
    std::size_t Shape = R.Weighted(Shapes);
    if (Paintable && Shape != 1 && Shape != 3 && Shape != 6) Shape = 0;
    switch (Shape) {
        case 0:
            Typical(Horizontal);
            break;
        case 1:
            Typical(!Horizontal);
            break;
        case 2:
            W = R.Between(0, 40);
            H = R.Between(0, 40);
            break;
        case 3:
            W = R.Between(60, 700);
            H = R.Between(60, 700);
            break;
        case 4:
            W = R.Between(1, 40);
            H = R.Between(200, 2000);
            if (R.OneIn(2)) std::swap(W, H);
            break;
        case 5: {
            static constexpr std::array<long long, 8> Sides = {1,   2,     52,    53,
                                                               105, 16383, 16384, 16385};
            W = R.Pick(Sides);
            H = R.Between(1, 64);
            if (R.OneIn(2)) std::swap(W, H);
            break;
        }
        case 6:
            W = R.Between(1500, 2000);
            H = R.Between(1500, 2000);
            break;
        case 7:
            W = R.Between(-40, 0);
            H = R.Between(-40, 120);
            if (R.OneIn(2)) std::swap(W, H);
            break;
        default:
            W = R.OneIn(2) ? R.Between(16385, 1000000) : R.Between(-1000000, 2000);
            H = R.OneIn(2) ? R.Between(16385, 1000000) : R.Between(-1000000, 2000);
            break;
    }
    switch (R.Below(10)) {
        case 0:
            L = R.Between(-100, 100);
            T = R.Between(-100, 100);
            break;
        case 1:
            L = Extreme(R);
            T = Extreme(R);
            break;
        default:
            break;
    }
    return "bounds " + Num(L) + " " + Num(T) + " " + Num(W) + " " + Num(H);
}

std::string KeyToken(TRandom& R, const TKeymora& C) {
    static constexpr std::array<std::string_view, 15> Named = {
        "SPACE", "PRIOR", "NEXT", "END",  "HOME", "LEFT", "UP",  "RIGHT",
        "DOWN",  "Home",  "left", "0x10", "0x11", "0x20", "0x0D"};
    switch (R.Below(10)) {
        case 0:
        case 1:
        case 2: {
            // A letter the control plays, when Keys has one.
            const std::string& Keys = C.Keys();
            if (!Keys.empty()) {
                const char Ch = Keys[static_cast<std::size_t>(R.Below(Keys.size()))];
                if (std::isalnum(static_cast<unsigned char>(Ch)))
                    return std::string(
                        1, R.OneIn(4)
                               ? static_cast<char>(std::tolower(static_cast<unsigned char>(Ch)))
                               : Ch);
            }
            return std::string(1, static_cast<char>('A' + R.Below(26)));
        }
        case 3:
            return std::string(1, static_cast<char>('A' + R.Below(26)));
        case 4:
        case 5:
            return std::string(1, static_cast<char>('0' + R.Below(10)));
        case 6:
        case 7:
            return std::string(R.Pick(Named));
        case 8: {
            const std::string Pad = R.OneIn(4) ? "numpad" : "NUMPAD";
            return Pad + Num(static_cast<long long>(R.Below(10)));
        }
        default: {
            static constexpr char Hex[] = "0123456789ABCDEF";
            std::string V = "0x";
            const auto Digits = R.Between(1, 4);
            for (long long I = 0; I < Digits; ++I) V += Hex[R.Below(16)];
            return V;
        }
    }
}

std::string KeyModifiers(TRandom& R) {
    switch (R.Below(20)) {
        case 0:
        case 1:
        case 2:
            return " shift";
        case 3:
        case 4:
            return " ctrl";
        case 5:
            return " ctrl Shift";
        case 6:
            return " SHIFT ctrl";
        default:
            return {};
    }
}

}  // namespace keymora::sessiongen
