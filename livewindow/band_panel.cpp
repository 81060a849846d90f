#include "band_panel.h"

#include "calc/locator.h"
#include "elided_label.h"
#include "tracker/verdict.h"

#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTimeZone>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <vector>

namespace ionvane::livewindow {

namespace {
// Large type for the band states: read from a few metres away, over the rig (points).
constexpr double BandStatePointSize = 14;
// Possible: white on a strong green; marginal: black on amber; closed: grey on near-black. All keep
// a contrast ratio well above 4.5:1, and the words say the state as well, for readers who do not
// tell the colours apart.
constexpr const char *PossibleStyle =
    "QPushButton { background: #1b7f2a; color: white; border: 3px solid #1b7f2a;"
    " border-radius: 6px; padding: 2px 6px; text-align: left; }"
    "QPushButton:checked { border: 3px solid #ffd600; }";
constexpr const char *MarginalStyle =
    "QPushButton { background: #ffb300; color: black; border: 3px solid #ffb300;"
    " border-radius: 6px; padding: 2px 6px; text-align: left; }"
    "QPushButton:checked { border: 3px solid #1b1b1b; }";
constexpr const char *ClosedStyle =
    "QPushButton { background: #2b2b2b; color: #b0b0b0; border: 3px solid #2b2b2b;"
    " border-radius: 6px; padding: 2px 6px; text-align: left; }"
    "QPushButton:checked { border: 3px solid #707070; }";
} // namespace

QString BandLabel(spot::Band band) {
    return QString::fromUtf8(spot::BandInWords(band));
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
    for (auto it = spot::AllBands.rbegin(); it != spot::AllBands.rend(); ++it) {
        const spot::Band band = *it;
        auto *row = new ElidedButton(this);
        row->setObjectName("cmdBand" + QString::fromUtf8(spot::BandName(band).data()));
        row->setCheckable(true);
        row->setFont(big);
        row->setFocusPolicy(Qt::NoFocus);
        row->SetHint("Click to draw this band's line on the map");
        Rows[spot::BandIndex(band)] = row;
        // "Turn beam" in the row's context menu: the row has no room for a button, and the beam
        // a ham turns to is the one the row says.
        auto *turnBeam = new QAction("Turn beam", row);
        turnBeam->setObjectName("actTurnBeam" + QString::fromUtf8(spot::BandName(band).data()));
        turnBeam->setEnabled(false);
        row->addAction(turnBeam);
        row->setContextMenuPolicy(Qt::ActionsContextMenu);
        TurnBeams[spot::BandIndex(band)] = turnBeam;
        connect(turnBeam, &QAction::triggered, this, [this, band] {
            const tracker::BandVerdict &shown = Verdict.Bands[spot::BandIndex(band)];
            if (shown.State != tracker::VerdictState::Closed) {
                emit turnBeamAsked(shown.Home.AzimuthDeg);
            }
        });
        layout->addWidget(row);
        // The other clouds that carry the band, in small type under its row.
        auto *others = new ElidedLabel(QString(), this);
        others->setObjectName("lblVia" + QString::fromUtf8(spot::BandName(band).data()));
        others->setIndent(12);
        others->hide();
        Others[spot::BandIndex(band)] = others;
        layout->addWidget(others);
        // Two-hop paths heard on the band, as evidence in the same small type: the long line of
        // a busy evening is cut to the panel's width, as the clouds' line is.
        auto *hops = new ElidedLabel(QString(), this);
        hops->setObjectName("lblDoubleHop" + QString::fromUtf8(spot::BandName(band).data()));
        hops->setIndent(12);
        hops->hide();
        Hops[spot::BandIndex(band)] = hops;
        layout->addWidget(hops);
        connect(row, &QPushButton::clicked, this, [this, band](bool checked) {
            Clicked = checked ? std::optional(band) : std::nullopt;
            for (const spot::Band other : spot::AllBands) {
                Show(other);
            }
            emit selectedBandChanged();
        });
    }
    auto *alarmRow = new QHBoxLayout;
    auto *alarmLabel = new QLabel("&Alarm from:", this);
    cmbAlarmBand = new QComboBox(this);
    cmbAlarmBand->setObjectName("cmbAlarmBand");
    for (const spot::Band band : spot::AllBands) {
        cmbAlarmBand->addItem(BandLabel(band) + " up", static_cast<int>(band));
    }
    cmbAlarmBand->setCurrentIndex(static_cast<int>(spot::BandIndex(spot::Band::M4)));
    alarmLabel->setBuddy(cmbAlarmBand);
    alarmRow->addWidget(alarmLabel);
    alarmRow->addWidget(cmbAlarmBand, 1);
    layout->addLayout(alarmRow);
    connect(cmbAlarmBand, &QComboBox::currentIndexChanged, this,
            [this] { emit alarmBandChanged(AlarmBand()); });
    // Every band shows until the first verdict says which are followed.
    for (const spot::Band band : spot::AllBands) {
        Verdict.Shown = static_cast<spot::BandSet>(Verdict.Shown | spot::BandBit(band));
        Verdict.Bands[spot::BandIndex(band)].Which = band;
    }
    for (const spot::Band band : spot::AllBands) {
        Show(band);
    }
}

void BandPanel::SetVerdict(const tracker::VerdictEvent &verdict) {
    const std::optional<spot::Band> before = SelectedBand();
    Verdict = verdict;
    for (const spot::Band band : spot::AllBands) {
        Show(band);
    }
    if (SelectedBand() != before) {
        emit selectedBandChanged();
    }
}

std::optional<spot::Band> BandPanel::HighestPossible() const {
    for (auto it = spot::AllBands.rbegin(); it != spot::AllBands.rend(); ++it) {
        if (ShowsPossible(*it)) {
            return *it;
        }
    }
    return std::nullopt;
}

std::optional<spot::Band> BandPanel::SelectedBand() const {
    if (Clicked && ShowsPossible(*Clicked)) {
        return Clicked;
    }
    return HighestPossible();
}

spot::Band BandPanel::AlarmBand() const {
    return static_cast<spot::Band>(cmbAlarmBand->currentData().toInt());
}

void BandPanel::SetAlarmBand(spot::Band band) {
    cmbAlarmBand->setCurrentIndex(static_cast<int>(spot::BandIndex(band)));
}

QString BeamText(const tracker::HomeFigures &home) {
    return QString("beam %1 towards %2 up to %3 MHz")
        .arg(std::lround(home.AzimuthDeg) % 360)
        .arg(QString::fromStdString(home.TowardsLoc))
        .arg(QString::number(static_cast<double>(home.TrafficFreqMHz), 'f', 1));
}

// A band's headline in the tracker's own words, the same the alarm and the command line use:
// whether the band was heard or is predicted, the beam, the distance and the model's estimate.
QString HeadlineText(const tracker::BandVerdict &verdict) {
    return QString::fromStdString(tracker::HeadlineWords(verdict));
}

QString BannerText(const tracker::BandVerdict &verdict, tracker::UnixSeconds alarmTime,
                   const QString &hint) {
    const QString at =
        QDateTime::fromSecsSinceEpoch(alarmTime, QTimeZone::utc()).toString("HH:mm") + " UTC";
    const QString band = BandLabel(verdict.Which);
    switch (verdict.State) {
    case tracker::VerdictState::Possible:
        return band + " OPEN since " + at + hint + "\n" + HeadlineText(verdict);
    case tracker::VerdictState::Marginal:
        return band + " marginal now, alarm at " + at + hint + "\n" + HeadlineText(verdict);
    case tracker::VerdictState::Closed:
        break;
    }
    return band + " closed again, alarm at " + at + hint;
}

QString BandPanel::RowText(spot::Band band) const {
    const tracker::BandVerdict &verdict = Verdict.Bands[spot::BandIndex(band)];
    switch (verdict.State) {
    case tracker::VerdictState::Possible:
        return BandLabel(band) + " POSSIBLE\n" + HeadlineText(verdict);
    case tracker::VerdictState::Marginal:
        return BandLabel(band) + " marginal\n" + HeadlineText(verdict);
    case tracker::VerdictState::Closed:
        break;
    }
    return BandLabel(band) + " closed\nno Es path from home";
}

QString BandPanel::OthersTip(spot::Band band) const {
    const tracker::BandVerdict &verdict = Verdict.Bands[spot::BandIndex(band)];
    QStringList lines;
    for (std::size_t i = 1; i < verdict.Via.size(); ++i) {
        lines << QString("cloud %1: ").arg(verdict.Via[i].CloudId) + BeamText(verdict.Via[i].Home);
    }
    return lines.join('\n');
}

QString BandPanel::OthersText(spot::Band band) const {
    const tracker::BandVerdict &verdict = Verdict.Bands[spot::BandIndex(band)];
    if (verdict.Via.size() < 2) {
        return {};
    }
    // One line whatever the opening brings: seven clouds on one band once pushed the tables down
    // to two rows. The best of the others is named, the rest counted; all are in the tool tip.
    const tracker::CloudFromHome &next = verdict.Via[1];
    QString line = QString("also cloud %1: ").arg(next.CloudId) + BeamText(next.Home);
    if (verdict.Via.size() > 2) {
        line += QString("  +%1 more").arg(verdict.Via.size() - 2);
    }
    return line;
}

namespace {

// The band's double-hop regions, the most spots first (the tracker lists them by region).
std::vector<const tracker::DoubleHopEvidence *> HopsOf(const tracker::VerdictEvent &verdict,
                                                       spot::Band band) {
    std::vector<const tracker::DoubleHopEvidence *> hops;
    for (const tracker::DoubleHopEvidence &hop : verdict.DoubleHop) {
        if (hop.Which == band) {
            hops.push_back(&hop);
        }
    }
    std::stable_sort(hops.begin(), hops.end(),
                     [](const auto *a, const auto *b) { return a->Spots > b->Spots; });
    return hops;
}

QString LocatorOf(const calc::Position &at) {
    return QString::fromStdString(calc::EncodeLocator(at.LatDeg, at.LonDeg));
}

} // namespace

QString BandPanel::DoubleHopText(spot::Band band) const {
    const auto hops = HopsOf(Verdict, band);
    if (hops.empty()) {
        return {};
    }
    QString line = QString::fromStdString(hops.front()->Text);
    if (hops.size() > 1) {
        line += QString("  +%1 more").arg(hops.size() - 1);
    }
    return line;
}

QString BandPanel::DoubleHopTip(spot::Band band) const {
    QStringList lines;
    for (const tracker::DoubleHopEvidence *hop : HopsOf(Verdict, band)) {
        lines << QString::fromStdString(hop->Text) +
                     QString("\n  reflected near %1 and %2")
                         .arg(LocatorOf(hop->NearHop), LocatorOf(hop->FarHop));
    }
    return lines.join('\n');
}

void BandPanel::Show(spot::Band band) {
    const std::size_t index = spot::BandIndex(band);
    QPushButton *row = Rows[index];
    const bool followed = (Verdict.Shown & spot::BandBit(band)) != 0;
    row->setVisible(followed);
    // A band the home's region does not follow (4 m outside Region 1) is offered for no alarm
    // either; the rows keep their places, so a row is a band's index.
    if (auto *choices = qobject_cast<QListView *>(cmbAlarmBand->view())) {
        choices->setRowHidden(static_cast<int>(index), !followed);
    }
    row->setText(RowText(band));
    TurnBeams[index]->setEnabled(Verdict.Bands[index].State != tracker::VerdictState::Closed);
    switch (Verdict.Bands[index].State) {
    case tracker::VerdictState::Possible:
        row->setStyleSheet(PossibleStyle);
        break;
    case tracker::VerdictState::Marginal:
        row->setStyleSheet(MarginalStyle);
        break;
    case tracker::VerdictState::Closed:
        row->setStyleSheet(ClosedStyle);
        break;
    }
    row->setChecked(SelectedBand() == band);
    row->setAccessibleName(RowText(band));
    const QString others = OthersText(band);
    Others[index]->setText(others);
    Others[index]->SetFixedTip(OthersTip(band));
    Others[index]->setVisible(followed && !others.isEmpty());
    const QString hops = DoubleHopText(band);
    Hops[index]->setText(hops);
    Hops[index]->SetFixedTip(DoubleHopTip(band));
    Hops[index]->setVisible(followed && !hops.isEmpty());
}

} // namespace ionvane::livewindow
