#include "live_command.h"

#include "cli.h"
#include "events.h"
#include "feed_events.h"
#include "live_event_lines.h"
#include "option_number.h"
#include "stop_signals.h"

#include "cluster/cluster_session.h"
#include "cluster/cluster_settings.h"
#include "cluster/host_port.h"
#include "cluster/session_log.h"
#include "feed/feed_source.h"
#include "history/history_store.h"
#include "live/live_core.h"

#include <QCommandLineParser>
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

/// A call sign is at most a dozen characters with prefix and suffix ("EA8/DK7UK/P"); 20 leaves room
/// for node-specific suffixes ("DK7UK-12").
constexpr qsizetype MaxCallChars = 20;
/// QTimer counts in int milliseconds (24.8 days); a longer --for is waited for in daily steps.
constexpr std::int64_t LongestTimerMs = 24LL * 3600 * 1000;
constexpr double MsPerSecond = 1000;

std::string Utf8(const QString &text) {
    return text.toStdString();
}

using cluster::HostAndPort;

// A server given to `option`; a usage message in `problem` when wrong.
std::optional<HostAndPort> ParseHost(const QString &text, const std::string &option,
                                     std::string &problem) {
    const cluster::HostReading reading = cluster::ReadHostAndPort(text);
    switch (reading.Problem) {
    case cluster::HostProblem::None:
        return reading.Read;
    case cluster::HostProblem::Form:
        problem = option + " takes HOST[:PORT]";
        break;
    case cluster::HostProblem::PortRange:
        problem = option + " takes a port from 1 to 65535";
        break;
    }
    return std::nullopt;
}

// Text sent to the node must stay on one line: a line end inside it would send a second command.
bool OnOneLine(const QString &text) {
    return !text.contains('\r') && !text.contains('\n') && !text.contains(QChar(0));
}

// The options of the live sessions alone; the settings options are those of every other command.
struct SessionOptions {
    QCommandLineOption Node{"cluster",
                            "Live DX-cluster session with the node HOST[:PORT] (port "
                            "7300 if none), one JSON event per line.",
                            "HOST[:PORT]"};
    QCommandLineOption Call{"call", "With --cluster: your call sign, sent at the login prompt.",
                            "CALL"};
    QCommandLineOption Password{"password",
                                "With --cluster: the password, if the node asks for one "
                                "(default: the stored password file).",
                                "TEXT"};
    QCommandLineOption Send{"send", "With --cluster: a command sent after login; repeat for more.",
                            "COMMAND"};
    QCommandLineOption Broker{"mqtt",
                              "Follow the PSK Reporter feed at the MQTT broker HOST[:PORT] (port "
                              "1883 if none), alone or with --cluster into the same tracker.",
                              "HOST[:PORT]"};
    QCommandLineOption Band{"band",
                            "With --mqtt: a band to follow, 10m, 6m, 4m or 2m; repeat for more "
                            "(default 6m, 4m and 2m).",
                            "BAND"};
    QCommandLineOption ForSeconds{"for", "With --cluster or --mqtt: end after this many seconds.",
                                  "SECONDS"};
    QCommandLineOption Log{"log",
                           "With --cluster or --mqtt: append every received line and report with "
                           "its time.",
                           "FILE"};

    [[nodiscard]] QList<QCommandLineOption> All() const {
        return {Node, Call, Password, Send, Broker, Band, ForSeconds, Log};
    }
};

