#include "rotator_machine.h"

#include "calc/number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string_view>

namespace ionvane::alarm {

namespace {

// A command rotctld refused for a passing cause (a timeout, a busy bus) is sent this many times
// in all; one refused as wrong (an azimuth out of the rotator's range) is not sent again.
constexpr int CommandTries = 3;
// Hamlib's error codes (rig.h, enum rig_errcode_e) that a second try may cure.
constexpr std::array PassingErrors{5 /* ETIMEOUT */, 6 /* EIO */,       7 /* EINTERNAL */,
                                   8 /* EPROTO */,   13 /* BUSERROR */, 14 /* BUSBUSY */};

// One decimal, a point whatever the locale, as rotctld reads it; through the project's formatter,
// never the C library's, which the package's binaries are kept free of.
std::string Degrees(double azimuthDeg) {
    return calc::FormatFixed(azimuthDeg, 1, calc::PlainNumberFormat());
}

std::string CommandText(double azimuthDeg) {
    return "P " + Degrees(azimuthDeg) + " 0\n";
}

// "the turn to 200.0°", as the turn was sent.
std::string TurnWords(double azimuthDeg) {
    return "the turn to " + Degrees(azimuthDeg) + "\u00b0";
}

std::optional<double> Number(const std::string &text) {
    double value = 0;
    const char *end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || at != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// The code of an "RPRT n" line.
std::optional<int> ReportCode(const std::string &line) {
    constexpr std::string_view Prefix = "RPRT ";
    if (line.rfind(Prefix, 0) != 0) {
        return std::nullopt;
    }
    int code = 0;
    const char *begin = line.data() + Prefix.size();
    const char *end = line.data() + line.size();
    const auto [at, error] = std::from_chars(begin, end, code);
    if (error != std::errc() || at != end) {
        return std::nullopt;
    }
    return code;
}

} // namespace

std::string HamlibErrorWords(int code) {
    // Hamlib's rigerror() texts, shortened, by the magnitude of the code (rig.h).
    static constexpr std::array<const char *, 18> Words{"no error",
                                                        "invalid parameter",
                                                        "invalid configuration",
                                                        "out of memory",
                                                        "not implemented",
                                                        "timed out",
                                                        "input/output error",
                                                        "internal Hamlib error",
                                                        "protocol error",
                                                        "command rejected",
                                                        "argument truncated",
                                                        "function not available",
                                                        "target not available",
                                                        "communication bus error",
                                                        "communication bus busy",
                                                        "invalid argument",
                                                        "invalid VFO",
                                                        "argument out of domain"};
    const int magnitude = code < 0 ? -code : code;
    if (magnitude >= 0 && static_cast<std::size_t>(magnitude) < Words.size()) {
        return Words[static_cast<std::size_t>(magnitude)];
    }
    return "error " + std::to_string(code);
}

double BearingDifferenceDeg(double aDeg, double bDeg) {
    const double apart = std::fmod(std::fabs(aDeg - bDeg), 360.0);
    return apart > 180.0 ? 360.0 - apart : apart;
}

RotatorActions RotatorMachine::Start(std::int64_t nowMs) {
    RotatorActions actions;
    if (Now == RotatorState::Disconnected) {
        Now = RotatorState::Connecting;
        Retry.Tried(nowMs);
        actions.Connect = true;
    }
    return actions;
}

void RotatorMachine::Enqueue(Command command) {
    // One turn waits at most, the newest: a beam asked for a minute ago is no longer wanted. A
    // stop drops the waiting turn; a question is asked once.
    if (command.What != Kind::Ask) {
        std::erase_if(Queue, [](const Command &queued) { return queued.What == Kind::Turn; });
    } else if (std::any_of(Queue.begin(), Queue.end(),
                           [](const Command &queued) { return queued.What == Kind::Ask; }) ||
               (InFlight && InFlight->What == Kind::Ask)) {
        return;
    }
    if (command.What == Kind::Stop) {
        Queue.push_front(command);
    } else {
        Queue.push_back(command);
    }
}

void RotatorMachine::SendNext(RotatorActions &actions) {
    if (Now != RotatorState::Ready || InFlight || Queue.empty() || Held) {
        return;
    }
    InFlight = Queue.front();
    Queue.pop_front();
    PositionLines.clear();
    switch (InFlight->What) {
    case Kind::Turn:
        actions.Send.push_back(CommandText(InFlight->AzimuthDeg));
        break;
    case Kind::Stop:
        actions.Send.emplace_back("S\n");
        break;
    case Kind::Ask:
        actions.Send.emplace_back("p\n");
        break;
    }
}

RotatorActions RotatorMachine::TurnTo(double azimuthDeg, std::int64_t) {
    RotatorActions actions;
    if (!std::isfinite(azimuthDeg)) {
        return actions;
    }
    Enqueue({Kind::Turn, azimuthDeg, 0});
    // A turn by hand is where Follow measures its next step from; the spacing of Follow's own
    // turns is kept on the tracker's clock, which a hand knows nothing of.
    LastTurnDeg = azimuthDeg;
    SendNext(actions);
    return actions;
}

RotatorActions RotatorMachine::Stop(std::int64_t) {
    RotatorActions actions;
    Enqueue({Kind::Stop, 0, 0});
    SendNext(actions);
    return actions;
}

RotatorActions RotatorMachine::AskPosition(std::int64_t) {
    RotatorActions actions;
    Enqueue({Kind::Ask, 0, 0});
    SendNext(actions);
    return actions;
}

RotatorActions RotatorMachine::Headline(double azimuthDeg, std::int64_t eventMs,
                                        std::int64_t nowMs) {
    RotatorActions actions;
    if (!Following || !std::isfinite(azimuthDeg)) {
        return actions;
    }
    if (LastTurnDeg && BearingDifferenceDeg(azimuthDeg, *LastTurnDeg) < FollowStepDeg) {
        return actions;
    }
    if (LastFollowMs && eventMs - *LastFollowMs < FollowSpacingMs) {
        return actions;
    }
    actions = TurnTo(azimuthDeg, nowMs);
    LastFollowMs = eventMs;
    return actions;
}

RotatorActions RotatorMachine::Connected(std::int64_t nowMs) {
    RotatorActions actions;
    if (Now != RotatorState::Connecting) {
        return actions;
    }
    Now = RotatorState::Ready;
    Retry.Up(nowMs);
    if (LossSaid) {
        actions.Words.emplace_back("connected to the rotator again");
        LossSaid = false;
    }
    SendNext(actions);
    return actions;
}

void RotatorMachine::Answered(RotatorActions &actions) {
    InFlight.reset();
    PositionLines.clear();
    SendNext(actions);
}

RotatorActions RotatorMachine::Line(const std::string &line, std::int64_t nowMs) {
    RotatorActions actions;
    if (Now != RotatorState::Ready || !InFlight) {
        return actions;
    }
    if (const auto code = ReportCode(line)) {
        if (*code == 0) {
            Answered(actions);
            return actions;
        }
        const Command refused = *InFlight;
        const std::string what = refused.What == Kind::Turn   ? TurnWords(refused.AzimuthDeg)
                                 : refused.What == Kind::Stop ? std::string("the stop")
                                                              : std::string("the position");
        actions.Words.push_back("the rotator refused " + what + ": " + HamlibErrorWords(*code) +
                                " (RPRT " + std::to_string(*code) + ")");
        const int magnitude = *code < 0 ? -*code : *code;
        const bool passing =
            std::find(PassingErrors.begin(), PassingErrors.end(), magnitude) != PassingErrors.end();
        InFlight.reset();
        PositionLines.clear();
        if (passing && refused.What != Kind::Ask && refused.Tries + 1 < CommandTries) {
            Command again = refused;
            ++again.Tries;
            Queue.push_front(again);
            Held = true;
            actions.RetryAfter = Retry.Failed(nowMs, 0.5);
            return actions;
        }
        SendNext(actions);
        return actions;
    }
    if (InFlight->What != Kind::Ask) {
        // rotctld answers a set or a stop with one RPRT line; anything else is no answer of
        // its, and waiting for one would stall every later command.
        actions.Words.emplace_back("the rotator gave an answer that is not rotctld's");
        Answered(actions);
        return actions;
    }
    const auto value = Number(line);
    if (!value) {
        actions.Words.emplace_back("the rotator gave a position that is no number");
        Answered(actions);
        return actions;
    }
    PositionLines.push_back(line);
    if (PositionLines.size() == 1) {
        Position = *value;
        actions.PositionRead = true;
    } else {
        Answered(actions);
    }
    return actions;
}

RotatorActions RotatorMachine::Lost(const std::string &why, std::int64_t nowMs, double random01) {
    RotatorActions actions;
    if (Now == RotatorState::Disconnected || Now == RotatorState::Waiting) {
        return actions;
    }
    // A command cut off is sent again on the new connection, unless it was only a question.
    if (InFlight && InFlight->What != Kind::Ask) {
        Queue.push_front(*InFlight);
    }
    InFlight.reset();
    PositionLines.clear();
    Held = false;
    Now = RotatorState::Waiting;
    actions.Close = true;
    actions.RetryAfter = Retry.Failed(nowMs, random01);
    if (!LossSaid) {
        actions.Words.push_back("no rotator: " + why + "; trying again");
        LossSaid = true;
    }
    return actions;
}

RotatorActions RotatorMachine::RetryDue(std::int64_t nowMs) {
    RotatorActions actions;
    if (Now == RotatorState::Waiting) {
        Now = RotatorState::Connecting;
        Retry.Tried(nowMs);
        actions.Connect = true;
    } else if (Now == RotatorState::Ready && Held) {
        Held = false;
        SendNext(actions);
    }
    return actions;
}

} // namespace ionvane::alarm
