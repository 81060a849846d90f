// The bands followed and the lowest band alarmed by the home's ITU region, and the user's own
// choice over them.
#include "tracker/region.h"
#include "tracker_scenario.h"

namespace ionvane::tracker {
namespace {

using namespace scenario;

TEST(RegionScenario, BandsAndAlarmBandByRegion) {
    // Region 1 follows 4 m and alarms from it; the Americas and Asia-Pacific have no 4 m and
    // alarm from 6 m. The user's own choice stands over the region's.
    constexpr spot::BandSet All = spot::BandBit(spot::Band::M10) | spot::BandBit(spot::Band::M6) |
                                  spot::BandBit(spot::Band::M4) | spot::BandBit(spot::Band::M2);
    constexpr spot::BandSet NoFour = spot::BandBit(spot::Band::M10) |
                                     spot::BandBit(spot::Band::M6) | spot::BandBit(spot::Band::M2);
    struct Case {
        const char *Home;
        spot::BandSet Shown;
        spot::Band AlarmFrom;
    };
    const Case cases[] = {{"IO90IR", All, spot::Band::M4},    {"JN61FW", All, spot::Band::M4},
                          {"FN31PR", NoFour, spot::Band::M6}, {"PM95VQ", NoFour, spot::Band::M6},
                          {"QF56OD", NoFour, spot::Band::M6}, {"KP20LE", All, spot::Band::M4}};
    for (const Case &c : cases) {
        Scenario s(c.Home);
        EXPECT_EQ(s.Pipeline.Clouds().ShownBands(), c.Shown) << c.Home;
        EXPECT_EQ(s.Pipeline.Clouds().AlarmFrom(), c.AlarmFrom) << c.Home;
    }
    TrackerSettings mine;
    mine.Shown = NoFour;
    mine.AlarmFrom = spot::Band::M2;
    Scenario s("IO90IR", mine);
    EXPECT_EQ(s.Pipeline.Clouds().ShownBands(), NoFour);
    EXPECT_EQ(s.Pipeline.Clouds().AlarmFrom(), spot::Band::M2);
    // A band not followed is never possible and never alarms: the 2 m spot opens 2 m only.
    s.Feed(TwoMetreSpot(T0));
    EXPECT_EQ(s.Verdict(spot::Band::M4).State, VerdictState::Closed);
    EXPECT_TRUE(s.Verdict(spot::Band::M2).Possible());
    ASSERT_EQ(s.All<AlarmEvent>().size(), 1U);
    EXPECT_EQ(s.All<AlarmEvent>()[0].Which, spot::Band::M2);
}

TEST(RegionScenario, ItuRegionOne) {
    struct Case {
        const char *Place;
        calc::Position Where;
        bool RegionOne;
    };
    const Case cases[] = {
        {"London", {51.5, -0.1}, true},          {"Reykjavik", {64.1, -21.9}, true},
        {"Canary Islands", {28.1, -15.4}, true}, {"Cape Town", {-33.9, 18.4}, true},
        {"Moscow", {55.8, 37.6}, true},          {"Baghdad", {33.3, 44.4}, true},
        {"Dubai", {25.2, 55.3}, true},           {"Almaty", {43.2, 76.9}, true},
        {"Ulaanbaatar", {47.9, 106.9}, true},    {"Vladivostok", {43.1, 131.9}, true},
        {"Tehran", {35.7, 51.4}, false},         {"New York", {40.7, -74.0}, false},
        {"Nuuk", {64.2, -51.7}, false},          {"Tokyo", {35.7, 139.7}, false},
        {"Beijing", {39.9, 116.4}, false},       {"Sydney", {-33.9, 151.2}, false},
        {"Delhi", {28.6, 77.2}, false},          {"Sapporo", {43.1, 141.4}, false},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(InItuRegion1(c.Where), c.RegionOne) << c.Place;
    }
}

} // namespace
} // namespace ionvane::tracker
