// WSJT-X's highlights of a session: its live events (decodes of WSJT-X, the tracker's clouds and
// verdicts) turned into HighlightCallsign requests, for the command line and the window alike.
#pragma once

#include "call_highlights.h"
#include "live/live_events.h"

#include <functional>
#include <optional>

namespace ionvane::alarm {

/// The decoded call of a WSJT-X spot, or none for any other event.
std::optional<DecodedCall> DecodedCallOf(const live::SpotTaken &taken);

/// The highlights of one session: every request goes to `send` with the time of the event that
/// brought it.
class SessionHighlights {
  public:
    using Sender = std::function<void(tracker::UnixSeconds, const HighlightRequest &)>;
    explicit SessionHighlights(Sender send);

    void Take(const live::LiveEvent &event);
    /// The session ends (or the highlights are turned off): what was set is cleared.
    void Finish(tracker::UnixSeconds now);

  private:
    void Send(tracker::UnixSeconds time, const std::vector<HighlightRequest> &requests);

    CallHighlights Calls;
    Sender Out;
    tracker::UnixSeconds Latest = 0;
};

} // namespace ionvane::alarm
