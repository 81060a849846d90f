// The live window's menu: the home station (locator, E-layer height, height above sea level) as
// the calculator sets it, the calculator itself, and Exit. `ionvane --live` opens this window
// alone, and reaches the home settings and the calculator only from here.
#include "live_window.h"

#include "calc/home_location.h"

#include <QAction>
#include <QActionGroup>
#include <QEvent>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include <tuple>

namespace ionvane::livewindow {

namespace {
// How long a refused answer is shown in the status bar, ms: read, then out of the way.
constexpr int RefusalShownMs = 8000;
} // namespace

void frmLive::ReopenCore() {
    live::CoreControl *core = Live->Core();
    if (core == nullptr) {
        // No core yet: the one to come takes the new home.
        return;
    }
    const live::CoreSnapshot running = core->Snapshot();
    StartCluster = running.ClusterRunning;
    StartFeed = running.FeedRunning;
    wsjtxBar->ForgetCore();
    Live->Detach();
    cmdClusterConnect->setText("&Connect");
    cmdFeedConnect->setText("Co&nnect");
    AttachCore();
}

void frmLive::SetHome(const window::Settings &home) {
    const window::Settings &now = Setup.Home;
    // A locator half typed in the calculator ("JO0") is no home yet: the last whole one stays.
    if (calc::CheckHomeLoc(home.HomeLocator).StatusCode != 0 ||
        (home.HomeLocator == now.HomeLocator && home.EsLayerHeightKm == now.EsLayerHeightKm &&
         home.HomeHeightKm == now.HomeHeightKm)) {
        return;
    }
    const bool moved = calc::CheckHomeLoc(home.HomeLocator).CompletedLoc !=
                       calc::CheckHomeLoc(now.HomeLocator).CompletedLoc;
    Setup.Home = home;
    if (moved) {
        HomePoint = HomeOf(home.HomeLocator);
        mapView->SetHome(HomePoint,
                         QString::fromStdString(calc::CheckHomeLoc(home.HomeLocator).CompletedLoc));
        Clouds->SetHome(HomePoint);
    }
    // The core is made again once the typing stops: "JO01" then "JO01MM" read the last hour back
    // once, not twice.
    HomeSettled->start();
}

void frmLive::HomeSetHere(window::Settings home) {
    SetHome(home);
    emit homeChanged(Setup.Home);
}

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

    QMenu *view = menuBar()->addMenu("&View");
    auto *themes = new QActionGroup(this);
    for (const auto &[name, text, theme] :
         {std::tuple{"mnuMapDesktop", "Map as the &desktop (light or dark)",
                     map::MapTheme::FollowDesktop},
          std::tuple{"mnuMapDay", "Map by d&ay", map::MapTheme::Day},
          std::tuple{"mnuMapNight", "Map by &night", map::MapTheme::Night}}) {
        QAction *action = view->addAction(text);
        action->setObjectName(name);
        action->setCheckable(true);
        action->setChecked(Remembered.MapTheme == theme);
        themes->addAction(action);
        connect(action, &QAction::triggered, this, [this, chosen = theme] {
            Remembered.MapTheme = chosen;
            SaveLiveSettings(Setup.ConfigDir, Remembered);
            ApplyMapTheme();
        });
    }
    BuildMapMenu(file, view);
}

void frmLive::ApplyMapTheme() {
    const bool night =
        Remembered.MapTheme == map::MapTheme::Night ||
        (Remembered.MapTheme == map::MapTheme::FollowDesktop && map::IsDark(palette()));
    mapView->SetPalette(night ? map::NightPalette() : map::DayPalette());
}

void frmLive::changeEvent(QEvent *event) {
    QMainWindow::changeEvent(event);
    // The desktop's palette changed (a theme switched at dusk): the map follows when it may.
    if (event->type() == QEvent::PaletteChange && mapView != nullptr) {
        ApplyMapTheme();
    }
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
