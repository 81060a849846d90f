// The evening in review as a front end holds it: the store's last hours, and the map's state at a
// moment of them. Plain values and a virtual interface only, so that the live window, which must
// not link the database library, is handed an engine made by the module that does.
#pragma once

#include "calc/number_format.h"
#include "live/live_events.h"
#include "places/country_file.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <vector>

namespace ionvane::review {

using tracker::UnixSeconds;

/// Hours of the store looked back on at first, and at most: an evening, and two days for an
/// opening that came over a weekend away.
constexpr int DefaultReviewHours = 6;
constexpr int MaxReviewHours = 48;

/// What was read of the store.
struct ReviewSpan {
    UnixSeconds From = 0; ///< the oldest moment that can be shown
    UnixSeconds To = 0;   ///< the newest (the time of the last read, "now")
    std::size_t Lines = 0;
    /// Rows that could not be read as a line and its time, skipped.
    std::size_t CorruptRows = 0;
    /// Why less than all of it could be read (a missing, busy or damaged store); "" when all was.
    std::string Problem;
};

/// The tracker's state at a moment of the past, as the live window draws it.
struct ReviewMoment {
    UnixSeconds Time = 0;
    std::vector<tracker::CloudEvent> Clouds;
    tracker::VerdictEvent Verdict;
    /// The spots before the moment, oldest first, at most MaxMomentSpots of them.
    std::vector<live::SpotTaken> Spots;
};

/// Spots a moment lists, the newest kept: the spot list's first screens and the paths of the map's
/// recent stretch on an evening's busy node (a few hundred spots in 15 minutes).
constexpr std::size_t MaxMomentSpots = 400;

class ReviewControl {
  public:
    ReviewControl() = default;
    virtual ~ReviewControl() = default;
    ReviewControl(const ReviewControl &) = delete;
    ReviewControl &operator=(const ReviewControl &) = delete;

    /// Reads the store's lines of the `hours` before `now` (1 to MaxReviewHours) that were not read
    /// yet; never waits for a store another program keeps locked. What was read before stays.
    /// Called on a thread of its own by the live window, which asks `stop` when it closes: the
    /// read then ends early, and the review is only to be destroyed.
    virtual ReviewSpan Load(UnixSeconds now, int hours, std::stop_token stop) = 0;
    /// The state at `time`, clamped to the span read; no alarm is raised by it. Called on the
    /// thread that loads.
    virtual ReviewMoment At(UnixSeconds time) = 0;
};

/// What the engine is made with: the same home, settings and places as the live session, so that
/// the past replays as it ran.
struct ReviewSetup {
    calc::NumberFormat Format;
    tracker::HomeSettings Home;
    tracker::TrackerSettings Tracker;
    bool AnyMode = false;
    /// May be null: calls without locators are placed by the grids they were heard with only.
    std::shared_ptr<const places::CountryFile> Countries;
};

/// Makes a review of the history store: in the program, the core module's; null when none can be.
using OpenReview = std::function<std::unique_ptr<ReviewControl>(ReviewSetup setup)>;

} // namespace ionvane::review
