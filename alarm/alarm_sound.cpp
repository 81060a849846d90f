#include "alarm_sound.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <canberra.h>

#include <cmath>

namespace ionvane::alarm {

namespace {

// The id of the program's sounds in libcanberra, so that one can cancel the other.
constexpr std::uint32_t AlarmSoundId = 1;
constexpr double FullVolumePercent = 100;

// libcanberra's volume is a gain in dB ("canberra.volume"), 0 for the file as it is.
QByteArray VolumeDb(int percent) {
    const double gainDb = 20.0 * std::log10(percent / FullVolumePercent);
    return QByteArray::number(gainDb, 'f', 1);
}

} // namespace

QString ShippedSoundPath() {
    const QString installed = QDir(QCoreApplication::applicationDirPath())
                                  .filePath("../share/ionvane/sounds/ionvane-alarm.wav");
    if (QFileInfo::exists(installed)) {
        return QDir::cleanPath(installed);
    }
    return IONVANE_SOURCE_SOUND;
}

AlarmSound::AlarmSound(SoundSettings settings, QObject *parent)
    : QObject(parent), Settings(std::move(settings)) {
    Repeat.setInterval(SoundRepeatMs);
    connect(&Repeat, &QTimer::timeout, this, [this] {
        RepeatedMs += SoundRepeatMs;
        if (RepeatedMs >= SoundLongestMs) {
            Repeat.stop();
            return;
        }
        PlayOnce();
    });
}

AlarmSound::~AlarmSound() {
    if (Context != nullptr) {
        ca_context_destroy(Context);
    }
}

void AlarmSound::Play() {
    if (!Settings.On || Settings.VolumePercent <= 0) {
        return;
    }
    PlayOnce();
    if (Settings.RepeatUntilAcknowledged) {
        RepeatedMs = 0;
        Repeat.start();
    }
}

void AlarmSound::Acknowledge() {
    Repeat.stop();
    if (Context != nullptr) {
        ca_context_cancel(Context, AlarmSoundId);
    }
}

void AlarmSound::PlayOnce() {
    int error = CA_SUCCESS;
    if (Context == nullptr) {
        error = ca_context_create(&Context);
    }
    if (error == CA_SUCCESS) {
        const QByteArray file =
            QFile::encodeName(Settings.File.isEmpty() ? ShippedSoundPath() : Settings.File);
        const QByteArray volume = VolumeDb(std::min(Settings.VolumePercent, 100));
        ca_context_cancel(Context, AlarmSoundId);
        error = ca_context_play(Context, AlarmSoundId, CA_PROP_MEDIA_FILENAME, file.constData(),
                                CA_PROP_CANBERRA_VOLUME, volume.constData(), CA_PROP_MEDIA_ROLE,
                                "alarm", CA_PROP_APPLICATION_NAME, "Ionvane", nullptr);
    }
    if (error != CA_SUCCESS) {
        if (!FailureSaid) {
            FailureSaid = true;
            emit said(QString("no alarm sound: ") + ca_strerror(error));
        }
        return;
    }
    FailureSaid = false;
}

} // namespace ionvane::alarm
