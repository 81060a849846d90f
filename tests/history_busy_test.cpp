// The history store while the session runs: a store another program keeps locked, a failed
// commit, the bound of the restore, a store in a folder no one may write.
#include "full_disk.h"
#include "history_fixture.h"

#include "history/history_store.h"
#include "history/store_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace ionvane::history {
namespace {

// A second connection, as an sqlite3 shell in another process: SQLite's locks hold between the
// connections of one process as between processes.
class OtherProgram {
  public:
    explicit OtherProgram(const QString &path) {
        Db = QSqlDatabase::addDatabase("QSQLITE", "other program");
        Db.setDatabaseName(path);
        Db.open();
    }
    ~OtherProgram() {
        Db.close();
        Db = QSqlDatabase();
        QSqlDatabase::removeDatabase("other program");
    }
    OtherProgram(const OtherProgram &) = delete;
    OtherProgram &operator=(const OtherProgram &) = delete;

    bool Run(const QString &statement) { return QSqlQuery(Db).exec(statement); }

  private:
    QSqlDatabase Db;
};

// Once each line waited the busy timeout twice (14 lines a second fell to 1), and three lines
// were lost: now they wait in memory and are written in order, with their own times.
TEST(HistoryBusy, LinesWaitForALockedStoreAndAreWrittenInOrderOnceItIsFree) {
    QTemporaryDir dir;
    const QString path = dir.filePath("history.sqlite");
    HistoryStore store(path, T0);
    ASSERT_TRUE(store.IsWritable()) << store.Message();
    OtherProgram other(path);
    ASSERT_TRUE(other.Run("BEGIN EXCLUSIVE"));
    ASSERT_TRUE(other.Run("INSERT INTO lines(time, line) VALUES(1, 'the other program''s')"));
    constexpr int Lines = 30;
    for (int i = 0; i < Lines; ++i) {
        EXPECT_TRUE(store.AddLine(T0 + i, "line " + std::to_string(i)));
        EXPECT_TRUE(store.EndLine());
    }
    EXPECT_TRUE(store.IsBusy());
    EXPECT_EQ(store.WaitingLines(), static_cast<std::size_t>(Lines));
    EXPECT_EQ(store.Message(), "");
    ASSERT_TRUE(other.Run("COMMIT"));

    EXPECT_TRUE(store.Commit());
    EXPECT_FALSE(store.IsBusy());
    EXPECT_EQ(store.WaitingLines(), 0U);
    EXPECT_EQ(store.LostLines(), 0);
    const auto lines = store.LinesSince(0);
    ASSERT_EQ(lines.size(), Lines + 1U);
    EXPECT_EQ(lines[0].Line, "the other program's");
    for (int i = 0; i < Lines; ++i) {
        EXPECT_EQ(lines[i + 1U].Time, T0 + i);
        EXPECT_EQ(lines[i + 1U].Line, "line " + std::to_string(i));
    }
}

TEST(HistoryBusy, WhatWaitsIsBoundedAndWhatIsPastTheBoundIsCounted) {
    QTemporaryDir dir;
    const QString path = dir.filePath("history.sqlite");
    HistoryStore store(path, T0);
    {
        OtherProgram other(path);
        ASSERT_TRUE(other.Run("BEGIN EXCLUSIVE"));
        store.AddLine(T0, "x");
        store.EndLine(); // finds the store locked
        for (std::size_t i = 1; i < MaxWaitingLines; ++i) {
            store.AddLine(T0, "x");
        }
        EXPECT_FALSE(store.AddLine(T0, "one too many"));
        EXPECT_EQ(store.LostLines(), 1);
        EXPECT_EQ(store.Message().rfind("Writing the history failed", 0), 0U) << store.Message();
        ASSERT_TRUE(other.Run("ROLLBACK"));
    }
    EXPECT_TRUE(store.Commit());
    EXPECT_EQ(store.LinesSince(0, MaxWaitingLines + 1).size(), MaxWaitingLines);
}

// A replay on a nearly full disk once stored 1,000 of 20,000 lines and said nothing: the result
// of the commit was not looked at.
TEST(HistoryBusy, AFailedCommitLosesItsLinesAndSaysSo) {
    constexpr int LinesPerCommit = 1000;
    constexpr int Lines = 50;
    QTemporaryDir dir;
    HistoryStore store(dir.filePath("history.sqlite"), T0, DefaultRetentionDays, LinesPerCommit);
    ASSERT_TRUE(store.IsWritable()) << store.Message();
    {
        const testing::FullDisk full;
        for (int i = 0; i < Lines; ++i) {
            EXPECT_TRUE(store.AddLine(T0 + i, std::string(200, 'x')));
            EXPECT_TRUE(store.EndLine()); // held back for the commit
        }
        EXPECT_FALSE(store.Commit());
    }
    EXPECT_FALSE(store.IsBusy());
    EXPECT_EQ(store.LostLines(), Lines);
    EXPECT_EQ(store.Message().rfind("Writing the history failed: ", 0), 0U) << store.Message();
    EXPECT_NE(store.Message().find("; 50 lines were not recorded."), std::string::npos)
        << store.Message();
    // The store goes on once there is room again.
    EXPECT_TRUE(store.AddLine(T0 + Lines, "after"));
    EXPECT_TRUE(store.Commit());
    ASSERT_EQ(store.LinesSince(0).size(), 1U);
}

// A flood of datagrams once left the store 1.2 GB that a restart within the hour loaded whole.
TEST(HistoryRestoreBound, TheNewestLinesWithinTheBoundAreRead) {
    QTemporaryDir dir;
    HistoryStore store(dir.filePath("history.sqlite"), T0);
    for (int i = 0; i < 10; ++i) {
        store.AddLine(T0 + i, "line " + std::to_string(i)); // 6 bytes each
    }
    const struct {
        const char *Name;
        std::int64_t Since;
        std::size_t MaxLines;
        std::size_t MaxBytes;
        std::int64_t First; ///< the time of the first line read
        std::size_t Count;
    } cases[] = {
        {"within both", 0, 10, 60, T0, 10},
        {"lines", 0, 4, 60, T0 + 6, 4},
        {"bytes", 0, 10, 20, T0 + 7, 3},
        {"since", T0 + 8, 10, 60, T0 + 8, 2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const auto lines = store.LinesSince(c.Since, c.MaxLines, c.MaxBytes);
        ASSERT_EQ(lines.size(), c.Count);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i].Time, c.First + static_cast<std::int64_t>(i));
        }
    }
}

