#include "band_watch.h"

#include <algorithm>

namespace ionvane::tracker {

std::array<BandVerdict, BandCount>
BandWatch::Watch(UnixSeconds now, const std::array<BandVerdict, BandCount> &judged,
                 const std::function<bool(int)> &isLive, std::vector<Band> &alarms) {
    std::array<BandVerdict, BandCount> shown = judged;
    for (const Band band : AllBands) {
        const std::size_t index = BandIndex(band);
        BandState &state = Bands[index];
        const BandVerdict &fresh = judged[index];
        if (fresh.Possible()) {
            state.Held = fresh;
            state.StoppedCarrying.reset();
        } else if (state.Held) {
            // The first look that finds no cloud carrying the band starts the hold.
            if (!state.StoppedCarrying) {
                state.StoppedCarrying = now;
            }
            if (state.Held->CloudId && isLive(*state.Held->CloudId) &&
                now - *state.StoppedCarrying < HoldPossibleS) {
                shown[index] = *state.Held;
            } else {
                state.Held.reset();
                state.StoppedCarrying.reset();
            }
        }
        const bool possible = shown[index].Possible();
        if (possible == state.Shown) {
            continue;
        }
        state.Shown = possible;
        if (!possible) {
            state.ClosedSince = now;
            continue;
        }
        const bool closedLongEnough =
            !state.ClosedSince || now - *state.ClosedSince >= AlarmClosedForS;
        const bool spacedEnough = !state.LastAlarm || now - *state.LastAlarm >= AlarmSpacingS;
        if (band >= AlarmFrom && closedLongEnough && spacedEnough) {
            state.LastAlarm = now;
            alarms.push_back(band);
        }
    }
    return shown;
}

bool BandWatch::Holding() const {
    return std::any_of(Bands.begin(), Bands.end(),
                       [](const BandState &state) { return state.Held.has_value(); });
}

} // namespace ionvane::tracker
