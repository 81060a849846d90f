#include "calc/locator.h"
#include "calc/path.h"

#include <gtest/gtest.h>

namespace ionvane::calc {
namespace {

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
        CalcState state;
        state.FromLoc = c.From;
        state.ToLoc = c.To;
        CheckLocators(state, EnglishNumberFormat());
        ASSERT_EQ(state.StatusCode, 0);
        EXPECT_EQ(state.DistanceText.DisplayText(EnglishNumberFormat()), c.Distance)
            << c.From << " " << c.To;
        EXPECT_EQ(state.BearingText.DisplayText(EnglishNumberFormat()), c.Bearing)
            << c.From << " " << c.To;
    }
}

TEST(CalcPath, LeavesToInPointOneAfterTwoDifferentSubsquares) {
    CalcState state;
    state.FromLoc = "IO90IR";
    state.ToLoc = "JN77EX";
    CheckLocators(state, EnglishNumberFormat());
    EXPECT_NEAR(state.Lon1, 14.375, 1e-12);
    EXPECT_NEAR(state.Lon2, -1.2916666666666667, 1e-12);
    EXPECT_EQ(state.WorkLoc1, "JN77EX");
}

TEST(CalcPath, DistanceTextIsReadBackRounded) {
    CalcState state;
    state.FromLoc = "IO90IR";
    state.ToLoc = "JN77EX";
    CheckLocators(state, EnglishNumberFormat());
    EXPECT_EQ(state.DistanceText.NumericValue(EnglishNumberFormat()), 1172.77);
}

TEST(CalcPath, ExactAntipodesGiveHalfTheCircumference) {
    // Rounding could push the cosine below -1 here, and the distance would be NaN.
    CalcState state;
    state.FromLoc = "FE16IR";
    state.ToLoc = "ON13IG";
    CheckLocators(state, EnglishNumberFormat());
    EXPECT_EQ(state.DistanceText.DisplayText(EnglishNumberFormat()), "20,016.00");
}

} // namespace
} // namespace ionvane::calc
