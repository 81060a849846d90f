// The session log: every received line with its UTC receipt time, one per line,
// "2026-06-14T10:00:25Z<TAB>DX de DK7UK: ...". The capture format that replay reads.
#pragma once

#include <QDateTime>
#include <QFile>
#include <QString>

#include <string>
#include <string_view>

namespace ionvane::cluster {

/// One capture line, its line end included: the time to the second, a tab, then `line` with its
/// line ends and control characters other than tab removed and invalid UTF-8 replaced.
std::string CaptureLine(const QDateTime &timeUtc, std::string_view line);

/// Appends capture lines to a file, each written through to the file at once, so that a killed
/// session leaves every line it received on disk.
class SessionLog {
  public:
    /// Opens `path` for appending (created 0600 when missing); false with `error` set when it
    /// cannot, or when it is not a regular file (a FIFO, a device, a directory), which is never
    /// waited for.
    bool Open(const QString &path, QString &error);

    /// Writes one line; false once a write failed (a full disk), after which nothing more is
    /// written.
    bool Write(const QDateTime &timeUtc, std::string_view line);

    [[nodiscard]] bool IsOpen() const { return File.isOpen(); }

  private:
    QFile File;
    bool Failed = false;
};

} // namespace ionvane::cluster
