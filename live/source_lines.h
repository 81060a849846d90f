// Lines of both sources in one tracker: a DX-cluster line goes to the spot reader, a feed report
// ("MQTT TOPIC PAYLOAD", as the session log and the history store keep it) to the feed's report
// reader, so that a capture or a store holding both kinds replays as the live session ran.
#pragma once

#include "feed/feed_event.h"
#include "feed/report_reader.h"
#include "tracker/spot_pipeline.h"

#include <string_view>
#include <vector>

namespace ionvane::live {

/// A feed report in the tracker, after the clock was moved to its receipt time: its spot at the
/// spot's own time, or skipped with the report reader's reason. A connection event gives Ignored.
tracker::LineResult FeedReport(tracker::SpotPipeline &pipeline, const feed::FeedEvent &event,
                               std::vector<tracker::TrackerEvent> &events);

/// Where a line read back came from.
enum class LineSource { Cluster, Feed };

/// What became of a line read back.
struct SourceLine {
    LineSource From = LineSource::Cluster;
    tracker::LineResult Result;
    tracker::UnixSeconds Time = 0; ///< a spot's own time, else the line's
};

/// Reads lines of either source back into a tracker, remembering the feed's sequence numbers so
/// that a report kept twice counts once, as it did live.
class SourceLines {
  public:
    /// The line `line` (without time) received at `time`: moves the clock, then the line's spot.
    SourceLine Feed(tracker::SpotPipeline &pipeline, tracker::UnixSeconds time,
                    std::string_view line, std::vector<tracker::TrackerEvent> &events);

  private:
    feed::ReportReader Reader;
};

} // namespace ionvane::live
