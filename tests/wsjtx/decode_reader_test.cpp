// The decode rules: which messages carry a grid, which decodes become spots and from where to
// where, the reason of every skip, the band from the dial, the 2-minute rule and the date of a
// slot around midnight; and capture lines that read back as the datagram they keep.
#include "spot/capture_line.h"
#include "wsjtx/capture_text.h"
#include "wsjtx/decode_reader.h"
#include "wsjtx/message_grid.h"
#include "wsjtx/wsjtx_event.h"

#include "datagram_writer.h"

#include <gtest/gtest.h>

namespace ionvane::wsjtx {
namespace {

using namespace std::chrono_literals;

// 2026-06-14T10:00:25Z; the slot 10:00:15 is 36015000 ms after midnight.
constexpr Seconds Receipt{std::chrono::seconds(1781431225)};
constexpr std::uint32_t SlotMs = 36015000;

TEST(WsjtxMessageGrid, TakesTheGridOfTheSecondCallOnly) {
    struct Case {
        const char *Message;
        const char *Call; // "" when no grid
        const char *Grid;
    };
    const Case cases[] = {
        {"CQ EA8ABC IL18", "EA8ABC", "IL18"},
        {"CQ DX CT1XYZ IM58", "CT1XYZ", "IM58"},
        {"CQ NA K1ABC FN42", "K1ABC", "FN42"},
        {"CQ 290 K1ABC FN42", "K1ABC", "FN42"},
        {"DL1ABC EA7XYZ IM76", "EA7XYZ", "IM76"},
        {"DL1ABC EA7XYZ R IM76", "EA7XYZ", "IM76"},
        {"<PJ4/K1ABC> EA7XYZ IM76", "EA7XYZ", "IM76"},
        {"CQ EA8ABC IL18                 a2", "EA8ABC", "IL18"},
        {"EA7XYZ SP5AB RR73", "", ""},
        {"EA7XYZ SP5AB RRR", "", ""},
        {"EA7XYZ SP5AB 73", "", ""},
        {"EA7XYZ SP5AB -12", "", ""},
        {"EA7XYZ SP5AB R-05", "", ""},
        {"CQ EA8ABC", "", ""},
        {"CQ DXPED EA8ABC IL18", "", ""}, // not a direction word
        {"HI EA8ABC IL18", "", ""},       // free text
        {"CQ <...> IL18", "", ""},
        {"DL1ABC EA7XYZ IM76 73", "", ""},
        {"CQ EA8ABC il18", "", ""},
    };
    for (const Case &c : cases) {
        const auto sent = GridOfMessage(c.Message);
        EXPECT_EQ(sent ? sent->Call : "", c.Call) << c.Message;
        EXPECT_EQ(sent ? sent->Grid : "", c.Grid) << c.Message;
    }
}

struct Reading {
    DecodeReader Reader{ReaderSettings{"JO62QM", false}};
    DecodeReading Feed(const std::string &bytes, Seconds at = Receipt) {
        return Reader.Read(ReadDatagram(bytes), at);
    }
};

TEST(WsjtxDecodeReader, ADecodeWithAGridIsASpotToTheStation) {
    Reading r;
    EXPECT_EQ(r.Feed(test::Status(50313000)).Problem, DecodeProblem::NotADecode);
    const DecodeReading read = r.Feed(test::Decode(SlotMs, "CQ EA8ABC IL18", "~", 1512));
    ASSERT_EQ(read.Problem, DecodeProblem::None);
    EXPECT_EQ(read.Read.FromLoc, "IL18");
    EXPECT_EQ(read.Read.ToLoc, "JO62"); // the DE grid of the status, not the home locator
    EXPECT_EQ(read.Read.FreqMHzText, "50.314512");
    EXPECT_EQ(read.Read.Mode, "FT8");
    EXPECT_EQ(read.Read.DxCall, "EA8ABC");
    EXPECT_EQ(read.Read.Spotter, "DL1ABC");
    EXPECT_EQ(read.Time, Receipt - 10s);

    // Without a DE grid the home locator stands in; a 2 m dial gives a 2 m spot.
    EXPECT_EQ(r.Feed(test::Status(144174000, "FT8", nullptr)).Problem, DecodeProblem::NotADecode);
    const DecodeReading home = r.Feed(test::Decode(SlotMs, "CQ EA8ABC IL18"));
    EXPECT_EQ(home.Problem, DecodeProblem::None);
    EXPECT_EQ(home.Read.ToLoc, "JO62QM");
    EXPECT_EQ(home.Read.FreqMHzText, "144.175512");
}

TEST(WsjtxDecodeReader, EverySkippedDecodeHasItsReason) {
    struct Case {
        const char *Name;
        std::string Bytes;
        bool Status; // a 6 m status first
        DecodeProblem Problem;
    };
    const Case cases[] = {
        {"no status yet", test::Decode(SlotMs, "CQ EA8ABC IL18"), false, DecodeProblem::NoDial},
        {"report", test::Decode(SlotMs, "EA7XYZ SP5AB -12"), true, DecodeProblem::NoGrid},
        {"RR73", test::Decode(SlotMs, "EA7XYZ SP5AB RR73"), true, DecodeProblem::NoGrid},
        {"MSK144", test::Decode(SlotMs, "CQ EA8ABC IL18", "&"), true, DecodeProblem::MeteorScatter},
        {"Q65", test::Decode(SlotMs, "CQ EA8ABC IL18", ":"), true, DecodeProblem::Q65},
        {"low confidence", test::Decode(SlotMs, "CQ EA8ABC IL18", "~", 0, true), true,
         DecodeProblem::LowConfidence},
        {"recording", test::Decode(SlotMs, "CQ EA8ABC IL18", "~", 0, false, true), true,
         DecodeProblem::OffAir},
        {"sent again", test::Decode(SlotMs, "CQ EA8ABC IL18", "~", 0, false, false, false), true,
         DecodeProblem::SentAgain},
        {"own square", test::Decode(SlotMs, "CQ DL2XYZ JO62"), true, DecodeProblem::OwnSquare},
        {"malformed", test::Writer(2, 9).Data(), false, DecodeProblem::Unreadable},
    };
    for (const Case &c : cases) {
        Reading r;
        if (c.Status) {
            r.Feed(test::Status(50313000));
        }
        const DecodeReading read = r.Feed(c.Bytes);
        EXPECT_EQ(read.Problem, c.Problem) << c.Name;
        EXPECT_FALSE(DecodeProblemText(read.Problem, read.Unread).empty()) << c.Name;
    }
    Reading none{DecodeReader{ReaderSettings{}}};
    none.Feed(test::Status(50313000, "FT8", ""));
    EXPECT_EQ(none.Feed(test::Decode(SlotMs, "CQ EA8ABC IL18")).Problem,
              DecodeProblem::NoOwnLocator);
}

// Numbers from the wire are bounded before they are added or dated: a dial near 2^64 Hz plus an
// offset once wrapped to a plausible 6 m spot, and a time of 0 ms dated a spot 18 hours back.
TEST(WsjtxDecodeReader, TheDialOffsetAndTimeAreBoundedBeforeUse) {
    struct Case {
        const char *Name;
        quint64 DialHz;
        quint32 OffsetHz;
        quint32 TimeMs;
        DecodeProblem Problem;
    };
    constexpr quint64 Wraps = 18446744073709550616ULL; // 2^64 - 1000
    const Case cases[] = {
        {"dial that wraps", Wraps, 1512, SlotMs, DecodeProblem::OffBand},
        {"offset past the audio", 50313000, 5001, SlotMs, DecodeProblem::OffBand},
        {"highest audio offset", 50313000, 5000, SlotMs, DecodeProblem::None},
        {"20 m", 14074000, 1512, SlotMs, DecodeProblem::OffBand},
        {"6 m top edge", 53995000, 5000, SlotMs, DecodeProblem::None},
        {"midnight read at 10:00:25", 50313000, 1512, 0, DecodeProblem::TimeBehind},
        // A 15-s slot ends 15 s after its start, and may come a minute after its end.
        {"slot ended a minute ago", 50313000, 1512, 35950000, DecodeProblem::None},
        {"slot ended a minute and a second ago", 50313000, 1512, 35949000,
         DecodeProblem::TimeBehind},
    };
    for (const Case &c : cases) {
        Reading r;
        r.Feed(test::Status(c.DialHz));
        const DecodeReading read =
            r.Feed(test::Decode(c.TimeMs, "CQ EA8ABC IL18", "~", c.OffsetHz));
        EXPECT_EQ(read.Problem, c.Problem) << c.Name;
        if (c.Problem == DecodeProblem::OffBand && c.DialHz == Wraps) {
            EXPECT_EQ(read.Read.FreqMHzText, "") << c.Name;
        }
    }
}

// Heartbeats and status messages are recorded when they tell something new, within a bound a
// minute; unreadable datagrams a few a minute, the next one recorded carrying the number not.
TEST(WsjtxDecodeReader, NewsAndUnreadableDatagramsAreRecordedWithinBounds) {
    Reading r;
    struct Step {
        std::string Bytes;
        bool Record;
    };
    const Step steps[] = {
        {test::Heartbeat(), true},
        {test::Heartbeat(), false},
        {test::Heartbeat("2.7.0"), true},
        {test::Heartbeat("2.7.0", "WSJT-X 2m"), true},
        {test::Status(50313000), true},
        {test::Status(50313000), false},
        {test::Status(50314000), true},
        {test::Status(50314000, "FT4", "JO61"), true},
        {test::Writer(6).Data(), true}, // close
        {test::Writer(6).Data(), false},
        {test::Heartbeat("2.7.0"), true}, // back after closing
        {test::Writer(5).Data(), false},  // a type not read
        {test::Decode(SlotMs, "EA7XYZ SP5AB RR73"), true},
    };
    int step = 0;
    for (const Step &s : steps) {
        EXPECT_EQ(r.Feed(s.Bytes).Record, s.Record) << "step " << step;
        ++step;
    }

    Reading flood;
    int recorded = 0;
    for (int i = 0; i < 100; ++i) {
        recorded += flood.Feed(test::Status(50313000 + static_cast<quint64>(i)), Receipt).Record;
    }
    EXPECT_EQ(recorded, NewsRecordsPerMinute);
    EXPECT_TRUE(flood.Feed(test::Status(50000000), Receipt + 60s).Record);

    Reading unread;
    for (int i = 0; i < UnreadableRecordsPerMinute + 6; ++i) {
        const DecodeReading read = unread.Feed("x", Receipt + std::chrono::seconds(i));
        EXPECT_EQ(read.Record, i < UnreadableRecordsPerMinute) << i;
        EXPECT_EQ(read.Unrecorded, 0U) << i;
    }
    const WsjtxEvent next = DatagramEvent(unread.Reader, Receipt + 60s, ReadDatagram("x"));
    EXPECT_TRUE(next.Reading.Record);
    EXPECT_EQ(next.Reason(), "The datagram ends inside a field (and 6 more unreadable not "
                             "recorded)");
    EXPECT_EQ(next.Raw, "WSJTX Unread problem=short unrecorded=6");
}

TEST(WsjtxDecodeReader, ARecordingCountsWhenAskedAtItsReceiptTime) {
    Reading r;
    r.Reader.Options().Recordings = true;
    r.Feed(test::Status(50313000));
    // A recording of a slot at 07:30:00 played at 10:00:25.
    const DecodeReading read =
        r.Feed(test::Decode(27000000, "CQ EA8ABC IL18", "~", 0, false, true));
    EXPECT_EQ(read.Problem, DecodeProblem::None);
    EXPECT_EQ(read.Time, Receipt);
}

TEST(WsjtxDecodeReader, TheSameCallOnTheSameBandCountsOnceInTwoMinutes) {
    Reading r;
    r.Feed(test::Status(50313000));
    const auto at = [&](std::chrono::seconds after, const char *message) {
        const Seconds receipt = Receipt + after;
        const auto ms = static_cast<std::uint32_t>(
            (receipt - std::chrono::floor<std::chrono::days>(receipt)).count() * 1000);
        return r.Feed(test::Decode(ms, message), receipt).Problem;
    };
    EXPECT_EQ(at(0s, "CQ EA8ABC IL18"), DecodeProblem::None);
    EXPECT_EQ(at(30s, "CQ EA8ABC IL18"), DecodeProblem::Repeated);
    EXPECT_EQ(at(45s, "DL1ABC EA8ABC IL18"), DecodeProblem::Repeated);
    EXPECT_EQ(at(60s, "CQ EA8XYZ IL28"), DecodeProblem::None);
    EXPECT_EQ(at(119s, "CQ EA8ABC IL18"), DecodeProblem::Repeated);
    EXPECT_EQ(at(120s, "CQ EA8ABC IL18"), DecodeProblem::None);
    r.Feed(test::Status(144174000));
    EXPECT_EQ(at(150s, "CQ EA8ABC IL18"), DecodeProblem::None); // another band
}

TEST(WsjtxDecodeReader, ASlotAheadOfItsReceiptByMoreThanAMinuteIsYesterdays) {
    // 2026-06-15T00:00:00Z
    constexpr Seconds Midnight{std::chrono::seconds(1781481600)};
    struct Case {
        std::chrono::seconds ReceivedAfterMidnight;
        std::uint32_t SlotMs;
        std::chrono::seconds SlotAfterMidnight;
    };
    const Case cases[] = {
        {2s, 86385000, -15s},  // 23:59:45 received at 00:00:02: yesterday
        {2s, 0, 0s},           // 00:00:00 received at 00:00:02
        {-5s, 0, 0s},          // 00:00:00 received at 23:59:55 (a fast clock): tomorrow
        {-61s, 0, -86400s},    // 00:00:00 a minute early is no slot of tomorrow
        {-1s, 86385000, -15s}, // 23:59:45 received at 23:59:59
    };
    for (const Case &c : cases) {
        EXPECT_EQ(SlotTime(c.SlotMs, Midnight + c.ReceivedAfterMidnight),
                  Midnight + c.SlotAfterMidnight)
            << c.ReceivedAfterMidnight.count();
    }
}

// The session log's line of a datagram received at the receipt time.
std::string CaptureLine(const Datagram &datagram) {
    return spot::CaptureLine(Receipt.time_since_epoch().count(), CaptureBody(datagram));
}

TEST(WsjtxCaptureText, ALineReadsBackAsTheDatagramItKeeps) {
    const Datagram decode = ReadDatagram(test::Decode(SlotMs, "CQ EA8ABC IL18"));
    const std::string line = CaptureLine(decode);
    EXPECT_EQ(line, "2026-06-14T10:00:25Z\tWSJTX Decode id=WSJT-X schema=2 new=1 time-ms=36015000 "
                    "snr=-12 dt=0.1 df=1512 mode=~ message=CQ%20EA8ABC%20IL18 low-confidence=0 "
                    "off-air=0");
    for (const std::string &bytes :
         {test::Heartbeat(), test::Status(50313000), test::Writer(5).Data(), std::string("x")}) {
        const Datagram datagram = ReadDatagram(bytes);
        const auto read = ReadCaptureLine(CaptureLine(datagram) + "\r\n");
        ASSERT_TRUE(read);
        EXPECT_EQ(read->ReceivedAt, Receipt);
        EXPECT_EQ(CaptureBody(read->Read), CaptureBody(datagram));
        EXPECT_EQ(read->Read.Problem, datagram.Problem);
    }
    EXPECT_FALSE(ReadCaptureLine("2026-06-14T10:00:25Z\tMQTT pskr/filter/v2/6m {}"));
}

TEST(WsjtxDecodeReader, AFloodOfIdsAndCallsStaysWithinItsBounds) {
    Reading r;
    for (int i = 0; i < 100; ++i) {
        r.Feed(test::Heartbeat("2.6.1", ("WSJT-X " + std::to_string(i)).c_str()),
               Receipt + std::chrono::seconds(i));
    }
    ASSERT_NE(r.Reader.LatestClient(), nullptr);
    EXPECT_EQ(r.Reader.LatestClient()->Id, "WSJT-X 99");
    EXPECT_EQ(r.Reader.ClientCount(), DecodeReader::MaxClients);

    r.Feed(test::Status(50313000));
    for (std::size_t i = 0; i < DecodeReader::MaxRecentCalls + 100; ++i) {
        const std::string call = "K1" + std::string{char('A' + i % 26), char('A' + i / 26 % 26),
                                                    char('A' + i / 676 % 26)};
        r.Feed(test::Decode(SlotMs, ("CQ " + call + " IL18").c_str()), Receipt + 50s);
    }
    EXPECT_EQ(r.Reader.RememberedCalls(), DecodeReader::MaxRecentCalls);
}

TEST(WsjtxSightWords, SayWhatWsjtxDoes) {
    Reading r;
    EXPECT_EQ(SightWords(nullptr, Receipt - 60s, Receipt), "No WSJT-X heard for 60 s");
    r.Feed(test::Heartbeat());
    r.Feed(test::Status(50313000));
    EXPECT_EQ(SightWords(r.Reader.LatestClient(), Receipt, Receipt + 5s),
              "WSJT-X 2.6.1 on 50.313 MHz FT8, no decode yet");
    r.Feed(test::Decode(SlotMs, "CQ EA8ABC IL18"));
    EXPECT_EQ(SightWords(r.Reader.LatestClient(), Receipt, Receipt + 12s),
              "WSJT-X 2.6.1 on 50.313 MHz FT8, last decode 12 s ago");
    EXPECT_EQ(SightWords(r.Reader.LatestClient(), Receipt, Receipt + 60s),
              "No WSJT-X heard for 60 s");
}

} // namespace
} // namespace ionvane::wsjtx
