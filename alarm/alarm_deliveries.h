// Where an alarm goes besides the screen, for both front ends: the hook, ntfy and the rotator,
// fed with the live session's events. The front end says what the outlets say (a status line,
// standard error) and adds its own (the desktop notification, the sound).
#pragma once

#include "alarm_hook.h"
#include "ntfy_sender.h"
#include "outlet_control.h"
#include "rotator_client.h"

#include "live/live_events.h"

#include <QObject>
#include <QString>
#include <QUrl>

#include <memory>
#include <optional>

namespace ionvane::alarm {

class AlarmDeliveries : public QObject, public OutletControl {
    Q_OBJECT
  public:
    AlarmDeliveries(const DeliverySettings &settings, RotatorClock clock,
                    QObject *parent = nullptr);

    /// Connects to the rotator, if there is one.
    void Start() override;
    /// One event of the live session: verdicts move a following rotator, alarms go out.
    void Take(const live::LiveEvent &event) override;
    /// "Turn beam": the rotator to the headline of the highest band a cloud carries.
    void TurnBeam() override;
    void TurnBeamTo(double azimuthDeg) override;
    void StopRotator() override;
    void Listen(QObject *context, std::function<void(const QString &)> listener) override;
    void ListenPosition(QObject *context, std::function<void(double)> listener) override;
    void AskPosition() override;
    [[nodiscard]] bool HasRotator() const override { return RotatorOutlet != nullptr; }
    /// Nothing under way: no hook running, no post pending, no rotator command unanswered.
    [[nodiscard]] bool Idle() const;
    /// The headline beam now: the highest band a cloud carries, from home. None when all closed.
    [[nodiscard]] std::optional<double> HeadlineDeg() const;
    [[nodiscard]] RotatorClient *Rotator() const { return RotatorOutlet.get(); }

  signals:
    /// An outlet's word for the user ("rotator: ...", "ntfy: ...", "alarm command: ...").
    void said(const QString &words);
    /// Every outlet went idle after some work.
    void settled();

  private:
    void Settle();

    std::unique_ptr<AlarmHook> Hook;
    std::unique_ptr<NtfySender> Ntfy;
    std::unique_ptr<RotatorClient> RotatorOutlet;
    std::optional<tracker::VerdictEvent> Verdict;
};

} // namespace ionvane::alarm
