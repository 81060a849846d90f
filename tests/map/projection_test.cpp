// The home-centred map projection: distances and bearings from home survive it, it inverts, and
// home, the poles and the antipode land where they should. Expected figures are from GeodSolve
// (GeographicLib) on a sphere of radius 6371.291 km: `GeodSolve -i -e 6371291 0`.
#include "map/projection.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace ionvane::map;

namespace {

// IO90IR, the centre of its subsquare.
constexpr GeoPoint Home{50.729166666666667, -1.2916666666666667};

constexpr double DistanceToleranceKm = 1e-6;
constexpr double BearingToleranceDeg = 1e-9;

struct FromHome {
    const char *Name;
    GeoPoint Point;
    double DistanceKm; // GeodSolve s12 / 1000
    double BearingDeg; // GeodSolve azi1, into 0..360
};

const FromHome Table[] = {
    {"Paris", {48.8566, 2.3522}, 334.270392599157, 127.11925213574503},
    {"New York", {40.7128, -74.006}, 5520.485859822526, 288.23980753550907},
    {"Sydney", {-33.8688, 151.2093}, 17107.983301627293, 60.44260979051622},
    {"North Pole", {90, 0}, 4366.916884725118, 0.0},
    {"South Pole", {-90, 0}, 15649.084114757648, 180.0},
    {"Across the date line", {60, 179.5}, 7702.711242884188, 359.57677277313726},
    {"Three km from the antipode", {-50.7, 178.7}, 20012.705018871326, 10.25767608067874},
    {"Due east on the home parallel",
     {50.729166666666667, 40},
     2868.109533647511,
     73.73826969283900},
    {"Null Island", {0, 0}, 5642.407225988998, 178.33171929024721},
    {"Alaska", {70, -150}, 6354.841435605094, 347.79196179361659},
};

double PlaneBearingDeg(PlanePoint p) {
    double bearing = std::atan2(p.XKm, p.YKm) * 180.0 / 3.14159265358979323846;
    return bearing < 0 ? bearing + 360.0 : bearing;
}

// Bearings near 0 and 360 are one direction.
double BearingDifferenceDeg(double a, double b) {
    const double d = std::fabs(a - b);
    return std::min(d, 360.0 - d);
}

} // namespace

TEST(Projection, HomeIsTheCentre) {
    const AzimuthalEquidistant projection(Home);
    const PlanePoint centre = projection.Forward(Home);
    EXPECT_EQ(centre.XKm, 0.0);
    EXPECT_EQ(centre.YKm, 0.0);
    const GeoPoint back = projection.Inverse({0.0, 0.0});
    EXPECT_EQ(back.LatDeg, Home.LatDeg);
    EXPECT_EQ(back.LonDeg, Home.LonDeg);
}

TEST(Projection, DistanceAndBearingFromHomeArePreserved) {
    const AzimuthalEquidistant projection(Home);
    for (const auto &row : Table) {
        SCOPED_TRACE(row.Name);
        const PlanePoint p = projection.Forward(row.Point);
        EXPECT_NEAR(std::hypot(p.XKm, p.YKm), row.DistanceKm, DistanceToleranceKm);
        EXPECT_LT(BearingDifferenceDeg(PlaneBearingDeg(p), row.BearingDeg), BearingToleranceDeg);
        EXPECT_NEAR(DistanceKm(Home, row.Point), row.DistanceKm, DistanceToleranceKm);
        EXPECT_LT(BearingDifferenceDeg(BearingDeg(Home, row.Point), row.BearingDeg),
                  BearingToleranceDeg);
    }
}

TEST(Projection, InverseOfForwardGivesThePointBack) {
    const AzimuthalEquidistant projection(Home);
    for (const auto &row : Table) {
        SCOPED_TRACE(row.Name);
        const GeoPoint back = projection.Inverse(projection.Forward(row.Point));
        EXPECT_NEAR(back.LatDeg, row.Point.LatDeg, 1e-9);
        if (std::fabs(row.Point.LatDeg) < 90) {
            // At a pole every longitude is the same point.
            EXPECT_NEAR(back.LonDeg, row.Point.LonDeg, 1e-9);
        }
    }
}

TEST(Projection, AntipodeIsTheTopOfTheEdgeCircle) {
    // The exact antipode of IO90IR has no bearing from home: rounding alone would put it due
    // east; it is defined as the top of the edge circle, never NaN.
    const AzimuthalEquidistant projection(Home);
    const GeoPoint antipode{-50.729166666666667, 178.70833333333333};
    const PlanePoint p = projection.Forward(antipode);
    EXPECT_EQ(p.XKm, 0.0);
    EXPECT_NEAR(p.YKm, 20016.000999482767, 1e-6);
    EXPECT_NEAR(AntipodeDistanceKm(), 20016.000999482767, 1e-9);
    EXPECT_EQ(BearingDeg(Home, antipode), 0.0);

    // Any point of the edge circle, and anything beyond it, is the antipode.
    for (const PlanePoint edge :
         {PlanePoint{20016.000999482767, 0}, PlanePoint{-30000, -30000}, PlanePoint{0, -1e300}}) {
        const GeoPoint back = projection.Inverse(edge);
        EXPECT_NEAR(back.LatDeg, -50.729166666666667, 1e-9);
        EXPECT_NEAR(back.LonDeg, 178.70833333333333, 1e-9);
    }
}

