/// \file
/// Durations by position in the control's duration row: 0 is the whole note, D the 1/2^D note.
/// Their names and labels live here, for the drawn cells, the tracking hint, accessibility and
/// applications. Nothing here allocates; the header stands alone and compiles as C++17.
#pragma once

#include <cstddef>
#include <string_view>

namespace keymora {

/// Positions with a name: 0 (whole) .. 7 (hundred twenty-eighth), as many as the row can hold.
constexpr int NamedDurationCount = 8;

/// 2^D, the denominator of duration position D; 0 where it has none in 64 bits (D outside 0..62).
constexpr long long DurationDenominator(int D) {
    return D >= 0 && D < 63 ? 1LL << D : 0;
}

/// The musician's name of position D: "whole", "half", "quarter" .. "hundred twenty-eighth";
/// empty outside 0..7.
constexpr std::string_view DurationName(int D) {
    switch (D) {
        case 0:
            return "whole";
        case 1:
            return "half";
        case 2:
            return "quarter";
        case 3:
            return "eighth";
        case 4:
            return "sixteenth";
        case 5:
            return "thirty-second";
        case 6:
            return "sixty-fourth";
        case 7:
            return "hundred twenty-eighth";
        default:
            return {};
    }
}

/// The label of position D as its cell shows it: "c" for the whole note, then "1/2", "1/4" and
/// on to "1/128" and beyond; "1/0" where the denominator has no 64-bit value. Held in a buffer
/// of its own.
class TDurationLabel {
  public:
    /// The label of position D (any value; a negative D gives "1/0").
    constexpr explicit TDurationLabel(int D) {
        if (D == 0) {
            Text_[Length_++] = 'c';
            return;
        }
        Text_[Length_++] = '1';
        Text_[Length_++] = '/';
        DenominatorStart_ = Length_;
        long long N = DurationDenominator(D);
        char Digits[20] = {};
        std::size_t Count = 0;
        do {
            Digits[Count++] = static_cast<char>('0' + N % 10);
            N /= 10;
        } while (N != 0);
        while (Count > 0) Text_[Length_++] = Digits[--Count];
    }
    /// The whole label: "c", "1/4".
    constexpr std::string_view View() const { return std::string_view(Text_, Length_); }
    /// The denominator alone, "4" for "1/4", for labels drawn as a stacked fraction; empty for
    /// the whole note.
    constexpr std::string_view Denominator() const {
        return DenominatorStart_ == 0
                   ? std::string_view()
                   : std::string_view(Text_ + DenominatorStart_, Length_ - DenominatorStart_);
    }

  private:
    char Text_[24] = {};
    std::size_t Length_ = 0;
    std::size_t DenominatorStart_ = 0;
};

}  // namespace keymora
