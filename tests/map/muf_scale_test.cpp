// The MUF layer's colour scale: each band's lower edge at its own mark's colour, the blend in
// between, and both ends clamped.
#include "map/muf_scale.h"

#include <gtest/gtest.h>

#include <limits>

namespace ionvane::map {
namespace {

TEST(MufScale, BandEdgesTakeTheirMarksAndTheEndsClamp) {
    struct Case {
        double MufMHz;
        MufColour Expected;
    };
    const Case cases[] = {
        {28, {40, 90, 230}},  {50, {0, 175, 80}},
        {70, {245, 200, 0}},  {144, {230, 40, 30}},
        {200, {190, 0, 200}}, {10, {40, 90, 230}},
        {450, {190, 0, 200}}, {std::numeric_limits<double>::quiet_NaN(), {40, 90, 230}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(MufScaleColour(c.MufMHz), c.Expected) << c.MufMHz;
    }
    // Half-way between 50 and 70 on the log axis, sqrt(50 * 70) = 59.16 MHz: the two colours
    // halved, (0 + 245) / 2 = 122.5, (175 + 200) / 2 = 187.5, (80 + 0) / 2 = 40, to within the
    // rounding of a half.
    const MufColour middle = MufScaleColour(59.160797830996);
    EXPECT_NEAR(middle.R, 122.5, 0.5);
    EXPECT_NEAR(middle.G, 187.5, 0.5);
    EXPECT_EQ(middle.B, 40);
}

TEST(MufScale, PositionIsLogarithmicFromTenToTwoMetres) {
    EXPECT_DOUBLE_EQ(MufScalePosition(28), 0);
    EXPECT_DOUBLE_EQ(MufScalePosition(200), 1);
    // ln(50 / 28) / ln(200 / 28) = 0.579818 / 1.966113.
    EXPECT_NEAR(MufScalePosition(50), 0.294906, 1e-6);
    EXPECT_EQ(MufScalePosition(20), 0);
    EXPECT_EQ(MufScalePosition(1000), 1);
}

} // namespace
} // namespace ionvane::map
