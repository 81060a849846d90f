#include "number_text.h"

#include "ascii.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace ionvane::calc {

namespace {

bool StartsWithAt(std::string_view text, std::size_t pos, std::string_view piece) {
    return !piece.empty() && text.substr(pos, piece.size()) == piece;
}

// Whether the plain ASCII number `ascii` (digits, at most one point, an optional exponent; not
// zero) lies above the double range rather than below it: its decimal exponent, the place of the
// first non-zero digit plus the written exponent, is positive. The written exponent saturates, so
// that "1e99999999999999999999" counts as large.
bool IsAboveRange(std::string_view ascii) {
    std::size_t pos = 0;
    long long placeOfFirst = 0; // 10^placeOfFirst is the first non-zero digit's place, plus one
    bool seenNonZero = false;
    bool afterPoint = false;
    for (; pos < ascii.size() && ascii[pos] != 'E' && ascii[pos] != 'e'; ++pos) {
        const char c = ascii[pos];
        if (c == '.') {
            afterPoint = true;
        } else if (!seenNonZero && c == '0') {
            placeOfFirst -= afterPoint ? 1 : 0;
        } else if (!seenNonZero) {
            seenNonZero = true;
            placeOfFirst += afterPoint ? 0 : 1;
        } else if (!afterPoint) {
            ++placeOfFirst;
        }
    }
    constexpr long long Saturated = 1'000'000'000;
    long long exponent = 0;
    bool negative = false;
    if (pos < ascii.size()) {
        ++pos;
        if (pos < ascii.size() && (ascii[pos] == '+' || ascii[pos] == '-')) {
            negative = ascii[pos++] == '-';
        }
        for (; pos < ascii.size(); ++pos) {
            exponent = std::min(exponent * 10 + (ascii[pos] - '0'), Saturated);
        }
    }
    return placeOfFirst + (negative ? -exponent : exponent) > 0;
}

// Where a number of `text` starts: past leading blanks and a sign, the sign handed to `put`.
// Both number scanners open so; they differ in what they take after the sign.
template <class Put> std::size_t SignAfterBlanks(std::string_view text, Put &&put) {
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ') {
        ++pos;
    }
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        put(text[pos++]);
    }
    return pos;
}

// A plain ASCII number ("-1234.5E+3"), correctly rounded, whatever the process locale (Qt may
// have set one with a decimal comma). Values past the double range become infinity or zero, with
// their sign, as strtod gives them.
double ParseCNumber(const std::string &ascii) {
    const char *first = ascii.data();
    const char *last = ascii.data() + ascii.size();
    bool negative = false;
    if (first != last && (*first == '+' || *first == '-')) {
        negative = *first == '-';
        ++first; // the sign is applied below: from_chars takes no plus sign
    }
    double value = 0;
    const auto result = std::from_chars(first, last, value);
    if (result.ec == std::errc::result_out_of_range) {
        value = IsAboveRange(std::string_view(first, static_cast<std::size_t>(last - first)))
                    ? std::numeric_limits<double>::infinity()
                    : 0.0;
    }
    return negative ? -value : value;
}

