#include "spot_pipeline.h"

namespace ionvane::tracker {

SpotPipeline::SpotPipeline(SpotCalculator calculator, TrackerSettings settings, bool anyMode)
    : Calculator(std::move(calculator)), Settings(settings), AnyMode(anyMode),
      Tracker(settings, Calculator.Home().HomeLocator) {}

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
    return Calculate(time, reading.Read, events);
}

LineResult SpotPipeline::FeedSpot(UnixSeconds time, const spot::Spot &spot,
                                  std::vector<TrackerEvent> &events) {
    Tracker.AdvanceTo(time, events);
    return Calculate(time, spot, events);
}

LineResult SpotPipeline::Calculate(UnixSeconds time, const spot::Spot &spot,
                                   std::vector<TrackerEvent> &events) {
    LineResult result;
    result.Read = spot;
    if (!AnyMode && !spot.Es) {
        result.What = LineResult::Kind::Skipped;
        result.Reason = "tagged " + spot.Tag + ", not Es";
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
    result.Class = ClassifySpot(result.SpotBand, spot.Tag, figures.DistanceKm, Settings.Classifier);
    if (result.Class != EsClass::Counted) {
        return result;
    }
    Tracker.SetHomeLocator(figures.HomeLocator);
    const TrackedSpot tracked{*result.SpotBand,        spot.FreqMHz,
                              figures.CentreLatDeg,    figures.CentreLonDeg,
                              figures.CriticalFreqMHz, figures.Home};
    result.CloudId = Tracker.AddSpot(time, tracked, events);
    return result;
}

} // namespace ionvane::tracker
