// The band verdicts from home on synthetic openings: each band from the clouds that carry it, its
// headline cloud, the hysteresis that holds it open, one alarm per opening at the right minute.
// The bands by the home's region are in region_scenario_test.cpp; the spots that must not open
// anything in es_or_not_scenario_test.cpp.
#include "tracker/home_view.h"
#include "tracker_scenario.h"

#include <cmath>
#include <deque>
#include <random>

namespace ionvane::tracker {
namespace {

using namespace scenario;

TEST(HomeView, HighestTrafficIsTheHighestAnySpotGives) {
    // The cloud's frequency of traffic is worked out from the spots of the highest path MUF only:
    // it must be, to the bit, the highest that working out every spot gives. Random clouds over
    // Europe seen from IO90IR, each with spots of random MUFs and frequencies, many of them on
    // the same MUF (the same path spotted on other frequencies).
    const HomeView home(calc::NumberFormat{}, HomeSettings{"IO90IR", 110.0F, 0.15F});
    std::mt19937 random(7);
    std::uniform_real_distribution<double> lat(38, 60), lon(-10, 30), muf(20, 200), freq(28, 148);
    for (int cloud = 0; cloud < 300; ++cloud) {
        const auto reflection = home.Through(lat(random), lon(random));
        ASSERT_TRUE(reflection);
        std::deque<RecentSpots::Spot> spots;
        const int count = 1 + cloud % 40;
        for (int i = 0; i < count; ++i) {
            const double pathMuf =
                i % 3 == 0 && !spots.empty() ? spots.back().PathMufMHz : muf(random);
            spots.push_back({0, 0, 0, 1, 10, freq(random), spot::Band::M6, pathMuf});
        }
        float everySpot = -1;
        for (const RecentSpots::Spot &spot : spots) {
            const float traffic = home.TrafficFreqMHz(*reflection, spot.PathMufMHz, spot.FreqMHz);
            if (std::isfinite(traffic) && traffic > everySpot) {
                everySpot = traffic;
            }
        }
        EXPECT_EQ(home.HighestTrafficFreqMHz(*reflection, spots), everySpot) << "cloud " << cloud;
    }
}

TEST(VerdictScenario, VerdictFromHomeNamesTheCloud) {
    // The worked example: IO90IR to JN77EX on 50.1 MHz seen from IO90IR itself gives a frequency
    // of traffic of 50.04 MHz towards JN77EX at 99.52 degrees, 7.89 degrees up, 1,172.77 km.
    Scenario s;
    s.Feed(synthetic::TimeText(T0) +
           "\tDX de G4ABC:     50100.0  S51ABC       IO90IR<ES>JN77EX 1000Z");
    const auto verdicts = s.All<VerdictEvent>();
    ASSERT_EQ(verdicts.size(), 1U);
    const VerdictEvent &v = verdicts[0];
    EXPECT_EQ(v.HomeLocator, "IO90IR");
    const BandVerdict &sixMetres = v.Bands[spot::BandIndex(spot::Band::M6)];
    EXPECT_TRUE(sixMetres.Possible());
    EXPECT_EQ(sixMetres.CloudId, 1);
    EXPECT_EQ(sixMetres.Home.TowardsLoc, "JN77EX");
    EXPECT_DOUBLE_EQ(sixMetres.Home.AzimuthDeg, 99.52);
    EXPECT_DOUBLE_EQ(sixMetres.Home.ElevationDeg, 7.89);
    EXPECT_DOUBLE_EQ(sixMetres.Home.DistanceKm, 1172.77);
    EXPECT_FLOAT_EQ(sixMetres.Home.TrafficFreqMHz, 50.04F);
    EXPECT_TRUE(v.Bands[spot::BandIndex(spot::Band::M10)].Possible());
    EXPECT_FALSE(v.Bands[spot::BandIndex(spot::Band::M4)].Possible());
    EXPECT_FALSE(v.Bands[spot::BandIndex(spot::Band::M2)].Possible());
    EXPECT_FALSE(v.Bands[spot::BandIndex(spot::Band::M2)].CloudId.has_value());
    // 50.04 MHz is not 4 m: no alarm at the default alarm band.
    EXPECT_TRUE(s.All<AlarmEvent>().empty());
}

TEST(VerdictScenario, FarCloudsGiveNoVerdict) {
    // A cloud over Japan: the home path from IO90IR is far beyond one hop.
    Scenario s;
    SpotsThrough(s, {36.0, 138.0}, T0);
    EXPECT_EQ(s.Current().size(), 1U);
    EXPECT_TRUE(s.All<VerdictEvent>().empty());
    EXPECT_FALSE(
        s.Pipeline.Clouds().CurrentVerdict().Bands[spot::BandIndex(spot::Band::M6)].Possible());
}

TEST(VerdictScenario, TwoMetreAlarmOnceAndAgainOnlyAfterTheRules) {
    struct Reopening {
        const char *Name;
        UnixSeconds LastSpotS; // spots every minute from the first alarm (T0) to here
        UnixSeconds ReopenS;   // the band closes 15 minutes after the last spot
        bool Alarm;
    };
    const Reopening cases[] = {
        {"closed 5 minutes, 22 after the alarm", 2 * Minute, 22 * Minute, false},
        {"closed 12:59, 29:59 after the alarm", 2 * Minute, 30 * Minute - 1, false},
        {"closed 13 minutes, 30 after the alarm", 2 * Minute, 30 * Minute, true},
        {"closed 9:59, 44:59 after the alarm", 20 * Minute, 45 * Minute - 1, false},
        {"closed 10 minutes, 45 after the alarm", 20 * Minute, 45 * Minute, true},
    };
    for (const auto &c : cases) {
        Scenario s;
        for (UnixSeconds t = 0; t <= c.LastSpotS; t += Minute) {
            s.Feed(TwoMetreSpot(T0 + t));
        }
        // 4 m opens with 2 m and alarms too, once.
        EXPECT_EQ(s.All<AlarmEvent>().size(), 2U) << c.Name;
        auto alarms = AlarmsOn(s, spot::Band::M2);
        ASSERT_EQ(alarms.size(), 1U) << c.Name;
        EXPECT_EQ(alarms[0].CloudId, 1);
        EXPECT_EQ(alarms[0].Time, T0);
        EXPECT_EQ(alarms[0].Text, "2 m OPEN (heard, 1 Es spot): beam 103, 1,403 km, towards "
                                  "JN86IK; model estimate MUF 159.5 MHz");
        s.Tick(T0 + c.LastSpotS + 15 * Minute);
        EXPECT_FALSE(
            s.Pipeline.Clouds().CurrentVerdict().Bands[spot::BandIndex(spot::Band::M2)].Possible());
        s.Feed(TwoMetreSpot(T0 + c.ReopenS));
        EXPECT_TRUE(
            s.Pipeline.Clouds().CurrentVerdict().Bands[spot::BandIndex(spot::Band::M2)].Possible());
        EXPECT_EQ(AlarmsOn(s, spot::Band::M2).size(), c.Alarm ? 2U : 1U) << c.Name;
    }
}

TEST(VerdictScenario, AlarmBandIsTheUsersChoice) {
    TrackerSettings settings;
    settings.AlarmFrom = spot::Band::M6;
    Scenario s("IO90IR", settings);
    s.Feed(synthetic::TimeText(T0) +
           "\tDX de G4ABC:     50100.0  S51ABC       IO90IR<ES>JN77EX 1000Z");
    const auto alarms = s.All<AlarmEvent>();
    ASSERT_EQ(alarms.size(), 1U);
    EXPECT_EQ(alarms[0].Which, spot::Band::M6);
}

TEST(VerdictScenario, ASecondSpotThatAgreesKeepsTheVerdict) {
    // Three 6 m spots through one cloud over Switzerland at different bearings and lengths within
    // a few per cent: the cloud's frequency of traffic from IO90IR is the highest its spots agree
    // on within 5%, so a spot that alone would give a little less never lowers it. One verdict,
    // 6 m possible at 52.24 MHz towards JN83BO from the first spot on.
    Scenario s;
    const Point centre{47.5, 8.0};
    const double lengths[] = {1400, 1450, 1420};
    for (int i = 0; i < 3; ++i) {
        s.Spot(T0 + i * Minute, PathThrough(centre, 20 + 50 * i, lengths[i]), 50313.0);
        const BandVerdict six = s.Verdict(spot::Band::M6);
        EXPECT_TRUE(six.Possible()) << i;
        EXPECT_EQ(six.Home.TowardsLoc, "JN83BO") << i;
        EXPECT_FLOAT_EQ(six.Home.TrafficFreqMHz, 52.24F) << i;
    }
    EXPECT_EQ(s.All<VerdictEvent>().size(), 1U);
}

TEST(VerdictScenario, PossibleMarginalOrClosedByTheEdge) {
    // 6 m from IO90IR through one cloud of three 6 m spots: at or above 50 MHz possible, within
    // 5% below (47.5 MHz) marginal, in amber in the window, lower closed. A marginal band names
    // its best cloud; a closed one none.
    struct Case {
        Point Cloud;
        VerdictState Six;
        float TrafficFreqMHz;
    };
    const Case cases[] = {{{47.5, 8.0}, VerdictState::Possible, 63.08F},
                          {{48.0, 4.0}, VerdictState::Marginal, 49.63F},
                          {{50.0, 1.0}, VerdictState::Closed, 0}};
    for (const Case &c : cases) {
        Scenario s;
        for (int i = 0; i < 3; ++i) {
            s.Spot(T0 + i * Minute, PathThrough(c.Cloud, 20 + 50 * i, 1000 + 20 * i), 50313.0);
        }
        const BandVerdict six = s.Verdict(spot::Band::M6);
        EXPECT_EQ(six.State, c.Six) << c.Cloud.LatDeg;
        EXPECT_EQ(six.CloudId.has_value(), c.Six != VerdictState::Closed) << c.Cloud.LatDeg;
        EXPECT_FLOAT_EQ(six.Home.TrafficFreqMHz, c.TrafficFreqMHz) << c.Cloud.LatDeg;
    }
}

TEST(VerdictScenario, TwoCloudsTradePlacesOnce) {
    // Two clouds that both carry 6 m from IO90IR: three spots over the Bay of Biscay (cloud 1,
    // 62.89 MHz), then one spot a minute over the Alps (cloud 2, 58.43 MHz). The clouds are ranked
    // by their 6 m spots, the higher frequency breaking the tie, but the headline stays on cloud 1
    // until cloud 2 carries 6 m clearly better (twice its spots, from its sixth spot at minute 8)
    // for a minute: cloud 2 from minute 9, once. 10 m has no spots on either: the higher
    // frequency heads it throughout. Both clouds are listed for both bands.
    Scenario s;
    const Point west{44.0, 0.0};
    const Point east{46.5, 11.0};
    for (int i = 0; i < 3; ++i) {
        s.Spot(T0 + i * Minute, PathThrough(west, 20 + 50 * i, 1000), 50313.0);
    }
    const int sixHeadline[] = {1, 1, 1, 1, 1, 1, 2};
    for (int i = 3; i < 10; ++i) {
        s.Spot(T0 + i * Minute, PathThrough(east, 20 + 50 * i, 1300), 50313.0);
        const BandVerdict six = s.Verdict(spot::Band::M6);
        EXPECT_EQ(six.CloudId, sixHeadline[i - 3]) << "minute " << i;
        ASSERT_EQ(six.Via.size(), 2U) << "minute " << i;
        EXPECT_EQ(six.Via[0].CloudId, sixHeadline[i - 3]) << "minute " << i;
        EXPECT_EQ(s.Verdict(spot::Band::M10).CloudId, 1) << "minute " << i;
        // Half a minute on, the headline has not moved: the challenger must last a minute.
        s.Tick(T0 + i * Minute + 30);
        EXPECT_EQ(s.Verdict(spot::Band::M6).CloudId, sixHeadline[i - 3]) << "minute " << i << ":30";
    }
    EXPECT_EQ(s.Verdict(spot::Band::M6).Home.TowardsLoc, "KN01PD");
    EXPECT_FLOAT_EQ(s.Verdict(spot::Band::M6).Via[1].Home.TrafficFreqMHz, 62.89F);
    int changes = 0;
    std::optional<int> last;
    for (const VerdictEvent &v : s.All<VerdictEvent>()) {
        const std::optional<int> now = v.Bands[spot::BandIndex(spot::Band::M6)].CloudId;
        changes += last && now != last ? 1 : 0;
        last = now;
    }
    EXPECT_EQ(changes, 1);
    // Without the spot of minute 9, the clock alone moves the headline when the minute is up.
    Scenario quiet;
    for (int i = 0; i < 9; ++i) {
        quiet.Spot(T0 + i * Minute,
                   PathThrough(i < 3 ? west : east, 20 + 50 * i, i < 3 ? 1000 : 1300), 50313.0);
    }
    quiet.Tick(T0 + 9 * Minute);
    EXPECT_EQ(quiet.Verdict(spot::Band::M6).CloudId, 2);
}

TEST(VerdictScenario, SixMetresNearAndTwoMetresFar) {
    // From IO90IR: four 6 m spots through a cloud over central France, two 6 m and two 2 m spots
    // through one over Bavaria. 6 m is headed by the near cloud (more 6 m spots), 2 m by the far
    // one, each with its own beam; 6 m lists both clouds, 2 m only the far one.
    Scenario s;
    const Point nearCloud{47.0, 1.0};
    const Point farCloud{49.5, 12.0};
    for (int i = 0; i < 4; ++i) {
        s.Spot(T0 + i * Minute, PathThrough(nearCloud, 20 + 40 * i, 900 + 20 * i), 50313.0);
    }
    s.Spot(T0 + 4 * Minute, PathThrough(farCloud, 30, 1300), 50313.0);
    s.Spot(T0 + 5 * Minute, PathThrough(farCloud, 70, 1300), 50313.0);
    s.Spot(T0 + 6 * Minute, PathThrough(farCloud, 110, 1400), 144174.0);
    s.Spot(T0 + 7 * Minute, PathThrough(farCloud, 150, 1500), 144300.0);
    const BandVerdict six = s.Verdict(spot::Band::M6);
    const BandVerdict two = s.Verdict(spot::Band::M2);
    EXPECT_TRUE(six.Possible());
    EXPECT_EQ(six.CloudId, 1);
    EXPECT_EQ(std::lround(six.Home.AzimuthDeg), 158);
    ASSERT_EQ(six.Via.size(), 2U);
    EXPECT_EQ(six.Via[1].CloudId, 2);
    EXPECT_TRUE(two.Possible());
    EXPECT_EQ(two.CloudId, 2);
    EXPECT_EQ(std::lround(two.Home.AzimuthDeg), 94);
    EXPECT_EQ(two.Via.size(), 1U);
    EXPECT_GE(two.Home.TrafficFreqMHz, 144.0F);
}

TEST(VerdictScenario, TwoMetreAlarmAtTheMinuteOfTheFirstConfirmedSpot) {
    // From Rome (JN61FW), a cloud off the Balearics carrying 6 m (about 55 MHz): 2 m spots Italy to
    // Spain at minutes 5, 8 and 13. The first 2 m spot alone cannot lift the cloud's figure above
    // what its 6 m spots support: 2 m opens with the second, independent 2 m spot at minute 8,
    // tagged or not. Untagged, each needs two 6 m spots under the cloud, so with a single 6 m spot
    // before minute 7 the first 2 m spot is listed unconfirmed and 2 m opens with the third. One 2
    // m alarm per opening either
    // way, and 2 m closes when the cloud fades 15 minutes after its last spot.
    struct Case {
        const char *Name;
        std::vector<int> SixMetreMinutes;
        const char *Tag;
        std::vector<EsClass> TwoMetreClasses;
        UnixSeconds AlarmMinute;
        const char *AlarmText;
    };
    const Case cases[] = {
        {"tagged Es",
         {0, 1, 2},
         "ES",
         {EsClass::Counted, EsClass::Counted, EsClass::Counted},
         8,
         "2 m OPEN (heard, 2 Es spots): beam 262, 1,613 km, towards IM78AH; model estimate MUF "
         "158.1 MHz"},
        {"untagged, 6 m under it",
         {0, 1, 2},
         "",
         {EsClass::Counted, EsClass::Counted, EsClass::Counted},
         8,
         "2 m OPEN (heard, 2 Es spots): beam 262, 1,613 km, towards IM78AH; model estimate MUF "
         "158.1 MHz"},
        {"untagged, 6 m comes later",
         {0, 7},
         "",
         {EsClass::Unconfirmed, EsClass::Counted, EsClass::Counted},
         13,
         "2 m OPEN (heard, 2 Es spots): beam 262, 1,613 km, towards IM78AH; model estimate MUF "
         "158.0 MHz"},
    };
    const Point cloud{40.5, 3.0};
    for (const Case &c : cases) {
        Scenario s("JN61FW");
        std::size_t next = 0;
        const int twoMetreMinutes[] = {5, 8, 13};
        for (int minute = 0; minute <= 13; ++minute) {
            for (const int six : c.SixMetreMinutes) {
                if (six == minute) {
                    s.Spot(T0 + minute * Minute, PathThrough(cloud, 20 + 50 * minute, 1300),
                           50313.0);
                }
            }
            if (next < 3 && twoMetreMinutes[next] == minute) {
                const LineResult r =
                    s.Feed(SpotLine(T0 + minute * Minute,
                                    PathThrough(cloud, 75 + 10 * minute, 1300), 144174.0, c.Tag));
                EXPECT_EQ(r.Class, c.TwoMetreClasses[next]) << c.Name << " minute " << minute;
                ++next;
            }
            s.Tick(T0 + minute * Minute + 30);
        }
        const auto alarms = AlarmsOn(s, spot::Band::M2);
        ASSERT_EQ(alarms.size(), 1U) << c.Name;
        EXPECT_EQ(alarms[0].Time, T0 + c.AlarmMinute * Minute) << c.Name;
        EXPECT_EQ(alarms[0].Text, c.AlarmText) << c.Name;
        s.Tick(T0 + 28 * Minute - 1);
        EXPECT_TRUE(s.Verdict(spot::Band::M2).Possible()) << c.Name;
        s.Tick(T0 + 28 * Minute);
        EXPECT_EQ(s.Verdict(spot::Band::M2).State, VerdictState::Closed) << c.Name;
        EXPECT_EQ(AlarmsOn(s, spot::Band::M2).size(), 1U) << c.Name;
    }
}

TEST(VerdictScenario, PossibleHoldsFiveMinutesAfterNoCloudCarriesIt) {
    // A cloud over Bavaria with a 6 m spot every minute and two agreeing 2 m spots at 1:10 and 1:20
    // (159.85 MHz from IO90IR). They leave the 15-minute stretch at 16:20, and the next look, at
    // minute 17,
    // finds no cloud carrying 2 m any more (the 6 m spots give 57.8 MHz): 2 m stays possible five
    // minutes more and closes at minute 22. Two 2 m spots at minute 18 in the second case carry it
    // again: no close, no second alarm.
    struct Case {
        const char *Name;
        bool SpotAgain;
        UnixSeconds ClosedAt; // 0: open to the end
    };
    const Case cases[] = {{"held, then closed", false, 22 * Minute},
                          {"carried again while held", true, 0}};
    const Point cloud{49.5, 12.0};
    for (const Case &c : cases) {
        Scenario s;
        std::optional<UnixSeconds> closedAt;
        for (int minute = 0; minute <= 30; ++minute) {
            const UnixSeconds t = T0 + minute * Minute;
            s.Spot(t, PathThrough(cloud, 30 + 37 * minute % 150, 1300), 50313.0);
            if (minute == 1 || (c.SpotAgain && minute == 18)) {
                s.Spot(t + 10, PathThrough(cloud, 70, 1400), 144174.0);
                s.Spot(t + 20, PathThrough(cloud, 110, 1400), 144300.0);
            }
            if (!closedAt && minute > 1 && !s.Verdict(spot::Band::M2).Possible()) {
                closedAt = t - T0;
            }
        }
        EXPECT_EQ(closedAt.value_or(0), c.ClosedAt) << c.Name;
        EXPECT_EQ(AlarmsOn(s, spot::Band::M2).size(), 1U) << c.Name;
    }
    // Held possible ends at once when its cloud fades.
    Scenario s;
    s.Spot(T0, PathThrough(cloud, 70, 1400), 144174.0);
    s.Tick(T0 + 15 * Minute);
    EXPECT_EQ(s.Verdict(spot::Band::M2).State, VerdictState::Closed);
}
} // namespace
} // namespace ionvane::tracker
