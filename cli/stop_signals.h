// SIGINT and SIGTERM as events of the Qt event loop, so that a live session ends through its normal
// path (log complete, exit 0) instead of dying inside a write.
#pragma once

#include <QFile>
#include <QObject>
#include <QSocketNotifier>

#include <functional>
#include <memory>

namespace ionvane::cli {

class StopSignals {
  public:
    /// From now on SIGINT and SIGTERM call `onStop` from the event loop; the signals are blocked
    /// and read through a signalfd, and stay blocked after destruction.
    explicit StopSignals(std::function<void()> onStop);
    ~StopSignals();
    StopSignals(const StopSignals &) = delete;
    StopSignals &operator=(const StopSignals &) = delete;

    /// Whether the signals could be caught.
    [[nodiscard]] bool Active() const { return Descriptor >= 0; }

  private:
    int Descriptor = -1;
    QFile Reader;
    std::unique_ptr<QSocketNotifier> Notifier;
};

} // namespace ionvane::cli
