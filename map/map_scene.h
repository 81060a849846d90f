// What the map shows besides the world: spot paths, Es clouds and the line of the selected band,
// as plain values the live parts fill in.
#pragma once

#include "projection.h"

#include <cstddef>
#include <cstdint>
#include <map>
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
    std::optional<int> CloudId; ///< the cloud the spot counted for, if any
    std::int64_t TimeS = 0;     ///< the spot's time (s since 1970): the newest are drawn
    /// How strongly it is drawn, from 1 (the newest) down to FadedPathWeight: set by ChoosePaths.
    double Weight = 1.0;
};

/// Paths drawn for each cloud, and for the paths through no cloud: the newest ones. At the
/// feed's rate a cloud gathers thousands of paths in the 15 minutes the map shows, a solid star
/// in which neither the cloud nor home's line can be read; 50 still show how far it reaches.
constexpr std::size_t NewestPathsPerCloud = 50;
/// The weight of the oldest path drawn: older paths fade out towards it.
constexpr double FadedPathWeight = 0.25;

/// What the map draws of a scene's paths.
struct PathChoice {
    /// The paths drawn, oldest first (painted first, so the newest lie on top), each weighted.
    std::vector<SpotPath> Drawn;
    /// For each cloud, its paths that are not drawn.
    std::map<int, std::size_t> NotDrawn;
    /// Paths through no cloud that are not drawn.
    std::size_t NotDrawnElsewhere = 0;
};

/// Chooses from `paths` the newest `newest` of each cloud and of the paths through no cloud, and
/// every path of `selectedCloud`. Within a cloud the newest weighs 1 and each older one less, down
/// to FadedPathWeight for the `newest`-th and every older path of the selected cloud. Equal times
/// keep their order in `paths`, the later counting as newer.
PathChoice ChoosePaths(std::vector<SpotPath> paths, std::optional<int> selectedCloud,
                       std::size_t newest = NewestPathsPerCloud);

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
    /// Where its drift puts it in 15 minutes, if it drifts: drawn as a faint arrow head.
    std::optional<GeoPoint> In15Min = std::nullopt;
};

/// For the band chosen in the band panel: home, through the cloud, on to the try-towards point.
struct SelectedBandLine {
    GeoPoint Cloud;
    GeoPoint TryTowards;
    std::string Label; ///< written beside the try-towards point, for instance "2 m JO62QM 58°"
};

/// Double-hop evidence: the two reflection points of a path over two Es hops, drawn as small
/// marks joined by a thin line along the great circle between them.
struct HopPoints {
    GeoPoint Near; ///< the reflection point nearer home
    GeoPoint Far;
    double FreqMHz = 0.0; ///< gives the colour class, as a path's frequency does
};

/// One square of the Es MUF layer: its bounds, degrees, and the highest path MUF reflected in it.
struct MufSquareShown {
    double SouthDeg = 0;
    double WestDeg = 0;
    double NorthDeg = 0;
    double EastDeg = 0;
    double MufMHz = 0;
};

/// The Es MUF layer as it stands at `TimeS` over the last `WindowMinutes`.
struct MufLayerScene {
    std::int64_t TimeS = 0; ///< s since 1970, UTC
    int WindowMinutes = 15;
    std::vector<MufSquareShown> Squares;
};

struct MapScene {
    std::optional<MufLayerScene> Muf; ///< none: the layer is switched off
    std::vector<SpotPath> Paths;
    std::vector<CloudPatch> Clouds;
    std::vector<HopPoints> DoubleHops;
    std::optional<SelectedBandLine> Selected;
    std::optional<int> HighlightedCloudId; ///< the cloud selected in the cloud table
};

} // namespace ionvane::map
