#include "store_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <array>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace ionvane::history {

namespace {

struct FileId {
    dev_t Device = 0;
    ino_t Inode = 0;
};

bool IdOf(const QByteArray &path, FileId &id) {
    struct stat info {};
    if (::stat(path.constData(), &info) != 0) {
        return false;
    }
    id = {info.st_dev, info.st_ino};
    return true;
}

// Any lock another process holds on the file: SQLite holds one on the -shm file for as long as a
// connection in WAL mode is open, and on the store itself while it reads or writes.
bool LockedByAnotherProcess(const QByteArray &path) {
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    const bool locked = ::fcntl(fd, F_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
    ::close(fd);
    return locked;
}

} // namespace

StoreFileKind KindOf(const QString &path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        // Nothing there, or a path that cannot lead to a file (a file used as a directory):
        // opening it fails with SQLite's own words.
        return StoreFileKind::Missing;
    }
    if (S_ISREG(info.st_mode)) {
        return StoreFileKind::File;
    }
    if (S_ISDIR(info.st_mode)) {
        return StoreFileKind::Directory;
    }
    if (S_ISFIFO(info.st_mode)) {
        return StoreFileKind::Fifo;
    }
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) {
        return StoreFileKind::Device;
    }
    return StoreFileKind::Other;
}

std::string_view KindText(StoreFileKind kind) {
    switch (kind) {
    case StoreFileKind::Missing:
    case StoreFileKind::File:
        return "";
    case StoreFileKind::Directory:
        return "a directory";
    case StoreFileKind::Fifo:
        return "a FIFO";
    case StoreFileKind::Device:
        return "a device";
    case StoreFileKind::Other:
        break;
    }
    return "a socket or another special file";
}

bool MayWrite(const QString &path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    constexpr mode_t AnyWrite = S_IWUSR | S_IWGRP | S_IWOTH;
    return ::stat(name.constData(), &info) == 0 && (info.st_mode & AnyWrite) != 0 &&
           ::access(name.constData(), W_OK) == 0;
}

bool FolderWritable(const QString &path) {
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    struct statvfs mounted {};
    return ::access(folder.constData(), W_OK) == 0 &&
           (::statvfs(folder.constData(), &mounted) != 0 || (mounted.f_flag & ST_RDONLY) == 0);
}

void CreatePrivateFile(const QString &path) {
    QFile file(path);
    // NewOnly: an existing store keeps its content and the permissions its owner gave it.
    file.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFile::ReadOwner | QFile::WriteOwner);
}

bool OpenByAProcess(const QString &path) {
    const std::array<QByteArray, 3> names = {QFile::encodeName(path),
                                             QFile::encodeName(path + "-wal"),
                                             QFile::encodeName(path + "-shm")};
    std::array<FileId, 3> ids{};
    std::array<bool, 3> present{};
    for (std::size_t i = 0; i < names.size(); ++i) {
        present[i] = IdOf(names[i], ids[i]);
        if (present[i] && LockedByAnotherProcess(names[i])) {
            return true;
        }
    }
    // Every open file of every process this user may look at (all of them for root): a program
    // that opened the store without locking it (a text editor, "cat") shows here only.
    const QStringList processes = QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &process : processes) {
        const QString fdDir = "/proc/" + process + "/fd";
        const QStringList fds = QDir(fdDir).entryList(QDir::Files | QDir::System);
        for (const QString &fd : fds) {
            FileId id;
            if (!IdOf(QFile::encodeName(fdDir + '/' + fd), id)) {
                continue;
            }
            for (std::size_t i = 0; i < ids.size(); ++i) {
                if (present[i] && id.Device == ids[i].Device && id.Inode == ids[i].Inode) {
                    return true;
                }
            }
        }
    }
    return false;
}

} // namespace ionvane::history
