// Spots given to the tracker after its clock has passed their time, as feed reports uploaded in
// batches come: each is placed at its own time, so the cloud's last sighting, the weights of its
// position, its drift and the stretch of its critical frequency come out as for the same spots in
// order; a spot as old as the recent stretch places nothing.
#include "spot/capture_line.h"
#include "synthetic/synthetic_capture.h"
#include "tracker/spot_pipeline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <variant>
#include <vector>

namespace ionvane::tracker {
namespace {

using synthetic::Destination;
using synthetic::PathThrough;
using synthetic::Point;

// 2026-06-14T10:00:00Z
constexpr UnixSeconds T0 = 1781431200;
constexpr UnixSeconds Minute = 60;

// Seven spots, two minutes apart, through a cloud drifting east at 120 km/h over the Alps: 6 m
// apart from a 2 m spot (the highest critical frequency) and a 4 m one.
struct OpeningSpot {
    UnixSeconds Time;
    double BearingDeg;
    double LengthKm;
    double FreqKHz;
};
constexpr OpeningSpot Opening[] = {
    {T0, 10, 1000, 50313.0},
    {T0 + 2 * Minute, 50, 1400, 50313.0},
    {T0 + 4 * Minute, 95, 1600, 144174.0},
    {T0 + 6 * Minute, 130, 1200, 50313.0},
    {T0 + 8 * Minute, 170, 1600, 70200.0},
    {T0 + 10 * Minute, 30, 1800, 50313.0},
    {T0 + 12 * Minute, 150, 1300, 50313.0},
};
constexpr std::size_t OpeningSize = std::size(Opening);
constexpr double DriftKmh = 120;

std::string OpeningLine(std::size_t index) {
    const OpeningSpot &spot = Opening[index];
    const double hours = static_cast<double>(spot.Time - T0) / 3600;
    const Point centre = Destination({47.0, 8.0}, 90, DriftKmh * hours);
    const std::string line = synthetic::SpotLine(
        spot.Time, PathThrough(centre, spot.BearingDeg, spot.LengthKm), spot.FreqKHz, "ES");
    // The line without its capture time: the time it is given at is the test's to choose.
    return std::string(spot::ReadCaptureLine(line)->Line);
}

// The clouds and verdict at each of these times, after every spot was given: the first with all
// but the first spot in the stretch and a drift, then spots leaving one by one (the 2 m spot at
// T0 + 19 minutes), and the cloud fading.
constexpr UnixSeconds Probes[] = {T0 + 16 * Minute, T0 + 17 * Minute, T0 + 19 * Minute,
                                  T0 + 21 * Minute, T0 + 23 * Minute, T0 + 28 * Minute};

struct Seen {
    std::vector<std::vector<CloudEvent>> Clouds; // at each probe
    std::vector<VerdictEvent> Verdicts;
};

struct Session {
    Session()
        : Pipeline(SpotCalculator(calc::PlainNumberFormat(), HomeSettings{"IO90IR", 110.0F, 0.15F}),
                   TrackerSettings{}, false) {}

    // The spot `index` of the opening, received at `receivedAt`.
    LineResult Give(std::size_t index, UnixSeconds receivedAt) {
        Pipeline.Tick(receivedAt, Events);
        const std::size_t before = Events.size();
        LineResult result = Pipeline.Feed(Opening[index].Time, OpeningLine(index), Events);
        Added.assign(Events.begin() + static_cast<std::ptrdiff_t>(before), Events.end());
        return result;
    }
    Seen Probe() {
        Seen seen;
        for (const UnixSeconds probe : Probes) {
            Pipeline.Tick(probe, Events);
            seen.Clouds.push_back(Pipeline.Clouds().CurrentClouds());
            seen.Verdicts.push_back(Pipeline.Clouds().CurrentVerdict());
        }
        return seen;
    }

