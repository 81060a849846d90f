#include "wsjtx_bar.h"

#include "elided_label.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace ionvane::livewindow {

namespace {

// The state line in bold at the size of the other sources' state lines, points.
constexpr double StatePointSize = 11;
// The words count seconds: refreshed once a second, ms.
constexpr int WordsIntervalMs = 1000;

constexpr const char *NotListeningWords = "Not listening";

} // namespace

WsjtxBar::WsjtxBar(LiveSettings &remembered, std::function<void()> save,
                   std::function<UnixSeconds()> nowUtc, QWidget *parent)
    : QGroupBox("WSJT-X", parent), Remembered(remembered), Save(std::move(save)),
      NowUtc(std::move(nowUtc)) {
    auto *grid = new QGridLayout(this);
    txtWsjtx = new QLineEdit(Remembered.WsjtxAddress, this);
    txtWsjtx->setObjectName("txtWsjtx");
    txtWsjtx->setToolTip("The UDP Server of WSJT-X (Settings > Reporting): PORT or ADDRESS:PORT; "
                         "a multicast group such as 239.255.0.1:2237 to listen beside other "
                         "programs");
    auto *label = new QLabel("&UDP", this);
    label->setBuddy(txtWsjtx);
    chkWsjtxRecordings = new QCheckBox("&Recordings", this);
    chkWsjtxRecordings->setObjectName("chkWsjtxRecordings");
    chkWsjtxRecordings->setToolTip(
        "Count decodes of recordings opened in WSJT-X, at the time they arrive");
    chkWsjtxRecordings->setChecked(Remembered.WsjtxRecordings);
    cmdWsjtxListen = new QPushButton("Lis&ten", this);
    cmdWsjtxListen->setObjectName("cmdWsjtxListen");
    // Elided: "Heard 3 stations in 2 min ..." grows as decodes come, and a label that asked for
    // its text's width squeezed the cluster's host box to "7.0.0.1".
    lblWsjtxState = new ElidedLabel(NotListeningWords, this);
    lblWsjtxState->setObjectName("lblWsjtxState");
    QFont bold = lblWsjtxState->font();
    bold.setBold(true);
    bold.setPointSizeF(StatePointSize);
    lblWsjtxState->setFont(bold);
    grid->addWidget(label, 0, 0);
    grid->addWidget(txtWsjtx, 0, 1, 1, 2);
    grid->addWidget(chkWsjtxRecordings, 1, 0, 1, 2);
    grid->addWidget(cmdWsjtxListen, 1, 2);
    grid->addWidget(lblWsjtxState, 2, 0, 1, 3);
    connect(cmdWsjtxListen, &QPushButton::clicked, this, [this] {
        if (Core && Core->Snapshot().WsjtxRunning) {
            StopListening();
        } else {
            Listen();
        }
    });
    connect(chkWsjtxRecordings, &QCheckBox::toggled, this, [this](bool recordings) {
        Remembered.WsjtxRecordings = recordings;
        Save();
        if (Core) {
            Core->SetWsjtxRecordings(recordings);
        }
    });
    connect(&Words, &QTimer::timeout, this, &WsjtxBar::ShowWords);
}

void WsjtxBar::UseCore(live::CoreControl &core) {
    Core = &core;
    core.Subscribe(this, [this](const live::LiveEvent &event) { Heard(event); });
    core.SetWsjtxRecordings(Recordings());
    if (Remembered.WsjtxListening) {
        QTimer::singleShot(0, this, &WsjtxBar::Listen);
    }
}

WsjtxBar::~WsjtxBar() = default;

bool WsjtxBar::Recordings() const {
    return chkWsjtxRecordings->isChecked();
}

void WsjtxBar::Listen() {
    if (!Core || Core->Snapshot().WsjtxRunning) {
        return;
    }
    const std::string problem = Core->StartWsjtx(txtWsjtx->text());
    if (!problem.empty()) {
        lblWsjtxState->setText(QString::fromStdString(problem));
        return;
    }
    Remembered.WsjtxAddress = txtWsjtx->text().trimmed();
    Save();
}

void WsjtxBar::StopListening() {
    Remembered.WsjtxListening = false;
    Save();
    if (Core) {
        Core->Stop(live::LineSource::Wsjtx);
    }
}

void WsjtxBar::Heard(const live::LiveEvent &liveEvent) {
    const auto *state = std::get_if<live::SourceState>(&liveEvent);
    const auto *listening =
        state != nullptr ? std::get_if<live::WsjtxListening>(&state->News) : nullptr;
    if (listening == nullptr) {
        return;
    }
    const wsjtx::WsjtxEvent &event = listening->Event;
    switch (event.State) {
    case wsjtx::Listening::Listening:
        ListeningSince = event.ReceivedAt;
        Remembered.WsjtxListening = true;
        Save();
        ShowListening(true);
        ShowWords();
        Words.start(WordsIntervalMs);
        return;
    case wsjtx::Listening::Failed:
        lblWsjtxState->setText(QString::fromStdString(event.Detail));
        break;
    case wsjtx::Listening::Stopped:
        lblWsjtxState->setText(NotListeningWords);
        break;
    }
    Words.stop();
    ShowListening(false);
}

void WsjtxBar::ShowWords() {
    if (!Core) {
        return;
    }
    const live::CoreSnapshot snapshot = Core->Snapshot();
    if (!snapshot.WsjtxRunning) {
        return;
    }
    const wsjtx::Seconds now{std::chrono::seconds(NowUtc())};
    lblWsjtxState->setText(QString::fromStdString(wsjtx::SightWords(
        snapshot.WsjtxHeard ? &*snapshot.WsjtxHeard : nullptr, ListeningSince, now)));
}

void WsjtxBar::ShowListening(bool listening) {
    cmdWsjtxListen->setText(listening ? "S&top" : "Lis&ten");
    txtWsjtx->setEnabled(!listening);
}

} // namespace ionvane::livewindow
