// The program's windows as `ionvane` starts them: the calculator, and the live window loaded from
// its module when first asked for. The program and the start-up benchmarks share this, so that
// what is measured is what users start.
#pragma once

#include "live_module.h"
#include "window/dialogs.h"
#include "window/main_window.h"

#include <QLibrary>

#include <memory>
#include <optional>

namespace ionvane::app {

/// The application's name, desktop id and icon, set once QApplication exists.
void SetUpApplication();

/// Where the live window module is: `LiveModuleRelative` from the program's own folder, as built
/// and as installed.
QString LiveModulePath();

class ProgramWindows {
  public:
    ProgramWindows();
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows &) = delete;
    ProgramWindows &operator=(const ProgramWindows &) = delete;

    /// Shows the calculator, or with `live` only the live window (the calculator follows when a
    /// cloud is double-clicked).
    void Show(bool live);

    /// Loads the live window when first asked for, and brings it up; false, after telling the
    /// user why, when its module cannot be loaded.
    bool OpenLive();

  private:
    /// The calculator, made when first needed: `ionvane --live` may never show it.
    window::frmMUF &Calculator();

    window::QtDialogs Dialogs;
    std::unique_ptr<window::frmMUF> Calc;
    QLibrary LiveModule;
    std::unique_ptr<LiveWindowHandle> Live;
    /// The home last set in the live window, for a calculator made after it.
    std::optional<window::Settings> LiveHome;
};

} // namespace ionvane::app
