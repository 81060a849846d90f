// The capture reader and everything replay does with a line: bounded lines, the time and tab
// prefix, the cluster's spot reader or the feed's report reader by the kind of line, the
// calculation, the classifier and the tracker, and the JSON events.
#include "cli/batch_reader.h"
#include "cli/live_json.h"
#include "cli/tracker_json.h"
#include "live/source_lines.h"
#include "spot/capture_line.h"
#include "spot/utc_time.h"
#include "tracker/spot_pipeline.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    using namespace ionvane;
    constexpr std::size_t Limit = 256;
    std::istringstream in(std::string(reinterpret_cast<const char *>(data), size));
    cli::LineReader reader(in, Limit);
    tracker::SpotPipeline pipeline(
        tracker::SpotCalculator(calc::PlainNumberFormat(), {"IO90IR", 110.0F, 0.15F}), {}, false);
    // Spots without locators are placed from their calls as a live session places them.
    static const places::CountryFile countries = [] {
        places::CountryFile file;
        file.Read("Canary Islands:  33:  36:  AF:   28.32:    15.85:     0.0:  EA8:\n"
                  "    EA8,EB8,=EA8URL;\n"
                  "Italy:  15:  28:  EU:   42.82:   -12.58:    -1.0:  I:\n"
                  "    4U,I,=II0PN/MM(40);\n");
        return file;
    }();
    pipeline.UsePlaces(&countries, true);
    std::vector<tracker::TrackerEvent> events;
    live::SourceLines sources;
    std::string text;
    bool tooLong = false;
    tracker::UnixSeconds clock = 0;
    while (reader.Next(text, tooLong)) {
        const auto line = spot::ReadCaptureLine(text);
        if (!line) {
            continue;
        }
        // A time that reads is written back as the same text.
        if (spot::UtcTimeText(line->Time) != text.substr(0, 20)) {
            std::abort();
        }
        const auto result = sources.Feed(pipeline, line->Time, line->Line, events).Result;
        // The clock never runs backwards.
        if (pipeline.Clouds().Now() < clock) {
            std::abort();
        }
        clock = pipeline.Clouds().Now();
        if (result.What == tracker::LineResult::Kind::Spot) {
            const std::string json = cli::SpotEventJson(clock, line->Line, result);
            if (json.front() != '{' || json.back() != '}') {
                std::abort();
            }
        }
        for (const auto &event : events) {
            const std::string json = cli::TrackerEventJson(event);
            if (json.find("nan") != std::string::npos || json.find("inf") != std::string::npos) {
                std::abort();
            }
        }
        events.clear();
        if (pipeline.Clouds().CloudCount() > tracker::MaxClouds) {
            std::abort();
        }
    }
    return 0;
}
