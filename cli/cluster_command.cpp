#include "cluster_command.h"

#include "cli.h"
#include "events.h"
#include "live_tracker.h"
#include "stop_signals.h"
#include "tracker_options.h"

#include "calc/ascii.h"
#include "cli/report.h"
#include "cluster/cluster_session.h"
#include "cluster/cluster_settings.h"
#include "cluster/session_log.h"
#include "history/history_store.h"
#include "window/locale_format.h"
#include "window/settings_file.h"

#include <QCommandLineParser>
#include <QEventLoop>
#include <QLocale>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <ostream>

namespace ionvane::cli {

namespace {

using cluster::ConnectionEvent;

constexpr int MinMasl = 1;
constexpr int MaxMasl = 5000;
constexpr double MetresPerKm = 1000;
/// A call sign is at most a dozen characters with prefix and suffix ("EA8/DK7UK/P"); 20 leaves room
/// for node-specific suffixes ("DK7UK-12").
constexpr qsizetype MaxCallChars = 20;
/// QTimer counts in int milliseconds (24.8 days); a longer --for is waited for in daily steps.
constexpr std::int64_t LongestTimerMs = 24LL * 3600 * 1000;
constexpr double MsPerSecond = 1000;
/// How often the clouds age without a line, ms: a tenth of a minute-scale fade is fine enough, and
/// a quiet node costs one tick every 30 s.
constexpr int AgeingIntervalMs = 30'000;

struct UsageError {
    std::string Message;
};

struct HelpRequested {
    std::string Text;
};

struct ClusterOptions {
    QString Host;
    quint16 Port = cluster::DefaultClusterPort;
    cluster::SessionConfig Session;
    std::optional<double> ForSeconds;
    QString LogPath;
    bool AnyMode = false;
    calc::NumberFormat Format;
    window::Settings Home;
    tracker::TrackerSettings Tracker;
    QString HistoryPath; ///< "" for the per-user store, "none" for none
};

std::string Utf8(const QString &text) {
    return text.toStdString();
}

std::optional<double> OptionNumber(const QString &text) {
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// "HOST", "HOST:PORT", "[::1]:PORT".
void ParseNode(const QString &text, ClusterOptions &options) {
    QString host = text.trimmed();
    QString port;
    if (host.startsWith('[')) {
        const auto close = host.indexOf(']');
        if (close < 0) {
            throw UsageError{"--cluster takes HOST[:PORT]"};
        }
        const QString rest = host.mid(close + 1);
        host = host.mid(1, close - 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(':')) {
                throw UsageError{"--cluster takes HOST[:PORT]"};
            }
            port = rest.mid(1);
        }
    } else if (host.count(':') == 1) {
        port = host.section(':', 1);
        host = host.section(':', 0, 0);
    }
    if (host.isEmpty()) {
        throw UsageError{"--cluster takes HOST[:PORT]"};
    }
    options.Host = host;
    if (!port.isNull()) {
        bool ok = false;
        const uint number = port.toUInt(&ok);
        if (!ok || number < 1 || number > 65535) {
            throw UsageError{"--cluster takes a port from 1 to 65535"};
        }
        options.Port = static_cast<quint16>(number);
    }
}

// Text sent to the node must stay on one line: a line end inside it would send a second command.
void RequireOneLine(const QString &text, const char *option) {
    if (text.contains('\r') || text.contains('\n') || text.contains(QChar(0))) {
        throw UsageError{std::string(option) + " takes text on one line"};
    }
}

// The options of the session alone; the settings options are those of every other command.
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
    QCommandLineOption ForSeconds{"for", "With --cluster: end after this many seconds.", "SECONDS"};
    QCommandLineOption Log{"log", "With --cluster: append every received line with its time.",
                           "FILE"};
    QCommandLineOption History{"history",
                               "With --cluster: record in this store and restore its last hour "
                               "at start (default: the per-user store; none for none).",
                               "FILE"};
};

ClusterOptions ParseClusterOptions(const QStringList &arguments, std::ostream &err) {
    QCommandLineParser parser;
    parser.setApplicationDescription("Live DX-cluster session: every spot calculated as it "
                                     "arrives, one JSON event per line.");
    const SessionOptions session;
    const auto &[node, call, password, send, forSeconds, log, historyFile] = session;
    const QCommandLineOption home("home", "Home locator box text (default: settings file).",
                                  "TEXT");
    const QCommandLineOption esLayer("es-layer", "E-layer height in km, 90 to 130.", "KM");
    const QCommandLineOption masl("masl", "Home height above sea level, whole metres 1 to 5000.",
                                  "METRES");
    const QCommandLineOption locale("locale", "Number format, e.g. en_US or de_DE.", "NAME");
    const QCommandLineOption anyMode("any-mode", "Calculate spots tagged as another mode too.");
    parser.addOptions({node, call, password, send, forSeconds, log, historyFile, home, esLayer,
                       masl, locale, anyMode});
    parser.addOptions(TrackerOptions());
    parser.addHelpOption();
    if (!parser.parse(arguments)) {
        throw UsageError{Utf8(parser.errorText())};
    }
    if (parser.isSet("help")) {
        throw HelpRequested{Utf8(parser.helpText())};
    }
    if (!parser.positionalArguments().isEmpty()) {
        throw UsageError{"unexpected argument: " + Utf8(parser.positionalArguments().front())};
    }
    ClusterOptions options;
    ParseNode(parser.value(node), options);

    const QString callText = parser.value(call).trimmed();
    if (callText.isEmpty()) {
        throw UsageError{"missing --call"};
    }
    const bool callChars = std::all_of(callText.begin(), callText.end(), [](QChar c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
               c == '/' || c == '-';
    });
    if (!callChars || callText.size() > MaxCallChars) {
        throw UsageError{"--call takes a call sign (letters, digits, / and -)"};
    }
    options.Session.Call = Utf8(callText.toUpper());
    options.Session.Node = Utf8(options.Host) + ":" + std::to_string(options.Port);

    if (parser.isSet(password)) {
        RequireOneLine(parser.value(password), "--password");
        options.Session.Password = Utf8(parser.value(password));
    } else {
        const cluster::StoredPassword stored = cluster::LoadPassword(cluster::ClusterSettingsDir());
        if (stored.Problem == cluster::PasswordProblem::ReadableByOthers) {
            err << "ionvane-cli: the stored cluster password file is readable by others; not "
                   "using it (store the password again)\n";
        }
        options.Session.Password = Utf8(stored.Password);
    }
    for (const QString &command : parser.values(send)) {
        RequireOneLine(command, "--send");
        options.Session.Commands.push_back(Utf8(command));
    }
    if (parser.isSet(forSeconds)) {
        const auto seconds = OptionNumber(parser.value(forSeconds));
        if (!seconds || *seconds <= 0) {
            throw UsageError{"--for takes a number of seconds above 0"};
        }
        options.ForSeconds = seconds;
    }
    options.LogPath = parser.value(log);
    options.AnyMode = parser.isSet(anyMode);
    if (const std::string problem = ReadTrackerOptions(parser, options.Tracker); !problem.empty()) {
        throw UsageError{problem};
    }
    if (parser.isSet(historyFile)) {
        options.HistoryPath = parser.value(historyFile);
        if (options.HistoryPath.isEmpty()) {
            throw UsageError{"--history takes a FILE or none"};
        }
    }

    QLocale numberLocale = QLocale::system();
    if (parser.isSet(locale)) {
        const QString name = parser.value(locale);
        numberLocale = QLocale(name);
        const bool isC = name == "C" || name == "POSIX";
        if (numberLocale == QLocale::c() && !isC) {
            throw UsageError{"unknown locale: " + Utf8(name)};
        }
    }
    options.Format = window::NumberFormatOf(numberLocale);
    if (!parser.isSet(home) || !parser.isSet(esLayer) || !parser.isSet(masl)) {
        options.Home = window::LoadSettingsFile(window::SettingsPlaces::ForThisProgram().LoadPath(),
                                                options.Format);
    }
    if (parser.isSet(home)) {
        options.Home.HomeLocator = calc::UpperCaseAscii(Utf8(parser.value(home)));
    }
    if (parser.isSet(esLayer)) {
        const auto km = OptionNumber(parser.value(esLayer));
        if (!km || *km < window::MinEsLayerHeightKm || *km > window::MaxEsLayerHeightKm) {
            throw UsageError{"--es-layer takes a height in km from 90 to 130"};
        }
        options.Home.EsLayerHeightKm = static_cast<float>(*km);
    }
    if (parser.isSet(masl)) {
        const auto metres = OptionNumber(parser.value(masl));
        if (!metres || *metres != std::floor(*metres) || *metres < MinMasl || *metres > MaxMasl) {
            throw UsageError{"--masl takes whole metres from 1 to 5000"};
        }
        options.Home.HomeHeightKm = static_cast<float>(*metres * (1 / MetresPerKm));
    }
    return options;
}

int RunSession(const ClusterOptions &options, std::ostream &out, std::ostream &err) {
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
    std::optional<history::HistoryStore> store;
    const cluster::SessionClock clock = cluster::SessionClock::System();
    if (options.HistoryPath != "none") {
        store.emplace(options.HistoryPath.isEmpty() ? history::HistoryStore::DefaultPath()
                                                    : options.HistoryPath,
                      clock.UtcNow().toSecsSinceEpoch());
        if (!store->Message().empty()) {
            err << "ionvane-cli: " << store->Message() << '\n';
        }
        if (!store->IsOpen()) {
            store.reset();
        }
    }
    LiveTracker live(options.Format,
                     tracker::HomeSettings{options.Home.HomeLocator, options.Home.EsLayerHeightKm,
                                           options.Home.HomeHeightKm},
                     options.Tracker, options.AnyMode, writer, store ? &*store : nullptr, err);
    live.Restore(clock.UtcNow().toSecsSinceEpoch());
    cluster::ClusterSession session(options.Host, options.Port, options.Session, clock);
    QEventLoop loop;
    int exitCode = ExitComputed;
    bool logFailed = false;
    const auto finish = [&](int code) {
        exitCode = code;
        session.Stop();
        loop.quit();
    };

    QObject::connect(&session, &cluster::ClusterSession::connectionChanged, &loop,
                     [&](const QDateTime &time, const ConnectionEvent &event) {
                         writer.Write(ConnectionEventJson(time, event));
                         if (event.What == ConnectionEvent::Kind::Refused) {
                             finish(ExitRefused);
                         }
                     });
    QObject::connect(&session, &cluster::ClusterSession::lineReceived, &loop,
                     [&](const QDateTime &time, const std::string &line) {
                         if (log.IsOpen() && !log.Write(time, line) && !logFailed) {
                             logFailed = true;
                             finish(ExitNotComputed);
                             return;
                         }
                         live.Line(time, line);
                         if (writer.Failed()) {
                             finish(ExitNotComputed);
                         }
                     });

    // Clouds fade and go while the node is quiet too.
    QTimer ageing;
    QObject::connect(&ageing, &QTimer::timeout, &loop, [&] {
        live.Tick(clock.UtcNow().toSecsSinceEpoch());
        if (writer.Failed()) {
            finish(ExitNotComputed);
        }
    });
    ageing.start(AgeingIntervalMs);

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
    // Started from the loop, so that a refusal at once still finds the loop running.
    QTimer::singleShot(0, &loop, [&] { session.Start(); });
    loop.exec();
    session.Stop();
    if (logFailed) {
        err << "ionvane-cli: cannot write the log " << Utf8(options.LogPath) << '\n';
    }
    if (writer.Failed()) {
        err << "ionvane-cli: cannot write the events\n";
        return ExitNotComputed;
    }
    return exitCode;
}

} // namespace

