// Where an alarm goes besides the window's banner: the desktop's notification and its beep,
// behind a small interface that tests replace.
#pragma once

#include <QString>

#include <memory>

class QSystemTrayIcon;

namespace ionvane::livewindow {

class AlarmOutlet {
  public:
    virtual ~AlarmOutlet() = default;
    /// A notification of the desktop with a title and a text.
    virtual void Notify(const QString &title, const QString &text) = 0;
    virtual void Beep() = 0;
};

/// The tray notification (QSystemTrayIcon) when the desktop has a tray, and QApplication::beep().
class DesktopAlarmOutlet : public AlarmOutlet {
  public:
    DesktopAlarmOutlet();
    ~DesktopAlarmOutlet() override;
    DesktopAlarmOutlet(const DesktopAlarmOutlet &) = delete;
    DesktopAlarmOutlet &operator=(const DesktopAlarmOutlet &) = delete;

    void Notify(const QString &title, const QString &text) override;
    void Beep() override;

  private:
    std::unique_ptr<QSystemTrayIcon> Tray;
};

} // namespace ionvane::livewindow
