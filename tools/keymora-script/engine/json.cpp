// JSON escaping and number formatting for keymora-script.
#include "engine/json.h"

#include <cstdint>

#include "core/host/rtl.h"

namespace keymora::script {

namespace {

constexpr char HexDigits[] = "0123456789abcdef";

void AppendEscape(std::string& Out, std::uint32_t Unit) {
    Out += "\\u";
    for (int Shift = 12; Shift >= 0; Shift -= 4) Out += HexDigits[(Unit >> Shift) & 0xFu];
}

void AppendCodePoint(std::string& Out, std::uint32_t Cp) {
    if (Cp < 0x10000) {
        AppendEscape(Out, Cp);
        return;
    }
    Cp -= 0x10000;
    AppendEscape(Out, 0xD800 + (Cp >> 10));
    AppendEscape(Out, 0xDC00 + (Cp & 0x3FF));
}

// Length of the well-formed UTF-8 sequence at S[I] (2 to 4) with its code point, or 0.
// Overlong forms, surrogates and values above U+10FFFF are not well formed.
int DecodeUtf8(std::string_view S, std::size_t I, std::uint32_t& Cp) {
    const auto Byte = [&](std::size_t K) { return static_cast<unsigned char>(S[K]); };
    const unsigned char Lead = Byte(I);
    int Length;
    std::uint32_t Min;
    if (Lead >= 0xC2 && Lead <= 0xDF) {
        Length = 2;
        Cp = Lead & 0x1Fu;
        Min = 0x80;
    } else if (Lead >= 0xE0 && Lead <= 0xEF) {
        Length = 3;
        Cp = Lead & 0x0Fu;
        Min = 0x800;
    } else if (Lead >= 0xF0 && Lead <= 0xF4) {
        Length = 4;
        Cp = Lead & 0x07u;
        Min = 0x10000;
    } else {
        return 0;
    }
    if (S.size() - I < static_cast<std::size_t>(Length)) return 0;
    for (int K = 1; K < Length; ++K) {
        const unsigned char Next = Byte(I + static_cast<std::size_t>(K));
        if ((Next & 0xC0u) != 0x80u) return 0;
        Cp = (Cp << 6) | (Next & 0x3Fu);
    }
    if (Cp < Min || Cp > 0x10FFFF || (Cp >= 0xD800 && Cp <= 0xDFFF)) return 0;
    return Length;
}

}  // namespace

void AppendJsonString(std::string& Out, std::string_view S) {
    Out += '"';
    std::size_t I = 0;
    while (I < S.size()) {
        const auto C = static_cast<unsigned char>(S[I]);
        switch (C) {
            case '"':
                Out += "\\\"";
                break;
            case '\\':
                Out += "\\\\";
                break;
            case '\n':
                Out += "\\n";
                break;
            case '\r':
                Out += "\\r";
                break;
            case '\t':
                Out += "\\t";
                break;
            case '\b':
                Out += "\\b";
                break;
            case '\f':
                Out += "\\f";
                break;
            default:
                if (C < 0x20 || C == 0x7F) {
                    AppendEscape(Out, C);
                } else if (C < 0x80) {
                    Out += static_cast<char>(C);
                } else {
                    std::uint32_t Cp = 0;
                    const int Length = DecodeUtf8(S, I, Cp);
                    if (Length > 0) {
                        AppendCodePoint(Out, Cp);
                        I += static_cast<std::size_t>(Length);
                        continue;
                    }
                    AppendEscape(Out, C);
                }
                break;
        }
        ++I;
    }
    Out += '"';
}

void AppendJsonInt(std::string& Out, long long Value) {
    Out += IntToStr(Value).View();
}

void AppendJsonBool(std::string& Out, bool Value) {
    Out += Value ? "true" : "false";
}

void AppendJsonRect(std::string& Out, const TRect& R) {
    Out += '[';
    AppendJsonInt(Out, R.Left);
    Out += ',';
    AppendJsonInt(Out, R.Top);
    Out += ',';
    AppendJsonInt(Out, R.Right);
    Out += ',';
    AppendJsonInt(Out, R.Bottom);
    Out += ']';
}

}  // namespace keymora::script
