// The one window of Ionvane: four input boxes, Calculate and Clear, the two settings lines, six
// result lines and a small menu. A thin layer over the Calculate command and the settings file.
#pragma once

#include "calc/calc_state.h"
#include "command/calculate_command.h"
#include "dialogs.h"
#include "settings_file.h"

#include <QLocale>
#include <QMainWindow>

class QAction;
class QDragEnterEvent;
class QDropEvent;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace ionvane::window {

using command::CalculateCommand;
using command::CalculateInput;
using command::CalculateOutcome;
using command::Control;
using command::ProgramTitle;
using command::ScreenTexts;

// NOLINTNEXTLINE(readability-identifier-naming): the window keeps its historical name.
class frmMUF : public QMainWindow {
    Q_OBJECT

  public:
    /// Builds the window and runs the load sequence: settings from `places`, read in the number
    /// format of `locale`; `dialogs` shows every message and input box.
    frmMUF(Dialogs &dialogs, SettingsPlaces places, const QLocale &locale = QLocale(),
           QWidget *parent = nullptr);

    /// The calculation state, settings included.
    [[nodiscard]] const calc::CalcState &State() const { return Calc; }

    /// The text of the help message, ending with where the country file is read from and its date.
    [[nodiscard]] QString HelpText() const;
    /// The country file the live window's sessions read, for the help message.
    void SetCountryFile(const QString &path) { CountryFilePath = path; }

    /// Fills From, To and Frequency with a spot (`freqMHzText` with a point, "50.313") and runs
    /// Calculate, as if the user had typed them and pressed the button.
    void CalculateSpot(const QString &fromLoc, const QString &toLoc, const QString &freqMHzText);

    /// The home as the window holds it now: the home box's text, the E-layer height and the
    /// height above sea level.
    [[nodiscard]] Settings Home() const;
    /// Takes a home set elsewhere (the live window's menu) as if set here; says nothing back.
    void ApplyHome(const Settings &home);

  signals:
    /// File > Live window: the program opens (or raises) its live window.
    void liveWindowRequested();
    /// The home locator, E-layer height or height above sea level changed here.
    void homeChanged(const ionvane::window::Settings &home);
    /// Exit: the program ends, every window with it.
    void exitRequested();

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

  private:
    void BuildControls();
    void BuildMenus();
    void ApplyLook();
    void LoadSequence();
    void SaveSequence();
    /// Writes the settings file (atomically) without ending the window's use of it.
    void WriteSettings();
    void ShowSettings();

    bool LocatorKeyPress(QLineEdit *box, QKeyEvent *key);
    bool FrequencyKeyPress(QKeyEvent *key);
    void FrequencyChanged();
    void CalculateClicked();
    void ClearClicked();
    void SetEsLayerHeight();
    void SetMasl();
    void SetDefaults();
    void ShowHelp();
    void PasteSpot(const QString &text);
    QWidget *ControlWidget(Control control) const;

    Dialogs &Dialog;
    SettingsPlaces Places;
    calc::NumberFormat Format;
    CalculateCommand Command;
    calc::CalcState Calc;
    bool Unloaded = false;
    /// A home from elsewhere is being shown: not told back as this window's change.
    bool ApplyingHome = false;
    /// The settings file's first line as it was read, written back unchanged when the home box
    /// still shows it.
    std::string HomeLineBytes;

    QLabel *lblFromLoc = nullptr;
    QLineEdit *txtFromLoc = nullptr;
    QLabel *lblToLoc = nullptr;
    QLineEdit *txtToLoc = nullptr;
    QLabel *lblFreq = nullptr;
    QLineEdit *txtFreq = nullptr;
    QLabel *lblHomeLoc = nullptr;
    QLineEdit *txtHomeLoc = nullptr;
    QLabel *lblEsLayerHeight = nullptr;
    QPushButton *cmdCalcMUF = nullptr;
    QLabel *lblMASL = nullptr;
    QPushButton *cmdClear = nullptr;
    QLabel *lblAZResult = nullptr;
    QLabel *lblAzResult2 = nullptr;
    QLabel *lblMidPoint = nullptr;
    QLabel *lblMUFqth = nullptr;
    QLabel *lblMUFqth2 = nullptr;
    QLabel *lblFOT = nullptr;

    QMenu *mnuFile = nullptr;
    QAction *mnuPasteSpot = nullptr;
    QAction *mnuHomeLoc = nullptr;
    QAction *mnuEsLayer = nullptr;
    QAction *mnuMASL = nullptr;
    QAction *mnuDefaults = nullptr;
    QAction *mnuHelp = nullptr;
    QAction *mnuLive = nullptr;
    QAction *mnuExit = nullptr;
    QString CountryFilePath; ///< none until the program names the one its sessions read
};

} // namespace ionvane::window
