#include "live_window.h"

#include "calc/home_location.h"
#include "calc/locator.h"
#include "cluster/cluster_settings.h"
#include "cluster/host_port.h"
#include "connection_words.h"

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

// The alarm banner's type: the largest on the window, read across the room (points).
constexpr double AlarmPointSize = 17;
// The connection states: a little larger than the controls around them (points).
constexpr double StatePointSize = 11;
// Splitter shares at first start, before the user moves them: the map takes most of the width.
constexpr int MapShare = 700;
constexpr int SideShare = 560;
// The first size: room for the map, the band panel and a dozen rows of each table on a 1366x768
// laptop screen or larger (pixels).
constexpr int DefaultWidthPx = 1280;
constexpr int DefaultHeightPx = 760;
// Space above and below the text of a table row (pixels).
constexpr int RowPaddingPx = 6;
constexpr int BandPanelShare = 260;
constexpr int CloudTableShare = 200;
constexpr int SpotListShare = 260;

constexpr const char *GeometryKey = "live/geometry";
constexpr const char *MainSplitterKey = "live/splitMain";
constexpr const char *SideSplitterKey = "live/splitSide";
constexpr const char *AlarmBandKey = "live/alarmBand";
constexpr const char *SpotBandKey = "live/spotBand";
constexpr const char *BrokerKey = "feed/broker";
constexpr const char *FeedBandsKey = "feed/bands";

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

map::GeoPoint HomeOf(const std::string &homeLocator) {
    calc::HomeCheck check = calc::CheckHomeLoc(homeLocator);
    if (check.StatusCode != 0) {
        // A home locator the calculator refuses: the map still needs a centre, and the
        // calculator's own filler stands for a missing one.
        check = calc::CheckHomeLoc("");
    }
    return map::GeoPoint{check.Home.LatDeg, check.Home.LonDeg};
}

std::optional<map::GeoPoint> LocatorPoint(const std::string &locator) {
    if (locator.size() != 6 ||
        calc::FirstInvalidPosition(std::u32string(locator.begin(), locator.end())) != 0) {
        return std::nullopt;
    }
    const calc::Position position = calc::DecodeLocator(std::string_view(locator));
    return map::GeoPoint{position.LatDeg, position.LonDeg};
}

QString DefaultBroker() {
    return Q(feed::PublicBroker) + ":" + QString::number(feed::MqttPort);
}

void SetBold(QWidget *widget, double pointSize) {
    QFont font = widget->font();
    font.setPointSizeF(pointSize);
    font.setBold(true);
    widget->setFont(font);
}

} // namespace

frmLive::frmLive(LiveWindowSetup setup, QWidget *parent)
    : QMainWindow(parent), Setup(std::move(setup)),
      Stored(Setup.ConfigDir + "/live.ini", QSettings::IniFormat),
      HomePoint(HomeOf(Setup.Home.HomeLocator)) {
    setObjectName("frmLive");
    setWindowTitle(LiveTitle);
    Live = std::make_unique<LiveSession>(
        tracker::SpotCalculator(Setup.Format, tracker::HomeSettings{Setup.Home.HomeLocator,
                                                                    Setup.Home.EsLayerHeightKm,
                                                                    Setup.Home.HomeHeightKm}),
        Setup.Tracker, Setup.Store, Setup.NowUtc);

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
        Live->SetAlarmBand(band);
        Stored.setValue(AlarmBandKey, Q(tracker::BandName(band)));
    });
    RefreshTimer = new QTimer(this);
    RefreshTimer->setSingleShot(true);
    RefreshTimer->setInterval(Setup.RefreshIntervalMs);
    connect(RefreshTimer, &QTimer::timeout, this, &frmLive::Refresh);
    connect(Live.get(), &LiveSession::changed, this, &frmLive::RefreshSoon);
    connect(Live.get(), &LiveSession::alarmed, this, &frmLive::ShowAlarm);

    RestoreState();
    Live->Restore();
    Live->StartAgeing();
    if (!Setup.StoreMessage.isEmpty()) {
        statusBar()->showMessage(Setup.StoreMessage);
    }
}

