// The capture format of a session log: one received line a line, after its UTC receipt time and
// a tab ("2026-06-14T10:00:25Z<TAB>DX de DK7UK: ..."); the time texts are spot/utc_time.h's.
#pragma once

#include "tracker_events.h"

#include <optional>
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

} // namespace ionvane::tracker
