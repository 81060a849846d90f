// Reading the country file from disk for a live session or a replay: bounded, and every way it can
// fail told in words, so the session goes on without it.
#pragma once

#include "places/country_file.h"

#include <memory>
#include <string>

namespace ionvane::live {

/// Where the country file is found when none is named: Debian's hamradio-files package.
constexpr const char *DefaultCountryFile = "/usr/share/hamradio-files/cty.dat";

struct CountryFileLoad {
    std::shared_ptr<const places::CountryFile> File; ///< null when it cannot be used
    std::string Problem; ///< why not: "it is a directory", "No such file or directory" ...
    std::size_t SkippedLines = 0;
};

/// Reads the country file at `path`, at most one byte past MaxCountryFileBytes of it.
CountryFileLoad ReadCountryFile(const std::string &path);

} // namespace ionvane::live
