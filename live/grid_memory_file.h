// The grid memory kept between sessions: a plain text file of "CALL GRID SECONDS" lines beside the
// history store, read when a live session starts and written whole when it ends.
#pragma once

#include "places/grid_memory.h"

#include <QString>

namespace ionvane::live {

/// Largest grid memory file read, bytes: MaxRememberedCalls lines of at most about 40 bytes, with
/// room to spare; a larger file is no grid memory of ours and is passed over.
constexpr qint64 MaxGridMemoryFileBytes = 2 * 1024 * 1024;

/// Where the grid memory lives beside a history store at `storePath`: "grids.txt" in its folder.
QString GridMemoryPath(const QString &storePath);

/// Adds the calls of the file at `path` to `memory`. A missing, unreadable or oversized file, and
/// lines that cannot be read, add nothing: the session starts with what it has.
void LoadGridMemory(const QString &path, places::GridMemory &memory);

/// Writes `memory` to `path` at once (a new file renamed over the old), so that a crash while
/// writing never leaves half a file. Returns false when it could not be written.
bool SaveGridMemory(const QString &path, const places::GridMemory &memory);

} // namespace ionvane::live
