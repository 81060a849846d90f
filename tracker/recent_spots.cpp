#include "recent_spots.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace ionvane::tracker {

namespace {
// The sums are counted from a reference time on the full hour, and rebuilt from the spots held
// when a spot comes in a later hour: weights stay below 2^13 and times within an hour and a
// quarter, so the sums neither overflow nor lose digits to the spots that left.
constexpr std::int64_t ReferenceStepS = 3600;
constexpr double SecondsPerHour = 3600;

// The sums a fit of the centres against time is made from.
struct Sums {
    double N, St, Stt, Svv;
    std::array<double, 3> Sv, Stv;
};

std::int64_t HourOf(std::int64_t time) {
    return time - ((time % ReferenceStepS) + ReferenceStepS) % ReferenceStepS;
}
} // namespace

bool ClaimRanking::Offer(std::uint64_t ref, double claim) {
    const bool full = Held == Capacity;
    if (Held > 0 && (full || Partial) && !(claim > Claims[Held - 1])) {
        // Its place is after the last held, where left-out spots may come first.
        Partial = Partial || full;
        return false;
    }
    Partial = Partial || full;
    std::size_t at = full ? Capacity - 1 : Held;
    while (at > 0 && Claims[at - 1] < claim) {
        Claims[at] = Claims[at - 1];
        Refs[at] = Refs[at - 1];
        --at;
    }
    Claims[at] = claim;
    Refs[at] = ref;
    Held = std::min(Held + 1, Capacity);
    return true;
}

bool ClaimRanking::Remove(std::uint64_t ref) {
    const auto end = Refs.begin() + static_cast<std::ptrdiff_t>(Held);
    const auto found = std::find(Refs.begin(), end, ref);
    if (found == end) {
        return false;
    }
    const auto at = found - Refs.begin();
    std::copy(found + 1, end, found);
    std::copy(Claims.begin() + at + 1, Claims.begin() + static_cast<std::ptrdiff_t>(Held),
              Claims.begin() + at);
    --Held;
    return true;
}

void RecentSpots::Add(const Spot &spot, double sign) {
    const double age = static_cast<double>(spot.Time - Reference);
    const double weight = sign * std::exp2(age / static_cast<double>(WeightHalfLifeS));
    Sx += weight * spot.X;
    Sy += weight * spot.Y;
    Sz += weight * spot.Z;
    const double t = age / SecondsPerHour;
    N += sign;
    St += sign * t;
    Stt += sign * t * t;
    Svv += sign * (spot.X * spot.X + spot.Y * spot.Y + spot.Z * spot.Z);
    const std::array<double, 3> v{spot.X, spot.Y, spot.Z};
    for (std::size_t i = 0; i < 3; ++i) {
        Sv[i] += sign * v[i];
        Stv[i] += sign * t * v[i];
    }
}

void RecentSpots::Rebuild(std::int64_t reference) {
    Reference = reference;
    Sx = Sy = Sz = 0;
    N = St = Stt = Svv = 0;
    Sv = {};
    Stv = {};
    for (const Spot &spot : Spots) {
        Add(spot, 1);
    }
}

// Enters the held spot `seq`, the newest in the maxima's order, into both maxima queues and both
// claim rankings.
void RecentSpots::Follow(std::uint64_t seq) {
    const Spot &spot = BySeq(seq);
    RankClaims(seq);
    while (!CritOrder.empty() && BySeq(CritOrder.back()).CriticalFreqMHz <= spot.CriticalFreqMHz) {
        CritOrder.pop_back();
    }
    CritOrder.push_back(seq);
    while (!FreqOrder.empty() && BySeq(FreqOrder.back()).FreqMHz <= spot.FreqMHz) {
        FreqOrder.pop_back();
    }
    FreqOrder.push_back(seq);
}

void RecentSpots::RankClaims(std::uint64_t seq) {
    const Spot &spot = BySeq(seq);
    const bool muf = MufClaims.Offer(seq, spot.PathMufMHz * spot.ClaimShare);
    const bool crit = CritClaims[spot::BandIndex(spot.SpotBand)].Offer(seq, spot.CriticalFreqMHz *
                                                                                spot.ClaimShare);
    RankingChanges += muf || crit ? 1 : 0;
}

