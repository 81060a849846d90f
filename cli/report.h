// A calculation's outcome as one line of JSON, for scripts and batch work.
#pragma once

#include "command/calculate_command.h"

#include <string>
#include <string_view>

namespace ionvane::cli {

/// `text` as a JSON string literal, quotes included.
std::string JsonString(std::string_view text);

/// Appends `text` as a JSON string literal to `out`.
void AppendJsonString(std::string &out, std::string_view text);

/// The members of the report object, without the braces: status ("stopped":true after it when a
/// frequency of 0 stopped the run), message, focus, title, homeLocator, labels, then the figures of
/// a completed run.
std::string ReportMembers(const command::CalculateOutcome &outcome,
                          const command::ScreenTexts &screen);

} // namespace ionvane::cli
