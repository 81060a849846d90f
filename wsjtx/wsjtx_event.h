// What a WSJT-X source reports: a change of its listening, or one datagram read into a spot,
// skipped with its reason, or taken as news of WSJT-X's state. Plain values, turned into JSON or
// widgets by whoever listens.
#pragma once

#include "capture_text.h"
#include "datagram.h"
#include "decode_reader.h"

#include <optional>
#include <string>
#include <string_view>

namespace ionvane::wsjtx {

/// Where a source stands.
enum class Listening {
    Listening, ///< bound to the port (and in the group): datagrams are read
    Failed,    ///< the port or the group could not be taken (Detail says why); nothing is read
    Stopped,   ///< stopped by the program
};

/// The word of a listening state: "listening", "failed", "stopped".
std::string_view ListeningName(Listening state);

struct WsjtxEvent {
    enum class Kind {
        Listening, ///< a change of the source's state
        Spot,      ///< a decode that became a spot
        Skipped,   ///< a decode, or a datagram that did not read, that gives no spot
        News,      ///< a heartbeat, status, clear, close or another type
    };
    Kind What = Kind::Listening;
    Seconds ReceivedAt{};

    // Listening
    wsjtx::Listening State = Listening::Stopped;
    std::string Detail; ///< the address listened on, or the reason of a failure

    // Spot, Skipped and News
    Datagram Read;
    DecodeReading Reading; ///< the spot (at Reading.Time), or the problem
    std::string Raw;       ///< the capture body, "WSJTX Decode ..."

    /// The reason a datagram gives no spot; empty for spots and news. An unreadable datagram
    /// recorded after others not recorded says their number: "The datagram ends inside a field
    /// (and 212 more unreadable not recorded)".
    [[nodiscard]] std::string Reason() const;
};

/// The event of one datagram received at `receivedAt`, live or replayed, read with `reader`.
WsjtxEvent DatagramEvent(DecodeReader &reader, Seconds receivedAt, const Datagram &datagram);

/// The event of one capture line in a replay, or nothing when the line is no WSJT-X line.
std::optional<WsjtxEvent> ReplayEvent(DecodeReader &reader, std::string_view line);

/// The event of a line kept without its time (the history store), received at `receivedAt`, or
/// nothing when the line is no WSJT-X line.
std::optional<WsjtxEvent> StoredEvent(DecodeReader &reader, Seconds receivedAt,
                                      std::string_view body);

} // namespace ionvane::wsjtx
