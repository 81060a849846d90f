#include "calculate_command.h"

#include "calc/ascii.h"
#include "calc/home_location.h"
#include "calc/locator.h"
#include "calc/path.h"
#include "calc/path_centre.h"
#include "propagation/es_layer.h"
#include "result_texts.h"

#include <cmath>

namespace ionvane::command {

using calc::CalcState;
using Ending = CalculateOutcome::Ending;

namespace {

using calc::ShownDecimals;

// One run: the values it hands from step to step, and the steps; each step returns false when the
// run has to stop at the error display.
class CalculateRun {
  public:
    CalculateRun(const CalcState &settings, ScreenTexts &screen, const calc::NumberFormat &format)
        : EsPath{0.0, static_cast<double>(settings.EsLayerHeightKm)},
          HomeHeightKm(static_cast<double>(settings.HomeHeightKm)), Screen(screen), Format(format) {
    }

    CalculateOutcome Execute(const CalculateInput &input);

  private:
    bool ReadFrequency(const CalculateInput &input);
    bool TakeFrequency(double valueMHz);
    bool SpottedPath();
    bool CentreAndOnwardPoint();
    bool HomePath();
    CalculateOutcome ShowError() const;

    bool Fail(std::int16_t statusCode) {
        StatusCode = statusCode;
        return false;
    }

    propagation::EsPath EsPath; // the layer height, with the distance of the path at hand
    double HomeHeightKm;
    ScreenTexts &Screen;
    const calc::NumberFormat &Format;

