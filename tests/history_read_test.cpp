// The bound of the restore, and a store on a read-only file system.
#include "history_fixture.h"

#include "history/history_store.h"
#include "history/store_file.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace ionvane::history {
namespace {

// A flood of datagrams once left the store 1.2 GB that a restart within the hour loaded whole.
TEST(HistoryRestore, TheNewestLinesWithinTheBoundAreRead) {
    QTemporaryDir dir;
    HistoryStore store(dir.filePath("history.sqlite"), T0);
    for (int i = 0; i < 10; ++i) {
        store.AddLine(T0 + i, "line"); // 4 bytes each
    }
    EXPECT_EQ(store.LinesSince(0, 10, 40).size(), 10U);
    const auto newest = store.LinesSince(0, 4, 40);
    ASSERT_EQ(newest.size(), 4U);
    EXPECT_EQ(newest.front().Time, T0 + 6);
    EXPECT_EQ(newest.back().Time, T0 + 9);
    EXPECT_EQ(store.LinesSince(0, 10, 10).size(), 2U);
}

// A store on a read-only file system: no -shm file can be made beside it, which a reader of a WAL
// store needs, and it was read as no store at all. Permission bits do not stop root, so the test
// runs again in a mount namespace of its own, the store's folder mounted read-only.
TEST(HistoryOpening, AStoreOnAReadOnlyFileSystemIsRead) {
    constexpr const char *Mounted = "IONVANE_READ_ONLY_STORE";
    if (qEnvironmentVariableIsSet(Mounted)) {
        const QString path = qEnvironmentVariable(Mounted) + "/history.sqlite";
        ASSERT_FALSE(FolderWritable(path));
        HistoryStore store(path, T0);
        EXPECT_NE(store.Message().find(" is read-only: its history is read"), std::string::npos)
            << store.Message();
        EXPECT_EQ(store.LinesSince(0).size(), 1U);
        return;
    }
    QTemporaryDir dir;
    HistoryStore(dir.filePath("history.sqlite"), T0).AddLine(T0, "first");
    QProcess inner;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(Mounted, dir.path());
    inner.setProcessEnvironment(env);
    inner.start("unshare", {"-r", "-m", "sh", "-c",
                            R"(mount --bind -o ro "$1" "$1" || exit 77; exec "$2" "$3")", "sh",
                            dir.path(), QCoreApplication::applicationFilePath(),
                            "--gtest_filter=HistoryOpening.AStoreOnAReadOnlyFileSystemIsRead"});
    constexpr int NoMount = 77;
    if (!inner.waitForFinished(30'000) || inner.exitCode() == NoMount) {
        GTEST_SKIP() << "no mount namespace to mount a folder read-only in";
    }
    EXPECT_EQ(inner.exitCode(), 0) << inner.readAllStandardOutput().toStdString();
}

} // namespace
} // namespace ionvane::history
