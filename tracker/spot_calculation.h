// The one place where the tracker runs the Calculate command: a spot's path with the user's home
// settings, turned into the figures the tracker needs (path centre, critical frequency, and the
// try-towards figures from home that a band verdict names).
#pragma once

#include "command/calculate_command.h"

#include <string>
#include <string_view>

namespace ionvane::tracker {

/// The Calculate command and what it reports, under the names the tracker uses.
using CalculateCommand = command::CalculateCommand;
using CalculateOutcome = command::CalculateOutcome;
using CalculateScreen = command::ScreenTexts;

/// The user's station.
struct HomeSettings {
    std::string HomeLocator; ///< as typed; the calculation completes it
    float EsLayerHeightKm = 110.0F;
    float HomeHeightKm = 0.15F;
};

/// What the home station does with a cloud seen through one spot: the Calculate command's second
/// pass.
struct HomeFigures {
    std::string TowardsLoc;
    double AzimuthDeg = 0;   ///< as shown, two decimals
    double ElevationDeg = 0; ///< as shown, two decimals
    double DistanceKm = 0;   ///< as shown, two decimals
    float TrafficFreqMHz = 0;
    friend bool operator==(const HomeFigures &, const HomeFigures &) = default;
};

/// The figures of one spot's calculation.
struct SpotFigures {
    bool Completed = false; ///< false: the command stopped at an error, nothing below is set
    double DistanceKm = 0;
    double CentreLatDeg = 0;
    double CentreLonDeg = 0;
    double CriticalFreqMHz = 0; ///< the model's equivalent critical frequency at the centre
    double PathMufMHz = 0;      ///< the spotted path's MUF, as the run rounded it
    HomeFigures Home;
    std::string HomeLocator; ///< the home locator as the run completed it ("IO90IR")
};

/// A full run of the command, for reports that show it.
struct SpotRun {
    CalculateOutcome Outcome;
    CalculateScreen Screen; ///< as a new screen when the calculator makes no texts
    SpotFigures Figures;
};

/// Whether a calculator makes the screen texts of its runs. The figures are the same either way;
/// the texts cost more than the arithmetic, so a caller that writes no result leaves them out.
enum class SpotTexts { Made, Left };

class SpotCalculator {
  public:
    SpotCalculator(calc::NumberFormat format, HomeSettings home, SpotTexts texts = SpotTexts::Made);

    /// Runs Calculate on a spot's From and To locators and its frequency, as a number in MHz and
    /// as the exact decimal text the box would show. The number is what counts, so the user's
    /// regional number format never changes a spot's frequency (50.313 stays 50.313 in Polish).
    [[nodiscard]] SpotRun Run(std::string_view fromLoc, std::string_view toLoc,
                              std::string_view freqMHzText, double freqMHz) const;

    [[nodiscard]] const HomeSettings &Home() const { return HomeStation; }
    [[nodiscard]] const calc::NumberFormat &Format() const { return Numbers; }

  private:
    calc::NumberFormat Numbers;
    CalculateCommand Command;
    HomeSettings HomeStation;
    SpotTexts Texts;
};

} // namespace ionvane::tracker
