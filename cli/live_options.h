// ionvane-cli --cluster, --mqtt and --wsjtx: a live session with a DX-cluster node, the PSK
// Reporter feed, the user's own WSJT-X, or several at once feeding one Es tracker. Its options,
// read into the sources it runs with (live_options.cpp), and its run (live_command.cpp): every
// received line and report logged, every usable spot calculated as it arrives, one JSON event per
// line on stdout.
#pragma once

#include "session_options.h"

#include "cluster/session_machine.h"
#include "feed/feed_bands.h"
#include "wsjtx/wsjtx_source.h"

#include <QCommandLineOption>
#include <QList>
#include <QString>
#include <QStringList>

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QCommandLineParser;

namespace ionvane::cli {

/// The node of --cluster and what the session sends it.
struct ClusterTarget {
    QString Host;
    quint16 Port = 0;
    cluster::SessionConfig Session; ///< its password empty unless --password gave one
    bool PasswordGiven = false;     ///< else the stored password file is read at start
};

/// The broker of --mqtt and the bands followed.
struct FeedTarget {
    std::string Host;
    int Port = 0;
    std::vector<spot::Band> Bands;
};

/// Where --wsjtx listens, and whether recordings count.
struct WsjtxTarget {
    wsjtx::ListenAddress Where;
    bool Recordings = false;
};

/// What a live session runs with. The command line gives the sources and the session's options;
/// the settings it shares with --replay and --history are read with the options every command
/// shares.
struct LiveOptions {
    std::optional<ClusterTarget> Cluster;
    std::optional<FeedTarget> Feed;
    std::optional<WsjtxTarget> Wsjtx;
    std::optional<double> ForSeconds;
    QString LogPath;
    QString HistoryPath; ///< "" for the per-user store, "none" for none
    SessionSettings Session;
};

/// The options of the live sessions alone (--cluster, --call, --password, --send, --mqtt, --band,
/// --for, --log), left out of the main --help text: LiveHelpText lists them.
QList<QCommandLineOption> LiveSessionOptions();

/// The lines that --help adds for the live sessions' own options, after a blank line and a heading.
std::string LiveHelpText();

/// Whether the command line asks for a live session (holds --cluster or --mqtt), read before the
/// options are: it picks the usage text of an error.
bool WantsLive(const QStringList &arguments);

/// The usage lines of the live sessions.
std::string_view LiveUsage();

/// Reads the live sessions' own options from a parser that has LiveSessionOptions: `live` is set
/// when --cluster or --mqtt is given. Returns a usage message when an option is wrong or given
/// without the source it goes with, else "". Reads no file.
std::string ReadLiveOptions(const QCommandLineParser &parser, std::optional<LiveOptions> &live);

/// Runs the sources until --for runs out, SIGINT or SIGTERM (exit 0) or until every source was
/// refused (exit 3); 1 when the log or stdout cannot be written. Without --password the stored
/// cluster password is read here. Needs a QCoreApplication.
int RunLive(const LiveOptions &options, std::ostream &out, std::ostream &err);

} // namespace ionvane::cli
