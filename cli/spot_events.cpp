#include "spot_events.h"

#include "cli/report.h"
#include "cli/tracker_json.h"

#include <algorithm>

namespace ionvane::cli {

namespace {

std::string EventWithRaw(std::string_view event, tracker::UnixSeconds time, std::string_view raw) {
    std::string out = EventStart(event, time);
    StringMember(out, "raw", raw);
    return out;
}

// "placed":{"from":"locator","to":"prefix EA8 (Canary Islands) +-250 km","fromBy":"locator",
// "toBy":"prefix","uncertaintyKm":250}: how a spot given without both locators was placed, the
// uncertainty its larger one.
void AppendPlacedMember(std::string &out, const tracker::SpotPlacing &placed) {
    Key(out, "placed");
    out += '{';
    StringMember(out, "from", placed.From.Text);
    StringMember(out, "to", placed.To.Text);
    StringMember(out, "fromBy", places::PlacedByName(placed.From.By));
    StringMember(out, "toBy", places::PlacedByName(placed.To.By));
    DoubleMember(out, "uncertaintyKm",
                 std::max(placed.From.UncertaintyKm, placed.To.UncertaintyKm));
    out += '}';
}

} // namespace

std::string SpotEventJson(tracker::UnixSeconds time, std::string_view raw,
                          const tracker::LineResult &result, bool spotInResult) {
    std::string out = EventWithRaw("spot", time, raw);
    AppendSpotMembers(out, result.Read);
    StringMember(out, "classification", tracker::EsClassName(result.Class));
    if (result.SpotBand) {
        StringMember(out, "band", spot::BandName(*result.SpotBand));
    } else {
        RawMember(out, "band", "null");
    }
    if (result.CloudId) {
        IntegerMember(out, "cloud", *result.CloudId);
    } else {
        RawMember(out, "cloud", "null");
    }
    if (result.Placed) {
        AppendPlacedMember(out, *result.Placed);
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
