#include "cluster_session.h"

#include "core_dumps.h"

#include <QElapsedTimer>
#include <QRandomGenerator>

#include <memory>

namespace ionvane::cluster {

namespace {

// The config, once core dumps are off when it holds a password.
SessionConfig Guarded(SessionConfig config) {
    if (!config.Password.empty()) {
        KeepOutOfCoreDumps();
    }
    return config;
}

} // namespace

SessionClock SessionClock::System() {
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    return SessionClock{[] { return QDateTime::currentDateTimeUtc(); },
                        [started] { return static_cast<std::int64_t>(started->elapsed()); },
                        [] { return QRandomGenerator::system()->generateDouble(); }};
}

ClusterSession::ClusterSession(QString host, quint16 port, SessionConfig config, SessionClock clock,
                               QObject *parent)
    : QObject(parent), Host(std::move(host)), PortNumber(port), Clock(std::move(clock)),
      Machine(Guarded(std::move(config)), *this) {
    for (std::size_t i = 0; i < Timers.size(); ++i) {
        Timers[i].setSingleShot(true);
        const auto timer = static_cast<SessionTimer>(i);
        connect(&Timers[i], &QTimer::timeout, this, [this, timer] { Machine.TimerFired(timer); });
    }
    connect(&Socket, &QTcpSocket::connected, this, [this] { Machine.Connected(); });
    connect(&Socket, &QTcpSocket::readyRead, this, [this] {
        const QByteArray bytes = Socket.readAll();
        Machine.Received(
            std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    });
    // A failed connect is reported through errorOccurred only; a closed connection through both.
    // The machine takes the first and ignores the second.
    connect(&Socket, &QTcpSocket::errorOccurred, this,
            [this] { Machine.Failed(Socket.errorString().toStdString()); });
    connect(&Socket, &QTcpSocket::disconnected, this,
            [this] { Machine.Failed("the node closed the connection"); });
}

ClusterSession::~ClusterSession() {
    // No signal of the socket may reach the machine while the members go.
    Socket.disconnect(this);
}

void ClusterSession::Open() {
    Socket.abort();
    Socket.connectToHost(Host, PortNumber);
}

void ClusterSession::Close() {
    Socket.abort();
}

void ClusterSession::Send(std::string_view bytes) {
    if (Socket.state() == QAbstractSocket::ConnectedState) {
        Socket.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
}

QTimer &ClusterSession::TimerOf(SessionTimer timer) {
    return Timers[static_cast<std::size_t>(timer)];
}

void ClusterSession::StartTimer(SessionTimer timer, Milliseconds after) {
    TimerOf(timer).start(after);
}

void ClusterSession::StopTimer(SessionTimer timer) {
    TimerOf(timer).stop();
}

void ClusterSession::Connection(const ConnectionEvent &event) {
    emit connectionChanged(Clock.UtcNow(), event);
}

void ClusterSession::Line(std::string_view line) {
    emit lineReceived(Clock.UtcNow(), std::string(line));
}

} // namespace ionvane::cluster
