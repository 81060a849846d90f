// The spots counted in the last hour, so that a spot the node sends again (in a SH/DX listing at
// the next login, after a reconnect, or once more from the history at a restart) is counted once.
#pragma once

#include "tracker_events.h"

#include <compare>
#include <cstdint>
#include <deque>
#include <set>
#include <string>

namespace ionvane::tracker {

/// A spot counted is remembered this long after it came, seconds (60 minutes: nodes list the
/// spots of the last hour or so at a login, and the history restores the last hour).
constexpr UnixSeconds CountedOnceS = 60 * 60;

/// Most spots remembered: 300 spots a minute (a busy feed in a big opening) for an hour. Beyond it
/// the oldest are forgotten, so a flood cannot grow memory without bound.
constexpr std::size_t MaxCountedSpots = 300 * 60;

/// What makes two sightings the same spot: spotter and DX call (upper case), the frequency in
/// steps of 0.1 kHz and the minute of the spot's own time.
struct SpotKey {
    std::string Spotter;
    std::string DxCall;
    std::int64_t FreqTenthKHz = 0;
    std::int64_t Minute = 0; ///< minutes since 1970-01-01T00:00Z
    auto operator<=>(const SpotKey &) const = default;
};

class CountedSpots {
  public:
    /// Whether the spot was counted within CountedOnceS before `now`.
    bool Seen(UnixSeconds now, const SpotKey &key);
    /// Remembers the spot as counted at `now`.
    void Count(UnixSeconds now, const SpotKey &key);

    CountedSpots() = default;
    /// A copy's order points into its own keys (a snapshot of the tracker outlives its original).
    CountedSpots(const CountedSpots &other) { *this = other; }
    CountedSpots &operator=(const CountedSpots &other);
    CountedSpots(CountedSpots &&) = default;
    CountedSpots &operator=(CountedSpots &&) = default;
    ~CountedSpots() = default;

  private:
    void Forget(UnixSeconds now);

    std::set<SpotKey> Keys;
    std::deque<std::pair<UnixSeconds, std::set<SpotKey>::const_iterator>> Order;
};

} // namespace ionvane::tracker
