#include "es_layer.h"

#include "calc/earth.h"

#include <cmath>

namespace ionvane::propagation {

using calc::EarthRadiusKm;
using calc::HalfTurnDeg;
using calc::Pi;

namespace {
// The angle in the critical-frequency cosine: cos(270 deg - a) = -sin(a).
constexpr double ThreeQuarterTurnDeg = 270;
} // namespace

double CriticalFreqDistanceKm(double distanceKm) {
    return distanceKm > SingleHopCapKm ? SingleHopCapKm : distanceKm;
}

EsAngles EsElevation(const EsPath &path, const HeightTerm &height) {
    const double r = EarthRadiusKm;
    const double theta = path.DistanceKm / (2 * r);
    const double t = std::tan(theta);
    // Height, above the ground at the path centre, of the station's horizontal plane.
    const double h0 = r * (std::sqrt(t * t + 1) - 1);
    const double c = path.EsLayerHeightKm - h0;
    // Straight-line range to the reflection point (law of cosines, angle 90 deg + theta).
    const double range =
        std::sqrt((r * r) * (t * t) + (((2 * r) * c) * t) * std::sin(theta) + c * c);
    const double s = std::cos(theta) * c / range;
    const double alpha = std::atan(s / std::sqrt(-s * s + 1));
    const double rise = std::sin(alpha) * range - height.SubtractKm + height.AddBackKm;
    const double epsilon = std::atan(rise / (std::cos(alpha) * range));
    return EsAngles{theta, epsilon};
}

double ElevationDeg(const EsAngles &angles) {
    return angles.ElevationRad * HalfTurnDeg / Pi;
}

double CriticalFreq(const EsAngles &angles, double freqMHz) {
    const double y =
        (Pi / HalfTurnDeg) * ThreeQuarterTurnDeg - angles.HalfArcRad - angles.ElevationRad;
    const double x = 1 / std::cos(y);
    return std::fabs(freqMHz / x);
}

double MufExpression(double criticalFreqMHz, const EsPath &path) {
    const double d = path.DistanceKm;
    const double hE = path.EsLayerHeightKm;
    // Evaluated left to right as (((d*d)/4)*hE)*hE + 1: the layer height multiplies twice, it is
    // no divisor. This is how the MUF has always been computed, and every MUF users compare with
    // (and MufFactorConst with it) was made this way: regrouping it, as (d*hE/2)^2 or as a
    // quotient, changes the last digits or the figure itself.
    const double q = d * d / 4 * hE * hE + 1;
    const double m = std::sqrt(q) * criticalFreqMHz;
    return m / d * MufFactorConst;
}

float TrafficFreq(double pathMufMHz, double homeMufMHz, float freqMHz,
                  const calc::NumberFormat &format) {
    return static_cast<float>(calc::RoundByFormat(
        pathMufMHz / homeMufMHz * static_cast<double>(freqMHz), format.DefaultDecimals, format));
}

float CapTrafficFreq(float trafficFreqMHz, double pathMufMHz, const calc::NumberFormat &format) {
    if (static_cast<float>(pathMufMHz) < trafficFreqMHz) {
        return static_cast<float>(calc::RoundByFormat(pathMufMHz, calc::ShownDecimals, format));
    }
    return trafficFreqMHz;
}

EsAngles HomeElevation(const EsPath &homePath, double homeHeightKm) {
    return EsElevation(homePath, {.SubtractKm = homeHeightKm, .AddBackKm = DxHeightKm});
}

float HomeTrafficFreq(const EsAngles &fromHome, const EsPath &homePath, double pathMufMHz,
                      float freqMHz, const calc::NumberFormat &format) {
    const double homeCriticalFreq = CriticalFreq(fromHome, static_cast<double>(freqMHz));
    const double homeMuf = MufExpression(homeCriticalFreq, homePath);
    const float trafficFreq = TrafficFreq(pathMufMHz, homeMuf, freqMHz, format);
    if (!std::isfinite(trafficFreq)) {
        return trafficFreq;
    }
    return CapTrafficFreq(trafficFreq, pathMufMHz, format);
}

HorizonAdvice ChooseAdvice(double homeDistanceKm, double homeElevationDeg) {
    if (homeDistanceKm > MultiHopKm) {
        return HorizonAdvice::MultipleHops;
    }
    if (homeDistanceKm > ChordalHopKm) {
        return HorizonAdvice::ChordalHop;
    }
    if (homeElevationDeg < 0) {
        return HorizonAdvice::TropoChordal;
    }
    return HorizonAdvice::TrafficFrequency;
}

} // namespace ionvane::propagation
