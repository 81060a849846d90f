// ionvane-cli's command line: its options read, the settings of the run, and the run it asks for
// (one press of Calculate, one per input line, a replay or a live session).
#pragma once

#include "live_options.h"
#include "replay.h"

#include "command/calculate_command.h"
#include "window/settings_file.h"

#include <QStringList>

#include <iosfwd>
#include <optional>
#include <string>
#include <variant>

namespace ionvane::cli {

/// Exit codes.
constexpr int ExitComputed = 0;
constexpr int ExitNotComputed = 1;
constexpr int ExitUsage = 2;
/// Every source of a live session was refused: the node refused the call or the password or
/// bumped the session, the broker refused every topic, and the WSJT-X port could not be taken.
constexpr int ExitRefused = 3;

struct UsageError {
    std::string Message;
};

/// --help or --version: the text to print on stdout before leaving with success.
struct HelpRequested {
    std::string Text;
};

// What the command line asks for. The settings and the command are not part of it: RunCli loads
// the settings (only where no option gives them) and makes the command once the options are read.
struct Options {
    Options() : Command(calc::NumberFormat{}) {}
    bool Batch = false;
    bool Spots = false;                  ///< batch of raw cluster lines
    bool AnyMode = false;                ///< batch spots tagged as another mode are calculated too
    std::optional<std::string> SpotLine; ///< one raw spot
    bool Json = false;
    command::CalculateInput Input;
    calc::NumberFormat Format;
    std::optional<std::string> HomeLocator; ///< --home, upper-cased
    std::optional<float> EsLayerHeightKm;   ///< --es-layer
    std::optional<float> HomeHeightKm;      ///< --masl, converted to km
    window::Settings Settings;              ///< filled by LoadSettings
    command::CalculateCommand Command;      ///< made once, for the number format
    std::optional<ReplayOptions> Replay;    ///< its home settings filled by LoadSettings
    std::optional<LiveOptions> Live;        ///< --cluster, --mqtt; its home settings likewise
};

// The outcome of reading the command line: what to do, a usage error, or a text to print (--help,
// --version).
using ParsedCommandLine = std::variant<Options, UsageError, HelpRequested>;

/// Reads the command line `arguments` (program name first).
ParsedCommandLine ParseOptions(const QStringList &arguments);

// The settings of the run: the settings file where an option does not give a setting, each option
// over it. The file is read only when some setting is left to it.
window::Settings LoadSettings(const Options &options);

/// Runs the command line `arguments` (program name first) with the given streams; returns the
/// exit code.
int RunCli(const QStringList &arguments, std::istream &in, std::ostream &out, std::ostream &err);

} // namespace ionvane::cli
