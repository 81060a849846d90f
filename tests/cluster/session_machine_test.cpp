// The cluster session machine step by step: logging in, the commands after it, telnet options,
// stopping and lines split anywhere.
#include "fake_session_port.h"

#include <algorithm>

namespace ionvane::cluster {
namespace {

struct LoginCase {
    const char *Name;
    std::vector<std::string> Chunks; // what the node sends up to its welcome
    std::string Password;
    std::string ExpectSent;
};

TEST(SessionMachineTest, LogsInThroughEachFormOfPrompt) {
    const std::vector<LoginCase> cases = {
        {"login without line end", {"login: ", "Hello\r\n"}, "", "DK7UK\r\n"},
        {"upper-case login", {"LOGIN:", "Hello\r\n"}, "", "DK7UK\r\n"},
        {"please enter your call",
         {"Welcome to DB0XYZ\r\nPlease enter your call: ", "Hello\r\n"},
         "",
         "DK7UK\r\n"},
        {"call:", {"\r\ncall: ", "Hello\r\n"}, "", "DK7UK\r\n"},
        {"callsign: on a line of its own", {"Callsign:\r\n", "Hello\r\n"}, "", "DK7UK\r\n"},
        {"password", {"login: ", "password: ", "Hello\r\n"}, "s3cret", "DK7UK\r\ns3cret\r\n"},
        {"password after an echo of the call",
         {"login: ", "DK7UK\r\n", "Password:", "Hello\r\n"},
         "s3cret",
         "DK7UK\r\ns3cret\r\n"},
        {"node prompt without line end", {"login: ", "DK7UK de DB0XYZ >"}, "", "DK7UK\r\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        SessionConfig config = Config(c.Password);
        config.Commands.clear();
        Session s(config);
        s.Machine.Start();
        s.Machine.Connected();
        for (const auto &chunk : c.Chunks) {
            EXPECT_NE(s.Machine.State(), SessionState::LoggedIn);
            s.Machine.Received(chunk);
        }
        EXPECT_EQ(s.Machine.State(), SessionState::LoggedIn);
        EXPECT_EQ(s.Port.Sent, c.ExpectSent);
        EXPECT_EQ(s.Port.Kinds(), (std::vector{Kind::Connecting, Kind::LoggedIn}));
        EXPECT_FALSE(s.Port.IsRunning(SessionTimer::Login));
    }
}

TEST(SessionMachineTest, AnEchoedPasswordIsNeverPassedOn) {
    Session s(Config("s3cret"));
    s.Machine.Start();
    s.Machine.Connected();
    s.Machine.Received("login: ");
    s.Machine.Received("DK7UK\r\npassword: ");
    s.Machine.Received("s3cret\r\nPassword: S3CRET \r\n");
    EXPECT_EQ(s.Machine.State(), SessionState::PasswordSent);
    s.Machine.Received("Hello Ham\r\npassword:s3Cret\t\r\nS3CRET\r\n");
    EXPECT_EQ(s.Machine.State(), SessionState::LoggedIn);
    EXPECT_EQ(s.Port.Lines,
              (std::vector<std::string>{"login:", "DK7UK", "password:", "Hello Ham"}));
}

TEST(SessionMachineTest, SendsTheCommandsAfterLoginInTheirOrder) {
    Session s;
    s.Machine.Start();
    s.Machine.Connected();
    s.Machine.Received("login: ");
    EXPECT_EQ(s.Port.Sent, "DK7UK\r\n");
    s.Machine.Received("Hello Ham\r\n");
    EXPECT_EQ(s.Port.Sent, "DK7UK\r\nset/nobeep\r\naccept/spots on vhf\r\n");
}

TEST(SessionMachineTest, AnswersAPromptOnceAndLogsIt) {
    Session s;
    s.Machine.Start();
    s.Machine.Connected();
    s.Machine.Received("log");
    s.Machine.Received("in: ");
    s.Machine.Received("\r\n");
    EXPECT_EQ(s.Port.Sent, "DK7UK\r\n");
    EXPECT_EQ(s.Port.Lines, (std::vector<std::string>{"login:"}));
}

TEST(SessionMachineTest, RefusesTelnetOptionsAndRemovesThemFromLines) {
    Session s;
    s.Machine.Start();
    s.Machine.Connected();
    s.Machine.Received("\xff\xfd\x18\xff\xfb\x01login: ");
    EXPECT_EQ(s.Port.Sent, "\xff\xfc\x18\xff\xfe\x01"
                           "DK7UK\r\n");
}

TEST(SessionMachineTest, StopEndsEverything) {
    Session s;
    s.LogIn();
    s.Machine.Stop();
    EXPECT_EQ(s.Machine.State(), SessionState::Stopped);
    EXPECT_TRUE(s.Port.Running.empty());
    s.Machine.Failed("closed");
    s.Machine.Received("DX de G4ABC: 50110.0 OH7AB IO91<ES>KP32 1730Z\r\n");
    EXPECT_EQ(s.Port.Kinds(), (std::vector{Kind::Connecting, Kind::LoggedIn}));
}

// The node's bytes cut in two at every place, and in three at every pair of places: the same
// lines, the same answers, the same login. The node's own pauses stay: it says nothing after
// "login: " and "password: " until it has the answer.
TEST(SessionMachineTest, ALineSplitAnywhereReadsTheSame) {
    const std::vector<std::string> phases = {
        "\xff\xfb\x01\xff\xfa\x18\x01\xff\xf0login: ", "password: ",
        "Hello Ham\r\n"
        "DX de G4ABC:     50110.0  OH7AB   IO91<ES>KP32 599  1730Z\a\a\r\n"
        "\x1b[1;31mDX de F5ABC: 70160.0 GB3RAL IO91<ES>JN03 2015Z\x1b[0m\r\n"
        "DK7UK de DB0XYZ >"};
    std::string stream;
    std::vector<std::size_t> pauses;
    for (const auto &phase : phases) {
        stream += phase;
        pauses.push_back(stream.size());
    }
    const auto run = [&](const std::vector<std::size_t> &cuts) {
        Session s(Config("pw"));
        s.Machine.Start();
        s.Machine.Connected();
        std::vector<std::size_t> ends = cuts;
        ends.insert(ends.end(), pauses.begin(), pauses.end());
        std::sort(ends.begin(), ends.end());
        std::size_t from = 0;
        for (const std::size_t end : ends) {
            s.Machine.Received(stream.substr(from, end - from));
            from = end;
        }
        return std::make_pair(s.Port.Lines, s.Port.Sent);
    };
    const auto whole = run({});
    EXPECT_EQ(whole.first,
              (std::vector<std::string>{"login:", "password:", "Hello Ham",
                                        "DX de G4ABC:     50110.0  OH7AB   IO91<ES>KP32 599  1730Z",
                                        "DX de F5ABC: 70160.0 GB3RAL IO91<ES>JN03 2015Z"}));
    EXPECT_EQ(whole.second, "\xff\xfe\x01"
                            "DK7UK\r\npw\r\nset/nobeep\r\naccept/spots on vhf\r\n");
    for (std::size_t i = 0; i <= stream.size(); ++i) {
        ASSERT_EQ(run({i}), whole) << "cut at " << i;
        for (std::size_t j = i; j <= stream.size(); j += 3) {
            ASSERT_EQ(run({i, j}), whole) << "cuts at " << i << " and " << j;
        }
    }
}

} // namespace
} // namespace ionvane::cluster
