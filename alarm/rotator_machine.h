// The conversation with Hamlib's rotator daemon (rotctld) as a state machine: which command goes
// out next, what an answer means, when a lost connection is tried again, and when "Follow" turns
// the beam. Pure: the caller owns the socket and the timers and passes its clock's reading in, so
// tests run a whole evening by numbers.
#pragma once

#include "retry/retry_policy.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace ionvane::alarm {

/// "Follow" turns only when the headline beam moved this far, degrees: a typical Yagi for 6 m or
/// 2 m has a half-power beam width of 30 degrees or more, so smaller steps gain nothing and only
/// wear the rotator.
constexpr double FollowStepDeg = 5.0;
/// ... and at most once in this time, ms: every verdict of an opening may move the headline by a
/// little, and a rotator that never rests is neither heard nor good for its gears.
constexpr std::int64_t FollowSpacingMs = 2 * 60 * 1000;
/// The longest answer line kept, bytes: rotctld's longest (an extended `_` answer) is far shorter;
/// a peer that sends more is not rotctld.
constexpr std::size_t RotctldLineBytes = 256;

enum class RotatorState {
    Disconnected, ///< not yet started, or stopped
    Connecting,   ///< a connection is being made
    Ready,        ///< connected; commands go out one at a time
    Waiting,      ///< lost or refused; a new try after the back-off
};

/// What the caller does after a step, in this order: close the socket, open one, send the lines,
/// arm the retry timer, tell the user the words.
struct RotatorActions {
    bool Close = false;
    bool Connect = false;
    std::vector<std::string> Send; ///< each a full line, "\n" included
    std::optional<retry::Milliseconds> RetryAfter;
    std::vector<std::string> Words; ///< what happened, for the status line or standard error
    bool PositionRead = false;      ///< PositionDeg() has a new reading
};

class RotatorMachine {
  public:
    explicit RotatorMachine(retry::RetryTimings timings = {}) : Retry(timings) {}

    /// The first connection; later ones follow drops by themselves.
    RotatorActions Start(std::int64_t nowMs);
    /// Turn the beam to `azimuthDeg` (true bearing, degrees), the "Turn beam" of the user. A
    /// turn not yet sent is replaced, not queued behind.
    RotatorActions TurnTo(double azimuthDeg, std::int64_t nowMs);
    /// Stop the rotator at once ("S"); a turn not yet sent is dropped.
    RotatorActions Stop(std::int64_t nowMs);
    /// Ask where the rotator points ("p"); no second question while one is unanswered.
    RotatorActions AskPosition(std::int64_t nowMs);
    /// "Follow" on or off.
    void SetFollow(bool on) { Following = on; }
    [[nodiscard]] bool Follows() const { return Following; }
    /// The headline beam is now `azimuthDeg` at `eventMs` (the time of the verdict, on the
    /// tracker's clock: a replayed evening keeps its own spacing). With Follow on, the beam turns
    /// when it moved by FollowStepDeg or more since the last turn and FollowSpacingMs have passed.
    RotatorActions Headline(double azimuthDeg, std::int64_t eventMs, std::int64_t nowMs);

    /// The socket is connected.
    RotatorActions Connected(std::int64_t nowMs);
    /// One line from rotctld, without its line end.
    RotatorActions Line(const std::string &line, std::int64_t nowMs);
    /// The connection was refused or dropped (`why` in words); `random01` places the retry.
    RotatorActions Lost(const std::string &why, std::int64_t nowMs, double random01);
    /// The retry timer ran out.
    RotatorActions RetryDue(std::int64_t nowMs);

    [[nodiscard]] RotatorState State() const { return Now; }
    /// The last position rotctld reported, degrees.
    [[nodiscard]] std::optional<double> PositionDeg() const { return Position; }
    /// Nothing queued and nothing awaiting an answer.
    [[nodiscard]] bool Idle() const { return Queue.empty() && !InFlight; }

  private:
    enum class Kind { Turn, Stop, Ask };
    struct Command {
        Kind What = Kind::Ask;
        double AzimuthDeg = 0;
        int Tries = 0;
    };
    void Enqueue(Command command);
    void SendNext(RotatorActions &actions);
    void Answered(RotatorActions &actions);

    retry::RetryPolicy Retry;
    RotatorState Now = RotatorState::Disconnected;
    std::deque<Command> Queue;
    std::optional<Command> InFlight;
    std::vector<std::string> PositionLines; ///< the lines of a "p" answer read so far
    std::optional<double> Position;
    bool Following = false;
    std::optional<double> LastTurnDeg;
    std::optional<std::int64_t> LastFollowMs;
    bool LossSaid = false; ///< a lost connection is said once until it is back
    bool Held = false;     ///< a refused command waits for its retry
};

/// Words for a Hamlib error code as rotctld reports it ("RPRT -5"): "timed out".
std::string HamlibErrorWords(int code);

/// The smaller angle between two bearings, degrees, 0 to 180.
double BearingDifferenceDeg(double aDeg, double bDeg);

} // namespace ionvane::alarm
