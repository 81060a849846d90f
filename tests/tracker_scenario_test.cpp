// The Es tracker on synthetic openings: clouds at known places, drifting and still clouds, two
// clouds, 2 m joining a 6 m cloud, spots that must place no cloud, ageing. The verdicts drawn from
// the clouds are in verdict_scenario_test.cpp.
#include "tracker_scenario.h"

namespace ionvane::tracker {
namespace {

using namespace scenario;

TEST(TrackerScenario, OneCloudAtEachKnownPlace) {
    struct Place {
        const char *Name;
        Point Centre;
        const char *Locator;
    };
    const Place places[] = {
        // Centres well inside their subsquares, so the locator is that of the designed centre.
        {"Gulf of Lion", {43.1, 4.1}, "JN23BC"},
        {"Balkans", {44.52, 20.54}, "KN04GM"},
        {"Bay of Biscay", {45.52, -4.46}, "IN75SM"},
        {"across the antimeridian", {52.02, 179.96}, "RO92XA"},
    };
    for (const auto &place : places) {
        Scenario s;
        SpotsThrough(s, place.Centre, T0);
        const auto clouds = s.Current();
        ASSERT_EQ(clouds.size(), 1U) << place.Name;
        const CloudSnapshot &c = clouds[0].Cloud;
        EXPECT_LT(DistanceKm(c.LatDeg, c.LonDeg, place.Centre), PositionToleranceKm) << place.Name;
        EXPECT_EQ(c.CentreLoc, place.Locator) << place.Name;
        EXPECT_EQ(c.Spots, 5) << place.Name;
        EXPECT_EQ(c.Bands, spot::BandBit(spot::Band::M6)) << place.Name;
        EXPECT_EQ(c.FirstSeen, T0) << place.Name;
        EXPECT_EQ(c.LastSeen, T0 + 4 * Minute) << place.Name;
        EXPECT_DOUBLE_EQ(c.HighestFreqMHz, 50.313) << place.Name;
        // Four minutes of spots: too short a span for a drift.
        EXPECT_FALSE(c.Movement.has_value()) << place.Name;
        // One "new", then an update for each further spot.
        const auto events = s.All<CloudEvent>();
        ASSERT_EQ(events.size(), 5U) << place.Name;
        EXPECT_EQ(events[0].State, CloudState::New);
        EXPECT_EQ(events[4].State, CloudState::Update);
    }
}

TEST(TrackerScenario, CriticalFrequencyIsWhatTwoReportsAgreeOn) {
    // The critical frequency grows with the frequency and shrinks with the path length: a 2,000 km
    // path on 50.313 MHz gives a lower one (9.34 MHz) than a 1,000 km path (12.67 MHz). Alone, the
    // short path sets it; with the long one beside it, the cloud claims only what the long one
    // supports within 5% (9.34 / 0.95 = 9.83).
    Scenario s;
    const Point centre{47.0, 10.0};
    s.Spot(T0, PathThrough(centre, 90, 1000), 50313.0);
    const double shortPath = s.Current()[0].Cloud.CriticalFreqMHz;
    s.Spot(T0 + Minute, PathThrough(centre, 0, 2000), 50313.0);
    EXPECT_NEAR(s.Current()[0].Cloud.CriticalFreqMHz, 9.83, 0.01);
    EXPECT_NEAR(shortPath, 12.67, 0.05);
    // Once the short path has left the 15-minute stretch, the long one sets it.
    s.Tick(T0 + 15 * Minute);
    EXPECT_LT(s.Current()[0].Cloud.CriticalFreqMHz, shortPath - 3);
}

struct DriftCase {
    const char *Name;
    double SpeedKmh;
    double TowardsDeg;
    double ExpectedSpeedKmh; // the cap applies above 500 km/h
};

TEST(TrackerScenario, DriftSpeedAndDirection) {
    const DriftCase cases[] = {
        {"slow to the north-east", 60, 45, 60},
        {"fast to the west", 150, 270, 150},
        {"south", 100, 180, 100},
        {"capped", 900, 120, 500},
    };
    for (const auto &c : cases) {
        Scenario s;
        const Point start{44.0, 8.0};
        // One spot a minute for 14 minutes, crossing the moving centre at changing bearings.
        for (int i = 0; i <= 14; ++i) {
            const Point centre = synthetic::Destination(start, c.TowardsDeg, c.SpeedKmh * i / 60.0);
            s.Spot(T0 + i * Minute, PathThrough(centre, i * 37 % 180, 1200 + i % 4 * 200), 50313.0);
        }
        const auto clouds = s.Current();
        ASSERT_EQ(clouds.size(), 1U) << c.Name;
        const auto &drift = clouds[0].Cloud.Movement;
        ASSERT_TRUE(drift.has_value()) << c.Name;
        EXPECT_NEAR(drift->SpeedKmh, c.ExpectedSpeedKmh, c.ExpectedSpeedKmh * 0.08) << c.Name;
        // Path ends sit at subsquare centres, so each centre is off by up to about 3 km: over the
        // 23 to 35 km a slow cloud moves in the window, that is a few degrees of direction.
        EXPECT_NEAR(drift->TowardsDeg, c.TowardsDeg, 8) << c.Name;
    }
}

TEST(TrackerScenario, DriftOnlyWhenReal) {
    // Spots evenly over the span, crossing the centre at changing bearings; the centre still or
    // moving east at 80 km/h. The path ends sit at subsquare centres, so a still cloud's centres
    // scatter by a few km: a fit over them finds some speed, which the rule must not report.
    struct Case {
        int Spots;
        UnixSeconds SpanS;
        double SpeedKmh;
        bool Drift;
    };
    const Case cases[] = {
        {4, 14 * Minute, 80, false},     // too few spots
        {5, 10 * Minute - 1, 80, false}, // too short a span
        {5, 10 * Minute, 80, true},      // the least that shows a drift
        {15, 14 * Minute, 80, true},     // a well-fitted drift
        {15, 14 * Minute, 0, false},     // still: the fitted speed is within its error
        {8, 12 * Minute, 0, false},      // still, fewer spots
    };
    for (const auto &c : cases) {
        Scenario s;
        const Point start{44.0, 8.0};
        for (int i = 0; i < c.Spots; ++i) {
            const UnixSeconds t = c.SpanS * i / (c.Spots - 1);
            const Point centre =
                synthetic::Destination(start, 90, c.SpeedKmh * static_cast<double>(t) / 3600.0);
            s.Spot(T0 + t, PathThrough(centre, i * 37 % 180, 1200 + i % 4 * 200), 50313.0);
        }
        EXPECT_EQ(s.Current()[0].Cloud.Movement.has_value(), c.Drift)
            << c.Spots << " spots over " << c.SpanS << " s at " << c.SpeedKmh << " km/h";
    }
}

TEST(TrackerScenario, TwoCloudsApart) {
    Scenario s;
    const Point west{42.0, 0.0};
    const Point east{45.0, 16.0};
    for (int i = 0; i < 6; ++i) {
        s.Spot(T0 + i * Minute, PathThrough(i % 2 == 0 ? west : east, 20 + 25 * i, 1400), 50313.0);
    }
    const auto clouds = s.Current();
    ASSERT_EQ(clouds.size(), 2U);
    EXPECT_LT(DistanceKm(clouds[0].Cloud.LatDeg, clouds[0].Cloud.LonDeg, west),
              PositionToleranceKm);
    EXPECT_LT(DistanceKm(clouds[1].Cloud.LatDeg, clouds[1].Cloud.LonDeg, east),
              PositionToleranceKm);
    EXPECT_EQ(clouds[0].Cloud.Spots, 3);
    EXPECT_EQ(clouds[1].Cloud.Spots, 3);
    EXPECT_NE(clouds[0].Cloud.Id, clouds[1].Cloud.Id);
}

TEST(TrackerScenario, JoinsWithin250KmOnly) {
    // A spot whose centre is 240 km from the cloud joins it; one 260 km away starts a new cloud.
    const Point centre{46.0, 12.0};
    for (const auto &[offsetKm, clouds] : {std::pair{240.0, 1U}, std::pair{260.0, 2U}}) {
        Scenario s;
        s.Spot(T0, PathThrough(centre, 0, 1500), 50313.0);
        const Point other = synthetic::Destination(centre, 90, offsetKm);
        s.Spot(T0 + Minute, PathThrough(other, 0, 1500), 50313.0);
        EXPECT_EQ(s.Current().size(), clouds) << offsetKm << " km";
    }
}

TEST(TrackerScenario, TwoMetresJoinsTheSixMetreCloud) {
    Scenario s;
    const Point centre{45.0, 10.0};
    SpotsThrough(s, centre, T0);
    const Point near = synthetic::Destination(centre, 200, 60);
    const LineResult r = s.Feed(SpotLine(T0 + 6 * Minute, PathThrough(near, 60, 1600), 144174.0));
    EXPECT_EQ(r.Class, EsClass::Counted);
    const auto clouds = s.Current();
    ASSERT_EQ(clouds.size(), 1U);
    EXPECT_EQ(clouds[0].Cloud.Bands, spot::BandBit(spot::Band::M6) | spot::BandBit(spot::Band::M2));
    EXPECT_DOUBLE_EQ(clouds[0].Cloud.HighestFreqMHz, 144.174);
    EXPECT_EQ(clouds[0].Cloud.Spots, 6);
}

TEST(TrackerScenario, SpotsThatPlaceNoCloud) {
    const Point centre{48.0, 5.0};
    struct Case {
        const char *Name;
        double FreqKHz;
        double LengthKm;
        const char *Tag;
        LineResult::Kind Kind;
        EsClass Class;
    };
    const Case cases[] = {
        {"2 m tropo at 600 km", 144300.0, 600, "", LineResult::Kind::Spot, EsClass::TooShort},
        {"2 m just short of 900 km", 144300.0, 880, "ES", LineResult::Kind::Spot,
         EsClass::TooShort},
        {"6 m at 300 km", 50150.0, 300, "", LineResult::Kind::Spot, EsClass::TooShort},
        {"10 m ground wave at 150 km", 28400.0, 150, "", LineResult::Kind::Spot, EsClass::TooShort},
        {"6 m double hop", 50313.0, 3200, "ES", LineResult::Kind::Spot, EsClass::MultiHop},
        {"2 m meteor scatter", 144360.0, 1300, "MS", LineResult::Kind::Skipped, EsClass::OtherBand},
        {"6 m tropo tagged", 50150.0, 700, "TR", LineResult::Kind::Skipped, EsClass::OtherBand},
        {"20 m", 14074.0, 1500, "", LineResult::Kind::Spot, EsClass::OtherBand},
        {"between 6 and 4 m", 60000.0, 1500, "", LineResult::Kind::Spot, EsClass::OtherBand},
    };
    for (const auto &c : cases) {
        Scenario s;
        const LineResult r =
            s.Feed(SpotLine(T0, PathThrough(centre, 80, c.LengthKm), c.FreqKHz, c.Tag));
        EXPECT_EQ(r.What, c.Kind) << c.Name;
        if (c.Kind == LineResult::Kind::Spot) {
            EXPECT_EQ(r.Class, c.Class) << c.Name;
        }
        EXPECT_FALSE(r.CloudId.has_value()) << c.Name;
        EXPECT_TRUE(s.Current().empty()) << c.Name;
        // A double hop is listed as evidence in a verdict of its own, and changes nothing else.
        const bool doubleHop = c.Class == EsClass::MultiHop;
        ASSERT_EQ(s.Events.size(), doubleHop ? 1U : 0U) << c.Name;
        if (doubleHop) {
            EXPECT_EQ(std::get<VerdictEvent>(s.Events[0]).DoubleHop.size(), 1U);
        }
    }
}

TEST(TrackerScenario, AnyModeCalculatesOtherModesWithoutPlacingClouds) {
    Scenario s("IO90IR", {}, true);
    const LineResult r = s.Feed(SpotLine(T0, PathThrough({48.0, 5.0}, 80, 1300), 144360.0, "MS"));
    EXPECT_EQ(r.What, LineResult::Kind::Spot);
    EXPECT_EQ(r.Class, EsClass::MeteorScatter);
    EXPECT_TRUE(s.Current().empty());
}

TEST(TrackerScenario, FadesAfter15MinutesAndGoesAfter60) {
    Scenario s;
    s.Spot(T0, PathThrough({45.0, 10.0}, 0, 1500), 50313.0);
    s.Events.clear();
    s.Tick(T0 + 15 * Minute - 1);
    EXPECT_TRUE(s.Events.empty());
    s.Tick(T0 + 15 * Minute);
    auto clouds = s.All<CloudEvent>();
    ASSERT_EQ(clouds.size(), 1U);
    EXPECT_EQ(clouds[0].State, CloudState::Fading);
    EXPECT_EQ(clouds[0].Time, T0 + 15 * Minute);
    // A fading cloud takes no spot: a spot at the same place starts a new cloud.
    s.Events.clear();
    s.Tick(T0 + 60 * Minute - 1);
    EXPECT_TRUE(s.All<CloudEvent>().empty());
    s.Tick(T0 + 60 * Minute);
    clouds = s.All<CloudEvent>();
    ASSERT_EQ(clouds.size(), 1U);
    EXPECT_EQ(clouds[0].State, CloudState::Gone);
    EXPECT_TRUE(s.Current().empty());
}

TEST(TrackerScenario, EveryLineMovesTheClock) {
    // A line that is no spot at all still ages the clouds.
    Scenario s;
    s.Spot(T0, PathThrough({45.0, 10.0}, 0, 1500), 50313.0);
    s.Feed(synthetic::TimeText(T0 + 20 * Minute) + "\tDK7UK de DB0XYZ 14-Jun-2026 1020Z >");
    ASSERT_EQ(s.Current().size(), 1U);
    EXPECT_EQ(s.Current()[0].State, CloudState::Fading);
}

TEST(TrackerScenario, AFadingCloudTakesNoSpot) {
    Scenario s;
    const Point centre{45.0, 10.0};
    s.Spot(T0, PathThrough(centre, 0, 1500), 50313.0);
    s.Spot(T0 + 16 * Minute, PathThrough(centre, 90, 1500), 50313.0);
    const auto clouds = s.Current();
    ASSERT_EQ(clouds.size(), 2U);
    EXPECT_EQ(clouds[0].State, CloudState::Fading);
    EXPECT_EQ(clouds[1].State, CloudState::New);
}

TEST(TrackerScenario, SwappingTheLocatorsChangesNothing) {
    Scenario forward;
    Scenario swapped;
    const Point start{44.0, 8.0};
    for (int i = 0; i <= 14; ++i) {
        const Point centre = synthetic::Destination(start, 60, 80 * i / 60.0);
        PathEnds path = PathThrough(centre, i * 37 % 180, 1200 + i % 4 * 200);
        forward.Spot(T0 + i * Minute, path, i == 7 ? 144174.0 : 50313.0);
        std::swap(path.FromLoc, path.ToLoc);
        swapped.Spot(T0 + i * Minute, path, i == 7 ? 144174.0 : 50313.0);
    }
    forward.Tick(T0 + 80 * Minute);
    swapped.Tick(T0 + 80 * Minute);
    const auto a = forward.All<CloudEvent>();
    const auto b = swapped.All<CloudEvent>();
    ASSERT_EQ(a.size(), b.size());
    ASSERT_GT(a.size(), 15U);
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].State, b[i].State);
        EXPECT_EQ(a[i].Cloud.LatDeg, b[i].Cloud.LatDeg);
        EXPECT_EQ(a[i].Cloud.LonDeg, b[i].Cloud.LonDeg);
        EXPECT_EQ(a[i].Cloud.CriticalFreqMHz, b[i].Cloud.CriticalFreqMHz);
        EXPECT_EQ(a[i].Cloud.Spots, b[i].Cloud.Spots);
        EXPECT_EQ(a[i].Cloud.Movement.has_value(), b[i].Cloud.Movement.has_value());
    }
    EXPECT_EQ(forward.All<VerdictEvent>().size(), swapped.All<VerdictEvent>().size());
}