std::string ClusterHelpText() {
    QCommandLineParser parser;
    const SessionOptions session;
    // --history is listed with --replay, in the main text.
    const auto &[node, call, password, send, forSeconds, log, historyFile] = session;
    parser.addOptions({node, call, password, send, forSeconds, log});
    const QString help = parser.helpText();
    const QString header = "Options:\n";
    const auto at = help.indexOf(header);
    return at < 0 ? std::string()
                  : Utf8("\nLive cluster session:\n" + help.mid(at + header.size()));
}

bool WantsCluster(const QStringList &arguments) {
    return std::any_of(arguments.begin() + (arguments.isEmpty() ? 0 : 1), arguments.end(),
                       [](const QString &argument) {
                           return argument == "--cluster" || argument.startsWith("--cluster=");
                       });
}

int RunCluster(const QStringList &arguments, std::ostream &out, std::ostream &err) {
    try {
        const ClusterOptions options = ParseClusterOptions(arguments, err);
        return RunSession(options, out, err);
    } catch (const HelpRequested &help) {
        out << help.Text;
        return ExitComputed;
    } catch (const UsageError &usage) {
        err << "ionvane-cli: " << usage.Message << '\n'
            << "usage: ionvane-cli --cluster HOST[:PORT] --call CALL [--password TEXT]"
               " [--send COMMAND]... [--for SECONDS] [--log FILE] [--history FILE|none]"
               " [--alarm-band BAND] [--min-km BAND=KM]... [--max-hop-km KM] [--home TEXT]"
               " [--es-layer KM] [--masl METRES] [--locale NAME] [--any-mode]\n";
        return ExitUsage;
    }
}

} // namespace ionvane::cli
