// The cluster session over TCP against the fake node on 127.0.0.1, and ionvane-cli --cluster as a
// process. Every wait is bounded; timeouts and back-off are shortened to milliseconds.
#include "cluster/cluster_session.h"
#include "cluster/core_dumps.h"
#include "tests/fakenode/fake_node.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace ionvane::cluster {
namespace {

using namespace std::chrono_literals;
using testing::FakeNode;
using testing::FakeNodeScript;
using testing::Greeting;
using Kind = ConnectionEvent::Kind;

// Waits, running the event loop, until `done` or the bound; returns `done()`.
bool WaitUntil(const std::function<bool()> &done, int boundMs = 10'000) {
    QDeadlineTimer deadline(boundMs);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return done();
}

SessionTimings ShortTimings() {
    SessionTimings t;
    t.Connect = 5'000ms;
    t.Login = 5'000ms;
    t.KeepAlive = 60'000ms;
    t.Retry.FirstMin = 50ms;
    t.Retry.FirstMax = 100ms;
    t.Retry.Longest = 400ms;
    return t;
}

struct Live {
    explicit Live(FakeNodeScript script, std::string password = {},
                  SessionTimings timings = ShortTimings())
        : Node(std::move(script)) {
        EXPECT_TRUE(Node.Listen());
        SessionConfig config;
        config.Node = "fake";
        config.Call = "DK7UK";
        config.Password = std::move(password);
        config.Commands = {"set/nobeep", "accept/spots on vhf"};
        config.Timings = timings;
        SessionClock clock = SessionClock::System();
        clock.Random01 = [] { return 0.0; };
        Session = std::make_unique<ClusterSession>("127.0.0.1", Node.Port(), config, clock);
        QObject::connect(
            Session.get(), &ClusterSession::connectionChanged,
            [this](const QDateTime &, const ConnectionEvent &e) { Events.push_back(e); });
        QObject::connect(
            Session.get(), &ClusterSession::lineReceived,
            [this](const QDateTime &, const std::string &line) { Lines.push_back(line); });
    }
    int Count(Kind kind) const {
        return static_cast<int>(std::count_if(Events.begin(), Events.end(),
                                              [&](const auto &e) { return e.What == kind; }));
    }
    std::vector<QByteArray> SentLines() const {
        std::vector<QByteArray> sent;
        for (const auto &received : Node.ReceivedLines()) {
            sent.push_back(received.Line);
        }
        return sent;
    }
    FakeNode Node;
    std::unique_ptr<ClusterSession> Session;
    std::vector<ConnectionEvent> Events;
    std::vector<std::string> Lines;
};

struct WireLoginCase {
    const char *Name;
    Greeting Greet;
    QByteArray Password;
};

TEST(ClusterLiveTest, LogsInToEachNodeTypeThroughSplitWritesAndTelnetOptions) {
    const std::vector<WireLoginCase> cases = {
        {"login:", Greeting::Login, ""},
        {"please enter your call", Greeting::PleaseEnterCall, ""},
        {"call:", Greeting::CallColon, ""},
        {"login: and password", Greeting::Login, "s3cret"},
        {"please enter your call and password", Greeting::PleaseEnterCall, "s3cret"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        FakeNodeScript script;
        script.Greet = c.Greet;
        script.Password = c.Password;
        script.TelnetOptions = true;
        script.SplitWrites = true;
        Live live(script, c.Password.toStdString());
        live.Session->Start();
        ASSERT_TRUE(WaitUntil([&] { return live.Node.ReceivedLines().size() >= 3; }));
        std::vector<QByteArray> expected = {"DK7UK"};
        if (!c.Password.isEmpty()) {
            expected.push_back(c.Password);
        }
        expected.insert(expected.end(), {"set/nobeep", "accept/spots on vhf"});
        ASSERT_TRUE(WaitUntil([&] { return live.SentLines().size() == expected.size(); }));
        EXPECT_EQ(live.SentLines(), expected);
        EXPECT_EQ(live.Node.TelnetReceived(), QByteArray("\xff\xfc\x18\xff\xfe\x01\xff\xfc\x1f"));
        EXPECT_EQ(live.Session->State(), SessionState::LoggedIn);
        EXPECT_EQ(live.Count(Kind::LoggedIn), 1);
    }
}

// A node that offers and withdraws options without end and never reads: the answers waiting for it
// stay bounded, as the session drops it before the storm (32 MiB) is over, and backs off.
TEST(ClusterLiveTest, ANodeThatNeverReadsTheAnswersIsDropped) {
    FakeNodeScript script;
    script.StormOptions = true;
    Live live(script);
    live.Session->Start();
    ASSERT_TRUE(WaitUntil([&] { return live.Count(Kind::Waiting) == 1; }, 30'000));
    ASSERT_EQ(live.Events[1].What, Kind::Lost);
    EXPECT_NE(live.Events[1].Detail.find("misbehaving"), std::string::npos);
}

// "caf\xff\xfa" from a node that does not escape 0xFF starts no subnegotiation that keeps the
// spots after it (fewer bytes than the bound of one) from being read.
TEST(ClusterLiveTest, AStrayTelnetPairInATalkLineStallsNothing) {
    Live live(FakeNodeScript{});
    live.Session->Start();
    ASSERT_TRUE(WaitUntil([&] { return live.Node.ClientLoggedIn(); }));
    live.Node.SendLines({"To ALL de G4ABC: caf\xff\xfa",
                         "DX de G4ABC: 50110.0 EA5XX JN48QT<ES>IM98",
                         "DX de G4ABC: 50111.0 EA5XX JN48QT<ES>IM98"});
    EXPECT_TRUE(
        WaitUntil([&] { return live.Lines.back().starts_with("DX de G4ABC: 50111"); }, 2'000));
}

#ifdef __linux__
TEST(ClusterLiveTest, NoCoreDumpOnceAPasswordIsHeld) {
    prctl(PR_SET_DUMPABLE, 1, 0, 0, 0);
    Live with(FakeNodeScript{}, "s3cret");
    EXPECT_FALSE(MayDumpCore());
}
#endif

TEST(ClusterLiveTest, LinesArriveCleanedWhateverTheSplits) {
    FakeNodeScript script;
    script.SplitWrites = true;
    script.Seed = 7;
    Live live(script);
    live.Session->Start();
    ASSERT_TRUE(WaitUntil([&] { return live.Node.ClientLoggedIn(); }));
    live.Node.Send("DX de G4ABC:     50110.0  OH7AB        IO91<ES>KP32 599   1730Z JO01\a\a\r\n"
                   "\x1b[1;31mDX de F5ABC:     70160.0  GB3RAL  IO91<ES>JN03   2015Z\x1b[0m\r\n"
                   "\xff\xfb\x03To ALL de DL1ABC: Es!\r\n");
    ASSERT_TRUE(
        WaitUntil([&] { return !live.Lines.empty() && live.Lines.back().starts_with("To ALL"); }));
    const std::vector<std::string> tail(live.Lines.end() - 3, live.Lines.end());
    EXPECT_EQ(tail, (std::vector<std::string>{
                        "DX de G4ABC:     50110.0  OH7AB        IO91<ES>KP32 599   1730Z JO01",
                        "DX de F5ABC:     70160.0  GB3RAL  IO91<ES>JN03   2015Z",
                        "To ALL de DL1ABC: Es!"}));
}

TEST(ClusterLiveTest, ADroppedSessionComesBackAfterItsBackOff) {
    Live live(FakeNodeScript{});
    live.Session->Start();
    ASSERT_TRUE(WaitUntil([&] { return live.Node.ClientLoggedIn(); }));
    live.Node.Drop();
    ASSERT_TRUE(WaitUntil([&] { return live.Count(Kind::LoggedIn) == 2; }));
    EXPECT_EQ(live.Node.Connections(), 2);
    std::vector<Kind> kinds;
    for (const auto &e : live.Events) {
        kinds.push_back(e.What);
    }
    EXPECT_EQ(kinds, (std::vector{Kind::Connecting, Kind::LoggedIn, Kind::Lost, Kind::Waiting,
                                  Kind::Connecting, Kind::LoggedIn}));
    EXPECT_EQ(live.Events[3].RetryIn, 50ms);
    // The commands go again after the new login.
    ASSERT_TRUE(WaitUntil([&] { return live.SentLines().size() == 6; }));
    EXPECT_EQ(live.Node.ReceivedLines().back().Connection, 2);
    EXPECT_EQ(live.Node.ReceivedLines().back().Line, "accept/spots on vhf");
}

TEST(ClusterLiveTest, ARefusedConnectIsRetriedUntilTheNodeListens) {
    Live live(FakeNodeScript{});
    const quint16 port = live.Node.Port();
    live.Node.StopListening();
    live.Session->Start();
    // The waits themselves are the retry policy's; here the socket's refusal leads to them.
    ASSERT_TRUE(WaitUntil([&] { return live.Count(Kind::Waiting) == 2; }));
    ASSERT_TRUE(live.Node.Listen(port));
    ASSERT_TRUE(WaitUntil([&] { return live.Count(Kind::LoggedIn) == 1; }));
}

struct WireRefusalCase {
    const char *Name;
    QByteArray Banned;
    QByteArray NodePassword;
    std::string Password;
    bool Bump;
    Refusal Expect;
};

TEST(ClusterLiveTest, TheThreeRefusalsNeverReconnect) {
    const std::vector<WireRefusalCase> cases = {
        {"invalid call", "DK7UK", "", "", false, Refusal::InvalidCall},
        {"wrong password", "", "right", "wrong", false, Refusal::BadPassword},
        {"bumped", "", "", "", true, Refusal::Bumped},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        FakeNodeScript script;
        if (!c.Banned.isEmpty()) {
            script.Banned = {c.Banned};
        }
        script.Password = c.NodePassword;
        Live live(script, c.Password);
        live.Session->Start();
        if (c.Bump) {
            ASSERT_TRUE(WaitUntil([&] { return live.Node.ClientLoggedIn(); }));
            live.Node.Bump();
        }
        ASSERT_TRUE(WaitUntil([&] { return live.Count(Kind::Refused) == 1; }));
        EXPECT_EQ(live.Events.back().Why, c.Expect);
        // Ten times the longest back-off: no new connect.
        WaitUntil([] { return false; }, 1'000);
        EXPECT_EQ(live.Node.Connections(), 1);
        EXPECT_EQ(live.Session->State(), SessionState::Refused);
        EXPECT_EQ(live.Events.back().What, Kind::Refused);
    }
}

TEST(ClusterLiveTest, KeepAliveGoesToASilentNode) {
    FakeNodeScript script;
    script.Silent = true;
    SessionTimings timings = ShortTimings();
    timings.KeepAlive = 100ms;
    Live live(script, {}, timings);
    live.Session->Start();
    ASSERT_TRUE(WaitUntil([&] { return live.SentLines().size() >= 4; }));
    EXPECT_EQ(live.SentLines()[3], "");
    // The silent node answers no keep-alive: after two the connection counts as lost.
    ASSERT_TRUE(WaitUntil([&] { return live.Count(Kind::Lost) == 1; }));
    EXPECT_EQ(live.Events[2].Detail, "no answer from the node to 2 keep-alives");
}

} // namespace
} // namespace ionvane::cluster

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
