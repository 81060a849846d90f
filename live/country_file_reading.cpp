#include "country_file_reading.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace ionvane::live {

CountryFileLoad ReadCountryFile(const std::string &path) {
    CountryFileLoad load;
    std::error_code notADirectory;
    if (std::filesystem::is_directory(path, notADirectory)) {
        load.Problem = "it is a directory";
        return load;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        load.Problem = std::strerror(errno);
        return load;
    }
    // One byte past the bound tells a file that is too large without reading all of it.
    std::string text(places::MaxCountryFileBytes + 1, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (file.bad()) {
        load.Problem = "it cannot be read";
        return load;
    }
    text.resize(static_cast<std::size_t>(file.gcount()));
    auto countries = std::make_shared<places::CountryFile>();
    const places::CountryFileReading reading = countries->Read(text);
    if (!reading.Read) {
        load.Problem = reading.Problem;
        return load;
    }
    load.SkippedLines = reading.SkippedLines;
    load.File = std::move(countries);
    return load;
}

} // namespace ionvane::live
