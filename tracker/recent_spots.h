// The spots of one cloud's recent stretch, with their summaries kept up to date as spots come and
// go: each added or dropped spot costs a constant time, however many the stretch holds, so a busy
// feed with hundreds of spots a minute in one cloud stays cheap.
#pragma once

#include "spot/band.h"

#include <array>
#include <cstdint>
#include <deque>
#include <optional>

namespace ionvane::tracker {

/// Half-life of a spot's weight in a cloud's position, seconds. A spot 5 minutes old counts half
/// as much as a new one, so the position follows a moving cloud (at 100 km/h it moves about 8 km
/// in that time) while still averaging the scatter of path centres; the oldest spot of a 15-minute
/// stretch still counts one eighth. Weights relative to the newest spot never change with the
/// clock, so the position changes only when a spot joins or leaves.
constexpr std::int64_t WeightHalfLifeS = 5 * 60;

/// The reports of highest claim compared for agreement (see agreement.h). Pairs among the highest
/// 16 always hold the best agreed figure unless a dozen and more of them share one station; kept
/// as spots come and go, they cost a cloud's figures no pass over its spots.
constexpr std::size_t AgreementCandidates = 16;

/// The highest claims on one figure, highest first, the earlier offered of equals first, each
/// with the number its spot is known by: always the first Held of all the spots offered and not
/// removed, in that order. It holds twice the candidates compared, so that spots leaving it cost a
/// count of them again only once in AgreementCandidates + 1 departures.
struct ClaimRanking {
    static constexpr std::size_t Capacity = 2 * AgreementCandidates;
    std::array<std::uint64_t, Capacity> Refs{};
    std::array<double, Capacity> Claims{};
    std::size_t Held = 0;
    bool Partial = false; ///< some spot offered and not removed is not held

    /// Offers a spot newer than all offered before; true when it is held.
    bool Offer(std::uint64_t ref, double claim);
    /// Removes a spot; true when it was held.
    bool Remove(std::uint64_t ref);
    /// Too few held to compare AgreementCandidates while others are left out: to count again.
    [[nodiscard]] bool Short() const { return Partial && Held < AgreementCandidates; }
};

class RecentSpots {
  public:
    struct Spot {
        std::int64_t Time;
        double X, Y, Z; ///< the path centre as a unit vector
        double CriticalFreqMHz;
        double FreqMHz;
        spot::Band SpotBand;
        double PathMufMHz; ///< the spotted path's MUF: with FreqMHz, the frequency of traffic
        /// The share of its figures the spot can claim alone (below 1 for a four-character square
        /// at an end: see ClaimShare).
        double ClaimShare = 1;
        std::uint64_t FromStation = 0; ///< the stations at its ends (see StationKey)
        std::uint64_t ToStation = 0;
    };

    /// A straight-line fit of the centres over time.
    struct Fit {
        std::array<double, 3> VelocityPerHour; ///< rate of change of the centre's unit vector
        double SpeedErrorPerHour;              ///< standard error of the speed, same unit
        std::array<double, 3> Mean;            ///< the mean of the centres' unit vectors ...
        std::int64_t MeanTime;                 ///< ... on the line at this time, seconds
    };

    /// Adds a spot in time order. A spot no earlier than the newest is appended in constant time;
    /// an earlier one (a report uploaded late) goes after the spots of its own and earlier times,
    /// and the summaries are counted again from the spots held, in time order, so they come out as
    /// if the spots had come in that order.
    void Push(const Spot &spot);
    /// Drops the oldest spot.
    void PopFront();
    /// Takes in every spot of `other`, in time order among its own, and keeps the newest `most`;
    /// the summaries are counted again, as for a late spot.
    void MergeFrom(const RecentSpots &other, std::size_t most);

    [[nodiscard]] bool Empty() const { return Spots.empty(); }
    [[nodiscard]] std::size_t Size() const { return Spots.size(); }
    [[nodiscard]] const Spot &Oldest() const { return Spots.front(); }
    [[nodiscard]] const Spot &Newest() const { return Spots.back(); }

    /// The recency-weighted sum of the centres (a vector along the mean position).
    [[nodiscard]] std::array<double, 3> WeightedCentre() const { return {Sx, Sy, Sz}; }
    [[nodiscard]] double HighestCriticalFreqMHz() const;
    [[nodiscard]] double HighestFreqMHz() const { return Best().FreqMHz; }
    /// The spot of the highest frequency, the newest of equals.
    [[nodiscard]] const Spot &Best() const;
    [[nodiscard]] spot::BandSet Bands() const;
    /// Spots held on `band`.
    [[nodiscard]] int SpotsOn(spot::Band band) const { return BandCounts[spot::BandIndex(band)]; }
    /// Every spot held, oldest first.
    [[nodiscard]] const std::deque<Spot> &All() const { return Spots; }
    /// The least-squares fit of the centres' unit vectors against time, with the standard error of
    /// its speed from the scatter about the line (pooled over the two directions of the ground);
    /// none below three spots or two distinct times.
    [[nodiscard]] std::optional<Fit> CentreFit() const;
    /// The spots of highest path MUF claims and those of highest critical frequency claims among
    /// the spots on `bands` (the figure times the spot's ClaimShare), each spot named by its
    /// sequence number (see BySeq): as a ranking offered every such spot in time order gives.
    [[nodiscard]] const ClaimRanking &PathMufClaims() const { return MufClaims; }
    [[nodiscard]] ClaimRanking CriticalFreqClaims(spot::BandSet bands) const;
    /// Changes whenever a ranking changes, so that figures agreed from them can be kept.
    [[nodiscard]] std::uint64_t RankingVersion() const { return RankingChanges; }
    /// The held spot of sequence number `seq`: numbers run on from the oldest spot held.
    [[nodiscard]] const Spot &BySeq(std::uint64_t seq) const {
        return Spots[static_cast<std::size_t>(seq - FrontSeq)];
    }
    /// The same fit without the newest spot: the fit before it came, whatever order the spots
    /// came in.
    [[nodiscard]] std::optional<Fit> CentreFitBeforeNewest() const;

  private:
    void Add(const Spot &spot, double sign);

    void Rebuild(std::int64_t reference);
    void Follow(std::uint64_t seq);
    void FollowAll();
    void RankClaims(std::uint64_t seq);
    void RankAllClaims();

    std::deque<Spot> Spots;
    std::uint64_t FrontSeq = 0;          ///< sequence number of Spots.front()
    std::deque<std::uint64_t> CritOrder; ///< decreasing critical frequency: the front is the max
    std::deque<std::uint64_t> FreqOrder; ///< decreasing frequency, newest of equals kept
    ClaimRanking MufClaims;              ///< highest path MUF claims
    /// highest critical frequency claims of each band, in BandIndex order
    std::array<ClaimRanking, spot::BandCount> CritClaims;
    std::uint64_t RankingChanges = 0;
    std::array<int, spot::BandCount> BandCounts{};
    std::int64_t Reference = 0; ///< time the weights and the fit are counted from
    double Sx = 0, Sy = 0, Sz = 0;
    double N = 0, St = 0, Stt = 0, Svv = 0;
    std::array<double, 3> Sv{};
    std::array<double, 3> Stv{};
};

} // namespace ionvane::tracker
