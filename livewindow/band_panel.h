// The band panel: the bands followed (10 m, 6 m, 4 m, 2 m), each "POSSIBLE" or "marginal" with its
// headline cloud's beam, the locator to try towards and the frequency of traffic, or "closed", in
// large type and colours that read from across the shack, and the other clouds that carry it in
// small type under it. Clicking a band draws its line on the map; the alarm band is chosen here.
#pragma once

#include "tracker/tracker_events.h"

#include <QWidget>

#include <array>
#include <optional>

class QAction;
class QComboBox;
class QPushButton;

namespace ionvane::livewindow {

class ElidedLabel;

/// "6 m": a band as the panel and the title write it.
QString BandLabel(spot::Band band);

/// "beam 228 towards JN11AB up to 57.2 MHz": a band's figures from home as its row shows them, the
/// beam in whole degrees, the frequency of traffic to 0.1 MHz.
QString BeamText(const tracker::HomeFigures &home);

/// The alarm banner's words for the alarm raised at `alarmTime` (seconds since 1970, UTC) on
/// `verdict`'s band, as that band stands now: "4 m OPEN since 19:42 UTC", `hint`, and on a second
/// line the band row's own figures while it is open, so that the banner and the row never
/// disagree; "marginal now" or "closed again" after.
QString BannerText(const tracker::BandVerdict &verdict, tracker::UnixSeconds alarmTime,
                   const QString &hint);

class BandPanel : public QWidget {
    Q_OBJECT

  public:
    explicit BandPanel(QWidget *parent = nullptr);

    void SetVerdict(const tracker::VerdictEvent &verdict);
    /// The band whose line the map draws: the one clicked while it is possible, else the highest
    /// possible band; none while every band is closed.
    [[nodiscard]] std::optional<spot::Band> SelectedBand() const;
    /// The highest band that is possible now.
    [[nodiscard]] std::optional<spot::Band> HighestPossible() const;

    [[nodiscard]] spot::Band AlarmBand() const;
    void SetAlarmBand(spot::Band band);

    /// The text a band's row shows: "6 m POSSIBLE", "6 m marginal" or "6 m closed", then the
    /// headline cloud's beam, try-towards locator and frequency of traffic.
    [[nodiscard]] QString RowText(spot::Band band) const;
    /// The other clouds that carry the band in one small line under its row: the best of them,
    /// and "+2 more" for the rest; "" for none.
    [[nodiscard]] QString OthersText(spot::Band band) const;
    /// Every other cloud that carries the band, one line each: the small line's tool tip.
    [[nodiscard]] QString OthersTip(spot::Band band) const;
    /// The band's double-hop evidence in one small line under its row, in the tracker's words
    /// ("6 m double hop to the Caribbean, 42 spots, last 19:53"), the most heard region first and
    /// "+1 more" for the rest; "" for none.
    [[nodiscard]] QString DoubleHopText(spot::Band band) const;
    /// Every double-hop region of the band with its two reflection points' locators: the small
    /// line's tool tip.
    [[nodiscard]] QString DoubleHopTip(spot::Band band) const;
    /// Whether a band's row shows it possible.
    [[nodiscard]] bool ShowsPossible(spot::Band band) const {
        return Verdict.Bands[spot::BandIndex(band)].Possible();
    }

  signals:
    void selectedBandChanged();
    void alarmBandChanged(ionvane::spot::Band band);
    /// "Turn beam" on an open (possible or marginal) band's row: its headline beam, degrees.
    void turnBeamAsked(double azimuthDeg);

  private:
    void Show(spot::Band band);

    tracker::VerdictEvent Verdict;
    std::optional<spot::Band> Clicked;
    std::array<QPushButton *, spot::BandCount> Rows{};
    std::array<QAction *, spot::BandCount> TurnBeams{}; ///< each row's "Turn beam"
    std::array<ElidedLabel *, spot::BandCount> Others{};
    std::array<ElidedLabel *, spot::BandCount> Hops{};
    QComboBox *cmbAlarmBand = nullptr;
};

} // namespace ionvane::livewindow
