// The cloud table: one row per Es cloud with its centre, age, spots, bands, critical and highest
// frequency, drift, and distance and azimuth from home. Sorts by the numbers, not their texts.
#pragma once

#include "map/projection.h"
#include "tracker/tracker_events.h"

#include <QAbstractTableModel>

#include <vector>

namespace ionvane::livewindow {

/// Headers are short so that all eleven columns fit beside the map: "Eq. fc" is the equivalent
/// critical frequency in MHz, "Cloud" the number the map and the band panel give it (what the model
/// says a cloud at the path centre needs, not an ionosonde's foEs), "Top MHz" the highest frequency
/// heard, "Heard" how long ago its last spot was, "Dist" and "Az" the distance and azimuth from
/// home.
class CloudTableModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum Column {
        Id,
        Centre,
        // Where to beam comes first: a side panel narrower than the table once hid these behind
        // its scroll bar.
        Distance,
        Azimuth,
        HighestFreq,
        Bands,
        Spots,
        Age,
        LastHeard,
        CriticalFreq,
        Drift,
        ColumnCount
    };
    /// The role that holds the value a column sorts by.
    static constexpr int SortRole = Qt::UserRole;
    /// The role that holds the cloud's id, in every column.
    static constexpr int CloudIdRole = Qt::UserRole + 1;

    explicit CloudTableModel(QObject *parent = nullptr);

    /// The home station the distances and azimuths are measured from.
    void SetHome(map::GeoPoint home);
    /// The clouds as they stand at `now` (seconds since 1970, UTC). Rows of clouds still there are
    /// changed in place, gone ones removed and new ones added, never the whole table reset: a
    /// reset between the two clicks of a double-click, four times a second while the feed is
    /// busy, lost the double-click and the selection.
    void SetClouds(std::vector<tracker::CloudEvent> clouds, tracker::UnixSeconds now);

    [[nodiscard]] const std::vector<tracker::CloudEvent> &Clouds() const { return Rows; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    QVariant Text(const tracker::CloudEvent &cloud, int column) const;
    QVariant SortValue(const tracker::CloudEvent &cloud, int column) const;

    std::vector<tracker::CloudEvent> Rows;
    tracker::UnixSeconds Now = 0;
    map::GeoPoint Home;
};

/// "6m 2m": the bands of a set, lowest frequency first.
QString BandsText(spot::BandSet bands);

} // namespace ionvane::livewindow
