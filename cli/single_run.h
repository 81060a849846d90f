// One press of Calculate from the command line: the boxes or one spot, its result reported.
#pragma once

#include "command_line_options.h"

#include "command/calculate_command.h"
#include "spot/spot_reader.h"

#include <iosfwd>
#include <string>

namespace ionvane::cli {

struct SingleRun {
    command::CalculateOutcome Outcome;
    command::ScreenTexts Screen;
};

// One press of Calculate on a freshly loaded window.
SingleRun Calculate(const Options &options, const command::CalculateInput &input,
                    const std::string &homeText);

// The write error of `out`, reported; false when all went out.
bool WriteFailed(std::ostream &out, std::ostream &err);

/// The boxes of the command line, calculated and reported; returns the exit code.
int RunSingle(const Options &options, std::ostream &out, std::ostream &err);

// The spot's frequency is taken as the number it is, never re-read in the user's number format.
int RunSpot(const Options &options, std::ostream &out, std::ostream &err);

} // namespace ionvane::cli
