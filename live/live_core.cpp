#include "live_core.h"

#include "history/recorder.h"

#include <QTimeZone>

namespace ionvane::live {

namespace {

QDateTime UtcTime(UnixSeconds time) {
    return QDateTime::fromSecsSinceEpoch(time, QTimeZone::utc());
}

} // namespace

LiveCore::LiveCore(CoreSetup setup, QObject *parent)
    : QObject(parent), Setup(std::move(setup)),
      Pipeline(tracker::SpotCalculator(Setup.Format, Setup.Home), Setup.Tracker, Setup.AnyMode) {
    connect(&Ageing, &QTimer::timeout, this, &LiveCore::Tick);
}

// Whoever listens may be half gone by now: the sources stop without a word.
LiveCore::~LiveCore() {
    blockSignals(true);
    Stop();
}

void LiveCore::UseStore(history::HistoryStore *store) {
    Store = store != nullptr && store->IsOpen() ? store : nullptr;
    StoreFailed = false;
    if (store != nullptr && !store->Message().empty()) {
        Say(StoreProblem{StoreProblem::Kind::Open, store->Message()});
    }
}

std::size_t LiveCore::Restore() {
    const UnixSeconds now = Setup.NowUtc();
    std::size_t lines = 0;
    if (Store == nullptr) {
        Pipeline.Tick(now, Events);
        Events.clear();
    } else {
        lines =
            history::RestoreRecent(*Store, Pipeline, now,
                                   [this](std::int64_t time, std::string_view line,
                                          std::vector<tracker::TrackerEvent> &events) {
                                       const history::SourceLine read =
                                           Stored.Feed(Pipeline, time, line, events);
                                       if (read.Result.What != tracker::LineResult::Kind::Ignored) {
                                           Say(SpotTaken{read.From, time, read.Time,
                                                         std::string(line), read.Result, true});
                                       }
                                       for (const auto &event : events) {
                                           Say(TrackerChange{event, true});
                                       }
                                   });
    }
    Say(RestoreDone{lines, Clouds(), Verdict()});
    Say(Settled{Now()});
    return lines;
}

void LiveCore::ClusterLine(UnixSeconds time, const std::string &line) {
    if (!Logged(time, line)) {
        return;
    }
    // The ageing the line's time brings comes before what the line itself brings.
    Pipeline.Tick(time, Events);
    SayTrackerEvents(false);
    const tracker::LineResult result = Pipeline.Feed(time, line, Events);
    Take(LineSource::Cluster, time, time, line, result);
}

void LiveCore::FeedReport(const feed::FeedEvent &event) {
    if (event.What == feed::FeedEvent::Kind::Connection) {
        return;
    }
    const UnixSeconds received = event.ReceivedAt.time_since_epoch().count();
    if (!Logged(received, event.Raw)) {
        return;
    }
    Pipeline.Tick(received, Events);
    SayTrackerEvents(false);
    const tracker::LineResult result = history::FeedReport(Pipeline, event, Events);
    // A spot at its own time, a skipped report at its receipt.
    const UnixSeconds spotTime = event.What == feed::FeedEvent::Kind::Spot
                                     ? event.Time.time_since_epoch().count()
                                     : received;
    Take(LineSource::Feed, received, spotTime, event.Raw, result);
}

void LiveCore::CaptureLine(UnixSeconds time, std::string_view body) {
    if (const auto report =
            feed::StoredEvent(CaptureReader, feed::Seconds(std::chrono::seconds(time)), body)) {
        FeedReport(*report);
    } else {
        ClusterLine(time, std::string(body));
    }
}

void LiveCore::AgeTo(UnixSeconds now) {
    Pipeline.Tick(now, Events);
    SayTrackerEvents(false);
    Say(Settled{Now()});
}

void LiveCore::StartAgeing() {
    Ageing.start(AgeingIntervalMs);
}

// The one recording rule: every line and report is stored at its receipt time, every spot at its
// own time, with the alarms the line brought.
void LiveCore::Take(LineSource from, UnixSeconds received, UnixSeconds spotTime,
                    const std::string &raw, const tracker::LineResult &result) {
    if (result.What != tracker::LineResult::Kind::Ignored) {
        // A report's event carries its receipt time; a cluster line's the clock, which a capture
        // stepping back a second leaves where it was.
        const UnixSeconds time = from == LineSource::Cluster ? Now() : received;
        Say(SpotTaken{from, time, spotTime, raw, result, false});
    }
    if (Store != nullptr && !history::Record(*Store, received, spotTime, raw, result, Events) &&
        !StoreFailed) {
        StoreFailed = true;
        Say(StoreProblem{StoreProblem::Kind::Write, Store->Message()});
    }
    SayTrackerEvents(false);
    Say(Settled{Now()});
}

void LiveCore::SayTrackerEvents(bool restored) {
    // Moved out first: a listener may feed the core again.
    std::vector<tracker::TrackerEvent> events;
    events.swap(Events);
    for (auto &event : events) {
        Say(TrackerChange{std::move(event), restored});
    }
}

bool LiveCore::Logged(UnixSeconds time, std::string_view raw) {
    if (Setup.Log == nullptr || !Setup.Log->IsOpen() || LogFailed) {
        return !LogFailed;
    }
    if (!Setup.Log->Write(UtcTime(time), raw)) {
        LogFailed = true;
        Say(LogProblem{});
        return false;
    }
    return true;
}

void LiveCore::StartCluster(const QString &host, quint16 port, cluster::SessionConfig config) {
    StopCluster();
    Cluster = new cluster::ClusterSession(host, port, std::move(config), Setup.SessionClock, this);
    connect(Cluster, &cluster::ClusterSession::connectionChanged, this,
            [this, session = Cluster.data()](const QDateTime &time,
                                             const cluster::ConnectionEvent &event) {
                Say(ClusterConnection{time, event});
                // The node said no: no retry.
                if (event.What == cluster::ConnectionEvent::Kind::Refused && Cluster == session) {
                    Cluster->deleteLater();
                    Cluster.clear();
                }
            });
    connect(Cluster, &cluster::ClusterSession::lineReceived, this,
            [this](const QDateTime &time, const std::string &line) {
                ClusterLine(time.toSecsSinceEpoch(), line);
            });
    Cluster->Start();
}

void LiveCore::StopCluster() {
    if (Cluster) {
        cluster::ClusterSession *session = Cluster;
        Cluster.clear();
        session->Stop();
        session->deleteLater();
    }
}

void LiveCore::StartFeed(const feed::FeedSettings &settings, const feed::FeedTimings &timings) {
    StopFeed();
    Feed = new feed::FeedSource(settings, Setup.FeedEnvironment, timings, this);
    connect(Feed, &feed::FeedSource::Event, this,
            [this, source = Feed.data()](const feed::FeedEvent &event) {
                if (event.What != feed::FeedEvent::Kind::Connection) {
                    FeedReport(event);
                    return;
                }
                Say(FeedConnection{event});
                if (event.Connection == feed::FeedConnection::Refused && Feed == source) {
                    Feed->deleteLater();
                    Feed.clear();
                }
            });
    Feed->Start();
}

void LiveCore::StopFeed() {
    if (Feed) {
        feed::FeedSource *source = Feed;
        Feed.clear();
        source->Stop();
        source->deleteLater();
    }
}

void LiveCore::Stop() {
    StopCluster();
    StopFeed();
}

} // namespace ionvane::live
