// The band panel: the bands followed (10 m, 6 m, 4 m, 2 m), each "POSSIBLE" or "marginal" with its
// headline cloud's beam, the locator to try towards and the frequency of traffic, or "closed", in
// large type and colours that read from across the shack, and the other clouds that carry it in
// small type under it. Clicking a band draws its line on the map; the alarm band is chosen here.
#pragma once

#include "tracker/tracker_events.h"

#include <QWidget>

#include <array>
#include <optional>

class QComboBox;
class QLabel;
class QPushButton;

namespace ionvane::livewindow {

/// "6 m": a band as the panel and the title write it.
QString BandLabel(tracker::Band band);

class BandPanel : public QWidget {
    Q_OBJECT

  public:
    explicit BandPanel(QWidget *parent = nullptr);

    void SetVerdict(const tracker::VerdictEvent &verdict);
    /// The band whose line the map draws: the one clicked while it is possible, else the highest
    /// possible band; none while every band is closed.
    [[nodiscard]] std::optional<tracker::Band> SelectedBand() const;
    /// The highest band that is possible now.
    [[nodiscard]] std::optional<tracker::Band> HighestPossible() const;

    [[nodiscard]] tracker::Band AlarmBand() const;
    void SetAlarmBand(tracker::Band band);

    /// The text a band's row shows: "6 m POSSIBLE", "6 m marginal" or "6 m closed", then the
    /// headline cloud's beam, try-towards locator and frequency of traffic.
    [[nodiscard]] QString RowText(tracker::Band band) const;
    /// The other clouds that carry the band, one line each, small under its row; "" for none.
    [[nodiscard]] QString OthersText(tracker::Band band) const;
    /// Whether a band's row shows it possible.
    [[nodiscard]] bool ShowsPossible(tracker::Band band) const {
        return Verdict.Bands[tracker::BandIndex(band)].Possible();
    }

  signals:
    void selectedBandChanged();
    void alarmBandChanged(ionvane::tracker::Band band);

  private:
    void Show(tracker::Band band);

    tracker::VerdictEvent Verdict;
    std::optional<tracker::Band> Clicked;
    std::array<QPushButton *, tracker::BandCount> Rows{};
    std::array<QLabel *, tracker::BandCount> Others{};
    QComboBox *cmbAlarmBand = nullptr;
};

} // namespace ionvane::livewindow
