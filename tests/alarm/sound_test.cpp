// The alarm's sound where no sound device answers (a test machine, a headless server): said once,
// the repeats still kept until acknowledged, nothing else failing.
#include "alarm/alarm_sound.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace ionvane::alarm {
namespace {

TEST(AlarmSound, WithoutADeviceItIsSaidOnceAndRepeatsStopWhenAcknowledged) {
    ASSERT_TRUE(QFileInfo::exists(ShippedSoundPath()));
    // A server that names no sound server and no device: libcanberra finds no output.
    qputenv("PULSE_SERVER", "unix:/nonexistent");
    qputenv("ALSA_CONFIG_PATH", "/nonexistent");
    AlarmSound sound({true, "", 80, true});
    QStringList words;
    QObject::connect(&sound, &AlarmSound::said, [&](const QString &w) { words.push_back(w); });
    sound.Play();
    sound.Play();
    if (words.isEmpty()) {
        GTEST_SKIP() << "this machine has a sound device";
    }
    EXPECT_EQ(words.size(), 1);
    EXPECT_TRUE(words[0].startsWith("no alarm sound: ")) << words[0].toStdString();
    EXPECT_TRUE(sound.Repeating());
    sound.Acknowledge();
    EXPECT_FALSE(sound.Repeating());
    // Volume 0 plays nothing, and says nothing.
    AlarmSound silent({true, "", 0, true});
    QStringList none;
    QObject::connect(&silent, &AlarmSound::said, [&](const QString &w) { none.push_back(w); });
    silent.Play();
    EXPECT_TRUE(none.isEmpty());
    EXPECT_FALSE(silent.Repeating());
}

} // namespace
} // namespace ionvane::alarm
