// The Es tracker on synthetic openings: clouds at known places, drifting clouds, two clouds, 2 m
// joining a 6 m cloud, spots that must place no cloud, ageing, verdicts and the 2 m alarm.
#include "synthetic/synthetic_capture.h"
#include "tracker/capture.h"
#include "tracker/spot_pipeline.h"

#include <gtest/gtest.h>

#include <cmath>

namespace ionvane::tracker {
namespace {

using synthetic::PathEnds;
using synthetic::PathThrough;
using synthetic::Point;
using synthetic::SpotLine;

// 2026-06-14T10:00:00Z
constexpr UnixSeconds T0 = 1781431200;
constexpr UnixSeconds Minute = 60;
// Tolerance of a cloud position against the centre the paths were laid through, km: each path end
// is moved to the centre of its subsquare (at most 2.5' of longitude and 1.25' of latitude).
constexpr double PositionToleranceKm = 6;

double DistanceKm(double lat1, double lon1, Point p) {
    constexpr double Rad = 3.14159265358979323846 / 180;
    const double a = std::pow(std::sin((p.LatDeg - lat1) * Rad / 2), 2) +
                     std::cos(lat1 * Rad) * std::cos(p.LatDeg * Rad) *
                         std::pow(std::sin((p.LonDeg - lon1) * Rad / 2), 2);
    return 2 * 6371.291 * std::asin(std::sqrt(a));
}

struct Scenario {
    explicit Scenario(std::string home = "IO90IR", TrackerSettings settings = {},
                      bool anyMode = false, SpotTexts texts = SpotTexts::Made)
        : Pipeline(SpotCalculator(calc::PlainNumberFormat(),
                                  HomeSettings{std::move(home), 110.0F, 0.15F}, texts),
                   settings, anyMode) {}

    LineResult Feed(const std::string &captureLine) {
        const auto line = ReadCaptureLine(captureLine);
        EXPECT_TRUE(line.has_value()) << captureLine;
        return line ? Pipeline.Feed(line->Time, line->Line, Events) : LineResult{};
    }
    void Spot(UnixSeconds t, const PathEnds &path, double freqKHz, std::string_view tag = "ES") {
        Feed(SpotLine(t, path, freqKHz, tag));
    }
    void Tick(UnixSeconds t) { Pipeline.Tick(t, Events); }

    template <class Event> std::vector<Event> All() const {
        std::vector<Event> found;
        for (const auto &event : Events) {
            if (const auto *e = std::get_if<Event>(&event)) {
                found.push_back(*e);
            }
        }
        return found;
    }
    std::vector<CloudEvent> Current() const { return Pipeline.Clouds().CurrentClouds(); }

