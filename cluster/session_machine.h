// The cluster session as a state machine: connect, log in, stay logged in, and after a lost
// connection wait and try again, with every failure path ending in a known state. It owns no
// socket, timer or clock: the SessionPort it is given does the outside work, so tests drive it step
// by step and the live session (ClusterSession) wires it to a QTcpSocket and QTimers.
#pragma once

#include "line_splitter.h"
#include "node_text.h"
#include "telnet_filter.h"

#include "retry/retry_policy.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace ionvane::cluster {

using Milliseconds = std::chrono::milliseconds;

/// How long the session waits for each thing. The defaults are the live ones; tests shorten them.
struct SessionTimings {
    /// A node that does not answer the TCP connect within 15 s is taken as unreachable.
    Milliseconds Connect{15'000};
    /// Nodes wait 60 s for the call at their login prompt; the client waits as long for the login.
    Milliseconds Login{60'000};
    /// Keep-alive after 4 minutes without a line: node operators ask for no more than one every few
    /// minutes, since each empty line makes the node print its prompt.
    Milliseconds KeepAlive{240'000};
    /// The back-off after a loss; a session counts as up once logged in.
    retry::RetryTimings Retry;
};

/// Most bytes left waiting to be written to a node, past what the socket itself holds: 16 KiB
/// are over 5,000 telnet answers, where an honest node negotiates a handful of options once. A
/// node that asks faster than it reads would otherwise fill the memory with answers.
constexpr std::size_t MaxUnsentBytes = 16384;

/// Two keep-alives in a row with no byte back mean a dead connection (a half-open TCP link gives no
/// error of its own).
constexpr int MaxUnansweredKeepAlives = 2;

/// A node closes a locked-out call's connection right after the call, without a word; once may be
/// a node restart, twice in a row is taken as the lock-out.
constexpr int MaxClosedAfterCall = 2;

enum class SessionState {
    Idle,           ///< not started
    Connecting,     ///< TCP connect under way
    AwaitingPrompt, ///< connected, waiting for the node to ask for the call
    CallSent,       ///< call sent, waiting for the password prompt or the welcome
    PasswordSent,   ///< password sent, waiting for the welcome
    LoggedIn,       ///< reading the node's lines
    Waiting,        ///< connection lost, waiting for the next try
    Refused,        ///< ended by the node: invalid call, wrong password, bumped ...; no retry
    Stopped,        ///< ended by the user
};

enum class SessionTimer { Connect, Login, KeepAlive, Retry };

/// A change of the connection that the user is told about.
struct ConnectionEvent {
    enum class Kind { Connecting, LoggedIn, Lost, Waiting, Refused };
    Kind What = Kind::Connecting;
    std::string Detail;
    Refusal Why = Refusal::None; ///< with Refused
    Milliseconds RetryIn{0};     ///< with Waiting
};

/// The outside world of the machine.
class SessionPort {
  public:
    virtual ~SessionPort() = default;
    virtual void Open() = 0;  ///< start connecting; report Connected or Failed later
    virtual void Close() = 0; ///< abort the connection; reports nothing back
    virtual void Send(std::string_view bytes) = 0;
    virtual std::size_t UnsentBytes() { return 0; } ///< sent but not yet written to the node
    virtual void StartTimer(SessionTimer timer, Milliseconds after) = 0; ///< restarts it if running
    virtual void StopTimer(SessionTimer timer) = 0;
    virtual std::int64_t SteadyMs() = 0; ///< a monotonic clock in ms
    virtual double Random01() = 0;       ///< uniform in [0, 1)
    virtual void Connection(const ConnectionEvent &event) = 0;
    virtual void Line(std::string_view line) = 0; ///< a cleaned, non-empty received line
};

struct SessionConfig {
    std::string Node; ///< "host:port", for the user's messages
    std::string Call;
    std::string Password; ///< empty when the node asks for none
    std::vector<std::string> Commands;
    SessionTimings Timings;
};

class SessionMachine {
  public:
    SessionMachine(SessionConfig config, SessionPort &port);

    // Events from the outside, each a transition or nothing in states where it means nothing.
    void Start();
    void Stop();
    void Connected();
    void Received(std::string_view bytes);
    void Failed(std::string_view detail); ///< connect failed or connection lost
    void TimerFired(SessionTimer timer);

    [[nodiscard]] SessionState State() const { return Current; }

  private:
    void BeginConnect();
    void SendCall();
    void SendPassword();
    void EnterLoggedIn();
    void SendKeepAlive();
    void Lose(std::string_view detail);
    void Refuse(Refusal why, std::string_view detail);
    void End(SessionState final);

    void HandleLine(const std::string &line);
    void HandleTail();
    void TakeTailAsLine(const std::string &tail);
    [[nodiscard]] bool IsEcho(std::string_view line) const;
    [[nodiscard]] bool IsPasswordEcho(std::string_view line) const;
    void StopAllTimers();

    SessionConfig Config;
    SessionPort &Port;
    SessionState Current = SessionState::Idle;
    TelnetFilter Telnet;
    LineSplitter Splitter;
    retry::RetryPolicy Retries;
    int UnansweredKeepAlives = 0;
    int ClosedAfterCall = 0; ///< connections in a row closed right after the call
};

} // namespace ionvane::cluster
