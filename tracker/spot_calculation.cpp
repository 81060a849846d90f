#include "spot_calculation.h"

#include "calc/calc_state.h"

namespace ionvane::tracker {

SpotCalculator::SpotCalculator(calc::NumberFormat format, HomeSettings home)
    : Command(std::move(format)), HomeStation(std::move(home)) {}

SpotRun SpotCalculator::Run(std::string_view fromLoc, std::string_view toLoc,
                            std::string_view freqMHzText, double freqMHz) const {
    calc::CalcState state;
    state.EsLayerHeightKm = HomeStation.EsLayerHeightKm;
    state.HomeHeightKm = HomeStation.HomeHeightKm;
    SpotRun run;
    run.Screen.txtHomeLoc = HomeStation.HomeLocator;
    run.Outcome = Command.Run(state,
                              command::CalculateInput{std::string(fromLoc), std::string(toLoc),
                                                      std::string(freqMHzText), freqMHz},
                              run.Screen);
    if (!run.Outcome.Figures) {
        return run;
    }
    const auto &f = *run.Outcome.Figures;
    SpotFigures &figures = run.Figures;
    figures.Completed = true;
    figures.DistanceKm = f.DistanceKm;
    figures.CentreLatDeg = f.CentreLatDeg;
    figures.CentreLonDeg = f.CentreLonDeg;
    figures.CriticalFreqMHz = f.CriticalFreqMHz;
    figures.Home = HomeFigures{f.TowardsLoc, f.HomeAzimuthDeg, f.HomeElevationDeg, f.HomeDistanceKm,
                               f.TrafficFreqMHz};
    figures.HomeLocator = run.Screen.txtHomeLoc;
    return run;
}

} // namespace ionvane::tracker
