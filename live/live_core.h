// One live session from end to end, for every front end: the sources (the cluster session and
// the feed), the session log, the history store and its last hour read back at start, the one
// recording rule, the ageing tick, and the tracker with its settings. Everything it learns comes
// out as a LiveEvent; the command line writes JSON lines from them, the live window rows, map
// scenes and alarms.
//
// A further source is added with a Start/Stop pair that connects its signals here, one intake
// routine that moves the clock, hands the spot to the pipeline and calls Take, and its connection
// event in live_events.h.
#pragma once

#include "live_events.h"

#include "cluster/cluster_session.h"
#include "cluster/session_log.h"
#include "feed/feed_source.h"
#include "history/history_store.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

namespace ionvane::live {

/// How often the clouds age while nothing arrives, ms: a tenth of a minute-scale fade is fine
/// enough, and a quiet session costs one tick every 30 s.
constexpr int AgeingIntervalMs = 30'000;

/// What a session is made with: the user's settings, and the clocks, files and random sources
/// from outside, so that tests drive it with a capture's own times.
struct CoreSetup {
    calc::NumberFormat Format;
    tracker::HomeSettings Home;
    tracker::TrackerSettings Tracker;
    /// Spots tagged with another propagation mode are calculated too (and still place no cloud).
    bool AnyMode = false;
    /// May be null (no log); it must outlive the core.
    cluster::SessionLog *Log = nullptr;
    /// The time, seconds since 1970 (UTC), of the ageing tick and the restore.
    std::function<UnixSeconds()> NowUtc;
    cluster::SessionClock SessionClock = cluster::SessionClock::System();
    feed::FeedEnvironment FeedEnvironment;
};

class LiveCore : public QObject {
    Q_OBJECT

  public:
    explicit LiveCore(CoreSetup setup, QObject *parent = nullptr);
    ~LiveCore() override;
    LiveCore(const LiveCore &) = delete;
    LiveCore &operator=(const LiveCore &) = delete;

    /// The store to record into and restore from (null: none); it must outlive the core. What
    /// the user should know of its opening (moved aside, not opened) comes out as a StoreProblem;
    /// a store that is not open is not used.
    void UseStore(history::HistoryStore *store);

    /// Reads the store's last hour back into the tracker (its alarms are not raised again) and
    /// moves the clock to now: SpotTaken and TrackerChange events marked Restored, a RestoreDone
    /// and a Settled. Returns the lines read back.
    std::size_t Restore();

    /// A line from the cluster received at `time`: the ageing that time brings, the line's spot,
    /// and what the spot changed. Written to the log first; a line the log cannot take is dropped.
    void ClusterLine(UnixSeconds time, const std::string &line);
    /// An event of the feed: a spot at its own time or a skipped report, after the ageing its
    /// receipt time brings. Connection events count for nothing here.
    void FeedReport(const feed::FeedEvent &event);
    /// A capture line of either source, as the session log keeps it, received at `time`.
    void CaptureLine(UnixSeconds time, std::string_view body);
    /// The clock moved on to `now` without anything received.
    void AgeTo(UnixSeconds now);
    /// The clock moved on to the time of NowUtc (the ageing timer).
    void Tick() { AgeTo(Setup.NowUtc()); }
    /// Ages the clouds every AgeingIntervalMs from now on.
    void StartAgeing();

    /// Bands at or above `band` alarm; from the next change of a verdict on.
    void SetAlarmBand(tracker::Band band) { Pipeline.SetAlarmFrom(band); }
    [[nodiscard]] tracker::Band AlarmBand() const { return Pipeline.AlarmFrom(); }

    [[nodiscard]] UnixSeconds Now() const { return Pipeline.Clouds().Now(); }
    [[nodiscard]] std::vector<tracker::CloudEvent> Clouds() const {
        return Pipeline.Clouds().CurrentClouds();
    }
    [[nodiscard]] tracker::VerdictEvent Verdict() const {
        return Pipeline.Clouds().CurrentVerdict();
    }

    /// Starts a session with the node (stopping one already running); its connection changes
    /// come out as ClusterConnection events. A refused session ends for good.
    void StartCluster(const QString &host, quint16 port, cluster::SessionConfig config);
    void StopCluster();
    [[nodiscard]] bool ClusterRunning() const { return !Cluster.isNull(); }
    /// Starts following the feed (stopping a feed already followed); its connection changes come
    /// out as FeedConnection events. A refused feed ends for good.
    void StartFeed(const feed::FeedSettings &settings, const feed::FeedTimings &timings = {});
    void StopFeed();
    [[nodiscard]] bool FeedRunning() const { return !Feed.isNull(); }
    /// Stops every source.
    void Stop();

  signals:
    void happened(const ionvane::live::LiveEvent &event);

  private:
    void Take(LineSource from, UnixSeconds received, UnixSeconds spotTime, const std::string &raw,
              const tracker::LineResult &result);
    void Say(LiveEvent event) { emit happened(event); }
    void SayTrackerEvents(bool restored);
    bool Logged(UnixSeconds time, std::string_view raw);

    CoreSetup Setup;
    tracker::SpotPipeline Pipeline;
    history::HistoryStore *Store = nullptr;
    history::SourceLines Stored;      ///< reads the store's lines of both sources back
    feed::ReportReader CaptureReader; ///< reads the feed reports of capture lines
    std::vector<tracker::TrackerEvent> Events;
    bool StoreFailed = false;
    bool LogFailed = false;
    QTimer Ageing;
    QPointer<cluster::ClusterSession> Cluster;
    QPointer<feed::FeedSource> Feed;
};

} // namespace ionvane::live
