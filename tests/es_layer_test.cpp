#include "propagation/es_layer.h"

#include <gtest/gtest.h>

#include <cmath>

namespace ionvane::propagation {
namespace {

const calc::NumberFormat English = calc::EnglishNumberFormat();
constexpr double EsKm = 110;
constexpr double HomeKm = static_cast<double>(0.15F);

std::string Two(double value) {
    return calc::FormatFixed(value, 2, English);
}

struct SpotCase {
    double DistanceKm;
    float FreqMHz;
    const char *Elevation, *Critical, *Muf;
};

TEST(EsLayer, SpottedPathFigures) {
    const SpotCase cases[] = {
        {1500, 50.0F, "4.88", "10.07", "55.65"},
        {1000, 50.0F, "10.03", "12.54", "69.29"},
        {1172.77, 50.1F, "7.88", "11.40", "62.96"},
    };
    for (const auto &c : cases) {
        const EsPath path{.DistanceKm = c.DistanceKm, .EsLayerHeightKm = EsKm};
        const auto shown = EsElevation(path, {.SubtractKm = HomeKm});
        EXPECT_EQ(Two(ElevationDeg(shown)), c.Elevation);
        const auto reflection = EsElevation(path, {.SubtractKm = SpotHeightKm});
        const double critical = CriticalFreq(reflection, static_cast<double>(c.FreqMHz));
        EXPECT_EQ(Two(critical), c.Critical);
        EXPECT_EQ(Two(MufExpression(critical, path)), c.Muf);
    }
}

TEST(EsLayer, HomePathAndTrafficFrequency) {
    struct Case {
        double SpotKm, HomeKmPath;
        float FreqMHz;
        const char *HomeElevation, *Traffic;
    };
    const Case cases[] = {
        {1500, 1800, 50.0F, "2.85", "53.05"},
        {1172.77, 1172.77, 50.1F, "7.89", "50.04"},
    };
    for (const auto &c : cases) {
        const double f = static_cast<double>(c.FreqMHz);
        const EsPath spotted{.DistanceKm = c.SpotKm, .EsLayerHeightKm = EsKm};
        const EsPath fromHome{.DistanceKm = c.HomeKmPath, .EsLayerHeightKm = EsKm};
        const double critical = CriticalFreq(EsElevation(spotted, {.SubtractKm = SpotHeightKm}), f);
        const double pathMuf = calc::RoundByFormat(MufExpression(critical, spotted), 2, English);
        const auto home = EsElevation(fromHome, {.SubtractKm = HomeKm, .AddBackKm = DxHeightKm});
        EXPECT_EQ(Two(ElevationDeg(home)), c.HomeElevation);
        const double homeMuf = MufExpression(CriticalFreq(home, f), fromHome);
        const float traffic =
            CapTrafficFreq(TrafficFreq(pathMuf, homeMuf, c.FreqMHz, English), pathMuf, English);
        EXPECT_EQ(Two(static_cast<double>(traffic)), c.Traffic);
    }
}

TEST(EsLayer, LongPathIsCappedForTheCriticalFrequencyOnly) {
    const auto reflection = EsElevation({SingleHopCapKm, EsKm}, {.SubtractKm = SpotHeightKm});
    EXPECT_NEAR(ElevationDeg(reflection), -0.23, 0.005);
    EXPECT_NEAR(ElevationDeg(EsElevation({2600, EsKm}, {.SubtractKm = HomeKm})), -1.07, 0.005);
}

TEST(EsLayer, CapNeedsADistanceStrictlyAboveOneHop) {
    EXPECT_EQ(CriticalFreqDistanceKm(2400.0), 2400.0);
    EXPECT_EQ(CriticalFreqDistanceKm(2399.99), 2399.99);
    EXPECT_EQ(CriticalFreqDistanceKm(2400.01), 2400.0);
    EXPECT_EQ(CriticalFreqDistanceKm(2600.0), 2400.0);
}

TEST(EsLayer, OneKilometrePathLooksStraightUp) {
    const auto angles = EsElevation({1, EsKm}, {.SubtractKm = SpotHeightKm});
    EXPECT_GT(ElevationDeg(angles), 89.0);
    EXPECT_NEAR(CriticalFreq(angles, 50), 50, 0.01);
}

TEST(EsLayer, TrafficNeverAboveTheSpottedMuf) {
    EXPECT_EQ(CapTrafficFreq(70.0F, 62.961, English), 62.96F);
    EXPECT_EQ(CapTrafficFreq(62.96F, 62.96, English), 62.96F);
    EXPECT_EQ(CapTrafficFreq(50.04F, 62.96, English), 50.04F);
}

TEST(EsLayer, HorizonAdviceThresholds) {
    struct Case {
        double DistanceKm, ElevationDeg;
        HorizonAdvice Expected;
    };
    const Case cases[] = {
        {3500.01, 5, HorizonAdvice::MultipleHops},  {3500, 5, HorizonAdvice::ChordalHop},
        {3000.01, 5, HorizonAdvice::ChordalHop},    {3000, -0.01, HorizonAdvice::TropoChordal},
        {3000, 0, HorizonAdvice::TrafficFrequency}, {1, 89.7, HorizonAdvice::TrafficFrequency},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(ChooseAdvice(c.DistanceKm, c.ElevationDeg), c.Expected) << c.DistanceKm;
    }
}

} // namespace
} // namespace ionvane::propagation
