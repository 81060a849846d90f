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

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace ionvane::history {

/// Days of history kept; older rows are deleted when the store opens. A week of openings to look
/// back on; a busy node gives about 100,000 lines a day, some 100 MB a week.
constexpr int DefaultRetentionDays = 7;
/// The stretch replayed into the tracker at start, seconds: the tracker forgets a cloud 60 minutes
/// after its last spot, so the last hour holds everything it can still know.
constexpr std::int64_t RestoreWindowS = 60 * 60;

/// How long the store waits for another process holding its lock when it opens and when it closes,
/// ms: long enough for another program's commit, short enough not to hold up a start noticeably.
/// A store still locked after it is taken as busy, never as damaged.
constexpr int BusyTimeoutMs = 2000;
/// How long a write waits for the lock while the session runs, ms: not at all. A store another
/// program keeps locked (an sqlite3 shell in BEGIN EXCLUSIVE) once held every line for the whole
/// BusyTimeoutMs, 14 lines a second falling to 1; the rows wait in memory instead and are
/// written, in order, with their own times, on the next line or ageing tick that finds it free.
constexpr int WriteTryMs = 0;
/// Most lines kept waiting for a locked store: about two hours of a busy node's 14 lines a
/// second. Lines past it are not recorded, and that is reported as a failed write.
constexpr std::size_t MaxWaitingLines = 100'000;
/// Most bytes of text kept waiting for a locked store, whatever the lines hold (a cluster line is
/// at most 4 KiB, a WSJT-X datagram as long).
constexpr std::size_t MaxWaitingBytes = std::size_t{64} << 20;
/// The most lines and bytes of text the restore of the last hour reads, the newest kept: a busy
/// node gives some 4,000 lines an hour, a flood of datagrams could leave millions in the store.
constexpr std::size_t RestoreMaxLines = 50'000;
constexpr std::size_t RestoreMaxBytes = std::size_t{32} << 20;

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

/// A raised alarm as stored.
struct StoredAlarm {
    std::int64_t Time = 0;
    std::string Band;
    int Cloud = 0;
    std::string Text;
};

class HistoryStore {
  public:
    /// Opens or creates (0600) the store at `path` at the time `now`, deletes what is older than
    /// the retention, and commits after every `linesPerCommit` lines (1 for a live session, so a
    /// crash loses nothing). Message() tells what went otherwise:
    /// - a store another process keeps locked past BusyTimeoutMs, or one the user may not write
    ///   (a read-only file, or one in a folder no one may write: a read-only file system), is
    ///   opened read-only: its history is read, nothing is recorded (IsWritable() false);
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

    /// Takes a received line to be recorded, written by EndLine or Commit; false when it is not
    /// recorded: the store is read-only (nothing more is said), too many lines wait for a locked
    /// store, or the write failed (the message says why).
    bool AddLine(std::int64_t time, std::string_view line);
    /// Take a spot or an alarm of the line last added, written with it.
    bool AddSpot(const StoredSpot &spot);
    bool AddAlarm(std::int64_t time, std::string_view band, int cloud, std::string_view text);
    /// Says the rows of the line last added are all in: they are written when linesPerCommit
    /// lines wait, or rows wait for a store that was locked. False as for Commit.
    bool EndLine();
    /// Writes the rows waiting, in one transaction; never waits for a locked store (they then
    /// keep waiting, IsBusy() true). False when a write or the commit failed: those rows are lost,
    /// counted in LostLines(), and the message says why.
    bool Commit();
    /// As Commit, waiting up to BusyTimeoutMs for a locked store; what still waits then is lost.
    bool Finish();

    /// Whether rows wait for the store another program keeps locked.
    [[nodiscard]] bool IsBusy() const { return Busy; }
    /// Lines waiting to be written.
    [[nodiscard]] std::size_t WaitingLines() const { return WaitingLineCount; }
    /// Lines that could not be recorded since the store opened.
    [[nodiscard]] long long LostLines() const { return Lost; }
    /// Why the last write failed, in SQLite's words ("disk I/O error"); "" when none did.
    [[nodiscard]] const std::string &LastWriteError() const { return WriteError; }

    /// The lines received at or after `since`, oldest first; at most `maxLines` lines and
    /// `maxBytes` bytes of text, the newest kept.
    [[nodiscard]] std::vector<StoredLine> LinesSince(std::int64_t since,
                                                     std::size_t maxLines = RestoreMaxLines,
                                                     std::size_t maxBytes = RestoreMaxBytes);
    [[nodiscard]] std::vector<StoredSpot> SpotsSince(std::int64_t since);
    [[nodiscard]] long long AlarmCount();

  private:
    enum class Outcome { Opened, Busy, ReadOnlyFile, Damaged, NewerStore, Failed };
    Outcome TryOpen(const QString &path, bool readOnly, bool immutable = false);
    Outcome Failure(const QSqlError &error);
    void OpenReadOnly(const QString &path, const std::string &why);
    void MoveAside(const QString &path, std::int64_t now);
    Outcome Prune(std::int64_t now, int retentionDays);
    bool Prepare();
    void Close();
    bool Queue(std::variant<StoredLine, StoredSpot, StoredAlarm> row, std::size_t bytes);
    bool Insert(const std::variant<StoredLine, StoredSpot, StoredAlarm> &row);
    bool WriteWaiting(int waitMs);
    bool Stalled(const QSqlError &error);
    void DropWaiting();

    QString ConnectionName;
    QSqlDatabase Db;
    QSqlQuery InsertLine;
    QSqlQuery InsertSpot;
    QSqlQuery InsertAlarm;
    bool Open = false;
    bool ReadOnly = false;
    std::string FailureText; ///< SQLite's words for the last failure of TryOpen
    int LinesPerCommit = 1;
    std::string OpenMessage;
    /// Rows not yet written, oldest first: those of lines held back by linesPerCommit, and those
    /// waiting for a locked store.
    std::vector<std::variant<StoredLine, StoredSpot, StoredAlarm>> Waiting;
    std::size_t WaitingLineCount = 0;
    std::size_t WaitingBytes = 0;
    bool Busy = false;
    bool LineRefused = false; ///< the line last added found too much waiting; its rows go too
    long long Lost = 0;
    std::string WriteError;
};

} // namespace ionvane::history
