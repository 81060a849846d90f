// Points of the ground as unit vectors, and the great-circle distance between them: the tracker's
// clouds and spots compared without a trigonometric call per pair.
#pragma once

#include "calc/earth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ionvane::tracker {

struct Unit {
    double X, Y, Z;
};

inline Unit UnitOf(double latDeg, double lonDeg) {
    constexpr double RadPerDeg = std::numbers::pi / calc::HalfTurnDeg;
    const double lat = latDeg * RadPerDeg;
    const double lon = lonDeg * RadPerDeg;
    return {std::cos(lat) * std::cos(lon), std::cos(lat) * std::sin(lon), std::sin(lat)};
}

/// Great-circle distance between the unit vectors `a` and (x, y, z), km; the arc tangent form
/// stays exact for close points, where the arc cosine of the dot product loses half its digits.
inline double ArcKm(const Unit &a, double x, double y, double z) {
    const double cx = a.Y * z - a.Z * y;
    const double cy = a.Z * x - a.X * z;
    const double cz = a.X * y - a.Y * x;
    const double dot = a.X * x + a.Y * y + a.Z * z;
    return std::atan2(std::sqrt(cx * cx + cy * cy + cz * cz), dot) * calc::EarthRadiusKm;
}

/// Points surely more than a distance apart, told by their dot product alone, without ArcKm's arc
/// tangent; points near the distance (within 1e-6 rad, 6 m, far beyond rounding) are not.
class BeyondKm {
  public:
    explicit BeyondKm(double km)
        : LeastDot(std::cos(std::min(std::numbers::pi, km / calc::EarthRadiusKm + MarginRad))) {}
    [[nodiscard]] bool Surely(const Unit &a, double x, double y, double z) const {
        return a.X * x + a.Y * y + a.Z * z < LeastDot;
    }

  private:
    static constexpr double MarginRad = 1e-6;
    double LeastDot;
};

} // namespace ionvane::tracker
