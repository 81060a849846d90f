// Ionvane: the sporadic-E MUF calculator's window.
#include "window/dialogs.h"
#include "window/main_window.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Ionvane");
    QApplication::setDesktopFileName("ionvane");
    QApplication::setWindowIcon(QIcon(":/icons/ionvane-32.png"));

    ionvane::window::QtDialogs dialogs;
    ionvane::window::frmMUF window(dialogs, ionvane::window::SettingsPlaces::ForThisProgram());
    window.show();
    return QApplication::exec();
}
