// What the live window remembers between starts (live.ini in the configuration directory): its
// geometry and splitters, the alarm band, the spot list's band, the feed's broker and bands, and
// where WSJT-X is listened to.
#pragma once

#include "map/map_palette.h"
#include "spot/band.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace ionvane::livewindow {

struct LiveSettings {
    QByteArray Geometry;     ///< as QWidget::saveGeometry gives it; empty at first start
    QByteArray MainSplitter; ///< as QSplitter::saveState gives it
    QByteArray SideSplitter;
    std::optional<spot::Band> AlarmBand; ///< none: the tracker's default
    int SpotBandIndex = 0;               ///< the spot list's band choice, 0 for all bands
    int SpotSourceIndex = 0;             ///< the spot list's source choice, 0 for all
    bool ClusterAtStart = false;         ///< log in to the node when the window starts
    bool FeedAtStart = false;            ///< connect to the broker when the window starts
    map::MapTheme MapTheme = map::MapTheme::FollowDesktop;
    QString Broker; ///< HOST:PORT as typed
    std::vector<spot::Band> FeedBands;
    QString WsjtxAddress;         ///< [ADDRESS:]PORT as typed
    bool WsjtxRecordings = false; ///< decodes of recordings count
    bool WsjtxListening = false;  ///< listened when the window last closed
    bool MufLayer = true;         ///< the Es MUF layer on the map
    int MufWindowMinutes = 15;    ///< its window: 15 or 30
};

/// The settings kept in `dir`, each value on its own: one that is missing or cannot be read keeps
/// its default (the public broker, the feed's default bands).
LiveSettings LoadLiveSettings(const QString &dir);

/// Saves the settings into `dir`; false when they could not be written.
bool SaveLiveSettings(const QString &dir, const LiveSettings &settings);

} // namespace ionvane::livewindow
