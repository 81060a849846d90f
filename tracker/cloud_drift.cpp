// The drift rule of the cloud tracker: a cloud drifts when the straight-line fit of its centres
// shows a speed well above its standard error, and the fit before its newest spot agrees.
#include "calc/earth.h"
#include "cloud_geometry.h"
#include "cloud_tracker.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ionvane::tracker {

namespace {

constexpr double RadPerDeg = std::numbers::pi / calc::HalfTurnDeg;
constexpr double FullTurnDeg = 360;

// The drift a fit gives at the cloud's position, or none when it is below DriftMinErrors of its
// standard error or below DriftMinKmh.
std::optional<Drift> DriftOf(const CloudSnapshot &shown,
                             const std::optional<RecentSpots::Fit> &fit) {
    if (!fit) {
        return std::nullopt;
    }
    // The least-squares velocity of the centres' unit vectors, seen in the plane tangent at the
    // position: over a cloud's few hundred km, chord and arc differ by far less than the scatter.
    const double lat0 = shown.LatDeg * RadPerDeg;
    const double lon0 = shown.LonDeg * RadPerDeg;
    const Unit east{-std::sin(lon0), std::cos(lon0), 0};
    const Unit north{-std::sin(lat0) * std::cos(lon0), -std::sin(lat0) * std::sin(lon0),
                     std::cos(lat0)};
    const auto &v = fit->VelocityPerHour;
    const double eastKmh = (east.X * v[0] + east.Y * v[1] + east.Z * v[2]) * calc::EarthRadiusKm;
    const double northKmh =
        (north.X * v[0] + north.Y * v[1] + north.Z * v[2]) * calc::EarthRadiusKm;
    const double speedKmh = std::hypot(eastKmh, northKmh);
    const double errorKmh = fit->SpeedErrorPerHour * calc::EarthRadiusKm;
    if (!(speedKmh >= DriftMinErrors * errorKmh && speedKmh >= DriftMinKmh)) {
        return std::nullopt;
    }
    Drift drift;
    drift.SpeedKmh = std::min(speedKmh, MaxDriftKmh);
    drift.TowardsDeg = std::atan2(eastKmh, northKmh) / RadPerDeg;
    if (drift.TowardsDeg < 0) {
        drift.TowardsDeg += FullTurnDeg;
    }
    return drift;
}

} // namespace

std::optional<Drift> CloudTracker::FitDrift(const Cloud &cloud) const {
    const RecentSpots &recent = cloud.Recent;
    const UnixSeconds spanS = recent.Newest().Time - recent.Oldest().Time;
    if (recent.Size() < DriftMinSpots || spanS < DriftMinSpanS) {
        return std::nullopt;
    }
    // The fit before the newest spot came must show the same drift: a stationary cloud's fit
    // passes by chance now and then, and rarely twice in the same direction.
    const auto drift = DriftOf(cloud.Shown, recent.CentreFit());
    const auto before = DriftOf(cloud.Shown, recent.CentreFitBeforeNewest());
    if (!drift || !before) {
        return std::nullopt;
    }
    const double turnDeg =
        std::fabs(std::remainder(drift->TowardsDeg - before->TowardsDeg, FullTurnDeg));
    if (!(turnDeg <= DriftDirectionToleranceDeg)) {
        return std::nullopt;
    }
    return drift;
}

} // namespace ionvane::tracker
