// The evening in review: the store's hours replayed from snapshots give what one straight replay
// gives, the rows it cannot trust are skipped and counted, and a store that is missing, locked or
// read-only gives what can be read and says why.
#include "tests/history_fixture.h"

#include "history/history_store.h"
#include "review/review_engine.h"
#include "spot/capture_line.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace ionvane::review {
namespace {

using history::Day;
using history::Minute;
using history::T0;

ReviewSetup Home() {
    ReviewSetup setup;
    setup.Format = calc::PlainNumberFormat();
    setup.Home = {"IO90IR", 110.0F, 0.15F};
    return setup;
}

// Records the fixture's opening (40 minutes from T0) into a store at `path`.
void RecordOpening(const QString &path) {
    history::HistoryStore store(path, T0);
    for (const std::string &text : history::Opening()) {
        const auto line = spot::ReadCaptureLine(text);
        store.AddLine(line->Time, line->Line);
        store.EndLine();
    }
}

// Runs one statement on the store through a connection of the test's own.
void Execute(const QString &path, const QStringList &statements) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "review-test");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        for (const QString &statement : statements) {
            QSqlQuery query(db);
            ASSERT_TRUE(query.exec(statement)) << statement.toStdString();
        }
    }
    QSqlDatabase::removeDatabase("review-test");
}

void ExpectSame(const ReviewMoment &a, const ReviewMoment &b) {
    ASSERT_EQ(a.Clouds.size(), b.Clouds.size()) << a.Time;
    for (std::size_t i = 0; i < a.Clouds.size(); ++i) {
        EXPECT_EQ(a.Clouds[i].Cloud.Id, b.Clouds[i].Cloud.Id);
        EXPECT_EQ(a.Clouds[i].State, b.Clouds[i].State);
        EXPECT_EQ(a.Clouds[i].Cloud.LatDeg, b.Clouds[i].Cloud.LatDeg);
        EXPECT_EQ(a.Clouds[i].Cloud.LonDeg, b.Clouds[i].Cloud.LonDeg);
        EXPECT_EQ(a.Clouds[i].Cloud.Spots, b.Clouds[i].Cloud.Spots);
        EXPECT_EQ(a.Clouds[i].Cloud.HighestFreqMHz, b.Clouds[i].Cloud.HighestFreqMHz);
    }
    for (std::size_t i = 0; i < a.Verdict.Bands.size(); ++i) {
        EXPECT_EQ(a.Verdict.Bands[i].State, b.Verdict.Bands[i].State) << a.Time;
        EXPECT_EQ(a.Verdict.Bands[i].CloudId, b.Verdict.Bands[i].CloudId) << a.Time;
    }
    ASSERT_EQ(a.Spots.size(), b.Spots.size());
    for (std::size_t i = 0; i < a.Spots.size(); ++i) {
        EXPECT_EQ(a.Spots[i].Raw, b.Spots[i].Raw);
        EXPECT_EQ(a.Spots[i].Result.CloudId, b.Spots[i].Result.CloudId);
    }
}

// Snapshots every 7 lines against one replay from the first line, at moments before, within and
// after the opening, on a snapshot's own line and between two.
TEST(ReviewReplay, SnapshotsGiveWhatOneStraightReplayGives) {
    QTemporaryDir dir;
    const QString path = dir.filePath("history.sqlite");
    RecordOpening(path);
    const UnixSeconds now = T0 + 50 * Minute;
    ReviewEngine snapshots(Home(), path, 7);
    ReviewEngine straight(Home(), path, std::size_t{1} << 30);
    const ReviewSpan span = snapshots.Load(now, DefaultReviewHours);
    straight.Load(now, DefaultReviewHours);
    EXPECT_EQ(span.Lines, history::Opening().size());
    EXPECT_GT(snapshots.CheckpointCount(), 10U);
    EXPECT_EQ(straight.CheckpointCount(), 1U);
    bool sawClouds = false;
    for (const UnixSeconds at : {T0, T0 + 5, T0 + 12 * Minute, T0 + 30 * Minute + 5,
                                 T0 + 31 * Minute, T0 + 39 * Minute + 20, now}) {
        const ReviewMoment moment = snapshots.At(at);
        EXPECT_EQ(moment.Time, at);
        ExpectSame(moment, straight.At(at));
        sawClouds = sawClouds || !moment.Clouds.empty();
    }
    EXPECT_TRUE(sawClouds);
    // The first moment is the first line's: before it, nothing was heard.
    EXPECT_EQ(snapshots.At(T0 - Minute).Time, T0);
    EXPECT_TRUE(snapshots.At(T0).Clouds.empty());
    // The 2 m spots of minutes 30 and 31 open 2 m in the past, and nothing was raised for it.
    const ReviewMoment twoMetre = snapshots.At(T0 + 31 * Minute + 10);
    EXPECT_NE(twoMetre.Verdict.Bands[spot::BandIndex(spot::Band::M2)].State,
              tracker::VerdictState::Closed);
}

// Lines recorded after the first look are read on the next, from where the first left off.
TEST(ReviewReplay, ALaterLookReadsOnlyWhatCameSince) {
    QTemporaryDir dir;
    const QString path = dir.filePath("history.sqlite");
    RecordOpening(path);
    ReviewEngine engine(Home(), path, 7);
    const std::size_t first = engine.Load(T0 + 50 * Minute, DefaultReviewHours).Lines;
    {
        history::HistoryStore store(path, T0 + 51 * Minute);
        store.AddLine(T0 + 51 * Minute,
                      synthetic::SpotLine(T0 + 51 * Minute,
                                          synthetic::PathThrough({45.0, 10.0}, 30, 1500), 50313.0)
                          .substr(21));
    }
    const ReviewSpan later = engine.Load(T0 + 52 * Minute, DefaultReviewHours);
    EXPECT_EQ(later.Lines, first + 1);
    EXPECT_EQ(later.To, T0 + 52 * Minute);
    ReviewEngine fresh(Home(), path, 7);
    fresh.Load(T0 + 52 * Minute, DefaultReviewHours);
    ExpectSame(engine.At(T0 + 51 * Minute + 30), fresh.At(T0 + 51 * Minute + 30));
}

