// The datagram reader against datagrams written by QDataStream from the published layout, and
// against malformed ones: each is refused with its problem and never read past its end (the
// sanitizer build catches a read beyond the bytes handed over, which are copied to a buffer of
// their own size).
#include "wsjtx/datagram.h"

#include "datagram_writer.h"

#include <gtest/gtest.h>

#include <memory>

namespace ionvane::wsjtx {
namespace {

// Reads a copy held in a heap block of exactly its size, so an over-read is a sanitizer fault.
Datagram ReadExact(const std::string &bytes) {
    const auto block = std::make_unique<char[]>(bytes.size() + 1);
    std::copy(bytes.begin(), bytes.end(), block.get());
    return ReadDatagram(std::string_view(block.get(), bytes.size()));
}

TEST(WsjtxDatagram, ReadsTheFieldsOfEachType) {
    const Datagram beat = ReadExact(test::Heartbeat());
    EXPECT_EQ(beat.Problem, DatagramProblem::None);
    EXPECT_EQ(beat.Id, "WSJT-X");
    EXPECT_EQ(beat.Beat.MaxSchema, 3U);
    EXPECT_EQ(beat.Beat.Version, "2.6.1");

    const Datagram status = ReadExact(test::Status(50313000));
    ASSERT_EQ(status.Problem, DatagramProblem::None);
    EXPECT_EQ(status.State.DialFreqHz, 50313000U);
    EXPECT_EQ(status.State.Mode, "FT8");
    EXPECT_EQ(status.State.DxCall, ""); // null text
    EXPECT_EQ(status.State.DeCall, "DL1ABC");
    EXPECT_EQ(status.State.DeGrid, "JO62");
    EXPECT_EQ(status.State.TrPeriodS, 15U);
    EXPECT_EQ(status.State.ConfigurationName, "Default");

    const Datagram decode = ReadExact(test::Decode(36015000, "CQ EA8ABC IL18", "~", 1512, true));
    ASSERT_EQ(decode.Problem, DatagramProblem::None);
    EXPECT_EQ(decode.Heard.TimeMs, 36015000U);
    EXPECT_EQ(decode.Heard.SnrDb, -12);
    EXPECT_DOUBLE_EQ(decode.Heard.DeltaTimeS, 0.1);
    EXPECT_EQ(decode.Heard.DeltaFreqHz, 1512U);
    EXPECT_EQ(decode.Heard.Mode, "~");
    EXPECT_EQ(decode.Heard.Message, "CQ EA8ABC IL18");
    EXPECT_TRUE(decode.Heard.LowConfidence);
    EXPECT_FALSE(decode.Heard.OffAir);

    EXPECT_EQ(ReadExact(test::Writer(3).Data()).Problem, DatagramProblem::None);    // Clear
    EXPECT_EQ(ReadExact(test::Writer(6, 3).Data()).Problem, DatagramProblem::None); // Close
}

TEST(WsjtxDatagram, AStatusOfAnOlderVersionEndsAfterTheDeGrid) {
    test::Writer w(1);
    w << quint64(144174000);
    w.Text("FT8").Text("").Text("").Text("FT8");
    w << false << false << false << quint32(0) << quint32(0);
    w.Text("DL1ABC").Text("JO62");
    const Datagram status = ReadExact(w.Data());
    EXPECT_EQ(status.Problem, DatagramProblem::None);
    EXPECT_EQ(status.State.DeGrid, "JO62");
}

TEST(WsjtxDatagram, RefusesMalformedDatagramsWithTheirProblem) {
    const std::string decode = test::Decode(36015000, "CQ EA8ABC IL18");
    test::Writer longText(2);
    longText << true << quint32(0) << qint32(0) << 0.0 << quint32(0) << quint32(200);
    struct Case {
        const char *Name;
        std::string Bytes;
        DatagramProblem Problem;
    };
    const Case cases[] = {
        {"empty", "", DatagramProblem::Short},
        {"cut in the magic", decode.substr(0, 3), DatagramProblem::Short},
        {"cut in the id length", decode.substr(0, 14), DatagramProblem::Short},
        {"cut before the last flag", decode.substr(0, decode.size() - 1), DatagramProblem::Short},
        {"wrong magic", test::Writer(2, 2, "WSJT-X", 0xADBCCBDB).Data(),
         DatagramProblem::WrongMagic},
        {"schema 1", test::Writer(2, 1).Data(), DatagramProblem::UnknownSchema},
        {"schema 4", test::Writer(2, 4).Data(), DatagramProblem::UnknownSchema},
        {"null id", test::Writer(0, 2, nullptr).Data(), DatagramProblem::NullText},
        {"null message", test::Decode(0, nullptr), DatagramProblem::NullText},
        {"mode of 200 bytes in 40", longText.Data() + "FT8", DatagramProblem::TextTooLong},
        {"id length 0xFFFFFFFE", decode.substr(0, 12) + "\xFF\xFF\xFF\xFE",
         DatagramProblem::TextTooLong},
        {"time of day 24:00", test::Decode(86400000, "CQ EA8ABC IL18"), DatagramProblem::BadTime},
        {"past the longest", decode + std::string(MaxDatagramBytes, '\0'),
         DatagramProblem::TooLong},
        {"QSO logged", test::Writer(5).Data(), DatagramProblem::OtherType},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ReadExact(c.Bytes).Problem, c.Problem) << c.Name;
    }
}

TEST(WsjtxDatagram, EveryCutOfAValidDatagramIsRefused) {
    for (const std::string &whole : {test::Decode(0, "CQ EA8ABC IL18"), test::Heartbeat()}) {
        for (std::size_t size = 0; size < whole.size(); ++size) {
            const auto problem = ReadExact(whole.substr(0, size)).Problem;
            EXPECT_TRUE(problem == DatagramProblem::Short ||
                        problem == DatagramProblem::TextTooLong)
                << size;
        }
    }
}

} // namespace
} // namespace ionvane::wsjtx
