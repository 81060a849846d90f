// ionvane-cli --wsjtx as a process, datagrams sent to it on 127.0.0.1: its listening event, the
// spot and the skips among the tracker's events, every datagram that tells something in the log,
// and the log replayed giving the same events.
#include "datagram_writer.h"
#include "tests/cli_process.h"

#include <QDateTime>
#include <QFile>
#include <QJsonObject>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <functional>

namespace ionvane::wsjtx {
namespace {

const QStringList Home = {"--home", "JO62QM", "--history", "none"};

// Spot and skipped events up to their "result", for comparing a live run with its replay.
QList<QByteArray> SpotLines(const QList<QByteArray> &lines) {
    QList<QByteArray> kept;
    for (const auto &line : lines) {
        if (line.startsWith("{\"event\":\"spot\"") || line.startsWith("{\"event\":\"skipped\"")) {
            kept.append(line.left(line.indexOf(",\"result\":")));
        }
    }
    return kept;
}

bool WaitFor(const std::function<bool()> &done) {
    const QDeadlineTimer deadline(15'000);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return done();
}

TEST(WsjtxCli, DecodesSentToItBecomeSpotsLoggedAndReplayed) {
    quint16 port = 0;
    {
        QUdpSocket probe;
        ASSERT_TRUE(probe.bind(QHostAddress::LocalHost, 0));
        port = probe.localPort();
    }
    QTemporaryDir dir;
    const QString logPath = dir.filePath("wsjtx.log");
    testing::CliProcess cli(
        QStringList{"--wsjtx", QString("127.0.0.1:%1").arg(port), "--log", logPath, "--for", "60"} +
        Home);
    ASSERT_TRUE(WaitFor([&] { return cli.Count("connection", "listening") == 1; })) << cli.Text();
    EXPECT_EQ(cli.Events("connection")[0].value("source").toString(), "wsjtx");

    const QDateTime now = QDateTime::currentDateTimeUtc();
    const auto slotMs = static_cast<quint32>(now.time().msecsSinceStartOfDay() / 15000 * 15000);
    QUdpSocket sender;
    for (const std::string &bytes :
         {test::Heartbeat(), test::Heartbeat(), test::Status(50313000),
          test::Decode(slotMs, "CQ EA8ABC IL18"), test::Decode(slotMs, "EA8ABC DL1ABC RR73"),
          std::string("\xAD\xBC\xCB\xDA")}) {
        sender.writeDatagram(bytes.data(), static_cast<qint64>(bytes.size()),
                             QHostAddress::LocalHost, port);
    }
    ASSERT_TRUE(WaitFor([&] {
        return cli.Events("spot").size() + cli.Events("skipped").size() == 3;
    })) << cli.Text();
    const QJsonObject spot = cli.Events("spot").value(0);
    EXPECT_EQ(spot.value("band").toString(), "6m");
    EXPECT_EQ(spot.value("spot").toObject().value("from").toString(), "IL18");
    EXPECT_EQ(spot.value("spot").toObject().value("to").toString(), "JO62");
    EXPECT_TRUE(spot.value("raw").toString().startsWith("WSJTX Decode id=WSJT-X"));
    QStringList reasons;
    for (const auto &skipped : cli.Events("skipped")) {
        reasons.append(skipped.value("reason").toString());
    }
    EXPECT_EQ(reasons, (QStringList{"No grid of the sender in the message",
                                    "The datagram ends inside a field"}));
    cli.Process.terminate();
    ASSERT_TRUE(cli.Finish());
    EXPECT_EQ(cli.Process.exitCode(), 0);

    QFile log(logPath);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> logged = log.readAll().trimmed().split('\n');
    // The second heartbeat, the same as the first, is not logged.
    ASSERT_EQ(logged.size(), 5);
    EXPECT_TRUE(logged[0].mid(20).startsWith("\tWSJTX Heartbeat ")) << logged[0].toStdString();

    QProcess replay;
    replay.start(IONVANE_CLI, QStringList{"--replay", logPath} + Home);
    ASSERT_TRUE(replay.waitForFinished(20'000));
    EXPECT_EQ(replay.exitCode(), 0);
    EXPECT_EQ(SpotLines(replay.readAllStandardOutput().split('\n')), SpotLines(cli.Lines));
}

} // namespace
} // namespace ionvane::wsjtx
