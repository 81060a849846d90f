#include "window/settings_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace ionvane::window {
namespace {

const calc::NumberFormat English = calc::EnglishNumberFormat();

QString WriteFile(const QTemporaryDir &dir, const QByteArray &content) {
    const QString path = dir.filePath(SettingsFileName);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    return path;
}

QByteArray ReadFile(const QString &path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

TEST(SettingsFile, LoadsWithSilentFallbacks) {
    struct Case {
        QByteArray Content;
        const char *Home;
        float EsKm, HomeKm;
    };
    const Case cases[] = {
        {"IO91WM\r\n100\r\n0.35\r\n", "IO91WM", 100.0F, 0.35F},
        // An editor's UTF-8 byte-order mark before the first line is no part of the locator.
        {"\xEF\xBB\xBFIO91WM\r\n100\r\n0.35\r\n", "IO91WM", 100.0F, 0.35F},
        {"\xEF\xBB\xBF\r\n100\r\n0.35\r\n", "", 100.0F, 0.35F},
        // Only at the very start: later it is text of the line like any other.
        {"IO91WM\r\n\xEF\xBB\xBF"
         "100\r\n0.35\r\n",
         "IO91WM", 110.0F, 0.35F},
        {"IO91WM\n100\n0.35\n", "IO91WM", 100.0F, 0.35F}, // LF alone is read too
        {"JN77EX\r\n131\r\n6\r\n", "JN77EX", 110.0F, 0.15F},
        {"JN77EX\r\n89\r\n0\r\n", "JN77EX", 110.0F, 0.15F},
        {"JN77EX\r\n100.5\r\n0.001\r\n", "JN77EX", 100.5F, 0.001F},
        {"IO91WM\r\n", "IO91WM", 110.0F, 0.15F},     // a locator is not a number
        {"IO91WM\r\n3\r\n", "IO91WM", 110.0F, 3.0F}, // line 2 serves line 3 as well
        {"\r\n110\r\nabc\r\n", "", 110.0F, 0.15F},
        {"", "", 110.0F, 0.15F},
        {QByteArray("IO\0XX\r\n95\r\n1\r\n", 14), "IO", 95.0F, 1.0F},
    };
    for (const auto &c : cases) {
        QTemporaryDir dir;
        const Settings s = LoadSettingsFile(WriteFile(dir, c.Content), English);
        EXPECT_EQ(s.HomeLocator.substr(0, 2), std::string(c.Home).substr(0, 2));
        EXPECT_EQ(s.EsLayerHeightKm, c.EsKm) << c.Content.toStdString();
        EXPECT_EQ(s.HomeHeightKm, c.HomeKm) << c.Content.toStdString();
    }
}

TEST(SettingsFile, NumbersWithTheOtherDecimalMarkAreTaken) {
    // A file written under de_DE ("0,35") read under en_US fell back to the defaults; a number
    // that reads in neither form still does.
    const calc::NumberFormat german{",", ".", 2};
    struct Case {
        QByteArray Content;
        const calc::NumberFormat *Format;
        float EsKm, HomeKm;
    };
    const Case cases[] = {
        {"IO91WM\r\n100,5\r\n0,35\r\n", &English, 100.5F, 0.35F},
        {"IO91WM\r\n100.5\r\n0.35\r\n", &german, 100.5F, 0.35F},
        {"IO91WM\r\n100,5\r\n0,35\r\n", &german, 100.5F, 0.35F},
        {"IO91WM\r\n131,5\r\n5,5\r\n", &English, 110.0F, 0.15F},
    };
    for (const auto &c : cases) {
        QTemporaryDir dir;
        const Settings s = LoadSettingsFile(WriteFile(dir, c.Content), *c.Format);
        EXPECT_EQ(s.EsLayerHeightKm, c.EsKm) << c.Content.toStdString();
        EXPECT_EQ(s.HomeHeightKm, c.HomeKm) << c.Content.toStdString();
    }
}

TEST(SettingsFile, MissingFileGivesTheDefaults) {
    QTemporaryDir dir;
    const Settings s = LoadSettingsFile(dir.filePath(SettingsFileName), English);
    EXPECT_EQ(s.HomeLocator, "");
    EXPECT_EQ(s.EsLayerHeightKm, 110.0F);
    EXPECT_EQ(s.HomeHeightKm, 0.15F);
}

TEST(SettingsFile, LongLinesAndFilesAreReadOnlyUpToTheirBounds) {
    QTemporaryDir dir;
    const QByteArray longLine(5000, 'A');
    const Settings s = LoadSettingsFile(WriteFile(dir, longLine + "\r\n100\r\n1\r\n"), English);
    EXPECT_EQ(s.HomeLocator.size(), 1024U);
    EXPECT_EQ(s.EsLayerHeightKm, 100.0F);
    const QByteArray huge(70 * 1024, '\n');
    const Settings past = LoadSettingsFile(WriteFile(dir, huge + "100\r\n"), English);
    EXPECT_EQ(past.EsLayerHeightKm, 110.0F);
}

TEST(SettingsFile, SavesThreeCrLfLines) {
    QTemporaryDir dir;
    const QString path = dir.filePath(SettingsFileName);
    ASSERT_TRUE(SaveSettingsFile(path, Settings{"IO90IR", 110.0F, 0.15F}, English));
    EXPECT_EQ(ReadFile(path), "IO90IR\r\n110\r\n0.15\r\n");
    ASSERT_TRUE(
        SaveSettingsFile(path, Settings{"", 100.5F, 5.0F}, calc::NumberFormat{",", ".", 2}));
    EXPECT_EQ(ReadFile(path), "\r\n100,5\r\n5\r\n");
}

TEST(SettingsFile, FailedSaveLeavesTheOldFileWhole) {
    QTemporaryDir dir;
    const QString path = WriteFile(dir, "IO91WM\r\n100\r\n0.35\r\n");
    // The file replaced by a directory of the same name cannot be saved over.
    const QString blocked = dir.filePath("blocked");
    QDir().mkpath(blocked + "/" + SettingsFileName);
    EXPECT_FALSE(SaveSettingsFile(blocked + "/" + SettingsFileName, Settings{"X", 90, 1}, English));
    EXPECT_FALSE(SaveSettingsFile(dir.filePath("missing/dir/homeloc.dat"), Settings{}, English));
    EXPECT_EQ(ReadFile(path), "IO91WM\r\n100\r\n0.35\r\n");
}

TEST(SettingsFile, ReadOnlyFileIsLeftAloneWithNothingBesideIt) {
    QTemporaryDir dir;
    const QString path = WriteFile(dir, "IO91WM\r\n100\r\n0.35\r\n");
    ASSERT_TRUE(
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    EXPECT_FALSE(SaveSettingsFile(path, Settings{"JN77EX", 95, 2.5F}, English));
    EXPECT_EQ(ReadFile(path), "IO91WM\r\n100\r\n0.35\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList({SettingsFileName}));
    // Made writable again, it is saved, and again nothing else is left in the directory.
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
    EXPECT_TRUE(SaveSettingsFile(path, Settings{"JN77EX", 95, 2.5F}, English));
    EXPECT_EQ(ReadFile(path), "JN77EX\r\n95\r\n2.5\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList({SettingsFileName}));
}

TEST(SettingsFile, FirstLineKeepsItsBytesWhileUnchanged) {
    struct Case {
        QByteArray Line;     // line 1 in the file
        const char *Shown;   // its text in the program (UTF-8)
        const char *Changed; // a new home, saved as UTF-8
    };
    const Case cases[] = {
        {"JN18d\xe9", "JN18d\xc3\xa9", "JN18DU"},        // Latin-1 / Windows single byte
        {"K\xd6ln", "K\xc3\x96ln", "JO30"},              // a lead byte without its follower
        {"JN18d\xc3\xa9", "JN18d\xc3\xa9", "J\xc3\xa9"}, // already UTF-8: kept as it is
        {"IO90IRXY", "IO90IRXY", "IO90IR"},              // longer than a locator
        {"", "", "IO90IR"},
    };
    for (const auto &c : cases) {
        QTemporaryDir dir;
        const QString path = WriteFile(dir, c.Line + "\r\n100\r\n0.35\r\n");
        Settings s = LoadSettingsFile(path, English);
        EXPECT_EQ(s.HomeLocator, c.Shown);
        ASSERT_TRUE(SaveSettingsFile(path, s, English));
        EXPECT_EQ(ReadFile(path), c.Line + "\r\n100\r\n0.35\r\n");
        s.HomeLocator = c.Changed;
        ASSERT_TRUE(SaveSettingsFile(path, s, English));
        EXPECT_EQ(ReadFile(path), QByteArray(c.Changed) + "\r\n100\r\n0.35\r\n");
    }
}

TEST(SettingsPlaces, BesideTheProgramWhenPossible) {
    QTemporaryDir program;
    QTemporaryDir user;
    const SettingsPlaces places{program.path(), user.path()};
    EXPECT_EQ(places.SavePath(), program.filePath(SettingsFileName));
    // Nothing beside the program yet: a file in the user's directory is the one to load.
    WriteFile(user, "JN77EX\r\n100\r\n1\r\n");
    EXPECT_EQ(places.LoadPath(), user.filePath(SettingsFileName));
    WriteFile(program, "IO91WM\r\n100\r\n1\r\n");
    EXPECT_EQ(places.LoadPath(), program.filePath(SettingsFileName));
}

TEST(SettingsPlaces, UserDirectoryWhenTheProgramDirectoryIsReadOnly) {
    // /proc refuses new files even to root.
    QTemporaryDir user;
    const SettingsPlaces places{"/proc", user.filePath("config/Ionvane")};
    EXPECT_EQ(places.SavePath(), user.filePath("config/Ionvane/homeloc.dat"));
    EXPECT_TRUE(QDir(user.filePath("config/Ionvane")).exists());
}

TEST(SettingsPlaces, InstalledProgramsUseTheUserDirectory) {
    // Installed in a system directory (even one the superuser could write), window and command
    // line both keep their settings per user; anywhere else they keep them beside the program.
    QTemporaryDir program;
    QTemporaryDir user;
    const QStringList installed{"/usr/local/bin", "/usr/bin"};
    const auto system = SettingsPlaces::ForProgramIn("/usr/bin/", user.path(), installed);
    EXPECT_EQ(system.LoadPath(), user.filePath(SettingsFileName));
    EXPECT_EQ(system.SavePath(), user.filePath(SettingsFileName));
    const auto buildTree = SettingsPlaces::ForProgramIn(program.path(), user.path(), installed);
    EXPECT_EQ(buildTree.SavePath(), program.filePath(SettingsFileName));
}

} // namespace
} // namespace ionvane::window
