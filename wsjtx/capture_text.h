// A WSJT-X datagram in a capture line (spot/capture_line.h), as the session log and the history
// store keep it, readable and enough to read it again: `2026-06-14T10:00:25Z<TAB>WSJTX Decode
// id=WSJT-X schema=2 new=1 time-ms=36015000 snr=-12 dt=0.1 df=1234 mode=~
// message=CQ%20EA8ABC%20IL18 low-confidence=0 off-air=0`.
#pragma once

#include "datagram.h"
#include "decode_reader.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace ionvane::wsjtx {

/// Longest body CaptureBody writes: every byte of a datagram written %XX at worst, and the names
/// and numbers of a status's 22 fields in well under 1 KiB.
constexpr std::size_t MaxCaptureBodyBytes = 3 * MaxDatagramBytes + 1024;

/// The line after the time and tab: "WSJTX", the message type ("Heartbeat", "Status", "Decode",
/// "Clear", "Close", "Other" for a type not read, "Unread" for a datagram that did not read), then
/// NAME=VALUE fields. In a value a blank, "%" and control characters are written %XX (hex).
std::string CaptureBody(const Datagram &datagram);

/// The datagram of a line CaptureBody wrote: the fields it names, anything missing or unreadable
/// as zero or empty. Nothing when the line is no WSJT-X line.
std::optional<Datagram> ReadCaptureBody(std::string_view body);

/// The receipt time and datagram of a whole capture line; nothing for a line of another source.
/// A line end (LF or CRLF) is ignored.
struct CapturedDatagram {
    Seconds ReceivedAt{};
    Datagram Read;
};
std::optional<CapturedDatagram> ReadCaptureLine(std::string_view line);

} // namespace ionvane::wsjtx
