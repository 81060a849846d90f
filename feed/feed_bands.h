// The bands the feed is followed on, and the narrow topics that subscribe to one band in any mode.
#pragma once

#include "spot/band.h"

#include <string>
#include <vector>

namespace ionvane::feed {

/// The bands followed when the user names none: the Es bands above HF.
std::vector<spot::Band> DefaultBands();

/// The one topic filter for a band in any mode, "pskr/filter/v2/6m/+/#": one band only, never the
/// whole feed, as the feed's operator asks of every client.
std::string BandTopic(spot::Band band);

} // namespace ionvane::feed
