// Ionvane: the sporadic-E MUF calculator's window.
#include "program_windows.h"
#include "start_options.h"
#include "window/session_end.h"

#include <QApplication>

#include <iostream>
#include <optional>

namespace {

// Prints what --help or --version asked for, or a usage error; the exit code, or nothing when the
// window is to open.
std::optional<int> Answered(const ionvane::app::StartRequest &request) {
    using Kind = ionvane::app::StartRequest::Kind;
    switch (request.What) {
    case Kind::Run:
        return std::nullopt;
    case Kind::Answer:
        std::cout << request.Text << std::flush;
        return ionvane::app::ExitAnswered;
    case Kind::UsageError:
        std::cerr << "ionvane: " << request.Text << "\nTry 'ionvane --help'.\n";
        return ionvane::app::ExitUsage;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char *argv[]) {
    // --help and --version answer before QApplication, which needs a display. Anything this first
    // look does not understand (Qt's own options among it) waits for the second look below.
    QStringList raw;
    for (int i = 0; i < argc; ++i) {
        raw << QString::fromLocal8Bit(argv[i]);
    }
    if (const auto request = ionvane::app::ReadStartOptions(raw);
        request.What == ionvane::app::StartRequest::Kind::Answer) {
        return *Answered(request);
    }

    QApplication app(argc, argv);
    ionvane::app::SetUpApplication();
    const auto request = ionvane::app::ReadStartOptions(QApplication::arguments());
    if (const auto exitCode = Answered(request)) {
        return *exitCode;
    }

    // Logout, shutdown and `kill` end the program as Exit does, every window saving its settings.
    ionvane::window::SessionEnd sessionEnd;
    QObject::connect(&sessionEnd, &ionvane::window::SessionEnd::ending, &app, [] {
        QApplication::closeAllWindows();
        QApplication::quit();
    });
    ionvane::app::ProgramWindows windows;
    windows.Show(request.Live);
    return QApplication::exec();
}
