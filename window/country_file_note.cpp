#include "country_file_note.h"

#include "places/country_file.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

namespace ionvane::window {

QString CountryFileNote(const QString &path) {
    const QFileInfo info(path);
    QFile file(path);
    if (path.isEmpty()) {
        return QString("Country file: none named");
    }
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        return QString("Country file: none found at %1: calls without a locator are placed by the "
                       "grid memory only")
            .arg(path);
    }
    // As much as the session reads of it: a larger file is no country file, and its version
    // alias, if any, is not looked for past that.
    const QByteArray text = file.read(static_cast<qint64>(places::MaxCountryFileBytes));
    const std::optional<std::string> version = places::CountryFileVersion(
        std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    if (version) {
        return QString("Country file: %1, version %2").arg(path, QString::fromStdString(*version));
    }
    return QString("Country file: %1, dated %2")
        .arg(path, info.lastModified().toUTC().toString("yyyy-MM-dd"));
}

} // namespace ionvane::window