frmLive::~frmLive() {
    if (OutlinesReader != nullptr) {
        // The reader holds nothing of the window's, but must end before its QThread goes.
        OutlinesReader->wait();
    }
    if (Cluster) {
        Cluster->Stop();
    }
    if (Feed) {
        Feed->Stop();
    }
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

void frmLive::UseStore(history::HistoryStore *store, const QString &message) {
    Setup.Store = store;
    Live->SetStore(store);
    Live->Restore();
    if (!message.isEmpty()) {
        statusBar()->showMessage(message);
    }
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

QWidget *frmLive::BuildClusterBar() {
    auto *box = new QGroupBox("DX cluster", this);
    auto *grid = new QGridLayout(box);
    const cluster::ClusterSettings settings = cluster::LoadClusterSettings(Setup.ConfigDir);
    txtClusterHost = new QLineEdit(settings.Host, box);
    txtClusterHost->setObjectName("txtClusterHost");
    txtClusterHost->setPlaceholderText("node host");
    spnClusterPort = new QSpinBox(box);
    spnClusterPort->setObjectName("spnClusterPort");
    spnClusterPort->setRange(1, static_cast<int>(cluster::MaxPort));
    spnClusterPort->setValue(settings.Port);
    txtCall = new QLineEdit(settings.Call, box);
    txtCall->setObjectName("txtCall");
    txtCall->setPlaceholderText("your call");
    const cluster::StoredPassword stored = cluster::LoadPassword(Setup.ConfigDir);
    txtPassword = new QLineEdit(stored.Password, box);
    txtPassword->setObjectName("txtPassword");
    txtPassword->setEchoMode(QLineEdit::Password);
    txtPassword->setPlaceholderText("optional");
    txtCommands = new QLineEdit(settings.Commands.join("; "), box);
    txtCommands->setObjectName("txtCommands");
    txtCommands->setPlaceholderText("commands after login, separated by ;");
    cmdClusterConnect = new QPushButton("&Connect", box);
    cmdClusterConnect->setObjectName("cmdClusterConnect");
    lblClusterState = new QLabel(stored.Problem == cluster::PasswordProblem::ReadableByOthers
                                     ? "The stored password could be read by others: enter it again"
                                     : DisconnectedWords,
                                 box);
    lblClusterState->setObjectName("lblClusterState");
    SetBold(lblClusterState, StatePointSize);

    const auto caption = [box](const char *text, QWidget *buddy) {
        auto *label = new QLabel(text, box);
        label->setBuddy(buddy);
        return label;
    };
    grid->addWidget(caption("&Host", txtClusterHost), 0, 0);
    grid->addWidget(txtClusterHost, 0, 1);
    grid->addWidget(caption("P&ort", spnClusterPort), 0, 2);
    grid->addWidget(spnClusterPort, 0, 3);
    grid->addWidget(caption("Ca&ll", txtCall), 0, 4);
    grid->addWidget(txtCall, 0, 5);
    grid->addWidget(caption("Pass&word", txtPassword), 0, 6);
    grid->addWidget(txtPassword, 0, 7);
    grid->addWidget(caption("Co&mmands", txtCommands), 1, 0);
    grid->addWidget(txtCommands, 1, 1, 1, 5);
    grid->addWidget(cmdClusterConnect, 1, 6, 1, 2);
    grid->addWidget(lblClusterState, 2, 0, 1, 8);
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(5, 1);
    grid->setColumnStretch(7, 1);
    connect(cmdClusterConnect, &QPushButton::clicked, this, &frmLive::ClusterConnectClicked);
    return box;
}

QWidget *frmLive::BuildFeedBar() {
    auto *box = new QGroupBox("PSK Reporter feed", this);
    auto *grid = new QGridLayout(box);
    txtBroker = new QLineEdit(Stored.value(BrokerKey, DefaultBroker()).toString(), box);
    txtBroker->setObjectName("txtBroker");
    auto *brokerLabel = new QLabel("&Broker", box);
    brokerLabel->setBuddy(txtBroker);
    grid->addWidget(brokerLabel, 0, 0);
    grid->addWidget(txtBroker, 0, 1, 1, 4);
    QStringList chosen;
    for (const feed::FeedBand band : feed::DefaultBands()) {
        chosen << Q(feed::BandName(band));
    }
    chosen = Stored.value(FeedBandsKey, chosen).toStringList();
    int column = 1;
    for (const tracker::Band band : tracker::AllBands) {
        const QString name = Q(tracker::BandName(band));
        auto *check = new QCheckBox(BandLabel(band), box);
        check->setObjectName("chkFeed" + name);
        check->setChecked(chosen.contains(name));
        chkFeedBands[tracker::BandIndex(band)] = check;
        grid->addWidget(check, 1, column++);
    }
    cmdFeedConnect = new QPushButton("Co&nnect", box);
    cmdFeedConnect->setObjectName("cmdFeedConnect");
    grid->addWidget(new QLabel("Bands", box), 1, 0);
    grid->addWidget(cmdFeedConnect, 1, 5);
    lblFeedState = new QLabel(DisconnectedWords, box);
    lblFeedState->setObjectName("lblFeedState");
    SetBold(lblFeedState, StatePointSize);
    grid->addWidget(lblFeedState, 2, 0, 1, 6);
    connect(cmdFeedConnect, &QPushButton::clicked, this, &frmLive::FeedConnectClicked);
    return box;
}

QWidget *frmLive::BuildSpotList() {
    auto *box = new QWidget(this);
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *top = new QHBoxLayout;
    auto *title = new QLabel("Newest spots", box);
    SetBold(title, StatePointSize);
    cmbSpotBand = new QComboBox(box);
    cmbSpotBand->setObjectName("cmbSpotBand");
    cmbSpotBand->addItem("All bands", -1);
    for (const tracker::Band band : tracker::AllBands) {
        cmbSpotBand->addItem(BandLabel(band), static_cast<int>(band));
    }
    auto *filterLabel = new QLabel("Sho&w", box);
    filterLabel->setBuddy(cmbSpotBand);
    top->addWidget(title, 1);
    top->addWidget(filterLabel);
    top->addWidget(cmbSpotBand);
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
                                           : std::optional(static_cast<tracker::Band>(band)));
        Stored.setValue(SpotBandKey, cmbSpotBand->currentIndex());
    });
    return box;
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
    Live->SetAlarmBand(bandPanel->AlarmBand());
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

