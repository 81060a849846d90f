#include "cloud_tracker.h"

#include "calc/earth.h"
#include "calc/locator.h"
#include "calc/number_text.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ionvane::tracker {

namespace {

constexpr double RadPerDeg = std::numbers::pi / calc::HalfTurnDeg;
constexpr double FullTurnDeg = 360;

struct Unit {
    double X, Y, Z;
};

Unit UnitOf(double latDeg, double lonDeg) {
    const double lat = latDeg * RadPerDeg;
    const double lon = lonDeg * RadPerDeg;
    return {std::cos(lat) * std::cos(lon), std::cos(lat) * std::sin(lon), std::sin(lat)};
}

// Great-circle distance between two unit vectors, km; the arc tangent form stays exact for close
// points, where the arc cosine of the dot product loses half its digits.
double ArcKm(const Unit &a, double x, double y, double z) {
    const double cx = a.Y * z - a.Z * y;
    const double cy = a.Z * x - a.X * z;
    const double cz = a.X * y - a.Y * x;
    const double dot = a.X * x + a.Y * y + a.Z * z;
    return std::atan2(std::sqrt(cx * cx + cy * cy + cz * cz), dot) * calc::EarthRadiusKm;
}

bool SameReport(const CloudSnapshot &a, const CloudSnapshot &b) {
    const bool sameDrift = a.Movement.has_value() == b.Movement.has_value() &&
                           (!a.Movement || (a.Movement->SpeedKmh == b.Movement->SpeedKmh &&
                                            a.Movement->TowardsDeg == b.Movement->TowardsDeg));
    return a.LatDeg == b.LatDeg && a.LonDeg == b.LonDeg && a.Spots == b.Spots &&
           a.Bands == b.Bands && a.CriticalFreqMHz == b.CriticalFreqMHz &&
           a.HighestFreqMHz == b.HighestFreqMHz && a.LastSeen == b.LastSeen && sameDrift;
}

std::string Fixed(double value) {
    return calc::FormatFixed(value, 2, calc::PlainNumberFormat());
}

} // namespace

const char *CloudStateName(CloudState state) {
    switch (state) {
    case CloudState::New:
        return "new";
    case CloudState::Update:
        return "update";
    case CloudState::Fading:
        return "fading";
    case CloudState::Gone:
        return "gone";
    }
    return "";
}

CloudTracker::CloudTracker(TrackerSettings settings, std::string homeLocator)
    : Settings(settings), HomeLocator(std::move(homeLocator)) {
    for (const Band band : AllBands) {
        Verdicts[BandIndex(band)].Which = band;
    }
}

void CloudTracker::Recompute(Cloud &cloud) {
    CloudSnapshot &shown = cloud.Shown;
    const RecentSpots &recent = cloud.Recent;
    const auto [x, y, z] = recent.WeightedCentre();
    // Centres of paths through one cloud lie within a few hundred km, so the mean vector is never
    // near zero.
    shown.LatDeg = std::atan2(z, std::hypot(x, y)) / RadPerDeg;
    shown.LonDeg = std::atan2(y, x) / RadPerDeg;
    shown.CentreLoc = calc::EncodeLocator(shown.LatDeg, shown.LonDeg);
    shown.CriticalFreqMHz = recent.HighestCriticalFreqMHz();
    shown.HighestFreqMHz = recent.HighestFreqMHz();
    shown.Bands = recent.Bands();
    cloud.BestHome = recent.Best().Home;

    shown.Movement.reset();
    const UnixSeconds spanS = recent.Newest().Time - recent.Oldest().Time;
    const auto velocity = recent.VelocityPerHour();
    if (recent.Size() < DriftMinSpots || spanS < DriftMinSpanS || !velocity) {
        return;
    }
    // The least-squares velocity of the centres' unit vectors, seen in the plane tangent at the
    // position: over a cloud's few hundred km, chord and arc differ by far less than the scatter.
    const double lat0 = shown.LatDeg * RadPerDeg;
    const double lon0 = shown.LonDeg * RadPerDeg;
    const Unit east{-std::sin(lon0), std::cos(lon0), 0};
    const Unit north{-std::sin(lat0) * std::cos(lon0), -std::sin(lat0) * std::sin(lon0),
                     std::cos(lat0)};
    const auto &v = *velocity;
    const double eastKmh = (east.X * v[0] + east.Y * v[1] + east.Z * v[2]) * calc::EarthRadiusKm;
    const double northKmh =
        (north.X * v[0] + north.Y * v[1] + north.Z * v[2]) * calc::EarthRadiusKm;
    Drift drift;
    drift.SpeedKmh = std::min(std::hypot(eastKmh, northKmh), MaxDriftKmh);
    drift.TowardsDeg = std::atan2(eastKmh, northKmh) / RadPerDeg;
    if (drift.TowardsDeg < 0) {
        drift.TowardsDeg += FullTurnDeg;
    }
    shown.Movement = drift;
}

