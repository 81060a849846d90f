// The desktop notification on a private session bus (dbus-daemon started by the test) with a
// small notification service of the test's own; its "Turn beam" reaches rotctld's dummy rotator.
#include "alarm/desktop_notifier.h"
#include "alarm/rotator_client.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QVariantMap>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

namespace ionvane::alarm {

/// What a notification service on the bus is asked to show.
struct Shown {
    uint Replaces = 0;
    QString Icon, Summary, Body;
    QStringList Actions;
    QVariantMap Hints;
};

class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
  public:
    std::vector<Shown> Calls;

  public slots:
    uint Notify(const QString &, uint replaces, const QString &icon, const QString &summary,
                const QString &body, const QStringList &actions, const QVariantMap &hints, int) {
        Calls.push_back({replaces, icon, summary, body, actions, hints});
        return replaces != 0 ? replaces : static_cast<uint>(Calls.size()) + 40;
    }
};

namespace {

bool WaitFor(const std::function<bool()> &done, int longestMs = 15'000) {
    const QDeadlineTimer deadline(longestMs);
    while (!done() && !deadline.hasExpired()) {
        // A slice of the event loop that waits for events rather than spinning: the questions
        // to the rotator go out a few dozen times a second, not thousands, on a shared machine.
        QEventLoop slice;
        QTimer::singleShot(20, &slice, &QEventLoop::quit);
        slice.exec();
    }
    return done();
}

// A session bus of the test's own, ended with it.
class PrivateBus {
  public:
    PrivateBus() {
        Daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address"});
        if (Daemon.waitForReadyRead(10'000)) {
            Address = QString::fromUtf8(Daemon.readLine()).trimmed();
        }
    }
    ~PrivateBus() {
        Daemon.kill();
        Daemon.waitForFinished();
    }
    PrivateBus(const PrivateBus &) = delete;
    PrivateBus &operator=(const PrivateBus &) = delete;
    [[nodiscard]] QDBusConnection Connect(const QString &name) const {
        return QDBusConnection::connectToBus(Address, name);
    }
    QString Address;

  private:
    QProcess Daemon;
};

// Whether something accepts connections on 127.0.0.1:port within the longest wait: a started
// rotctld takes its time to listen on a loaded machine, and a client refused meanwhile backs off.
bool Listening(quint16 port) {
    return WaitFor([port] {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, port);
        return probe.waitForConnected(1'000);
    });
}

AlarmFields Alarm(spot::Band band, const char *text, std::optional<double> beamDeg) {
    AlarmFields fields;
    fields.Alarm = tracker::AlarmEvent{1781431500, band, 1, text};
    fields.BeamDeg = beamDeg;
    fields.TowardsLoc = beamDeg ? "JN75" : "";
    return fields;
}

TEST(DesktopNotifier, TheAlarmIsShownCriticalPerBandAndTurnBeamReachesTheRotator) {
    const PrivateBus bus;
    ASSERT_FALSE(bus.Address.isEmpty()) << "dbus-daemon (package dbus) is needed";
    QDBusConnection service = bus.Connect("service");
    FakeNotifications fake;
    ASSERT_TRUE(service.registerObject(NotificationPath, &fake, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(service.registerService(NotificationService));

    DesktopNotifier notifier(bus.Connect("program"), "ionvane");
    int unanswered = 0;
    QObject::connect(&notifier, &DesktopNotifier::unanswered, [&] { ++unanswered; });
    // The same band again, before the service has answered the first, replaces the first once
    // its id is known; another band gets its own at once.
    notifier.Notify(Alarm(spot::Band::M2, "2m open towards JN75", 4.0));
    notifier.Notify(Alarm(spot::Band::M2, "2m open towards JN76", 4.0));
    notifier.Notify(Alarm(spot::Band::M6, "6m open", std::nullopt));
    ASSERT_TRUE(WaitFor([&] { return fake.Calls.size() == 3; }));
    const auto shownWith = [&](const char *body) {
        const auto at = std::find_if(fake.Calls.begin(), fake.Calls.end(),
                                     [&](const Shown &call) { return call.Body == body; });
        return at != fake.Calls.end() ? *at : Shown{};
    };
    const Shown first = fake.Calls[0];
    EXPECT_EQ(first.Replaces, 0U);
    EXPECT_EQ(first.Summary, "Es alarm: 2m");
    EXPECT_EQ(first.Body, "2m open towards JN75");
    EXPECT_EQ(first.Icon, "ionvane");
    EXPECT_EQ(first.Actions, (QStringList{"show", "Show", "turn-beam", "Turn beam"}));
    EXPECT_EQ(first.Hints.value("urgency").toInt(), 2);
    EXPECT_EQ(shownWith("2m open towards JN76").Replaces, 41U);
    EXPECT_EQ(shownWith("6m open").Replaces, 0U);
    EXPECT_EQ(shownWith("6m open").Actions, (QStringList{"show", "Show"})); // nothing to turn
    EXPECT_EQ(unanswered, 0);

    // The user picks "Turn beam" on the notification: the dummy rotator turns to the beam.
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    QProcess rotctld;
    rotctld.start("rotctld", {"-m", "1", "-T", "127.0.0.1", "-t", QString::number(port)});
    ASSERT_TRUE(rotctld.waitForStarted()) << "rotctld (package libhamlib-utils) is needed";
    ASSERT_TRUE(Listening(port)) << "rotctld does not listen";
    retry::RetryTimings quick;
    quick.FirstMin = quick.FirstMax = retry::Milliseconds{200};
    RotatorClient rotator({"127.0.0.1", port}, RotatorClock::System(), nullptr, quick);
    QObject::connect(&notifier, &DesktopNotifier::turnBeamAsked, [&] { rotator.TurnTo(4.0); });
    ASSERT_TRUE(WaitFor([&] {
        rotator.Start();
        return rotator.State() == RotatorState::Ready;
    }));
    bool shown = false;
    QObject::connect(&notifier, &DesktopNotifier::showAsked, [&] { shown = true; });
    for (const char *key : {"turn-beam", "show"}) {
        QDBusMessage invoked = QDBusMessage::createSignal(
            NotificationPath, "org.freedesktop.Notifications", "ActionInvoked");
        invoked << 41U << QString(key);
        service.send(invoked);
    }
    ASSERT_TRUE(WaitFor([&] {
        if (rotator.Idle()) {
            rotator.AskPosition();
        }
        return shown && rotator.PositionDeg() && std::abs(*rotator.PositionDeg() - 4.0) < 0.05;
    }));
    rotctld.kill();
    rotctld.waitForFinished();
}

TEST(DesktopNotifier, WithoutAServiceTheAlarmIsLeftToTheFallback) {
    const PrivateBus bus;
    ASSERT_FALSE(bus.Address.isEmpty());
    DesktopNotifier notifier(bus.Connect("alone"), "ionvane");
    int unanswered = 0;
    QObject::connect(&notifier, &DesktopNotifier::unanswered, [&] { ++unanswered; });
    notifier.Notify(Alarm(spot::Band::M6, "6m open", std::nullopt));
    EXPECT_TRUE(WaitFor([&] { return unanswered == 1; }));
}

} // namespace
} // namespace ionvane::alarm

#include "notifier_test.moc"
