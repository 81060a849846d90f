#include "live_options.h"

#include "alarm_options.h"
#include "command_line.h"
#include "json.h"
#include "live_json.h"
#include "stop_signals.h"

#include "calc/ascii.h"
#include "cluster/cluster_session.h"
#include "cluster/cluster_settings.h"
#include "cluster/login_fields.h"
#include "feed/feed_source.h"
#include "history/history_store.h"
#include "live/grid_memory_file.h"
#include "live/live_core.h"
#include "station/config_dir.h"
#include "station/session_log.h"

#include <QDir>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <ostream>

namespace ionvane::cli {

namespace {

/// The environment variable a cluster password may come in, out of sight of the process list that
/// shows --password to every user; --password wins over it, and it over the stored password file.
constexpr const char *PasswordVariable = "IONVANE_PASSWORD";

/// QTimer counts in int milliseconds (24.8 days); a longer --for is waited for in daily steps.
constexpr std::int64_t LongestTimerMs = 24LL * 3600 * 1000;
constexpr double MsPerSecond = 1000;

// The stored password, read only when --password gave none; a file others can read is not used,
// and one that cannot be read (a directory, no permission) ends the run.
std::optional<std::string> StoredPassword(std::ostream &err) {
    const cluster::StoredPassword stored = cluster::LoadPassword(station::ConfigDir());
    if (stored.Problem == cluster::PasswordProblem::ReadableByOthers) {
        err << "ionvane-cli: the stored cluster password file is readable by others; not "
               "using it (store the password again)\n";
    } else if (stored.Problem == cluster::PasswordProblem::Unreadable) {
        err << "ionvane-cli: cannot read the stored cluster password file "
            << calc::OneLineText(QDir(station::ConfigDir())
                                     .filePath(cluster::ClusterPasswordFileName)
                                     .toStdString())
            << '\n';
        return std::nullopt;
    }
    return stored.Password.toStdString();
}

// The log of --log, opened before anything is received; false, after saying why, when it cannot be.
bool OpenLog(const LiveOptions &options, station::SessionLog &log, std::ostream &err) {
    if (options.LogPath.isEmpty()) {
        return true;
    }
    QString problem;
    if (!log.Open(options.LogPath, problem)) {
        err << "ionvane-cli: cannot open the log "
            << calc::OneLineText(options.LogPath.toStdString()) << ": " << problem.toStdString()
            << '\n';
        return false;
    }
    return true;
}

// The history store of --history: its usual place, another, or none at all.
void OpenStore(const LiveOptions &options, const cluster::SessionClock &clock,
               std::optional<history::HistoryStore> &store) {
    if (options.HistoryPath != "none") {
        store.emplace(options.HistoryPath.isEmpty() ? history::HistoryStore::DefaultPath()
                                                    : options.HistoryPath,
                      clock.UtcNow().toSecsSinceEpoch());
    }
}

live::CoreSetup SessionSetup(const LiveOptions &options, history::HistoryStore *store,
                             station::SessionLog &log, const cluster::SessionClock &clock,
                             std::ostream &err) {
    live::CoreSetup setup = CoreSetupOf(options.Session, err);
    // Kept beside the history store, and only with one: --history none leaves no trace.
    if (store != nullptr) {
        setup.GridMemoryFile = live::GridMemoryPath(options.HistoryPath.isEmpty()
                                                        ? history::HistoryStore::DefaultPath()
                                                        : options.HistoryPath);
    }
    setup.Store = store;
    setup.Log = log.IsOpen() ? &log : nullptr;
    setup.NowUtc = [clock] { return clock.UtcNow().toSecsSinceEpoch(); };
    setup.SessionClock = clock;
    return setup;
}

// The cluster session's login, its password from --password, the environment or the stored file;
// none, with the exit code in `exitCode`, when that cannot be had.
std::optional<cluster::SessionConfig> ClusterLogin(const ClusterTarget &target, int &exitCode,
                                                   std::ostream &err) {
    cluster::SessionConfig config = target.Session;
    const QString fromEnvironment = qEnvironmentVariable(PasswordVariable);
    if (!target.PasswordGiven && !fromEnvironment.isEmpty()) {
        // Checked as --password is: a line end would send a line of its own to the node.
        if (cluster::CheckLoginFields(QString::fromStdString(config.Call), fromEnvironment, {})) {
            err << "ionvane-cli: " << PasswordVariable << " must be text on one line\n";
            exitCode = ExitUsage;
            return std::nullopt;
        }
        config.Password = fromEnvironment.toStdString();
    } else if (!target.PasswordGiven) {
        const std::optional<std::string> stored = StoredPassword(err);
        if (!stored) {
            exitCode = ExitNotComputed;
            return std::nullopt;
        }
        config.Password = *stored;
    }
    return config;
}

// One run of the session's loop: how it ends, and the events written as it goes.
class SessionRun {
  public:
    SessionRun(live::LiveCore &core, const LiveOptions &options, std::ostream &out,
               std::ostream &err)
        : Core(core), Writer(out), Err(err),
          Sources((options.Cluster ? 1 : 0) + (options.Feed ? 1 : 0) + (options.Wsjtx ? 1 : 0)) {}

