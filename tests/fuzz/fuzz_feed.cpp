// The feed's readers: any bytes as a report payload and as a capture line. A spot read whole has
// two distinct locators and a frequency; the payload kept for the log is valid UTF-8 without line
// ends; a capture line read back and written again reads back the same.
#include "calc/utf8.h"
#include "feed/capture_body.h"
#include "feed/report_reader.h"
#include "spot/capture_line.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace ionvane::feed;

constexpr Seconds Receipt{std::chrono::seconds(1781431225)};

void CheckReport(std::string_view payload) {
    const ReportReading reading = ReadReport(payload, Receipt);
    const auto &spot = reading.Read;
    if (reading.Problem == ReportProblem::None &&
        (spot.FromLoc.size() < 4 || spot.FromLoc.size() > 6 || spot.ToLoc.size() < 4 ||
         spot.ToLoc.size() > 6 ||
         ionvane::spot::CompletedLocator(spot.FromLoc) ==
             ionvane::spot::CompletedLocator(spot.ToLoc) ||
         !(spot.FreqMHz > 0) || spot.FreqMHzText.empty())) {
        std::abort();
    }
    if (reading.Time < Receipt - ReportTimeBehind || reading.Time > Receipt) {
        std::abort();
    }
}

void CheckPayloadText(std::string_view payload) {
    const std::string text = PayloadText(payload);
    if (text.size() > MaxPayloadBytes + 4 || ionvane::calc::ValidUtf8(text) != text) {
        std::abort();
    }
    for (const char c : text) {
        if (c != '\t' && (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)) {
            std::abort();
        }
    }
    if (PayloadText(text) != text) {
        std::abort();
    }
}

// The session log's line of a report read back.
std::string WrittenAgain(const CapturedReport &read) {
    return ionvane::spot::CaptureLine(read.ReceivedAt.time_since_epoch().count(),
                                      CaptureBody(read.Topic, read.Payload));
}

// What a capture line reads as, written again, reads and writes the same (the writer cleans and
// bounds what it keeps once for good).
void CheckCaptureLine(std::string_view line) {
    const auto read = ReadCaptureLine(line);
    if (!read) {
        return;
    }
    const std::string again = WrittenAgain(*read);
    const auto reread = ReadCaptureLine(again);
    if (!reread || reread->ReceivedAt != read->ReceivedAt || WrittenAgain(*reread) != again) {
        std::abort();
    }
    CheckReport(read->Payload);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    CheckReport(input);
    CheckPayloadText(input);
    CheckCaptureLine(input);
    return 0;
}
