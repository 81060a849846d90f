// The live window's evening in review: the slider under the map, and the past it shows in the
// tables, the band panel and the map while the live session goes on recording.
#include "live_window.h"

namespace ionvane::livewindow {

QWidget *frmLive::BuildReviewBar(QWidget *parent) {
    reviewBar = new ReviewBar(Setup.NowUtc, parent);
    connect(reviewBar, &ReviewBar::momentShown, this, &frmLive::ShowPast);
    connect(reviewBar, &ReviewBar::liveShown, this, [this] {
        Past.reset();
        Refresh();
    });
    return reviewBar;
}

void frmLive::AttachReview() {
    review::ReviewSetup setup;
    setup.Format = Setup.Format;
    setup.Home = TrackerHome();
    setup.Tracker = Setup.Tracker;
    reviewBar->UseReview(Setup.OpenReview ? Setup.OpenReview(std::move(setup)) : nullptr);
}

void frmLive::ShowPast(const review::ReviewMoment &moment) {
    // A session of its own, never attached to a core: nothing of it alarms, and the live one
    // keeps hearing its sources.
    auto past = std::make_unique<SpotRowCache>();
    past->ShowStill(moment.Time, moment.Clouds, moment.Verdict, moment.Spots);
    Past = std::move(past);
    Refresh();
}

} // namespace ionvane::livewindow
