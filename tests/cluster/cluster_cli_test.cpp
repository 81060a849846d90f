// ionvane-cli --cluster as a process against the fake node: events, the same results as --spot,
// exit codes, a complete log after SIGTERM, a session that comes back after a drop.
#include "cluster_cli_fixture.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

namespace ionvane::cluster {
namespace {

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
    // Calls are not placed here: --spot places none, and its result is compared.
    Cli cli(QStringList{"--cluster", QString("127.0.0.1:%1").arg(node.Port()), "--call", "dk7uk",
                        "--for", "60", "--locale", "pl_PL", "--cty", "none", "--no-grid-memory"} +
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

// The command line's side of a refusal: the live core ends the source for good (each refusal of
// the node is told apart in the session's own tests), and with no source left the run ends.
TEST(ClusterCliTest, ARefusalEndsWithExitThreeAndNoReconnect) {
    FakeNodeScript script;
    script.Answer = testing::CallAnswer::OtherPort;
    FakeNode node(script);
    ASSERT_TRUE(node.Listen());
    Cli cli(QStringList{"--cluster", QString("127.0.0.1:%1").arg(node.Port()), "--call", "DK7UK"} +
            HomeSettings);
    ASSERT_TRUE(cli.Finish()) << cli.Text();
    EXPECT_EQ(cli.Process.exitCode(), 3);
    ASSERT_FALSE(cli.Lines.isEmpty());
    EXPECT_EQ(cli.Events().last().value("state").toString(), "refused");
    EXPECT_EQ(node.Connections(), 1);
}

// --password shows in every user's process list; IONVANE_PASSWORD does not. The option wins.
TEST(ClusterCliTest, ThePasswordMayComeFromTheEnvironment) {
    for (const QStringList &option : {QStringList{}, QStringList{"--password", "right"}}) {
        FakeNodeScript script;
        script.Password = "right";
        FakeNode node(script);
        ASSERT_TRUE(node.Listen());
        Cli cli(
            QStringList{"--cluster", QString("127.0.0.1:%1").arg(node.Port()), "--call", "DK7UK"} +
                option + HomeSettings,
            option.isEmpty() ? "right" : "wrong");
        EXPECT_TRUE(WaitFor([&] { return cli.Count("connection", "logged-in") == 1; }))
            << cli.Text();
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

} // namespace
} // namespace ionvane::cluster
