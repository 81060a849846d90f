#include "stored_lines.h"

#include "calc/ascii.h"
#include "history/store_file.h"
#include "history/store_sql.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QVariant>

#include <algorithm>

namespace ionvane::review {

namespace {

using namespace history::sql;

// SQLite's result code for a file it cannot open (sqlite3.h): a WAL store in a folder no one may
// write, whose -shm file cannot be made.
constexpr int SqliteCantOpen = 14;

// Each read has a connection of its own, named after what it reads into and closed before it
// returns.
QString ConnectionName(const StoredLines &read) {
    return QString("ionvane-review-%1").arg(reinterpret_cast<quintptr>(&read));
}

std::string Shown(const QString &path) {
    return "The history store " + calc::OneLineText(path.toStdString());
}

std::string Why(const QString &path, const QSqlError &error) {
    const QString words = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    switch (error.nativeErrorCode().toInt() & PrimaryCodeMask) {
    case SqliteBusy:
    case SqliteLocked:
        return Shown(path) + " is kept locked by another program: what it holds beyond this " +
               "cannot be shown until it is free.";
    case SqliteCorrupt:
    case SqliteNotADatabase:
        return Shown(path) + " is damaged (" + words.toStdString() +
               "): only what comes before the " + "damage is shown.";
    default:
        return Shown(path) + " could not be read (" + words.toStdString() + ").";
    }
}

struct Reading {
    QSqlDatabase Db;
    QSqlError Error;
};

// Opens the store read-only, never waiting for a lock; as an immutable file when no -shm file can
// be made beside it (a read-only file system).
bool Open(Reading &reading, const QString &path, bool immutable) {
    reading.Db.setDatabaseName(
        immutable
            ? QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded) +
                  "?immutable=1"
            : path);
    reading.Db.setConnectOptions(QString("QSQLITE_BUSY_TIMEOUT=0;QSQLITE_OPEN_READONLY%1")
                                     .arg(immutable ? ";QSQLITE_OPEN_URI" : ""));
    if (!reading.Db.open()) {
        reading.Error = reading.Db.lastError();
        return false;
    }
    return true;
}

bool Select(QSqlQuery &query, std::int64_t afterId, std::int64_t since, std::int64_t until,
            std::size_t maxLines) {
    query.setForwardOnly(true);
    // Newest first, so that the bound keeps the newest; turned round by the caller. A time that is
    // no integer fails the range (SQLite orders text after every number) and is counted apart.
    // Preparing reads the schema: a store kept locked fails here already.
    if (!query.prepare("SELECT id, time, typeof(line), line FROM lines WHERE id > ? AND "
                       "time BETWEEN ? AND ? AND typeof(time) = 'integer' ORDER BY id DESC "
                       "LIMIT ?")) {
        return false;
    }
    query.addBindValue(QVariant::fromValue<qlonglong>(afterId));
    query.addBindValue(QVariant::fromValue<qlonglong>(since));
    query.addBindValue(QVariant::fromValue<qlonglong>(until));
    query.addBindValue(QVariant::fromValue<qlonglong>(static_cast<qlonglong>(maxLines)));
    return query.exec();
}

// Rows among the lines read whose time is no integer: by their row numbers, which the primary key
// finds without a scan of the table.
std::size_t UntimedRows(QSqlDatabase &db, std::int64_t firstId, std::int64_t lastId) {
    QSqlQuery query(db);
    query.prepare("SELECT count(*) FROM lines WHERE id BETWEEN ? AND ? AND "
                  "typeof(time) <> 'integer'");
    query.addBindValue(QVariant::fromValue<qlonglong>(firstId));
    query.addBindValue(QVariant::fromValue<qlonglong>(lastId));
    return query.exec() && query.next() ? static_cast<std::size_t>(query.value(0).toLongLong()) : 0;
}

void ReadRows(QSqlQuery &query, StoredLines &read, std::size_t maxBytes,
              const std::stop_token &stop) {
    std::size_t bytes = 0;
    while (!stop.stop_requested() && query.next()) {
        std::string line = query.value(3).toString().toStdString();
        if (query.value(2).toString() != "text" || line.size() > MaxRowLineBytes) {
            ++read.CorruptRows;
            continue;
        }
        bytes += line.size();
        if (bytes > maxBytes) {
            break;
        }
        read.Lines.push_back(
            {query.value(0).toLongLong(), query.value(1).toLongLong(), std::move(line)});
    }
}

struct Bounds {
    std::int64_t AfterId = 0;
    std::int64_t Since = 0;
    std::int64_t Until = 0;
    std::size_t MaxLines = 0;
    std::size_t MaxBytes = 0;
};

void ReadOpen(Reading &reading, const QString &path, const Bounds &bounds,
              const std::stop_token &stop, StoredLines &read) {
    QSqlQuery query(reading.Db);
    if (!Select(query, bounds.AfterId, bounds.Since, bounds.Until, bounds.MaxLines)) {
        read.Problem = Why(path, query.lastError());
        return;
    }
    ReadRows(query, read, bounds.MaxBytes, stop);
    // A page that cannot be read ends the rows early: what came before it is kept.
    if (query.lastError().isValid()) {
        read.Problem = Why(path, query.lastError());
    } else if (read.Lines.size() + read.CorruptRows >= bounds.MaxLines) {
        read.Problem = "Only the newest " + std::to_string(bounds.MaxLines) +
                       " lines of the history are shown: a review holds no more.";
    }
    std::reverse(read.Lines.begin(), read.Lines.end());
    if (!read.Lines.empty() && !stop.stop_requested()) {
        read.CorruptRows += UntimedRows(reading.Db, read.Lines.front().Id, read.Lines.back().Id);
    }
}

} // namespace

StoredLines ReadStoredLines(const QString &path, std::int64_t afterId, std::int64_t since,
                            std::int64_t until, std::stop_token stop, std::size_t maxLines,
                            std::size_t maxBytes) {
    StoredLines read;
    const history::StoreFileKind kind = history::KindOf(path);
    if (kind == history::StoreFileKind::Missing) {
        read.Problem = Shown(path) + " does not exist yet: there is no history to look back on.";
        return read;
    }
    if (kind != history::StoreFileKind::File) {
        read.Problem =
            Shown(path) + " is " + std::string(history::KindText(kind)) + ", not a store.";
        return read;
    }
    const QString name = ConnectionName(read);
    {
        Reading reading{QSqlDatabase::addDatabase("QSQLITE", name), {}};
        bool opened = Open(reading, path, false);
        QSqlQuery probe(reading.Db);
        if (opened && !probe.exec("SELECT 1 FROM lines LIMIT 1") &&
            (probe.lastError().nativeErrorCode().toInt() & PrimaryCodeMask) == SqliteCantOpen &&
            !history::FolderWritable(path)) {
            probe = QSqlQuery();
            reading.Db.close();
            opened = Open(reading, path, true);
        }
        if (!opened) {
            read.Problem = Why(path, reading.Error);
        } else {
            ReadOpen(reading, path, {afterId, since, until, maxLines, maxBytes}, stop, read);
        }
        probe = QSqlQuery();
        reading.Db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return read;
}

} // namespace ionvane::review
