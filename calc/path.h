// Great-circle distance and initial bearing between the centres of two locator subsquares.
#pragma once

#include "earth.h"
#include "number_text.h"

#include <string>

namespace ionvane::calc {

/// Bearing offset added to every displayed bearing: 0.49 degrees, deliberately not 0.5, and not
/// wrapped at 360 (a bearing just below north shows as 360.45).
constexpr double BearingOffsetDeg = 0.49;

/// The end of a path at which a pass of the trigonometry stands.
enum class PathEnd { From, To };

/// One pass of the spherical trigonometry, unrounded.
struct DistBearing {
    double DistanceKm = 0.0; ///< great-circle distance
    double BearingDeg = 0.0; ///< initial bearing at the pass's end, clockwise from north, plus
                             ///< BearingOffsetDeg: 0.49 up to 360.49
};

/// The distance between the subsquare centres `from` and `to` (different points) and the bearing
/// at the end `end` towards the other one. Exact antipodes give half the circumference.
DistBearing CalcDistBearing(const Position &from, const Position &to, PathEnd end);

/// A path as the window shows it and as every later step uses it.
struct PathResult {
    double DistanceKm = 0.0; ///< the distance as its text spells it: rounded to two decimals
    double AzimuthDeg = 0.0; ///< the bearing at From as its text spells it
    std::string DistanceText;
    std::string BearingText;
};

/// The path between the decoded From and To locators: distance and bearing at From with two
/// decimals in the regional format, or the texts "1" and "0" (1 km, 0 degrees, no trigonometry)
/// when both name one subsquare.
PathResult CalcPath(const Position &from, const Position &to, const NumberFormat &format);

/// CalcPath's distance and bearing without making the texts, for runs that show nothing; the texts
/// are not to be read.
PathResult CalcPathFigures(const Position &from, const Position &to);

/// The results for two locators naming one subsquare: bearing 0 and distance 1 km.
PathResult SameLocResults();

} // namespace ionvane::calc
