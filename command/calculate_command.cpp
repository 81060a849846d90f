#include "calculate_command.h"

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
// run has to stop at the error display. Without a screen the run makes no text at all: the
// figures are the same, since every figure comes from its value, never from its text.
class CalculateRun {
  public:
    CalculateRun(const CalcState &settings, ScreenTexts *screen, std::string_view homeLoc,
                 const calc::NumberFormat &format)
        : EsPath{0.0, static_cast<double>(settings.EsLayerHeightKm)},
          HomeHeightKm(static_cast<double>(settings.HomeHeightKm)), Screen(screen),
          HomeLoc(homeLoc), Format(format) {}

    CalculateOutcome Execute(const CalculateInput &input);

  private:
    // The steps, writing the figures of a completed run into `Figures`.
    bool ReadFrequency(const CalculateInput &input);
    bool TakeFrequency(double valueMHz);
    bool SpottedPath();
    bool CentreAndOnwardPoint();
    bool HomePath();
    void ShowError(CalculateOutcome &outcome) const;

    // The path with its two texts when they are shown, else its figures alone.
    calc::PathResult PathOf(const calc::Position &from, const calc::Position &to) const {
        return Screen != nullptr ? calc::CalcPath(from, to, Format)
                                 : calc::CalcPathFigures(from, to);
    }
    // The elevation as shown, with two decimals; with a screen, the geometry line of `path` and
    // that elevation is written to `line`.
    double ShownFigure(double elevationDeg, const calc::PathResult &path,
                       std::string ScreenTexts::*line) const;

    bool Fail(std::int16_t statusCode) {
        StatusCode = statusCode;
        return false;
    }

    propagation::EsPath EsPath; // the layer height, with the distance of the path at hand
    double HomeHeightKm;
    ScreenTexts *Screen;      // none for a run without texts
    std::string_view HomeLoc; // the home box as typed
    const calc::NumberFormat &Format;

    std::int16_t StatusCode = 0;
    float FreqMHz = 0.0F;
    calc::Position From;
    calc::Position To;
    std::string PathMufText;             // made once, quoted by three texts
    CalculateFigures *Figures = nullptr; // the outcome's, while the run fills them
};

CalculateOutcome CalculateRun::Execute(const CalculateInput &input) {
    // The outcome is built where it is returned: the figures are written into it as the steps find
    // them, and none of its texts is copied or moved on the way.
    CalculateOutcome outcome;
    if (!ReadFrequency(input)) {
        ShowError(outcome);
        return outcome;
    }
    if (FreqMHz == 0.0F) {
        return outcome;
    }
    const calc::LocatorPair locators = calc::ReadLocatorPair(input.txtFromLoc, input.txtToLoc);
    if (locators.StatusCode != 0) {
        StatusCode = locators.StatusCode;
        ShowError(outcome);
        return outcome;
    }
    From =
        calc::DecodeLocator(std::u32string_view(locators.From.Chars.data(), locators.From.Count));
    To = calc::DecodeLocator(std::u32string_view(locators.To.Chars.data(), locators.To.Count));
    if (Screen != nullptr) {
        SpottedPathText(Screen->lblAZResult, locators.From.Text(), locators.To.Text(), FreqMHz,
                        Format);
    }
    Figures = &outcome.Figures.emplace();
    if (!SpottedPath() || !CentreAndOnwardPoint() || !HomePath()) {
        ShowError(outcome);
        return outcome;
    }
    if (Screen != nullptr) {
        // The title is written once the run has completed: an error display leaves it alone.
        ResultTitle(Screen->Title, PathMufText, Figures->TowardsLoc);
    }
    outcome.HowEnded = Ending::Completed;
    outcome.Focus = Control::txtFromLoc;
    return outcome;
}

double CalculateRun::ShownFigure(double elevationDeg, const calc::PathResult &path,
                                 std::string ScreenTexts::*line) const {
    if (Screen == nullptr) {
        return calc::ShownValue(elevationDeg);
    }
    const calc::FixedNumber elevation =
        calc::FormatFixedNumber(elevationDeg, ShownDecimals, Format);
    GeometryText(Screen->*line, path.BearingText, elevation.Text, path.DistanceText);
    return elevation.Value;
}

bool CalculateRun::ReadFrequency(const CalculateInput &input) {
    if (input.FreqMHz) {
        return TakeFrequency(*input.FreqMHz);
    }
    // "." is a decimal point in every regional format, the regional separator as well.
    if (!calc::IsFrequencyNumeric(input.txtFreq, Format)) {
        return Fail(calc::StatusCodeOf(calc::Status::NoWorkingFrequency));
    }
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
    const calc::PathResult path = PathOf(From, To);
    EsPath.DistanceKm = path.DistanceKm;
    const auto shown = propagation::EsElevation(EsPath, {.SubtractKm = HomeHeightKm});
    const double elevationDeg =
        ShownFigure(propagation::ElevationDeg(shown), path, &ScreenTexts::lblAzResult2);

    // The critical frequency sees the distance capped at one hop; the MUF the whole distance.
    const auto reflection = propagation::EsElevation(
        {propagation::CriticalFreqDistanceKm(path.DistanceKm), EsPath.EsLayerHeightKm},
        {.SubtractKm = propagation::SpotHeightKm});
    const double criticalFreq = propagation::CriticalFreq(reflection, static_cast<double>(FreqMHz));
    const double pathMuf = calc::RoundByFormat(propagation::MufExpression(criticalFreq, EsPath),
                                               Format.DefaultDecimals, Format);
    Figures->DistanceKm = path.DistanceKm;
    Figures->AzimuthDeg = path.AzimuthDeg;
    Figures->ElevationDeg = elevationDeg;
    Figures->CriticalFreqMHz = criticalFreq;
    Figures->PathMufMHz = pathMuf;
    return true;
}

