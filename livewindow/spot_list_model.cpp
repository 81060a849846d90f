#include "spot_list_model.h"

#include "spot/utc_time.h"

#include <QBrush>
#include <QColor>

#include <cmath>

namespace ionvane::livewindow {

namespace {
// Skipped lines and spots that place no cloud are greyed: listed for the record, not for action.
const QColor GreyText(140, 140, 140);
// The time of day of a row, "10:00:25": the capture's UTC text without its date and zone.
constexpr qsizetype TimeOfDayStart = 11;
constexpr qsizetype TimeOfDayLength = 8;

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
} // namespace

QString SpotWhatText(const SpotRow &row) {
    if (row.Skipped) {
        return "skipped: " + Q(row.Reason);
    }
    if (!row.Placed.empty()) {
        SpotRow located = row;
        located.Placed.clear();
        return SpotWhatText(located) + "; placed " + Q(row.Placed);
    }
    switch (row.Class) {
    case tracker::EsClass::Counted:
        return row.CloudId ? QString("Es, cloud %1").arg(*row.CloudId) : QString("Es");
    case tracker::EsClass::MultiHop:
        return "multi-hop";
    case tracker::EsClass::TooShort:
        return "too short for Es";
    case tracker::EsClass::OtherMode:
        return "not Es: " + Q(row.Read.Tag);
    case tracker::EsClass::OtherBand:
        return "other band";
    case tracker::EsClass::NoResult:
        return "no result";
    case tracker::EsClass::MeteorScatter:
    case tracker::EsClass::Aurora:
    case tracker::EsClass::Unconfirmed:
        return Q(tracker::EsClassText(row.Class));
    }
    return {};
}

QString SourceText(SpotSource source) {
    switch (source) {
    case SpotSource::Cluster:
        return "cluster";
    case SpotSource::Feed:
        return "feed";
    case SpotSource::Wsjtx:
        return "WSJT-X";
    }
    return {};
}

SpotListModel::SpotListModel(QObject *parent) : QAbstractTableModel(parent) {}

void SpotListModel::SetSpots(const std::deque<SpotRow> &spots) {
    All = spots;
    Refill();
}

void SpotListModel::SetBandFilter(std::optional<spot::Band> band) {
    Filter = band;
    Refill();
}

void SpotListModel::SetSourceFilter(std::optional<SpotSource> source) {
    SourceFilter = source;
    Refill();
}

void SpotListModel::Refill() {
    beginResetModel();
    Shown.clear();
    for (const SpotRow &row : All) {
        if ((!Filter || row.SpotBand == Filter) && (!SourceFilter || row.Source == SourceFilter)) {
            Shown.push_back(row);
        }
    }
    endResetModel();
}

int SpotListModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : static_cast<int>(Shown.size());
}

int SpotListModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SpotListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    static const char *const names[ColumnCount] = {"UTC", "Source", "Band", "MHz",     "From",
                                                   "To",  "Km",     "Call", "Spotter", "What"};
    return section >= 0 && section < ColumnCount ? QVariant(names[section]) : QVariant();
}

QVariant SpotListModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const SpotRow &row = Row(index.row());
    if (role == Qt::ForegroundRole) {
        const bool grey = row.Skipped || row.Class != tracker::EsClass::Counted;
        return grey ? QVariant(QBrush(GreyText)) : QVariant();
    }
    if (role == Qt::ToolTipRole) {
        // The reason in full, whatever the column's width: "skipped: Decode..." told nothing.
        return row.Skipped || index.column() == What ? QVariant(SpotWhatText(row)) : QVariant();
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    switch (index.column()) {
    case Source:
        return SourceText(row.Source);
    case Time:
        return QString::fromStdString(spot::UtcTimeText(row.Time))
            .mid(TimeOfDayStart, TimeOfDayLength);
    case Band:
        return row.SpotBand ? Q(spot::BandName(*row.SpotBand)) : QString();
    case Freq:
        return QString::fromStdString(row.Read.FreqMHzText);
    case From:
        return QString::fromStdString(row.Read.FromLoc);
    case To:
        return QString::fromStdString(row.Read.ToLoc);
    case PathKm:
        return row.From && row.To
                   ? QString::number(std::lround(map::DistanceKm(*row.From, *row.To)))
                   : QString();
    case Call:
        return QString::fromStdString(row.Read.DxCall);
    case Spotter:
        return QString::fromStdString(row.Read.Spotter);
    case What:
        return SpotWhatText(row);
    default:
        return {};
    }
}

} // namespace ionvane::livewindow
