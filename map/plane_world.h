// The world outlines, the field grid and the field labels projected around one home, in km: the
// part of the map that changes only with the home. Made in a worker when the home changes under
// a map on screen. Internal to the map.
#pragma once

#include "projection.h"
#include "world_outlines.h"

#include <QRectF>
#include <QString>

#include <memory>
#include <vector>

namespace ionvane::map {

// The outlines, grid and field labels projected around one home (km), filled once per home.
struct PlaneWorld {
    GeoPoint Home;
    const WorldOutlines *Outlines = nullptr;
    struct Ring {
        std::vector<PlanePoint> Points;
        bool HoldsAntipode = false;
    };
    std::vector<Ring> LandRings;
    std::vector<std::vector<PlanePoint>> Coasts, Borders, Grid;
    // The bounds of each ring and line (km, y down as on screen), to tell at any scale which
    // of them a view shows before making their pixels.
    std::vector<QRectF> LandBounds, CoastBounds, BorderBounds, GridBounds;
    struct Label {
        PlanePoint At;
        QString Text;
    };
    std::vector<Label> FieldLabels;
};

/// The world around the home of `projection`: `outlines` (may be null: the grid alone) projected,
/// cut where the map tears, with the bounds of every line. Touches nothing but its arguments, so
/// it may run in any thread.
std::unique_ptr<PlaneWorld> ProjectWorld(const AzimuthalEquidistant &projection,
                                         const std::shared_ptr<const WorldOutlines> &outlines);

} // namespace ionvane::map
