// A calculation's outcome, and the spot it was made from, as JSON members: the report of --json,
// --batch and the result of every spot event.
#pragma once

#include "command/calculate_command.h"
#include "spot/spot_reader.h"

#include <string>

namespace ionvane::cli {

/// The members of the report object: status ("stopped":true after it when a frequency of 0
/// stopped the run), message, focus, title, homeLocator, labels, then the figures of a completed
/// run.
void AppendReportMembers(std::string &out, const command::CalculateOutcome &outcome,
                         const command::ScreenTexts &screen);

/// "spot": the spot a report was made from, {"freqMHz":50.099 (as written),"from":"JN48QT",
/// "to":"IM98MM","tag":"ES" or null,"es":true,"dxCall":..,"spotter":..}.
void AppendSpotMembers(std::string &out, const spot::Spot &read);

} // namespace ionvane::cli
