// The Calculate command: one press of the Calculate button, from the four box texts to every text
// the window shows afterwards. Free of any window toolkit; the window and the command line share
// it.
#pragma once

#include "calc/calc_state.h"
#include "calc/number_text.h"
#include "screen.h"

#include <optional>
#include <string>
#include <string_view>

namespace ionvane::command {

/// The texts of the three input boxes when Calculate is pressed (the home box is part of the
/// screen texts, since the command writes it back completed).
struct CalculateInput {
    std::string txtFromLoc;
    std::string txtToLoc;
    std::string txtFreq;
    /// A frequency known as a number (a spot's), used instead of the text of txtFreq, which then
    /// only says how the box would show it.
    std::optional<double> FreqMHz = std::nullopt;
};

/// The figures of a completed run, for reports beside the texts.
struct CalculateFigures {
    double DistanceKm = 0;
    double AzimuthDeg = 0;
    double ElevationDeg = 0;
    double CriticalFreqMHz = 0;
    double PathMufMHz = 0;
    double CentreLatDeg = 0; ///< the path centre, where the cloud is taken to be
    double CentreLonDeg = 0;
    std::string CentreLoc;
    std::string TowardsLoc;
    std::string HomeLoc; ///< the home locator as the run completed it ("IO90IR")
    double HomeDistanceKm = 0;
    double HomeAzimuthDeg = 0;
    double HomeElevationDeg = 0;
    float TrafficFreqMHz = 0;
};

/// How a run ended and what it left for the window to do.
struct CalculateOutcome {
    enum class Ending { SilentStop, ErrorShown, Completed };
    Ending HowEnded = Ending::SilentStop;
    std::int16_t StatusShown = 0;            ///< the status the error line reports, 0 if none
    std::string MessageShown;                ///< its message, "" if none
    std::optional<Control> Focus;            ///< where the focus goes; none after the silent stop
    std::optional<CalculateFigures> Figures; ///< only after a completed run
};

class CalculateCommand {
  public:
    explicit CalculateCommand(calc::NumberFormat format) : Format(std::move(format)) {}

    /// Runs one press of Calculate on `state` (whose settings members hold the current settings)
    /// and updates `screen` exactly as the window must show it afterwards.
    CalculateOutcome Run(calc::CalcState &state, const CalculateInput &input,
                         ScreenTexts &screen) const;

    /// The same run without a screen: the outcome and the figures, exactly as Run gives them, but
    /// none of the texts (no result line, title or completed box), for callers that never show
    /// them. `homeLoc` is the home box's text. The error message is still given.
    CalculateOutcome RunWithoutTexts(calc::CalcState &state, const CalculateInput &input,
                                     std::string_view homeLoc) const;

  private:
    calc::NumberFormat Format;
};

} // namespace ionvane::command
