// What a front end holds of the alarm outlets without their code: their settings and a small
// interface. The live module makes the outlets, which bind the network library; the window's own
// code binds nothing of it.
#pragma once

#include "live/live_events.h"

#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>
#include <string>

namespace ionvane::alarm {

/// rotctld's own port (Hamlib's default for its rotator daemon).
constexpr int RotctldDefaultPort = 4533;

/// Where rotctld listens.
struct RotatorAddress {
    QString Host = "127.0.0.1";
    quint16 Port = RotctldDefaultPort;
};

/// What the user asked for; each outlet is off while its field is empty.
struct DeliverySettings {
    QString HookCommand;                   ///< run for each alarm by /bin/sh -c
    QUrl NtfyUrl;                          ///< server and topic
    QString NtfyToken;                     ///< for a protected topic
    std::optional<RotatorAddress> Rotator; ///< rotctld
    bool Follow = false;                   ///< the rotator follows the headline beam
    bool Highlight = false;                ///< WSJT-X colours the calls heard through a cloud
};

/// Checks a `--ntfy` address: http or https, a server and a topic ("https://ntfy.sh/my-es").
/// Returns "" when it will do, else what is wrong.
std::string NtfyUrlProblem(const QUrl &url);

class OutletControl {
  public:
    OutletControl() = default;
    virtual ~OutletControl() = default;
    OutletControl(const OutletControl &) = delete;
    OutletControl &operator=(const OutletControl &) = delete;

    /// Connects to the rotator, if there is one.
    virtual void Start() = 0;
    /// One event of the live session: verdicts move a following rotator, alarms go out.
    virtual void Take(const live::LiveEvent &event) = 0;
    /// "Turn beam": the rotator to the headline of the highest band a cloud carries.
    virtual void TurnBeam() = 0;
    /// "Turn beam" on one band: the rotator to `azimuthDeg` (true bearing, degrees).
    virtual void TurnBeamTo(double azimuthDeg) = 0;
    virtual void StopRotator() = 0;
    /// Calls `listener` with each word of the outlets ("rotator: ...") while `context` lives.
    virtual void Listen(QObject *context, std::function<void(const QString &)> listener) = 0;
    /// Calls `listener` with each azimuth the rotator reports (degrees) while `context` lives.
    virtual void ListenPosition(QObject * /*context*/, std::function<void(double)> /*listener*/) {}
    /// Asks the rotator where it points, answered through ListenPosition; nothing without one.
    virtual void AskPosition() {}
    [[nodiscard]] virtual bool HasRotator() const { return false; }
};

} // namespace ionvane::alarm
