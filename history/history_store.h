// The history store: every received line with its time, the spots calculated from them and the
// alarms raised, in an SQLite database (WAL mode) in the user's data directory. Nothing else in
// the program opens it. A store that cannot be opened or is damaged is moved aside and a new one
// started: the history may be lost, the session never fails because of it.
#pragma once

#include <QSqlDatabase>
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
    /// Opens or creates the store at `path` at the time `now`, deletes what is older than the
    /// retention, and commits after every `linesPerCommit` lines (1 for a live session, so a crash
    /// loses nothing). A store that cannot be opened or fails its check is renamed to
    /// PATH.broken-YYYYMMDDTHHMMSSZ (with its -wal and -shm files) and a new one started;
    /// Message() then says so. When no store can be made at all, IsOpen() is false.
    HistoryStore(const QString &path, std::int64_t now, int retentionDays = DefaultRetentionDays,
                 int linesPerCommit = 1);
    ~HistoryStore();
    HistoryStore(const HistoryStore &) = delete;
    HistoryStore &operator=(const HistoryStore &) = delete;

    /// The store in the per-user data directory (created when missing).
    static QString DefaultPath();

    [[nodiscard]] bool IsOpen() const { return Open; }
    /// What happened on opening that the user should know ("" when all went well).
    [[nodiscard]] const std::string &Message() const { return OpenMessage; }

    /// Records a received line; false when the store failed (the message then says why).
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
    bool TryOpen(const QString &path);
    bool Prepare();
    void Close();
    bool Step(QSqlQuery &query);

    QString ConnectionName;
    QSqlDatabase Db;
    QSqlQuery InsertLine;
    QSqlQuery InsertSpot;
    QSqlQuery InsertAlarm;
    bool Open = false;
    bool InTransaction = false;
    int LinesPerCommit = 1;
    int Uncommitted = 0;
    std::string OpenMessage;
};

} // namespace ionvane::history
