#include "rotator_client.h"

#include <QElapsedTimer>
#include <QRandomGenerator>

#include <algorithm>
#include <limits>
#include <memory>

namespace ionvane::alarm {

RotatorClock RotatorClock::System() {
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    return {[started] { return started->elapsed(); },
            [] { return QRandomGenerator::global()->generateDouble(); }};
}

RotatorClient::RotatorClient(RotatorAddress address, RotatorClock clock, QObject *parent,
                             retry::RetryTimings timings)
    : QObject(parent), Address(std::move(address)), Clock(std::move(clock)), Machine(timings) {
    RetryTimer.setSingleShot(true);
    connect(&RetryTimer, &QTimer::timeout, this, [this] { Do(Machine.RetryDue(Clock.NowMs())); });
    connect(&Socket, &QTcpSocket::connected, this,
            [this] { Do(Machine.Connected(Clock.NowMs())); });
    connect(&Socket, &QTcpSocket::readyRead, this, &RotatorClient::ReadLines);
    connect(&Socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
        Do(Machine.Lost(Socket.errorString().toStdString(), Clock.NowMs(), Clock.Random01()));
    });
}

void RotatorClient::Start() {
    Do(Machine.Start(Clock.NowMs()));
}

void RotatorClient::TurnTo(double azimuthDeg) {
    Do(Machine.TurnTo(azimuthDeg, Clock.NowMs()));
}

void RotatorClient::Stop() {
    Do(Machine.Stop(Clock.NowMs()));
}

void RotatorClient::AskPosition() {
    Do(Machine.AskPosition(Clock.NowMs()));
}

void RotatorClient::Headline(double azimuthDeg, std::int64_t eventSeconds) {
    constexpr std::int64_t MsPerSecond = 1000;
    Do(Machine.Headline(azimuthDeg, eventSeconds * MsPerSecond, Clock.NowMs()));
}

void RotatorClient::ReadLines() {
    // Everything the socket holds is taken at once and every complete line in it answered before
    // returning: Qt signals readyRead once for what arrived, not once per line, so a line left in
    // the buffer would wait for data that rotctld sends only after that very line is answered.
    Pending += Socket.readAll();
    qsizetype from = 0;
    for (qsizetype end = Pending.indexOf('\n'); end >= 0; end = Pending.indexOf('\n', from)) {
        QByteArray line = Pending.mid(from, end - from);
        from = end + 1;
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        if (static_cast<std::size_t>(line.size()) > RotctldLineBytes) {
            break;
        }
        Do(Machine.Line(line.toStdString(), Clock.NowMs()));
        emit answered();
        if (Machine.State() != RotatorState::Ready) {
            // The connection was closed meanwhile; what it still held is gone with it.
            return;
        }
    }
    Pending.remove(0, from);
    if (static_cast<std::size_t>(Pending.size()) > RotctldLineBytes) {
        Pending.clear();
        Do(Machine.Lost("it sent a line longer than rotctld's", Clock.NowMs(), Clock.Random01()));
    }
}

void RotatorClient::Do(const RotatorActions &actions) {
    if (actions.Close) {
        Socket.abort();
        Pending.clear();
    }
    if (actions.Connect) {
        Socket.connectToHost(Address.Host, Address.Port);
    }
    for (const std::string &line : actions.Send) {
        Socket.write(line.data(), static_cast<qint64>(line.size()));
    }
    if (actions.RetryAfter) {
        const auto ms = std::clamp<std::int64_t>(actions.RetryAfter->count(), 0,
                                                 std::numeric_limits<int>::max());
        RetryTimer.start(static_cast<int>(ms));
    }
    for (const std::string &words : actions.Words) {
        emit said(QString::fromStdString(words));
    }
    if (actions.PositionRead && Machine.PositionDeg()) {
        emit positionRead(*Machine.PositionDeg());
    }
}

} // namespace ionvane::alarm
