// The tracker fed capture lines as a live session feeds it: a pipeline with the home IO90IR,
// 110 km and 150 m unless a scenario says otherwise, and every event it gave, for the scenario
// tests of clouds and of verdicts.
#pragma once

#include "spot/capture_line.h"
#include "synthetic/synthetic_capture.h"
#include "tracker/spot_pipeline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace ionvane::tracker::scenario {

using synthetic::PathEnds;
using synthetic::PathThrough;
using synthetic::Point;
using synthetic::SpotLine;

// 2026-06-14T10:00:00Z
inline constexpr UnixSeconds T0 = 1781431200;
inline constexpr UnixSeconds Minute = 60;
// Tolerance of a cloud position against the centre the paths were laid through, km: each path end
// is moved to the centre of its subsquare (at most 2.5' of longitude and 1.25' of latitude).
inline constexpr double PositionToleranceKm = 6;

inline double DistanceKm(double lat1, double lon1, Point p) {
    constexpr double Rad = 3.14159265358979323846 / 180;
    const double a = std::pow(std::sin((p.LatDeg - lat1) * Rad / 2), 2) +
                     std::cos(lat1 * Rad) * std::cos(p.LatDeg * Rad) *
                         std::pow(std::sin((p.LonDeg - lon1) * Rad / 2), 2);
    return 2 * 6371.291 * std::asin(std::sqrt(a));
}

struct Scenario {
    explicit Scenario(std::string home = "IO90IR", TrackerSettings settings = {},
                      bool anyMode = false, SpotTexts texts = SpotTexts::Made)
        : Pipeline(SpotCalculator(calc::PlainNumberFormat(),
                                  HomeSettings{std::move(home), 110.0F, 0.15F}, texts),
                   settings, anyMode) {}

    LineResult Feed(const std::string &captureLine) {
        const auto line = spot::ReadCaptureLine(captureLine);
        EXPECT_TRUE(line.has_value()) << captureLine;
        return line ? Pipeline.Feed(line->Time, line->Line, Events) : LineResult{};
    }
    void Spot(UnixSeconds t, const PathEnds &path, double freqKHz, std::string_view tag = "ES") {
        Feed(SpotLine(t, path, freqKHz, tag));
    }
    void Tick(UnixSeconds t) { Pipeline.Tick(t, Events); }
    // A feed report of `mode` on `freqMHz`: no tag, the mode named.
    LineResult Report(UnixSeconds t, const PathEnds &path, double freqMHz,
                      std::string_view mode = "FT8") {
        spot::Spot report;
        report.FreqMHz = freqMHz;
        report.FreqMHzText = std::to_string(freqMHz);
        report.FromLoc = path.FromLoc;
        report.ToLoc = path.ToLoc;
        report.Mode = mode;
        return Pipeline.FeedSpot(t, report, Events);
    }
    [[nodiscard]] BandVerdict Verdict(spot::Band band) const {
        return Pipeline.Clouds().CurrentVerdict().Bands[spot::BandIndex(band)];
    }

    template <class Event> std::vector<Event> All() const {
        std::vector<Event> found;
        for (const auto &event : Events) {
            if (const auto *e = std::get_if<Event>(&event)) {
                found.push_back(*e);
            }
        }
        return found;
    }
    std::vector<CloudEvent> Current() const { return Pipeline.Clouds().CurrentClouds(); }

    SpotPipeline Pipeline;
    std::vector<TrackerEvent> Events;
};

// Five 6 m spots over five minutes on paths of 1,000 to 1,800 km through `centre`, crossing it at
// different bearings.
inline void SpotsThrough(Scenario &s, Point centre, UnixSeconds start, double freqKHz = 50313.0) {
    const double bearings[] = {10, 50, 95, 130, 170};
    const double lengths[] = {1000, 1400, 1800, 1200, 1600};
    for (int i = 0; i < 5; ++i) {
        s.Spot(start + i * Minute, PathThrough(centre, bearings[i], lengths[i]), freqKHz);
    }
}

// A 2 m spot of 1,152.97 km through a cloud over southern Germany; from IO90IR, farther from the
// cloud, the frequency of traffic is 159.53 MHz: 2 m (and 4 m) possible from home.
// Each spot at its own minute: the same spot in the same minute is counted once.
inline std::string TwoMetreSpot(UnixSeconds t) {
    const std::string time = synthetic::TimeText(t);
    return time + "\tDX de G4ABC:    144174.0  S51ABC       JO01MM<ES>JN75EX " +
           time.substr(11, 2) + time.substr(14, 2) + "Z";
}

// The alarms of one band, in order.
inline std::vector<AlarmEvent> AlarmsOn(const Scenario &s, spot::Band band) {
    std::vector<AlarmEvent> alarms = s.All<AlarmEvent>();
    std::erase_if(alarms, [band](const AlarmEvent &a) { return a.Which != band; });
    return alarms;
}

} // namespace ionvane::tracker::scenario