void RecentSpots::RankAllClaims() {
    MufClaims = {};
    CritClaims = {};
    ++RankingChanges;
    for (std::uint64_t seq = FrontSeq; seq < FrontSeq + Spots.size(); ++seq) {
        RankClaims(seq);
    }
}

ClaimRanking RecentSpots::CriticalFreqClaims(spot::BandSet bands) const {
    // Each band's ranking is in the order of a ranking of all (higher claim first, then the
    // earlier spot), and the highest of all are among the highest of their bands: merging the
    // bands' rankings in that order gives the ranking of all.
    std::array<std::size_t, spot::BandCount> next{};
    ClaimRanking merged;
    while (merged.Held < AgreementCandidates) {
        const ClaimRanking *from = nullptr;
        std::size_t fromBand = 0;
        for (std::size_t band = 0; band < spot::BandCount; ++band) {
            const ClaimRanking &ranking = CritClaims[band];
            if ((bands & spot::BandBit(spot::AllBands[band])) == 0 || next[band] == ranking.Held) {
                continue;
            }
            const double claim = ranking.Claims[next[band]];
            if (from == nullptr || claim > from->Claims[next[fromBand]] ||
                (claim == from->Claims[next[fromBand]] &&
                 ranking.Refs[next[band]] < from->Refs[next[fromBand]])) {
                from = &ranking;
                fromBand = band;
            }
        }
        if (from == nullptr) {
            break;
        }
        merged.Refs[merged.Held] = from->Refs[next[fromBand]];
        merged.Claims[merged.Held] = from->Claims[next[fromBand]];
        ++merged.Held;
        ++next[fromBand];
    }
    return merged;
}

// Every held spot entered again, in time order, into emptied maxima queues and rankings.
void RecentSpots::FollowAll() {
    CritOrder.clear();
    FreqOrder.clear();
    MufClaims = {};
    CritClaims = {};
    ++RankingChanges;
    for (std::uint64_t seq = FrontSeq; seq < FrontSeq + Spots.size(); ++seq) {
        Follow(seq);
    }
}

void RecentSpots::Push(const Spot &spot) {
    ++BandCounts[spot::BandIndex(spot.SpotBand)];
    if (!Spots.empty() && spot.Time < Spots.back().Time) {
        // The maxima queues name spots by place, and every place from the insert on moves, so both
        // queues and the sums are counted again, in time order: the same queues and, while no spot
        // has left since the last rebuild, the same sums to the last bit as in-order arrival gives.
        // The reference stays the hour of the newest spot, as in-order arrival keeps it.
        const auto at =
            std::upper_bound(Spots.begin(), Spots.end(), spot.Time,
                             [](std::int64_t time, const Spot &held) { return time < held.Time; });
        Spots.insert(at, spot);
        FollowAll();
        Rebuild(Reference);
        return;
    }
    Spots.push_back(spot);
    Follow(FrontSeq + Spots.size() - 1);
    if (Spots.size() == 1 || HourOf(spot.Time) != Reference) {
        Rebuild(HourOf(spot.Time));
    } else {
        Add(spot, 1);
    }
}

void RecentSpots::MergeFrom(const RecentSpots &other, std::size_t most) {
    std::deque<Spot> merged;
    std::merge(Spots.begin(), Spots.end(), other.Spots.begin(), other.Spots.end(),
               std::back_inserter(merged),
               [](const Spot &a, const Spot &b) { return a.Time < b.Time; });
    while (merged.size() > most) {
        merged.pop_front();
    }
    Spots = std::move(merged);
    BandCounts = {};
    for (const Spot &spot : Spots) {
        ++BandCounts[spot::BandIndex(spot.SpotBand)];
    }
    FollowAll();
    Rebuild(Spots.empty() ? Reference : HourOf(Spots.back().Time));
}

