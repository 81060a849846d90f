#include "spot_events.h"

#include "cli/report.h"
#include "spot/utc_time.h"

namespace ionvane::cli {

namespace {

std::string EventStart(const char *event, tracker::UnixSeconds time, std::string_view raw) {
    std::string out = "{\"event\":\"";
    out += event;
    out += "\",\"time\":\"";
    out += spot::UtcTimeText(time);
    out += "\",\"raw\":";
    AppendJsonString(out, raw);
    return out;
}

} // namespace

std::string SpotObjectJson(const spot::Spot &read) {
    std::string out = "{\"freqMHz\":";
    out += read.FreqMHzText;
    out += ",\"from\":";
    AppendJsonString(out, read.FromLoc);
    out += ",\"to\":";
    AppendJsonString(out, read.ToLoc);
    out += ",\"tag\":";
    if (read.Tag.empty()) {
        out += "null";
    } else {
        AppendJsonString(out, read.Tag);
    }
    out += ",\"es\":";
    out += read.Es ? "true" : "false";
    out += ",\"dxCall\":";
    AppendJsonString(out, read.DxCall);
    out += ",\"spotter\":";
    AppendJsonString(out, read.Spotter);
    out += '}';
    return out;
}

std::string SpotEventJson(tracker::UnixSeconds time, std::string_view raw,
                          const tracker::LineResult &result) {
    std::string out = EventStart("spot", time, raw);
    out += ",\"spot\":";
    out += SpotObjectJson(result.Read);
    out += ",\"classification\":\"";
    out += tracker::EsClassName(result.Class);
    out += "\",\"band\":";
    if (result.SpotBand) {
        AppendJsonString(out, tracker::BandName(*result.SpotBand));
    } else {
        out += "null";
    }
    out += ",\"cloud\":";
    out += result.CloudId ? std::to_string(*result.CloudId) : std::string("null");
    // The result last, as the live session writes it: a script can cut it off the line as is.
    out += ",\"result\":{";
    out += ReportMembers(result.Run.Outcome, result.Run.Screen);
    out += "}}";
    return out;
}

std::string SkippedEventJson(tracker::UnixSeconds time, std::string_view raw,
                             std::string_view reason) {
    std::string out = EventStart("skipped", time, raw);
    out += ",\"reason\":";
    AppendJsonString(out, reason);
    out += '}';
    return out;
}

} // namespace ionvane::cli
