// The batch line reader of ionvane-cli: bounded lines, valid UTF-8 out, fields as announced, and
// the spot reader on the same lines.
#include "calc/utf8.h"
#include "cli/batch_reader.h"
#include "spot/spot_reader.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    using namespace ionvane::cli;
    constexpr std::size_t Limit = 64;
    std::istringstream in(std::string(reinterpret_cast<const char *>(data), size));
    LineReader reader(in, Limit);
    std::string line;
    bool tooLong = false;
    std::size_t lines = 0;
    while (reader.Next(line, tooLong)) {
        ++lines;
        // At most the limit, plus what repairing bad bytes can add (3 bytes for each).
        if (line.size() > Limit * 3 || ionvane::calc::ValidUtf8(line) != line) {
            std::abort();
        }
        const BatchLine parsed = ParseBatchLine(line);
        const bool calculates = parsed.What == BatchLine::Kind::Calculate;
        if (calculates != (parsed.Fields.size() == 3 || parsed.Fields.size() == 4) &&
            parsed.What != BatchLine::Kind::Skip) {
            std::abort();
        }
        if (lines > size + 1) {
            std::abort();
        }
        // The same line read as a raw cluster spot: a spot read whole has both locators.
        const auto spot = ionvane::spot::ReadSpot(line);
        if (spot.Problem == ionvane::spot::SpotProblem::None &&
            (spot.Read.FromLoc.size() < 4 || spot.Read.ToLoc.size() < 4 ||
             !(spot.Read.FreqMHz > 0))) {
            std::abort();
        }
    }
    return 0;
}
