#include "live_settings.h"

#include "feed/feed_bands.h"
#include "feed/feed_source.h"
#include "wsjtx/wsjtx_source.h"

#include <QSettings>
#include <QStringList>

namespace ionvane::livewindow {

namespace {

constexpr const char *FileName = "/live.ini";
constexpr const char *GeometryKey = "live/geometry";
constexpr const char *MainSplitterKey = "live/splitMain";
constexpr const char *SideSplitterKey = "live/splitSide";
constexpr const char *AlarmBandKey = "live/alarmBand";
constexpr const char *SpotBandKey = "live/spotBand";
constexpr const char *SpotSourceKey = "live/spotSource";
constexpr const char *ClusterAtStartKey = "cluster/connectAtStart";
constexpr const char *FeedAtStartKey = "feed/connectAtStart";
constexpr const char *MapThemeKey = "map/theme";
constexpr const char *BrokerKey = "feed/broker";
constexpr const char *FeedBandsKey = "feed/bands";
constexpr const char *WsjtxAddressKey = "wsjtx/address";
constexpr const char *WsjtxRecordingsKey = "wsjtx/recordings";
constexpr const char *WsjtxListeningKey = "wsjtx/listening";
constexpr const char *MufLayerKey = "map/mufLayer";
constexpr const char *MufWindowKey = "map/mufWindowMinutes";

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

LiveSettings LoadLiveSettings(const QString &dir) {
    const QSettings stored(dir + FileName, QSettings::IniFormat);
    LiveSettings settings;
    settings.Geometry = stored.value(GeometryKey).toByteArray();
    settings.MainSplitter = stored.value(MainSplitterKey).toByteArray();
    settings.SideSplitter = stored.value(SideSplitterKey).toByteArray();
    settings.AlarmBand = spot::BandFromName(stored.value(AlarmBandKey).toString().toStdString());
    settings.SpotBandIndex = stored.value(SpotBandKey, 0).toInt();
    settings.SpotSourceIndex = stored.value(SpotSourceKey, 0).toInt();
    settings.ClusterAtStart = stored.value(ClusterAtStartKey, false).toBool();
    settings.FeedAtStart = stored.value(FeedAtStartKey, false).toBool();
    const QString theme = stored.value(MapThemeKey).toString();
    settings.MapTheme = theme == "day"     ? map::MapTheme::Day
                        : theme == "night" ? map::MapTheme::Night
                                           : map::MapTheme::FollowDesktop;
    settings.Broker =
        stored.value(BrokerKey, Q(feed::PublicBroker) + ":" + QString::number(feed::MqttPort))
            .toString();
    if (stored.contains(FeedBandsKey)) {
        for (const QString &name : stored.value(FeedBandsKey).toStringList()) {
            if (const auto band = spot::BandFromName(name.toStdString())) {
                settings.FeedBands.push_back(*band);
            }
        }
    } else {
        settings.FeedBands = feed::DefaultBands();
    }
    settings.WsjtxAddress = stored
                                .value(WsjtxAddressKey, Q(wsjtx::DefaultAddress) + ':' +
                                                            QString::number(wsjtx::DefaultPort))
                                .toString();
    settings.WsjtxRecordings = stored.value(WsjtxRecordingsKey, false).toBool();
    settings.WsjtxListening = stored.value(WsjtxListeningKey, false).toBool();
    settings.MufLayer = stored.value(MufLayerKey, true).toBool();
    // Only the two windows the layer keeps: anything else is the quarter hour.
    settings.MufWindowMinutes = stored.value(MufWindowKey, 15).toInt() == 30 ? 30 : 15;
    return settings;
}

bool SaveLiveSettings(const QString &dir, const LiveSettings &settings) {
    QSettings stored(dir + FileName, QSettings::IniFormat);
    stored.setValue(GeometryKey, settings.Geometry);
    stored.setValue(MainSplitterKey, settings.MainSplitter);
    stored.setValue(SideSplitterKey, settings.SideSplitter);
    if (settings.AlarmBand) {
        stored.setValue(AlarmBandKey, Q(spot::BandName(*settings.AlarmBand)));
    }
    stored.setValue(SpotBandKey, settings.SpotBandIndex);
    stored.setValue(SpotSourceKey, settings.SpotSourceIndex);
    stored.setValue(ClusterAtStartKey, settings.ClusterAtStart);
    stored.setValue(FeedAtStartKey, settings.FeedAtStart);
    stored.setValue(MapThemeKey, settings.MapTheme == map::MapTheme::Day     ? "day"
                                 : settings.MapTheme == map::MapTheme::Night ? "night"
                                                                             : "desktop");
    stored.setValue(BrokerKey, settings.Broker);
    QStringList bands;
    for (const spot::Band band : settings.FeedBands) {
        bands << Q(spot::BandName(band));
    }
    stored.setValue(FeedBandsKey, bands);
    stored.setValue(WsjtxAddressKey, settings.WsjtxAddress);
    stored.setValue(WsjtxRecordingsKey, settings.WsjtxRecordings);
    stored.setValue(WsjtxListeningKey, settings.WsjtxListening);
    stored.setValue(MufLayerKey, settings.MufLayer);
    stored.setValue(MufWindowKey, settings.MufWindowMinutes);
    stored.sync();
    return stored.status() == QSettings::NoError;
}

} // namespace ionvane::livewindow
