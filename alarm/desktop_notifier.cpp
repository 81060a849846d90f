#include "desktop_notifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

#include <algorithm>

namespace ionvane::alarm {

namespace {

constexpr const char *NotificationInterface = "org.freedesktop.Notifications";
// The "urgency" hint's byte for critical (the freedesktop.org notification protocol): shown until
// dismissed, over a full-screen program.
constexpr uchar CriticalUrgency = 2;
// expire_timeout 0: the notification stays until the user closes it, as an alarm should.
constexpr int NeverExpires = 0;
// A service that does not answer in this time is taken for none, ms: the tray balloon is better
// late than the alarm not at all.
constexpr int NotifyTimeoutMs = 5'000;

} // namespace

DesktopNotifier::DesktopNotifier(QDBusConnection bus, QString iconName, QObject *parent)
    : QObject(parent), Bus(std::move(bus)), IconName(std::move(iconName)) {
    Bus.connect(NotificationService, NotificationPath, NotificationInterface, "ActionInvoked", this,
                SLOT(ActionInvoked(uint, QString)));
}

bool DesktopNotifier::Ours(uint id) const {
    return id != 0 && std::find(ShownIds.begin(), ShownIds.end(), id) != ShownIds.end();
}

void DesktopNotifier::ActionInvoked(uint id, const QString &key) {
    if (!Ours(id)) {
        return;
    }
    if (key == ShowActionKey || key == "default") {
        emit showAsked();
    } else if (key == TurnBeamActionKey) {
        emit turnBeamAsked();
    }
}

void DesktopNotifier::Notify(const AlarmFields &fields) {
    const std::size_t band = spot::BandIndex(fields.Alarm.Which);
    if (Asking[band]) {
        Held[band] = fields;
        return;
    }
    Send(fields);
}

void DesktopNotifier::Answered(std::size_t band) {
    Asking[band] = false;
    if (Held[band]) {
        const AlarmFields next = *Held[band];
        Held[band].reset();
        Send(next);
    }
}

void DesktopNotifier::Send(const AlarmFields &fields) {
    const std::size_t band = spot::BandIndex(fields.Alarm.Which);
    Asking[band] = true;
    QDBusMessage call = QDBusMessage::createMethodCall(NotificationService, NotificationPath,
                                                       NotificationInterface, "Notify");
    QStringList actions{ShowActionKey, "Show"};
    if (fields.BeamDeg) {
        actions << TurnBeamActionKey << "Turn beam";
    }
    QVariantMap hints;
    hints["urgency"] = QVariant::fromValue(CriticalUrgency);
    hints["category"] = "im.received";
    call << QString("Ionvane") << ShownIds[band] << IconName << AlarmTitle(fields)
         << QString::fromStdString(fields.Alarm.Text) << actions << hints << NeverExpires;
    auto *watcher = new QDBusPendingCallWatcher(Bus.asyncCall(call, NotifyTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, watcher, band, fields](QDBusPendingCallWatcher *) {
                watcher->deleteLater();
                const QDBusPendingReply<uint> reply = *watcher;
                if (reply.isError()) {
                    emit unanswered(fields);
                } else {
                    ShownIds[band] = reply.value();
                }
                Answered(band);
            });
}

} // namespace ionvane::alarm
