// The review slider's positions and times: a minute a position, the last one live.
#include "review/review_time.h"

#include <gtest/gtest.h>

namespace ionvane::review {
namespace {

// 2026-06-14T13:42:00Z and six hours and 30 seconds after it.
constexpr UnixSeconds From = 1781444520;
const ReviewSpan Span{From, From + 6 * 3600 + 30, 0, 0, {}};

TEST(ReviewSlider, PositionsAreMinutesAndTheLastIsLive) {
    // Six hours and half a minute: 360 whole minutes and a last position for the newest moment.
    EXPECT_EQ(LivePosition(Span), 361);
    struct Case {
        int Position;
        UnixSeconds Time;
    };
    for (const Case c : {Case{0, From}, Case{1, From + 60}, Case{360, From + 21600},
                         Case{361, From + 21630}, Case{-5, From}, Case{900, From + 21630}}) {
        EXPECT_EQ(TimeAt(Span, c.Position), c.Time) << c.Position;
    }
    struct Back {
        UnixSeconds Time;
        int Position;
    };
    for (const Back c :
         {Back{From - 3600, 0}, Back{From, 0}, Back{From + 59, 0}, Back{From + 60, 1},
          Back{From + 21629, 360}, Back{From + 21630, 361}, Back{From + 99999, 361}}) {
        EXPECT_EQ(PositionOf(Span, c.Time), c.Position) << c.Time;
    }
}

TEST(ReviewSlider, AnEmptySpanIsLiveAtOnce) {
    const ReviewSpan Empty{From, From, 0, 0, {}};
    EXPECT_EQ(LivePosition(Empty), 0);
    EXPECT_EQ(TimeAt(Empty, 3), From);
    EXPECT_EQ(PositionOf(Empty, From - 60), 0);
}

TEST(ReviewSlider, TheBarSaysTheMinuteInUtc) {
    EXPECT_EQ(ViewingText(1781466120), "Viewing 19:42 UTC"); // 2026-06-14T19:42:00Z
    EXPECT_EQ(ViewingText(1781466179), "Viewing 19:42 UTC");
    EXPECT_EQ(ViewingText(1781481599), "Viewing 23:59 UTC");
}

} // namespace
} // namespace ionvane::review
