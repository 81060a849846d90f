// The Es cloud tracker: counted spots in, clouds with position, critical frequency and drift out,
// a verdict for each band from home, and alarms. Plain values only; the time is always passed in,
// never read, so the same spots at the same times always give the same events.
#pragma once

#include "es_classifier.h"
#include "recent_spots.h"
#include "tracker_events.h"

#include <optional>
#include <string>
#include <vector>

namespace ionvane::tracker {

/// A spot nearer than this to a cloud's position joins it, km. Es clouds are some tens to a few
/// hundred km across, and the centres of paths through one cloud scatter over about that much.
constexpr double JoinRadiusKm = 250;
/// A cloud's position and critical frequency come from its spots of this last stretch, and a cloud
/// without a spot for this long fades, seconds (15 minutes: Es patches form and dissolve within
/// tens of minutes).
constexpr std::int64_t RecentWindowS = 15 * 60;
/// A faded cloud is forgotten after this long without a spot, seconds (60 minutes: an opening
/// that comes back after a pause is usually the same patch re-forming nearby).
constexpr std::int64_t GoneAfterS = 60 * 60;
/// A drift is fitted only over at least this many spots spanning at least this long: fewer, or
/// closer in time, and the scatter of path centres passes for movement.
constexpr std::size_t DriftMinSpots = 3;
constexpr std::int64_t DriftMinSpanS = 10 * 60;
/// Fastest drift reported, km/h. Es clouds are seen moving at up to a few hundred km/h; a faster
/// fit is scatter, so the speed is capped here and its direction kept.
constexpr double MaxDriftKmh = 500;
/// A band alarms again only after it has been closed this long, seconds (10 minutes: a band that
/// flickers open and shut within an opening is still the same opening).
constexpr std::int64_t AlarmClosedForS = 10 * 60;
/// ... and at least this long after its last alarm, seconds (30 minutes), so an opening alarms
/// once.
constexpr std::int64_t AlarmSpacingS = 30 * 60;
/// Most spots a cloud keeps for its recent stretch: 300 spots a minute (a busy feed in a big
/// opening) for 15 minutes. Beyond it the oldest, least weighted spots are dropped, so a flood
/// cannot grow memory without bound.
constexpr std::size_t MaxRecentSpotsPerCloud = 4500;
/// Most clouds tracked at once; a flood of scattered spots beyond it forgets the cloud seen least
/// recently (real openings show a few dozen clouds at most over one continent).
constexpr std::size_t MaxClouds = 256;

/// The user's tracker settings.
struct TrackerSettings {
    ClassifierSettings Classifier;
    Band AlarmFrom = Band::M4; ///< bands at or above this one alarm
};

/// What the tracker needs of one counted spot.
struct TrackedSpot {
    Band SpotBand = Band::M6;
    double FreqMHz = 0;
    double CentreLatDeg = 0;
    double CentreLonDeg = 0;
    double CriticalFreqMHz = 0;
    HomeFigures Home; ///< the spot's path seen from home
};

class CloudTracker {
  public:
    CloudTracker(TrackerSettings settings, std::string homeLocator);

    /// Moves the clock on to `now` and appends the events of ageing: spots leaving the recent
    /// stretch, clouds fading and going, verdicts and alarms that follow. A time before the
    /// clock counts as the clock (captures may step back a second).
    void AdvanceTo(UnixSeconds now, std::vector<TrackerEvent> &events);

    /// Moves the clock on to `time` and adds a counted spot at `time`; appends the events, all at
    /// the clock, and returns the id of the cloud the spot joined or started.
    ///
    /// A spot earlier than the clock (a feed report uploaded minutes late) is placed at its own
    /// time among the recent spots, as if it had come in order: it joins a cloud that was active
    /// at that time (one that faded since comes back), or starts one first seen then. A spot as
    /// old as the recent stretch or older is not placed: it would leave the stretch the moment it
    /// came, and a cloud started from it would never have been active; it gives no cloud and no
    /// events.
    std::optional<int> AddSpot(UnixSeconds time, const TrackedSpot &spot,
                               std::vector<TrackerEvent> &events);

    /// Bands at or above `band` alarm, from the next change of a verdict on.
    void SetAlarmFrom(Band band) { Settings.AlarmFrom = band; }
    [[nodiscard]] Band AlarmFrom() const { return Settings.AlarmFrom; }

    /// The home locator the verdicts name.
    void SetHomeLocator(const std::string &homeLocator) { HomeLocator = homeLocator; }

    /// Every cloud as it stands, as "new" (active) or "fading" events at the clock, oldest first.
    [[nodiscard]] std::vector<CloudEvent> CurrentClouds() const;
    /// The verdict as it stands, at the clock.
    [[nodiscard]] VerdictEvent CurrentVerdict() const;
    [[nodiscard]] UnixSeconds Now() const { return Clock; }
    [[nodiscard]] std::size_t CloudCount() const { return Clouds.size(); }

  private:
    struct Cloud {
        RecentSpots Recent;
        CloudSnapshot Shown;
        bool Fading = false;
        std::optional<HomeFigures> BestHome; ///< from the best recent spot
    };
    struct BandAlarm {
        bool Possible = false;
        std::optional<UnixSeconds> ClosedSince; ///< none: closed since the start
        std::optional<UnixSeconds> LastAlarm;
    };

    static void Recompute(Cloud &cloud);
    [[nodiscard]] std::array<BandVerdict, BandCount> Judge() const;
    void UpdateVerdict(std::vector<TrackerEvent> &events);
    void Alarm(const BandVerdict &verdict, std::vector<TrackerEvent> &events);
    void Forget(std::size_t index, std::vector<TrackerEvent> &events);

    TrackerSettings Settings;
    std::string HomeLocator;
    UnixSeconds Clock = 0;
    bool Started = false;
    int NextId = 1;
    std::vector<Cloud> Clouds; ///< in order of id
    std::array<BandVerdict, BandCount> Verdicts{};
    std::array<BandAlarm, BandCount> Alarms{};
};

} // namespace ionvane::tracker
