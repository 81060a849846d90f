// The bands the feed is followed on, and the narrow topics that subscribe to one band in any mode.
#pragma once

#include "spot/band.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ionvane::feed {

/// The bands followed when the user names none: the Es bands above HF.
std::vector<spot::Band> DefaultBands();

/// The one topic filter for a band in any mode, "pskr/filter/v2/6m/+/#": one band only, never the
/// whole feed, as the feed's operator asks of every client.
std::string BandTopic(spot::Band band);

/// Whether `topic`, as a report came on it, matches the topic of one of `bands`: a broker may send
/// what no subscription asked for, and such a report belongs to no band followed.
bool OnBandTopic(std::string_view topic, std::span<const spot::Band> bands);

} // namespace ionvane::feed
