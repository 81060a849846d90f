// The rules that make the tracker's alarms trustworthy, one scenario table each: a cloud's figure
// from agreement, 2 m tropo told apart from Es, meteor scatter as hams send it, a steady headline,
// honest drift with its nowcast, and alarm words that say what was heard.
#include "tracker/agreement.h"
#include "tracker/verdict.h"
#include "tracker_scenario.h"

#include <algorithm>
#include <clocale>
#include <string>

namespace ionvane::tracker {
namespace {

using namespace scenario;

// 2026-08-12T22:00:00Z, the Perseids' peak night, and 2026-09-15, between showers.
constexpr UnixSeconds PerseidsNight = 1786572000;
constexpr UnixSeconds NoShower = 1789509600;

TEST(TrustScenario, ACoarseSquareClaimsLessOnAShortPath) {
    // A four-character end may lie half the square's diagonal (about 120 km at 50 deg) farther:
    // the claim shrinks by the secant ratio, more on a short path than on a long one.
    struct Case {
        double DistanceKm;
        int CoarseEnds;
        double LowShare, HighShare;
    };
    const Case cases[] = {
        {827, 0, 1, 1},        {827, 1, 0.88, 0.92},  {827, 2, 0.80, 0.85},
        {1800, 1, 0.93, 0.96}, {2300, 2, 0.90, 0.94},
    };
    for (const Case &c : cases) {
        const double share = ClaimShare(c.DistanceKm, c.CoarseEnds, 50);
        EXPECT_GE(share, c.LowShare) << c.DistanceKm << " km, " << c.CoarseEnds;
        EXPECT_LE(share, c.HighShare) << c.DistanceKm << " km, " << c.CoarseEnds;
    }
}

TEST(TrustScenario, OneOutlierAmongThousandsSetsNothing) {
    // A feed flood: 2,000 reports through one cloud over 1,300 to 1,700 km, and one 827 km report
    // to a four-character square, the highest critical frequency of all when taken at its word.
    // Without agreement it would set the cloud's figure; with it, the cloud keeps what the crowd
    // supports. Told the other way (a full locator, a second station agreeing), it counts.
    struct Case {
        const char *Name;
        bool Coarse;
        bool Seconded;
        bool Sets;
    };
    const Case cases[] = {
        {"alone, to a square", true, false, false},
        {"alone, full locator", false, false, false},
        {"seconded by an independent report", false, true, true},
    };
    const Point cloud{46.0, 5.0};
    for (const Case &c : cases) {
        Scenario s;
        for (int i = 0; i < 2000; ++i) {
            s.Report(T0 + i / 10, PathThrough(cloud, i * 7 % 180, 1300 + i % 5 * 100), 50.313);
        }
        const double crowd = s.Current()[0].Cloud.CriticalFreqMHz;
        PathEnds outlier = PathThrough(cloud, 45, 827);
        if (c.Coarse) {
            outlier.ToLoc.resize(4);
        }
        s.Report(T0 + 200, outlier, 50.313);
        if (c.Seconded) {
            s.Report(T0 + 201, PathThrough(cloud, 135, 830), 50.313);
        }
        const double after = s.Current()[0].Cloud.CriticalFreqMHz;
        EXPECT_EQ(after > crowd * 1.2, c.Sets) << c.Name << ": " << crowd << " -> " << after;
    }
}

TEST(TrustScenario, TwoMetreTropoUnderAndBesideASixMetreCloud) {
    // A 6 m cloud over the Alps; untagged 2 m feed reports. A 1,000 km duct through it implies
    // far more than its 6 m spots support, one 600 km away lies outside it, one far away has no
    // cloud at all: all listed unconfirmed with their reason, none reaching the cloud. A 2,000 km
    // 2 m path through it fits and counts. A 4 m duct under it is held to the cloud's 6 m spots
    // the same way.
    struct Case {
        const char *Name;
        Point Centre;
        double LengthKm;
        double FreqMHz;
        EsClass Class;
        const char *Reason;
    };
    const Point cloud{46.5, 9.0};
    const Case cases[] = {
        {"duct under the cloud", cloud, 1000, 144.174, EsClass::Unconfirmed,
         "2 m, not confirmed: looks like tropo (critical frequency"},
        {"4 m duct under the cloud", cloud, 1000, 70.154, EsClass::Unconfirmed,
         "4 m, not confirmed: critical frequency"},
        {"beside the cloud",
         {46.5, 11.9},
         1300,
         144.174,
         EsClass::Unconfirmed,
         "2 m, not confirmed: looks like tropo (its path centre"},
        {"far from any cloud",
         {53.0, 20.0},
         1100,
         144.174,
         EsClass::Unconfirmed,
         "2 m, unconfirmed (no 6 m or 4 m Es under it)"},
        {"Es through the cloud", cloud, 2000, 144.174, EsClass::Counted, ""},
    };
    for (const Case &c : cases) {
        Scenario s;
        for (int i = 0; i < 6; ++i) {
            s.Spot(T0 + i * Minute, PathThrough(cloud, 20 + 30 * i, 1800 + 40 * i), 50313.0);
        }
        const double before = s.Current()[0].Cloud.CriticalFreqMHz;
        const LineResult r =
            s.Report(T0 + 6 * Minute, PathThrough(c.Centre, 60, c.LengthKm), c.FreqMHz);
        EXPECT_EQ(r.Class, c.Class) << c.Name;
        EXPECT_EQ(r.Reason.rfind(c.Reason, 0), 0U) << c.Name << ": " << r.Reason;
        if (c.Class != EsClass::Counted) {
            EXPECT_EQ(s.Current()[0].Cloud.CriticalFreqMHz, before) << c.Name;
            EXPECT_FALSE(s.Verdict(spot::Band::M2).Possible()) << c.Name;
            EXPECT_FALSE(s.Verdict(spot::Band::M4).Possible()) << c.Name;
        }
    }
}

TEST(TrustScenario, MeteorScatterAsHamsSendIt) {
    // Untagged spots on 6 m and 2 m over 1,300 km: on a meteor-scatter frequency of the spotter's
    // region during a shower they are skipped as meteor scatter, named by the shower; on the same
    // frequency between showers, or on an Es frequency during one, they are spots. The
    // Quadrantids run over the new year.
    struct Case {
        UnixSeconds Time;
        double FreqKHz;
        Point Cloud;
        const char *Skipped; // empty: a spot
    };
    const Point europe{48.0, 12.0};
    const Point america{40.0, -90.0};
    const char *perseids = "Perseids: meteor scatter, not Es";
    constexpr UnixSeconds NewYear = 1767225600;          // 2026-01-01
    constexpr UnixSeconds AfterQuadrantids = 1768262400; // 2026-01-13
    const Case cases[] = {
        {PerseidsNight, 50280.0, europe, perseids},
        {PerseidsNight, 50230.0, europe, perseids},
        {PerseidsNight, 144365.0, europe, perseids},
        {PerseidsNight, 50313.0, europe, ""},
        {NoShower, 50280.0, europe, ""},
        {PerseidsNight, 50260.0, america, perseids},
        {PerseidsNight, 144150.0, america, perseids},
        {PerseidsNight, 144365.0, america, ""},
        {NewYear, 50280.0, europe, "Quadrantids: meteor scatter, not Es"},
        {AfterQuadrantids, 50280.0, europe, ""},
    };
    for (const Case &c : cases) {
        Scenario s;
        const LineResult r =
            s.Feed(SpotLine(c.Time, PathThrough(c.Cloud, 80, 1300), c.FreqKHz, ""));
        const bool skipped = *c.Skipped != '\0';
        EXPECT_EQ(r.What, skipped ? LineResult::Kind::Skipped : LineResult::Kind::Spot)
            << c.FreqKHz << " at " << c.Time;
        if (skipped) {
            EXPECT_EQ(r.Reason, c.Skipped) << c.FreqKHz << " at " << c.Time;
        }
    }
}

TEST(TrustScenario, TwoMetreTropoByItsSignature) {
    // A strong 6 m cloud over the Alps held for 45 minutes by 800-900 km spots; untagged 2 m
    // reports of 1,150 km through it every 10 minutes fit its geometry. Between the same two
    // squares for 40 minutes they are a duct, told per spot; for 20 minutes, or between other
    // squares each time, they count.
    struct Case {
        const char *Name;
        int Reports;
        bool SameSquares;
        const char *Reason; // of the last report; empty: it counts
    };
    const Case cases[] = {
        {"same squares for 40 min", 5, true,
         "2 m, not confirmed: looks like tropo (same path for 40 min)"},
        {"same squares for 20 min", 3, true, ""},
        {"other squares each time", 5, false, ""},
    };
    const Point cloud{46.5, 9.0};
    for (const Case &c : cases) {
        Scenario s;
        LineResult last;
        for (int minute = 0; minute <= 45; ++minute) {
            if (minute % 3 == 0) {
                s.Spot(T0 + minute * Minute, PathThrough(cloud, minute * 7 % 180, 800 + minute * 2),
                       50313.0);
            }
            const int report = (minute - 5) / 10;
            if (minute % 10 == 5 && report < c.Reports) {
                const double bearingDeg = c.SameSquares ? 60 : 60 + 25 * report;
                last =
                    s.Report(T0 + minute * Minute, PathThrough(cloud, bearingDeg, 1150), 144.174);
            }
        }
        EXPECT_EQ(last.Reason, c.Reason) << c.Name;
        EXPECT_EQ(last.Class, *c.Reason ? EsClass::Unconfirmed : EsClass::Counted) << c.Name;
    }
}

TEST(TrustScenario, ARunOfPingsFromOnePair) {
    // The same two calls spotted untagged again and again within minutes between showers: on a
    // meteor-scatter frequency the third spot of the run is meteor scatter; on an Es frequency,
    // or with long gaps, every spot counts.
    struct Case {
        double FreqKHz;
        int GapMinutes;
        bool Skipped;
    };
    const Case cases[] = {{50280.0, 2, true}, {50313.0, 2, false}, {50280.0, 9, false}};
    for (const Case &c : cases) {
        Scenario s;
        LineResult last;
        for (int i = 0; i < 3; ++i) {
            last = s.Feed(SpotLine(NoShower + i * c.GapMinutes * Minute,
                                   PathThrough({48.0, 12.0}, 80, 1300), c.FreqKHz, ""));
        }
        EXPECT_EQ(last.What, c.Skipped ? LineResult::Kind::Skipped : LineResult::Kind::Spot)
            << c.FreqKHz << ", " << c.GapMinutes;
        if (c.Skipped) {
            EXPECT_EQ(last.Reason, "a run of pings from one pair: meteor scatter, not Es");
        }
    }
}

TEST(TrustScenario, MeteorWordsInAnyCaseAndLocale) {
    // The words hams write for meteor scatter, in any case; under a Turkish locale too, where the
    // C library's toupper leaves 'i' as it is ("iscat" would pass for Es).
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "tr_TR.UTF-8") == nullptr) {
        GTEST_SKIP() << "no tr_TR.UTF-8 locale";
    }
    struct Case {
        const char *Comment;
        Propagation Kind;
    };
    const Case cases[] = {
        {"pings", Propagation::MeteorScatter},    {"BURNS", Propagation::MeteorScatter},
        {"m/s 26", Propagation::MeteorScatter},   {"ms144", Propagation::MeteorScatter},
        {"PSK2K", Propagation::MeteorScatter},    {"via MS", Propagation::MeteorScatter},
        {"perseids", Propagation::MeteorScatter}, {"es/ms", Propagation::MeteorScatter},
        {"iscat", Propagation::OtherMode},        {"tnx fb es", Propagation::Es},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(FindPropagation("", c.Comment, "").Kind, c.Kind) << c.Comment;
    }
    std::setlocale(LC_ALL, previous.c_str());
}

