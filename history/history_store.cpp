#include "history_store.h"

#include "calc/ascii.h"
#include "store_file.h"
#include "store_sql.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QStandardPaths>
#include <QUrl>
#include <QVariant>

#include <algorithm>

namespace ionvane::history {

using namespace sql;

namespace {

constexpr std::int64_t SecondsPerDay = 86400;
// The schema this program writes; a store with another is moved aside rather than misread.
constexpr int SchemaVersion = 1;
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
    const std::string shown = "The history store " + calc::OneLineText(path.toStdString());
    const std::string noHistory = "; it is left as it is, going on without a history.";
    QDir().mkpath(QFileInfo(path).absolutePath());
    const StoreFileKind kind = KindOf(path);
    if (kind != StoreFileKind::File && kind != StoreFileKind::Missing) {
        OpenMessage = shown + " is " + std::string(KindText(kind)) + ", not a store" + noHistory;
        return;
    }
    // A file in a folder no one may write cannot have the -wal file a writer makes beside it.
    if (kind == StoreFileKind::File && (!MayWrite(path) || !FolderWritable(path))) {
        OpenReadOnly(path, shown + " is read-only");
        return;
    }
    CreatePrivateFile(path);
    Outcome outcome = TryOpen(path, false);
    if (outcome == Outcome::Opened) {
        outcome = Prune(now, retentionDays);
    }
    switch (outcome) {
    case Outcome::Opened:
        return;
    case Outcome::Busy:
        OpenReadOnly(path, shown + " is in use by another program");
        return;
    case Outcome::ReadOnlyFile:
        OpenReadOnly(path, shown + " is read-only");
        return;
    case Outcome::Damaged:
        if (OpenByAProcess(path)) {
            OpenMessage = shown + " is damaged but open in another program" + noHistory;
            return;
        }
        MoveAside(path, now);
        return;
    case Outcome::NewerStore:
        OpenMessage = shown + " was written by a newer version of this program" + noHistory;
        return;
    case Outcome::Failed:
        OpenMessage = shown + " could not be opened (" + FailureText + ")" + noHistory;
        return;
    }
}

void HistoryStore::OpenReadOnly(const QString &path, const std::string &why) {
    // A store in a folder no one may write (a read-only file system) cannot have its -shm file
    // made beside it, which a reader of a WAL store needs; read as an immutable file it needs none.
    if (TryOpen(path, true) == Outcome::Opened ||
        (!FolderWritable(path) && TryOpen(path, true, true) == Outcome::Opened)) {
        ReadOnly = true;
        OpenMessage = why + ": its history is read, but nothing is recorded in this run.";
    } else {
        OpenMessage = why + "; it is left as it is, going on without a history.";
    }
}

void HistoryStore::MoveAside(const QString &path, std::int64_t now) {
    const QString stamp =
        QDateTime::fromSecsSinceEpoch(now, Qt::UTC).toString("yyyyMMdd'T'HHmmss'Z'");
    const QString aside = path + ".broken-" + stamp;
    const std::string shown = "The history store " + calc::OneLineText(path.toStdString());
    if (!QFile::rename(path, aside)) {
        OpenMessage =
            shown + " is damaged and could not be moved aside; going on without a history.";
        return;
    }
    for (const char *suffix : {"-wal", "-shm"}) {
        QFile::rename(path + suffix, aside + suffix);
    }
    CreatePrivateFile(path);
    if (TryOpen(path, false) == Outcome::Opened) {
        OpenMessage = shown + " could not be read; it was moved aside to " +
                      calc::OneLineText(aside.toStdString()) + " and a new one started.";
    } else {
        OpenMessage = shown + " could not be read; it was moved aside to " +
                      calc::OneLineText(aside.toStdString()) +
                      ", and no new one could be made; going on without a history.";
    }
}

// The first write of the run: a store another process keeps locked shows here, before any line
// waits for it.
HistoryStore::Outcome HistoryStore::Prune(std::int64_t now, int retentionDays) {
    const std::int64_t keepFrom = now - static_cast<std::int64_t>(retentionDays) * SecondsPerDay;
    QSqlError error;
    if (!Exec(Db, "BEGIN IMMEDIATE", nullptr, &error)) {
        return Failure(error);
    }
    for (const char *table : {"lines", "spots", "alarms"}) {
        QSqlQuery remove(Db);
        remove.prepare(QString("DELETE FROM %1 WHERE time < ?").arg(table));
        remove.addBindValue(QVariant::fromValue<qlonglong>(keepFrom));
        if (!remove.exec()) {
            error = remove.lastError();
            Exec(Db, "ROLLBACK");
            return Failure(error);
        }
    }
    if (!Exec(Db, "COMMIT", nullptr, &error)) {
        Exec(Db, "ROLLBACK");
        return Failure(error);
    }
    return Outcome::Opened;
}

HistoryStore::~HistoryStore() {
    Finish();
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

HistoryStore::Outcome HistoryStore::Failure(const QSqlError &error) {
    FailureText =
        (error.databaseText().isEmpty() ? error.text() : error.databaseText()).toStdString();
    Close();
    switch (error.nativeErrorCode().toInt() & PrimaryCodeMask) {
    case SqliteBusy:
    case SqliteLocked:
        return Outcome::Busy;
    case SqliteReadOnly:
        return Outcome::ReadOnlyFile;
    case SqliteCorrupt:
    case SqliteNotADatabase:
        return Outcome::Damaged;
    default:
        return Outcome::Failed;
    }
}

HistoryStore::Outcome HistoryStore::TryOpen(const QString &path, bool readOnly, bool immutable) {
    Close();
    Db = QSqlDatabase::addDatabase("QSQLITE", ConnectionName);
    Db.setDatabaseName(
        immutable
            ? QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded) +
                  "?immutable=1"
            : path);
    Db.setConnectOptions(QString("QSQLITE_BUSY_TIMEOUT=%1%2%3")
                             .arg(BusyTimeoutMs)
                             .arg(readOnly ? ";QSQLITE_OPEN_READONLY" : "")
                             .arg(immutable ? ";QSQLITE_OPEN_URI" : ""));
    if (!Db.open()) {
        return Failure(Db.lastError());
    }
    QSqlError error;
    QString mode;
    QString check;
    QString version;
    // A file that is no database at all fails the first statement that reads it; a damaged one
    // fails the quick check. Only these two are damage: a lock, a full disk or a missing write
    // permission fail a statement too, and such a store is sound.
    if (!readOnly && (!Exec(Db, "PRAGMA journal_mode=WAL", &mode, &error) ||
                      !Exec(Db, "PRAGMA synchronous=NORMAL", nullptr, &error))) {
        return Failure(error);
    }
    if (!Exec(Db, "PRAGMA quick_check", &check, &error) ||
        !Exec(Db, "PRAGMA user_version", &version, &error)) {
        return Failure(error);
    }
    if (check != "ok") {
        FailureText = check.toStdString();
        Close();
        return Outcome::Damaged;
    }
    if (version.toInt() != 0 && version.toInt() != SchemaVersion) {
        Close();
        return Outcome::NewerStore;
    }
    if (!readOnly && mode.compare("wal", Qt::CaseInsensitive) != 0) {
        FailureText = "no write-ahead log: " + mode.toStdString();
        Close();
        return Outcome::Failed;
    }
    if (!readOnly) {
        for (const char *statement : Schema) {
            if (!Exec(Db, statement, nullptr, &error)) {
                return Failure(error);
            }
        }
        if (version.toInt() != SchemaVersion &&
            !Exec(Db, QString("PRAGMA user_version=%1").arg(SchemaVersion), nullptr, &error)) {
            return Failure(error);
        }
        if (!Prepare()) {
            FailureText = InsertLine.lastError().text().toStdString();
            Close();
            return Outcome::Failed;
        }
    }
    Open = true;
    return Outcome::Opened;
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

std::vector<StoredLine> HistoryStore::LinesSince(std::int64_t since, std::size_t maxLines,
                                                 std::size_t maxBytes) {
    std::vector<StoredLine> lines;
    if (!Open) {
        return lines;
    }
    Commit();
    QSqlQuery query(Db);
    query.setForwardOnly(true);
    // Newest first, so that the bound keeps the newest; turned round below.
    query.prepare("SELECT time, line FROM lines WHERE time >= ? ORDER BY id DESC LIMIT ?");
    query.addBindValue(QVariant::fromValue<qlonglong>(since));
    query.addBindValue(QVariant::fromValue<qlonglong>(static_cast<qlonglong>(maxLines)));
    std::size_t bytes = 0;
    if (query.exec()) {
        while (query.next()) {
            std::string line = query.value(1).toString().toStdString();
            bytes += line.size();
            if (bytes > maxBytes) {
                break;
            }
            lines.push_back({query.value(0).toLongLong(), std::move(line)});
        }
    }
    std::reverse(lines.begin(), lines.end());
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
                            query.value(1).toString().toStdString(),
                            query.value(2).toString().toStdString(),
                            query.value(3).toDouble(),
                            query.value(4).toString().toStdString(),
                            query.value(5).toString().toStdString(),
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
