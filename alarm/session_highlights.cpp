#include "session_highlights.h"

#include "calc/locator.h"
#include "calc/path_centre.h"
#include "spot/spot_reader.h"
#include "wsjtx/capture_text.h"

#include <algorithm>

namespace ionvane::alarm {

std::optional<DecodedCall> DecodedCallOf(const live::SpotTaken &taken) {
    const tracker::LineResult &result = taken.Result;
    if (taken.From != live::LineSource::Wsjtx || taken.Restored ||
        result.What != tracker::LineResult::Kind::Spot || !result.SpotBand ||
        result.Read.DxCall.empty()) {
        return std::nullopt;
    }
    const auto datagram = wsjtx::ReadCaptureBody(taken.Raw);
    // The reflection point of the path from the sender to the station, where a cloud carries it.
    // (A four-character grid stands for its centre subsquare.)
    const auto place = [](const std::string &locator) {
        return calc::DecodeLocator(std::string_view(spot::CompletedLocator(locator)));
    };
    const auto centre = calc::PathCentre(place(result.Read.FromLoc), place(result.Read.ToLoc));
    if (!datagram || !centre) {
        return std::nullopt;
    }
    return DecodedCall{
        datagram->Id, result.Read.DxCall, *result.SpotBand, {centre->LatDeg, centre->LonDeg}};
}

SessionHighlights::SessionHighlights(Sender send) : Out(std::move(send)) {
    Calls.Enable(true);
}

void SessionHighlights::Send(tracker::UnixSeconds time,
                             const std::vector<HighlightRequest> &requests) {
    Latest = std::max(Latest, time);
    for (const HighlightRequest &request : requests) {
        Out(time, request);
    }
}

void SessionHighlights::Take(const live::LiveEvent &event) {
    if (const auto *taken = std::get_if<live::SpotTaken>(&event)) {
        if (const auto decoded = DecodedCallOf(*taken)) {
            Send(taken->Time, Calls.Decoded(*decoded));
        }
    } else if (const auto *change = std::get_if<live::TrackerChange>(&event)) {
        if (const auto *cloud = std::get_if<tracker::CloudEvent>(&change->Event)) {
            Send(cloud->Time, Calls.Cloud(*cloud));
        } else if (const auto *verdict = std::get_if<tracker::VerdictEvent>(&change->Event)) {
            Send(verdict->Time, Calls.Verdict(*verdict));
        }
    } else if (const auto *restored = std::get_if<live::RestoreDone>(&event)) {
        for (const tracker::CloudEvent &cloud : restored->Clouds) {
            Send(cloud.Time, Calls.Cloud(cloud));
        }
        Send(restored->Verdict.Time, Calls.Verdict(restored->Verdict));
    }
}

void SessionHighlights::Finish(tracker::UnixSeconds now) {
    Send(std::max(now, Latest), Calls.ClearAll());
}

} // namespace ionvane::alarm
