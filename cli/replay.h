// ionvane-cli --replay: a capture read line by line on its own clock, through the spot reader, the
// calculation, the classifier and the tracker, printing one JSON event a line.
#pragma once

#include "session_options.h"

#include <iosfwd>
#include <optional>
#include <string>

namespace ionvane::cli {

struct ReplayOptions {
    std::string CaptureFile;
    SessionSettings Session;
    bool WsjtxRecordings = false;           ///< WSJT-X decodes of recordings count
    std::optional<std::string> HistoryFile; ///< the store the lines are recorded in, if any
};

/// Replays the capture; the same capture and options always print the same events. Returns 0, or
/// 1 when the capture cannot be read.
int RunReplay(const ReplayOptions &options, std::ostream &out, std::ostream &err);

} // namespace ionvane::cli
