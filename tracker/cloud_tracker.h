// The Es cloud tracker: counted spots in, clouds with position, critical frequency and drift out,
// a verdict for each band from home, and alarms. Plain values only; the time is always passed in,
// never read, so the same spots at the same times always give the same events.
#pragma once

#include "agreement.h"
#include "band_watch.h"
#include "cloud_geometry.h"
#include "es_classifier.h"
#include "home_view.h"
#include "recent_spots.h"
#include "tracker_events.h"

#include <optional>
#include <string>
#include <vector>

namespace ionvane::tracker {

/// A spot nearer than this to a cloud's position joins it, km. Es clouds are some tens to a few
/// hundred km across, and the centres of paths through one cloud scatter over about that much.
constexpr double JoinRadiusKm = 250;
/// A spot with an end placed from its call (grid memory, country file) may lie that end's
/// uncertainty farther from the cloud than its path centre says: it joins within JoinRadiusKm
/// plus that uncertainty, at most this much more, km. 150 km: the largest Es patches are about
/// 400 km across, and a wider reach would let one coarse spot join a neighbouring patch.
constexpr double MaxJoinWideningKm = 150;
/// A cloud's position and critical frequency come from its spots of this last stretch, and a cloud
/// without a spot for this long fades, seconds (15 minutes: Es patches form and dissolve within
/// tens of minutes).
constexpr std::int64_t RecentWindowS = 15 * 60;
/// A faded cloud is forgotten after this long without a spot, seconds (60 minutes: an opening
/// that comes back after a pause is usually the same patch re-forming nearby).
constexpr std::int64_t GoneAfterS = 60 * 60;
/// A drift is reported only from at least this many spots spanning at least this long, only when
/// the fitted speed is at least DriftMinErrors standard errors of it and at least DriftMinKmh,
/// and only when the fit before the newest spot came shows the same within
/// DriftDirectionToleranceDeg: fewer
/// spots, a shorter span or a looser fit, and the scatter of path centres (tens of km in a real
/// opening) passes for movement. Three standard errors: a stationary cloud's fit passes by chance
/// about once in a hundred looks instead of every few; 20 km/h: slower is no movement a beam
/// heading or a map arrow would show within the quarter hour a cloud is followed.
constexpr std::size_t DriftMinSpots = 5;
constexpr std::int64_t DriftMinSpanS = 10 * 60;
constexpr double DriftMinErrors = 3;
constexpr double DriftMinKmh = 20;
constexpr double DriftDirectionToleranceDeg = 45;
/// How far ahead the verdict moves a drifting cloud, and where the cloud event says it will be,
/// seconds (15 minutes: Es clouds change shape and strength within that, a straight line no
/// further).
constexpr std::int64_t NowcastAheadS = 15 * 60;
/// Fastest drift reported, km/h. Es clouds are seen moving at up to a few hundred km/h; a faster
/// fit is scatter, so the speed is capped here and its direction kept.
constexpr double MaxDriftKmh = 500;
/// A 2 m spot without an Es tag places a cloud only where at least this many 6 m or 4 m spots of
/// the recent stretch already lie: 2 m Es comes from a cloud dense enough to carry 6 m first, and
/// an untagged 2 m contact without one is tropo (ducts reach 1,000 km and more).
constexpr int TwoMetreConfirmingSpots = 2;
/// Such a 2 m spot confirms its cloud only when its own geometry fits it: its path centre no
/// farther from the cloud's position than the cloud's farthest 6 m or 4 m spot plus this margin,
/// km (the centres of one cloud's paths scatter by some tens of km, subsquare rounding included)
/// ...
constexpr double TwoMetreExtentMarginKm = 50;
/// ... and the critical frequency it implies at most this factor above what the cloud's 6 m and
/// 4 m spots agree on. Over the same path 2 m needs 144 / 50 = 2.9 times the critical frequency
/// 6 m does, and 6 m spots show only that the cloud reaches their figure; a 2 m report asking
/// more than three times that of the cloud asks more than any 6 m path through it has shown. A
/// tropo duct read as Es does: 900 km under a 9.8 MHz cloud implies 38.7 MHz, four times.
constexpr double TwoMetreCriticalFactor = 3;
/// A 4 m spot without an Es tag that comes to a cloud holding TwoMetreConfirmingSpots 6 m spots
/// confirms it only on the same terms against those 6 m spots: its path centre within their
/// extent plus TwoMetreExtentMarginKm, and the critical frequency it implies at most this factor
/// above what they agree on. Over the same path 4 m needs 70.2 / 50.3 = 1.4 times the critical
/// frequency 6 m does; with the agreement margin of 5% on each of the two figures, 1.55. A 4 m
/// tropo duct of 900 km under a 9.8 MHz cloud implies about 19 MHz, twice the cloud's figure.
constexpr double FourMetreCriticalFactor = 1.55;
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
    /// Bands at or above this one alarm; none: the home's region decides (RegionDefaults).
    std::optional<spot::Band> AlarmFrom;
    /// The bands followed; none: the home's region decides.
    std::optional<spot::BandSet> Shown;
};

