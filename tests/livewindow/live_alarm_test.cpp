// The live window's alarms, spot list and history, driven with a replayed capture of an opening
// on the capture's own clock: the alarm band chosen in the window, the banner, notification and
// beep, the newest spots, late feed reports, the ageing tick and the last hour at start.
#include "live_window_fixture.h"

class LiveAlarmTest : public QObject, LiveWindowFixture {
    Q_OBJECT

  private slots:
    void initTestCase() { InitCase(); }
    void init() { Init(); }

    void alarmBannerOncePerAlarmAndEscAcknowledges() {
        // State: the alarm band set to 2 m. Action: the capture's two 2 m spots (which also open
        // 4 m), then another 2 m spot through the same cloud, then Esc, then one more.
        // Expected: one banner, one notification and one beep for the 2 m opening, none for
        // 4 m (below the alarm band); Esc hides the banner, and the same opening never brings
        // it back.
        frmLive live(Setup());
        live.findChild<QComboBox *>("cmbAlarmBand")->setCurrentIndex(3);
        auto *banner = live.findChild<QPushButton *>("cmdAlarm");
        live.show();
        QVERIFY(QTest::qWaitForWindowExposed(&live));
        QVERIFY(!banner->isVisible());

        Replay(0, 5);
        QVERIFY(banner->isVisible());
        QCOMPARE(banner->text(),
                 QString("2 m OPEN since 10:00 UTC    (click or Esc)\n"
                         "(heard, 2 Es spots): beam 101, 1,276 km, towards JN77SK; model estimate "
                         "MUF 152.3 MHz"));
        QCOMPARE(Outlet.Notes.size(), 1);
        QVERIFY(Outlet.Notes.front().startsWith(
            "Ionvane Live: 2 m open | 2 m OPEN (heard, 2 Es spots): beam 101, 1,276 km, towards "
            "JN77SK; model estimate MUF 152.3 MHz"));
        QCOMPARE(Outlet.Beeps, 1);

        Now = CaptureStart + 90;
        Core().ClusterLine(Now, "DX de DK7UK:    144300.0  S51XYZ  JO01MM<ES>JN75EX 1001Z");
        QCOMPARE(Outlet.Notes.size(), 1);
        QVERIFY(banner->isVisible());

        // Acknowledging moves nothing under the pointer (the layout is settled before each look).
        auto *bands = live.findChild<QWidget *>("bandPanel");
        QCoreApplication::processEvents();
        const QPoint bandsAt = bands->mapTo(&live, QPoint());
        QTest::keyClick(&live, Qt::Key_Escape);
        QVERIFY(!banner->isVisible());
        QCoreApplication::processEvents();
        QCOMPARE(bands->mapTo(&live, QPoint()), bandsAt);

        Now = CaptureStart + 120;
        Core().ClusterLine(Now, "DX de DK7UK:    144174.0  S51ABC  JO01MM<ES>JN75EX 1002Z");
        QVERIFY(!banner->isVisible());
        QCOMPARE(Outlet.Notes.size(), 1);
        QCOMPARE(Outlet.Beeps, 1);
    }

    void turnBeamOnTheBannerAndTheBandRowSendsTheBandsBeam() {
        // The banner's button and the open 2 m row's context action turn to the 2 m beam the
        // row shows (101 degrees); the row offers no turn while the band is closed.
        frmLive live(Setup());
        live.findChild<QComboBox *>("cmbAlarmBand")->setCurrentIndex(3);
        live.show();
        QVERIFY(QTest::qWaitForWindowExposed(&live));
        auto *turnBeam = live.findChild<QPushButton *>("cmdTurnBeam");
        QVERIFY(!turnBeam->isVisible());
        QVERIFY(!live.findChild<QAction *>("actTurnBeam2m")->isEnabled());
        Replay(0, 5);
        QVERIFY(turnBeam->isVisible());
        turnBeam->click();
        live.findChild<QAction *>("actTurnBeam2m")->trigger();
        QCOMPARE(Outlet.Turns.size(), std::size_t{2});
        QCOMPARE(std::lround(Outlet.Turns[0]), 101L);
        QCOMPARE(Outlet.Turns[1], Outlet.Turns[0]);
        QVERIFY(live.findChild<QPushButton *>("cmdAlarm")->isVisible()); // not acknowledged
        QTest::keyClick(&live, Qt::Key_Escape);
        QVERIFY(!turnBeam->isVisible());
    }

