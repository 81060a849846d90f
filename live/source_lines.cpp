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
    read.Time = time;
    const auto datagram =
        wsjtx::StoredEvent(Wsjtx, wsjtx::Seconds(std::chrono::seconds(time)), line);
    if (datagram) {
        read.From = LineSource::Wsjtx;
        pipeline.Tick(time, events);
        read.Result = WsjtxDatagram(pipeline, *datagram, events);
        if (read.Result.What == tracker::LineResult::Kind::Spot) {
            read.Time = read.Result.SpotTime;
        }
        return read;
    }
    const auto report = feed::StoredEvent(Reader, feed::Seconds(std::chrono::seconds(time)), line);
    if (!report) {
        read.Result = pipeline.Feed(time, line, events);
        if (read.Result.What == tracker::LineResult::Kind::Spot) {
            read.Time = read.Result.SpotTime;
        }
        return read;
    }
    read.From = LineSource::Feed;
    pipeline.Tick(time, events);
    read.Result = FeedReport(pipeline, *report, events);
    if (read.Result.What == tracker::LineResult::Kind::Spot) {
        read.Time = read.Result.SpotTime;
    }
    return read;
}

} // namespace ionvane::live
