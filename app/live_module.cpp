// The live module (see live_module.h): the live window, its core with the history store made once
// the window is drawn, and the alarm's outlets.
#include "live_module.h"

#include "alarm/alarm_deliveries.h"
#include "cluster/cluster_settings.h"
#include "history/history_store.h"
#include "live/country_file_reading.h"
#include "live/grid_memory_file.h"
#include "live/live_core.h"
#include "livewindow/alarm_outlet.h"
#include "livewindow/live_window.h"
#include "review/review_engine.h"
#include "station/config_dir.h"
#include "window/locale_format.h"
#include "window/settings_file.h"

#include <QDateTime>
#include <QLocale>
#include <QStatusBar>

#include <memory>

namespace ionvane::app {

namespace {

class LiveProgram : public LiveWindowHandle {
  public:
    explicit LiveProgram(const LiveRequest &request)
        : Outlet(station::ConfigDir(), [](const alarm::DeliverySettings &settings) {
              return std::make_unique<alarm::AlarmDeliveries>(settings,
                                                              alarm::RotatorClock::System());
          }) {
        livewindow::LiveWindowSetup setup;
        setup.ConfigDir = station::ConfigDir();
        setup.Format = window::NumberFormatOf(QLocale());
        setup.Home = request.Home.value_or(window::LoadSettingsFile(
            window::SettingsPlaces::ForThisProgram().LoadPath(), setup.Format));
        setup.NowUtc = [] { return QDateTime::currentSecsSinceEpoch(); };
        setup.Outlet = &Outlet;
        // The sources and the store come once the window is drawn: its first look does not wait
        // for the store's opening, and the last hour fills the tables a moment later.
        setup.CoreOnceDrawn = true;
        setup.OpenCore = [this](live::CoreSetup core) { return OpenCore(std::move(core)); };
        setup.OpenReview =
            [](review::ReviewSetup review) -> std::unique_ptr<review::ReviewControl> {
            review.Countries = live::ReadCountryFile(live::DefaultCountryFile).File;
            return std::make_unique<review::ReviewEngine>(std::move(review),
                                                          history::HistoryStore::DefaultPath());
        };
        Live = std::make_unique<livewindow::frmLive>(std::move(setup));
        Outlet.AddTo(
            *Live, [this] { Show(); },
            [this](const QString &words) { Live->statusBar()->showMessage(words); });
        if (request.SpotChosen) {
            QObject::connect(Live.get(), &livewindow::frmLive::spotChosen, Live.get(),
                             request.SpotChosen);
        }
        if (request.HomeChanged) {
            QObject::connect(Live.get(), &livewindow::frmLive::homeChanged, Live.get(),
                             request.HomeChanged);
        }
        if (request.CalculatorRequested) {
            QObject::connect(Live.get(), &livewindow::frmLive::calculatorRequested, Live.get(),
                             request.CalculatorRequested);
        }
        if (request.ExitRequested) {
            QObject::connect(Live.get(), &livewindow::frmLive::exitRequested, Live.get(),
                             request.ExitRequested);
        }
    }

    void SetHome(const window::Settings &home) override { Live->SetHome(home); }

    // The live window goes with its core before the store the core records into.
    ~LiveProgram() override { Live.reset(); }

    void Show() override {
        Live->show();
        Live->raise();
        Live->activateWindow();
    }

  private:
    // A core recording into the history store at its usual place. Calls without locators are
    // placed by the installed country file, if it can be read, and by the grid memory kept beside
    // the store. Each core opens the store anew (a new home makes a new core): the core that
    // recorded into the last one has gone by then.
    std::unique_ptr<live::CoreControl> OpenCore(live::CoreSetup core) {
        const QString storePath = history::HistoryStore::DefaultPath();
        Store.reset();
        Store = std::make_unique<history::HistoryStore>(storePath, core.NowUtc());
        core.Store = Store.get();
        core.Countries = live::ReadCountryFile(live::DefaultCountryFile).File;
        core.GridMemoryFile = live::GridMemoryPath(storePath);
        return std::make_unique<live::LiveCore>(std::move(core));
    }

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
