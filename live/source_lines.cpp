#include "source_lines.h"

namespace ionvane::live {

tracker::LineResult FeedReport(tracker::SpotPipeline &pipeline, const feed::FeedEvent &event,
                               std::vector<tracker::TrackerEvent> &events) {
    if (event.What == feed::FeedEvent::Kind::Spot) {
        return pipeline.FeedSpot(event.Time.time_since_epoch().count(), event.Reading.Read, events);
    }
    tracker::LineResult result;
    if (event.What == feed::FeedEvent::Kind::Skipped) {
        result.What = tracker::LineResult::Kind::Skipped;
        result.Reason = feed::ReportProblemText(event.Reading.Problem);
        result.Read = event.Reading.Read;
    }
    return result;
}

tracker::LineResult WsjtxDatagram(tracker::SpotPipeline &pipeline, const wsjtx::WsjtxEvent &event,
                                  std::vector<tracker::TrackerEvent> &events) {
    if (event.What == wsjtx::WsjtxEvent::Kind::Spot) {
        return pipeline.FeedSpot(event.Reading.Time.time_since_epoch().count(), event.Reading.Read,
                                 events);
    }
    tracker::LineResult result;
    if (event.What == wsjtx::WsjtxEvent::Kind::Skipped) {
        result.What = tracker::LineResult::Kind::Skipped;
        result.Reason = event.Reason();
        result.Read = event.Reading.Read;
    }
    return result;
}

SourceLine SourceLines::Feed(tracker::SpotPipeline &pipeline, tracker::UnixSeconds time,
                             std::string_view line, std::vector<tracker::TrackerEvent> &events) {
    SourceLine read;
    const wsjtx::Seconds received{std::chrono::seconds(time)};
    if (const auto datagram = wsjtx::StoredEvent(Wsjtx, received, line)) {
        read.From = LineSource::Wsjtx;
        pipeline.Tick(time, events);
        read.Result = WsjtxDatagram(pipeline, *datagram, events);
    } else if (const auto report = feed::StoredEvent(Reader, received, line)) {
        read.From = LineSource::Feed;
        pipeline.Tick(time, events);
        read.Result = FeedReport(pipeline, *report, events);
    } else {
        read.Result = pipeline.Feed(time, line, events);
    }
    // A spot at its own time, anything else at the line's.
    read.Time = read.Result.What == tracker::LineResult::Kind::Spot ? read.Result.SpotTime : time;
    return read;
}

} // namespace ionvane::live
