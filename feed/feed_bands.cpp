#include "feed_bands.h"

#include <array>

namespace ionvane::feed {

namespace {

constexpr std::array<FeedBand, 4> AllBands = {FeedBand::M10, FeedBand::M6, FeedBand::M4,
                                              FeedBand::M2};

// The feed's topics: pskr/filter/v2/{band}/{mode}/{sender call}/... ; "+" takes any mode and "#"
// every level after it.
constexpr std::string_view TopicRoot = "pskr/filter/v2/";
constexpr std::string_view AnyModeAndRest = "/+/#";

} // namespace

std::string_view BandName(FeedBand band) {
    switch (band) {
    case FeedBand::M10:
        return "10m";
    case FeedBand::M6:
        return "6m";
    case FeedBand::M4:
        return "4m";
    case FeedBand::M2:
        return "2m";
    }
    return "";
}

std::optional<FeedBand> BandFromText(std::string_view text) {
    if (!text.empty() && (text.back() == 'm' || text.back() == 'M')) {
        text.remove_suffix(1);
    }
    for (const FeedBand band : AllBands) {
        std::string_view name = BandName(band);
        name.remove_suffix(1);
        if (text == name) {
            return band;
        }
    }
    return std::nullopt;
}

std::vector<FeedBand> DefaultBands() {
    return {FeedBand::M6, FeedBand::M4, FeedBand::M2};
}

std::string BandTopic(FeedBand band) {
    std::string topic(TopicRoot);
    topic += BandName(band);
    topic += AnyModeAndRest;
    return topic;
}

} // namespace ionvane::feed
