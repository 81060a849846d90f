// The live WSJT-X source: a UDP socket on the port WSJT-X reports to, every datagram read into an
// event as it arrives. Listens only; never sends anything.
#pragma once

#include "decode_reader.h"
#include "wsjtx_event.h"

#include <QHostAddress>
#include <QObject>

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <utility>

class QTimer;
class QUdpSocket;

namespace ionvane::wsjtx {

/// WSJT-X's default UDP server: its own machine, port 2237.
constexpr std::string_view DefaultAddress = "127.0.0.1";
constexpr quint16 DefaultPort = 2237;

/// Where to listen.
struct ListenAddress {
    QHostAddress Address{QString::fromLatin1(DefaultAddress.data(), DefaultAddress.size())};
    quint16 Port = DefaultPort;
};

/// A listen address as the user writes it, or why not.
struct ListenReading {
    std::optional<ListenAddress> Read;
    std::string Problem; ///< the user's words, when Read is empty
};

/// Reads "[ADDRESS:]PORT": "2237", "127.0.0.1:2237", "239.255.0.1:2237", "[ff02::1]:2237".
/// ADDRESS is an IP address ("localhost" is 127.0.0.1); it defaults to 127.0.0.1; the port runs
/// from 1 to 65535.
ListenReading ReadListenAddress(const QString &text);

/// "127.0.0.1:2237", "[ff02::1]:2237".
std::string ListenAddressText(const ListenAddress &where);

/// Whether listening at `address` joins a multicast group: 224.0.0.0/4 or ff00::/8.
bool IsMulticastGroup(const QHostAddress &address);

/// Whether a datagram sent to `destination` is taken by a source listening at `listened`. A
/// socket on a unicast address is given only what was sent to it; one listening to a multicast
/// group is bound to every address of the machine (to receive the group at all), so it takes only
/// what was sent to the group: a unicast datagram from any host of the network is refused, and so
/// is one whose destination the system did not tell.
bool SentToListened(const QHostAddress &listened, const QHostAddress &destination);

/// Joins `group` on every interface that is up and can carry multicast, the loopback interface
/// included (WSJT-X may send a group out on loopback only); true when any join succeeded.
bool JoinOnEveryInterface(QUdpSocket &socket, const QHostAddress &group);

/// The outside world of a source, passed in so tests can stand in for it.
struct SourceEnvironment {
    std::function<std::chrono::system_clock::time_point()> Now = [] {
        return std::chrono::system_clock::now();
    };
    /// Joins a multicast group on the bound socket. Tests stand in for it and note the group, so
    /// that no test ever joins a group on the network.
    std::function<bool(QUdpSocket &, const QHostAddress &)> JoinGroup = JoinOnEveryInterface;
};

/// One UDP socket. Start() binds (and joins the group), Stop() closes; every datagram and every
/// change comes out as an Event. Do not delete the source from a slot of its own Event.
class WsjtxSource : public QObject {
    Q_OBJECT

  public:
    /// Datagrams read into the program in one turn of the event loop: taking them off the socket
    /// at once keeps a burst (WSJT-X sends a slot's decodes together) from overflowing the
    /// system's small receive buffer while the tracker works.
    static constexpr std::size_t MaxWaiting = 4096;
    /// Datagrams handed on in one turn; the rest wait for the next turn, so that a flood does not
    /// starve the window. Beyond MaxWaiting a flood is read and dropped (and counted), so that the
    /// socket is never left holding datagrams: the memory held is at most MaxWaiting datagrams of
    /// at most MaxDatagramBytes.
    static constexpr int DatagramsPerTurn = 256;
    /// The system's receive buffer asked for, bytes: a datagram takes about 1 KiB of it whatever
    /// its size, so the usual 208 KiB hold some 200, fewer than a burst of decodes replayed from a
    /// file; 2 MiB holds some 2,000 (the system caps the request at its own maximum).
    static constexpr int ReceiveBufferBytes = 2 * 1024 * 1024;
    /// Datagrams taken off the socket in one wake-up at most, those dropped beyond MaxWaiting
    /// included: a flood faster than the reading still lets the event loop turn.
    static constexpr std::size_t MaxReadsPerWakeUp = 2 * MaxWaiting;
    /// How often the socket is read while listening whatever the event loop says, ms: readyRead
    /// may not come again for datagrams left waiting (glib's event loop under load), and a
    /// socket never read again is deaf for good. A fifth of a second is far below the 15-s slot.
    static constexpr int SafetyReadMs = 200;

    WsjtxSource(ListenAddress where, ReaderSettings reader, SourceEnvironment environment,
                QObject *parent = nullptr);
    ~WsjtxSource() override;
    WsjtxSource(const WsjtxSource &) = delete;
    WsjtxSource &operator=(const WsjtxSource &) = delete;

    /// Binds and starts reading (from Stopped or Failed).
    void Start();
    /// Closes the socket and says Stopped; nothing when already stopped.
    void Stop();

    [[nodiscard]] Listening State() const { return Current; }
    /// The port actually bound (the one asked for, or the system's choice for port 0 in tests).
    [[nodiscard]] quint16 BoundPort() const;
    /// Whether decodes of recordings count; may change while listening.
    void SetRecordings(bool recordings) { Reader.Options().Recordings = recordings; }
    /// The WSJT-X heard last, for the words of its state.
    [[nodiscard]] const Client *LatestClient() const { return Reader.LatestClient(); }
    /// Datagrams dropped because MaxWaiting were already waiting, since Start.
    [[nodiscard]] std::uint64_t Dropped() const { return DroppedCount; }
    /// Datagrams refused because they were not sent to the group listened to, since Start.
    [[nodiscard]] std::uint64_t NotForGroup() const { return NotForGroupCount; }
    /// Sends `bytes` (a request such as HighlightCallsign) to the WSJT-X with `id`, from the
    /// listening socket to the address and port its own datagrams came from, where WSJT-X takes
    /// requests. False when no WSJT-X of that id was heard or the socket is closed.
    bool SendTo(const std::string &id, const std::string &bytes);

  signals:
    void Event(const ionvane::wsjtx::WsjtxEvent &event);

  private:
    void ReadPending();
    void HandOn();
    void Say(Listening state, std::string detail);
    [[nodiscard]] Seconds ReceiptTime() const;

    ListenAddress Where;
    SourceEnvironment Environment;
    DecodeReader Reader;
    QUdpSocket *Socket = nullptr;
    QTimer *SafetyRead = nullptr;
    Listening Current = Listening::Stopped;
    bool HandOnScheduled = false;
    struct Received {
        Seconds At{};
        std::string Bytes;
        QHostAddress From;
        quint16 FromPort = 0;
    };
    std::deque<Received> Waiting;
    /// Where each WSJT-X heard sends from, by id, the latest heard last; at most
    /// DecodeReader::MaxClients, as the reader keeps.
    struct Sender {
        std::string Id;
        QHostAddress Address;
        quint16 Port = 0;
    };
    std::deque<Sender> Senders;
    void Heard(const std::string &id, const QHostAddress &address, quint16 port);
    std::uint64_t DroppedCount = 0;
    std::uint64_t NotForGroupCount = 0;
};

} // namespace ionvane::wsjtx

Q_DECLARE_METATYPE(ionvane::wsjtx::WsjtxEvent)
