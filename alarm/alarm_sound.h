// The alarm's sound: a short sound file played through libcanberra, the desktop's event-sound
// library (PulseAudio, PipeWire or ALSA underneath, no media framework), at the user's volume, once
// or again every few seconds until the alarm is acknowledged. Without a sound device the alarm
// goes on silently and says so once.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

struct ca_context;

namespace ionvane::alarm {

/// The sound repeats this often until acknowledged, ms: the shipped sound lasts about a second.
constexpr int SoundRepeatMs = 4'000;
/// Unacknowledged, it stops after this long, ms: a ham away from the shack for the evening should
/// not come back to a house that listened to it for hours.
constexpr int SoundLongestMs = 10 * 60 * 1000;

struct SoundSettings {
    bool On = true;
    QString File;           ///< a sound file; empty for the one shipped with the program
    int VolumePercent = 80; ///< 0 to 100
    bool RepeatUntilAcknowledged = false;
};

/// Where the shipped sound is installed beside the program (share/ionvane/sounds), or the source
/// tree's copy when run from a build.
QString ShippedSoundPath();

class AlarmSound : public QObject {
    Q_OBJECT
  public:
    explicit AlarmSound(SoundSettings settings, QObject *parent = nullptr);
    ~AlarmSound() override;
    AlarmSound(const AlarmSound &) = delete;
    AlarmSound &operator=(const AlarmSound &) = delete;

    void SetSettings(const SoundSettings &settings) { Settings = settings; }
    /// An alarm: the sound, and its repeats when asked for.
    void Play();
    /// The alarm was acknowledged: no more repeats.
    void Acknowledge();
    [[nodiscard]] bool Repeating() const { return Repeat.isActive(); }

  signals:
    /// No sound could be played (no device, a file that does not play): said once until one does.
    void said(const QString &words);

  private:
    void PlayOnce();

    SoundSettings Settings;
    ca_context *Context = nullptr;
    QTimer Repeat;
    int RepeatedMs = 0;
    bool FailureSaid = false;
};

} // namespace ionvane::alarm
