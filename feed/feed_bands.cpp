#include "feed_bands.h"

#include <algorithm>

namespace ionvane::feed {

namespace {

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

bool OnBandTopic(std::string_view topic, std::span<const FeedBand> bands) {
    if (!topic.starts_with(TopicRoot)) {
        return false;
    }
    topic.remove_prefix(TopicRoot.size());
    // "+" takes any one level, the mode, even an empty one, and "#" whatever follows it.
    return std::any_of(bands.begin(), bands.end(), [topic](FeedBand band) {
        const std::string_view name = BandName(band);
        return topic.size() > name.size() && topic.starts_with(name) && topic[name.size()] == '/';
    });
}

} // namespace ionvane::feed
