// How a cluster session ends and comes back: refusals, lock-outs, keep-alive, timeouts, the retry
// and its back-off.
#include "fake_session_port.h"

namespace ionvane::cluster {
namespace {

struct RefusalCase {
    const char *Name;
    std::string Password;
    std::vector<std::string> Chunks;
    bool CloseAtEnd;
    Refusal Expect;
};

TEST(SessionMachineTest, RefusalsEndTheSessionWithoutRetry) {
    const std::vector<RefusalCase> cases = {
        {"invalid call",
         "",
         {"login: ", "Sorry N0CALL is an invalid callsign\r\n"},
         true,
         Refusal::InvalidCall},
        {"call asked again", "", {"login: ", "login: "}, false, Refusal::InvalidCall},
        {"wrong password",
         "pw",
         {"login: ", "password: ", "Sorry, password incorrect\r\n"},
         true,
         Refusal::BadPassword},
        {"password asked again",
         "pw",
         {"login: ", "password: ", "\r\npassword: "},
         false,
         Refusal::BadPassword},
        {"closed after the password", "pw", {"login: ", "password: "}, true, Refusal::BadPassword},
        {"password asked, none given", "", {"login: ", "password: "}, false, Refusal::BadPassword},
        {"bumped",
         "",
         {"login: ", "Hello\r\n", "DX de G4ABC: 50110.0 OH7AB IO91<ES>KP32 1730Z\r\n",
          "Reconnected as DK7UK at 10.0.0.2, this instance is disconnected\r\n"},
         true,
         Refusal::Bumped},
        {"on another port",
         "",
         {"login: ", "Sorry DK7UK you are connected to me on another port\r\n"},
         true,
         Refusal::AnotherPort},
        {"a node's call",
         "",
         {"login: ", "0\r\n", "PC18^DXSpider Version: 1.57^\r\n"},
         false,
         Refusal::NodeCall},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        SessionConfig config = Config(c.Password);
        Session s(config);
        s.Machine.Start();
        s.Machine.Connected();
        for (const auto &chunk : c.Chunks) {
            s.Machine.Received(chunk);
        }
        if (c.CloseAtEnd) {
            s.Machine.Failed("The remote host closed the connection");
        }
        ASSERT_EQ(s.Machine.State(), SessionState::Refused);
        ASSERT_FALSE(s.Port.Events.empty());
        EXPECT_EQ(s.Port.Events.back().What, Kind::Refused);
        EXPECT_EQ(s.Port.Events.back().Why, c.Expect);
        EXPECT_TRUE(s.Port.Running.empty());
        // Nothing the socket reports afterwards brings a retry.
        s.Machine.Failed("The remote host closed the connection");
        s.Machine.TimerFired(SessionTimer::Retry);
        EXPECT_EQ(s.Port.Opens, 1);
        EXPECT_EQ(s.Port.Events.back().What, Kind::Refused);
    }
}

// A locked-out call: the node closes right after the call, without a word, at every try. One close
// may be a node restart; the second in a row ends the session.
TEST(SessionMachineTest, ClosedRightAfterTheCallTwiceInARowIsALockOut) {
    Session s;
    s.Machine.Start();
    // Closed after the call, a connect refused (the node restarting), closed after the call twice.
    for (const bool afterCall : {true, false, true, true}) {
        if (s.Machine.State() == SessionState::Waiting) {
            s.Fire(SessionTimer::Retry);
        }
        if (afterCall) {
            s.Machine.Connected();
            s.Machine.Received("login: ");
            s.Machine.Received("DK7UK\r\n"); // the echo is no greeting
        }
        // The socket reports a close twice: as an error and as the disconnect.
        s.Machine.Failed("The remote host closed the connection");
        s.Machine.Failed("the node closed the connection");
    }
    EXPECT_EQ(s.Port.Opens, 4);
    EXPECT_EQ(s.Port.Events.back().Why, Refusal::LockedOut);
    EXPECT_EQ(s.Port.Events.back().Detail, "closed right after the call: is the call locked out?");
}

TEST(SessionMachineTest, TalkQuotingTheBumpNoticeIsNoBump) {
    Session s;
    s.LogIn();
    s.Machine.Received("DL1ABC de DK7UK: Reconnected as DK7UK, this instance is disconnected?\r\n");
    s.Machine.Received("To ALL de DL1ABC: invalid callsign again, password incorrect\r\n");
    EXPECT_EQ(s.Machine.State(), SessionState::LoggedIn);
}

TEST(SessionMachineTest, KeepAliveAfterFourMinutesWithoutALine) {
    Session s;
    s.LogIn();
    EXPECT_EQ(s.Port.Running.at(SessionTimer::KeepAlive), 240'000ms);
    const std::string sentAtLogin = s.Port.Sent;
    // Every line from the node starts the four minutes again.
    const int startsBefore = s.Port.Starts[SessionTimer::KeepAlive];
    s.Machine.Received("DX de G4ABC: 50110.0 OH7AB IO91<ES>KP32 1730Z\r\n");
    EXPECT_EQ(s.Port.Starts[SessionTimer::KeepAlive], startsBefore + 1);
    EXPECT_EQ(s.Port.Sent, sentAtLogin);
    s.Fire(SessionTimer::KeepAlive);
    EXPECT_EQ(s.Port.Sent, sentAtLogin + "\r\n");
    EXPECT_EQ(s.Port.Running.at(SessionTimer::KeepAlive), 240'000ms);
    // The node's prompt answers it (no line end, so no line): the connection lives.
    s.Machine.Received("DK7UK de DB0XYZ >");
    s.Fire(SessionTimer::KeepAlive);
    s.Fire(SessionTimer::KeepAlive);
    EXPECT_EQ(s.Port.Sent, sentAtLogin + "\r\n\r\n\r\n");
    EXPECT_EQ(s.Machine.State(), SessionState::LoggedIn);
    // Two keep-alives in a row unanswered: the connection is dead.
    s.Fire(SessionTimer::KeepAlive);
    EXPECT_EQ(s.Machine.State(), SessionState::Waiting);
    EXPECT_EQ(s.Port.Events[s.Port.Events.size() - 2].Detail,
              "no answer from the node to 2 keep-alives");
}

TEST(SessionMachineTest, ConnectAndLoginTimeoutsLoseTheConnection) {
    Session s;
    s.Machine.Start();
    EXPECT_EQ(s.Port.Running.at(SessionTimer::Connect), 15'000ms);
    s.Fire(SessionTimer::Connect);
    EXPECT_EQ(s.Port.Kinds(), (std::vector{Kind::Connecting, Kind::Lost, Kind::Waiting}));
    EXPECT_EQ(s.Port.Events[1].Detail, "no connection within 15 s");
    EXPECT_EQ(s.Port.Closes, 1);
    s.Fire(SessionTimer::Retry);
    s.Machine.Connected();
    EXPECT_FALSE(s.Port.IsRunning(SessionTimer::Connect));
    EXPECT_EQ(s.Port.Running.at(SessionTimer::Login), 60'000ms);
    s.Machine.Received("Welcome, but no prompt\r\n");
    s.Fire(SessionTimer::Login);
    EXPECT_EQ(s.Port.Events[4].Detail, "no login within 60 s");
    EXPECT_TRUE(s.Port.IsRunning(SessionTimer::Retry));
}

// Every failure path arms the retry: a refused connect (reported by the socket's error only), a
// close during the login, a drop while logged in.
TEST(SessionMachineTest, EveryFailurePathArmsTheRetry) {
    Session s;
    s.Machine.Start();
    s.Machine.Failed("Connection refused");
    EXPECT_TRUE(s.Port.IsRunning(SessionTimer::Retry));
    s.Fire(SessionTimer::Retry);
    s.Machine.Connected();
    s.Machine.Received("login: ");
    s.Machine.Failed("The remote host closed the connection");
    EXPECT_TRUE(s.Port.IsRunning(SessionTimer::Retry));
    s.Fire(SessionTimer::Retry);
    s.Machine.Connected();
    s.Machine.Received("login: ");
    s.Machine.Received("Hello\r\n");
    ASSERT_EQ(s.Machine.State(), SessionState::LoggedIn);
    s.Machine.Failed("The remote host closed the connection");
    // The socket reports a close twice (error and disconnected): one loss, one retry.
    s.Machine.Failed("the node closed the connection");
    EXPECT_EQ(s.Port.Opens, 3);
    EXPECT_EQ(
        s.Port.Kinds(),
        (std::vector{Kind::Connecting, Kind::Lost, Kind::Waiting, Kind::Connecting, Kind::Lost,
                     Kind::Waiting, Kind::Connecting, Kind::LoggedIn, Kind::Lost, Kind::Waiting}));
}

// The waits are the retry policy's (proven by numbers in its own test): the machine passes its
// clock and random number, counts each connect as a try and its login as the session up.
TEST(SessionMachineTest, WaitsWhatTheRetryPolicySays) {
    Session s;
    s.Port.Chance = 0.5;
    s.Machine.Start();
    s.Machine.Failed("Connection refused");
    EXPECT_EQ(s.Port.Events.back().RetryIn, 7'500ms);
    s.Fire(SessionTimer::Retry);
    s.Machine.Connected();
    s.Machine.Received("login: ");
    s.Machine.Received("Hello\r\n");
    // Lost a minute after the login: a good session, the first step again.
    s.Port.NowMs += 60'000;
    s.Machine.Failed("The remote host closed the connection");
    EXPECT_EQ(s.Port.Events.back().RetryIn, 7'500ms);
}

} // namespace
} // namespace ionvane::cluster
