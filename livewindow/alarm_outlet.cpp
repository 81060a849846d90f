#include "alarm_outlet.h"

#include <QApplication>
#include <QSystemTrayIcon>

namespace ionvane::livewindow {

namespace {
// How long the desktop shows the notification, ms: long enough to turn from the rig and read it.
constexpr int NotificationMs = 15'000;
} // namespace

DesktopAlarmOutlet::DesktopAlarmOutlet() = default;
DesktopAlarmOutlet::~DesktopAlarmOutlet() = default;

void DesktopAlarmOutlet::Notify(const QString &title, const QString &text) {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        return;
    }
    if (!Tray) {
        Tray = std::make_unique<QSystemTrayIcon>(QApplication::windowIcon());
        Tray->setToolTip("Ionvane Live");
        Tray->show();
    }
    Tray->showMessage(title, text, QSystemTrayIcon::Warning, NotificationMs);
}

void DesktopAlarmOutlet::Beep() {
    QApplication::beep();
}

} // namespace ionvane::livewindow
