// What the history store's two source files share: SQLite's result codes and running one
// statement through Qt SQL.
#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <string>
#include <string_view>

namespace ionvane::history::sql {

// SQLite's primary result codes (sqlite3.h) that tell a busy or damaged store from others.
inline constexpr int SqliteBusy = 5;
inline constexpr int SqliteLocked = 6;
inline constexpr int SqliteReadOnly = 8;
inline constexpr int SqliteCorrupt = 11;
inline constexpr int SqliteNotADatabase = 26;
inline constexpr int PrimaryCodeMask = 0xFF;

inline QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

/// Runs one statement; false on any error, which then goes to `error` when given.
inline bool Exec(QSqlDatabase &db, const QString &statement, QString *firstValue = nullptr,
                 QSqlError *error = nullptr) {
    QSqlQuery query(db);
    if (!query.exec(statement)) {
        if (error != nullptr) {
            *error = query.lastError();
        }
        return false;
    }
    if (firstValue != nullptr) {
        *firstValue = query.next() ? query.value(0).toString() : QString();
    }
    return true;
}

} // namespace ionvane::history::sql
