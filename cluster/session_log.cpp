#include "session_log.h"

#include "line_splitter.h"

namespace ionvane::cluster {

std::string CaptureLine(const QDateTime &timeUtc, std::string_view line) {
    std::string out = timeUtc.toUTC().toString(Qt::ISODate).toStdString();
    out += '\t';
    out += CleanLine(line);
    out += '\n';
    return out;
}

bool SessionLog::Open(const QString &path, QString &error) {
    File.setFileName(path);
    // Created for the user alone: the lines may hold what the node echoed of the password, and
    // other users' talk.
    if (!File.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered,
                   QFile::ReadOwner | QFile::WriteOwner)) {
        error = File.errorString();
        return false;
    }
    return true;
}

bool SessionLog::Write(const QDateTime &timeUtc, std::string_view line) {
    if (!File.isOpen() || Failed) {
        return false;
    }
    const std::string text = CaptureLine(timeUtc, line);
    const auto size = static_cast<qint64>(text.size());
    if (File.write(text.data(), size) != size) {
        Failed = true;
    }
    return !Failed;
}

} // namespace ionvane::cluster