TEST(TrustScenario, APossibleBandStaysPossibleThroughADip) {
    // 6 m from IO90IR through a cloud over Switzerland: possible, then for a while only spots
    // that give a lower figure (the possible ones leave the stretch), then possible again. A dip
    // shorter than the hold shows no change at all; a longer one shows the band below possible.
    struct Case {
        const char *Name;
        int DipMinutes;
        bool ShownBelow;
    };
    const Case cases[] = {{"two-minute dip", 2, false}, {"seven-minute dip", 7, true}};
    for (const Case &c : cases) {
        Scenario s;
        const Point strong{47.5, 8.0}; // 63 MHz from home
        for (int i = 0; i < 3; ++i) {
            s.Spot(T0 + i * Minute, PathThrough(strong, 20 + 50 * i, 1000 + 20 * i), 50313.0);
        }
        ASSERT_TRUE(s.Verdict(spot::Band::M6).Possible()) << c.Name;
        // The possible spots leave at minute 15 to 17; spots 2,300 km long keep the cloud alive
        // meanwhile.
        for (int i = 3; i < 15; ++i) {
            s.Spot(T0 + i * Minute, PathThrough(strong, 10 + 13 * i, 2300), 50313.0);
        }
        bool below = false;
        const int back = 17 + c.DipMinutes;
        for (int minute = 15; minute <= back; ++minute) {
            s.Tick(T0 + minute * Minute);
            below = below || !s.Verdict(spot::Band::M6).Possible();
        }
        for (int i = 0; i < 3; ++i) {
            s.Spot(T0 + back * Minute + i, PathThrough(strong, 20 + 50 * i, 1000 + 20 * i),
                   50313.0 + i);
        }
        EXPECT_EQ(below, c.ShownBelow) << c.Name;
        EXPECT_TRUE(s.Verdict(spot::Band::M6).Possible()) << c.Name;
    }
}

