#include "wsjtx_source.h"

#include "station/host_port.h"

#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QTimer>
#include <QUdpSocket>
#include <QVariant>

#include <algorithm>
#include <iterator>

namespace ionvane::wsjtx {

namespace {

constexpr std::string_view LocalHostName = "localhost";

bool AllDigits(const QString &text) {
    if (text.isEmpty()) {
        return false;
    }
    for (const QChar c : text) {
        if (!c.isDigit()) {
            return false;
        }
    }
    return true;
}

} // namespace

ListenReading ReadListenAddress(const QString &text) {
    ListenReading reading;
    const QString trimmed = text.trimmed();
    ListenAddress where;
    QString portText = trimmed;
    if (!AllDigits(trimmed)) {
        const auto hostPort = station::ReadHostAndPort(trimmed);
        if (hostPort.Problem == station::HostProblem::PortRange) {
            reading.Problem = "The port is not a whole number from 1 to 65535";
            return reading;
        }
        if (hostPort.Problem != station::HostProblem::None || !hostPort.Read.Port) {
            reading.Problem = "Not an address and port: write PORT or ADDRESS:PORT";
            return reading;
        }
        const QString host = hostPort.Read.Host;
        if (host.compare(QString::fromLatin1(LocalHostName.data(), LocalHostName.size()),
                         Qt::CaseInsensitive) != 0 &&
            !where.Address.setAddress(host)) {
            reading.Problem = "Not an IP address: " + host.toStdString();
            return reading;
        }
        where.Port = *hostPort.Read.Port;
        reading.Read = where;
        return reading;
    }
    bool ok = false;
    const uint port = portText.toUInt(&ok);
    if (!ok || port < 1 || port > station::MaxPort) {
        reading.Problem = "The port is not a whole number from 1 to 65535";
        return reading;
    }
    where.Port = static_cast<quint16>(port);
    reading.Read = where;
    return reading;
}

std::string ListenAddressText(const ListenAddress &where) {
    const QString address = where.Address.toString();
    const bool v6 = where.Address.protocol() == QAbstractSocket::IPv6Protocol;
    return (v6 ? "[" + address + "]" : address).toStdString() + ':' + std::to_string(where.Port);
}

bool IsMulticastGroup(const QHostAddress &address) {
    return address.isMulticast();
}

bool SentToListened(const QHostAddress &listened, const QHostAddress &destination) {
    if (!IsMulticastGroup(listened)) {
        return true;
    }
    if (listened.protocol() == QAbstractSocket::IPv6Protocol &&
        destination.protocol() == QAbstractSocket::IPv6Protocol) {
        // The group as written carries no interface (scope); the address told may.
        const Q_IPV6ADDR a = listened.toIPv6Address();
        const Q_IPV6ADDR b = destination.toIPv6Address();
        return std::equal(std::begin(a.c), std::end(a.c), std::begin(b.c));
    }
    return listened.isEqual(destination, QHostAddress::TolerantConversion);
}

bool JoinOnEveryInterface(QUdpSocket &socket, const QHostAddress &group) {
    bool joined = false;
    for (const QNetworkInterface &interface : QNetworkInterface::allInterfaces()) {
        const auto flags = interface.flags();
        if (flags.testFlag(QNetworkInterface::IsUp) &&
            (flags.testFlag(QNetworkInterface::CanMulticast) ||
             flags.testFlag(QNetworkInterface::IsLoopBack))) {
            joined = socket.joinMulticastGroup(group, interface) || joined;
        }
    }
    return joined || socket.joinMulticastGroup(group);
}

WsjtxSource::WsjtxSource(ListenAddress where, ReaderSettings reader, SourceEnvironment environment,
                         QObject *parent)
    : QObject(parent), Where(std::move(where)), Environment(std::move(environment)),
      Reader(std::move(reader)) {}

WsjtxSource::~WsjtxSource() = default;

quint16 WsjtxSource::BoundPort() const {
    return Socket != nullptr ? Socket->localPort() : 0;
}

Seconds WsjtxSource::ReceiptTime() const {
    return std::chrono::floor<std::chrono::seconds>(Environment.Now());
}

void WsjtxSource::Say(Listening state, std::string detail) {
    Current = state;
    WsjtxEvent event;
    event.What = WsjtxEvent::Kind::Listening;
    event.ReceivedAt = ReceiptTime();
    event.State = state;
    event.Detail = std::move(detail);
    emit Event(event);
}

void WsjtxSource::Start() {
    if (Current == Listening::Listening) {
        return;
    }
    delete Socket;
    Socket = new QUdpSocket(this);
    const bool multicast = IsMulticastGroup(Where.Address);
    bool bound = false;
    if (multicast) {
        // Other programs listen to the same group and port: the port is shared with them.
        const QHostAddress any = Where.Address.protocol() == QAbstractSocket::IPv6Protocol
                                     ? QHostAddress(QHostAddress::AnyIPv6)
                                     : QHostAddress(QHostAddress::AnyIPv4);
        bound = Socket->bind(any, Where.Port,
                             QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint);
    } else {
        bound = Socket->bind(Where.Address, Where.Port);
    }
    const std::string where = ListenAddressText(Where);
    if (!bound) {
        std::string reason =
            "Cannot listen on " + where + ": " + Socket->errorString().toStdString();
        if (Socket->error() == QAbstractSocket::AddressInUseError && !multicast) {
            reason += " (another program holds the port; let WSJT-X send to a multicast group "
                      "and listen there beside it)";
        }
        delete Socket;
        Socket = nullptr;
        Say(Listening::Failed, reason);
        return;
    }
    if (multicast && !Environment.JoinGroup(*Socket, Where.Address)) {
        const std::string reason = "Cannot join the multicast group " +
                                   Where.Address.toString().toStdString() + ": " +
                                   Socket->errorString().toStdString();
        delete Socket;
        Socket = nullptr;
        Say(Listening::Failed, reason);
        return;
    }
    Socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption,
                            QVariant(ReceiveBufferBytes));
    connect(Socket, &QUdpSocket::readyRead, this, &WsjtxSource::ReadPending);
    DroppedCount = 0;
    NotForGroupCount = 0;
    if (SafetyRead == nullptr) {
        SafetyRead = new QTimer(this);
        connect(SafetyRead, &QTimer::timeout, this, &WsjtxSource::ReadPending);
    }
    SafetyRead->start(SafetyReadMs);
    Say(Listening::Listening, multicast ? where + " (multicast group)" : where);
    // Datagrams that came between the bind and the connection are read now.
    ReadPending();
}

