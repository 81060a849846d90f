// The live window's alarm outlet settings: kept between starts, the ntfy topic with the care of a
// password, and read into what the outlets are given.
#include "livewindow/alarm_settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace ionvane::livewindow {
namespace {

TEST(AlarmOutletSettings, KeptWithTheTopicInAFileOnlyTheUserReads) {
    QTemporaryDir dir;
    AlarmOutletSettings settings;
    settings.Sound = {true, "/usr/share/sounds/x.oga", 35, true};
    settings.HookCommand = "notify-me";
    settings.NtfyServer = "https://ntfy.example.org";
    settings.NtfyTopic = "my-es-alarms";
    settings.NtfyToken = "tk_secret";
    settings.Rotator = "127.0.0.1:4533";
    settings.Follow = true;
    ASSERT_TRUE(SaveAlarmOutletSettings(dir.path(), settings));

    const AlarmOutletSettings back = LoadAlarmOutletSettings(dir.path());
    EXPECT_EQ(back.Sound.VolumePercent, 35);
    EXPECT_TRUE(back.Sound.RepeatUntilAcknowledged);
    EXPECT_EQ(back.Sound.File, "/usr/share/sounds/x.oga");
    EXPECT_EQ(back.HookCommand, "notify-me");
    EXPECT_EQ(back.NtfyTopic, "my-es-alarms");
    EXPECT_EQ(back.NtfyToken, "tk_secret");
    EXPECT_TRUE(back.Follow);
    EXPECT_TRUE(back.Problem.isEmpty());
    QFile topic(QDir(dir.path()).filePath(NtfyTopicFileName));
    EXPECT_EQ(topic.permissions() & ~(QFile::ReadUser | QFile::WriteUser),
              QFile::ReadOwner | QFile::WriteOwner);
    QFile ini(QDir(dir.path()).filePath("alarm.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_FALSE(ini.readAll().contains("my-es-alarms")); // the topic is not in the open file

    // A topic file others may read is not used, and said.
    topic.setPermissions(topic.permissions() | QFile::ReadOther);
    const AlarmOutletSettings exposed = LoadAlarmOutletSettings(dir.path());
    EXPECT_TRUE(exposed.NtfyTopic.isEmpty());
    EXPECT_TRUE(exposed.NtfyToken.isEmpty());
    EXPECT_FALSE(exposed.Problem.isEmpty());
    // No topic: the file goes.
    settings.NtfyTopic.clear();
    ASSERT_TRUE(SaveAlarmOutletSettings(dir.path(), settings));
    EXPECT_FALSE(topic.exists());
}

TEST(AlarmOutletSettings, ReadIntoTheOutletsWithDefaultsAndWrongValuesLeftOut) {
    struct Case {
        const char *Server, *Topic, *Rotator;
        bool Follow;
        const char *Url, *Host;
        int Port;
        bool Follows;
    };
    const Case cases[] = {
        {"https://ntfy.sh/", "my-es", "rig.local", true, "https://ntfy.sh/my-es", "rig.local", 4533,
         true},
        {"http://127.0.0.1:8080", "es", "127.0.0.1:4600", false, "http://127.0.0.1:8080/es",
         "127.0.0.1", 4600, false},
        {"ntfy.sh", "my-es", "host:99999", true, "", "", 0, false}, // no scheme, port too high
        {"https://ntfy.sh", "", "", true, "", "", 0, false},        // no topic, no rotator
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Server);
        AlarmOutletSettings settings;
        settings.NtfyServer = c.Server;
        settings.NtfyTopic = c.Topic;
        settings.Rotator = c.Rotator;
        settings.Follow = c.Follow;
        const alarm::DeliverySettings deliveries = DeliveriesOf(settings);
        EXPECT_EQ(deliveries.NtfyUrl.toString().toStdString(), c.Url);
        EXPECT_EQ(deliveries.Rotator.has_value(), c.Port != 0);
        if (deliveries.Rotator) {
            EXPECT_EQ(deliveries.Rotator->Host.toStdString(), c.Host);
            EXPECT_EQ(deliveries.Rotator->Port, c.Port);
        }
        EXPECT_EQ(deliveries.Follow, c.Follows);
    }
}

} // namespace
} // namespace ionvane::livewindow
