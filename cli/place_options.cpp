#include "place_options.h"

#include "calc/ascii.h"
#include "live/country_file_reading.h"

#include <QCommandLineParser>

#include <filesystem>

namespace ionvane::cli {

QList<QCommandLineOption> PlaceOptionList() {
    return {
        QCommandLineOption("cty",
                           "Place calls without locators by this country file (default "
                           "/usr/share/hamradio-files/cty.dat; none for none).",
                           "FILE"),
        QCommandLineOption("no-grid-memory",
                           "Do not place calls by the grids they were heard with before."),
    };
}

PlaceOptions ReadPlaceOptions(const QCommandLineParser &parser) {
    PlaceOptions options;
    if (parser.isSet("cty")) {
        options.CountryFile = parser.value("cty").toStdString();
    }
    options.GridMemory = !parser.isSet("no-grid-memory");
    return options;
}

std::shared_ptr<const places::CountryFile> LoadCountryFile(const PlaceOptions &options,
                                                           std::ostream &err) {
    if (options.CountryFile == "none") {
        return nullptr;
    }
    const std::string path = options.CountryFile.value_or(live::DefaultCountryFile);
    std::error_code missing;
    // The package is only recommended: without it and without --cty, calls are placed by the
    // grid memory alone, and nothing needs saying.
    if (!options.CountryFile && !std::filesystem::exists(path, missing)) {
        return nullptr;
    }
    const std::string shown = calc::OneLineText(path);
    const live::CountryFileLoad load = live::ReadCountryFile(path);
    if (!load.File) {
        err << "ionvane-cli: the country file " << shown << " is not used: " << load.Problem
            << '\n';
        return nullptr;
    }
    if (load.SkippedLines > 0) {
        err << "ionvane-cli: the country file " << shown << ": " << load.SkippedLines
            << (load.SkippedLines == 1 ? " line" : " lines") << " passed over, not readable\n";
    }
    return load.File;
}

} // namespace ionvane::cli
