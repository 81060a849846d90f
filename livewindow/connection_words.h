// The state of the cluster session and of the feed in the words the connection bar shows: short,
// read at a glance ("Logged in to db0xyz.net", "Lost, retrying in 40 s").
#pragma once

#include "cluster/session_machine.h"
#include "feed/feed_event.h"

#include <QString>

namespace ionvane::livewindow {

/// What a connection's words depend on besides its newest event: whether it was ever up since the
/// user pressed Connect, and why it last failed. Without it a failure reads as "Lost".
struct ConnectionMemory {
    bool EverUp = false;
    std::string LastTrouble;
};

/// Why a connection failed, as the user tells the cases apart: a wrong port is refused, a
/// mistyped host is not found, a silent one times out; only one that was up can be lost.
enum class Trouble { Refused, NotFound, TimedOut, Lost, CannotConnect };

/// The trouble a failure's detail (the socket's or the broker library's words) names; `everUp`
/// tells a lost connection from one that never came.
Trouble TroubleOf(const std::string &detail, bool everUp);

/// The words for a change of the cluster session with the node `host`; `memory`, when given, is
/// kept up to date and names a failure's trouble in the wait that follows it.
QString ClusterStateWords(const cluster::ConnectionEvent &event, const QString &host,
                          ConnectionMemory *memory = nullptr);

/// The words for a change of the feed's connection (events of other kinds give an empty text),
/// with `memory` as for the cluster.
QString FeedStateWords(const feed::FeedEvent &event, ConnectionMemory *memory = nullptr);

/// "40 s", "2 min 30 s": a wait as the user reads it, whole seconds rounded up.
QString WaitWords(std::chrono::milliseconds wait);

/// Words for a session the user has not started or has ended.
inline const char *DisconnectedWords = "Not connected";

} // namespace ionvane::livewindow