// The cluster's node, call, password and commands.
std::string ReadClusterTarget(const QCommandLineParser &parser, const SessionOptions &session,
                              ClusterTarget &target) {
    std::string problem;
    const auto node = ParseHost(parser.value(session.Node), "--cluster", problem);
    if (!node) {
        return problem;
    }
    target.Host = node->Host;
    target.Port = node->Port.value_or(cluster::DefaultClusterPort);

    const QString callText = parser.value(session.Call).trimmed();
    if (callText.isEmpty()) {
        return "missing --call";
    }
    const bool callChars = std::all_of(callText.begin(), callText.end(), [](QChar c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
               c == '/' || c == '-';
    });
    if (!callChars || callText.size() > MaxCallChars) {
        return "--call takes a call sign (letters, digits, / and -)";
    }
    target.Session.Call = Utf8(callText.toUpper());
    target.Session.Node = Utf8(target.Host) + ":" + std::to_string(target.Port);

    target.PasswordGiven = parser.isSet(session.Password);
    if (target.PasswordGiven) {
        if (!OnOneLine(parser.value(session.Password))) {
            return "--password takes text on one line";
        }
        target.Session.Password = Utf8(parser.value(session.Password));
    }
    for (const QString &command : parser.values(session.Send)) {
        if (!OnOneLine(command)) {
            return "--send takes text on one line";
        }
        target.Session.Commands.push_back(Utf8(command));
    }
    return {};
}

// The broker and the bands, each band once in the order first named.
std::string ReadFeedTarget(const QCommandLineParser &parser, const SessionOptions &session,
                           FeedTarget &target) {
    std::string problem;
    const auto broker = ParseHost(parser.value(session.Broker), "--mqtt", problem);
    if (!broker) {
        return problem;
    }
    target.Host = Utf8(broker->Host);
    target.Port = broker->Port.value_or(feed::MqttPort);
    for (const QString &name : parser.values(session.Band)) {
        const auto band = feed::BandFromText(Utf8(name.trimmed()));
        if (!band) {
            return "--band takes 10m, 6m, 4m or 2m";
        }
        if (std::find(target.Bands.begin(), target.Bands.end(), *band) == target.Bands.end()) {
            target.Bands.push_back(*band);
        }
    }
    if (target.Bands.empty()) {
        target.Bands = feed::DefaultBands();
    }
    return {};
}

// The stored password, read only when --password gave none; a file others can read is not used.
std::string StoredPassword(std::ostream &err) {
    const cluster::StoredPassword stored = cluster::LoadPassword(cluster::ClusterSettingsDir());
    if (stored.Problem == cluster::PasswordProblem::ReadableByOthers) {
        err << "ionvane-cli: the stored cluster password file is readable by others; not "
               "using it (store the password again)\n";
    }
    return Utf8(stored.Password);
}

} // namespace

QList<QCommandLineOption> LiveSessionOptions() {
    QList<QCommandLineOption> options = SessionOptions().All();
    for (QCommandLineOption &option : options) {
        option.setFlags(QCommandLineOption::HiddenFromHelp);
    }
    return options;
}

std::string LiveHelpText() {
    QCommandLineParser parser;
    // --history is listed with --replay, in the main text.
    parser.addOptions(SessionOptions().All());
    const QString help = parser.helpText();
    const QString header = "Options:\n";
    const auto at = help.indexOf(header);
    return at < 0 ? std::string()
                  : Utf8("\nLive sessions (DX cluster, PSK Reporter feed):\n" +
                         help.mid(at + header.size()));
}

bool WantsLive(const QStringList &arguments) {
    return std::any_of(arguments.begin() + (arguments.isEmpty() ? 0 : 1), arguments.end(),
                       [](const QString &argument) {
                           return argument == "--cluster" || argument.startsWith("--cluster=") ||
                                  argument == "--mqtt" || argument.startsWith("--mqtt=");
                       });
}

std::string_view LiveUsage() {
    return "usage: ionvane-cli --cluster HOST[:PORT] --call CALL [--password TEXT]"
           " [--send COMMAND]... [--for SECONDS] [--log FILE] [--history FILE|none]"
           " [--alarm-band BAND] [--min-km BAND=KM]... [--max-hop-km KM] [--home TEXT]"
           " [--es-layer KM] [--masl METRES] [--locale NAME] [--any-mode]\n"
           "       ionvane-cli --mqtt HOST[:PORT] [--band BAND]... [--cluster HOST[:PORT] --call "
           "CALL ...] [--for SECONDS] [--log FILE] [--history FILE|none] [--home TEXT] ...\n";
}

