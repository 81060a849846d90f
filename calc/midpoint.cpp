#include "midpoint.h"

#include "earth.h"
#include "inverse_trig.h"
#include "locator.h"

#include <cmath>

namespace ionvane::calc {

namespace {
// The routine always takes the half-way point of the intermediate-point construction.
constexpr double Fraction = 0.5;

double Square(double v) {
    return v * v;
}

MidPoint At(double arcRad, double latRad, double lonRad) {
    MidPoint mid{.ArcRad = arcRad,
                 .LatRad = latRad,
                 .LonRad = lonRad,
                 .LatDeg = latRad * HalfTurnDeg / Pi,
                 .LonDeg = lonRad * HalfTurnDeg / Pi,
                 .Loc = {}};
    mid.Loc = EncodeLocator(mid.LatDeg, mid.LonDeg);
    return mid;
}
} // namespace

MidPoint GreatCircleMidPoint(double lat1Rad, double lon1Rad, double lat2Rad, double lon2Rad) {
    if (lat1Rad == lat2Rad && lon1Rad == lon2Rad) {
        // From and To in one subsquare: the construction below would divide 0 by 0.
        return At(0.0, lat1Rad, lon1Rad);
    }
    // The haversine term. For exact antipodes rounding can lift it to 1 + 2e-16 (AA00AO to
    // JR09AJ), whose square root is 1 again; ArcSin gives pi/2 from 1 on, so d is then pi.
    const double a =
        Square(std::sin((lon1Rad - lon2Rad) / 2)) * (std::cos(lat2Rad) * std::cos(lat1Rad)) +
        Square(std::sin((lat1Rad - lat2Rad) / 2));
    const double d = 2 * ArcSin(std::sqrt(a));
    const double weightA = std::sin((1 - Fraction) * d) / std::sin(d);
    const double weightB = std::sin(d * Fraction) / std::sin(d);
    const double x = weightA * std::cos(lat1Rad) * std::cos(lon1Rad) +
                     weightB * std::cos(lat2Rad) * std::cos(lon2Rad);
    const double y = weightA * std::cos(lat1Rad) * std::sin(lon1Rad) +
                     weightB * std::cos(lat2Rad) * std::sin(lon2Rad);
    const double z = weightA * std::sin(lat1Rad) + weightB * std::sin(lat2Rad);
    return At(d, ArcTan2(z, std::sqrt(Square(x) + Square(y))), ArcTan2(y, x));
}

} // namespace ionvane::calc
