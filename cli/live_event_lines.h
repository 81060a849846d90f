// The live core's events as the command line's JSON lines, for a live session and for replay.
#pragma once

#include "live/live_events.h"

#include <functional>
#include <string>

namespace ionvane::cli {

/// Whether a spot event's "result" repeats the spot, as --spot --json writes it (a live session),
/// or leaves it out, as replay always has.
enum class SpotInResult { Repeated, Left };

/// Calls `write` with each JSON line (without its line end) of `event`, in order: a spot or
/// skipped event, a cloud, verdict or alarm, the clouds and then the verdict a restore leaves
/// (nothing when no cloud is left), a connection change. What a restore reads back, the store's
/// and the log's problems and Settled give none: the caller says those otherwise.
void LiveEventLines(const live::LiveEvent &event, SpotInResult spotInResult,
                    const std::function<void(const std::string &)> &write);

} // namespace ionvane::cli
