// What Calculate is given for a spot: the same for --spot, --batch --spots and --cluster, so that
// each gives the same result for the same line.
#pragma once

#include "spot/spot_reader.h"
#include "window/calculate_command.h"

namespace ionvane::cli {

/// The spot's locators as box texts and its frequency as the number it is (never re-read through
/// the user's number format); the frequency text only says how the box would show it.
inline window::CalculateInput SpotInput(const spot::Spot &read) {
    return window::CalculateInput{read.FromLoc, read.ToLoc, read.FreqMHzText, read.FreqMHz};
}

} // namespace ionvane::cli
