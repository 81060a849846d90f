#include "number_text.h"

#include "scaled_decimal.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace ionvane::calc {

namespace {

// 10^0 to 10^22, every one exact as a double.
constexpr std::array<double, 23> PowersOfTen = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The digits of |value| rounded to `decimals`, the point taken out, by the standard formatter:
// exact for every double and every count of decimals (ties to even on the binary value).
void ExactDigits(double magnitude, int decimals, std::string &digits) {
    constexpr std::size_t MaxIntegerDigits = 309; // the largest double has 309 digits
    digits.resize(MaxIntegerDigits + static_cast<std::size_t>(decimals) + 2);
    char *const begin = digits.data();
    const auto end =
        std::to_chars(begin, begin + digits.size(), magnitude, std::chars_format::fixed, decimals)
            .ptr;
    char *kept = begin;
    for (const char *p = begin; p != end; ++p) {
        if (*p != '.') {
            *kept++ = *p;
        }
    }
    digits.resize(static_cast<std::size_t>(kept - begin));
}

// The text of a sign and the digits (integer part, then `fractionDigits` decimals) in `format`.
std::string GroupedText(bool negative, std::string_view all, std::size_t fractionDigits,
                        const NumberFormat &format) {
    const bool allZero = all.find_first_not_of('0') == std::string_view::npos;
    const std::size_t integerDigits = all.size() - fractionDigits;
    const std::size_t groups = (integerDigits - 1) / 3;
    std::string out;
    out.reserve(all.size() + 2 + groups * format.GroupSeparator.size() +
                format.DecimalSeparator.size());
    if (negative && !allZero) {
        out += '-';
    }
    for (std::size_t i = 0; i < integerDigits; ++i) {
        if (i > 0 && (integerDigits - i) % 3 == 0) {
            out += format.GroupSeparator;
        }
        out += all[i];
    }
    if (fractionDigits > 0) {
        out += format.DecimalSeparator;
        out.append(all.substr(integerDigits));
    }
    return out;
}

std::string NonFiniteText(double value) {
    if (std::isnan(value)) {
        return "NaN";
    }
    return value > 0 ? "Infinity" : "-Infinity";
}

int ClampDecimals(int decimals) {
    return std::clamp(decimals, 0, MaxFormatDecimals);
}

// Integers up to 2^53 are exact doubles.
constexpr std::uint64_t ExactIntegerLimit = std::uint64_t{1} << 53U;

// A figure rounded to `decimals` (0..MaxFormatDecimals) the quick way: its digits as one whole
// number, and the value its text spells, exact where that number and the power of ten are exact
// doubles (a quotient of two exact doubles is correctly rounded, as reading the text would be).
struct QuickFigure {
    std::uint64_t Scaled;
    double Value;
};
std::optional<QuickFigure> QuickFigureOf(double value, int decimals) {
    if (!std::isfinite(value) || decimals >= static_cast<int>(PowersOfTen.size())) {
        return std::nullopt;
    }
    const auto scaled = ScaledRounded(std::fabs(value), decimals);
    if (!scaled || *scaled > ExactIntegerLimit) {
        return std::nullopt;
    }
    const double magnitude =
        static_cast<double>(*scaled) / PowersOfTen[static_cast<std::size_t>(decimals)];
    return QuickFigure{*scaled, std::signbit(value) && *scaled != 0 ? -magnitude : magnitude};
}

// Longest separator the quick way writes in its own buffer; QLocale's are one to three bytes.
constexpr std::size_t MaxQuickSeparatorBytes = 4;

// The text of `scaled` / 10^decimals (decimals 0..18) appended to `out`: the quick way, written
// backwards from the last digit into one buffer, grouping as it goes. Gives false, writing
// nothing, for separators longer than MaxQuickSeparatorBytes.
bool AppendQuick(std::string &out, bool negative, std::uint64_t scaled, int decimals,
                 const NumberFormat &format) {
    const std::string_view group = format.GroupSeparator;
    const std::string_view point = format.DecimalSeparator;
    if (group.size() > MaxQuickSeparatorBytes || point.size() > MaxQuickSeparatorBytes) {
        return false;
    }
    // A sign, 20 integer digits (2^64 has 20) with 6 separators, the point and 18 decimals.
    constexpr std::size_t MaxQuickBytes = 1 + 20 + 7 * MaxQuickSeparatorBytes + 18;
    std::array<char, MaxQuickBytes> buffer; // written before it is read
    char *const end = buffer.data() + buffer.size();
    char *first = end;
    std::uint64_t rest = scaled;
    for (int i = 0; i < decimals; ++i) {
        *--first = static_cast<char>('0' + rest % 10);
        rest /= 10;
    }
    // Separators of a few bytes, copied backwards byte by byte.
    const auto putSeparator = [&first](std::string_view separator) {
        for (auto byte = separator.rbegin(); byte != separator.rend(); ++byte) {
            *--first = *byte;
        }
    };
    if (decimals > 0) {
        putSeparator(point);
    }
    // One digit at least stands before the point ("0.50").
    int inGroup = 0;
    do {
        if (inGroup == 3) {
            putSeparator(group);
            inGroup = 0;
        }
        *--first = static_cast<char>('0' + rest % 10);
        rest /= 10;
        ++inGroup;
    } while (rest != 0);
    if (negative && scaled != 0) {
        *--first = '-';
    }
    out.append(first, static_cast<std::size_t>(end - first));
    return true;
}

} // namespace

