#include "review_time.h"

#include "spot/utc_time.h"

#include <algorithm>

namespace ionvane::review {

namespace {

// Where "HH:MM" stands in "2026-06-14T19:42:25Z".
constexpr std::size_t HourAt = 11;
constexpr std::size_t HourMinuteChars = 5;

} // namespace

int LivePosition(const ReviewSpan &span) {
    const UnixSeconds length = std::max<UnixSeconds>(0, span.To - span.From);
    // Whole minutes, and a last position for the newest moment when the span ends within one.
    return static_cast<int>((length + SliderStepS - 1) / SliderStepS);
}

UnixSeconds TimeAt(const ReviewSpan &span, int position) {
    const int clamped = std::clamp(position, 0, LivePosition(span));
    return std::min(span.From + clamped * SliderStepS, std::max(span.From, span.To));
}

int PositionOf(const ReviewSpan &span, UnixSeconds time) {
    const UnixSeconds from = std::clamp(time, span.From, std::max(span.From, span.To)) - span.From;
    const int position = static_cast<int>(from / SliderStepS);
    // The newest moment, not a whole minute after the first, is the last position's alone.
    return time >= span.To ? LivePosition(span) : std::min(position, LivePosition(span));
}

std::string ViewingText(UnixSeconds time) {
    return "Viewing " + spot::UtcTimeText(time).substr(HourAt, HourMinuteChars) + " UTC";
}

} // namespace ionvane::review
