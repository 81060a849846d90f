#include "spot_pipeline.h"

#include "agreement.h"
#include "calc/ascii.h"
#include "calc/locator.h"
#include "meteor_scatter.h"
#include "region.h"

#include <algorithm>
#include <cmath>

namespace ionvane::tracker {

namespace {

constexpr UnixSeconds SecondsPerMinute = 60;
constexpr UnixSeconds SecondsPerDay = 86400;

// The spot's own minute: its date and time, or the "HHMMZ" of a live line on the day that puts it
// nearest the receipt (a spot sent at 23:59:58 may arrive after midnight), or the receipt's minute.
std::int64_t SpotMinute(const spot::TimedReading &timed, UnixSeconds received) {
    if (timed.SpotTime) {
        return *timed.SpotTime / SecondsPerMinute;
    }
    if (!timed.MinuteOfDay) {
        return received / SecondsPerMinute;
    }
    const UnixSeconds dayStart =
        received - ((received % SecondsPerDay) + SecondsPerDay) % SecondsPerDay;
    UnixSeconds at = dayStart + *timed.MinuteOfDay * SecondsPerMinute;
    if (at - received > SecondsPerDay / 2) {
        at -= SecondsPerDay;
    } else if (received - at > SecondsPerDay / 2) {
        at += SecondsPerDay;
    }
    return at / SecondsPerMinute;
}

// Only a spot naming both its spotter and its DX call is known again: bare comments are not.
std::optional<SpotKey> KeyOf(const spot::Spot &read, std::int64_t minute) {
    if (read.Spotter.empty() || read.DxCall.empty()) {
        return std::nullopt;
    }
    constexpr double TenthKHzPerMHz = 1e4;
    return SpotKey{calc::UpperCaseAscii(read.Spotter), calc::UpperCaseAscii(read.DxCall),
                   std::llround(read.FreqMHz * TenthKHzPerMHz), minute};
}

// Whether an untagged spot without a mode lies on a meteor-scatter frequency of its spotter's
// region.
bool UntaggedOnMeteorScatterFrequency(const spot::Spot &spot) {
    if (!spot.Tag.empty() || !spot.Mode.empty()) {
        return false;
    }
    // The reader gives four- or six-character locators; a report without one has no region.
    constexpr std::size_t SquareLength = 4;
    constexpr std::size_t SubsquareLength = 6;
    if (spot.FromLoc.size() != SquareLength && spot.FromLoc.size() != SubsquareLength) {
        return false;
    }
    const bool region1 = InItuRegion1(calc::DecodeLocator(std::string_view(spot.FromLoc)));
    return OnMeteorScatterFrequency(spot.FreqMHz, region1);
}

// As FindPropagation, and an untagged spot without a mode on a meteor-scatter frequency of its
// spotter's region during a shower is meteor scatter ("Perseids").
PropagationFinding FindPropagationAt(UnixSeconds time, const spot::Spot &spot,
                                     std::string_view comment) {
    PropagationFinding found = FindPropagation(spot.Tag, comment, spot.Mode);
    if (found.Kind != Propagation::Es) {
        return found;
    }
    if (const auto shower = ActiveShower(time); shower && UntaggedOnMeteorScatterFrequency(spot)) {
        return {Propagation::MeteorScatter, std::string(*shower)};
    }
    return found;
}

LineResult Skipped(const spot::Spot &read, std::string reason) {
    LineResult result;
    result.What = LineResult::Kind::Skipped;
    result.Read = read;
    result.Reason = std::move(reason);
    return result;
}

// How far the ends placed from their calls may be off, km: together (what the path's length may
// grow by) and the larger of the two (how far its centre may lie from where it is computed). Ends
// placed from their calls are given as six characters, so their locators do not tell it.
struct PlacedKm {
    double SumKm = 0;
    double MaxKm = 0;
};
PlacedKm PlacedUncertainty(const SpotPlacing *placing) {
    PlacedKm placed;
    if (placing == nullptr) {
        return placed;
    }
    for (const places::EndPlace *end : {&placing->From, &placing->To}) {
        if (end->By != places::PlacedBy::Locator) {
            placed.SumKm += end->UncertaintyKm;
            placed.MaxKm = std::max(placed.MaxKm, end->UncertaintyKm);
        }
    }
    return placed;
}

} // namespace

SpotPipeline::SpotPipeline(SpotCalculator calculator, TrackerSettings settings, bool anyMode)
    : Calculator(std::move(calculator)), Settings(settings), AnyMode(anyMode),
      Tracker(settings, HomeView(Calculator.Format(), Calculator.Home())) {}

LineResult SpotPipeline::Feed(UnixSeconds time, std::string_view line,
                              std::vector<TrackerEvent> &events) {
    const std::size_t first = events.size();
    // Every received line moves the clock, spot or not.
    Tick(time, events);
    LineResult result = FeedLine(time, line, events);
    ListDoubleHops(first, events);
    return result;
}

LineResult SpotPipeline::FeedLine(UnixSeconds time, std::string_view line,
                                  std::vector<TrackerEvent> &events) {
    const spot::TimedReading timed = spot::ReadTimedSpot(line);
    const spot::SpotReading &reading = timed.Reading;
    if (reading.Problem == spot::SpotProblem::NotASpot) {
        return {};
    }
    // A node's clock a little ahead of ours gives no spot from the future.
    const UnixSeconds spotTime = std::min(time, timed.SpotTime.value_or(time));
    LearnFromCluster(spotTime, reading.Read);
    std::optional<std::pair<spot::Spot, SpotPlacing>> placed;
    // Only spots on the bands the tracker follows are worth placing: an HF spot stays as it was.
    if ((reading.Problem == spot::SpotProblem::NoLocators ||
         reading.Problem == spot::SpotProblem::OneLocator) &&
        spot::BandOf(reading.Read.FreqMHz)) {
        placed = PlaceFromCalls(spotTime, reading.Read);
    }
    if (reading.Problem != spot::SpotProblem::None && !placed) {
        return Skipped(reading.Read, std::string(spot::ProblemText(reading.Problem)));
    }
    const spot::Spot &read = placed ? placed->first : reading.Read;
    const std::optional<SpotKey> key = KeyOf(read, SpotMinute(timed, time));
    if (key && Counted.Seen(time, *key)) {
        return Skipped(read, "already counted");
    }
    if (time - spotTime >= RecentWindowS) {
        return Skipped(read, "older than 15 minutes");
    }
    // The comment's words are read from the whole line: the calls and the time around it are
    // never mode words.
    LineResult result = Calculate(spotTime, read, line, events, placed ? &placed->second : nullptr);
    if (key && result.What == LineResult::Kind::Spot) {
        Counted.Count(time, *key);
    }
    return result;
}

LineResult SpotPipeline::FeedSpot(UnixSeconds time, const spot::Spot &spot,
                                  std::vector<TrackerEvent> &events) {
    const std::size_t first = events.size();
    Tick(time, events);
    if (UseGridMemory) {
        // A feed report and a WSJT-X decode: the sender's locator first, the receiver's second.
        Memory.Learn(spot.DxCall, spot.FromLoc, time);
        Memory.Learn(spot.Spotter, spot.ToLoc, time);
    }
    LineResult result = Calculate(time, spot, {}, events, nullptr);
    ListDoubleHops(first, events);
    return result;
}

void SpotPipeline::Tick(UnixSeconds now, std::vector<TrackerEvent> &events) {
    const std::size_t first = events.size();
    Tracker.AdvanceTo(now, events);
    DoubleHopChanged = DoubleHops.AgeTo(now) || DoubleHopChanged;
    ListDoubleHops(first, events);
}

LineResult SpotPipeline::Calculate(UnixSeconds time, const spot::Spot &spot,
                                   std::string_view comment, std::vector<TrackerEvent> &events,
                                   const SpotPlacing *placing) {
    LineResult result;
    result.Read = spot;
    result.SpotTime = time;
    if (placing != nullptr) {
        result.Placed = *placing;
    }
    PropagationFinding propagation = FindPropagationAt(time, spot, comment);
    if (propagation.Kind == Propagation::Es && !spot.Spotter.empty() && !spot.DxCall.empty() &&
        UntaggedOnMeteorScatterFrequency(spot) &&
        Pings.Note(time, spot.Spotter, spot.DxCall, PingRunGapS).Spots >= PingRunSpots) {
        propagation = {Propagation::MeteorScatter, "a run of pings from one pair"};
    }
    if (!AnyMode && propagation.Kind != Propagation::Es) {
        result.What = LineResult::Kind::Skipped;
        result.Reason =
            spot.Es ? propagation.Word + ": " + std::string(PropagationText(propagation.Kind))
                    : "tagged " + spot.Tag + ", not Es";
        return result;
    }
    result.What = LineResult::Kind::Spot;
    result.Run = Calculator.Run(spot.FromLoc, spot.ToLoc, spot.FreqMHzText, spot.FreqMHz);
    const SpotFigures &figures = result.Run.Figures;
    result.SpotBand = spot::BandOf(spot.FreqMHz);
    if (!figures.Completed) {
        result.Class = EsClass::NoResult;
        return result;
    }
    result.Class =
        ClassifySpot(result.SpotBand, propagation.Kind, figures.DistanceKm, Settings.Classifier);
    const bool precise = placing == nullptr || places::PlacedWithin(placing->From, placing->To);
    if (propagation.Kind == Propagation::Es) {
        DoubleHop(time, spot, precise, result, events);
    }
    if (!precise) {
        // Listed with its place, but too coarse to move a cloud or set a MUF.
        result.What = LineResult::Kind::Skipped;
        result.Reason =
            "placed too coarsely to count: from " + placing->From.Text + ", to " + placing->To.Text;
        result.CloudId.reset();
        return result;
    }
    if (std::string duct = DuctSignature(time, spot, figures.DistanceKm, propagation);
        !duct.empty() && result.Class == EsClass::Counted) {
        result.Class = EsClass::Unconfirmed;
        result.Reason = std::move(duct);
        return result;
    }
    if (result.Class != EsClass::Counted) {
        return result;
    }
    // Every feed report and every cluster spot without a tag: 2 m tropo reaches as far as Es.
    const bool needsConfirmation = *result.SpotBand == spot::Band::M2 && spot.Tag.empty();
    // A four-character locator names a square, not a station's place.
    constexpr std::size_t SquareLength = 4;
    const int coarseEnds =
        (spot.FromLoc.size() <= SquareLength ? 1 : 0) + (spot.ToLoc.size() <= SquareLength ? 1 : 0);
    const PlacedKm placed = PlacedUncertainty(placing);
    const TrackedSpot tracked{
        *result.SpotBand,
        spot.FreqMHz,
        figures.CentreLatDeg,
        figures.CentreLonDeg,
        figures.CriticalFreqMHz,
        figures.PathMufMHz,
        needsConfirmation,
        *result.SpotBand == spot::Band::M4 && spot.Tag.empty(),
        ClaimShare(figures.DistanceKm, coarseEnds, figures.CentreLatDeg, placed.SumKm),
        StationKey(spot.Spotter, spot.FromLoc),
        StationKey(spot.DxCall, spot.ToLoc),
        placed.MaxKm};
    const Placement joined = Tracker.AddSpot(time, tracked, events);
    result.CloudId = joined.CloudId;
    if (joined.Unconfirmed) {
        result.Class = EsClass::Unconfirmed;
        result.Reason = joined.Reason;
    } else {
        result.Reflections.push_back(
            {{figures.CentreLatDeg, figures.CentreLonDeg}, figures.PathMufMHz});
    }
    return result;
}

std::string SpotPipeline::DuctSignature(UnixSeconds time, const spot::Spot &spot, double distanceKm,
                                        const PropagationFinding &propagation) {
    constexpr std::size_t SquareLength = 4;
    if (spot::BandOf(spot.FreqMHz) != spot::Band::M2 || !spot.Tag.empty() ||
        propagation.Kind != Propagation::Es || !(distanceKm < TropoMaxDistanceKm) ||
        spot.FromLoc.size() < SquareLength || spot.ToLoc.size() < SquareLength) {
        return {};
    }
    const PathMemory::Run run =
        Ducts.Note(time, std::string_view(spot.FromLoc).substr(0, SquareLength),
                   std::string_view(spot.ToLoc).substr(0, SquareLength), TropoGapS);
    if (run.Spots < TropoSignatureSpots || run.SpanS < TropoSignatureS) {
        return {};
    }
    return "2 m, not confirmed: looks like tropo (same path for " +
           std::to_string(run.SpanS / SecondsPerMinute) + " min)";
}

} // namespace ionvane::tracker
