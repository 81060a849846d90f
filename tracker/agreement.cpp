#include "agreement.h"

#include "calc/earth.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <numbers>
#include <string>

namespace ionvane::tracker {

namespace {

constexpr double RadPerDeg = std::numbers::pi / calc::HalfTurnDeg;
constexpr double KmPerDeg = calc::EarthRadiusKm * RadPerDeg;

// Secant of incidence on a flat layer for a path of `distanceKm`.
double SecantOf(double distanceKm) {
    const double halfOverHeight = distanceKm / (2 * CoarseLayerHeightKm);
    return std::sqrt(1 + halfOverHeight * halfOverHeight);
}

double ClaimOf(const RecentSpots::Spot &spot, Figure figure) {
    const double value = figure == Figure::PathMuf ? spot.PathMufMHz : spot.CriticalFreqMHz;
    return value * spot.ClaimShare;
}

bool Independent(const RecentSpots::Spot &a, const RecentSpots::Spot &b) {
    return a.FromStation != b.FromStation && a.FromStation != b.ToStation &&
           a.ToStation != b.FromStation && a.ToStation != b.ToStation;
}

} // namespace

std::uint64_t StationKey(std::string_view call, std::string_view locator) {
    // Case folded by the reader already; a separator no call or locator holds keeps "AB"+"C"
    // apart from "A"+"BC".
    std::string key(call);
    key += '/';
    key += locator;
    return std::hash<std::string>{}(key);
}

double ClaimShare(double distanceKm, int coarseEnds, double latDeg) {
    if (coarseEnds <= 0 || !(distanceKm > 0)) {
        return 1;
    }
    const double halfDiagonalKm =
        0.5 * std::hypot(SquareLatSpanDeg * KmPerDeg,
                         SquareLonSpanDeg * KmPerDeg * std::cos(latDeg * RadPerDeg));
    const double longestKm = distanceKm + coarseEnds * halfDiagonalKm;
    return SecantOf(distanceKm) / SecantOf(longestKm);
}

Agreed AgreeOn(const std::deque<RecentSpots::Spot> &spots, Figure figure, BandSet bands) {
    // The highest claims, highest first, in one pass.
    std::array<const RecentSpots::Spot *, AgreementCandidates> top{};
    std::array<double, AgreementCandidates> claims{};
    std::size_t held = 0;
    for (const RecentSpots::Spot &spot : spots) {
        if ((bands & BandBit(spot.SpotBand)) == 0) {
            continue;
        }
        const double claim = ClaimOf(spot, figure);
        if (held == AgreementCandidates && !(claim > claims[held - 1])) {
            continue;
        }
        std::size_t at = std::min(held, AgreementCandidates - 1);
        while (at > 0 && claims[at - 1] < claim) {
            claims[at] = claims[at - 1];
            top[at] = top[at - 1];
            --at;
        }
        claims[at] = claim;
        top[at] = &spot;
        held = std::min(held + 1, AgreementCandidates);
    }
    if (held == 0) {
        return {};
    }
    Agreed best;
    for (std::size_t i = 0; i < held; ++i) {
        // The best partner of i is the highest independent claim other than its own.
        for (std::size_t j = 0; j < held; ++j) {
            if (j == i || !Independent(*top[i], *top[j])) {
                continue;
            }
            const double value = std::min(claims[i], claims[j] / AgreementShare);
            if (best.Spot == nullptr || value > best.ValueMHz) {
                best = {top[i], value};
            }
            break;
        }
    }
    if (best.Spot == nullptr) {
        return {top[held - 1], claims[held - 1]};
    }
    return best;
}

} // namespace ionvane::tracker
