// The spherical Earth of every path and Es-layer calculation.
#pragma once

namespace ionvane::calc {

/// Earth radius on which distances are measured: 6371.291 km, about 111.2 km per degree of arc,
/// the sphere that amateur locator distances are customarily quoted on.
constexpr double EarthRadiusKm = 6371.291;

/// Degrees in half a turn, for conversions between degrees and radians.
constexpr double HalfTurnDeg = 180.0;

} // namespace ionvane::calc
