#include "feed/feed_source.h"

#include "test_brokers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace ionvane::feed {
namespace {

using namespace std::chrono_literals;
using test::FakeBroker;
using test::LocalBroker;
using test::Publisher;
using test::RunFor;
using test::WaitUntil;

constexpr Seconds Now{std::chrono::seconds(1781431225)}; // 2026-06-14T10:00:25Z

FeedEnvironment FrozenClock(double random) {
    FeedEnvironment environment;
    environment.Now = [] { return std::chrono::system_clock::time_point(Now); };
    environment.Random = [random] { return random; };
    return environment;
}

FeedTimings Quick() {
    FeedTimings timings;
    timings.ConnectTimeout = 5000ms;
    timings.SubscribeTimeout = 5000ms;
    timings.Retry.FirstMin = 20ms;
    timings.Retry.FirstMax = 40ms;
    timings.Retry.Longest = 120ms;
    timings.Retry.TriesPerWindow = 1000;
    timings.Housekeeping = 50ms;
    return timings;
}

FeedSettings Local(quint16 port, std::vector<spot::Band> bands = {spot::Band::M6, spot::Band::M2}) {
    FeedSettings settings;
    settings.Host = "127.0.0.1";
    settings.Port = port;
    settings.Bands = std::move(bands);
    return settings;
}

// Every event of a source, in order.
struct Recorder {
    explicit Recorder(FeedSource &source) {
        QObject::connect(&source, &FeedSource::Event, &source,
                         [this](const FeedEvent &event) { Events.push_back(event); });
    }
    [[nodiscard]] int Count(FeedConnection connection) const {
        int count = 0;
        for (const auto &event : Events) {
            count += event.What == FeedEvent::Kind::Connection && event.Connection == connection;
        }
        return count;
    }
    [[nodiscard]] std::vector<FeedEvent> Reports() const {
        std::vector<FeedEvent> reports;
        for (const auto &event : Events) {
            if (event.What != FeedEvent::Kind::Connection) {
                reports.push_back(event);
            }
        }
        return reports;
    }
    [[nodiscard]] std::vector<long long> WaitsMs() const {
        std::vector<long long> waits;
        for (const auto &event : Events) {
            if (event.What == FeedEvent::Kind::Connection &&
                event.Connection == FeedConnection::Waiting) {
                waits.push_back(event.RetryIn.count());
            }
        }
        return waits;
    }
    std::vector<FeedEvent> Events;
};

std::string Topic(const std::string &band, const std::string &mode) {
    return "pskr/filter/v2/" + band + "/" + mode + "/EA8XXX/DK7UK/IL18AA/JN48QT/29/230";
}

std::string Payload(int sequence, int hz, const std::string &mode) {
    return R"({"sq":)" + std::to_string(sequence) + R"(,"f":)" + std::to_string(hz) + R"(,"md":")" +
           mode +
           R"(","rp":-12,"t":1781431200,"sc":"EA8XXX","sl":"IL18AA","rc":"DK7UK","rl":"JN48QT"})";
}

TEST(FeedSource, OneNarrowTopicPerBand) {
    FeedSource source(FeedSettings{}, FrozenClock(0));
    EXPECT_EQ(source.Topics(), (std::vector<std::string>{
                                   "pskr/filter/v2/6m/+/#",
                                   "pskr/filter/v2/4m/+/#",
                                   "pskr/filter/v2/2m/+/#",
                               }));
    FeedSource twice(Local(1, {spot::Band::M10, spot::Band::M6, spot::Band::M10}), FrozenClock(0));
    EXPECT_EQ(twice.Topics(), (std::vector<std::string>{
                                  "pskr/filter/v2/10m/+/#",
                                  "pskr/filter/v2/6m/+/#",
                              }));
}

