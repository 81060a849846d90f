// The cluster settings file and the password file, in a temporary directory.
#include "cluster/cluster_settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace ionvane::cluster {
namespace {

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
