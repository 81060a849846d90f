#include "live_window.h"

#include "calc/home_location.h"
#include "calc/locator.h"
#include "cluster/cluster_settings.h"
#include "cluster/host_port.h"
#include "connection_words.h"
#include "live_window_parts.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <utility>

namespace ionvane::livewindow {

namespace {

map::GeoPoint HomeOf(const std::string &homeLocator) {
    calc::HomeCheck check = calc::CheckHomeLoc(homeLocator);
    if (check.StatusCode != 0) {
        // A home locator the calculator refuses: the map still needs a centre, and the
        // calculator's own filler stands for a missing one.
        check = calc::CheckHomeLoc("");
    }
    return map::GeoPoint{check.Home.LatDeg, check.Home.LonDeg};
}

} // namespace

frmLive::frmLive(LiveWindowSetup setup, QWidget *parent)
    : QMainWindow(parent), Setup(std::move(setup)),
      Stored(Setup.ConfigDir + "/live.ini", QSettings::IniFormat),
      HomePoint(HomeOf(Setup.Home.HomeLocator)) {
    setObjectName("frmLive");
    setWindowTitle(LiveTitle);
    live::CoreSetup core;
    core.Format = Setup.Format;
    core.Home = tracker::HomeSettings{Setup.Home.HomeLocator, Setup.Home.EsLayerHeightKm,
                                      Setup.Home.HomeHeightKm};
    core.Tracker = Setup.Tracker;
    core.NowUtc = Setup.NowUtc;
    core.SessionClock = Setup.SessionClock;
    core.FeedEnvironment = Setup.FeedEnvironment;
    Live = std::make_unique<LiveSession>(std::move(core));

    auto *client = new QWidget(this);
    setCentralWidget(client);
    auto *layout = new QVBoxLayout(client);
    auto *bar = new QHBoxLayout;
    bar->addWidget(BuildClusterBar(), 3);
    bar->addWidget(BuildFeedBar(), 2);
    layout->addLayout(bar);

    cmdAlarm = new QPushButton(client);
    cmdAlarm->setObjectName("cmdAlarm");
    cmdAlarm->setStyleSheet("QPushButton { background: #c62828; color: white; border: none;"
                            " padding: 10px; }");
    SetBold(cmdAlarm, AlarmPointSize);
    // The banner never widens the window, whatever its text.
    cmdAlarm->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    cmdAlarm->setMinimumWidth(1);
    cmdAlarm->hide();
    layout->addWidget(cmdAlarm);
    connect(cmdAlarm, &QPushButton::clicked, this, &frmLive::AcknowledgeAlarm);
    actAcknowledge = new QAction("Acknowledge the alarm", this);
    actAcknowledge->setObjectName("actAcknowledge");
    actAcknowledge->setShortcut(QKeySequence(Qt::Key_Escape));
    actAcknowledge->setEnabled(false);
    addAction(actAcknowledge);
    connect(actAcknowledge, &QAction::triggered, this, &frmLive::AcknowledgeAlarm);

    splitMain = new QSplitter(Qt::Horizontal, client);
    splitMain->setObjectName("splitMain");
    mapView = new map::MapView(splitMain);
    mapView->setObjectName("mapView");
    mapView->SetHome(
        HomePoint, QString::fromStdString(calc::CheckHomeLoc(Setup.Home.HomeLocator).CompletedLoc));
    mapView->SetOneHopKm(Setup.Tracker.Classifier.MaxDistanceKm);
    if (Setup.Outlines) {
        mapView->SetOutlines(Setup.Outlines);
    } else {
        ReadOutlinesOnceDrawn();
    }
    splitMain->addWidget(mapView);

    splitSide = new QSplitter(Qt::Vertical, splitMain);
    splitSide->setObjectName("splitSide");
    bandPanel = new BandPanel(splitSide);
    splitSide->addWidget(bandPanel);

    Clouds = new CloudTableModel(this);
    Clouds->SetHome(HomePoint);
    CloudsSorted = new QSortFilterProxyModel(this);
    CloudsSorted->setSourceModel(Clouds);
    CloudsSorted->setSortRole(CloudTableModel::SortRole);
    tblClouds = new QTableView(splitSide);
    tblClouds->setObjectName("tblClouds");
    tblClouds->setModel(CloudsSorted);
    tblClouds->setSortingEnabled(true);
    tblClouds->sortByColumn(CloudTableModel::HighestFreq, Qt::DescendingOrder);
    tblClouds->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblClouds->setSelectionMode(QAbstractItemView::SingleSelection);
    tblClouds->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblClouds->verticalHeader()->hide();
    // Rows as tight as the type allows: more clouds in view during an opening.
    tblClouds->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + RowPaddingPx);
    tblClouds->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tblClouds->setToolTip("Double-click a cloud to calculate its best spot in the main window");
    splitSide->addWidget(tblClouds);
    splitSide->addWidget(BuildSpotList());
    splitMain->addWidget(splitSide);
    splitMain->setStretchFactor(0, 1);
    splitMain->setSizes({MapShare, SideShare});
    splitSide->setSizes({BandPanelShare, CloudTableShare, SpotListShare});
    layout->addWidget(splitMain, 1);

    connect(tblClouds->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &frmLive::CloudSelected);
    connect(tblClouds, &QTableView::doubleClicked, this, &frmLive::CloudActivated);
    connect(bandPanel, &BandPanel::selectedBandChanged, this, &frmLive::RefreshMap);
    connect(bandPanel, &BandPanel::alarmBandChanged, this, [this](tracker::Band band) {
        Live->Core().SetAlarmBand(band);
        Stored.setValue(AlarmBandKey, Q(tracker::BandName(band)));
    });
    RefreshTimer = new QTimer(this);
    RefreshTimer->setSingleShot(true);
    RefreshTimer->setInterval(Setup.RefreshIntervalMs);
    connect(RefreshTimer, &QTimer::timeout, this, &frmLive::Refresh);
    connect(Live.get(), &LiveSession::changed, this, &frmLive::RefreshSoon);
    connect(Live.get(), &LiveSession::alarmed, this, &frmLive::ShowAlarm);
    connect(&Live->Core(), &live::LiveCore::happened, this, &frmLive::Heard);

