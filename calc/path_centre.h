// The centre of the spotted path, where the Es cloud is assumed to be, and the onward point the
// home station reaches by one reflection off the same cloud.
#pragma once

#include "earth.h"
#include "midpoint.h"

#include <cstdint>
#include <optional>
#include <string>

namespace ionvane::calc {

/// Tolerance in degrees for taking two path ends as antipodal.
constexpr double AntipodalToleranceDeg = 1e-9;

/// The centre of the great-circle path from `from` to `to` (subsquare centres), with its locator;
/// nothing for antipodal ends. Ends in one subsquare give that point.
std::optional<MidPoint> PathCentre(const Position &from, const Position &to);

/// The point the home station reaches through the cloud at the centre.
struct OnwardPointResult {
    double HomeArcRad = 0.0; ///< central angle from home to the centre
    Position Towards;        ///< longitude brought into (-180, 180]
    std::string TowardsLoc;  ///< its locator
};

/// The point at twice the home-to-centre distance on the great circle from `home` through
/// `centre`. A centre at home gives home itself.
OnwardPointResult OnwardPoint(const Position &home, const MidPoint &centre);

} // namespace ionvane::calc
