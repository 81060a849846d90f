#include "mode_tags.h"

#include "spot_reader.h"

#include "calc/ascii.h"

#include <algorithm>
#include <array>
#include <vector>

namespace ionvane::spot {

using calc::EqualsIgnoringAsciiCase;
using calc::IsAsciiAlnum;
using calc::UpperCaseAscii;

namespace {

constexpr std::array<std::string_view, 5> EsTags = {"ES", "EES", "E", "SPE", "SPORADIC-E"};
constexpr std::array<std::string_view, 27> OtherModeTags = {
    "TR",   "TROPO", "DUCT",  "MS",  "METEOR", "EME", "AU", "AURORA", "AUE",
    "AU-E", "AUES",  "AU-ES", "FAI", "F2",     "TEP", "RS", "SAT",    "BS",
    "SCT",  "AS",    "IRS",   "ISS", "LOS",    "MSK", "GL", "TE",     "AURORA-E"};
// Tags that are also everyday words ("as strong as ever") count only in capitals.
constexpr std::array<std::string_view, 6> CapitalsOnlyTags = {"E", "AS", "BS", "GL", "LOS", "TE"};
// Tags that are far more often something else ("JO40 IL18 GL": good luck) count only between the
// two locators ("JO40<GL>IL18").
constexpr std::array<std::string_view, 2> BetweenOnlyTags = {"GL", "TE"};

bool IsTagWord(std::string_view word, TagPlace place) {
    const auto named = [&](std::string_view tag) { return EqualsIgnoringAsciiCase(tag, word); };
    const bool known = std::any_of(EsTags.begin(), EsTags.end(), named) ||
                       std::any_of(OtherModeTags.begin(), OtherModeTags.end(), named);
    if (!known || (place != TagPlace::Between &&
                   std::any_of(BetweenOnlyTags.begin(), BetweenOnlyTags.end(), named))) {
        return false;
    }
    if (std::any_of(CapitalsOnlyTags.begin(), CapitalsOnlyTags.end(), named)) {
        return UpperCaseAscii(word) == word;
    }
    return true;
}

// The tag a word names: the word itself ("AU-E"), else the first tag among its hyphenated parts
// ("TROPO-DUCT", "tr-es"); or "".
std::string TagOfWord(std::string_view word, TagPlace place) {
    if (IsTagWord(word, place)) {
        return UpperCaseAscii(word);
    }
    if (word.find('-') == std::string_view::npos) {
        return {};
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = std::min(word.find('-', start), word.size());
        if (const auto part = word.substr(start, end - start); IsTagWord(part, place)) {
            return UpperCaseAscii(part);
        }
        if (end == word.size()) {
            return {};
        }
        start = end + 1;
    }
}

} // namespace

std::string TagIn(std::string_view text, bool lastWord, TagPlace place) {
    std::vector<std::string_view> words;
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && !IsAsciiAlnum(text[pos])) {
            ++pos;
        }
        const std::size_t begin = pos;
        while (pos < text.size() && (IsAsciiAlnum(text[pos]) || text[pos] == '-')) {
            ++pos;
        }
        if (pos > begin) {
            words.push_back(text.substr(begin, pos - begin));
        }
    }
    if (words.empty()) {
        return {};
    }
    if (lastWord) {
        return TagOfWord(words.back(), place);
    }
    for (const auto word : words) {
        if (auto tag = TagOfWord(word, place); !tag.empty()) {
            return tag;
        }
    }
    return {};
}

bool IsEsTag(std::string_view tag) {
    return tag.empty() || std::any_of(EsTags.begin(), EsTags.end(), [&](std::string_view es) {
               return EqualsIgnoringAsciiCase(es, tag);
           });
}

} // namespace ionvane::spot
