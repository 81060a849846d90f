// What a feed source reports: a change of its connection, or one report read into a spot or
// skipped with its reason. Plain values, turned into JSON or widgets by whoever listens.
#pragma once

#include "capture_body.h"
#include "feed_bands.h"
#include "report_reader.h"

#include <chrono>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace ionvane::feed {

/// A change of the connection to the broker.
enum class FeedConnection {
    Connecting,  ///< looking up the broker, connecting and waiting for its answer
    Subscribing, ///< the broker took the connection; the band topics are asked for
    Subscribed,  ///< the broker confirmed the topics: reports flow
    Lost,        ///< a connection or an attempt failed (Detail says why)
    Waiting,     ///< waiting RetryIn before the next attempt
    Refused,     ///< the broker refused every topic; no further attempt
    Stopped,     ///< stopped by the program; the broker was told goodbye
};

/// The connection word of an event: "connecting", "subscribing", "subscribed", "lost", "waiting",
/// "refused", "stopped".
std::string_view ConnectionName(FeedConnection connection);

struct FeedEvent {
    enum class Kind { Connection, Spot, Skipped };
    Kind What = Kind::Connection;
    /// The spot's time for a spot (the report's own time when believable, else the receipt
    /// time); the receipt time for everything else.
    Seconds Time{};
    Seconds ReceivedAt{};

    // Connection
    FeedConnection Connection = FeedConnection::Stopped;
    std::string Detail;                  ///< broker address, topics, or the reason of a failure
    std::chrono::milliseconds RetryIn{}; ///< with Waiting

    // Spot and Skipped
    ReportReading Reading; ///< the spot, or the problem of a skipped report
    std::string Raw;       ///< the capture body, "MQTT TOPIC PAYLOAD"
};

/// The event of one report received at `receivedAt`, live or replayed: read with `reader` (which
/// remembers sequence numbers) from the payload as the capture keeps it. A report on a topic of
/// none of `bands` (the bands subscribed to; a replay knows only that they were feed bands) is
/// skipped unread.
FeedEvent ReportEvent(ReportReader &reader, Seconds receivedAt, std::string_view topic,
                      std::string_view payload, std::span<const spot::Band> bands = spot::AllBands);

/// The event of one capture line in a replay, or nothing when the line is no feed line (a cluster
/// line goes to the cluster's reader instead). Gives what the live source gave for the report.
std::optional<FeedEvent> ReplayEvent(ReportReader &reader, std::string_view line);

/// The event of a line kept without its time (ReadCaptureBody), received at `receivedAt`, or
/// nothing when the line is no feed line.
std::optional<FeedEvent> StoredEvent(ReportReader &reader, Seconds receivedAt,
                                     std::string_view body);

} // namespace ionvane::feed
