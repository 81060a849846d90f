// UTC time texts to the second, "2026-06-14T10:00:25Z", as session logs and captures write the
// receipt time of a line and as the events give their times. One form for the cluster and the feed
// alike, so that a capture of either reads back the same way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ionvane::spot {

/// Length of a UTC time text: "2026-06-14T10:00:25Z".
constexpr std::size_t UtcTimeBytes = 20;

/// Reads "YYYY-MM-DDTHH:MM:SSZ" as seconds since 1970-01-01T00:00:00Z, years 1970 to 9999;
/// nothing for any other text (a bad date such as 2026-02-30, a leap second 23:59:60).
std::optional<std::int64_t> ReadUtcTime(std::string_view text);

/// "2026-06-14T10:00:25Z" of seconds since 1970-01-01T00:00:00Z; times before 1970 or after 9999
/// are clamped to those years' ends.
std::string UtcTimeText(std::int64_t time);

} // namespace ionvane::spot
