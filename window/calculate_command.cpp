#include "calculate_command.h"

#include "calc/ascii.h"
#include "calc/locator.h"
#include "calc/path_centre.h"
#include "propagation/es_layer.h"
#include "result_texts.h"

#include <cmath>

namespace ionvane::window {

using calc::CalcState;
using Ending = CalculateOutcome::Ending;

namespace {

constexpr int ShownDecimals = 2;

// The steps of one run; each returns false when the run has to stop at the error display.
class CalculateRun {
  public:
    CalculateRun(CalcState &state, ScreenTexts &screen, const calc::NumberFormat &format)
        : State(state), Screen(screen), Format(format) {}

    CalculateOutcome Execute(const CalculateInput &input);

  private:
    bool ReadFrequency(const CalculateInput &input);
    bool TakeFrequency(double valueMHz);
    bool SpottedPath();
    bool CentreAndOnwardPoint();
    bool HomePath();
    CalculateOutcome ShowError();

    bool Fail() {
        State.StatusCode = NoFrequencyStatus;
        return false;
    }
    double ValueOf(const calc::Variant &value) const { return value.NumericValue(Format); }
    std::string TextOf(const calc::Variant &value) const { return value.DisplayText(Format); }

    CalcState &State;
    ScreenTexts &Screen;
    const calc::NumberFormat &Format;
    CalculateFigures Figures;
};

CalculateOutcome CalculateRun::Execute(const CalculateInput &input) {
    State.CalcPi = 4 * std::atan(1.0);
    State.StatusCode = 0;
    State.FromLoc = calc::UpperCaseAscii(input.txtFromLoc);
    State.ToLoc = calc::UpperCaseAscii(input.txtToLoc);
    if (!ReadFrequency(input)) {
        return ShowError();
    }
    if (State.FreqMHz == 0.0F) {
        return CalculateOutcome{};
    }
    calc::CheckLocators(State, Format);
    if (State.StatusCode != 0 || !SpottedPath() || !CentreAndOnwardPoint() || !HomePath()) {
        return ShowError();
    }
    CalculateOutcome outcome;
    outcome.HowEnded = Ending::Completed;
    outcome.Focus = Control::txtFromLoc;
    outcome.Figures = Figures;
    return outcome;
}

bool CalculateRun::ReadFrequency(const CalculateInput &input) {
    if (input.FreqMHz) {
        return TakeFrequency(*input.FreqMHz);
    }
    if (!calc::IsNumeric(input.txtFreq, Format)) {
        return Fail();
    }
    // "." is a decimal point in every regional format, the regional separator as well.
    return TakeFrequency(calc::FrequencyValue(input.txtFreq, Format));
}

bool CalculateRun::TakeFrequency(double value) {
    const auto single = static_cast<float>(value);
    // A negative, infinite or out-of-range frequency has no meaning and would reach the texts
    // as nan or inf.
    if (!std::isfinite(value) || value < 0 || !std::isfinite(single)) {
        return Fail();
    }
    State.FreqMHz = single;
    return true;
}

bool CalculateRun::SpottedPath() {
    const double hE = static_cast<double>(State.EsLayerHeightKm);
    const double distanceKm = ValueOf(State.DistanceText);
    const auto shown =
        propagation::EsElevation(distanceKm, static_cast<double>(State.HomeHeightKm), hE);
    const double elevationDeg = propagation::ElevationDeg(shown, State.PathPi);
    if (!std::isfinite(elevationDeg)) {
        return Fail();
    }
    const std::string elevationText = calc::FormatFixed(elevationDeg, ShownDecimals, Format);
    Screen.lblAZResult = SpottedPathText(State.FromLoc, State.ToLoc, State.FreqMHz, Format);
    Screen.lblAzResult2 =
        GeometryText(TextOf(State.BearingText), elevationText, TextOf(State.DistanceText));

    // The critical frequency sees the distance capped at one hop; the MUF the whole distance.
    const auto reflection = propagation::EsElevation(
        propagation::CriticalFreqDistanceKm(distanceKm), propagation::SpotHeightKm, hE);
    const double criticalFreq =
        propagation::CriticalFreq(reflection, static_cast<double>(State.FreqMHz), State.PathPi);
    const double pathMuf = calc::RoundByFormat(
        propagation::MufExpression(criticalFreq, distanceKm, hE), Format.DefaultDecimals, Format);
    if (!std::isfinite(criticalFreq) || !std::isfinite(pathMuf)) {
        return Fail();
    }
    Figures.DistanceKm = distanceKm;
    Figures.AzimuthDeg = ValueOf(State.BearingText);
    Figures.ElevationDeg = calc::FormattedValue(elevationDeg, ShownDecimals);
    Figures.CriticalFreqMHz = criticalFreq;
    Figures.PathMufMHz = pathMuf;
    return true;
}

bool CalculateRun::CentreAndOnwardPoint() {
    // The path calculation leaves the To end in point 1; the centre is found from the From end.
    State.SwapTemp = State.Lon1;
    State.Lon1 = State.Lon2;
    State.Lon2 = ValueOf(State.SwapTemp);
    State.SwapTemp = State.Lat1;
    State.Lat1 = State.Lat2;
    State.Lat2 = ValueOf(State.SwapTemp);

    State.HomeLoc = Screen.txtHomeLoc;
    State.HomeBoxText = Screen.txtHomeLoc;
    calc::PathCentre(State, 1);
    Screen.txtHomeLoc = State.HomeBoxText;
    if (State.StatusCode != 0) {
        return false;
    }
    Screen.lblMidPoint =
        CentreText(State.CentreLoc, Figures.CriticalFreqMHz, Figures.PathMufMHz, Format);

    calc::PathCentre(State, 2);
    if (State.StatusCode != 0) {
        return false;
    }
    Screen.lblMUFqth = TryTowardsText(State.HomeLoc, State.TowardsLoc);
    Screen.Title = ResultTitle(Figures.PathMufMHz, State.TowardsLoc, Format);
    Figures.CentreLoc = State.CentreLoc;
    Figures.TowardsLoc = State.TowardsLoc;
    return true;
}

bool CalculateRun::HomePath() {
    // From home as the check completed it, so the path starts where the onward point was
    // found from.
    State.FromLoc = State.HomeBoxText;
    State.ToLoc = State.TowardsLoc;
    calc::CheckLocators(State, Format);

    const double hE = static_cast<double>(State.EsLayerHeightKm);
    const double homeDistanceKm = ValueOf(State.DistanceText);
    const auto fromHome = propagation::EsElevation(
        homeDistanceKm, static_cast<double>(State.HomeHeightKm), hE, propagation::DxHeightKm);
    const double elevationDeg = propagation::ElevationDeg(fromHome, State.PathPi);
    if (!std::isfinite(elevationDeg)) {
        return Fail();
    }
    const std::string elevationText = calc::FormatFixed(elevationDeg, ShownDecimals, Format);
    Screen.lblMUFqth2 =
        GeometryText(TextOf(State.BearingText), elevationText, TextOf(State.DistanceText));

    const double homeCriticalFreq =
        propagation::CriticalFreq(fromHome, static_cast<double>(State.FreqMHz), State.PathPi);
    const double homeMuf = propagation::MufExpression(homeCriticalFreq, homeDistanceKm, hE);
    float trafficFreq =
        propagation::TrafficFreq(Figures.PathMufMHz, homeMuf, State.FreqMHz, Format);
    if (!std::isfinite(trafficFreq)) {
        return Fail();
    }
    trafficFreq = propagation::CapTrafficFreq(trafficFreq, Figures.PathMufMHz, Format);
    const double shownElevation = calc::FormattedValue(elevationDeg, ShownDecimals);
    const auto advice = propagation::ChooseAdvice(homeDistanceKm, shownElevation);
    Screen.lblFOT = TrafficText(advice, Figures.PathMufMHz, trafficFreq, Format);

    Figures.HomeDistanceKm = homeDistanceKm;
    Figures.HomeAzimuthDeg = ValueOf(State.BearingText);
    Figures.HomeElevationDeg = shownElevation;
    Figures.TrafficFreqMHz = trafficFreq;
    return true;
}

CalculateOutcome CalculateRun::ShowError() {
    CalculateOutcome outcome;
    outcome.HowEnded = Ending::ErrorShown;
    outcome.StatusShown = State.StatusCode;
    const auto entry = LookUpStatus(State.StatusCode);
    State.StatusMsg = entry ? entry->Message : std::string();
    outcome.MessageShown = State.StatusMsg;
    outcome.Focus = entry ? entry->Focus : Control::txtFromLoc;
    Screen.lblAZResult.clear();
    Screen.lblAzResult2.clear();
    Screen.lblMidPoint.clear();
    Screen.lblMUFqth2.clear();
    Screen.lblFOT.clear();
    Screen.lblMUFqth = ErrorText(State.StatusMsg);
    State.StatusCode = 0;
    return outcome;
}

} // namespace

CalculateOutcome CalculateCommand::Run(CalcState &state, const CalculateInput &input,
                                       ScreenTexts &screen) const {
    return CalculateRun(state, screen, Format).Execute(input);
}

} // namespace ionvane::window
