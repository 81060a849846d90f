#include "alarm_settings.h"

#include "files/atomic_file.h"
#include "station/host_port.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace ionvane::livewindow {

namespace {

constexpr const char *FileName = "alarm.ini";
constexpr const char *SoundOnKey = "sound/on";
constexpr const char *SoundFileKey = "sound/file";
constexpr const char *VolumeKey = "sound/volume";
constexpr const char *RepeatKey = "sound/repeat";
constexpr const char *HookKey = "hook/command";
constexpr const char *NtfyServerKey = "ntfy/server";
constexpr const char *RotatorKey = "rotator/address";
constexpr const char *FollowKey = "rotator/follow";
constexpr const char *HighlightKey = "wsjtx/highlight";
constexpr int MaxVolumePercent = 100;
// A topic file longer than this is no topic file (a topic is at most 64 characters, a token 32).
constexpr qint64 MaxTopicFileBytes = 1024;
constexpr QFileDevice::Permissions OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions OthersBits = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                                QFileDevice::ReadOther | QFileDevice::WriteOther;

// The topic on the first line, the token (if any) on the second.
void LoadTopic(const QString &dir, AlarmOutletSettings &settings) {
    QFile file(QDir(dir).filePath(NtfyTopicFileName));
    if (!file.exists()) {
        return;
    }
    if ((file.permissions() & OthersBits) != 0) {
        settings.Problem = "The ntfy topic file may be read by others; not using it (set the "
                           "topic again)";
        return;
    }
    if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly)) {
        settings.Problem = "Cannot read the ntfy topic file";
        return;
    }
    const QList<QByteArray> lines = file.read(MaxTopicFileBytes).split('\n');
    settings.NtfyTopic = QString::fromUtf8(lines.value(0)).trimmed();
    settings.NtfyToken = QString::fromUtf8(lines.value(1)).trimmed();
}

} // namespace

AlarmOutletSettings LoadAlarmOutletSettings(const QString &dir) {
    const QSettings stored(QDir(dir).filePath(FileName), QSettings::IniFormat);
    AlarmOutletSettings settings;
    settings.Sound.On = stored.value(SoundOnKey, true).toBool();
    settings.Sound.File = stored.value(SoundFileKey).toString();
    bool number = false;
    const int volume = stored.value(VolumeKey).toInt(&number);
    if (number && volume >= 0 && volume <= MaxVolumePercent) {
        settings.Sound.VolumePercent = volume;
    }
    settings.Sound.RepeatUntilAcknowledged = stored.value(RepeatKey, false).toBool();
    settings.HookCommand = stored.value(HookKey).toString();
    settings.NtfyServer = stored.value(NtfyServerKey, PublicNtfyServer).toString();
    settings.Rotator = stored.value(RotatorKey).toString();
    settings.Follow = stored.value(FollowKey, false).toBool();
    settings.Highlight = stored.value(HighlightKey, false).toBool();
    LoadTopic(dir, settings);
    return settings;
}

bool SaveAlarmOutletSettings(const QString &dir, const AlarmOutletSettings &settings) {
    if (!QDir().mkpath(dir)) {
        return false;
    }
    QSettings stored(QDir(dir).filePath(FileName), QSettings::IniFormat);
    stored.setValue(SoundOnKey, settings.Sound.On);
    stored.setValue(SoundFileKey, settings.Sound.File);
    stored.setValue(VolumeKey, settings.Sound.VolumePercent);
    stored.setValue(RepeatKey, settings.Sound.RepeatUntilAcknowledged);
    stored.setValue(HookKey, settings.HookCommand);
    stored.setValue(NtfyServerKey, settings.NtfyServer);
    stored.setValue(RotatorKey, settings.Rotator);
    stored.setValue(FollowKey, settings.Follow);
    stored.setValue(HighlightKey, settings.Highlight);
    stored.sync();
    const QString topicPath = QDir(dir).filePath(NtfyTopicFileName);
    bool topicKept = true;
    if (settings.NtfyTopic.isEmpty()) {
        topicKept = !QFileInfo::exists(topicPath) || QFile::remove(topicPath);
    } else {
        topicKept = files::WriteFileAtomically(
            topicPath, (settings.NtfyTopic + '\n' + settings.NtfyToken + '\n').toUtf8(), OwnerOnly);
    }
    return stored.status() == QSettings::NoError && topicKept;
}

alarm::DeliverySettings DeliveriesOf(const AlarmOutletSettings &settings) {
    alarm::DeliverySettings deliveries;
    deliveries.HookCommand = settings.HookCommand.trimmed();
    if (!settings.NtfyTopic.isEmpty()) {
        QString server = settings.NtfyServer.trimmed();
        while (server.endsWith('/')) {
            server.chop(1);
        }
        deliveries.NtfyUrl = QUrl(server + '/' + settings.NtfyTopic, QUrl::StrictMode);
        if (!alarm::NtfyUrlProblem(deliveries.NtfyUrl).empty()) {
            deliveries.NtfyUrl.clear();
        }
        deliveries.NtfyToken = settings.NtfyToken;
    }
    if (!settings.Rotator.trimmed().isEmpty()) {
        const station::HostReading reading = station::ReadHostAndPort(settings.Rotator);
        if (reading.Problem == station::HostProblem::None) {
            deliveries.Rotator = alarm::RotatorAddress{
                reading.Read.Host,
                reading.Read.Port.value_or(static_cast<quint16>(alarm::RotctldDefaultPort))};
        }
    }
    deliveries.Follow = settings.Follow && deliveries.Rotator.has_value();
    deliveries.Highlight = settings.Highlight;
    return deliveries;
}

} // namespace ionvane::livewindow
