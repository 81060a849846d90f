#include "session_log.h"

#include "spot/capture_line.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ionvane::station {

namespace {

QString NotAFile(mode_t mode) {
    const char *kind = S_ISFIFO(mode)                   ? "a FIFO"
                       : S_ISCHR(mode) || S_ISBLK(mode) ? "a device"
                       : S_ISDIR(mode)                  ? "a directory"
                       : S_ISSOCK(mode)                 ? "a socket"
                                                        : "not a file";
    return QString("it is %1, not a regular file").arg(kind);
}

} // namespace

bool SessionLog::Open(const QString &path, QString &error) {
    // Created for the user alone: the lines may hold what the node echoed of the password, and
    // other users' talk. Opened without blocking: a FIFO without a reader would hold the start
    // for good (a FIFO is refused below, its open then fails with ENXIO: said as what it is).
    const QByteArray name = QFile::encodeName(path);
    constexpr mode_t OwnerOnly = S_IRUSR | S_IWUSR;
    const int fd =
        ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, OwnerOnly);
    struct stat info {};
    if (fd < 0 && errno == ENXIO && ::stat(name.constData(), &info) == 0 &&
        !S_ISREG(info.st_mode)) {
        error = NotAFile(info.st_mode);
        return false;
    }
    if (fd < 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    // Only a regular file keeps what is appended: a FIFO's reader or a terminal may go and
    // take the session with it, a device may swallow it.
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = NotAFile(info.st_mode);
        ::close(fd);
        return false;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0 ||
        !File.open(fd, QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered,
                   QFileDevice::AutoCloseHandle)) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        ::close(fd);
        return false;
    }
    return true;
}

bool SessionLog::Write(const QDateTime &timeUtc, std::string_view line) {
    if (!File.isOpen() || Failed) {
        return false;
    }
    const std::string text = spot::CaptureLine(timeUtc.toSecsSinceEpoch(), line) + '\n';
    const auto size = static_cast<qint64>(text.size());
    if (File.write(text.data(), size) != size) {
        Failed = true;
    }
    return !Failed;
}

} // namespace ionvane::station