TEST(FeedSource, ReportsFromABrokerBecomeSpots) {
    LocalBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.Output();
    FeedSource source(Local(broker.Port()), FrozenClock(0), Quick());
    Recorder recorder(source);
    source.Start();
    ASSERT_TRUE(WaitUntil([&] { return source.State() == FeedState::Live; })) << broker.Output();

    Publisher publisher(broker.Port());
    ASSERT_TRUE(publisher.Connected());
    ASSERT_TRUE(publisher.Publish(Topic("6m", "FT8"), Payload(1, 50313512, "FT8")));
    // 4 m is not followed: the broker never sends it.
    ASSERT_TRUE(publisher.Publish(Topic("4m", "FT8"), Payload(2, 70154000, "FT8")));
    ASSERT_TRUE(publisher.Publish(Topic("2m", "FT4"), Payload(3, 144174000, "FT4")));
    ASSERT_TRUE(publisher.Publish(Topic("2m", "MSK144"), Payload(4, 144360000, "MSK144")));
    ASSERT_TRUE(publisher.Publish(Topic("6m", "FT8"), Payload(1, 50313512, "FT8")));
    ASSERT_TRUE(publisher.Publish(Topic("6m", "FT8"), Payload(5, 50313000, "FT8")));
    ASSERT_TRUE(WaitUntil([&] {
        const auto reports = recorder.Reports();
        return !reports.empty() && reports.back().Reading.Sequence == 5U;
    }));

    const auto reports = recorder.Reports();
    ASSERT_EQ(reports.size(), 5U);
    EXPECT_EQ(reports[0].What, FeedEvent::Kind::Spot);
    EXPECT_EQ(reports[0].Reading.Read.FreqMHzText, "50.313512");
    EXPECT_EQ(reports[0].Reading.Read.FromLoc, "IL18AA");
    EXPECT_EQ(reports[0].Reading.Read.ToLoc, "JN48QT");
    EXPECT_EQ(reports[0].Reading.Read.Mode, "FT8");
    EXPECT_EQ(reports[0].Time, Now - 25s); // the report's own time
    EXPECT_EQ(reports[0].ReceivedAt, Now);
    EXPECT_EQ(reports[0].Raw, CaptureBody(Topic("6m", "FT8"), Payload(1, 50313512, "FT8")));
    EXPECT_EQ(reports[1].What, FeedEvent::Kind::Spot);
    EXPECT_EQ(reports[1].Reading.Read.FreqMHzText, "144.174");
    EXPECT_EQ(reports[1].Reading.Read.Mode, "FT4");
    EXPECT_EQ(reports[2].What, FeedEvent::Kind::Skipped);
    EXPECT_EQ(reports[2].Reading.Problem, ReportProblem::MeteorScatter);
    EXPECT_EQ(reports[3].What, FeedEvent::Kind::Skipped);
    EXPECT_EQ(reports[3].Reading.Problem, ReportProblem::Repeated);
    EXPECT_EQ(reports[4].What, FeedEvent::Kind::Spot);

    source.Stop();
    EXPECT_EQ(source.State(), FeedState::Stopped);
    ASSERT_FALSE(recorder.Events.empty());
    EXPECT_EQ(recorder.Events.back().Connection, FeedConnection::Stopped);
    EXPECT_EQ(recorder.Count(FeedConnection::Connecting), 1);
    EXPECT_EQ(recorder.Count(FeedConnection::Subscribed), 1);
    EXPECT_EQ(recorder.Count(FeedConnection::Lost), 0);
}

