#include "capture.h"

#include "spot/utc_time.h"

namespace ionvane::tracker {

std::optional<CaptureLine> ReadCaptureLine(std::string_view text) {
    if (text.size() <= spot::UtcTimeBytes || text[spot::UtcTimeBytes] != '\t') {
        return std::nullopt;
    }
    const auto time = spot::ReadUtcTime(text.substr(0, spot::UtcTimeBytes));
    if (!time) {
        return std::nullopt;
    }
    return CaptureLine{*time, text.substr(spot::UtcTimeBytes + 1)};
}

} // namespace ionvane::tracker
