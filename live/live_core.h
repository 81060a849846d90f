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
#include "feed/feed_source.h"
#include "history/history_store.h"
#include "station/session_log.h"
#include "wsjtx/wsjtx_source.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <list>

namespace ionvane::live {

/// The live session. Front ends drive it through CoreControl; a replay and the tests feed it
/// lines, reports and ticks by hand through the calls of its own below.
class LiveCore : public QObject, public CoreControl {
  public:
    explicit LiveCore(CoreSetup setup, QObject *parent = nullptr);
    ~LiveCore() override;
    LiveCore(const LiveCore &) = delete;
    LiveCore &operator=(const LiveCore &) = delete;

    void Subscribe(QObject *context, std::function<void(const LiveEvent &)> listener) override;
    /// UseStore, then the store's last hour read back into the tracker (its alarms are not
    /// raised again) and the clock moved to now: SpotTaken and TrackerChange events marked
    /// Restored, a RestoreDone and a Settled. Then the ageing tick starts.
    void Open() override;

    void SetAlarmBand(spot::Band band) override { Pipeline.SetAlarmFrom(band); }
    [[nodiscard]] CoreSnapshot Snapshot() const override;

    void StartCluster(const QString &host, quint16 port, cluster::SessionConfig config) override;
    /// Starts following the feed with its own timings (tests make them short).
    void StartFeed(const feed::FeedSettings &settings, const feed::FeedTimings &timings);
    void StartFeed(const feed::FeedSettings &settings) override { StartFeed(settings, {}); }
    void StartWsjtx(const wsjtx::ListenAddress &where);
    std::string StartWsjtx(const QString &address) override;
    /// Also decides how the store's lines read back and capture lines count.
    void SetWsjtxRecordings(bool recordings) override;
    void Stop(LineSource source) override;
    void StopAll() override;

    /// Takes the store of the setup, without reading it back or ageing (a replay records a
    /// capture): what the user should know of its opening (moved aside, not opened) comes out
    /// as a StoreProblem; a store that is not open is not used.
    void UseStore();

    /// A line from the cluster received at `time`: the ageing that time brings, the line's spot,
    /// and what the spot changed. Written to the log first; a line the log cannot take is dropped.
    void ClusterLine(UnixSeconds time, const std::string &line);
    /// An event of the feed: a spot at its own time or a skipped report, after the ageing its
    /// receipt time brings. Connection events count for nothing here.
    void FeedReport(const feed::FeedEvent &event);
    /// A datagram of WSJT-X: a decode's spot at its slot time (a recording's at its receipt) or a
    /// skipped decode, after the ageing its receipt time brings; heartbeats and status messages
    /// are logged and recorded only. Listening changes count for nothing here.
    void WsjtxDatagram(const wsjtx::WsjtxEvent &event);
    /// A capture line of any source, as the session log keeps it, received at `time`.
    void CaptureLine(UnixSeconds time, std::string_view body);
    /// The clock moved on to `now` without anything received.
    void AgeTo(UnixSeconds now);
    /// The clock moved on to the time of NowUtc (the ageing timer).
    void Tick() { AgeTo(Setup.NowUtc()); }

    [[nodiscard]] UnixSeconds Now() const { return Pipeline.Clouds().Now(); }
    /// A request to the WSJT-X with `id`, where its datagrams came from; false when none is heard.
    bool SendToWsjtx(const std::string &id, const std::string &bytes) override {
        return !Wsjtx.isNull() && Wsjtx->SendTo(id, bytes);
    }

  private:
    void Take(LineSource from, UnixSeconds received, const std::string &raw,
              const tracker::LineResult &result);
    void Say(const LiveEvent &event);
    void StoreWritten(bool written);
    void SayTrackerEvents(bool restored);
    bool Logged(UnixSeconds time, std::string_view raw);

    struct Listener {
        QPointer<QObject> Context;
        std::function<void(const LiveEvent &)> Heard;
    };

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
    /// Set as the core goes: whoever listens may be half gone by then.
    bool Quiet = false;
    /// A list: a listener may subscribe another while it is told an event.
    std::list<Listener> Listeners;
    /// How many events are being told at once (a listener may feed the core again).
    int Telling = 0;
    QTimer Ageing;
    QPointer<cluster::ClusterSession> Cluster;
    QPointer<feed::FeedSource> Feed;
    QPointer<wsjtx::WsjtxSource> Wsjtx;
};

} // namespace ionvane::live
