#include "muf_scale.h"

#include <algorithm>
#include <cmath>

namespace ionvane::map {

const std::array<MufScaleStop, 5> &MufScaleStops() {
    static constexpr std::array<MufScaleStop, 5> Stops = {
        MufScaleStop{MufScaleLowMHz, {40, 90, 230}, "10 m"},
        MufScaleStop{50, {0, 175, 80}, "6 m"},
        MufScaleStop{70, {245, 200, 0}, "4 m"},
        MufScaleStop{144, {230, 40, 30}, "2 m"},
        MufScaleStop{MufScaleHighMHz, {190, 0, 200}, nullptr},
    };
    return Stops;
}

double MufScalePosition(double mufMHz) {
    if (!(mufMHz > MufScaleLowMHz)) {
        return 0;
    }
    return std::min(1.0,
                    std::log(mufMHz / MufScaleLowMHz) / std::log(MufScaleHighMHz / MufScaleLowMHz));
}

MufColour MufScaleColour(double mufMHz) {
    const auto &stops = MufScaleStops();
    const double at = MufScalePosition(mufMHz);
    for (std::size_t i = 1; i < stops.size(); ++i) {
        const double from = MufScalePosition(stops[i - 1].FreqMHz);
        const double to = MufScalePosition(stops[i].FreqMHz);
        if (at <= to) {
            const double share = (at - from) / (to - from);
            const auto blend = [share](std::uint8_t a, std::uint8_t b) {
                return static_cast<std::uint8_t>(std::lround(a + (b - a) * share));
            };
            const MufColour &a = stops[i - 1].Colour;
            const MufColour &b = stops[i].Colour;
            return {blend(a.R, b.R), blend(a.G, b.G), blend(a.B, b.B)};
        }
    }
    return stops.back().Colour;
}

} // namespace ionvane::map
