// The command-line options of the Es tracker, shared by --replay and the live session.
#pragma once

#include "tracker/cloud_tracker.h"

#include <QCommandLineOption>
#include <QList>

#include <string>

class QCommandLineParser;

namespace ionvane::cli {

/// --alarm-band BAND, --bands BANDS, --min-km BAND=KM (repeatable), --max-hop-km KM.
QList<QCommandLineOption> TrackerOptions();

/// The tracker settings the options give (defaults for those not set); a usage message when one is
/// wrong, else "".
std::string ReadTrackerOptions(const QCommandLineParser &parser,
                               tracker::TrackerSettings &settings);

} // namespace ionvane::cli
