#include "projection.h"

#include "calc/earth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ionvane::map {

namespace {

using calc::EarthRadiusKm;

constexpr double RadPerDeg = std::numbers::pi / 180.0;
constexpr double DegPerRad = 180.0 / std::numbers::pi;

// Longitude into -180..180; a whole number of turns is taken off first so huge values stay exact.
double WrapLonDeg(double lonDeg) {
    double wrapped = std::fmod(lonDeg + 180.0, 360.0);
    if (wrapped < 0) {
        wrapped += 360.0;
    }
    return wrapped - 180.0;
}

bool IsFinite(GeoPoint p) {
    return std::isfinite(p.LatDeg) && std::isfinite(p.LonDeg);
}

// Below this sine of the arc (about 6 micrometres on the ground) home and the point, or the point
// and the antipode, are taken as one: what is left of the bearing there is rounding noise (the
// exact antipode of 50 N 0 E gives sin(pi) = 1.2e-16 east and 0 north, "due east").
constexpr double NoBearingSine = 1e-12;

// Angular distance (rad, 0..pi) and bearing (rad, -pi..pi) from (sinLat0, cosLat0, lon0) to p.
// atan2 of both parts rather than acos of a cosine: exact near home and near the antipode, and
// atan2(0, 0) = 0 where no bearing exists, so no NaN.
struct Polar {
    double ArcRad;
    double BearingRad;
};

Polar PolarFrom(double sinLat0, double cosLat0, double lon0Deg, GeoPoint p) {
    const double lat = std::clamp(p.LatDeg, -90.0, 90.0) * RadPerDeg;
    const double dLon = (p.LonDeg - lon0Deg) * RadPerDeg;
    const double sinLat = std::sin(lat);
    const double cosLat = std::cos(lat);
    const double east = cosLat * std::sin(dLon);
    const double north = cosLat0 * sinLat - sinLat0 * cosLat * std::cos(dLon);
    const double along = sinLat0 * sinLat + cosLat0 * cosLat * std::cos(dLon);
    const double across = std::hypot(east, north);
    return {std::atan2(across, along), across < NoBearingSine ? 0.0 : std::atan2(east, north)};
}

GeoPoint DestinationRad(double sinLat0, double cosLat0, double lon0Deg, double bearingRad,
                        double arcRad) {
    const double sinArc = std::sin(arcRad);
    const double cosArc = std::cos(arcRad);
    const double sinLat =
        std::clamp(sinLat0 * cosArc + cosLat0 * sinArc * std::cos(bearingRad), -1.0, 1.0);
    const double lat = std::asin(sinLat);
    const double dLon =
        std::atan2(std::sin(bearingRad) * sinArc * cosLat0, cosArc - sinLat0 * sinLat);
    return {lat * DegPerRad, WrapLonDeg(lon0Deg + dLon * DegPerRad)};
}

} // namespace

double AntipodeDistanceKm() {
    return std::numbers::pi * EarthRadiusKm;
}

double DistanceKm(GeoPoint from, GeoPoint to) {
    const double lat0 = std::clamp(from.LatDeg, -90.0, 90.0) * RadPerDeg;
    return PolarFrom(std::sin(lat0), std::cos(lat0), from.LonDeg, to).ArcRad * EarthRadiusKm;
}

double BearingDeg(GeoPoint from, GeoPoint to) {
    const double lat0 = std::clamp(from.LatDeg, -90.0, 90.0) * RadPerDeg;
    double bearing =
        PolarFrom(std::sin(lat0), std::cos(lat0), from.LonDeg, to).BearingRad * DegPerRad;
    if (bearing < 0) {
        bearing += 360.0;
    }
    // -1e-17 + 360 rounds to 360: keep the range half-open.
    return bearing >= 360.0 ? 0.0 : bearing;
}

GeoPoint Destination(GeoPoint from, double bearingDeg, double distanceKm) {
    const double lat0 = std::clamp(from.LatDeg, -90.0, 90.0) * RadPerDeg;
    return DestinationRad(std::sin(lat0), std::cos(lat0), from.LonDeg, bearingDeg * RadPerDeg,
                          distanceKm / EarthRadiusKm);
}

std::vector<GeoPoint> GreatCirclePoints(GeoPoint from, GeoPoint to, double maxStepKm) {
    if (!IsFinite(from) || !IsFinite(to)) {
        return {};
    }
    const double lat0 = std::clamp(from.LatDeg, -90.0, 90.0) * RadPerDeg;
    const double sinLat0 = std::sin(lat0);
    const double cosLat0 = std::cos(lat0);
    const Polar polar = PolarFrom(sinLat0, cosLat0, from.LonDeg, to);
    const double lengthKm = polar.ArcRad * EarthRadiusKm;
    double steps = 1.0;
    if (std::isfinite(maxStepKm) && maxStepKm > 0) {
        steps = std::clamp(std::ceil(lengthKm / maxStepKm), 1.0, MaxGreatCirclePoints - 1.0);
    }
    const int count = static_cast<int>(steps);
    std::vector<GeoPoint> points;
    points.reserve(static_cast<std::size_t>(count) + 1);
    points.push_back(from);
    for (int i = 1; i < count; ++i) {
        points.push_back(DestinationRad(sinLat0, cosLat0, from.LonDeg, polar.BearingRad,
                                        polar.ArcRad * i / count));
    }
    points.push_back(to);
    return points;
}

AzimuthalEquidistant::AzimuthalEquidistant(GeoPoint home) {
    if (!IsFinite(home)) {
        home = {};
    }
    HomePoint = {std::clamp(home.LatDeg, -90.0, 90.0), home.LonDeg};
    SinLat = std::sin(HomePoint.LatDeg * RadPerDeg);
    CosLat = std::cos(HomePoint.LatDeg * RadPerDeg);
}

PlanePoint AzimuthalEquidistant::Forward(GeoPoint point) const {
    if (!IsFinite(point)) {
        return {};
    }
    const Polar polar = PolarFrom(SinLat, CosLat, HomePoint.LonDeg, point);
    if (polar.BearingRad == 0.0) {
        return {0.0, polar.ArcRad * EarthRadiusKm};
    }
    const double rhoKm = polar.ArcRad * EarthRadiusKm;
    return {rhoKm * std::sin(polar.BearingRad), rhoKm * std::cos(polar.BearingRad)};
}

GeoPoint AzimuthalEquidistant::Inverse(PlanePoint point) const {
    if (!std::isfinite(point.XKm) || !std::isfinite(point.YKm)) {
        return HomePoint;
    }
    const double rhoKm = std::min(std::hypot(point.XKm, point.YKm), AntipodeDistanceKm());
    if (rhoKm == 0.0) {
        return HomePoint;
    }
    return DestinationRad(SinLat, CosLat, HomePoint.LonDeg, std::atan2(point.XKm, point.YKm),
                          rhoKm / calc::EarthRadiusKm);
}

} // namespace ionvane::map
