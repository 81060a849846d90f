#include "settings_file.h"

#include "calc/utf8.h"
#include "files/atomic_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <algorithm>
#include <optional>
#include <vector>

namespace ionvane::window {

namespace {

constexpr qint64 MaxFileBytes = 64 * 1024;
constexpr std::size_t MaxLineBytes = 1024;

// The UTF-8 byte-order mark that some editors put at the start of a text file.
constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";

// The lines of the first 64 KiB, each cut at 1 KiB, CR LF or LF ended, as the bytes they hold.
std::vector<std::string> SplitLines(const QByteArray &content) {
    QByteArray bytes = content.left(MaxFileBytes);
    if (bytes.startsWith(QByteArray::fromRawData(
            Utf8ByteOrderMark.data(), static_cast<qsizetype>(Utf8ByteOrderMark.size())))) {
        bytes.remove(0, static_cast<qsizetype>(Utf8ByteOrderMark.size()));
    }
    std::vector<std::string> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        const bool ended = end >= 0;
        if (!ended) {
            end = bytes.size();
        }
        std::string line(bytes.constData() + start, static_cast<std::size_t>(std::min<qsizetype>(
                                                        end - start, MaxLineBytes + 1)));
        if (ended && !line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.size() > MaxLineBytes) {
            line.resize(MaxLineBytes);
        }
        lines.push_back(std::move(line));
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

// Whether the file at `path` exists and is not to be written: not writable for the user, or with
// no write permission for anyone.
bool IsReadOnlyFile(const QString &path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return false;
    }
    constexpr auto AnyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return !info.isWritable() || !(info.permissions() & AnyWrite);
}

} // namespace

std::string HomeLineText(const std::string &bytes) {
    if (calc::ValidUtf8(bytes) == bytes) {
        return bytes;
    }
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size())).toStdString();
}

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

namespace {

// The decimal mark the current format does not use: "0,35" written under de_DE is read under
// en_US, "0.35" written under en_US under de_DE.
calc::NumberFormat OtherDecimalMark(const calc::NumberFormat &format) {
    const bool comma = format.DecimalSeparator == ",";
    return calc::NumberFormat{comma ? calc::EnglishNumberFormat().DecimalSeparator
                                    : calc::EnglishNumberFormat().GroupSeparator,
                              comma ? calc::EnglishNumberFormat().GroupSeparator
                                    : calc::EnglishNumberFormat().DecimalSeparator,
                              format.DefaultDecimals};
}

// A number of the file in the current format; when that gives none within [min, max], the same
// text with the other decimal mark, if that gives one. Otherwise what the current format read.
std::optional<float> ReadSetting(const std::string &line, const calc::NumberFormat &format,
                                 double min, double max) {
    const auto within = [&](std::optional<float> value) {
        return value && static_cast<double>(*value) >= min && static_cast<double>(*value) <= max;
    };
    const std::string text = calc::ValidUtf8(line);
    const std::optional<float> value = calc::TextToSingle(text, format);
    if (within(value)) {
        return value;
    }
    const std::optional<float> other = calc::TextToSingle(text, OtherDecimalMark(format));
    return within(other) ? other : value;
}

} // namespace

Settings ParseSettings(const std::optional<QByteArray> &content, const calc::NumberFormat &format) {
    Settings settings;
    const std::vector<std::string> lines =
        content ? SplitLines(*content) : std::vector<std::string>{};
    // A failed read leaves the buffer holding the previous line.
    std::string buffer;
    std::size_t next = 0;
    const auto readLine = [&] {
        if (next < lines.size()) {
            buffer = lines[next++];
        }
    };
    readLine();
    settings.HomeLineBytes = buffer;
    settings.HomeLocator = HomeLineText(buffer);
    readLine();
    if (const auto value = ReadSetting(buffer, format, MinEsLayerHeightKm, MaxEsLayerHeightKm)) {
        settings.EsLayerHeightKm = *value;
    }
    readLine();
    if (const auto value = ReadSetting(buffer, format, MinHomeHeightKm, MaxHomeHeightKm)) {
        settings.HomeHeightKm = *value;
    }
    ApplyDefaultsOutsideRange(settings);
    return settings;
}

Settings LoadSettingsFile(const QString &path, const calc::NumberFormat &format) {
    QFile file(path);
    // Only a regular file (or a link to one) is read: a FIFO or a device could block or never end.
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        return ParseSettings(std::nullopt, format);
    }
    return ParseSettings(file.read(MaxFileBytes), format);
}

bool SaveSettingsFile(const QString &path, const Settings &settings,
                      const calc::NumberFormat &format) {
    if (IsReadOnlyFile(path)) {
        return false;
    }
    const bool homeUnchanged = HomeLineText(settings.HomeLineBytes) == settings.HomeLocator;
    const std::string text = (homeUnchanged ? settings.HomeLineBytes : settings.HomeLocator) +
                             "\r\n" + calc::SingleText(settings.EsLayerHeightKm, format) + "\r\n" +
                             calc::SingleText(settings.HomeHeightKm, format) + "\r\n";
    // The file keeps its permissions; a new one (or one replacing a symbolic link) is rw-r--r--.
    const QFileInfo target(path);
    const auto permissions =
        target.isFile() && !target.isSymLink()
            ? target.permissions()
            : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
    return files::WriteFileAtomically(
        path, QByteArray(text.data(), static_cast<qsizetype>(text.size())), permissions);
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
    const int metres = calc::TextToInt16(answer, format).value_or(0);
    if (!IsMasl(metres)) {
        return std::nullopt;
    }
    return HomeHeightKmFromMetres(metres);
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
    const QString programDir = QCoreApplication::applicationDirPath();
    const QString userDir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    // The configured install directory, and where the Debian package and a local install put the
    // programs whatever the build was configured with.
    const QStringList installedBinDirs{IONVANE_INSTALLED_BINDIR, "/usr/bin", "/usr/local/bin",
                                       "/bin"};
    return ForProgramIn(programDir, userDir, installedBinDirs);
}

SettingsPlaces SettingsPlaces::ForProgramIn(const QString &programDir, const QString &userDir,
                                            const QStringList &installedBinDirs) {
    // Installed, the window and the command line share the user's place: the program directory
    // is the system's and shared by every user, even when the superuser could write there.
    const bool installed =
        std::any_of(installedBinDirs.begin(), installedBinDirs.end(), [&](const QString &dir) {
            return QDir::cleanPath(programDir) == QDir::cleanPath(dir);
        });
    return SettingsPlaces{installed ? QString() : programDir, userDir};
}

QString SettingsPlaces::LoadPath() const {
    if (ProgramDir.isEmpty()) {
        return QDir(UserDir).filePath(SettingsFileName);
    }
    const QString besideProgram = QDir(ProgramDir).filePath(SettingsFileName);
    if (QFileInfo::exists(besideProgram) || UserDir.isEmpty()) {
        return besideProgram;
    }
    return QDir(UserDir).filePath(SettingsFileName);
}

QString SettingsPlaces::SavePath() const {
    const QString besideProgram = QDir(ProgramDir).filePath(SettingsFileName);
    if (!ProgramDir.isEmpty() &&
        (QFileInfo::exists(besideProgram) || AcceptsNewFiles(ProgramDir) || UserDir.isEmpty())) {
        return besideProgram;
    }
    QDir().mkpath(UserDir);
    return QDir(UserDir).filePath(SettingsFileName);
}

} // namespace ionvane::window
