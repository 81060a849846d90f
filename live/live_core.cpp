#include "live_core.h"

#include "grid_memory_file.h"
#include "history/recorder.h"

#include <QTimeZone>

namespace ionvane::live {

namespace {

QDateTime UtcTime(UnixSeconds time) {
    return QDateTime::fromSecsSinceEpoch(time, QTimeZone::utc());
}

// Stops a running source and lets it go once its last event has been told; `running` is cleared
// first, so that the source's Stopped event finds it no longer running.
template <typename Source> void StopSource(QPointer<Source> &running) {
    if (running) {
        Source *source = running;
        running.clear();
        source->Stop();
        source->deleteLater();
    }
}

// A source that ended for good (refused, or its port taken) is let go, unless another has taken
// its place since.
template <typename Source> void LetGo(QPointer<Source> &running, Source *ended) {
    if (running == ended) {
        running->deleteLater();
        running.clear();
    }
}

} // namespace

LiveCore::LiveCore(CoreSetup setup, QObject *parent)
    : QObject(parent), Setup(std::move(setup)),
      Pipeline(tracker::SpotCalculator(Setup.Format, Setup.Home), Setup.Tracker, Setup.AnyMode),
      Stored(wsjtx::ReaderSettings{Setup.Home.HomeLocator, false}),
      CaptureDecodes(wsjtx::ReaderSettings{Setup.Home.HomeLocator, false}) {
    Pipeline.UsePlaces(Setup.Countries.get(), Setup.GridMemory);
    if (Setup.GridMemory && !Setup.GridMemoryFile.isEmpty()) {
        LoadGridMemory(Setup.GridMemoryFile, Pipeline.Grids());
    }
    connect(&Ageing, &QTimer::timeout, this, [this] { Tick(); });
}

// Whoever listens may be half gone by now: the sources stop without a word.
LiveCore::~LiveCore() {
    Quiet = true;
    StopAll();
    if (Setup.GridMemory && !Setup.GridMemoryFile.isEmpty()) {
        SaveGridMemory(Setup.GridMemoryFile, Pipeline.Grids());
    }
}

void LiveCore::Subscribe(QObject *context, std::function<void(const LiveEvent &)> listener) {
    Listeners.push_back({context, std::move(listener)});
}

void LiveCore::Say(const LiveEvent &event) {
    if (Quiet) {
        return;
    }
    // Told in the order they subscribed; one subscribed while this event is told hears the next.
    // Those whose context has gone are forgotten once no event is being told (a listener may
    // feed the core again, telling events within this one).
    ++Telling;
    const std::size_t count = Listeners.size();
    auto listener = Listeners.begin();
    for (std::size_t i = 0; i < count; ++i, ++listener) {
        if (listener->Context) {
            listener->Heard(event);
        }
    }
    if (--Telling == 0) {
        Listeners.remove_if([](const Listener &gone) { return gone.Context.isNull(); });
    }
}

void LiveCore::UseStore() {
    history::HistoryStore *store = Setup.Store;
    Store = store != nullptr && store->IsOpen() ? store : nullptr;
    StoreFailed = false;
    StoreBusySaid = false;
    if (store != nullptr && !store->Message().empty()) {
        Say(StoreProblem{StoreProblem::Kind::Open, store->Message()});
    }
}

void LiveCore::Open() {
    UseStore();
    const UnixSeconds now = Setup.NowUtc();
    std::size_t lines = 0;
    if (Store == nullptr) {
        Pipeline.Tick(now, Events);
        Events.clear();
    } else {
        lines = history::RestoreRecent(
            *Store, Pipeline, now,
            [this](std::int64_t time, std::string_view line,
                   std::vector<tracker::TrackerEvent> &events) {
                const SourceLine read = Stored.Feed(Pipeline, time, line, events);
                if (read.Result.What != tracker::LineResult::Kind::Ignored) {
                    Say(SpotTaken{read.From, time, read.Time, std::string(line), read.Result, true,
                                  Now()});
                }
                for (const auto &event : events) {
                    Say(TrackerChange{event, true});
                }
            });
    }
    Say(RestoreDone{lines, Pipeline.Clouds().CurrentClouds(), Pipeline.CurrentVerdict()});
    Say(Settled{Now()});
    Ageing.start(AgeingIntervalMs);
}

CoreSnapshot LiveCore::Snapshot() const {
    CoreSnapshot now;
    now.Now = Now();
    now.Clouds = Pipeline.Clouds().CurrentClouds();
    now.Verdict = Pipeline.CurrentVerdict();
    now.AlarmBand = Pipeline.AlarmFrom();
    now.ClusterRunning = !Cluster.isNull();
    now.FeedRunning = !Feed.isNull();
    now.WsjtxRunning = !Wsjtx.isNull();
    if (const wsjtx::Client *heard = Wsjtx ? Wsjtx->LatestClient() : nullptr) {
        now.WsjtxHeard = *heard;
    }
    return now;
}

void LiveCore::ClusterLine(UnixSeconds time, const std::string &line) {
    if (!Logged(time, line)) {
        return;
    }
    // The ageing the line's time brings comes before what the line itself brings.
    Pipeline.Tick(time, Events);
    SayTrackerEvents(false);
    Take(LineSource::Cluster, time, line, Pipeline.Feed(time, line, Events));
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
    Take(LineSource::Feed, received, event.Raw, live::FeedReport(Pipeline, event, Events));
}

void LiveCore::WsjtxDatagram(const wsjtx::WsjtxEvent &event) {
    // Unchanged news and a flood of unreadable datagrams are neither logged, stored nor told.
    if (event.What == wsjtx::WsjtxEvent::Kind::Listening || !event.Reading.Record) {
        return;
    }
    const UnixSeconds received = event.ReceivedAt.time_since_epoch().count();
    if (!Logged(received, event.Raw)) {
        return;
    }
    Pipeline.Tick(received, Events);
    SayTrackerEvents(false);
    Take(LineSource::Wsjtx, received, event.Raw, live::WsjtxDatagram(Pipeline, event, Events));
}

void LiveCore::CaptureLine(UnixSeconds time, std::string_view body) {
    if (const auto datagram =
            wsjtx::StoredEvent(CaptureDecodes, wsjtx::Seconds(std::chrono::seconds(time)), body)) {
        WsjtxDatagram(*datagram);
    } else if (const auto report = feed::StoredEvent(
                   CaptureReader, feed::Seconds(std::chrono::seconds(time)), body)) {
        FeedReport(*report);
    } else {
        ClusterLine(time, std::string(body));
    }
}

void LiveCore::AgeTo(UnixSeconds now) {
    if (Store != nullptr) {
        StoreWritten(Store->Commit()); // lines waiting for a locked store, when nothing else comes
    }
    Pipeline.Tick(now, Events);
    SayTrackerEvents(false);
    Say(Settled{Now()});
}

// The one recording rule: every line and report is stored at its receipt time, every spot at its
// own time (a late feed report's, a listed spot's), with the alarms the line brought.
void LiveCore::Take(LineSource from, UnixSeconds received, const std::string &raw,
                    const tracker::LineResult &result) {
    const UnixSeconds spotTime =
        result.What == tracker::LineResult::Kind::Spot ? result.SpotTime : received;
    if (result.What != tracker::LineResult::Kind::Ignored) {
        // A report's event carries its receipt time; a cluster line's the clock, which a capture
        // stepping back a second leaves where it was.
        const UnixSeconds time = from == LineSource::Cluster ? Now() : received;
        Say(SpotTaken{from, time, spotTime, raw, result, false, Now()});
    }
    if (Store != nullptr) {
        StoreWritten(history::Record(*Store, received, spotTime, raw, result, Events));
    }
    SayTrackerEvents(false);
    Say(Settled{Now()});
}

// A failed write is said once a session; a locked store once as it locks and once as the lines
// waiting for it are written.
void LiveCore::StoreWritten(bool written) {
    if (!written && !StoreFailed) {
        StoreFailed = true;
        Say(StoreProblem{StoreProblem::Kind::Write, Store->Message()});
    }
    if (Store->IsBusy() && !StoreBusySaid) {
        StoreBusySaid = true;
        Say(StoreProblem{StoreProblem::Kind::Busy,
                         "The history store is locked by another program: the lines wait in "
                         "memory and are written when it is free."});
    } else if (!Store->IsBusy() && StoreBusySaid) {
        StoreBusySaid = false;
        if (written) {
            Say(StoreProblem{StoreProblem::Kind::Free,
                             "The history store is free again: the waiting lines are written."});
        }
    }
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
    StopSource(Cluster);
    Cluster = new cluster::ClusterSession(
        host, port, std::move(config),
        Setup.SessionClock ? *Setup.SessionClock : cluster::SessionClock::System(), this);
    connect(Cluster, &cluster::ClusterSession::connectionChanged, this,
            [this, session = Cluster.data()](const QDateTime &time,
                                             const cluster::ConnectionEvent &event) {
                // The node said no: no retry.
                const bool ended = event.What == cluster::ConnectionEvent::Kind::Refused;
                Say(SourceState{LineSource::Cluster, ended, ClusterConnection{time, event}});
                if (ended) {
                    LetGo(Cluster, session);
                }
            });
    connect(Cluster, &cluster::ClusterSession::lineReceived, this,
            [this](const QDateTime &time, const std::string &line) {
                ClusterLine(time.toSecsSinceEpoch(), line);
            });
    Cluster->Start();
}

void LiveCore::StartFeed(const feed::FeedSettings &settings, const feed::FeedTimings &timings) {
    StopSource(Feed);
    Feed = new feed::FeedSource(settings, Setup.FeedEnvironment.value_or(feed::FeedEnvironment{}),
                                timings, this);
    connect(Feed, &feed::FeedSource::Event, this,
            [this, source = Feed.data()](const feed::FeedEvent &event) {
                if (event.What != feed::FeedEvent::Kind::Connection) {
                    FeedReport(event);
                    return;
                }
                // The broker refused every topic: no retry.
                const bool ended = event.Connection == feed::FeedConnection::Refused;
                Say(SourceState{LineSource::Feed, ended, FeedConnection{event}});
                if (ended) {
                    LetGo(Feed, source);
                }
            });
    Feed->Start();
}

void LiveCore::StartWsjtx(const wsjtx::ListenAddress &where) {
    StopSource(Wsjtx);
    Wsjtx = new wsjtx::WsjtxSource(
        where, wsjtx::ReaderSettings{Setup.Home.HomeLocator, WsjtxRecordings},
        Setup.WsjtxEnvironment.value_or(wsjtx::SourceEnvironment{}), this);
    connect(Wsjtx, &wsjtx::WsjtxSource::Event, this,
            [this, source = Wsjtx.data()](const wsjtx::WsjtxEvent &event) {
                if (event.What != wsjtx::WsjtxEvent::Kind::Listening) {
                    WsjtxDatagram(event);
                    return;
                }
                // The port is another program's, or the group cannot be joined: no retry.
                const bool ended = event.State == wsjtx::Listening::Failed;
                Say(SourceState{LineSource::Wsjtx, ended, WsjtxListening{event}});
                if (ended) {
                    LetGo(Wsjtx, source);
                }
            });
    Wsjtx->Start();
}

std::string LiveCore::StartWsjtx(const QString &address) {
    const wsjtx::ListenReading where = wsjtx::ReadListenAddress(address);
    if (!where.Read) {
        return where.Problem;
    }
    StartWsjtx(*where.Read);
    return {};
}

void LiveCore::SetWsjtxRecordings(bool recordings) {
    WsjtxRecordings = recordings;
    Stored.SetWsjtxRecordings(recordings);
    CaptureDecodes.Options().Recordings = recordings;
    if (Wsjtx) {
        Wsjtx->SetRecordings(recordings);
    }
}

void LiveCore::Stop(LineSource source) {
    switch (source) {
    case LineSource::Cluster:
        StopSource(Cluster);
        return;
    case LineSource::Feed:
        StopSource(Feed);
        return;
    case LineSource::Wsjtx:
        StopSource(Wsjtx);
        return;
    }
}

void LiveCore::StopAll() {
    StopSource(Cluster);
    StopSource(Feed);
    StopSource(Wsjtx);
}

} // namespace ionvane::live
