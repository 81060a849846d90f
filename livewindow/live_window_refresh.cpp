// The live window's refresh: the cloud table, the spot list, the band panel, the title and the
// map, from what the session holds, a few times a second; and the alarm banner over the map.
#include "live_window.h"

#include "calc/locator.h"
#include "window_style.h"

#include <QEvent>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace ionvane::livewindow {

namespace {

// The banner's "Turn beam" keeps this far from the map's right edge, px: clear of the edge, as the
// banner's own padding keeps its words.
constexpr int TurnBeamMarginPx = 10;

std::optional<map::GeoPoint> LocatorPoint(const std::string &locator) {
    if (locator.size() != 6 ||
        calc::FirstInvalidPosition(std::u32string(locator.begin(), locator.end())) != 0) {
        return std::nullopt;
    }
    const calc::Position position = calc::DecodeLocator(std::string_view(locator));
    return map::GeoPoint{position.LatDeg, position.LonDeg};
}

// A frequency within each band, for the map's colour of the band's double-hop marks (MHz).
constexpr double TenMetreMHz = 28.5;
constexpr double SixMetreMHz = 50.1;
constexpr double FourMetreMHz = 70.2;
constexpr double TwoMetreMHz = 144.3;

double ColourFreqMHz(spot::Band band) {
    switch (band) {
    case spot::Band::M10:
        return TenMetreMHz;
    case spot::Band::M6:
        return SixMetreMHz;
    case spot::Band::M4:
        return FourMetreMHz;
    case spot::Band::M2:
        break;
    }
    return TwoMetreMHz;
}

} // namespace

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
    Clouds->SetClouds(Shown().Clouds(), Shown().Now());
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
    SpotsModel->SetSpots(Shown().Spots());
    const tracker::VerdictEvent verdict = Shown().Verdict();
    bandPanel->SetVerdict(verdict);
    ShowBanner();
    const std::optional<spot::Band> highest = bandPanel->HighestPossible();
    setWindowTitle(highest ? QString("%1 - %2 possible").arg(LiveTitle, BandLabel(*highest))
                           : QString(LiveTitle));
    RefreshMap();
}

void frmLive::RefreshMap() {
    map::MapScene scene;
    scene.Muf = MufLayerNow();
    scene.Paths = Shown().RecentPaths();
    for (const tracker::CloudEvent &cloud : Shown().Clouds()) {
        map::CloudPatch patch;
        patch.Id = cloud.Cloud.Id;
        patch.Centre = map::GeoPoint{cloud.Cloud.LatDeg, cloud.Cloud.LonDeg};
        patch.HighestFreqMHz = cloud.Cloud.HighestFreqMHz;
        if (cloud.Cloud.Movement) {
            patch.Drift =
                map::CloudDrift{cloud.Cloud.Movement->SpeedKmh, cloud.Cloud.Movement->TowardsDeg};
        }
        if (const auto &later = cloud.Cloud.In15Min) {
            const calc::Position at = calc::DecodeLocator(later->Loc);
            patch.In15Min = map::GeoPoint{at.LatDeg, at.LonDeg};
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
    const tracker::VerdictEvent verdictNow = Shown().Verdict();
    for (const tracker::DoubleHopEvidence &hop : verdictNow.DoubleHop) {
        scene.DoubleHops.push_back({map::GeoPoint{hop.NearHop.LatDeg, hop.NearHop.LonDeg},
                                    map::GeoPoint{hop.FarHop.LatDeg, hop.FarHop.LonDeg},
                                    ColourFreqMHz(hop.Which)});
    }
    if (const std::optional<spot::Band> band = bandPanel->SelectedBand()) {
        const tracker::BandVerdict verdict = verdictNow.Bands[spot::BandIndex(*band)];
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
    if (const std::optional<SpotRow> best = Shown().BestSpotOf(id)) {
        emit spotChosen(QString::fromStdString(best->Read.FromLoc),
                        QString::fromStdString(best->Read.ToLoc),
                        QString::fromStdString(best->Read.FreqMHzText));
    }
}

void frmLive::ShowAlarm(const tracker::AlarmEvent &alarm) {
    Alarm = alarm;
    ShowBanner();
    cmdAlarm->show();
    cmdAlarm->raise();
    cmdTurnBeam->setVisible(Setup.Outlet != nullptr);
    cmdTurnBeam->raise();
    actAcknowledge->setEnabled(true);
    if (Setup.Outlet != nullptr) {
        Setup.Outlet->Notify(QString(LiveTitle) + ": " + BandLabel(alarm.Which) + " open",
                             QString::fromStdString(alarm.Text));
        Setup.Outlet->Beep();
    }
}

void frmLive::ShowBanner() {
    if (!Alarm) {
        return;
    }
    // The banner says what the alarm band's row says now, with the alarm's time: the tracker's
    // words of the moment once read "beam 210" beside a row already saying "beam 200".
    const tracker::BandVerdict verdict = Live->Verdict().Bands[spot::BandIndex(Alarm->Which)];
    cmdAlarm->setText(BannerText(verdict, Alarm->Time, "    (click or Esc)"));
    QString tip = QString("Raised through cloud %1\n").arg(Alarm->CloudId);
    if (verdict.State != tracker::VerdictState::Closed) {
        tip += QString("Elevation %1°, %2 km, via cloud %3\n")
                   .arg(QString::number(verdict.Home.ElevationDeg, 'f', 1))
                   .arg(std::lround(verdict.Home.DistanceKm))
                   .arg(verdict.CloudId.value_or(Alarm->CloudId));
    }
    cmdAlarm->setToolTip(tip + "Click or press Esc to acknowledge");
    cmdTurnBeam->setEnabled(verdict.State != tracker::VerdictState::Closed);
    PlaceBanner();
}

void frmLive::PlaceBanner() {
    const int heightPx = cmdAlarm->sizeHint().height();
    cmdAlarm->setGeometry(0, 0, mapView->width(), heightPx);
    const QSize button = cmdTurnBeam->sizeHint();
    cmdTurnBeam->setGeometry(mapView->width() - button.width() - TurnBeamMarginPx,
                             (heightPx - button.height()) / 2, button.width(), button.height());
}

void frmLive::BuildTurnBeam() {
    // Over the banner, not in it: a click on the banner acknowledges, one on the button turns.
    cmdTurnBeam = new QPushButton("Turn beam", mapView);
    cmdTurnBeam->setObjectName("cmdTurnBeam");
    cmdTurnBeam->setToolTip("Turn the rotator to this band's beam");
    cmdTurnBeam->setFocusPolicy(Qt::NoFocus);
    cmdTurnBeam->hide();
    connect(cmdTurnBeam, &QPushButton::clicked, this, [this] {
        if (!Alarm || Setup.Outlet == nullptr) {
            return;
        }
        const tracker::BandVerdict verdict = Live->Verdict().Bands[spot::BandIndex(Alarm->Which)];
        if (verdict.State != tracker::VerdictState::Closed) {
            Setup.Outlet->TurnBeamTo(verdict.Home.AzimuthDeg);
        }
    });
}

bool frmLive::eventFilter(QObject *watched, QEvent *event) {
    if (watched == mapView && event->type() == QEvent::Resize) {
        PlaceBanner();
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmLive::AcknowledgeAlarm() {
    if (Setup.Outlet != nullptr) {
        Setup.Outlet->Acknowledged();
    }
    Alarm.reset();
    cmdAlarm->hide();
    cmdTurnBeam->hide();
    actAcknowledge->setEnabled(false);
}

} // namespace ionvane::livewindow
