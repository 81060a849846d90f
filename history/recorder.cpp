#include "recorder.h"

namespace ionvane::history {

bool Record(HistoryStore &store, std::int64_t receivedAt, std::int64_t spotAt,
            std::string_view line, const tracker::LineResult &result,
            const std::vector<tracker::TrackerEvent> &events) {
    if (!store.IsWritable()) {
        return true; // a read-only store was said so when it opened; nothing failed since
    }
    bool written = store.AddLine(receivedAt, line);
    if (result.What == tracker::LineResult::Kind::Spot) {
        StoredSpot spot;
        spot.Time = spotAt;
        spot.FromLoc = result.Read.FromLoc;
        spot.ToLoc = result.Read.ToLoc;
        spot.FreqMHz = result.Read.FreqMHz;
        spot.Band = result.SpotBand ? std::string(spot::BandName(*result.SpotBand)) : "";
        spot.Classification = tracker::EsClassName(result.Class);
        spot.Cloud = result.CloudId;
        written = store.AddSpot(spot) && written;
    }
    for (const auto &event : events) {
        if (const auto *alarm = std::get_if<tracker::AlarmEvent>(&event)) {
            written = store.AddAlarm(alarm->Time, spot::BandName(alarm->Which), alarm->CloudId,
                                     alarm->Text) &&
                      written;
        }
    }
    return store.EndLine() && written;
}

std::size_t RestoreRecent(HistoryStore &store, tracker::SpotPipeline &pipeline, std::int64_t now) {
    return RestoreRecent(store, pipeline, now,
                         [&pipeline](std::int64_t time, std::string_view line,
                                     std::vector<tracker::TrackerEvent> &events) {
                             pipeline.Feed(time, line, events);
                         });
}

std::size_t RestoreRecent(HistoryStore &store, tracker::SpotPipeline &pipeline, std::int64_t now,
                          const LineFeeder &feed) {
    const std::vector<StoredLine> lines = store.LinesSince(now - RestoreWindowS);
    std::vector<tracker::TrackerEvent> events;
    for (const StoredLine &line : lines) {
        feed(line.Time, line.Line, events);
        events.clear();
    }
    pipeline.Tick(now, events);
    return lines.size();
}

} // namespace ionvane::history
