#include "number_text.h"

#include "ascii.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <locale.h>

namespace ionvane::calc {

namespace {

bool StartsWithAt(std::string_view text, std::size_t pos, std::string_view piece) {
    return !piece.empty() && text.substr(pos, piece.size()) == piece;
}

// A plain ASCII number ("-1234.5E+3"), correctly rounded, whatever the process locale (Qt may
// have set one with a decimal comma). Values past the double range become infinity or zero.
double ParseCNumber(const std::string &ascii) {
    const char *first = ascii.data();
    if (!ascii.empty() && ascii.front() == '+') {
        ++first; // from_chars takes no plus sign
    }
    double value = 0;
    const auto result = std::from_chars(first, ascii.data() + ascii.size(), value);
    if (result.ec == std::errc() && result.ptr == ascii.data() + ascii.size()) {
        return value;
    }
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
    return strtod_l(ascii.c_str(), nullptr, cLocale);
}

// Scans a number in the regional format and gives it back as plain ASCII ("-1234.5E+3"), or
// nothing when the text is not numeric.
std::optional<std::string> NormaliseNumeric(std::string_view text, const NumberFormat &format) {
    std::string ascii;
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ') {
        ++pos;
    }
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        ascii += text[pos++];
    }
    bool sawDigit = false;
    bool sawDecimal = false;
    bool lastWasDigit = false;
    while (pos < text.size()) {
        if (IsAsciiDigit(text[pos])) {
            ascii += text[pos++];
            sawDigit = lastWasDigit = true;
        } else if (!sawDecimal && lastWasDigit && StartsWithAt(text, pos, format.GroupSeparator) &&
                   pos + format.GroupSeparator.size() < text.size() &&
                   IsAsciiDigit(text[pos + format.GroupSeparator.size()])) {
            pos += format.GroupSeparator.size();
        } else if (!sawDecimal && StartsWithAt(text, pos, format.DecimalSeparator)) {
            ascii += '.';
            pos += format.DecimalSeparator.size();
            sawDecimal = true;
            lastWasDigit = false;
        } else {
            break;
        }
    }
    if (!sawDigit) {
        return std::nullopt;
    }
    if (pos < text.size() && (text[pos] == 'E' || text[pos] == 'e')) {
        ascii += 'E';
        ++pos;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
            ascii += text[pos++];
        }
        bool expDigit = false;
        while (pos < text.size() && IsAsciiDigit(text[pos])) {
            ascii += text[pos++];
            expDigit = true;
        }
        if (!expDigit) {
            return std::nullopt;
        }
    }
    while (pos < text.size() && text[pos] == ' ') {
        ++pos;
    }
    if (pos != text.size()) {
        return std::nullopt;
    }
    return ascii;
}

double PowerOfTen(int exponent) {
    double power = 1;
    for (int i = 0; i < exponent; ++i) {
        power *= 10; // exact up to 10^22
    }
    return power;
}

// The non-negative `magnitude` times 10^decimals, rounded to the nearest whole number with ties to
// even, worked out exactly from the binary value (as printf rounds); nothing when the result would
// not fit 64 bits or decimals lie outside 0..18.
std::optional<std::uint64_t> ScaledRounded(double magnitude, int decimals) {
    constexpr int MaxDecimals = 18;
    if (decimals < 0 || decimals > MaxDecimals || !(magnitude >= 0) || std::isinf(magnitude)) {
        return std::nullopt;
    }
    if (magnitude == 0) {
        return 0;
    }
    // magnitude = mantissa * 2^shift exactly, mantissa below 2^53, read off the bits.
    const auto bits = std::bit_cast<std::uint64_t>(magnitude);
    const auto biased = static_cast<int>(bits >> 52U);
    constexpr std::uint64_t FractionMask = (std::uint64_t{1} << 52U) - 1;
    const std::uint64_t mantissa =
        biased == 0 ? (bits & FractionMask) : ((bits & FractionMask) | (std::uint64_t{1} << 52U));
    const int shift = (biased == 0 ? 1 : biased) - 1075;
    std::uint64_t power = 1;
    for (int i = 0; i < decimals; ++i) {
        power *= 10;
    }
    __extension__ typedef unsigned __int128 Wide;             // 64 x 64-bit products, exactly
    const Wide product = static_cast<Wide>(mantissa) * power; // below 2^113
    Wide scaled = 0;
    if (shift >= 0) {
        if (shift >= 11) {
            return std::nullopt; // at least 2^64
        }
        scaled = product << shift;
    } else if (-shift >= 114) {
        scaled = 0; // below one half
    } else {
        const int right = -shift;
        scaled = product >> right;
        const Wide rest = product - (scaled << right);
        const Wide half = static_cast<Wide>(1) << (right - 1);
        if (rest > half || (rest == half && (scaled & 1U) != 0)) {
            ++scaled;
        }
    }
    if (scaled > std::numeric_limits<std::uint64_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(scaled);
}

} // namespace

