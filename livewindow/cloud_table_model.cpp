#include "cloud_table_model.h"

#include <QBrush>
#include <QColor>

#include <cmath>
#include <map>

namespace ionvane::livewindow {

namespace {
constexpr tracker::UnixSeconds SecondsPerMinute = 60;
// Fading clouds are written in grey: still listed, but no longer heard through.
const QColor FadingText(128, 128, 128);
} // namespace

QString BandsText(spot::BandSet bands) {
    QStringList names;
    for (const spot::Band band : spot::AllBands) {
        if ((bands & spot::BandBit(band)) != 0) {
            names << QString::fromUtf8(spot::BandName(band).data(),
                                       static_cast<qsizetype>(spot::BandName(band).size()));
        }
    }
    return names.join(' ');
}

CloudTableModel::CloudTableModel(QObject *parent) : QAbstractTableModel(parent) {}

void CloudTableModel::SetHome(map::GeoPoint home) {
    Home = home;
    if (!Rows.empty()) {
        emit dataChanged(index(0, Distance), index(rowCount() - 1, Azimuth));
    }
}

void CloudTableModel::SetClouds(std::vector<tracker::CloudEvent> clouds, tracker::UnixSeconds now) {
    Now = now;
    std::map<int, tracker::CloudEvent *> incoming;
    for (tracker::CloudEvent &cloud : clouds) {
        incoming[cloud.Cloud.Id] = &cloud;
    }
    for (std::size_t i = Rows.size(); i-- > 0;) {
        if (!incoming.contains(Rows[i].Cloud.Id)) {
            const int row = static_cast<int>(i);
            beginRemoveRows({}, row, row);
            Rows.erase(Rows.begin() + static_cast<std::ptrdiff_t>(i));
            endRemoveRows();
        }
    }
    for (tracker::CloudEvent &held : Rows) {
        const auto found = incoming.find(held.Cloud.Id);
        held = std::move(*found->second);
        incoming.erase(found);
    }
    if (!Rows.empty()) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
    }
    if (!incoming.empty()) {
        const int first = rowCount();
        beginInsertRows({}, first, first + static_cast<int>(incoming.size()) - 1);
        for (const auto &[id, cloud] : incoming) {
            Rows.push_back(std::move(*cloud));
        }
        endInsertRows();
    }
}

int CloudTableModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : static_cast<int>(Rows.size());
}

int CloudTableModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CloudTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) {
        return {};
    }
    if (role == Qt::ToolTipRole) {
        switch (section) {
        case CriticalFreq:
            return "Equivalent critical frequency, MHz: what a cloud at the path centre needs to "
                   "return the spots heard through it; not an ionosonde's foEs";
        case Id:
            return "The cloud's number, as the map and the band panel give it";
        case LastHeard:
            return "Time since the cloud's last spot";
        case HighestFreq:
            return "Highest frequency heard through the cloud, MHz";
        case Distance:
            return "Distance of the cloud's centre from home";
        case Azimuth:
            return "Azimuth of the cloud's centre from home";
        default:
            return {};
        }
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    switch (section) {
    case Id:
        return "Cloud";
    case Centre:
        return "Centre";
    case Age:
        return "Age";
    case Spots:
        return "Spots";
    case Bands:
        return "Bands";
    case LastHeard:
        return "Heard";
    case CriticalFreq:
        return "Eq. fc";
    case HighestFreq:
        return "Top MHz";
    case Drift:
        return "Drift";
    case Distance:
        return "Dist";
    case Azimuth:
        return "Az";
    default:
        return {};
    }
}

QVariant CloudTableModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const tracker::CloudEvent &cloud = Rows[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return Text(cloud, index.column());
    case SortRole:
        return SortValue(cloud, index.column());
    case CloudIdRole:
        return cloud.Cloud.Id;
    case Qt::ForegroundRole:
        return cloud.State == tracker::CloudState::Fading ? QVariant(QBrush(FadingText))
                                                          : QVariant();
    case Qt::TextAlignmentRole:
        return index.column() == Centre || index.column() == Bands
                   ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                   : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant CloudTableModel::SortValue(const tracker::CloudEvent &cloud, int column) const {
    const tracker::CloudSnapshot &c = cloud.Cloud;
    const map::GeoPoint centre{c.LatDeg, c.LonDeg};
    switch (column) {
    case Id:
        return c.Id;
    case Centre:
        return QString::fromStdString(c.CentreLoc);
    case Age:
        return static_cast<qlonglong>(Now - c.FirstSeen);
    case LastHeard:
        return static_cast<qlonglong>(Now - c.LastSeen);
    case Spots:
        return c.Spots;
    case Bands:
        return c.Bands;
    case CriticalFreq:
        return c.CriticalFreqMHz;
    case HighestFreq:
        return c.HighestFreqMHz;
    case Drift:
        return c.Movement ? c.Movement->SpeedKmh : -1.0;
    case Distance:
        return map::DistanceKm(Home, centre);
    case Azimuth:
        return map::BearingDeg(Home, centre);
    default:
        return {};
    }
}

QVariant CloudTableModel::Text(const tracker::CloudEvent &cloud, int column) const {
    const tracker::CloudSnapshot &c = cloud.Cloud;
    const QVariant value = SortValue(cloud, column);
    switch (column) {
    case Id:
    case Centre:
        return value;
    case Age: {
        const auto minutes =
            std::max<tracker::UnixSeconds>(0, Now - c.FirstSeen) / SecondsPerMinute;
        const QString age = QString("%1 min").arg(minutes);
        return cloud.State == tracker::CloudState::Fading ? age + " (fading)" : age;
    }
    case LastHeard:
        return QString("%1 min ago")
            .arg(std::max<tracker::UnixSeconds>(0, Now - c.LastSeen) / SecondsPerMinute);
    case Spots:
        return value;
    case Bands:
        return BandsText(c.Bands);
    case CriticalFreq:
        return QString::number(c.CriticalFreqMHz, 'f', 1);
    case HighestFreq:
        return QString::number(c.HighestFreqMHz, 'f', 3);
    case Drift:
        if (!c.Movement) {
            return QString("-");
        }
        return QString("%1 km/h %2°")
            .arg(std::lround(c.Movement->SpeedKmh))
            .arg(std::lround(c.Movement->TowardsDeg) % 360);
    case Distance:
        return QString("%1 km").arg(std::lround(value.toDouble()));
    case Azimuth:
        return QString("%1°").arg(std::lround(value.toDouble()) % 360);
    default:
        return {};
    }
}

} // namespace ionvane::livewindow