TEST(TrustScenario, DriftAndNowcast) {
    // A cloud still and one moving east at 100 km/h, a spot a minute for 14 minutes: the still
    // one has no drift and no nowcast; the moving one drifts east, and in 15 minutes lies east of
    // where it is, the beam from IO90IR (north-west of it) towards it turned anticlockwise. A
    // still cloud whose path centres scatter 30 km north and south, and by chance lie 10 km west
    // in the first half and 10 km east in the second, fits 120 km/h east twice running, but at
    // only 1.5 standard errors: no drift either.
    struct Case {
        double SpeedKmh;
        double LeanKm, ScatterKm;
        bool Drifts;
    };
    for (const Case c : {Case{0, 0, 0, false}, Case{100, 0, 0, true}, Case{0, 10, 30, false}}) {
        Scenario s;
        const Point start{45.0, 5.0};
        for (int i = 0; i <= 14; ++i) {
            const double eastKm = c.SpeedKmh * i / 60.0 + (i < 7 ? -c.LeanKm : c.LeanKm);
            const Point centre = synthetic::Destination(synthetic::Destination(start, 90, eastKm),
                                                        0, i % 2 == 1 ? c.ScatterKm : -c.ScatterKm);
            s.Spot(T0 + i * Minute, PathThrough(centre, i * 37 % 180, 1200 + i % 4 * 200), 50313.0);
        }
        const CloudSnapshot cloud = s.Current()[0].Cloud;
        ASSERT_EQ(cloud.Movement.has_value(), c.Drifts) << c.SpeedKmh;
        ASSERT_EQ(cloud.In15Min.has_value(), c.Drifts) << c.SpeedKmh;
        if (c.Drifts) {
            EXPECT_NEAR(cloud.Movement->TowardsDeg, 90, 10);
            const double nowBeam = s.Verdict(spot::Band::M6).Home.AzimuthDeg;
            EXPECT_LT(cloud.In15Min->BeamDeg, nowBeam);
            EXPECT_GT(cloud.In15Min->Loc, cloud.CentreLoc); // farther east, a later field letter
        }
    }
}

