#include "country_file.h"

#include "call_sign.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace ionvane::places {

namespace {

// Fields of an entity line, each ended by a colon.
constexpr std::size_t EntityFields = 8;
// A latitude and longitude in degrees lie within these bounds.
constexpr double MaxLatDeg = 90;
constexpr double MaxLonDeg = 180;
// Longest line read: entity lines are about 80 characters, alias lines under 100.
constexpr std::size_t MaxLineChars = 4096;

std::string_view Trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::optional<double> Number(std::string_view text) {
    text = Trimmed(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty() ||
        !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::vector<std::string_view> Split(std::string_view text, char by) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(by, start), text.size());
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// "Canary Islands:  33:  36:  AF:   28.32:    15.85:     0.0:  EA8:"
std::optional<Entity> ReadEntityLine(std::string_view line) {
    const std::vector<std::string_view> fields = Split(line, ':');
    if (fields.size() != EntityFields + 1 || !Trimmed(fields.back()).empty()) {
        return std::nullopt;
    }
    const auto lat = Number(fields[4]);
    const auto westLon = Number(fields[5]);
    std::string_view prefix = Trimmed(fields[7]);
    if (!prefix.empty() && prefix.front() == '*') {
        prefix.remove_prefix(1); // an entity of the WAE list only ("*IT9" Sicily)
    }
    const std::string_view name = Trimmed(fields[0]);
    if (!lat || !westLon || std::abs(*lat) > MaxLatDeg || std::abs(*westLon) > MaxLonDeg ||
        prefix.empty() || name.empty() || !Number(fields[1]) || !Number(fields[2])) {
        return std::nullopt;
    }
    Entity entity;
    entity.Name = std::string(name);
    entity.PrimaryPrefix = std::string(prefix);
    entity.LatDeg = *lat;
    entity.LonDeg = -*westLon;
    entity.SizeKm = EntitySizeKm(entity.PrimaryPrefix);
    return entity;
}

bool IsAliasCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/';
}

} // namespace

CountryFileReading CountryFile::Read(std::string_view text) {
    *this = CountryFile();
    CountryFileReading reading;
    if (text.size() > MaxCountryFileBytes) {
        reading.Problem = "it is larger than 4 MiB, which no country file is";
        return reading;
    }
    std::optional<std::size_t> open; // the entity whose aliases are being read
    for (std::string_view line : Split(text, '\n')) {
        if (Trimmed(line).empty()) {
            continue;
        }
        if (line.size() > MaxLineChars) {
            ++Skipped;
            continue;
        }
        if (const auto entity = ReadEntityLine(line)) {
            if (Entities.size() >= MaxEntities) {
                ++Skipped;
                open.reset();
                continue;
            }
            Entities.push_back(*entity);
            open = Entities.size() - 1;
            continue;
        }
        if (!open) {
            ++Skipped; // aliases of no entity, or an entity line that could not be read
            continue;
        }
        const std::size_t end = line.find(';');
        if (!AddAliases(line.substr(0, end), *open)) {
            ++Skipped;
        }
        if (end != std::string_view::npos) {
            open.reset();
        }
    }
    reading.Entities = Entities.size();
    reading.Aliases = AliasCount;
    reading.SkippedLines = Skipped;
    reading.Read = !Entities.empty() && AliasCount > 0;
    if (!reading.Read) {
        reading.Problem = "it holds no entity with prefixes";
        *this = CountryFile();
    }
    return reading;
}

