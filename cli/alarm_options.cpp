#include "alarm_options.h"

#include "calc/ascii.h"
#include "station/host_port.h"

#include <QCommandLineParser>
#include <QEventLoop>
#include <QProcessEnvironment>
#include <QTimer>

#include <ostream>

namespace ionvane::cli {

namespace {

const QCommandLineOption OnAlarm{"on-alarm",
                                 "With a live session or --replay: run this shell command for "
                                 "each alarm, its fields in IONVANE_* variables and its JSON on "
                                 "standard input; ended after 10 s.",
                                 "COMMAND"};
const QCommandLineOption Ntfy{"ntfy",
                              "With a live session or --replay: post each alarm to this ntfy "
                              "server and topic, such as https://ntfy.sh/TOPIC (a token in "
                              "IONVANE_NTFY_TOKEN).",
                              "URL"};
const QCommandLineOption Rotator{"rotator",
                                 "With a live session or --replay: Hamlib's rotctld at "
                                 "HOST[:PORT] (port 4533 if none).",
                                 "HOST[:PORT]"};
const QCommandLineOption Follow{"follow",
                                "With --rotator: turn the beam when the headline moves by 5 "
                                "degrees or more, at most once every 2 minutes."};

const QCommandLineOption Highlight{"highlight",
                                   "With --wsjtx or --replay: have WSJT-X colour the calls heard "
                                   "through a cloud of an open band, cleared when it fades (tick "
                                   "\"Accept UDP requests\" in WSJT-X); a replay prints them."};

} // namespace

QList<QCommandLineOption> AlarmOptions() {
    return {OnAlarm, Ntfy, Rotator, Follow, Highlight};
}

bool AnyOutlet(const alarm::DeliverySettings &settings) {
    return !settings.HookCommand.isEmpty() || !settings.NtfyUrl.isEmpty() ||
           settings.Rotator.has_value();
}

std::string ReadAlarmOptions(const QCommandLineParser &parser, bool session,
                             alarm::DeliverySettings &settings) {
    if (!session) {
        for (const auto *option : {&OnAlarm, &Ntfy, &Rotator, &Follow, &Highlight}) {
            if (parser.isSet(*option)) {
                return "--" + option->names().front().toStdString() +
                       " goes with --cluster, --mqtt, --wsjtx or --replay";
            }
        }
        return {};
    }
    if (parser.isSet(OnAlarm)) {
        settings.HookCommand = parser.value(OnAlarm);
        if (settings.HookCommand.trimmed().isEmpty()) {
            return "--on-alarm takes a command";
        }
    }
    if (parser.isSet(Ntfy)) {
        settings.NtfyUrl = QUrl(parser.value(Ntfy), QUrl::StrictMode);
        if (const std::string problem = alarm::NtfyUrlProblem(settings.NtfyUrl); !problem.empty()) {
            return "--ntfy " + problem;
        }
        settings.NtfyToken = QProcessEnvironment::systemEnvironment().value("IONVANE_NTFY_TOKEN");
    }
    if (parser.isSet(Rotator)) {
        const station::HostReading reading = station::ReadHostAndPort(parser.value(Rotator));
        if (reading.Problem == station::HostProblem::Form) {
            return "--rotator takes HOST[:PORT]";
        }
        if (reading.Problem == station::HostProblem::PortRange) {
            return "--rotator takes a port from 1 to 65535";
        }
        settings.Rotator = alarm::RotatorAddress{
            reading.Read.Host,
            reading.Read.Port.value_or(static_cast<quint16>(alarm::RotctldDefaultPort))};
    }
    settings.Follow = parser.isSet(Follow);
    settings.Highlight = parser.isSet(Highlight);
    if (settings.Follow && !settings.Rotator) {
        return "--follow goes with --rotator";
    }
    return {};
}

std::unique_ptr<alarm::AlarmDeliveries> StartOutlets(const alarm::DeliverySettings &settings,
                                                     std::ostream &err) {
    if (!AnyOutlet(settings)) {
        return nullptr;
    }
    auto outlets =
        std::make_unique<alarm::AlarmDeliveries>(settings, alarm::RotatorClock::System());
    QObject::connect(outlets.get(), &alarm::AlarmDeliveries::said, outlets.get(),
                     [&err](const QString &words) {
                         err << "ionvane-cli: " << calc::OneLineText(words.toStdString()) << '\n';
                         err.flush();
                     });
    outlets->Start();
    return outlets;
}

void FinishOutlets(alarm::AlarmDeliveries &outlets, int longestMs) {
    QEventLoop loop;
    QTimer longest;
    longest.setSingleShot(true);
    QObject::connect(&longest, &QTimer::timeout, &loop, &QEventLoop::quit);
    // Looked at now and then rather than on each outlet's end: the rotator's connection and its
    // answers come in the loop, and a bounded wait needs no more.
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (outlets.Idle()) {
            loop.quit();
        }
    });
    constexpr int CheckEveryMs = 100;
    check.start(CheckEveryMs);
    longest.start(longestMs);
    loop.exec();
}

std::unique_ptr<alarm::SessionHighlights> FollowHighlights(bool on, live::LiveCore &core,
                                                           alarm::SessionHighlights::Sender send) {
    if (!on) {
        return nullptr;
    }
    auto highlights = std::make_unique<alarm::SessionHighlights>(std::move(send));
    core.Subscribe(&core,
                   [at = highlights.get()](const live::LiveEvent &event) { at->Take(event); });
    return highlights;
}

} // namespace ionvane::cli