/// What the tracker needs of one counted spot.
struct TrackedSpot {
    spot::Band SpotBand = spot::Band::M6;
    double FreqMHz = 0;
    double CentreLatDeg = 0;
    double CentreLonDeg = 0;
    double CriticalFreqMHz = 0;
    double PathMufMHz = 0;
    /// A 2 m spot without an Es tag: it places nothing unless its cloud holds
    /// TwoMetreConfirmingSpots spots on 6 m or 4 m.
    bool NeedsConfirmation = false;
    /// A 4 m spot without an Es tag: it joins a cloud holding TwoMetreConfirmingSpots 6 m spots
    /// only when its geometry fits them (see FourMetreCriticalFactor).
    bool MustFitSixMetre = false;
    /// The share of its figures the spot can claim alone (ClaimShare), and its two stations
    /// (StationKey): a cloud's figures are those two independent reports agree on.
    double ClaimShare = 1;
    std::uint64_t FromStation = 0;
    std::uint64_t ToStation = 0;
    /// The larger uncertainty of an end placed from its call, km; 0 for ends with locators.
    /// It widens the join radius (MaxJoinWideningKm).
    double PlacedUncertaintyKm = 0;
};

/// Where a spot went.
struct Placement {
    std::optional<int> CloudId; ///< the cloud it joined or started
    bool Unconfirmed = false;   ///< a 2 m or 4 m spot no cloud confirms: placed nowhere
    /// Why, for an unconfirmed spot: "2 m, not confirmed: looks like tropo (...)".
    std::string Reason;
};

class CloudTracker {
  public:
    /// The home station `home` judges the clouds; the settings' unset choices come from its region.
    CloudTracker(const TrackerSettings &settings, HomeView home);

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
    ///
    /// A spot that needs confirmation and finds no cloud holding TwoMetreConfirmingSpots 6 m or
    /// 4 m spots within JoinRadiusKm (widened by a placed end's uncertainty) places nothing and is
    /// told so.
    Placement AddSpot(UnixSeconds time, const TrackedSpot &spot, std::vector<TrackerEvent> &events);

    /// Bands at or above `band` alarm, from the next band that opens on.
    void SetAlarmFrom(spot::Band band) {
        AlarmBand = band;
        Watch.SetAlarmFrom(band);
    }

    /// Every cloud as it stands, as "new" (active) or "fading" events at the clock, oldest first.
    [[nodiscard]] std::vector<CloudEvent> CurrentClouds() const;
    /// The verdict as it stands, at the clock.
    [[nodiscard]] VerdictEvent CurrentVerdict() const;
    [[nodiscard]] UnixSeconds Now() const { return Clock; }
    [[nodiscard]] std::size_t CloudCount() const { return Clouds.size(); }
    /// The bands followed and the lowest band alarmed, as the settings or the region give them.
    [[nodiscard]] spot::BandSet ShownBands() const { return Shown; }
    [[nodiscard]] spot::Band AlarmFrom() const { return AlarmBand; }

  private:
    struct Cloud {
        RecentSpots Recent;
        CloudSnapshot Shown;
        Unit Position{}; ///< Shown's position as a unit vector, set with it
        /// The figures agreed from Recent's rankings, at their version AgreedVersion (their spots
        /// to be found by number).
        AgreedFigures Agreed;
        std::uint64_t AgreedVersion = ~std::uint64_t{0};
        bool Fading = false;
        std::optional<CloudFromHome> FromHome; ///< none when fading or unusable from home
    };

    void Recompute(Cloud &cloud) const;
    /// Merges into `cloud` every other active cloud whose position lies within JoinRadiusKm of
    /// its own: one patch is one cloud, however its spots first came. The older cloud keeps its
    /// id; the other is reported gone. Returns the index of the cloud merged into.
    std::size_t MergeOverlapping(std::size_t index, std::vector<TrackerEvent> &events);
    /// The same for each cloud of `ids` still active, after spots left it and it moved: two
    /// patches that drifted together are one cloud as much as two that a new spot joins.
    void MergeMoved(const std::vector<int> &ids, std::vector<TrackerEvent> &events);
    /// Why an untagged 2 m or 4 m spot does not fit `cloud`; empty when it does.
    [[nodiscard]] std::string Misfit(const Cloud &cloud, const TrackedSpot &spot) const;
    /// The cloud's drift from the fit of its recent centres, or none (see DriftMinErrors).
    [[nodiscard]] std::optional<Drift> FitDrift(const Cloud &cloud) const;
    /// The nearest cloud active at `at` within `radiusKm` of the unit vector (x, y, z).
    [[nodiscard]] Cloud *NearestTo(UnixSeconds at, double x, double y, double z, double radiusKm);
    void UpdateVerdict(std::vector<TrackerEvent> &events);
    void Forget(std::size_t index, std::vector<TrackerEvent> &events);

    TrackerSettings Settings;
    HomeView Home;
    spot::BandSet Shown = 0;
    spot::Band AlarmBand = spot::Band::M4;
    UnixSeconds Clock = 0;
    bool Started = false;
    int NextId = 1;
    std::vector<Cloud> Clouds; ///< in order of id
    std::array<BandVerdict, spot::BandCount> Verdicts{};
    BandWatch Watch;
};

} // namespace ionvane::tracker
