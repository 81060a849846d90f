// The spot list: the newest spots first, Es or not, with the path length, the DX call and the
// spotter, the lines that were skipped greyed and their reason given; filtered by band and source.
#pragma once

#include "spot_row_cache.h"

#include <QAbstractTableModel>

#include <optional>
#include <vector>

namespace ionvane::livewindow {

class SpotListModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum Column { Time, Source, Band, Freq, From, To, PathKm, Call, Spotter, What, ColumnCount };

    explicit SpotListModel(QObject *parent = nullptr);

    /// Shows `spots` (newest first), those on `band` only when a band is given.
    void SetSpots(const std::deque<SpotRow> &spots);
    void SetBandFilter(std::optional<spot::Band> band);
    /// Shows the spots of one source only (the typed cluster spots among ten feed reports a
    /// second), or of all when none is given.
    void SetSourceFilter(std::optional<SpotSource> source);
    [[nodiscard]] std::optional<spot::Band> BandFilter() const { return Filter; }

    [[nodiscard]] const SpotRow &Row(int row) const { return Shown[static_cast<std::size_t>(row)]; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    void Refill();

    std::deque<SpotRow> All;
    std::vector<SpotRow> Shown;
    std::optional<spot::Band> Filter;
    std::optional<SpotSource> SourceFilter;
};

/// What became of a spot, in words: "Es, cloud 3", "too short", "skipped: No locators found".
QString SpotWhatText(const SpotRow &row);

/// "cluster", "feed" or "WSJT-X": where a spot came from, as the list and its filter name it.
QString SourceText(SpotSource source);

} // namespace ionvane::livewindow
