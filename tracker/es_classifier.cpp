#include "es_classifier.h"

#include "spot/spot_reader.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <vector>

namespace ionvane::tracker {

namespace {

// Words of meteor-scatter operation: the digital modes made for it (MSK144, its older FSK441 and
// JT6M) and the words hams write for it.
constexpr std::array<std::string_view, 7> MeteorWords = {"MS",     "METEOR", "MSK",    "MSK144",
                                                         "FSK441", "JT6M",   "METEORS"};
// Aurora tags, and their Es forms (AU-E: aurora-E, still no Es cloud to place).
constexpr std::array<std::string_view, 8> AuroraWords = {"AU",   "AUR",   "AURORA", "AUE",
                                                         "AU-E", "AU-ES", "AUES",   "AURORA-E"};
// Modes of scatter and moonbounce on 6 and 2 m: their contacts tell of no Es cloud. Sub-modes
// follow the name ("Q65-30A", "ISCAT-B").
constexpr std::array<std::string_view, 2> OtherModePrefixes = {"Q65", "ISCAT"};

char Upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

bool IsAlnum(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0;
}

bool SameWord(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Upper(x) == y; });
}

bool StartsWithWord(std::string_view word, std::string_view prefix) {
    return word.size() >= prefix.size() && SameWord(word.substr(0, prefix.size()), prefix);
}

template <std::size_t N>
bool OneOf(std::string_view word, const std::array<std::string_view, N> &words) {
    return std::any_of(words.begin(), words.end(),
                       [&](std::string_view known) { return SameWord(word, known); });
}

// A signal report with the aurora mark: one to three digits, the first 1 to 5, then A ("59A",
// "5A", "599A", "55a"). An aurora signal is too distorted to give a tone figure, hence "A".
bool IsAuroraReport(std::string_view word) {
    if (word.size() < 2 || word.size() > 4 || Upper(word.back()) != 'A') {
        return false;
    }
    const std::string_view digits = word.substr(0, word.size() - 1);
    return digits.front() >= '1' && digits.front() <= '5' &&
           std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<Propagation> KindOfWord(std::string_view word) {
    if (OneOf(word, MeteorWords) || SameWord(word, "MSK-144")) {
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

// The words of a text: letters and digits, with hyphens inside; a hyphened word counts whole
// ("MSK-144", "AU-E") and by its parts ("tr-ms").
std::optional<PropagationFinding> FindInText(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && !IsAlnum(text[pos])) {
            ++pos;
        }
        const std::size_t begin = pos;
        while (pos < text.size() && (IsAlnum(text[pos]) || text[pos] == '-')) {
            ++pos;
        }
        const std::string_view word = text.substr(begin, pos - begin);
        if (word.empty()) {
            continue;
        }
        if (const auto kind = KindOfWord(word)) {
            return PropagationFinding{*kind, std::string(word)};
        }
        std::size_t start = 0;
        while (start < word.size()) {
            const std::size_t end = std::min(word.find('-', start), word.size());
            const std::string_view part = word.substr(start, end - start);
            if (const auto kind = part.empty() ? std::nullopt : KindOfWord(part)) {
                return PropagationFinding{*kind, std::string(part)};
            }
            start = end + 1;
        }
    }
    return std::nullopt;
}

} // namespace

std::string_view EsClassName(EsClass esClass) {
    switch (esClass) {
    case EsClass::Counted:
        return "es";
    case EsClass::MultiHop:
        return "multi-hop";
    case EsClass::TooShort:
        return "too-short";
    case EsClass::OtherMode:
        return "other-mode";
    case EsClass::OtherBand:
        return "other-band";
    case EsClass::NoResult:
        return "no-result";
    case EsClass::MeteorScatter:
        return "meteor-scatter";
    case EsClass::Aurora:
        return "aurora";
    case EsClass::Unconfirmed:
        return "unconfirmed";
    }
    return "";
}

std::string_view EsClassText(EsClass esClass) {
    switch (esClass) {
    case EsClass::MeteorScatter:
        return "meteor scatter, not Es";
    case EsClass::Aurora:
        return "aurora, not Es";
    case EsClass::Unconfirmed:
        return "2 m, unconfirmed (no 6 m or 4 m Es under it)";
    default:
        return "";
    }
}

std::string_view PropagationText(Propagation propagation) {
    switch (propagation) {
    case Propagation::Es:
        return "";
    case Propagation::MeteorScatter:
        return EsClassText(EsClass::MeteorScatter);
    case Propagation::Aurora:
        return EsClassText(EsClass::Aurora);
    case Propagation::OtherMode:
        return "another mode, not Es";
    }
    return "";
}

PropagationFinding FindPropagation(std::string_view tag, std::string_view comment,
                                   std::string_view mode) {
    for (const std::string_view text : {mode, tag, comment}) {
        if (auto found = FindInText(text)) {
            return *found;
        }
    }
    if (!spot::IsEsTag(tag)) {
        return {Propagation::OtherMode, std::string(tag)};
    }
    return {};
}

EsClass ClassifySpot(std::optional<Band> band, Propagation propagation, double distanceKm,
                     const ClassifierSettings &settings) {
    if (!band) {
        return EsClass::OtherBand;
    }
    switch (propagation) {
    case Propagation::MeteorScatter:
        return EsClass::MeteorScatter;
    case Propagation::Aurora:
        return EsClass::Aurora;
    case Propagation::OtherMode:
        return EsClass::OtherMode;
    case Propagation::Es:
        break;
    }
    if (!(distanceKm >= settings.MinDistanceKm[BandIndex(*band)])) {
        return EsClass::TooShort;
    }
    if (distanceKm > settings.MaxDistanceKm) {
        return EsClass::MultiHop;
    }
    return EsClass::Counted;
}

} // namespace ionvane::tracker
