#include "place_options.h"

#include "calc/ascii.h"

#include <QCommandLineParser>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

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
    const std::string path = options.CountryFile.value_or(DefaultCountryFile);
    std::error_code missing;
    // The package is only recommended: without it and without --cty, calls are placed by the
    // grid memory alone, and nothing needs saying.
    if (!options.CountryFile && !std::filesystem::exists(path, missing)) {
        return nullptr;
    }
    const std::string shown = calc::OneLineText(path);
    const auto fail = [&](const std::string &why) {
        err << "ionvane-cli: the country file " << shown << " is not used: " << why << '\n';
        return nullptr;
    };
    std::error_code notADirectory;
    if (std::filesystem::is_directory(path, notADirectory)) {
        return fail("it is a directory");
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return fail(std::strerror(errno));
    }
    // One byte past the bound tells a file that is too large without reading all of it.
    std::string text(places::MaxCountryFileBytes + 1, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (file.bad()) {
        return fail("it cannot be read");
    }
    text.resize(static_cast<std::size_t>(file.gcount()));
    auto countries = std::make_shared<places::CountryFile>();
    const places::CountryFileReading reading = countries->Read(text);
    if (!reading.Read) {
        return fail(reading.Problem);
    }
    if (reading.SkippedLines > 0) {
        err << "ionvane-cli: the country file " << shown << ": " << reading.SkippedLines
            << (reading.SkippedLines == 1 ? " line" : " lines") << " passed over, not readable\n";
    }
    return countries;
}

} // namespace ionvane::cli