TEST(Projection, PoleAndEquatorHomes) {
    // From the North Pole every point is due south along its meridian in map terms, at
    // (90 - lat) degrees of arc: 10 degrees is 1111.985 km.
    const AzimuthalEquidistant pole(GeoPoint{90, 0});
    const PlanePoint p = pole.Forward({80, 90});
    EXPECT_NEAR(std::hypot(p.XKm, p.YKm), 1112.0000555268205, 1e-6);
    EXPECT_NEAR(p.XKm, 1112.0000555268205, 1e-6);
    EXPECT_NEAR(p.YKm, 0.0, 1e-6);
    // The south pole from there is the antipode: defined, on the edge circle.
    const PlanePoint south = pole.Forward({-90, 0});
    EXPECT_TRUE(std::isfinite(south.XKm) && std::isfinite(south.YKm));
    EXPECT_NEAR(std::hypot(south.XKm, south.YKm), 20016.000999482767, 1e-6);

    const AzimuthalEquidistant equator(GeoPoint{0, 0});
    const PlanePoint west = equator.Forward({0, -90});
    EXPECT_NEAR(west.XKm, -10008.000499741383, 1e-6);
    EXPECT_NEAR(west.YKm, 0.0, 1e-6);
}

TEST(Projection, NonFiniteInputGivesHomeNotNaN) {
    const AzimuthalEquidistant projection(Home);
    const PlanePoint p = projection.Forward({std::nan(""), 3});
    EXPECT_EQ(p.XKm, 0.0);
    EXPECT_EQ(p.YKm, 0.0);
    const GeoPoint g = projection.Inverse({INFINITY, 0});
    EXPECT_EQ(g.LatDeg, Home.LatDeg);
    const AzimuthalEquidistant nowhere(GeoPoint{std::nan(""), 0});
    EXPECT_EQ(nowhere.Home().LatDeg, 0.0);
}

TEST(GreatCircle, PointsFollowThePathAtBoundedSteps) {
    // IO90IR to central Switzerland, 807.349 km: nine steps of at most 100 km.
    const GeoPoint to{47.1875, 8.375};
    const auto points = GreatCirclePoints(Home, to, 100);
    const double totalKm = 807.349238537190;
    ASSERT_EQ(points.size(), 10u);
    EXPECT_EQ(points.front().LatDeg, Home.LatDeg);
    EXPECT_EQ(points.back().LonDeg, to.LonDeg);
    for (std::size_t i = 1; i < points.size(); ++i) {
        // On the great circle: the distances via the point add up to the whole path.
        EXPECT_NEAR(DistanceKm(Home, points[i]) + DistanceKm(points[i], to), totalKm, 1e-6);
        EXPECT_LE(DistanceKm(points[i - 1], points[i]), 100.0 + 1e-9);
    }
}

TEST(GreatCircle, BoundedAndDefinedAtTheEdges) {
    // A step of a millimetre must not ask for millions of points.
    EXPECT_EQ(GreatCirclePoints(Home, {-33.8688, 151.2093}, 1e-6).size(),
              static_cast<std::size_t>(MaxGreatCirclePoints));
    // Same point, zero or nonsense steps: the two ends.
    EXPECT_EQ(GreatCirclePoints(Home, Home, 50).size(), 2u);
    EXPECT_EQ(GreatCirclePoints(Home, {0, 0}, 0).size(), 2u);
    EXPECT_EQ(GreatCirclePoints(Home, {0, 0}, std::nan("")).size(), 2u);
    EXPECT_TRUE(GreatCirclePoints(Home, {std::nan(""), 0}, 50).empty());
    // Antipodal ends: the path leaves due north and passes over the North Pole.
    const auto over = GreatCirclePoints({0, 0}, {0, 180}, 1000);
    // 20,016 km in steps of at most 1,000 km: 21 steps of 180/21 degrees.
    ASSERT_EQ(over.size(), 22u);
    EXPECT_NEAR(over[10].LatDeg, 85.714285714285714, 1e-9);
    EXPECT_NEAR(over[10].LonDeg, 0.0, 1e-9);
    EXPECT_NEAR(over[11].LatDeg, 85.714285714285714, 1e-9);
    EXPECT_NEAR(std::fabs(over[11].LonDeg), 180.0, 1e-9);
    for (const auto &p : over) {
        EXPECT_TRUE(std::isfinite(p.LatDeg) && std::isfinite(p.LonDeg));
    }
}

TEST(GreatCircle, DestinationWrapsLongitude) {
    // 1,000 km due east of 0 N 179.5 E crosses the date line: 8.99280 degrees of arc.
    const GeoPoint p = Destination({0, 179.5}, 90, 1000);
    EXPECT_NEAR(p.LatDeg, 0.0, 1e-12);
    EXPECT_NEAR(p.LonDeg, -171.50719469365276, 1e-6);
}