bool CountryFile::AddAliases(std::string_view text, std::size_t entity) {
    bool allRead = true;
    for (std::string_view item : Split(text, ',')) {
        item = Trimmed(item);
        if (item.empty()) {
            continue;
        }
        const bool exact = item.front() == '=';
        if (exact) {
            item.remove_prefix(1);
        }
        const std::size_t overrides = std::min(item.find_first_of("([<{~"), item.size());
        const std::string_view call = item.substr(0, overrides);
        if (call.empty() || !std::all_of(call.begin(), call.end(), IsAliasCharacter) ||
            AliasCount >= MaxAliases) {
            allRead = false;
            continue;
        }
        Alias alias{entity, std::nullopt, std::nullopt};
        const std::string_view rest = item.substr(overrides);
        const std::size_t open = rest.find('<');
        const std::size_t close = rest.find('>');
        if (open != std::string_view::npos) {
            const std::string_view inside = close != std::string_view::npos && close > open
                                                ? rest.substr(open + 1, close - open - 1)
                                                : std::string_view();
            const auto latLon = Split(inside, '/');
            const auto lat = latLon.size() == 2 ? Number(latLon[0]) : std::nullopt;
            const auto westLon = latLon.size() == 2 ? Number(latLon[1]) : std::nullopt;
            if (!lat || !westLon || std::abs(*lat) > MaxLatDeg || std::abs(*westLon) > MaxLonDeg) {
                allRead = false; // "EA8<ES>": a place that is none
                continue;
            }
            alias.LatDeg = *lat;
            alias.LonDeg = -*westLon;
        }
        auto &table = exact ? Exact : Prefixes;
        table.insert_or_assign(std::string(call), alias);
        if (!exact) {
            LongestPrefix = std::max(LongestPrefix, call.size());
        }
        ++AliasCount;
    }
    return allRead;
}

CountryPlace CountryFile::PlaceOf(const Alias &alias, std::string matched) const {
    const Entity &entity = Entities[alias.EntityIndex];
    CountryPlace place;
    place.Where = &entity;
    place.Matched = std::move(matched);
    place.LatDeg = alias.LatDeg.value_or(entity.LatDeg);
    place.LonDeg = alias.LonDeg.value_or(entity.LonDeg);
    place.UncertaintyKm = entity.SizeKm;
    return place;
}

std::optional<std::string> CountryFileVersion(std::string_view text) {
    // "=VER" and the date's eight digits, yyyymmdd, then the end of the alias.
    constexpr std::string_view Mark = "=VER";
    constexpr std::size_t DateDigits = 8;
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    for (std::size_t at = text.find(Mark); at != std::string_view::npos;
         at = text.find(Mark, at + 1)) {
        const std::string_view date = text.substr(at + Mark.size(), DateDigits);
        const std::size_t after = at + Mark.size() + DateDigits;
        if (date.size() == DateDigits && std::all_of(date.begin(), date.end(), isDigit) &&
            (after == text.size() ||
             std::string_view(",; \t\r\n").find(text[after]) != std::string_view::npos)) {
            return std::string(date.substr(0, 4)) + "-" + std::string(date.substr(4, 2)) + "-" +
                   std::string(date.substr(6, 2));
        }
    }
    return std::nullopt;
}

std::optional<CountryPlace> CountryFile::Find(std::string_view call) const {
    if (Entities.empty() || !IsCallSign(call)) {
        return std::nullopt;
    }
    const CallParts parts = SplitCall(call);
    if (parts.NoPlace) {
        return std::nullopt;
    }
    for (const std::string &whole : {parts.Whole, parts.Lookup}) {
        if (const auto found = Exact.find(whole); found != Exact.end()) {
            return PlaceOf(found->second, "=" + whole);
        }
    }
    const std::string &lookup = parts.Lookup;
    for (std::size_t length = std::min(lookup.size(), LongestPrefix); length > 0; --length) {
        const std::string prefix = lookup.substr(0, length);
        if (const auto found = Prefixes.find(prefix); found != Prefixes.end()) {
            CountryPlace place = PlaceOf(found->second, prefix);
            const auto area = found->second.LatDeg || !parts.AreaDigit
                                  ? std::nullopt
                                  : CallAreaPlace(place.Where->PrimaryPrefix, *parts.AreaDigit);
            if (area) {
                place.LatDeg = area->LatDeg;
                place.LonDeg = area->LonDeg;
                place.UncertaintyKm = area->SizeKm;
                // "IK0" of IK0ABC; "W4" of W1ABC/4, which works from another area.
                const auto at = CallAreaAt(lookup);
                place.Matched = at && lookup[*at] == *parts.AreaDigit ? lookup.substr(0, *at + 1)
                                                                      : prefix + *parts.AreaDigit;
            }
            return place;
        }
    }
    return std::nullopt;
}

} // namespace ionvane::places