// A broker's packet past MaxPacketBytes ends the session (two retained messages of 256 MB once
// took the program to 540 MB); the next session takes reports again. Over loopback the packet
// comes whole in one read, so it is skipped as too long before the session ends; over a network
// the session ends while it is read.
TEST(FeedSource, APacketPastTheLimitEndsTheSession) {
    LocalBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.Output();
    FeedSource source(Local(broker.Port()), FrozenClock(0), Quick());
    Recorder recorder(source);
    source.Start();
    ASSERT_TRUE(WaitUntil([&] { return source.State() == FeedState::Live; })) << broker.Output();

    Publisher publisher(broker.Port());
    ASSERT_TRUE(publisher.Connected());
    ASSERT_TRUE(publisher.Publish(Topic("6m", "FT8"), std::string(4 * MaxPacketBytes, 'x')));
    ASSERT_TRUE(WaitUntil([&] { return recorder.Count(FeedConnection::Lost) > 0; }));
    const auto lost = std::find_if(recorder.Events.begin(), recorder.Events.end(), [](auto &e) {
        return e.What == FeedEvent::Kind::Connection && e.Connection == FeedConnection::Lost;
    });
    EXPECT_EQ(lost->Detail, "The broker sent a packet longer than 65536 bytes");

    ASSERT_TRUE(WaitUntil([&] { return source.State() == FeedState::Live; }));
    ASSERT_TRUE(publisher.Publish(Topic("6m", "FT8"), Payload(1, 50313512, "FT8")));
    ASSERT_TRUE(WaitUntil([&] {
        const auto reports = recorder.Reports();
        return !reports.empty() && reports.back().What == FeedEvent::Kind::Spot;
    }));
}

TEST(FeedSource, SurvivesABrokerThatGoesAwayAndComesBack) {
    LocalBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.Output();
    const quint16 port = broker.Port();
    FeedSource source(Local(port), FrozenClock(0), Quick());
    Recorder recorder(source);
    source.Start();
    ASSERT_TRUE(WaitUntil([&] { return source.State() == FeedState::Live; }));

    broker.Stop();
    ASSERT_TRUE(WaitUntil([&] { return recorder.Count(FeedConnection::Lost) >= 1; }));
    // The first wait after a drop is the shortest: FirstRetry with the random number 0.
    ASSERT_FALSE(recorder.WaitsMs().empty());
    EXPECT_EQ(recorder.WaitsMs().front(), 20);
    ASSERT_TRUE(WaitUntil([&] { return recorder.Count(FeedConnection::Lost) >= 3; }));

    ASSERT_TRUE(broker.Start(port)) << broker.Output();
    ASSERT_TRUE(WaitUntil([&] { return recorder.Count(FeedConnection::Subscribed) == 2; }));
    EXPECT_EQ(source.State(), FeedState::Live);

    Publisher publisher(port);
    ASSERT_TRUE(publisher.Connected());
    ASSERT_TRUE(publisher.Publish(Topic("6m", "FT8"), Payload(7, 50313512, "FT8")));
    ASSERT_TRUE(WaitUntil([&] { return !recorder.Reports().empty(); }));
    EXPECT_EQ(recorder.Reports().front().What, FeedEvent::Kind::Spot);
    source.Stop();
}

TEST(FeedSource, RetriesBackOffToTheCapAndAtMostSoOftenAnHour) {
    FeedTimings timings = Quick();
    timings.Retry.TriesPerWindow = 5;
    timings.Retry.Window = 60s;
    // Nothing listens on the port: every attempt fails at once.
    FeedSource source(Local(test::FreePort()), FrozenClock(0.75), timings);
    Recorder recorder(source);
    source.Start();
    ASSERT_TRUE(WaitUntil([&] { return recorder.WaitsMs().size() >= 5; }));
    source.Stop();
    // 20 to 40 ms three quarters in, doubled, and then the cap of 120 ms; then the sixth attempt
    // waits until the first of the five leaves the minute (the clock stands still).
    EXPECT_EQ(recorder.WaitsMs(), (std::vector<long long>{35, 70, 120, 120, 60000}));
    EXPECT_EQ(recorder.Count(FeedConnection::Connecting), 5);
    EXPECT_EQ(recorder.Count(FeedConnection::Lost), 5);
    EXPECT_EQ(source.State(), FeedState::Stopped);
}

