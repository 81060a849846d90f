// ionvane-cli: one press of Calculate, or one per input line, on a freshly loaded window.
#pragma once

#include <QStringList>
#include <iosfwd>

namespace ionvane::cli {

/// Exit codes.
constexpr int ExitComputed = 0;
constexpr int ExitNotComputed = 1;
constexpr int ExitUsage = 2;

/// Runs the command line `arguments` (program name first) with the given streams; returns the
/// exit code.
int RunCli(const QStringList &arguments, std::istream &in, std::ostream &out, std::ostream &err);

} // namespace ionvane::cli
