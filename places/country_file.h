// The country file (cty.dat, as kept for contest loggers and cluster software): the DXCC entities
// with their centre and the call prefixes and exact calls that belong to them. Read once, from
// text, into a table asked for a call's place by the longest matching prefix. No Qt, no files:
// the caller reads the bytes.
//
// The format: an entity line of eight fields ended by colons (name, CQ zone, ITU zone, continent,
// latitude, longitude with WEST POSITIVE, UTC offset, primary prefix), then its aliases separated
// by commas up to a semicolon, over as many lines as needed. An alias "=CALL" is one exact call;
// any alias may carry overrides: (CQ zone) [ITU zone] <lat/lon> {continent} ~UTC offset~.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ionvane::places {

/// Largest country file read, bytes: the full file is about 330 KB; ten times that is no country
/// file, and reading it would only cost time at start.
constexpr std::size_t MaxCountryFileBytes = 4 * 1024 * 1024;
/// Most entities read: there are 340 DXCC entities and some 60 more in the WAE list.
constexpr std::size_t MaxEntities = 1000;
/// Most aliases read: the full file holds about 25,000 prefixes and exact calls.
constexpr std::size_t MaxAliases = 200000;

/// One entity of the file.
struct Entity {
    std::string Name;          ///< "Canary Islands"
    std::string PrimaryPrefix; ///< "EA8" (a leading '*' of the WAE-only entities taken off)
    double LatDeg = 0;         ///< north positive
    double LonDeg = 0;         ///< EAST positive (the file's sign turned round)
    double SizeKm = 0;         ///< how far a station may be from the centre (EntitySizeKm)
};

/// Where the country file puts a call.
struct CountryPlace {
    const Entity *Where = nullptr;
    /// The prefix or exact call that matched ("EA8", "=EA8URL"); for a call area, the call up to
    /// its digit ("IK0" of IK0ABC, "EA4" of EA4/IK0ABC).
    std::string Matched;
    double LatDeg = 0; ///< the entity's centre, or the alias's own <lat/lon>
    double LonDeg = 0;
    double UncertaintyKm = 0;
};

/// What reading the file came to.
struct CountryFileReading {
    bool Read = false;   ///< false: nothing usable; Problem says why
    std::string Problem; ///< "it is larger than 4 MiB", "it holds no entity"
    std::size_t Entities = 0;
    std::size_t Aliases = 0;
    std::size_t SkippedLines = 0; ///< lines that could not be read, passed over
};

/// The file's version as its makers write it, an exact call "=VER20240105" among the aliases,
/// given as a date: "2024-01-05"; none when the text holds no such alias.
std::optional<std::string> CountryFileVersion(std::string_view text);

class CountryFile {
  public:
    CountryFile() = default;

    /// Reads the file's text; returns what it came to. A line that cannot be read is skipped and
    /// counted, and the aliases after an unreadable entity line are skipped with it.
    CountryFileReading Read(std::string_view text);

    /// The place of `call`, or none: for a word that is no call (IsCallSign), a maritime or
    /// aeronautical mobile, or a prefix the file does not know. An exact call of the file wins,
    /// then the longest prefix of the part that names the place (SplitCall).
    [[nodiscard]] std::optional<CountryPlace> Find(std::string_view call) const;

    [[nodiscard]] bool Empty() const { return Entities.empty(); }

  private:
    struct Alias {
        std::size_t EntityIndex = 0;
        std::optional<double> LatDeg; ///< the alias's own place, east positive
        std::optional<double> LonDeg;
    };
    bool AddAliases(std::string_view text, std::size_t entity);
    [[nodiscard]] CountryPlace PlaceOf(const Alias &alias, std::string matched) const;

    std::vector<Entity> Entities;
    std::unordered_map<std::string, Alias> Exact;
    std::unordered_map<std::string, Alias> Prefixes;
    std::size_t LongestPrefix = 0;
    std::size_t AliasCount = 0;
    std::size_t Skipped = 0;
};

/// How far a station of the entity with `primaryPrefix` may be from its centre, km: half the
/// entity's largest extent, from an atlas, for the entities known to the table; EntitySizeUnknownKm
/// for the rest.
double EntitySizeKm(std::string_view primaryPrefix);

/// The centre and size of a call area of an entity ("I", '0': Lazio and Umbria), for Italy,
/// Spain and the United States; none for any other.
struct AreaPlace {
    double LatDeg = 0;
    double LonDeg = 0;
    double SizeKm = 0;
};
std::optional<AreaPlace> CallAreaPlace(std::string_view primaryPrefix, char digit);

/// The size given to an entity the size table does not list, km: larger than any placing the
/// tracker uses, so an unknown size never passes for a precise place.
constexpr double EntitySizeUnknownKm = 1000;

} // namespace ionvane::places
