// The glue of the live window: received cluster lines and feed reports through the tracker, each
// recorded in the history store, the clouds aged on a timer, and what the widgets show kept here
// (clouds, verdict, the newest spots, each cloud's best spot). The clock and the store come from
// outside, so tests drive it with a capture's own times.
#pragma once

#include "feed/feed_event.h"
#include "feed/report_reader.h"
#include "history/history_store.h"
#include "history/source_lines.h"
#include "map/map_scene.h"
#include "tracker/spot_pipeline.h"
#include "wsjtx/wsjtx_event.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace ionvane::livewindow {

using tracker::UnixSeconds;

/// Most spots the spot list keeps: a busy feed brings a few hundred a minute, and the list is
/// read for the newest few dozen; older ones stay in the history store.
constexpr std::size_t MaxListedSpots = 1000;
/// How often the clouds age while nothing arrives, ms: a tenth of a minute-scale fade is fine
/// enough, the same as the command line's live session.
constexpr int AgeingIntervalMs = 30'000;
/// Spot paths drawn on the map: those of the tracker's recent stretch (15 minutes).
constexpr std::int64_t MapPathWindowS = tracker::RecentWindowS;

/// Where a spot came from.
using SpotSource = history::LineSource;

/// One row of the spot list: a spot or a line that read as a spot and was skipped.
struct SpotRow {
    UnixSeconds Time = 0;
    SpotSource Source = SpotSource::Cluster;
    bool Skipped = false; ///< not calculated: Reason says why
    std::string Reason;
    spot::Spot Read;
    std::optional<tracker::Band> SpotBand;
    tracker::EsClass Class = tracker::EsClass::OtherBand;
    std::optional<int> CloudId;
    std::optional<map::GeoPoint> From; ///< set when the calculation completed
    std::optional<map::GeoPoint> To;
};

class LiveSession : public QObject {
    Q_OBJECT

  public:
    /// `store` may be null (no history) and must outlive the session; `nowUtc` gives the time in
    /// seconds since 1970 for the ageing tick and the restore.
    LiveSession(tracker::SpotCalculator calculator, tracker::TrackerSettings settings,
                history::HistoryStore *store, std::function<UnixSeconds()> nowUtc,
                QObject *parent = nullptr);

    /// Replays the store's last hour into the tracker (its alarms are not raised again) and
    /// lists its spots. Returns the lines replayed.
    std::size_t Restore();
    /// The store to record into and restore from, when it is opened after the session was made
    /// (null: none); it must outlive the session.
    void SetStore(history::HistoryStore *store) { Store = store; }

    /// A line from the cluster received at `time`.
    void ClusterLine(UnixSeconds time, const std::string &line);
    /// An event of the feed; its spots and skipped reports count, connection changes do not.
    void FeedReport(const feed::FeedEvent &event);
    /// A datagram of WSJT-X; its spots and skipped decodes are listed, its heartbeats and status
    /// messages only recorded, listening changes ignored.
    void WsjtxDatagram(const wsjtx::WsjtxEvent &event);
    /// Whether WSJT-X's recordings count in the lines restored from the store.
    void SetWsjtxRecordings(bool recordings) { Restored.SetWsjtxRecordings(recordings); }
    /// The clock moved on without anything received (the ageing timer).
    void Tick();
    /// Ages the clouds every AgeingIntervalMs from now on.
    void StartAgeing();

    /// Alarms on bands below `band` are kept quiet (recorded and shown nowhere).
    void SetAlarmBand(tracker::Band band) { AlarmFrom = band; }
    [[nodiscard]] tracker::Band AlarmBand() const { return AlarmFrom; }

    [[nodiscard]] UnixSeconds Now() const { return Pipeline.Clouds().Now(); }
    [[nodiscard]] std::vector<tracker::CloudEvent> Clouds() const {
        return Pipeline.Clouds().CurrentClouds();
    }
    [[nodiscard]] tracker::VerdictEvent Verdict() const {
        return Pipeline.Clouds().CurrentVerdict();
    }
    /// The listed spots, newest first.
    [[nodiscard]] const std::deque<SpotRow> &Spots() const { return Rows; }
    /// The spot of the highest frequency among a cloud's spots of the recent stretch (the newest
    /// of equals): the one a double-click hands to the calculator.
    [[nodiscard]] std::optional<SpotRow> BestSpotOf(int cloudId) const;
    /// The paths of the recent stretch, for the map.
    [[nodiscard]] std::vector<map::SpotPath> RecentPaths() const;

  signals:
    /// Clouds, verdict or spots changed.
    void changed();
    /// An alarm at or above the alarm band: raised once, when the tracker raises it.
    void alarmed(const ionvane::tracker::AlarmEvent &alarm);

  private:
    void Take(UnixSeconds time, const std::string &line, const tracker::LineResult &result,
              SpotSource source, bool live);
    void Publish(bool live);

    tracker::SpotPipeline Pipeline;
    history::HistoryStore *Store;
    std::function<UnixSeconds()> NowUtc;
    tracker::Band AlarmFrom;
    history::SourceLines Restored; ///< reads the store's lines of both sources back
    std::vector<tracker::TrackerEvent> Events;
    std::deque<SpotRow> Rows;
    /// The counted spots of each cloud, oldest first, pruned to the recent stretch.
    std::map<int, std::deque<SpotRow>> CloudSpots;
    QTimer Ageing;
};

} // namespace ionvane::livewindow
