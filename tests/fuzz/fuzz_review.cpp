// The review's reading of the history store on rows of any kind another program may have written
// into it: each input line "TIME<TAB>TEXT" a row, a time that is no number stored as text, a text
// that is no UTF-8 stored as a blob. The rows read keep their bounds, and the replay of them and
// a few positions of the slider end without a fault.
#include "history/history_store.h"
#include "review/review_engine.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

#include <cstdint>
#include <cstdlib>

namespace {

constexpr std::int64_t Until = 1781481600; // 2026-06-15T00:00:00Z
// What a review of the longest span reads: its hours and the hour before them, which the tracker
// replays to hold the clouds it would have held live.
constexpr std::int64_t Since =
    Until - std::int64_t{ionvane::review::MaxReviewHours} * 3600 - ionvane::history::RestoreWindowS;

void Fill(const QString &path, const QByteArray &content) {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "fuzz");
    db.setDatabaseName(path);
    db.open();
    QSqlQuery(db).exec("CREATE TABLE lines(id INTEGER PRIMARY KEY, time INTEGER NOT NULL, "
                       "line TEXT NOT NULL)");
    QSqlQuery insert(db);
    insert.prepare("INSERT INTO lines(time, line) VALUES(?, ?)");
    for (const QByteArray &row : content.split('\n')) {
        const qsizetype tab = row.indexOf('\t');
        const QByteArray time = row.left(tab < 0 ? 0 : tab);
        const QByteArray text = row.mid(tab + 1);
        bool number = false;
        const qlonglong seconds = time.toLongLong(&number);
        insert.addBindValue(number ? QVariant(seconds) : QVariant(QString::fromLatin1(time)));
        const QString utf8 = QString::fromUtf8(text);
        insert.addBindValue(utf8.toUtf8() == text ? QVariant(utf8) : QVariant(text));
        insert.exec();
    }
    db.close();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
    // Qt's SQL drivers are plugins, found through the application; it lives as long as the run.
    new QCoreApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    using namespace ionvane;
    const QString path = QDir::temp().filePath(
        QString("ionvane-fuzz-review-%1.sqlite").arg(QCoreApplication::applicationPid()));
    QFile::remove(path);
    Fill(path, QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    QSqlDatabase::removeDatabase("fuzz");
    const review::StoredLines read = review::ReadStoredLines(path, 0, Since, Until);
    for (const review::ReviewLine &line : read.Lines) {
        if (line.Time < Since || line.Time > Until || line.Line.size() > review::MaxRowLineBytes) {
            std::abort();
        }
    }
    review::ReviewSetup setup;
    setup.Format = calc::PlainNumberFormat();
    setup.Home = {"IO90IR", 110.0F, 0.15F};
    review::ReviewEngine engine(setup, path, 3);
    const review::ReviewSpan span = engine.Load(Until, review::MaxReviewHours);
    if (span.Lines != read.Lines.size() || span.From > span.To) {
        std::abort();
    }
    for (const std::int64_t at : {span.From, (span.From + span.To) / 2, span.To}) {
        if (engine.At(at).Time != at) {
            std::abort();
        }
    }
    QFile::remove(path);
    return 0;
}