TEST(FeedSource, ASessionDroppedSoonAfterItsSubscriptionCountsAsAFailure) {
    // The broker confirms the topics and drops the connection at once, again and again: a session
    // up for less than a minute starts no new back-off (it once retried every 5 to 10 s forever).
    FakeBroker fake(FakeBroker::Script::GrantThenDrop);
    FeedSource source(Local(fake.Port()), FrozenClock(0), Quick());
    Recorder recorder(source);
    source.Start();
    ASSERT_TRUE(WaitUntil([&] { return recorder.WaitsMs().size() >= 3; }));
    source.Stop();
    EXPECT_GE(recorder.Count(FeedConnection::Subscribed), 3);
    const std::vector<long long> waits = recorder.WaitsMs();
    EXPECT_EQ(std::vector<long long>(waits.begin(), waits.begin() + 3),
              (std::vector<long long>{20, 40, 80}));
}

TEST(FeedSource, ABrokerThatNeverAnswersTimesOut) {
    FakeBroker fake(FakeBroker::Script::Silent);
    FeedTimings timings = Quick();
    timings.ConnectTimeout = 100ms;
    FeedSource source(Local(fake.Port()), FrozenClock(0), timings);
    Recorder recorder(source);
    source.Start();
    ASSERT_TRUE(WaitUntil([&] { return recorder.Count(FeedConnection::Lost) >= 1; }));
    source.Stop();
    const auto lost = std::find_if(recorder.Events.begin(), recorder.Events.end(),
                                   [](auto &e) { return e.Connection == FeedConnection::Lost; });
    EXPECT_EQ(lost->Detail.rfind("No answer from the broker", 0), 0U) << lost->Detail;
    // An MQTT 3.1.1 CONNECT: type 1, protocol name "MQTT", level 4.
    const QByteArray sent = fake.Received();
    ASSERT_GE(sent.size(), 9);
    EXPECT_EQ(sent[0], '\x10');
    EXPECT_EQ(sent.mid(2, 7), QByteArray("\x00\x04MQTT\x04", 7));
}

TEST(FeedSource, AnUnconfirmedSubscriptionTimesOut) {
    FakeBroker fake(FakeBroker::Script::ConnackOnly);
    FeedTimings timings = Quick();
    timings.SubscribeTimeout = 100ms;
    FeedSource source(Local(fake.Port(), {spot::Band::M6}), FrozenClock(0), timings);
    Recorder recorder(source);
    source.Start();
    ASSERT_TRUE(WaitUntil([&] { return recorder.Count(FeedConnection::Lost) >= 1; }));
    source.Stop();
    EXPECT_EQ(recorder.Count(FeedConnection::Subscribing), 1);
    // The one narrow topic asked for, never the whole feed.
    EXPECT_TRUE(fake.Received().contains("pskr/filter/v2/6m/+/#"));
    EXPECT_FALSE(fake.Received().contains("pskr/#"));
    const auto lost = std::find_if(recorder.Events.begin(), recorder.Events.end(),
                                   [](auto &e) { return e.Connection == FeedConnection::Lost; });
    EXPECT_NE(lost->Detail.find("did not confirm the subscription"), std::string::npos);
}

TEST(FeedSource, RefusedTopicsEndTheSessionWithoutRetrying) {
    FakeBroker fake(FakeBroker::Script::RefuseTopics);
    FeedSource source(Local(fake.Port()), FrozenClock(0), Quick());
    Recorder recorder(source);
    source.Start();
    ASSERT_TRUE(WaitUntil([&] { return source.State() == FeedState::Refused; }));
    EXPECT_EQ(recorder.Count(FeedConnection::Refused), 1);
    // Many times the longest wait: no second attempt.
    RunFor(500);
    EXPECT_EQ(fake.Connections(), 1);
    EXPECT_EQ(recorder.Count(FeedConnection::Connecting), 1);
    EXPECT_TRUE(recorder.WaitsMs().empty());

    // Without a band there is nothing to ask for: refused before any attempt.
    FeedSource none(Local(fake.Port(), {}), FrozenClock(0), Quick());
    Recorder nothing(none);
    none.Start();
    EXPECT_EQ(none.State(), FeedState::Refused);
    RunFor(100);
    EXPECT_EQ(nothing.Count(FeedConnection::Connecting), 0);
    EXPECT_EQ(fake.Connections(), 1);
}