// Scans a number in the regional format and writes it as plain ASCII ("-1234.5E+3") through
// `put`, one character at a time; false when the text is not numeric.
template <class Put>
bool ScanNumeric(std::string_view text, const NumberFormat &format, Put &&put) {
    std::size_t pos = SignAfterBlanks(text, put);
    bool sawDigit = false;
    bool sawDecimal = false;
    bool lastWasDigit = false;
    while (pos < text.size()) {
        if (IsAsciiDigit(text[pos])) {
            put(text[pos++]);
            sawDigit = lastWasDigit = true;
        } else if (!sawDecimal && lastWasDigit && StartsWithAt(text, pos, format.GroupSeparator) &&
                   pos + format.GroupSeparator.size() < text.size() &&
                   IsAsciiDigit(text[pos + format.GroupSeparator.size()])) {
            pos += format.GroupSeparator.size();
        } else if (!sawDecimal && StartsWithAt(text, pos, format.DecimalSeparator)) {
            put('.');
            pos += format.DecimalSeparator.size();
            sawDecimal = true;
            lastWasDigit = false;
        } else {
            break;
        }
    }
    if (!sawDigit) {
        return false;
    }
    if (pos < text.size() && (text[pos] == 'E' || text[pos] == 'e')) {
        put('E');
        ++pos;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
            put(text[pos++]);
        }
        bool expDigit = false;
        while (pos < text.size() && IsAsciiDigit(text[pos])) {
            put(text[pos++]);
            expDigit = true;
        }
        if (!expDigit) {
            return false;
        }
    }
    while (pos < text.size() && text[pos] == ' ') {
        ++pos;
    }
    return pos == text.size();
}

// The number of a text in the regional format as plain ASCII, or nothing when it is not numeric.
std::optional<std::string> NormaliseNumeric(std::string_view text, const NumberFormat &format) {
    std::string ascii;
    if (!ScanNumeric(text, format, [&](char c) { ascii += c; })) {
        return std::nullopt;
    }
    return ascii;
}

// 10^0 to 10^22, every one exact as a double.
constexpr std::array<double, 23> PowersOfTen = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// 10^0 to 10^18, the powers the integer quick way multiplies by.
constexpr std::array<std::uint64_t, 19> IntegerPowersOfTen = {1U,
                                                              10U,
                                                              100U,
                                                              1'000U,
                                                              10'000U,
                                                              100'000U,
                                                              1'000'000U,
                                                              10'000'000U,
                                                              100'000'000U,
                                                              1'000'000'000U,
                                                              10'000'000'000U,
                                                              100'000'000'000U,
                                                              1'000'000'000'000U,
                                                              10'000'000'000'000U,
                                                              100'000'000'000'000U,
                                                              1'000'000'000'000'000U,
                                                              10'000'000'000'000'000U,
                                                              100'000'000'000'000'000U,
                                                              1'000'000'000'000'000'000U};

// A 128-bit unsigned number as two 64-bit halves, for exact products of 64-bit numbers.
struct Wide {
    std::uint64_t Hi = 0;
    std::uint64_t Lo = 0;
    friend bool operator==(const Wide &, const Wide &) = default;
    friend bool operator<(const Wide &a, const Wide &b) {
        return a.Hi != b.Hi ? a.Hi < b.Hi : a.Lo < b.Lo;
    }
};

Wide Multiply(std::uint64_t a, std::uint64_t b) {
    constexpr std::uint64_t Low32 = 0xFFFFFFFFU;
    const std::uint64_t lowLow = (a & Low32) * (b & Low32);
    const std::uint64_t lowHigh = (a & Low32) * (b >> 32U);
    const std::uint64_t highLow = (a >> 32U) * (b & Low32);
    const std::uint64_t highHigh = (a >> 32U) * (b >> 32U);
    const std::uint64_t middle = (lowLow >> 32U) + (lowHigh & Low32) + (highLow & Low32);
    return Wide{highHigh + (lowHigh >> 32U) + (highLow >> 32U) + (middle >> 32U),
                (middle << 32U) | (lowLow & Low32)};
}

