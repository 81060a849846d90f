// The window's start-up as the benchmark measures it: ionvane's start, word for word as in
// app/main.cpp, left with _Exit as soon as the window is shown, so that neither the tear-down nor
// the settings save is counted.
#include "window/dialogs.h"
#include "window/main_window.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

#include <cstdlib>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Ionvane");
    QApplication::setDesktopFileName("ionvane");
    QApplication::setWindowIcon(QIcon(":/icons/ionvane-32.png"));

    ionvane::window::QtDialogs dialogs;
    ionvane::window::frmMUF window(dialogs, ionvane::window::SettingsPlaces::ForThisProgram());
    window.show();
    QTimer::singleShot(0, &app, [] { std::_Exit(0); });
    return QApplication::exec();
}
