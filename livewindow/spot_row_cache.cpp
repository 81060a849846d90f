#include "spot_row_cache.h"

#include "calc/locator.h"

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

SpotRowCache::~SpotRowCache() = default;

void SpotRowCache::Attach(std::unique_ptr<live::CoreControl> core) {
    Engine = std::move(core);
    Engine->Subscribe(this, [this](const live::LiveEvent &event) { Heard(event); });
}

void SpotRowCache::Detach() {
    if (Engine) {
        Engine->StopAll();
    }
    Engine.reset();
    Clock = 0;
    Rows.clear();
    CloudSpots.clear();
    for (tracker::MufLayer &layer : MufLayers) {
        layer.Clear();
    }
    emit changed();
}

void SpotRowCache::ShowStill(UnixSeconds now, std::vector<tracker::CloudEvent> clouds,
                             tracker::VerdictEvent verdict,
                             const std::vector<live::SpotTaken> &spots) {
    Still = StillState{now, std::move(clouds), std::move(verdict)};
    Rows.clear();
    CloudSpots.clear();
    for (const live::SpotTaken &taken : spots) {
        Take(taken);
    }
    Heard(live::RestoreDone{spots.size(), Still->Clouds, Still->Verdict});
    emit changed();
}

void SpotRowCache::Heard(const live::LiveEvent &event) {
    if (const auto *taken = std::get_if<live::SpotTaken>(&event)) {
        Clock = taken->Clock;
        Take(*taken);
    } else if (const auto *change = std::get_if<live::TrackerChange>(&event)) {
        if (const auto *cloud = std::get_if<tracker::CloudEvent>(&change->Event);
            cloud != nullptr && cloud->State == tracker::CloudState::Gone) {
            CloudSpots.erase(cloud->Cloud.Id);
        }
        if (const auto *alarm = std::get_if<tracker::AlarmEvent>(&change->Event);
            alarm != nullptr && !change->Restored) {
            emit alarmed(*alarm);
        }
    } else if (const auto *done = std::get_if<live::RestoreDone>(&event)) {
        // Clouds that went while the clock moved on to now take their spots with them.
        std::erase_if(CloudSpots, [&](const auto &spots) {
            return std::none_of(done->Clouds.begin(), done->Clouds.end(),
                                [&](const auto &cloud) { return cloud.Cloud.Id == spots.first; });
        });
    } else if (const auto *settled = std::get_if<live::Settled>(&event)) {
        Clock = settled->Now;
        for (tracker::MufLayer &layer : MufLayers) {
            layer.AgeTo(settled->Now);
        }
        emit changed();
    }
}

void SpotRowCache::Take(const live::SpotTaken &taken) {
    const tracker::LineResult &result = taken.Result;
    SpotRow row;
    row.Time = taken.SpotTime;
    row.Source = taken.From;
    row.Skipped = result.What == tracker::LineResult::Kind::Skipped;
    row.Reason = result.Reason;
    row.Read = result.Read;
    row.SpotBand = result.SpotBand;
    row.Class = result.Class;
    row.CloudId = result.CloudId;
    if (result.Placed) {
        row.Placed = "from " + result.Placed->From.Text + ", to " + result.Placed->To.Text;
    }
    if (!row.Skipped && result.Run.Figures.Completed) {
        row.PathMufMHz = result.Run.Figures.PathMufMHz;
        PlaceEnds(row);
    }
    if (!result.Reflections.empty()) {
        for (tracker::MufLayer &layer : MufLayers) {
            layer.AgeTo(taken.Time);
            layer.Add(taken.SpotTime, result.Reflections);
        }
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
        // As many as the tracker keeps of a cloud: a big opening on the feed brings a thousand
        // reports a second, which the recent stretch alone would let grow to a million rows.
        while (spots.size() > tracker::MaxRecentSpotsPerCloud) {
            spots.pop_front();
        }
    }
}

std::optional<SpotRow> SpotRowCache::BestSpotOf(int cloudId) const {
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
        if (best == nullptr || row.PathMufMHz >= best->PathMufMHz) {
            best = &row;
        }
    }
    if (best == nullptr && !found->second.empty()) {
        // A fading cloud has no spot in the recent stretch: its last one stands for it.
        best = &found->second.back();
    }
    return best != nullptr ? std::optional<SpotRow>(*best) : std::nullopt;
}

std::vector<map::SpotPath> SpotRowCache::RecentPaths() const {
    std::vector<map::SpotPath> paths;
    const UnixSeconds since = Now() - MapPathWindowS;
    const auto add = [&](const SpotRow &row) {
        if (row.Time >= since && row.From && row.To && row.SpotBand) {
            paths.push_back({*row.From, *row.To, row.Read.FreqMHz, row.CloudId, row.Time, 1.0});
        }
    };
    // Each cloud's paths from its own spots, which reach further back than the list at the
    // feed's rate; the others from the list, whole (a feed report listed after later spots may
    // be older).
    for (const auto &[id, spots] : CloudSpots) {
        std::for_each(spots.begin(), spots.end(), add);
    }
    for (const SpotRow &row : Rows) {
        if (!row.CloudId || !CloudSpots.contains(*row.CloudId)) {
            add(row);
        }
    }
    return paths;
}

} // namespace ionvane::livewindow
