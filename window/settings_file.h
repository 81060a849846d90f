// The three settings of the user's station and their file homeloc.dat: the home locator, the
// E-layer height and the home height above sea level. Every step of loading and saving is
// guarded on its own and falls back silently; nothing here ever reports an error.
#pragma once

#include "calc/number_text.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <string_view>

namespace ionvane::window {

constexpr float DefaultEsLayerHeightKm = 110.0F;
constexpr float DefaultHomeHeightKm = 0.15F;
constexpr double MinEsLayerHeightKm = 90;
constexpr double MaxEsLayerHeightKm = 130;
constexpr double MinHomeHeightKm = 0.001;
constexpr double MaxHomeHeightKm = 5;

/// The home height is entered in whole metres above sea level (Set MASL, --masl), 1 to 5000, and
/// held in km from there on.
constexpr int MinMaslM = 1;
constexpr int MaxMaslM = 5000;

/// Whether `metres` is a home height the program takes: whole metres from 1 to 5000.
constexpr bool IsMasl(double metres) {
    return metres >= MinMaslM && metres <= MaxMaslM &&
           metres == static_cast<double>(static_cast<int>(metres));
}

/// The home height in km for `metres`, converted once, where it is entered: the product in double
/// precision, kept as a float (150 m is 0.15F).
constexpr float HomeHeightKmFromMetres(double metres) {
    constexpr double KmPerMetre = 0.001;
    return static_cast<float>(metres * KmPerMetre);
}

/// The settings name of the file.
inline constexpr const char *SettingsFileName = "homeloc.dat";

struct Settings {
    std::string HomeLocator;   ///< the home box text, as typed (may be empty)
    float EsLayerHeightKm = 0; ///< 90..130 once loaded
    float HomeHeightKm = 0;    ///< 0.001..5 once loaded
    /// Line 1 of the file as read, byte for byte; saved again in place of `HomeLocator` while
    /// that is still its text.
    std::string HomeLineBytes{};
};

/// The text of line 1 of a settings file: UTF-8 as it stands, otherwise the single-byte text of
/// an older file read as Latin-1 (the byte E9 of "Pérez" in a Windows editor is é).
std::string HomeLineText(const std::string &bytes);

/// Puts each height back to its default when it lies outside its range.
void ApplyDefaultsOutsideRange(Settings &settings);

/// The load sequence on the content of a settings file, nothing when it could not be read.
Settings ParseSettings(const std::optional<QByteArray> &content, const calc::NumberFormat &format);

/// The load sequence on the file at `path`: line 1 the home locator, line 2 the E-layer height,
/// line 3 the home height in km, each read in the regional format. A missing file, a missing line
/// or a line that is not a number leaves the value as it was (a short file repeats its last line);
/// then each height outside its range gets its default. Reads at most 64 KiB, 1 KiB a line.
Settings LoadSettingsFile(const QString &path, const calc::NumberFormat &format);

/// The save sequence: writes the three lines, CR LF ended, atomically (a crash, a kill or a full
/// disk during the save leaves the previous file whole; a symbolic link is replaced, never written
/// through). Line 1 is `HomeLineBytes` while `HomeLocator` is still its text, otherwise the home
/// locator as UTF-8. A file that the user cannot write or made read-only (no write permission for
/// anyone, which the superuser would otherwise ignore) is left as it is. Returns whether the file
/// was written; callers stay silent.
bool SaveSettingsFile(const QString &path, const Settings &settings,
                      const calc::NumberFormat &format);

/// The answer to "Set e layer height": a whole number of km from 90 to 130 (a fraction rounded,
/// halves to even), or nothing for any other answer, Cancel included.
std::optional<float> EsLayerHeightFromAnswer(std::string_view answer,
                                             const calc::NumberFormat &format);

/// The answer to "Set MASL": whole metres from 1 to 5000, given back in km, or nothing.
std::optional<float> HomeHeightFromAnswer(std::string_view answer,
                                          const calc::NumberFormat &format);

/// "e layer height = 110km"
std::string EsLayerHeightCaption(float esLayerHeightKm, const calc::NumberFormat &format);

/// "MASL = 150m", the height in whole metres with the regional grouping.
std::string MaslCaption(float homeHeightKm, const calc::NumberFormat &format);

/// Where the settings file lives: beside the program when the file is there or the program's
/// directory is writable, otherwise in the user's configuration directory. The window and the
/// command line land in one folder of the build tree, so both find the same file there; installed,
/// both use the user's configuration directory.
struct SettingsPlaces {
    QString ProgramDir; ///< empty: the program is installed and has no place of its own
    QString UserDir;

    /// The places of this program: its own directory and the per-user configuration directory.
    static SettingsPlaces ForThisProgram();

    /// The places of a program in `programDir`; no place of its own when that is one of the
    /// directories programs are installed to.
    static SettingsPlaces ForProgramIn(const QString &programDir, const QString &userDir,
                                       const QStringList &installedBinDirs);

    /// The file to load: the program directory's if it exists, else the per-user one.
    [[nodiscard]] QString LoadPath() const;
    /// The file to save to (its directory is created when it is the per-user one).
    [[nodiscard]] QString SavePath() const;
};

} // namespace ionvane::window
