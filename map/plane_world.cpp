#include "plane_world.h"

#include "map_drawing.h"

namespace ionvane::map {

std::unique_ptr<PlaneWorld> ProjectWorld(const AzimuthalEquidistant &projection,
                                         const std::shared_ptr<const WorldOutlines> &outlines) {
    const GeoPoint home = projection.Home();
    auto world = std::make_unique<PlaneWorld>();
    world->Home = home;
    world->Outlines = outlines.get();
    if (outlines) {
        const GeoPoint antipode = Antipode(home);
        for (const GeoLine &ring : outlines->Land) {
            PlaneWorld::Ring projected;
            projected.Points.reserve(ring.size());
            for (const GeoPoint &p : ring) {
                projected.Points.push_back(projection.Forward(p));
            }
            projected.HoldsAntipode = RingContains(ring, antipode);
            world->LandRings.push_back(std::move(projected));
            for (auto &piece : ProjectLine(projection, ring, IsOutlineCut)) {
                world->Coasts.push_back(std::move(piece));
            }
        }
        for (const GeoLine &border : outlines->Borders) {
            for (auto &piece : ProjectLine(projection, border)) {
                world->Borders.push_back(std::move(piece));
            }
        }
    }
    // Field edges: meridians every 20 degrees pole to pole, parallels every 10 degrees.
    for (int i = 0; i < FieldCount; ++i) {
        GeoLine meridian;
        for (double lat = -90.0; lat <= 90.0; lat += GridStepDeg) {
            meridian.push_back({lat, -180.0 + i * FieldLonDeg});
        }
        GeoLine parallel;
        for (double lon = -180.0; lon <= 180.0; lon += GridStepDeg) {
            parallel.push_back({-90.0 + (i + 1) * FieldLatDeg, lon});
        }
        for (const GeoLine *line : {&meridian, &parallel}) {
            if (line == &parallel && i + 1 == FieldCount) {
                continue; // the North Pole is no line
            }
            for (auto &piece : ProjectLine(projection, *line)) {
                world->Grid.push_back(std::move(piece));
            }
        }
        for (int j = 0; j < FieldCount; ++j) {
            const GeoPoint middle{-90.0 + (j + 0.5) * FieldLatDeg,
                                  -180.0 + (i + 0.5) * FieldLonDeg};
            world->FieldLabels.push_back({projection.Forward(middle), FieldName(i, j)});
        }
    }
    for (const auto &ring : world->LandRings) {
        world->LandBounds.push_back(PlaneBounds(ring.Points));
    }
    for (const auto &[lines, bounds] : {std::pair{&world->Coasts, &world->CoastBounds},
                                        std::pair{&world->Borders, &world->BorderBounds},
                                        std::pair{&world->Grid, &world->GridBounds}}) {
        for (const auto &line : *lines) {
            bounds->push_back(PlaneBounds(line));
        }
    }
    return world;
}

} // namespace ionvane::map
