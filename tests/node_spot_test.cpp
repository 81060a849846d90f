// Spots as a node lists them (SH/DX) or sends them after set/ve7cc (CC11), read with their own
// time, and the pipeline's rules for a spot seen again and a spot that comes late.
#include "spot/node_spot.h"
#include "spot/utc_time.h"
#include "tracker/spot_pipeline.h"

#include <gtest/gtest.h>

namespace ionvane::tracker {
namespace {

// From, to, tag, MHz, DX call, spotter and the spot's own time, as one text.
std::string Read(const std::string &line) {
    const spot::TimedReading t = spot::ReadTimedSpot(line);
    const spot::Spot &s = t.Reading.Read;
    if (t.Reading.Problem != spot::SpotProblem::None) {
        return t.Reading.NodeMessage ? "node message" : "problem";
    }
    return s.FromLoc + " " + s.ToLoc + " " + s.Tag + " " + s.FreqMHzText + " " + s.DxCall + " " +
           s.Spotter + " " + (t.SpotTime ? spot::UtcTimeText(*t.SpotTime) : "-");
}

TEST(NodeSpots, ListingAndCc11LinesAreSpotsAtTheirOwnTime) {
    const std::pair<std::string, std::string> cases[] = {
        {"  70200.0 EI9ZZE       7-Dec-2026 1304Z IO63<ES>JN58 4m   <PA0TST>",
         "IO63 JN58 ES 70.2 EI9ZZE PA0TST 2026-12-07T13:04:00Z"},
        {"CC11^50313.0^ZZ9ZZZ^ 7-Dec-2026^1316Z^JN48<ES>IL18 test^PA0FLT^142^139^GB7TST^15^11^27^"
         "14^^^Brazil-PY^Netherlands-PA^^JO90",
         "JN48 IL18 ES 50.313 ZZ9ZZZ PA0FLT 2026-12-07T13:16:00Z"},
        // One locator in the comment: the last field, the spotter's grid, is the other end.
        {"CC11^50313.0^ZZ9ZZZ^ 7-Dec-2026^1316Z^IL18 tnx^PA0FLT^^JO90",
         "JO90 IL18  50.313 ZZ9ZZZ PA0FLT 2026-12-07T13:16:00Z"},
        // A prompt without a line end runs on into the next line.
        {"DK7UK de GB7TST  7-Dec-2026 1310Z dxspider >  70200.0 EI9ZZE 30-Feb-2026 1304Z "
         "IO63<ES>JN58 <PA0TST>",
         "IO63 JN58 ES 70.2 EI9ZZE PA0TST -"},
        {"DK7UK de GB7TST >CC11^50313.0^ZZ9ZZZ^7-Dec-2026^1316Z^JN48<ES>IL18^PA0FLT^^JO90",
         "JN48 IL18 ES 50.313 ZZ9ZZZ PA0FLT 2026-12-07T13:16:00Z"},
        {"PC18^DXSpider Version: 1.57 build 0.1^", "node message"},
        {"CC12^DL1ABC^test^", "node message"},
    };
    for (const auto &[line, expected] : cases) {
        EXPECT_EQ(Read(line), expected) << line;
    }
}

// 2026-12-07T13:10:00Z
constexpr UnixSeconds T0 = 1796649000;

TEST(NodeSpots, ASpotIsCountedOnceAndALateOnePlacesNothing) {
    const std::string live = "DX de PA0TST:    70200.0  EI9ZZE       IO63<ES>JN58 4m  1304Z";
    const std::string listing = "  70200.0 EI9ZZE       7-Dec-2026 ";
    const std::tuple<UnixSeconds, std::string, std::string> steps[] = {
        {T0 - 5 * 60 - 40, live, ""},
        {T0, listing + "1304Z IO63<ES>JN58 4m <PA0TST>", "already counted"},
        {T0, "CC11^70200.0^EI9ZZE^ 7-Dec-2026^1304Z^IO63<ES>JN58 4m^PA0TST^^JO22",
         "already counted"},
        // Another spotter, another 0.1 kHz, another minute: other spots.
        {T0, listing + "1304Z IO63<ES>JN58 4m <PA0XYZ>", ""},
        {T0, "  70200.1 EI9ZZE       7-Dec-2026 1304Z IO63<ES>JN58 4m <PA0TST>", ""},
        {T0, listing + "1256Z IO63<ES>JN58 4m <PA0TST>", ""},
        {T0, listing + "1255Z IO63<ES>JN58 4m <PA0TST>", "older than 15 minutes"},
    };
    SpotPipeline pipeline(
        SpotCalculator(calc::PlainNumberFormat(), HomeSettings{"IO90IR", 110.0F, 0.15F}),
        TrackerSettings{}, false);
    std::vector<TrackerEvent> events;
    for (const auto &[receivedAt, line, reason] : steps) {
        const std::size_t before = events.size();
        const LineResult result = pipeline.Feed(receivedAt, line, events);
        EXPECT_EQ(result.What, reason.empty() ? LineResult::Kind::Spot : LineResult::Kind::Skipped);
        EXPECT_EQ(result.Reason, reason) << line;
        EXPECT_TRUE(reason.empty() || events.size() == before) << line;
    }
    // The listed spot of 12:56 was placed at its own time: the cloud was first seen then.
    ASSERT_EQ(pipeline.Clouds().CurrentClouds().size(), 1U);
    EXPECT_EQ(pipeline.Clouds().CurrentClouds()[0].Cloud.FirstSeen, T0 - 14 * 60);
    // An hour after it was counted, the spot counts again.
    EXPECT_EQ(pipeline.Feed(T0 + 55 * 60, live, events).What, LineResult::Kind::Spot);
}

} // namespace
} // namespace ionvane::tracker
