// WSJT-X's highlights in a session of the command line: the decodes and the tracker's clouds and
// verdicts of the live events turned into HighlightCallsign requests, sent to WSJT-X live and
// printed as events in a replay.
#pragma once

#include "alarm/session_highlights.h"
#include "cli/events.h"
#include "live/live_core.h"
#include "live/live_events.h"

#include <functional>
#include <memory>
#include <optional>

namespace ionvane::cli {

/// {"event":"highlight","time":T,"id":"WSJT-X","call":"EA8ABC","background":"#c62828",
/// "foreground":"#ffffff"}, or with "clear":true in place of the colours.
JsonObject HighlightEventJson(tracker::UnixSeconds time, const alarm::HighlightRequest &request);

/// The highlights of `core`'s session when `on`, each request given to `send`; none when off.
std::unique_ptr<alarm::SessionHighlights> FollowHighlights(bool on, live::LiveCore &core,
                                                           alarm::SessionHighlights::Sender send);

} // namespace ionvane::cli
