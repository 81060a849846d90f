// Ionvane: the sporadic-E MUF calculator's window.
#include "start_options.h"

#include "window/dialogs.h"
#include "window/main_window.h"

#include <QApplication>
#include <QIcon>

#include <cstdlib>
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
    QApplication::setApplicationName("Ionvane");
    QApplication::setDesktopFileName("io.github.ionvane.Ionvane");
    QApplication::setWindowIcon(QIcon(":/icons/ionvane-32.png"));
    if (const auto exitCode = Answered(ionvane::app::ReadStartOptions(QApplication::arguments()))) {
        return *exitCode;
    }

    ionvane::window::QtDialogs dialogs;
    ionvane::window::frmMUF window(dialogs, ionvane::window::SettingsPlaces::ForThisProgram());
    window.show();
    return QApplication::exec();
}
