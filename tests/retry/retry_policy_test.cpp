// The back-off of every live source, by numbers: the sources only pass their clock and a random
// number in, and their own tests check that they wait what the policy says.
#include "retry/retry_policy.h"

#include <gtest/gtest.h>

#include <vector>

namespace ionvane::retry {
namespace {

using namespace std::chrono_literals;

// One step of a source's life: a try, a session up, or a failure whose wait is checked.
struct Step {
    enum class Kind { Tried, Up, Failed, Restart } What;
    std::int64_t AtMs = 0;
    double Random01 = 0;
    std::int64_t WaitMs = 0; ///< for Failed: the wait expected
};

Step Tried(std::int64_t atMs) {
    return {Step::Kind::Tried, atMs};
}
Step Up(std::int64_t atMs) {
    return {Step::Kind::Up, atMs};
}
Step Failed(std::int64_t atMs, double random01, std::int64_t waitMs) {
    return {Step::Kind::Failed, atMs, random01, waitMs};
}
Step Restart() {
    return {Step::Kind::Restart};
}

// Refused connects one after the other, each try made when the last wait ends.
std::vector<Step> Refusals(const std::vector<std::int64_t> &waitsMs, double random01) {
    std::vector<Step> steps;
    std::int64_t nowMs = 0;
    for (const std::int64_t waitMs : waitsMs) {
        steps.push_back(Tried(nowMs));
        steps.push_back(Failed(nowMs, random01, waitMs));
        nowMs += waitMs;
    }
    return steps;
}

struct PolicyCase {
    const char *Name;
    RetryTimings Timings;
    std::vector<Step> Steps;
};

RetryTimings Short() {
    RetryTimings timings;
    timings.FirstMin = 1'000ms;
    timings.FirstMax = 1'000ms;
    timings.Longest = 1'000ms;
    return timings;
}

TEST(RetryPolicy, WaitsAsTheBackOffAndTheHourlyCapSay) {
    const std::vector<PolicyCase> cases = {
        // 5 s at the bottom of the first step, doubling up to the 10-minute cap and staying there.
        {"doubles to the cap",
         {},
         Refusals({5'000, 10'000, 20'000, 40'000, 80'000, 160'000, 320'000, 600'000, 600'000}, 0)},
        // The random number places the wait within the step, 5 to 10 s, before doubling.
        {"halfway through the step", {}, Refusals({7'500, 15'000, 30'000, 60'000}, 0.5)},
        {"just short of the step's end", {}, Refusals({9'995}, 0.999)},
        // A number out of [0, 1) from a bad generator stays within the step.
        {"random number clamped", {}, {Tried(0), Failed(0, 7.0, 10'000), Failed(0, -1, 10'000)}},
        // Ten tries in the first 9 s: the eleventh waits until the first leaves the hour.
        {"ten tries an hour", Short(),
         [] {
             std::vector<Step> steps = Refusals(std::vector<std::int64_t>(9, 1'000), 0);
             steps.push_back(Tried(9'000));
             steps.push_back(Failed(9'000, 0, 3'591'000));
             steps.push_back(Tried(3'600'000));
             steps.push_back(Failed(3'600'000, 0, 1'000));
             return steps;
         }()},
        // Lost 59 s after coming up: one more failure (10 s); lost a minute after: 5 s again.
        {"a good session starts the back-off again",
         {},
         {Tried(0), Failed(0, 0, 5'000), Tried(5'000), Up(6'000), Failed(65'000, 0, 10'000),
          Tried(75'000), Up(76'000), Failed(136'000, 0, 5'000)}},
        // A user's new start begins at the first step, though the last session was short.
        {"restart",
         {},
         {Tried(0), Failed(0, 0, 5'000), Tried(5'000), Failed(5'000, 0, 10'000), Restart(),
          Tried(20'000), Failed(20'000, 0, 5'000)}},
        // A long outage never overflows the doubling: the wait stays at the cap.
        {"many failures",
         [] {
             RetryTimings timings;
             timings.TriesPerWindow = 100;
             return timings;
         }(),
         [] {
             std::vector<std::int64_t> waits(70, 600'000);
             for (std::size_t i = 0; i < 7; ++i) {
                 waits[i] = std::int64_t{5'000} << i;
             }
             return Refusals(waits, 0);
         }()},
    };
    for (const PolicyCase &c : cases) {
        SCOPED_TRACE(c.Name);
        RetryPolicy policy(c.Timings);
        std::vector<std::int64_t> waits;
        std::vector<std::int64_t> expected;
        for (const Step &step : c.Steps) {
            switch (step.What) {
            case Step::Kind::Tried:
                policy.Tried(step.AtMs);
                break;
            case Step::Kind::Up:
                policy.Up(step.AtMs);
                break;
            case Step::Kind::Restart:
                policy.Restart();
                break;
            case Step::Kind::Failed:
                waits.push_back(policy.Failed(step.AtMs, step.Random01).count());
                expected.push_back(step.WaitMs);
                break;
            }
        }
        EXPECT_EQ(waits, expected);
    }
}

} // namespace
} // namespace ionvane::retry
