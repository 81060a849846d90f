#include "band_panel.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace ionvane::livewindow {

namespace {
// Large type for the band states: read from a few metres away, over the rig (points).
constexpr double BandStatePointSize = 14;
// Possible: white on a strong green; closed: grey on near-black. Both keep a contrast ratio well
// above 4.5:1, and the words say the state as well, for readers who do not tell the colours apart.
constexpr const char *PossibleStyle =
    "QPushButton { background: #1b7f2a; color: white; border: 3px solid #1b7f2a;"
    " border-radius: 6px; padding: 2px 6px; text-align: left; }"
    "QPushButton:checked { border: 3px solid #ffd600; }";
constexpr const char *ClosedStyle =
    "QPushButton { background: #2b2b2b; color: #b0b0b0; border: 3px solid #2b2b2b;"
    " border-radius: 6px; padding: 2px 6px; text-align: left; }"
    "QPushButton:checked { border: 3px solid #707070; }";
} // namespace

QString BandLabel(tracker::Band band) {
    return QString::fromUtf8(tracker::BandInWords(band));
}

BandPanel::BandPanel(QWidget *parent) : QWidget(parent) {
    setObjectName("bandPanel");
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    QFont big = font();
    big.setPointSizeF(BandStatePointSize);
    big.setBold(true);
    // Highest band on top, as a band plan reads.
    for (auto it = tracker::AllBands.rbegin(); it != tracker::AllBands.rend(); ++it) {
        const tracker::Band band = *it;
        auto *row = new QPushButton(this);
        row->setObjectName("cmdBand" + QString::fromUtf8(tracker::BandName(band).data()));
        row->setCheckable(true);
        row->setFont(big);
        row->setFocusPolicy(Qt::NoFocus);
        row->setToolTip("Click to draw this band's line on the map");
        Rows[tracker::BandIndex(band)] = row;
        layout->addWidget(row);
        connect(row, &QPushButton::clicked, this, [this, band](bool checked) {
            Clicked = checked ? std::optional(band) : std::nullopt;
            for (const tracker::Band other : tracker::AllBands) {
                Show(other);
            }
            emit selectedBandChanged();
        });
    }
    auto *alarmRow = new QHBoxLayout;
    auto *alarmLabel = new QLabel("&Alarm from:", this);
    cmbAlarmBand = new QComboBox(this);
    cmbAlarmBand->setObjectName("cmbAlarmBand");
    for (const tracker::Band band : tracker::AllBands) {
        cmbAlarmBand->addItem(BandLabel(band) + " up", static_cast<int>(band));
    }
    cmbAlarmBand->setCurrentIndex(static_cast<int>(tracker::BandIndex(tracker::Band::M4)));
    alarmLabel->setBuddy(cmbAlarmBand);
    alarmRow->addWidget(alarmLabel);
    alarmRow->addWidget(cmbAlarmBand, 1);
    layout->addLayout(alarmRow);
    connect(cmbAlarmBand, &QComboBox::currentIndexChanged, this,
            [this] { emit alarmBandChanged(AlarmBand()); });
    for (const tracker::Band band : tracker::AllBands) {
        Verdict.Bands[tracker::BandIndex(band)].Which = band;
        Show(band);
    }
}

void BandPanel::SetVerdict(const tracker::VerdictEvent &verdict) {
    const std::optional<tracker::Band> before = SelectedBand();
    Verdict = verdict;
    for (const tracker::Band band : tracker::AllBands) {
        Show(band);
    }
    if (SelectedBand() != before) {
        emit selectedBandChanged();
    }
}

std::optional<tracker::Band> BandPanel::HighestPossible() const {
    for (auto it = tracker::AllBands.rbegin(); it != tracker::AllBands.rend(); ++it) {
        if (ShowsPossible(*it)) {
            return *it;
        }
    }
    return std::nullopt;
}

std::optional<tracker::Band> BandPanel::SelectedBand() const {
    if (Clicked && ShowsPossible(*Clicked)) {
        return Clicked;
    }
    return HighestPossible();
}

tracker::Band BandPanel::AlarmBand() const {
    return static_cast<tracker::Band>(cmbAlarmBand->currentData().toInt());
}

void BandPanel::SetAlarmBand(tracker::Band band) {
    cmbAlarmBand->setCurrentIndex(static_cast<int>(tracker::BandIndex(band)));
}

QString BandPanel::RowText(tracker::Band band) const {
    const tracker::BandVerdict &verdict = Verdict.Bands[tracker::BandIndex(band)];
    if (!verdict.Possible()) {
        return BandLabel(band) + "   closed\nno Es path from home";
    }
    const tracker::HomeFigures &home = verdict.Home;
    return QString("%1   POSSIBLE\nbeam %2°  towards %3  %4 MHz")
        .arg(BandLabel(band))
        .arg(std::lround(home.AzimuthDeg) % 360)
        .arg(QString::fromStdString(home.TowardsLoc))
        .arg(QString::number(static_cast<double>(home.TrafficFreqMHz), 'f', 2));
}

void BandPanel::Show(tracker::Band band) {
    QPushButton *row = Rows[tracker::BandIndex(band)];
    const bool possible = ShowsPossible(band);
    row->setText(RowText(band));
    row->setStyleSheet(possible ? PossibleStyle : ClosedStyle);
    row->setChecked(SelectedBand() == band);
    row->setAccessibleName(RowText(band));
}

} // namespace ionvane::livewindow
