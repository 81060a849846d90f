// Which paths the map draws at a feed's rate: the newest few of each cloud, fading with age, all of
// the selected cloud, and the rest counted.
#include "map/map_scene.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace ionvane::map;

namespace {

SpotPath At(std::optional<int> cloud, std::int64_t timeS) {
    return {{50, 0}, {45, 10}, 50.3, cloud, timeS, 1.0};
}

TEST(PathChoice, NewestOfEachCloudDrawnRestCounted) {
    // Cloud 1: five paths, out of time order as the feed delivers them; cloud 2: two; and three
    // through no cloud. Three a group are drawn.
    std::vector<SpotPath> paths = {
        At(1, 10),           At(1, 50), At(2, 5), At(std::nullopt, 1), At(1, 30), At(1, 20),
        At(std::nullopt, 3), At(1, 40), At(2, 6), At(std::nullopt, 2)};
    const PathChoice choice = ChoosePaths(paths, std::nullopt, 3);
    std::vector<std::pair<std::optional<int>, std::int64_t>> drawn;
    for (const SpotPath &path : choice.Drawn) {
        drawn.emplace_back(path.CloudId, path.TimeS);
    }
    // Oldest first, so that the newest are painted on top.
    const std::vector<std::pair<std::optional<int>, std::int64_t>> expected = {{std::nullopt, 1},
                                                                               {std::nullopt, 2},
                                                                               {std::nullopt, 3},
                                                                               {2, 5},
                                                                               {2, 6},
                                                                               {1, 30},
                                                                               {1, 40},
                                                                               {1, 50}};
    EXPECT_EQ(drawn, expected);
    EXPECT_EQ(choice.NotDrawn, (std::map<int, std::size_t>{{1, 2}}));
    EXPECT_EQ(choice.NotDrawnElsewhere, 0U);
    // The newest of a group weighs 1, the third newest the faded weight, the one between halfway.
    EXPECT_DOUBLE_EQ(choice.Drawn.back().Weight, 1.0);
    EXPECT_DOUBLE_EQ(choice.Drawn[6].Weight, (1.0 + FadedPathWeight) / 2);
    EXPECT_DOUBLE_EQ(choice.Drawn[5].Weight, FadedPathWeight);
}

TEST(PathChoice, SelectedCloudDrawnWhole) {
    std::vector<SpotPath> paths;
    for (int i = 0; i < 200; ++i) {
        paths.push_back(At(i % 2 ? 7 : 8, i));
    }
    paths.push_back(At(std::nullopt, 0));
    paths.push_back(At(std::nullopt, 1));
    const PathChoice choice = ChoosePaths(paths, 7, 50);
    EXPECT_EQ(choice.Drawn.size(), 100U + 50U + 2U);
    EXPECT_EQ(choice.NotDrawn, (std::map<int, std::size_t>{{8, 50}}));
    // The selected cloud's paths beyond the newest 50 are drawn at the faded weight.
    const auto oldest = std::find_if(choice.Drawn.begin(), choice.Drawn.end(),
                                     [](const SpotPath &path) { return path.CloudId == 7; });
    ASSERT_NE(oldest, choice.Drawn.end());
    EXPECT_EQ(oldest->TimeS, 1);
    EXPECT_DOUBLE_EQ(oldest->Weight, FadedPathWeight);
}

TEST(PathChoice, EqualTimesLaterCountsAsNewer) {
    const PathChoice choice =
        ChoosePaths({At(1, 5), {{1, 1}, {2, 2}, 144.3, 1, 5, 1.0}}, std::nullopt, 1);
    ASSERT_EQ(choice.Drawn.size(), 1U);
    EXPECT_EQ(choice.Drawn[0].FreqMHz, 144.3);
}

} // namespace
