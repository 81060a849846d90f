// The map's azimuthal-equidistant projection centred on the home station, on the program's
// spherical Earth: every point lies at its true great-circle distance from home, in its true
// bearing, so distance and beam heading are read straight off the map.
#pragma once

#include <vector>

namespace ionvane::map {

/// A position on the sphere in degrees: latitude -90..90 north positive, longitude -180..180
/// east positive.
struct GeoPoint {
    double LatDeg = 0.0;
    double LonDeg = 0.0;
};

/// A point of the map plane in km from home: x towards the east of home, y towards its north.
struct PlanePoint {
    double XKm = 0.0;
    double YKm = 0.0;
};

/// Half the Earth's circumference (km): the distance from home to its antipode, the radius of
/// the disc the whole world fills on the map.
double AntipodeDistanceKm();

/// Great-circle distance in km between two positions; 0 for equal ones.
double DistanceKm(GeoPoint from, GeoPoint to);

/// Initial great-circle bearing in degrees (0..360, clockwise from north) from `from` to `to`.
/// Where no bearing exists (equal or antipodal points, or `from` at a pole and `to` on its
/// meridian's continuation) it is 0, never NaN. From a pole, bearings are measured as though
/// north pointed along the meridian of `from`'s longitude.
double BearingDeg(GeoPoint from, GeoPoint to);

/// The position reached from `from` after `distanceKm` along the great circle that leaves it at
/// `bearingDeg`. Longitude comes back in -180..180.
GeoPoint Destination(GeoPoint from, double bearingDeg, double distanceKm);

/// Points along the shorter great circle from `from` to `to`, both ends included, at most
/// `maxStepKm` apart (and never more than MaxGreatCirclePoints). Antipodal ends have no single
/// great circle: the path then leaves due north, so it is defined but arbitrary.
std::vector<GeoPoint> GreatCirclePoints(GeoPoint from, GeoPoint to, double maxStepKm);

/// Upper bound on the points of one interpolated great circle.
constexpr int MaxGreatCirclePoints = 2048;

/// The projection centred on one home position.
class AzimuthalEquidistant {
  public:
    /// `home`: the centre of the map (latitude clamped to -90..90). A non-finite home counts as
    /// 0, 0.
    explicit AzimuthalEquidistant(GeoPoint home);

    GeoPoint Home() const { return HomePoint; }

    /// The map point of `point`: its distance from home (km) along its bearing from home. Home
    /// maps to 0, 0; the antipode, which is really the whole edge circle of the map, maps to the
    /// top of that circle (0, AntipodeDistanceKm()). A non-finite position maps to home.
    PlanePoint Forward(GeoPoint point) const;

    /// The position of map point `point`. Points beyond the edge circle (further than
    /// AntipodeDistanceKm() from the centre) are taken back to the edge, that is to the
    /// antipode. A non-finite point gives home.
    GeoPoint Inverse(PlanePoint point) const;

  private:
    GeoPoint HomePoint;
    double SinLat = 0.0;
    double CosLat = 1.0;
};

} // namespace ionvane::map
