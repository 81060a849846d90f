// Inverse trigonometry built from the arc tangent and the square root, with defined results at
// the ends of the domains.
#pragma once

namespace ionvane::calc {

/// The angle in [0, pi] whose cosine is `x`: 0 for x >= 1 and pi for x <= -1, so that rounding
/// just past either end gives the end itself (a centre due south of home gives -1 - 2e-16).
double ArcCos(double x);

/// The angle in [-pi/2, pi/2] whose sine is `x`: +pi/2 for x >= 1 and -pi/2 for x <= -1 (the
/// midpoint of nearly antipodal ends meets 1 + 2e-16).
double ArcSin(double x);

/// The angle of the point (x, y) from the positive x axis, in (-pi, pi]. On the y axis the result
/// is pi/2 above the origin and -pi/2 otherwise, so ArcTan2(0, 0) is -pi/2.
double ArcTan2(double y, double x);

} // namespace ionvane::calc
