#include "calc/locator.h"
#include "calc/path.h"

#include <gtest/gtest.h>

namespace ionvane::calc {
namespace {

PathResult PathOf(const char *from, const char *to) {
    const LocatorCheck check = CheckLocators(from, to);
    EXPECT_EQ(check.StatusCode, 0) << from << " " << to;
    return CalcPath(DecodeLocator(std::string_view(check.FromLoc)),
                    DecodeLocator(std::string_view(check.ToLoc)), EnglishNumberFormat());
}

struct PathCase {
    const char *From;
    const char *To;
    const char *Distance;
    const char *Bearing;
};

// Distances and bearings as the window shows them, English format.
TEST(CalcPath, DistanceAndBearingTexts) {
    const PathCase cases[] = {
        {"IO90IR", "JN77EX", "1,172.77", "99.52"},
        {"JN77EX", "IO90IR", "1,172.77", "291.44"},
        {"IO90", "JN77", "1,210.80", "100.29"},
        {"IO90IR", "IO91IR", "111.20", "0.49"},      // due north
        {"IO90IR", "IO90IQ", "4.63", "180.49"},      // due south
        {"IO90IR", "IO90JR", "5.87", "90.46"},       // east
        {"IO90IR", "IO90HR", "5.87", "270.52"},      // west
        {"AA00AA", "RR99XX", "20,011.37", "360.45"}, // shown past 360
        {"IO90", "IO90MM", "1", "0"},                // one subsquare: the integers 1 and 0
    };
    for (const auto &c : cases) {
        const PathResult path = PathOf(c.From, c.To);
        EXPECT_EQ(path.DistanceText, c.Distance) << c.From << " " << c.To;
        EXPECT_EQ(path.BearingText, c.Bearing) << c.From << " " << c.To;
    }
}

TEST(CalcPath, FiguresAreTheValuesTheTextsSpell) {
    const PathResult path = PathOf("IO90IR", "JN77EX");
    EXPECT_EQ(path.DistanceKm, 1172.77);
    EXPECT_EQ(path.AzimuthDeg, 99.52);
    const PathResult same = PathOf("IO90", "IO90MM");
    EXPECT_EQ(same.DistanceKm, 1.0);
    EXPECT_EQ(same.AzimuthDeg, 0.0);
}

TEST(CalcDistBearing, EitherEndOfThePath) {
    const Position from = DecodeLocator(std::string_view("IO90IR"));
    const Position to = DecodeLocator(std::string_view("JN77EX"));
    const DistBearing atFrom = CalcDistBearing(from, to, PathEnd::From);
    const DistBearing atTo = CalcDistBearing(from, to, PathEnd::To);
    EXPECT_NEAR(atFrom.BearingDeg, 99.52, 0.005);
    EXPECT_NEAR(atTo.BearingDeg, 291.44, 0.005);
    EXPECT_NEAR(atFrom.DistanceKm, 1172.77, 0.005);
    EXPECT_NEAR(atTo.DistanceKm, atFrom.DistanceKm, 1e-9);
}

TEST(CalcPath, ExactAntipodesGiveHalfTheCircumference) {
    // The cosine of the central angle rounds to -1.0000000000000002 for AA00AO and JR09AJ; without
    // the clamp the distance would be NaN. (FE16IR and ON13IG, also antipodal, give
    // -0.99999999999999978 and never reach the clamp.)
    EXPECT_EQ(PathOf("AA00AO", "JR09AJ").DistanceText, "20,016.00");
    EXPECT_EQ(PathOf("FE16IR", "ON13IG").DistanceText, "20,016.00");
}

} // namespace
} // namespace ionvane::calc
