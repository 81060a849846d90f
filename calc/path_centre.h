// The centre of the spotted path, where the Es cloud is assumed to be, and the onward point the
// home station reaches by one reflection off the same cloud.
#pragma once

#include "calc_state.h"

namespace ionvane::calc {

/// Status code of a path whose ends are antipodal: every great circle through them is a path, so
/// there is no single centre.
constexpr std::int16_t AntipodalStatus = 40;

/// Tolerance in degrees for taking two path ends as antipodal.
constexpr double AntipodalToleranceDeg = 1e-9;

/// Mode 1: the centre of the path from point 1 to point 2 into CentreLoc and the midpoint members,
/// StatusCode 0, then the home locator check (codes 31..36); antipodal ends set StatusCode 40
/// before the home locator is looked at. Mode 2 (after a mode 1 that left StatusCode 0): the point
/// at twice the home-to-centre distance on the great circle from home through the centre, into
/// TowardsLoc. Other modes do nothing.
void PathCentre(CalcState &state, std::int16_t mode);

} // namespace ionvane::calc
