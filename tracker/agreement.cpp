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

double ClaimShare(double distanceKm, int coarseEnds, double latDeg, double placedKm) {
    if ((coarseEnds <= 0 && !(placedKm > 0)) || !(distanceKm > 0)) {
        return 1;
    }
    const double halfDiagonalKm =
        0.5 * std::hypot(SquareLatSpanDeg * KmPerDeg,
                         SquareLonSpanDeg * KmPerDeg * std::cos(latDeg * RadPerDeg));
    const double longestKm =
        distanceKm + std::max(coarseEnds, 0) * halfDiagonalKm + std::max(placedKm, 0.0);
    return SecantOf(distanceKm) / SecantOf(longestKm);
}

namespace {

// The highest claims of one figure, highest first, kept as spots pass by.
struct TopClaims {
    std::array<const RecentSpots::Spot *, AgreementCandidates> Top{};
    std::array<double, AgreementCandidates> Claims{};
    std::size_t Held = 0;

    void Offer(const RecentSpots::Spot &spot, double claim) {
        if (Held == AgreementCandidates && !(claim > Claims[Held - 1])) {
            return;
        }
        std::size_t at = std::min(Held, AgreementCandidates - 1);
        while (at > 0 && Claims[at - 1] < claim) {
            Claims[at] = Claims[at - 1];
            Top[at] = Top[at - 1];
            --at;
        }
        Claims[at] = claim;
        Top[at] = &spot;
        Held = std::min(Held + 1, AgreementCandidates);
    }

    [[nodiscard]] Agreed Resolve() const {
        if (Held == 0) {
            return {};
        }
        Agreed best;
        for (std::size_t i = 0; i < Held; ++i) {
            // The best partner of i is the highest independent claim other than its own.
            for (std::size_t j = 0; j < Held; ++j) {
                if (j == i || !Independent(*Top[i], *Top[j])) {
                    continue;
                }
                const double value = std::min(Claims[i], Claims[j] / AgreementShare);
                if (best.Spot == nullptr || value > best.ValueMHz) {
                    best = {Top[i], value};
                }
                break;
            }
        }
        if (best.Spot == nullptr) {
            return {Top[Held - 1], Claims[Held - 1]};
        }
        return best;
    }
};

} // namespace

Agreed AgreeOn(const std::deque<RecentSpots::Spot> &spots, Figure figure, spot::BandSet bands) {
    TopClaims top;
    for (const RecentSpots::Spot &spot : spots) {
        if ((bands & spot::BandBit(spot.SpotBand)) != 0) {
            top.Offer(spot, ClaimOf(spot, figure));
        }
    }
    return top.Resolve();
}

AgreedFigures AgreeOnBoth(const std::deque<RecentSpots::Spot> &spots) {
    TopClaims muf;
    TopClaims critical;
    for (const RecentSpots::Spot &spot : spots) {
        muf.Offer(spot, spot.PathMufMHz * spot.ClaimShare);
        critical.Offer(spot, spot.CriticalFreqMHz * spot.ClaimShare);
    }
    return {muf.Resolve(), critical.Resolve()};
}

} // namespace ionvane::tracker
