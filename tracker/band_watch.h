// What a band shows over time: a possible band held through short gaps, and one alarm per
// opening.
#pragma once

#include "tracker_events.h"

#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace ionvane::tracker {

/// A possible band stays possible this long after no cloud carries it any more, seconds
/// (5 minutes: an Es cloud's critical frequency dips below a band's edge and recovers within
/// minutes, and a band flickering open and shut helps nobody), unless its cloud fades first.
constexpr std::int64_t HoldPossibleS = 5 * 60;
/// A band alarms again only after it has been closed this long, seconds (10 minutes: a band that
/// flickers open and shut within an opening is still the same opening).
constexpr std::int64_t AlarmClosedForS = 10 * 60;
/// ... and at least this long after its last alarm, seconds (30 minutes), so an opening alarms
/// once.
constexpr std::int64_t AlarmSpacingS = 30 * 60;

/// A band's headline cloud gives way only to one that carries the band clearly better: a frequency
/// of traffic at least this factor above the headline's (5% more, beyond the swings of a critical
/// frequency within minutes) or at least HeadlineSpotsFactor times its spots on the band ...
constexpr double HeadlineMarginFactor = 1.05;
constexpr int HeadlineSpotsFactor = 2;
/// ... for at least this long, seconds (one minute: two clouds near the same figure otherwise
/// trade the first place with every spot, and the beam swings to and fro).
constexpr std::int64_t HeadlineHoldS = 60;

class BandWatch {
  public:
    explicit BandWatch(spot::Band alarmFrom) : AlarmFrom(alarmFrom) {}

    /// Bands at or above `band` alarm from now on; the openings already alarmed keep their times.
    void SetAlarmFrom(spot::Band band) { AlarmFrom = band; }

    /// The verdicts to show at `now` from the verdicts the clouds give (`judged`): a band shown
    /// possible keeps its last possible verdict while its headline cloud is live (`isLive`) and
    /// less than HoldPossibleS has passed since the first look that found no cloud carrying it. The
    /// bands at or above the alarm band that open now and may alarm by the rules are appended to
    /// `alarms`.
    std::array<BandVerdict, spot::BandCount> Watch(UnixSeconds now,
                                                   std::array<BandVerdict, spot::BandCount> judged,
                                                   const std::function<bool(int)> &isLive,
                                                   std::vector<spot::Band> &alarms);

    /// Whether the clock alone changes what is shown at `now`: a band held possible or a headline
    /// challenged has run its time. Until then the same verdicts show the same.
    [[nodiscard]] bool Due(UnixSeconds now) const;

  private:
    struct BandState {
        std::optional<BandVerdict> Held;            ///< the last possible verdict shown
        std::optional<UnixSeconds> StoppedCarrying; ///< when no cloud carried it any more
        bool Shown = false;                         ///< shown possible
        std::optional<UnixSeconds> ClosedSince;     ///< none: closed since the start
        std::optional<UnixSeconds> LastAlarm;
        std::optional<int> Headline;     ///< the headline cloud shown
        std::optional<int> Challenger;   ///< a cloud carrying the band clearly better ...
        UnixSeconds ChallengerSince = 0; ///< ... since then
    };

    /// Keeps the headline of `verdict` on the cloud shown before while that cloud still carries
    /// the band and no other has carried it clearly better for HeadlineHoldS.
    static void KeepHeadline(UnixSeconds now, BandState &state, BandVerdict &verdict);

    spot::Band AlarmFrom;
    std::array<BandState, spot::BandCount> Bands{};
};

} // namespace ionvane::tracker
