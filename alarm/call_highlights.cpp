#include "call_highlights.h"

#include "tracker/cloud_geometry.h"
#include "tracker/cloud_tracker.h"

#include <algorithm>

namespace ionvane::alarm {

namespace {

bool SameCall(const std::string &id, const std::string &call, const std::string &otherId,
              const std::string &otherCall) {
    return id == otherId && call == otherCall;
}

} // namespace

HighlightRequest CallHighlights::Set(const Mark &mark) {
    const bool open = mark.State == tracker::VerdictState::Possible;
    return {mark.Id,
            {mark.Call, open ? OpenBackground : MarginalBackground,
             open ? OpenForeground : MarginalForeground, false}};
}

HighlightRequest CallHighlights::Clear(const Mark &mark) {
    return {mark.Id, {mark.Call, std::nullopt, std::nullopt, false}};
}

std::vector<HighlightRequest> CallHighlights::Enable(bool on) {
    std::vector<HighlightRequest> requests;
    if (On && !on) {
        requests = ClearAll();
    }
    On = on;
    return requests;
}

std::vector<HighlightRequest> CallHighlights::ClearAll() {
    std::vector<HighlightRequest> requests;
    for (const Mark &mark : Marks) {
        requests.push_back(Clear(mark));
    }
    Marks.clear();
    return requests;
}

std::optional<int> CallHighlights::CarryingCloud(const DecodedCall &decoded) const {
    const BandStand &band = Bands[spot::BandIndex(decoded.Which)];
    if (band.State == tracker::VerdictState::Closed) {
        return std::nullopt;
    }
    // The path runs through a cloud when its reflection point lies within the distance at which
    // the tracker itself joins a spot to a cloud.
    const tracker::Unit centre =
        tracker::UnitOf(decoded.PathCentre.LatDeg, decoded.PathCentre.LonDeg);
    for (const int id : band.Via) {
        const auto cloud = Clouds.find(id);
        if (cloud == Clouds.end()) {
            continue;
        }
        const tracker::Unit at = tracker::UnitOf(cloud->second.LatDeg, cloud->second.LonDeg);
        if (tracker::ArcKm(centre, at.X, at.Y, at.Z) <= tracker::JoinRadiusKm) {
            return id;
        }
    }
    return std::nullopt;
}

std::vector<HighlightRequest> CallHighlights::Decoded(const DecodedCall &decoded) {
    std::vector<HighlightRequest> requests;
    if (!On || decoded.Call.empty()) {
        return requests;
    }
    const std::optional<int> cloud = CarryingCloud(decoded);
    if (!cloud) {
        return requests;
    }
    const tracker::VerdictState state = Bands[spot::BandIndex(decoded.Which)].State;
    const auto held = std::find_if(Marks.begin(), Marks.end(), [&](const Mark &mark) {
        return SameCall(mark.Id, mark.Call, decoded.Id, decoded.Call);
    });
    if (held != Marks.end()) {
        // Heard again: tied to the cloud it now comes through, coloured anew only on a change.
        const bool recolour = held->State != state;
        held->CloudId = *cloud;
        held->Which = decoded.Which;
        held->State = state;
        if (recolour) {
            requests.push_back(Set(*held));
        }
        return requests;
    }
    if (Marks.size() >= MostHighlights) {
        requests.push_back(Clear(Marks.front()));
        Marks.pop_front();
    }
    Marks.push_back({decoded.Id, decoded.Call, decoded.Which, *cloud, state});
    requests.push_back(Set(Marks.back()));
    return requests;
}

bool CallHighlights::Holds(const Mark &mark) const {
    const BandStand &band = Bands[spot::BandIndex(mark.Which)];
    return band.State != tracker::VerdictState::Closed && Clouds.contains(mark.CloudId) &&
           std::find(band.Via.begin(), band.Via.end(), mark.CloudId) != band.Via.end();
}

std::vector<HighlightRequest> CallHighlights::Cloud(const tracker::CloudEvent &event) {
    std::vector<HighlightRequest> requests;
    if (event.State == tracker::CloudState::New || event.State == tracker::CloudState::Update) {
        Clouds[event.Cloud.Id] = {event.Cloud.LatDeg, event.Cloud.LonDeg};
        return requests;
    }
    // Fading or gone: the calls it carried are no longer worth a colour.
    Clouds.erase(event.Cloud.Id);
    std::erase_if(Marks, [&](const Mark &mark) {
        if (mark.CloudId != event.Cloud.Id) {
            return false;
        }
        requests.push_back(Clear(mark));
        return true;
    });
    return requests;
}

std::vector<HighlightRequest> CallHighlights::Verdict(const tracker::VerdictEvent &event) {
    for (const spot::Band band : spot::AllBands) {
        const tracker::BandVerdict &verdict = event.Bands[spot::BandIndex(band)];
        BandStand &stand = Bands[spot::BandIndex(band)];
        // A band the user does not follow is none of the highlights' business.
        const bool followed = (event.Shown & spot::BandBit(band)) != 0;
        stand.State = followed ? verdict.State : tracker::VerdictState::Closed;
        stand.Via.clear();
        for (const tracker::CloudFromHome &via : verdict.Via) {
            stand.Via.push_back(via.CloudId);
        }
    }
    std::vector<HighlightRequest> requests;
    std::deque<Mark> kept;
    for (Mark &mark : Marks) {
        if (!Holds(mark)) {
            requests.push_back(Clear(mark));
            continue;
        }
        const tracker::VerdictState now = Bands[spot::BandIndex(mark.Which)].State;
        if (now != mark.State) {
            mark.State = now;
            requests.push_back(Set(mark));
        }
        kept.push_back(std::move(mark));
    }
    Marks = std::move(kept);
    return requests;
}

} // namespace ionvane::alarm
