// The live cluster session: the session machine on a QTcpSocket and QTimers. The clock and the
// random source come from outside, and the timings inside the config, so tests run it against a
// fake node in milliseconds.
#pragma once

#include "session_machine.h"

#include <QDateTime>
#include <QObject>
#include <QTcpSocket>
#include <QTimer>

#include <array>
#include <functional>

namespace ionvane::cluster {

/// Where the session's times and chances come from.
struct SessionClock {
    std::function<QDateTime()> UtcNow;
    std::function<std::int64_t()> SteadyMs;
    std::function<double()> Random01;

    /// The system clocks and Qt's secure random generator.
    static SessionClock System();
};

class ClusterSession : public QObject, private SessionPort {
    Q_OBJECT

  public:
    ClusterSession(QString host, quint16 port, SessionConfig config, SessionClock clock,
                   QObject *parent = nullptr);
    ~ClusterSession() override;
    ClusterSession(const ClusterSession &) = delete;
    ClusterSession &operator=(const ClusterSession &) = delete;

    void Start() { Machine.Start(); }
    void Stop() { Machine.Stop(); }
    [[nodiscard]] SessionState State() const { return Machine.State(); }

  signals:
    /// Every change of the connection, with its time.
    void connectionChanged(const QDateTime &timeUtc,
                           const ionvane::cluster::ConnectionEvent &event);
    /// Every non-empty received line, cleaned, with its receipt time.
    void lineReceived(const QDateTime &timeUtc, const std::string &line);

  private:
    void Open() override;
    void Close() override;
    void Send(std::string_view bytes) override;
    std::size_t UnsentBytes() override { return static_cast<std::size_t>(Socket.bytesToWrite()); }
    void StartTimer(SessionTimer timer, Milliseconds after) override;
    void StopTimer(SessionTimer timer) override;
    std::int64_t SteadyMs() override { return Clock.SteadyMs(); }
    double Random01() override { return Clock.Random01(); }
    void Connection(const ConnectionEvent &event) override;
    void Line(std::string_view line) override;

    QTimer &TimerOf(SessionTimer timer);

    QString Host;
    quint16 PortNumber;
    SessionClock Clock;
    QTcpSocket Socket;
    std::array<QTimer, 4> Timers;
    SessionMachine Machine;
};

} // namespace ionvane::cluster
