// From a received line to tracker events: the spot reader, the calculation with the home
// settings, the Es classifier and the cloud tracker, in that order, for live sessions and replay
// alike.
#pragma once

#include "cloud_tracker.h"
#include "spot/spot_reader.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ionvane::tracker {

/// What became of one received line.
struct LineResult {
    enum class Kind {
        Ignored, ///< no spot at all (prompts, talk, announcements)
        Skipped, ///< a spot that cannot be used; Reason says why
        Spot,    ///< a spot with two locators, calculated
    };
    Kind What = Kind::Ignored;
    std::string Reason;
    spot::Spot Read;
    SpotRun Run;                        ///< the calculation, for Spot
    std::optional<Band> SpotBand;       ///< for Spot
    EsClass Class = EsClass::OtherBand; ///< for Spot
    std::optional<int> CloudId; ///< the cloud a counted spot joined; none for one older than
                                ///< the recent stretch
};

class SpotPipeline {
  public:
    /// `anyMode`: spots tagged with another propagation mode are calculated too (and still place
    /// no cloud); otherwise they are skipped.
    SpotPipeline(SpotCalculator calculator, TrackerSettings settings, bool anyMode);

    /// One line received at `time`; appends the tracker's events to `events`.
    LineResult Feed(UnixSeconds time, std::string_view line, std::vector<TrackerEvent> &events);

    /// A spot already read elsewhere (a feed report) at `time`: as Feed from the mode check on.
    LineResult FeedSpot(UnixSeconds time, const spot::Spot &spot,
                        std::vector<TrackerEvent> &events);

    /// The clock moved on without a spot (a live timer, a receipt that gives no spot).
    void Tick(UnixSeconds now, std::vector<TrackerEvent> &events) {
        Tracker.AdvanceTo(now, events);
    }

    /// Bands at or above `band` alarm, from the next change of a verdict on.
    void SetAlarmFrom(Band band) { Tracker.SetAlarmFrom(band); }
    [[nodiscard]] Band AlarmFrom() const { return Tracker.AlarmFrom(); }

    [[nodiscard]] const CloudTracker &Clouds() const { return Tracker; }

  private:
    LineResult Calculate(UnixSeconds time, const spot::Spot &spot,
                         std::vector<TrackerEvent> &events);

    SpotCalculator Calculator;
    TrackerSettings Settings;
    bool AnyMode;
    CloudTracker Tracker;
};

} // namespace ionvane::tracker
