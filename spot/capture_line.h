// The capture line: what the session log writes of every line, report and datagram received, and
// what replay and the history store read back. The UTC receipt time to the second, a tab, and the
// received line as the program keeps it ("2026-06-14T10:00:25Z<TAB>DX de DK7UK: ..."). A feed
// report's line starts "MQTT " (feed/capture_line.h), a WSJT-X datagram's "WSJTX "
// (wsjtx/capture_text.h); every other line is the cluster's.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ionvane::spot {

/// The capture line of `line` received at `receivedAtS` (seconds since 1970, UTC), without a line
/// end: the time as UtcTimeText writes it, a tab, then CleanLine(line).
std::string CaptureLine(std::int64_t receivedAtS, std::string_view line);

/// One line of a capture: its time and the received line (a view into the text read).
struct CapturedLine {
    std::int64_t Time = 0;
    std::string_view Line;
};

/// Reads "YYYY-MM-DDTHH:MM:SSZ<TAB>line"; nothing for any other text (a bad date such as
/// 2026-02-30, a leap second 23:59:60, no tab). The line may be empty; a line end stays in it.
std::optional<CapturedLine> ReadCaptureLine(std::string_view text);

/// The text without one line end, LF or CRLF.
std::string_view WithoutLineEnd(std::string_view text);

} // namespace ionvane::spot