void AppendFixed(std::string &out, double value, int decimals, const NumberFormat &format) {
    if (!std::isfinite(value)) {
        out += NonFiniteText(value);
        return;
    }
    decimals = ClampDecimals(decimals);
    // The usual figures in exact integer arithmetic; the standard formatter for the rest.
    if (const auto scaled = ScaledRounded(std::fabs(value), decimals)) {
        if (AppendQuick(out, std::signbit(value), *scaled, decimals, format)) {
            return;
        }
    }
    out += FormatFixedExact(value, decimals, format);
}

std::string FormatFixed(double value, int decimals, const NumberFormat &format) {
    std::string out;
    AppendFixed(out, value, decimals, format);
    return out;
}

double AppendFixedNumber(std::string &out, double value, int decimals, const NumberFormat &format) {
    decimals = ClampDecimals(decimals);
    if (const auto quick = QuickFigureOf(value, decimals)) {
        if (AppendQuick(out, std::signbit(value), quick->Scaled, decimals, format)) {
            return quick->Value;
        }
    }
    AppendFixed(out, value, decimals, format);
    return FormattedValue(value, decimals);
}

FixedNumber FormatFixedNumber(double value, int decimals, const NumberFormat &format) {
    FixedNumber number{{}, 0.0};
    number.Value = AppendFixedNumber(number.Text, value, decimals, format);
    return number;
}

std::string FormatFixedExact(double value, int decimals, const NumberFormat &format) {
    if (!std::isfinite(value)) {
        return NonFiniteText(value);
    }
    decimals = ClampDecimals(decimals);
    std::string digits;
    ExactDigits(std::fabs(value), decimals, digits);
    return GroupedText(std::signbit(value), digits, static_cast<std::size_t>(decimals), format);
}

double FormattedValue(double value, int decimals) {
    decimals = ClampDecimals(decimals);
    if (const auto quick = QuickFigureOf(value, decimals)) {
        return quick->Value;
    }
    const NumberFormat plain = PlainNumberFormat();
    return TextToDouble(FormatFixed(value, decimals, plain), plain).value_or(value);
}

void AppendSingle(std::string &out, float value, const NumberFormat &format) {
    if (!std::isfinite(value)) {
        AppendFixed(out, static_cast<double>(value), 0, format);
        return;
    }
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(),
                                      static_cast<double>(value), std::chars_format::general, 7);
    for (const char *p = buffer.data(); p != result.ptr; ++p) {
        if (*p == '.') {
            out += format.DecimalSeparator;
        } else if (*p == 'e') {
            out += 'E';
        } else {
            out += *p;
        }
    }
}

std::string SingleText(float value, const NumberFormat &format) {
    std::string out;
    AppendSingle(out, value, format);
    return out;
}

double RoundByFormat(double value, int decimals, const NumberFormat &format) {
    if (!std::isfinite(value)) {
        return value;
    }
    if (format.DecimalSeparator != format.GroupSeparator) {
        // Reading the formatted text back gives the value it spells, whatever the separators.
        return decimals == ShownDecimals ? ShownValue(value) : FormattedValue(value, decimals);
    }
    return TextToDouble(FormatFixed(value, decimals, format), format).value_or(value);
}

} // namespace ionvane::calc
