// ionvane-cli --cluster: a live DX-cluster session, every received line logged and every usable
// spot calculated as it arrives, one JSON event per line on stdout.
#pragma once

#include <QStringList>

#include <iosfwd>
#include <string>

namespace ionvane::cli {

/// Exit code when the node refused the call or the password, or bumped the session.
constexpr int ExitRefused = 3;

/// The lines that --help adds for the session's own options, after a blank line and a heading.
std::string ClusterHelpText();

/// Whether the command line asks for a cluster session (holds --cluster).
bool WantsCluster(const QStringList &arguments);

/// Runs the session until --for runs out, SIGINT or SIGTERM (exit 0) or a refusal (exit 3); 2 for
/// usage errors, 1 when the log or stdout cannot be written. Needs a QCoreApplication.
int RunCluster(const QStringList &arguments, std::ostream &out, std::ostream &err);

} // namespace ionvane::cli
