// Spots as a node lists them (SH/DX) or sends them after set/ve7cc (CC11), read with their own
// time, and the two rules of the pipeline for spots seen again and spots that come late.
#include "spot/node_spot.h"
#include "spot/utc_time.h"
#include "tracker/spot_pipeline.h"

#include <gtest/gtest.h>

namespace ionvane::tracker {
namespace {

const std::string Cc11 = "CC11^50313.0^ZZ9ZZZ^ 7-Dec-2026^1316Z^JN48<ES>IL18 test^PA0FLT^142^139^"
                         "GB7TST^15^11^27^14^^^Brazil-PY^Netherlands-PA^^JO90";

struct ReadCase {
    std::string Line;
    std::string From, To, Tag, FreqMHzText, DxCall, Spotter;
    const char *SpotTime; // nullptr: none
};

TEST(NodeSpots, ListingAndCc11LinesAreSpotsAtTheirOwnTime) {
    const ReadCase cases[] = {
        {"  70200.0 EI9ZZE       7-Dec-2026 1304Z IO63<ES>JN58 4m   <PA0TST>", "IO63", "JN58", "ES",
         "70.2", "EI9ZZE", "PA0TST", "2026-12-07T13:04:00Z"},
        {"DK7UK de GB7TST  7-Dec-2026 1310Z dxspider >" + Cc11, "JN48", "IL18", "ES", "50.313",
         "ZZ9ZZZ", "PA0FLT", "2026-12-07T13:16:00Z"},
        // One locator in the comment: the last field, the spotter's grid, is the other end.
        {"CC11^50313.0^ZZ9ZZZ^ 7-Dec-2026^1316Z^IL18 tnx^PA0FLT^142^139^GB7TST^^^^JO90", "JO90",
         "IL18", "", "50.313", "ZZ9ZZZ", "PA0FLT", "2026-12-07T13:16:00Z"},
        // A prompt without a line end runs on into the first line of the listing.
        {"DK7UK de GB7TST  7-Dec-2026 1310Z dxspider >  70200.0 EI9ZZE       7-Dec-2026 1304Z "
         "IO63<ES>JN58 4m   <PA0TST>",
         "IO63", "JN58", "ES", "70.2", "EI9ZZE", "PA0TST", "2026-12-07T13:04:00Z"},
        // A date that does not exist gives no time; the spot is still read.
        {"  50313.0 ZZ9ZZZ      30-Feb-2026 1304Z IO63<ES>JN58   <PA0TST>", "IO63", "JN58", "ES",
         "50.313", "ZZ9ZZZ", "PA0TST", nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Line);
        const spot::TimedReading timed = spot::ReadTimedSpot(c.Line);
        ASSERT_EQ(timed.Reading.Problem, spot::SpotProblem::None);
        const spot::Spot &read = timed.Reading.Read;
        EXPECT_EQ(read.FromLoc, c.From);
        EXPECT_EQ(read.ToLoc, c.To);
        EXPECT_EQ(read.Tag, c.Tag);
        EXPECT_EQ(read.FreqMHzText, c.FreqMHzText);
        EXPECT_EQ(read.DxCall, c.DxCall);
        EXPECT_EQ(read.Spotter, c.Spotter);
        EXPECT_EQ(timed.SpotTime, c.SpotTime ? spot::ReadUtcTime(c.SpotTime) : std::nullopt);
    }
    // Node protocol and other machine lines are no spot and nothing to say.
    for (const char *line : {"PC18^DXSpider Version: 1.57 build 0.1^", "CC12^DL1ABC^test^"}) {
        const spot::TimedReading timed = spot::ReadTimedSpot(line);
        EXPECT_EQ(timed.Reading.Problem, spot::SpotProblem::NotASpot) << line;
        EXPECT_TRUE(timed.Reading.NodeMessage) << line;
    }
}

// 2026-12-07T13:10:00Z
constexpr UnixSeconds T0 = 1796649000;

struct Step {
    UnixSeconds ReceivedAt;
    std::string Line;
    const char *Reason; // nullptr: a spot
};

TEST(NodeSpots, ASpotIsCountedOnceAndALateOnePlacesNothing) {
    const std::string live = "DX de PA0TST:    70200.0  EI9ZZE       IO63<ES>JN58 4m  1304Z";
    const std::string listed = "  70200.0 EI9ZZE       7-Dec-2026 1304Z IO63<ES>JN58 4m <PA0TST>";
    const Step steps[] = {
        {T0 - 5 * 60 - 40, live, nullptr},
        {T0, listed, "already counted"},
        {T0, "CC11^70200.0^EI9ZZE^ 7-Dec-2026^1304Z^IO63<ES>JN58 4m^PA0TST^^JO22",
         "already counted"},
        // Another spotter, another 0.1 kHz, another minute: other spots.
        {T0, "  70200.0 EI9ZZE       7-Dec-2026 1304Z IO63<ES>JN58 4m <PA0XYZ>", nullptr},
        {T0, "  70200.1 EI9ZZE       7-Dec-2026 1304Z IO63<ES>JN58 4m <PA0TST>", nullptr},
        {T0, "  70200.0 EI9ZZE       7-Dec-2026 1256Z IO63<ES>JN58 4m <PA0TST>", nullptr},
        {T0, "  70200.0 EI9ZZE       7-Dec-2026 1255Z IO63<ES>JN58 4m <PA0TST>",
         "older than 15 minutes"},
    };
    SpotPipeline pipeline(
        SpotCalculator(calc::PlainNumberFormat(), HomeSettings{"IO90IR", 110.0F, 0.15F}),
        TrackerSettings{}, false);
    std::vector<TrackerEvent> events;
    for (const auto &step : steps) {
        SCOPED_TRACE(step.Line);
        const std::size_t before = events.size();
        const LineResult result = pipeline.Feed(step.ReceivedAt, step.Line, events);
        if (step.Reason == nullptr) {
            EXPECT_EQ(result.What, LineResult::Kind::Spot);
            continue;
        }
        EXPECT_EQ(result.What, LineResult::Kind::Skipped);
        EXPECT_EQ(result.Reason, step.Reason);
        EXPECT_EQ(events.size(), before);
    }
    // The listed spot of 12:56 was placed at its own time: the cloud was first seen then.
    const std::vector<CloudEvent> clouds = pipeline.Clouds().CurrentClouds();
    ASSERT_EQ(clouds.size(), 1U);
    EXPECT_EQ(clouds[0].Cloud.FirstSeen, T0 - 14 * 60);
    // An hour after it was counted, the spot counts again.
    EXPECT_EQ(pipeline.Feed(T0 + 55 * 60, live, events).What, LineResult::Kind::Spot);
}

} // namespace
} // namespace ionvane::tracker
