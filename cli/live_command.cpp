#include "live_command.h"

#include "alarm_options.h"
#include "cli.h"
#include "events.h"
#include "feed_events.h"
#include "highlight_events.h"
#include "live_event_lines.h"
#include "stop_signals.h"

#include "calc/ascii.h"
#include "cluster/cluster_session.h"
#include "cluster/cluster_settings.h"
#include "cluster/login_fields.h"
#include "cluster/session_log.h"
#include "feed/feed_source.h"
#include "history/history_store.h"
#include "live/grid_memory_file.h"
#include "live/live_core.h"

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

using cluster::ConnectionEvent;

/// The environment variable a cluster password may come in, out of sight of the process list that
/// shows --password to every user; --password wins over it, and it over the stored password file.
constexpr const char *PasswordVariable = "IONVANE_PASSWORD";

/// QTimer counts in int milliseconds (24.8 days); a longer --for is waited for in daily steps.
constexpr std::int64_t LongestTimerMs = 24LL * 3600 * 1000;
constexpr double MsPerSecond = 1000;

std::string Utf8(const QString &text) {
    return text.toStdString();
}

// The stored password, read only when --password gave none; a file others can read is not used,
// and one that cannot be read (a directory, no permission) ends the run.
std::optional<std::string> StoredPassword(std::ostream &err) {
    const cluster::StoredPassword stored = cluster::LoadPassword(cluster::ClusterSettingsDir());
    if (stored.Problem == cluster::PasswordProblem::ReadableByOthers) {
        err << "ionvane-cli: the stored cluster password file is readable by others; not "
               "using it (store the password again)\n";
    } else if (stored.Problem == cluster::PasswordProblem::Unreadable) {
        err << "ionvane-cli: cannot read the stored cluster password file "
            << calc::OneLineText(Utf8(
                   QDir(cluster::ClusterSettingsDir()).filePath(cluster::ClusterPasswordFileName)))
            << '\n';
        return std::nullopt;
    }
    return Utf8(stored.Password);
}

} // namespace

