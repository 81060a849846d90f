#include "number_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>

namespace ionvane::calc {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool StartsWithAt(std::string_view text, std::size_t pos, std::string_view piece) {
    return !piece.empty() && text.substr(pos, piece.size()) == piece;
}

// strtod in the "C" locale: the process locale may use a decimal comma once Qt has set it up.
double ParseCNumber(const std::string &ascii) {
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
        if (IsDigit(text[pos])) {
            ascii += text[pos++];
            sawDigit = lastWasDigit = true;
        } else if (!sawDecimal && lastWasDigit && StartsWithAt(text, pos, format.GroupSeparator) &&
                   pos + format.GroupSeparator.size() < text.size() &&
                   IsDigit(text[pos + format.GroupSeparator.size()])) {
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
        while (pos < text.size() && IsDigit(text[pos])) {
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

void InsertGroups(std::string &digits, const std::string &separator) {
    if (separator.empty()) {
        return;
    }
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), separator);
    }
}

} // namespace

NumberFormat EnglishNumberFormat() {
    return NumberFormat{".", ",", 2};
}

std::string FormatFixed(double value, int decimals, const NumberFormat &format) {
    if (std::isnan(value)) {
        return "NaN";
    }
    if (std::isinf(value)) {
        return value > 0 ? "Infinity" : "-Infinity";
    }
    // The largest double has 309 integer digits.
    std::array<char, 400> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, decimals);
    std::string_view text(buffer.data(), static_cast<std::size_t>(result.ptr - buffer.data()));
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    const auto point = text.find('.');
    std::string integerPart(text.substr(0, point));
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
    const bool allZero = text.find_first_not_of("0.") == std::string_view::npos;
    InsertGroups(integerPart, format.GroupSeparator);
    std::string out;
    out.reserve(integerPart.size() + fraction.size() + 4);
    if (negative && !allZero) {
        out += '-';
    }
    out += integerPart;
    if (!fraction.empty()) {
        out += format.DecimalSeparator;
        out += fraction;
    }
    return out;
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

double LeadingNumber(std::string_view text) {
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
        if (IsDigit(text[pos])) {
            ascii += text[pos++];
            sawDigit = true;
        } else if (text[pos] == '.' && !sawPoint) {
            ascii += text[pos++];
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
        while (look < text.size() && IsDigit(text[look])) {
            exponent += text[look++];
        }
        if (look > firstDigit) {
            ascii += exponent;
        }
    }
    return ParseCNumber(ascii);
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
    return TextToDouble(FormatFixed(value, decimals, format), format).value_or(value);
}

} // namespace ionvane::calc