    std::int16_t StatusCode = 0;
    float FreqMHz = 0.0F;
    calc::Position From;
    calc::Position To;
    calc::MidPoint Centre;
    calc::HomeCheck Home;
    std::string Title;
    CalculateFigures Figures;
};

CalculateOutcome CalculateRun::Execute(const CalculateInput &input) {
    const std::string fromLoc = calc::UpperCaseAscii(input.txtFromLoc);
    const std::string toLoc = calc::UpperCaseAscii(input.txtToLoc);
    if (!ReadFrequency(input)) {
        return ShowError();
    }
    if (FreqMHz == 0.0F) {
        return CalculateOutcome{};
    }
    const calc::LocatorCheck check = calc::CheckLocators(fromLoc, toLoc);
    if (check.StatusCode != 0) {
        StatusCode = check.StatusCode;
        return ShowError();
    }
    From = calc::DecodeLocator(std::string_view(check.FromLoc));
    To = calc::DecodeLocator(std::string_view(check.ToLoc));
    SpottedPathText(Screen.lblAZResult, check.FromLoc, check.ToLoc, FreqMHz, Format);
    if (!SpottedPath() || !CentreAndOnwardPoint() || !HomePath()) {
        return ShowError();
    }
    Screen.Title = Title;
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
        return Fail(calc::StatusCodeOf(calc::Status::NoWorkingFrequency));
    }
    // "." is a decimal point in every regional format, the regional separator as well.
    return TakeFrequency(calc::FrequencyValue(input.txtFreq, Format));
}

bool CalculateRun::TakeFrequency(double value) {
    const auto single = static_cast<float>(value);
    // A negative, infinite or out-of-range frequency has no meaning and would reach the texts
    // as nan or inf.
    if (!std::isfinite(value) || value < 0 || !std::isfinite(single)) {
        return Fail(calc::StatusCodeOf(calc::Status::NoWorkingFrequency));
    }
    FreqMHz = single;
    return true;
}

bool CalculateRun::SpottedPath() {
    const calc::PathResult path = calc::CalcPath(From, To, Format);
    EsPath.DistanceKm = path.DistanceKm;
    const auto shown = propagation::EsElevation(EsPath, {.SubtractKm = HomeHeightKm});
    const calc::FixedNumber elevation =
        calc::FormatFixedNumber(propagation::ElevationDeg(shown), ShownDecimals, Format);
    GeometryText(Screen.lblAzResult2, path.BearingText, elevation.Text, path.DistanceText);

    // The critical frequency sees the distance capped at one hop; the MUF the whole distance.
    const auto reflection = propagation::EsElevation(
        {propagation::CriticalFreqDistanceKm(path.DistanceKm), EsPath.EsLayerHeightKm},
        {.SubtractKm = propagation::SpotHeightKm});
    const double criticalFreq = propagation::CriticalFreq(reflection, static_cast<double>(FreqMHz));
    const double pathMuf = calc::RoundByFormat(propagation::MufExpression(criticalFreq, EsPath),
                                               Format.DefaultDecimals, Format);
    Figures.DistanceKm = path.DistanceKm;
    Figures.AzimuthDeg = path.AzimuthDeg;
    Figures.ElevationDeg = elevation.Value;
    Figures.CriticalFreqMHz = criticalFreq;
    Figures.PathMufMHz = pathMuf;
    return true;
}

bool CalculateRun::CentreAndOnwardPoint() {
    const auto centre = calc::PathCentre(From, To);
    if (!centre) {
        return Fail(calc::StatusCodeOf(calc::Status::AntipodalEnds));
    }
    Centre = *centre;
    Home = calc::CheckHomeLoc(Screen.txtHomeLoc);
    const std::string homeLoc = Screen.txtHomeLoc;
    Screen.txtHomeLoc = Home.CompletedLoc; // shown completed, even when rejected
    if (Home.StatusCode != 0) {
        return Fail(Home.StatusCode);
    }
    CentreText(Screen.lblMidPoint, Centre.Loc, Figures.CriticalFreqMHz, Figures.PathMufMHz, Format);

    const calc::OnwardPointResult onward = calc::OnwardPoint(Home.Home, Centre);
    TryTowardsText(Screen.lblMUFqth, homeLoc, onward.TowardsLoc);
    // The title is written once the run has completed: an error display leaves it alone.
    ResultTitle(Title, Figures.PathMufMHz, onward.TowardsLoc, Format);
    Figures.CentreLatDeg = Centre.LatDeg;
    Figures.CentreLonDeg = Centre.LonDeg;
    Figures.CentreLoc = Centre.Loc;
    Figures.TowardsLoc = onward.TowardsLoc;
    // The home path runs from home as the check completed it, where the onward point was found
    // from, to the centre of the onward point's subsquare.
    From = Home.Home;
    To = calc::DecodeLocator(std::string_view(onward.TowardsLoc));
    return true;
}

bool CalculateRun::HomePath() {
    const calc::PathResult path = calc::CalcPath(From, To, Format);
    EsPath.DistanceKm = path.DistanceKm;
    const auto fromHome = propagation::EsElevation(
        EsPath, {.SubtractKm = HomeHeightKm, .AddBackKm = propagation::DxHeightKm});
    const calc::FixedNumber elevation =
        calc::FormatFixedNumber(propagation::ElevationDeg(fromHome), ShownDecimals, Format);
    GeometryText(Screen.lblMUFqth2, path.BearingText, elevation.Text, path.DistanceText);

    const double homeCriticalFreq =
        propagation::CriticalFreq(fromHome, static_cast<double>(FreqMHz));
    const double homeMuf = propagation::MufExpression(homeCriticalFreq, EsPath);
    float trafficFreq = propagation::TrafficFreq(Figures.PathMufMHz, homeMuf, FreqMHz, Format);
    // Every distance and frequency the boxes allow gives finite angles and MUFs, but the frequency
    // of traffic can pass the float range: 3.4e38 MHz from KO44QW through IO90IR-JN77EX.
    if (!std::isfinite(trafficFreq)) {
        return Fail(calc::StatusCodeOf(calc::Status::NoWorkingFrequency));
    }
    trafficFreq = propagation::CapTrafficFreq(trafficFreq, Figures.PathMufMHz, Format);
    const auto advice = propagation::ChooseAdvice(path.DistanceKm, elevation.Value);
    TrafficText(Screen.lblFOT, advice, Figures.PathMufMHz, trafficFreq, Format);

    Figures.HomeDistanceKm = path.DistanceKm;
    Figures.HomeAzimuthDeg = path.AzimuthDeg;
    Figures.HomeElevationDeg = elevation.Value;
    Figures.TrafficFreqMHz = trafficFreq;
    return true;
}

CalculateOutcome CalculateRun::ShowError() const {
    CalculateOutcome outcome;
    outcome.HowEnded = Ending::ErrorShown;
    outcome.StatusShown = StatusCode;
    const auto entry = LookUpStatus(StatusCode);
    outcome.MessageShown = entry ? entry->Message : std::string();
    outcome.Focus = entry ? entry->Focus : Control::txtFromLoc;
    Screen.lblAZResult.clear();
    Screen.lblAzResult2.clear();
    Screen.lblMidPoint.clear();
    Screen.lblMUFqth2.clear();
    Screen.lblFOT.clear();
    ErrorText(Screen.lblMUFqth, outcome.MessageShown);
    return outcome;
}

} // namespace

CalculateOutcome CalculateCommand::Run(CalcState &state, const CalculateInput &input,
                                       ScreenTexts &screen) const {
    CalculateOutcome outcome = CalculateRun(state, screen, Format).Execute(input);
    // The record of the run: its status has been shown, so none is left pending.
    state.StatusCode = 0;
    return outcome;
}

} // namespace ionvane::command
