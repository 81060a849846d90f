// The cluster settings file and the password file, in a temporary directory.
#include "cluster/cluster_settings.h"
#include "cluster/login_fields.h"
#include "station/host_port.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace ionvane::cluster {
namespace {

TEST(ClusterSettingsTest, LoginFieldsThatCannotBeSent) {
    const struct {
        QString Call;
        QString Password;
        QStringList Commands;
        std::optional<LoginField> Wrong;
    } cases[] = {
        {"EA8/DK7UK/P", "secret", {"set/ve7cc", "sh/dx 5"}, std::nullopt},
        {"dk7uk-12", "", {}, std::nullopt},
        {"", "", {}, LoginField::Call},
        {"DK7UK PASS", "", {}, LoginField::Call},
        {"DK7UK\n", "", {}, LoginField::Call},
        {"ABCDEFGHIJKLMNOPQRSTU", "", {}, LoginField::Call}, // 21 characters
        {"DK7UK", "sec\rret", {}, LoginField::Password},
        {"DK7UK", QString("sec") + QChar(0), {}, LoginField::Password},
        {"DK7UK", "", {"set/ve7cc", "bye\nsh/dx"}, LoginField::Commands},
    };
    for (const auto &c : cases) {
        const auto problem = CheckLoginFields(c.Call, c.Password, c.Commands);
        EXPECT_EQ(problem ? std::optional(problem->Field) : std::nullopt, c.Wrong)
            << c.Call.toStdString();
    }
}

TEST(ClusterSettingsTest, RoundTripInAFileOfTheirOwn) {
    QTemporaryDir dir;
    const ClusterSettings saved{
        "dxc.example.net", 7373, "DK7UK", {"set/nobeep", "accept/spots on vhf", "set/ve7cc"}};
    ASSERT_TRUE(SaveClusterSettings(dir.filePath("new/dir"), saved));
    const ClusterSettings loaded = LoadClusterSettings(dir.filePath("new/dir"));
    EXPECT_EQ(loaded.Host, saved.Host);
    EXPECT_EQ(loaded.Port, 7373);
    EXPECT_EQ(loaded.Call, saved.Call);
    EXPECT_EQ(loaded.Commands, saved.Commands);
    EXPECT_EQ(QDir(dir.filePath("new/dir")).entryList(QDir::Files),
              QStringList{ClusterSettingsFileName});
}

TEST(ClusterSettingsTest, InvalidValuesKeepTheirDefaults) {
    QTemporaryDir dir;
    QFile file(dir.filePath(ClusterSettingsFileName));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[node]\nport=99999\nhost=  db0xyz.example  \n");
    file.close();
    const ClusterSettings loaded = LoadClusterSettings(dir.path());
    EXPECT_EQ(loaded.Port, DefaultClusterPort);
    EXPECT_EQ(loaded.Host, "db0xyz.example");
    EXPECT_TRUE(loaded.Call.isEmpty());
    EXPECT_TRUE(loaded.Commands.isEmpty());
    EXPECT_EQ(LoadClusterSettings(dir.filePath("missing")).Port, DefaultClusterPort);
}

TEST(ClusterSettingsTest, PasswordFileIsTheUsersAlone) {
    QTemporaryDir dir;
    ASSERT_TRUE(SavePassword(dir.path(), "s3cret"));
    const QString path = dir.filePath(ClusterPasswordFileName);
    EXPECT_EQ(QFile::permissions(path) & ~(QFile::ReadUser | QFile::WriteUser),
              QFile::ReadOwner | QFile::WriteOwner);
    StoredPassword stored = LoadPassword(dir.path());
    EXPECT_EQ(stored.Problem, PasswordProblem::None);
    EXPECT_EQ(stored.Password, "s3cret");
    // Never in the settings file.
    QFile settings(dir.filePath(ClusterSettingsFileName));
    EXPECT_FALSE(settings.exists());

    // A file that others may read is not used.
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner |
                                                QFile::ReadGroup | QFile::ReadOther));
    stored = LoadPassword(dir.path());
    EXPECT_EQ(stored.Problem, PasswordProblem::ReadableByOthers);
    EXPECT_TRUE(stored.Password.isEmpty());

    // Saved again: private again. An empty password removes the file.
    ASSERT_TRUE(SavePassword(dir.path(), "n3w"));
    EXPECT_EQ(LoadPassword(dir.path()).Password, "n3w");
    ASSERT_TRUE(SavePassword(dir.path(), ""));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(LoadPassword(dir.path()).Problem, PasswordProblem::Missing);
}

TEST(ClusterSettingsTest, OverlongPasswordFileIsRefused) {
    QTemporaryDir dir;
    ASSERT_TRUE(SavePassword(dir.path(), QString(MaxPasswordBytes + 1, 'x')));
    EXPECT_EQ(LoadPassword(dir.path()).Problem, PasswordProblem::Unreadable);
}

} // namespace
} // namespace ionvane::cluster

// A node or broker as typed, in the command line and in the live window alike.
TEST(HostAndPortTest, ReadsEveryFormAndRefusesBadPorts) {
    using ionvane::station::HostProblem;
    struct Case {
        const char *Text;
        HostProblem Problem;
        const char *Host;
        int Port; ///< -1 for none
    };
    const Case cases[] = {
        {"dxc.example.net", HostProblem::None, "dxc.example.net", -1},
        {" mqtt.pskreporter.info:1883 ", HostProblem::None, "mqtt.pskreporter.info", 1883},
        {"[::1]:7300", HostProblem::None, "::1", 7300},
        {"[::1]", HostProblem::None, "::1", -1},
        {"::1", HostProblem::None, "::1", -1},
        {"host:65535", HostProblem::None, "host", 65535},
        {"host:0", HostProblem::PortRange, "", -1},
        {"host:65536", HostProblem::PortRange, "", -1},
        {"host:12a", HostProblem::PortRange, "", -1},
        {":1883", HostProblem::Form, "", -1},
        {"", HostProblem::Form, "", -1},
        {"[::1", HostProblem::Form, "", -1},
        {"[::1]x", HostProblem::Form, "", -1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Text);
        const ionvane::station::HostReading reading = ionvane::station::ReadHostAndPort(c.Text);
        EXPECT_EQ(reading.Problem, c.Problem);
        if (c.Problem == HostProblem::None) {
            EXPECT_EQ(reading.Read.Host.toStdString(), c.Host);
            EXPECT_EQ(reading.Read.Port ? *reading.Read.Port : -1, c.Port);
        }
    }
}
