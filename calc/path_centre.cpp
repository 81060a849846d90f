#include "path_centre.h"

#include "inverse_trig.h"
#include "locator.h"

#include <cmath>

namespace ionvane::calc {

namespace {

bool AreAntipodal(const Position &a, const Position &b) {
    return std::fabs(a.LatDeg + b.LatDeg) <= AntipodalToleranceDeg &&
           std::fabs(std::fabs(a.LonDeg - b.LonDeg) - HalfTurnDeg) <= AntipodalToleranceDeg;
}

} // namespace

std::optional<MidPoint> PathCentre(const Position &from, const Position &to) {
    if (AreAntipodal(from, to)) {
        return std::nullopt;
    }
    return GreatCircleMidPoint(from.LatDeg * Pi / HalfTurnDeg, from.LonDeg * Pi / HalfTurnDeg,
                               to.LatDeg * Pi / HalfTurnDeg, to.LonDeg * Pi / HalfTurnDeg);
}

OnwardPointResult OnwardPoint(const Position &home, const MidPoint &centre) {
    const double homeLat = home.LatDeg * Pi / HalfTurnDeg;
    const double homeLon = home.LonDeg * Pi / HalfTurnDeg;
    const double centreLat = centre.LatRad;

    // Home minus centre, brought into [-pi, pi]; positive when the centre lies west of home.
    double delta = homeLon - centre.LonRad;
    if (delta < -Pi) {
        delta += 2 * Pi;
    }
    if (delta > Pi) {
        delta -= 2 * Pi;
    }

    OnwardPointResult onward;
    onward.HomeArcRad = ArcCos(std::cos(centreLat) * std::cos(homeLat) * std::cos(delta) +
                               std::sin(centreLat) * std::sin(homeLat));
    const double homeArc = onward.HomeArcRad;
    const double bearingCos = (std::sin(centreLat) - std::cos(homeArc) * std::sin(homeLat)) /
                              (std::sin(homeArc) * std::cos(homeLat));
    double towardsLat = homeLat;
    double towardsLon = homeLon;
    // A centre at home (OR46UI with both ends there) leaves no direction to go on in: 0 / 0.
    if (std::isfinite(bearingCos)) {
        const double homeBearing = ArcCos(bearingCos);
        const double onwardArc = 2 * homeArc;
        towardsLat = ArcSin(std::cos(homeBearing) * std::cos(homeLat) * std::sin(onwardArc) +
                            std::cos(onwardArc) * std::sin(homeLat));
        // The cosine of the longitude offset between home and the onward point; cos(towardsLat)
        // never reaches 0, since pi/2 is not a double.
        const double k = (std::cos(onwardArc) - std::sin(towardsLat) * std::sin(homeLat)) /
                         (std::cos(towardsLat) * std::cos(homeLat));
        const double towardsDeltaLon = -ArcCos(k);
        if (delta > 0) {
            towardsLon = homeLon + towardsDeltaLon;
        } else if (delta < 0) {
            towardsLon = homeLon - towardsDeltaLon;
        }
    }
    onward.Towards.LatDeg = towardsLat * HalfTurnDeg / Pi;
    onward.Towards.LonDeg = towardsLon * HalfTurnDeg / Pi;
    // Past the antimeridian the point must be named by its own longitude (176.97 W, not 183.03 E).
    if (onward.Towards.LonDeg > HalfTurnDeg) {
        onward.Towards.LonDeg -= 2 * HalfTurnDeg;
    } else if (onward.Towards.LonDeg <= -HalfTurnDeg) {
        onward.Towards.LonDeg += 2 * HalfTurnDeg;
    }
    onward.TowardsLoc = EncodeOnwardLocator(onward.Towards.LatDeg, onward.Towards.LonDeg);
    return onward;
}

} // namespace ionvane::calc
