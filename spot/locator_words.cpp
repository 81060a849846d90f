#include "locator_words.h"

#include "calc/ascii.h"
#include "calc/locator.h"

#include <algorithm>
#include <array>

namespace ionvane::spot {

using calc::EqualsIgnoringAsciiCase;
using calc::IsAsciiAlnum;
using calc::IsAsciiDigit;
using calc::ToAsciiUpper;
using calc::UpperCaseAscii;

bool IsSquareShaped(std::string_view text) {
    const auto field = [](char c) { return ToAsciiUpper(c) >= 'A' && ToAsciiUpper(c) <= 'R'; };
    return text.size() == 4 && field(text[0]) && field(text[1]) && IsAsciiDigit(text[2]) &&
           IsAsciiDigit(text[3]);
}

std::size_t LocatorAt(std::string_view text, std::size_t pos) {
    if (pos > 0 && IsAsciiAlnum(text[pos - 1])) {
        return 0;
    }
    // The character `offset` places on, in either case, where a locator has its character
    // `position` (1..6); the extended square of an eight-character locator is two digits more.
    const auto fits = [&](std::size_t offset, int position) {
        const std::size_t at = pos + offset;
        return at < text.size() &&
               calc::IsLocatorCharacter(static_cast<unsigned char>(ToAsciiUpper(text[at])),
                                        position);
    };
    const auto endsHere = [&](std::size_t at) {
        return at >= text.size() || !IsAsciiAlnum(text[at]);
    };
    constexpr int SquareDigit = 3;
    if (!fits(0, 1) || !fits(1, 2) || !fits(2, 3) || !fits(3, 4)) {
        return 0;
    }
    if (fits(4, 5) && fits(5, 6)) {
        if (fits(6, SquareDigit) && fits(7, SquareDigit) && endsHere(pos + 8)) {
            return 8;
        }
        return endsHere(pos + 6) ? 6 : 0;
    }
    return endsHere(pos + 4) ? 4 : 0;
}

bool IsWholeLocator(std::string_view text) {
    return !text.empty() && LocatorAt(text, 0) == text.size();
}

bool IsFt8Word(std::string_view word) {
    return EqualsIgnoringAsciiCase(word, "RR73") || EqualsIgnoringAsciiCase(word, "RRR") ||
           word == "73";
}

std::vector<FoundLocator> FindLocators(std::string_view text,
                                       const std::vector<std::string> &callParts) {
    std::vector<FoundLocator> found;
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        const std::size_t length = LocatorAt(text, pos);
        if (length == 0) {
            continue;
        }
        const std::string word = UpperCaseAscii(text.substr(pos, length));
        if (std::find(callParts.begin(), callParts.end(), word) == callParts.end() &&
            !IsFt8Word(word)) {
            found.push_back({word.substr(0, 6), pos, pos + length});
        }
        pos += length - 1;
    }
    return found;
}

void AddCallParts(std::vector<std::string> &parts, std::string_view call) {
    if (call.empty()) {
        return;
    }
    parts.push_back(UpperCaseAscii(call));
    std::size_t start = 0;
    while (start <= call.size()) {
        const std::size_t end = call.find_first_of("/-", start);
        parts.push_back(UpperCaseAscii(call.substr(start, end - start)));
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
}

bool IsLocatorPair(std::string_view word) {
    static constexpr std::array<std::string_view, 4> Joiners = {"<>", "->", "-", "/"};
    return std::any_of(Joiners.begin(), Joiners.end(), [word](std::string_view joiner) {
        const auto at = word.find(joiner);
        return at != std::string_view::npos && IsWholeLocator(word.substr(0, at)) &&
               IsWholeLocator(word.substr(at + joiner.size()));
    });
}

} // namespace ionvane::spot
