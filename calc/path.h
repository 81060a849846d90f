// Great-circle distance and initial bearing between the centres of two locator subsquares.
#pragma once

#include "calc_state.h"

namespace ionvane::calc {

/// Bearing offset added to every displayed bearing: 0.49 degrees, deliberately not 0.5, and not
/// wrapped at 360 (a bearing just below north shows as 360.45).
constexpr double BearingOffsetDeg = 0.49;

/// Decimals of the distance and bearing texts.
constexpr int PathTextDecimals = 2;

/// The path from FromLoc to ToLoc (both valid, six characters): sets PathPi, leaves DistanceText
/// (km) and BearingText (degrees from north at From, plus the offset) as two-decimal texts, or the
/// integers 1 and 0 when both name one subsquare. After two different subsquares point 1 holds the
/// To centre and point 2 the From centre.
void CalcPath(CalcState &state, const NumberFormat &format);

/// One pass of the spherical trigonometry; WhichEnd "me" measures from From and writes the
/// texts, "him" swaps the working locators first and writes no text.
void CalcDistBearing(CalcState &state, const NumberFormat &format);

/// The results for two locators naming one subsquare: bearing 0 and distance 1 km, no trigonometry.
void SameLocResults(CalcState &state);

} // namespace ionvane::calc
