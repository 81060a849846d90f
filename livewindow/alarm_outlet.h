// Where an alarm goes besides the window's banner: the desktop's notification and the sound, and
// the outlets both front ends share (the user's command, ntfy, the rotator), behind a small
// interface that tests replace.
#pragma once

#include "alarm_settings.h"

#include "alarm/alarm_fields.h"
#include "alarm/outlet_control.h"
#include "live/core_control.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QTimer;
class QSystemTrayIcon;
class QWidget;

namespace ionvane::alarm {
class AlarmSound;
class DesktopNotifier;
class SessionHighlights;
} // namespace ionvane::alarm

namespace ionvane::livewindow {

class AlarmOutlet {
  public:
    virtual ~AlarmOutlet() = default;
    /// A notification of the desktop with a title and a text.
    virtual void Notify(const QString &title, const QString &text) = 0;
    virtual void Beep() = 0;
    /// The window's core is there: the outlet may follow its events (verdicts, alarms).
    virtual void CoreAttached(live::CoreControl & /*core*/) {}
    /// The user acknowledged the alarm.
    virtual void Acknowledged() {}
    /// "Turn beam" on a band of the window: the rotator to `azimuthDeg`, where there is one.
    virtual void TurnBeamTo(double /*azimuthDeg*/) {}
    /// Where the rotator points (degrees), given to `shown` as it is read; none without one.
    virtual void FollowRotator(std::function<void(std::optional<double>)> /*shown*/) {}
};

/// Makes the shared outlets (they bind the network library, so the program hands them over).
using OpenOutlets =
    std::function<std::unique_ptr<alarm::OutletControl>(const alarm::DeliverySettings &)>;

/// The freedesktop notification (the tray balloon where no service answers), the alarm's sound,
/// and the shared outlets set in "Alarm outlets".
class DesktopAlarmOutlet : public QObject, public AlarmOutlet {
    Q_OBJECT
  public:
    /// `configDir` keeps the settings (alarm.ini, the ntfy topic file).
    DesktopAlarmOutlet(QString configDir, OpenOutlets openOutlets);
    ~DesktopAlarmOutlet() override;
    DesktopAlarmOutlet(const DesktopAlarmOutlet &) = delete;
    DesktopAlarmOutlet &operator=(const DesktopAlarmOutlet &) = delete;

    void Notify(const QString &title, const QString &text) override;
    void Beep() override;
    void CoreAttached(live::CoreControl &core) override;
    void Acknowledged() override;
    void TurnBeamTo(double azimuthDeg) override;
    void FollowRotator(std::function<void(std::optional<double>)> shown) override;

    /// Adds "Turn beam", "Stop the rotator" and "Alarm outlets…" to `window` (with shortcuts),
    /// raising it for the notification's "Show"; words go to `say` (the status bar).
    void AddTo(QWidget &window, std::function<void()> show,
               std::function<void(const QString &)> say);
    void TurnBeam();
    void StopRotator();
    void EditSettings();

  private:
    void Heard(const live::LiveEvent &event);
    void Tray(const QString &title, const QString &text);
    void OpenShared();
    void FollowHighlights();

    QString ConfigDir;
    OpenOutlets Open;
    AlarmOutletSettings Settings;
    std::unique_ptr<alarm::DesktopNotifier> Notifier;
    std::unique_ptr<alarm::AlarmSound> Sound;
    std::unique_ptr<alarm::OutletControl> Shared;
    std::unique_ptr<QSystemTrayIcon> TrayIcon;
    std::unique_ptr<alarm::SessionHighlights> Highlights;
    std::function<void(std::optional<double>)> RotatorShown;
    QTimer *RotatorPoll = nullptr;
    live::CoreControl *Core = nullptr;
    std::optional<tracker::VerdictEvent> Verdict;
    bool Attached = false;
    QWidget *Window = nullptr;
    std::function<void()> Show;
    std::function<void(const QString &)> Say;
};

} // namespace ionvane::livewindow
