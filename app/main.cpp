// Ionvane: the sporadic-E MUF calculator's window.
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

    ionvane::window::QtDialogs dialogs(nullptr);
    ionvane::window::frmMUF window(dialogs, ionvane::window::SettingsPlaces::ForThisProgram());
    window.show();
    // For start-up measurements: leave as soon as the window is up, touching nothing.
    if (qEnvironmentVariableIsSet("IONVANE_QUIT_AFTER_SHOW")) {
        QTimer::singleShot(0, &app, [] { std::_Exit(0); });
    }
    return QApplication::exec();
}