    void alarmBandChosenInTheWindowIsTheTrackers() {
        // State: "6 m up" chosen before the opening. Action: the capture's 6 m spot and another
        // one; then "2 m up", the ageing tick 20 minutes on (the cloud fades, every band closes),
        // and 40 minutes on (closed and alarmed long enough ago to alarm again) a 6 m spot and
        // two independent 2 m spots through the same place.
        // Expected: the 6 m alarm once (banner, notification, beep); after the change only the
        // 2 m alarm, neither 6 m nor 4 m.
        frmLive live(Setup());
        auto *alarmBand = live.findChild<QComboBox *>("cmbAlarmBand");
        alarmBand->setCurrentIndex(1);
        auto *banner = live.findChild<QPushButton *>("cmdAlarm");
        live.show();
        QVERIFY(QTest::qWaitForWindowExposed(&live));
        Replay(0, 1);
        QVERIFY(banner->isVisible());
        QVERIFY(banner->text().startsWith("6 m OPEN"));
        Now = CaptureStart + 60;
        Core().ClusterLine(Now, "DX de G4ABC:     50110.0  S51ABC  IO90IR<ES>JN77EX 1001Z");
        QCOMPARE(Outlet.Notes.size(), 1);
        QVERIFY(Outlet.Notes.front().startsWith("Ionvane Live: 6 m open"));
        QCOMPARE(Outlet.Beeps, 1);
        QTest::keyClick(&live, Qt::Key_Escape);

        alarmBand->setCurrentIndex(3);
        Now = CaptureStart + 20 * 60;
        Core().Tick();
        Now = CaptureStart + 40 * 60;
        Core().ClusterLine(Now, "DX de G4ABC:     50100.0  S51ABC  IO90IR<ES>JN77EX 1040Z");
        Now += 30;
        Core().ClusterLine(Now, "DX de DK7UK:    144174.0  S51ABC  JO01MM<ES>JN75EX 1040Z");
        Now += 10;
        Core().ClusterLine(Now, "DX de F5ABC:    144300.0  OK1XYZ  IN99QH<ES>JN79QH 1040Z");
        QCOMPARE(Outlet.Notes.size(), 2);
        QVERIFY(Outlet.Notes.back().startsWith("Ionvane Live: 2 m open"));
        QCOMPARE(Outlet.Beeps, 2);
        QVERIFY(banner->text().startsWith("2 m OPEN"));
    }

    void alarmBannerAcknowledgedByClick() {
        // State: the default alarm band, 4 m. Action: the opening, then a click on the banner.
        // Expected: both 4 m and 2 m alarm; the click hides the banner.
        frmLive live(Setup());
        live.show();
        QVERIFY(QTest::qWaitForWindowExposed(&live));
        Replay(0, 5);
        auto *banner = live.findChild<QPushButton *>("cmdAlarm");
        QVERIFY(banner->isVisible());
        QCOMPARE(Outlet.Notes.size(), 2);
        QTest::mouseClick(banner, Qt::LeftButton);
        QVERIFY(!banner->isVisible());
    }

    void spotListGreysSkippedLinesAndFiltersByBand() {
        // State: the capture's first four lines (a 6 m spot, an FT8 line without locators, a WWV
        // line, a 2 m spot). Expected: three rows, newest first, the skipped one grey with its
        // reason; the WWV line is no spot at all. The 2 m filter leaves the 2 m spot.
        frmLive live(Setup());
        Replay(0, 4);
        auto *table = live.findChild<QTableView *>("tblSpots");
        using S = livewindow::SpotListModel;
        QCOMPARE(table->model()->rowCount(), 3);
        QCOMPARE(Cell(table, 0, S::Freq), QString("144.174"));
        QCOMPARE(Cell(table, 0, S::What), QString("Es, cloud 1"));
        QCOMPARE(Cell(table, 1, S::What), QString("skipped: No locators found in the spot"));
        QCOMPARE(Cell(table, 2, S::Time), QString("10:00:00"));
        QCOMPARE(Cell(table, 2, S::Spotter), QString("G4ABC"));
        QCOMPARE(Cell(table, 2, S::PathKm), QString("1173"));
        QCOMPARE(Cell(table, 0, S::Spotter), QString("DK7UK"));
        const QVariant grey = table->model()->index(1, S::What).data(Qt::ForegroundRole);
        QVERIFY(grey.isValid());
        QVERIFY(!table->model()->index(0, S::What).data(Qt::ForegroundRole).isValid());

        live.findChild<QComboBox *>("cmbSpotBand")->setCurrentIndex(4);
        QCOMPARE(table->model()->rowCount(), 1);
        QCOMPARE(Cell(table, 0, S::Band), QString("2m"));
        live.findChild<QComboBox *>("cmbSpotBand")->setCurrentIndex(0);
        QCOMPARE(table->model()->rowCount(), 3);
    }

    void spotListKeepsTheNewestThousand() {
        // State: a session without a window. Action: 1,005 spots. Expected: the 1,000 newest are
        // kept, the newest first; the five oldest are gone.
        const auto session = NewSession();
        for (int i = 0; i < 1005; ++i) {
            const std::string line = "DX de G4ABC:     " + std::to_string(50100 + i) +
                                     ".0  S51ABC  IO90IR<ES>JN77EX 1000Z";
            session.Core->ClusterLine(CaptureStart + i, line);
        }
        QCOMPARE(session->Spots().size(), livewindow::MaxListedSpots);
        QCOMPARE(session->Spots().front().Read.FreqMHzText, std::string("51.104"));
        QCOMPARE(session->Spots().back().Read.FreqMHzText, std::string("50.105"));
    }

