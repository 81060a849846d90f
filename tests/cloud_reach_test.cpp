// How far a cloud reaches: a spot with an end placed from its call joins within the join radius
// widened by that end's uncertainty (bounded), and two clouds that come to overlap because spots
// left one of them merge as when a spot joins.
#include "tracker/agreement.h"
#include "tracker/cloud_tracker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <variant>
#include <vector>

namespace ionvane::tracker {
namespace {

// 2026-06-14T10:00:00Z
constexpr UnixSeconds T0 = 1781431200;
constexpr double Latitude = 46.0;
// One degree of longitude along 46 deg N, km (the mean Earth radius the calculation uses).
const double KmPerLonDeg =
    6371.0 * std::numbers::pi / 180 * std::cos(Latitude * std::numbers::pi / 180);

TrackedSpot SixMetreAt(double lonDeg, std::uint64_t station, double placedKm = 0) {
    TrackedSpot spot;
    spot.SpotBand = spot::Band::M6;
    spot.FreqMHz = 50.313;
    spot.CentreLatDeg = Latitude;
    spot.CentreLonDeg = lonDeg;
    spot.CriticalFreqMHz = 8;
    spot.PathMufMHz = 50.313;
    spot.FromStation = 2 * station;
    spot.ToStation = 2 * station + 1;
    spot.PlacedUncertaintyKm = placedKm;
    return spot;
}

CloudTracker MakeTracker() {
    return CloudTracker(TrackerSettings{}, HomeView(calc::PlainNumberFormat(), {"IO90IR"}));
}

TEST(CloudReach, APlacedEndWidensTheJoinRadiusUpToItsBound) {
    // A cloud at 5 deg E; a spot whose centre lies `offKm` east of it. Its placed end's
    // uncertainty adds to JoinRadiusKm (250), at most MaxJoinWideningKm (150).
    struct Case {
        double OffKm;
        double PlacedKm;
        bool Joins;
    };
    const Case cases[] = {
        {240, 0, true},    {330, 0, false},
        {330, 150, true},  {330, 60, false},
        {390, 300, true},  {420, 300, false},
        {330, -50, false}, {330, std::numeric_limits<double>::quiet_NaN(), false},
    };
    for (const Case &c : cases) {
        CloudTracker tracker = MakeTracker();
        std::vector<TrackerEvent> events;
        const auto first = tracker.AddSpot(T0, SixMetreAt(5, 1), events);
        const auto second =
            tracker.AddSpot(T0 + 60, SixMetreAt(5 + c.OffKm / KmPerLonDeg, 2, c.PlacedKm), events);
        EXPECT_EQ(second.CloudId == first.CloudId, c.Joins) << c.OffKm << " km, +-" << c.PlacedKm;
    }
}

TEST(CloudReach, APlacedEndClaimsLessLikeACoarseSquare) {
    // Ends placed from their calls may lie their summed uncertainty farther apart: the claim
    // shrinks by the secant ratio over a layer at 110 km (827 km: 3.89 against 4.55 at 977 km).
    struct Case {
        double DistanceKm;
        double PlacedKm;
        double LowShare, HighShare;
    };
    const Case cases[] = {
        {827, 0, 1, 1}, {827, 150, 0.84, 0.87}, {2300, 150, 0.92, 0.95}, {827, -10, 1, 1}};
    for (const Case &c : cases) {
        const double share = ClaimShare(c.DistanceKm, 0, Latitude, c.PlacedKm);
        EXPECT_GE(share, c.LowShare) << c.DistanceKm << " km, +-" << c.PlacedKm;
        EXPECT_LE(share, c.HighShare) << c.DistanceKm << " km, +-" << c.PlacedKm;
    }
}

TEST(CloudReach, CloudsMergeWhenSpotsLeavingBringThemTogether) {
    // Cloud A from a spot at 0 deg E and one at 2.5 deg E a minute later: its position lies
    // between them, more than JoinRadiusKm from a spot at 5.5 deg E, which starts cloud B. When the
    // first spot leaves the recent stretch, A stands at 2.5 deg E, 230 km from B: one patch, and
    // the older cloud keeps its id, B is reported gone, and the merged cloud is reported last.
    CloudTracker tracker = MakeTracker();
    std::vector<TrackerEvent> events;
    const auto a = tracker.AddSpot(T0, SixMetreAt(0, 1), events);
    ASSERT_EQ(tracker.AddSpot(T0 + 60, SixMetreAt(2.5, 2), events).CloudId, a.CloudId);
    const auto b = tracker.AddSpot(T0 + 120, SixMetreAt(5.5, 3), events);
    ASSERT_NE(b.CloudId, a.CloudId);
    ASSERT_EQ(tracker.CloudCount(), 2U);

    events.clear();
    tracker.AdvanceTo(T0 + RecentWindowS + 1, events);
    ASSERT_EQ(tracker.CloudCount(), 1U);
    const CloudSnapshot kept = tracker.CurrentClouds()[0].Cloud;
    EXPECT_EQ(kept.Id, *a.CloudId);
    EXPECT_EQ(kept.Spots, 3);
    EXPECT_EQ(kept.Bands, spot::BandBit(spot::Band::M6));
    const auto gone = std::find_if(events.begin(), events.end(), [&](const TrackerEvent &event) {
        const auto *cloud = std::get_if<CloudEvent>(&event);
        return cloud != nullptr && cloud->State == CloudState::Gone &&
               cloud->Cloud.Id == *b.CloudId;
    });
    EXPECT_NE(gone, events.end());
    // The last cloud event of the step is the merged cloud as it now stands.
    const auto last = std::find_if(events.rbegin(), events.rend(), [](const TrackerEvent &event) {
        return std::holds_alternative<CloudEvent>(event);
    });
    ASSERT_NE(last, events.rend());
    EXPECT_EQ(std::get<CloudEvent>(*last).Cloud.Spots, 3);
    EXPECT_EQ(std::get<CloudEvent>(*last).State, CloudState::Update);
}

} // namespace
} // namespace ionvane::tracker