void frmLive::RefreshSoon() {
    // Every report changes the session; the widgets show the changes a few times a second, all
    // those gathered since the last time at once.
    if (Setup.RefreshIntervalMs <= 0) {
        Refresh();
    } else if (!RefreshTimer->isActive()) {
        RefreshTimer->start();
    }
}

void frmLive::Refresh() {
    RefreshTimer->stop();
    const std::optional<int> selected = SelectedCloudId();
    Clouds->SetClouds(Live->Clouds(), Live->Now());
    if (selected) {
        // A new set of clouds resets the table: the cloud the user picked stays picked.
        for (int row = 0; row < CloudsSorted->rowCount(); ++row) {
            const QModelIndex index = CloudsSorted->index(row, 0);
            if (index.data(CloudTableModel::CloudIdRole).toInt() == *selected) {
                tblClouds->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect |
                                                               QItemSelectionModel::Rows);
                break;
            }
        }
    }
    SpotsModel->SetSpots(Live->Spots());
    const tracker::VerdictEvent verdict = Live->Verdict();
    bandPanel->SetVerdict(verdict);
    const std::optional<tracker::Band> highest = bandPanel->HighestPossible();
    setWindowTitle(highest ? QString("%1 - %2 possible").arg(LiveTitle, BandLabel(*highest))
                           : QString(LiveTitle));
    RefreshMap();
}

