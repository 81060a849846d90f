#include "calc/home_location.h"
#include "calc/inverse_trig.h"
#include "calc/locator.h"
#include "calc/midpoint.h"
#include "calc/path_centre.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace ionvane::calc {
namespace {

TEST(InverseTrig, PiIsFourArcTangentsOfOne) {
    EXPECT_EQ(Pi, 4 * std::atan(1.0));
    EXPECT_EQ(Pi / 2, 2 * std::atan(1.0));
}

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
    EXPECT_EQ(ArcTan2(0, 0), -Pi / 2);
    EXPECT_EQ(ArcTan2(1, 0), Pi / 2);
    EXPECT_DOUBLE_EQ(ArcTan2(0, -1), Pi);
    EXPECT_DOUBLE_EQ(ArcTan2(-0.5, -1), std::atan(0.5) - Pi);
}

// The centre of the path between two locators and the onward point from home.
struct CentreRun {
    std::optional<MidPoint> Centre;
    HomeCheck Home;
    OnwardPointResult Onward;
};

CentreRun CentreAndOnward(const char *home, const char *from, const char *to) {
    const LocatorCheck check = CheckLocators(from, to);
    EXPECT_EQ(check.StatusCode, 0);
    CentreRun run;
    run.Centre = PathCentre(DecodeLocator(std::string_view(check.FromLoc)),
                            DecodeLocator(std::string_view(check.ToLoc)));
    if (run.Centre) {
        run.Home = CheckHomeLoc(home);
        EXPECT_EQ(run.Home.StatusCode, 0);
        run.Onward = OnwardPoint(run.Home.Home, *run.Centre);
    }
    return run;
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
        const CentreRun run = CentreAndOnward(c.Home, c.From, c.To);
        ASSERT_TRUE(run.Centre.has_value());
        EXPECT_EQ(run.Centre->Loc, c.Centre) << c.From << " " << c.To;
        EXPECT_EQ(run.Onward.TowardsLoc, c.Towards) << c.From << " " << c.To;
    }
}

TEST(PathCentre, CentreAcrossTheAntimeridianFromHome) {
    // Home and centre on either side of 180 degrees: the longitude difference is brought back into
    // -pi..pi, so the point lies beyond the centre and not back across the whole globe.
    struct Case {
        const char *Home, *From, *To, *Centre, *Towards;
    };
    const Case cases[] = {
        {"RO77MM", "AO07AM", "AO27AM", "AO17AM", "AO47LE"}, // centre east of home, across 180
        {"AO27AM", "RO97AM", "RO77AM", "RO87AM", "RO47BB"}, // centre west of home, across 180
    };
    for (const auto &c : cases) {
        const CentreRun run = CentreAndOnward(c.Home, c.From, c.To);
        ASSERT_TRUE(run.Centre.has_value());
        EXPECT_EQ(run.Centre->Loc, c.Centre) << c.Home;
        EXPECT_EQ(run.Onward.TowardsLoc, c.Towards) << c.Home;
    }
}

TEST(PathCentre, MidpointFigures) {
    const CentreRun run = CentreAndOnward("IO90IR", "IO90IR", "JN77EX");
    EXPECT_NEAR(run.Centre->LatDeg, 49.6192, 1e-4);
    EXPECT_NEAR(run.Centre->LonDeg, 6.7621, 1e-4);
    EXPECT_NEAR(run.Centre->ArcRad, 0.18407, 1e-5);
    EXPECT_NEAR(run.Onward.Towards.LatDeg, 47.979, 1e-3);
    EXPECT_NEAR(run.Onward.Towards.LonDeg, 14.375, 1e-3);
    // Home at one end: the centre lies half the path's central angle away.
    EXPECT_NEAR(run.Onward.HomeArcRad * 2, 0.18407, 1e-5);
    const CentreRun other = CentreAndOnward("IO90IR", "IO91VL", "JN58TD");
    EXPECT_NEAR(other.Centre->LatDeg, 49.9631, 1e-4);
    EXPECT_NEAR(other.Centre->LonDeg, 5.9129, 1e-4);
    EXPECT_NEAR(other.Onward.Towards.LatDeg, 48.767, 1e-3);
    EXPECT_NEAR(other.Onward.Towards.LonDeg, 12.830, 1e-3);
}

TEST(PathCentre, AntipodalEndsHaveNoCentre) {
    EXPECT_FALSE(CentreAndOnward("IO90IR", "FE16IR", "ON13IG").Centre.has_value());
    EXPECT_FALSE(CentreAndOnward("IO90IR", "AA00AO", "JR09AJ").Centre.has_value());
    // One subsquare short of the antipode there is a centre.
    EXPECT_TRUE(CentreAndOnward("IO90IR", "AA00AO", "JR09AK").Centre.has_value());
}

TEST(GreatCircleMidPoint, ExactAntipodesStayFinite) {
    // The haversine term rounds to 1 + 2e-16 here; the central angle comes out as pi and nothing
    // turns into NaN, although the midpoint itself means nothing.
    const Position a = DecodeLocator(std::string_view("AA00AO"));
    const Position b = DecodeLocator(std::string_view("JR09AJ"));
    const MidPoint mid = GreatCircleMidPoint(a.LatDeg * Pi / 180, a.LonDeg * Pi / 180,
                                             b.LatDeg * Pi / 180, b.LonDeg * Pi / 180);
    EXPECT_EQ(mid.ArcRad, Pi);
    EXPECT_TRUE(std::isfinite(mid.LatDeg) && std::isfinite(mid.LonDeg));
}

TEST(PathCentre, CentreAtHomeGoesNowhere) {
    // Home in the same subsquare as both ends: the onward point is home itself.
    const CentreRun run = CentreAndOnward("OR46UI", "OR46UI", "OR46UI");
    EXPECT_EQ(run.Onward.TowardsLoc, "OR46UI");
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
        const HomeCheck check = CheckHomeLoc(c.Typed);
        EXPECT_EQ(check.CompletedLoc, c.Shown) << c.Typed;
        EXPECT_EQ(check.StatusCode, c.Status) << c.Typed;
    }
}

TEST(CheckHomeLoc, PositionOfFourCharacterHome) {
    const HomeCheck check = CheckHomeLoc("JN77");
    EXPECT_NEAR(check.Home.LatDeg, 47 + 14.0 / 24 + 1.0 / 48, 1e-12);
    EXPECT_NEAR(check.Home.LonDeg, 14 + 8.0 / 12 + 1.0 / 24, 1e-12);
}

} // namespace
} // namespace ionvane::calc
