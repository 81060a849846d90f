// A feed report in a capture line (spot/capture_line.h), as the session log keeps it and replay
// reads it back: `2026-06-14T10:00:25Z<TAB>MQTT pskr/filter/v2/6m/FT8/... {"sq":...}`. After the
// receipt time and tab, "MQTT", the topic and the payload. Replay hands the payload to the same
// report reader, so a capture gives what the live feed gave.
#pragma once

#include "report_reader.h"

#include <optional>
#include <string>
#include <string_view>

namespace ionvane::feed {

/// Longest topic kept. The feed's topics (ten levels of band, mode, calls, locators and country
/// codes) stay under 150 bytes; a longer one is cut here.
constexpr std::size_t MaxTopicBytes = 1024;

/// The payload as the program reads it, live and in replay alike: valid UTF-8 (bad bytes become
/// U+FFFD), control characters other than tab removed, and a payload past MaxPayloadBytes cut just
/// past that bound, so that it still reads as too long.
std::string PayloadText(std::string_view payload);

/// The line after the time and tab: "MQTT", the topic, the payload. In the topic a blank, a "%"
/// and control characters are written %XX (hex), so the first blank after it ends it.
std::string CaptureBody(std::string_view topic, std::string_view payload);

/// A feed report read back from a capture line.
struct CapturedReport {
    Seconds ReceivedAt{};
    std::string Topic;   ///< %XX decoded
    std::string Payload; ///< as written, to go to the report reader
};

/// The report of a capture line, or nothing when the line is not a feed line (a cluster line, a
/// bad time, no topic). A line end (LF or CRLF) is ignored.
std::optional<CapturedReport> ReadCaptureLine(std::string_view line);

/// The report of a line as kept without its time (the history store keeps the time apart):
/// CaptureBody's "MQTT TOPIC PAYLOAD" received at `receivedAt`; nothing for any other line.
std::optional<CapturedReport> ReadCaptureBody(Seconds receivedAt, std::string_view body);

} // namespace ionvane::feed
