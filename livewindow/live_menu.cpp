// The live window's menu: the home station (locator, E-layer height, height above sea level) as
// the calculator sets it, the calculator itself, and Exit. `ionvane --live` opens this window
// alone, and reaches the home settings and the calculator only from here.
#include "live_window.h"

#include "calc/home_location.h"

#include <QAction>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

namespace ionvane::livewindow {

namespace {
// How long a refused answer is shown in the status bar, ms: read, then out of the way.
constexpr int RefusalShownMs = 8000;
} // namespace

void frmLive::BuildMenu() {
    QMenu *file = menuBar()->addMenu("&File");
    file->setObjectName("mnuLiveFile");
    const auto item = [this, file](const char *name, const char *text, auto handler) {
        QAction *action = file->addAction(text);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    item("mnuLiveHomeLoc", "Set &Home Loc...", &frmLive::AskHomeLocator)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    item("mnuLiveEsLayer", "Set &e layer height...", &frmLive::AskEsLayerHeight);
    item("mnuLiveMASL", "Set &MASL...", &frmLive::AskMasl);
    file->addSeparator();
    item("mnuLiveCalculator", "&Calculator", &frmLive::calculatorRequested);
    file->addSeparator();
    item("mnuLiveExit", "E&xit", [this] {
        // Saved first: the program may end before this window's close event.
        SaveState();
        emit exitRequested();
        close();
    });
}

QString frmLive::Ask(const QString &prompt, const QString &title, const QString &current) {
    if (Setup.AskText) {
        return Setup.AskText(prompt, title, current);
    }
    return QInputDialog::getText(this, title, prompt, QLineEdit::Normal, current);
}

void frmLive::AskHomeLocator() {
    const QString answer = Ask("Your home locator, 4 or 6 characters (IO90 or IO90IR)",
                               "Home locator?", QString::fromStdString(Setup.Home.HomeLocator))
                               .trimmed()
                               .toUpper();
    if (answer.isEmpty()) {
        return;
    }
    if (calc::CheckHomeLoc(answer.toStdString()).StatusCode != 0) {
        statusBar()->showMessage("Not a locator: " + answer, RefusalShownMs);
        return;
    }
    window::Settings home = Setup.Home;
    home.HomeLocator = answer.toStdString();
    HomeSetHere(home);
}

void frmLive::AskEsLayerHeight() {
    const QString answer = Ask("Please enter a number between 90 and 130", "es Layer Height?", {});
    if (answer.trimmed().isEmpty()) {
        return;
    }
    const auto km = window::EsLayerHeightFromAnswer(answer.toStdString(), Setup.Format);
    if (!km) {
        statusBar()->showMessage("The E-layer height is a number between 90 and 130 km",
                                 RefusalShownMs);
        return;
    }
    window::Settings home = Setup.Home;
    home.EsLayerHeightKm = *km;
    HomeSetHere(home);
}

void frmLive::AskMasl() {
    const QString answer =
        Ask("Please enter a number between 1 and 5000", "Height above sea level?", {});
    if (answer.trimmed().isEmpty()) {
        return;
    }
    const auto km = window::HomeHeightFromAnswer(answer.toStdString(), Setup.Format);
    if (!km) {
        statusBar()->showMessage("The height above sea level is a number between 1 and 5000 m",
                                 RefusalShownMs);
        return;
    }
    window::Settings home = Setup.Home;
    home.HomeHeightKm = *km;
    HomeSetHere(home);
}

} // namespace ionvane::livewindow