    void Finish(int code) {
        ExitCode = code;
        Finished = true;
        if (Highlights != nullptr) {
            Highlights->Finish(0); // what was coloured is cleared before the socket closes
        }
        Core.StopAll();
        Loop.quit();
    }

    void Heard(const live::LiveEvent &event) {
        LiveEventLines(event, SpotInResult::Repeated,
                       [this](const std::string &line) { Writer.Write(line); });
        // A source ended for good; the session goes on while another source is left.
        if (const auto *state = std::get_if<live::SourceState>(&event)) {
            if (state->Ended && ++Ended == Sources) {
                Finish(ExitRefused);
            }
        } else if (const auto *problem = std::get_if<live::StoreProblem>(&event)) {
            Err << "ionvane-cli: " << problem->Message << '\n';
            Err.flush();
        } else if (std::holds_alternative<live::LogProblem>(event)) {
            LogFailed = true;
            Finish(ExitNotComputed);
        } else if (std::holds_alternative<live::Settled>(event) && Writer.Failed()) {
            Finish(ExitNotComputed);
        }
    }

    // --for: the session ends when it runs out, in steps QTimer can count.
    void EndAfter(double seconds) {
        const double ms = seconds * MsPerSecond;
        RemainingMs = ms >= static_cast<double>(std::numeric_limits<std::int64_t>::max() / 2)
                          ? std::numeric_limits<std::int64_t>::max() / 2
                          : static_cast<std::int64_t>(std::ceil(ms));
        ForTimer.setSingleShot(true);
        QObject::connect(&ForTimer, &QTimer::timeout, &Loop, [this] {
            if (RemainingMs > 0) {
                ArmFor();
            } else {
                Finish(ExitComputed);
            }
        });
        ArmFor();
    }

    // Started from the loop, so that a refusal at once still finds the loop running.
    void Run(const LiveOptions &options, std::optional<cluster::SessionConfig> clusterConfig) {
        QTimer::singleShot(0, &Loop, [&] {
            if (Finished) {
                Loop.quit();
                return;
            }
            if (clusterConfig) {
                Core.StartCluster(options.Cluster->Host, options.Cluster->Port,
                                  std::move(*clusterConfig));
            }
            if (options.Feed) {
                feed::FeedSettings settings;
                settings.Host = options.Feed->Host;
                settings.Port = options.Feed->Port;
                settings.Bands = options.Feed->Bands;
                Core.StartFeed(settings);
            }
            if (options.Wsjtx) {
                Core.StartWsjtx(options.Wsjtx->Where);
            }
        });
        Loop.exec();
        Core.StopAll();
    }

