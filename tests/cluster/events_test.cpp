// The JSON lines of the live command line.
#include "cli/json.h"
#include "cli/live_json.h"

#include <gtest/gtest.h>

#include <sstream>

namespace ionvane::cli {
namespace {

using namespace std::chrono_literals;

constexpr tracker::UnixSeconds Time = 1'781'431'225; // 2026-06-14T10:00:25Z

TEST(EventsTest, ConnectionEventsWithTheirStateAndRetry) {
    using Kind = cluster::ConnectionEvent::Kind;
    EXPECT_EQ(ConnectionEventJson(Time, {Kind::Lost, "Connection refused", {}, {}}),
              R"({"event":"connection","time":"2026-06-14T10:00:25Z","state":"lost",)"
              R"("detail":"Connection refused"})");
    // Whole seconds rounded up: never a try before the time announced.
    EXPECT_EQ(ConnectionEventJson(Time, {Kind::Waiting, "next try in 8 s", {}, 7'001ms}),
              R"({"event":"connection","time":"2026-06-14T10:00:25Z","state":"waiting",)"
              R"("detail":"next try in 8 s","retryInSeconds":8})");
    EXPECT_EQ(ConnectionEventJson(Time, {Kind::LoggedIn, "n as DK7UK", {}, {}}),
              R"({"event":"connection","time":"2026-06-14T10:00:25Z","state":"logged-in",)"
              R"("detail":"n as DK7UK"})");
}

TEST(EventsTest, RawLinesAreEscaped) {
    EXPECT_EQ(SkippedEventJson(Time, "DX de \"X\":\t50313.0 \\", "Not a spot"),
              R"({"event":"skipped","time":"2026-06-14T10:00:25Z",)"
              R"("raw":"DX de \"X\":\t50313.0 \\","reason":"Not a spot"})");
}

TEST(EventsTest, WriterFlushesEachEventAndStopsAfterAFailure) {
    std::ostringstream out;
    EventWriter writer(out);
    EXPECT_TRUE(writer.Write(EventStart("spot", Time) + "}"));
    EXPECT_EQ(out.str(), "{\"event\":\"spot\",\"time\":\"2026-06-14T10:00:25Z\"}\n");
    out.setstate(std::ios::badbit);
    EXPECT_FALSE(writer.Write(EventStart("spot", Time) + "}"));
    EXPECT_TRUE(writer.Failed());
}

} // namespace
} // namespace ionvane::cli
