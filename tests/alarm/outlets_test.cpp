// The alarm's outlets against the real things on 127.0.0.1: Hamlib's dummy rotator (rotctld -m 1),
// a shell command, and an HTTP server standing in for ntfy.
#include "alarm/alarm_hook.h"
#include "alarm/ntfy_sender.h"
#include "alarm/rotator_client.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace ionvane::alarm {
namespace {

// Every wait of these tests ends by this, ms: a test that fails must not hang the run.
constexpr int LongestWaitMs = 15'000;

bool WaitFor(const std::function<bool()> &done, int longestMs = LongestWaitMs) {
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

// A port nobody listens on at the moment.
quint16 FreePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

AlarmFields TwoMetreAlarm() {
    AlarmFields fields;
    fields.Alarm = tracker::AlarmEvent{1781431500, spot::Band::M2, 3,
                                       "2m open towards JN75 \u00b7 beam 123\u00b0"};
    fields.Alarm.Heard = 2;
    fields.BeamDeg = 123.4;
    fields.TowardsLoc = "JN75";
    return fields;
}

// rotctld with the dummy rotator on 127.0.0.1:port, ended with the test.
class Rotctld {
  public:
    explicit Rotctld(quint16 port) {
        Daemon.start("rotctld", {"-m", "1", "-T", "127.0.0.1", "-t", QString::number(port)});
        // Started is not yet listening: on a loaded machine rotctld takes its time, and a client
        // refused meanwhile backs off further with each try. Wait until it accepts.
        Listens = Daemon.waitForStarted() && WaitFor([port] {
                      QTcpSocket probe;
                      probe.connectToHost(QHostAddress::LocalHost, port);
                      return probe.waitForConnected(1'000);
                  });
    }
    ~Rotctld() {
        Daemon.kill();
        Daemon.waitForFinished();
    }
    Rotctld(const Rotctld &) = delete;
    Rotctld &operator=(const Rotctld &) = delete;
    [[nodiscard]] bool Running() const { return Listens; }

  private:
    QProcess Daemon;
    bool Listens = false;
};

retry::RetryTimings QuickRetry() {
    retry::RetryTimings timings;
    timings.FirstMin = retry::Milliseconds{200};
    timings.FirstMax = retry::Milliseconds{200};
    return timings;
}

TEST(Rotator, TheDummyRotatorTurnsToTheBeamAfterARefusedStart) {
    // No rotctld at first: the refusal is said once, the turn waits; once rotctld is up the client
    // connects again by itself and the dummy rotator reports the commanded azimuth.
    const quint16 port = FreePort();
    RotatorClient client({"127.0.0.1", port}, RotatorClock::System(), nullptr, QuickRetry());
    QStringList words;
    QObject::connect(&client, &RotatorClient::said,
                     [&](const QString &said) { words.push_back(said); });
    client.Start();
    client.TurnTo(4.0);
    ASSERT_TRUE(WaitFor([&] { return client.State() == RotatorState::Waiting; }));
    ASSERT_EQ(words.size(), 1);
    EXPECT_TRUE(words[0].startsWith("no rotator: ")) << words[0].toStdString();

    const Rotctld daemon(port);
    ASSERT_TRUE(daemon.Running()) << "rotctld (package libhamlib-utils) is needed";
    ASSERT_TRUE(WaitFor([&] { return client.Idle() && client.State() == RotatorState::Ready; }));
    EXPECT_EQ(words.last(), "connected to the rotator again");
    // The dummy moves at about 6 degrees a second; asked until it is there.
    ASSERT_TRUE(WaitFor([&] {
        if (client.Idle()) {
            client.AskPosition();
        }
        return client.PositionDeg() && std::abs(*client.PositionDeg() - 4.0) < 0.05;
    }));
    client.Stop();
    ASSERT_TRUE(WaitFor([&] { return client.Idle(); }));
    EXPECT_EQ(words.size(), 2); // no refusal of the turn or the stop
}

TEST(Rotator, FollowTurnsTheDummyRotatorWhenTheHeadlineMoves) {
    const quint16 port = FreePort();
    const Rotctld daemon(port);
    ASSERT_TRUE(daemon.Running());
    RotatorClient client({"127.0.0.1", port}, RotatorClock::System(), nullptr, QuickRetry());
    client.SetFollow(true);
    ASSERT_TRUE(WaitFor([&] {
        client.Start();
        return client.State() == RotatorState::Ready;
    }));
    client.Headline(3.0, 1000);
    client.Headline(30.0, 1060); // a minute later: not followed
    ASSERT_TRUE(WaitFor([&] {
        if (client.Idle()) {
            client.AskPosition();
        }
        return client.PositionDeg() && std::abs(*client.PositionDeg() - 3.0) < 0.05;
    }));
}

TEST(AlarmHook, RunsWithTheFieldsAndTheJsonAndIsEndedWhenItHangs) {
    QTemporaryDir dir;
    const QString out = dir.filePath("out");
    AlarmHook hook("printf '%s|%s|%s|%s|%s|' \"$IONVANE_BAND\" \"$IONVANE_BEAM\" "
                   "\"$IONVANE_TOWARDS\" \"$IONVANE_HEARD\" \"$IONVANE_TEXT\" > '" +
                   out + "'; cat >> '" + out + "'");
    int ended = 0;
    QObject::connect(&hook, &AlarmHook::finished, [&] { ++ended; });
    hook.Run(TwoMetreAlarm());
    ASSERT_TRUE(WaitFor([&] { return ended == 1; }));
    QFile file(out);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(
        QString::fromUtf8(file.readAll()).toStdString(),
        "2m|123.4|JN75|2|2m open towards JN75 \u00b7 beam 123\u00b0|"
        R"({"band":"2m","beamDeg":123.4,"cloud":3,"heard":2,)"
        "\"text\":\"2m open towards JN75 \u00b7 beam 123\u00b0\",\"time\":\"2026-06-14T10:05:00Z\","
        "\"towards\":\"JN75\"}"
        "\n");

    // A hook that hangs, twice, and one that fails: each ended, the failure said once.
    AlarmHook stuck("sleep 30", nullptr, 300);
    QStringList words;
    int stuckEnded = 0;
    QObject::connect(&stuck, &AlarmHook::said, [&](const QString &w) { words.push_back(w); });
    QObject::connect(&stuck, &AlarmHook::finished, [&] { ++stuckEnded; });
    stuck.Run(TwoMetreAlarm());
    stuck.Run(TwoMetreAlarm());
    ASSERT_TRUE(WaitFor([&] { return stuckEnded == 2; }, 5000));
    EXPECT_EQ(words, QStringList{"the alarm command ran longer than 0.3 s and was ended"});
    EXPECT_EQ(stuck.Running(), 0);
}

// One HTTP request as the test server received it.
struct Received {
    QByteArray Head;
    QByteArray Body;
};

TEST(Ntfy, TheAlarmIsPostedWithTitlePriorityAndTagsAndAFailureIsSaidOnce) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    std::vector<Received> requests;
    int answer = 200;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        QTcpSocket *socket = server.nextPendingConnection();
        auto buffer = std::make_shared<QByteArray>();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [&, socket, buffer] {
            *buffer += socket->readAll();
            const auto end = buffer->indexOf("\r\n\r\n");
            if (end < 0) {
                return;
            }
            const QByteArray head = buffer->left(end);
            const auto at = head.toLower().indexOf("content-length: ");
            const int length = at < 0 ? 0 : head.mid(at + 16).split('\r').front().toInt();
            if (buffer->size() < end + 4 + length) {
                return;
            }
            requests.push_back({head, buffer->mid(end + 4, length)});
            socket->write("HTTP/1.1 " + QByteArray::number(answer) +
                          " X\r\nContent-Length: 2\r\nConnection: close\r\n\r\n{}");
            socket->disconnectFromHost();
        });
    });
    const QUrl url(QString("http://127.0.0.1:%1/my-es-alarms").arg(server.serverPort()));
    retry::RetryTimings quick = NtfyTimings;
    quick.FirstMin = quick.FirstMax = retry::Milliseconds{50};
    NtfySender sender(url, "tk_secret", nullptr, quick);
    QStringList words;
    QObject::connect(&sender, &NtfySender::said, [&](const QString &w) { words.push_back(w); });
    sender.Post(TwoMetreAlarm());
    ASSERT_TRUE(WaitFor([&] { return sender.Pending() == 0; }, 2000));
    ASSERT_EQ(requests.size(), 1U);
    const QByteArray head = requests[0].Head;
    EXPECT_TRUE(head.startsWith("POST /my-es-alarms HTTP/1.1\r\n")) << head.toStdString();
    for (const char *header : {"Title: Es alarm: 2m\r\n", "Priority: 5\r\n",
                               "Tags: rotating_light,2m\r\n", "Authorization: Bearer tk_secret"}) {
        EXPECT_TRUE(head.contains(header)) << header;
    }
    EXPECT_EQ(requests[0].Body.toStdString(), "2m open towards JN75 \u00b7 beam 123\u00b0");
    EXPECT_TRUE(words.isEmpty());

    // A server that fails: each alarm tried NtfyTries times, the failure said once.
    answer = 503;
    sender.Post(TwoMetreAlarm());
    sender.Post(TwoMetreAlarm());
    ASSERT_TRUE(WaitFor([&] { return sender.Pending() == 0; }));
    EXPECT_EQ(requests.size(), 1U + 2 * NtfyTries);
    EXPECT_EQ(words, QStringList{"cannot reach the ntfy server 127.0.0.1: HTTP 503"});
    // A refusal of the post itself is not tried again.
    answer = 403;
    sender.Post(TwoMetreAlarm());
    ASSERT_TRUE(WaitFor([&] { return sender.Pending() == 0; }));
    EXPECT_EQ(requests.size(), 2U + 2 * NtfyTries);
}

TEST(NtfyAddress, NeedsAServerAndATopic) {
    const std::pair<const char *, bool> cases[] = {
        {"https://ntfy.sh/my-es-alarms", true},
        {"http://127.0.0.1:8080/es", true},
        {"https://ntfy.sh/", false},
        {"https://ntfy.sh", false},
        {"ftp://ntfy.sh/topic", false},
        {"ntfy.sh/topic", false},
    };
    for (const auto &[text, good] : cases) {
        EXPECT_EQ(NtfyUrlProblem(QUrl(text)).empty(), good) << text;
    }
}

} // namespace
} // namespace ionvane::alarm
