// The feed source's connection events as JSON objects of one line each. Reports become the spot
// and skipped events of every source (spot_events.h).
#pragma once

#include "events.h"
#include "feed/feed_event.h"

namespace ionvane::cli {

/// The "source" member of a feed connection event: the cluster's connection events have none.
constexpr std::string_view FeedSourceName = "mqtt";

/// {"event":"connection","time":T,"source":"mqtt","state":"subscribed","detail":"...",
///  "retryInSeconds":N (waiting only)}: T is the receipt time, the states those of
/// feed::ConnectionName.
JsonObject FeedConnectionEventJson(const feed::FeedEvent &event);

} // namespace ionvane::cli