TEST(FeedSource, ABrokerGoneSilentIsNoticed) {
    // The fake broker takes the session and then never answers a ping.
    FakeBroker fake(FakeBroker::Script::GrantTopics);
    FeedTimings timings = Quick();
    timings.KeepAliveSeconds = 5;
    FeedSource source(Local(fake.Port()), FrozenClock(0), timings);
    Recorder recorder(source);
    source.Start();
    ASSERT_TRUE(WaitUntil([&] { return source.State() == FeedState::Live; }));
    ASSERT_TRUE(WaitUntil([&] { return recorder.Count(FeedConnection::Lost) >= 1; }, 30000));
    // MQTT PINGREQ: type 12, no payload.
    EXPECT_TRUE(fake.Received().contains(QByteArray("\xC0\x00", 2)));
    ASSERT_TRUE(WaitUntil([&] { return fake.Connections() >= 2; }));
    source.Stop();
}

TEST(FeedSource, StopSaysGoodbyeAndStaysStopped) {
    FakeBroker fake(FakeBroker::Script::GrantTopics);
    // A name, looked up (in /etc/hosts) before connecting.
    FeedSettings settings = Local(fake.Port());
    settings.Host = "localhost";
    FeedSource source(settings, FrozenClock(0), Quick());
    Recorder recorder(source);
    source.Start();
    ASSERT_TRUE(WaitUntil([&] { return source.State() == FeedState::Live; }));
    source.Stop();
    // MQTT DISCONNECT: type 14, no payload.
    ASSERT_TRUE(WaitUntil([&] { return fake.Received().endsWith(QByteArray("\xE0\x00", 2)); }));
    RunFor(300);
    EXPECT_EQ(fake.Connections(), 1);
    EXPECT_EQ(source.State(), FeedState::Stopped);
    EXPECT_EQ(recorder.Count(FeedConnection::Stopped), 1);
    source.Stop();
    EXPECT_EQ(recorder.Count(FeedConnection::Stopped), 1);
}

TEST(FeedSource, ReportsWaitingTogetherComeInOrderAndStopFromASlotEndsThem) {
    // 300 reports published while the source's event loop is held: they wait in its socket and
    // one wake-up reads many of them. Stopping in the slot of the 30th report ends the reports
    // there, though more were read in the same wake-up.
    LocalBroker broker;
    ASSERT_TRUE(broker.Start()) << broker.Output();
    FeedSource source(Local(broker.Port()), FrozenClock(0), Quick());
    std::vector<std::uint64_t> sequences;
    int stopped = 0;
    QObject::connect(&source, &FeedSource::Event, &source, [&](const FeedEvent &event) {
        if (event.What == FeedEvent::Kind::Connection) {
            stopped += event.Connection == FeedConnection::Stopped;
            return;
        }
        sequences.push_back(event.Reading.Sequence.value_or(0));
        if (sequences.size() == 30) {
            source.Stop();
        }
    });
    source.Start();
    ASSERT_TRUE(WaitUntil([&] { return source.State() == FeedState::Live; }));
    Publisher publisher(broker.Port());
    ASSERT_TRUE(publisher.Connected());
    for (int sequence = 1; sequence <= 300; ++sequence) {
        ASSERT_TRUE(publisher.Publish(Topic("6m", "FT8"), Payload(sequence, 50313512, "FT8")));
    }
    ASSERT_TRUE(WaitUntil([&] { return stopped == 1; }));
    RunFor(300);
    ASSERT_EQ(sequences.size(), 30U);
    for (std::size_t i = 0; i < sequences.size(); ++i) {
        EXPECT_EQ(sequences[i], i + 1);
    }
    EXPECT_EQ(source.State(), FeedState::Stopped);
    EXPECT_EQ(stopped, 1);
}

} // namespace
} // namespace ionvane::feed
