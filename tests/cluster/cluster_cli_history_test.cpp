// ionvane-cli --cluster and its history store: the clouds back after a crash, listed spots counted
// once across a restart, the per-user store, and an unreadable store moved aside.
#include "cluster_cli_fixture.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <map>

namespace ionvane::cluster {
namespace {

// An opening over two places: three spots whose path centres lie over southern Scandinavia and two
// over the Alps, some 1,200 km apart: two clouds.
const QList<QByteArray> OpeningLines = {
    "DX de G4ABC:     50110.0  OH7AB        IO91<ES>KP32 599  1730Z",
    "DX de EA3XX:     50313.0  DL7XX        JN11<ES>JO62 FT8  1731Z",
    "DX de G3XYZ:     50150.0  OH2AB        IO92<ES>KP31 559  1731Z",
    "DX de EA3YY:     50313.0  DL1XX        JN12<ES>JO52 FT8  1732Z",
    "DX de G8ABC:     50125.0  OH8AB        IO81<ES>KP22 539  1732Z",
};

struct CloudSeen {
    QString Centre;
    double LatDeg = 0;
    double LonDeg = 0;
    int Spots = 0;
};

// Each cloud as its last event shows it, by id.
std::map<int, CloudSeen> LastCloudStates(const Cli &cli) {
    std::map<int, CloudSeen> clouds;
    for (const auto &event : cli.Events("cloud")) {
        clouds[event.value("id").toInt()] =
            CloudSeen{event.value("centre").toString(), event.value("latDeg").toDouble(),
                      event.value("lonDeg").toDouble(), event.value("spots").toInt()};
    }
    return clouds;
}

int SpotsInClouds(const Cli &cli) {
    int spots = 0;
    for (const auto &[id, cloud] : LastCloudStates(cli)) {
        spots += cloud.Spots;
    }
    return spots;
}

// Killed in the middle of a session, the command line restores the clouds from its history store
// at the next start, before the node has said a word.
TEST(ClusterCliTest, TheCloudsComeBackAfterACrash) {
    QTemporaryDir dir;
    const QString store = dir.filePath("history.sqlite");
    std::map<int, CloudSeen> before;
    {
        FakeNode node;
        ASSERT_TRUE(node.Listen());
        node.Replay(OpeningLines, 20);
        Cli cli(QStringList{"--cluster", QString("127.0.0.1:%1").arg(node.Port()), "--call",
                            "DK7UK", "--history", store, "--for", "60"} +
                HomeSettings);
        ASSERT_TRUE(WaitFor([&] { return SpotsInClouds(cli) == 5; }))
            << cli.Lines.join('\n').toStdString();
        ::kill(static_cast<pid_t>(cli.Process.processId()), SIGKILL);
        ASSERT_TRUE(cli.Finish());
        EXPECT_EQ(cli.Process.exitStatus(), QProcess::CrashExit);
        for (const auto &spot : cli.Events("spot")) {
            EXPECT_EQ(spot.value("classification").toString(), "es");
            EXPECT_EQ(spot.value("band").toString(), "6m");
            EXPECT_TRUE(spot.value("cloud").isDouble());
        }
        before = LastCloudStates(cli);
    }
    ASSERT_EQ(before.size(), 2U);

    FakeNode silent;
    ASSERT_TRUE(silent.Listen());
    Cli cli(QStringList{"--cluster", QString("127.0.0.1:%1").arg(silent.Port()), "--call", "DK7UK",
                        "--history", store, "--for", "60"} +
            HomeSettings);
    ASSERT_TRUE(WaitFor([&] { return cli.Count("verdict") == 1; }))
        << cli.Lines.join('\n').toStdString();
    // The clouds, then the verdict through them, ahead of the session's first event.
    const auto events = cli.Events();
    ASSERT_GE(events.size(), 3);
    EXPECT_EQ(events.at(0).value("event").toString(), "cloud");
    EXPECT_EQ(events.at(1).value("event").toString(), "cloud");
    EXPECT_EQ(events.at(2).value("event").toString(), "verdict");
    EXPECT_EQ(events.at(2).value("home").toString(), "IO90IR");
    const auto after = LastCloudStates(cli);
    ASSERT_EQ(after.size(), 2U);
    // Ids may differ after a restart; positions and spot counts may not.
    const auto byCentre = [](const std::map<int, CloudSeen> &clouds) {
        std::map<QString, CloudSeen> sorted;
        for (const auto &[id, cloud] : clouds) {
            sorted[cloud.Centre] = cloud;
        }
        return sorted;
    };
    const auto expected = byCentre(before);
    const auto restored = byCentre(after);
    ASSERT_EQ(restored.size(), 2U);
    for (const auto &[centre, cloud] : expected) {
        SCOPED_TRACE(centre.toStdString());
        ASSERT_EQ(restored.count(centre), 1U);
        EXPECT_NEAR(restored.at(centre).LatDeg, cloud.LatDeg, 1e-9);
        EXPECT_NEAR(restored.at(centre).LonDeg, cloud.LonDeg, 1e-9);
        EXPECT_EQ(restored.at(centre).Spots, cloud.Spots);
    }
    EXPECT_EQ(expected.begin()->second.Spots + std::next(expected.begin())->second.Spots, 5);
    cli.Process.terminate();
    ASSERT_TRUE(cli.Finish());
    EXPECT_EQ(cli.Process.exitCode(), 0);
}

// The last spots a node lists at each login (sh/dx), and one of them again as a CC11 line: each
// counted once, across a restart too; one listed 20 minutes late places nothing.
TEST(ClusterCliTest, ListedSpotsAreCountedOnceAcrossARestart) {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const auto at = [&now](int minutesAgo, const char *form) {
        return now.addSecs(-60 * minutesAgo).toString(form).toLatin1();
    };
    FakeNodeScript script;
    for (const int ago : {2, 3, 20}) {
        script.Listing << "  70200.0 EI9ZZE       " + at(ago, "d-MMM-yyyy HHmm") +
                              "Z IO63<ES>JN58 4m   <PA0T" + QByteArray::number(ago) + ">";
    }
    const QByteArray cc11 = "CC11^70200.0^EI9ZZE^ " + at(2, "d-MMM-yyyy^HHmm") +
                            "Z^IO63<ES>JN58 4m^PA0T2^142^139^GB7TST^15^11^27^14^^^^^^JO22";
    QTemporaryDir dir;
    for (const int run : {1, 2}) {
        SCOPED_TRACE(run);
        FakeNode node(script);
        ASSERT_TRUE(node.Listen());
        Cli cli(QStringList{"--cluster", QString("127.0.0.1:%1").arg(node.Port()), "--call",
                            "DK7UK", "--send", "sh/dx 5", "--history",
                            dir.filePath("history.sqlite"), "--for", "60"} +
                HomeSettings);
        ASSERT_TRUE(WaitFor([&] { return cli.Count("skipped") == (run == 1 ? 1 : 3); }));
        node.SendLines({cc11});
        ASSERT_TRUE(WaitFor([&] { return cli.Count("skipped") == (run == 1 ? 2 : 4); }));
        EXPECT_EQ(cli.Count("spot"), run == 1 ? 2 : 0);
        const QString reasons = cli.Text().c_str();
        EXPECT_EQ(reasons.count("\"already counted\""), run == 1 ? 1 : 3);
        EXPECT_EQ(reasons.count("\"older than 15 minutes\""), 1);
        cli.Process.terminate();
        ASSERT_TRUE(cli.Finish());
    }
}

// Without --history the store is the per-user one; --history none makes none.
TEST(ClusterCliTest, TheStoreIsPerUserUnlessNone) {
    for (const bool none : {false, true}) {
        SCOPED_TRACE(none);
        FakeNode node;
        ASSERT_TRUE(node.Listen());
        Cli cli(QStringList{"--cluster", QString("127.0.0.1:%1").arg(node.Port()), "--call",
                            "DK7UK", "--for", "60"} +
                (none ? QStringList{"--history", "none"} : QStringList{}) + HomeSettings);
        ASSERT_TRUE(WaitFor([&] { return cli.Count("connection", "logged-in") == 1; }));
        node.SendLines({OpeningLines.first()});
        ASSERT_TRUE(WaitFor([&] { return cli.Count("cloud") == 1; }));
        cli.Process.terminate();
        ASSERT_TRUE(cli.Finish());
        QStringList stores;
        QDirIterator it(cli.Home.path(), {"history.sqlite"}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            stores.append(QDir(cli.Home.path()).relativeFilePath(it.next()));
        }
        EXPECT_EQ(stores, none ? QStringList{} : QStringList{"data/Ionvane/history.sqlite"});
    }
}

// A store that is no database is moved aside with a message, and the session runs with a new one.
TEST(ClusterCliTest, AnUnreadableStoreIsMovedAside) {
    QTemporaryDir dir;
    const QString store = dir.filePath("history.sqlite");
    QFile garbage(store);
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(4096, 'x'));
    garbage.close();
    FakeNode node;
    ASSERT_TRUE(node.Listen());
    Cli cli(QStringList{"--cluster", QString("127.0.0.1:%1").arg(node.Port()), "--call", "DK7UK",
                        "--history", store, "--for", "60"} +
            HomeSettings);
    ASSERT_TRUE(WaitFor([&] { return cli.Count("connection", "logged-in") == 1; }));
    node.SendLines({OpeningLines.first()});
    ASSERT_TRUE(WaitFor([&] { return cli.Count("cloud") == 1; }));
    cli.Process.terminate();
    ASSERT_TRUE(cli.Finish());
    EXPECT_EQ(cli.Process.exitCode(), 0);
    const QString err = QString::fromUtf8(cli.Process.readAllStandardError());
    EXPECT_TRUE(err.contains("moved aside to " + store + ".broken-")) << err.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList({"history.sqlite.broken-*"}).size(), 1);
}

} // namespace
} // namespace ionvane::cluster
