#include "program_windows.h"

#include "live/country_file_reading.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>

namespace ionvane::app {

void SetUpApplication() {
    QApplication::setApplicationName("Ionvane");
    QApplication::setDesktopFileName("io.github.ionvane.Ionvane");
    // Read by the built-in PNG reader alone: a reader free to detect the format first loads every
    // image format plugin (and libjpeg behind one) to ask whether it reads the file.
    QImageReader icon(QStringLiteral(":/icons/ionvane-32.png"), "png");
    icon.setAutoDetectImageFormat(false);
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(icon.read())));
}

QString LiveModulePath() {
    return QDir(QApplication::applicationDirPath())
        .filePath(QStringLiteral(IONVANE_LIVE_MODULE_RELATIVE));
}

ProgramWindows::ProgramWindows() : LiveModule(LiveModulePath()) {}

// The live window goes before the module that holds its code, and before the calculator it
// hands spots to.
ProgramWindows::~ProgramWindows() {
    Live.reset();
}

window::frmMUF &ProgramWindows::Calculator() {
    if (!Calc) {
        Calc = std::make_unique<window::frmMUF>(Dialogs, window::SettingsPlaces::ForThisProgram());
        Calc->SetCountryFile(QString::fromUtf8(live::DefaultCountryFile));
        QObject::connect(Calc.get(), &window::frmMUF::liveWindowRequested, Calc.get(),
                         [this] { OpenLive(); });
        // One home for both windows, told across at once.
        QObject::connect(Calc.get(), &window::frmMUF::homeChanged, Calc.get(),
                         [this](const window::Settings &home) {
                             if (Live) {
                                 Live->SetHome(home);
                             }
                         });
        QObject::connect(Calc.get(), &window::frmMUF::exitRequested, Calc.get(),
                         [] { QApplication::closeAllWindows(); });
        if (LiveHome) {
            // Opened after a home was set in the live window: the calculator starts from it.
            Calc->ApplyHome(*LiveHome);
        }
    }
    return *Calc;
}

void ProgramWindows::Show(bool live) {
    if (!live || !OpenLive()) {
        Calculator().show();
    }
}

bool ProgramWindows::OpenLive() {
    if (!Live) {
        const auto open = reinterpret_cast<OpenLiveFunction>(LiveModule.resolve(LiveEntryName));
        if (open == nullptr) {
            Dialogs.ShowMessage(
                QApplication::translate("ProgramWindows", "The live window cannot be opened: %1")
                    .arg(LiveModule.errorString()),
                "Ionvane", window::Dialogs::Icon::Critical);
            return false;
        }
        LiveRequest request;
        if (Calc) {
            request.Home = Calc->Home();
        }
        request.HomeChanged = [this](const window::Settings &home) {
            LiveHome = home;
            if (Calc) {
                Calc->ApplyHome(home);
            }
        };
        request.CalculatorRequested = [this] {
            window::frmMUF &calculator = Calculator();
            calculator.show();
            calculator.raise();
            calculator.activateWindow();
        };
        request.ExitRequested = [] { QApplication::closeAllWindows(); };
        // A double-clicked cloud is calculated in the main window, as if typed there.
        request.SpotChosen = [this](const QString &from, const QString &to, const QString &freq) {
            window::frmMUF &calculator = Calculator();
            calculator.show();
            calculator.raise();
            calculator.CalculateSpot(from, to, freq);
        };
        Live.reset(open(request));
    }
    Live->Show();
    return true;
}

} // namespace ionvane::app
