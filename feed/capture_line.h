// The capture line of a feed report, as the session log keeps it and replay reads it back:
// `2026-06-14T10:00:25Z<TAB>MQTT pskr/filter/v2/6m/FT8/... {"sq":...}`. The receipt time, a tab,
// "MQTT", the topic and the payload. Replay hands the payload to the same report reader, so a
// capture gives what the live feed gave.
#pragma once

#include "report_reader.h"

#include <optional>
#include <string>
#include <string_view>

namespace ionvane::feed {

/// Longest topic kept. The feed's topics (ten levels of band, mode, calls, locators and country
/// codes) stay under 150 bytes; a longer one is cut here.
constexpr std::size_t MaxTopicBytes = 1024;

/// The receipt time as the capture writes it, "2026-06-14T10:00:25Z" (UTC), as a cluster capture
/// does (spot::UtcTimeText): years 1970 to 9999, a time outside them clamped to their ends.
std::string CaptureTimeText(Seconds time);

/// The time of a capture time text, exactly the form above with a valid date from 1970 to 9999,
/// hour 00-23, minute and second 00-59; nothing for anything else.
std::optional<Seconds> ReadCaptureTime(std::string_view text);

/// The payload as the program reads it, live and in replay alike: valid UTF-8 (bad bytes become
/// U+FFFD), control characters other than tab removed, and a payload past MaxPayloadBytes cut just
/// past that bound, so that it still reads as too long.
std::string PayloadText(std::string_view payload);

/// The line after the time and tab: "MQTT", the topic, the payload. In the topic a blank, a "%"
/// and control characters are written %XX (hex), so the first blank after it ends it.
std::string CaptureBody(std::string_view topic, std::string_view payload);

/// The whole capture line: time text, tab, CaptureBody.
std::string CaptureLine(Seconds receivedAt, std::string_view topic, std::string_view payload);

/// A feed report read back from a capture line.
struct CapturedReport {
    Seconds ReceivedAt{};
    std::string Topic;   ///< %XX decoded
    std::string Payload; ///< as written, to go to the report reader
};

/// The report of a capture line, or nothing when the line is not a feed line (a cluster line, a
/// bad time, no topic). A line end (LF or CRLF) is ignored.
std::optional<CapturedReport> ReadCaptureLine(std::string_view line);

} // namespace ionvane::feed
