// Spot lines that carry their own date and time: the listing a node sends for SH/DX
// ("  70200.0 EI9ZZE       7-Dec-2026 1304Z IO63<ES>JN58 4m   <PA0TST>") and the machine form of
// a spot after set/ve7cc ("CC11^50313.0^ZZ9ZZZ^ 7-Dec-2026^1316Z^JN48<ES>IL18 test^PA0FLT^...").
// Both are read by the same spot reader as a "DX de" line; this adds the time, and tells the
// node-to-node protocol lines ("PC18^DXSpider Version: ...") apart, which are never spots.
#pragma once

#include "spot_reader.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace ionvane::spot {

/// A line as ReadSpot reads it, with the time the node gives the spot.
struct TimedReading {
    SpotReading Reading;
    /// The spot's own date and time, seconds since 1970-01-01T00:00:00Z, for a listing line or a
    /// CC11 line; none for a line without a date.
    std::optional<std::int64_t> SpotTime;
    /// The "HHMMZ" of a "DX de" line as minutes after midnight UTC; its date is the receipt's.
    std::optional<int> MinuteOfDay;
};

/// Whether a line is one of the protocol nodes speak to each other: "PC", digits, "^".
bool IsNodeProtocolLine(std::string_view line);

/// Reads one received line: a CC11 line as the "DX de" line it stands for (the spotter's grid of
/// its last field as the trailing grid), with its date and time; a SH/DX listing line with its
/// date and time; a node protocol line or another CC line as a node message (no spot, nothing to
/// say); anything else as ReadSpot does.
TimedReading ReadTimedSpot(std::string_view line);

} // namespace ionvane::spot
