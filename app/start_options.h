// The window program's own command-line options. Qt's standard options (-platform, -style, ...)
// are not among them: QApplication takes those out of the arguments first.
#pragma once

#include <QStringList>

#include <string>

namespace ionvane::app {

/// Exit codes of the window program when it does not open its window.
constexpr int ExitAnswered = 0;
constexpr int ExitUsage = 2;

/// What the command line asks for.
struct StartRequest {
    enum class Kind {
        Run,        ///< open the window
        Answer,     ///< print Text on stdout and leave (--help, --version)
        UsageError, ///< print Text on stderr and leave with ExitUsage
    };
    Kind What = Kind::Run;
    std::string Text;
    bool Live = false; ///< --live: open the live window at start, the main window only on demand
};

/// Reads `arguments` (program name first). Needs no QApplication, so that --help and --version
/// answer without a display.
StartRequest ReadStartOptions(const QStringList &arguments);

} // namespace ionvane::app
