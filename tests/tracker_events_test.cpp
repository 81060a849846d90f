// The tracker's events as JSON lines: member order, rounding, null drift, the bands followed, the
// clouds a band goes via and closed bands.
#include "cli/tracker_json.h"

#include <gtest/gtest.h>

namespace ionvane::cli {
namespace {

using namespace tracker;

TEST(TrackerEventJson, CloudWithDrift) {
    CloudSnapshot c;
    c.Id = 7;
    c.LatDeg = 49.619249999;
    c.LonDeg = -0.000012; // written 0, never -0
    c.CentreLoc = "IN99XO";
    c.Spots = 12;
    c.Bands = spot::BandBit(spot::Band::M2) | spot::BandBit(spot::Band::M6);
    c.CriticalFreqMHz = 33.12499;
    c.HighestFreqMHz = 144.174;
    c.FirstSeen = 1781431200;
    c.LastSeen = 1781431825;
    c.Movement = Drift{85.94, 359.96};
    c.In15Min = Nowcast{"JN39RG", 101.654};
    EXPECT_EQ(CloudEventJson({1781431830, CloudState::Update, c}),
              R"({"event":"cloud","time":"2026-06-14T10:10:30Z","id":7,"state":"update",)"
              R"("centre":"IN99XO","latDeg":49.6192,"lonDeg":0,"spots":12,"bands":["6m","2m"],)"
              R"("criticalFreqMHz":33.12,"highestFreqMHz":144.174,)"
              R"("firstSeen":"2026-06-14T10:00:00Z","lastSeen":"2026-06-14T10:10:25Z",)"
              R"("drift":{"speedKmh":85.9,"towardsDeg":0},)"
              R"("in15min":{"locator":"JN39RG","beamDeg":101.65}})");
    c.Movement.reset();
    c.In15Min.reset();
    const std::string gone = CloudEventJson({1781431830, CloudState::Gone, c});
    EXPECT_NE(gone.find(R"("state":"gone")"), std::string::npos);
    EXPECT_EQ(gone.substr(gone.size() - 28), R"("drift":null,"in15min":null})");
}

TEST(TrackerEventJson, VerdictAndAlarm) {
    VerdictEvent v;
    v.Time = 1781431200;
    v.HomeLocator = "IO90IR";
    for (const spot::Band band : spot::AllBands) {
        v.Bands[spot::BandIndex(band)].Which = band;
    }
    // Followed outside Region 1: 4 m is left out. 10 m through two clouds, 6 m marginal.
    v.Shown = spot::BandBit(spot::Band::M10) | spot::BandBit(spot::Band::M6) |
              spot::BandBit(spot::Band::M2);
    const CloudFromHome first{1, HomeFigures{"JN77EX", 99.52, 7.89, 1172.77, 50.04F}};
    const CloudFromHome second{2, HomeFigures{"IM98AB", 201.2, 3.1, 1800.0, 31.2F}};
    v.Bands[0].State = VerdictState::Possible;
    v.Bands[0].CloudId = 1;
    v.Bands[0].Home = first.Home;
    v.Bands[0].Via = {first, second};
    v.Bands[0].Via[0].Heard[spot::BandIndex(spot::Band::M10)] = 2;
    v.Bands[1].State = VerdictState::Marginal;
    v.Bands[1].CloudId = 1;
    v.Bands[1].Home = first.Home;
    v.Bands[1].Via = {first};
    EXPECT_EQ(VerdictEventJson(v),
              R"({"event":"verdict","time":"2026-06-14T10:00:00Z","home":"IO90IR","bands":[)"
              R"({"band":"10m","state":"possible","cloud":1,"tryTowards":"JN77EX",)"
              R"("azimuthDeg":99.52,"elevationDeg":7.89,"distanceKm":1172.77,)"
              R"("trafficFreqMHz":50.04,"heard":2,"grazing":false,"via":[)"
              R"({"cloud":1,"tryTowards":"JN77EX","azimuthDeg":99.52,"trafficFreqMHz":50.04},)"
              R"({"cloud":2,"tryTowards":"IM98AB","azimuthDeg":201.2,"trafficFreqMHz":31.2}]},)"
              R"({"band":"6m","state":"marginal","cloud":1,"tryTowards":"JN77EX",)"
              R"("azimuthDeg":99.52,"elevationDeg":7.89,"distanceKm":1172.77,)"
              R"("trafficFreqMHz":50.04,"heard":0,"grazing":false,"via":[)"
              R"({"cloud":1,"tryTowards":"JN77EX","azimuthDeg":99.52,"trafficFreqMHz":50.04}]},)"
              R"({"band":"2m","state":"closed","cloud":null,"tryTowards":null,"azimuthDeg":null,)"
              R"("elevationDeg":null,"distanceKm":null,"trafficFreqMHz":null,"heard":null,)"
              R"("grazing":null,"via":[]}]})");
    EXPECT_EQ(AlarmEventJson({1781431200, spot::Band::M2, 3, "say \"2m\"\n",
                              HomeFigures{"JN77EX", 99.52, 0.994, 2172.775, 144.2F}, 4}),
              R"({"event":"alarm","time":"2026-06-14T10:00:00Z","band":"2m","cloud":3,)"
              R"("heard":4,"distanceKm":2172.78,"elevationDeg":0.99,"grazing":true,)"
              R"("text":"say \"2m\"\n"})");
}

} // namespace
} // namespace ionvane::cli
