// The amateur bands where Es is followed (by the tracker, and by the feed's topics), their edges
// and their names.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace ionvane::spot {

/// The bands in order of frequency: a band "at or above" another compares greater or equal.
enum class Band : std::uint8_t { M10, M6, M4, M2 };

constexpr std::size_t BandCount = 4;
constexpr std::array<Band, BandCount> AllBands = {Band::M10, Band::M6, Band::M4, Band::M2};

/// Edges of a band in MHz, both included.
struct BandEdges {
    double LowMHz;
    double HighMHz;
};

/// The band plan of IARU Region 1 as far as Es is heard on it: 10 m 28.0-29.7, 6 m 50-54 (the
/// widest allocation, Region 2), 4 m 70-71 (the widest national allocation), 2 m 144-148 (Regions
/// 2 and 3; Region 1 ends at 146, which the wider edge includes).
BandEdges EdgesOf(Band band);

/// "10m", "6m", "4m", "2m".
std::string_view BandName(Band band);

/// "10 m", "6 m", "4 m", "2 m": the band as hams write it in words.
std::string_view BandInWords(Band band);

/// The band a user or a stored setting names: "6m" as BandName writes it, in any case ("6M"), or
/// without the metre sign ("6"); nothing for any other text (" 6m", "06m", "6mm", "2 m").
std::optional<Band> BandFromName(std::string_view name);

/// The band a frequency in MHz lies in, or none.
std::optional<Band> BandOf(double freqMHz);

constexpr std::size_t BandIndex(Band band) {
    return static_cast<std::size_t>(band);
}

/// A set of bands as bits, one per band in BandIndex order.
using BandSet = std::uint8_t;
constexpr BandSet BandBit(Band band) {
    return static_cast<BandSet>(1U << BandIndex(band));
}

} // namespace ionvane::spot
