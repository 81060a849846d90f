// The review slider's positions and the times they stand for: one position a minute from the
// first moment of the span to its newest, the last position being live.
#pragma once

#include "review_control.h"

#include <string>

namespace ionvane::review {

/// Seconds between two positions of the slider: the map's own times are minutes ("19:42 UTC"),
/// and 48 hours are 2,880 positions, fine enough for a slider a few hundred pixels wide.
constexpr UnixSeconds SliderStepS = 60;

/// The last position of the span: live.
[[nodiscard]] int LivePosition(const ReviewSpan &span);
/// The time a position shows: the span's first moment plus a minute a position, the newest at
/// the last; positions outside the span are clamped to it.
[[nodiscard]] UnixSeconds TimeAt(const ReviewSpan &span, int position);
/// The position showing `time`: the minute it falls in, clamped to the span.
[[nodiscard]] int PositionOf(const ReviewSpan &span, UnixSeconds time);
/// "Viewing 19:42 UTC": what the bar over the past says before its way back to live.
[[nodiscard]] std::string ViewingText(UnixSeconds time);

} // namespace ionvane::review
