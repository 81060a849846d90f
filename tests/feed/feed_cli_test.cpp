// ionvane-cli --mqtt as a process against a mosquitto of our own on 127.0.0.1: the feed's reports
// as spot and skipped events of the one tracker, --cluster and --mqtt together, the exit codes of
// refusals, the log and the history of both kinds of line, --replay of a mixed capture, and
// reports that come minutes after their time placed at that time.
#include "synthetic/synthetic_capture.h"
#include "test_brokers.h"
#include "tests/cli_process.h"
#include "tests/fakenode/fake_node.h"

#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace ionvane::feed {
namespace {

using test::FakeBroker;
using test::LocalBroker;
using test::Publisher;
using test::WaitUntil;

const QStringList HomeSettings = {"--home", "IO90IR", "--es-layer", "110", "--masl", "150"};

// Madrid to Munich and Madrid to Stuttgart on 6 m: paths of about 1,500 km whose centres, over
// southern France, lie within one cloud's 250 km.
constexpr const char *MunichTopic = "pskr/filter/v2/6m/FT8/EA4XXX/DL1XX/IN80DO/JN58TD/281/230";
constexpr const char *StuttgartTopic = "pskr/filter/v2/6m/FT8/EA4XXX/DL2XX/IN80DO/JN48QT/281/230";
// The cluster's spot of the Madrid to Munich path.
constexpr const char *ClusterSpot =
    "DX de EA4XX:     50313.0  DL1XX        IN80DO<ES>JN58TD  1745Z";

std::string Report(long long sequence, const std::string &mode, const std::string &senderLoc,
                   const std::string &receiverLoc, long long time, long long freqHz = 50313512) {
    std::string payload = R"({"sq":)" + std::to_string(sequence) + R"(,"f":)" +
                          std::to_string(freqHz) + R"(,"md":")" + mode + R"(","rp":-12,"t":)" +
                          std::to_string(time) + R"(,"sc":"EA4XXX","sl":")" + senderLoc +
                          R"(","rc":"DL1XX")";
    if (!receiverLoc.empty()) {
        payload += R"(,"rl":")" + receiverLoc + '"';
    }
    return payload + R"(,"b":"6m"})";
}

long long NowSeconds() {
    return QDateTime::currentSecsSinceEpoch();
}

// The command line as a process, with the questions these tests ask of its events.
struct Cli : ionvane::testing::CliProcess {
    using CliProcess::CliProcess;

    [[nodiscard]] bool Has(const QString &kind, const QString &member, const QString &value) const {
        const auto events = Events(kind);
        return std::any_of(events.begin(), events.end(), [&](const QJsonObject &event) {
            return event.value(member).toString() == value;
        });
    }
    [[nodiscard]] bool Subscribed() const { return Count("connection", "subscribed") > 0; }
    // The spot count of the newest cloud event of cloud `id`; 0 when there is none.
    [[nodiscard]] int CloudSpots(int id) const {
        int spots = 0;
        for (const auto &event : Events("cloud")) {
            if (event.value("id").toInt() == id) {
                spots = event.value("spots").toInt();
            }
        }
        return spots;
    }
};

QString Address(quint16 port) {
    return QString("127.0.0.1:%1").arg(port);
}

