#include "cluster_settings.h"

#include "core_dumps.h"
#include "files/atomic_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace ionvane::cluster {

namespace {

QSettings SettingsIn(const QString &dir) {
    return QSettings(QDir(dir).filePath(ClusterSettingsFileName), QSettings::IniFormat);
}

constexpr QFileDevice::Permissions OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions OthersBits = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                                QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                                QFileDevice::WriteOther | QFileDevice::ExeOther;

} // namespace

ClusterSettings LoadClusterSettings(const QString &dir) {
    ClusterSettings settings;
    const QSettings file = SettingsIn(dir);
    settings.Host = file.value("node/host").toString().trimmed();
    bool ok = false;
    const uint port = file.value("node/port").toUInt(&ok);
    if (ok && port >= 1 && port <= 65535) {
        settings.Port = static_cast<std::uint16_t>(port);
    }
    settings.Call = file.value("node/call").toString().trimmed();
    const QVariant commands = file.value("node/commands");
    if (commands.canConvert<QStringList>()) {
        settings.Commands = commands.toStringList();
    }
    return settings;
}

bool SaveClusterSettings(const QString &dir, const ClusterSettings &settings) {
    if (!QDir().mkpath(dir)) {
        return false;
    }
    QSettings file = SettingsIn(dir);
    file.setValue("node/host", settings.Host);
    file.setValue("node/port", settings.Port);
    file.setValue("node/call", settings.Call);
    file.setValue("node/commands", settings.Commands);
    file.sync();
    return file.status() == QSettings::NoError;
}

bool SavePassword(const QString &dir, const QString &password) {
    const QString path = QDir(dir).filePath(ClusterPasswordFileName);
    if (password.isEmpty()) {
        return !QFileInfo::exists(path) || QFile::remove(path);
    }
    if (!QDir().mkpath(dir)) {
        return false;
    }
    return files::WriteFileAtomically(path, password.toUtf8() + '\n', OwnerOnly);
}

StoredPassword LoadPassword(const QString &dir) {
    StoredPassword stored;
    QFile file(QDir(dir).filePath(ClusterPasswordFileName));
    if (!file.exists()) {
        return stored;
    }
    if (!QFileInfo(file).isFile()) {
        stored.Problem = PasswordProblem::Unreadable;
        return stored;
    }
    if ((file.permissions() & OthersBits) != 0) {
        stored.Problem = PasswordProblem::ReadableByOthers;
        return stored;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        stored.Problem = PasswordProblem::Unreadable;
        return stored;
    }
    const QByteArray bytes = file.read(MaxPasswordBytes + 1);
    if (bytes.size() > MaxPasswordBytes) {
        stored.Problem = PasswordProblem::Unreadable;
        return stored;
    }
    stored.Password = QString::fromUtf8(bytes).section('\n', 0, 0).trimmed();
    stored.Problem = stored.Password.isEmpty() ? PasswordProblem::Missing : PasswordProblem::None;
    if (!stored.Password.isEmpty()) {
        KeepOutOfCoreDumps();
    }
    return stored;
}

} // namespace ionvane::cluster
