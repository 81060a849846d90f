#include "double_hop.h"

#include "calc/midpoint.h"
#include "spot/utc_time.h"

#include <array>
#include <cmath>

namespace ionvane::tracker {

namespace {

constexpr double RadPerDeg = calc::Pi / calc::HalfTurnDeg;

// A box of latitude and longitude, degrees, and the region it names. Looked at in this order, so
// the Caribbean comes before the North America around it.
struct RegionBox {
    double SouthDeg, NorthDeg, WestDeg, EastDeg;
    const char *Name;
};
constexpr std::array Regions = {
    RegionBox{9, 28, -88, -59, "the Caribbean"},
    RegionBox{14, 40, -32, -13, "the Atlantic islands"},
    RegionBox{15, 85, -170, -50, "North America"},
    RegionBox{-60, 15, -92, -30, "South America"},
    RegionBox{35, 72, -25, 45, "Europe"},
    RegionBox{15, 37, -20, 35, "North Africa"},
    RegionBox{12, 42, 35, 63, "the Middle East"},
    RegionBox{-35, 15, -20, 52, "Africa"},
    RegionBox{0, 80, 45, 180, "Asia"},
    RegionBox{-50, 0, 110, 180, "Oceania"},
};

std::string EvidenceText(const DoubleHopEvidence &e) {
    // "6m" as the user reads it: "6 m".
    const std::string_view name = spot::BandName(e.Which);
    const std::string band = std::string(name.substr(0, name.size() - 1)) + " m";
    // "19:53" out of "2026-06-14T19:53:00Z".
    const std::string clock = spot::UtcTimeText(e.Last).substr(11, 5);
    return band + " double hop to " + e.Region + ", " + std::to_string(e.Spots) +
           (e.Spots == 1 ? " spot" : " spots") + ", last " + clock;
}

} // namespace

calc::Position MiddleOf(const calc::Position &a, const calc::Position &b) {
    const calc::MidPoint mid = calc::GreatCircleMidPoint(
        a.LatDeg * RadPerDeg, a.LonDeg * RadPerDeg, b.LatDeg * RadPerDeg, b.LonDeg * RadPerDeg);
    return {mid.LatDeg, mid.LonDeg};
}

bool IsDoubleHop(std::optional<spot::Band> band, double distanceKm) {
    return band && (*band == spot::Band::M10 || *band == spot::Band::M6) &&
           distanceKm >= DoubleHopMinKm && distanceKm <= DoubleHopMaxKm;
}

std::pair<calc::Position, calc::Position> HopPoints(const calc::Position &from,
                                                    const calc::Position &to) {
    // The midpoints of the two halves are the quarter points of the whole great circle.
    const calc::Position middle = MiddleOf(from, to);
    return {MiddleOf(from, middle), MiddleOf(middle, to)};
}

std::string RegionName(const calc::Position &point) {
    for (const RegionBox &box : Regions) {
        if (point.LatDeg >= box.SouthDeg && point.LatDeg <= box.NorthDeg &&
            point.LonDeg >= box.WestDeg && point.LonDeg <= box.EastDeg) {
            return box.Name;
        }
    }
    return "far away";
}

double DistanceKm(const calc::Position &a, const calc::Position &b) {
    const double lat1 = a.LatDeg * RadPerDeg;
    const double lat2 = b.LatDeg * RadPerDeg;
    const double dLat = lat2 - lat1;
    const double dLon = (b.LonDeg - a.LonDeg) * RadPerDeg;
    // The haversine form: exact for short distances, where the cosine form loses digits.
    const double h = std::sin(dLat / 2) * std::sin(dLat / 2) +
                     std::cos(lat1) * std::cos(lat2) * std::sin(dLon / 2) * std::sin(dLon / 2);
    return 2 * calc::EarthRadiusKm * std::asin(std::sqrt(std::min(1.0, h)));
}

void DoubleHopWatch::Add(UnixSeconds time, spot::Band band, const calc::Position &nearEnd,
                         const calc::Position &farEnd) {
    const std::string region = RegionName(farEnd);
    DoubleHopEvidence &evidence = Heard[{band, region}];
    const auto [nearHop, farHop] = HopPoints(nearEnd, farEnd);
    evidence.Which = band;
    evidence.Region = region;
    ++evidence.Spots;
    if (time >= evidence.Last) {
        evidence.Last = time;
        evidence.NearHop = nearHop;
        evidence.FarHop = farHop;
    }
    evidence.Text = EvidenceText(evidence);
}

bool DoubleHopWatch::AgeTo(UnixSeconds now) {
    return std::erase_if(Heard, [&](const auto &entry) {
               return now - entry.second.Last >= DoubleHopKeptS;
           }) > 0;
}

std::vector<DoubleHopEvidence> DoubleHopWatch::Listing() const {
    std::vector<DoubleHopEvidence> listing;
    listing.reserve(Heard.size());
    for (const auto &[key, evidence] : Heard) {
        listing.push_back(evidence);
    }
    return listing;
}

} // namespace ionvane::tracker
