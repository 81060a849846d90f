// Double-hop evidence: a 10 m or 6 m spot too long for one Es hop but within two is two hops
// with two reflection points on the great circle, each a quarter of the way in from its end.
// Such spots are gathered by band and by the far region they reach, and listed; they support a
// cloud their reflection point lies in, and start none.
#pragma once

#include "tracker_events.h"

#include "calc/earth.h"

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ionvane::tracker {

/// A 10 m or 6 m spot of this length is two hops, km: from about the longest single hop up to
/// twice it (one hop reaches about 2,300 to 2,400 km at a layer height of 110 km).
constexpr double DoubleHopMinKm = 2300;
constexpr double DoubleHopMaxKm = 4600;
/// Double-hop evidence is dropped this long after its last spot, seconds (as a cloud is
/// forgotten, GoneAfterS).
constexpr UnixSeconds DoubleHopKeptS = 60 * 60;

/// Whether a spot on `band` over `distanceKm` is a double hop.
bool IsDoubleHop(std::optional<spot::Band> band, double distanceKm);

/// The two reflection points of a double hop from `from` to `to`: the points a quarter and three
/// quarters of the way along the great circle, from `from` first. Coincident ends give the common
/// point twice.
std::pair<calc::Position, calc::Position> HopPoints(const calc::Position &from,
                                                    const calc::Position &to);

/// The point half-way along the great circle from `a` to `b`.
calc::Position MiddleOf(const calc::Position &a, const calc::Position &b);

/// The region a far end lies in, as the double-hop line names it: "the Caribbean", "North
/// America", "South America", "the Atlantic islands", "North Africa", "the Middle East",
/// "Africa", "Europe", "Asia", "Oceania", or "far away".
std::string RegionName(const calc::Position &point);

/// Great-circle distance on the calculation's sphere, km.
double DistanceKm(const calc::Position &a, const calc::Position &b);

class DoubleHopWatch {
  public:
    /// A double-hop spot at `time` on `band` from `nearEnd` (the end nearer home) to `farEnd`.
    void Add(UnixSeconds time, spot::Band band, const calc::Position &nearEnd,
             const calc::Position &farEnd);
    /// Drops what has had no spot for DoubleHopKeptS by `now`; true when anything went.
    bool AgeTo(UnixSeconds now);
    /// What is heard, by band and region.
    [[nodiscard]] std::vector<DoubleHopEvidence> Listing() const;

  private:
    std::map<std::pair<spot::Band, std::string>, DoubleHopEvidence> Heard;
};

} // namespace ionvane::tracker