std::string ReadLiveOptions(const QCommandLineParser &parser, std::optional<LiveOptions> &live) {
    const SessionOptions session;
    const bool cluster = parser.isSet(session.Node);
    const bool mqtt = parser.isSet(session.Broker);
    if (!cluster) {
        for (const auto *clusterOnly : {&session.Call, &session.Password, &session.Send}) {
            if (parser.isSet(*clusterOnly)) {
                return "--" + Utf8(clusterOnly->names().front()) + " goes with --cluster";
            }
        }
    }
    if (!mqtt && parser.isSet(session.Band)) {
        return "--band goes with --mqtt";
    }
    if (!cluster && !mqtt) {
        for (const auto *liveOnly : {&session.ForSeconds, &session.Log}) {
            if (parser.isSet(*liveOnly)) {
                return "--" + Utf8(liveOnly->names().front()) + " goes with --cluster or --mqtt";
            }
        }
        return {};
    }
    LiveOptions options;
    if (cluster) {
        options.Cluster.emplace();
        if (std::string problem = ReadClusterTarget(parser, session, *options.Cluster);
            !problem.empty()) {
            return problem;
        }
    }
    if (mqtt) {
        options.Feed.emplace();
        if (std::string problem = ReadFeedTarget(parser, session, *options.Feed);
            !problem.empty()) {
            return problem;
        }
    }
    if (parser.isSet(session.ForSeconds)) {
        const auto seconds = OptionNumber(parser.value(session.ForSeconds));
        if (!seconds || *seconds <= 0) {
            return "--for takes a number of seconds above 0";
        }
        options.ForSeconds = seconds;
    }
    options.LogPath = parser.value(session.Log);
    live = std::move(options);
    return {};
}

int RunLive(const LiveOptions &options, std::ostream &out, std::ostream &err) {
    cluster::SessionLog log;
    if (!options.LogPath.isEmpty()) {
        QString problem;
        if (!log.Open(options.LogPath, problem)) {
            err << "ionvane-cli: cannot open the log " << Utf8(options.LogPath) << ": "
                << Utf8(problem) << '\n';
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
    setup.Log = log.IsOpen() ? &log : nullptr;
    setup.NowUtc = [clock] { return clock.UtcNow().toSecsSinceEpoch(); };
    setup.SessionClock = clock;
    live::LiveCore core(std::move(setup));

    const int sources = (options.Cluster ? 1 : 0) + (options.Feed ? 1 : 0);
    int refused = 0;
    QEventLoop loop;
    int exitCode = ExitComputed;
    bool finished = false;
    bool logFailed = false;
    const auto finish = [&](int code) {
        exitCode = code;
        finished = true;
        core.Stop();
        loop.quit();
    };
    QObject::connect(&core, &live::LiveCore::happened, &loop, [&](const live::LiveEvent &event) {
        LiveEventLines(event, SpotInResult::Repeated,
                       [&](const std::string &line) { writer.Write(line); });
        // A refused source ends for good; the session goes on while another source is left.
        const auto *node = std::get_if<live::ClusterConnection>(&event);
        const auto *feed = std::get_if<live::FeedConnection>(&event);
        if ((node != nullptr && node->Event.What == ConnectionEvent::Kind::Refused) ||
            (feed != nullptr && feed->Event.Connection == feed::FeedConnection::Refused)) {
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
        if (options.Cluster) {
            cluster::SessionConfig config = options.Cluster->Session;
            if (!options.Cluster->PasswordGiven) {
                config.Password = StoredPassword(err);
            }
            core.StartCluster(options.Cluster->Host, options.Cluster->Port, std::move(config));
        }
        if (options.Feed) {
            feed::FeedSettings settings;
            settings.Host = options.Feed->Host;
            settings.Port = options.Feed->Port;
            settings.Bands = options.Feed->Bands;
            core.StartFeed(settings);
        }
    });
    loop.exec();
    core.Stop();
    if (logFailed) {
        err << "ionvane-cli: cannot write the log " << Utf8(options.LogPath) << '\n';
    }
    if (writer.Failed()) {
        err << "ionvane-cli: cannot write the events\n";
        return ExitNotComputed;
    }
    return exitCode;
}

} // namespace ionvane::cli
