// The sporadic-E reflection geometry: elevation angle of a path, critical frequency of the cloud
// at the path centre, the MUF of a path, the frequency of traffic from home and the horizon advice.
#pragma once

#include "calc/number_text.h"

namespace ionvane::propagation {

/// Longest single-hop distance used for the critical-frequency geometry.
constexpr double SingleHopCapKm = 2400;
/// Height term of the critical-frequency geometry.
constexpr double SpotHeightKm = 0.18;
/// Height of the far (DX) station, added back in the elevation from home.
constexpr double DxHeightKm = 0.15;
/// Scale of the MUF formula.
constexpr double MufFactorConst = 0.10045;
/// Home paths longer than this need more than one hop.
constexpr double MultiHopKm = 3500;
/// Home paths longer than this (up to MultiHopKm) may go by a chordal hop.
constexpr double ChordalHopKm = 3000;

/// The distance the critical-frequency geometry works on: the path's own, but 2400 km when the path
/// is longer (2400.00 itself stays).
double CriticalFreqDistanceKm(double distanceKm);

/// Geometry of one reflection off the Es layer.
struct EsAngles {
    double HalfArcRad;   ///< theta: half the central angle of the path
    double ElevationRad; ///< epsilon: elevation angle at the station
};

/// The reflection geometry of a path of `distanceKm` off a layer at `esLayerHeightKm`, with the
/// station's vertical range reduced by `heightTermKm`. The home-path elevation passes the home
/// height and adds `addBackKm` (the DX height) after subtracting it, in that order.
EsAngles EsElevation(double distanceKm, double heightTermKm, double esLayerHeightKm,
                     double addBackKm = 0.0);

/// The elevation in degrees for display, with the program's pi.
double ElevationDeg(const EsAngles &angles, double pi);

/// The critical frequency (MHz, unrounded) that reflects `freqMHz` at the angles of a path.
double CriticalFreq(const EsAngles &angles, double freqMHz, double pi);

/// The MUF (MHz, unrounded) of a path of `distanceKm` whose cloud has critical frequency
/// `criticalFreqMHz`, off a layer at `esLayerHeightKm`.
double MufExpression(double criticalFreqMHz, double distanceKm, double esLayerHeightKm);

/// The frequency of traffic from home (MHz, 32-bit float) before the cap: the working frequency
/// scaled by the ratio of the spotted path's MUF to the home path's, rounded to the regional
/// default count of decimals. Infinite when the value lies beyond the float range.
float TrafficFreq(double pathMufMHz, double homeMufMHz, float freqMHz,
                  const calc::NumberFormat &format);

/// The frequency of traffic capped so that it never exceeds the spotted path's MUF (then the MUF
/// rounded to two decimals); equal values are left alone.
float CapTrafficFreq(float trafficFreqMHz, double pathMufMHz, const calc::NumberFormat &format);

/// Which advice the traffic line gives for a home path.
enum class HorizonAdvice { MultipleHops, ChordalHop, TropoChordal, TrafficFrequency };

/// The advice for a home path of `homeDistanceKm` seen at `homeElevationDeg` (both as displayed).
HorizonAdvice ChooseAdvice(double homeDistanceKm, double homeElevationDeg);

} // namespace ionvane::propagation
