#include "spot_events.h"

#include "cli/report.h"
#include "cli/tracker_events.h"

namespace ionvane::cli {

namespace {

std::string EventWithRaw(std::string_view event, tracker::UnixSeconds time, std::string_view raw) {
    std::string out = EventStart(event, time);
    StringMember(out, "raw", raw);
    return out;
}

} // namespace

std::string SpotEventJson(tracker::UnixSeconds time, std::string_view raw,
                          const tracker::LineResult &result, bool spotInResult) {
    std::string out = EventWithRaw("spot", time, raw);
    AppendSpotMembers(out, result.Read);
    StringMember(out, "classification", tracker::EsClassName(result.Class));
    if (result.SpotBand) {
        StringMember(out, "band", tracker::BandName(*result.SpotBand));
    } else {
        RawMember(out, "band", "null");
    }
    if (result.CloudId) {
        IntegerMember(out, "cloud", *result.CloudId);
    } else {
        RawMember(out, "cloud", "null");
    }
    // Why a spot places no cloud for a reason of its own ("2 m, not confirmed: looks like tropo").
    if (!result.Reason.empty()) {
        StringMember(out, "reason", result.Reason);
    }
    // The result last, as the live session writes it: a script can cut it off the line as is.
    Key(out, "result");
    out += '{';
    AppendReportMembers(out, result.Run.Outcome, result.Run.Screen);
    if (spotInResult) {
        AppendSpotMembers(out, result.Read);
    }
    out += "}}";
    return out;
}

std::string SkippedEventJson(tracker::UnixSeconds time, std::string_view raw,
                             std::string_view reason) {
    std::string out = EventWithRaw("skipped", time, raw);
    StringMember(out, "reason", reason);
    out += '}';
    return out;
}

} // namespace ionvane::cli
