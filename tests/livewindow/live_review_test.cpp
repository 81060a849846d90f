// The evening in review in the live window: the slider under the map shows the tables, the band
// rows and the map as they were, with the bar that says so, while the live session goes on
// recording; its link goes back to live, and nothing of the past alarms. The store is read and
// replayed on a thread of the review's own: the window answers meanwhile, the newest moment asked
// for wins, and a window closed mid-read stops the read.
#include "live_window_fixture.h"

#include "review/review_engine.h"
#include "review/review_time.h"

#include <QSlider>

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {

// What a held review does, shared between its thread and the test's.
class Gate {
  public:
    bool HoldLoad = false;
    bool HoldMoments = false;

    void Release() {
        const std::lock_guard lock(Lock);
        Open = true;
        Changed.notify_all();
    }
    bool LoadStarted() {
        const std::lock_guard lock(Lock);
        return Started;
    }
    bool StopSeen() {
        const std::lock_guard lock(Lock);
        return Stopped;
    }
    std::vector<tracker::UnixSeconds> Replayed() {
        const std::lock_guard lock(Lock);
        return Asked;
    }

    // Waits for the test to open the gate, or for the read to be asked to stop; bounded, so that a
    // window that never asks fails the test rather than hang it.
    void Pass(bool hold, std::stop_token stop) {
        std::unique_lock lock(Lock);
        Started = true;
        if (hold) {
            Changed.wait_for(lock, stop, std::chrono::seconds(20), [this] { return Open; });
        }
        Stopped = Stopped || stop.stop_requested();
    }
    void Replaying(tracker::UnixSeconds time) {
        {
            const std::lock_guard lock(Lock);
            Asked.push_back(time);
        }
        Pass(HoldMoments, {});
    }

  private:
    std::mutex Lock;
    std::condition_variable_any Changed;
    bool Open = false;
    bool Started = false;
    bool Stopped = false;
    std::vector<tracker::UnixSeconds> Asked;
};

// A review of the hour before `now` whose read and replays wait at the gate.
class HeldReview : public review::ReviewControl {
  public:
    explicit HeldReview(std::shared_ptr<Gate> gate) : Held(std::move(gate)) {}
    review::ReviewSpan Load(review::UnixSeconds now, int /*hours*/, std::stop_token stop) override {
        Held->Pass(Held->HoldLoad, stop);
        return {now - 3600, now, 1, 0, {}};
    }
    review::ReviewMoment At(review::UnixSeconds time) override {
        Held->Replaying(time);
        return {time, {}, {}, {}};
    }

  private:
    std::shared_ptr<Gate> Held;
};

} // namespace

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

    std::unique_ptr<livewindow::ReviewBar> HeldBar(const std::shared_ptr<Gate> &gate) {
        auto bar = std::make_unique<livewindow::ReviewBar>([this] { return Now; });
        bar->UseReview(std::make_unique<HeldReview>(gate));
        return bar;
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
        Replay(0, 5);
        const Shown then = Showing(live);
        QVERIFY(then.Clouds > 0);
        Replay(5, 6);
        Now = CaptureStart + 30 * 60;
        Core().ClusterLine(Now, "DX de EA7ABC:    50150.0  SV1ABC       IM67<ES>KM18 1030Z");
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
        QVERIFY(!live.findChild<QLabel *>("lblReviewReading")->isHidden());
        QTRY_COMPARE(slider->maximum(), 30);
        QVERIFY(live.findChild<QLabel *>("lblReviewReading")->isHidden());
        QCOMPARE(slider->value(), 1);
        QVERIFY(!viewing->isHidden());
        QCOMPARE(viewing->text().section(" - ", 0, 0), QString("Viewing 10:01 UTC"));
        QVERIFY(viewing->text().contains(">back to live</a>"));
        QTRY_COMPARE(Showing(live).NewestSpot, then.NewestSpot);
        Compare(Showing(live), then);

        // Live goes on underneath, recorded and not shown.
        Now += 60;
        Core().ClusterLine(Now, "DX de EA7ABC:    50160.0  SV1XYZ       IM67<ES>KM18 1031Z");
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
        Replay(0, 6);
        Now = CaptureStart + 30 * 60;
        auto *bar = live.findChild<livewindow::ReviewBar *>("reviewBar");
        bar->ShowTime(Now - 60);
        QTRY_COMPARE(bar->ShownTime(), std::optional<tracker::UnixSeconds>(Now - 60));
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
        QTRY_VERIFY(!live.findChild<livewindow::ReviewBar *>("reviewBar")->Reading());
        QCOMPARE(slider->value(), slider->maximum());
        QVERIFY(live.findChild<QLabel *>("lblViewing")->isHidden());
        QVERIFY(live.findChild<QLabel *>("lblReviewProblem")->text().contains("does not exist"));
    }

    void keysAreAnsweredWhileTheStoreIsRead() {
        // State: a read of the store that goes on until the test lets it end. Action: the slider
        // moved back, then End pressed on it mid-read. Expected: the word under the slider at
        // once; the key taken mid-read back to live; the read, ended, shows no past.
        auto gate = std::make_shared<Gate>();
        gate->HoldLoad = true;
        const auto bar = HeldBar(gate);
        auto *slider = bar->findChild<QSlider *>("sldReview");
        auto *reading = bar->findChild<QLabel *>("lblReviewReading");
        slider->setValue(slider->maximum() - 29);
        QVERIFY(bar->Reading());
        QVERIFY(!reading->isHidden());
        QTRY_VERIFY(gate->LoadStarted());
        QTest::keyClick(slider, Qt::Key_End);
        QCOMPARE(slider->value(), slider->maximum());
        gate->Release();
        QTRY_VERIFY(!bar->Reading());
        QVERIFY(reading->isHidden());
        QVERIFY(!bar->Reviewing());
        QCOMPARE(slider->value(), slider->maximum());
        QVERIFY(gate->Replayed().empty());
    }

    void theNewestMomentAskedForWins() {
        // State: the replay of 20 minutes back under way. Action: 15, then 10 minutes back asked
        // for meanwhile. Expected: the bar says 10 minutes back at once; 15 is never replayed,
        // and of 20 and 10 only 10 is shown.
        auto gate = std::make_shared<Gate>();
        gate->HoldMoments = true;
        const auto bar = HeldBar(gate);
        std::vector<tracker::UnixSeconds> shown;
        connect(bar.get(), &livewindow::ReviewBar::momentShown,
                [&shown](const review::ReviewMoment &moment) { shown.push_back(moment.Time); });
        bar->ShowTime(Now - 20 * 60);
        QTRY_COMPARE(gate->Replayed().size(), std::size_t{1});
        bar->ShowTime(Now - 15 * 60);
        bar->ShowTime(Now - 10 * 60);
        QCOMPARE(bar->ShownTime(), std::optional<tracker::UnixSeconds>(Now - 10 * 60));
        gate->Release();
        QTRY_COMPARE(shown.size(), std::size_t{1});
        QCOMPARE(shown.front(), Now - 10 * 60);
        QCOMPARE(gate->Replayed(),
                 (std::vector<tracker::UnixSeconds>{Now - 20 * 60, Now - 10 * 60}));
    }

    void closingTheWindowMidReadStopsTheRead() {
        // State: the window reading the store, the read held. Action: the window closed and
        // destroyed. Expected: the read was asked to stop (and the thread joined: no result
        // reaches the window gone).
        auto gate = std::make_shared<Gate>();
        gate->HoldLoad = true;
        livewindow::LiveWindowSetup setup = Setup();
        setup.OpenReview = [gate](review::ReviewSetup) {
            return std::make_unique<HeldReview>(gate);
        };
        auto live = std::make_unique<frmLive>(std::move(setup));
        auto *slider = live->findChild<QSlider *>("sldReview");
        slider->setValue(slider->maximum() - 29);
        QTRY_VERIFY(gate->LoadStarted());
        live->close();
        live.reset();
        QVERIFY(gate->StopSeen());
        QCoreApplication::processEvents();
    }
};

QTEST_MAIN(LiveReviewTest)
#include "live_review_test.moc"