TEST(FeedCli, ReportsBecomeSpotsAndCloudsAndTheRestIsSkippedWithItsReason) {
    LocalBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.Output();
    QTemporaryDir dir;
    const QString logPath = dir.filePath("feed.log");
    Cli cli(QStringList{"--mqtt", Address(broker.Port()), "--band", "6m", "--history", "none",
                        "--log", logPath, "--for", "60"} +
            HomeSettings);
    ASSERT_TRUE(WaitUntil([&] { return cli.Subscribed(); })) << cli.Text();
    const auto subscribed = cli.Events("connection").last();
    EXPECT_EQ(subscribed.value("source").toString(), "mqtt");
    // --band 6m: one narrow topic, that band alone.
    EXPECT_EQ(subscribed.value("detail").toString(), "pskr/filter/v2/6m/+/#");

    Publisher publisher(broker.Port());
    ASSERT_TRUE(publisher.Connected());
    const long long sent = NowSeconds() - 30;
    ASSERT_TRUE(publisher.Publish(MunichTopic, Report(101, "FT8", "IN80DO", "JN58TD", sent)));
    ASSERT_TRUE(publisher.Publish(StuttgartTopic, Report(102, "FT4", "in80do", "JN48QT", sent)));
    // The first report again, as the feed may deliver it: counted once.
    ASSERT_TRUE(publisher.Publish(MunichTopic, Report(101, "FT8", "IN80DO", "JN58TD", sent)));
    ASSERT_TRUE(publisher.Publish(MunichTopic, Report(103, "MSK144", "IN80DO", "JN58TD", sent)));
    ASSERT_TRUE(publisher.Publish(MunichTopic, Report(104, "FT8", "IN80DO", "", sent)));
    ASSERT_TRUE(WaitUntil([&] {
        return cli.Events("spot").size() + cli.Events("skipped").size() == 5;
    })) << cli.Text();

    const auto spots = cli.Events("spot");
    ASSERT_EQ(spots.size(), 2);
    for (const auto &spot : spots) {
        EXPECT_TRUE(spot.value("raw").toString().startsWith("MQTT pskr/filter/v2/6m/"));
        EXPECT_EQ(spot.value("classification").toString(), "es");
        EXPECT_EQ(spot.value("band").toString(), "6m");
        EXPECT_EQ(spot.value("cloud").toInt(), 1);
        // The frequency from Hz exactly; the sender's locator is From.
        EXPECT_EQ(spot.value("spot").toObject().value("freqMHz").toDouble(), 50.313512);
        EXPECT_EQ(spot.value("spot").toObject().value("from").toString(), "IN80DO");
        EXPECT_EQ(spot.value("result").toObject().value("status").toInt(), 0);
    }
    const QJsonObject labels = spots[0].value("result").toObject().value("labels").toObject();
    // The label shows the frequency as the window does, in single precision.
    EXPECT_EQ(labels.value("lblAZResult").toString().toStdString(),
              "es from IN80DO to JN58TD on 50.31351mhz");
    QStringList reasons;
    for (const auto &skipped : cli.Events("skipped")) {
        reasons.append(skipped.value("reason").toString());
    }
    EXPECT_EQ(reasons,
              (QStringList{"The report was received before", "MSK144 is meteor scatter, not Es",
                           "Only one locator in the report"}));
    EXPECT_EQ(cli.CloudSpots(1), 2);
    EXPECT_TRUE(cli.Events("verdict").size() >= 1);

    cli.Process.terminate();
    ASSERT_TRUE(cli.Finish());
    EXPECT_EQ(cli.Process.exitCode(), 0);
    EXPECT_TRUE(cli.Has("connection", "state", "stopped"));

    // Every report in the log as TIME<TAB>MQTT TOPIC PAYLOAD, the repeated one too.
    QFile log(logPath);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> logged = log.readAll().trimmed().split('\n');
    ASSERT_EQ(logged.size(), 5);
    EXPECT_TRUE(logged[0].mid(20).startsWith(QByteArray("\tMQTT ") + MunichTopic + " {\"sq\":101"))
        << logged[0].toStdString();

    // The log replayed gives the same spot events as the live session.
    QProcess replay;
    replay.start(IONVANE_CLI, QStringList{"--replay", logPath} + HomeSettings);
    ASSERT_TRUE(replay.waitForFinished(20'000));
    EXPECT_EQ(replay.exitCode(), 0);
    QList<QByteArray> replayedSpots;
    for (const auto &line : replay.readAllStandardOutput().split('\n')) {
        if (line.startsWith("{\"event\":\"spot\"") || line.startsWith("{\"event\":\"skipped\"")) {
            replayedSpots.append(line.left(line.indexOf(",\"result\":")));
        }
    }
    QList<QByteArray> liveSpots;
    for (const auto &line : cli.Lines) {
        if (line.startsWith("{\"event\":\"spot\"") || line.startsWith("{\"event\":\"skipped\"")) {
            liveSpots.append(line.left(line.indexOf(",\"result\":")));
        }
    }
    EXPECT_EQ(replayedSpots, liveSpots);
}

TEST(FeedCli, TheClusterAndTheFeedFeedOneTracker) {
    LocalBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.Output();
    testing::FakeNode node;
    ASSERT_TRUE(node.Listen());
    QTemporaryDir dir;
    const QString logPath = dir.filePath("both.log");
    Cli cli(QStringList{"--cluster", Address(node.Port()), "--call", "DK7UK", "--mqtt",
                        Address(broker.Port()), "--history", "none", "--log", logPath, "--for",
                        "60"} +
            HomeSettings);
    ASSERT_TRUE(WaitUntil([&] {
        return cli.Subscribed() && cli.Has("connection", "state", "logged-in");
    })) << cli.Text();
    // The feed's connection events say whose they are; the cluster's stay as they were.
    int feedEvents = 0;
    int clusterEvents = 0;
    for (const auto &event : cli.Events("connection")) {
        feedEvents += event.value("source").toString() == "mqtt" ? 1 : 0;
        clusterEvents += event.contains("source") ? 0 : 1;
    }
    EXPECT_EQ(feedEvents, 3) << cli.Text();    // connecting, subscribing, subscribed
    EXPECT_EQ(clusterEvents, 2) << cli.Text(); // connecting, logged-in

    node.Replay({ClusterSpot}, 1);
    ASSERT_TRUE(WaitUntil([&] { return cli.Events("spot").size() == 1; })) << cli.Text();
    Publisher publisher(broker.Port());
    ASSERT_TRUE(publisher.Publish(StuttgartTopic,
                                  Report(201, "FT8", "IN80DO", "JN48QT", NowSeconds() - 10)));
    // The spot's line and its cloud's are written one after the other: wait for both.
    ASSERT_TRUE(WaitUntil([&] { return cli.Events("spot").size() == 2 && cli.CloudSpots(1) == 2; }))
        << cli.Text();

    // One cloud of the node's spot and the feed's report.
    const auto spots = cli.Events("spot");
    EXPECT_EQ(spots[0].value("raw").toString().right(static_cast<qsizetype>(strlen(ClusterSpot))),
              ClusterSpot);
    EXPECT_TRUE(spots[1].value("raw").toString().startsWith("MQTT "));
    EXPECT_EQ(spots[0].value("cloud").toInt(), 1);
    EXPECT_EQ(spots[1].value("cloud").toInt(), 1);
    EXPECT_EQ(cli.CloudSpots(1), 2);
    EXPECT_EQ(cli.CloudSpots(2), 0);

    cli.Process.terminate();
    ASSERT_TRUE(cli.Finish());
    EXPECT_EQ(cli.Process.exitCode(), 0);

    // Both kinds of line in one log, and --replay of it places the same one cloud.
    QProcess replay;
    replay.start(IONVANE_CLI, QStringList{"--replay", logPath} + HomeSettings);
    ASSERT_TRUE(replay.waitForFinished(20'000));
    const QByteArray replayed = replay.readAllStandardOutput();
    EXPECT_TRUE(replayed.contains("\"id\":1,\"state\":\"update\"")) << replayed.toStdString();
    EXPECT_FALSE(replayed.contains("\"id\":2,")) << replayed.toStdString();
    EXPECT_EQ(replayed.count("{\"event\":\"spot\""), 2);
}

// The first cloud event after the last spot event of `events`, without its event time and state:
// the cloud as the last spot left it.
QJsonObject CloudAfterLastSpot(const QList<QJsonObject> &events) {
    QJsonObject cloud;
    bool afterLastSpot = false;
    for (const auto &event : events) {
        const QString kind = event.value("event").toString();
        if (kind == "spot") {
            afterLastSpot = true;
            cloud = {};
        } else if (kind == "cloud" && afterLastSpot) {
            cloud = event;
            cloud.remove("time");
            cloud.remove("state");
            afterLastSpot = false;
        }
    }
    return cloud;
}

TEST(FeedCli, LateReportsCountAtTheirOwnTimes) {
    // Five 6 m reports of one cloud over southern France, of 14 to 2 minutes before now, published
    // now as a batch upload brings them: the one of 12 minutes ago after the one of 2 minutes ago.
    // The tracker's sums for late spots are its own tests'; here the reports' own times reach it.
    struct Late {
        long long AgoS;
        const char *From;
        const char *To;
    };
    const Late reports[] = {
        {14 * 60, "IN80DO", "JN47GJ"}, {10 * 60, "IN80DO", "JN57PG"}, {2 * 60, "IN80DO", "JN48QT"},
        {12 * 60, "IN80DO", "JN58TD"}, {6 * 60, "IM99TL", "JN48QT"},
    };
    LocalBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.Output();
    Cli cli(QStringList{"--mqtt", Address(broker.Port()), "--band", "6m", "--history", "none",
                        "--for", "60"} +
            HomeSettings);
    ASSERT_TRUE(WaitUntil([&] { return cli.Subscribed(); })) << cli.Text();
    Publisher publisher(broker.Port());
    ASSERT_TRUE(publisher.Connected());
    const long long now = NowSeconds();
    long long sequence = 301;
    for (const Late &report : reports) {
        const std::string topic = std::string("pskr/filter/v2/6m/FT8/EA4XXX/DL1XX/") + report.From +
                                  '/' + report.To + "/281/230";
        ASSERT_TRUE(publisher.Publish(
            topic, Report(sequence++, "FT8", report.From, report.To, now - report.AgoS, 50313000)));
    }
    ASSERT_TRUE(WaitUntil([&] { return cli.Events("spot").size() == std::ssize(reports); }))
        << cli.Text();
    const QJsonObject live = CloudAfterLastSpot(cli.Events());
    cli.Process.terminate();
    ASSERT_TRUE(cli.Finish());

    const auto text = [](const QJsonObject &o) {
        return QJsonDocument(o).toJson(QJsonDocument::Compact).toStdString();
    };
    // Placed at their own times: first seen 14 and last seen 2 minutes ago, and a drift over the
    // 12 minutes.
    EXPECT_EQ(live.value("spots").toInt(), 5) << text(live);
    EXPECT_EQ(live.value("firstSeen").toString().toStdString(), synthetic::TimeText(now - 14 * 60));
    EXPECT_EQ(live.value("lastSeen").toString().toStdString(), synthetic::TimeText(now - 2 * 60));
    EXPECT_TRUE(live.contains("drift")) << text(live);
}

// Exit 3 only when every source given was refused.
TEST(FeedCli, ExitThreeOnlyWhenEverySourceWasRefused) {
    {
        FakeBroker refusing(FakeBroker::Script::RefuseTopics);
        Cli cli(
            QStringList{"--mqtt", Address(refusing.Port()), "--history", "none", "--for", "60"} +
            HomeSettings);
        ASSERT_TRUE(cli.Finish()) << cli.Text();
        EXPECT_EQ(cli.Process.exitCode(), 3) << cli.Text();
        EXPECT_TRUE(cli.Has("connection", "state", "refused"));
    }
    {
        testing::FakeNodeScript script;
        script.Banned = {"DK7UK"};
        testing::FakeNode node(script);
        ASSERT_TRUE(node.Listen());
        FakeBroker refusing(FakeBroker::Script::RefuseTopics);
        Cli cli(QStringList{"--cluster", Address(node.Port()), "--call", "DK7UK", "--mqtt",
                            Address(refusing.Port()), "--history", "none", "--for", "60"} +
                HomeSettings);
        ASSERT_TRUE(cli.Finish()) << cli.Text();
        EXPECT_EQ(cli.Process.exitCode(), 3) << cli.Text();
    }
    {
        // The node refuses the call, the broker takes the topics: the feed goes on.
        testing::FakeNodeScript script;
        script.Banned = {"DK7UK"};
        testing::FakeNode node(script);
        ASSERT_TRUE(node.Listen());
        LocalBroker broker;
        ASSERT_TRUE(broker.Start()) << broker.Output();
        Cli cli(QStringList{"--cluster", Address(node.Port()), "--call", "DK7UK", "--mqtt",
                            Address(broker.Port()), "--history", "none", "--for", "60"} +
                HomeSettings);
        ASSERT_TRUE(WaitUntil([&] {
            return cli.Subscribed() && cli.Has("connection", "state", "refused");
        })) << cli.Text();
        Publisher publisher(broker.Port());
        ASSERT_TRUE(
            publisher.Publish(MunichTopic, Report(301, "FT8", "IN80DO", "JN58TD", NowSeconds())));
        ASSERT_TRUE(WaitUntil([&] { return cli.Events("spot").size() == 1; })) << cli.Text();
        EXPECT_EQ(cli.Process.state(), QProcess::Running);
        cli.Process.terminate();
        ASSERT_TRUE(cli.Finish());
        EXPECT_EQ(cli.Process.exitCode(), 0);
    }
}

TEST(FeedCli, TheHistoryBringsFeedReportsBackAtStart) {
    LocalBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.Output();
    QTemporaryDir dir;
    const QString store = dir.filePath("history.sqlite");
    const QStringList arguments =
        QStringList{"--mqtt", Address(broker.Port()), "--history", store, "--for", "60"} +
        HomeSettings;
    {
        Cli cli(arguments);
        ASSERT_TRUE(WaitUntil([&] { return cli.Subscribed(); })) << cli.Text();
        Publisher publisher(broker.Port());
        const long long sent = NowSeconds() - 60;
        ASSERT_TRUE(publisher.Publish(MunichTopic, Report(401, "FT8", "IN80DO", "JN58TD", sent)));
        ASSERT_TRUE(
            publisher.Publish(StuttgartTopic, Report(402, "FT8", "IN80DO", "JN48QT", sent)));
        ASSERT_TRUE(WaitUntil([&] { return cli.CloudSpots(1) == 2; })) << cli.Text();
        // Killed: what was received is in the store all the same.
        cli.Process.kill();
        ASSERT_TRUE(cli.Finish());
    }
    Cli again(arguments);
    ASSERT_TRUE(WaitUntil([&] { return again.Subscribed(); })) << again.Text();
    // The cloud first, with both reports, before any connection event.
    ASSERT_GE(again.Lines.size(), 3);
    const QJsonObject first = QJsonDocument::fromJson(again.Lines[0]).object();
    EXPECT_EQ(first.value("event").toString(), "cloud") << again.Text();
    EXPECT_EQ(first.value("spots").toInt(), 2);
    EXPECT_EQ(QJsonDocument::fromJson(again.Lines[1]).object().value("event").toString(),
              "verdict");
    again.Process.terminate();
    ASSERT_TRUE(again.Finish());
}

} // namespace
} // namespace ionvane::feed
