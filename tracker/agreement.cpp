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

// The agreed figure of a ranking whose spots `spotAt` gives by their numbers.
template <typename SpotAt> Agreed Resolve(const ClaimRanking &top, SpotAt spotAt) {
    const std::size_t held = std::min(top.Held, AgreementCandidates);
    if (held == 0) {
        return {};
    }
    Agreed best;
    for (std::size_t i = 0; i < held; ++i) {
        const RecentSpots::Spot &first = spotAt(top.Refs[i]);
        // The best partner of i is the highest independent claim other than its own.
        for (std::size_t j = 0; j < held; ++j) {
            if (j == i || !Independent(first, spotAt(top.Refs[j]))) {
                continue;
            }
            const double value = std::min(top.Claims[i], top.Claims[j] / AgreementShare);
            if (best.Spot == nullptr || value > best.ValueMHz) {
                best = {&first, value, top.Refs[i]};
            }
            break;
        }
    }
    if (best.Spot == nullptr) {
        return {&spotAt(top.Refs[held - 1]), top.Claims[held - 1], top.Refs[held - 1]};
    }
    return best;
}

// The agreed figure of a ranking `recent` keeps.
Agreed Resolve(const RecentSpots &recent, const ClaimRanking &top) {
    return Resolve(top, [&recent](std::uint64_t seq) -> const RecentSpots::Spot & {
        return recent.BySeq(seq);
    });
}

} // namespace

Agreed AgreeOn(const std::deque<RecentSpots::Spot> &spots, Figure figure, spot::BandSet bands) {
    ClaimRanking top;
    for (std::size_t i = 0; i < spots.size(); ++i) {
        if ((bands & spot::BandBit(spots[i].SpotBand)) != 0) {
            top.Offer(i, ClaimOf(spots[i], figure));
        }
    }
    return Resolve(top, [&spots](std::uint64_t i) -> const RecentSpots::Spot & {
        return spots[static_cast<std::size_t>(i)];
    });
}

AgreedFigures AgreeOnBoth(const RecentSpots &recent) {
    return {Resolve(recent, recent.PathMufClaims()), AgreeOnCriticalFreq(recent, EveryBand)};
}

Agreed AgreeOnCriticalFreq(const RecentSpots &recent, spot::BandSet bands) {
    return Resolve(recent, recent.CriticalFreqClaims(bands));
}

} // namespace ionvane::tracker