TEST(TrackerScenario, ClockNeverRunsBackwards) {
    // A capture line a minute older than the one before is taken at the clock's time.
    Scenario s;
    s.Spot(T0 + 10 * Minute, PathThrough({45.0, 10.0}, 0, 1500), 50313.0);
    s.Spot(T0 + 9 * Minute, PathThrough({45.0, 10.0}, 90, 1500), 50313.0);
    EXPECT_EQ(s.Current()[0].Cloud.LastSeen, T0 + 10 * Minute);
    EXPECT_EQ(s.Pipeline.Clouds().Now(), T0 + 10 * Minute);
}

TEST(TrackerScenario, SameCaptureSameEvents) {
    Scenario a;
    Scenario b;
    for (Scenario *s : {&a, &b}) {
        SpotsThrough(*s, {45.0, 10.0}, T0);
        SpotsThrough(*s, {41.0, 2.0}, T0 + 3 * Minute, 70200.0);
        s->Tick(T0 + 2 * 60 * Minute);
    }
    ASSERT_EQ(a.Events.size(), b.Events.size());
    const auto ca = a.All<CloudEvent>();
    const auto cb = b.All<CloudEvent>();
    for (std::size_t i = 0; i < ca.size(); ++i) {
        EXPECT_EQ(ca[i].Cloud.LatDeg, cb[i].Cloud.LatDeg);
        EXPECT_EQ(ca[i].Time, cb[i].Time);
    }
}

