#include "settings_file.h"

#include "calc/utf8.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <optional>
#include <vector>

namespace ionvane::window {

namespace {

constexpr qint64 MaxFileBytes = 64 * 1024;
constexpr std::size_t MaxLineBytes = 1024;

// The lines of the file's first 64 KiB, each cut at 1 KiB, CR LF or LF ended; nothing when the
// file cannot be opened.
std::optional<std::vector<std::string>> ReadLines(const QString &path) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray bytes = file.read(MaxFileBytes);
    std::vector<std::string> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        const bool ended = end >= 0;
        if (!ended) {
            end = bytes.size();
        }
        std::string line(bytes.constData() + start, static_cast<std::size_t>(end - start));
        if (ended && !line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.size() > MaxLineBytes) {
            line.resize(MaxLineBytes);
        }
        // Keep the text valid UTF-8 whatever the file holds.
        lines.push_back(calc::CodePointsToUtf8(calc::Utf8ToCodePoints(line)));
        start = end + 1;
    }
    return lines;
}

// Whether a new file can be made in `dir`: tried for real, since permission bits do not tell for
// read-only mounts or for the superuser.
bool AcceptsNewFiles(const QString &dir) {
    if (!QFileInfo(dir).isDir()) {
        return false;
    }
    QTemporaryFile probe(QDir(dir).filePath("homeloc.probe.XXXXXX"));
    return probe.open();
}

} // namespace

void ApplyDefaultsOutsideRange(Settings &settings) {
    const auto es = static_cast<double>(settings.EsLayerHeightKm);
    if (!(es >= MinEsLayerHeightKm && es <= MaxEsLayerHeightKm)) {
        settings.EsLayerHeightKm = DefaultEsLayerHeightKm;
    }
    const auto home = static_cast<double>(settings.HomeHeightKm);
    if (!(home >= MinHomeHeightKm && home <= MaxHomeHeightKm)) {
        settings.HomeHeightKm = DefaultHomeHeightKm;
    }
}

Settings LoadSettingsFile(const QString &path, const calc::NumberFormat &format) {
    Settings settings;
    const auto lines = ReadLines(path);
    // A failed read leaves the buffer holding the previous line.
    std::string buffer;
    std::size_t next = 0;
    const auto readLine = [&] {
        if (lines && next < lines->size()) {
            buffer = (*lines)[next++];
        }
    };
    readLine();
    settings.HomeLocator = buffer;
    readLine();
    if (const auto value = calc::TextToSingle(buffer, format)) {
        settings.EsLayerHeightKm = *value;
    }
    readLine();
    if (const auto value = calc::TextToSingle(buffer, format)) {
        settings.HomeHeightKm = *value;
    }
    ApplyDefaultsOutsideRange(settings);
    return settings;
}

bool SaveSettingsFile(const QString &path, const Settings &settings,
                      const calc::NumberFormat &format) {
    QSaveFile file(path);
    // Unbuffered, so that a short write on a full disk is seen here and the old file is kept:
    // a buffered write would only fail inside commit(), where a short write goes unnoticed.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return false;
    }
    const std::string text = settings.HomeLocator + "\r\n" +
                             calc::SingleText(settings.EsLayerHeightKm, format) + "\r\n" +
                             calc::SingleText(settings.HomeHeightKm, format) + "\r\n";
    const auto size = static_cast<qint64>(text.size());
    if (file.write(text.data(), size) != size) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

std::optional<float> EsLayerHeightFromAnswer(std::string_view answer,
                                             const calc::NumberFormat &format) {
    // An answer that cannot be read leaves the integer at 0, which is out of range.
    const int km = calc::TextToInt16(answer, format).value_or(0);
    if (km < MinEsLayerHeightKm || km > MaxEsLayerHeightKm) {
        return std::nullopt;
    }
    return static_cast<float>(km);
}

std::optional<float> HomeHeightFromAnswer(std::string_view answer,
                                          const calc::NumberFormat &format) {
    constexpr int MinMetres = 1;
    constexpr int MaxMetres = 5000;
    const int metres = calc::TextToInt16(answer, format).value_or(0);
    if (metres < MinMetres || metres > MaxMetres) {
        return std::nullopt;
    }
    // The product in double, kept as a float.
    return static_cast<float>(metres * 0.001);
}

std::string EsLayerHeightCaption(float esLayerHeightKm, const calc::NumberFormat &format) {
    return "e layer height = " +
           calc::FormatFixed(static_cast<double>(esLayerHeightKm), 0, format) + "km";
}

std::string MaslCaption(float homeHeightKm, const calc::NumberFormat &format) {
    const float metres = homeHeightKm * 1000.0F;
    return "MASL = " + calc::FormatFixed(static_cast<double>(metres), 0, format) + "m";
}

SettingsPlaces SettingsPlaces::ForThisProgram() {
    return SettingsPlaces{QCoreApplication::applicationDirPath(),
                          QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)};
}

QString SettingsPlaces::LoadPath() const {
    const QString besideProgram = QDir(ProgramDir).filePath(SettingsFileName);
    if (QFileInfo::exists(besideProgram) || UserDir.isEmpty()) {
        return besideProgram;
    }
    return QDir(UserDir).filePath(SettingsFileName);
}

QString SettingsPlaces::SavePath() const {
    const QString besideProgram = QDir(ProgramDir).filePath(SettingsFileName);
    if (QFileInfo::exists(besideProgram) || AcceptsNewFiles(ProgramDir) || UserDir.isEmpty()) {
        return besideProgram;
    }
    QDir().mkpath(UserDir);
    return QDir(UserDir).filePath(SettingsFileName);
}

} // namespace ionvane::window
