#include "node_capture.h"

#include "synthetic_capture.h"

#include <random>
#include <string>
#include <vector>

namespace ionvane::synthetic {

namespace {

constexpr int SecondsPerHour = 3600;
// One line in this many is part of an Es opening while one is on (a lively cluster in June).
constexpr int EsShareOneIn = 8;
// An opening lasts 20 to 90 minutes; a new one starts every 40 minutes on average.
constexpr int MinOpeningS = 20 * 60;
constexpr int MaxOpeningS = 90 * 60;
constexpr int MeanOpeningGapS = 40 * 60;

struct Opening {
    std::int64_t Start;
    std::int64_t End;
    Point Centre;
    double DriftBearingDeg;
    double DriftKmh;
    double TopFreqKHz; // highest band the cloud carries
};

const char *const Calls[] = {"JA1ABC", "W1AW",  "VK2XYZ", "ZS6ABC", "PY2AA", "K3LR",
                             "UA9XX",  "VU2AB", "LU1AA",  "9M2AA",  "EA8AA", "OH2BH"};
const char *const Spotters[] = {"DK7UK", "G4ABC", "F5ABC", "SM6XYZ", "OZ1XX", "PA3XYZ", "I2ABC"};
const double HfKHz[] = {1840.0, 3573.0, 7074.0, 10136.0, 14074.0, 18100.0, 21074.0, 24915.0};
const char *const Chatter[] = {
    "WWV de W0MU <18>:   SFI=70, A=5, K=1, No Storms -> No Storms",
    "To ALL de DL1ABC: Es open to IM98 from JN48 now, look south!",
    "DK7UK de DB0XYZ 14-Jun-2026 1158Z dxspider >",
    "Announcement: node maintenance at 2300Z",
};

} // namespace

void WriteNodeCapture(std::ostream &out, int hours, int linesPerHour, unsigned seed) {
    std::mt19937 random(seed);
    const auto uniform = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    const auto pick = [&](auto &list) {
        const std::size_t n = std::size(list);
        return list[std::uniform_int_distribution<std::size_t>(0, n - 1)(random)];
    };

    const std::int64_t end = NodeCaptureStart + static_cast<std::int64_t>(hours) * SecondsPerHour;
    std::vector<Opening> openings;
    for (std::int64_t t = NodeCaptureStart; t < end;) {
        t += static_cast<std::int64_t>(
            std::exponential_distribution<double>(1.0 / MeanOpeningGapS)(random));
        const auto length = static_cast<std::int64_t>(uniform(MinOpeningS, MaxOpeningS));
        const double top =
            uniform(0, 1) < 0.1 ? 144300.0 : (uniform(0, 1) < 0.3 ? 70200.0 : 50313.0);
        openings.push_back({t,
                            t + length,
                            {uniform(38, 54), uniform(-8, 25)},
                            uniform(0, 360),
                            uniform(20, 150),
                            top});
    }

    const std::int64_t lines = static_cast<std::int64_t>(hours) * linesPerHour;
    std::string text;
    for (std::int64_t i = 0; i < lines; ++i) {
        const std::int64_t t = NodeCaptureStart + i * hours * SecondsPerHour / lines;
        const Opening *open = nullptr;
        for (const Opening &opening : openings) {
            if (t >= opening.Start && t < opening.End) {
                open = &opening;
            }
        }
        if (open != nullptr && std::uniform_int_distribution<int>(1, EsShareOneIn)(random) == 1) {
            const double hoursIn = static_cast<double>(t - open->Start) / SecondsPerHour;
            const Point centre =
                Destination(open->Centre, open->DriftBearingDeg, open->DriftKmh * hoursIn);
            const Point scattered = Destination(centre, uniform(0, 360), uniform(0, 80));
            const double roll = uniform(0, 1);
            double freqKHz = 50313.0;
            double lengthKm = uniform(900, 2200);
            if (open->TopFreqKHz > 100000 && roll < 0.2) {
                freqKHz = 144174.0;
                lengthKm = uniform(1300, 2200);
            } else if (open->TopFreqKHz > 60000 && roll < 0.4) {
                freqKHz = 70200.0;
            } else if (roll > 0.9) {
                freqKHz = 28074.0;
            } else if (roll > 0.85) {
                lengthKm = uniform(2600, 4000); // a double hop
            }
            // A DX call of its own for each spot of a minute: the same spot twice is counted once.
            const std::string dxCall = "S5" + std::to_string(i % 100) + "ES";
            text += SpotLine(t, PathThrough(scattered, uniform(0, 180), lengthKm), freqKHz,
                             roll > 0.5 ? "ES" : "", dxCall, pick(Spotters));
        } else if (std::uniform_int_distribution<int>(1, 20)(random) == 1) {
            text += TimeText(t) + "\t" + pick(Chatter);
        } else {
            text += PlainSpotLine(t, pick(HfKHz) + uniform(0, 3), pick(Calls), pick(Spotters));
        }
        text += '\n';
        if (text.size() > 1 << 16) {
            out << text;
            text.clear();
        }
    }
    out << text;
}

} // namespace ionvane::synthetic