// The tracker takes figures only: a calculator that leaves the screen texts out must give every
// event exactly as one that makes them. A short home locator ("JO65", completed by the run) and
// a spot whose calculation fails are among the lines.
TEST(TrackerScenario, ScreenTextsChangeNoEvent) {
    Scenario made("JO65");
    Scenario left("JO65", {}, false, SpotTexts::Left);
    for (Scenario *s : {&made, &left}) {
        SpotsThrough(*s, {45.0, 10.0}, T0);
        SpotsThrough(*s, {41.0, 2.0}, T0 + 3 * Minute, 70200.0);
        SpotsThrough(*s, {52.0, 14.0}, T0 + 6 * Minute, 144300.0);
        // Antipodal ends: the calculation stops at an error.
        s->Spot(T0 + 20 * Minute, PathEnds{"AA00AO", "JR09AJ"}, 50313.0);
        s->Tick(T0 + 2 * 60 * Minute);
    }
    ASSERT_EQ(made.Events.size(), left.Events.size());
    const auto cm = made.All<CloudEvent>();
    const auto cl = left.All<CloudEvent>();
    ASSERT_FALSE(cm.empty());
    for (std::size_t i = 0; i < cm.size(); ++i) {
        EXPECT_EQ(cm[i].Cloud.LatDeg, cl[i].Cloud.LatDeg);
        EXPECT_EQ(cm[i].Cloud.LonDeg, cl[i].Cloud.LonDeg);
        EXPECT_EQ(cm[i].Cloud.CentreLoc, cl[i].Cloud.CentreLoc);
        EXPECT_EQ(cm[i].Cloud.CriticalFreqMHz, cl[i].Cloud.CriticalFreqMHz);
        EXPECT_EQ(cm[i].State, cl[i].State);
    }
    const auto vm = made.All<VerdictEvent>();
    const auto vl = left.All<VerdictEvent>();
    ASSERT_EQ(vm.size(), vl.size());
    ASSERT_FALSE(vm.empty());
    int possible = 0;
    for (std::size_t i = 0; i < vm.size(); ++i) {
        EXPECT_EQ(vm[i].HomeLocator, vl[i].HomeLocator);
        EXPECT_EQ(vm[i].HomeLocator, "JO65IO");
        for (std::size_t b = 0; b < vm[i].Bands.size(); ++b) {
            const BandVerdict &m = vm[i].Bands[b];
            const BandVerdict &l = vl[i].Bands[b];
            possible += m.Possible() ? 1 : 0;
            EXPECT_EQ(m.State, l.State);
            EXPECT_EQ(m.CloudId, l.CloudId);
            EXPECT_EQ(m.Home.TowardsLoc, l.Home.TowardsLoc);
            EXPECT_EQ(m.Home.AzimuthDeg, l.Home.AzimuthDeg);
            EXPECT_EQ(m.Home.ElevationDeg, l.Home.ElevationDeg);
            EXPECT_EQ(m.Home.DistanceKm, l.Home.DistanceKm);
            EXPECT_EQ(m.Home.TrafficFreqMHz, l.Home.TrafficFreqMHz);
        }
    }
    EXPECT_GT(possible, 0);
}

} // namespace
} // namespace ionvane::tracker
