#include "path_centre.h"

#include "earth.h"
#include "home_location.h"
#include "inverse_trig.h"
#include "locator.h"
#include "midpoint.h"

#include <cmath>

namespace ionvane::calc {

namespace {

bool AreAntipodal(const CalcState &state) {
    return std::fabs(state.Lat1 + state.Lat2) <= AntipodalToleranceDeg &&
           std::fabs(std::fabs(state.Lon1 - state.Lon2) - HalfTurnDeg) <= AntipodalToleranceDeg;
}

void FindCentre(CalcState &state) {
    const double pi = state.CalcPi;
    GreatCircleMidPoint(state, state.Lat1 * pi / HalfTurnDeg, state.Lon1 * pi / HalfTurnDeg,
                        state.Lat2 * pi / HalfTurnDeg, state.Lon2 * pi / HalfTurnDeg);
    state.CentreLoc = state.MidPointLoc;
    if (AreAntipodal(state)) {
        state.StatusCode = AntipodalStatus;
        return;
    }
    state.StatusCode = 0;
    CheckHomeLoc(state);
}

void FindOnwardPoint(CalcState &state) {
    const double pi = state.CalcPi;
    state.TowardsDeltaLon = 0;
    const NumberFormat anyFormat;
    state.Lat1Rad = state.HomeLat.NumericValue(anyFormat) * pi / HalfTurnDeg;
    state.Lon1Rad = state.HomeLon.NumericValue(anyFormat) * pi / HalfTurnDeg;
    state.Lat2Rad = state.MidLatRad;
    state.Lon2Rad = state.MidLonRad;
    const double homeLat = state.Lat1Rad;
    const double homeLon = state.Lon1Rad;
    const double centreLat = state.Lat2Rad;

    // Home minus centre, brought into [-pi, pi]; positive when the centre lies west of home.
    double delta = homeLon - state.MidLonRad;
    if (delta < -pi) {
        delta += 2 * pi;
    }
    if (delta > pi) {
        delta -= 2 * pi;
    }
    state.MidLonRad = delta;

    state.HomeArc = ArcCos(std::cos(centreLat) * std::cos(homeLat) * std::cos(delta) +
                           std::sin(centreLat) * std::sin(homeLat));
    const double bearingCos = (std::sin(centreLat) - std::cos(state.HomeArc) * std::sin(homeLat)) /
                              (std::sin(state.HomeArc) * std::cos(homeLat));
    if (std::sin(state.HomeArc) == 0 || !std::isfinite(bearingCos)) {
        // The centre is at home: there is no direction to go on in, so the point is home itself.
        state.TowardsLat = homeLat;
        state.TowardsLon = homeLon;
    } else {
        state.HomeBearing = ArcCos(bearingCos);
        const double onwardArc = 2 * state.HomeArc;
        state.TowardsLat =
            ArcSin(std::cos(state.HomeBearing) * std::cos(homeLat) * std::sin(onwardArc) +
                   std::cos(onwardArc) * std::sin(homeLat));
        const double k = (std::cos(onwardArc) - std::sin(state.TowardsLat) * std::sin(homeLat)) /
                         (std::cos(state.TowardsLat) * std::cos(homeLat));
        // A point at a pole has no longitude offset of its own.
        if (std::isfinite(k) && k != 1.0) {
            state.TowardsDeltaLon = -ArcCos(k);
        }
        if (delta > 0) {
            state.TowardsLon = homeLon + state.TowardsDeltaLon;
        } else if (delta < 0) {
            state.TowardsLon = homeLon - state.TowardsDeltaLon;
        } else {
            state.TowardsLon = homeLon;
        }
    }
    state.TowardsLat = state.TowardsLat * HalfTurnDeg / pi;
    state.TowardsLon = state.TowardsLon * HalfTurnDeg / pi;
    // Past the antimeridian the point must be named by its own longitude (176.97 W, not 183.03 E).
    if (state.TowardsLon > HalfTurnDeg) {
        state.TowardsLon -= 2 * HalfTurnDeg;
    } else if (state.TowardsLon <= -HalfTurnDeg) {
        state.TowardsLon += 2 * HalfTurnDeg;
    }
    state.TowardsLoc = EncodeOnwardLocator(state.TowardsLat, state.TowardsLon);
}

} // namespace

void PathCentre(CalcState &state, std::int16_t mode) {
    if (mode == 1) {
        FindCentre(state);
    } else if (mode == 2) {
        FindOnwardPoint(state);
    }
}

} // namespace ionvane::calc
