#include "live_options.h"

#include "session_options.h"

#include "cluster/cluster_settings.h"
#include "cluster/login_fields.h"
#include "feed/feed_source.h"
#include "station/host_port.h"

#include <QCommandLineParser>

#include <algorithm>
#include <optional>

namespace ionvane::cli {

namespace {

using station::HostAndPort;

// A server given to `option`; a usage message in `problem` when wrong.
std::optional<HostAndPort> ParseHost(const QString &text, const std::string &option,
                                     std::string &problem) {
    const station::HostReading reading = station::ReadHostAndPort(text);
    switch (reading.Problem) {
    case station::HostProblem::None:
        return reading.Read;
    case station::HostProblem::Form:
        problem = option + " takes HOST[:PORT]";
        break;
    case station::HostProblem::PortRange:
        problem = option + " takes a port from 1 to 65535";
        break;
    }
    return std::nullopt;
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
                                "(default: $IONVANE_PASSWORD, else the stored password file). "
                                "Visible to other users in the process list.",
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
    QCommandLineOption Wsjtx{"wsjtx",
                             "Listen for the decodes of WSJT-X at [ADDRESS:]PORT (127.0.0.1 if "
                             "none; a multicast group is joined), alone or with --cluster and "
                             "--mqtt into the same tracker.",
                             "[ADDRESS:]PORT"};
    QCommandLineOption WsjtxRecordings{"wsjtx-recordings",
                                       "With --wsjtx or --replay: decodes of recordings opened in "
                                       "WSJT-X count too, at their receipt time."};
    QCommandLineOption ForSeconds{
        "for", "With --cluster, --mqtt or --wsjtx: end after this many seconds.", "SECONDS"};
    QCommandLineOption Log{"log",
                           "With --cluster, --mqtt or --wsjtx: append every received line, report "
                           "and datagram with its time.",
                           "FILE"};

    [[nodiscard]] QList<QCommandLineOption> All() const {
        return {Node, Call, Password, Send, Broker, Band, Wsjtx, WsjtxRecordings, ForSeconds, Log};
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
    if (const auto wrong = cluster::CheckLoginFields(callText, parser.value(session.Password),
                                                     parser.values(session.Send))) {
        const char *option = wrong->Field == cluster::LoginField::Call       ? "--call"
                             : wrong->Field == cluster::LoginField::Password ? "--password"
                                                                             : "--send";
        return std::string(option) + " " + wrong->Words;
    }
    target.Session.Call = callText.toUpper().toStdString();
    target.Session.Node = target.Host.toStdString() + ":" + std::to_string(target.Port);
    target.PasswordGiven = parser.isSet(session.Password);
    if (target.PasswordGiven) {
        target.Session.Password = parser.value(session.Password).toStdString();
    }
    for (const QString &command : parser.values(session.Send)) {
        target.Session.Commands.push_back(command.toStdString());
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
    target.Host = broker->Host.toStdString();
    target.Port = broker->Port.value_or(feed::MqttPort);
    for (const QString &name : parser.values(session.Band)) {
        const auto band = spot::BandFromName(name.trimmed().toStdString());
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
                  : ("\nLive sessions (DX cluster, PSK Reporter feed, WSJT-X):\n" +
                     help.mid(at + header.size()))
                        .toStdString();
}

bool WantsLive(const QStringList &arguments) {
    return std::any_of(arguments.begin() + (arguments.isEmpty() ? 0 : 1), arguments.end(),
                       [](const QString &argument) {
                           return argument == "--cluster" || argument.startsWith("--cluster=") ||
                                  argument == "--mqtt" || argument.startsWith("--mqtt=") ||
                                  argument == "--wsjtx" || argument.startsWith("--wsjtx=");
                       });
}

std::string_view LiveUsage() {
    return "usage: ionvane-cli --cluster HOST[:PORT] --call CALL [--password TEXT]"
           " [--send COMMAND]... [--for SECONDS] [--log FILE] [--history FILE|none]"
           " [--alarm-band BAND] [--min-km BAND=KM]... [--max-hop-km KM] [--home TEXT]"
           " [--es-layer KM] [--masl METRES] [--locale NAME] [--any-mode]\n"
           "       ionvane-cli --mqtt HOST[:PORT] [--band BAND]... [--cluster HOST[:PORT] --call "
           "CALL ...] [--for SECONDS] [--log FILE] [--history FILE|none] [--home TEXT] ...\n"
           "       ionvane-cli --wsjtx [ADDRESS:]PORT [--wsjtx-recordings] [--cluster ...] "
           "[--mqtt ...] [--for SECONDS] [--log FILE] [--history FILE|none] [--home TEXT] ...\n";
}

std::string ReadLiveOptions(const QCommandLineParser &parser, std::optional<LiveOptions> &live) {
    const SessionOptions session;
    const bool cluster = parser.isSet(session.Node);
    const bool mqtt = parser.isSet(session.Broker);
    const bool listens = parser.isSet(session.Wsjtx);
    if (!cluster) {
        for (const auto *clusterOnly : {&session.Call, &session.Password, &session.Send}) {
            if (parser.isSet(*clusterOnly)) {
                return "--" + clusterOnly->names().front().toStdString() + " goes with --cluster";
            }
        }
    }
    if (!mqtt && parser.isSet(session.Band)) {
        return "--band goes with --mqtt";
    }
    if (!cluster && !mqtt && !listens) {
        for (const auto *liveOnly : {&session.ForSeconds, &session.Log}) {
            if (parser.isSet(*liveOnly)) {
                return "--" + liveOnly->names().front().toStdString() +
                       " goes with --cluster, --mqtt or --wsjtx";
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
    if (listens) {
        const wsjtx::ListenReading where = wsjtx::ReadListenAddress(parser.value(session.Wsjtx));
        if (!where.Read) {
            return "--wsjtx takes [ADDRESS:]PORT: " + where.Problem;
        }
        options.Wsjtx = WsjtxTarget{*where.Read, parser.isSet(session.WsjtxRecordings)};
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

} // namespace ionvane::cli
