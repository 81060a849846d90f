// When a lost connection is tried again: one back-off for every source of a live session (the
// cluster node, the feed's broker). Pure: the caller passes its clock's reading and a random
// number in, so tests run it by numbers.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>

namespace ionvane::retry {

using Milliseconds = std::chrono::milliseconds;

/// The waits of the back-off. The defaults are the live ones; tests shorten them.
struct RetryTimings {
    /// The first retry after 5 to 10 s, randomised so that clients cut off together (a server
    /// restart) do not all come back in the same second; each later one after twice as long.
    Milliseconds FirstMin{5'000};
    Milliseconds FirstMax{10'000};
    /// Doubling stops at 10 minutes: operators ban addresses that reconnect too eagerly, and a
    /// server back after a longer outage is still found within minutes.
    Milliseconds Longest{600'000};
    /// At most this many tries in any Window (10 an hour), whatever the back-off says: a server
    /// that accepts and drops at once must not see a client at its door every few seconds.
    int TriesPerWindow = 10;
    Milliseconds Window{3'600'000};
    /// A session up this long was a good one: after its loss the back-off starts again at its
    /// first step, as a session lost sooner counts as one more failure.
    Milliseconds StableSession{60'000};
};

class RetryPolicy {
  public:
    explicit RetryPolicy(RetryTimings timings = {}) : Timings(timings) {}

    /// A try starts at `nowMs` (milliseconds on the caller's clock, the same clock every call).
    void Tried(std::int64_t nowMs);
    /// A new start asked for by the user: the back-off begins at its first step again (the tries
    /// of the window still count).
    void Restart() {
        Failures = 0;
        UpSinceMs.reset();
    }
    /// The session is up (logged in, subscribed) from `nowMs` on.
    void Up(std::int64_t nowMs) { UpSinceMs = nowMs; }
    /// The try or the session failed at `nowMs`: the wait before the next try, `random01` (uniform
    /// in [0, 1)) placing it within its step. The window's cap may make it longer than the step.
    Milliseconds Failed(std::int64_t nowMs, double random01);

  private:
    RetryTimings Timings;
    int Failures = 0; ///< failed tries and short sessions since the last good session
    std::optional<std::int64_t> UpSinceMs;
    std::deque<std::int64_t> TriesMs; ///< the tries of the last Window
};

} // namespace ionvane::retry