TEST(TrustScenario, AlarmWordsSayWhatWasHeard) {
    // The alarm's words from a verdict: heard or predicted from the band the agreed figure came
    // from, beam, distance with thousands grouped, towards, the model's figure as an estimate,
    // and a grazing path noted.
    struct Case {
        spot::Band Which;
        int Heard;
        spot::Band From;
        double ElevationDeg;
        const char *Text;
    };
    const Case cases[] = {
        {spot::Band::M4, 0, spot::Band::M2, 3.2,
         "4 m OPEN (predicted from 2 m, none heard yet): beam 257, 1,380 km, towards IM77WC; "
         "model estimate MUF 140.5 MHz"},
        {spot::Band::M6, 1, spot::Band::M6, 3.2,
         "6 m OPEN (heard, 1 Es spot): beam 257, 1,380 km, towards IM77WC; model estimate MUF "
         "140.5 MHz"},
        {spot::Band::M2, 12, spot::Band::M2, 0.4,
         "2 m OPEN (heard, 12 Es spots): beam 257, 1,380 km, towards IM77WC; model estimate MUF "
         "140.5 MHz; grazing path, 0.4 deg elevation"},
    };
    for (const Case &c : cases) {
        BandVerdict verdict;
        verdict.Which = c.Which;
        verdict.State = VerdictState::Possible;
        verdict.CloudId = 3;
        verdict.Home = HomeFigures{"IM77WC", 256.7, c.ElevationDeg, 1380.4, 140.5F};
        CloudFromHome via{3, verdict.Home, {}, c.From};
        via.Heard[spot::BandIndex(c.Which)] = c.Heard;
        verdict.Via.push_back(via);
        EXPECT_EQ(AlarmText(verdict), c.Text);
    }
}

