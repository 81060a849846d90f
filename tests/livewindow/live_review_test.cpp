// The evening in review in the live window: the slider under the map shows the tables, the band
// rows and the map as they were, with the bar that says so, while the live session goes on
// recording; its link goes back to live, and nothing of the past alarms.
#include "live_window_fixture.h"

#include "review/review_engine.h"
#include "review/review_time.h"

#include <QSlider>

class LiveReviewTest : public QObject, LiveWindowFixture {
    Q_OBJECT

  private:
    std::unique_ptr<history::HistoryStore> Store;
    QString StorePath;

    livewindow::LiveWindowSetup ReviewSetup() {
        StorePath = ConfigDir->filePath("history.sqlite");
        Store = std::make_unique<history::HistoryStore>(StorePath, Now);
        livewindow::LiveWindowSetup setup = Setup(Store.get());
        setup.OpenReview = [path = StorePath](review::ReviewSetup review) {
            return std::make_unique<review::ReviewEngine>(std::move(review), path);
        };
        return setup;
    }

    struct Shown {
        int Clouds = 0;
        QString HighestFreq;
        int Spots = 0;
        QString NewestSpot;
    };

    static Shown Showing(frmLive &live) {
        auto *clouds = live.findChild<QTableView *>("tblClouds");
        auto *spots = live.findChild<QTableView *>("tblSpots");
        return {clouds->model()->rowCount(),
                Cell(clouds, 0, livewindow::CloudTableModel::HighestFreq),
                spots->model()->rowCount(), Cell(spots, 0, livewindow::SpotListModel::Freq)};
    }

    static void Compare(const Shown &a, const Shown &b) {
        QCOMPARE(a.Clouds, b.Clouds);
        QCOMPARE(a.HighestFreq, b.HighestFreq);
        QCOMPARE(a.Spots, b.Spots);
        QCOMPARE(a.NewestSpot, b.NewestSpot);
    }

  private slots:
    void initTestCase() { InitCase(); }
    void init() { Init(); }
    void cleanup() { Store.reset(); }

    void theSliderShowsThePastAndTheLinkGoesBackToLive() {
        // State: the opening's five spots were heard live up to 10:00:40; later a 6 m spot far
        // away. Action: the slider back to 10:01, then "back to live".
        // Expected: at 10:01 the tables show what they showed live then, under "Viewing 10:01
        // UTC"; a line heard meanwhile is recorded but not shown; back to live shows it all.
        frmLive live(ReviewSetup());
        Replay(live, 0, 5);
        const Shown then = Showing(live);
        QVERIFY(then.Clouds > 0);
        Replay(live, 5, 6);
        Now = CaptureStart + 30 * 60;
        live.Session().ClusterLine(Now,
                                   "DX de EA7ABC:    50150.0  SV1ABC       IM67<ES>KM18 1030Z");
        const Shown liveNow = Showing(live);
        QVERIFY(liveNow.NewestSpot != then.NewestSpot);
        const int beeps = Outlet.Beeps;

        auto *slider = live.findChild<QSlider *>("sldReview");
        auto *viewing = live.findChild<QLabel *>("lblViewing");
        QVERIFY(viewing->isHidden());
        QCOMPARE(slider->value(), slider->maximum());
        // Before the first look the slider reaches six hours back from now (10:30): 29 minutes
        // back is 10:01. The look reads the store: a position a minute from its first line at
        // 10:00, the last, at 10:30, live.
        QCOMPARE(slider->maximum(), 6 * 60);
        slider->setValue(slider->maximum() - 29);
        QCOMPARE(slider->maximum(), 30);
        QCOMPARE(slider->value(), 1);
        QVERIFY(!viewing->isHidden());
        QCOMPARE(viewing->text().section(" - ", 0, 0), QString("Viewing 10:01 UTC"));
        QVERIFY(viewing->text().contains(">back to live</a>"));
        Compare(Showing(live), then);

        // Live goes on underneath, recorded and not shown.
        Now += 60;
        live.Session().ClusterLine(Now,
                                   "DX de EA7ABC:    50160.0  SV1XYZ       IM67<ES>KM18 1031Z");
        Compare(Showing(live), then);
        QCOMPARE(Store->LinesSince(Now).size(), std::size_t{1});

        emit viewing->linkActivated("live");
        QVERIFY(viewing->isHidden());
        QCOMPARE(slider->value(), slider->maximum());
        QCOMPARE(Showing(live).NewestSpot, QString("50.16"));
        QCOMPARE(Outlet.Beeps, beeps);
    }

    void playingReachesLiveAndStops() {
        // State: in review at 10:29 of a span ending 10:30. Action: Play x600's steps.
        // Expected: a minute a step, then live, the button released.
        frmLive live(ReviewSetup());
        Replay(live, 0, 6);
        Now = CaptureStart + 30 * 60;
        auto *bar = live.findChild<livewindow::ReviewBar *>("reviewBar");
        bar->ShowTime(Now - 60);
        QCOMPARE(bar->ShownTime(), std::optional<tracker::UnixSeconds>(Now - 60));
        auto *play = live.findChild<QPushButton *>("cmdPlay600");
        play->click();
        QVERIFY(play->isChecked());
        QTRY_VERIFY(!bar->Reviewing());
        QVERIFY(!play->isChecked());
        QVERIFY(live.findChild<QLabel *>("lblViewing")->isHidden());
    }

    void aMissingStoreSaysWhyAndStaysLive() {
        // State: no store at all. Action: the slider moved. Expected: live stays, the reason is
        // shown under the slider.
        livewindow::LiveWindowSetup setup = Setup();
        setup.OpenReview = [path = ConfigDir->filePath("none.sqlite")](review::ReviewSetup r) {
            return std::make_unique<review::ReviewEngine>(std::move(r), path);
        };
        frmLive live(std::move(setup));
        auto *slider = live.findChild<QSlider *>("sldReview");
        slider->setValue(0);
        QCOMPARE(slider->value(), slider->maximum());
        QVERIFY(live.findChild<QLabel *>("lblViewing")->isHidden());
        QVERIFY(live.findChild<QLabel *>("lblReviewProblem")->text().contains("does not exist"));
    }
};

QTEST_MAIN(LiveReviewTest)
#include "live_review_test.moc"
