// Ionvane: the sporadic-E MUF calculator's window.
#include "start_options.h"

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

#include <cstdlib>
#include <iostream>
#include <memory>
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

    const bool startLive = ionvane::app::ReadStartOptions(QApplication::arguments()).Live;
    ionvane::window::QtDialogs dialogs;
    ionvane::window::frmMUF window(dialogs, ionvane::window::SettingsPlaces::ForThisProgram());

    // The live window and its history store are made when first asked for: the calculator alone
    // opens no database and no map.
    std::unique_ptr<ionvane::history::HistoryStore> store;
    ionvane::livewindow::DesktopAlarmOutlet outlet;
    std::unique_ptr<ionvane::livewindow::frmLive> live;
    const auto openLive = [&] {
        if (!live) {
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
            // The store and its database driver open once the window is drawn: its first look
            // does not wait for them, and the last hour fills the tables a moment later.
            QObject::connect(live.get(), &ionvane::livewindow::frmLive::firstFrameDrawn, live.get(),
                             [&store, &live, nowUtc] {
                                 store = std::make_unique<ionvane::history::HistoryStore>(
                                     ionvane::history::HistoryStore::DefaultPath(), nowUtc());
                                 live->UseStore(store->IsOpen() ? store.get() : nullptr,
                                                QString::fromStdString(store->Message()));
                             });
            // A double-clicked cloud is calculated in the main window, as if typed there.
            QObject::connect(
                live.get(), &ionvane::livewindow::frmLive::spotChosen, &window,
                [&window](const QString &from, const QString &to, const QString &freq) {
                    window.show();
                    window.raise();
                    window.CalculateSpot(from, to, freq);
                });
        }
        live->show();
        live->raise();
        live->activateWindow();
    };
    QObject::connect(&window, &ionvane::window::frmMUF::liveWindowRequested, &window, openLive);
    if (startLive) {
        openLive();
    } else {
        window.show();
    }
    const int exitCode = QApplication::exec();
    live.reset();
    return exitCode;
}
