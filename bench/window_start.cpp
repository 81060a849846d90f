// The window's start-up as the benchmark measures it: ionvane's start (app/program_windows), left
// with _Exit as soon as the window is shown, so that neither the tear-down nor the settings save
// is counted.
#include "app/program_windows.h"

#include <QApplication>
#include <QTimer>

#include <cstdlib>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    ionvane::app::SetUpApplication();
    ionvane::app::ProgramWindows windows;
    windows.Show(false);
    QTimer::singleShot(0, &app, [] { std::_Exit(0); });
    return QApplication::exec();
}
