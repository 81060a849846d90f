#include "feed_bands.h"

#include <algorithm>

namespace ionvane::feed {

namespace {

// The feed's topics: pskr/filter/v2/{band}/{mode}/{sender call}/... ; "+" takes any mode and "#"
// every level after it. The feed names its bands as BandName does.
constexpr std::string_view TopicRoot = "pskr/filter/v2/";
constexpr std::string_view AnyModeAndRest = "/+/#";

} // namespace

std::vector<spot::Band> DefaultBands() {
    return {spot::Band::M6, spot::Band::M4, spot::Band::M2};
}

std::string BandTopic(spot::Band band) {
    std::string topic(TopicRoot);
    topic += spot::BandName(band);
    topic += AnyModeAndRest;
    return topic;
}

bool OnBandTopic(std::string_view topic, std::span<const spot::Band> bands) {
    if (!topic.starts_with(TopicRoot)) {
        return false;
    }
    topic.remove_prefix(TopicRoot.size());
    // "+" takes any one level, the mode, even an empty one, and "#" whatever follows it.
    return std::any_of(bands.begin(), bands.end(), [topic](spot::Band band) {
        const std::string_view name = BandName(band);
        return topic.size() > name.size() && topic.starts_with(name) && topic[name.size()] == '/';
    });
}

} // namespace ionvane::feed
