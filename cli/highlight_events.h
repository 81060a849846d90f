// WSJT-X's highlights in a session of the command line: the decodes and the tracker's clouds and
// verdicts of the live events turned into HighlightCallsign requests, sent to WSJT-X live and
// printed as events in a replay.
#pragma once

#include "alarm/call_highlights.h"
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

/// The decoded call of a WSJT-X spot, or none for any other event.
std::optional<alarm::DecodedCall> DecodedCallOf(const live::SpotTaken &taken);

/// The highlights of one session: every request goes to `send` with the time of the event that
/// brought it.
class SessionHighlights {
  public:
    using Sender = std::function<void(tracker::UnixSeconds, const alarm::HighlightRequest &)>;
    explicit SessionHighlights(Sender send);

    void Take(const live::LiveEvent &event);
    /// The session ends: what was set is cleared.
    void Finish(tracker::UnixSeconds now);

  private:
    void Send(tracker::UnixSeconds time, const std::vector<alarm::HighlightRequest> &requests);

    alarm::CallHighlights Calls;
    Sender Out;
    tracker::UnixSeconds Latest = 0;
};

/// The highlights of `core`'s session when `on`, each request given to `send`; none when off.
std::unique_ptr<SessionHighlights> FollowHighlights(bool on, live::LiveCore &core,
                                                    SessionHighlights::Sender send);

} // namespace ionvane::cli
