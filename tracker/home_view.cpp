#include "home_view.h"

#include "calc/locator.h"
#include "calc/path.h"
#include "calc/path_centre.h"

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

float HomeView::TrafficFreqMHz(const HomeReflection &reflection, double pathMufMHz,
                               double freqMHz) const {
    return propagation::HomeTrafficFreq(reflection.FromHome, reflection.Path, pathMufMHz,
                                        static_cast<float>(freqMHz), Format);
}

} // namespace ionvane::tracker
