// What the live window's source files share: its sizes, the keys of its stored settings and
// small helpers. Internal to the live window.
#pragma once

#include "feed/feed_source.h"

#include <QFont>
#include <QString>
#include <QWidget>

#include <string_view>

namespace ionvane::livewindow {

// The alarm banner's type: the largest on the window, read across the room (points).
inline constexpr double AlarmPointSize = 17;
// The connection states: a little larger than the controls around them (points).
inline constexpr double StatePointSize = 11;
// Splitter shares at first start, before the user moves them: the map takes most of the width.
inline constexpr int MapShare = 700;
inline constexpr int SideShare = 560;
// The first size: room for the map, the band panel and a dozen rows of each table on a 1366x768
// laptop screen or larger (pixels).
inline constexpr int DefaultWidthPx = 1280;
inline constexpr int DefaultHeightPx = 760;
// Space above and below the text of a table row (pixels).
inline constexpr int RowPaddingPx = 6;
inline constexpr int BandPanelShare = 260;
inline constexpr int CloudTableShare = 200;
inline constexpr int SpotListShare = 260;

inline constexpr const char *GeometryKey = "live/geometry";
inline constexpr const char *MainSplitterKey = "live/splitMain";
inline constexpr const char *SideSplitterKey = "live/splitSide";
inline constexpr const char *AlarmBandKey = "live/alarmBand";
inline constexpr const char *SpotBandKey = "live/spotBand";
inline constexpr const char *BrokerKey = "feed/broker";
inline constexpr const char *FeedBandsKey = "feed/bands";

inline QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline QString DefaultBroker() {
    return Q(feed::PublicBroker) + ":" + QString::number(feed::MqttPort);
}

inline void SetBold(QWidget *widget, double pointSize) {
    QFont font = widget->font();
    font.setPointSizeF(pointSize);
    font.setBold(true);
    widget->setFont(font);
}

} // namespace ionvane::livewindow