    void Write(const std::string &line) { Writer.Write(line); }
    /// WSJT-X's highlights, cleared when the session finishes (null: none).
    void ClearAtFinish(alarm::SessionHighlights *highlights) { Highlights = highlights; }
    QEventLoop &EventLoop() { return Loop; }
    [[nodiscard]] int Exit() const { return ExitCode; }
    [[nodiscard]] bool WriterFailed() const { return Writer.Failed(); }
    [[nodiscard]] bool LogWriteFailed() const { return LogFailed; }

  private:
    void ArmFor() {
        const std::int64_t step = std::min(RemainingMs, LongestTimerMs);
        RemainingMs -= step;
        ForTimer.start(static_cast<int>(step));
    }

    live::LiveCore &Core;
    EventWriter Writer;
    std::ostream &Err;
    const int Sources;
    int Ended = 0;
    QEventLoop Loop;
    QTimer ForTimer;
    std::int64_t RemainingMs = 0;
    int ExitCode = ExitComputed;
    bool Finished = false;
    bool LogFailed = false;
    alarm::SessionHighlights *Highlights = nullptr;
};

} // namespace

int RunLive(const LiveOptions &options, std::ostream &out, std::ostream &err) {
    station::SessionLog log;
    if (!OpenLog(options, log, err)) {
        return ExitNotComputed;
    }
    const cluster::SessionClock clock = cluster::SessionClock::System();
    std::optional<history::HistoryStore> store;
    OpenStore(options, clock, store);
    live::LiveCore core(SessionSetup(options, store ? &*store : nullptr, log, clock, err));
    const std::unique_ptr<alarm::AlarmDeliveries> outlets =
        StartOutlets(options.Session.Outlets, err);
    if (outlets) {
        core.Subscribe(outlets.get(),
                       [&outlets](const live::LiveEvent &event) { outlets->Take(event); });
    }
    std::optional<cluster::SessionConfig> clusterConfig;
    if (options.Cluster) {
        int exitCode = ExitComputed;
        clusterConfig = ClusterLogin(*options.Cluster, exitCode, err);
        if (!clusterConfig) {
            return exitCode;
        }
    }

    // The calls WSJT-X colours, each request sent to where that WSJT-X's datagrams came from.
    const auto highlights = FollowHighlights(
        options.Session.Outlets.Highlight, core,
        [&core](tracker::UnixSeconds, const auto &request) {
            core.SendToWsjtx(request.Id, wsjtx::HighlightDatagram(request.Id, request.What));
        });

    SessionRun run(core, options, out, err);
    run.ClearAtFinish(highlights.get());
    std::optional<MufMapLines> mufMap;
    if (options.Session.MufMap) {
        // Heard before the events are written: a map due before a line comes before its events.
        mufMap.emplace(*options.Session.MufMap,
                       [&run](const std::string &line) { run.Write(line); });
        core.Subscribe(&run.EventLoop(),
                       [&mufMap](const live::LiveEvent &event) { mufMap->Take(event); });
    }
    core.Subscribe(&run.EventLoop(), [&run](const live::LiveEvent &event) { run.Heard(event); });
    core.SetWsjtxRecordings(options.Wsjtx && options.Wsjtx->Recordings);
    const StopSignals stopSignals([&run] { run.Finish(ExitComputed); });
    if (options.ForSeconds) {
        run.EndAfter(*options.ForSeconds);
    }
    // The last hour comes back once a stop signal is caught: a stop asked for while the clouds are
    // written still ends the session cleanly, with the store closed.
    core.Open();
    run.Run(options, std::move(clusterConfig));
    if (mufMap) {
        mufMap->Finish();
    }

    // Lines still waiting for a store another program keeps locked get a last, patient try.
    if (store && store->WaitingLines() > 0 && !store->Finish()) {
        err << "ionvane-cli: " << store->Message() << '\n';
    }
    if (run.LogWriteFailed()) {
        err << "ionvane-cli: cannot write the log "
            << calc::OneLineText(options.LogPath.toStdString()) << '\n';
    }
    if (run.WriterFailed()) {
        err << "ionvane-cli: cannot write the events\n";
        return ExitNotComputed;
    }
    return run.Exit();
}

} // namespace ionvane::cli
