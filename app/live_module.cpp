// The live window module (see live_module.h): the live window, its history store opened once the
// window is drawn, and the desktop's alarm outlet.
#include "live_module.h"

#include "cluster/cluster_settings.h"
#include "history/history_store.h"
#include "livewindow/alarm_outlet.h"
#include "livewindow/live_window.h"
#include "window/locale_format.h"
#include "window/settings_file.h"

#include <QDateTime>
#include <QLocale>

#include <memory>

namespace ionvane::app {

namespace {

class LiveProgram : public LiveWindowHandle {
  public:
    explicit LiveProgram(const LiveRequest &request) {
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
        if (request.SpotChosen) {
            QObject::connect(Live.get(), &livewindow::frmLive::spotChosen, Live.get(),
                             request.SpotChosen);
        }
    }

    // The live window goes before the store it records in.
    ~LiveProgram() override { Live.reset(); }

    void Show() override {
        Live->show();
        Live->raise();
        Live->activateWindow();
    }

  private:
    std::unique_ptr<history::HistoryStore> Store;
    livewindow::DesktopAlarmOutlet Outlet;
    std::unique_ptr<livewindow::frmLive> Live;
};

} // namespace

} // namespace ionvane::app

extern "C" Q_DECL_EXPORT ionvane::app::LiveWindowHandle *
ionvane_open_live(const ionvane::app::LiveRequest &request) {
    return new ionvane::app::LiveProgram(request);
}
