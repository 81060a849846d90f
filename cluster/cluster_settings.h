// The user's cluster settings: node, port, call and the commands sent after login, in a settings
// file of their own (cluster.conf) in the per-user configuration place, beside homeloc.dat's
// per-user place, so homeloc.dat keeps its three lines. The password lives in a separate file that
// only the user may read, never in the settings file, a log or an event.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace ionvane::cluster {

/// The usual port of cluster nodes.
constexpr std::uint16_t DefaultClusterPort = 7300;

inline constexpr const char *ClusterSettingsFileName = "cluster.conf";
inline constexpr const char *ClusterPasswordFileName = "cluster-password";

/// Longest password file read: a password is a word, never kilobytes.
constexpr qint64 MaxPasswordBytes = 256;

struct ClusterSettings {
    QString Host;
    std::uint16_t Port = DefaultClusterPort;
    QString Call;
    QStringList Commands;
};

/// Reads the settings from `dir`; each value that is missing or invalid keeps its default (an empty
/// host or call, port 7300, no commands).
ClusterSettings LoadClusterSettings(const QString &dir);

/// Writes the settings to `dir` (created when missing); false when they could not be written.
bool SaveClusterSettings(const QString &dir, const ClusterSettings &settings);

/// Writes the password file in `dir` readable and writable by the user alone (mode 0600 from its
/// creation, replaced atomically); an empty password removes the file.
bool SavePassword(const QString &dir, const QString &password);

enum class PasswordProblem { None, Missing, ReadableByOthers, Unreadable };

struct StoredPassword {
    QString Password;
    PasswordProblem Problem = PasswordProblem::Missing;
};

/// The password from `dir`. A file that others may read is refused (its password may be known
/// already; the user should set it again), as is one past MaxPasswordBytes.
StoredPassword LoadPassword(const QString &dir);

} // namespace ionvane::cluster
