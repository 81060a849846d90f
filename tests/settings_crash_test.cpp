// The settings file under hostile conditions: a saver killed at random moments, a directory that
// takes no files, the file replaced by a directory or by a symbolic link.
#include "full_disk.h"
#include "window/settings_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace ionvane::window {
namespace {

const calc::NumberFormat English = calc::EnglishNumberFormat();

QByteArray ReadAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

TEST(SettingsCrash, KilledSaverLeavesTheOldOrTheNewFileWhole) {
#ifdef IONVANE_SANITIZED
    constexpr int Kills = 60;
#else
    constexpr int Kills = 300;
#endif
    QTemporaryDir dir;
    const QString path = dir.filePath(SettingsFileName);
    ASSERT_TRUE(SaveSettingsFile(path, Settings{"IO90IR", 110.0F, 0.15F}, English));
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> delayMicroseconds(0, 3000);
    int survived = 0;
    int newSeen = 0;
    int cutShort = 0;
    for (int kill = 0; kill < Kills; ++kill) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t saver = fork();
        ASSERT_GE(saver, 0);
        if (saver == 0) {
            dup2(ready[1], STDOUT_FILENO);
            execl(IONVANE_SETTINGS_SAVER, IONVANE_SETTINGS_SAVER,
                  dir.path().toLocal8Bit().constData(), static_cast<char *>(nullptr));
            _exit(127);
        }
        close(ready[1]);
        char said = 0;
        ASSERT_EQ(read(ready[0], &said, 1), 1);
        close(ready[0]);
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
        ::kill(saver, SIGKILL);
        int status = 0;
        waitpid(saver, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saver ended on its own";
        const QByteArray content = ReadAll(path);
        ASSERT_TRUE(content == "IO90IR\r\n110\r\n0.15\r\n" || content == "JN77EX\r\n95\r\n2.5\r\n")
            << "after kill " << kill << ": " << content.toStdString();
        ++survived;
        newSeen += content.startsWith("JN77EX");
        // A kill in mid-save may leave its unfinished new file behind; it is never the settings.
        const QStringList left = QDir(dir.path()).entryList({"homeloc.dat.*"}, QDir::Files);
        cutShort += !left.isEmpty();
        for (const QString &name : left) {
            QFile::remove(dir.filePath(name));
        }
    }
    // The saver did get to save before it was killed.
    EXPECT_GT(newSeen, 0);
    std::printf(
        "kills survived by the settings file: %d (new settings found after %d, an unfinished "
        "new file left after %d)\n",
        survived, newSeen, cutShort);
}

TEST(SettingsCrash, DirectoryThatTakesNoFiles) {
    EXPECT_FALSE(SaveSettingsFile("/proc/homeloc.dat", Settings{"IO90IR", 110, 0.15F}, English));
    EXPECT_FALSE(SaveSettingsFile("/nonexistent/dir/homeloc.dat", Settings{}, English));
}

TEST(SettingsCrash, FileReplacedByADirectory) {
    QTemporaryDir dir;
    const QString path = dir.filePath(SettingsFileName);
    QDir().mkpath(path + "/inside");
    EXPECT_FALSE(SaveSettingsFile(path, Settings{"IO90IR", 110, 0.15F}, English));
    EXPECT_TRUE(QDir(path + "/inside").exists());
    const Settings loaded = LoadSettingsFile(path, English);
    EXPECT_EQ(loaded.EsLayerHeightKm, 110.0F);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 0);
}

TEST(SettingsCrash, SymbolicLinkIsReplacedNotWrittenThrough) {
    QTemporaryDir dir;
    QTemporaryDir elsewhere;
    const QString outside = elsewhere.filePath("important.txt");
    {
        QFile file(outside);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("JO65\r\n100\r\n1\r\n");
    }
    const QString path = dir.filePath(SettingsFileName);
    ASSERT_TRUE(QFile::link(outside, path));
    // Reading follows the link, as the user may have set it up that way.
    EXPECT_EQ(LoadSettingsFile(path, English).HomeLocator, "JO65");
    EXPECT_TRUE(SaveSettingsFile(path, Settings{"IO90IR", 110, 0.15F}, English));
    EXPECT_EQ(ReadAll(outside), "JO65\r\n100\r\n1\r\n");
    EXPECT_FALSE(QFileInfo(path).isSymLink());
    EXPECT_EQ(ReadAll(path), "IO90IR\r\n110\r\n0.15\r\n");
}

TEST(SettingsCrash, FullDiskKeepsTheOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(SettingsFileName);
    ASSERT_TRUE(SaveSettingsFile(path, Settings{"IO91WM", 100, 0.35F}, English));
    bool written = true;
    {
        const testing::FullDisk full;
        written = SaveSettingsFile(path, Settings{"JN77EX", 95, 2.5F}, English);
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadAll(path), "IO91WM\r\n100\r\n0.35\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

} // namespace
} // namespace ionvane::window
