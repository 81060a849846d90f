// The live window with its core as the program loads them when first asked for: a module of its
// own, so that the calculator starts without the network, feed and database libraries that only
// the live window needs (a fifth of a bare Qt window's start on a small machine).
#pragma once

#include "window/settings_file.h"

#include <QString>

#include <functional>
#include <optional>

namespace ionvane::app {

/// What the live window is opened with.
struct LiveRequest {
    /// A cloud was double-clicked: its best spot for the calculator's From, To and Frequency.
    std::function<void(const QString &fromLoc, const QString &toLoc, const QString &freqMHzText)>
        SpotChosen;
    /// The calculator's home when it is open; none: the settings file's.
    std::optional<window::Settings> Home;
    /// The home was changed in the live window's menu.
    std::function<void(const window::Settings &home)> HomeChanged;
    /// File > Calculator in the live window.
    std::function<void()> CalculatorRequested;
    /// File > Exit in the live window.
    std::function<void()> ExitRequested;
};

/// The live window with its core, history store and alarm outlets, as the module makes them.
class LiveWindowHandle {
  public:
    LiveWindowHandle() = default;
    virtual ~LiveWindowHandle() = default;
    LiveWindowHandle(const LiveWindowHandle &) = delete;
    LiveWindowHandle &operator=(const LiveWindowHandle &) = delete;
    /// Shows the window, raised and active.
    virtual void Show() = 0;
    /// A home set in the calculator, taken at once.
    virtual void SetHome(const window::Settings &home) = 0;
};

/// The module's entry point, looked up by the name LiveEntryName: a new live window owned by the
/// caller.
using OpenLiveFunction = LiveWindowHandle *(*)(const LiveRequest &request);
inline constexpr const char *LiveEntryName = "ionvane_open_live";

} // namespace ionvane::app
