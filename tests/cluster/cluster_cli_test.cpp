// ionvane-cli --cluster as a process against the fake node: events, the same results as --spot,
// exit codes, a complete log after SIGTERM, a session that comes back after a drop.
#include "tests/cli_process.h"
#include "tests/fakenode/fake_node.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <map>

namespace ionvane::cluster {
namespace {

using testing::FakeNode;
using testing::FakeNodeScript;

bool WaitFor(const std::function<bool()> &done, int boundMs = 20'000) {
    QDeadlineTimer deadline(boundMs);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return done();
}

const QStringList HomeSettings = {"--home", "IO90IR", "--es-layer", "110", "--masl", "150"};

using Cli = testing::CliProcess;

QList<QByteArray> CaptureLines() {
    QFile file(IONVANE_TEST_DATA "/cluster_session.txt");
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QList<QByteArray> lines;
    for (const auto &line : file.readAll().split('\n')) {
        if (!line.isEmpty()) {
            lines.append(line);
        }
    }
    // A beeping node and a colouring one.
    lines.append("DX de OH2XX:     50125.0  SV1XX        KP20<ES>KM18 big signals  1744Z\a\a");
    lines.append("\x1b[32mDX de EA3XX:     50313.0  DL7XX        JN11<ES>JO62 FT8  1745Z\x1b[0m");
    return lines;
}

// The JSON text of "result": the last member of a spot event.
QByteArray ResultText(const QByteArray &eventLine) {
    const QByteArray key = "\"result\":";
    const auto at = eventLine.indexOf(key);
    return at < 0 ? QByteArray()
                  : eventLine.mid(at + key.size(), eventLine.size() - at - key.size() - 1);
}

TEST(ClusterCliTest, EverySpotGivesTheResultOfSpotJson) {
    FakeNodeScript script;
    script.SplitWrites = true;
    script.TelnetOptions = true;
    // The node's prompt without a line end: the first spot runs on after it.
    script.PromptLineEnd = false;
    FakeNode node(script);
    ASSERT_TRUE(node.Listen());
    node.Replay(QList<QByteArray>{"DX de OK1XX:     50110.0  OH7AB        JO70<ES>KP32  1730Z"} +
                    CaptureLines(),
                2);
    Cli cli(QStringList{"--cluster", QString("127.0.0.1:%1").arg(node.Port()), "--call", "dk7uk",
                        "--for", "60", "--locale", "pl_PL"} +
            HomeSettings);
    // 8 spots and 3 skipped lines (no locator, one locator, tagged AU).
    ASSERT_TRUE(WaitFor([&] { return cli.Count("spot") + cli.Count("skipped") == 11; }))
        << cli.Lines.join('\n').toStdString();
    EXPECT_EQ(cli.Count("spot"), 8);
    EXPECT_EQ(cli.Events("spot").first().value("raw").toString(),
              "DK7UK de FAKE0 14-Jun-2026 1158Z dxspider >DX de OK1XX:     50110.0  OH7AB        "
              "JO70<ES>KP32  1730Z");
    EXPECT_EQ(cli.Count("connection", "logged-in"), 1);
    for (const auto &line : cli.Lines) {
        const QJsonObject event = QJsonDocument::fromJson(line).object();
        EXPECT_TRUE(QRegularExpression(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ$)")
                        .match(event.value("time").toString())
                        .hasMatch())
            << line.toStdString();
        if (event.value("event").toString() != "spot") {
            continue;
        }
        const QString raw = event.value("raw").toString();
        EXPECT_FALSE(raw.contains('\a') || raw.contains('\x1b')) << raw.toStdString();
        QProcess spot;
        spot.start(IONVANE_CLI,
                   QStringList{"--spot", raw, "--json", "--locale", "pl_PL"} + HomeSettings);
        ASSERT_TRUE(spot.waitForFinished(10'000));
        EXPECT_EQ(ResultText(line), spot.readAllStandardOutput().trimmed()) << raw.toStdString();
    }
    cli.Process.terminate();
    ASSERT_TRUE(cli.Finish());
    EXPECT_EQ(cli.Process.exitCode(), 0);
}

// Ends a session with a spot stream under way by `signal`: exit 0 and every line in the log.
void EndBySignal(int signal) {
    FakeNode node;
    ASSERT_TRUE(node.Listen());
    QList<QByteArray> lines;
    for (int i = 0; i < 2000; ++i) {
        // Each at its own frequency: the same spot twice is counted once.
        lines.append("DX de G4ABC:     " + QByteArray::number(50000 + i / 10) + "." +
                     QByteArray::number(i % 10) + "  OH7AB        IO91<ES>KP32  1730Z");
    }
    node.Replay(lines, 1);
    QTemporaryDir dir;
    const QString logPath = dir.filePath("session.log");
    Cli cli(QStringList{"--cluster", QString("127.0.0.1:%1").arg(node.Port()), "--call", "DK7UK",
                        "--log", logPath} +
            HomeSettings);
    ASSERT_TRUE(WaitFor([&] { return cli.Count("spot") >= 20; }));
    ::kill(static_cast<pid_t>(cli.Process.processId()), signal);
    ASSERT_TRUE(cli.Finish());
    EXPECT_EQ(cli.Process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(cli.Process.exitCode(), 0);
    // Every line given an event is in the log, whole, with its time.
    QFile log(logPath);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QByteArray content = log.readAll();
    ASSERT_TRUE(content.endsWith('\n'));
    const QRegularExpression form(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ\t[^\t\r\n]+$)");
    QList<QByteArray> logged;
    for (const auto &line : content.chopped(1).split('\n')) {
        EXPECT_TRUE(form.match(QString::fromUtf8(line)).hasMatch()) << line.toStdString();
        logged.append(line.mid(line.indexOf('\t') + 1));
    }
    const auto spots = cli.Events("spot");
    ASSERT_GE(spots.size(), 20);
    for (const auto &spot : spots) {
        EXPECT_TRUE(logged.contains(spot.value("raw").toString().toUtf8()));
    }
    // The last spot printed is in the log too.
    EXPECT_TRUE(logged.contains(lines.at(static_cast<qsizetype>(spots.size()) - 1)));
}

TEST(ClusterCliTest, SigtermAndSigintLeaveACompleteLog) {
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        EndBySignal(signal);
    }
}

struct RefusalCase {
    const char *Name;
    QByteArray Banned;
    QByteArray NodePassword;
    QStringList Extra;
    bool Bump;
    testing::CallAnswer Answer = testing::CallAnswer::Welcome;
};

TEST(ClusterCliTest, ARefusalEndsWithExitThreeAndNoReconnect) {
    const std::vector<RefusalCase> cases = {
        {"invalid call", "DK7UK", "", {}, false},
        {"wrong password", "", "right", {"--password", "wrong"}, false},
        {"bumped", "", "", {}, true},
        {"on another port", "", "", {}, false, testing::CallAnswer::OtherPort},
        {"a node's call", "", "", {}, false, testing::CallAnswer::NodeCall},
        // Closed twice in a row right after the call, the first back-off (5 to 10 s) between.
        {"locked out", "", "", {}, false, testing::CallAnswer::LockedOut},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        FakeNodeScript script;
        if (!c.Banned.isEmpty()) {
            script.Banned = {c.Banned};
        }
        script.Password = c.NodePassword;
        script.Answer = c.Answer;
        FakeNode node(script);
        ASSERT_TRUE(node.Listen());
        Cli cli(
            QStringList{"--cluster", QString("127.0.0.1:%1").arg(node.Port()), "--call", "DK7UK"} +
            c.Extra + HomeSettings);
        if (c.Bump) {
            ASSERT_TRUE(WaitFor([&] { return cli.Count("connection", "logged-in") == 1; }));
            node.Bump();
        }
        ASSERT_TRUE(cli.Finish()) << cli.Text();
        EXPECT_EQ(cli.Process.exitCode(), 3);
        ASSERT_FALSE(cli.Lines.isEmpty());
        EXPECT_EQ(cli.Events().last().value("state").toString(), "refused");
        EXPECT_EQ(node.Connections(), c.Answer == testing::CallAnswer::LockedOut ? 2 : 1);
    }
}

TEST(ClusterCliTest, UsageErrorsExitTwo) {
    const std::vector<QStringList> cases = {
        {"--cluster", "127.0.0.1"},
        {"--cluster", "127.0.0.1:0", "--call", "DK7UK"},
        {"--cluster", "127.0.0.1:65536", "--call", "DK7UK"},
        {"--cluster", ":7300", "--call", "DK7UK"},
        {"--cluster", "127.0.0.1", "--call", "DK7UK\r\nsh/dx"},
        {"--cluster", "127.0.0.1", "--call", "DK7UK", "--send", "set/nobeep\nbye"},
        {"--cluster", "127.0.0.1", "--call", "DK7UK", "--for", "0"},
        {"--cluster", "127.0.0.1", "--call", "DK7UK", "--for", "soon"},
        {"--cluster", "127.0.0.1", "--call", "DK7UK", "--masl", "0"},
        {"--cluster", "127.0.0.1", "--call", "DK7UK", "--spot", "x"},
    };
    for (const auto &arguments : cases) {
        Cli cli(arguments);
        ASSERT_TRUE(cli.Finish());
        EXPECT_EQ(cli.Process.exitCode(), 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(cli.Lines.isEmpty());
    }
}

// With the live back-off (5 to 10 s for the first try): the session is back well within 30 s.
TEST(ClusterCliTest, ADroppedSessionComesBackAndGoesOn) {
    FakeNode node;
    ASSERT_TRUE(node.Listen());
    Cli cli(QStringList{"--cluster", QString("127.0.0.1:%1").arg(node.Port()), "--call", "DK7UK",
                        "--for", "60", "--send", "set/nobeep"} +
            HomeSettings);
    ASSERT_TRUE(WaitFor([&] { return cli.Count("connection", "logged-in") == 1; }));
    node.Drop();
    ASSERT_TRUE(WaitFor([&] { return cli.Count("connection", "waiting") == 1; }));
    const int retryIn = cli.Events("connection").last().value("retryInSeconds").toInt();
    EXPECT_GE(retryIn, 5);
    EXPECT_LE(retryIn, 10);
    ASSERT_TRUE(WaitFor([&] { return cli.Count("connection", "logged-in") == 2; }, 30'000));
    node.SendLines({"DX de G4ABC:     50110.0  OH7AB        IO91<ES>KP32 599  1730Z"});
    ASSERT_TRUE(WaitFor([&] { return cli.Count("spot") == 1; }));
    // The command may reach the node after the spot reached the command line.
    ASSERT_TRUE(WaitFor([&] { return node.ReceivedLines().last().Line == "set/nobeep"; }));
    EXPECT_EQ(node.ReceivedLines().last().Connection, 2);
    cli.Process.terminate();
    ASSERT_TRUE(cli.Finish());
    EXPECT_EQ(cli.Process.exitCode(), 0);
}

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
