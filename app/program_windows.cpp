#include "program_windows.h"

#include "cluster/cluster_settings.h"
#include "window/locale_format.h"

#include <QApplication>
#include <QDateTime>
#include <QIcon>
#include <QLocale>

namespace ionvane::app {

void SetUpApplication() {
    QApplication::setApplicationName("Ionvane");
    QApplication::setDesktopFileName("io.github.ionvane.Ionvane");
    QApplication::setWindowIcon(QIcon(":/icons/ionvane-32.png"));
}

ProgramWindows::ProgramWindows() : Calculator(Dialogs, window::SettingsPlaces::ForThisProgram()) {
    QObject::connect(&Calculator, &window::frmMUF::liveWindowRequested, &Calculator,
                     [this] { OpenLive(); });
}

// The live window goes before the store it records in.
ProgramWindows::~ProgramWindows() {
    Live.reset();
}

void ProgramWindows::Show(bool live) {
    if (live) {
        OpenLive();
    } else {
        Calculator.show();
    }
}

void ProgramWindows::OpenLive() {
    // The live window and its history store are made when first asked for: the calculator alone
    // opens no database and no map.
    if (!Live) {
        const auto nowUtc = [] { return QDateTime::currentSecsSinceEpoch(); };
        livewindow::LiveWindowSetup setup;
        setup.ConfigDir = cluster::ClusterSettingsDir();
        setup.Format = window::NumberFormatOf(QLocale());
        setup.Home = window::LoadSettingsFile(window::SettingsPlaces::ForThisProgram().LoadPath(),
                                              setup.Format);
        setup.NowUtc = nowUtc;
        setup.SessionClock = cluster::SessionClock::System();
        setup.Outlet = &Outlet;
        Live = std::make_unique<livewindow::frmLive>(std::move(setup));
        // The store and its database driver open once the window is drawn: its first look does
        // not wait for them, and the last hour fills the tables a moment later.
        QObject::connect(Live.get(), &livewindow::frmLive::firstFrameDrawn, Live.get(),
                         [this, nowUtc] {
                             Store = std::make_unique<history::HistoryStore>(
                                 history::HistoryStore::DefaultPath(), nowUtc());
                             Live->UseStore(Store.get());
                         });
        // A double-clicked cloud is calculated in the main window, as if typed there.
        QObject::connect(Live.get(), &livewindow::frmLive::spotChosen, &Calculator,
                         [this](const QString &from, const QString &to, const QString &freq) {
                             Calculator.show();
                             Calculator.raise();
                             Calculator.CalculateSpot(from, to, freq);
                         });
    }
    Live->show();
    Live->raise();
    Live->activateWindow();
}

} // namespace ionvane::app
