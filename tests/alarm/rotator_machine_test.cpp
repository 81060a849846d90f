// The rotator's conversation with rotctld and the rules of "Follow", by numbers: no socket.
#include "alarm/rotator_machine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ionvane::alarm {
namespace {

using Lines = std::vector<std::string>;

// Back-off of 1 s, doubling; the rules are the same as the live ones.
retry::RetryTimings Quick() {
    retry::RetryTimings timings;
    timings.FirstMin = retry::Milliseconds{1000};
    timings.FirstMax = retry::Milliseconds{1000};
    return timings;
}

// A machine connected to rotctld at t = 0.
RotatorMachine Ready() {
    RotatorMachine machine(Quick());
    EXPECT_TRUE(machine.Start(0).Connect);
    machine.Connected(0);
    return machine;
}

TEST(RotatorMachine, CommandsGoOutOneAtATimeAndAWaitingTurnIsReplacedByANewer) {
    // Turns asked for while connecting wait; only the newest is sent, then the question.
    RotatorMachine machine(Quick());
    machine.Start(0);
    EXPECT_TRUE(machine.TurnTo(100, 0).Send.empty());
    machine.TurnTo(123.45, 0);
    machine.AskPosition(0);
    EXPECT_EQ(machine.Connected(10).Send, Lines{"P 123.5 0\n"});
    EXPECT_EQ(machine.Line("RPRT 0", 20).Send, Lines{"p\n"});
    const RotatorActions first = machine.Line("120.00", 30);
    EXPECT_TRUE(first.PositionRead);
    EXPECT_EQ(machine.PositionDeg(), 120.0);
    EXPECT_FALSE(machine.Idle());
    machine.Line("0.00", 40);
    EXPECT_TRUE(machine.Idle());
    // A stop goes before a turn that waits, and drops it.
    machine.TurnTo(10, 50);
    machine.TurnTo(20, 50);
    machine.Stop(50);
    EXPECT_EQ(machine.Line("RPRT 0", 60).Send, Lines{"S\n"});
    EXPECT_TRUE(machine.Line("RPRT 0", 70).Send.empty());
    EXPECT_TRUE(machine.Idle());
}

TEST(RotatorMachine, ARefusalIsSaidInWordsAndOnlyAPassingOneIsTriedAgain) {
    struct Case {
        const char *Answer;
        const char *Words;
        bool Retried;
    };
    const Case cases[] = {
        {"RPRT -5", "the rotator refused the turn to 200.0\u00b0: timed out (RPRT -5)", true},
        {"RPRT -14",
         "the rotator refused the turn to 200.0\u00b0: communication bus busy (RPRT -14)", true},
        {"RPRT -1", "the rotator refused the turn to 200.0\u00b0: invalid parameter (RPRT -1)",
         false},
        {"RPRT -17",
         "the rotator refused the turn to 200.0\u00b0: argument out of domain (RPRT -17)", false},
        {"RPRT -99", "the rotator refused the turn to 200.0\u00b0: error -99 (RPRT -99)", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Answer);
        RotatorMachine machine = Ready();
        EXPECT_EQ(machine.TurnTo(200, 0).Send, Lines{"P 200.0 0\n"});
        const RotatorActions refused = machine.Line(c.Answer, 100);
        EXPECT_EQ(refused.Words, Lines{c.Words});
        EXPECT_EQ(refused.RetryAfter.has_value(), c.Retried);
        EXPECT_TRUE(refused.Send.empty());
        EXPECT_EQ(machine.RetryDue(1100).Send, c.Retried ? Lines{"P 200.0 0\n"} : Lines{});
    }
    // A passing refusal is tried three times in all, then left.
    RotatorMachine machine = Ready();
    machine.TurnTo(200, 0);
    machine.Line("RPRT -5", 1);
    machine.RetryDue(2);
    machine.Line("RPRT -5", 3);
    EXPECT_EQ(machine.RetryDue(4).Send, Lines{"P 200.0 0\n"});
    EXPECT_FALSE(machine.Line("RPRT -5", 5).RetryAfter.has_value());
    EXPECT_TRUE(machine.Idle());
}

TEST(RotatorMachine, ALostConnectionIsSaidOnceAndTheCutTurnIsSentAgainOnReturn) {
    RotatorMachine machine = Ready();
    machine.TurnTo(45, 0);
    const RotatorActions lost = machine.Lost("Connection refused", 100, 0.0);
    EXPECT_TRUE(lost.Close);
    EXPECT_EQ(lost.Words, Lines{"no rotator: Connection refused; trying again"});
    ASSERT_TRUE(lost.RetryAfter.has_value());
    EXPECT_EQ(lost.RetryAfter->count(), 1000);
    EXPECT_EQ(machine.State(), RotatorState::Waiting);
    EXPECT_TRUE(machine.RetryDue(1100).Connect);
    // Refused again: not said again, and the wait doubles.
    const RotatorActions again = machine.Lost("Connection refused", 1200, 0.0);
    EXPECT_TRUE(again.Words.empty());
    EXPECT_EQ(again.RetryAfter->count(), 2000);
    machine.RetryDue(3200);
    const RotatorActions back = machine.Connected(3300);
    EXPECT_EQ(back.Words, Lines{"connected to the rotator again"});
    EXPECT_EQ(back.Send, Lines{"P 45.0 0\n"});
}

TEST(RotatorMachine, ForeignAnswersNeitherStallNorSetThePosition) {
    RotatorMachine machine = Ready();
    machine.AskPosition(0);
    machine.AskPosition(0); // asked once only
    EXPECT_EQ(machine.Line("nan", 1).Words, Lines{"the rotator gave a position that is no number"});
    EXPECT_FALSE(machine.PositionDeg().has_value());
    EXPECT_TRUE(machine.Idle());
    machine.Stop(2);
    EXPECT_EQ(machine.Line("12.5", 3).Words,
              Lines{"the rotator gave an answer that is not rotctld's"});
    EXPECT_TRUE(machine.Idle());
    // An answer nobody asked for is passed over.
    EXPECT_TRUE(machine.Line("RPRT 0", 4).Send.empty());
}

TEST(RotatorMachine, FollowTurnsOnFiveDegreesAtMostEveryTwoMinutes) {
    // A scripted opening: the headline as the verdicts move it (time in s on the tracker's
    // clock, azimuth) and whether the beam turns.
    struct Step {
        std::int64_t AtS;
        double AzimuthDeg;
        bool Turns;
    };
    const Step opening[] = {
        {0, 200.0, true},    // the first headline
        {30, 203.0, false},  // 3 degrees: too little
        {60, 210.0, false},  // 10 degrees, but only a minute later
        {119, 212.0, false}, // a second short of two minutes
        {120, 212.0, true},  // two minutes after the first turn
        {300, 216.9, false}, // 4.9 degrees from 212
        {400, 217.0, true},  // 5 degrees
        {600, 358.0, true},  // a jump across the sky
        {800, 2.0, false},   // 4 degrees across north
        {1000, 3.5, true},   // 5.5 degrees across north
    };
    RotatorMachine machine = Ready();
    machine.SetFollow(true);
    for (const Step &step : opening) {
        SCOPED_TRACE(step.AtS);
        const RotatorActions turned = machine.Headline(step.AzimuthDeg, step.AtS * 1000, 0);
        EXPECT_EQ(!turned.Send.empty(), step.Turns);
        machine.Line("RPRT 0", 0);
    }
    // Follow off: the headline turns nothing.
    RotatorMachine still = Ready();
    EXPECT_TRUE(still.Headline(90, 0, 0).Send.empty());
    EXPECT_TRUE(still.Idle());
}

} // namespace
} // namespace ionvane::alarm
