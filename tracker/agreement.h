// A cloud's figures from agreement: the critical frequency and the frequency of traffic that drive
// the verdicts are ones at least two independent reports support, never the single highest, and a
// report to a four-character square claims only what the square's uncertainty leaves it.
#pragma once

#include "recent_spots.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string_view>

namespace ionvane::tracker {

/// A report supports a figure when its own claim reaches this share of it (5% below: an Es
/// cloud's critical frequency rises and falls by that much within minutes, the same margin a
/// marginal band is judged by).
constexpr double AgreementShare = 0.95;
/// Height of the Es layer in the uncertainty of a coarse square, km (the layer height the
/// calculation assumes by default).
constexpr double CoarseLayerHeightKm = 110;
/// A four-character square spans 1 deg of latitude by 2 deg of longitude (about 110 x 220 km at
/// mid latitudes); the spot's end is placed at its centre, so the true end lies up to half the
/// square's diagonal away.
constexpr double SquareLatSpanDeg = 1;
constexpr double SquareLonSpanDeg = 2;

/// A station named by a spot: its call and locator, or the locator alone when the spot names no
/// call. Two reports are independent when they name no station in common.
std::uint64_t StationKey(std::string_view call, std::string_view locator);

/// The share of its critical frequency a spot of `distanceKm` can claim when `coarseEnds` of its
/// ends (0 to 2) are four-character squares around latitude `latDeg`: the ratio of its secant of
/// incidence to that of the longest path the squares allow (flat layer at CoarseLayerHeightKm).
/// 1 for no coarse end; smaller for a short path than for a long one. `placedKm`: the summed
/// uncertainty of ends placed from their calls (grid memory, country file), which may lie that much
/// farther apart in the same way.
double ClaimShare(double distanceKm, int coarseEnds, double latDeg, double placedKm = 0);

/// Every band, as a set.
constexpr auto EveryBand = static_cast<spot::BandSet>(~0U);

/// The figure of a spot that agreement is sought on: its path MUF (the frequency of traffic through
/// a cloud grows in proportion to it) or its critical frequency.
enum class Figure { PathMuf, CriticalFreq };

/// The figure the spots agree on: the highest claim (the figure times the claim share) that a
/// second report, independent of the first, supports within AgreementShare; with no independent
/// pair among the highest, the lowest claim among them. Zero for no spots.
struct Agreed {
    const RecentSpots::Spot *Spot = nullptr; ///< the report whose claim sets it
    double ValueMHz = 0;                     ///< the agreed claim
    std::uint64_t Ref = 0; ///< the report's number in the ranking (RecentSpots::BySeq)
};
/// Only the spots on `bands` count.
Agreed AgreeOn(const std::deque<RecentSpots::Spot> &spots, Figure figure,
               spot::BandSet bands = EveryBand);

/// Both figures of every spot held, as AgreeOn gives each, from the rankings `recent` keeps.
struct AgreedFigures {
    Agreed PathMuf;
    Agreed CriticalFreq;
};
AgreedFigures AgreeOnBoth(const RecentSpots &recent);
/// The critical frequency the spots on `bands` agree on, as AgreeOn gives it, from the rankings
/// `recent` keeps.
Agreed AgreeOnCriticalFreq(const RecentSpots &recent, spot::BandSet bands);

} // namespace ionvane::tracker
