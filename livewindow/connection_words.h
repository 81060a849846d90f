// The state of the cluster session and of the feed in the words the connection bar shows: short,
// read at a glance ("Logged in to db0xyz.net", "Lost, retrying in 40 s").
#pragma once

#include "cluster/session_machine.h"
#include "feed/feed_event.h"

#include <QString>

namespace ionvane::livewindow {

/// The words for a change of the cluster session with the node `host`.
QString ClusterStateWords(const cluster::ConnectionEvent &event, const QString &host);

/// The words for a change of the feed's connection (events of other kinds give an empty text).
QString FeedStateWords(const feed::FeedEvent &event);

/// "40 s", "2 min 30 s": a wait as the user reads it, whole seconds rounded up.
QString WaitWords(std::chrono::milliseconds wait);

/// Words for a session the user has not started or has ended.
inline const char *DisconnectedWords = "Not connected";

} // namespace ionvane::livewindow
