#include "spot_calculation.h"

#include "calc/calc_state.h"

namespace ionvane::tracker {

SpotCalculator::SpotCalculator(calc::NumberFormat format, HomeSettings home, SpotTexts texts)
    : Numbers(format), Command(std::move(format)), HomeStation(std::move(home)), Texts(texts) {}

SpotRun SpotCalculator::Run(std::string_view fromLoc, std::string_view toLoc,
                            std::string_view freqMHzText, double freqMHz) const {
    calc::CalcState state;
    state.EsLayerHeightKm = HomeStation.EsLayerHeightKm;
    state.HomeHeightKm = HomeStation.HomeHeightKm;
    SpotRun run;
    const command::CalculateInput input{std::string(fromLoc), std::string(toLoc),
                                        std::string(freqMHzText), freqMHz};
    if (Texts == SpotTexts::Made) {
        run.Screen.txtHomeLoc = HomeStation.HomeLocator;
        run.Outcome = Command.Run(state, input, run.Screen);
    } else {
        run.Outcome = Command.RunWithoutTexts(state, input, HomeStation.HomeLocator);
    }
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
    figures.PathMufMHz = f.PathMufMHz;
    figures.Home = HomeFigures{f.TowardsLoc, f.HomeAzimuthDeg, f.HomeElevationDeg, f.HomeDistanceKm,
                               f.TrafficFreqMHz};
    figures.HomeLocator = f.HomeLoc;
    return run;
}

} // namespace ionvane::tracker
