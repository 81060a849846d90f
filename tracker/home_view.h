// A cloud seen from the home station: the Calculate command's second pass with the cloud's
// position as the reflection point, and the frequency of traffic through it for each of its spots.
#pragma once

#include "calc/home_location.h"
#include "propagation/es_layer.h"
#include "recent_spots.h"
#include "spot_calculation.h"

#include <optional>
#include <string>

namespace ionvane::tracker {

/// The home path through one reflection point, before any spot's frequency is known.
struct HomeReflection {
    HomeFigures Figures; ///< all but the frequency of traffic
    propagation::EsPath Path;
    propagation::EsAngles FromHome;
};

class HomeView {
  public:
    HomeView(calc::NumberFormat format, const HomeSettings &home);

    /// The home path through a reflection point at (latDeg, lonDeg): the try-towards point at
    /// twice the home-to-point distance, then distance, azimuth and elevation from home to it, as
    /// the second pass of Calculate gives them. None for a home locator the calculation refuses.
    [[nodiscard]] std::optional<HomeReflection> Through(double latDeg, double lonDeg) const;

    /// The frequency of traffic over `reflection` from a spot on `freqMHz` whose path has the MUF
    /// `pathMufMHz`; not finite beyond the float range.
    [[nodiscard]] float TrafficFreqMHz(const HomeReflection &reflection, double pathMufMHz,
                                       double freqMHz) const;

    /// The highest frequency of traffic over `reflection` that any of `spots` gives, as
    /// TrafficFreqMHz gives it for each; negative when none gives a finite one.
    [[nodiscard]] float HighestTrafficFreqMHz(const HomeReflection &reflection,
                                              const std::deque<RecentSpots::Spot> &spots) const;

    /// The home locator completed to six characters ("IO90IR").
    [[nodiscard]] const std::string &HomeLocator() const { return Check.CompletedLoc; }
    /// Whether the home locator was accepted; the position below is valid only then.
    [[nodiscard]] bool Valid() const { return Check.StatusCode == 0; }
    [[nodiscard]] const calc::Position &Home() const { return Check.Home; }

  private:
    calc::NumberFormat Format;
    calc::HomeCheck Check;
    double EsLayerHeightKm;
    double HomeHeightKm;
};

} // namespace ionvane::tracker