NumberFormat EnglishNumberFormat() {
    return NumberFormat{".", ",", 2};
}

NumberFormat PlainNumberFormat() {
    return NumberFormat{".", "", 2};
}

std::string FormatFixed(double value, int decimals, const NumberFormat &format) {
    if (std::isnan(value)) {
        return "NaN";
    }
    if (std::isinf(value)) {
        return value > 0 ? "Infinity" : "-Infinity";
    }
    // The digits of the rounded magnitude, integer part first: exact integer arithmetic for the
    // usual sizes, the general formatter for the rest (the largest double has 309 digits).
    std::array<char, 400> digits{};
    std::size_t digitCount = 0;
    std::size_t fractionDigits = 0;
    if (const auto scaled = ScaledRounded(std::fabs(value), decimals)) {
        const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), *scaled).ptr;
        digitCount = static_cast<std::size_t>(end - digits.data());
        fractionDigits = static_cast<std::size_t>(decimals);
        if (digitCount <= fractionDigits) {
            const std::size_t pad = fractionDigits + 1 - digitCount;
            std::memmove(digits.data() + pad, digits.data(), digitCount);
            std::memset(digits.data(), '0', pad);
            digitCount += pad;
        }
    } else {
        const auto end = std::to_chars(digits.data(), digits.data() + digits.size(),
                                       std::fabs(value), std::chars_format::fixed, decimals)
                             .ptr;
        // Take the point out, so that both ways leave plain digits.
        std::size_t kept = 0;
        for (const char *p = digits.data(); p != end; ++p) {
            if (*p == '.') {
                fractionDigits = static_cast<std::size_t>(end - p - 1);
            } else {
                digits[kept++] = *p;
            }
        }
        digitCount = kept;
    }
    const std::string_view all(digits.data(), digitCount);
    const bool allZero = all.find_first_not_of('0') == std::string_view::npos;
    const std::size_t integerDigits = digitCount - fractionDigits;
    const std::size_t groups = (integerDigits - 1) / 3;

    std::string out;
    out.reserve(digitCount + 2 + groups * format.GroupSeparator.size() +
                format.DecimalSeparator.size());
    if (std::signbit(value) && !allZero) {
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

double FormattedValue(double value, int decimals) {
    // Exact when the digits fit a double's 53-bit significand and the power of ten is exact: the
    // quotient is then correctly rounded, as reading the text would be.
    constexpr std::uint64_t ExactLimit = std::uint64_t{1} << 53;
    constexpr int ExactPowers = 22;
    if (std::isfinite(value) && decimals <= ExactPowers) {
        if (const auto scaled = ScaledRounded(std::fabs(value), decimals);
            scaled && *scaled <= ExactLimit) {
            const double magnitude = static_cast<double>(*scaled) / PowerOfTen(decimals);
            return std::signbit(value) && *scaled != 0 ? -magnitude : magnitude;
        }
    }
    const NumberFormat plain = PlainNumberFormat();
    return TextToDouble(FormatFixed(value, decimals, plain), plain).value_or(value);
}

bool IsNumeric(std::string_view text, const NumberFormat &format) {
    return NormaliseNumeric(text, format).has_value();
}

std::optional<double> TextToDouble(std::string_view text, const NumberFormat &format) {
    const auto ascii = NormaliseNumeric(text, format);
    if (!ascii) {
        return std::nullopt;
    }
    return ParseCNumber(*ascii);
}

std::optional<float> TextToSingle(std::string_view text, const NumberFormat &format) {
    const auto value = TextToDouble(text, format);
    if (!value) {
        return std::nullopt;
    }
    const auto single = static_cast<float>(*value);
    if (!std::isfinite(single)) {
        return std::nullopt;
    }
    return single;
}

std::optional<std::int16_t> TextToInt16(std::string_view text, const NumberFormat &format) {
    const auto value = TextToDouble(text, format);
    if (!value || !std::isfinite(*value)) {
        return std::nullopt;
    }
    // The default rounding mode sends halves to the even neighbour.
    const double whole = std::nearbyint(*value);
    if (whole < std::numeric_limits<std::int16_t>::min() ||
        whole > std::numeric_limits<std::int16_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(whole);
}

namespace {

// The leading number of `text`; `otherPoint`, when not empty, is a second spelling of the decimal
// point: whichever of the two comes first is the point, and the other ends the number.
double LeadingNumberWith(std::string_view text, std::string_view otherPoint) {
    std::string ascii;
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ') {
        ++pos;
    }
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        ascii += text[pos++];
    }
    bool sawDigit = false;
    bool sawPoint = false;
    while (pos < text.size()) {
        if (IsAsciiDigit(text[pos])) {
            ascii += text[pos++];
            sawDigit = true;
        } else if (sawPoint) {
            break;
        } else if (text[pos] == '.') {
            ascii += text[pos++];
            sawPoint = true;
        } else if (StartsWithAt(text, pos, otherPoint)) {
            ascii += '.';
            pos += otherPoint.size();
            sawPoint = true;
        } else {
            break;
        }
    }
    if (!sawDigit) {
        return 0.0;
    }
    if (pos < text.size() && (text[pos] == 'E' || text[pos] == 'e')) {
        std::size_t look = pos + 1;
        std::string exponent = "E";
        if (look < text.size() && (text[look] == '+' || text[look] == '-')) {
            exponent += text[look++];
        }
        const std::size_t firstDigit = look;
        while (look < text.size() && IsAsciiDigit(text[look])) {
            exponent += text[look++];
        }
        if (look > firstDigit) {
            ascii += exponent;
        }
    }
    return ParseCNumber(ascii);
}

} // namespace

double LeadingNumber(std::string_view text) {
    return LeadingNumberWith(text, {});
}

double FrequencyValue(std::string_view text, const NumberFormat &format) {
    return LeadingNumberWith(text, format.DecimalSeparator == "." ? std::string_view()
                                                                  : format.DecimalSeparator);
}

std::string SingleText(float value, const NumberFormat &format) {
    if (!std::isfinite(value)) {
        return FormatFixed(static_cast<double>(value), 0, format);
    }
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(),
                                      static_cast<double>(value), std::chars_format::general, 7);
    std::string out;
    for (const char *p = buffer.data(); p != result.ptr; ++p) {
        if (*p == '.') {
            out += format.DecimalSeparator;
        } else if (*p == 'e') {
            out += 'E';
        } else {
            out += *p;
        }
    }
    return out;
}

double RoundByFormat(double value, int decimals, const NumberFormat &format) {
    if (!std::isfinite(value)) {
        return value;
    }
    if (format.DecimalSeparator != format.GroupSeparator) {
        // Reading the formatted text back gives the value it spells, whatever the separators.
        return FormattedValue(value, decimals);
    }
    return TextToDouble(FormatFixed(value, decimals, format), format).value_or(value);
}

} // namespace ionvane::calc
