// The live core's recording rule, its word on a failing store, and the one place that decides a
// source has ended for good, shared by every front end: a refusal ends a source and lets it go (no
// retry), a node that cannot be reached is tried again.
#include "live/live_core.h"

#include "../full_disk.h"
#include "tests/fakenode/fake_node.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QUdpSocket>

#include <gtest/gtest.h>

namespace ionvane::live {
namespace {

constexpr UnixSeconds T0 = 1781431200; // 2026-06-14T10:00:00Z

CoreSetup HomeSetup(history::HistoryStore *store) {
    CoreSetup setup;
    setup.Store = store;
    setup.Format = calc::PlainNumberFormat();
    setup.Home = tracker::HomeSettings{"IO90IR", 110.0F, 0.15F};
    setup.NowUtc = [] { return T0; };
    return setup;
}

TEST(LiveCore, ReportsAreStoredAtReceiptAndTheirSpotsAtTheirOwnTime) {
    // A feed report decoded at T0 and received ten minutes later, and a spot a node sends in the
    // CC11 form six minutes after its own time: each line at its receipt, each spot at its own
    // time (the command line once stored a report's spot at its receipt, the window the report
    // itself at its decode time).
    QTemporaryDir dir;
    history::HistoryStore store(dir.filePath("history.sqlite"), T0);
    LiveCore core(HomeSetup(&store));
    core.UseStore();
    feed::ReportReader reader;
    core.FeedReport(feed::ReportEvent(
        reader, feed::Seconds(std::chrono::seconds(T0 + 600)),
        "pskr/filter/v2/6m/FT8/EA4XXX/DL1XX/IN80DO/JN58TD/0/0",
        R"({"sq":7,"f":50313000,"md":"FT8","rp":-12,"t":1781431200,"sc":"EA4XXX","sl":"IN80DO",)"
        R"("rc":"DL1XX","rl":"JN58TD","b":"6m"})"));
    core.ClusterLine(T0 + 660,
                     "CC11^144174.0^S51ABC^14-Jun-2026^1005Z^JO01MM<ES>JN75EX^DK7UK^^JO90");
    const auto lines = store.LinesSince(0);
    ASSERT_EQ(lines.size(), 2U);
    EXPECT_EQ(lines[0].Time, T0 + 600);
    EXPECT_EQ(lines[1].Time, T0 + 660);
    const auto spots = store.SpotsSince(0);
    ASSERT_EQ(spots.size(), 2U);
    EXPECT_EQ(spots[0].Time, T0);
    EXPECT_EQ(spots[1].Time, T0 + 300);
}

TEST(LiveCore, AFullDiskIsSaidOnceAndTheSessionGoesOn) {
    QTemporaryDir dir;
    history::HistoryStore store(dir.filePath("history.sqlite"), T0);
    LiveCore core(HomeSetup(&store));
    std::vector<StoreProblem> problems;
    int spots = 0;
    core.Subscribe(&core, [&](const LiveEvent &event) {
        if (const auto *problem = std::get_if<StoreProblem>(&event)) {
            problems.push_back(*problem);
        }
        spots += std::holds_alternative<SpotTaken>(event) ? 1 : 0;
    });
    core.UseStore();
    {
        const ionvane::testing::FullDisk full;
        for (int i = 0; i < 3; ++i) {
            core.ClusterLine(T0 + i, "DX de G4ABC:     50100.0  S51ABC  IO90IR<ES>JN77EX 1000Z");
        }
    }
    ASSERT_EQ(problems.size(), 1U);
    EXPECT_EQ(problems[0].What, StoreProblem::Kind::Write);
    EXPECT_EQ(problems[0].Message.rfind("Writing the history failed", 0), 0U)
        << problems[0].Message;
    EXPECT_EQ(spots, 3);
}

// A store another program locked once held each line 4 s and lost some: the lines wait, the ageing
// tick writes them in order once it is free, and the front ends hear it once each way.
TEST(LiveCore, ALockedStoreHoldsNoLineUpAndLosesNone) {
    QTemporaryDir dir;
    const QString path = dir.filePath("history.sqlite");
    history::HistoryStore store(path, T0);
    LiveCore core(HomeSetup(&store));
    std::vector<StoreProblem::Kind> said;
    core.Subscribe(&core, [&](const LiveEvent &event) {
        if (const auto *problem = std::get_if<StoreProblem>(&event)) {
            said.push_back(problem->What);
        }
    });
    core.UseStore();
    {
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other program");
        other.setDatabaseName(path);
        ASSERT_TRUE(other.open() && QSqlQuery(other).exec("BEGIN EXCLUSIVE"));
        for (int i = 0; i < 20; ++i) {
            core.ClusterLine(T0 + i * i, std::to_string(i));
        }
        other.close();
    }
    QSqlDatabase::removeDatabase("other program");
    core.AgeTo(T0 + 430);
    EXPECT_EQ(said, (std::vector{StoreProblem::Kind::Busy, StoreProblem::Kind::Free}));
    const auto lines = store.LinesSince(0);
    ASSERT_EQ(lines.size(), 20U);
    EXPECT_EQ(lines[19].Time, T0 + 19 * 19);
    EXPECT_EQ(lines[19].Line, "19");
}

// Bounded: the refusals come within a second; 10 s covers a sanitizer build on a busy machine.
constexpr qint64 LongestWaitMs = 10'000;

struct Case {
    const char *Name;
    std::function<void(LiveCore &core, quint16 port)> Start;
    quint16 Port;
    LineSource From;
    bool Ended;
};

TEST(SourceState, ARefusedSourceEndsForGoodAndAnUnreachableOneIsTriedAgain) {
    // The node answers the call as to a second login; nothing listens on the closed port; another
    // program holds the WSJT-X port.
    ionvane::testing::FakeNodeScript script;
    script.Answer = ionvane::testing::CallAnswer::OtherPort;
    ionvane::testing::FakeNode node(script);
    ASSERT_TRUE(node.Listen());
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const quint16 closedPort = closed.serverPort();
    closed.close();
    QUdpSocket holder;
    ASSERT_TRUE(holder.bind(QHostAddress::LocalHost, 0));
    const auto cluster = [](LiveCore &core, quint16 port) {
        cluster::SessionConfig config;
        config.Call = "DK7UK";
        core.StartCluster("127.0.0.1", port, config);
    };
    const Case cases[] = {
        {"refused by the node", cluster, node.Port(), LineSource::Cluster, true},
        {"no node on the port", cluster, closedPort, LineSource::Cluster, false},
        {"the WSJT-X port taken",
         [](LiveCore &core, quint16 port) { core.StartWsjtx(QString("127.0.0.1:%1").arg(port)); },
         holder.localPort(), LineSource::Wsjtx, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        CoreSetup setup;
        setup.Home = tracker::HomeSettings{"IO90IR", 110.0F, 0.15F};
        setup.NowUtc = [] { return tracker::UnixSeconds{1781431200}; };
        LiveCore core(std::move(setup));
        std::vector<SourceState> states;
        core.Subscribe(&core, [&](const LiveEvent &event) {
            if (const auto *state = std::get_if<SourceState>(&event)) {
                states.push_back(*state);
            }
        });
        c.Start(core, c.Port);
        // Until the source ended, or the node's closed port brought a wait for the next try.
        const auto settled = [&] {
            return std::any_of(states.begin(), states.end(), [](const SourceState &state) {
                const auto *heard = std::get_if<ClusterConnection>(&state.News);
                return state.Ended ||
                       (heard != nullptr &&
                        heard->Event.What == cluster::ConnectionEvent::Kind::Waiting);
            });
        };
        QElapsedTimer waited;
        waited.start();
        while (!settled() && waited.elapsed() < LongestWaitMs) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        }
        ASSERT_TRUE(settled());
        EXPECT_EQ(states.back().From, c.From);
        EXPECT_EQ(states.back().Ended, c.Ended);
        EXPECT_EQ(std::count_if(states.begin(), states.end(),
                                [](const SourceState &state) { return state.Ended; }),
                  c.Ended ? 1 : 0);
        const CoreSnapshot now = core.Snapshot();
        EXPECT_EQ(now.ClusterRunning || now.WsjtxRunning, !c.Ended);
        core.StopAll();
    }
}

} // namespace
} // namespace ionvane::live

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
