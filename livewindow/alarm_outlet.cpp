#include "alarm_outlet.h"

#include "alarm_settings_dialog.h"

#include "alarm/alarm_sound.h"
#include "alarm/desktop_notifier.h"
#include "alarm/session_highlights.h"

#include <QAction>
#include <QApplication>
#include <QDBusConnection>
#include <QSystemTrayIcon>
#include <QTimer>

namespace ionvane::livewindow {

namespace {
// How long the desktop shows the tray balloon, ms: long enough to turn from the rig and read it.
constexpr int NotificationMs = 15'000;
// The icon the notification service looks up in the desktop's theme (installed with the program).
constexpr const char *IconName = "ionvane";
} // namespace

DesktopAlarmOutlet::DesktopAlarmOutlet(QString configDir, OpenOutlets openOutlets)
    : ConfigDir(std::move(configDir)), Open(std::move(openOutlets)),
      Settings(LoadAlarmOutletSettings(ConfigDir)),
      Sound(std::make_unique<alarm::AlarmSound>(Settings.Sound)) {
    connect(Sound.get(), &alarm::AlarmSound::said, this, [this](const QString &words) {
        if (Say) {
            Say(words);
        }
        QApplication::beep();
    });
}

DesktopAlarmOutlet::~DesktopAlarmOutlet() = default;

void DesktopAlarmOutlet::Tray(const QString &title, const QString &text) {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        return;
    }
    if (!TrayIcon) {
        TrayIcon = std::make_unique<QSystemTrayIcon>(QApplication::windowIcon());
        TrayIcon->setToolTip("Ionvane Live");
        TrayIcon->show();
    }
    TrayIcon->showMessage(title, text, QSystemTrayIcon::Warning, NotificationMs);
}

void DesktopAlarmOutlet::Notify(const QString &title, const QString &text) {
    // Once the core is followed, its alarm (with the band's beam) goes to the notification
    // service from there; before that, the tray is all there is.
    if (!Attached) {
        Tray(title, text);
    }
}

void DesktopAlarmOutlet::Beep() {
    Sound->SetSettings(Settings.Sound);
    Sound->Play();
}

void DesktopAlarmOutlet::Acknowledged() {
    Sound->Acknowledge();
}

void DesktopAlarmOutlet::OpenShared() {
    Shared.reset();
    if (RotatorShown) {
        RotatorShown(std::nullopt); // until the new rotator, if any, reports
    }
    if (!Open) {
        return;
    }
    Shared = Open(DeliveriesOf(Settings));
    if (Shared) {
        Shared->Listen(this, [this](const QString &words) {
            if (Say) {
                Say(words);
            }
        });
        Shared->ListenPosition(this, [this](double azimuthDeg) {
            if (RotatorShown) {
                RotatorShown(azimuthDeg);
            }
        });
        Shared->Start();
    }
}

void DesktopAlarmOutlet::FollowRotator(std::function<void(std::optional<double>)> shown) {
    RotatorShown = std::move(shown);
    if (RotatorPoll == nullptr) {
        // rotctld tells the position only when asked; every few seconds follows a turn (the
        // dummy and real rotators move a few degrees a second) without keeping the bus busy.
        constexpr int RotatorPollMs = 3'000;
        RotatorPoll = new QTimer(this);
        connect(RotatorPoll, &QTimer::timeout, this, [this] {
            if (Shared && Shared->HasRotator()) {
                Shared->AskPosition();
            }
        });
        RotatorPoll->start(RotatorPollMs);
    }
}

