// The map widget's kept projections: the world in pixels for one scale, and the scene (paths,
// clouds, the selected band's line) in km and in pixels. Internal to the map.
#pragma once

#include "map_drawing.h"
#include "map_view.h"

#include <optional>
#include <vector>

namespace ionvane::map {

// The same in pixels for one scale, with bounds for skipping what is off screen. A ring or line
// gets its pixels when a view at this scale first shows it: zoomed in to a continent, most of
// the world is never drawn, and a zoom step would otherwise rescale all of it.
struct ScreenWorld {
    double PixelsPerKm = 0;
    double DevicePixelRatio = 0;
    std::vector<std::optional<Line>> LandRings, Coasts, Borders, Grid;
};

// The scene's paths and clouds projected around home (km), filled once per scene and home.
struct PlaneScene {
    struct Path {
        std::vector<std::vector<PlanePoint>> Pieces;
        FreqClass Class;
        int Shade; ///< see PathShade
        GeoPoint From;
        GeoPoint To;
    };
    std::vector<Path> Paths;
    struct Cloud {
        PlanePoint Centre;
        std::optional<PlanePoint> DriftTo;
        FreqClass Class;
        bool Fading;
        bool Highlighted;
        std::size_t PathsNotDrawn;
        int Id; ///< the number the cloud table and the band panel give it
        std::optional<PlanePoint> In15Min = std::nullopt; ///< the nowcast, see CloudPatch
    };
    std::vector<Cloud> Clouds;
    struct Hop {
        PlanePoint Near;
        PlanePoint Far;
        std::vector<std::vector<PlanePoint>> Pieces; ///< the great circle between them
        FreqClass Class;
    };
    std::vector<Hop> Hops;
    std::vector<std::vector<PlanePoint>> SelectedLine;
    std::optional<PlanePoint> TryTowards;
};

struct ScreenScene {
    double PixelsPerKm = 0;
    double DevicePixelRatio = 0;
    struct Path {
        Line Points;
        FreqClass Class;
        int Shade;
    };
    std::vector<Path> Paths;
    struct HopLine {
        Line Points;
        FreqClass Class;
    };
    std::vector<HopLine> HopLines;
    std::vector<Line> SelectedLine;
};

} // namespace ionvane::map
