// What a live session tells its front ends: plain values, turned into JSON lines by the command
// line and into rows, map scenes and alarms by the live window.
#pragma once

#include "cluster/session_machine.h"
#include "feed/feed_event.h"
#include "source_lines.h"
#include "tracker/spot_pipeline.h"
#include "wsjtx/wsjtx_event.h"

#include <QDateTime>
#include <QMetaType>

#include <cstddef>
#include <string>
#include <variant>
#include <vector>

namespace ionvane::live {

using tracker::UnixSeconds;

/// A received line or report that read as a spot: calculated, or skipped with its reason. Lines
/// that are no spot at all (talk, prompts) give none.
struct SpotTaken {
    LineSource From = LineSource::Cluster;
    /// The time the event is reported at: the tracker's clock once a cluster line was taken (the
    /// line's time unless the clock was already later), the receipt time of a report.
    UnixSeconds Time = 0;
    /// A spot's own time (a feed report's or WSJT-X decode's own time, a listed spot's time), the
    /// receipt time of a skipped line or report.
    UnixSeconds SpotTime = 0;
    std::string Raw; ///< the line, or a report's capture body ("MQTT TOPIC PAYLOAD")
    tracker::LineResult Result;
    bool Restored = false; ///< read back from the store at start, not received now
    /// The tracker's clock once the line or report was taken.
    UnixSeconds Clock = 0;
};

/// A cloud, verdict or alarm of the tracker. Restored ones come from reading the store back: an
/// alarm among them was raised in an earlier session and is not raised again.
struct TrackerChange {
    tracker::TrackerEvent Event;
    bool Restored = false;
};

/// The store's last hour has been read back: what the tracker holds now.
struct RestoreDone {
    std::size_t Lines = 0;
    std::vector<tracker::CloudEvent> Clouds; ///< as "new" or "fading" at the clock
    tracker::VerdictEvent Verdict;
};

/// A change of the cluster session's connection.
struct ClusterConnection {
    QDateTime TimeUtc;
    cluster::ConnectionEvent Event;
};

/// A change of the feed's connection (a Connection event of the feed source).
struct FeedConnection {
    feed::FeedEvent Event;
};

/// A change of the WSJT-X source's listening (a Listening event of the WSJT-X source).
struct WsjtxListening {
    wsjtx::WsjtxEvent Event;
};

/// The connection news of any source, as the source gave it, and whether the source has ended
/// for good: the node refused the call or the password, the broker every topic, or the WSJT-X
/// port is another program's. An ended source is let go and not tried again; one that lost its
/// connection retries by itself and has not ended.
struct SourceState {
    LineSource From = LineSource::Cluster;
    bool Ended = false;
    std::variant<ClusterConnection, FeedConnection, WsjtxListening> News;
};

/// The history store failed: it could not be opened as it was (moved aside, or none at all), or
/// a line could not be written (a full disk). A write failure is said once a session; the
/// session goes on, and so do the tries to record. Busy: another program keeps the store locked
/// and lines wait in memory, said once when it starts and once when they are written (Free).
struct StoreProblem {
    enum class Kind { Open, Write, Busy, Free };
    Kind What = Kind::Open;
    std::string Message;
};

/// The session log could not be written: the line was not taken, and nothing more is logged.
struct LogProblem {};

/// Everything one received line, report, ageing tick or restore brought has been told.
struct Settled {
    UnixSeconds Now = 0;
};

using LiveEvent = std::variant<SpotTaken, TrackerChange, RestoreDone, SourceState, StoreProblem,
                               LogProblem, Settled>;

} // namespace ionvane::live

Q_DECLARE_METATYPE(ionvane::live::LiveEvent)
