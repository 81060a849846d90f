#include "region.h"

#include <array>
#include <cmath>
#include <numbers>

namespace ionvane::tracker {

namespace {

constexpr double RadPerDeg = std::numbers::pi / calc::HalfTurnDeg;
// Halvings of the search along a boundary arc: 2^-40 of an arc of a few thousand km is far below
// a metre.
constexpr int ArcSearchSteps = 40;

struct Corner {
    double LatDeg;
    double LonDeg;
};

// The longitude at which the great-circle arc from `a` to `b` (latitude falling all along it)
// crosses `latDeg`, found by halving the arc.
double ArcLonAt(Corner a, Corner b, double latDeg) {
    const auto unit = [](Corner c) {
        const double lat = c.LatDeg * RadPerDeg;
        const double lon = c.LonDeg * RadPerDeg;
        return std::array<double, 3>{std::cos(lat) * std::cos(lon), std::cos(lat) * std::sin(lon),
                                     std::sin(lat)};
    };
    const auto ua = unit(a);
    const auto ub = unit(b);
    const double omega = std::acos(ua[0] * ub[0] + ua[1] * ub[1] + ua[2] * ub[2]);
    const auto at = [&](double f) {
        const double wa = std::sin((1 - f) * omega) / std::sin(omega);
        const double wb = std::sin(f * omega) / std::sin(omega);
        std::array<double, 3> p{};
        for (std::size_t i = 0; i < 3; ++i) {
            p[i] = wa * ua[i] + wb * ub[i];
        }
        return p;
    };
    double low = 0;
    double high = 1;
    for (int i = 0; i < ArcSearchSteps; ++i) {
        const double mid = (low + high) / 2;
        const auto p = at(mid);
        if (std::asin(p[2]) / RadPerDeg > latDeg) {
            low = mid;
        } else {
            high = mid;
        }
    }
    const auto p = at(low);
    return std::atan2(p[1], p[0]) / RadPerDeg;
}

// Line B of the Radio Regulations (No. 5.8): meridian 10 W down to 72 N, great-circle arcs to
// 40 N 50 W and on to 10 S 20 W, then meridian 20 W.
double LineBLonAt(double latDeg) {
    constexpr Corner North{72, -10};
    constexpr Corner Middle{40, -50};
    constexpr Corner South{-10, -20};
    if (latDeg >= North.LatDeg) {
        return North.LonDeg;
    }
    if (latDeg >= Middle.LatDeg) {
        return ArcLonAt(North, Middle, latDeg);
    }
    if (latDeg >= South.LatDeg) {
        return ArcLonAt(Middle, South, latDeg);
    }
    return South.LonDeg;
}

// Line A (No. 5.7): meridian 40 E down to 40 N, a great-circle arc to the Tropic of Cancer
// (23.44 N) at 60 E, then meridian 60 E.
double LineALonAt(double latDeg) {
    constexpr Corner North{40, 40};
    constexpr Corner South{23.44, 60};
    if (latDeg >= North.LatDeg) {
        return North.LonDeg;
    }
    if (latDeg >= South.LatDeg) {
        return ArcLonAt(North, South, latDeg);
    }
    return South.LonDeg;
}

// Russia, the Caucasus, Turkey's east, Central Asia and Mongolia, east of line A, drawn as
// latitude bands: north of Iran and Afghanistan (37.5 N) up to Kyrgyzstan (80 E), north of
// Xinjiang (45 N) to the Altai (87 E), Mongolia north of 43 N, Siberia north of the Amur (50 N),
// Primorye and Sakhalin, and Chukotka east of the antimeridian.
bool InNorthAsia(double latDeg, double lonDeg) {
    if (lonDeg <= 87) {
        return latDeg >= (lonDeg > 80 ? 45 : 37.5);
    }
    if (lonDeg <= 120) {
        return latDeg >= 43;
    }
    if (lonDeg >= 130.5 && lonDeg <= 139 && latDeg >= 42.5) {
        return true;
    }
    if (lonDeg >= 141.5 && lonDeg <= 145 && latDeg >= 46) {
        return true;
    }
    return latDeg >= 50;
}

} // namespace

bool InItuRegion1(const calc::Position &point) {
    const double lat = point.LatDeg;
    const double lon = point.LonDeg;
    if (lon >= LineBLonAt(lat) && lon <= LineALonAt(lat)) {
        return true;
    }
    if (lon > LineALonAt(lat)) {
        return InNorthAsia(lat, lon);
    }
    // Chukotka's eastern tip, west of the Bering Strait.
    return lon <= -169 && lat >= 64;
}

BandChoice RegionDefaults(const calc::Position &home) {
    if (InItuRegion1(home)) {
        return {static_cast<spot::BandSet>(
                    spot::BandBit(spot::Band::M10) | spot::BandBit(spot::Band::M6) |
                    spot::BandBit(spot::Band::M4) | spot::BandBit(spot::Band::M2)),
                spot::Band::M4};
    }
    return {static_cast<spot::BandSet>(spot::BandBit(spot::Band::M10) |
                                       spot::BandBit(spot::Band::M6) |
                                       spot::BandBit(spot::Band::M2)),
            spot::Band::M6};
}

} // namespace ionvane::tracker
