// The source on a socket: datagrams sent to it on 127.0.0.1 come out as events; a multicast
// address binds a shared port and asks to join its group (the join is stood in for: no test joins
// a group or sends to one).
#include "wsjtx/wsjtx_source.h"

#include "datagram_writer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace ionvane::wsjtx {
namespace {

using namespace std::chrono_literals;

constexpr Seconds Now{std::chrono::seconds(1781431225)}; // 2026-06-14T10:00:25Z

SourceEnvironment Frozen(std::vector<QHostAddress> *joined = nullptr) {
    SourceEnvironment environment;
    environment.Now = [] { return std::chrono::system_clock::time_point(Now); };
    environment.JoinGroup = [joined](QUdpSocket &, const QHostAddress &group) {
        if (joined != nullptr) {
            joined->push_back(group);
        }
        return true;
    };
    return environment;
}

ListenAddress Local(const char *address = "127.0.0.1") {
    ListenAddress where;
    where.Address = QHostAddress(QString::fromLatin1(address));
    where.Port = 0; // the system picks a free port
    return where;
}

TEST(WsjtxSource, DatagramsSentToItBecomeSpotsAndSkips) {
    WsjtxSource source(Local(), ReaderSettings{"JO62QM", false}, Frozen());
    std::vector<WsjtxEvent> events;
    QObject::connect(&source, &WsjtxSource::Event,
                     [&](const WsjtxEvent &event) { events.push_back(event); });
    source.Start();
    ASSERT_EQ(source.State(), Listening::Listening);

    QUdpSocket sender;
    const std::vector<std::string> datagrams = {
        test::Heartbeat(), test::Status(50313000), test::Decode(36015000, "CQ EA8ABC IL18"),
        test::Decode(36015000, "EA7XYZ SP5AB RR73"), "\xAD\xBC\xCB"};
    for (const std::string &bytes : datagrams) {
        sender.writeDatagram(bytes.data(), static_cast<qint64>(bytes.size()),
                             QHostAddress::LocalHost, source.BoundPort());
    }
    const QDeadlineTimer deadline(5000);
    while (events.size() < datagrams.size() + 1 && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    ASSERT_EQ(events.size(), datagrams.size() + 1);
    EXPECT_EQ(events[0].What, WsjtxEvent::Kind::Listening);
    EXPECT_EQ(events[1].What, WsjtxEvent::Kind::News);
    EXPECT_EQ(events[3].What, WsjtxEvent::Kind::Spot);
    EXPECT_EQ(events[3].Reading.Read.FreqMHzText, "50.314512");
    EXPECT_EQ(events[3].Reading.Time, Now - 10s);
    EXPECT_EQ(events[3].ReceivedAt, Now);
    EXPECT_EQ(events[3].Raw.substr(0, 16), "WSJTX Decode id=");
    EXPECT_EQ(events[4].Reason(), "No grid of the sender in the message");
    EXPECT_EQ(events[5].Reason(), "The datagram ends inside a field");
    EXPECT_EQ(SightWords(source.LatestClient(), Now, Now + 12s),
              "WSJT-X 2.6.1 on 50.313 MHz FT8, last decode 12 s ago");
    source.Stop();
    EXPECT_EQ(events.back().State, Listening::Stopped);
}

// A busy FT8 slot ends in a burst of decodes sent back to back. The source once stopped reading
// for good after such a burst when the event loop (glib's, the tests' default) gave no second
// readyRead while datagrams still waited. The bursts come from another thread while this one
// works on each datagram a little, and a third thread spins, as on a loaded machine; every
// round ends in a heartbeat of its own, which must come out.
TEST(WsjtxSource, KeepsReadingAfterBurstsUnderLoad) {
    constexpr int Rounds = 100;
    constexpr int BurstDatagrams = 100; // a busy slot's decodes
    WsjtxSource source(Local(), ReaderSettings{"JO62QM", false}, Frozen());
    std::atomic<int> heard{-1};
    QObject::connect(&source, &WsjtxSource::Event, [&](const WsjtxEvent &event) {
        if (event.What == WsjtxEvent::Kind::News) {
            heard = std::stoi(event.Read.Beat.Version);
        }
        // A store's write, a line of output.
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    });
    source.Start();
    ASSERT_EQ(source.State(), Listening::Listening);
    const quint16 port = source.BoundPort();
    std::atomic<bool> done{false};
    std::thread spinner([&done] {
        while (!done.load(std::memory_order_relaxed)) {
        }
    });
    std::thread sender([&heard, &done, port] {
        QUdpSocket socket;
        const std::string decode = test::Decode(36015000, "CQ EA8ABC IL18");
        for (int round = 0; round < Rounds && !done; ++round) {
            for (int i = 0; i < BurstDatagrams; ++i) {
                socket.writeDatagram(decode.data(), static_cast<qint64>(decode.size()),
                                     QHostAddress::LocalHost, port);
            }
            const std::string last = test::Heartbeat(std::to_string(round).c_str());
            socket.writeDatagram(last.data(), static_cast<qint64>(last.size()),
                                 QHostAddress::LocalHost, port);
            const QDeadlineTimer deadline(5000);
            while (heard < round && !deadline.hasExpired()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            if (heard < round) {
                break;
            }
        }
        done = true;
    });
    while (!done) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    sender.join();
    spinner.join();
    EXPECT_EQ(heard, Rounds - 1) << "deaf after round " << heard;
}

TEST(WsjtxSource, AMulticastAddressSharesThePortAndJoinsTheGroup) {
    std::vector<QHostAddress> joined;
    WsjtxSource source(Local("239.255.0.1"), ReaderSettings{}, Frozen(&joined));
    source.Start();
    EXPECT_EQ(source.State(), Listening::Listening);
    ASSERT_EQ(joined.size(), 1U);
    EXPECT_EQ(joined[0], QHostAddress("239.255.0.1"));
    // A second listener on the same port, as another program beside this one.
    {
        QUdpSocket other;
        EXPECT_TRUE(other.bind(QHostAddress::AnyIPv4, source.BoundPort(),
                               QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint));
    }

    // Bound to every address for the group, the socket also gets what is sent to the machine's
    // own addresses: such a datagram is not taken.
    std::vector<WsjtxEvent> events;
    QObject::connect(&source, &WsjtxSource::Event,
                     [&](const WsjtxEvent &event) { events.push_back(event); });
    const std::string beat = test::Heartbeat();
    QUdpSocket sender;
    sender.writeDatagram(beat.data(), static_cast<qint64>(beat.size()), QHostAddress::LocalHost,
                         source.BoundPort());
    const QDeadlineTimer deadline(5000);
    while (source.NotForGroup() == 0 && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_EQ(source.NotForGroup(), 1U);
    EXPECT_TRUE(events.empty());
}

TEST(WsjtxSource, ReadsTheListenAddressAsTheUserWritesIt) {
    struct Case {
        const char *Text;
        const char *Where; // "" when refused
    };
    const Case cases[] = {
        {"2237", "127.0.0.1:2237"},
        {"239.255.0.1:2237", "239.255.0.1:2237"},
        {"[ff02::1]:2237", "[ff02::1]:2237"},
        {"localhost:2238", "127.0.0.1:2238"},
        {"0", ""},
        {"127.0.0.1:70000", ""},
        {"wsjtx.example:2237", ""},
        {"127.0.0.1", ""},
    };
    for (const Case &c : cases) {
        const auto read = ReadListenAddress(QString::fromLatin1(c.Text));
        EXPECT_EQ(read.Read ? ListenAddressText(*read.Read) : "", c.Where) << c.Text;
        EXPECT_NE(read.Read.has_value(), !read.Problem.empty()) << c.Text;
    }
    EXPECT_TRUE(IsMulticastGroup(QHostAddress("224.0.0.1")));
    EXPECT_TRUE(IsMulticastGroup(QHostAddress("ff05::1")));
    EXPECT_FALSE(IsMulticastGroup(QHostAddress("127.0.0.1")));
}

} // namespace
} // namespace ionvane::wsjtx
