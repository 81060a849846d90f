#include "live_tracker.h"

#include "cli/report.h"
#include "history/recorder.h"
#include "tracker_events.h"

#include <QTimeZone>

#include <ostream>

namespace ionvane::cli {

LiveTracker::LiveTracker(calc::NumberFormat format, tracker::HomeSettings home,
                         tracker::TrackerSettings settings, bool anyMode, EventWriter &writer,
                         history::HistoryStore *store, std::ostream &err)
    : Pipeline(tracker::SpotCalculator(format, home), settings, anyMode),
      Restored(wsjtx::ReaderSettings{home.HomeLocator, false}), Writer(writer), Store(store),
      Err(err) {}

std::size_t LiveTracker::Restore(tracker::UnixSeconds now) {
    if (Store == nullptr) {
        Pipeline.Tick(now, Events);
        Events.clear();
        return 0;
    }
    history::RestoreRecent(*Store, Pipeline, now,
                           [this](std::int64_t time, std::string_view line,
                                  std::vector<tracker::TrackerEvent> &events) {
                               Restored.Feed(Pipeline, time, line, events);
                           });
    const std::vector<tracker::CloudEvent> clouds = Pipeline.Clouds().CurrentClouds();
    for (const auto &cloud : clouds) {
        Writer.Write(CloudEventJson(cloud));
    }
    if (!clouds.empty()) {
        Writer.Write(VerdictEventJson(Pipeline.Clouds().CurrentVerdict()));
    }
    return clouds.size();
}

void LiveTracker::Line(const QDateTime &timeUtc, const std::string &line) {
    const tracker::UnixSeconds time = timeUtc.toSecsSinceEpoch();
    // The ageing the line's time brings comes before what the line itself brings.
    Pipeline.Tick(time, Events);
    WriteEvents();
    const tracker::LineResult result = Pipeline.Feed(time, line, Events);
    if (result.What == tracker::LineResult::Kind::Spot) {
        Writer.Write(LiveSpotEventJson(timeUtc, line, result));
    } else if (result.What == tracker::LineResult::Kind::Skipped) {
        Writer.Write(SkippedEventJson(timeUtc, line, result.Reason));
    }
    Record(time, line, result);
    WriteEvents();
}

void LiveTracker::Report(const feed::FeedEvent &event) {
    if (event.What == feed::FeedEvent::Kind::Connection) {
        return;
    }
    Received(event.ReceivedAt.time_since_epoch().count(), event.Raw,
             [&] { return history::FeedReport(Pipeline, event, Events); });
}

void LiveTracker::Datagram(const wsjtx::WsjtxEvent &event) {
    if (event.What == wsjtx::WsjtxEvent::Kind::Listening) {
        return;
    }
    Received(event.ReceivedAt.time_since_epoch().count(), event.Raw,
             [&] { return history::WsjtxDatagram(Pipeline, event, Events); });
}

void LiveTracker::Received(tracker::UnixSeconds received, const std::string &raw,
                           const std::function<tracker::LineResult()> &read) {
    Pipeline.Tick(received, Events);
    WriteEvents();
    const QDateTime timeUtc = QDateTime::fromSecsSinceEpoch(received, QTimeZone::utc());
    const tracker::LineResult result = read();
    if (result.What == tracker::LineResult::Kind::Spot) {
        Writer.Write(LiveSpotEventJson(timeUtc, raw, result));
    } else if (result.What == tracker::LineResult::Kind::Skipped) {
        Writer.Write(SkippedEventJson(timeUtc, raw, result.Reason));
    }
    Record(received, raw, result);
    WriteEvents();
}

void LiveTracker::Tick(tracker::UnixSeconds now) {
    Pipeline.Tick(now, Events);
    WriteEvents();
}

void LiveTracker::WriteEvents() {
    for (const auto &event : Events) {
        Writer.Write(TrackerEventJson(event));
    }
    Events.clear();
}

void LiveTracker::Record(tracker::UnixSeconds time, const std::string &line,
                         const tracker::LineResult &result) {
    if (Store == nullptr) {
        return;
    }
    const std::string before = Store->Message();
    history::Record(*Store, time, line, result, Events);
    // A failing store (a full disk) is said once; the session goes on, and so do the tries to
    // record, which succeed again once there is room.
    if (Store->Message() != before && !StoreFailed) {
        StoreFailed = true;
        Err << "ionvane-cli: " << Store->Message() << '\n';
        Err.flush();
    }
}

JsonObject LiveSpotEventJson(const QDateTime &timeUtc, std::string_view raw,
                             const tracker::LineResult &result) {
    const std::string spot = SpotJson(result.Read);
    // The object of --spot --json for the same line: the tracker's run is that of --spot (the
    // spot's frequency as a number, never re-read through the number format).
    std::string report = "{";
    report += ReportMembers(result.Run.Outcome, result.Run.Screen);
    report += ",\"spot\":";
    report += spot;
    report += '}';
    JsonObject json = Event("spot", timeUtc);
    json.String("raw", raw)
        .Raw("spot", spot)
        .String("classification", tracker::EsClassName(result.Class));
    if (result.SpotBand) {
        json.String("band", tracker::BandName(*result.SpotBand));
    } else {
        json.Null("band");
    }
    if (result.CloudId) {
        json.Integer("cloud", *result.CloudId);
    } else {
        json.Null("cloud");
    }
    // The result last: a script can cut it off the line as is.
    json.Raw("result", report);
    return json;
}

} // namespace ionvane::cli
