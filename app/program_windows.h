// The program's windows as `ionvane` starts them: the calculator, and the live window with its
// history store made when first asked for. The program and the start-up benchmarks share this, so
// that what is measured is what users start.
#pragma once

#include "history/history_store.h"
#include "livewindow/live_window.h"
#include "window/dialogs.h"
#include "window/main_window.h"

#include <memory>

namespace ionvane::app {

/// The application's name, desktop id and icon, set once QApplication exists.
void SetUpApplication();

class ProgramWindows {
  public:
    ProgramWindows();
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows &) = delete;
    ProgramWindows &operator=(const ProgramWindows &) = delete;

    /// Shows the calculator, or with `live` only the live window (the calculator follows when a
    /// cloud is double-clicked).
    void Show(bool live);

    /// Makes the live window when first asked for, and brings it up.
    void OpenLive();

  private:
    window::QtDialogs Dialogs;
    window::frmMUF Calculator;
    std::unique_ptr<history::HistoryStore> Store;
    livewindow::DesktopAlarmOutlet Outlet;
    std::unique_ptr<livewindow::frmLive> Live;
};

} // namespace ionvane::app
