// Spots beyond one hop and spots without locators in the pipeline: a double hop's two reflection
// points, its listing in the verdict (and no alarm from it), and spots placed from their calls,
// by the grids the calls were heard with and by the country file.
#include "tracker/spot_pipeline.h"

#include <gtest/gtest.h>

#include <variant>

namespace ionvane::tracker {
namespace {

// 2026-06-14T10:00:00Z
constexpr UnixSeconds T0 = 1781431200;

TEST(DoubleHop, ReflectionPointsLieAQuarterOfThePathInFromEachEnd) {
    struct Case {
        calc::Position From, To, NearHop, FarHop;
    };
    // Along a meridian and the equator by inspection; the others by the great-circle
    // interpolation formula (sin((1-f)d)/sin d, sin(fd)/sin d), worked by hand to 1e-6 degree.
    const Case cases[] = {
        {{10, 0}, {40, 0}, {17.5, 0}, {32.5, 0}},
        {{0, -30}, {0, 10}, {0, -20}, {0, 0}},
        {{40, -4}, {18, -40}, {35.522365, -14.610359}, {24.318914, -32.388152}},
        {{37.5, 14}, {18.18, -66.55}, {38.202307, -8.746639}, {27.547722, -49.921324}},
    };
    for (const Case &c : cases) {
        const auto [nearHop, farHop] = HopPoints(c.From, c.To);
        EXPECT_NEAR(nearHop.LatDeg, c.NearHop.LatDeg, 1e-6);
        EXPECT_NEAR(nearHop.LonDeg, c.NearHop.LonDeg, 1e-6);
        EXPECT_NEAR(farHop.LatDeg, c.FarHop.LatDeg, 1e-6);
        EXPECT_NEAR(farHop.LonDeg, c.FarHop.LonDeg, 1e-6);
    }
}

TEST(DoubleHop, OnlyTenAndSixMetreSpotsOfTwoHopLengths) {
    EXPECT_FALSE(IsDoubleHop(spot::Band::M6, 2299.99));
    EXPECT_TRUE(IsDoubleHop(spot::Band::M6, 2300));
    EXPECT_TRUE(IsDoubleHop(spot::Band::M10, 4600));
    EXPECT_FALSE(IsDoubleHop(spot::Band::M10, 4600.01));
    EXPECT_FALSE(IsDoubleHop(spot::Band::M4, 3000));
    EXPECT_FALSE(IsDoubleHop(spot::Band::M2, 3000));
    EXPECT_FALSE(IsDoubleHop(std::nullopt, 3000));
}

struct Pipeline {
    Pipeline()
        : Run(SpotCalculator(calc::PlainNumberFormat(), HomeSettings{"IN70", 110.0F, 0.15F}),
              TrackerSettings{}, false) {}
    LineResult Feed(UnixSeconds t, const std::string &line) { return Run.Feed(t, line, Events); }
    [[nodiscard]] const VerdictEvent *LastVerdict() const {
        for (auto e = Events.rbegin(); e != Events.rend(); ++e) {
            if (const auto *v = std::get_if<VerdictEvent>(&*e)) {
                return v;
            }
        }
        return nullptr;
    }
    [[nodiscard]] int Alarms() const {
        return static_cast<int>(std::count_if(Events.begin(), Events.end(), [](const auto &e) {
            return std::holds_alternative<AlarmEvent>(e);
        }));
    }
    SpotPipeline Run;
    std::vector<TrackerEvent> Events;
};

TEST(DoubleHop, IsListedInTheVerdictWithoutAnAlarm) {
    Pipeline p;
    // IN70 (Spain) to FK68 (Puerto Rico) is 6,100 km: more than two hops. IN70 to HK86, the
    // Cape Verde Islands, 3,100 km: two.
    p.Feed(T0, "DX de EA4ABC:     50110.0  D44TD        IN70<ES>HK86                1000Z");
    p.Feed(T0 + 60, "DX de EA4ABC:     50110.0  D44TD        IN70<ES>HK86 cq         1001Z");
    p.Feed(T0 + 120, "DX de EA4ABC:     50110.0  KP4EU        IN70<ES>FK68              1002Z");
    const VerdictEvent *verdict = p.LastVerdict();
    ASSERT_NE(verdict, nullptr);
    ASSERT_EQ(verdict->DoubleHop.size(), 1U);
    EXPECT_EQ(verdict->DoubleHop[0].Text,
              "6 m double hop to the Atlantic islands, 2 spots, last 10:01");
    EXPECT_EQ(p.Alarms(), 0);
    for (const VerdictState state : {verdict->Bands[1].State}) {
        EXPECT_EQ(state, VerdictState::Closed); // a double hop alone opens no band
    }
    // An hour without a double-hop spot: the evidence is gone, and the verdict says so.
    p.Run.Tick(T0 + 60 + DoubleHopKeptS, p.Events);
    ASSERT_NE(p.LastVerdict(), nullptr);
    EXPECT_TRUE(p.LastVerdict()->DoubleHop.empty());
}

TEST(DoubleHop, AReflectionPointInALiveCloudSupportsItAndStartsNone) {
    Pipeline p;
    // Alone, a double hop starts no cloud.
    EXPECT_FALSE(
        p.Feed(T0, "DX de EA4ABC:     50110.0  D44TD        IN70<ES>HK86                1000Z")
            .CloudId);
    EXPECT_TRUE(p.Run.Clouds().CurrentClouds().empty());
    // One hop from IN70 to IL28LT, the middle of the double hop's path: its centre is the double
    // hop's first reflection point.
    const LineResult single = p.Feed(
        T0 + 60, "DX de EA4ABC:     50110.0  EA8XYZ       IN70<ES>IL28LT              1001Z");
    ASSERT_EQ(single.CloudId, 1);
    const LineResult twoHops = p.Feed(
        T0 + 120, "DX de EA4ABC:     50110.0  D44TD        IN70<ES>HK86 again          1002Z");
    EXPECT_EQ(twoHops.Class, EsClass::MultiHop);
    EXPECT_EQ(twoHops.CloudId, 1);
    EXPECT_EQ(p.Run.Clouds().CurrentClouds().at(0).Cloud.Spots, 2);
}

// Real entries of cty.dat, aliases cut.
constexpr std::string_view Countries =
    "Canary Islands:           33:  36:  AF:   28.32:    15.85:     0.0:  EA8:\n"
    "    AM8,AN8,AO8,EA8,EB8,EC8,ED8,EE8,EF8,EG8,EH8;\n"
    "Italy:                    15:  28:  EU:   42.82:   -12.58:    -1.0:  I:\n"
    "    4U,I,=II0PN/MM(40),=II1RT/N;\n"
    "United States of America: 05:  08:  NA:   37.60:    91.87:     5.0:  K:\n"
    "    AA,K,N,W,=W6GMT(4)[7];\n";

TEST(PlacedSpot, CallsAreHeardWithGridsAndPlacedByThemFirst) {
    Pipeline p;
    places::CountryFile countries;
    countries.Read(Countries);
    p.Run.UsePlaces(&countries, true);
    // Heard: the spotter with its grid after the time, the DX with the comment's other locator.
    p.Feed(T0, "DX de IK8ABC-2:   50313.0  EA6XYZ       JM78<ES>JM19 FT8            1000Z JM78");
    const LineResult heard =
        p.Feed(T0 + 120, "DX de IK8ABC:     50313.0  EA6XYZ       FT8 +03dB                 1002Z");
    ASSERT_EQ(heard.What, LineResult::Kind::Spot);
    ASSERT_TRUE(heard.Placed);
    EXPECT_EQ(heard.Placed->From.Text, "heard with JM78 at 10:00");
    EXPECT_EQ(heard.Placed->To.Text, "heard with JM19 at 10:00");
    EXPECT_EQ(heard.Read.FromLoc, "JM78MM");
    EXPECT_TRUE(heard.CloudId);

    // The DX by its prefix, precisely enough (the Canaries, +-250 km); the spotter by the grid
    // after the time.
    const LineResult prefix = p.Feed(
        T0 + 180, "DX de IK8ABC:     50313.0  EA8ZZZ       FT8                       1003Z JM78");
    ASSERT_EQ(prefix.What, LineResult::Kind::Spot);
    EXPECT_EQ(prefix.Placed->From.Text, "locator");
    EXPECT_EQ(prefix.Placed->To.Text, "prefix EA8 (Canary Islands) +-250 km");

    // The north-west of the United States by its call area is too coarse (+-900 km): listed with
    // its places, moves no cloud.
    const LineResult coarse =
        p.Feed(T0 + 240, "DX de EA8ZZZ:     50313.0  K7QQQ        FT8                       1004Z");
    EXPECT_EQ(coarse.What, LineResult::Kind::Skipped);
    EXPECT_EQ(coarse.Reason, "placed too coarsely to count: from prefix EA8 (Canary Islands) "
                             "+-250 km, to prefix K7 (United States of America) +-900 km");
    EXPECT_FALSE(coarse.CloudId);

    // Two locators without a grid after the time are learnt where the country file agrees with
    // them, in whichever order the spotter wrote them.
    p.Feed(T0 + 250, "DX de IK8ABC:     50313.0  EA8QQ        JM78<ES>IL18              1004Z");
    p.Feed(T0 + 260, "DX de EA8RR:      50313.0  IK8ZZ        JM79<ES>IL28              1004Z");
    EXPECT_EQ(p.Run.Grids().Find("EA8QQ", T0 + 300)->Grid, "IL18");
    EXPECT_EQ(p.Run.Grids().Find("IK8ZZ", T0 + 300)->Grid, "JM79");
    EXPECT_EQ(p.Run.Grids().Find("EA8RR", T0 + 300)->Grid, "IL28");

    // A maritime mobile is placed nowhere, and the spot stays as it was read.
    const LineResult mobile = p.Feed(
        T0 + 300, "DX de IK8ABC:     50313.0  G4ABC/MM     FT8                       1005Z JM78");
    EXPECT_EQ(mobile.Reason, "Only one locator found in the spot");
    EXPECT_FALSE(mobile.Placed);
}

TEST(PlacedSpot, NothingIsPlacedFromCallsUnlessAsked) {
    Pipeline p;
    p.Feed(T0, "DX de IK8ABC:     50313.0  EA6XYZ       JM78<ES>JM19 FT8            1000Z JM78");
    const LineResult line =
        p.Feed(T0 + 120, "DX de IK8ABC:     50313.0  EA6XYZ       FT8 +03dB                 1002Z");
    EXPECT_EQ(line.Reason, "No locators found in the spot");
}

} // namespace
} // namespace ionvane::tracker
