// The yardstick for the window's start-up: a bare Qt main window with one label, shown and left
// at once, started the same way as ionvane.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QTimer>

#include <cstdlib>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new QLabel("bare"));
    window.show();
    QTimer::singleShot(0, &app, [] { std::_Exit(0); });
    return QApplication::exec();
}
