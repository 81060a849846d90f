// Meteor scatter sent as hams send it, without a mode word: during a major shower's active days,
// an untagged spot on a meteor-scatter activity frequency of its region's band plan was made on
// meteor trails, not through an Es cloud.
#pragma once

#include "tracker_events.h"

#include <optional>
#include <string_view>

namespace ionvane::tracker {

/// The major meteor shower active at `time`, by name ("Perseids"); none between showers.
std::optional<std::string_view> ActiveShower(UnixSeconds time);

/// Whether `freqMHz` lies in a meteor-scatter activity window of the band plan that holds on 6 m
/// and 2 m in ITU Region 1 (`region1`) or in the Americas and Asia-Pacific.
bool OnMeteorScatterFrequency(double freqMHz, bool region1);

} // namespace ionvane::tracker
