#include "spot_words.h"

#include "locator_words.h"

#include "calc/ascii.h"

#include <algorithm>
#include <array>

namespace ionvane::spot {

using calc::EqualsIgnoringAsciiCase;
using calc::IsAsciiDigit;
using calc::IsAsciiLetter;
using calc::ToAsciiUpper;

bool IsPlainNumber(std::string_view text) {
    bool digit = false;
    bool point = false;
    for (const char c : text) {
        if (IsAsciiDigit(c)) {
            digit = true;
        } else if ((c == '.' || c == ',') && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digit;
}

bool IsCallLike(std::string_view text) {
    if (text.size() < 3 || text.size() > 20 || IsSquareShaped(text) || IsLocatorPair(text)) {
        return false;
    }
    bool letter = false;
    bool digit = false;
    for (const char c : text) {
        if (IsAsciiDigit(c)) {
            digit = true;
        } else if (IsAsciiLetter(c)) {
            letter = true;
        } else if (c != '/' && c != '-' && c != '#') {
            return false;
        }
    }
    return letter && digit;
}

bool IsAllDigits(std::string_view text, std::size_t minSize, std::size_t maxSize) {
    return text.size() >= minSize && text.size() <= maxSize &&
           std::all_of(text.begin(), text.end(), IsAsciiDigit<char>);
}

bool IsTime(std::string_view text, bool zulu) {
    if (text.size() == 5 && ToAsciiUpper(text[4]) == 'Z') {
        text.remove_suffix(1);
    } else if (zulu) {
        return false;
    }
    return IsAllDigits(text, 4, 4);
}

bool IsClockTime(std::string_view text) {
    if (text.size() > 2 && text.front() == '[' && text.back() == ']') {
        text = text.substr(1, text.size() - 2);
    }
    if (!text.empty() && ToAsciiUpper(text.back()) == 'Z') {
        text.remove_suffix(1);
    }
    const auto colon = text.find(':');
    if (colon == std::string_view::npos || !IsAllDigits(text.substr(0, colon), 1, 2)) {
        return false;
    }
    return std::all_of(text.begin() + static_cast<std::ptrdiff_t>(colon), text.end(),
                       [](char c) { return IsAsciiDigit(c) || c == ':' || c == '.'; });
}

std::optional<int> MonthNumber(std::string_view text) {
    static constexpr std::array<std::string_view, 12> Months = {
        "JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    for (std::size_t i = 0; i < Months.size(); ++i) {
        if (EqualsIgnoringAsciiCase(Months[i], text)) {
            return static_cast<int>(i) + 1;
        }
    }
    return std::nullopt;
}

bool IsMonth(std::string_view text) {
    return MonthNumber(text).has_value();
}

std::optional<DashedDate> ReadDashedDate(std::string_view text) {
    const auto first = text.find('-');
    const auto last = text.rfind('-');
    if (first == std::string_view::npos || last == first) {
        return std::nullopt;
    }
    const std::string_view day = text.substr(0, first);
    const auto month = MonthNumber(text.substr(first + 1, last - first - 1));
    const std::string_view year = text.substr(last + 1);
    if (!IsAllDigits(day, 1, 2) || !month || !IsAllDigits(year, 4, 4)) {
        return std::nullopt;
    }
    return DashedDate{day, *month, year};
}

bool IsDashedDate(std::string_view text) {
    return ReadDashedDate(text).has_value();
}

bool IsNumericDate(std::string_view text) {
    const auto separator = text.find_first_of("-./");
    if (separator == std::string_view::npos) {
        return false;
    }
    const char joiner = text[separator];
    int groups = 0;
    std::size_t start = 0;
    for (;;) {
        const auto end = text.find(joiner, start);
        if (!IsAllDigits(text.substr(start, end - start), 1, 4)) {
            return false;
        }
        ++groups;
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
    return groups == 3;
}

bool IsDateOrTimeWord(std::string_view word) {
    return IsTime(word, false) || IsClockTime(word) || IsDashedDate(word) || IsNumericDate(word) ||
           IsMonth(word) || IsAllDigits(word, 1, 2) || IsAllDigits(word, 4, 4) ||
           EqualsIgnoringAsciiCase(word, "UTC") || EqualsIgnoringAsciiCase(word, "Z");
}

bool IsPrefixWord(std::string_view word) {
    return IsClockTime(word) || IsTime(word, true) || IsNumericDate(word) || IsDashedDate(word);
}

} // namespace ionvane::spot
