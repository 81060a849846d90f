#include "feed_bands.h"

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

} // namespace ionvane::feed
