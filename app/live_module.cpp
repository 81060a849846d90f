// The live window module (see live_module.h): the live window, its core with the history store
// loaded once the window is drawn (core_module.h), and the desktop's alarm outlet.
#include "live_module.h"

#include "cluster/cluster_settings.h"
#include "core_module.h"
#include "livewindow/alarm_outlet.h"
#include "livewindow/live_window.h"
#include "window/locale_format.h"
#include "window/settings_file.h"

#include <QDateTime>
#include <QLibrary>
#include <QLocale>
#include <QStatusBar>

#include <memory>

namespace ionvane::app {

namespace {

class LiveProgram : public LiveWindowHandle {
  public:
    explicit LiveProgram(const LiveRequest &request)
        : CoreModule(request.CoreModulePath),
          Outlet(cluster::ClusterSettingsDir(), [this](const alarm::DeliverySettings &settings) {
              // Resolved once the core is there: the core module is loaded by then.
              const auto open =
                  reinterpret_cast<OpenOutletsFunction>(CoreModule.resolve(OutletsEntryName));
              return std::unique_ptr<alarm::OutletControl>(open != nullptr ? open(settings)
                                                                           : nullptr);
          }) {
        livewindow::LiveWindowSetup setup;
        setup.ConfigDir = cluster::ClusterSettingsDir();
        setup.Format = window::NumberFormatOf(QLocale());
        setup.Home = request.Home.value_or(window::LoadSettingsFile(
            window::SettingsPlaces::ForThisProgram().LoadPath(), setup.Format));
        setup.NowUtc = [] { return QDateTime::currentSecsSinceEpoch(); };
        setup.Outlet = &Outlet;
        // The sources, the store and their libraries come once the window is drawn: its first
        // look does not wait for them, and the last hour fills the tables a moment later.
        setup.CoreOnceDrawn = true;
        setup.OpenCore = [this](live::CoreSetup core) -> live::OpenedCore {
            const auto open = reinterpret_cast<OpenCoreFunction>(CoreModule.resolve(CoreEntryName));
            if (open == nullptr) {
                return {nullptr, CoreModule.errorString().toStdString()};
            }
            return {std::unique_ptr<live::CoreControl>(open(std::move(core))), {}};
        };
        setup.OpenReview = [this](review::ReviewSetup review) {
            const auto open =
                reinterpret_cast<OpenReviewFunction>(CoreModule.resolve(ReviewEntryName));
            return std::unique_ptr<review::ReviewControl>(open != nullptr ? open(std::move(review))
                                                                          : nullptr);
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

    // The live window goes (with its core) before the module that holds the core's code.
    ~LiveProgram() override { Live.reset(); }

    void Show() override {
        Live->show();
        Live->raise();
        Live->activateWindow();
    }

  private:
    /// Never unloaded: the core's code stays until the program ends.
    QLibrary CoreModule;
    livewindow::DesktopAlarmOutlet Outlet;
    std::unique_ptr<livewindow::frmLive> Live;
};

} // namespace

} // namespace ionvane::app

extern "C" Q_DECL_EXPORT ionvane::app::LiveWindowHandle *
ionvane_open_live(const ionvane::app::LiveRequest &request) {
    return new ionvane::app::LiveProgram(request);
}
