#include "calc/home_location.h"
#include "calc/inverse_trig.h"
#include "calc/locator.h"
#include "calc/midpoint.h"
#include "calc/path_centre.h"

#include <gtest/gtest.h>

#include <cmath>

namespace ionvane::calc {
namespace {

const double Pi = 4 * std::atan(1.0);

TEST(InverseTrig, EndsOfTheDomains) {
    EXPECT_EQ(ArcCos(1), 0.0);
    EXPECT_EQ(ArcCos(1.0000001), 0.0);
    EXPECT_DOUBLE_EQ(ArcCos(0), Pi / 2);
    EXPECT_EQ(ArcCos(-1), Pi);
    EXPECT_EQ(ArcCos(-1.0000001), Pi);
    EXPECT_EQ(ArcSin(1), Pi / 2);
    EXPECT_EQ(ArcSin(1.5), Pi / 2);
    EXPECT_EQ(ArcSin(-1), -Pi / 2);
    EXPECT_DOUBLE_EQ(ArcSin(0.5), Pi / 6);
    EXPECT_EQ(ArcTan2(0, 0, Pi), -Pi / 2);
    EXPECT_EQ(ArcTan2(1, 0, Pi), Pi / 2);
    EXPECT_DOUBLE_EQ(ArcTan2(0, -1, Pi), Pi);
    EXPECT_DOUBLE_EQ(ArcTan2(-0.5, -1, Pi), std::atan(0.5) - Pi);
}

// Runs the path calculation and both modes of the centre for a home, From and To locator.
CalcState CentreAndOnward(const char *home, const char *from, const char *to) {
    CalcState state;
    state.CalcPi = Pi;
    state.FromLoc = from;
    state.ToLoc = to;
    CheckLocators(state, EnglishNumberFormat());
    std::swap(state.Lon1, state.Lon2);
    std::swap(state.Lat1, state.Lat2);
    state.HomeLoc = home;
    PathCentre(state, 1);
    if (state.StatusCode == 0) {
        PathCentre(state, 2);
    }
    return state;
}

TEST(PathCentre, CentreAndTryTowardsPoint) {
    struct Case {
        const char *Home, *From, *To, *Centre, *Towards;
    };
    const Case cases[] = {
        {"IO90IR", "IO90IR", "JN77EX", "JN39JO", "JN77EX"},
        {"IO90IR", "JN77EX", "IO90IR", "JN39JO", "JN77EX"}, // either way round
        {"IO90IR", "IO91VL", "JN58TD", "JN29WX", "JN68JS"},
        // Past the antimeridian the point is named by its own longitude (176.97 W).
        {"RO77MM", "RO97AM", "AO07AM", "RO97MM", "AO17MJ"},
        // One subsquare: the common point is the centre.
        {"JG73XU", "PC23MM", "PC23MM", "PC23MM", "AI15QC"},
    };
    for (const auto &c : cases) {
        const CalcState state = CentreAndOnward(c.Home, c.From, c.To);
        EXPECT_EQ(state.StatusCode, 0);
        EXPECT_EQ(state.CentreLoc, c.Centre) << c.From << " " << c.To;
        EXPECT_EQ(state.TowardsLoc, c.Towards) << c.From << " " << c.To;
    }
}

TEST(PathCentre, MidpointFigures) {
    const CalcState state = CentreAndOnward("IO90IR", "IO90IR", "JN77EX");
    EXPECT_NEAR(state.MidLat, 49.6192, 1e-4);
    EXPECT_NEAR(state.MidLon, 6.7621, 1e-4);
    EXPECT_NEAR(state.TowardsLat, 47.979, 1e-3);
    EXPECT_NEAR(state.TowardsLon, 14.375, 1e-3);
    // Home at one end: the centre lies half the path's central angle away.
    EXPECT_NEAR(state.HomeArc * 2, 0.18407, 1e-5);
    const CalcState other = CentreAndOnward("IO90IR", "IO91VL", "JN58TD");
    EXPECT_NEAR(other.MidLat, 49.9631, 1e-4);
    EXPECT_NEAR(other.MidLon, 5.9129, 1e-4);
    EXPECT_NEAR(other.TowardsLat, 48.767, 1e-3);
    EXPECT_NEAR(other.TowardsLon, 12.830, 1e-3);
}

TEST(PathCentre, AntipodalEndsHaveNoCentre) {
    const CalcState state = CentreAndOnward("IO90IR", "FE16IR", "ON13IG");
    EXPECT_EQ(state.StatusCode, AntipodalStatus);
    EXPECT_TRUE(state.HomeBoxText.empty()); // home not looked at
}

TEST(PathCentre, CentreAtHomeGoesNowhere) {
    // Home in the same subsquare as both ends: the onward point is home itself.
    const CalcState state = CentreAndOnward("OR46UI", "OR46UI", "OR46UI");
    EXPECT_EQ(state.TowardsLoc, "OR46UI");
}

TEST(PathCentre, OtherModesChangeNothing) {
    CalcState state;
    state.CentreLoc = "JN39JO";
    PathCentre(state, 3);
    PathCentre(state, 0);
    EXPECT_EQ(state.CentreLoc, "JN39JO");
    EXPECT_EQ(state.StatusCode, 0);
}

TEST(CheckHomeLoc, CompletesChecksAndDecodes) {
    struct Case {
        const char *Typed, *Shown;
        int Status;
    };
    const Case cases[] = {
        {"", "IO90IR", 0},        {"JN77", "JN77IO", 0},     {"JN", "JNIO90", 33},
        {"J", "JIO90I", 33},      {"JN7", "JN7IO9", 34},     {"io90ir", "io90ir", 31},
        {"SO90IR", "SO90IR", 31}, {"IO90IRXY", "IO90IR", 0}, {"IO90IY", "IO90IY", 36},
        {"IO90I", "IO90II", 0},
    };
    for (const auto &c : cases) {
        CalcState state;
        state.HomeLoc = c.Typed;
        CheckHomeLoc(state);
        EXPECT_EQ(state.HomeBoxText, c.Shown) << c.Typed;
        EXPECT_EQ(state.StatusCode, c.Status) << c.Typed;
    }
}

TEST(CheckHomeLoc, PositionOfFourCharacterHome) {
    CalcState state;
    state.HomeLoc = "JN77";
    CheckHomeLoc(state);
    const NumberFormat format;
    EXPECT_NEAR(state.HomeLat.NumericValue(format), 47 + 14.0 / 24 + 1.0 / 48, 1e-12);
    EXPECT_NEAR(state.HomeLon.NumericValue(format), 14 + 8.0 / 12 + 1.0 / 24, 1e-12);
}

TEST(CheckHomeLoc, RejectedHomeKeepsThePreviousPosition) {
    CalcState state;
    state.HomeLoc = "IO90IR";
    CheckHomeLoc(state);
    state.HomeLoc = "IO90IY";
    CheckHomeLoc(state);
    EXPECT_NEAR(state.HomeLat.NumericValue(NumberFormat{}), 50 + 35.0 / 48, 1e-12);
}

} // namespace
} // namespace ionvane::calc
