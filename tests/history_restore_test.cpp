// The last hour of the history replayed into a fresh tracker, after a restart and after a SIGKILL.
#include "history_fixture.h"

#include "history/recorder.h"
#include "spot/capture_line.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace ionvane::history {
namespace {

tracker::SpotPipeline HomePipeline() {
    return tracker::SpotPipeline(
        tracker::SpotCalculator(calc::PlainNumberFormat(), {"IO90IR", 110.0F, 0.15F}), {}, false);
}

void Feed(tracker::SpotPipeline &pipeline, const std::vector<std::string> &lines, std::size_t n) {
    std::vector<tracker::TrackerEvent> events;
    for (std::size_t i = 0; i < n; ++i) {
        const auto line = spot::ReadCaptureLine(lines[i]);
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
        EXPECT_EQ(va.Bands[i].State, vb.Bands[i].State);
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
            const auto line = spot::ReadCaptureLine(text);
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
        const auto line = spot::ReadCaptureLine(text);
        store.AddLine(line->Time, line->Line);
    }
    auto after = HomePipeline();
    // 30 minutes after the last line: the lines of the first 10 minutes are older than an hour.
    const std::int64_t now = T0 + 70 * Minute;
    std::size_t expected = 0;
    for (const auto &text : lines) {
        expected += spot::ReadCaptureLine(text)->Time >= now - RestoreWindowS ? 1 : 0;
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

        const std::int64_t now = spot::ReadCaptureLine(lines[recorded - 1])->Time;
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
