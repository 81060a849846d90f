#include "session_options.h"

#include "calc/ascii.h"
#include "live/core_control.h"
#include "live/country_file_reading.h"

#include <QCommandLineParser>
#include <QLocale>

#include <cmath>
#include <filesystem>

namespace ionvane::cli {

std::optional<double> OptionNumber(const QString &text) {
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

namespace {

// Limits of a user's Es distances, km: a path shorter than 100 km is never Es, and no single hop
// is longer than 4,000 km, however high the layer.
constexpr double ShortestLimitKm = 100;
constexpr double LongestLimitKm = 4000;

std::optional<double> Km(const QString &text) {
    const auto value = OptionNumber(text);
    if (!value || *value < ShortestLimitKm || *value > LongestLimitKm) {
        return std::nullopt;
    }
    return value;
}

} // namespace

QList<QCommandLineOption> TrackerOptions() {
    return {
        QCommandLineOption("alarm-band",
                           "Alarm for this band and those above it (default 4m in ITU Region 1, "
                           "else 6m).",
                           "BAND"),
        QCommandLineOption("bands",
                           "Bands followed, e.g. 10m,6m,2m (default 10m,6m,4m,2m in ITU Region 1, "
                           "else 10m,6m,2m).",
                           "BANDS"),
        QCommandLineOption("min-km", "Shortest Es path on a band, e.g. 2m=900 (repeatable).",
                           "BAND=KM"),
        QCommandLineOption("max-hop-km", "Longest single Es hop in km (default 2400).", "KM"),
    };
}

std::string ReadTrackerOptions(const QCommandLineParser &parser,
                               tracker::TrackerSettings &settings) {
    if (parser.isSet("alarm-band")) {
        const auto band = spot::BandFromName(parser.value("alarm-band").toStdString());
        if (!band) {
            return "--alarm-band takes 10m, 6m, 4m or 2m";
        }
        settings.AlarmFrom = *band;
    }
    if (parser.isSet("bands")) {
        spot::BandSet shown = 0;
        for (const QString &name : parser.value("bands").split(',')) {
            const auto band = spot::BandFromName(name.trimmed().toStdString());
            if (!band) {
                return "--bands takes a comma-separated list of 10m, 6m, 4m and 2m";
            }
            shown = static_cast<spot::BandSet>(shown | spot::BandBit(*band));
        }
        settings.Shown = shown;
    }
    for (const QString &value : parser.values("min-km")) {
        const auto parts = value.split('=');
        const auto band =
            parts.size() == 2 ? spot::BandFromName(parts[0].trimmed().toStdString()) : std::nullopt;
        const auto km = parts.size() == 2 ? Km(parts[1]) : std::nullopt;
        if (!band || !km) {
            return "--min-km takes BAND=KM, a band of 10m, 6m, 4m, 2m and 100 to 4000 km";
        }
        settings.Classifier.MinDistanceKm[spot::BandIndex(*band)] = *km;
    }
    if (parser.isSet("max-hop-km")) {
        const auto km = Km(parser.value("max-hop-km"));
        if (!km) {
            return "--max-hop-km takes 100 to 4000 km";
        }
        settings.Classifier.MaxDistanceKm = *km;
    }
    return {};
}

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

live::CoreSetup CoreSetupOf(const SessionSettings &settings, std::ostream &err) {
    live::CoreSetup setup;
    setup.Format = settings.Format;
    setup.Home = settings.Home;
    setup.Tracker = settings.Tracker;
    setup.AnyMode = settings.AnyMode;
    setup.Countries = LoadCountryFile(settings.Places, err);
    setup.GridMemory = settings.Places.GridMemory;
    return setup;
}

} // namespace ionvane::cli
