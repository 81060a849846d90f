// The alarm as a desktop notification through the freedesktop notification service on the
// session bus: urgency critical, the alarm's words, the program's icon, the actions "Show" and
// "Turn beam", and one notification per band (a new alarm of a band replaces the old one). When
// no service answers, `unanswered` lets the window fall back to its tray balloon.
#pragma once

#include "alarm_fields.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <array>
#include <optional>

namespace ionvane::alarm {

/// The service's name, object and interface (the freedesktop.org notification protocol).
constexpr const char *NotificationService = "org.freedesktop.Notifications";
constexpr const char *NotificationPath = "/org/freedesktop/Notifications";
/// The keys of the actions, as the service reports them back in ActionInvoked.
constexpr const char *ShowActionKey = "show";
constexpr const char *TurnBeamActionKey = "turn-beam";

class DesktopNotifier : public QObject {
    Q_OBJECT
  public:
    /// `bus` is the session bus (a private one in tests); `iconName` a theme icon or a path.
    DesktopNotifier(QDBusConnection bus, QString iconName, QObject *parent = nullptr);

    void Notify(const AlarmFields &fields);

  signals:
    /// "Show" was chosen: raise the live window.
    void showAsked();
    /// "Turn beam" was chosen.
    void turnBeamAsked();
    /// No service answered this alarm: show it another way.
    void unanswered(const ionvane::alarm::AlarmFields &fields);

  private slots:
    void ActionInvoked(uint id, const QString &key);

  private:
    [[nodiscard]] bool Ours(uint id) const;
    void Send(const AlarmFields &fields);
    void Answered(std::size_t band);

    QDBusConnection Bus;
    QString IconName;
    std::array<uint, spot::BandCount> ShownIds{}; ///< 0: none shown for the band
    /// A band's Notify is on its way: its id is not known yet, so the band's next alarm waits for
    /// it (only the newest) rather than open a second notification beside the first.
    std::array<bool, spot::BandCount> Asking{};
    std::array<std::optional<AlarmFields>, spot::BandCount> Held;
};

} // namespace ionvane::alarm
