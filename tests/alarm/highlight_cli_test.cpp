// ionvane-cli --wsjtx --highlight as a process: two WSJT-X on 127.0.0.1 (2 m and 6 m) send an
// opening; the 6 m one is asked to colour the calls heard through the open cloud, at the address
// and port it sends from, and the colours are cleared when the session ends.
#include "alarm/call_highlights.h"
#include "tests/cli_process.h"
#include "tests/wsjtx/datagram_writer.h"
#include "wsjtx/datagram.h"

#include <QDateTime>
#include <QNetworkDatagram>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace ionvane::alarm {
namespace {

bool WaitFor(const std::function<bool()> &done) {
    const QDeadlineTimer deadline(15'000);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return done();
}

TEST(HighlightCli, TheCallsThroughTheOpenCloudAreColouredWhereWsjtxSendsFromAndClearedAtTheEnd) {
    quint16 port = 0;
    {
        QUdpSocket probe;
        ASSERT_TRUE(probe.bind(QHostAddress::LocalHost, 0));
        port = probe.localPort();
    }
    testing::CliProcess cli({"--wsjtx", QString("127.0.0.1:%1").arg(port), "--highlight", "--for",
                             "60", "--home", "IO90IR", "--history", "none"});
    ASSERT_TRUE(WaitFor([&] { return cli.Count("connection", "listening") == 1; })) << cli.Text();

    // Each WSJT-X sends from a socket of its own, as two instances do.
    QUdpSocket six;
    QUdpSocket two;
    ASSERT_TRUE(six.bind(QHostAddress::LocalHost, 0));
    ASSERT_TRUE(two.bind(QHostAddress::LocalHost, 0));
    const char *sixId = "WSJT-X - 6m";
    const auto slotMs = static_cast<quint32>(
        QDateTime::currentDateTimeUtc().time().msecsSinceStartOfDay() / 15000 * 15000);
    const auto send = [&](QUdpSocket &from, const std::string &bytes) {
        from.writeDatagram(bytes.data(), static_cast<qint64>(bytes.size()), QHostAddress::LocalHost,
                           port);
    };
    // The 6 m cloud first, then 2 m through it lifts its frequency so that 6 m opens from home,
    // then the 6 m calls heard through it (and one through a cloud of its own, not coloured).
    send(six, wsjtx::test::Status(50313000, "FT8", "IO90", sixId));
    send(two, wsjtx::test::Status(144174000, "FT8", "IO90", "WSJT-X"));
    for (const char *message :
         {"CQ S52AB JN76", "CQ 9A3AB JN75", "CQ OE6AB JN77", "CQ S53XY JN75"}) {
        send(six, wsjtx::test::Decode(slotMs, message, "~", 1234, false, false, true, sixId));
    }
    for (const char *message : {"CQ S51ABC JN75", "CQ OK1XYZ JN79", "CQ 9A2AB JN75",
                                "CQ OE3ABC JN77", "CQ I3ABC JN65", "CQ HA1AB JN86"}) {
        send(two, wsjtx::test::Decode(slotMs, message, "~", 1234, false, false, true, "WSJT-X"));
    }
    ASSERT_TRUE(WaitFor([&] { return cli.Events("spot").size() == 10; })) << cli.Text();
    for (const char *message : {"CQ S59DX JN76", "CQ EA3XYZ JN11", "G4ABC OE5XY JN78"}) {
        send(six, wsjtx::test::Decode(slotMs, message, "~", 1234, false, false, true, sixId));
    }

    std::map<std::string, wsjtx::Highlight> shown; // by call, the latest request
    int requests = 0;
    const auto read = [&] {
        for (QUdpSocket *socket : {&six, &two}) {
            while (socket->hasPendingDatagrams()) {
                const QByteArray bytes = socket->receiveDatagram().data();
                const auto request = wsjtx::ReadHighlight(bytes.toStdString());
                ASSERT_TRUE(request);
                EXPECT_EQ(socket, &six) << "a 6 m call asked of the 2 m WSJT-X";
                EXPECT_EQ(request->first, sixId);
                shown[request->second.Call] = request->second;
                ++requests;
            }
        }
    };
    ASSERT_TRUE(WaitFor([&] {
        read();
        return shown.size() == 2;
    })) << cli.Text();
    for (const char *call : {"S59DX", "OE5XY"}) {
        EXPECT_EQ(shown[call].Background, OpenBackground) << call;
        EXPECT_EQ(shown[call].Foreground, OpenForeground) << call;
    }

    cli.Process.terminate();
    ASSERT_TRUE(cli.Finish());
    ASSERT_TRUE(WaitFor([&] {
        read();
        return requests == 4;
    }));
    for (const char *call : {"S59DX", "OE5XY"}) {
        EXPECT_FALSE(shown[call].Background) << call << " not cleared";
    }
}

} // namespace
} // namespace ionvane::alarm