// `value` shifted right by 1..127 bits, and the bits shifted out compared with one half.
struct Shifted {
    Wide Quotient;
    int RestAgainstHalf; // -1 below one half, 0 exactly one half, 1 above
};
Shifted ShiftRight(const Wide &value, int bits) {
    Shifted out;
    Wide rest;
    Wide half;
    const auto ubits = static_cast<unsigned>(bits);
    if (bits >= 64) {
        out.Quotient = Wide{0, bits == 64 ? value.Hi : value.Hi >> (ubits - 64U)};
        rest =
            Wide{bits == 64 ? 0 : value.Hi & ((std::uint64_t{1} << (ubits - 64U)) - 1), value.Lo};
        half = bits == 64 ? Wide{0, std::uint64_t{1} << 63U}
                          : Wide{std::uint64_t{1} << (ubits - 65U), 0};
    } else {
        out.Quotient = Wide{value.Hi >> ubits, (value.Lo >> ubits) | (value.Hi << (64U - ubits))};
        rest = Wide{0, value.Lo & ((std::uint64_t{1} << ubits) - 1)};
        half = Wide{0, std::uint64_t{1} << (ubits - 1U)};
    }
    out.RestAgainstHalf = rest < half ? -1 : (rest == half ? 0 : 1);
    return out;
}

// Up to 10^3 the product of a 53-bit mantissa and the power stays below 2^63.
constexpr int MaxNarrowDecimals = 3;

// `product` / 2^bits (bits >= 1) rounded to the nearest whole number, ties to even.
std::uint64_t NarrowScaledRounded(std::uint64_t product, int bits) {
    if (bits >= 64) {
        return 0; // the product is below 2^63: below one half
    }
    const auto ubits = static_cast<unsigned>(bits);
    std::uint64_t quotient = product >> ubits;
    const std::uint64_t rest = product & ((std::uint64_t{1} << ubits) - 1);
    const std::uint64_t half = std::uint64_t{1} << (ubits - 1U);
    if (rest > half || (rest == half && (quotient & 1U) != 0)) {
        ++quotient;
    }
    return quotient;
}

// The non-negative `magnitude` times 10^decimals, rounded to the nearest whole number with ties to
// even, worked out exactly from the binary value (as printf rounds); nothing when the result would
// not fit 64 bits or decimals lie outside 0..18. The quick way to the digits of the usual figures.
std::optional<std::uint64_t> ScaledRounded(double magnitude, int decimals) {
    constexpr int MaxDecimals = 18; // 10^18 < 2^60, so the product stays below 2^113
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
    const std::uint64_t power = IntegerPowersOfTen[static_cast<std::size_t>(decimals)];
    if (shift < 0 && decimals <= MaxNarrowDecimals) {
        return NarrowScaledRounded(mantissa * power, -shift);
    }
    const Wide product = Multiply(mantissa, power);
    if (shift >= 0) {
        // At least 2^64 unless the product fits in 64 - shift bits.
        if (shift >= 11 || product.Hi != 0 ||
            (shift > 0 && (product.Lo >> (64U - static_cast<unsigned>(shift))) != 0)) {
            return std::nullopt;
        }
        return product.Lo << static_cast<unsigned>(shift);
    }
    if (-shift >= 114) {
        return 0; // the product is below 2^113: below one half
    }
    Shifted scaled = ShiftRight(product, -shift);
    if (scaled.RestAgainstHalf > 0 ||
        (scaled.RestAgainstHalf == 0 && (scaled.Quotient.Lo & 1U) != 0)) {
        scaled.Quotient.Lo += 1;
        scaled.Quotient.Hi += scaled.Quotient.Lo == 0 ? 1 : 0;
    }
    if (scaled.Quotient.Hi != 0) {
        return std::nullopt;
    }
    return scaled.Quotient.Lo;
}

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

NumberFormat EnglishNumberFormat() {
    return NumberFormat{.DecimalSeparator = ".", .GroupSeparator = ","};
}

NumberFormat PlainNumberFormat() {
    return NumberFormat{.DecimalSeparator = ".", .GroupSeparator = ""};
}

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

bool IsNumeric(std::string_view text, const NumberFormat &format) {
    return ScanNumeric(text, format, [](char) {});
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
    std::size_t pos = SignAfterBlanks(text, [&ascii](char c) { ascii += c; });
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
        return FormattedValue(value, decimals);
    }
    return TextToDouble(FormatFixed(value, decimals, format), format).value_or(value);
}

} // namespace ionvane::calc
