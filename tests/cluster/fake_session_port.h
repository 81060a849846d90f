// A cluster session machine on a port that stands in for the socket, the timers and the clocks,
// so every timing is checked exactly and nothing waits.
#pragma once

#include "cluster/session_machine.h"

#include <gtest/gtest.h>

#include <map>

namespace ionvane::cluster {
namespace {

using namespace std::chrono_literals;
using Kind = ConnectionEvent::Kind;

struct FakePort : SessionPort {
    int Opens = 0;
    int Closes = 0;
    std::string Sent;
    std::map<SessionTimer, Milliseconds> Running;
    std::map<SessionTimer, int> Starts;
    std::int64_t NowMs = 0;
    double Chance = 0;
    std::vector<ConnectionEvent> Events;
    std::vector<std::string> Lines;

    void Open() override { ++Opens; }
    void Close() override { ++Closes; }
    void Send(std::string_view bytes) override { Sent += bytes; }
    void StartTimer(SessionTimer timer, Milliseconds after) override {
        Running[timer] = after;
        ++Starts[timer];
    }
    void StopTimer(SessionTimer timer) override { Running.erase(timer); }
    std::int64_t SteadyMs() override { return NowMs; }
    double Random01() override { return Chance; }
    void Connection(const ConnectionEvent &event) override { Events.push_back(event); }
    void Line(std::string_view line) override { Lines.emplace_back(line); }

    [[nodiscard]] bool IsRunning(SessionTimer timer) const { return Running.contains(timer); }
    [[nodiscard]] std::vector<Kind> Kinds() const {
        std::vector<Kind> kinds;
        for (const auto &event : Events) {
            kinds.push_back(event.What);
        }
        return kinds;
    }
};

inline SessionConfig Config(std::string password = {}) {
    SessionConfig config;
    config.Node = "127.0.0.1:7300";
    config.Call = "DK7UK";
    config.Password = std::move(password);
    config.Commands = {"set/nobeep", "accept/spots on vhf"};
    return config;
}

struct Session {
    explicit Session(SessionConfig config = Config()) : Machine(std::move(config), Port) {}
    // Connects and logs in with the most common node's greeting.
    void LogIn() {
        Machine.Start();
        Machine.Connected();
        Machine.Received("login: ");
        Machine.Received("Hello Ham, this is DB0XYZ\r\n");
        ASSERT_EQ(Machine.State(), SessionState::LoggedIn);
    }
    // Fires a timer that must be running.
    void Fire(SessionTimer timer) {
        ASSERT_TRUE(Port.IsRunning(timer));
        Port.NowMs += Port.Running[timer].count();
        Port.Running.erase(timer);
        Machine.TimerFired(timer);
    }
    FakePort Port;
    SessionMachine Machine;
};

} // namespace
} // namespace ionvane::cluster
