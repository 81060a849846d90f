// The end of the desktop session as the program sees it: SIGTERM (logout, shutdown, `kill`) and
// SIGHUP (the terminal or display going away) become a signal of the event loop, which the program
// answers as it answers Exit: every window saves its settings and the program quits.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace ionvane::window {

class SessionEnd : public QObject {
    Q_OBJECT

  public:
    /// Catches SIGTERM and SIGHUP from now on. One at a time: a second one made while the first
    /// lives catches nothing.
    explicit SessionEnd(QObject *parent = nullptr);
    /// Gives SIGTERM and SIGHUP back their default action.
    ~SessionEnd() override;
    SessionEnd(const SessionEnd &) = delete;
    SessionEnd &operator=(const SessionEnd &) = delete;

    /// Whether the signals are caught (false when the pipe or the handlers could not be set up).
    [[nodiscard]] bool Catching() const { return Notifier != nullptr; }

  signals:
    /// SIGTERM or SIGHUP arrived (`signalNumber`), told in the event loop.
    void ending(int signalNumber);

  private:
    void Read();

    int Pipe[2] = {-1, -1};
    QSocketNotifier *Notifier = nullptr;
};

} // namespace ionvane::window
