#include "path.h"

#include "earth.h"
#include "locator.h"

#include <algorithm>
#include <cmath>

namespace ionvane::calc {

namespace {
const std::string PassMe = "me";
const std::string PassHim = "him";

bool IsPass(const CalcState &state, const std::string &pass) {
    return state.WhichEnd.DisplayText(NumberFormat{}) == pass;
}
} // namespace

void CalcPath(CalcState &state, const NumberFormat &format) {
    state.WorkLoc1 = state.FromLoc;
    state.WorkLoc2 = state.ToLoc;
    state.PathPi = std::atan(1.0) * 4;
    DecodeLocators(state);
    if (state.WorkLoc1 == state.WorkLoc2) {
        SameLocResults(state);
        return;
    }
    state.WhichEnd = PassMe;
    CalcDistBearing(state, format);
    state.WhichEnd = PassHim;
    CalcDistBearing(state, format);
}

void CalcDistBearing(CalcState &state, const NumberFormat &format) {
    const double pi = state.PathPi;
    if (IsPass(state, PassHim)) {
        state.SwapTemp = state.WorkLoc1;
        state.WorkLoc1 = state.WorkLoc2;
        state.WorkLoc2 = state.SwapTemp.DisplayText(format);
        DecodeLocators(state);
    }
    state.Lat1Rad = pi * state.Lat1 / HalfTurnDeg;
    state.Lon1Rad = state.Lon1 * pi / HalfTurnDeg;
    state.Lat2Rad = state.Lat2 * pi / HalfTurnDeg;
    state.Lon2Rad = state.Lon2 * pi / HalfTurnDeg;

    double c = std::cos(state.Lon1Rad - state.Lon2Rad) * std::cos(state.Lat1Rad) *
                   std::cos(state.Lat2Rad) +
               std::sin(state.Lat2Rad) * std::sin(state.Lat1Rad);
    // At exact antipodes c can round below -1, and 1 - c*c would turn negative.
    c = std::clamp(c, -1.0, 1.0);
    state.TrigDenom = c;
    state.ArcRad = std::atan(std::fabs(std::sqrt(1 - c * c) / c));
    if (c < 0) {
        state.ArcRad = pi - state.ArcRad;
    }
    const double distanceKm = state.ArcRad * EarthRadiusKm;
    state.DistanceKm = distanceKm;

    const double n =
        std::sin(state.Lon2Rad - state.Lon1Rad) * std::cos(state.Lat2Rad) * std::cos(state.Lat1Rad);
    state.BearingNum = n;
    const double d = std::sin(state.Lat2Rad) - std::cos(state.ArcRad) * std::sin(state.Lat1Rad);
    state.TrigDenom = d;
    double bearing = std::atan(std::fabs(n / d));
    if (std::isnan(bearing)) {
        // 0/0 only for antipodal ends, which have no bearing and are rejected later.
        bearing = 0.0;
    }
    if (d < 0) {
        bearing = pi - bearing;
    }
    if (n < 0) {
        bearing = -bearing;
    }
    if (bearing < 0) {
        bearing = bearing + 2 * pi;
    }
    state.BearingRad = bearing;
    const double bearingDeg = bearing * HalfTurnDeg / pi + BearingOffsetDeg;
    state.BearingDeg = bearingDeg;

    if (IsPass(state, PassMe)) {
        state.BearingText = Variant::FormattedNumber(bearingDeg, PathTextDecimals, format);
        state.DistanceText = Variant::FormattedNumber(distanceKm, PathTextDecimals, format);
    }
}

void SameLocResults(CalcState &state) {
    state.BearingText = std::int16_t{0};
    state.DistanceText = std::int16_t{1};
}

} // namespace ionvane::calc
