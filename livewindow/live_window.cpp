#include "live_window.h"

#include "calc/home_location.h"
#include "calc/locator.h"
#include "cluster/cluster_settings.h"
#include "cluster/login_fields.h"
#include "connection_words.h"
#include "elided_label.h"
#include "station/host_port.h"
#include "window_style.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
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

// Splitter shares at first start, before the user moves them: the map takes most of the width.
constexpr int MapShare = 700;
constexpr int SideShare = 560;
// Space above and below the text of a table row (pixels).
constexpr int RowPaddingPx = 6;
constexpr int BandPanelShare = 260;
constexpr int CloudTableShare = 200;
constexpr int SpotListShare = 260;
// A new home is taken by the core this long after its last change (ms): a locator typed in the
// calculator changes with every key.
constexpr int HomeSettleMs = 400;
// Characters the spot list's filters show at their narrowest ("All so..." "6 m").
constexpr int FilterChars = 6;

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

map::GeoPoint HomeOf(const std::string &homeLocator) {
    calc::HomeCheck check = calc::CheckHomeLoc(homeLocator);
    if (check.StatusCode != 0) {
        // A home locator the calculator refuses: the map still needs a centre, and the
        // calculator's own filler stands for a missing one.
        check = calc::CheckHomeLoc("");
    }
    return map::GeoPoint{check.Home.LatDeg, check.Home.LonDeg};
}

frmLive::frmLive(LiveWindowSetup setup, QWidget *parent)
    : QMainWindow(parent), Setup(std::move(setup)), Remembered(LoadLiveSettings(Setup.ConfigDir)),
      HomePoint(HomeOf(Setup.Home.HomeLocator)) {
    setObjectName("frmLive");
    setWindowTitle(LiveTitle);
    Live = std::make_unique<SpotRowCache>();

    auto *client = new QWidget(this);
    setCentralWidget(client);
    auto *layout = new QVBoxLayout(client);
    auto *bar = new QHBoxLayout;
    bar->addWidget(BuildClusterBar(), 3);
    bar->addWidget(BuildFeedBar(), 2);
    wsjtxBar = new WsjtxBar(
        Remembered, [this] { SaveLiveSettings(Setup.ConfigDir, Remembered); }, Setup.NowUtc,
        client);
    bar->addWidget(wsjtxBar, 1);
    layout->addLayout(bar);

    splitMain = new QSplitter(Qt::Horizontal, client);
    splitMain->setObjectName("splitMain");
    // The map with the review's slider under it.
    auto *mapColumn = new QWidget(splitMain);
    auto *mapLayout = new QVBoxLayout(mapColumn);
    mapLayout->setContentsMargins(0, 0, 0, 0);
    mapView = new map::MapView(mapColumn);
    mapView->setObjectName("mapView");
    // The banner lies over the top of the map, outside every layout: showing it moves nothing,
    // and acknowledging it leaves no empty strip behind.
    cmdAlarm = new QPushButton(mapView);
    cmdAlarm->setObjectName("cmdAlarm");
    cmdAlarm->setStyleSheet("QPushButton { background: #c62828; color: white; border: none;"
                            " padding: 10px; text-align: left; }");
    SetBold(cmdAlarm, AlarmPointSize);
    cmdAlarm->hide();
    mapView->installEventFilter(this);
    connect(cmdAlarm, &QPushButton::clicked, this, &frmLive::AcknowledgeAlarm);
    actAcknowledge = new QAction("Acknowledge the alarm", this);
    actAcknowledge->setObjectName("actAcknowledge");
    actAcknowledge->setShortcut(QKeySequence(Qt::Key_Escape));
    actAcknowledge->setEnabled(false);
    addAction(actAcknowledge);
    connect(actAcknowledge, &QAction::triggered, this, &frmLive::AcknowledgeAlarm);
    BuildTurnBeam();

    mapView->SetHome(
        HomePoint, QString::fromStdString(calc::CheckHomeLoc(Setup.Home.HomeLocator).CompletedLoc));
    mapView->SetOneHopKm(Setup.Tracker.Classifier.MaxDistanceKm);
    if (Setup.Outlines) {
        mapView->SetOutlines(Setup.Outlines);
    } else {
        ReadOutlinesOnceDrawn();
    }
    mapLayout->addWidget(mapView, 1);
    mapLayout->addWidget(BuildReviewBar(mapColumn));
    splitMain->addWidget(mapColumn);

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
    connect(bandPanel, &BandPanel::turnBeamAsked, this, [this](double azimuthDeg) {
        if (Setup.Outlet != nullptr) {
            Setup.Outlet->TurnBeamTo(azimuthDeg);
        }
    });
    connect(bandPanel, &BandPanel::alarmBandChanged, this, [this](spot::Band band) {
        if (live::CoreControl *core = Live->Core()) {
            core->SetAlarmBand(band);
        }
        Remembered.AlarmBand = band;
        SaveLiveSettings(Setup.ConfigDir, Remembered);
    });
    RefreshTimer = new QTimer(this);
    RefreshTimer->setSingleShot(true);
    RefreshTimer->setInterval(Setup.RefreshIntervalMs);
    connect(RefreshTimer, &QTimer::timeout, this, &frmLive::Refresh);
    connect(Live.get(), &SpotRowCache::changed, this, &frmLive::RefreshSoon);
    connect(Live.get(), &SpotRowCache::alarmed, this, &frmLive::ShowAlarm);

    HomeSettled = new QTimer(this);
    HomeSettled->setSingleShot(true);
    HomeSettled->setInterval(HomeSettleMs);
    connect(HomeSettled, &QTimer::timeout, this, &frmLive::ReopenCore);
    StartCluster = Remembered.ClusterAtStart;
    StartFeed = Remembered.FeedAtStart;
    BuildMenu();
    ApplyMapTheme();
    RestoreState();
    // The session's end (logout, SIGTERM) quits the program as Exit does, and a logout asks the
    // windows to keep their data first: the window saves then as on close.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &frmLive::SaveState);
    connect(qApp, &QGuiApplication::commitDataRequest, this, &frmLive::SaveState);
    if (Setup.CoreOnceDrawn) {
        connect(this, &frmLive::firstFrameDrawn, this, &frmLive::AttachCore);
    } else {
        AttachCore();
    }
}

