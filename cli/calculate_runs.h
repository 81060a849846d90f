// The presses of Calculate the command line asks for: the boxes (--from, --to, --freq), one spot
// (--spot) or one per input line (--batch), each result reported as text or JSON.
#pragma once

#include "command_line.h"

#include <iosfwd>

namespace ionvane::cli {

/// The boxes of the command line, calculated and reported; returns the exit code.
int RunSingle(const Options &options, std::ostream &out, std::ostream &err);

/// One spot line; its frequency is taken as the number it is, never re-read in the user's number
/// format.
int RunSpot(const Options &options, std::ostream &out, std::ostream &err);

/// Reads "FROM TO FREQ [HOME]" lines (or raw cluster lines with --spots) from `in` and writes one
/// report per line as it arrives; returns the exit code.
int RunBatch(const Options &options, std::istream &in, std::ostream &out, std::ostream &err);

/// The write error of `out`, reported; false when all went out.
bool WriteFailed(std::ostream &out, std::ostream &err);

} // namespace ionvane::cli