void CloudTracker::AdvanceTo(UnixSeconds now, std::vector<TrackerEvent> &events) {
    if (Started && now <= Clock) {
        return;
    }
    Started = true;
    Clock = now;
    bool changed = false;
    for (std::size_t i = 0; i < Clouds.size();) {
        Cloud &cloud = Clouds[i];
        if (!cloud.Fading) {
            std::size_t left = 0;
            while (!cloud.Recent.Empty() && Clock - cloud.Recent.Oldest().Time >= RecentWindowS) {
                cloud.Recent.PopFront();
                ++left;
            }
            if (cloud.Recent.Empty()) {
                // Shown as it was last seen: a fading cloud keeps its last position.
                cloud.Fading = true;
                cloud.BestHome.reset();
                events.emplace_back(CloudEvent{Clock, CloudState::Fading, cloud.Shown});
                changed = true;
            } else if (left > 0) {
                const CloudSnapshot before = cloud.Shown;
                Recompute(cloud);
                if (!SameReport(before, cloud.Shown)) {
                    events.emplace_back(CloudEvent{Clock, CloudState::Update, cloud.Shown});
                    changed = true;
                }
            }
        }
        if (cloud.Fading && Clock - cloud.Shown.LastSeen >= GoneAfterS) {
            Forget(i, events);
            continue;
        }
        ++i;
    }
    if (changed) {
        UpdateVerdict(events);
    }
}

void CloudTracker::Forget(std::size_t index, std::vector<TrackerEvent> &events) {
    events.emplace_back(CloudEvent{Clock, CloudState::Gone, Clouds[index].Shown});
    Clouds.erase(Clouds.begin() + static_cast<std::ptrdiff_t>(index));
}

std::optional<int> CloudTracker::AddSpot(UnixSeconds time, const TrackedSpot &spot,
                                         std::vector<TrackerEvent> &events) {
    AdvanceTo(time, events);
    const UnixSeconds at = std::min(time, Clock);
    if (Clock - at >= RecentWindowS) {
        return std::nullopt;
    }
    const Unit centre = UnitOf(spot.CentreLatDeg, spot.CentreLonDeg);
    Cloud *nearest = nullptr;
    double nearestKm = JoinRadiusKm;
    for (Cloud &cloud : Clouds) {
        // A cloud that faded since `at` was still active then, and a spot in order would have
        // kept it so. For a spot at the clock this is every active cloud and no fading one.
        if (cloud.Fading && at - cloud.Shown.LastSeen >= RecentWindowS) {
            continue;
        }
        const Unit position = UnitOf(cloud.Shown.LatDeg, cloud.Shown.LonDeg);
        const double km = ArcKm(position, centre.X, centre.Y, centre.Z);
        // Strictly nearer: of two clouds at the same distance the older one takes the spot.
        if (km < nearestKm || (nearest == nullptr && km == nearestKm)) {
            nearest = &cloud;
            nearestKm = km;
        }
    }
    CloudState state = CloudState::Update;
    if (nearest == nullptr) {
        if (Clouds.size() >= MaxClouds) {
            const auto oldest =
                std::min_element(Clouds.begin(), Clouds.end(), [](const Cloud &a, const Cloud &b) {
                    return a.Shown.LastSeen < b.Shown.LastSeen;
                });
            Forget(static_cast<std::size_t>(oldest - Clouds.begin()), events);
        }
        Cloud cloud;
        cloud.Shown.Id = NextId++;
        cloud.Shown.FirstSeen = at;
        Clouds.push_back(std::move(cloud));
        nearest = &Clouds.back();
        state = CloudState::New;
    }
    Cloud &cloud = *nearest;
    const RecentSpots::Spot recent{
        at,           centre.X,      centre.Y, centre.Z, spot.CriticalFreqMHz,
        spot.FreqMHz, spot.SpotBand, spot.Home};
    // A full cloud drops its oldest spot; a late spot older than all it holds is that oldest one.
    const bool full = cloud.Recent.Size() >= MaxRecentSpotsPerCloud;
    if (!full || at >= cloud.Recent.Oldest().Time) {
        if (full) {
            cloud.Recent.PopFront();
        }
        cloud.Recent.Push(recent);
    }
    cloud.Fading = false;
    ++cloud.Shown.Spots;
    cloud.Shown.FirstSeen = std::min(cloud.Shown.FirstSeen, at);
    cloud.Shown.LastSeen = std::max(cloud.Shown.LastSeen, at);
    Recompute(cloud);
    const int id = cloud.Shown.Id;
    events.emplace_back(CloudEvent{Clock, state, cloud.Shown});
    UpdateVerdict(events);
    return id;
}

