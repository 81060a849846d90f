// From a received line to tracker events: the spot reader, the calculation with the home
// settings, the Es classifier and the cloud tracker, in that order, for live sessions and replay
// alike.
#pragma once

#include "cloud_tracker.h"
#include "counted_spots.h"
#include "double_hop.h"
#include "muf_layer.h"
#include "path_memory.h"
#include "places/call_place.h"
#include "spot/node_spot.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ionvane::tracker {

/// How the two ends of a spot given without both locators were placed: From is the spotter's end,
/// To the DX call's.
struct SpotPlacing {
    places::EndPlace From;
    places::EndPlace To;
};

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
    std::optional<spot::Band> SpotBand; ///< for Spot
    EsClass Class = EsClass::OtherBand; ///< for Spot
    std::optional<int> CloudId; ///< the cloud a counted spot joined; none for one older than
                                ///< the recent stretch
    UnixSeconds SpotTime = 0;   ///< for Spot: its own time, which a node's listing, a CC11
                                ///< line or a late feed report puts before the receipt
    /// For a spot placed from its calls (a Spot, or Skipped as placed too coarsely): how.
    std::optional<SpotPlacing> Placed;
    /// Where an Es spot was reflected, for the MUF layer: the path centre of a counted spot, both
    /// hop points of a double hop (each with the MUF of its hop); none for the others.
    std::vector<Reflection> Reflections;
};

class SpotPipeline {
  public:
    /// `anyMode`: spots tagged with another propagation mode are calculated too (and still place
    /// no cloud); otherwise they are skipped.
    SpotPipeline(SpotCalculator calculator, TrackerSettings settings, bool anyMode);

    /// One line received at `time`; appends the tracker's events to `events`. A spot seen within
    /// the last CountedOnceS is skipped as "already counted"; a spot the node gives with its own
    /// time (a SH/DX listing, a CC11 line) is placed at that time, or skipped as "older than 15
    /// minutes" when it is as old as the tracker's recent stretch.
    LineResult Feed(UnixSeconds time, std::string_view line, std::vector<TrackerEvent> &events);

    /// A spot already read elsewhere (a feed report) at `time`: as Feed from the mode check on.
    LineResult FeedSpot(UnixSeconds time, const spot::Spot &spot,
                        std::vector<TrackerEvent> &events);

    /// The clock moved on without a spot (a live timer, a receipt that gives no spot).
    void Tick(UnixSeconds now, std::vector<TrackerEvent> &events);

    /// Spots without both locators are placed from their calls: by the grid memory (when
    /// `gridMemory`) and by `countries` (null: none; it must outlive the pipeline).
    void UsePlaces(const places::CountryFile *countries, bool gridMemory) {
        Countries = countries;
        UseGridMemory = gridMemory;
    }
    /// Every call heard with a grid, to be saved and restored by whoever owns the session.
    [[nodiscard]] places::GridMemory &Grids() { return Memory; }

    /// Bands at or above `band` alarm, from the next change of a verdict on.
    void SetAlarmFrom(spot::Band band) { Tracker.SetAlarmFrom(band); }
    [[nodiscard]] spot::Band AlarmFrom() const { return Tracker.AlarmFrom(); }

    [[nodiscard]] const CloudTracker &Clouds() const { return Tracker; }
    /// The clouds' verdict of now with the double-hop evidence heard, as a verdict event gives it.
    [[nodiscard]] VerdictEvent CurrentVerdict() const {
        VerdictEvent verdict = Tracker.CurrentVerdict();
        verdict.DoubleHop = DoubleHops.Listing();
        return verdict;
    }

  private:
    LineResult FeedLine(UnixSeconds time, std::string_view line, std::vector<TrackerEvent> &events);
    /// `placing`: how a spot without both locators was placed (null: it gave both).
    LineResult Calculate(UnixSeconds time, const spot::Spot &spot, std::string_view comment,
                         std::vector<TrackerEvent> &events, const SpotPlacing *placing);
    /// Notes an untagged 2 m spot under TropoMaxDistanceKm by its squares and says why it looks
    /// like tropo once the same path has been seen for TropoSignatureS; empty otherwise.
    std::string DuctSignature(UnixSeconds time, const spot::Spot &spot, double distanceKm,
                              const PropagationFinding &propagation);
    /// A spot without both locators placed from its calls, or none when an end stays unplaced.
    std::optional<std::pair<spot::Spot, SpotPlacing>> PlaceFromCalls(UnixSeconds time,
                                                                     const spot::Spot &read) const;
    void LearnFromCluster(UnixSeconds time, const spot::Spot &read);
    void DoubleHop(UnixSeconds time, const spot::Spot &spot, bool precise, LineResult &result,
                   std::vector<TrackerEvent> &events);
    /// Puts the double-hop listing into the verdicts from `first` on, and adds a verdict when the
    /// listing changed without one.
    void ListDoubleHops(std::size_t first, std::vector<TrackerEvent> &events);

    SpotCalculator Calculator;
    TrackerSettings Settings;
    bool AnyMode;
    CloudTracker Tracker;
    CountedSpots Counted;
    /// Short untagged 2 m paths between squares (a duct's signature) and pairs of calls on
    /// meteor-scatter frequencies (a run of pings), by when they were seen.
    PathMemory Ducts;
    PathMemory Pings;
    const places::CountryFile *Countries = nullptr;
    bool UseGridMemory = false;
    places::GridMemory Memory;
    DoubleHopWatch DoubleHops;
    bool DoubleHopChanged = false;
};

} // namespace ionvane::tracker
