// The session log: every line, report and datagram received by any source, one capture line
// (spot/capture_line.h) each, the format replay reads.
#pragma once

#include <QDateTime>
#include <QFile>
#include <QString>

#include <string_view>

namespace ionvane::station {

/// Appends capture lines to a file, each written through to the file at once, so that a killed
/// session leaves every line it received on disk.
class SessionLog {
  public:
    /// Opens `path` for appending (created 0600 when missing); false with `error` set when it
    /// cannot, or when it is not a regular file (a FIFO, a device, a directory), which is never
    /// waited for.
    bool Open(const QString &path, QString &error);

    /// Writes the capture line of `line` received at `timeUtc` (to the second); false once a write
    /// failed (a full disk), after which nothing more is written.
    bool Write(const QDateTime &timeUtc, std::string_view line);

    [[nodiscard]] bool IsOpen() const { return File.isOpen(); }

  private:
    QFile File;
    bool Failed = false;
};

} // namespace ionvane::station
