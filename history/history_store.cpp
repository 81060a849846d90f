#include "history_store.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QStandardPaths>
#include <QVariant>

namespace ionvane::history {

namespace {

constexpr std::int64_t SecondsPerDay = 86400;
// The schema this program writes; a store with another is moved aside rather than misread.
constexpr int SchemaVersion = 1;
// How long a write waits for another process holding the store, ms: long enough for a commit of
// the other, short enough not to stall a live session noticeably.
constexpr int BusyTimeoutMs = 2000;

const char *const Schema[] = {
    "CREATE TABLE IF NOT EXISTS lines(id INTEGER PRIMARY KEY, time INTEGER NOT NULL, "
    "line TEXT NOT NULL)",
    "CREATE INDEX IF NOT EXISTS lines_time ON lines(time)",
    "CREATE TABLE IF NOT EXISTS spots(id INTEGER PRIMARY KEY, time INTEGER NOT NULL, "
    "from_loc TEXT NOT NULL, to_loc TEXT NOT NULL, freq_mhz REAL NOT NULL, band TEXT NOT NULL, "
    "class TEXT NOT NULL, cloud INTEGER)",
    "CREATE INDEX IF NOT EXISTS spots_time ON spots(time)",
    "CREATE TABLE IF NOT EXISTS alarms(id INTEGER PRIMARY KEY, time INTEGER NOT NULL, "
    "band TEXT NOT NULL, cloud INTEGER NOT NULL, text TEXT NOT NULL)",
    "CREATE INDEX IF NOT EXISTS alarms_time ON alarms(time)",
};

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string Utf8(const QString &text) {
    return text.toStdString();
}

// Runs one statement; false on any error.
bool Exec(QSqlDatabase &db, const QString &statement, QString *firstValue = nullptr) {
    QSqlQuery query(db);
    if (!query.exec(statement)) {
        return false;
    }
    if (firstValue != nullptr) {
        *firstValue = query.next() ? query.value(0).toString() : QString();
    }
    return true;
}

} // namespace

QString HistoryStore::DefaultPath() {
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(dir);
    return dir + "/history.sqlite";
}

HistoryStore::HistoryStore(const QString &path, std::int64_t now, int retentionDays,
                           int linesPerCommit)
    : ConnectionName(QString("ionvane-history-%1").arg(reinterpret_cast<quintptr>(this))),
      LinesPerCommit(std::max(1, linesPerCommit)) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!TryOpen(path)) {
        const QString stamp =
            QDateTime::fromSecsSinceEpoch(now, Qt::UTC).toString("yyyyMMdd'T'HHmmss'Z'");
        const QString aside = path + ".broken-" + stamp;
        const bool moved = !QFileInfo::exists(path) || QFile::rename(path, aside);
        for (const char *suffix : {"-wal", "-shm"}) {
            QFile::rename(path + suffix, aside + suffix);
        }
        if (moved && TryOpen(path)) {
            OpenMessage = "The history store " + Utf8(path) +
                          " could not be read; it was moved aside to " + Utf8(aside) +
                          " and a new one started.";
        } else {
            OpenMessage = "The history store " + Utf8(path) +
                          " could not be opened or made; going on without a history.";
            return;
        }
    }
    const std::int64_t keepFrom = now - static_cast<std::int64_t>(retentionDays) * SecondsPerDay;
    for (const char *table : {"lines", "spots", "alarms"}) {
        QSqlQuery remove(Db);
        remove.prepare(QString("DELETE FROM %1 WHERE time < ?").arg(table));
        remove.addBindValue(QVariant::fromValue<qlonglong>(keepFrom));
        remove.exec();
    }
}

HistoryStore::~HistoryStore() {
    Commit();
    Close();
}

void HistoryStore::Close() {
    InsertLine = QSqlQuery();
    InsertSpot = QSqlQuery();
    InsertAlarm = QSqlQuery();
    if (Db.isValid()) {
        Db.close();
    }
    Db = QSqlDatabase();
    QSqlDatabase::removeDatabase(ConnectionName);
    Open = false;
}

