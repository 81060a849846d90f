// The command-line options that say how spots without locators are placed, shared by --replay
// and the live session, and the reading of the country file they name.
#pragma once

#include "places/country_file.h"

#include <QCommandLineOption>
#include <QList>

#include <memory>
#include <optional>
#include <ostream>
#include <string>

class QCommandLineParser;

namespace ionvane::cli {

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

} // namespace ionvane::cli
