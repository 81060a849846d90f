// What Calculate is given for a spot: the same for --spot, --batch --spots and --cluster, so that
// each gives the same result for the same line.
#pragma once

#include "command/calculate_command.h"
#include "spot/spot_reader.h"

namespace ionvane::cli {

/// The spot's locators as box texts and its frequency as the number it is (never re-read through
/// the user's number format); the frequency text only says how the box would show it.
inline command::CalculateInput SpotInput(const spot::Spot &read) {
    return command::CalculateInput{read.FromLoc, read.ToLoc, read.FreqMHzText, read.FreqMHz};
}

} // namespace ionvane::cli
