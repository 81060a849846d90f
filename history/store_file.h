// What the file named as the history store is, before SQLite is let near it: whether it is a file
// at all, whether the user may write it, and whether another process has it open. A store is
// only ever created, opened or moved aside when these say it is safe.
#pragma once

#include <QString>

#include <string_view>

namespace ionvane::history {

/// What stands at a path (symbolic links followed).
enum class StoreFileKind { Missing, File, Directory, Fifo, Device, Other };

[[nodiscard]] StoreFileKind KindOf(const QString &path);

/// The kind in the user's words ("a directory"); empty for Missing and File.
[[nodiscard]] std::string_view KindText(StoreFileKind kind);

/// Whether the user may write the existing file at `path`. A file without any write permission
/// counts as read-only even for root: its owner made it so on purpose.
[[nodiscard]] bool MayWrite(const QString &path);

/// Whether files may be made in the folder holding `path`: false on a read-only file system for
/// any user, and in a folder without write permission for any user but root.
[[nodiscard]] bool FolderWritable(const QString &path);

/// Makes an empty file at `path`, readable and writable by the user alone, when none is there:
/// SQLite creates its files with the umask (0644 as a rule), and the store holds what the nodes
/// sent, passwords echoed by mistake included. SQLite gives the -wal and -shm files the same
/// permissions.
void CreatePrivateFile(const QString &path);

/// Whether any process, this one included, has `path` or its -wal or -shm file open. Renaming a
/// store under another process sends that process's next writes into the renamed file.
[[nodiscard]] bool OpenByAProcess(const QString &path);

} // namespace ionvane::history