std::array<BandVerdict, BandCount> CloudTracker::Judge() const {
    // The cloud that gives the highest frequency of traffic over a home path above the horizon
    // and within one hop; of equal frequencies the older cloud.
    const Cloud *chosen = nullptr;
    for (const Cloud &cloud : Clouds) {
        if (cloud.Fading || !cloud.BestHome) {
            continue;
        }
        const HomeFigures &home = *cloud.BestHome;
        if (home.ElevationDeg < 0 || home.DistanceKm > Settings.Classifier.MaxDistanceKm) {
            continue;
        }
        if (chosen == nullptr || home.TrafficFreqMHz > chosen->BestHome->TrafficFreqMHz) {
            chosen = &cloud;
        }
    }
    std::array<BandVerdict, BandCount> verdicts{};
    for (const Band band : AllBands) {
        BandVerdict &verdict = verdicts[BandIndex(band)];
        verdict.Which = band;
        if (chosen != nullptr &&
            static_cast<double>(chosen->BestHome->TrafficFreqMHz) >= EdgesOf(band).LowMHz) {
            verdict.Possible = true;
            verdict.CloudId = chosen->Shown.Id;
            verdict.Home = *chosen->BestHome;
        }
    }
    return verdicts;
}

void CloudTracker::UpdateVerdict(std::vector<TrackerEvent> &events) {
    const auto judged = Judge();
    bool changed = false;
    for (std::size_t i = 0; i < BandCount; ++i) {
        changed = changed || judged[i].Possible != Verdicts[i].Possible ||
                  judged[i].CloudId != Verdicts[i].CloudId;
    }
    if (!changed) {
        // The same clouds: keep the figures of the moment the verdict was given fresh.
        Verdicts = judged;
        return;
    }
    Verdicts = judged;
    events.emplace_back(CurrentVerdict());
    for (const BandVerdict &verdict : Verdicts) {
        Alarm(verdict, events);
    }
}

void CloudTracker::Alarm(const BandVerdict &verdict, std::vector<TrackerEvent> &events) {
    BandAlarm &alarm = Alarms[BandIndex(verdict.Which)];
    if (alarm.Possible == verdict.Possible) {
        return;
    }
    alarm.Possible = verdict.Possible;
    if (!verdict.Possible) {
        alarm.ClosedSince = Clock;
        return;
    }
    if (verdict.Which < Settings.AlarmFrom) {
        return;
    }
    const bool closedLongEnough =
        !alarm.ClosedSince || Clock - *alarm.ClosedSince >= AlarmClosedForS;
    const bool spacedEnough = !alarm.LastAlarm || Clock - *alarm.LastAlarm >= AlarmSpacingS;
    if (!closedLongEnough || !spacedEnough) {
        return;
    }
    alarm.LastAlarm = Clock;
    const HomeFigures &home = verdict.Home;
    const auto cloud = std::find_if(Clouds.begin(), Clouds.end(),
                                    [&](const Cloud &c) { return c.Shown.Id == *verdict.CloudId; });
    std::string text(BandName(verdict.Which));
    text += " Es possible from " + HomeLocator + ": beam " + Fixed(home.AzimuthDeg) +
            " deg, elevation " + Fixed(home.ElevationDeg) + " deg, towards " + home.TowardsLoc +
            " (" + Fixed(home.DistanceKm) + " km) on " +
            Fixed(static_cast<double>(home.TrafficFreqMHz)) + " MHz via cloud " +
            std::to_string(*verdict.CloudId);
    if (cloud != Clouds.end()) {
        text += " over " + cloud->Shown.CentreLoc;
    }
    events.emplace_back(AlarmEvent{Clock, verdict.Which, *verdict.CloudId, std::move(text)});
}

std::vector<CloudEvent> CloudTracker::CurrentClouds() const {
    std::vector<CloudEvent> current;
    current.reserve(Clouds.size());
    for (const Cloud &cloud : Clouds) {
        current.push_back(
            CloudEvent{Clock, cloud.Fading ? CloudState::Fading : CloudState::New, cloud.Shown});
    }
    return current;
}

VerdictEvent CloudTracker::CurrentVerdict() const {
    return VerdictEvent{Clock, HomeLocator, Verdicts};
}

} // namespace ionvane::tracker
