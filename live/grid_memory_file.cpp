#include "grid_memory_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace ionvane::live {

QString GridMemoryPath(const QString &storePath) {
    return QFileInfo(storePath).absolutePath() + "/grids.txt";
}

void LoadGridMemory(const QString &path, places::GridMemory &memory) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly) ||
        file.size() > MaxGridMemoryFileBytes) {
        return;
    }
    const QByteArray text = file.read(MaxGridMemoryFileBytes);
    memory.Load(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
}

bool SaveGridMemory(const QString &path, const places::GridMemory &memory) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const std::string text = memory.Save();
    if (file.write(text.data(), static_cast<qint64>(text.size())) !=
        static_cast<qint64>(text.size())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace ionvane::live
