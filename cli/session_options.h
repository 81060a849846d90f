// What --replay and the live session share: their settings and the core made of them, the
// options of the Es tracker and of how spots without locators are placed (with the reading of the
// country file they name), and the numbers every option is given.
#pragma once

#include "muf_map_options.h"

#include "alarm/alarm_deliveries.h"
#include "places/country_file.h"
#include "tracker/cloud_tracker.h"

#include <QCommandLineOption>
#include <QList>
#include <QString>

#include <memory>
#include <optional>
#include <ostream>
#include <string>

class QCommandLineParser;

namespace ionvane::live {
struct CoreSetup;
}

namespace ionvane::cli {

/// The number an option's `text` writes ("110", " 2.5 "), always with "." as decimal point whatever
/// the user's locale; nothing for text that is no finite number.
std::optional<double> OptionNumber(const QString &text);

/// --alarm-band BAND, --bands BANDS, --min-km BAND=KM (repeatable), --max-hop-km KM.
QList<QCommandLineOption> TrackerOptions();

/// The tracker settings the options give (defaults for those not set); a usage message when one is
/// wrong, else "".
std::string ReadTrackerOptions(const QCommandLineParser &parser,
                               tracker::TrackerSettings &settings);

struct PlaceOptions {
    std::optional<std::string>
        CountryFile;        ///< --cty; none: live::DefaultCountryFile if it is there
    bool GridMemory = true; ///< false with --no-grid-memory
};

/// --cty FILE, --no-grid-memory.
QList<QCommandLineOption> PlaceOptionList();

PlaceOptions ReadPlaceOptions(const QCommandLineParser &parser);

/// The country file the options name, read; null when there is none to read (--cty none, or no
/// default file installed) or it cannot be used, which gets one line on `err`: the session goes
/// on with locators and the grid memory.
std::shared_ptr<const places::CountryFile> LoadCountryFile(const PlaceOptions &options,
                                                           std::ostream &err);

/// What --replay and a live session run with besides their input and their store.
struct SessionSettings {
    calc::NumberFormat Format;
    tracker::HomeSettings Home;
    tracker::TrackerSettings Tracker;
    bool AnyMode = false;
    PlaceOptions Places;
    alarm::DeliverySettings Outlets;      ///< --on-alarm, --ntfy, --rotator, --follow
    std::optional<MufMapSettings> MufMap; ///< --muf-map, --every
};

/// The live core's setup of `settings`: the country file read now (a problem with it said on
/// `err`); the store, log and clocks are the caller's.
live::CoreSetup CoreSetupOf(const SessionSettings &settings, std::ostream &err);

} // namespace ionvane::cli
