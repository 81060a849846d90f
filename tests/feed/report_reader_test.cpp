#include "feed/report_reader.h"

#include <gtest/gtest.h>

#include <string>

namespace ionvane::feed {
namespace {

using std::chrono::seconds;

// 2026-06-14T10:00:25Z
constexpr Seconds Receipt{seconds(1781431225)};

std::string Report(const std::string &fields) {
    std::string text = "{";
    text += fields;
    text += '}';
    return text;
}

// A full report with one field replaced or added.
std::string WithField(const std::string &field) {
    std::string fields = R"("sq":30142870791,"f":50313512,"md":"FT8","rp":-12,"t":1781431195,)"
                         R"("sc":"EA8XXX","sl":"IL18AA","rc":"DK7UK","rl":"JN48QT","sa":29,)"
                         R"("ra":230,"b":"6m",)";
    fields += field;
    return Report(fields);
}

TEST(ReportReader, ReadsTheFeedsOwnExample) {
    const auto reading = ReadReport(
        R"({"sq":30142870791,"f":50313512,"md":"FT8","rp":-12,"t":1781431225,"sc":"EA8XXX",)"
        R"("sl":"IL18AA","rc":"DK7UK","rl":"JN48QT","sa":29,"ra":230,"b":"6m"})",
        Receipt + seconds(3));
    ASSERT_EQ(reading.Problem, ReportProblem::None);
    EXPECT_EQ(reading.Read.FromLoc, "IL18AA"); // the sender
    EXPECT_EQ(reading.Read.ToLoc, "JN48QT");   // the receiver
    EXPECT_EQ(reading.Read.FreqMHzText, "50.313512");
    EXPECT_DOUBLE_EQ(reading.Read.FreqMHz, 50.313512);
    EXPECT_EQ(reading.Read.Mode, "FT8");
    EXPECT_EQ(reading.Read.Tag, ""); // a mode is no propagation tag
    EXPECT_EQ(reading.Read.DxCall, "EA8XXX");
    EXPECT_EQ(reading.Read.Spotter, "DK7UK");
    ASSERT_TRUE(reading.Sequence.has_value());
    EXPECT_EQ(*reading.Sequence, 30142870791U);
    EXPECT_EQ(reading.Time, Receipt);
    EXPECT_TRUE(reading.OwnTime);
}

TEST(ReportReader, FrequencyInHzBecomesExactMHzText) {
    const struct {
        const char *Field;
        const char *MHz; // "" for no frequency
    } cases[] = {
        {R"("f":50313512)", "50.313512"},
        {R"("f":144174000)", "144.174"},
        {R"("f":70154321)", "70.154321"},
        {R"("f":28074500)", "28.0745"},
        {R"("f":50000000)", "50"},
        {R"("f":1296200000)", "1296.2"},
        {R"("f":1)", "0.000001"},
        // A fraction of a hertz is kept as written.
        {R"("f":50313512.5)", "50.3135125"},
        // The same whole number written as a fraction or with an exponent.
        {R"("f":50313512.0)", "50.313512"},
        {R"("f":5.0313512e7)", "50.313512"},
        // Nothing usable.
        {R"("f":0)", ""},
        {R"("f":-50313512)", ""},
        {R"("f":0.5)", ""},
        {R"("f":"50313512")", ""},
        {R"("f":null)", ""},
        {R"("f":1e13)", ""},
    };
    for (const auto &c : cases) {
        // The report's own "f" comes first in the object; a later one replaces it.
        const auto reading = ReadReport(WithField(c.Field), Receipt);
        EXPECT_EQ(reading.Read.FreqMHzText, c.MHz) << c.Field;
        EXPECT_EQ(reading.Problem,
                  std::string(c.MHz).empty() ? ReportProblem::NoFrequency : ReportProblem::None)
            << c.Field;
    }
    const auto missing = ReadReport(Report(R"("sl":"IL18AA","rl":"JN48QT","md":"FT8")"), Receipt);
    EXPECT_EQ(missing.Problem, ReportProblem::NoFrequency);
}

TEST(ReportReader, LocatorsOfEveryLengthAndCase) {
    const struct {
        const char *Sender;
        const char *Receiver;
        ReportProblem Problem;
        const char *From;
        const char *To;
    } cases[] = {
        {"IL18AA", "JN48QT", ReportProblem::None, "IL18AA", "JN48QT"},
        {"IL18", "JN48", ReportProblem::None, "IL18", "JN48"},
        {"IL18AA55", "JN48QT12", ReportProblem::None, "IL18AA", "JN48QT"},
        {"IL18AA55XA", "JN48QT12AB", ReportProblem::None, "IL18AA", "JN48QT"},
        {"il18aa", "jn48Qt", ReportProblem::None, "IL18AA", "JN48QT"},
        // A square and a subsquare in it other than its centre MM are two places.
        {"JN48", "JN48QT", ReportProblem::None, "JN48", "JN48QT"},
        // Short, odd and overlong locators count as none.
        {"IL1", "JN48QT", ReportProblem::OneLocator, "", "JN48QT"},
        {"IL18A", "JN48QT", ReportProblem::OneLocator, "", "JN48QT"},
        {"IL18AA5", "JN48QT", ReportProblem::OneLocator, "", "JN48QT"},
        {"IL18AA55XA99", "JN48QT", ReportProblem::OneLocator, "", "JN48QT"},
        {"IL18AA", "", ReportProblem::OneLocator, "IL18AA", ""},
        // A field past R, a subsquare past X, a letter where a digit belongs.
        {"SL18AA", "JN48QT", ReportProblem::OneLocator, "", "JN48QT"},
        {"IL18AY", "JN48QT", ReportProblem::OneLocator, "", "JN48QT"},
        {"IL18AAX5", "JN48QT", ReportProblem::OneLocator, "", "JN48QT"},
        {"IL18AA55ZA", "JN48QT", ReportProblem::OneLocator, "", "JN48QT"},
        {" IL18AA", "JN48QT", ReportProblem::OneLocator, "", "JN48QT"},
        {"", "", ReportProblem::NoLocators, "", ""},
        {"IL1", "JN", ReportProblem::NoLocators, "", ""},
        // Two locators that are one after cutting to six characters.
        {"JN48QT", "JN48QT", ReportProblem::SameLocators, "JN48QT", "JN48QT"},
        {"JN48QT12", "jn48qt99", ReportProblem::SameLocators, "JN48QT", "JN48QT"},
        // A square is seen at its centre subsquare MM.
        {"JN48", "JN48MM", ReportProblem::SameLocators, "JN48", "JN48MM"},
        {"jn48mm12", "JN48", ReportProblem::SameLocators, "JN48MM", "JN48"},
    };
    for (const auto &c : cases) {
        const auto reading = ReadReport(Report(std::string(R"("f":50313512,"md":"FT4","sl":")") +
                                               c.Sender + R"(","rl":")" + c.Receiver + "\""),
                                        Receipt);
        EXPECT_EQ(reading.Problem, c.Problem) << c.Sender << " " << c.Receiver;
        EXPECT_EQ(reading.Read.FromLoc, c.From) << c.Sender;
        EXPECT_EQ(reading.Read.ToLoc, c.To) << c.Receiver;
    }
    const auto missing = ReadReport(Report(R"("f":50313512,"rl":"JN48QT")"), Receipt);
    EXPECT_EQ(missing.Problem, ReportProblem::OneLocator);
    const auto numbers = ReadReport(Report(R"("f":50313512,"sl":1818,"rl":4848)"), Receipt);
    EXPECT_EQ(numbers.Problem, ReportProblem::NoLocators);
}

TEST(ReportReader, ModesAreKeptAndMeteorScatterIsSkipped) {
    const struct {
        const char *Field;
        ReportProblem Problem;
        const char *Mode;
    } cases[] = {
        {R"("md":"FT8")", ReportProblem::None, "FT8"},
        {R"("md":"ft4")", ReportProblem::None, "FT4"},
        {R"("md":"Q65")", ReportProblem::None, "Q65"},
        {R"("md":"CW")", ReportProblem::None, "CW"},
        {R"("md":"MSK144")", ReportProblem::MeteorScatter, "MSK144"},
        {R"("md":"msk144")", ReportProblem::MeteorScatter, "MSK144"},
        // Not a mode: left out, the report still counts.
        {R"("md":"FT 8")", ReportProblem::None, ""},
        {R"("md":7)", ReportProblem::None, ""},
    };
    for (const auto &c : cases) {
        const auto reading = ReadReport(WithField(c.Field), Receipt);
        EXPECT_EQ(reading.Problem, c.Problem) << c.Field;
        EXPECT_EQ(reading.Read.Mode, c.Mode) << c.Field;
    }
    // Meteor scatter is named as such even when the report lacks more.
    EXPECT_EQ(ReadReport(Report(R"("md":"MSK144","f":144360000)"), Receipt).Problem,
              ReportProblem::MeteorScatter);
}

TEST(ReportReader, NotReports) {
    for (const char *payload :
         {"", "not json", "[1,2]", "\"IL18AA JN48QT\"", "{", "{\"f\":50313512,}", "null"}) {
        EXPECT_EQ(ReadReport(payload, Receipt).Problem, ReportProblem::NotAReport) << payload;
    }
}

TEST(ReportReader, LengthBound) {
    // A report padded to exactly MaxPayloadBytes is read; one byte more is refused.
    const std::string start = WithField(R"("pad":")");
    const std::string end = "\"}";
    std::string report(MaxPayloadBytes, 'x');
    report.replace(0, start.size(), start);
    report.replace(report.size() - end.size(), end.size(), end);
    EXPECT_EQ(ReadReport(report, Receipt).Problem, ReportProblem::None);
    report.insert(start.size(), 1, 'x');
    ASSERT_EQ(report.size(), MaxPayloadBytes + 1);
    EXPECT_EQ(ReadReport(report, Receipt).Problem, ReportProblem::TooLong);
}

TEST(ReportReader, OwnTimeWithinTheHourBeforeAndNeverPastTheReceipt) {
    const struct {
        const char *Field;
        long long ExpectedOffset; // from the receipt time
        bool Own;
    } cases[] = {
        {R"("t":1781431225)", 0, true},
        {R"("t":1781427625)", -3600, true}, // 60 minutes before: still believed
        {R"("t":1781427624)", 0, false},    // one second more
        {R"("t":1781431226)", 0, true},     // ahead: at the receipt, never past its clock
        {R"("t":1781431345)", 0, true},     // 2 minutes ahead: still believed
        {R"("t":1781431346)", 0, false},    // one second more
        {R"("t":0)", 0, false},
        {R"("t":-1781431225)", 0, false},
        {R"("t":1781431215.5)", 0, false},
        {R"("t":"1781431215")", 0, false},
        {R"("t":9223372036854775807)", 0, false},
        {R"("t":1e300)", 0, false},
    };
    for (const auto &c : cases) {
        const auto reading = ReadReport(WithField(c.Field), Receipt);
        EXPECT_EQ(reading.Problem, ReportProblem::None) << c.Field;
        EXPECT_EQ((reading.Time - Receipt).count(), c.ExpectedOffset) << c.Field;
        EXPECT_EQ(reading.OwnTime, c.Own) << c.Field;
    }
    // No time at all: the receipt time.
    const auto none = ReadReport(Report(R"("f":50313512,"sl":"IL18AA","rl":"JN48QT")"), Receipt);
    EXPECT_EQ(none.Time, Receipt);
    EXPECT_FALSE(none.OwnTime);
}

TEST(ReportReader, TheSameReportTwiceCountsOnce) {
    ReportReader reader;
    const std::string first = WithField(R"("sq":1001)");
    EXPECT_EQ(reader.Read(first, Receipt).Problem, ReportProblem::None);
    EXPECT_EQ(reader.Read(first, Receipt + seconds(5)).Problem, ReportProblem::Repeated);
    // The same transmission heard by another receiver has a number of its own.
    EXPECT_EQ(reader.Read(WithField(R"("sq":1002,"rl":"JO65")"), Receipt).Problem,
              ReportProblem::None);
    // Without a number nothing tells repeats apart: each counts.
    const std::string unnumbered = Report(R"("f":50313512,"sl":"IL18AA","rl":"JN48QT")");
    EXPECT_EQ(reader.Read(unnumbered, Receipt).Problem, ReportProblem::None);
    EXPECT_EQ(reader.Read(unnumbered, Receipt).Problem, ReportProblem::None);
    // A skipped report leaves its number free for a usable one.
    EXPECT_EQ(reader.Read(WithField(R"("sq":1003,"md":"MSK144")"), Receipt).Problem,
              ReportProblem::MeteorScatter);
    EXPECT_EQ(reader.Read(WithField(R"("sq":1003)"), Receipt).Problem, ReportProblem::None);
}

TEST(ReportReader, SequenceMemoryForgetsTheOldestBeyondItsBound) {
    SequenceMemory memory(3);
    for (const std::uint64_t sequence : {1U, 2U, 3U, 4U}) {
        EXPECT_TRUE(memory.Remember(sequence));
    }
    EXPECT_EQ(memory.Size(), 3U);
    EXPECT_FALSE(memory.Remember(4));
    EXPECT_FALSE(memory.Remember(2));
    EXPECT_TRUE(memory.Remember(1)); // forgotten: the oldest went when 4 came
    EXPECT_EQ(memory.Size(), 3U);

    // The default memory holds an hour of a busy opening, and no more.
    SequenceMemory hour;
    for (std::uint64_t sequence = 0; sequence <= SequenceMemory::RecentSequences; ++sequence) {
        ASSERT_TRUE(hour.Remember(sequence));
    }
    EXPECT_EQ(hour.Size(), SequenceMemory::RecentSequences);
    EXPECT_FALSE(hour.Remember(1));
    EXPECT_TRUE(hour.Remember(0));
}

} // namespace
} // namespace ionvane::feed
