// Whether a source has ended for good is decided in the live core alone, for every source: a
// refusal ends it and lets it go (no retry), a node that cannot be reached is tried again.
#include "live/live_core.h"

#include "tests/fakenode/fake_node.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QUdpSocket>

#include <gtest/gtest.h>

namespace ionvane::live {
namespace {

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
