// The command line's alarm outlets: --on-alarm, --ntfy, --rotator with --follow, --highlight, for
// live sessions and --replay alike, and the run of those outlets beside a session.
#pragma once

#include "alarm/alarm_deliveries.h"
#include "alarm/session_highlights.h"
#include "live/live_core.h"

#include <QCommandLineOption>
#include <QList>

#include <iosfwd>
#include <memory>
#include <string>

class QCommandLineParser;

namespace ionvane::cli {

/// --on-alarm, --ntfy, --rotator, --follow, --highlight.
QList<QCommandLineOption> AlarmOptions();

/// Reads them into `settings`; `session` says whether a live session or a replay was asked for.
/// Returns a usage message when one is wrong or given without a session, else "". The ntfy token
/// comes from the environment (IONVANE_NTFY_TOKEN), where `ps` does not show it.
std::string ReadAlarmOptions(const QCommandLineParser &parser, bool session,
                             alarm::DeliverySettings &settings);

/// Whether any outlet is asked for.
bool AnyOutlet(const alarm::DeliverySettings &settings);

/// The outlets of a session, their words written to `err` as "ionvane-cli: WORDS" lines; none
/// when no outlet is asked for. Started (the rotator connects).
std::unique_ptr<alarm::AlarmDeliveries> StartOutlets(const alarm::DeliverySettings &settings,
                                                     std::ostream &err);

/// After a replay: runs the event loop until the outlets are done (hooks ended, posts answered,
/// the rotator's last command answered), at most `longestMs`.
void FinishOutlets(alarm::AlarmDeliveries &outlets, int longestMs);

/// The WSJT-X highlights of `core`'s session (--highlight) when `on`, each request given to
/// `send`: sent to WSJT-X live, printed as events in a replay. None when off.
std::unique_ptr<alarm::SessionHighlights> FollowHighlights(bool on, live::LiveCore &core,
                                                           alarm::SessionHighlights::Sender send);

} // namespace ionvane::cli
