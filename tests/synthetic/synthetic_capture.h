// Synthetic Es openings for tests and benchmarks: paths placed through chosen cloud centres, and
// capture lines of the cluster's "DX de" form carrying them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ionvane::synthetic {

/// The point reached from (latDeg, lonDeg) after `distanceKm` on the initial bearing `bearingDeg`,
/// on the program's sphere.
struct Point {
    double LatDeg;
    double LonDeg;
};
Point Destination(Point from, double bearingDeg, double distanceKm);

/// Six-character locators of the two ends of a path of `lengthKm` whose centre is `centre` and
/// which runs on `bearingDeg` through it.
struct PathEnds {
    std::string FromLoc;
    std::string ToLoc;
};
PathEnds PathThrough(Point centre, double bearingDeg, double lengthKm);

/// The six-character locator of a point.
std::string LocatorOf(Point point);

/// "2026-06-14T10:00:25Z" for seconds since 1970.
std::string TimeText(std::int64_t unixSeconds);

/// A capture line of a cluster spot: "TIME<TAB>DX de SPOTTER: FREQ DXCALL FROM<TAG>TO ... HHMMZ",
/// with the frequency in kHz and one decimal. An empty tag gives "FROM<>TO".
std::string SpotLine(std::int64_t unixSeconds, const PathEnds &path, double freqKHz,
                     std::string_view tag = "ES", std::string_view dxCall = "EA7XYZ",
                     std::string_view spotter = "DK7UK");

/// A capture line of an HF spot without locators ("DX de ... 14074.0 JA1ABC FT8 -12dB 1206Z").
std::string PlainSpotLine(std::int64_t unixSeconds, double freqKHz, std::string_view dxCall,
                          std::string_view spotter);

} // namespace ionvane::synthetic
