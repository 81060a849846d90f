// The live session's front door: what a front end calls and hears of it. The live window is
// handed its core through OpenCore once it has been drawn (the program's live module makes a
// LiveCore, tests one they feed by hand) and needs none of the core's code. Test-only feeding
// (lines, reports, ticks) is LiveCore's own, not part of this door.
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

namespace ionvane::station {
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
    station::SessionLog *Log = nullptr;
    /// The store to record into and read the last hour back from (null: none); it must outlive
    /// the core. A store that is not open is not used.
    history::HistoryStore *Store = nullptr;
    /// The time, seconds since 1970 (UTC), of the ageing tick and the restore.
    std::function<UnixSeconds()> NowUtc;
    /// The sources' clocks and chances; none: the system's. (Made by the core alone: the system's
    /// bind the network libraries, which a front end holding the core's control does not load.)
    std::optional<cluster::SessionClock> SessionClock;
    std::optional<feed::FeedEnvironment> FeedEnvironment;
    std::optional<wsjtx::SourceEnvironment> WsjtxEnvironment;
};

/// What the core holds at one moment, for a front end that draws it.
struct CoreSnapshot {
    /// The tracker's clock.
    UnixSeconds Now = 0;
    /// The clouds as "new" or "fading" at the clock.
    std::vector<tracker::CloudEvent> Clouds;
    tracker::VerdictEvent Verdict;
    /// Bands at or above it alarm.
    spot::Band AlarmBand = spot::Band::M6;
    bool ClusterRunning = false;
    bool FeedRunning = false;
    bool WsjtxRunning = false;
    /// The WSJT-X heard last by the running source, for the words of its state; none when none.
    std::optional<wsjtx::Client> WsjtxHeard;
};

/// A live session as a front end drives it: opened once everyone listens, its sources started
/// and stopped, its alarm band set, and what it holds looked at.
class CoreControl {
  public:
    CoreControl() = default;
    virtual ~CoreControl() = default;
    CoreControl(const CoreControl &) = delete;
    CoreControl &operator=(const CoreControl &) = delete;

    /// Calls `listener` with every event from now on, while `context` lives.
    virtual void Subscribe(QObject *context, std::function<void(const LiveEvent &)> listener) = 0;
    /// Opens the session, once, after its listeners subscribed: the store of its setup is taken
    /// (what went wrong in opening it comes as a StoreProblem), its last hour read back, and the
    /// clouds age every AgeingIntervalMs from now on.
    virtual void Open() = 0;

    /// Bands at or above `band` alarm; from the next change of a verdict on.
    virtual void SetAlarmBand(spot::Band band) = 0;
    [[nodiscard]] virtual CoreSnapshot Snapshot() const = 0;
    /// A request to the WSJT-X with `id` (a HighlightCallsign), where its datagrams came from;
    /// false when no such WSJT-X is heard.
    virtual bool SendToWsjtx(const std::string & /*id*/, const std::string & /*bytes*/) {
        return false;
    }

    /// Starts a source, stopping the same source already running. Its connection news comes as
    /// SourceState events; one that ends for good (refused, its port taken) is let go.
    virtual void StartCluster(const QString &host, quint16 port, cluster::SessionConfig config) = 0;
    virtual void StartFeed(const feed::FeedSettings &settings) = 0;
    /// Starts listening at `address` as the user wrote it (PORT or ADDRESS:PORT); returns why not
    /// when it cannot be read, and an empty text when the source was started.
    virtual std::string StartWsjtx(const QString &address) = 0;
    /// Whether WSJT-X's decodes of recordings count; may change while listening.
    virtual void SetWsjtxRecordings(bool recordings) = 0;
    /// Stops one source; nothing when it is not running.
    virtual void Stop(LineSource source) = 0;
    /// Stops every source.
    virtual void StopAll() = 0;
};

/// Makes a live session: in the program, a LiveCore with the history store; in tests, one of their
/// own.
using OpenCore = std::function<std::unique_ptr<CoreControl>(CoreSetup setup)>;

} // namespace ionvane::live