    SpotPipeline Pipeline;
    std::vector<TrackerEvent> Events;
};

// Five 6 m spots over five minutes on paths of 1,000 to 1,800 km through `centre`, crossing it at
// different bearings.
void SpotsThrough(Scenario &s, Point centre, UnixSeconds start, double freqKHz = 50313.0) {
    const double bearings[] = {10, 50, 95, 130, 170};
    const double lengths[] = {1000, 1400, 1800, 1200, 1600};
    for (int i = 0; i < 5; ++i) {
        s.Spot(start + i * Minute, PathThrough(centre, bearings[i], lengths[i]), freqKHz);
    }
}

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
        EXPECT_EQ(c.Bands, BandBit(Band::M6)) << place.Name;
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

TEST(TrackerScenario, CriticalFrequencyIsTheHighestOfTheRecentSpots) {
    // The critical frequency grows with the frequency and shrinks with the path length: a 2,000 km
    // path on 50.313 MHz gives a lower one than a 1,000 km path.
    Scenario s;
    const Point centre{47.0, 10.0};
    s.Spot(T0, PathThrough(centre, 90, 1000), 50313.0);
    const double shortPath = s.Current()[0].Cloud.CriticalFreqMHz;
    s.Spot(T0 + Minute, PathThrough(centre, 0, 2000), 50313.0);
    EXPECT_DOUBLE_EQ(s.Current()[0].Cloud.CriticalFreqMHz, shortPath);
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

TEST(TrackerScenario, DriftNeedsThreeSpotsOverTenMinutes) {
    const Point centre{44.0, 8.0};
    struct Case {
        int Spots;
        UnixSeconds SpanS;
        bool Drift;
    };
    const Case cases[] = {{2, 12 * Minute, false},
                          {3, 10 * Minute - 1, false},
                          {3, 10 * Minute, true},
                          {4, 14 * Minute, true}};
    for (const auto &c : cases) {
        Scenario s;
        for (int i = 0; i < c.Spots; ++i) {
            const UnixSeconds t = T0 + c.SpanS * i / (c.Spots - 1);
            s.Spot(t, PathThrough(centre, 30 * i, 1500), 50313.0);
        }
        EXPECT_EQ(s.Current()[0].Cloud.Movement.has_value(), c.Drift)
            << c.Spots << " spots over " << c.SpanS << " s";
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
    EXPECT_EQ(clouds[0].Cloud.Bands, BandBit(Band::M6) | BandBit(Band::M2));
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
        EXPECT_TRUE(s.Events.empty()) << c.Name;
    }
}

TEST(TrackerScenario, AnyModeCalculatesOtherModesWithoutPlacingClouds) {
    Scenario s("IO90IR", {}, true);
    const LineResult r = s.Feed(SpotLine(T0, PathThrough({48.0, 5.0}, 80, 1300), 144360.0, "MS"));
    EXPECT_EQ(r.What, LineResult::Kind::Spot);
    EXPECT_EQ(r.Class, EsClass::OtherMode);
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

TEST(TrackerScenario, VerdictFromHomeNamesTheCloud) {
    // The worked example: IO90IR to JN77EX on 50.1 MHz seen from IO90IR itself gives a frequency
    // of traffic of 50.04 MHz towards JN77EX at 99.52 degrees, 7.89 degrees up, 1,172.77 km.
    Scenario s;
    s.Feed(synthetic::TimeText(T0) +
           "\tDX de G4ABC:     50100.0  S51ABC       IO90IR<ES>JN77EX 1000Z");
    const auto verdicts = s.All<VerdictEvent>();
    ASSERT_EQ(verdicts.size(), 1U);
    const VerdictEvent &v = verdicts[0];
    EXPECT_EQ(v.HomeLocator, "IO90IR");
    const BandVerdict &sixMetres = v.Bands[BandIndex(Band::M6)];
    EXPECT_TRUE(sixMetres.Possible);
    EXPECT_EQ(sixMetres.CloudId, 1);
    EXPECT_EQ(sixMetres.Home.TowardsLoc, "JN77EX");
    EXPECT_DOUBLE_EQ(sixMetres.Home.AzimuthDeg, 99.52);
    EXPECT_DOUBLE_EQ(sixMetres.Home.ElevationDeg, 7.89);
    EXPECT_DOUBLE_EQ(sixMetres.Home.DistanceKm, 1172.77);
    EXPECT_FLOAT_EQ(sixMetres.Home.TrafficFreqMHz, 50.04F);
    EXPECT_TRUE(v.Bands[BandIndex(Band::M10)].Possible);
    EXPECT_FALSE(v.Bands[BandIndex(Band::M4)].Possible);
    EXPECT_FALSE(v.Bands[BandIndex(Band::M2)].Possible);
    EXPECT_FALSE(v.Bands[BandIndex(Band::M2)].CloudId.has_value());
    // 50.04 MHz is not 4 m: no alarm at the default alarm band.
    EXPECT_TRUE(s.All<AlarmEvent>().empty());
}

TEST(TrackerScenario, FarCloudsGiveNoVerdict) {
    // A cloud over Japan: the home path from IO90IR is far beyond one hop.
    Scenario s;
    SpotsThrough(s, {36.0, 138.0}, T0);
    EXPECT_EQ(s.Current().size(), 1U);
    EXPECT_TRUE(s.All<VerdictEvent>().empty());
    EXPECT_FALSE(s.Pipeline.Clouds().CurrentVerdict().Bands[BandIndex(Band::M6)].Possible);
}

// A 2 m spot of 1,152.97 km through a cloud over southern Germany; from IO90IR, farther from the
// cloud, the frequency of traffic is 159.53 MHz: 2 m (and 4 m) possible from home.
// Each spot at its own minute: the same spot in the same minute is counted once.
std::string TwoMetreSpot(UnixSeconds t) {
    const std::string time = synthetic::TimeText(t);
    return time + "\tDX de G4ABC:    144174.0  S51ABC       JO01MM<ES>JN75EX " +
           time.substr(11, 2) + time.substr(14, 2) + "Z";
}

std::vector<AlarmEvent> TwoMetreAlarms(const Scenario &s) {
    std::vector<AlarmEvent> alarms = s.All<AlarmEvent>();
    std::erase_if(alarms, [](const AlarmEvent &a) { return a.Which != Band::M2; });
    return alarms;
}

TEST(TrackerScenario, TwoMetreAlarmOnceAndAgainOnlyAfterTheRules) {
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
        auto alarms = TwoMetreAlarms(s);
        ASSERT_EQ(alarms.size(), 1U) << c.Name;
        EXPECT_EQ(alarms[0].CloudId, 1);
        EXPECT_EQ(alarms[0].Time, T0);
        EXPECT_EQ(alarms[0].Text,
                  "2m Es possible from IO90IR: beam 103.38 deg, elevation 5.67 deg, "
                  "towards JN86IK (1403.19 km) on 159.53 MHz via cloud 1 over "
                  "JN48AW");
        s.Tick(T0 + c.LastSpotS + 15 * Minute);
        EXPECT_FALSE(s.Pipeline.Clouds().CurrentVerdict().Bands[BandIndex(Band::M2)].Possible);
        s.Feed(TwoMetreSpot(T0 + c.ReopenS));
        EXPECT_TRUE(s.Pipeline.Clouds().CurrentVerdict().Bands[BandIndex(Band::M2)].Possible);
        EXPECT_EQ(TwoMetreAlarms(s).size(), c.Alarm ? 2U : 1U) << c.Name;
    }
}

TEST(TrackerScenario, AlarmBandIsTheUsersChoice) {
    TrackerSettings settings;
    settings.AlarmFrom = Band::M6;
    Scenario s("IO90IR", settings);
    s.Feed(synthetic::TimeText(T0) +
           "\tDX de G4ABC:     50100.0  S51ABC       IO90IR<ES>JN77EX 1000Z");
    const auto alarms = s.All<AlarmEvent>();
    ASSERT_EQ(alarms.size(), 1U);
    EXPECT_EQ(alarms[0].Which, Band::M6);
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
            possible += m.Possible ? 1 : 0;
            EXPECT_EQ(m.Possible, l.Possible);
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
