// The live events' JSON in one place: the line of every event a live session or a replay prints,
// one JSON object a line. Every event starts with "event" and "time" (EventStart); the tracker's
// own events are written in tracker_json.h.
#pragma once

#include "alarm/call_highlights.h"
#include "cluster/session_machine.h"
#include "live/live_events.h"
#include "tracker/spot_pipeline.h"

#include <functional>
#include <string>
#include <string_view>

namespace ionvane::cli {

/// {"event":"spot","time":..,"raw":..,"spot":{..},"classification":"es","band":"6m" or null,
///  "cloud":1 or null,"result":{..as --json..}}: "spot" is AppendSpotMembers' object, the
///  classification the tracker's (es, multi-hop, too-short, other-mode, other-band, no-result), the
///  cloud the one a counted spot joined. A spot placed from its calls has "placed":{..} after
///  "cloud", saying how each end was found. With `spotInResult`, "result" ends with the "spot"
///  member too, as --spot --json writes it.
std::string SpotEventJson(tracker::UnixSeconds time, std::string_view raw,
                          const tracker::LineResult &result, bool spotInResult = false);

/// {"event":"skipped","time":..,"raw":..,"reason":..}
std::string SkippedEventJson(tracker::UnixSeconds time, std::string_view raw,
                             std::string_view reason);

/// {"event":"connection","time":T,"state":"lost","detail":"...","retryInSeconds":N (waiting only)}:
/// the cluster's; the feed's and WSJT-X's have "source":"mqtt" or "wsjtx" after the time.
std::string ConnectionEventJson(tracker::UnixSeconds time, const cluster::ConnectionEvent &event);

/// {"event":"highlight","time":T,"id":"WSJT-X","call":"EA8ABC","background":"#c62828",
/// "foreground":"#ffffff"}, or with "clear":true in place of the colours.
std::string HighlightEventJson(tracker::UnixSeconds time, const alarm::HighlightRequest &request);

/// Whether a spot event's "result" repeats the spot, as --spot --json writes it (a live session),
/// or leaves it out, as replay always has.
enum class SpotInResult { Repeated, Left };

/// Calls `write` with each JSON line (without its line end) of `event`, in order: a spot or
/// skipped event, a cloud, verdict or alarm, the clouds and then the verdict a restore leaves
/// (nothing when no cloud is left), a connection change. What a restore reads back, the store's
/// and the log's problems and Settled give none: the caller says those otherwise.
void LiveEventLines(const live::LiveEvent &event, SpotInResult spotInResult,
                    const std::function<void(const std::string &)> &write);

} // namespace ionvane::cli
