// The Es MUF layer: the square a reflection falls in (edges included), the highest MUF of each
// square over the window as spots come and age out, a late spot, and a double hop reflected in two
// squares, each with the MUF of its own hop.
#include "tracker/muf_layer.h"
#include "tracker/spot_pipeline.h"

#include "calc/locator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace ionvane::tracker {
namespace {

// 2026-06-14T10:00:00Z
constexpr UnixSeconds T0 = 1781431200;

TEST(MufSquares, APointBelongsToTheSquareNorthAndEastOfItsEdges) {
    struct Case {
        calc::Position At;
        const char *Square;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {{52.0, 2.0}, "JO12"},           // the corner of four squares
        {{51.999999, 1.999999}, "JO01"}, // just inside the square south-west of it
        {{-0.5, -2.0}, "II99"},          // a western edge west of Greenwich
        {{0, 0}, "JJ00"},
        {{-90, -180}, "AA00"},
        {{90, 180}, "AR09"}, // the top row; 180 E is 180 W
        {{89.5, 179.9}, "RR99"},
        {{nan, 10}, "JJ00"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(SquareOf(c.At), c.Square) << c.At.LatDeg << " " << c.At.LonDeg;
    }
    // The fault this pins: the locator encoder's (2 + 180) / 20 and (52 + 90) / 10, less their
    // fields, times 10 come out just under 1, and a path centre on that corner went into the
    // square south-west of it.
    EXPECT_EQ(calc::EncodeLocator(52.0, 2.0).substr(0, 4), "JO01");
}

TEST(MufSquares, BoundsAreTwoDegreesByOne) {
    const SquareBounds jo12 = BoundsOf("JO12");
    EXPECT_EQ(jo12.SouthDeg, 52);
    EXPECT_EQ(jo12.WestDeg, 2);
    EXPECT_EQ(jo12.NorthDeg, 53);
    EXPECT_EQ(jo12.EastDeg, 4);
    const SquareBounds aa00 = BoundsOf("AA00");
    EXPECT_EQ(aa00.SouthDeg, -90);
    EXPECT_EQ(aa00.WestDeg, -180);
    const SquareBounds rr99 = BoundsOf("RR99");
    EXPECT_EQ(rr99.NorthDeg, 90);
    EXPECT_EQ(rr99.EastDeg, 180);
}

// Spots in JN48 (48.5 N 9 E) and on the corner of JO12, in the order they come.
const TimedReflection Spots[] = {
    {T0, {{48.5, 9.0}, 70.2}},
    {T0 + 60, {{48.5, 9.5}, 50.4}},
    {T0 + 300, {{52.0, 2.0}, 144.3}},
    {T0 + 420, {{48.9, 8.1}, 50.4}},
    // A feed report five minutes late: it ages from its own time.
    {T0 + 200, {{52.5, 3.0}, 28.9}},
};

TEST(MufLayer, EachSquareShowsItsHighestMufUntilItsSpotsAgeOut) {
    struct Case {
        UnixSeconds At;
        std::vector<MufSquare> Expected;
    };
    const Case cases[] = {
        {T0 + 60, {{"JN48", 70.2, 2}}},
        {T0 + 899, {{"JN48", 70.2, 3}, {"JO12", 144.3, 2}}},
        // The 70.2 MHz spot is a quarter hour old and gone: the next highest stands.
        {T0 + 900, {{"JN48", 50.4, 2}, {"JO12", 144.3, 2}}},
        // The late report goes at its own time, before the 144.3 one.
        {T0 + 1100, {{"JN48", 50.4, 1}, {"JO12", 144.3, 1}}},
        {T0 + 1320, {}},
    };
    MufLayer layer(MufWindowShortS);
    std::size_t fed = 0;
    for (const Case &c : cases) {
        // The spots come at the times of the capture: the last one at T0 + 500.
        for (; fed < std::size(Spots) && (fed < 4 ? Spots[fed].Time : T0 + 500) <= c.At; ++fed) {
            layer.AgeTo(fed < 4 ? Spots[fed].Time : T0 + 500);
            layer.Add(Spots[fed].Time, {Spots[fed].Where});
        }
        layer.AgeTo(c.At);
        EXPECT_EQ(layer.Squares(), c.Expected) << c.At - T0;
        // The same moment built at once from the spots alone.
        const std::vector<TimedReflection> all(std::begin(Spots), std::end(Spots));
        if (c.At >= T0 + 500) {
            EXPECT_EQ(MufSquaresAt(all, c.At, MufWindowShortS), c.Expected) << c.At - T0;
        }
    }
}

TEST(MufLayer, AHalfHourWindowKeepsWhatAQuarterHourDrops) {
    const std::vector<TimedReflection> all(std::begin(Spots), std::end(Spots));
    EXPECT_EQ(MufSquaresAt(all, T0 + 1320, MufWindowShortS), std::vector<MufSquare>{});
    const std::vector<MufSquare> expected{{"JN48", 70.2, 3}, {"JO12", 144.3, 2}};
    EXPECT_EQ(MufSquaresAt(all, T0 + 1320, MufWindowLongS), expected);
    // A past moment leaves out what came after it.
    const std::vector<MufSquare> early{{"JN48", 70.2, 2}};
    EXPECT_EQ(MufSquaresAt(all, T0 + 60, MufWindowLongS), early);
}

TEST(MufLayer, ASpotAsOldAsTheWindowIsLeftOut) {
    MufLayer layer(MufWindowShortS);
    layer.AgeTo(T0 + MufWindowShortS);
    layer.Add(T0, {{{48.5, 9.0}, 50.1}});
    layer.Add(T0 + 1, {{{48.5, 9.0}, 50.2}});
    const std::vector<MufSquare> expected{{"JN48", 50.2, 1}};
    EXPECT_EQ(layer.Squares(), expected);
    EXPECT_EQ(layer.Size(), 1U);
}

TEST(MufLayer, ACountedSpotIsReflectedAtItsCentreAndADoubleHopAtBothHops) {
    SpotPipeline pipeline(
        SpotCalculator(calc::PlainNumberFormat(), HomeSettings{"IN70", 110, 0.15F}),
        TrackerSettings{}, false);
    std::vector<TrackerEvent> events;
    const LineResult single = pipeline.Feed(
        T0, "DX de EA4ABC:     50110.0  EA8XYZ       IN70<ES>IL28LT              1000Z", events);
    ASSERT_EQ(single.Class, EsClass::Counted);
    ASSERT_EQ(single.Reflections.size(), 1U);
    EXPECT_EQ(single.Reflections[0].At.LatDeg, single.Run.Figures.CentreLatDeg);
    EXPECT_EQ(single.Reflections[0].At.LonDeg, single.Run.Figures.CentreLonDeg);
    EXPECT_EQ(single.Reflections[0].PathMufMHz, single.Run.Figures.PathMufMHz);
    // IN70 to HK86 (the Cape Verde Islands), 3,100 km: reflected a quarter of the way in from
    // each end, off the coast of Morocco (34.77 N 10.34 W, IM44) and off the Western Sahara
    // (22.72 N 19.16 W, IL02), by the great-circle midpoints worked by hand.
    const LineResult twoHops = pipeline.Feed(
        T0 + 60, "DX de EA4ABC:     50110.0  D44TD        IN70<ES>HK86                1001Z",
        events);
    ASSERT_EQ(twoHops.Class, EsClass::MultiHop);
    ASSERT_EQ(twoHops.Reflections.size(), 2U);
    EXPECT_EQ(SquareOf(twoHops.Reflections[0].At), "IM44");
    EXPECT_EQ(SquareOf(twoHops.Reflections[1].At), "IL02");
    // Each with the MUF of its own hop, as the Calculate command gives it from its end to the
    // middle (IN70MM and HK86MM to IL28LT at 50.110 MHz), not the whole path's 50.76 MHz.
    EXPECT_EQ(twoHops.Reflections[0].PathMufMHz, 54.51);
    EXPECT_EQ(twoHops.Reflections[1].PathMufMHz, 54.56);
    // A spot of another mode, and one too short for Es, are reflected nowhere.
    EXPECT_TRUE(
        pipeline
            .Feed(T0 + 120,
                  "DX de EA4ABC:     50110.0  EA4XYZ       IN70<ES>IN71 tnx            1002Z",
                  events)
            .Reflections.empty());
    EXPECT_TRUE(
        pipeline
            .Feed(T0 + 130,
                  "DX de EA4ABC:     50313.0  EA8XYZ       IN70<TR>IL28LT FT8          1002Z",
                  events)
            .Reflections.empty());
}

} // namespace
} // namespace ionvane::tracker
