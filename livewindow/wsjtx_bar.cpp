#include "wsjtx_bar.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace ionvane::livewindow {

namespace {

// The state line in bold at the size of the other sources' state lines, points.
constexpr int StatePointSize = 11;

} // namespace

WsjtxBar::WsjtxBar(const QString &address, bool recordings, QWidget *parent)
    : QGroupBox("WSJT-X", parent) {
    auto *grid = new QGridLayout(this);
    txtWsjtx = new QLineEdit(address, this);
    txtWsjtx->setObjectName("txtWsjtx");
    txtWsjtx->setToolTip("The UDP Server of WSJT-X (Settings > Reporting): PORT or ADDRESS:PORT, "
                         "a multicast group such as 239.255.0.1:2237 to listen beside other "
                         "programs");
    auto *label = new QLabel("&UDP", this);
    label->setBuddy(txtWsjtx);
    chkWsjtxRecordings = new QCheckBox("&Recordings", this);
    chkWsjtxRecordings->setObjectName("chkWsjtxRecordings");
    chkWsjtxRecordings->setToolTip("Count decodes of recordings opened in WSJT-X, at the time "
                                   "they arrive");
    chkWsjtxRecordings->setChecked(recordings);
    cmdWsjtxListen = new QPushButton("&Listen", this);
    cmdWsjtxListen->setObjectName("cmdWsjtxListen");
    lblWsjtxState = new QLabel(NotListeningWords, this);
    lblWsjtxState->setObjectName("lblWsjtxState");
    QFont bold = lblWsjtxState->font();
    bold.setBold(true);
    bold.setPointSize(StatePointSize);
    lblWsjtxState->setFont(bold);
    grid->addWidget(label, 0, 0);
    grid->addWidget(txtWsjtx, 0, 1);
    grid->addWidget(chkWsjtxRecordings, 1, 0, 1, 2);
    grid->addWidget(cmdWsjtxListen, 1, 2);
    grid->addWidget(lblWsjtxState, 2, 0, 1, 3);
    connect(cmdWsjtxListen, &QPushButton::clicked, this, &WsjtxBar::listenClicked);
    connect(chkWsjtxRecordings, &QCheckBox::toggled, this, &WsjtxBar::recordingsToggled);
}

QString WsjtxBar::Address() const {
    return txtWsjtx->text();
}

bool WsjtxBar::Recordings() const {
    return chkWsjtxRecordings->isChecked();
}

void WsjtxBar::ShowListening(bool listening) {
    cmdWsjtxListen->setText(listening ? "S&top" : "&Listen");
    txtWsjtx->setEnabled(!listening);
}

void WsjtxBar::ShowWords(const QString &words) {
    lblWsjtxState->setText(words);
}

} // namespace ionvane::livewindow
