// Between the tracker and the history store: recording what a received line brought, and replaying
// the last hour of the store into a fresh tracker at start.
#pragma once

#include "history_store.h"
#include "tracker/spot_pipeline.h"

#include <functional>
#include <string_view>
#include <vector>

namespace ionvane::history {

/// Records a line or report received at `receivedAt`: the line at that time, its spot when it was
/// calculated at the spot's own time `spotAt` (a feed report's decode time, else `receivedAt`),
/// and the alarms among `events`. False when a write failed (the store's message says why).
bool Record(HistoryStore &store, std::int64_t receivedAt, std::int64_t spotAt,
            std::string_view line, const tracker::LineResult &result,
            const std::vector<tracker::TrackerEvent> &events);

/// Feeds the lines of the store's last hour before `now` into `pipeline` and moves its clock on to
/// `now`; the events of this replay are dropped (the clouds and verdict it leaves are what the
/// caller reports, and alarms already raised are not raised again). Returns the lines replayed.
std::size_t RestoreRecent(HistoryStore &store, tracker::SpotPipeline &pipeline, std::int64_t now);

/// Feeds one stored line, received at `time`, into the tracker; for a store that holds lines of
/// more than the cluster (feed reports), which the spot reader alone would not read.
using LineFeeder = std::function<void(std::int64_t time, std::string_view line,
                                      std::vector<tracker::TrackerEvent> &events)>;

/// As RestoreRecent above, each line through `feed`.
std::size_t RestoreRecent(HistoryStore &store, tracker::SpotPipeline &pipeline, std::int64_t now,
                          const LineFeeder &feed);

} // namespace ionvane::history