    SpotPipeline Pipeline;
    std::vector<TrackerEvent> Events;
    std::vector<TrackerEvent> Added; // the events of the last spot given
};

Seen InOrder() {
    Session run;
    for (std::size_t i = 0; i < OpeningSize; ++i) {
        run.Give(i, Opening[i].Time);
    }
    return run.Probe();
}

// `tolerance` 0: the same to the last bit.
void ExpectSameCloud(const CloudSnapshot &late, const CloudSnapshot &inOrder, double toleranceDeg,
                     const std::string &where) {
    SCOPED_TRACE(where);
    EXPECT_EQ(late.Id, inOrder.Id);
    EXPECT_NEAR(late.LatDeg, inOrder.LatDeg, toleranceDeg);
    EXPECT_NEAR(late.LonDeg, inOrder.LonDeg, toleranceDeg);
    EXPECT_EQ(late.CentreLoc, inOrder.CentreLoc);
    EXPECT_EQ(late.Bands, inOrder.Bands);
    EXPECT_EQ(late.CriticalFreqMHz, inOrder.CriticalFreqMHz);
    EXPECT_EQ(late.HighestFreqMHz, inOrder.HighestFreqMHz);
    EXPECT_EQ(late.LastSeen, inOrder.LastSeen);
    ASSERT_EQ(late.Movement.has_value(), inOrder.Movement.has_value());
    if (late.Movement) {
        // 1e-9 deg of position over the ten-minute fit is below 1e-5 km/h.
        EXPECT_NEAR(late.Movement->SpeedKmh, inOrder.Movement->SpeedKmh, toleranceDeg * 1e4);
        EXPECT_NEAR(late.Movement->TowardsDeg, inOrder.Movement->TowardsDeg, toleranceDeg * 1e4);
    }
}

struct LateCase {
    const char *Name;
    std::size_t Index;      // the spot that comes late
    UnixSeconds ReceivedAt; // when it comes
    bool Placed;            // false: older than the 15-minute stretch when it comes
};

TEST(LateSpots, ALateSpotCountsAsTheSameSpotInOrder) {
    const LateCase cases[] = {
        // Later than the cloud's newest spot, earlier than the clock.
        {"1 minute late", 3, Opening[3].Time + 1 * Minute, true},
        // Among the spots already held: after it come the 6 m and 4 m spots of 6 and 8 minutes.
        {"5 minutes late", 2, Opening[2].Time + 5 * Minute, true},
        // Older than every spot held, and older than the cloud it joins.
        {"14 minutes late", 0, Opening[0].Time + 14 * Minute, true},
        // At the edge of the stretch and beyond it: it would leave as it came.
        {"15 minutes late", 0, Opening[0].Time + 15 * Minute, false},
        {"16 minutes late", 0, Opening[0].Time + 16 * Minute, false},
    };
    const Seen inOrder = InOrder();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        Session run;
        std::optional<LineResult> late;
        for (std::size_t i = 0; i < OpeningSize; ++i) {
            if (i == c.Index) {
                continue;
            }
            // The late spot comes at the first spot at or after its receipt time, or at the end.
            if (!late && Opening[i].Time >= c.ReceivedAt) {
                late = run.Give(c.Index, c.ReceivedAt);
                ASSERT_EQ(late->What, LineResult::Kind::Spot);
                ASSERT_EQ(late->Class, EsClass::Counted);
            }
            run.Give(i, Opening[i].Time);
        }
        if (!late) {
            late = run.Give(c.Index, c.ReceivedAt);
        }
        ASSERT_EQ(run.Pipeline.Clouds().Now(), std::max(c.ReceivedAt, Opening[6].Time));
        if (c.Placed) {
            EXPECT_EQ(late->CloudId, 1);
        } else {
            EXPECT_FALSE(late->CloudId.has_value());
        }

        const Seen seen = run.Probe();
        for (std::size_t p = 0; p < std::size(Probes); ++p) {
            const std::string at = "probe " + std::to_string(p);
            ASSERT_EQ(seen.Clouds[p].size(), 1U) << at;
            ASSERT_EQ(inOrder.Clouds[p].size(), 1U) << at;
            const CloudEvent &lateCloud = seen.Clouds[p][0];
            const CloudEvent &inOrderCloud = inOrder.Clouds[p][0];
            EXPECT_EQ(lateCloud.State, inOrderCloud.State) << at;
            // A spot placed late gives the very sums of in-order arrival; one left out leaves the
            // in-order sums with the rounding of its removal, far below a millimetre.
            ExpectSameCloud(lateCloud.Cloud, inOrderCloud.Cloud, c.Placed ? 0 : 1e-9, at);
            EXPECT_EQ(lateCloud.Cloud.Spots, inOrderCloud.Cloud.Spots - (c.Placed ? 0 : 1)) << at;
            EXPECT_EQ(lateCloud.Cloud.FirstSeen,
                      c.Placed ? inOrderCloud.Cloud.FirstSeen : Opening[1].Time)
                << at;
            for (std::size_t b = 0; b < spot::BandCount; ++b) {
                EXPECT_EQ(seen.Verdicts[p].Bands[b].State, inOrder.Verdicts[p].Bands[b].State)
                    << at;
                EXPECT_EQ(seen.Verdicts[p].Bands[b].CloudId, inOrder.Verdicts[p].Bands[b].CloudId)
                    << at;
            }
        }
        // The probes saw what they were meant to: a drift first, the 2 m spot until it left at
        // T0 + 19 minutes (alone it sets no critical frequency: none agrees with it), and the
        // cloud fading at the end.
        EXPECT_TRUE(inOrder.Clouds[0][0].Cloud.Movement.has_value());
        EXPECT_NE(inOrder.Clouds[1][0].Cloud.Bands & spot::BandBit(spot::Band::M2), 0);
        EXPECT_EQ(inOrder.Clouds[2][0].Cloud.Bands & spot::BandBit(spot::Band::M2), 0);
        EXPECT_EQ(inOrder.Clouds[5][0].State, CloudState::Fading);
    }
}

TEST(LateSpots, ALateSpotsEventsComeAtTheClock) {
    Session run;
    for (std::size_t i = 0; i < OpeningSize; ++i) {
        if (i != 2) {
            run.Give(i, Opening[i].Time);
        }
    }
    // The 2 m spot of T0 + 4 minutes, 9 minutes late: the cloud's update is an event of the
    // clock's time, and the cloud was last seen at its newest spot all the same.
    run.Give(2, Opening[2].Time + 9 * Minute);
    ASSERT_FALSE(run.Added.empty());
    const auto *update = std::get_if<CloudEvent>(&run.Added.front());
    ASSERT_NE(update, nullptr);
    EXPECT_EQ(update->Time, Opening[2].Time + 9 * Minute);
    EXPECT_EQ(update->State, CloudState::Update);
    EXPECT_EQ(update->Cloud.LastSeen, Opening[6].Time);
    EXPECT_EQ(update->Cloud.Spots, 7);
    for (const auto &event : run.Added) {
        std::visit([&](const auto &e) { EXPECT_EQ(e.Time, Opening[2].Time + 9 * Minute); }, event);
    }
}

TEST(LateSpots, ALateSpotBringsBackACloudThatWasStillActiveAtItsTime) {
    // Spots at T0 and T0 + 2 minutes; the clock passes T0 + 17 minutes and the cloud fades. A
    // spot of T0 + 10 minutes comes then: in order it would have kept the cloud active.
    Session late;
    late.Give(0, Opening[0].Time);
    late.Give(1, Opening[1].Time);
    late.Pipeline.Tick(T0 + 18 * Minute, late.Events);
    ASSERT_EQ(late.Pipeline.Clouds().CurrentClouds()[0].State, CloudState::Fading);
    const LineResult result = late.Give(5, T0 + 18 * Minute);
    EXPECT_EQ(result.CloudId, 1);

    Session inOrder;
    inOrder.Give(0, Opening[0].Time);
    inOrder.Give(1, Opening[1].Time);
    inOrder.Give(5, Opening[5].Time);
    inOrder.Pipeline.Tick(T0 + 18 * Minute, inOrder.Events);

    const auto lateClouds = late.Pipeline.Clouds().CurrentClouds();
    const auto inOrderClouds = inOrder.Pipeline.Clouds().CurrentClouds();
    ASSERT_EQ(lateClouds.size(), 1U);
    ASSERT_EQ(inOrderClouds.size(), 1U);
    EXPECT_EQ(lateClouds[0].State, CloudState::New); // active, as CurrentClouds names it
    EXPECT_EQ(inOrderClouds[0].State, CloudState::New);
    // The in-order sums kept the rounding of the two spots that left.
    ExpectSameCloud(lateClouds[0].Cloud, inOrderClouds[0].Cloud, 1e-9, "T0 + 18 minutes");
    EXPECT_EQ(lateClouds[0].Cloud.Spots, 3);
    EXPECT_EQ(lateClouds[0].Cloud.LastSeen, Opening[5].Time);
    // It fades again when its new spot leaves, at T0 + 25 minutes.
    late.Pipeline.Tick(T0 + 25 * Minute - 1, late.Events);
    EXPECT_EQ(late.Pipeline.Clouds().CurrentClouds()[0].State, CloudState::New);
    late.Pipeline.Tick(T0 + 25 * Minute, late.Events);
    EXPECT_EQ(late.Pipeline.Clouds().CurrentClouds()[0].State, CloudState::Fading);
}

TEST(LateSpots, ALateSpotFarFromEveryCloudStartsOneFirstSeenAtItsTime) {
    Session run;
    run.Give(6, Opening[6].Time);
    // A 6 m spot over the Baltic, 5 minutes old when it comes.
    const std::string capture =
        synthetic::SpotLine(T0, PathThrough({57.0, 19.0}, 40, 1400), 50313.0, "ES");
    const std::string baltic(spot::ReadCaptureLine(capture)->Line);
    const LineResult result = run.Pipeline.Feed(Opening[6].Time - 5 * Minute, baltic, run.Events);
    EXPECT_EQ(result.CloudId, 2);
    const auto clouds = run.Pipeline.Clouds().CurrentClouds();
    ASSERT_EQ(clouds.size(), 2U);
    EXPECT_EQ(clouds[1].Cloud.FirstSeen, Opening[6].Time - 5 * Minute);
    EXPECT_EQ(clouds[1].Cloud.LastSeen, Opening[6].Time - 5 * Minute);
    // It fades 15 minutes after its own time, not after the clock's.
    run.Pipeline.Tick(Opening[6].Time + 10 * Minute, run.Events);
    EXPECT_EQ(run.Pipeline.Clouds().CurrentClouds()[1].State, CloudState::Fading);
    EXPECT_EQ(run.Pipeline.Clouds().CurrentClouds()[0].State, CloudState::New);
}

TEST(LateSpots, AFullCloudKeepsItsNewestSpotsWhateverOrderTheyCome) {
    // A cloud holding its most spots, 4,500 over ten minutes (critical frequency 10 MHz), and a
    // 2 m spot of 40 MHz a minute older than all of them: in order it would have been the first
    // dropped, so coming late it is counted and not held. One of the middle of the stretch is
    // held, and the oldest dropped for it.
    const auto tracked = [](double criticalFreqMHz) {
        TrackedSpot spot;
        spot.SpotBand = criticalFreqMHz > 20 ? spot::Band::M2 : spot::Band::M6;
        spot.FreqMHz = criticalFreqMHz > 20 ? 144.174 : 50.313;
        spot.CentreLatDeg = 47.0 + criticalFreqMHz * 1e-3;
        spot.CentreLonDeg = 8.0;
        spot.CriticalFreqMHz = criticalFreqMHz;
        return spot;
    };
    const auto fill = [&](CloudTracker &tracker, std::vector<TrackerEvent> &events) {
        for (std::int64_t i = 0; i < static_cast<std::int64_t>(MaxRecentSpotsPerCloud); ++i) {
            tracker.AddSpot(T0 + i * 2 / 15, tracked(10), events);
        }
    };
    std::vector<TrackerEvent> events;
    CloudTracker late(TrackerSettings{}, HomeView(calc::PlainNumberFormat(), {"IO90IR"}));
    fill(late, events);
    const UnixSeconds clock = late.Now();
    late.AddSpot(T0 - Minute, tracked(40), events);
    CloudTracker inOrder(TrackerSettings{}, HomeView(calc::PlainNumberFormat(), {"IO90IR"}));
    inOrder.AddSpot(T0 - Minute, tracked(40), events);
    fill(inOrder, events);
    ASSERT_EQ(late.Now(), clock);
    ASSERT_EQ(inOrder.Now(), clock);
    const CloudSnapshot lateCloud = late.CurrentClouds()[0].Cloud;
    const CloudSnapshot inOrderCloud = inOrder.CurrentClouds()[0].Cloud;
    EXPECT_EQ(lateCloud.CriticalFreqMHz, 10);
    EXPECT_EQ(lateCloud.Bands, spot::BandBit(spot::Band::M6));
    ExpectSameCloud(lateCloud, inOrderCloud, 1e-9, "the older spot late");
    EXPECT_EQ(lateCloud.Spots, static_cast<int>(MaxRecentSpotsPerCloud) + 1);
    EXPECT_EQ(lateCloud.FirstSeen, T0 - Minute);

    // A spot of the middle of the stretch is held (its band is the cloud's), though alone it
    // sets no critical frequency.
    late.AddSpot(T0 + 5 * Minute, tracked(30), events);
    EXPECT_NE(late.CurrentClouds()[0].Cloud.Bands & spot::BandBit(spot::Band::M2), 0);
    EXPECT_EQ(late.CurrentClouds()[0].Cloud.CriticalFreqMHz, 10);
    EXPECT_EQ(late.CurrentClouds()[0].Cloud.LastSeen, clock);
}

} // namespace
} // namespace ionvane::tracker