void frmLive::RefreshMap() {
    map::MapScene scene;
    scene.Paths = Live->RecentPaths();
    for (const tracker::CloudEvent &cloud : Live->Clouds()) {
        map::CloudPatch patch;
        patch.Id = cloud.Cloud.Id;
        patch.Centre = map::GeoPoint{cloud.Cloud.LatDeg, cloud.Cloud.LonDeg};
        patch.HighestFreqMHz = cloud.Cloud.HighestFreqMHz;
        if (cloud.Cloud.Movement) {
            patch.Drift =
                map::CloudDrift{cloud.Cloud.Movement->SpeedKmh, cloud.Cloud.Movement->TowardsDeg};
        }
        patch.Fading = cloud.State == tracker::CloudState::Fading;
        scene.Clouds.push_back(patch);
    }
    // The map paints patches in order, and at a wide view neighbouring patches overlap: the
    // clouds that matter most (live, then highest frequency) go on top.
    std::stable_sort(scene.Clouds.begin(), scene.Clouds.end(),
                     [](const map::CloudPatch &a, const map::CloudPatch &b) {
                         return std::pair(!a.Fading, a.HighestFreqMHz) <
                                std::pair(!b.Fading, b.HighestFreqMHz);
                     });
    if (const std::optional<tracker::Band> band = bandPanel->SelectedBand()) {
        const tracker::BandVerdict verdict = Live->Verdict().Bands[tracker::BandIndex(*band)];
        const auto towards = LocatorPoint(verdict.Home.TowardsLoc);
        for (const map::CloudPatch &patch : scene.Clouds) {
            if (verdict.CloudId && patch.Id == *verdict.CloudId && towards) {
                scene.Selected = map::SelectedBandLine{
                    patch.Centre, *towards,
                    (BandLabel(*band) + " " + QString::fromStdString(verdict.Home.TowardsLoc) +
                     QString(" %1°").arg(std::lround(verdict.Home.AzimuthDeg) % 360))
                        .toStdString()};
            }
        }
    }
    scene.HighlightedCloudId = HighlightedCloud;
    mapView->SetScene(std::move(scene));
}

std::optional<int> frmLive::SelectedCloudId() const {
    const QModelIndexList rows = tblClouds->selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        return std::nullopt;
    }
    return rows.front().data(CloudTableModel::CloudIdRole).toInt();
}

void frmLive::CloudSelected() {
    const std::optional<int> selected = SelectedCloudId();
    if (selected != HighlightedCloud &&
        (selected || !tblClouds->selectionModel()->hasSelection())) {
        HighlightedCloud = selected;
        RefreshMap();
    }
}