// A read asked to stop (the window closing) ends before its first row.
TEST(ReviewReading, AReadAskedToStopEndsAtOnce) {
    QTemporaryDir dir;
    const QString path = dir.filePath("history.sqlite");
    RecordOpening(path);
    std::stop_source stop;
    stop.request_stop();
    ReviewEngine engine(Home(), path, 7);
    EXPECT_EQ(engine.Load(T0 + 50 * Minute, DefaultReviewHours, stop.get_token()).Lines, 0U);
}

// Rows written by something else than this program: a time that is text, a line that is a blob,
// a line longer than any this program records. Each is skipped and counted; the others are read.
TEST(ReviewReading, UntrustedRowsAreSkippedAndCounted) {
    QTemporaryDir dir;
    const QString path = dir.filePath("history.sqlite");
    RecordOpening(path);
    Execute(
        path,
        {QString("INSERT INTO lines(time, line) VALUES('late', 'talk')"),
         QString("INSERT INTO lines(time, line) VALUES(%1, x'00ff')").arg(T0 + 45 * Minute),
         QString("INSERT INTO lines(time, line) VALUES(%1, '%2')")
             .arg(T0 + 46 * Minute)
             .arg(QString(4097, 'x')),
         QString("INSERT INTO lines(time, line) VALUES(%1, 'last words')").arg(T0 + 47 * Minute)});
    const StoredLines read = ReadStoredLines(path, 0, 0, T0 + Day);
    EXPECT_EQ(read.CorruptRows, 3U);
    EXPECT_EQ(read.Lines.size(), history::Opening().size() + 1);
    EXPECT_EQ(read.Lines.back().Line, "last words");
    EXPECT_EQ(read.Problem, "");
    ReviewEngine engine(Home(), path);
    EXPECT_EQ(engine.Load(T0 + 50 * Minute, DefaultReviewHours).CorruptRows, 3U);
}

TEST(ReviewReading, AMissingStoreGivesAnEmptySpanAndIsNotMade) {
    QTemporaryDir dir;
    const QString path = dir.filePath("history.sqlite");
    ReviewEngine engine(Home(), path);
    const ReviewSpan span = engine.Load(T0, DefaultReviewHours);
    EXPECT_EQ(span.Lines, 0U);
    EXPECT_NE(span.Problem.find(" does not exist yet"), std::string::npos) << span.Problem;
    EXPECT_EQ(span.From, T0);
    EXPECT_EQ(span.To, T0);
    EXPECT_TRUE(engine.At(T0 - Minute).Clouds.empty());
    EXPECT_FALSE(QFile::exists(path));
}

// A store the user may not write is read all the same, and never written.
TEST(ReviewReading, AReadOnlyStoreIsRead) {
    QTemporaryDir dir;
    const QString path = dir.filePath("history.sqlite");
    RecordOpening(path);
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner));
    const QByteArray before = history::ReadAll(path);
    ReviewEngine engine(Home(), path);
    const ReviewSpan span = engine.Load(T0 + 50 * Minute, DefaultReviewHours);
    EXPECT_EQ(span.Lines, history::Opening().size());
    EXPECT_EQ(span.Problem, "");
    EXPECT_EQ(history::ReadAll(path), before);
}

// Another program holds the store locked for writing (an sqlite3 shell in an exclusive
// transaction): the review neither waits nor fails; what it read before stays, and it says why it
// cannot read on.
TEST(ReviewReading, ALockedStoreKeepsWhatWasReadAndSaysWhy) {
    QTemporaryDir dir;
    const QString path = dir.filePath("history.sqlite");
    RecordOpening(path);
    ReviewEngine engine(Home(), path, 7);
    const ReviewSpan before = engine.Load(T0 + 50 * Minute, DefaultReviewHours);
    const ReviewMoment moment = engine.At(T0 + 31 * Minute);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "locker");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery lock(db);
        ASSERT_TRUE(lock.exec("PRAGMA locking_mode=EXCLUSIVE"));
        ASSERT_TRUE(lock.exec("BEGIN EXCLUSIVE"));
        ASSERT_TRUE(lock.exec("INSERT INTO lines(time, line) VALUES(1781434000, 'unseen')"));
        const ReviewSpan locked = engine.Load(T0 + 51 * Minute, DefaultReviewHours);
        EXPECT_NE(locked.Problem.find(" is kept locked by another program"), std::string::npos)
            << locked.Problem;
        EXPECT_EQ(locked.Lines, before.Lines);
        ExpectSame(engine.At(T0 + 31 * Minute), moment);
        ReviewEngine first(Home(), path);
        EXPECT_EQ(first.Load(T0 + 51 * Minute, DefaultReviewHours).Lines, 0U);
        lock.exec("ROLLBACK");
        lock = QSqlQuery();
        db.close();
    }
    QSqlDatabase::removeDatabase("locker");
    EXPECT_EQ(engine.Load(T0 + 52 * Minute, DefaultReviewHours).Problem, "");
}

} // namespace
} // namespace ionvane::review

// Qt's SQL drivers are plugins, found through the application.
int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
