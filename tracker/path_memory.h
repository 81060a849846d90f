// Signatures that show over time rather than in one spot: the same short 2 m path between the same
// squares for half an hour and more (a tropo duct), and one pair of calls spotted again and again
// within minutes on a meteor-scatter frequency (pings off meteor trails).
#pragma once

#include "tracker_events.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace ionvane::tracker {

/// A 2 m path shorter than this, km, can be a tropo duct: ducts over the North Sea, the Biscay
/// and the Mediterranean reach 1,000-1,200 km on most summer days, while single-hop 2 m Es needs
/// paths of 1,300 km and more (its MUF at shorter range is above what a cloud gives).
constexpr double TropoMaxDistanceKm = 1200;
/// The same path seen over at least this long, seconds, is a duct (30 minutes: a duct holds for
/// hours, while 2 m Es between the same two squares rarely lasts a quarter hour as the cloud moves
/// on) ...
constexpr std::int64_t TropoSignatureS = 30 * 60;
/// ... from at least this many spots ...
constexpr int TropoSignatureSpots = 3;
/// ... with no gap longer than this between them, seconds (a duct's FT8 reports come every few
/// minutes from the stations on it; a longer silence starts the count again).
constexpr std::int64_t TropoGapS = 15 * 60;

/// A run of pings: the same two calls spotted at least this many times on a meteor-scatter
/// frequency ...
constexpr int PingRunSpots = 3;
/// ... with no gap longer than this between them, seconds. Meteor-scatter skeds and random
/// contacts are reported ping by ping over minutes (each trail lasts a second or less, the next
/// comes at random some seconds to minutes later), while a cluster spotter reports an Es contact
/// once.
constexpr std::int64_t PingRunGapS = 5 * 60;

/// Most paths remembered; beyond it the one seen least recently is forgotten, so a flood cannot
/// grow memory without bound (a busy 2 m evening in Europe shows a few hundred short paths).
constexpr std::size_t MaxRememberedPaths = 4096;

/// Paths between two places (squares or calls, in either order) and when they were seen.
class PathMemory {
  public:
    /// Notes a sighting of the path `a`-`b` at `time` and returns how long, seconds, it has now
    /// been seen without a gap longer than `gapS`, and how many times.
    struct Run {
        std::int64_t SpanS = 0;
        int Spots = 0;
    };
    Run Note(UnixSeconds time, std::string_view a, std::string_view b, std::int64_t gapS);

  private:
    struct Seen {
        UnixSeconds First = 0;
        UnixSeconds Last = 0;
        int Spots = 0;
    };
    std::map<std::string, Seen> Paths;
};

} // namespace ionvane::tracker
