// The grid memory: every call heard with a locator (a cluster node's CC11 grid, a feed report's
// sender and receiver, a WSJT-X decode, the user's own station) and when, so that a later spot of
// the same call without a locator is placed where the call was heard. Bounded, aged, and kept as
// plain text between sessions. The time is always passed in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace ionvane::places {

/// Time in whole seconds since 1970-01-01T00:00:00Z.
using UnixSeconds = std::int64_t;

/// Most calls remembered: a busy evening of the feed hears a few thousand calls on 6 m; ten
/// thousand more cover a week of them. Beyond it the call heard longest ago is forgotten.
constexpr std::size_t MaxRememberedCalls = 20000;
/// How long a fixed station's grid is used, seconds: a day (a station at home stays there).
constexpr UnixSeconds GridUsedForS = 24 * 3600;
/// How long the grid of a call with a stroke (/P, /M, EA8/ON4CAU) is used, seconds: two hours, as
/// portable and mobile stations move on.
constexpr UnixSeconds MobileGridUsedForS = 2 * 3600;

/// A call's last grid.
struct HeardGrid {
    std::string Grid; ///< four or six characters, upper case
    UnixSeconds When = 0;
};

class GridMemory {
  public:
    explicit GridMemory(std::size_t maxCalls = MaxRememberedCalls) : MaxCalls(maxCalls) {}

    /// Remembers `call` heard with `grid` at `when`. A word that is no call, a grid that is no
    /// locator, and a sighting older than the one remembered change nothing.
    void Learn(std::string_view call, std::string_view grid, UnixSeconds when);

    /// The grid of `call` if it was heard within GridUsedForS (MobileGridUsedForS for a call
    /// with a stroke) before `now`; a sighting after `now` counts as at `now`.
    [[nodiscard]] std::optional<HeardGrid> Find(std::string_view call, UnixSeconds now) const;

    [[nodiscard]] std::size_t Size() const { return Calls.size(); }

    /// A copy's entries point into its own order (a snapshot of the tracker outlives its
    /// original).
    GridMemory(const GridMemory &other) { *this = other; }
    GridMemory &operator=(const GridMemory &other);
    GridMemory(GridMemory &&) = default;
    GridMemory &operator=(GridMemory &&) = default;
    ~GridMemory() = default;

    /// The memory as text, one "CALL GRID SECONDS" line per call, oldest first.
    [[nodiscard]] std::string Save() const;
    /// Adds the calls of Save's text; lines that cannot be read are passed over and counted.
    std::size_t Load(std::string_view text);

  private:
    struct Entry {
        HeardGrid Heard;
        std::multimap<UnixSeconds, std::string>::iterator Order;
    };
    std::size_t MaxCalls;
    std::unordered_map<std::string, Entry> Calls;
    std::multimap<UnixSeconds, std::string> ByTime;
};

} // namespace ionvane::places
