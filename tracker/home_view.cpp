#include "home_view.h"

#include "calc/locator.h"
#include "calc/path.h"
#include "calc/path_centre.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ionvane::tracker {

HomeView::HomeView(calc::NumberFormat format, const HomeSettings &home)
    : Format(std::move(format)), Check(calc::CheckHomeLoc(home.HomeLocator)),
      EsLayerHeightKm(static_cast<double>(home.EsLayerHeightKm)),
      HomeHeightKm(static_cast<double>(home.HomeHeightKm)) {}

std::optional<HomeReflection> HomeView::Through(double latDeg, double lonDeg) const {
    if (!Valid()) {
        return std::nullopt;
    }
    calc::MidPoint centre;
    centre.LatDeg = latDeg;
    centre.LonDeg = lonDeg;
    centre.LatRad = latDeg * calc::Pi / calc::HalfTurnDeg;
    centre.LonRad = lonDeg * calc::Pi / calc::HalfTurnDeg;
    calc::OnwardPointResult onward = calc::OnwardPoint(Check.Home, centre);
    // As the command does: the home path runs to the centre of the try-towards subsquare.
    const calc::PathResult path =
        calc::CalcPathFigures(Check.Home, calc::DecodeLocator(std::string_view(onward.TowardsLoc)));
    HomeReflection reflection{{}, {path.DistanceKm, EsLayerHeightKm}, {}};
    reflection.FromHome = propagation::HomeElevation(reflection.Path, HomeHeightKm);
    HomeFigures &figures = reflection.Figures;
    figures.TowardsLoc = std::move(onward.TowardsLoc);
    figures.AzimuthDeg = path.AzimuthDeg;
    figures.ElevationDeg = calc::ShownValue(propagation::ElevationDeg(reflection.FromHome));
    figures.DistanceKm = path.DistanceKm;
    return reflection;
}

float HomeView::HighestTrafficFreqMHz(const HomeReflection &reflection,
                                      const std::deque<RecentSpots::Spot> &spots) const {
    // The spot's own frequency cancels out of the frequency of traffic (the home MUF grows with
    // it), which grows with the spotted path's MUF alone: only the spots of the highest path MUF
    // can give the highest. A feed opening holds thousands of spots a cloud, each worked out
    // again at every report; those within a millionth of the highest MUF are all worked out, far
    // wider than the few units in the last place that the arithmetic and the rounding to the
    // shown decimals can move a result by.
    constexpr double CandidateShare = 1 - 1e-6;
    double highestMufMHz = -std::numeric_limits<double>::infinity();
    for (const RecentSpots::Spot &spot : spots) {
        highestMufMHz = std::max(highestMufMHz, spot.PathMufMHz);
    }
    float best = -1;
    for (const RecentSpots::Spot &spot : spots) {
        if (spot.PathMufMHz < highestMufMHz * CandidateShare) {
            continue;
        }
        const float traffic = TrafficFreqMHz(reflection, spot.PathMufMHz, spot.FreqMHz);
        if (std::isfinite(traffic) && traffic > best) {
            best = traffic;
        }
    }
    return best;
}

float HomeView::TrafficFreqMHz(const HomeReflection &reflection, double pathMufMHz,
                               double freqMHz) const {
    return propagation::HomeTrafficFreq(reflection.FromHome, reflection.Path, pathMufMHz,
                                        static_cast<float>(freqMHz), Format);
}

} // namespace ionvane::tracker
