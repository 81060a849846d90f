// The batch line reader of ionvane-cli: bounded lines, valid UTF-8 out, fields as announced, and
// the spot reader on the same lines and on the raw input (escape sequences, control bytes, tabs of
// web-cluster rows, invalid UTF-8).
#include "calc/utf8.h"
#include "cli/batch_reader.h"
#include "spot/spot_reader.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>

namespace {

std::string Completed(const std::string &locator) {
    return locator.size() == 4 ? locator + "MM" : locator;
}

// A spot read whole has two different locators, a positive frequency in plain decimal text and an
// Es flag that agrees with its tag.
void CheckSpot(std::string_view line) {
    using namespace ionvane::spot;
    const SpotReading reading = ReadSpot(line);
    if (reading.Problem != SpotProblem::None) {
        if (ProblemText(ProblemAsSpot(reading)).empty()) {
            std::abort();
        }
        return;
    }
    const Spot &spot = reading.Read;
    if (spot.FromLoc.size() < 4 || spot.ToLoc.size() < 4 || spot.FromLoc.size() > 6 ||
        spot.ToLoc.size() > 6 || Completed(spot.FromLoc) == Completed(spot.ToLoc) ||
        !(spot.FreqMHz > 0) || spot.FreqMHzText.empty() ||
        spot.FreqMHzText.find_first_not_of("0123456789.") != std::string::npos ||
        spot.Es != IsEsTag(spot.Tag)) {
        std::abort();
    }
}

} // namespace

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
        // The same line read as a raw cluster spot.
        CheckSpot(line);
    }
    // The whole input as one line, bytes as they came.
    CheckSpot(std::string_view(reinterpret_cast<const char *>(data), size));
    return 0;
}