void frmLive::CloudActivated(const QModelIndex &index) {
    const int id = index.data(CloudTableModel::CloudIdRole).toInt();
    if (const std::optional<SpotRow> best = Live->BestSpotOf(id)) {
        emit spotChosen(QString::fromStdString(best->Read.FromLoc),
                        QString::fromStdString(best->Read.ToLoc),
                        QString::fromStdString(best->Read.FreqMHzText));
    }
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

void frmLive::ClusterConnectClicked() {
    if (Cluster) {
        Cluster->Stop();
        Cluster->deleteLater();
        Cluster.clear();
        cmdClusterConnect->setText("&Connect");
        lblClusterState->setText(DisconnectedWords);
        return;
    }
    cluster::ClusterSettings settings;
    settings.Host = txtClusterHost->text().trimmed();
    settings.Port = static_cast<std::uint16_t>(spnClusterPort->value());
    settings.Call = txtCall->text().trimmed().toUpper();
    for (const QString &command : txtCommands->text().split(';', Qt::SkipEmptyParts)) {
        // A line end inside a command would send a second one.
        const QString oneLine = command.trimmed().remove('\r').remove('\n');
        if (!oneLine.isEmpty()) {
            settings.Commands << oneLine;
        }
    }
    if (settings.Host.isEmpty() || settings.Call.isEmpty()) {
        lblClusterState->setText("Enter the node's host and your call");
        return;
    }
    cluster::SaveClusterSettings(Setup.ConfigDir, settings);
    const QString password = txtPassword->text().remove('\r').remove('\n');
    if (password != cluster::LoadPassword(Setup.ConfigDir).Password) {
        cluster::SavePassword(Setup.ConfigDir, password);
    }
    cluster::SessionConfig config;
    config.Node = (settings.Host + ":" + QString::number(settings.Port)).toStdString();
    config.Call = settings.Call.toStdString();
    config.Password = password.toStdString();
    for (const QString &command : settings.Commands) {
        config.Commands.push_back(command.toStdString());
    }
    ClusterHost = settings.Host;
    Cluster = new cluster::ClusterSession(settings.Host, settings.Port, std::move(config),
                                          Setup.SessionClock, this);
    connect(Cluster, &cluster::ClusterSession::connectionChanged, this,
            [this](const QDateTime &, const cluster::ConnectionEvent &event) {
                ClusterChanged(event);
            });
    connect(Cluster, &cluster::ClusterSession::lineReceived, this,
            [this](const QDateTime &time, const std::string &line) {
                Live->ClusterLine(time.toSecsSinceEpoch(), line);
            });
    cmdClusterConnect->setText("Dis&connect");
    Cluster->Start();
}

void frmLive::ClusterChanged(const cluster::ConnectionEvent &event) {
    lblClusterState->setText(ClusterStateWords(event, ClusterHost));
    if (event.What == cluster::ConnectionEvent::Kind::Refused) {
        // The node said no: no retry, and the button offers a new start.
        if (Cluster) {
            Cluster->deleteLater();
            Cluster.clear();
        }
        cmdClusterConnect->setText("&Connect");
    }
}

void frmLive::FeedConnectClicked() {
    if (Feed) {
        Feed->Stop();
        Feed->deleteLater();
        Feed.clear();
        cmdFeedConnect->setText("Co&nnect");
        lblFeedState->setText(DisconnectedWords);
        return;
    }
    feed::FeedSettings settings;
    const cluster::HostReading broker = cluster::ReadHostAndPort(txtBroker->text());
    if (broker.Problem != cluster::HostProblem::None) {
        lblFeedState->setText("Enter the broker as host:port");
        return;
    }
    settings.Host = broker.Read.Host.toStdString();
    settings.Port = broker.Read.Port.value_or(feed::MqttPort);
    settings.Bands.clear();
    for (const tracker::Band band : tracker::AllBands) {
        if (chkFeedBands[tracker::BandIndex(band)]->isChecked()) {
            // The feed names its bands as the tracker does.
            settings.Bands.push_back(*feed::BandFromText(tracker::BandName(band)));
        }
    }
    SaveState();
    Feed = new feed::FeedSource(settings, Setup.FeedEnvironment, {}, this);
    connect(Feed, &feed::FeedSource::Event, this, &frmLive::FeedEvent);
    cmdFeedConnect->setText("Disco&nnect");
    Feed->Start();
}

void frmLive::FeedEvent(const feed::FeedEvent &event) {
    if (event.What != feed::FeedEvent::Kind::Connection) {
        Live->FeedReport(event);
        return;
    }
    lblFeedState->setText(FeedStateWords(event));
    if (event.Connection == feed::FeedConnection::Refused) {
        cmdFeedConnect->setText("Co&nnect");
        if (Feed) {
            Feed->deleteLater();
            Feed.clear();
        }
    }
}

} // namespace ionvane::livewindow
