#include "retry_policy.h"

#include <algorithm>
#include <cmath>

namespace ionvane::retry {

void RetryPolicy::Tried(std::int64_t nowMs) {
    TriesMs.push_back(nowMs);
}

Milliseconds RetryPolicy::Failed(std::int64_t nowMs, double random01) {
    if (UpSinceMs && nowMs - *UpSinceMs >= Timings.StableSession.count()) {
        Failures = 0;
    }
    UpSinceMs.reset();
    const double spanMs = static_cast<double>((Timings.FirstMax - Timings.FirstMin).count());
    double delayMs =
        static_cast<double>(Timings.FirstMin.count()) + std::clamp(random01, 0.0, 1.0) * spanMs;
    // The exponent is bounded so that the double never overflows, however long the failures last.
    constexpr int LongestDoubling = 30;
    delayMs = std::ldexp(delayMs, std::min(Failures, LongestDoubling));
    delayMs = std::min(delayMs, static_cast<double>(Timings.Longest.count()));
    auto delay = Milliseconds(static_cast<std::int64_t>(delayMs));
    Failures = std::min(Failures + 1, LongestDoubling);

    while (!TriesMs.empty() && nowMs - TriesMs.front() >= Timings.Window.count()) {
        TriesMs.pop_front();
    }
    const auto most = static_cast<std::size_t>(std::max(Timings.TriesPerWindow, 1));
    if (TriesMs.size() >= most) {
        const std::int64_t oldestCounted = TriesMs[TriesMs.size() - most];
        delay = std::max(delay, Milliseconds(oldestCounted + Timings.Window.count() - nowMs));
    }
    return delay;
}

} // namespace ionvane::retry