void DesktopAlarmOutlet::CoreAttached(live::CoreControl &core) {
    Attached = true;
    Notifier = std::make_unique<alarm::DesktopNotifier>(QDBusConnection::sessionBus(), IconName);
    connect(Notifier.get(), &alarm::DesktopNotifier::unanswered, this,
            [this](const alarm::AlarmFields &fields) {
                Tray(alarm::AlarmTitle(fields), QString::fromStdString(fields.Alarm.Text));
            });
    connect(Notifier.get(), &alarm::DesktopNotifier::showAsked, this, [this] {
        if (Show) {
            Show();
        }
    });
    connect(Notifier.get(), &alarm::DesktopNotifier::turnBeamAsked, this,
            &DesktopAlarmOutlet::TurnBeam);
    Core = &core;
    OpenShared();
    FollowHighlights();
    core.Subscribe(this, [this](const live::LiveEvent &event) { Heard(event); });
}

void DesktopAlarmOutlet::FollowHighlights() {
    if (Settings.Highlight == (Highlights != nullptr) || Core == nullptr) {
        return;
    }
    if (!Settings.Highlight) {
        Highlights->Finish(0); // turned off: what was coloured is cleared
        Highlights.reset();
        return;
    }
    // The clouds and verdicts come from now on: calls are coloured once the next verdict tells
    // how the bands stand.
    Highlights = std::make_unique<alarm::SessionHighlights>(
        [core = Core](tracker::UnixSeconds, const alarm::HighlightRequest &request) {
            core->SendToWsjtx(request.Id, wsjtx::HighlightDatagram(request.Id, request.What));
        });
}

void DesktopAlarmOutlet::Heard(const live::LiveEvent &event) {
    if (Shared) {
        Shared->Take(event);
    }
    if (Highlights) {
        Highlights->Take(event);
    }
    const auto *change = std::get_if<live::TrackerChange>(&event);
    if (change == nullptr) {
        return;
    }
    if (const auto *verdict = std::get_if<tracker::VerdictEvent>(&change->Event)) {
        Verdict = *verdict;
    } else if (const auto *alarmed = std::get_if<tracker::AlarmEvent>(&change->Event);
               alarmed != nullptr && !change->Restored) {
        Notifier->Notify(alarm::FieldsOf(*alarmed, Verdict ? &*Verdict : nullptr));
    }
}

void DesktopAlarmOutlet::AddTo(QWidget &window, std::function<void()> show,
                               std::function<void(const QString &)> say) {
    Window = &window;
    Show = std::move(show);
    Say = std::move(say);
    if (!Settings.Problem.isEmpty() && Say) {
        Say(Settings.Problem);
    }
    const auto add = [&](const char *name, const char *text, const char *keys, auto slot) {
        auto *action = new QAction(text, &window);
        action->setObjectName(name);
        action->setShortcut(QKeySequence(keys));
        window.addAction(action);
        connect(action, &QAction::triggered, this, slot);
    };
    add("actTurnBeam", "Turn beam", "Ctrl+Shift+T", &DesktopAlarmOutlet::TurnBeam);
    add("actStopRotator", "Stop the rotator", "Ctrl+Shift+S", &DesktopAlarmOutlet::StopRotator);
    add("actAlarmOutlets", "Alarm outlets…", "Ctrl+Shift+A", &DesktopAlarmOutlet::EditSettings);
}

void DesktopAlarmOutlet::TurnBeam() {
    if (Shared) {
        Shared->TurnBeam();
    }
}

void DesktopAlarmOutlet::TurnBeamTo(double azimuthDeg) {
    if (Shared) {
        Shared->TurnBeamTo(azimuthDeg);
    }
}

void DesktopAlarmOutlet::StopRotator() {
    if (Shared) {
        Shared->StopRotator();
    }
}

void DesktopAlarmOutlet::EditSettings() {
    frmAlarmOutlets dialog(Settings, Window);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    Settings = dialog.Settings();
    if (!SaveAlarmOutletSettings(ConfigDir, Settings) && Say) {
        Say("The alarm outlets' settings could not be saved");
    }
    Sound->SetSettings(Settings.Sound);
    if (Attached) {
        OpenShared();
        FollowHighlights();
    }
}

} // namespace ionvane::livewindow