    void lateFeedReportsCountAtTheirOwnTimes() {
        // State: a session without a window. Action: five 6 m reports of one cloud, of 14 to 2
        // minutes before their receipt, all received at once (the one of 12 minutes ago after the
        // one of 2 minutes ago), and one of 20 minutes ago. Expected: one cloud, its best spot
        // the one of the highest path MUF, and all five paths on the map.
        struct Report {
            tracker::UnixSeconds AgoS;
            const char *From;
            const char *To;
        };
        const Report reports[] = {
            {14 * 60, "IN80DO", "JN47GJ"}, {10 * 60, "IN80DO", "JN57PG"},
            {2 * 60, "IN80DO", "JN48QT"},  {12 * 60, "IN80DO", "JN58TD"},
            {6 * 60, "IM99TL", "JN48QT"},  {20 * 60, "IN80DO", "JN58TD"},
        };
        const tracker::UnixSeconds received = CaptureStart + 20 * 60;
        const auto late = NewSession();
        feed::ReportReader reader;
        long long sequence = 401;
        for (const Report &report : reports) {
            const std::string payload =
                "{\"sq\":" + std::to_string(sequence++) +
                ",\"f\":50313000,\"md\":\"FT8\",\"rp\":-12,\"t\":" +
                std::to_string(received - report.AgoS) + ",\"sc\":\"EA4XXX\",\"sl\":\"" +
                report.From + "\",\"rc\":\"DL1XX\",\"rl\":\"" + report.To + "\",\"b\":\"6m\"}";
            const std::string topic = std::string("pskr/filter/v2/6m/FT8/EA4XXX/DL1XX/") +
                                      report.From + '/' + report.To + "/281/230";
            late.Core->FeedReport(feed::ReportEvent(
                reader, feed::Seconds(std::chrono::seconds(received)), topic, payload));
        }
        QCOMPARE(late->Spots().size(), std::size(reports));
        QVERIFY(!late->Spots().front().CloudId.has_value()); // 20 minutes: older than the stretch

        // The cloud's sums are the tracker's; the session keeps the late reports' rows in time
        // order: the best spot is the highest path MUF, the shortest path at the one frequency.
        QCOMPARE(late->Now(), received);
        QCOMPARE(late->Clouds().size(), std::size_t{1});
        const auto best = late->BestSpotOf(late->Clouds()[0].Cloud.Id);
        QVERIFY(best);
        QCOMPARE(best->Time, received - 14 * 60);
        QCOMPARE(best->Read.FromLoc, std::string("IN80DO"));
        QCOMPARE(best->Read.ToLoc, std::string("JN47GJ"));
        QCOMPARE(late->RecentPaths().size(), std::size_t{5});
    }

    void ageingTickFadesCloudsWithoutLines() {
        // State: the opening's cloud. Action: the ageing tick 16 minutes later, nothing received.
        // Expected: the cloud fades and every band closes, as a line at that time would do.
        frmLive live(Setup());
        Replay(0, 4);
        Now = CaptureStart + 16 * 60;
        Core().Tick();
        auto *table = live.findChild<QTableView *>("tblClouds");
        QCOMPARE(Cell(table, 0, livewindow::CloudTableModel::Age), QString("16 min (fading)"));
        QVERIFY(BandRow(live, "6m").contains("closed"));
        QCOMPARE(live.windowTitle(), QString("Ionvane Live"));
    }

    void storeMovedAsideIsSaidInTheStatusBar() {
        // State: a store file that is no database. Action: the store opened and handed to the
        // window's core. Expected: the status bar says it was moved aside.
        QTemporaryDir storeDir;
        const QString path = storeDir.filePath("history.sqlite");
        QFile garbage(path);
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray(4096, 'x'));
        garbage.close();
        history::HistoryStore store(path, Now);
        frmLive live(Setup(&store));
        QVERIFY2(live.statusBar()->currentMessage().contains("moved aside"),
                 qPrintable(live.statusBar()->currentMessage()));
    }

    void historyOfTheLastHourShownAtStart() {
        // State: a store that recorded the opening. Action: a new window five minutes later.
        // Expected: the cloud and the spots are back, and the alarms already raised are not
        // raised again.
        QTemporaryDir storeDir;
        {
            history::HistoryStore store(storeDir.filePath("history.sqlite"), CaptureStart);
            frmLive live(Setup(&store));
            Replay(0, 4);
        }
        const int notes = static_cast<int>(Outlet.Notes.size());
        Now = CaptureStart + 5 * 60;
        history::HistoryStore store(storeDir.filePath("history.sqlite"), Now);
        frmLive live(Setup(&store));
        auto *clouds = live.findChild<QTableView *>("tblClouds");
        QCOMPARE(clouds->model()->rowCount(), 1);
        QCOMPARE(Cell(clouds, 0, livewindow::CloudTableModel::Centre), QString("JN39RG"));
        QCOMPARE(Cell(clouds, 0, livewindow::CloudTableModel::Age), QString("5 min"));
        QCOMPARE(live.findChild<QTableView *>("tblSpots")->model()->rowCount(), 3);
        QCOMPARE(Outlet.Notes.size(), notes);
        QVERIFY(!live.findChild<QPushButton *>("cmdAlarm")->isVisible());
    }
};

QTEST_MAIN(LiveAlarmTest)
#include "live_alarm_test.moc"