void WsjtxSource::Stop() {
    if (Current == Listening::Stopped) {
        return;
    }
    if (SafetyRead != nullptr) {
        SafetyRead->stop();
    }
    if (Socket != nullptr) {
        Socket->disconnect(this);
        Socket->close();
        Socket->deleteLater();
        Socket = nullptr;
    }
    Waiting.clear();
    Say(Listening::Stopped, {});
}

void WsjtxSource::ReadPending() {
    // Everything waiting is taken off the socket, whoever calls: a datagram left there may wait
    // for a readyRead that does not come again.
    for (std::size_t read = 0;
         read < MaxReadsPerWakeUp && Socket != nullptr && Socket->hasPendingDatagrams(); ++read) {
        // One byte more than any datagram read, so that a longer one shows as too long.
        const QNetworkDatagram datagram =
            Socket->receiveDatagram(static_cast<qint64>(MaxDatagramBytes + 1));
        if (!datagram.isValid()) {
            break; // a read error; the next wake-up tries again
        }
        if (!SentToListened(Where.Address, datagram.destinationAddress())) {
            ++NotForGroupCount;
        } else if (Waiting.size() >= MaxWaiting) {
            ++DroppedCount;
        } else {
            const QByteArray bytes = datagram.data();
            Waiting.push_back(
                {ReceiptTime(),
                 std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                 datagram.senderAddress(), static_cast<quint16>(datagram.senderPort())});
        }
    }
    if (!Waiting.empty() && !HandOnScheduled) {
        HandOnScheduled = true;
        QTimer::singleShot(0, this, &WsjtxSource::HandOn);
    }
}

void WsjtxSource::Heard(const std::string &id, const QHostAddress &address, quint16 port) {
    std::erase_if(Senders, [&](const Sender &sender) { return sender.Id == id; });
    if (Senders.size() >= DecodeReader::MaxClients) {
        Senders.pop_front();
    }
    Senders.push_back({id, address, port});
}

bool WsjtxSource::SendTo(const std::string &id, const std::string &bytes) {
    const auto sender = std::find_if(Senders.begin(), Senders.end(),
                                     [&](const Sender &heard) { return heard.Id == id; });
    if (Socket == nullptr || sender == Senders.end()) {
        return false;
    }
    return Socket->writeDatagram(bytes.data(), static_cast<qint64>(bytes.size()), sender->Address,
                                 sender->Port) == static_cast<qint64>(bytes.size());
}

void WsjtxSource::HandOn() {
    HandOnScheduled = false;
    for (int handed = 0; handed < DatagramsPerTurn && !Waiting.empty(); ++handed) {
        const Received received = std::move(Waiting.front());
        Waiting.pop_front();
        const Datagram datagram = ReadDatagram(received.Bytes);
        if (datagram.Problem == DatagramProblem::None) {
            Heard(datagram.Id, received.From, received.FromPort);
        }
        emit Event(DatagramEvent(Reader, received.At, datagram));
        if (Socket == nullptr) {
            // Stopped from a slot of that event: what waits is dropped with the socket.
            Waiting.clear();
            return;
        }
    }
    // What came while these were handed on, then the rest in the next turn.
    ReadPending();
}

} // namespace ionvane::wsjtx
