#include "map_scene.h"

#include "spot/band.h"

#include <algorithm>

namespace ionvane::map {

FreqClass ClassOfFreq(double freqMHz) {
    // Each class starts at the lower edge of its band, so 4 m's class holds all above 4 m.
    if (freqMHz >= spot::EdgesOf(spot::Band::M2).LowMHz) {
        return FreqClass::From144MHz;
    }
    if (freqMHz >= spot::EdgesOf(spot::Band::M4).LowMHz) {
        return FreqClass::From70MHz;
    }
    if (freqMHz >= spot::EdgesOf(spot::Band::M6).LowMHz) {
        return FreqClass::From50MHz;
    }
    return FreqClass::Below50MHz;
}

PathChoice ChoosePaths(std::vector<SpotPath> paths, std::optional<int> selectedCloud,
                       std::size_t newest) {
    // Newest first, so that each group's rank is its place among its own paths.
    std::reverse(paths.begin(), paths.end());
    std::stable_sort(paths.begin(), paths.end(),
                     [](const SpotPath &a, const SpotPath &b) { return a.TimeS > b.TimeS; });
    PathChoice choice;
    std::map<std::optional<int>, std::size_t> ranks;
    for (SpotPath &path : paths) {
        const std::size_t rank = ranks[path.CloudId]++;
        const bool selected = selectedCloud && path.CloudId == selectedCloud;
        if (rank >= newest && !selected) {
            if (path.CloudId) {
                ++choice.NotDrawn[*path.CloudId];
            } else {
                ++choice.NotDrawnElsewhere;
            }
            continue;
        }
        const double age = newest > 1 ? static_cast<double>(std::min(rank, newest - 1)) /
                                            static_cast<double>(newest - 1)
                                      : 0.0;
        path.Weight = 1.0 - (1.0 - FadedPathWeight) * age;
        choice.Drawn.push_back(path);
    }
    std::reverse(choice.Drawn.begin(), choice.Drawn.end());
    return choice;
}

} // namespace ionvane::map
