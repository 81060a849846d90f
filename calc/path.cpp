#include "path.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace ionvane::calc {

DistBearing CalcDistBearing(const Position &from, const Position &to, PathEnd end) {
    const Position &point1 = end == PathEnd::From ? from : to;
    const Position &point2 = end == PathEnd::From ? to : from;
    // The first latitude is converted as pi * value / 180, the others as value * pi / 180.
    const double lat1Rad = Pi * point1.LatDeg / HalfTurnDeg;
    const double lon1Rad = point1.LonDeg * Pi / HalfTurnDeg;
    const double lat2Rad = point2.LatDeg * Pi / HalfTurnDeg;
    const double lon2Rad = point2.LonDeg * Pi / HalfTurnDeg;

    double cosArc = std::cos(lon1Rad - lon2Rad) * std::cos(lat1Rad) * std::cos(lat2Rad) +
                    std::sin(lat2Rad) * std::sin(lat1Rad);
    // At exact antipodes the cosine can round below -1 (AA00AO to JR09AJ gives
    // -1.0000000000000002), and 1 - c*c would turn negative.
    cosArc = std::clamp(cosArc, -1.0, 1.0);
    double arcRad = std::atan(std::fabs(std::sqrt(1 - cosArc * cosArc) / cosArc));
    if (cosArc < 0) {
        arcRad = Pi - arcRad;
    }

    // Numerator and denominator of the bearing's tangent, both times cos(lat1), which is positive
    // for every subsquare centre.
    const double num = std::sin(lon2Rad - lon1Rad) * std::cos(lat2Rad) * std::cos(lat1Rad);
    const double denom = std::sin(lat2Rad) - std::cos(arcRad) * std::sin(lat1Rad);
    double bearingRad = std::atan(std::fabs(num / denom));
    if (denom < 0) {
        bearingRad = Pi - bearingRad;
    }
    if (num < 0) {
        bearingRad = -bearingRad;
    }
    if (bearingRad < 0) {
        bearingRad = bearingRad + 2 * Pi;
    }
    return DistBearing{.DistanceKm = arcRad * EarthRadiusKm,
                       .BearingDeg = bearingRad * HalfTurnDeg / Pi + BearingOffsetDeg};
}

PathResult CalcPath(const Position &from, const Position &to, const NumberFormat &format) {
    if (from == to) {
        return SameLocResults();
    }
    const DistBearing leg = CalcDistBearing(from, to, PathEnd::From);
    FixedNumber distance = FormatFixedNumber(leg.DistanceKm, ShownDecimals, format);
    FixedNumber bearing = FormatFixedNumber(leg.BearingDeg, ShownDecimals, format);
    return PathResult{.DistanceKm = distance.Value,
                      .AzimuthDeg = bearing.Value,
                      .DistanceText = std::move(distance.Text),
                      .BearingText = std::move(bearing.Text)};
}

PathResult CalcPathFigures(const Position &from, const Position &to) {
    if (from == to) {
        return SameLocResults();
    }
    const DistBearing leg = CalcDistBearing(from, to, PathEnd::From);
    return PathResult{.DistanceKm = FormattedValue(leg.DistanceKm, ShownDecimals),
                      .AzimuthDeg = FormattedValue(leg.BearingDeg, ShownDecimals),
                      .DistanceText = {},
                      .BearingText = {}};
}

PathResult SameLocResults() {
    return PathResult{.DistanceKm = 1, .AzimuthDeg = 0, .DistanceText = "1", .BearingText = "0"};
}

} // namespace ionvane::calc
