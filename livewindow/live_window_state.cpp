// The live window's remembered state: its size, splitters, bands and sources, read back at start
// and saved at close.
#include "live_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSplitter>

#include <algorithm>

namespace ionvane::livewindow {

namespace {
// The first size: room for the map, the band panel and a dozen rows of each table on a 1366x768
// laptop screen or larger (pixels).
constexpr int DefaultWidthPx = 1280;
constexpr int DefaultHeightPx = 760;
} // namespace

void frmLive::RestoreState() {
    // Read before the controls below save what they are set to.
    const LiveSettings remembered = Remembered;
    if (!restoreGeometry(remembered.Geometry)) {
        resize(DefaultWidthPx, DefaultHeightPx);
    }
    splitMain->restoreState(remembered.MainSplitter);
    splitSide->restoreState(remembered.SideSplitter);
    if (remembered.AlarmBand) {
        const QSignalBlocker quiet(bandPanel);
        bandPanel->SetAlarmBand(*remembered.AlarmBand);
    }
    cmbSpotBand->setCurrentIndex(std::clamp(remembered.SpotBandIndex, 0, cmbSpotBand->count() - 1));
    cmbSpotSource->setCurrentIndex(
        std::clamp(remembered.SpotSourceIndex, 0, cmbSpotSource->count() - 1));
}

void frmLive::SaveState() {
    Remembered.Geometry = saveGeometry();
    Remembered.MainSplitter = splitMain->saveState();
    Remembered.SideSplitter = splitSide->saveState();
    Remembered.AlarmBand = bandPanel->AlarmBand();
    Remembered.SpotBandIndex = cmbSpotBand->currentIndex();
    Remembered.SpotSourceIndex = cmbSpotSource->currentIndex();
    Remembered.Broker = txtBroker->text().trimmed();
    Remembered.FeedBands.clear();
    for (const spot::Band band : spot::AllBands) {
        if (chkFeedBands[spot::BandIndex(band)]->isChecked()) {
            Remembered.FeedBands.push_back(band);
        }
    }
    SaveLiveSettings(Setup.ConfigDir, Remembered);
}

void frmLive::closeEvent(QCloseEvent *event) {
    SaveState();
    event->accept();
}

} // namespace ionvane::livewindow
