#include "live_session.h"

#include "calc/locator.h"
#include "history/recorder.h"

#include <algorithm>

namespace ionvane::livewindow {

namespace {

// The two ends of a spot whose calculation completed (so both locators are valid).
void PlaceEnds(SpotRow &row) {
    const calc::LocatorCheck check = calc::CheckLocators(row.Read.FromLoc, row.Read.ToLoc);
    if (check.StatusCode != 0) {
        return;
    }
    const calc::Position from = calc::DecodeLocator(std::string_view(check.FromLoc));
    const calc::Position to = calc::DecodeLocator(std::string_view(check.ToLoc));
    row.From = map::GeoPoint{from.LatDeg, from.LonDeg};
    row.To = map::GeoPoint{to.LatDeg, to.LonDeg};
}

} // namespace

LiveSession::LiveSession(tracker::SpotCalculator calculator, tracker::TrackerSettings settings,
                         history::HistoryStore *store, std::function<UnixSeconds()> nowUtc,
                         QObject *parent)
    : QObject(parent), Pipeline(std::move(calculator), settings, false), Store(store),
      NowUtc(std::move(nowUtc)), AlarmFrom(settings.AlarmFrom) {
    connect(&Ageing, &QTimer::timeout, this, &LiveSession::Tick);
}

std::size_t LiveSession::Restore() {
    const UnixSeconds now = NowUtc();
    if (Store == nullptr) {
        Pipeline.Tick(now, Events);
        Events.clear();
        return 0;
    }
    // The lines themselves rather than history::RestoreRecent: the spot list and each cloud's
    // best spot need every line's result.
    const std::vector<history::StoredLine> lines = Store->LinesSince(now - history::RestoreWindowS);
    for (const history::StoredLine &stored : lines) {
        const history::SourceLine read = Restored.Feed(Pipeline, stored.Time, stored.Line, Events);
        Take(read.Time, stored.Line, read.Result, read.From, false);
        Publish(false);
    }
    Pipeline.Tick(now, Events);
    Publish(false);
    emit changed();
    return lines.size();
}

void LiveSession::ClusterLine(UnixSeconds time, const std::string &line) {
    // The ageing that the line's time brings comes before what the line itself brings.
    Pipeline.Tick(time, Events);
    Publish(true);
    const tracker::LineResult result = Pipeline.Feed(time, line, Events);
    Take(time, line, result, SpotSource::Cluster, true);
    Publish(true);
    emit changed();
}

void LiveSession::FeedReport(const feed::FeedEvent &event) {
    if (event.What == feed::FeedEvent::Kind::Connection) {
        return;
    }
    const UnixSeconds received = event.ReceivedAt.time_since_epoch().count();
    Pipeline.Tick(received, Events);
    Publish(true);
    // A spot at its own time, a skipped report at its receipt.
    const UnixSeconds time = event.What == feed::FeedEvent::Kind::Spot
                                 ? event.Time.time_since_epoch().count()
                                 : received;
    Take(time, event.Raw, history::FeedReport(Pipeline, event, Events), SpotSource::Feed, true);
    Publish(true);
    emit changed();
}

void LiveSession::Tick() {
    Pipeline.Tick(NowUtc(), Events);
    Publish(true);
    emit changed();
}

void LiveSession::StartAgeing() {
    Ageing.start(AgeingIntervalMs);
}

void LiveSession::Take(UnixSeconds time, const std::string &line, const tracker::LineResult &result,
                       SpotSource source, bool live) {
    if (live && Store != nullptr) {
        // Alarms below the alarm band were never raised for the user, so they are not recorded.
        std::vector<tracker::TrackerEvent> recorded;
        for (const auto &event : Events) {
            const auto *alarm = std::get_if<tracker::AlarmEvent>(&event);
            if (alarm == nullptr || alarm->Which >= AlarmFrom) {
                recorded.push_back(event);
            }
        }
        history::Record(*Store, time, line, result, recorded);
    }
    if (result.What == tracker::LineResult::Kind::Ignored) {
        return;
    }
    SpotRow row;
    row.Time = time;
    row.Source = source;
    row.Skipped = result.What == tracker::LineResult::Kind::Skipped;
    row.Reason = result.Reason;
    row.Read = result.Read;
    row.SpotBand = result.SpotBand;
    row.Class = result.Class;
    row.CloudId = result.CloudId;
    if (!row.Skipped && result.Run.Figures.Completed) {
        PlaceEnds(row);
    }
    Rows.push_front(row);
    if (Rows.size() > MaxListedSpots) {
        Rows.pop_back();
    }
    if (row.CloudId) {
        std::deque<SpotRow> &spots = CloudSpots[*row.CloudId];
        // In time order, as the tracker holds them: a feed report may come minutes after spots of
        // later times, and of equal frequencies the newest is the best.
        const auto at = std::upper_bound(
            spots.begin(), spots.end(), row.Time,
            [](UnixSeconds rowTime, const SpotRow &held) { return rowTime < held.Time; });
        spots.insert(at, row);
        // The tracker's recent stretch is all a cloud's best spot is taken from; the newest spot
        // stays for a fading cloud.
        while (spots.size() > 1 && spots.front().Time < Now() - tracker::RecentWindowS) {
            spots.pop_front();
        }
    }
}

void LiveSession::Publish(bool live) {
    for (const auto &event : Events) {
        if (const auto *cloud = std::get_if<tracker::CloudEvent>(&event);
            cloud != nullptr && cloud->State == tracker::CloudState::Gone) {
            CloudSpots.erase(cloud->Cloud.Id);
        }
        if (const auto *alarm = std::get_if<tracker::AlarmEvent>(&event);
            alarm != nullptr && live && alarm->Which >= AlarmFrom) {
            emit alarmed(*alarm);
        }
    }
    Events.clear();
}

std::optional<SpotRow> LiveSession::BestSpotOf(int cloudId) const {
    const auto found = CloudSpots.find(cloudId);
    if (found == CloudSpots.end()) {
        return std::nullopt;
    }
    const UnixSeconds since = Now() - tracker::RecentWindowS;
    const SpotRow *best = nullptr;
    for (const SpotRow &row : found->second) {
        if (row.Time < since) {
            continue;
        }
        if (best == nullptr || row.Read.FreqMHz >= best->Read.FreqMHz) {
            best = &row;
        }
    }
    if (best == nullptr && !found->second.empty()) {
        // A fading cloud has no spot in the recent stretch: its last one stands for it.
        best = &found->second.back();
    }
    return best != nullptr ? std::optional<SpotRow>(*best) : std::nullopt;
}

std::vector<map::SpotPath> LiveSession::RecentPaths() const {
    std::vector<map::SpotPath> paths;
    const UnixSeconds since = Now() - MapPathWindowS;
    for (const SpotRow &row : Rows) {
        // Not the end of the list: a feed report listed after later spots may be older.
        if (row.Time < since) {
            continue;
        }
        if (row.From && row.To && row.SpotBand) {
            paths.push_back({*row.From, *row.To, row.Read.FreqMHz, row.CloudId, row.Time, 1.0});
        }
    }
    return paths;
}

} // namespace ionvane::livewindow