// What a store in a folder no one may write must give: its history, and nothing recorded.
void ExpectReadAndNotWritten(const QString &path) {
    ASSERT_FALSE(FolderWritable(path));
    HistoryStore store(path, T0);
    EXPECT_FALSE(store.IsWritable());
    EXPECT_NE(store.Message().find(" is read-only: its history is read"), std::string::npos)
        << store.Message();
    EXPECT_EQ(store.LinesSince(0).size(), 2U);
}

// A store on a read-only file system: no -shm file can be made beside it, which a reader of a WAL
// store needs, and it was read as no store at all. Root may write any folder whatever its
// permission bits, so for root the test runs again in a mount namespace of its own, with the
// store's folder mounted read-only.
TEST(HistoryOpening, AStoreOnAReadOnlyFileSystemIsRead) {
    constexpr const char *Mounted = "IONVANE_READ_ONLY_STORE";
    if (qEnvironmentVariableIsSet(Mounted)) {
        ExpectReadAndNotWritten(qEnvironmentVariable(Mounted));
        return;
    }
    QTemporaryDir dir;
    const QString folder = dir.filePath("store");
    const QString readOnly = dir.filePath("read-only");
    QDir().mkpath(folder);
    QDir().mkpath(readOnly);
    {
        HistoryStore store(folder + "/history.sqlite", T0);
        store.AddLine(T0, "first");
        store.AddLine(T0, "second");
    }
    ASSERT_FALSE(QFile::exists(folder + "/history.sqlite-shm"));
    if (::geteuid() != 0) {
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        ExpectReadAndNotWritten(folder + "/history.sqlite");
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return;
    }
    constexpr int NoMount = 77;
    QProcess inner;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(Mounted, readOnly + "/history.sqlite");
    inner.setProcessEnvironment(env);
    inner.setProcessChannelMode(QProcess::MergedChannels);
    inner.start("unshare", {"-m", "sh", "-c",
                            "mount --bind -o ro \"$1\" \"$2\" || exit 77; exec \"$3\" "
                            "--gtest_filter=HistoryOpening.AStoreOnAReadOnlyFileSystemIsRead",
                            "sh", folder, readOnly, QCoreApplication::applicationFilePath()});
    if (!inner.waitForStarted(10'000)) {
        GTEST_SKIP() << "run as root and no unshare to mount a folder read-only";
    }
    ASSERT_TRUE(inner.waitForFinished(30'000));
    if (inner.exitCode() == NoMount) {
        GTEST_SKIP() << "run as root and no read-only mount allowed here";
    }
    EXPECT_EQ(inner.exitCode(), 0) << inner.readAll().toStdString();
}

} // namespace
} // namespace ionvane::history
