#include "call_sign.h"

#include <algorithm>
#include <array>
#include <vector>

namespace ionvane::places {

namespace {

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// "JN48", "jn48ab", "IO90IR": two letters A-R, two digits, optionally two letters A-X. A call
// never looks like this ("JN48" is no call; "JN4ABC" is not a locator).
bool IsLocatorWord(std::string_view w) {
    const auto field = [](char c) { return Upper(c) >= 'A' && Upper(c) <= 'R'; };
    const auto sub = [](char c) { return Upper(c) >= 'A' && Upper(c) <= 'X'; };
    if (w.size() != 4 && w.size() != 6 && w.size() != 8) {
        return false;
    }
    if (!field(w[0]) || !field(w[1]) || !IsDigit(w[2]) || !IsDigit(w[3])) {
        return false;
    }
    if (w.size() >= 6 && (!sub(w[4]) || !sub(w[5]))) {
        return false;
    }
    return w.size() < 8 || (IsDigit(w[6]) && IsDigit(w[7]));
}

// Suffixes after a stroke that say how the station works, not where it is.
constexpr std::array<std::string_view, 9> NoPlaceSuffixes = {"P", "M", "QRP", "A",   "LH",
                                                             "J", "R", "B",   "QRPP"};

bool IsNoPlaceSuffix(std::string_view part) {
    if (part.size() == 1 && IsDigit(part[0])) {
        return true; // "W1ABC/4": a call area inside the same country
    }
    return std::find(NoPlaceSuffixes.begin(), NoPlaceSuffixes.end(), part) != NoPlaceSuffixes.end();
}

std::vector<std::string> Parts(const std::string &call) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= call.size()) {
        const std::size_t stroke = std::min(call.find('/', start), call.size());
        parts.push_back(call.substr(start, stroke - start));
        start = stroke + 1;
    }
    return parts;
}

} // namespace

std::string StationCall(std::string_view word) {
    // An SSID is at most a few characters after the last dash.
    constexpr std::size_t MaxSsidChars = 3;
    const std::size_t dash = word.rfind('-');
    if (dash != std::string_view::npos && word.size() - dash - 1 <= MaxSsidChars) {
        word = word.substr(0, dash);
    }
    std::string call;
    call.reserve(word.size());
    for (const char c : word) {
        call += Upper(c);
    }
    return call;
}

bool IsCallSign(std::string_view word) {
    if (word.size() < 3 || word.size() > MaxCallChars || word.front() == '/' ||
        word.back() == '/') {
        return false;
    }
    if (!std::all_of(word.begin(), word.end(),
                     [](char c) { return IsLetter(c) || IsDigit(c) || c == '/'; })) {
        return false;
    }
    if (word.find("//") != std::string_view::npos || IsLocatorWord(word)) {
        return false;
    }
    // The longest part names the station: it holds a digit and a letter ("ON4CAU"), which no
    // number ("50313") and no word ("TEST") does.
    std::string_view station;
    std::size_t start = 0;
    while (start <= word.size()) {
        const std::size_t stroke = std::min(word.find('/', start), word.size());
        const std::string_view part = word.substr(start, stroke - start);
        if (part.size() > station.size()) {
            station = part;
        }
        start = stroke + 1;
    }
    const bool letter = std::any_of(station.begin(), station.end(), IsLetter);
    const bool digit = std::any_of(station.begin(), station.end(), IsDigit);
    return letter && digit && !IsLocatorWord(station);
}

std::optional<std::size_t> CallAreaAt(std::string_view call) {
    for (std::size_t i = 1; i < call.size(); ++i) {
        if (IsDigit(call[i]) && IsLetter(call[i - 1])) {
            return i;
        }
    }
    return std::nullopt;
}

CallParts SplitCall(std::string_view call) {
    CallParts split;
    split.Whole.reserve(call.size());
    for (const char c : call) {
        split.Whole += Upper(c);
    }
    std::vector<std::string> kept;
    for (std::string &part : Parts(split.Whole)) {
        if (part == "MM" || part == "AM") {
            split.NoPlace = true;
        } else if (IsNoPlaceSuffix(part)) {
            split.Mobile = split.Mobile || part != "QRP";
            if (part.size() == 1 && IsDigit(part[0])) {
                split.AreaDigit = part[0];
            }
        } else if (!part.empty()) {
            kept.push_back(std::move(part));
        }
    }
    if (kept.empty()) {
        split.Lookup = split.Whole;
        return split;
    }
    // "EA8/ON4CAU", "ON4CAU/EA8": the shorter part is the place the station works from.
    const auto shortest = std::min_element(
        kept.begin(), kept.end(), [](const auto &a, const auto &b) { return a.size() < b.size(); });
    split.Lookup = kept.size() == 1 ? kept.front() : *shortest;
    if (const auto at = CallAreaAt(split.Lookup); at && !split.AreaDigit) {
        split.AreaDigit = split.Lookup[*at];
    }
    return split;
}

} // namespace ionvane::places
