// The history store's writes: the rows of each line wait in memory until they are written in
// one transaction, and keep waiting while another program holds the store's lock.
#include "history_store.h"

#include "store_sql.h"

namespace ionvane::history {

using namespace sql;

bool HistoryStore::AddLine(std::int64_t time, std::string_view line) {
    if (!IsWritable()) {
        return false;
    }
    // The line before this one is complete, its spot and alarms with it; while the store is
    // locked the tries are EndLine's, one a line.
    const bool written =
        WaitingLineCount >= static_cast<std::size_t>(LinesPerCommit) && !Busy ? Commit() : true;
    LineRefused =
        WaitingLineCount >= MaxWaitingLines || WaitingBytes + line.size() > MaxWaitingBytes;
    if (LineRefused) {
        ++Lost;
        WriteError = "the store stayed locked by another program";
        OpenMessage = "Writing the history failed: the store stayed locked by another program "
                      "and " +
                      std::to_string(MaxWaitingLines) + " lines or " +
                      std::to_string(MaxWaitingBytes >> 20) +
                      " MiB wait already; lines are not recorded until it is free.";
        return false;
    }
    ++WaitingLineCount;
    return Queue(StoredLine{time, std::string(line)}, line.size()) && written;
}

bool HistoryStore::AddSpot(const StoredSpot &spot) {
    return IsWritable() && !LineRefused && Queue(spot, 0);
}

bool HistoryStore::AddAlarm(std::int64_t time, std::string_view band, int cloud,
                            std::string_view text) {
    return IsWritable() && !LineRefused &&
           Queue(StoredAlarm{time, std::string(band), cloud, std::string(text)}, text.size());
}

bool HistoryStore::Queue(std::variant<StoredLine, StoredSpot, StoredAlarm> row, std::size_t bytes) {
    Waiting.push_back(std::move(row));
    WaitingBytes += bytes;
    return true;
}

bool HistoryStore::EndLine() {
    if (WaitingLineCount >= static_cast<std::size_t>(LinesPerCommit) || Busy) {
        return Commit();
    }
    return true;
}

bool HistoryStore::Commit() {
    return WriteWaiting(WriteTryMs);
}

bool HistoryStore::Finish() {
    const bool written = WriteWaiting(BusyTimeoutMs);
    if (Busy) {
        Lost += static_cast<long long>(WaitingLineCount);
        WriteError = "the store stayed locked by another program";
        OpenMessage = "Writing the history failed: the store stayed locked by another program; " +
                      std::to_string(WaitingLineCount) + " lines were not recorded.";
        DropWaiting();
        Busy = false;
        return false;
    }
    return written;
}

bool HistoryStore::Insert(const std::variant<StoredLine, StoredSpot, StoredAlarm> &row) {
    if (const auto *line = std::get_if<StoredLine>(&row)) {
        InsertLine.bindValue(0, QVariant::fromValue<qlonglong>(line->Time));
        InsertLine.bindValue(1, Text(line->Line));
        return InsertLine.exec();
    }
    if (const auto *spot = std::get_if<StoredSpot>(&row)) {
        InsertSpot.bindValue(0, QVariant::fromValue<qlonglong>(spot->Time));
        InsertSpot.bindValue(1, Text(spot->FromLoc));
        InsertSpot.bindValue(2, Text(spot->ToLoc));
        InsertSpot.bindValue(3, spot->FreqMHz);
        InsertSpot.bindValue(4, Text(spot->Band));
        InsertSpot.bindValue(5, Text(spot->Classification));
        InsertSpot.bindValue(6, spot->Cloud ? QVariant(*spot->Cloud) : QVariant());
        return InsertSpot.exec();
    }
    const auto &alarm = std::get<StoredAlarm>(row);
    InsertAlarm.bindValue(0, QVariant::fromValue<qlonglong>(alarm.Time));
    InsertAlarm.bindValue(1, Text(alarm.Band));
    InsertAlarm.bindValue(2, alarm.Cloud);
    InsertAlarm.bindValue(3, Text(alarm.Text));
    return InsertAlarm.exec();
}

// All rows waiting in one transaction, or none: a lock another program holds leaves them
// waiting, any other failure (a full disk, an I/O error) loses them and is said.
bool HistoryStore::WriteWaiting(int waitMs) {
    if (!IsWritable() || Waiting.empty()) {
        return true;
    }
    QSqlError error;
    if (!Exec(Db, QString("PRAGMA busy_timeout=%1").arg(waitMs), nullptr, &error) ||
        !Exec(Db, "BEGIN IMMEDIATE", nullptr, &error)) {
        return Stalled(error);
    }
    for (const auto &row : Waiting) {
        if (!Insert(row)) {
            const QSqlQuery &failed = std::holds_alternative<StoredLine>(row)   ? InsertLine
                                      : std::holds_alternative<StoredSpot>(row) ? InsertSpot
                                                                                : InsertAlarm;
            error = failed.lastError();
            Exec(Db, "ROLLBACK");
            return Stalled(error);
        }
    }
    if (!Exec(Db, "COMMIT", nullptr, &error)) {
        Exec(Db, "ROLLBACK");
        return Stalled(error);
    }
    DropWaiting();
    Busy = false;
    return true;
}

bool HistoryStore::Stalled(const QSqlError &error) {
    const int code = error.nativeErrorCode().toInt() & PrimaryCodeMask;
    if (code == SqliteBusy || code == SqliteLocked) {
        Busy = true;
        return true;
    }
    Lost += static_cast<long long>(WaitingLineCount);
    WriteError =
        (error.databaseText().isEmpty() ? error.text() : error.databaseText()).toStdString();
    OpenMessage = "Writing the history failed: " + WriteError + "; " +
                  std::to_string(WaitingLineCount) + " lines were not recorded.";
    DropWaiting();
    Busy = false;
    return false;
}

void HistoryStore::DropWaiting() {
    Waiting.clear();
    WaitingLineCount = 0;
    WaitingBytes = 0;
}

} // namespace ionvane::history
