// One live session from end to end, for every front end: the sources (the cluster session, the
// feed and the user's own WSJT-X), the session log, the history store and its last hour read back
// at start, the one recording rule, the ageing tick, and the tracker with its settings. Everything
// it learns comes out as a LiveEvent; the command line writes JSON lines from them, the live window
// rows, map scenes and alarms.
//
// A further source is added with a Start/Stop pair that connects its signals here, one intake
// routine that moves the clock, hands the spot to the pipeline and calls Take, and its connection
// event in live_events.h.
#pragma once

#include "core_control.h"
#include "live_events.h"

#include "cluster/cluster_session.h"
#include "cluster/session_log.h"
#include "feed/feed_source.h"
#include "history/history_store.h"
#include "wsjtx/wsjtx_source.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

namespace ionvane::live {

class LiveCore : public QObject, public CoreControl {
    Q_OBJECT

  public:
    explicit LiveCore(CoreSetup setup, QObject *parent = nullptr);
    ~LiveCore() override;
    LiveCore(const LiveCore &) = delete;
    LiveCore &operator=(const LiveCore &) = delete;

    /// The store to record into and restore from (null: none); it must outlive the core. What
    /// the user should know of its opening (moved aside, not opened) comes out as a StoreProblem;
    /// a store that is not open is not used.
    void UseStore(history::HistoryStore *store) override;

    /// Reads the store's last hour back into the tracker (its alarms are not raised again) and
    /// moves the clock to now: SpotTaken and TrackerChange events marked Restored, a RestoreDone
    /// and a Settled. Returns the lines read back.
    std::size_t Restore() override;

    /// A line from the cluster received at `time`: the ageing that time brings, the line's spot,
    /// and what the spot changed. Written to the log first; a line the log cannot take is dropped.
    void ClusterLine(UnixSeconds time, const std::string &line) override;
    /// An event of the feed: a spot at its own time or a skipped report, after the ageing its
    /// receipt time brings. Connection events count for nothing here.
    void FeedReport(const feed::FeedEvent &event) override;
    /// A datagram of WSJT-X: a decode's spot at its slot time (a recording's at its receipt) or a
    /// skipped decode, after the ageing its receipt time brings; heartbeats and status messages
    /// are logged and recorded only. Listening changes count for nothing here.
    void WsjtxDatagram(const wsjtx::WsjtxEvent &event);
    /// A capture line of any source, as the session log keeps it, received at `time`.
    void CaptureLine(UnixSeconds time, std::string_view body);
    /// The clock moved on to `now` without anything received.
    void AgeTo(UnixSeconds now);
    /// The clock moved on to the time of NowUtc (the ageing timer).
    void Tick() override { AgeTo(Setup.NowUtc()); }
    /// Ages the clouds every AgeingIntervalMs from now on.
    void StartAgeing() override;

    /// Bands at or above `band` alarm; from the next change of a verdict on.
    void SetAlarmBand(tracker::Band band) override { Pipeline.SetAlarmFrom(band); }
    [[nodiscard]] tracker::Band AlarmBand() const override { return Pipeline.AlarmFrom(); }

    [[nodiscard]] UnixSeconds Now() const override { return Pipeline.Clouds().Now(); }
    [[nodiscard]] std::vector<tracker::CloudEvent> Clouds() const override {
        return Pipeline.Clouds().CurrentClouds();
    }
    [[nodiscard]] tracker::VerdictEvent Verdict() const override {
        return Pipeline.CurrentVerdict();
    }

    /// Starts a session with the node (stopping one already running); its connection changes
    /// come out as ClusterConnection events. A refused session ends for good.
    void StartCluster(const QString &host, quint16 port, cluster::SessionConfig config) override;
    void StopCluster() override;
    [[nodiscard]] bool ClusterRunning() const override { return !Cluster.isNull(); }
    /// Starts following the feed (stopping a feed already followed); its connection changes come
    /// out as FeedConnection events. A refused feed ends for good.
    void StartFeed(const feed::FeedSettings &settings, const feed::FeedTimings &timings);
    void StartFeed(const feed::FeedSettings &settings) override { StartFeed(settings, {}); }
    void StopFeed() override;
    [[nodiscard]] bool FeedRunning() const override { return !Feed.isNull(); }
    /// Starts listening for WSJT-X (stopping a source already listening); its listening changes
    /// come out as WsjtxListening events. A source that cannot take its port ends for good.
    void StartWsjtx(const wsjtx::ListenAddress &where);
    std::string StartWsjtx(const QString &address) override;
    void StopWsjtx() override;
    [[nodiscard]] bool WsjtxRunning() const override { return !Wsjtx.isNull(); }
    /// A request to the WSJT-X with `id`, where its datagrams came from; false when none is heard.
    bool SendToWsjtx(const std::string &id, const std::string &bytes) override {
        return !Wsjtx.isNull() && Wsjtx->SendTo(id, bytes);
    }
    /// Whether WSJT-X's decodes of recordings count, live, in captures and in the store's lines
    /// read back; may change while listening.
    void SetWsjtxRecordings(bool recordings) override;
    /// The WSJT-X heard last by the running source, for the words of its state; null when none.
    [[nodiscard]] const wsjtx::Client *WsjtxHeard() const override;
    /// Stops every source.
    void Stop() override;

    void Subscribe(QObject *context, std::function<void(const LiveEvent &)> listener) override;

  signals:
    void happened(const ionvane::live::LiveEvent &event);

  private:
    void Take(LineSource from, UnixSeconds received, const std::string &raw,
              const tracker::LineResult &result);
    void Say(LiveEvent event) { emit happened(event); }
    void StoreWritten(bool written);
    void SayTrackerEvents(bool restored);
    bool Logged(UnixSeconds time, std::string_view raw);

    CoreSetup Setup;
    tracker::SpotPipeline Pipeline;
    history::HistoryStore *Store = nullptr;
    SourceLines Stored;                 ///< reads the store's lines of every source back
    feed::ReportReader CaptureReader;   ///< reads the feed reports of capture lines
    wsjtx::DecodeReader CaptureDecodes; ///< reads the WSJT-X datagrams of capture lines
    bool WsjtxRecordings = false;
    std::vector<tracker::TrackerEvent> Events;
    bool StoreFailed = false;
    bool StoreBusySaid = false;
    bool LogFailed = false;
    QTimer Ageing;
    QPointer<cluster::ClusterSession> Cluster;
    QPointer<feed::FeedSource> Feed;
    QPointer<wsjtx::WsjtxSource> Wsjtx;
};

} // namespace ionvane::live
