#include "cloud_tracker.h"

#include "agreement.h"
#include "calc/earth.h"
#include "calc/locator.h"
#include "cloud_geometry.h"
#include "region.h"
#include "verdict.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ionvane::tracker {

namespace {

constexpr double RadPerDeg = std::numbers::pi / calc::HalfTurnDeg;
constexpr double SecondsPerHour = 3600;

bool SameReport(const CloudSnapshot &a, const CloudSnapshot &b) {
    const bool sameDrift = a.Movement.has_value() == b.Movement.has_value() &&
                           (!a.Movement || (a.Movement->SpeedKmh == b.Movement->SpeedKmh &&
                                            a.Movement->TowardsDeg == b.Movement->TowardsDeg));
    const bool sameNowcast = a.In15Min.has_value() == b.In15Min.has_value() &&
                             (!a.In15Min || (a.In15Min->Loc == b.In15Min->Loc &&
                                             a.In15Min->BeamDeg == b.In15Min->BeamDeg));
    return a.LatDeg == b.LatDeg && a.LonDeg == b.LonDeg && a.Spots == b.Spots &&
           a.Bands == b.Bands && a.CriticalFreqMHz == b.CriticalFreqMHz &&
           a.HighestFreqMHz == b.HighestFreqMHz && a.LastSeen == b.LastSeen && sameDrift &&
           sameNowcast;
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

const char *VerdictStateName(VerdictState state) {
    switch (state) {
    case VerdictState::Closed:
        return "closed";
    case VerdictState::Marginal:
        return "marginal";
    case VerdictState::Possible:
        return "possible";
    }
    return "";
}

CloudTracker::CloudTracker(const TrackerSettings &settings, HomeView home)
    : Settings(settings), Home(std::move(home)), Watch(spot::Band::M4) {
    // A home the calculation refuses places no spot; Region 1's choice stands for it.
    const BandChoice regional = RegionDefaults(Home.Valid() ? Home.Home() : calc::Position{51, 0});
    Shown = settings.Shown.value_or(regional.Shown);
    AlarmBand = settings.AlarmFrom.value_or(regional.AlarmFrom);
    Watch = BandWatch(AlarmBand);
    for (const spot::Band band : spot::AllBands) {
        Verdicts[spot::BandIndex(band)].Which = band;
    }
}

void CloudTracker::Recompute(Cloud &cloud) const {
    CloudSnapshot &shown = cloud.Shown;
    const RecentSpots &recent = cloud.Recent;
    const auto [x, y, z] = recent.WeightedCentre();
    // Centres of paths through one cloud lie within a few hundred km, so the mean vector is never
    // near zero.
    shown.LatDeg = std::atan2(z, std::hypot(x, y)) / RadPerDeg;
    shown.LonDeg = std::atan2(y, x) / RadPerDeg;
    cloud.Position = UnitOf(shown.LatDeg, shown.LonDeg);
    shown.CentreLoc = calc::EncodeLocator(shown.LatDeg, shown.LonDeg);
    if (cloud.AgreedVersion != recent.RankingVersion()) {
        cloud.Agreed = AgreeOnBoth(recent);
        cloud.AgreedVersion = recent.RankingVersion();
    }
    // The spots are found again by number: the cloud's spots may have moved in memory since.
    AgreedFigures figures = cloud.Agreed;
    for (Agreed *agreed : {&figures.PathMuf, &figures.CriticalFreq}) {
        if (agreed->Spot != nullptr) {
            agreed->Spot = &recent.BySeq(agreed->Ref);
        }
    }
    shown.CriticalFreqMHz = figures.CriticalFreq.ValueMHz;
    shown.HighestFreqMHz = recent.HighestFreqMHz();
    shown.Bands = recent.Bands();

    // A drifting cloud is where its fitted line puts it now; the home path runs through that
    // point, and the cloud event says where the line puts it a quarter hour on.
    shown.Movement = FitDrift(cloud);
    shown.In15Min.reset();
    double atLatDeg = shown.LatDeg;
    double atLonDeg = shown.LonDeg;
    if (shown.Movement) {
        const auto fit = recent.CentreFit();
        const UnixSeconds newest = recent.Newest().Time;
        const auto along = [&](UnixSeconds at) {
            const double hours =
                static_cast<double>(std::min(at, newest + NowcastAheadS) - fit->MeanTime) /
                SecondsPerHour;
            const auto &v = fit->VelocityPerHour;
            return std::array<double, 3>{fit->Mean[0] + v[0] * hours, fit->Mean[1] + v[1] * hours,
                                         fit->Mean[2] + v[2] * hours};
        };
        const auto [nx, ny, nz] = along(Clock);
        atLatDeg = std::atan2(nz, std::hypot(nx, ny)) / RadPerDeg;
        atLonDeg = std::atan2(ny, nx) / RadPerDeg;
        const auto [fx, fy, fz] = along(Clock + NowcastAheadS);
        const double laterLatDeg = std::atan2(fz, std::hypot(fx, fy)) / RadPerDeg;
        const double laterLonDeg = std::atan2(fy, fx) / RadPerDeg;
        if (const auto later = Home.Through(laterLatDeg, laterLonDeg)) {
            shown.In15Min =
                Nowcast{calc::EncodeLocator(laterLatDeg, laterLonDeg), later->Figures.AzimuthDeg};
        }
    }

    // The home path through the cloud's position, and the frequency of traffic over it that its
    // recent spots agree on.
    cloud.FromHome.reset();
    const Agreed &agreed = figures.PathMuf;
    if (const auto reflection = Home.Through(atLatDeg, atLonDeg); reflection && agreed.Spot) {
        const float best = Home.TrafficFreqMHz(*reflection, agreed.ValueMHz, agreed.Spot->FreqMHz);
        if (std::isfinite(best) && best >= 0) {
            cloud.FromHome =
                CloudFromHome{shown.Id, reflection->Figures, {}, agreed.Spot->SpotBand};
            cloud.FromHome->Home.TrafficFreqMHz = best;
            for (const spot::Band band : spot::AllBands) {
                cloud.FromHome->Heard[spot::BandIndex(band)] = recent.SpotsOn(band);
            }
        }
    }
}

void CloudTracker::AdvanceTo(UnixSeconds now, std::vector<TrackerEvent> &events) {
    if (Started && now <= Clock) {
        return;
    }
    Started = true;
    Clock = now;
    bool changed = false;
    std::vector<int> moved;
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
                cloud.FromHome.reset();
                events.emplace_back(CloudEvent{Clock, CloudState::Fading, cloud.Shown});
                changed = true;
            } else if (left > 0) {
                const CloudSnapshot before = cloud.Shown;
                Recompute(cloud);
                if (!SameReport(before, cloud.Shown)) {
                    events.emplace_back(CloudEvent{Clock, CloudState::Update, cloud.Shown});
                    moved.push_back(cloud.Shown.Id);
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
    MergeMoved(moved, events);
    if (changed || Watch.Due(Clock)) {
        UpdateVerdict(events);
    }
}

void CloudTracker::Forget(std::size_t index, std::vector<TrackerEvent> &events) {
    events.emplace_back(CloudEvent{Clock, CloudState::Gone, Clouds[index].Shown});
    Clouds.erase(Clouds.begin() + static_cast<std::ptrdiff_t>(index));
}

CloudTracker::Cloud *CloudTracker::NearestTo(UnixSeconds at, double x, double y, double z,
                                             double radiusKm) {
    Cloud *nearest = nullptr;
    double nearestKm = radiusKm;
    const BeyondKm outside(radiusKm);
    for (Cloud &cloud : Clouds) {
        // A cloud that faded since `at` was still active then, and a spot in order would have
        // kept it so. For a spot at the clock this is every active cloud and no fading one.
        if (cloud.Fading && at - cloud.Shown.LastSeen >= RecentWindowS) {
            continue;
        }
        const Unit &position = cloud.Position;
        if (outside.Surely(position, x, y, z)) {
            continue;
        }
        const double km = ArcKm(position, x, y, z);
        // Strictly nearer: of two clouds at the same distance the older one takes the spot.
        if (km < nearestKm || (nearest == nullptr && km == nearestKm)) {
            nearest = &cloud;
            nearestKm = km;
        }
    }
    return nearest;
}

Placement CloudTracker::AddSpot(UnixSeconds time, const TrackedSpot &spot,
                                std::vector<TrackerEvent> &events) {
    AdvanceTo(time, events);
    const UnixSeconds at = std::min(time, Clock);
    if (Clock - at >= RecentWindowS) {
        return {};
    }
    const Unit centre = UnitOf(spot.CentreLatDeg, spot.CentreLonDeg);
    const double wideningKm =
        std::clamp(std::isfinite(spot.PlacedUncertaintyKm) ? spot.PlacedUncertaintyKm : 0.0, 0.0,
                   MaxJoinWideningKm);
    Cloud *nearest = NearestTo(at, centre.X, centre.Y, centre.Z, JoinRadiusKm + wideningKm);
    if (spot.NeedsConfirmation) {
        if (nearest == nullptr || nearest->Fading ||
            nearest->Recent.SpotsOn(spot::Band::M6) + nearest->Recent.SpotsOn(spot::Band::M4) <
                TwoMetreConfirmingSpots) {
            return Placement{std::nullopt, true, std::string(EsClassText(EsClass::Unconfirmed))};
        }
        if (std::string misfit = Misfit(*nearest, spot); !misfit.empty()) {
            return Placement{std::nullopt, true, std::move(misfit)};
        }
    }
    if (spot.MustFitSixMetre && nearest != nullptr && !nearest->Fading &&
        nearest->Recent.SpotsOn(spot::Band::M6) >= TwoMetreConfirmingSpots) {
        if (std::string misfit = Misfit(*nearest, spot); !misfit.empty()) {
            return Placement{std::nullopt, true, std::move(misfit)};
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
    const RecentSpots::Spot recent{at,
                                   centre.X,
                                   centre.Y,
                                   centre.Z,
                                   spot.CriticalFreqMHz,
                                   spot.FreqMHz,
                                   spot.SpotBand,
                                   spot.PathMufMHz,
                                   spot.ClaimShare,
                                   spot.FromStation,
                                   spot.ToStation};
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
    const int joinedId = cloud.Shown.Id;
    const std::size_t merged =
        MergeOverlapping(static_cast<std::size_t>(&cloud - Clouds.data()), events);
    const Cloud &kept = Clouds[merged];
    const int id = kept.Shown.Id;
    events.emplace_back(CloudEvent{Clock, id == joinedId ? state : CloudState::Update, kept.Shown});
    UpdateVerdict(events);
    return Placement{id, false, {}};
}

void CloudTracker::UpdateVerdict(std::vector<TrackerEvent> &events) {
    std::vector<CloudCandidate> candidates;
    for (const Cloud &cloud : Clouds) {
        if (cloud.Fading || !cloud.FromHome) {
            continue;
        }
        CloudCandidate candidate{*cloud.FromHome, {}};
        for (const spot::Band band : spot::AllBands) {
            candidate.SpotsOnBand[spot::BandIndex(band)] = cloud.Recent.SpotsOn(band);
        }
        candidates.push_back(std::move(candidate));
    }
    auto judged = JudgeBands(candidates, Settings.Classifier.MaxDistanceKm, Shown);
    const auto isLive = [this](int id) {
        return std::any_of(Clouds.begin(), Clouds.end(),
                           [id](const Cloud &c) { return c.Shown.Id == id && !c.Fading; });
    };
    std::vector<spot::Band> alarms;
    auto shown = Watch.Watch(Clock, std::move(judged), isLive, alarms);
    bool changed = false;
    for (std::size_t i = 0; i < spot::BandCount; ++i) {
        changed = changed || !LooksTheSame(shown[i], Verdicts[i]);
    }
    if (!changed) {
        return;
    }
    Verdicts = std::move(shown);
    events.emplace_back(CurrentVerdict());
    for (const spot::Band band : alarms) {
        const BandVerdict &verdict = Verdicts[spot::BandIndex(band)];
        events.emplace_back(AlarmEvent{Clock, band, *verdict.CloudId, AlarmText(verdict),
                                       verdict.Home, verdict.Heard()});
    }
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
    return VerdictEvent{Clock, Home.HomeLocator(), Shown, Verdicts};
}

} // namespace ionvane::tracker
