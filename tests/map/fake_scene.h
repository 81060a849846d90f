// A made-up Es opening seen from IO90IR, for the map's pictures and its benchmark: clouds over
// Europe in every frequency class, some drifting, and spot paths through them.
#pragma once

#include "map/map_scene.h"

#include <cmath>
#include <random>

namespace ionvane::map::testing {

/// IO90IR, the centre of its subsquare.
constexpr GeoPoint HomeIO90IR{50.729166666666667, -1.2916666666666667};

/// `clouds` clouds and `paths` paths, the same for the same counts. The first cloud is a 2 m
/// cloud over the Alps, selected, with its line to the try-towards point.
inline MapScene FakeOpening(int clouds, int paths) {
    std::mt19937 random(14);
    std::uniform_real_distribution<double> lat(38.0, 56.0);
    std::uniform_real_distribution<double> lon(-8.0, 28.0);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double freqs[] = {28.5, 50.1, 50.3, 70.2, 144.3};
    MapScene scene;
    scene.Clouds.push_back({1, {46.5, 10.5}, 144.3, CloudDrift{90, 60}, false});
    for (int i = 1; i < clouds; ++i) {
        CloudPatch cloud{i + 1, {lat(random), lon(random)}, freqs[i % 5], std::nullopt, i % 7 == 0};
        if (i % 3 == 0) {
            cloud.Drift = CloudDrift{40 + 200 * unit(random), 360 * unit(random)};
        }
        scene.Clouds.push_back(cloud);
    }
    for (int i = 0; i < paths; ++i) {
        const CloudPatch &cloud = scene.Clouds[static_cast<std::size_t>(i) % scene.Clouds.size()];
        // Ends about 700 to 1,000 km either side of the cloud, along a random bearing.
        const double bearing = 360 * unit(random);
        const double halfKm = 700 + 300 * unit(random);
        scene.Paths.push_back({Destination(cloud.Centre, bearing, halfKm),
                               Destination(cloud.Centre, bearing + 180, halfKm),
                               cloud.HighestFreqMHz, cloud.Id, i, 1.0});
    }
    scene.Selected = SelectedBandLine{{46.5, 10.5}, {42.1, 22.9}, "2 m: try KN12, 112\xc2\xb0"};
    scene.HighlightedCloudId = 1;
    return scene;
}

} // namespace ionvane::map::testing