frmLive::~frmLive() {
    if (OutlinesReader != nullptr) {
        // The reader holds nothing of the window's, but must end before its QThread goes.
        OutlinesReader->wait();
    }
    if (live::CoreControl *core = Live->Core()) {
        core->StopAll();
    }
}

tracker::HomeSettings frmLive::TrackerHome() const {
    return {Setup.Home.HomeLocator, Setup.Home.EsLayerHeightKm, Setup.Home.HomeHeightKm};
}

void frmLive::AttachCore() {
    live::CoreSetup setup;
    setup.Format = Setup.Format;
    setup.Home = TrackerHome();
    setup.Tracker = Setup.Tracker;
    setup.NowUtc = Setup.NowUtc;
    Live->Attach(Setup.OpenCore(std::move(setup)));
    live::CoreControl &core = *Live->Core();
    wsjtxBar->UseCore(core);
    if (Setup.Outlet != nullptr) {
        Setup.Outlet->CoreAttached(core);
        Setup.Outlet->FollowRotator(
            [this](auto azimuthDeg) { mapView->SetRotatorDeg(azimuthDeg); });
    }
    core.Subscribe(this, [this](const live::LiveEvent &event) { Heard(event); });
    {
        // The home's region decides the alarm band until the user chooses one: the region's
        // choice is not kept as the user's.
        const QSignalBlocker quiet(bandPanel);
        bandPanel->SetAlarmBand(Remembered.AlarmBand.value_or(core.Snapshot().AlarmBand));
    }
    core.SetAlarmBand(bandPanel->AlarmBand());
    core.Open();
    AttachReview();
    if (StartCluster) {
        ClusterConnectClicked();
    }
    if (StartFeed) {
        FeedConnectClicked();
    }
}

live::CoreControl *frmLive::CoreFor(QLabel *state) {
    live::CoreControl *core = Live->Core();
    if (core == nullptr) {
        // Made once the window has been drawn.
        state->setText("Starting the live sources…");
    }
    return core;
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

QWidget *frmLive::BuildSpotList() {
    auto *box = new QWidget(this);
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *top = new QHBoxLayout;
    auto *title = new ElidedLabel("Newest spots", box);
    SetBold(title, StatePointSize);
    cmbSpotBand = new QComboBox(box);
    cmbSpotBand->setObjectName("cmbSpotBand");
    cmbSpotBand->addItem("All bands", -1);
    for (const spot::Band band : spot::AllBands) {
        cmbSpotBand->addItem(BandLabel(band), static_cast<int>(band));
    }
    cmbSpotSource = new QComboBox(box);
    cmbSpotSource->setObjectName("cmbSpotSource");
    cmbSpotSource->addItem("All sources", -1);
    cmbSpotSource->addItem("Cluster", static_cast<int>(SpotSource::Cluster));
    cmbSpotSource->addItem("Feed", static_cast<int>(SpotSource::Feed));
    cmbSpotSource->addItem("Own decodes", static_cast<int>(SpotSource::Wsjtx));
    // The filters give up width before the map does: their choices are short words.
    for (QComboBox *filter : {cmbSpotBand, cmbSpotSource}) {
        filter->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        filter->setMinimumContentsLength(FilterChars);
    }
    auto *filterLabel = new QLabel("&Show", box);
    filterLabel->setBuddy(cmbSpotBand);
    top->addWidget(title, 1);
    top->addWidget(filterLabel);
    top->addWidget(cmbSpotBand);
    top->addWidget(cmbSpotSource);
    layout->addLayout(top);
    SpotsModel = new SpotListModel(this);
    tblSpots = new QTableView(box);
    tblSpots->setObjectName("tblSpots");
    tblSpots->setModel(SpotsModel);
    tblSpots->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblSpots->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblSpots->verticalHeader()->hide();
    tblSpots->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + RowPaddingPx);
    tblSpots->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // Columns fit the rows in view: measuring all thousand rows' texts again at every refresh
    // was the costliest part of it at the feed's rate.
    tblSpots->horizontalHeader()->setResizeContentsPrecision(0);
    tblSpots->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(tblSpots, 1);
    connect(cmbSpotBand, &QComboBox::currentIndexChanged, this, [this] {
        const int band = cmbSpotBand->currentData().toInt();
        SpotsModel->SetBandFilter(band < 0 ? std::nullopt
                                           : std::optional(static_cast<spot::Band>(band)));
        Remembered.SpotBandIndex = cmbSpotBand->currentIndex();
        SaveLiveSettings(Setup.ConfigDir, Remembered);
    });
    connect(cmbSpotSource, &QComboBox::currentIndexChanged, this, [this] {
        const int source = cmbSpotSource->currentData().toInt();
        SpotsModel->SetSourceFilter(source < 0 ? std::nullopt
                                               : std::optional(static_cast<SpotSource>(source)));
        Remembered.SpotSourceIndex = cmbSpotSource->currentIndex();
        SaveLiveSettings(Setup.ConfigDir, Remembered);
    });
    return box;
}

} // namespace ionvane::livewindow