int RunLive(const LiveOptions &options, std::ostream &out, std::ostream &err) {
    cluster::SessionLog log;
    if (!options.LogPath.isEmpty()) {
        QString problem;
        if (!log.Open(options.LogPath, problem)) {
            err << "ionvane-cli: cannot open the log " << calc::OneLineText(Utf8(options.LogPath))
                << ": " << Utf8(problem) << '\n';
            return ExitNotComputed;
        }
    }
    EventWriter writer(out);
    const cluster::SessionClock clock = cluster::SessionClock::System();
    std::optional<history::HistoryStore> store;
    if (options.HistoryPath != "none") {
        store.emplace(options.HistoryPath.isEmpty() ? history::HistoryStore::DefaultPath()
                                                    : options.HistoryPath,
                      clock.UtcNow().toSecsSinceEpoch());
    }
    live::CoreSetup setup;
    setup.Format = options.Format;
    setup.Home = options.Home;
    setup.Tracker = options.Tracker;
    setup.AnyMode = options.AnyMode;
    setup.Countries = LoadCountryFile(options.Places, err);
    setup.GridMemory = options.Places.GridMemory;
    // Kept beside the history store, and only with one: --history none leaves no trace.
    if (store) {
        setup.GridMemoryFile = live::GridMemoryPath(options.HistoryPath.isEmpty()
                                                        ? history::HistoryStore::DefaultPath()
                                                        : options.HistoryPath);
    }
    setup.Log = log.IsOpen() ? &log : nullptr;
    setup.NowUtc = [clock] { return clock.UtcNow().toSecsSinceEpoch(); };
    setup.SessionClock = clock;
    live::LiveCore core(std::move(setup));
    const std::unique_ptr<alarm::AlarmDeliveries> outlets = StartOutlets(options.Outlets, err);
    if (outlets) {
        QObject::connect(&core, &live::LiveCore::happened, outlets.get(),
                         [&outlets](const live::LiveEvent &event) { outlets->Take(event); });
    }
    // The calls WSJT-X colours, each request sent to where that WSJT-X's datagrams came from.
    const auto highlights = FollowHighlights(
        options.Outlets.Highlight, core, [&core](tracker::UnixSeconds, const auto &request) {
            core.SendToWsjtx(request.Id, wsjtx::HighlightDatagram(request.Id, request.What));
        });

    std::optional<cluster::SessionConfig> clusterConfig;
    if (options.Cluster) {
        clusterConfig = options.Cluster->Session;
        const QString fromEnvironment = qEnvironmentVariable(PasswordVariable);
        if (!options.Cluster->PasswordGiven && !fromEnvironment.isEmpty()) {
            // Checked as --password is: a line end would send a line of its own to the node.
            if (cluster::CheckLoginFields(QString::fromStdString(clusterConfig->Call),
                                          fromEnvironment, {})) {
                err << "ionvane-cli: " << PasswordVariable << " must be text on one line\n";
                return ExitUsage;
            }
            clusterConfig->Password = Utf8(fromEnvironment);
        } else if (!options.Cluster->PasswordGiven) {
            const std::optional<std::string> stored = StoredPassword(err);
            if (!stored) {
                return ExitNotComputed;
            }
            clusterConfig->Password = *stored;
        }
    }
    const int sources =
        (options.Cluster ? 1 : 0) + (options.Feed ? 1 : 0) + (options.Wsjtx ? 1 : 0);
    int refused = 0;
    QEventLoop loop;
    int exitCode = ExitComputed;
    bool finished = false;
    bool logFailed = false;
    const auto finish = [&](int code) {
        exitCode = code;
        finished = true;
        if (highlights) {
            highlights->Finish(0); // what was coloured is cleared before the socket closes
        }
        core.Stop();
        loop.quit();
    };
    QObject::connect(&core, &live::LiveCore::happened, &loop, [&](const live::LiveEvent &event) {
        LiveEventLines(event, SpotInResult::Repeated,
                       [&](const std::string &line) { writer.Write(line); });
        // A refused source ends for good; the session goes on while another source is left.
        const auto *node = std::get_if<live::ClusterConnection>(&event);
        const auto *feed = std::get_if<live::FeedConnection>(&event);
        const auto *heard = std::get_if<live::WsjtxListening>(&event);
        if ((node != nullptr && node->Event.What == ConnectionEvent::Kind::Refused) ||
            (feed != nullptr && feed->Event.Connection == feed::FeedConnection::Refused) ||
            (heard != nullptr && heard->Event.State == wsjtx::Listening::Failed)) {
            if (++refused == sources) {
                finish(ExitRefused);
            }
        } else if (const auto *problem = std::get_if<live::StoreProblem>(&event)) {
            err << "ionvane-cli: " << problem->Message << '\n';
            err.flush();
        } else if (std::holds_alternative<live::LogProblem>(event)) {
            logFailed = true;
            finish(ExitNotComputed);
        } else if (std::holds_alternative<live::Settled>(event) && writer.Failed()) {
            finish(ExitNotComputed);
        }
    });
    core.UseStore(store ? &*store : nullptr);
    core.SetWsjtxRecordings(options.Wsjtx && options.Wsjtx->Recordings);
    core.StartAgeing();

    const StopSignals stopSignals([&] { finish(ExitComputed); });
    QTimer forTimer;
    forTimer.setSingleShot(true);
    std::int64_t remainingMs = 0;
    if (options.ForSeconds) {
        const double ms = *options.ForSeconds * MsPerSecond;
        remainingMs = ms >= static_cast<double>(std::numeric_limits<std::int64_t>::max() / 2)
                          ? std::numeric_limits<std::int64_t>::max() / 2
                          : static_cast<std::int64_t>(std::ceil(ms));
        const auto arm = [&] {
            const std::int64_t step = std::min(remainingMs, LongestTimerMs);
            remainingMs -= step;
            forTimer.start(static_cast<int>(step));
        };
        QObject::connect(&forTimer, &QTimer::timeout, &loop, [&] {
            if (remainingMs > 0) {
                arm();
            } else {
                finish(ExitComputed);
            }
        });
        arm();
    }
    // The last hour comes back once a stop signal is caught: a stop asked for while the clouds are
    // written still ends the session cleanly, with the store closed.
    core.Restore();
    // Started from the loop, so that a refusal at once still finds the loop running.
    QTimer::singleShot(0, &loop, [&] {
        if (finished) {
            loop.quit();
            return;
        }
        if (clusterConfig) {
            core.StartCluster(options.Cluster->Host, options.Cluster->Port,
                              std::move(*clusterConfig));
        }
        if (options.Feed) {
            feed::FeedSettings settings;
            settings.Host = options.Feed->Host;
            settings.Port = options.Feed->Port;
            settings.Bands = options.Feed->Bands;
            core.StartFeed(settings);
        }
        if (options.Wsjtx) {
            core.StartWsjtx(options.Wsjtx->Where);
        }
    });
    loop.exec();
    core.Stop();
    // Lines still waiting for a store another program keeps locked get a last, patient try.
    if (store && store->WaitingLines() > 0 && !store->Finish()) {
        err << "ionvane-cli: " << store->Message() << '\n';
    }
    if (logFailed) {
        err << "ionvane-cli: cannot write the log " << calc::OneLineText(Utf8(options.LogPath))
            << '\n';
    }
    if (writer.Failed()) {
        err << "ionvane-cli: cannot write the events\n";
        return ExitNotComputed;
    }
    return exitCode;
}

} // namespace ionvane::cli
