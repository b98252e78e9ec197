// Run-time helpers the control needs and C++ lacks in this form: ASCII upper-casing,
// case-insensitive comparison, 1-based substring position, and integer-to-text into a caller's
// buffer so that no call allocates.
#pragma once

#include <array>
#include <charconv>
#include <string>
#include <string_view>

namespace keymora {

/// ASCII upper case of one character; every other byte is returned as it is.
constexpr char UpCase(char C) { return (C >= 'a' && C <= 'z') ? static_cast<char>(C - 32) : C; }

/// ASCII upper case of a string.
inline std::string UpperCase(std::string_view S) {
    std::string R(S);
    for (char& C : R) C = UpCase(C);
    return R;
}

/// Case-insensitive comparison of ASCII letters: 0 when equal, negative or positive otherwise.
constexpr int CompareText(std::string_view A, std::string_view B) {
    const std::size_t N = A.size() < B.size() ? A.size() : B.size();
    for (std::size_t I = 0; I < N; ++I) {
        const unsigned char X = static_cast<unsigned char>(UpCase(A[I]));
        const unsigned char Y = static_cast<unsigned char>(UpCase(B[I]));
        if (X != Y) return X < Y ? -1 : 1;
    }
    if (A.size() == B.size()) return 0;
    return A.size() < B.size() ? -1 : 1;
}

/// 1-based position of the first C in S, 0 when absent.
constexpr int Pos(char C, std::string_view S) {
    const std::size_t I = S.find(C);
    return I == std::string_view::npos ? 0 : static_cast<int>(I) + 1;
}

/// Decimal text of an integer held in a small buffer of its own.
class IntToStr {
public:
    explicit IntToStr(long long Value) {
        const auto Result = std::to_chars(Buffer_.data(), Buffer_.data() + Buffer_.size(), Value);
        Length_ = static_cast<std::size_t>(Result.ptr - Buffer_.data());
    }
    std::string_view View() const { return {Buffer_.data(), Length_}; }
    operator std::string_view() const { return View(); }

private:
    std::array<char, 24> Buffer_{};
    std::size_t Length_ = 0;
};

}  // namespace keymora
