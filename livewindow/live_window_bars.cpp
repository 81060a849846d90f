// The live window's cluster and feed bars and its spot list: how they are built, and what their
// buttons start and stop.
#include "live_window.h"

#include "cluster/cluster_settings.h"
#include "cluster/host_port.h"
#include "connection_words.h"
#include "live_window_parts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

namespace ionvane::livewindow {

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

void frmLive::ClusterConnectClicked() {
    live::LiveCore &core = Live->Core();
    if (core.ClusterRunning()) {
        core.StopCluster();
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
    cmdClusterConnect->setText("Dis&connect");
    core.StartCluster(settings.Host, settings.Port, std::move(config));
}

void frmLive::Heard(const live::LiveEvent &event) {
    if (const auto *node = std::get_if<live::ClusterConnection>(&event)) {
        ClusterChanged(node->Event);
    } else if (const auto *feed = std::get_if<live::FeedConnection>(&event)) {
        FeedChanged(feed->Event);
    } else if (const auto *problem = std::get_if<live::StoreProblem>(&event)) {
        statusBar()->showMessage(Q(problem->Message));
    }
}

void frmLive::ClusterChanged(const cluster::ConnectionEvent &event) {
    lblClusterState->setText(ClusterStateWords(event, ClusterHost));
    if (event.What == cluster::ConnectionEvent::Kind::Refused) {
        // The node said no: the session has ended, and the button offers a new start.
        cmdClusterConnect->setText("&Connect");
    }
}

void frmLive::FeedConnectClicked() {
    live::LiveCore &core = Live->Core();
    if (core.FeedRunning()) {
        core.StopFeed();
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
    cmdFeedConnect->setText("Disco&nnect");
    core.StartFeed(settings);
}

void frmLive::FeedChanged(const feed::FeedEvent &event) {
    lblFeedState->setText(FeedStateWords(event));
    if (event.Connection == feed::FeedConnection::Refused) {
        cmdFeedConnect->setText("Co&nnect");
    }
}

} // namespace ionvane::livewindow
