#include "band_watch.h"

#include <algorithm>

namespace ionvane::tracker {

std::array<BandVerdict, spot::BandCount>
BandWatch::Watch(UnixSeconds now, std::array<BandVerdict, spot::BandCount> judged,
                 const std::function<bool(int)> &isLive, std::vector<spot::Band> &alarms) {
    std::array<BandVerdict, spot::BandCount> shown = std::move(judged);
    for (const spot::Band band : spot::AllBands) {
        const std::size_t index = spot::BandIndex(band);
        BandState &state = Bands[index];
        if (shown[index].Possible()) {
            KeepHeadline(now, state, shown[index]);
            state.Held = shown[index];
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
                KeepHeadline(now, state, shown[index]);
            }
        } else {
            KeepHeadline(now, state, shown[index]);
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

bool BandWatch::Due(UnixSeconds now) const {
    return std::any_of(Bands.begin(), Bands.end(), [now](const BandState &state) {
        return (state.Held && state.StoppedCarrying &&
                now - *state.StoppedCarrying >= HoldPossibleS) ||
               (state.Challenger && now - state.ChallengerSince >= HeadlineHoldS);
    });
}

void BandWatch::KeepHeadline(UnixSeconds now, BandState &state, BandVerdict &verdict) {
    if (!verdict.CloudId) {
        state.Headline.reset();
        state.Challenger.reset();
        return;
    }
    const auto kept =
        std::find_if(verdict.Via.begin(), verdict.Via.end(), [&state](const CloudFromHome &cloud) {
            return state.Headline && cloud.CloudId == *state.Headline;
        });
    if (kept == verdict.Via.end() || kept == verdict.Via.begin()) {
        state.Headline = verdict.CloudId;
        state.Challenger.reset();
        return;
    }
    const CloudFromHome &top = verdict.Via.front();
    const std::size_t band = spot::BandIndex(verdict.Which);
    const bool clearlyBetter =
        static_cast<double>(top.Home.TrafficFreqMHz) >=
            static_cast<double>(kept->Home.TrafficFreqMHz) * HeadlineMarginFactor ||
        top.Heard[band] >= HeadlineSpotsFactor * std::max(1, kept->Heard[band]);
    if (!clearlyBetter) {
        state.Challenger.reset();
    } else if (state.Challenger != top.CloudId) {
        state.Challenger = top.CloudId;
        state.ChallengerSince = now;
    } else if (now - state.ChallengerSince >= HeadlineHoldS) {
        state.Headline = top.CloudId;
        state.Challenger.reset();
        return;
    }
    // The cloud shown before stays first; `via` still lists every cloud that carries the band.
    std::rotate(verdict.Via.begin(), kept, kept + 1);
    verdict.CloudId = verdict.Via.front().CloudId;
    verdict.Home = verdict.Via.front().Home;
}

} // namespace ionvane::tracker