void RecentSpots::PopFront() {
    const Spot &oldest = Spots.front();
    if (CritOrder.front() == FrontSeq) {
        CritOrder.pop_front();
    }
    if (FreqOrder.front() == FrontSeq) {
        FreqOrder.pop_front();
    }
    --BandCounts[spot::BandIndex(oldest.SpotBand)];
    Add(oldest, -1);
    // A ranking that held the oldest spot still holds the first of the others, unless too few.
    ClaimRanking &crit = CritClaims[spot::BandIndex(oldest.SpotBand)];
    const bool muf = MufClaims.Remove(FrontSeq);
    const bool critical = crit.Remove(FrontSeq);
    RankingChanges += muf || critical ? 1 : 0;
    Spots.pop_front();
    ++FrontSeq;
    if (MufClaims.Short() || crit.Short()) {
        RankAllClaims();
    }
    if (Spots.empty()) {
        Rebuild(Reference);
    }
}

double RecentSpots::HighestCriticalFreqMHz() const {
    return BySeq(CritOrder.front()).CriticalFreqMHz;
}

const RecentSpots::Spot &RecentSpots::Best() const {
    return BySeq(FreqOrder.front());
}

spot::BandSet RecentSpots::Bands() const {
    spot::BandSet bands = 0;
    for (const spot::Band band : spot::AllBands) {
        if (BandCounts[spot::BandIndex(band)] > 0) {
            bands = static_cast<spot::BandSet>(bands | spot::BandBit(band));
        }
    }
    return bands;
}

namespace {

std::optional<RecentSpots::Fit> FitOf(const Sums &sums, std::int64_t reference) {
    const auto [N, St, Stt, Svv, Sv, Stv] = sums;
    using Fit = RecentSpots::Fit;
    // Ordinary least squares of each coordinate on time: slope = Sxy / Sxx about the means, and
    // the residual sum of squares is the spread of the points less what the line explains.
    // Dividing by 2(n - 2): two coordinates of the ground plane, each fit spending two degrees
    // of freedom (the third, along the vertical, holds no scatter).
    constexpr double GroundAxes = 2;
    constexpr double FitParameters = 2;
    if (!(N > FitParameters)) {
        return std::nullopt;
    }
    const double spread = N * Stt - St * St;
    if (!(spread > 0)) {
        return std::nullopt;
    }
    const double timeSpread = spread / N;
    Fit fit{};
    double meanSquare = 0;
    double slopeSquare = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        fit.VelocityPerHour[i] = (N * Stv[i] - St * Sv[i]) / spread;
        meanSquare += Sv[i] * Sv[i];
        slopeSquare += fit.VelocityPerHour[i] * fit.VelocityPerHour[i];
    }
    const double residual = std::max(0.0, Svv - meanSquare / N - slopeSquare * timeSpread);
    const double variance = residual / (GroundAxes * (N - FitParameters));
    fit.SpeedErrorPerHour = std::sqrt(variance / timeSpread);
    for (std::size_t i = 0; i < 3; ++i) {
        fit.Mean[i] = Sv[i] / N;
    }
    fit.MeanTime = reference + std::llround(St / N * SecondsPerHour);
    return fit;
}

} // namespace

std::optional<RecentSpots::Fit> RecentSpots::CentreFit() const {
    return FitOf({N, St, Stt, Svv, Sv, Stv}, Reference);
}

std::optional<RecentSpots::Fit> RecentSpots::CentreFitBeforeNewest() const {
    if (Spots.empty()) {
        return std::nullopt;
    }
    const Spot &newest = Spots.back();
    const double t = static_cast<double>(newest.Time - Reference) / SecondsPerHour;
    Sums sums{N - 1,       St - t,
              Stt - t * t, Svv - (newest.X * newest.X + newest.Y * newest.Y + newest.Z * newest.Z),
              Sv,          Stv};
    const std::array<double, 3> v{newest.X, newest.Y, newest.Z};
    for (std::size_t i = 0; i < 3; ++i) {
        sums.Sv[i] -= v[i];
        sums.Stv[i] -= t * v[i];
    }
    return FitOf(sums, Reference);
}

} // namespace ionvane::tracker
