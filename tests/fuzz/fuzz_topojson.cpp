// The world-outline reader on any bytes: a topology is read or refused with a message, and every
// ring it stitches lies on the globe within the stated bounds.
#include "map/topojson.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    using namespace ionvane::map;
    const QByteArray json(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const TopologyResult result = ReadTopology(json);
    if (result.Value.has_value() != result.Error.empty()) {
        std::abort();
    }
    if (!result.Value) {
        return 0;
    }
    for (const auto &object : result.Value->Objects) {
        const auto check = [](const std::vector<GeoLine> &lines, std::size_t bound) {
            std::size_t positions = 0;
            for (const auto &line : lines) {
                positions += line.size();
                for (const auto &p : line) {
                    if (!(std::fabs(p.LatDeg) <= 90) || !(std::fabs(p.LonDeg) <= 180)) {
                        std::abort();
                    }
                }
            }
            if (positions > bound) {
                std::abort();
            }
        };
        check(ObjectRings(*result.Value, object.Name), MaxTopologyRingPositions);
        check(SharedArcs(*result.Value, object.Name), MaxTopologyPositions);
    }
    return 0;
}
