// What a front end holds of a live session when it must not link the session's code: the live
// window takes its core from a module loaded once the window is drawn, so that the network, feed
// and database libraries behind the sources and the store do not delay its first look. Virtual
// calls and plain values only, so that nothing here binds a symbol of those libraries.
#pragma once

#include "live_events.h"

#include "calc/number_format.h"
#include "cluster/cluster_session.h"
#include "feed/feed_source.h"
#include "places/country_file.h"
#include "wsjtx/wsjtx_source.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QObject;

namespace ionvane::cluster {
class SessionLog;
}

namespace ionvane::history {
class HistoryStore;
}

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
    /// Spots without both locators are placed by this country file (null: none) and, when
    /// GridMemory, by the grids their calls were heard with.
    std::shared_ptr<const places::CountryFile> Countries;
    bool GridMemory = true;
    /// The file the grid memory is read from at start and written to at the end; "": none.
    QString GridMemoryFile;
    /// May be null (no log); it must outlive the core.
    cluster::SessionLog *Log = nullptr;
    /// The time, seconds since 1970 (UTC), of the ageing tick and the restore.
    std::function<UnixSeconds()> NowUtc;
    /// The sources' clocks and chances; none: the system's. (Made by the core alone: the system's
    /// bind the network libraries, which a front end holding the core's control does not load.)
    std::optional<cluster::SessionClock> SessionClock;
    std::optional<feed::FeedEnvironment> FeedEnvironment;
    std::optional<wsjtx::SourceEnvironment> WsjtxEnvironment;
};

class CoreControl {
  public:
    CoreControl() = default;
    virtual ~CoreControl() = default;
    CoreControl(const CoreControl &) = delete;
    CoreControl &operator=(const CoreControl &) = delete;

    /// Calls `listener` with every event from now on, while `context` lives.
    virtual void Subscribe(QObject *context, std::function<void(const LiveEvent &)> listener) = 0;

    /// The store to record into and restore from (null: none); it must outlive the core.
    virtual void UseStore(history::HistoryStore *store) = 0;
    /// Reads the store's last hour back and moves the clock to now; returns the lines read back.
    virtual std::size_t Restore() = 0;
    /// Ages the clouds every AgeingIntervalMs from now on.
    virtual void StartAgeing() = 0;

    /// A line from the cluster received at `time`.
    virtual void ClusterLine(UnixSeconds time, const std::string &line) = 0;
    /// An event of the feed.
    virtual void FeedReport(const feed::FeedEvent &event) = 0;
    /// The clock moved on to now without anything received.
    virtual void Tick() = 0;

    virtual void SetAlarmBand(tracker::Band band) = 0;
    /// A request to the WSJT-X with `id` (a HighlightCallsign), where its datagrams came from;
    /// false when no such WSJT-X is heard.
    virtual bool SendToWsjtx(const std::string & /*id*/, const std::string & /*bytes*/) {
        return false;
    }
    [[nodiscard]] virtual tracker::Band AlarmBand() const = 0;
    [[nodiscard]] virtual UnixSeconds Now() const = 0;
    [[nodiscard]] virtual std::vector<tracker::CloudEvent> Clouds() const = 0;
    [[nodiscard]] virtual tracker::VerdictEvent Verdict() const = 0;

    virtual void StartCluster(const QString &host, quint16 port, cluster::SessionConfig config) = 0;
    virtual void StopCluster() = 0;
    [[nodiscard]] virtual bool ClusterRunning() const = 0;
    virtual void StartFeed(const feed::FeedSettings &settings) = 0;
    virtual void StopFeed() = 0;
    [[nodiscard]] virtual bool FeedRunning() const = 0;
    /// Starts listening at `address` as the user wrote it (PORT or ADDRESS:PORT); returns why not
    /// when it cannot be read, and an empty text when the source was started.
    virtual std::string StartWsjtx(const QString &address) = 0;
    virtual void StopWsjtx() = 0;
    [[nodiscard]] virtual bool WsjtxRunning() const = 0;
    virtual void SetWsjtxRecordings(bool recordings) = 0;
    /// The WSJT-X heard last by the running source; null when none.
    [[nodiscard]] virtual const wsjtx::Client *WsjtxHeard() const = 0;
    /// Stops every source.
    virtual void Stop() = 0;
};

/// A live session just made, or why none could be.
struct OpenedCore {
    std::unique_ptr<CoreControl> Core;
    std::string Problem;
};

/// Makes a live session: in the program, the core module's; in tests, a LiveCore of their own.
using OpenCore = std::function<OpenedCore(CoreSetup setup)>;

} // namespace ionvane::live
