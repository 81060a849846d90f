// The settings loader on any file content: binary, NUL bytes, huge lines, no line ends. The
// heights always end inside their ranges.
#include "window/settings_file.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    using namespace ionvane::window;
    const QByteArray content(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    for (const auto &format :
         {ionvane::calc::EnglishNumberFormat(), ionvane::calc::NumberFormat{",", ".", 2}}) {
        const Settings s = ParseSettings(content, format);
        const auto es = static_cast<double>(s.EsLayerHeightKm);
        const auto home = static_cast<double>(s.HomeHeightKm);
        if (!(es >= MinEsLayerHeightKm && es <= MaxEsLayerHeightKm) ||
            !(home >= MinHomeHeightKm && home <= MaxHomeHeightKm) ||
            s.HomeLocator.size() > 1024 * 4) {
            std::abort();
        }
    }
    return 0;
}
