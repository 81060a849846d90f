// Saving a whole file so that a crash, a kill or a full disk at any moment leaves either the old
// file or the new one, never a half-written one: the one way every settings and password file of
// the program is written.
#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

namespace ionvane::files {

/// Writes `bytes` as the whole of `path`: a new file beside it, given `permissions` before a byte
/// is written (a secret never lies readable by others), flushed to disk, renamed over `path`, and
/// the rename itself made durable. A symbolic link at `path` is replaced itself, not written
/// through to a file elsewhere. False when anything failed; `path` is then as it was.
bool WriteFileAtomically(const QString &path, const QByteArray &bytes,
                         QFileDevice::Permissions permissions);

} // namespace ionvane::files
