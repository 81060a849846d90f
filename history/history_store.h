// The history store: every received line with its time, the spots calculated from them and the
// alarms raised, in an SQLite database (WAL mode) in the user's data directory. Nothing else in
// the program opens it. A store SQLite finds damaged is moved aside and a new one started; one that
// is only busy, read-only, on a full disk or not a file at all is left as it is. The history may
// be missing for a run, the session never fails because of it.
#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ionvane::history {

/// Days of history kept; older rows are deleted when the store opens. A week of openings to look
/// back on; a busy node gives about 100,000 lines a day, some 100 MB a week.
constexpr int DefaultRetentionDays = 7;
/// The stretch replayed into the tracker at start, seconds: the tracker forgets a cloud 60 minutes
/// after its last spot, so the last hour holds everything it can still know.
constexpr std::int64_t RestoreWindowS = 60 * 60;

/// How long the store waits for another process holding its lock, ms: long enough for another
/// program's commit, short enough not to stall a live session noticeably. A store still locked
/// after it is taken as busy, never as damaged.
constexpr int BusyTimeoutMs = 2000;

/// A received line and its time (seconds since 1970, UTC).
struct StoredLine {
    std::int64_t Time = 0;
    std::string Line;
};

/// A calculated spot as stored.
struct StoredSpot {
    std::int64_t Time = 0;
    std::string FromLoc;
    std::string ToLoc;
    double FreqMHz = 0;
    std::string Band;           ///< "6m", or "" off the followed bands
    std::string Classification; ///< "es", "multi-hop" ...
    std::optional<int> Cloud;
};

class HistoryStore {
  public:
    /// Opens or creates (0600) the store at `path` at the time `now`, deletes what is older than
    /// the retention, and commits after every `linesPerCommit` lines (1 for a live session, so a
    /// crash loses nothing). Message() tells what went otherwise:
    /// - a store another process keeps locked past BusyTimeoutMs, or one the user may not write,
    ///   is opened read-only: its history is read, nothing is recorded (IsWritable() false);
    /// - a store SQLite finds damaged ("file is not a database", a failed integrity check) is
    ///   renamed to PATH.broken-YYYYMMDDTHHMMSSZ (with its -wal and -shm files) and a new one
    ///   started, unless a process has it open;
    /// - anything else (a directory, a FIFO, a device, a full disk, a newer program's store) is
    ///   left untouched and IsOpen() is false.
    HistoryStore(const QString &path, std::int64_t now, int retentionDays = DefaultRetentionDays,
                 int linesPerCommit = 1);
    ~HistoryStore();
    HistoryStore(const HistoryStore &) = delete;
    HistoryStore &operator=(const HistoryStore &) = delete;

    /// The store in the per-user data directory (created when missing).
    static QString DefaultPath();

    [[nodiscard]] bool IsOpen() const { return Open; }
    /// Whether lines are recorded; false for a store opened read-only.
    [[nodiscard]] bool IsWritable() const { return Open && !ReadOnly; }
    /// What happened on opening that the user should know ("" when all went well).
    [[nodiscard]] const std::string &Message() const { return OpenMessage; }

    /// Records a received line; false when the store failed (the message then says why) or is
    /// read-only (nothing more is said).
    bool AddLine(std::int64_t time, std::string_view line);
    bool AddSpot(const StoredSpot &spot);
    bool AddAlarm(std::int64_t time, std::string_view band, int cloud, std::string_view text);
    /// Commits what is held back by linesPerCommit.
    void Commit();

    /// The lines received at or after `since`, oldest first.
    [[nodiscard]] std::vector<StoredLine> LinesSince(std::int64_t since);
    [[nodiscard]] std::vector<StoredSpot> SpotsSince(std::int64_t since);
    [[nodiscard]] long long AlarmCount();

  private:
    enum class Outcome { Opened, Busy, ReadOnlyFile, Damaged, NewerStore, Failed };
    Outcome TryOpen(const QString &path, bool readOnly);
    Outcome Failure(const QSqlError &error);
    void OpenReadOnly(const QString &path, const std::string &why);
    void MoveAside(const QString &path, std::int64_t now);
    Outcome Prune(std::int64_t now, int retentionDays);
    bool Prepare();
    void Close();
    bool Step(QSqlQuery &query);

    QString ConnectionName;
    QSqlDatabase Db;
    QSqlQuery InsertLine;
    QSqlQuery InsertSpot;
    QSqlQuery InsertAlarm;
    bool Open = false;
    bool ReadOnly = false;
    std::string FailureText; ///< SQLite's words for the last failure of TryOpen
    bool InTransaction = false;
    int LinesPerCommit = 1;
    int Uncommitted = 0;
    std::string OpenMessage;
};

} // namespace ionvane::history
