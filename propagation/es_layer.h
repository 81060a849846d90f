// The sporadic-E reflection geometry: elevation angle of a path, critical frequency of the cloud
// at the path centre, the MUF of a path, the frequency of traffic from home and the horizon advice.
#pragma once

#include "calc/number_text.h"

namespace ionvane::propagation {

/// Longest single-hop distance used for the critical-frequency geometry.
constexpr double SingleHopCapKm = 2400;
/// Height term of the critical-frequency geometry, in km: 0.18 km (180 m), a fixed height taken for
/// the spotted stations, whose own heights are unknown; the figure the calculator has always used,
/// not a setting. It lowers the elevation of the reflection geometry by a few hundredths of a
/// degree.
constexpr double SpotHeightKm = 0.18;
/// Height of the far (DX) station, in km (150 m, the default home height), added back in the
/// elevation from home so that a home at the default height has a height term of zero.
constexpr double DxHeightKm = 0.15;
/// Scale of the MUF formula, per km: an empirical constant the calculator has always used. With the
/// layer height in km it makes the MUF of a long path tend to 0.10045 * hE / 2 times the critical
/// frequency, about 5.5 at 110 km, the customary one-hop obliquity factor of sporadic-E.
constexpr double MufFactorConst = 0.10045;
/// Home paths longer than this need more than one hop.
constexpr double MultiHopKm = 3500;
/// Home paths longer than this (up to MultiHopKm) may go by a chordal hop.
constexpr double ChordalHopKm = 3000;

/// The distance the critical-frequency geometry works on: the path's own, but 2400 km when the path
/// is longer (2400.00 itself stays).
double CriticalFreqDistanceKm(double distanceKm);

/// A path reflected once off the Es layer, kept together so that the two kilometre figures cannot
/// be swapped.
struct EsPath {
    double DistanceKm;      ///< great-circle length of the path
    double EsLayerHeightKm; ///< hE, 90 to 130
};

/// The height term of an elevation, in km: `SubtractKm` is taken off the vertical range to the
/// reflection point, then `AddBackKm` is added (the home path subtracts the home height and adds
/// the DX height back, in that order).
struct HeightTerm {
    double SubtractKm;
    double AddBackKm = 0.0;
};

/// Geometry of one reflection off the Es layer.
struct EsAngles {
    double HalfArcRad;   ///< theta: half the central angle of the path
    double ElevationRad; ///< epsilon: elevation angle at the station
};

/// The reflection geometry of `path` with the station's vertical range corrected by `height`.
EsAngles EsElevation(const EsPath &path, const HeightTerm &height);

/// The elevation in degrees for display.
double ElevationDeg(const EsAngles &angles);

/// The critical frequency (MHz, unrounded) that reflects `freqMHz` at the angles of a path.
double CriticalFreq(const EsAngles &angles, double freqMHz);

/// The MUF (MHz, unrounded) of `path` when its cloud has the critical frequency `criticalFreqMHz`.
double MufExpression(double criticalFreqMHz, const EsPath &path);

/// The frequency of traffic from home (MHz, 32-bit float) before the cap: the working frequency
/// scaled by the ratio of the spotted path's MUF to the home path's, rounded to the regional
/// default count of decimals. Infinite when the value lies beyond the float range.
float TrafficFreq(double pathMufMHz, double homeMufMHz, float freqMHz,
                  const calc::NumberFormat &format);

/// The frequency of traffic capped so that it never exceeds the spotted path's MUF (then the MUF
/// rounded to two decimals); equal values are left alone.
float CapTrafficFreq(float trafficFreqMHz, double pathMufMHz, const calc::NumberFormat &format);

/// The reflection geometry of the home path `homePath`: the home height `homeHeightKm` taken off
/// and the DX station's DxHeightKm added back.
EsAngles HomeElevation(const EsPath &homePath, double homeHeightKm);

/// The frequency of traffic from home (MHz, 32-bit float) over `homePath`, seen at `fromHome`,
/// through a cloud that carries `freqMHz` over a spotted path whose MUF is `pathMufMHz`: the
/// spotted frequency scaled by the ratio of the two MUFs, rounded, then capped at the spotted
/// path's MUF. Infinite when the value lies beyond the float range (then not capped).
float HomeTrafficFreq(const EsAngles &fromHome, const EsPath &homePath, double pathMufMHz,
                      float freqMHz, const calc::NumberFormat &format);

/// Which advice the traffic line gives for a home path.
enum class HorizonAdvice { MultipleHops, ChordalHop, TropoChordal, TrafficFrequency };

/// The advice for a home path of `homeDistanceKm` seen at `homeElevationDeg` (both as displayed).
HorizonAdvice ChooseAdvice(double homeDistanceKm, double homeElevationDeg);

} // namespace ionvane::propagation
