#include "capture_line.h"

#include "line_text.h"
#include "utc_time.h"

namespace ionvane::spot {

std::string CaptureLine(std::int64_t receivedAtS, std::string_view line) {
    std::string out = UtcTimeText(receivedAtS);
    out += '\t';
    out += CleanLine(line);
    return out;
}

std::optional<CapturedLine> ReadCaptureLine(std::string_view text) {
    if (text.size() <= UtcTimeBytes || text[UtcTimeBytes] != '\t') {
        return std::nullopt;
    }
    const auto time = ReadUtcTime(text.substr(0, UtcTimeBytes));
    if (!time) {
        return std::nullopt;
    }
    return CapturedLine{*time, text.substr(UtcTimeBytes + 1)};
}

std::string_view WithoutLineEnd(std::string_view text) {
    if (text.ends_with('\n')) {
        text.remove_suffix(1);
    }
    if (text.ends_with('\r')) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace ionvane::spot
