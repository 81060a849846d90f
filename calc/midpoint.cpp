#include "midpoint.h"

#include "earth.h"
#include "inverse_trig.h"
#include "locator.h"

#include <algorithm>
#include <cmath>

namespace ionvane::calc {

namespace {
// The routine always takes the half-way point of the intermediate-point construction.
constexpr double Fraction = 0.5;

double Square(double v) {
    return v * v;
}
} // namespace

void GreatCircleMidPoint(CalcState &state, double lat1Rad, double lon1Rad, double lat2Rad,
                         double lon2Rad) {
    const double pi = state.CalcPi;
    if (lat1Rad == lat2Rad && lon1Rad == lon2Rad) {
        // From and To in one subsquare: the construction below would divide 0 by 0.
        state.MidLatRad = lat1Rad;
        state.MidLonRad = lon1Rad;
        state.MidLat = state.MidLatRad * HalfTurnDeg / pi;
        state.MidLon = state.MidLonRad * HalfTurnDeg / pi;
        state.MidPointLoc = EncodeLocator(state.MidLat, state.MidLon);
        return;
    }
    double a = Square(std::sin((lon1Rad - lon2Rad) / 2)) * (std::cos(lat2Rad) * std::cos(lat1Rad)) +
               Square(std::sin((lat1Rad - lat2Rad) / 2));
    // Rounding can lift the haversine term just past 1 for nearly antipodal ends.
    a = std::clamp(a, 0.0, 1.0);
    const double d = 2 * ArcSin(std::sqrt(a));
    const double weightA = std::sin((1 - Fraction) * d) / std::sin(d);
    const double weightB = std::sin(d * Fraction) / std::sin(d);
    const double x = weightA * std::cos(lat1Rad) * std::cos(lon1Rad) +
                     weightB * std::cos(lat2Rad) * std::cos(lon2Rad);
    const double y = weightA * std::cos(lat1Rad) * std::sin(lon1Rad) +
                     weightB * std::cos(lat2Rad) * std::sin(lon2Rad);
    const double z = weightA * std::sin(lat1Rad) + weightB * std::sin(lat2Rad);
    state.MidLat = ArcTan2(z, std::sqrt(Square(x) + Square(y)), pi) * HalfTurnDeg / pi;
    state.MidLon = ArcTan2(y, x, pi) * HalfTurnDeg / pi;
    state.MidLatRad = ArcTan2(z, std::sqrt(Square(x) + Square(y)), pi);
    state.MidLonRad = ArcTan2(y, x, pi);
    state.MidPointLoc = EncodeLocator(state.MidLat, state.MidLon);
}

} // namespace ionvane::calc
