// Where one end of a spot is, best first: a locator the spot gives, the grid the call was last
// heard with, the country file's place of its prefix. Each with how it was found and how far off
// it may be, km.
#pragma once

#include "country_file.h"
#include "grid_memory.h"

#include <optional>
#include <string>
#include <string_view>

namespace ionvane::places {

/// A spot end placed this precisely or better goes into the clouds like a located spot, km: a
/// path centre then moves by at most half of it, about an Es cloud's own size (JoinRadiusKm).
constexpr double PlacedWithinKm = 300;
/// How far a station may be from the centre of its locator, km: half the diagonal of a square
/// (2 by 1 degrees, about 150 by 110 km at 50 degrees north) or of a subsquare (a 24th of that).
constexpr double SquareUncertaintyKm = 95;
constexpr double SubsquareUncertaintyKm = 4;

/// How an end was placed.
enum class PlacedBy { Locator, Heard, Prefix };

/// "locator", "heard", "prefix".
std::string_view PlacedByName(PlacedBy by);

struct EndPlace {
    PlacedBy By = PlacedBy::Locator;
    std::string Locator;      ///< six characters, what the calculation is given
    double UncertaintyKm = 0; ///< how far the station may be from it
    /// The user's words: "locator", "heard with JN48 at 10:02", "prefix EA8 (Canary Islands)
    /// +-250 km", "call EA8URL (Canary Islands) +-250 km".
    std::string Text;
};

/// The place of a locator the spot gives ("JN48" or "JN48AB").
EndPlace LocatorPlace(std::string_view locator);

/// The place of `call` (a spotter's SSID taken off) at `now` from the grid memory (none: not asked)
/// and then the country file (none: not asked); none for a word that is no call, a maritime or
/// aeronautical mobile, or a call neither knows.
std::optional<EndPlace> CallPlace(std::string_view call, std::int64_t now, const GridMemory *memory,
                                  const CountryFile *countries);

/// Whether both ends are placed within PlacedWithinKm.
bool PlacedWithin(const EndPlace &from, const EndPlace &to);

} // namespace ionvane::places
