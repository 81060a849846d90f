#include "feed/capture_body.h"
#include "feed/feed_event.h"
#include "spot/capture_line.h"

#include <gtest/gtest.h>

namespace ionvane::feed {
namespace {

using std::chrono::seconds;

constexpr Seconds Receipt{seconds(1781431225)}; // 2026-06-14T10:00:25Z

constexpr const char *Topic = "pskr/filter/v2/6m/FT8/EA8XXX/DK7UK/IL18AA/JN48QT/29/230";
constexpr const char *Payload =
    R"({"sq":30142870791,"f":50313512,"md":"FT8","rp":-12,"t":1781431225,"sc":"EA8XXX",)"
    R"("sl":"IL18AA","rc":"DK7UK","rl":"JN48QT","sa":29,"ra":230,"b":"6m"})";

// The session log's line of a report received at the receipt time: the time texts and their
// bounds are the capture line's own (tests/capture_test.cpp).
std::string CaptureLine(std::string_view topic, std::string_view payload) {
    return spot::CaptureLine(Receipt.time_since_epoch().count(), CaptureBody(topic, payload));
}

TEST(CaptureLine, WrittenAndReadBack) {
    const std::string line = CaptureLine(Topic, Payload);
    EXPECT_EQ(line, std::string("2026-06-14T10:00:25Z\tMQTT ") + Topic + " " + Payload);
    for (const char *ending : {"", "\n", "\r\n"}) {
        const auto read = ReadCaptureLine(line + ending);
        ASSERT_TRUE(read.has_value());
        EXPECT_EQ(read->ReceivedAt, Receipt);
        EXPECT_EQ(read->Topic, Topic);
        EXPECT_EQ(read->Payload, Payload);
    }
}

TEST(CaptureLine, TopicWithBlanksAndPercentSurvives) {
    // A call with a blank or a % would otherwise end the topic early or read as an escape.
    const std::string topic = "pskr/filter/v2/6m/FT8/EA8 XXX/DK7UK%41/IL18AA/JN48QT/29/230";
    const std::string line = CaptureLine(topic, "{}");
    EXPECT_NE(line.find("EA8%20XXX/DK7UK%2541"), std::string::npos) << line;
    const auto read = ReadCaptureLine(line);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->Topic, topic);
    EXPECT_EQ(read->Payload, "{}");
}

TEST(CaptureLine, PayloadKeptAsTheProgramReadsIt) {
    // Line ends and other control characters go (they would split the log line), tabs stay, bad
    // bytes become U+FFFD.
    EXPECT_EQ(PayloadText("{\"sl\":\"IL18AA\",\r\n\t\"rl\":\"JN48QT\"}\x01"),
              "{\"sl\":\"IL18AA\",\t\"rl\":\"JN48QT\"}");
    EXPECT_EQ(PayloadText("{\"sc\":\"\xff\"}"), "{\"sc\":\"\xEF\xBF\xBD\"}");
    // A payload far too long is cut just past the bound: short for the log, still too long.
    const std::string huge(100000, 'x');
    const std::string kept = PayloadText(huge);
    EXPECT_EQ(kept.size(), MaxPayloadBytes + 1);
    EXPECT_EQ(ReadReport(kept, Receipt).Problem, ReportProblem::TooLong);
    // Cut at a whole character: a multi-byte character across the bound is kept whole.
    const std::string euros = std::string(MaxPayloadBytes, 'x') + "\xE2\x82\xAC\xE2\x82\xAC";
    EXPECT_EQ(PayloadText(euros), std::string(MaxPayloadBytes, 'x') + "\xE2\x82\xAC");
    EXPECT_EQ(PayloadText(std::string(MaxPayloadBytes, 'x')).size(), MaxPayloadBytes);
}

TEST(CaptureLine, OtherLinesAreNotFeedLines) {
    for (const char *line : {
             "2026-06-14T10:00:25Z\tDX de DK7UK:     50099.0  EA5/ON4CAU   JN48QT<ES>IM98 1206Z",
             "2026-06-14T10:00:25Z\tMQTT ",
             "2026-06-14T10:00:25Z\tMQTT  {}",
             "2026-06-14T10:00:25Z\tmqtt pskr/filter/v2/6m {}",
             "2026-06-14T10:00:25Z MQTT pskr/filter/v2/6m {}",
             "2026-13-14T10:00:25Z\tMQTT pskr/filter/v2/6m {}",
             "MQTT pskr/filter/v2/6m {}",
             "",
         }) {
        EXPECT_FALSE(ReadCaptureLine(line).has_value()) << line;
    }
    // A topic without a payload is a feed line with an empty payload.
    const auto bare = ReadCaptureLine("2026-06-14T10:00:25Z\tMQTT pskr/filter/v2/6m");
    ASSERT_TRUE(bare.has_value());
    EXPECT_EQ(bare->Topic, "pskr/filter/v2/6m");
    EXPECT_EQ(bare->Payload, "");
}

// A broker may send what no subscription asked for: such a report belongs to no band followed.
TEST(CaptureLine, AReportOnATopicNotSubscribedToIsSkippedUnread) {
    const spot::Band sixOnly[] = {spot::Band::M6};
    for (const char *topic : {"pskr/filter/v2/2m/FT8/EA8XXX", "pskr/filter/v2/6m",
                              "pskr/filter/v2/6mx/FT8", "other/pskr/filter/v2/6m/FT8"}) {
        ReportReader reader;
        EXPECT_EQ(ReportEvent(reader, Receipt, topic, Payload, sixOnly).Reading.Problem,
                  ReportProblem::OffTopic)
            << topic;
    }
    ReportReader reader;
    EXPECT_EQ(ReportEvent(reader, Receipt, Topic, Payload, sixOnly).What, FeedEvent::Kind::Spot);
}

TEST(CaptureLine, ReplayGivesWhatTheFeedGave) {
    // The live event and the event of its capture line agree, repeats included.
    ReportReader live;
    ReportReader replay;
    for (int i = 0; i < 2; ++i) {
        const FeedEvent heard = ReportEvent(live, Receipt, Topic, Payload);
        const auto replayedEvent = ReplayEvent(
            replay,
            spot::CaptureLine(heard.ReceivedAt.time_since_epoch().count(), heard.Raw) + "\n");
        ASSERT_TRUE(replayedEvent.has_value());
        const FeedEvent &replayed = *replayedEvent;
        EXPECT_EQ(replayed.What, heard.What);
        EXPECT_EQ(replayed.Time, heard.Time);
        EXPECT_EQ(replayed.Raw, heard.Raw);
        EXPECT_EQ(replayed.Reading.Problem, heard.Reading.Problem);
        EXPECT_EQ(replayed.Reading.Read.FreqMHzText, heard.Reading.Read.FreqMHzText);
    }
    EXPECT_FALSE(ReplayEvent(replay, "2026-06-14T10:00:25Z\tDX de DK7UK: 50099.0 EA5XX 1206Z"));
    const FeedEvent repeat = ReportEvent(live, Receipt, Topic, Payload);
    EXPECT_EQ(repeat.What, FeedEvent::Kind::Skipped);
    EXPECT_EQ(repeat.Reading.Problem, ReportProblem::Repeated);
    EXPECT_EQ(repeat.Time, Receipt);
}

} // namespace
} // namespace ionvane::feed
