// The rotator: a client of Hamlib's rotctld over TCP, run by RotatorMachine. "Turn beam", "Stop"
// and "Follow" for both front ends; what goes wrong is said in words through `said`.
#pragma once

#include "outlet_control.h"
#include "rotator_machine.h"

#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <QTimer>

#include <cstdint>
#include <functional>

namespace ionvane::alarm {

/// The clock and the dice of a client, passed in so that tests can drive them.
struct RotatorClock {
    std::function<std::int64_t()> NowMs; ///< milliseconds, steady
    std::function<double()> Random01;    ///< uniform in [0, 1)
    static RotatorClock System();
};

class RotatorClient : public QObject {
    Q_OBJECT
  public:
    RotatorClient(RotatorAddress address, RotatorClock clock, QObject *parent = nullptr,
                  retry::RetryTimings timings = {});

    /// Connects; a refusal is retried with back-off.
    void Start();
    void TurnTo(double azimuthDeg);
    void Stop();
    void AskPosition();
    void SetFollow(bool on) { Machine.SetFollow(on); }
    /// The headline beam at `eventSeconds` (the verdict's time); Follow decides whether to turn.
    void Headline(double azimuthDeg, std::int64_t eventSeconds);

    [[nodiscard]] std::optional<double> PositionDeg() const { return Machine.PositionDeg(); }
    [[nodiscard]] RotatorState State() const { return Machine.State(); }
    [[nodiscard]] bool Idle() const { return Machine.Idle(); }

  signals:
    void said(const QString &words);
    void positionRead(double azimuthDeg);
    /// rotctld answered a command.
    void answered();

  private:
    void Do(const RotatorActions &actions);
    void ReadLines();

    RotatorAddress Address;
    RotatorClock Clock;
    RotatorMachine Machine;
    QTcpSocket Socket;
    QTimer RetryTimer;
    QByteArray Pending; ///< a line not yet ended
};

} // namespace ionvane::alarm