bool HistoryStore::TryOpen(const QString &path) {
    Close();
    Db = QSqlDatabase::addDatabase("QSQLITE", ConnectionName);
    Db.setDatabaseName(path);
    Db.setConnectOptions(QString("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
    QString mode;
    QString check;
    QString version;
    // A file that is no database at all fails the first statement that reads it; a damaged one
    // fails the quick check.
    const bool ok = Db.open() && Exec(Db, "PRAGMA journal_mode=WAL", &mode) &&
                    mode.compare("wal", Qt::CaseInsensitive) == 0 &&
                    Exec(Db, "PRAGMA synchronous=NORMAL") &&
                    Exec(Db, "PRAGMA quick_check", &check) && check == "ok" &&
                    Exec(Db, "PRAGMA user_version", &version) &&
                    (version.toInt() == 0 || version.toInt() == SchemaVersion);
    if (!ok) {
        Close();
        return false;
    }
    for (const char *statement : Schema) {
        if (!Exec(Db, statement)) {
            Close();
            return false;
        }
    }
    if (!Exec(Db, QString("PRAGMA user_version=%1").arg(SchemaVersion)) || !Prepare()) {
        Close();
        return false;
    }
    Open = true;
    return true;
}

bool HistoryStore::Prepare() {
    InsertLine = QSqlQuery(Db);
    InsertSpot = QSqlQuery(Db);
    InsertAlarm = QSqlQuery(Db);
    return InsertLine.prepare("INSERT INTO lines(time, line) VALUES(?, ?)") &&
           InsertSpot.prepare("INSERT INTO spots(time, from_loc, to_loc, freq_mhz, band, class, "
                              "cloud) VALUES(?, ?, ?, ?, ?, ?, ?)") &&
           InsertAlarm.prepare("INSERT INTO alarms(time, band, cloud, text) VALUES(?, ?, ?, ?)");
}

bool HistoryStore::Step(QSqlQuery &query) {
    if (!InTransaction && LinesPerCommit > 1) {
        InTransaction = Db.transaction();
    }
    if (!query.exec()) {
        OpenMessage = "Writing the history failed: " + Utf8(query.lastError().text());
        return false;
    }
    return true;
}

bool HistoryStore::AddLine(std::int64_t time, std::string_view line) {
    if (!Open) {
        return false;
    }
    InsertLine.bindValue(0, QVariant::fromValue<qlonglong>(time));
    InsertLine.bindValue(1, Text(line));
    const bool ok = Step(InsertLine);
    if (++Uncommitted >= LinesPerCommit) {
        Commit();
    }
    return ok;
}

bool HistoryStore::AddSpot(const StoredSpot &spot) {
    if (!Open) {
        return false;
    }
    InsertSpot.bindValue(0, QVariant::fromValue<qlonglong>(spot.Time));
    InsertSpot.bindValue(1, Text(spot.FromLoc));
    InsertSpot.bindValue(2, Text(spot.ToLoc));
    InsertSpot.bindValue(3, spot.FreqMHz);
    InsertSpot.bindValue(4, Text(spot.Band));
    InsertSpot.bindValue(5, Text(spot.Classification));
    InsertSpot.bindValue(6, spot.Cloud ? QVariant(*spot.Cloud) : QVariant());
    return Step(InsertSpot);
}

bool HistoryStore::AddAlarm(std::int64_t time, std::string_view band, int cloud,
                            std::string_view text) {
    if (!Open) {
        return false;
    }
    InsertAlarm.bindValue(0, QVariant::fromValue<qlonglong>(time));
    InsertAlarm.bindValue(1, Text(band));
    InsertAlarm.bindValue(2, cloud);
    InsertAlarm.bindValue(3, Text(text));
    return Step(InsertAlarm);
}

void HistoryStore::Commit() {
    if (InTransaction) {
        Db.commit();
        InTransaction = false;
    }
    Uncommitted = 0;
}

std::vector<StoredLine> HistoryStore::LinesSince(std::int64_t since) {
    std::vector<StoredLine> lines;
    if (!Open) {
        return lines;
    }
    Commit();
    QSqlQuery query(Db);
    query.setForwardOnly(true);
    query.prepare("SELECT time, line FROM lines WHERE time >= ? ORDER BY id");
    query.addBindValue(QVariant::fromValue<qlonglong>(since));
    if (query.exec()) {
        while (query.next()) {
            lines.push_back({query.value(0).toLongLong(), Utf8(query.value(1).toString())});
        }
    }
    return lines;
}

std::vector<StoredSpot> HistoryStore::SpotsSince(std::int64_t since) {
    std::vector<StoredSpot> spots;
    if (!Open) {
        return spots;
    }
    Commit();
    QSqlQuery query(Db);
    query.setForwardOnly(true);
    query.prepare("SELECT time, from_loc, to_loc, freq_mhz, band, class, cloud FROM spots "
                  "WHERE time >= ? ORDER BY id");
    query.addBindValue(QVariant::fromValue<qlonglong>(since));
    if (query.exec()) {
        while (query.next()) {
            StoredSpot spot{query.value(0).toLongLong(),
                            Utf8(query.value(1).toString()),
                            Utf8(query.value(2).toString()),
                            query.value(3).toDouble(),
                            Utf8(query.value(4).toString()),
                            Utf8(query.value(5).toString()),
                            std::nullopt};
            if (!query.value(6).isNull()) {
                spot.Cloud = query.value(6).toInt();
            }
            spots.push_back(std::move(spot));
        }
    }
    return spots;
}

long long HistoryStore::AlarmCount() {
    QString count;
    Commit();
    return Open && Exec(Db, "SELECT count(*) FROM alarms", &count) ? count.toLongLong() : 0;
}

} // namespace ionvane::history
