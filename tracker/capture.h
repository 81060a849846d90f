// The capture format of a session log: one received line a line, after its UTC receipt time and
// a tab ("2026-06-14T10:00:25Z<TAB>DX de DK7UK: ..."), and the time texts of events.
#pragma once

#include "tracker_events.h"

#include <optional>
#include <string>
#include <string_view>

namespace ionvane::tracker {

/// One line of a capture: its time and the received line (a view into the text read).
struct CaptureLine {
    UnixSeconds Time = 0;
    std::string_view Line;
};

/// Reads "YYYY-MM-DDTHH:MM:SSZ<TAB>line"; nothing for any other text (a bad date such as
/// 2026-02-30, a leap second 23:59:60, no tab). The line may be empty.
std::optional<CaptureLine> ReadCaptureLine(std::string_view text);

/// Reads "YYYY-MM-DDTHH:MM:SSZ", years 1970 to 9999.
std::optional<UnixSeconds> ReadUtcTime(std::string_view text);

/// "2026-06-14T10:00:25Z"; times before 1970 or after 9999 are clamped to those years' ends.
std::string UtcTimeText(UnixSeconds time);

} // namespace ionvane::tracker
