// The benchmarks' feed bursts: realistic FT8 and FT4 reports of a big 6 m opening over Europe, as
// capture lines that a publisher sends to a broker.
#pragma once

#include "feed/capture_body.h"
#include "spot/capture_line.h"
#include "synthetic/synthetic_capture.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace ionvane::bench {

struct CloudPlace {
    ionvane::synthetic::Point Centre;
    double DriftBearingDeg;
    double DriftKmh;
};

// Eight clouds over Europe drifting at 30 to 150 km/h, as in a big June opening.
inline const CloudPlace Clouds[] = {
    {{45.0, 10.0}, 45, 80},  {{41.0, -4.0}, 80, 120},  {{47.5, 19.0}, 300, 60},
    {{43.0, 2.0}, 20, 150},  {{51.0, 14.0}, 200, 40},  {{38.0, 23.0}, 330, 90},
    {{49.0, 30.0}, 260, 30}, {{55.0, 10.0}, 170, 110},
};
inline const char *const Calls[] = {"EA8XXX", "DK7UK",  "G4ABC",  "F5ABC", "SM6XYZ", "OZ1XX",
                                    "PA3XYZ", "I2ABC",  "S51ABC", "YU1AA", "SV1AB",  "OH2BH",
                                    "LZ1AB",  "HA5XYZ", "OK1ABC", "SP9XX"};

// Writes a burst of `reports` feed capture lines over `spanS` s of report times from `start`,
// each received `feedDelayS` after its time: reports through the clouds, 6 m most, then 4 m, 2 m
// and 10 m; about one in twenty skipped (MSK144 or one locator), as on the real feed.
inline void WriteBurst(const std::filesystem::path &file, std::int64_t start,
                       std::uint64_t firstSequence, unsigned seed, int reports, std::int64_t spanS,
                       std::int64_t feedDelayS) {
    std::mt19937 random(seed);
    const auto uniform = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    std::ofstream out(file);
    for (int i = 0; i < reports; ++i) {
        const std::int64_t t = start + static_cast<std::int64_t>(i) * spanS / reports;
        const CloudPlace &cloud = Clouds[random() % std::size(Clouds)];
        const double hoursIn = static_cast<double>(t - start) / 3600;
        const auto centre = ionvane::synthetic::Destination(cloud.Centre, cloud.DriftBearingDeg,
                                                            cloud.DriftKmh * hoursIn);
        const auto scattered =
            ionvane::synthetic::Destination(centre, uniform(0, 360), uniform(0, 80));
        const double roll = uniform(0, 1);
        long hz = 50313000 + static_cast<long>(random() % 2000);
        const char *band = "6m";
        const char *mode = "FT8";
        double lengthKm = uniform(900, 2200);
        if (roll < 0.1) {
            hz = 144174000 + static_cast<long>(random() % 2000);
            band = "2m";
            lengthKm = uniform(1300, 2200);
        } else if (roll < 0.25) {
            hz = 70154000 + static_cast<long>(random() % 2000);
            band = "4m";
        } else if (roll < 0.3) {
            hz = 28074000 + static_cast<long>(random() % 2000);
            band = "10m";
        } else if (roll < 0.35) {
            mode = "FT4";
            hz = 50318000 + static_cast<long>(random() % 2000);
        }
        if (roll > 0.98) {
            mode = "MSK144";
            hz = 50280000;
        }
        const auto ends = ionvane::synthetic::PathThrough(scattered, uniform(0, 180), lengthKm);
        const std::string receiverLoc = roll > 0.96 && roll <= 0.98 ? "" : ends.ToLoc;
        const std::string sender = Calls[random() % std::size(Calls)];
        const std::string receiver = Calls[random() % std::size(Calls)];
        const std::string topic = std::string("pskr/filter/v2/") + band + "/" + mode + "/" +
                                  sender + "/" + receiver + "/" + ends.FromLoc + "/" + receiverLoc +
                                  "/223/230";
        const std::string payload =
            R"({"sq":)" + std::to_string(firstSequence + static_cast<std::uint64_t>(i)) +
            R"(,"f":)" + std::to_string(hz) + R"(,"md":")" + mode + R"(","rp":)" +
            std::to_string(-20 + static_cast<int>(random() % 30)) + R"(,"t":)" + std::to_string(t) +
            R"(,"sc":")" + sender + R"(","sl":")" + ends.FromLoc + R"(","rc":")" + receiver +
            R"(","rl":")" + receiverLoc + R"(","sa":223,"ra":230,"b":")" + band + R"("})";
        out << ionvane::spot::CaptureLine(t + feedDelayS,
                                          ionvane::feed::CaptureBody(topic, payload))
            << '\n';
    }
}

} // namespace ionvane::bench