    RestoreState();
    Live->Core().UseStore(Setup.Store);
    Live->Core().Restore();
    Live->Core().StartAgeing();
}

frmLive::~frmLive() {
    if (OutlinesReader != nullptr) {
        // The reader holds nothing of the window's, but must end before its QThread goes.
        OutlinesReader->wait();
    }
    Live->Core().Stop();
}

void frmLive::ReadOutlinesOnceDrawn() {
    // Decoding the outlines' 1.3 MB of TopoJSON takes twice as long as the rest of the window's
    // start (about 150 ms on one core): the window is drawn first with the map's grid and
    // rings, and the land follows when a worker, started then, has read it.
    auto result = std::make_shared<map::WorldOutlinesResult>();
    OutlinesReader = QThread::create([result] { *result = map::LoadWorldOutlines(); });
    OutlinesReader->setParent(this);
    connect(OutlinesReader, &QThread::finished, this, [this, result] {
        Setup.Outlines = result->Value;
        mapView->SetOutlines(result->Value, Q(result->Error));
        emit outlinesRead();
    });
    connect(this, &frmLive::firstFrameDrawn, OutlinesReader,
            [reader = OutlinesReader] { reader->start(); });
}

void frmLive::UseStore(history::HistoryStore *store) {
    Setup.Store = store;
    Live->Core().UseStore(store);
    Live->Core().Restore();
}

bool frmLive::event(QEvent *event) {
    const bool handled = QMainWindow::event(event);
    // The top-level widget paints the whole window when it handles its update request.
    if (event->type() == QEvent::UpdateRequest) {
        FirstFrame();
    }
    return handled;
}

void frmLive::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    // A window shown where nothing draws it (minimised, on a hidden screen) still opens its
    // store and reads its outlines, a second later (ms).
    constexpr int UndrawnFallbackMs = 1000;
    QTimer::singleShot(UndrawnFallbackMs, this, &frmLive::FirstFrame);
}

void frmLive::FirstFrame() {
    if (!FirstFrameDone) {
        FirstFrameDone = true;
        emit firstFrameDrawn();
    }
}

void frmLive::RestoreState() {
    if (!restoreGeometry(Stored.value(GeometryKey).toByteArray())) {
        resize(DefaultWidthPx, DefaultHeightPx);
    }
    splitMain->restoreState(Stored.value(MainSplitterKey).toByteArray());
    splitSide->restoreState(Stored.value(SideSplitterKey).toByteArray());
    const auto alarm = tracker::BandFromName(
        Stored.value(AlarmBandKey, Q(tracker::BandName(Setup.Tracker.AlarmFrom)))
            .toString()
            .toStdString());
    bandPanel->SetAlarmBand(alarm.value_or(Setup.Tracker.AlarmFrom));
    Live->Core().SetAlarmBand(bandPanel->AlarmBand());
    cmbSpotBand->setCurrentIndex(
        std::clamp(Stored.value(SpotBandKey, 0).toInt(), 0, cmbSpotBand->count() - 1));
}

void frmLive::SaveState() {
    Stored.setValue(GeometryKey, saveGeometry());
    Stored.setValue(MainSplitterKey, splitMain->saveState());
    Stored.setValue(SideSplitterKey, splitSide->saveState());
    Stored.setValue(AlarmBandKey, Q(tracker::BandName(bandPanel->AlarmBand())));
    Stored.setValue(SpotBandKey, cmbSpotBand->currentIndex());
    Stored.setValue(BrokerKey, txtBroker->text().trimmed());
    QStringList bands;
    for (const tracker::Band band : tracker::AllBands) {
        if (chkFeedBands[tracker::BandIndex(band)]->isChecked()) {
            bands << Q(tracker::BandName(band));
        }
    }
    Stored.setValue(FeedBandsKey, bands);
    Stored.sync();
}

void frmLive::closeEvent(QCloseEvent *event) {
    SaveState();
    event->accept();
}

void frmLive::ShowAlarm(const tracker::AlarmEvent &alarm) {
    // The banner says what to do in a few words, read across the room; the tracker's whole
    // sentence is in its tool tip and in the desktop's notification.
    const tracker::HomeFigures home = Live->Verdict().Bands[tracker::BandIndex(alarm.Which)].Home;
    const QString text =
        QString("%1 OPEN   beam %2°   towards %3   %4 MHz")
            .arg(BandLabel(alarm.Which))
            .arg(std::lround(home.AzimuthDeg) % 360)
            .arg(QString::fromStdString(home.TowardsLoc))
            .arg(QString::number(static_cast<double>(home.TrafficFreqMHz), 'f', 2));
    cmdAlarm->setText(text + "    (click or Esc)");
    cmdAlarm->setToolTip(QString::fromStdString(alarm.Text) +
                         "\nClick or press Esc to acknowledge");
    cmdAlarm->show();
    actAcknowledge->setEnabled(true);
    if (Setup.Outlet != nullptr) {
        Setup.Outlet->Notify(QString(LiveTitle) + ": " + BandLabel(alarm.Which) + " open",
                             QString::fromStdString(alarm.Text));
        Setup.Outlet->Beep();
    }
}

void frmLive::AcknowledgeAlarm() {
    cmdAlarm->hide();
    actAcknowledge->setEnabled(false);
}

} // namespace ionvane::livewindow
