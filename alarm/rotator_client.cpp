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
    while (Socket.bytesAvailable() > 0) {
        Pending += Socket.read(static_cast<qint64>(RotctldLineBytes) + 1);
        for (qsizetype end = Pending.indexOf('\n'); end >= 0; end = Pending.indexOf('\n')) {
            QByteArray line = Pending.left(end);
            Pending.remove(0, end + 1);
            if (line.endsWith('\r')) {
                line.chop(1);
            }
            Do(Machine.Line(line.toStdString(), Clock.NowMs()));
            emit answered();
            if (Machine.State() != RotatorState::Ready) {
                return;
            }
        }
        if (static_cast<std::size_t>(Pending.size()) > RotctldLineBytes) {
            Pending.clear();
            Do(Machine.Lost("it sent a line longer than rotctld's", Clock.NowMs(),
                            Clock.Random01()));
            return;
        }
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
