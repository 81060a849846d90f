// The live window's connection bars: the cluster node and the feed's broker, started and stopped
// in the live core, and the words of their states.
#include "live_window.h"

#include "cluster/cluster_settings.h"
#include "cluster/login_fields.h"
#include "connection_words.h"
#include "elided_label.h"
#include "station/host_port.h"
#include "window_style.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QValidator>

#include <algorithm>

namespace ionvane::livewindow {

namespace {

// Upper-cases a call as it is typed: the node and the log want "DK7UK", and the box shows what
// will be sent.
class UpperCase : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString &input, int & /*position*/) const override {
        input = input.toUpper();
        return Acceptable;
    }
};

} // namespace

QWidget *frmLive::BuildClusterBar() {
    auto *box = new QGroupBox("DX cluster", this);
    auto *grid = new QGridLayout(box);
    const cluster::ClusterSettings settings = cluster::LoadClusterSettings(Setup.ConfigDir);
    txtClusterHost = new QLineEdit(settings.Host, box);
    txtClusterHost->setObjectName("txtClusterHost");
    txtClusterHost->setPlaceholderText("node host");
    spnClusterPort = new QSpinBox(box);
    spnClusterPort->setObjectName("spnClusterPort");
    spnClusterPort->setRange(1, static_cast<int>(station::MaxPort));
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
    lblClusterState =
        new ElidedLabel(stored.Problem == cluster::PasswordProblem::ReadableByOthers
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
    chkClusterAtStart = new QCheckBox("At start", box);
    chkClusterAtStart->setObjectName("chkClusterAtStart");
    chkClusterAtStart->setToolTip("Log in to the node whenever the live window starts");
    chkClusterAtStart->setChecked(Remembered.ClusterAtStart);
    grid->addWidget(caption("Co&mmands", txtCommands), 1, 0);
    grid->addWidget(txtCommands, 1, 1, 1, 5);
    grid->addWidget(cmdClusterConnect, 1, 6, 1, 2);
    // Under Connect, where Password's caption and box give it room: beside Call it widened the
    // window by its text.
    grid->addWidget(lblClusterState, 2, 0, 1, 6);
    grid->addWidget(chkClusterAtStart, 2, 6, 1, 2);
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(5, 1);
    grid->setColumnStretch(7, 1);
    txtCall->setValidator(new UpperCase(txtCall));
    connect(cmdClusterConnect, &QPushButton::clicked, this, &frmLive::ClusterConnectClicked);
    // Enter in the login boxes connects, as in a login form; it never ends a running session.
    for (QLineEdit *field : {txtClusterHost, txtCall, txtPassword}) {
        connect(field, &QLineEdit::returnPressed, this, [this] {
            const live::CoreControl *core = Live->Core();
            if (core == nullptr || !core->Snapshot().ClusterRunning) {
                ClusterConnectClicked();
            }
        });
    }
    connect(chkClusterAtStart, &QCheckBox::toggled, this, [this](bool atStart) {
        Remembered.ClusterAtStart = atStart;
        SaveLiveSettings(Setup.ConfigDir, Remembered);
    });
    return box;
}

QWidget *frmLive::BuildFeedBar() {
    auto *box = new QGroupBox("PSK Reporter feed", this);
    auto *grid = new QGridLayout(box);
    txtBroker = new QLineEdit(Remembered.Broker, box);
    txtBroker->setObjectName("txtBroker");
    auto *brokerLabel = new QLabel("&Broker", box);
    brokerLabel->setBuddy(txtBroker);
    chkFeedAtStart = new QCheckBox("At start", box);
    chkFeedAtStart->setObjectName("chkFeedAtStart");
    chkFeedAtStart->setToolTip("Connect to the broker whenever the live window starts");
    chkFeedAtStart->setChecked(Remembered.FeedAtStart);
    grid->addWidget(brokerLabel, 0, 0);
    grid->addWidget(txtBroker, 0, 1, 1, 4);
    grid->addWidget(chkFeedAtStart, 0, 5);
    int column = 1;
    for (const spot::Band band : spot::AllBands) {
        auto *check = new QCheckBox(BandLabel(band), box);
        check->setObjectName("chkFeed" + QString::fromUtf8(spot::BandName(band).data()));
        check->setChecked(std::find(Remembered.FeedBands.begin(), Remembered.FeedBands.end(),
                                    band) != Remembered.FeedBands.end());
        chkFeedBands[spot::BandIndex(band)] = check;
        grid->addWidget(check, 1, column++);
    }
    cmdFeedConnect = new QPushButton("Co&nnect", box);
    cmdFeedConnect->setObjectName("cmdFeedConnect");
    grid->addWidget(new QLabel("Bands", box), 1, 0);
    grid->addWidget(cmdFeedConnect, 1, 5);
    lblFeedState = new ElidedLabel(DisconnectedWords, box);
    lblFeedState->setObjectName("lblFeedState");
    SetBold(lblFeedState, StatePointSize);
    grid->addWidget(lblFeedState, 2, 0, 1, 6);
    connect(cmdFeedConnect, &QPushButton::clicked, this, &frmLive::FeedConnectClicked);
    connect(chkFeedAtStart, &QCheckBox::toggled, this, [this](bool atStart) {
        Remembered.FeedAtStart = atStart;
        SaveLiveSettings(Setup.ConfigDir, Remembered);
    });
    return box;
}

void frmLive::ClusterConnectClicked() {
    live::CoreControl *core = CoreFor(lblClusterState);
    if (core == nullptr) {
        return;
    }
    if (core->Snapshot().ClusterRunning) {
        core->Stop(live::LineSource::Cluster);
        cmdClusterConnect->setText("&Connect");
        lblClusterState->setText(DisconnectedWords);
        return;
    }
    cluster::ClusterSettings settings;
    settings.Host = txtClusterHost->text().trimmed();
    settings.Port = static_cast<std::uint16_t>(spnClusterPort->value());
    settings.Call = txtCall->text().trimmed().toUpper();
    for (const QString &command : txtCommands->text().split(';', Qt::SkipEmptyParts)) {
        if (!command.trimmed().isEmpty()) {
            settings.Commands << command.trimmed();
        }
    }
    if (settings.Host.isEmpty() || settings.Call.isEmpty()) {
        lblClusterState->setText("Enter the node's host and your call");
        return;
    }
    const QString password = txtPassword->text();
    if (const auto problem =
            cluster::CheckLoginFields(settings.Call, password, settings.Commands)) {
        const char *field = problem->Field == cluster::LoginField::Call       ? "Call"
                            : problem->Field == cluster::LoginField::Password ? "Password"
                                                                              : "Commands";
        lblClusterState->setText(QString(field) + " " + problem->Words);
        return;
    }
    cluster::SaveClusterSettings(Setup.ConfigDir, settings);
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
    ClusterMemory = ConnectionMemory{};
    cmdClusterConnect->setText("Dis&connect");
    core->StartCluster(settings.Host, settings.Port, std::move(config));
}

void frmLive::Heard(const live::LiveEvent &event) {
    if (const auto *state = std::get_if<live::SourceState>(&event)) {
        if (const auto *node = std::get_if<live::ClusterConnection>(&state->News)) {
            ClusterChanged(node->Event, state->Ended);
        } else if (const auto *feed = std::get_if<live::FeedConnection>(&state->News)) {
            FeedChanged(feed->Event, state->Ended);
        }
    } else if (const auto *problem = std::get_if<live::StoreProblem>(&event)) {
        statusBar()->showMessage(QString::fromStdString(problem->Message));
    }
}

void frmLive::ClusterChanged(const cluster::ConnectionEvent &event, bool ended) {
    lblClusterState->setText(ClusterStateWords(event, ClusterHost, &ClusterMemory));
    if (ended) {
        // The session has ended for good: the button offers a new start.
        cmdClusterConnect->setText("&Connect");
    }
}

void frmLive::FeedConnectClicked() {
    live::CoreControl *core = CoreFor(lblFeedState);
    if (core == nullptr) {
        return;
    }
    if (core->Snapshot().FeedRunning) {
        core->Stop(live::LineSource::Feed);
        cmdFeedConnect->setText("Co&nnect");
        lblFeedState->setText(DisconnectedWords);
        return;
    }
    feed::FeedSettings settings;
    const station::HostReading broker = station::ReadHostAndPort(txtBroker->text());
    if (broker.Problem != station::HostProblem::None) {
        lblFeedState->setText("Enter the broker as host:port");
        return;
    }
    settings.Host = broker.Read.Host.toStdString();
    settings.Port = broker.Read.Port.value_or(feed::MqttPort);
    settings.Bands.clear();
    for (const spot::Band band : spot::AllBands) {
        if (chkFeedBands[spot::BandIndex(band)]->isChecked()) {
            settings.Bands.push_back(band);
        }
    }
    SaveState();
    FeedMemory = ConnectionMemory{};
    cmdFeedConnect->setText("Disco&nnect");
    core->StartFeed(settings);
}

void frmLive::FeedChanged(const feed::FeedEvent &event, bool ended) {
    lblFeedState->setText(FeedStateWords(event, &FeedMemory));
    if (ended) {
        cmdFeedConnect->setText("Co&nnect");
    }
}

} // namespace ionvane::livewindow
