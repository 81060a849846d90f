// ionvane-cli --cluster, --mqtt and --wsjtx: a live session with a DX-cluster node, the PSK
// Reporter feed, the user's own WSJT-X, or several at once feeding one Es tracker; every received
// line and report logged, every usable spot calculated as it arrives, one JSON event per line on
// stdout.
#pragma once

#include "live_options.h"

#include <iosfwd>

namespace ionvane::cli {

/// Exit code when every source was refused: the node refused the call or the password or bumped
/// the session, the broker refused every topic, and the WSJT-X port could not be taken.
constexpr int ExitRefused = 3;

/// Runs the sources until --for runs out, SIGINT or SIGTERM (exit 0) or until every source was
/// refused (exit 3); 1 when the log or stdout cannot be written. Without --password the stored
/// cluster password is read here. Needs a QCoreApplication.
int RunLive(const LiveOptions &options, std::ostream &out, std::ostream &err);

} // namespace ionvane::cli
