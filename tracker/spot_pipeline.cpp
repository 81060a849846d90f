#include "spot_pipeline.h"

namespace ionvane::tracker {

SpotPipeline::SpotPipeline(SpotCalculator calculator, TrackerSettings settings, bool anyMode)
    : Calculator(std::move(calculator)), Settings(settings), AnyMode(anyMode),
      Tracker(settings, HomeView(Calculator.Format(), Calculator.Home())) {}

LineResult SpotPipeline::Feed(UnixSeconds time, std::string_view line,
                              std::vector<TrackerEvent> &events) {
    // Every received line moves the clock, spot or not.
    Tracker.AdvanceTo(time, events);
    LineResult result;
    const spot::SpotReading reading = spot::ReadSpot(line);
    if (reading.Problem == spot::SpotProblem::NotASpot) {
        return result;
    }
    result.Read = reading.Read;
    if (reading.Problem != spot::SpotProblem::None) {
        result.What = LineResult::Kind::Skipped;
        result.Reason = spot::ProblemText(reading.Problem);
        return result;
    }
    // The comment's words are read from the whole line: the calls and the time around it are
    // never mode words.
    return Calculate(time, reading.Read, line, events);
}

LineResult SpotPipeline::FeedSpot(UnixSeconds time, const spot::Spot &spot,
                                  std::vector<TrackerEvent> &events) {
    Tracker.AdvanceTo(time, events);
    return Calculate(time, spot, {}, events);
}

LineResult SpotPipeline::Calculate(UnixSeconds time, const spot::Spot &spot,
                                   std::string_view comment, std::vector<TrackerEvent> &events) {
    LineResult result;
    result.Read = spot;
    const PropagationFinding propagation = FindPropagation(spot.Tag, comment, spot.Mode);
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
    result.SpotBand = BandOf(spot.FreqMHz);
    if (!figures.Completed) {
        result.Class = EsClass::NoResult;
        return result;
    }
    result.Class =
        ClassifySpot(result.SpotBand, propagation.Kind, figures.DistanceKm, Settings.Classifier);
    if (result.Class != EsClass::Counted) {
        return result;
    }
    // Every feed report and every cluster spot without a tag: 2 m tropo reaches as far as Es.
    const bool needsConfirmation = *result.SpotBand == Band::M2 && spot.Tag.empty();
    const TrackedSpot tracked{
        *result.SpotBand,        spot.FreqMHz,       figures.CentreLatDeg, figures.CentreLonDeg,
        figures.CriticalFreqMHz, figures.PathMufMHz, needsConfirmation};
    const Placement placed = Tracker.AddSpot(time, tracked, events);
    result.CloudId = placed.CloudId;
    if (placed.Unconfirmed) {
        result.Class = EsClass::Unconfirmed;
    }
    return result;
}

} // namespace ionvane::tracker
