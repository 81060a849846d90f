#include "atomic_file.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace ionvane::files {

bool WriteFileAtomically(const QString &path, const QByteArray &bytes,
                         QFileDevice::Permissions permissions) {
    const QFileInfo target(path);
    QTemporaryFile temp(target.absolutePath() + "/" + target.fileName() + ".XXXXXX");
    if (!temp.open() || !temp.setPermissions(permissions)) {
        return false;
    }
    const int fd = temp.handle();
    const char *next = bytes.constData();
    auto left = static_cast<std::size_t>(bytes.size());
    while (left > 0) {
        const ssize_t written = ::write(fd, next, left);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        next += written;
        left -= static_cast<std::size_t>(written);
    }
    if (::fsync(fd) != 0) {
        return false;
    }
    if (::rename(QFile::encodeName(temp.fileName()).constData(),
                 QFile::encodeName(target.absoluteFilePath()).constData()) != 0) {
        return false;
    }
    temp.setAutoRemove(false);
    // Make the rename itself durable.
    const int dir = ::open(QFile::encodeName(target.absolutePath()).constData(),
                           O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

} // namespace ionvane::files
