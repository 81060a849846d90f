// The spherical Earth of every path and Es-layer calculation, and a position on it.
#pragma once

namespace ionvane::calc {

/// Earth radius on which distances are measured: 6371.291 km, about 111.2 km per degree of arc,
/// the sphere that amateur locator distances are customarily quoted on.
constexpr double EarthRadiusKm = 6371.291;

/// Degrees in half a turn, for conversions between degrees and radians.
constexpr double HalfTurnDeg = 180.0;

/// Pi as the double nearest to it. This is exactly 4 * atan(1), the value the calculation has
/// always worked with (a test pins the equality), so every conversion gives the same bits.
constexpr double Pi = 3.141592653589793238462643383279502884;

/// A point on the sphere in degrees, north and east positive.
struct Position {
    double LatDeg = 0.0;
    double LonDeg = 0.0;
    friend bool operator==(const Position &, const Position &) = default;
};

} // namespace ionvane::calc
