// The history store: lines, spots and alarms kept and read back, WAL mode, retention at start, a
// damaged or unusable store, and the last hour replayed into a fresh tracker after a SIGKILL.
#include "history/recorder.h"
#include "synthetic/synthetic_capture.h"
#include "tracker/capture.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace ionvane::history {
namespace {

// 2026-06-14T10:00:00Z
constexpr std::int64_t T0 = 1781431200;
constexpr std::int64_t Minute = 60;
constexpr std::int64_t Day = 86400;

QByteArray ReadAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteAll(const QString &path, const QByteArray &content) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

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
    EXPECT_TRUE(QFile::exists(path + "-wal"));
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

tracker::SpotPipeline HomePipeline() {
    return tracker::SpotPipeline(
        tracker::SpotCalculator(calc::PlainNumberFormat(), {"IO90IR", 110.0F, 0.15F}), {}, false);
}

// Two clouds over 40 minutes, one of them with a 2 m spot, amid HF spots and talk.
std::vector<std::string> Opening() {
    using synthetic::PathThrough;
    std::vector<std::string> lines;
    for (int i = 0; i < 40; ++i) {
        const std::int64_t t = T0 + i * Minute;
        lines.push_back(synthetic::PlainSpotLine(t, 14074.0, "JA1ABC", "DK7UK"));
        lines.push_back(synthetic::SpotLine(t + 5, PathThrough({45.0, 10.0}, i * 23 % 180, 1500),
                                            i == 30 ? 144174.0 : 50313.0));
        if (i % 3 == 0) {
            lines.push_back(synthetic::SpotLine(
                t + 20, PathThrough({40.0, -2.0}, i * 41 % 180, 1200), 50150.0));
        }
    }
    return lines;
}

void Feed(tracker::SpotPipeline &pipeline, const std::vector<std::string> &lines, std::size_t n) {
    std::vector<tracker::TrackerEvent> events;
    for (std::size_t i = 0; i < n; ++i) {
        const auto line = tracker::ReadCaptureLine(lines[i]);
        pipeline.Feed(line->Time, line->Line, events);
    }
}

void ExpectSameClouds(const tracker::SpotPipeline &a, const tracker::SpotPipeline &b) {
    const auto ca = a.Clouds().CurrentClouds();
    const auto cb = b.Clouds().CurrentClouds();
    ASSERT_EQ(ca.size(), cb.size());
    for (std::size_t i = 0; i < ca.size(); ++i) {
        EXPECT_EQ(ca[i].State, cb[i].State);
        EXPECT_EQ(ca[i].Cloud.LatDeg, cb[i].Cloud.LatDeg);
        EXPECT_EQ(ca[i].Cloud.LonDeg, cb[i].Cloud.LonDeg);
        EXPECT_EQ(ca[i].Cloud.Spots, cb[i].Cloud.Spots);
        EXPECT_EQ(ca[i].Cloud.CriticalFreqMHz, cb[i].Cloud.CriticalFreqMHz);
    }
    const auto va = a.Clouds().CurrentVerdict();
    const auto vb = b.Clouds().CurrentVerdict();
    for (std::size_t i = 0; i < va.Bands.size(); ++i) {
        EXPECT_EQ(va.Bands[i].Possible, vb.Bands[i].Possible);
    }
}

TEST(HistoryRestore, TheLastHourGivesTheSameCloudsAndNoSecondAlarm) {
    QTemporaryDir dir;
    const auto lines = Opening();
    auto before = HomePipeline();
    {
        HistoryStore store(dir.filePath("history.sqlite"), T0);
        std::vector<tracker::TrackerEvent> events;
        for (const auto &text : lines) {
            const auto line = tracker::ReadCaptureLine(text);
            const auto result = before.Feed(line->Time, line->Line, events);
            Record(store, line->Time, line->Time, line->Line, result, events);
            events.clear();
        }
    }
    const std::int64_t now = T0 + 41 * Minute;
    std::vector<tracker::TrackerEvent> events;
    before.Tick(now, events);
    HistoryStore store(dir.filePath("history.sqlite"), now);
    EXPECT_GT(store.AlarmCount(), 0);
    auto after = HomePipeline();
    EXPECT_EQ(RestoreRecent(store, after, now), lines.size());
    ASSERT_EQ(after.Clouds().CloudCount(), 2U);
    ExpectSameClouds(before, after);
    // The 2 m spot opened 2 m and 4 m before the restart; a new 2 m spot raises no alarm again.
    events.clear();
    after.Feed(now,
               synthetic::SpotLine(now, synthetic::PathThrough({45.0, 10.0}, 5, 1500), 144174.0)
                   .substr(21),
               events);
    for (const auto &event : events) {
        EXPECT_FALSE(std::holds_alternative<tracker::AlarmEvent>(event));
    }
}

TEST(HistoryRestore, OnlyTheLastHourIsReplayed) {
    QTemporaryDir dir;
    HistoryStore store(dir.filePath("history.sqlite"), T0);
    const auto lines = Opening();
    for (const auto &text : lines) {
        const auto line = tracker::ReadCaptureLine(text);
        store.AddLine(line->Time, line->Line);
    }
    auto after = HomePipeline();
    // 30 minutes after the last line: the lines of the first 10 minutes are older than an hour.
    const std::int64_t now = T0 + 70 * Minute;
    std::size_t expected = 0;
    for (const auto &text : lines) {
        expected += tracker::ReadCaptureLine(text)->Time >= now - RestoreWindowS ? 1 : 0;
    }
    EXPECT_EQ(RestoreRecent(store, after, now), expected);
    EXPECT_LT(expected, lines.size());
}

TEST(HistoryCrash, KilledWriterLosesNoRecordedLine) {
    QTemporaryDir dir;
    const QString capture = dir.filePath("opening.capture");
    const auto lines = Opening();
    {
        std::ofstream out(capture.toStdString());
        for (const auto &line : lines) {
            out << line << '\n';
        }
    }
    const QString store = dir.filePath("history.sqlite");
    for (const std::size_t recorded : {std::size_t{25}, std::size_t{90}}) {
        QFile::remove(store);
        QFile::remove(store + "-wal");
        QFile::remove(store + "-shm");
        int progress[2];
        ASSERT_EQ(pipe(progress), 0);
        const pid_t writer = fork();
        ASSERT_GE(writer, 0);
        if (writer == 0) {
            dup2(progress[1], STDOUT_FILENO);
            const std::string count = std::to_string(recorded);
            execl(IONVANE_HISTORY_WRITER, IONVANE_HISTORY_WRITER, store.toLocal8Bit().constData(),
                  capture.toLocal8Bit().constData(), count.c_str(), static_cast<char *>(nullptr));
            _exit(127);
        }
        close(progress[1]);
        std::size_t seen = 0;
        char dots[64];
        while (seen < recorded) {
            const ssize_t got = read(progress[0], dots, sizeof dots);
            ASSERT_GT(got, 0) << "the writer stopped after " << seen << " lines";
            seen += static_cast<std::size_t>(got);
        }
        close(progress[0]);
        ::kill(writer, SIGKILL);
        int status = 0;
        waitpid(writer, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));

        const std::int64_t now = tracker::ReadCaptureLine(lines[recorded - 1])->Time;
        auto expected = HomePipeline();
        Feed(expected, lines, recorded);
        std::vector<tracker::TrackerEvent> events;
        expected.Tick(now, events);
        HistoryStore reopened(store, now);
        ASSERT_TRUE(reopened.IsOpen());
        EXPECT_EQ(reopened.Message(), "");
        auto restored = HomePipeline();
        EXPECT_EQ(RestoreRecent(reopened, restored, now), recorded);
        ASSERT_GT(restored.Clouds().CloudCount(), 0U);
        ExpectSameClouds(expected, restored);
    }
}

} // namespace
} // namespace ionvane::history

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
