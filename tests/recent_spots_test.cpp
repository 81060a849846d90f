// A cloud's recent spots: the running maxima, the best spot, the bands, the weighted centre and
// the figures agreed from the kept claim rankings stay those of the spots held, through any order
// of arrivals and departures and across the hourly rebuild of the sums.
#include "tracker/agreement.h"
#include "tracker/recent_spots.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <random>
#include <vector>

namespace ionvane::tracker {
namespace {

TEST(RecentSpots, SummariesMatchTheSpotsHeld) {
    std::mt19937 random(13);
    RecentSpots recent;
    std::deque<RecentSpots::Spot> held;
    std::int64_t time = 1781431200 - 1800; // the run crosses three full hours
    const double freqs[] = {28.5, 50.313, 50.313, 70.2, 144.174};
    for (int step = 0; step < 5000; ++step) {
        if (held.empty() || random() % 3 != 0) {
            time += static_cast<std::int64_t>(random() % 5);
            const double lat = 0.7 + static_cast<double>(random() % 100) * 1e-4;
            const double lon = 0.1 + static_cast<double>(random() % 100) * 1e-4;
            const std::size_t f = random() % 5;
            RecentSpots::Spot spot{time,
                                   std::cos(lat) * std::cos(lon),
                                   std::cos(lat) * std::sin(lon),
                                   std::sin(lat),
                                   static_cast<double>(random() % 40),
                                   freqs[f],
                                   spot::BandOf(freqs[f]).value(),
                                   static_cast<double>(step)};
            // Shares and stations from small sets: equal claims and shared stations are common.
            spot.ClaimShare = 0.8 + 0.1 * static_cast<double>(random() % 3);
            spot.FromStation = random() % 6;
            spot.ToStation = 3 + random() % 6;
            recent.Push(spot);
            held.push_back(spot);
        } else {
            recent.PopFront();
            held.pop_front();
        }
        if (held.empty()) {
            EXPECT_TRUE(recent.Empty());
            continue;
        }
        ASSERT_EQ(recent.Size(), held.size());
        double crit = 0;
        const RecentSpots::Spot *best = &held.front();
        spot::BandSet bands = 0;
        double x = 0;
        double y = 0;
        double z = 0;
        for (const auto &spot : held) {
            crit = std::max(crit, spot.CriticalFreqMHz);
            if (spot.FreqMHz >= best->FreqMHz) {
                best = &spot;
            }
            bands = static_cast<spot::BandSet>(bands | spot::BandBit(spot.SpotBand));
            const double w = std::exp2(static_cast<double>(spot.Time - held.back().Time) / 300.0);
            x += w * spot.X;
            y += w * spot.Y;
            z += w * spot.Z;
        }
        ASSERT_EQ(recent.HighestCriticalFreqMHz(), crit) << step;
        ASSERT_EQ(recent.Best().PathMufMHz, best->PathMufMHz) << step;
        ASSERT_EQ(recent.Bands(), bands) << step;
        // A spot is told by its path MUF, the step it came at.
        const AgreedFigures kept = AgreeOnBoth(recent);
        const Agreed scannedMuf = AgreeOn(held, Figure::PathMuf);
        const Agreed scannedCrit = AgreeOn(held, Figure::CriticalFreq);
        ASSERT_EQ(kept.PathMuf.ValueMHz, scannedMuf.ValueMHz) << step;
        ASSERT_EQ(kept.PathMuf.Spot->PathMufMHz, scannedMuf.Spot->PathMufMHz) << step;
        ASSERT_EQ(kept.CriticalFreq.ValueMHz, scannedCrit.ValueMHz) << step;
        ASSERT_EQ(kept.CriticalFreq.Spot->PathMufMHz, scannedCrit.Spot->PathMufMHz) << step;
        for (const spot::BandSet lower :
             {spot::BandBit(spot::Band::M6),
              static_cast<spot::BandSet>(spot::BandBit(spot::Band::M6) |
                                         spot::BandBit(spot::Band::M4))}) {
            const Agreed keptOn = AgreeOnCriticalFreq(recent, lower);
            const Agreed scannedOn = AgreeOn(held, Figure::CriticalFreq, lower);
            ASSERT_EQ(keptOn.ValueMHz, scannedOn.ValueMHz) << step;
            ASSERT_EQ(keptOn.Spot == nullptr, scannedOn.Spot == nullptr) << step;
            if (keptOn.Spot != nullptr) {
                ASSERT_EQ(keptOn.Spot->PathMufMHz, scannedOn.Spot->PathMufMHz) << step;
            }
        }
        const auto [sx, sy, sz] = recent.WeightedCentre();
        const double norm = std::sqrt(sx * sx + sy * sy + sz * sz);
        const double expectedNorm = std::sqrt(x * x + y * y + z * z);
        // The same direction to far better than a metre on the Earth (1e-10 rad is 0.6 mm).
        ASSERT_NEAR(sx / norm, x / expectedNorm, 1e-10) << step;
        ASSERT_NEAR(sy / norm, y / expectedNorm, 1e-10) << step;
        ASSERT_NEAR(sz / norm, z / expectedNorm, 1e-10) << step;
    }
}

TEST(RecentSpots, SpotsComingLateGiveTheSummariesOfInOrderArrival) {
    // Spots of a quarter of an hour across a full hour, some coming up to 14 minutes after
    // later ones (a feed uploads reports in batches), against the same spots in time order: the
    // same spots in the same order, and the same summaries to the last bit, also as the oldest
    // leave.
    std::mt19937 random(29);
    const std::int64_t start = 1781431200 - 600;
    const double freqs[] = {28.5, 50.313, 70.2, 144.174};
    std::vector<RecentSpots::Spot> arrivals;
    for (int i = 0; i < 400; ++i) {
        const std::int64_t time = start + static_cast<std::int64_t>(random() % 900);
        const double lat = 0.7 + static_cast<double>(random() % 100) * 1e-4;
        const double lon = 0.1 + static_cast<double>(random() % 100) * 1e-4;
        const std::size_t f = random() % 4;
        arrivals.push_back({time, std::cos(lat) * std::cos(lon), std::cos(lat) * std::sin(lon),
                            std::sin(lat), static_cast<double>(random() % 40), freqs[f],
                            spot::BandOf(freqs[f]).value(), static_cast<double>(i)});
    }
    std::vector<RecentSpots::Spot> ordered = arrivals;
    // Of equal times, the one that came first stays first.
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const auto &a, const auto &b) { return a.Time < b.Time; });
    RecentSpots late;
    RecentSpots inOrder;
    for (std::size_t i = 0; i < arrivals.size(); ++i) {
        late.Push(arrivals[i]);
        inOrder.Push(ordered[i]);
    }
    while (!inOrder.Empty()) {
        ASSERT_EQ(late.Size(), inOrder.Size());
        EXPECT_EQ(late.Oldest().PathMufMHz, inOrder.Oldest().PathMufMHz);
        EXPECT_EQ(late.Newest().PathMufMHz, inOrder.Newest().PathMufMHz);
        EXPECT_EQ(late.HighestCriticalFreqMHz(), inOrder.HighestCriticalFreqMHz());
        EXPECT_EQ(late.Best().PathMufMHz, inOrder.Best().PathMufMHz);
        EXPECT_EQ(late.Bands(), inOrder.Bands());
        EXPECT_EQ(late.WeightedCentre(), inOrder.WeightedCentre());
        const AgreedFigures lateAgreed = AgreeOnBoth(late);
        const AgreedFigures inOrderAgreed = AgreeOnBoth(inOrder);
        EXPECT_EQ(lateAgreed.CriticalFreq.ValueMHz, inOrderAgreed.CriticalFreq.ValueMHz);
        EXPECT_EQ(lateAgreed.PathMuf.Spot->PathMufMHz, inOrderAgreed.PathMuf.Spot->PathMufMHz);
        const auto lateFit = late.CentreFit();
        const auto inOrderFit = inOrder.CentreFit();
        ASSERT_EQ(lateFit.has_value(), inOrderFit.has_value());
        if (lateFit) {
            EXPECT_EQ(lateFit->VelocityPerHour, inOrderFit->VelocityPerHour);
            EXPECT_EQ(lateFit->SpeedErrorPerHour, inOrderFit->SpeedErrorPerHour);
        }
        late.PopFront();
        inOrder.PopFront();
    }
    EXPECT_TRUE(late.Empty());
}

TEST(RecentSpots, ACloudSpottedForDaysKeepsFiniteSums) {
    // A spot every 10 minutes for 5 days, two held at a time: weights counted from the first spot
    // would pass the double range after about 85 hours.
    RecentSpots recent;
    const double x = std::cos(0.8) * std::cos(0.2);
    const double y = std::cos(0.8) * std::sin(0.2);
    const double z = std::sin(0.8);
    for (std::int64_t i = 0; i < 5 * 24 * 6; ++i) {
        recent.Push({1781431200 + i * 600, x, y, z, 10, 50.313, spot::Band::M6, {}});
        if (recent.Size() > 2) {
            recent.PopFront();
        }
    }
    const auto [sx, sy, sz] = recent.WeightedCentre();
    const double norm = std::sqrt(sx * sx + sy * sy + sz * sz);
    ASSERT_TRUE(std::isfinite(norm) && norm > 0);
    EXPECT_NEAR(sz / norm, z, 1e-12);
}

} // namespace
} // namespace ionvane::tracker
