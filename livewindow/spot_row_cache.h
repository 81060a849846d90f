// What the live window shows of the live core's session: the newest spots, each cloud's best
// spot and the paths for the map, kept from the core's events; the core itself does the rest
// (sources, recording, restore, ageing, tracker, alarm band). The core comes once the window is
// drawn: until then the session is empty.
#pragma once

#include "live/core_control.h"
#include "map/map_scene.h"
#include "tracker/muf_layer.h"

#include <QObject>

#include <array>

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ionvane::livewindow {

using tracker::UnixSeconds;

/// Most spots the spot list keeps: a busy feed brings a few hundred a minute, and the list is
/// read for the newest few dozen; older ones stay in the history store.
constexpr std::size_t MaxListedSpots = 1000;
/// Spot paths drawn on the map: those of the tracker's recent stretch (15 minutes).
constexpr std::int64_t MapPathWindowS = tracker::RecentWindowS;

/// Where a spot came from.
using SpotSource = live::LineSource;

/// One row of the spot list: a spot or a line that read as a spot and was skipped.
struct SpotRow {
    UnixSeconds Time = 0;
    SpotSource Source = SpotSource::Cluster;
    bool Skipped = false; ///< not calculated: Reason says why
    std::string Reason;
    spot::Spot Read;
    std::optional<spot::Band> SpotBand;
    tracker::EsClass Class = tracker::EsClass::OtherBand;
    std::optional<int> CloudId;
    std::optional<map::GeoPoint> From; ///< set when the calculation completed
    std::optional<map::GeoPoint> To;
    double PathMufMHz = 0; ///< the spotted path's MUF, when the calculation completed
    /// For a spot placed from its calls: "from heard with JN48 at 10:02, to prefix EA8 (Canary
    /// Islands) +-250 km"; empty for a spot that gave its locators.
    std::string Placed;
};

class SpotRowCache : public QObject {
    Q_OBJECT

  public:
    explicit SpotRowCache(QObject *parent = nullptr) : QObject(parent) {}
    ~SpotRowCache() override;
    SpotRowCache(const SpotRowCache &) = delete;
    SpotRowCache &operator=(const SpotRowCache &) = delete;

    /// Takes the session's core, and hears it from now on.
    void Attach(std::unique_ptr<live::CoreControl> core);
    /// Stops the core and lets it go with everything heard from it: a new home needs a new core,
    /// which reads the last hour back from the store.
    void Detach();
    /// The session itself (sources, store, restore, alarm band); null until attached.
    [[nodiscard]] live::CoreControl *Core() { return Engine.get(); }

    /// A session of the past, without a core: the clouds and verdict at `now`, and the spots
    /// before it (oldest first) as the core told them then.
    void ShowStill(UnixSeconds now, std::vector<tracker::CloudEvent> clouds,
                   tracker::VerdictEvent verdict, const std::vector<live::SpotTaken> &spots);

    /// The tracker's clock as last heard from the core (or the moment a past session shows).
    [[nodiscard]] UnixSeconds Now() const { return Still ? Still->Now : Clock; }
    [[nodiscard]] std::vector<tracker::CloudEvent> Clouds() const {
        return Engine  ? Engine->Snapshot().Clouds
               : Still ? Still->Clouds
                       : std::vector<tracker::CloudEvent>{};
    }
    [[nodiscard]] tracker::VerdictEvent Verdict() const {
        return Engine  ? Engine->Snapshot().Verdict
               : Still ? Still->Verdict
                       : tracker::VerdictEvent{};
    }
    /// The listed spots, newest first.
    [[nodiscard]] const std::deque<SpotRow> &Spots() const { return Rows; }
    /// The spot of the highest path MUF among a cloud's spots of the recent stretch (the newest of
    /// equals): the one whose frequency of traffic the band row shows, and the one a double-click
    /// hands to the calculator. The highest frequency alone once gave the calculator a spot of a
    /// longer path and a lower MUF than the row's.
    [[nodiscard]] std::optional<SpotRow> BestSpotOf(int cloudId) const;
    /// The paths of the recent stretch, for the map: each cloud's, as many as the tracker keeps
    /// of it (MaxRecentSpotsPerCloud), and the listed ones through no cloud.
    [[nodiscard]] std::vector<map::SpotPath> RecentPaths() const;
    /// The Es MUF layer over the last `windowS` (MufWindowShortS or MufWindowLongS), at the clock.
    [[nodiscard]] std::vector<tracker::MufSquare> MufSquares(UnixSeconds windowS) const {
        return (windowS == tracker::MufWindowLongS ? MufLayers[1] : MufLayers[0]).Squares();
    }

  signals:
    /// Clouds, verdict or spots changed.
    void changed();
    /// An alarm, raised once, when the tracker raises it (never one read back from the store).
    void alarmed(const ionvane::tracker::AlarmEvent &alarm);

  private:
    void Heard(const live::LiveEvent &event);
    void Take(const live::SpotTaken &taken);

    std::unique_ptr<live::CoreControl> Engine;
    UnixSeconds Clock = 0;
    /// What a session of the past shows in place of a core's.
    struct StillState {
        UnixSeconds Now = 0;
        std::vector<tracker::CloudEvent> Clouds;
        tracker::VerdictEvent Verdict;
    };
    std::optional<StillState> Still;
    std::deque<SpotRow> Rows;
    /// The counted spots of each cloud, oldest first, pruned to the recent stretch.
    std::map<int, std::deque<SpotRow>> CloudSpots;
    /// The Es MUF layer over both windows, each kept as spots come, so that either shows at once.
    std::array<tracker::MufLayer, 2> MufLayers{tracker::MufLayer(tracker::MufWindowShortS),
                                               tracker::MufLayer(tracker::MufWindowLongS)};
};

} // namespace ionvane::livewindow
