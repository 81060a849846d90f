// The point half-way along the great circle between two path ends.
#pragma once

#include "calc_state.h"

namespace ionvane::calc {

/// Fills MidLatRad, MidLonRad (radians), MidLat, MidLon (degrees) and MidPointLoc with the
/// midpoint of the great circle from (lat1Rad, lon1Rad) to (lat2Rad, lon2Rad). Coincident ends
/// give the common point itself. Expects CalcPi to be set. For antipodal ends the result is
/// finite but meaningless; the caller rejects that path.
void GreatCircleMidPoint(CalcState &state, double lat1Rad, double lon1Rad, double lat2Rad,
                         double lon2Rad);

} // namespace ionvane::calc
