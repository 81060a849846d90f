// The evening in review under the map: a slider over the history store's last hours, Play at x60
// and x600, and while the past is shown a bar across saying so, "Viewing 19:42 UTC - back to
// live". The slider's last position is live. The store is read when the slider is first moved,
// and again (what came since) each time the past is entered from live, on a thread of its own
// ("Reading the history..." under the slider meanwhile), as each moment is replayed.
#pragma once

#include "review/review_control.h"
#include "review_worker.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QTimer;

namespace ionvane::livewindow {

/// How often Play moves the slider on by a minute, ms: x60 shows a minute of the past in a
/// second, x600 ten.
constexpr int PlayX60Ms = 1000;
constexpr int PlayX600Ms = 100;

class ReviewBar : public QWidget {
    Q_OBJECT

  public:
    ReviewBar(std::function<review::UnixSeconds()> nowUtc, QWidget *parent = nullptr);
    ~ReviewBar() override;

    /// The review to show from (null: none, the slider stays live and says why).
    void UseReview(std::unique_ptr<review::ReviewControl> review);
    /// Whether a moment of the past is shown.
    [[nodiscard]] bool Reviewing() const { return Shown.has_value(); }
    /// The moment shown, while reviewing.
    [[nodiscard]] std::optional<review::UnixSeconds> ShownTime() const { return Shown; }
    [[nodiscard]] const review::ReviewSpan &Span() const { return Read; }
    /// Whether the store is being read.
    [[nodiscard]] bool Reading() const { return LoadsPending > 0; }
    /// Shows the moment at `time` (read from the store first, when it has not been): the bar and
    /// the slider at once, the moment when its replay is done.
    void ShowTime(review::UnixSeconds time);
    /// Leaves the past: the slider at its end, the bar gone.
    void BackToLive();

  signals:
    /// A moment of the past is to be shown.
    void momentShown(const ionvane::review::ReviewMoment &moment);
    /// Live is to be shown again.
    void liveShown();

  private:
    /// Reads what the store holds since the last read; the slider then spans it, at `time` (or
    /// at the time asked for last meanwhile).
    void Load(review::UnixSeconds time);
    void Loaded(const review::ReviewSpan &span);
    /// Shows `time` of the span read.
    void ShowRead(review::UnixSeconds time);
    void PositionChanged(int position);
    void Play(QPushButton *button, int intervalMs);
    void Step();
    void StopPlaying();
    void ShowProblem();

    std::function<review::UnixSeconds()> NowUtc;
    std::unique_ptr<ReviewWorker> Worker;
    review::ReviewSpan Read;
    bool HasRead = false;
    /// Reads asked for and not back yet, the last of them over ReadingHours.
    int LoadsPending = 0;
    int ReadingHours = 0;
    /// The time to show when the reads are back; none: live.
    std::optional<review::UnixSeconds> Wanted;
    std::optional<review::UnixSeconds> Shown;
    QLabel *lblViewing = nullptr;
    QSlider *sldReview = nullptr;
    QLabel *lblReviewTime = nullptr;
    QPushButton *cmdPlay60 = nullptr;
    QPushButton *cmdPlay600 = nullptr;
    QComboBox *cmbReviewHours = nullptr;
    QLabel *lblReviewProblem = nullptr;
    QLabel *lblReviewReading = nullptr;
    QTimer *Player = nullptr;
};

} // namespace ionvane::livewindow
