// The live window's start-up as the benchmark measures it: `ionvane --live`, word for word as in
// app/main.cpp, left with _Exit as soon as the live window is shown, so that neither the tear-down
// nor the settings save is counted.
#include "cluster/cluster_settings.h"
#include "history/history_store.h"
#include "livewindow/live_window.h"
#include "window/dialogs.h"
#include "window/locale_format.h"
#include "window/main_window.h"

#include <QApplication>
#include <QDateTime>
#include <QIcon>
#include <QLocale>
#include <QTimer>

#include <cstdlib>
#include <memory>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Ionvane");
    QApplication::setDesktopFileName("io.github.ionvane.Ionvane");
    QApplication::setWindowIcon(QIcon(":/icons/ionvane-32.png"));

    ionvane::window::QtDialogs dialogs;
    ionvane::window::frmMUF window(dialogs, ionvane::window::SettingsPlaces::ForThisProgram());

    std::unique_ptr<ionvane::history::HistoryStore> store;
    ionvane::livewindow::DesktopAlarmOutlet outlet;
    std::unique_ptr<ionvane::livewindow::frmLive> live;
    const auto nowUtc = [] { return QDateTime::currentSecsSinceEpoch(); };
    ionvane::livewindow::LiveWindowSetup setup;
    setup.ConfigDir = ionvane::cluster::ClusterSettingsDir();
    setup.Format = ionvane::window::NumberFormatOf(QLocale());
    setup.Home = ionvane::window::LoadSettingsFile(
        ionvane::window::SettingsPlaces::ForThisProgram().LoadPath(), setup.Format);
    setup.NowUtc = nowUtc;
    setup.SessionClock = ionvane::cluster::SessionClock::System();
    setup.Outlet = &outlet;
    live = std::make_unique<ionvane::livewindow::frmLive>(std::move(setup));
    QObject::connect(live.get(), &ionvane::livewindow::frmLive::firstFrameDrawn, live.get(),
                     [&store, &live, nowUtc] {
                         store = std::make_unique<ionvane::history::HistoryStore>(
                             ionvane::history::HistoryStore::DefaultPath(), nowUtc());
                         live->UseStore(store->IsOpen() ? store.get() : nullptr,
                                        QString::fromStdString(store->Message()));
                     });
    live->show();
    live->raise();
    live->activateWindow();
    QTimer::singleShot(0, &app, [] { std::_Exit(0); });
    return QApplication::exec();
}
