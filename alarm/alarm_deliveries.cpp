#include "alarm_deliveries.h"

namespace ionvane::alarm {

AlarmDeliveries::AlarmDeliveries(const DeliverySettings &settings, RotatorClock clock,
                                 QObject *parent)
    : QObject(parent) {
    if (!settings.HookCommand.trimmed().isEmpty()) {
        Hook = std::make_unique<AlarmHook>(settings.HookCommand);
        connect(Hook.get(), &AlarmHook::said, this,
                [this](const QString &words) { emit said(words); });
        connect(Hook.get(), &AlarmHook::finished, this, &AlarmDeliveries::Settle);
    }
    if (!settings.NtfyUrl.isEmpty()) {
        Ntfy = std::make_unique<NtfySender>(settings.NtfyUrl, settings.NtfyToken);
        connect(Ntfy.get(), &NtfySender::said, this,
                [this](const QString &words) { emit said("ntfy: " + words); });
        connect(Ntfy.get(), &NtfySender::finished, this, &AlarmDeliveries::Settle);
    }
    if (settings.Rotator) {
        RotatorOutlet = std::make_unique<RotatorClient>(*settings.Rotator, std::move(clock));
        RotatorOutlet->SetFollow(settings.Follow);
        connect(RotatorOutlet.get(), &RotatorClient::said, this,
                [this](const QString &words) { emit said("rotator: " + words); });
        connect(RotatorOutlet.get(), &RotatorClient::answered, this, &AlarmDeliveries::Settle);
    }
}

void AlarmDeliveries::Start() {
    if (RotatorOutlet) {
        RotatorOutlet->Start();
    }
}

std::optional<double> AlarmDeliveries::HeadlineDeg() const {
    if (!Verdict) {
        return std::nullopt;
    }
    for (auto band = Verdict->Bands.rbegin(); band != Verdict->Bands.rend(); ++band) {
        if (band->Possible() && band->CloudId &&
            (Verdict->Shown & spot::BandBit(band->Which)) != 0) {
            return band->Home.AzimuthDeg;
        }
    }
    return std::nullopt;
}

void AlarmDeliveries::Take(const live::LiveEvent &event) {
    const auto *change = std::get_if<live::TrackerChange>(&event);
    if (change == nullptr) {
        if (const auto *restored = std::get_if<live::RestoreDone>(&event)) {
            Verdict = restored->Verdict;
        }
        return;
    }
    if (const auto *verdict = std::get_if<tracker::VerdictEvent>(&change->Event)) {
        Verdict = *verdict;
        if (const auto beam = HeadlineDeg(); beam && RotatorOutlet && !change->Restored) {
            RotatorOutlet->Headline(*beam, verdict->Time);
        }
        return;
    }
    const auto *alarm = std::get_if<tracker::AlarmEvent>(&change->Event);
    if (alarm == nullptr || change->Restored) {
        return;
    }
    const AlarmFields fields = FieldsOf(*alarm, Verdict ? &*Verdict : nullptr);
    if (Hook) {
        Hook->Run(fields);
    }
    if (Ntfy) {
        Ntfy->Post(fields);
    }
}

void AlarmDeliveries::TurnBeam() {
    if (const auto beam = HeadlineDeg(); beam && RotatorOutlet) {
        RotatorOutlet->TurnTo(*beam);
    }
}

void AlarmDeliveries::TurnBeamTo(double azimuthDeg) {
    if (RotatorOutlet) {
        RotatorOutlet->TurnTo(azimuthDeg);
    }
}

void AlarmDeliveries::StopRotator() {
    if (RotatorOutlet) {
        RotatorOutlet->Stop();
    }
}

void AlarmDeliveries::Listen(QObject *context, std::function<void(const QString &)> listener) {
    connect(this, &AlarmDeliveries::said, context, std::move(listener));
}

void AlarmDeliveries::ListenPosition(QObject *context, std::function<void(double)> listener) {
    if (RotatorOutlet) {
        connect(RotatorOutlet.get(), &RotatorClient::positionRead, context, std::move(listener));
    }
}

void AlarmDeliveries::AskPosition() {
    if (RotatorOutlet) {
        RotatorOutlet->AskPosition();
    }
}

bool AlarmDeliveries::Idle() const {
    return (!Hook || Hook->Running() == 0) && (!Ntfy || Ntfy->Pending() == 0) &&
           (!RotatorOutlet || RotatorOutlet->Idle());
}

void AlarmDeliveries::Settle() {
    if (Idle()) {
        emit settled();
    }
}

} // namespace ionvane::alarm
