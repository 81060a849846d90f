// ionvane-cli --batch: one press of Calculate per input line, one JSON report per line.
#pragma once

#include "command_line_options.h"

#include <iosfwd>

namespace ionvane::cli {

/// Reads "FROM TO FREQ [HOME]" lines (or raw cluster lines with --spots) from `in` and writes one
/// report per line as it arrives; returns the exit code.
int RunBatch(const Options &options, std::istream &in, std::ostream &out, std::ostream &err);

} // namespace ionvane::cli
