// The history store: lines, spots and alarms kept and read back, WAL mode, retention at start, a
// damaged or unusable store.
#include "full_disk.h"
#include "history_fixture.h"

#include "history/recorder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <optional>
#include <sys/stat.h> // mkfifo

namespace ionvane::history {
namespace {

TEST(HistoryStore, KeepsLinesSpotsAndAlarms) {
    QTemporaryDir dir;
    const QString path = dir.filePath("history.sqlite");
    {
        HistoryStore store(path, T0);
        ASSERT_TRUE(store.IsOpen()) << store.Message();
        EXPECT_EQ(store.Message(), "");
        EXPECT_TRUE(store.AddLine(T0 - 61 * Minute, "too old for the last hour"));
        EXPECT_TRUE(store.AddLine(T0 - 60 * Minute, "DX de DK7UK: 50099.0 EA5XX JN48QT<ES>IM98"));
        EXPECT_TRUE(store.AddLine(T0, "Grüße\tmit Tab"));
        EXPECT_TRUE(store.AddSpot({T0, "JN48QT", "IM98MM", 50.099, "6m", "es", 3}));
        EXPECT_TRUE(store.AddSpot({T0, "JN48QT", "IM98MM", 14.074, "", "other-band", {}}));
        EXPECT_TRUE(store.AddAlarm(T0, "2m", 3, "2m Es possible"));
    }
    HistoryStore store(path, T0 + Minute);
    const auto lines = store.LinesSince(T0 - RestoreWindowS);
    ASSERT_EQ(lines.size(), 2U);
    EXPECT_EQ(lines[0].Time, T0 - 60 * Minute);
    EXPECT_EQ(lines[1].Line, "Grüße\tmit Tab");
    const auto spots = store.SpotsSince(T0);
    ASSERT_EQ(spots.size(), 2U);
    EXPECT_EQ(spots[0].Cloud, 3);
    EXPECT_DOUBLE_EQ(spots[0].FreqMHz, 50.099);
    EXPECT_FALSE(spots[1].Cloud.has_value());
    EXPECT_EQ(store.AlarmCount(), 1);
}

TEST(HistoryStore, WriteAheadLog) {
    QTemporaryDir dir;
    const QString path = dir.filePath("history.sqlite");
    HistoryStore store(path, T0);
    ASSERT_TRUE(store.AddLine(T0, "line"));
    // The journal mode is kept in the file: a second connection sees it.
    {
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "wal-check");
        other.setDatabaseName(path);
        ASSERT_TRUE(other.open());
        QSqlQuery query(other);
        ASSERT_TRUE(query.exec("PRAGMA journal_mode"));
        ASSERT_TRUE(query.next());
        EXPECT_EQ(query.value(0).toString(), "wal");
    }
    QSqlDatabase::removeDatabase("wal-check");
    // The user's alone, as the lines may hold an echoed password.
    for (const QString &file : {path, path + "-wal"}) {
        EXPECT_EQ(QFile::permissions(file),
                  QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    }
}

TEST(HistoryStore, RetentionAppliedAtStart) {
    struct Case {
        int RetentionDays;
        std::size_t Kept;
    };
    for (const auto &c : {Case{7, 2}, Case{1, 1}, Case{30, 3}}) {
        QTemporaryDir dir;
        const QString path = dir.filePath("history.sqlite");
        {
            HistoryStore store(path, T0 - 20 * Day, 365);
            store.AddLine(T0 - 8 * Day, "eight days old");
            store.AddLine(T0 - 7 * Day, "seven days old");
            store.AddLine(T0 - Minute, "a minute old");
            store.AddAlarm(T0 - 8 * Day, "2m", 1, "old alarm");
        }
        HistoryStore store(path, T0, c.RetentionDays);
        EXPECT_EQ(store.LinesSince(0).size(), c.Kept) << c.RetentionDays << " days";
        EXPECT_EQ(store.AlarmCount(), c.RetentionDays > 8 ? 1 : 0) << c.RetentionDays << " days";
    }
}

TEST(HistoryStore, DamagedStoreMovedAsideAndANewOneStarted) {
    struct Case {
        const char *Name;
        QByteArray Content;
    };
    QByteArray truncated;
    QByteArray damaged;
    {
        // A real store cut short after its first pages.
        QTemporaryDir dir;
        const QString path = dir.filePath("history.sqlite");
        {
            HistoryStore store(path, T0);
            for (int i = 0; i < 3000; ++i) {
                store.AddLine(T0, "DX de DK7UK: 50099.0 EA5XX JN48QT<ES>IM98 " + std::to_string(i));
            }
        }
        truncated = ReadAll(path);
        ASSERT_GT(truncated.size(), 65536);
        // Pages of the table overwritten in the middle: the file opens and its schema reads,
        // only the check of its pages finds the damage.
        damaged = truncated;
        damaged.replace(40000, 8000, QByteArray(8000, '\x55'));
        truncated.truncate(8192);
    }
    const Case cases[] = {
        {"text", QByteArray("IO90IR\r\n110\r\n0.15\r\n").repeated(100)},
        {"zeros", QByteArray(8192, '\0')},
        {"header only", QByteArray("SQLite format 3\0", 16) + QByteArray(200, '\x55')},
        {"cut short", truncated},
        {"pages damaged", damaged},
    };
    for (const auto &c : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath("history.sqlite");
        WriteAll(path, c.Content);
        HistoryStore store(path, T0);
        ASSERT_TRUE(store.IsOpen()) << c.Name;
        const QString aside = path + ".broken-20260614T100000Z";
        EXPECT_EQ(store.Message(), "The history store " + path.toStdString() +
                                       " could not be read; it was moved aside to " +
                                       aside.toStdString() + " and a new one started.")
            << c.Name;
        EXPECT_EQ(ReadAll(aside), c.Content) << c.Name;
        EXPECT_TRUE(store.AddLine(T0, "first line of the new store")) << c.Name;
        EXPECT_EQ(store.LinesSince(0).size(), 1U) << c.Name;
    }
}

TEST(HistoryStore, NoPlaceForAStoreMeansNoHistoryAndNoFailure) {
    QTemporaryDir dir;
    // The store's directory is a regular file.
    WriteAll(dir.filePath("blocked"), "a file");
    HistoryStore store(dir.filePath("blocked/history.sqlite"), T0);
    EXPECT_FALSE(store.IsOpen());
    EXPECT_NE(store.Message().find("going on without a history"), std::string::npos);
    EXPECT_FALSE(store.AddLine(T0, "line"));
    EXPECT_TRUE(store.LinesSince(0).empty());
}

// The names in `dir` and the bytes of `path`, to show that nothing was touched. SQLite's own
// -wal and -shm files, which any reader may create, are left out.
QString Snapshot(const QString &dir, const QString &path) {
    QStringList names = QDir(dir).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    names.removeIf(
        [](const QString &name) { return name.endsWith("-wal") || name.endsWith("-shm"); });
    return names.join(' ') + '|' +
           (QFileInfo(path).isFile() ? QString::fromLatin1(ReadAll(path).toHex()) : "");
}

void StoreOfTwoLines(const QString &path) {
    HistoryStore store(path, T0);
    store.AddLine(T0, "first");
    store.AddLine(T0, "second");
}

// Only a store SQLite finds damaged is moved aside; everything else is left as it was, read where
// it can be, and the session goes on.
TEST(HistoryOpening, WhatIsNotDamagedIsLeftAsItIs) {
    struct Case {
        const char *Name;
        std::function<void(const QString &)> Make;
        bool FullDisk;
        const char *Says; ///< after the path
    };
    QFile holder;
    const Case cases[] = {
        {"read-only",
         [](const QString &path) {
             StoreOfTwoLines(path);
             QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
         },
         false, " is read-only: its history is read, but nothing is recorded"},
        {"full disk", StoreOfTwoLines, true, " could not be opened ("},
        {"directory", [](const QString &path) { QDir().mkpath(path + "/the user's own"); }, false,
         " is a directory, not a store; it is left as it is, going on without"},
        {"FIFO", [](const QString &path) { mkfifo(path.toLocal8Bit().constData(), 0600); }, false,
         " is a FIFO, not a store"},
        {"damaged but open elsewhere",
         [&holder](const QString &path) {
             WriteAll(path, QByteArray(8192, 'x'));
             holder.setFileName(path);
             holder.open(QIODevice::ReadOnly);
         },
         false, " is damaged but open in another program"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        QTemporaryDir dir;
        const QString path = dir.filePath("history.sqlite");
        c.Make(path);
        const QString before = Snapshot(dir.path(), path);
        {
            std::optional<testing::FullDisk> full;
            if (c.FullDisk) {
                full.emplace();
            }
            HistoryStore store(path, T0 + Minute);
            full.reset();
            EXPECT_FALSE(store.IsWritable());
            EXPECT_NE(store.Message().find(path.toStdString() + c.Says), std::string::npos)
                << store.Message();
            EXPECT_EQ(store.LinesSince(0).size(), store.IsOpen() ? 2U : 0U);
        }
        holder.close();
        EXPECT_EQ(Snapshot(dir.path(), path), before);
    }
}

// Another program holding the store's write lock past the patience: read, not moved aside.
TEST(HistoryOpening, AStoreLockedByAnotherProcessIsReadOnly) {
    QTemporaryDir dir;
    const QString path = dir.filePath("history.sqlite");
    StoreOfTwoLines(path);
    {
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other program");
        other.setDatabaseName(path);
        ASSERT_TRUE(other.open() && QSqlQuery(other).exec("BEGIN EXCLUSIVE"));
        HistoryStore store(path, T0);
        EXPECT_FALSE(store.IsWritable());
        EXPECT_NE(store.Message().find(" is in use by another program: its history is read"),
                  std::string::npos)
            << store.Message();
        EXPECT_EQ(store.LinesSince(0).size(), 2U);
        other.close();
    }
    QSqlDatabase::removeDatabase("other program");
    EXPECT_EQ(QDir(dir.path()).entryList({"*.broken-*"}), QStringList{});
    EXPECT_TRUE(HistoryStore(path, T0).IsWritable());
}

} // namespace
} // namespace ionvane::history

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
