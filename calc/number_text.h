// Number texts in the user's regional format: formatting with a fixed count of decimals and digit
// grouping, the shortest text of a 32-bit float and rounding by formatting. Reading number texts
// is in number_reading.h, which this header brings along.
#pragma once

#include "number_format.h"
#include "number_reading.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>

namespace ionvane::calc {

/// Most decimals a fixed text can carry: every double is exact with 1074 (its smallest step is
/// 2^-1074).
constexpr int MaxFormatDecimals = 1074;

/// `value` with exactly `decimals` digits after the decimal separator (a count below 0 counts as
/// 0, above MaxFormatDecimals as MaxFormatDecimals), the integer part grouped in threes. Rounds the
/// exact binary value correctly, ties to even; a value that rounds to zero shows no minus sign.
/// Non-finite values give "NaN", "Infinity" or "-Infinity" (callers keep them off screen).
std::string FormatFixed(double value, int decimals, const NumberFormat &format);

/// FormatFixed's text appended to `out`: a text built piece by piece in a string that keeps its
/// room from run to run makes no allocation.
void AppendFixed(std::string &out, double value, int decimals, const NumberFormat &format);

/// The same text as FormatFixed, always by the standard library's exact formatter, which
/// FormatFixed takes a quicker integer way around for the usual figures.
std::string FormatFixedExact(double value, int decimals, const NumberFormat &format);

/// The shortest text of a 32-bit float: up to seven significant digits, no trailing zeros, the
/// regional decimal separator (50.1 -> "50.1", 144 -> "144", 10000000 -> "1E+07").
std::string SingleText(float value, const NumberFormat &format);

/// SingleText's text appended to `out`.
void AppendSingle(std::string &out, float value, const NumberFormat &format);

/// The number that FormatFixed(value, decimals) spells, without making the text.
double FormattedValue(double value, int decimals);

/// FormattedValue(value, ShownDecimals), worked out in place for the figures every run rounds: the
/// same exact rounding of the binary value (ties to even), the same value to the bit.
inline double ShownValue(double value) {
    // Below 2^43 (8.8e12) the value times 100 stays below 2^53, so the rounded hundredths and
    // their quotient by 100 are exact doubles; NaN, infinities and larger values take the long way.
    constexpr double QuickLimit = 0x1p43;
    const double magnitude = std::fabs(value);
    if (!(magnitude < QuickLimit)) {
        return FormattedValue(value, ShownDecimals);
    }
    // magnitude = mantissa * 2^-shift exactly (IEEE 754 binary64: 52 fraction bits, bias 1023).
    const auto bits = std::bit_cast<std::uint64_t>(magnitude);
    const auto biased = static_cast<unsigned>(bits >> 52U);
    constexpr std::uint64_t FractionMask = (std::uint64_t{1} << 52U) - 1;
    // Zero and subnormals are far below a hundredth: shift them out whole.
    const std::uint64_t mantissa = (bits & FractionMask) | (std::uint64_t{1} << 52U);
    const unsigned shift = biased == 0 ? 64U : 1075U - biased; // at least 10 below 2^43
    if (shift >= 64U) {
        return 0.0; // below 2^-11: the hundredths round to 0, shown without a sign
    }
    constexpr std::uint64_t Hundred = 100;            // 10^ShownDecimals
    const std::uint64_t product = mantissa * Hundred; // below 2^60
    std::uint64_t hundredths = product >> shift;
    const std::uint64_t rest = product & ((std::uint64_t{1} << shift) - 1);
    const std::uint64_t half = std::uint64_t{1} << (shift - 1U);
    if (rest > half || (rest == half && (hundredths & 1U) != 0)) {
        ++hundredths;
    }
    const double shown = static_cast<double>(hundredths) / 100.0;
    return std::signbit(value) && hundredths != 0 ? -shown : shown;
}

/// A number as shown with a fixed count of decimals, with the value its text spells.
struct FixedNumber {
    std::string Text;
    double Value;
};

/// FormatFixed and FormattedValue at once, for figures that are both shown and used further.
FixedNumber FormatFixedNumber(double value, int decimals, const NumberFormat &format);

/// FormatFixedNumber with the text appended to `out`; gives the value the text spells.
double AppendFixedNumber(std::string &out, double value, int decimals, const NumberFormat &format);

/// A Double from a rounding by formatting: `value` formatted with `decimals` and read back.
double RoundByFormat(double value, int decimals, const NumberFormat &format);

} // namespace ionvane::calc
