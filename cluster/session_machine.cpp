#include "session_machine.h"

#include "calc/ascii.h"
#include "spot/line_text.h"
#include "spot/node_spot.h"

#include <algorithm>
#include <cmath>

namespace ionvane::cluster {

namespace {

constexpr std::string_view LineEnd = "\r\n";

bool IsFinal(SessionState state) {
    return state == SessionState::Refused || state == SessionState::Stopped;
}

bool IsOpen(SessionState state) {
    return state == SessionState::Connecting || state == SessionState::AwaitingPrompt ||
           state == SessionState::CallSent || state == SessionState::PasswordSent ||
           state == SessionState::LoggedIn;
}

std::string Seconds(Milliseconds duration) {
    return std::to_string((duration.count() + 999) / 1000) + " s";
}

} // namespace

SessionMachine::SessionMachine(SessionConfig config, SessionPort &port)
    : Config(std::move(config)), Port(port), Retries(Config.Timings.Retry) {}

void SessionMachine::Start() {
    if (Current == SessionState::Idle) {
        BeginConnect();
    }
}

void SessionMachine::Stop() {
    if (!IsFinal(Current)) {
        End(SessionState::Stopped);
    }
}

void SessionMachine::BeginConnect() {
    Current = SessionState::Connecting;
    Telnet = TelnetFilter();
    Splitter = LineSplitter();
    UnansweredKeepAlives = 0;
    Retries.Tried(Port.SteadyMs());
    Port.Connection({ConnectionEvent::Kind::Connecting, Config.Node, Refusal::None, {}});
    Port.StartTimer(SessionTimer::Connect, Config.Timings.Connect);
    Port.Open();
}

void SessionMachine::Connected() {
    if (Current != SessionState::Connecting) {
        return;
    }
    Current = SessionState::AwaitingPrompt;
    Port.StopTimer(SessionTimer::Connect);
    Port.StartTimer(SessionTimer::Login, Config.Timings.Login);
}

void SessionMachine::SendCall() {
    Current = SessionState::CallSent;
    Port.Send(Config.Call + std::string(LineEnd));
}

void SessionMachine::SendPassword() {
    Current = SessionState::PasswordSent;
    Port.Send(Config.Password + std::string(LineEnd));
}

void SessionMachine::EnterLoggedIn() {
    Current = SessionState::LoggedIn;
    ClosedAfterCall = 0;
    Retries.Up(Port.SteadyMs());
    Port.StopTimer(SessionTimer::Login);
    Port.Connection(
        {ConnectionEvent::Kind::LoggedIn, Config.Node + " as " + Config.Call, Refusal::None, {}});
    // The user's commands (filters, "set/ve7cc" ...) in their order, once per login: the node
    // keeps them in the user's profile, but some need them again after a node restart.
    for (const auto &command : Config.Commands) {
        if (Current != SessionState::LoggedIn) {
            return;
        }
        Port.Send(command + std::string(LineEnd));
    }
    Port.StartTimer(SessionTimer::KeepAlive, Config.Timings.KeepAlive);
}

void SessionMachine::SendKeepAlive() {
    if (UnansweredKeepAlives >= MaxUnansweredKeepAlives) {
        Lose("no answer from the node to " + std::to_string(MaxUnansweredKeepAlives) +
             " keep-alives");
        return;
    }
    ++UnansweredKeepAlives;
    Port.Send(LineEnd);
    Port.StartTimer(SessionTimer::KeepAlive, Config.Timings.KeepAlive);
}

void SessionMachine::Received(std::string_view bytes) {
    if (!IsOpen(Current) || Current == SessionState::Connecting || bytes.empty()) {
        return;
    }
    UnansweredKeepAlives = 0;
    std::string data;
    std::string replies;
    Telnet.Feed(bytes, data, replies);
    if (!replies.empty()) {
        Port.Send(replies);
        if (Port.UnsentBytes() > MaxUnsentBytes) {
            Lose("the node sends telnet requests without reading the answers; dropped as "
                 "misbehaving");
            return;
        }
    }
    std::vector<std::string> lines;
    Splitter.Feed(data, lines);
    for (const auto &raw : lines) {
        HandleLine(spot::CleanLine(raw));
        if (!IsOpen(Current)) {
            return;
        }
    }
    HandleTail();
}

void SessionMachine::HandleLine(const std::string &line) {
    if (Current == SessionState::LoggedIn) {
        Port.StartTimer(SessionTimer::KeepAlive, Config.Timings.KeepAlive);
    }
    if (line.empty() || IsPasswordEcho(line)) {
        return;
    }
    Port.Line(line);
    if (SaysBumped(line)) {
        Refuse(Refusal::Bumped, line);
        return;
    }
    if (SaysAnotherPort(line)) {
        Refuse(Refusal::AnotherPort, line);
        return;
    }
    // Nodes speak this protocol to nodes only: the call is a node's, whatever came before.
    if (spot::IsNodeProtocolLine(line)) {
        Refuse(Refusal::NodeCall,
               "this call is known to the node as a cluster node; use your own call");
        return;
    }
    const Prompt prompt = PromptIn(line);
    switch (Current) {
    case SessionState::AwaitingPrompt:
        if (SaysInvalidCall(line)) {
            Refuse(Refusal::InvalidCall, line);
        } else if (prompt == Prompt::Call) {
            SendCall();
        }
        break;
    case SessionState::CallSent:
        if (SaysInvalidCall(line)) {
            Refuse(Refusal::InvalidCall, line);
        } else if (prompt == Prompt::Call) {
            Refuse(Refusal::InvalidCall, "the node asked for the call again: " + line);
        } else if (prompt == Prompt::Password) {
            if (Config.Password.empty()) {
                Refuse(Refusal::BadPassword, "the node asks for a password and none was given");
            } else {
                SendPassword();
            }
        } else if (!IsEcho(line)) {
            EnterLoggedIn();
        }
        break;
    case SessionState::PasswordSent:
        if (SaysBadPassword(line) || prompt == Prompt::Password) {
            Refuse(Refusal::BadPassword, line);
        } else if (!IsEcho(line)) {
            EnterLoggedIn();
        }
        break;
    default:
        break;
    }
}

// A node that echoes what is typed sends the password back, bare or after its prompt, in another
// case or with blanks ("Password: s3cret ", "S3CRET"): it never reaches a log or the history.
// Right after the password, any line holding it is its echo.
bool SessionMachine::IsPasswordEcho(std::string_view line) const {
    if (Config.Password.empty()) {
        return false;
    }
    const std::string password = calc::UpperCaseAscii(Config.Password);
    const std::size_t at = calc::UpperCaseAscii(line).find(password);
    if (at == std::string::npos) {
        return false;
    }
    const auto blank = [](std::string_view text) {
        return std::all_of(text.begin(), text.end(), [](char c) { return calc::IsAsciiSpace(c); });
    };
    const std::string_view before = line.substr(0, at);
    return Current == SessionState::PasswordSent ||
           (blank(line.substr(at + password.size())) &&
            (blank(before) || PromptIn(before) == Prompt::Password));
}

// A node that echoes what is typed sends the call back as a line of its own.
bool SessionMachine::IsEcho(std::string_view line) const {
    const std::string upper = calc::UpperCaseAscii(line);
    return upper == calc::UpperCaseAscii(Config.Call);
}

// Prompts come without a line end: the node waits after "login: ". A prompt answered is logged as
// a line of its own and taken out of the carry-over, so that it is answered once.
void SessionMachine::TakeTailAsLine(const std::string &tail) {
    Splitter.DropTail();
    std::string_view prompt = tail;
    while (!prompt.empty() && (prompt.back() == ' ' || prompt.back() == '\t')) {
        prompt.remove_suffix(1);
    }
    Port.Line(prompt);
}

void SessionMachine::HandleTail() {
    if (Splitter.Tail().empty() || Current == SessionState::LoggedIn) {
        return;
    }
    const std::string tail = spot::CleanLine(Splitter.Tail());
    const Prompt prompt = PromptIn(tail);
    switch (Current) {
    case SessionState::AwaitingPrompt:
        if (prompt == Prompt::Call) {
            TakeTailAsLine(tail);
            SendCall();
        }
        break;
    case SessionState::CallSent:
        if (prompt == Prompt::Password) {
            TakeTailAsLine(tail);
            if (Config.Password.empty()) {
                Refuse(Refusal::BadPassword, "the node asks for a password and none was given");
            } else {
                SendPassword();
            }
        } else if (prompt == Prompt::Call) {
            TakeTailAsLine(tail);
            Refuse(Refusal::InvalidCall, "the node asked for the call again: " + tail);
        } else if (IsCommandPrompt(tail)) {
            EnterLoggedIn();
        }
        break;
    case SessionState::PasswordSent:
        if (prompt == Prompt::Password) {
            TakeTailAsLine(tail);
            Refuse(Refusal::BadPassword, "the node asked for the password again");
        } else if (IsCommandPrompt(tail)) {
            EnterLoggedIn();
        }
        break;
    default:
        break;
    }
}

void SessionMachine::Failed(std::string_view detail) {
    if (Current == SessionState::PasswordSent) {
        // A node that hangs up right after the password has refused it; trying again with the
        // same password would only get the address banned.
        Refuse(Refusal::BadPassword,
               "the node closed the connection after the password: " + std::string(detail));
        return;
    }
    if (Current == SessionState::CallSent) {
        if (++ClosedAfterCall >= MaxClosedAfterCall) {
            Refuse(Refusal::LockedOut, "closed right after the call: is the call locked out?");
            return;
        }
    } else if (IsOpen(Current)) {
        ClosedAfterCall = 0;
    }
    Lose(detail);
}

void SessionMachine::TimerFired(SessionTimer timer) {
    switch (timer) {
    case SessionTimer::Connect:
        if (Current == SessionState::Connecting) {
            Lose("no connection within " + Seconds(Config.Timings.Connect));
        }
        break;
    case SessionTimer::Login:
        if (IsOpen(Current) && Current != SessionState::LoggedIn &&
            Current != SessionState::Connecting) {
            Lose("no login within " + Seconds(Config.Timings.Login));
        }
        break;
    case SessionTimer::KeepAlive:
        if (Current == SessionState::LoggedIn) {
            SendKeepAlive();
        }
        break;
    case SessionTimer::Retry:
        if (Current == SessionState::Waiting) {
            BeginConnect();
        }
        break;
    }
}

void SessionMachine::Lose(std::string_view detail) {
    if (!IsOpen(Current)) {
        return;
    }
    Current = SessionState::Waiting;
    StopAllTimers();
    Port.Close();
    Port.Connection({ConnectionEvent::Kind::Lost, std::string(detail), Refusal::None, {}});
    const Milliseconds delay = Retries.Failed(Port.SteadyMs(), Port.Random01());
    Port.Connection(
        {ConnectionEvent::Kind::Waiting, "next try in " + Seconds(delay), Refusal::None, delay});
    Port.StartTimer(SessionTimer::Retry, delay);
}

void SessionMachine::Refuse(Refusal why, std::string_view detail) {
    End(SessionState::Refused);
    Port.Connection({ConnectionEvent::Kind::Refused, std::string(detail), why, {}});
}

void SessionMachine::End(SessionState final) {
    Current = final;
    StopAllTimers();
    Port.Close();
}

void SessionMachine::StopAllTimers() {
    for (const auto timer : {SessionTimer::Connect, SessionTimer::Login, SessionTimer::KeepAlive,
                             SessionTimer::Retry}) {
        Port.StopTimer(timer);
    }
}

} // namespace ionvane::cluster
