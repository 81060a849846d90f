// The point half-way along the great circle between two path ends.
#pragma once

#include <string>

namespace ionvane::calc {

/// The midpoint of a great-circle path.
struct MidPoint {
    double ArcRad = 0.0; ///< central angle of the whole path, 0 to pi
    double LatRad = 0.0; ///< -pi/2 to pi/2
    double LonRad = 0.0; ///< (-pi, pi]
    double LatDeg = 0.0;
    double LonDeg = 0.0;
    std::string Loc; ///< its locator
};

/// The midpoint of the great circle from (lat1Rad, lon1Rad) to (lat2Rad, lon2Rad). Coincident ends
/// give the common point itself. For antipodal ends the result is finite but meaningless (every
/// great circle through them is a path); the caller rejects that path.
MidPoint GreatCircleMidPoint(double lat1Rad, double lon1Rad, double lat2Rad, double lon2Rad);

} // namespace ionvane::calc
