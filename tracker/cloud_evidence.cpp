// The evidence rules of the cloud tracker that look at a whole cloud: whether an untagged 2 m
// or 4 m spot fits the cloud it would join, and clouds that came to overlap merged into one.
#include "agreement.h"
#include "calc/number_text.h"
#include "cloud_geometry.h"
#include "cloud_tracker.h"

#include <algorithm>
#include <cmath>

namespace ionvane::tracker {

std::size_t CloudTracker::MergeOverlapping(std::size_t index, std::vector<TrackerEvent> &events) {
    const BeyondKm apart(JoinRadiusKm);
    for (std::size_t other = 0; other < Clouds.size(); ++other) {
        if (other == index || Clouds[other].Fading) {
            continue;
        }
        const Unit &here = Clouds[index].Position;
        const Unit &there = Clouds[other].Position;
        if (apart.Surely(here, there.X, there.Y, there.Z) ||
            !(ArcKm(here, there.X, there.Y, there.Z) < JoinRadiusKm)) {
            continue;
        }
        // Clouds are held in order of id: the lower index is the older cloud, which stays.
        const std::size_t keep = std::min(index, other);
        const std::size_t drop = std::max(index, other);
        Cloud &kept = Clouds[keep];
        const Cloud &dropped = Clouds[drop];
        kept.Recent.MergeFrom(dropped.Recent, MaxRecentSpotsPerCloud);
        kept.Shown.Spots += dropped.Shown.Spots;
        kept.Shown.FirstSeen = std::min(kept.Shown.FirstSeen, dropped.Shown.FirstSeen);
        kept.Shown.LastSeen = std::max(kept.Shown.LastSeen, dropped.Shown.LastSeen);
        Recompute(kept);
        Forget(drop, events);
        // The merged cloud moved: it may now overlap another.
        return MergeOverlapping(keep, events);
    }
    return index;
}

void CloudTracker::MergeMoved(const std::vector<int> &ids, std::vector<TrackerEvent> &events) {
    for (const int id : ids) {
        const auto found = std::find_if(Clouds.begin(), Clouds.end(),
                                        [id](const Cloud &c) { return c.Shown.Id == id; });
        if (found == Clouds.end() || found->Fading) {
            continue;
        }
        const std::size_t index = static_cast<std::size_t>(found - Clouds.begin());
        const std::size_t clouds = Clouds.size();
        const std::size_t kept = MergeOverlapping(index, events);
        if (Clouds.size() != clouds) {
            events.emplace_back(CloudEvent{Clock, CloudState::Update, Clouds[kept].Shown});
        }
    }
}

std::string CloudTracker::Misfit(const Cloud &cloud, const TrackedSpot &spot) const {
    // 2 m is judged against the cloud's 6 m and 4 m spots; 4 m against its 6 m spots alone, so
    // that 4 m spots cannot confirm one another.
    const bool twoMetre = spot.SpotBand == spot::Band::M2;
    const spot::BandSet lowerBands =
        twoMetre ? spot::BandBit(spot::Band::M6) | spot::BandBit(spot::Band::M4)
                 : spot::BandBit(spot::Band::M6);
    const double criticalFactor = twoMetre ? TwoMetreCriticalFactor : FourMetreCriticalFactor;
    const Unit &position = cloud.Position;
    const Unit centre = UnitOf(spot.CentreLatDeg, spot.CentreLonDeg);
    const double offKm = ArcKm(position, centre.X, centre.Y, centre.Z);
    // Within the margin of the position the spot fits whatever the extent. Otherwise the extent
    // is the distance of the farthest spot: the smallest dot product with the position marks it,
    // and only spots within rounding of that are measured (the arc tangent costs ten times more).
    double extentKm = 0;
    if (offKm > TwoMetreExtentMarginKm) {
        constexpr double DotRounding = 1e-12;
        const auto dot = [&position](const RecentSpots::Spot &held) {
            return position.X * held.X + position.Y * held.Y + position.Z * held.Z;
        };
        double leastDot = 2;
        for (const RecentSpots::Spot &held : cloud.Recent.All()) {
            if ((lowerBands & spot::BandBit(held.SpotBand)) != 0) {
                leastDot = std::min(leastDot, dot(held));
            }
        }
        for (const RecentSpots::Spot &held : cloud.Recent.All()) {
            if ((lowerBands & spot::BandBit(held.SpotBand)) != 0 &&
                dot(held) <= leastDot + DotRounding) {
                extentKm = std::max(extentKm, ArcKm(position, held.X, held.Y, held.Z));
            }
        }
    }
    const auto whole = [](double value) { return std::to_string(std::lround(value)); };
    const auto tenths = [](double value) {
        constexpr int Decimals = 1;
        return calc::FormatFixed(value, Decimals, calc::PlainNumberFormat());
    };
    const std::string prefix =
        twoMetre ? "2 m, not confirmed: looks like tropo (" : "4 m, not confirmed: ";
    const std::string suffix = twoMetre ? ")" : "";
    const std::string spots = twoMetre ? "6 m and 4 m spots" : "6 m spots";
    if (offKm > extentKm + TwoMetreExtentMarginKm) {
        return prefix + "its path centre " + whole(offKm) + " km from the cloud, whose " + spots +
               " lie within " + whole(extentKm) + " km" + suffix;
    }
    const double lowerMHz = AgreeOnCriticalFreq(cloud.Recent, lowerBands).ValueMHz;
    const double claimMHz = spot.CriticalFreqMHz * spot.ClaimShare;
    if (claimMHz > lowerMHz * criticalFactor) {
        return prefix + "critical frequency " + tenths(claimMHz) + " MHz, the cloud's " + spots +
               " support " + tenths(lowerMHz) + " MHz" + suffix;
    }
    return {};
}

} // namespace ionvane::tracker
