// The user's command run for each alarm (`--on-alarm`, the window's "Run on alarm"): the alarm's
// fields in its environment, its JSON on its standard input. It runs beside the program and never
// holds it up; one still running after HookLimitMs is ended.
#pragma once

#include "alarm_fields.h"

#include <QObject>
#include <QString>

#include <chrono>

class QProcess;

namespace ionvane::alarm {

/// A hook has this long, ms: enough to send a mail or a message; one that hangs (a network
/// command without a timeout of its own) must not pile up an opening's alarms.
constexpr int HookLimitMs = 10'000;
/// A hook asked to end has this long to tidy up before it is killed, ms.
constexpr int HookGraceMs = 2'000;
/// At most this many hooks at once: an alarm that finds them all running is passed over (and
/// said), as a slow command must not fill the process table during a busy opening.
constexpr int HooksAtOnce = 4;

class AlarmHook : public QObject {
    Q_OBJECT
  public:
    /// `command` is run by /bin/sh -c, as a shell line the user typed.
    explicit AlarmHook(QString command, QObject *parent = nullptr, int limitMs = HookLimitMs);

    void Run(const AlarmFields &fields);
    /// Hooks still running.
    [[nodiscard]] int Running() const { return RunningNow; }

  signals:
    /// A hook failed (did not start, ended with an error, hung): said once until one succeeds.
    void said(const QString &words);
    /// A hook ended, well or not.
    void finished();

  private:
    void Failed(const QString &words);

    QString Command;
    int LimitMs;
    int RunningNow = 0;
    bool FailureSaid = false;
};

} // namespace ionvane::alarm
