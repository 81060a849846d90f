#include "mode_tags.h"

#include "spot_reader.h"

#include "calc/ascii.h"

#include <algorithm>
#include <array>
#include <optional>
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

// Words of meteor-scatter operation: the digital modes made for it (MSK144 and its short name
// MS144, the older FSK441, JT6M and PSK2K) and what hams write of it: "MS", "M/S", "via MS",
// "meteor(s)", "ping(s)" (a short reflection from one trail) and "burn(s)" (a long one).
constexpr std::array<std::string_view, 15> MeteorWords = {
    "MS",     "M/S",  "METEOR", "METEORS", "MSK",   "MSK144", "MSK-144", "MS144",
    "FSK441", "JT6M", "PSK2K",  "PING",    "PINGS", "BURN",   "BURNS"};
// The major meteor showers by name, as the International Meteor Organization lists them; a spot
// naming one was made on its trails.
constexpr std::array<std::string_view, 20> ShowerWords = {
    "QUADRANTIDS", "QUADRANTID", "LYRIDS",  "LYRID",    "ETA-AQUARIIDS", "AQUARIIDS", "ARIETIDS",
    "ARIETID",     "PERSEIDS",   "PERSEID", "ORIONIDS", "ORIONID",       "LEONIDS",   "LEONID",
    "GEMINIDS",    "GEMINID",    "URSIDS",  "URSID",    "DRACONIDS",     "DRACONID"};
// Aurora tags, and their Es forms (AU-E: aurora-E, still no Es cloud to place).
constexpr std::array<std::string_view, 8> AuroraWords = {"AU",   "AUR",   "AURORA", "AUE",
                                                         "AU-E", "AU-ES", "AUES",   "AURORA-E"};
// Modes of scatter and moonbounce on 6 and 2 m: their contacts tell of no Es cloud. Sub-modes
// follow the name ("Q65-30A", "ISCAT-B").
constexpr std::array<std::string_view, 2> OtherModePrefixes = {"Q65", "ISCAT"};

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

// The words of `text`: letters and digits, with the characters of `joiners` inside ("AU-E",
// "M/S").
std::vector<std::string_view> WordsOf(std::string_view text, std::string_view joiners) {
    std::vector<std::string_view> words;
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && !IsAsciiAlnum(text[pos])) {
            ++pos;
        }
        const std::size_t begin = pos;
        while (pos < text.size() &&
               (IsAsciiAlnum(text[pos]) || joiners.find(text[pos]) != std::string_view::npos)) {
            ++pos;
        }
        if (pos > begin) {
            words.push_back(text.substr(begin, pos - begin));
        }
    }
    return words;
}

// What `named` finds in a word: in the word itself ("AU-E"), else in the first of its parts
// between joiners that names something ("TROPO-DUCT", "tr-es"); or nothing.
template <class Named>
auto InWordOrParts(std::string_view word, std::string_view joiners, const Named &named)
    -> decltype(named(word)) {
    if (auto found = named(word)) {
        return found;
    }
    if (word.find_first_of(joiners) == std::string_view::npos) {
        return {};
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = std::min(word.find_first_of(joiners, start), word.size());
        if (const auto part = word.substr(start, end - start); !part.empty()) {
            if (auto found = named(part)) {
                return found;
            }
        }
        if (end == word.size()) {
            return {};
        }
        start = end + 1;
    }
}

// The tag a word names, upper-cased; or "".
std::string TagOfWord(std::string_view word, TagPlace place) {
    const auto named = [place](std::string_view w) -> std::optional<std::string> {
        if (IsTagWord(w, place)) {
            return UpperCaseAscii(w);
        }
        return std::nullopt;
    };
    return InWordOrParts(word, "-", named).value_or(std::string());
}

template <std::size_t N>
bool OneOf(std::string_view word, const std::array<std::string_view, N> &words) {
    return std::any_of(words.begin(), words.end(), [&](std::string_view known) {
        return EqualsIgnoringAsciiCase(word, known);
    });
}

bool StartsWithWord(std::string_view word, std::string_view prefix) {
    return word.size() >= prefix.size() &&
           EqualsIgnoringAsciiCase(word.substr(0, prefix.size()), prefix);
}

// A signal report with the aurora mark: one to three digits, the first 1 to 5, then A ("59A",
// "5A", "599A", "55a"). An aurora signal is too distorted to give a tone figure, hence "A".
bool IsAuroraReport(std::string_view word) {
    if (word.size() < 2 || word.size() > 4 || calc::ToAsciiUpper(word.back()) != 'A') {
        return false;
    }
    const std::string_view digits = word.substr(0, word.size() - 1);
    return digits.front() >= '1' && digits.front() <= '5' &&
           std::all_of(digits.begin(), digits.end(), [](char c) { return calc::IsAsciiDigit(c); });
}

std::optional<Propagation> KindOfWord(std::string_view word) {
    if (OneOf(word, MeteorWords) || OneOf(word, ShowerWords)) {
        return Propagation::MeteorScatter;
    }
    if (OneOf(word, AuroraWords) || IsAuroraReport(word)) {
        return Propagation::Aurora;
    }
    if (std::any_of(OtherModePrefixes.begin(), OtherModePrefixes.end(),
                    [&](std::string_view prefix) { return StartsWithWord(word, prefix); })) {
        return Propagation::OtherMode;
    }
    return std::nullopt;
}

std::optional<PropagationFinding> FindInText(std::string_view text) {
    constexpr std::string_view Joiners = "-/";
    for (const std::string_view word : WordsOf(text, Joiners)) {
        const auto named = [](std::string_view w) -> std::optional<PropagationFinding> {
            if (const auto kind = KindOfWord(w)) {
                return PropagationFinding{*kind, std::string(w)};
            }
            return std::nullopt;
        };
        if (auto found = InWordOrParts(word, Joiners, named)) {
            return found;
        }
    }
    return std::nullopt;
}

} // namespace

std::string TagIn(std::string_view text, bool lastWord, TagPlace place) {
    const std::vector<std::string_view> words = WordsOf(text, "-");
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

PropagationFinding FindPropagation(std::string_view tag, std::string_view comment,
                                   std::string_view mode) {
    for (const std::string_view text : {mode, tag, comment}) {
        if (auto found = FindInText(text)) {
            return *found;
        }
    }
    if (!IsEsTag(tag)) {
        return {Propagation::OtherMode, std::string(tag)};
    }
    return {};
}

bool IsEsTag(std::string_view tag) {
    return tag.empty() || std::any_of(EsTags.begin(), EsTags.end(), [&](std::string_view es) {
               return EqualsIgnoringAsciiCase(es, tag);
           });
}

} // namespace ionvane::spot
