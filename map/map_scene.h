// What the map shows besides the world: spot paths, Es clouds and the line of the selected band,
// as plain values the live parts fill in.
#pragma once

#include "projection.h"

#include <optional>
#include <string>
#include <vector>

namespace ionvane::map {

/// Colour classes of clouds and paths by frequency: below 50 MHz (10 m), 50 to 70 (6 m), 70 to
/// 144 (4 m), 144 and up (2 m). Each lower edge belongs to its class: 50.0 is 6 m, 144.0 is 2 m.
enum class FreqClass { Below50MHz, From50MHz, From70MHz, From144MHz };

/// The class of `freqMHz`; NaN counts as below 50 MHz.
FreqClass ClassOfFreq(double freqMHz);

/// One spot's path, drawn as a great circle between its two stations.
struct SpotPath {
    GeoPoint From;
    GeoPoint To;
    double FreqMHz = 0.0;
};

/// The movement of a cloud: speed over the ground and the bearing it moves towards.
struct CloudDrift {
    double SpeedKmh = 0.0;
    double TowardsDeg = 0.0;
};

/// One Es cloud: where it is, the highest frequency heard through it, how it moves.
struct CloudPatch {
    int Id = 0;
    GeoPoint Centre;
    double HighestFreqMHz = 0.0;
    std::optional<CloudDrift> Drift;
    bool Fading = false; ///< no spot for a while: drawn paler
};

/// For the band chosen in the band panel: home, through the cloud, on to the try-towards point.
struct SelectedBandLine {
    GeoPoint Cloud;
    GeoPoint TryTowards;
    std::string Label; ///< written beside the try-towards point, for instance "2 m JO62QM 58°"
};

struct MapScene {
    std::vector<SpotPath> Paths;
    std::vector<CloudPatch> Clouds;
    std::optional<SelectedBandLine> Selected;
    std::optional<int> HighlightedCloudId; ///< the cloud selected in the cloud table
};

} // namespace ionvane::map
