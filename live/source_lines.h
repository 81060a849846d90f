// Lines of every source in one tracker: a DX-cluster line goes to the spot reader, a feed report
// ("MQTT TOPIC PAYLOAD", as the session log and the history store keep it) to the feed's report
// reader, a WSJT-X datagram ("WSJTX Decode ...") to the decode reader, so that a capture or a
// store holding several kinds replays as the live session ran.
#pragma once

#include "feed/feed_event.h"
#include "feed/report_reader.h"
#include "tracker/spot_pipeline.h"
#include "wsjtx/decode_reader.h"
#include "wsjtx/wsjtx_event.h"

#include <string_view>
#include <vector>

namespace ionvane::live {

/// A feed report in the tracker, after the clock was moved to its receipt time: its spot at the
/// spot's own time, or skipped with the report reader's reason. A connection event gives Ignored.
tracker::LineResult FeedReport(tracker::SpotPipeline &pipeline, const feed::FeedEvent &event,
                               std::vector<tracker::TrackerEvent> &events);

/// A WSJT-X datagram in the tracker, after the clock was moved to its receipt time: a decode's spot
/// at its slot time (a recording's at its receipt), or skipped with the reader's reason. Listening
/// changes, heartbeats and status messages give Ignored.
tracker::LineResult WsjtxDatagram(tracker::SpotPipeline &pipeline, const wsjtx::WsjtxEvent &event,
                                  std::vector<tracker::TrackerEvent> &events);

/// Where a line read back came from.
enum class LineSource { Cluster, Feed, Wsjtx };

/// What became of a line read back.
struct SourceLine {
    LineSource From = LineSource::Cluster;
    tracker::LineResult Result;
    tracker::UnixSeconds Time = 0; ///< a spot's own time, else the line's
};

/// Reads lines of every source back into a tracker, remembering the feed's sequence numbers so
/// that a report kept twice counts once, and WSJT-X's dial and recent calls, as it did live.
class SourceLines {
  public:
    /// `wsjtx`: the home locator and whether recordings count, as for the live source.
    explicit SourceLines(wsjtx::ReaderSettings wsjtx = {}) : Wsjtx(std::move(wsjtx)) {}

    /// The line `line` (without time) received at `time`: moves the clock, then the line's spot.
    SourceLine Feed(tracker::SpotPipeline &pipeline, tracker::UnixSeconds time,
                    std::string_view line, std::vector<tracker::TrackerEvent> &events);

    /// Whether WSJT-X's recordings count from now on.
    void SetWsjtxRecordings(bool recordings) { Wsjtx.Options().Recordings = recordings; }

  private:
    feed::ReportReader Reader;
    wsjtx::DecodeReader Wsjtx;
};

} // namespace ionvane::live