bool CalculateRun::CentreAndOnwardPoint() {
    auto centre = calc::PathCentre(From, To);
    if (!centre) {
        return Fail(calc::StatusCodeOf(calc::Status::AntipodalEnds));
    }
    calc::HomeCheck home = calc::CheckHomeLoc(HomeLoc);
    if (home.StatusCode != 0) {
        if (Screen != nullptr) {
            Screen->txtHomeLoc = home.CompletedLoc; // shown completed, even when rejected
        }
        return Fail(home.StatusCode);
    }
    calc::OnwardPointResult onward = calc::OnwardPoint(home.Home, *centre);
    if (Screen != nullptr) {
        MufText(PathMufText, Figures->PathMufMHz, Format);
        CentreText(Screen->lblMidPoint, centre->Loc, Figures->CriticalFreqMHz, PathMufText, Format);
        // The try-towards line quotes the home locator as typed: written before the box (which
        // HomeLoc reads) shows it completed.
        TryTowardsText(Screen->lblMUFqth, HomeLoc, onward.TowardsLoc);
        Screen->txtHomeLoc = home.CompletedLoc;
    }
    // The home path runs from home as the check completed it, where the onward point was found
    // from, to the centre of the onward point's subsquare.
    From = home.Home;
    To = calc::DecodeLocator(std::string_view(onward.TowardsLoc));
    Figures->HomeLoc = std::move(home.CompletedLoc);
    Figures->CentreLatDeg = centre->LatDeg;
    Figures->CentreLonDeg = centre->LonDeg;
    Figures->CentreLoc = std::move(centre->Loc);
    Figures->TowardsLoc = std::move(onward.TowardsLoc);
    return true;
}

bool CalculateRun::HomePath() {
    const calc::PathResult path = PathOf(From, To);
    EsPath.DistanceKm = path.DistanceKm;
    const auto fromHome = propagation::EsElevation(
        EsPath, {.SubtractKm = HomeHeightKm, .AddBackKm = propagation::DxHeightKm});
    const double elevationDeg =
        ShownFigure(propagation::ElevationDeg(fromHome), path, &ScreenTexts::lblMUFqth2);

    const double homeCriticalFreq =
        propagation::CriticalFreq(fromHome, static_cast<double>(FreqMHz));
    const double homeMuf = propagation::MufExpression(homeCriticalFreq, EsPath);
    float trafficFreq = propagation::TrafficFreq(Figures->PathMufMHz, homeMuf, FreqMHz, Format);
    // Every distance and frequency the boxes allow gives finite angles and MUFs, but the frequency
    // of traffic can pass the float range: 3.4e38 MHz from KO44QW through IO90IR-JN77EX.
    if (!std::isfinite(trafficFreq)) {
        return Fail(calc::StatusCodeOf(calc::Status::NoWorkingFrequency));
    }
    trafficFreq = propagation::CapTrafficFreq(trafficFreq, Figures->PathMufMHz, Format);
    if (Screen != nullptr) {
        const auto advice = propagation::ChooseAdvice(path.DistanceKm, elevationDeg);
        TrafficText(Screen->lblFOT, advice, PathMufText, trafficFreq, Format);
    }

    Figures->HomeDistanceKm = path.DistanceKm;
    Figures->HomeAzimuthDeg = path.AzimuthDeg;
    Figures->HomeElevationDeg = elevationDeg;
    Figures->TrafficFreqMHz = trafficFreq;
    return true;
}

void CalculateRun::ShowError(CalculateOutcome &outcome) const {
    outcome.Figures.reset();
    outcome.HowEnded = Ending::ErrorShown;
    outcome.StatusShown = StatusCode;
    const auto entry = LookUpStatus(StatusCode);
    outcome.MessageShown = entry ? entry->Message : std::string();
    outcome.Focus = entry ? entry->Focus : Control::txtFromLoc;
    if (Screen != nullptr) {
        Screen->lblAZResult.clear();
        Screen->lblAzResult2.clear();
        Screen->lblMidPoint.clear();
        Screen->lblMUFqth2.clear();
        Screen->lblFOT.clear();
        ErrorText(Screen->lblMUFqth, outcome.MessageShown);
    }
}

} // namespace

CalculateOutcome CalculateCommand::Run(CalcState &state, const CalculateInput &input,
                                       ScreenTexts &screen) const {
    CalculateOutcome outcome =
        CalculateRun(state, &screen, screen.txtHomeLoc, Format).Execute(input);
    // The record of the run: its status has been shown, so none is left pending.
    state.StatusCode = 0;
    return outcome;
}

CalculateOutcome CalculateCommand::RunWithoutTexts(CalcState &state, const CalculateInput &input,
                                                   std::string_view homeLoc) const {
    CalculateOutcome outcome = CalculateRun(state, nullptr, homeLoc, Format).Execute(input);
    state.StatusCode = 0;
    return outcome;
}

} // namespace ionvane::command
