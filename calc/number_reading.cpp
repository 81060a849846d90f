#include "number_reading.h"

#include "ascii.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace ionvane::calc {

namespace {

bool StartsWithAt(std::string_view text, std::size_t pos, std::string_view piece) {
    return !piece.empty() && text.substr(pos, piece.size()) == piece;
}

// The length of the decimal point at `pos`, spelt the regional way or as `otherPoint`; 0 for none.
std::size_t PointAt(std::string_view text, std::size_t pos, const NumberFormat &format,
                    std::string_view otherPoint) {
    if (StartsWithAt(text, pos, format.DecimalSeparator)) {
        return format.DecimalSeparator.size();
    }
    return StartsWithAt(text, pos, otherPoint) ? otherPoint.size() : 0;
}

// "." as a second spelling of the decimal point where the regional one is another: none in
// English, where the two are the same.
std::string_view PointBesides(const NumberFormat &format) {
    return format.DecimalSeparator == "." ? std::string_view() : std::string_view(".");
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
// `put`, one character at a time; false when the text is not numeric. `otherPoint`, when not
// empty, may stand wherever the regional decimal separator may. Grouping is tried first, so in
// German "50.1" scans as the grouped 501 and "50." as 50 with a point: either way it is numeric.
template <class Put>
bool ScanNumeric(std::string_view text, const NumberFormat &format, std::string_view otherPoint,
                 Put &&put) {
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
        } else if (const std::size_t point = PointAt(text, pos, format, otherPoint);
                   !sawDecimal && point > 0) {
            put('.');
            pos += point;
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
    if (!ScanNumeric(text, format, {}, [&](char c) { ascii += c; })) {
        return std::nullopt;
    }
    return ascii;
}

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

bool IsNumeric(std::string_view text, const NumberFormat &format) {
    return ScanNumeric(text, format, {}, [](char) {});
}

bool IsFrequencyNumeric(std::string_view text, const NumberFormat &format) {
    return ScanNumeric(text, format, PointBesides(format), [](char) {});
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

double LeadingNumber(std::string_view text) {
    return LeadingNumberWith(text, {});
}

double FrequencyValue(std::string_view text, const NumberFormat &format) {
    return LeadingNumberWith(text, format.DecimalSeparator == "." ? std::string_view()
                                                                  : format.DecimalSeparator);
}

} // namespace ionvane::calc