TEST(TrustScenario, OnePatchOneCloud) {
    // Two clouds about 310 km apart, then spots between them that join the eastern one and pull
    // it west: once the two lie within 250 km they are one cloud, the older id kept, the other
    // gone, every spot counted once. Spots that keep them apart leave two.
    struct Case {
        const char *Name;
        double BetweenLonDeg;
        std::size_t Clouds;
    };
    const Case cases[] = {{"pulled together", 2.2, 1}, {"kept apart", 5.0, 2}};
    for (const Case &c : cases) {
        Scenario s;
        SpotsThrough(s, {46.0, 0.0}, T0);
        SpotsThrough(s, {46.0, 4.0}, T0 + 5 * Minute);
        ASSERT_EQ(s.Current().size(), 2U) << c.Name;
        SpotsThrough(s, {46.0, c.BetweenLonDeg}, T0 + 10 * Minute);
        const auto clouds = s.Current();
        ASSERT_EQ(clouds.size(), c.Clouds) << c.Name;
        EXPECT_EQ(clouds[0].Cloud.Id, 1) << c.Name;
        if (c.Clouds == 1) {
            EXPECT_EQ(clouds[0].Cloud.Spots, 15) << c.Name;
            EXPECT_EQ(clouds[0].Cloud.FirstSeen, T0) << c.Name;
            const auto events = s.All<CloudEvent>();
            EXPECT_EQ(std::count_if(events.begin(), events.end(),
                                    [](const CloudEvent &e) {
                                        return e.State == CloudState::Gone && e.Cloud.Id == 2;
                                    }),
                      1)
                << c.Name;
        }
    }
}

} // namespace
} // namespace ionvane::tracker
