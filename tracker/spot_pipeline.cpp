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
    if (!AnyMode && !reading.Read.Es) {
        result.What = LineResult::Kind::Skipped;
        result.Reason = "tagged " + reading.Read.Tag + ", not Es";
        return result;
    }
    result.What = LineResult::Kind::Spot;
    result.Run = Calculator.Run(reading.Read.FromLoc, reading.Read.ToLoc, reading.Read.FreqMHzText,
                                reading.Read.FreqMHz);
    const SpotFigures &figures = result.Run.Figures;
    result.SpotBand = BandOf(reading.Read.FreqMHz);
    if (!figures.Completed) {
        result.Class = EsClass::NoResult;
        return result;
    }
    result.Class =
        ClassifySpot(result.SpotBand, reading.Read.Tag, figures.DistanceKm, Settings.Classifier);
    if (result.Class != EsClass::Counted) {
        return result;
    }
    Tracker.SetHomeLocator(figures.HomeLocator);
    const TrackedSpot tracked{*result.SpotBand,     reading.Read.FreqMHz,    figures.CentreLatDeg,
                              figures.CentreLonDeg, figures.CriticalFreqMHz, figures.Home};
    result.CloudId = Tracker.AddSpot(time, tracked, events);
    return result;
}

} // namespace ionvane::tracker
