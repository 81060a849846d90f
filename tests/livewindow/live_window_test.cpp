// The live window's cloud table, band panel and map, and the double-click into the main window.
#include "live_window_test.h"

#include <QListView>
#include <QUdpSocket>

void LiveWindowTest::cloudTableFilledFromReplayedCapture() {
    // State: an empty window. Action: the opening's first four lines, then its prompt 16
    // minutes later. Expected: one cloud, updated by the 2 m spot, then fading; the figures
    // those of ionvane-cli --replay on the same capture.
    frmLive live(Setup());
    auto *table = live.findChild<QTableView *>("tblClouds");
    QVERIFY(table != nullptr);
    QCOMPARE(table->model()->rowCount(), 0);

    Replay(0, 1);
    QCOMPARE(table->model()->rowCount(), 1);
    QCOMPARE(Cell(table, 0, livewindow::CloudTableModel::Centre), QString("JN39JO"));
    QCOMPARE(Cell(table, 0, livewindow::CloudTableModel::HighestFreq), QString("50.100"));

    Replay(1, 4);
    QCOMPARE(table->model()->rowCount(), 1);
    using C = livewindow::CloudTableModel;
    QCOMPARE(Cell(table, 0, C::Centre), QString("JN39RG"));
    QCOMPARE(Cell(table, 0, C::Age), QString("0 min"));
    QCOMPARE(Cell(table, 0, C::Spots), QString("2"));
    QCOMPARE(Cell(table, 0, C::Bands), QString("6m 2m"));
    // One 2 m spot beside one 6 m spot: the cloud claims what both support.
    QCOMPARE(Cell(table, 0, C::CriticalFreq), QString("12.0"));
    QCOMPARE(Cell(table, 0, C::HighestFreq), QString("144.174"));
    QCOMPARE(Cell(table, 0, C::Drift), QString("-"));
    // From IO90IR (50.7292 N, 1.2917 W) to 49.2708 N, 7.4473 E on the 6371.291 km sphere.
    QCOMPARE(Cell(table, 0, C::Distance), QString("645 km"));
    QCOMPARE(Cell(table, 0, C::Azimuth), QString("101°"));
    QCOMPARE(table->model()->headerData(C::CriticalFreq, Qt::Horizontal).toString(),
             QString("Eq. fc"));

    Replay(4, 6);
    QCOMPARE(Cell(table, 0, C::Age), QString("16 min (fading)"));
    QCOMPARE(Cell(table, 0, C::LastHeard), QString("15 min ago"));
}

void LiveWindowTest::bandPanelNamesEachBandsOwnCloud() {
    // State: a verdict followed outside Region 1 (no 4 m): 6 m marginal through cloud 1 with
    // cloud 2 also within the margin, 2 m possible through cloud 2. Expected: no 4 m row;
    // each row names its own headline cloud's beam and frequency; 6 m in amber with cloud 2
    // in small type under it; 2 m with no other cloud.
    livewindow::BandPanel panel;
    tracker::VerdictEvent v;
    v.Shown = spot::BandBit(spot::Band::M10) | spot::BandBit(spot::Band::M6) |
              spot::BandBit(spot::Band::M2);
    for (const spot::Band band : spot::AllBands) {
        v.Bands[spot::BandIndex(band)].Which = band;
    }
    tracker::CloudFromHome near{1, {"JN11AB", 227.6, 9.1, 1100, 48.14F}};
    near.Heard[spot::BandIndex(spot::Band::M6)] = 3;
    tracker::CloudFromHome far{2, {"KM06BL", 124.7, 3.2, 2100, 146.62F}};
    far.Heard[spot::BandIndex(spot::Band::M6)] = 2;
    tracker::BandVerdict &six = v.Bands[spot::BandIndex(spot::Band::M6)];
    six.State = tracker::VerdictState::Marginal;
    six.CloudId = 1;
    six.Home = near.Home;
    six.Via = {near, far};
    tracker::BandVerdict &two = v.Bands[spot::BandIndex(spot::Band::M2)];
    two.State = tracker::VerdictState::Possible;
    two.CloudId = 2;
    two.Home = far.Home;
    two.Via = {far};
    panel.SetVerdict(v);
    panel.show();
    QVERIFY(!panel.findChild<QPushButton *>("cmdBand4m")->isVisible());
    // Nor is "4 m up" offered as the alarm band.
    const auto *alarmChoices =
        qobject_cast<QListView *>(panel.findChild<QComboBox *>("cmbAlarmBand")->view());
    QVERIFY(alarmChoices->isRowHidden(2) && !alarmChoices->isRowHidden(3));
    QCOMPARE(panel.RowText(spot::Band::M6),
             QString("6 m marginal\n(heard, 3 Es spots): beam 228, 1,100 km, towards JN11AB; model "
                     "estimate MUF 48.1 MHz"));
    QVERIFY(panel.findChild<QPushButton *>("cmdBand6m")->styleSheet().contains("#ffb300"));
    QCOMPARE(panel.findChild<QLabel *>("lblVia6m")->text(),
             QString("also cloud 2: beam 125 towards KM06BL up to 146.6 MHz"));
    QCOMPARE(panel.RowText(spot::Band::M2),
             QString("2 m POSSIBLE\n(predicted from 6 m, none heard yet): beam 125, 2,100 km, "
                     "towards KM06BL; model estimate MUF 146.6 MHz"));
    QVERIFY(!panel.findChild<QLabel *>("lblVia2m")->isVisible());
}

void LiveWindowTest::changesGatheredAndShownTogether() {
    // State: a window that gathers changes as the program does. Action: four lines in a row.
    // Expected: nothing shown until the window gets back to its event loop, then the three
    // spots among them and their cloud at once.
    livewindow::LiveWindowSetup setup = Setup();
    setup.RefreshIntervalMs = livewindow::DefaultRefreshIntervalMs;
    frmLive live(std::move(setup));
    auto *clouds = live.findChild<QTableView *>("tblClouds");
    auto *spots = live.findChild<QTableView *>("tblSpots");
    Replay(0, 4);
    QCOMPARE(clouds->model()->rowCount(), 0);
    QCOMPARE(spots->model()->rowCount(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(spots->model()->rowCount(), 3, 5000);
    QCOMPARE(clouds->model()->rowCount(), 1);
    QCOMPARE(Cell(clouds, 0, livewindow::CloudTableModel::HighestFreq), QString("144.174"));
}

void LiveWindowTest::aCloudKeepsAsManySpotsAsTheTracker() {
    // State: a session without a window. Action: five spots more than the tracker keeps of a
    // cloud, all through one cloud within its recent stretch. Expected: the map's paths of
    // that cloud are the newest the tracker keeps; the five oldest are gone.
    const auto session = NewSession();
    const int count = static_cast<int>(tracker::MaxRecentSpotsPerCloud) + 5;
    for (int i = 0; i < count; ++i) {
        // 50100.0 to 50550.4 kHz, a tenth of a kHz apart.
        const std::string line = "DX de G4ABC:     " + std::to_string(50100 + i / 10) + "." +
                                 std::to_string(i % 10) + "  S51ABC  IO90IR<ES>JN77EX 1000Z";
        session.Core->ClusterLine(CaptureStart + i / 10, line);
    }
    const std::vector<map::SpotPath> paths = session->RecentPaths();
    QCOMPARE(paths.size(), tracker::MaxRecentSpotsPerCloud);
    QCOMPARE(std::min_element(paths.begin(), paths.end(),
                              [](const map::SpotPath &a, const map::SpotPath &b) {
                                  return a.FreqMHz < b.FreqMHz;
                              })
                 ->FreqMHz,
             50.1005);
}

void LiveWindowTest::cloudTableSortsByNumberNotText() {
    // State: two clouds far apart, 50.1 and 144.174 MHz. Action: sort by the highest
    // frequency ascending. Expected: 50.1 first, although "144" sorts before "50" as text.
    frmLive live(Setup());
    Replay(0, 1);
    Now = CaptureStart + 60;
    Core().ClusterLine(Now, "DX de EA3XYZ:   144300.0  SV1ABC  JN11CK<ES>KM18AA 1001Z");
    auto *table = live.findChild<QTableView *>("tblClouds");
    QCOMPARE(table->model()->rowCount(), 2);
    table->sortByColumn(livewindow::CloudTableModel::HighestFreq, Qt::AscendingOrder);
    QCOMPARE(Cell(table, 0, livewindow::CloudTableModel::HighestFreq), QString("50.100"));
    QCOMPARE(Cell(table, 1, livewindow::CloudTableModel::HighestFreq), QString("144.300"));
}

void LiveWindowTest::selectingCloudMarksItOnMapAndSurvivesUpdates() {
    // State: two clouds. Action: click the second row, then a new spot changes the table.
    // Expected: the clicked cloud is marked on the map and stays selected and marked.
    frmLive live(Setup());
    live.show();
    QVERIFY(QTest::qWaitForWindowExposed(&live));
    Replay(0, 1);
    Now = CaptureStart + 60;
    Core().ClusterLine(Now, "DX de EA3XYZ:   144300.0  SV1ABC  JN11CK<ES>KM18AA 1001Z");
    auto *table = live.findChild<QTableView *>("tblClouds");
    QVERIFY(!live.HighlightedCloudId());
    const QModelIndex second = table->model()->index(1, 0);
    const int id = second.data(livewindow::CloudTableModel::CloudIdRole).toInt();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(second).center());
    QCOMPARE(live.HighlightedCloudId(), std::optional<int>(id));
    Now = CaptureStart + 120;
    Core().ClusterLine(Now, "DX de G4ABC:     50120.0  S51ABC  IO90IR<ES>JN77EX 1002Z");
    QCOMPARE(live.HighlightedCloudId(), std::optional<int>(id));
    QCOMPARE(table->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(table->selectionModel()->selectedRows().front().data(
                 livewindow::CloudTableModel::CloudIdRole),
             QVariant(id));
}

void LiveWindowTest::highestCloudPaintedOnTop() {
    // State: a 2 m cloud over North America, then a 6 m cloud about 270 km north of it
    // (beyond one hop from home: no band line over them); the map zoomed out to 12,000 km,
    // where patches keep their least size and overlap. Expected: where they
    // overlap, the 2 m cloud's colour shows, though the 6 m cloud came later.
    frmLive live(Setup());
    live.show();
    QVERIFY(QTest::qWaitForWindowExposed(&live));
    Core().ClusterLine(Now, "DX de DK7UK:    144174.0  S51ABC  FN12AA<ES>EM44AA 1000Z");
    Now += 30;
    Core().ClusterLine(Now, "DX de DK7UK:     50110.0  S51ABC  FN14AJ<ES>EM46AJ 1000Z");
    const std::vector<tracker::CloudEvent> clouds = live.Session().Clouds();
    QCOMPARE(clouds.size(), std::size_t{2});
    auto *mapView = live.findChild<map::MapView *>("mapView");
    map::testing::TurnWheel(*mapView, -8);
    const auto at = [mapView](const tracker::CloudEvent &cloud) {
        return mapView->WidgetPoint(map::GeoPoint{cloud.Cloud.LatDeg, cloud.Cloud.LonDeg});
    };
    const QPointF twoMetre = clouds[0].Cloud.HighestFreqMHz > 100 ? at(clouds[0]) : at(clouds[1]);
    const QPointF sixMetre = clouds[0].Cloud.HighestFreqMHz > 100 ? at(clouds[1]) : at(clouds[0]);
    // Halfway between the centres: inside both patches.
    const QPoint overlap = ((sixMetre + twoMetre) / 2).toPoint();
    const QColor pixel = mapView->grab().toImage().pixelColor(overlap);
    const QColor red = map::FreqClassColour(map::FreqClass::From144MHz);
    const QColor green = map::FreqClassColour(map::FreqClass::From50MHz);
    const auto distance = [](const QColor &a, const QColor &b) {
        return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
               std::abs(a.blue() - b.blue());
    };
    QVERIFY2(distance(pixel, red) < distance(pixel, green), qPrintable(pixel.name()));
}

void LiveWindowTest::bandPanelSaysPossibleOrClosed() {
    // State: an empty window, every band closed. Action: the capture step by step.
    // Expected: the 6 m spot opens 10 m and 6 m only; the second, independent 2 m spot opens all
    // four through the cloud's position, towards JN77SK; sixteen minutes without a spot close
    // them all again.
    // The title follows.
    frmLive live(Setup());
    QVERIFY(BandRow(live, "2m").contains("closed"));
    QCOMPARE(live.windowTitle(), QString("Ionvane Live"));

    Replay(0, 1);
    QCOMPARE(BandRow(live, "6m"), QString("6 m POSSIBLE\n(heard, 1 Es spot): beam 100, 1,173 km, "
                                          "towards JN77EX; model estimate MUF 50.0 MHz"));
    QVERIFY(BandRow(live, "10m").contains("POSSIBLE"));
    QVERIFY(BandRow(live, "4m").startsWith("4 m closed"));
    QVERIFY(BandRow(live, "2m").startsWith("2 m closed"));
    QCOMPARE(live.windowTitle(), QString("Ionvane Live - 6 m possible"));

    Replay(1, 5);
    for (const char *band : {"10m", "6m", "4m", "2m"}) {
        QVERIFY2(BandRow(live, band)
                     .contains("beam 101, 1,276 km, towards JN77SK; model estimate MUF 152.3 MHz"),
                 band);
    }
    QCOMPARE(live.windowTitle(), QString("Ionvane Live - 2 m possible"));

    Replay(5, 6);
    for (const char *band : {"10m", "6m", "4m", "2m"}) {
        QVERIFY2(BandRow(live, band).contains("closed"), band);
    }
    QCOMPARE(live.windowTitle(), QString("Ionvane Live"));
}

void LiveWindowTest::doubleClickCalculatesBestSpotInMainWindow_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("freqBox");
    QTest::newRow("decimal point") << QLocale::c() << "144.174";
    // The live window shows the cluster's "144.174" in every locale; the main window takes
    // it in its own, as if typed there.
    QTest::newRow("decimal comma") << QLocale(QLocale::German, QLocale::Germany) << "144,174";
}

void LiveWindowTest::doubleClickCalculatesBestSpotInMainWindow() {
    // State: the main window and the live window wired as the program wires them, the
    // opening replayed. Action: double-click the cloud. Expected: the main window's From, To
    // and Frequency hold the cloud's best spot (the 2 m one) in the main window's number
    // format, and Calculate has run.
    QFETCH(QLocale, locale);
    QFETCH(QString, freqBox);
    QTemporaryDir programDir;
    SilentDialogs dialogs;
    window::frmMUF main(dialogs, window::SettingsPlaces{programDir.path(), ConfigDir->path()},
                        locale);
    frmLive live(Setup());
    connect(&live, &frmLive::spotChosen, &main,
            [&main](const QString &from, const QString &to, const QString &freq) {
                main.CalculateSpot(from, to, freq);
            });
    live.show();
    QVERIFY(QTest::qWaitForWindowExposed(&live));
    Replay(0, 4);

    auto *table = live.findChild<QTableView *>("tblClouds");
    const QRect cell = table->visualRect(table->model()->index(0, 0));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());

    QCOMPARE(main.findChild<QLineEdit *>("txtFromLoc")->text(), QString("JO01MM"));
    QCOMPARE(main.findChild<QLineEdit *>("txtToLoc")->text(), QString("JN75EX"));
    QCOMPARE(main.findChild<QLineEdit *>("txtFreq")->text(), freqBox);
    QVERIFY(main.findChild<QLabel *>("lblMidPoint")->text().startsWith("Centre of path ="));
    QVERIFY(main.windowTitle() != QString("Ionvane by Tarkel"));
    QVERIFY(dialogs.Messages.isEmpty());
}

void LiveWindowTest::mainWindowFileMenuOpensLiveWindow() {
    // The main window's File menu ends with "Live window" (Alt+F, L), which asks the program
    // to open the live window.
    QTemporaryDir programDir;
    SilentDialogs dialogs;
    window::frmMUF main(dialogs, window::SettingsPlaces{programDir.path(), ConfigDir->path()},
                        QLocale::c());
    auto *item = main.findChild<QAction *>("mnuLive");
    QVERIFY(item != nullptr);
    QCOMPARE(item->text(), QString("&Live window"));
    const QList<QAction *> items = main.findChild<QMenu *>("mnuFile")->actions();
    QCOMPARE(items.back(), item);
    QSignalSpy asked(&main, &window::frmMUF::liveWindowRequested);
    item->trigger();
    QCOMPARE(asked.size(), 1);
}

void LiveWindowTest::landFollowsOnceTheWindowIsUp() {
    // State: a setup without outlines, so the window reads the program's own. Action: show
    // the window and let its event loop run. Expected: the first picture has sea where
    // Poland is (the window did not wait for the outlines); once read, land is drawn there.
    livewindow::LiveWindowSetup setup = Setup();
    setup.Outlines = nullptr;
    frmLive live(std::move(setup));
    QSignalSpy read(&live, &frmLive::outlinesRead);
    live.show();
    auto *mapView = live.findChild<map::MapView *>("mapView");
    QVERIFY(mapView != nullptr);
    const QColor land(0xf1, 0xec, 0xdf);
    const auto polandPixel = [mapView] {
        const QPoint at = mapView->WidgetPoint(map::GeoPoint{52.1, 19.2}).toPoint();
        return mapView->grab().toImage().pixelColor(at);
    };
    QVERIFY(polandPixel() != land);
    QVERIFY(read.wait(30'000));
    QCOMPARE(polandPixel(), land);
}

void LiveWindowTest::coreComesOnceDrawnAndWsjtxListensAgain() {
    // State: a store that recorded the opening; a window five minutes later whose core comes once
    // it is drawn, as the program's does, its WSJT-X box listening on a free port of 127.0.0.1
    // when it last closed. Action: Connect before the first frame, then show it. Expected: no
    // session yet, and Connect says so; once drawn, the core reads the last hour back, new lines
    // go into the store, and the box listens again.
    QTemporaryDir storeDir;
    {
        history::HistoryStore store(storeDir.filePath("history.sqlite"), CaptureStart);
        frmLive before(Setup(&store));
        Replay(0, 4);
    }
    QUdpSocket probe;
    QVERIFY(probe.bind(QHostAddress::LocalHost, 0));
    const quint16 port = probe.localPort();
    probe.close();
    livewindow::LiveSettings remembered;
    remembered.WsjtxAddress = QString("127.0.0.1:%1").arg(port);
    remembered.WsjtxListening = true;
    QVERIFY(livewindow::SaveLiveSettings(ConfigDir->path(), remembered));
    Now = CaptureStart + 5 * 60;
    history::HistoryStore store(storeDir.filePath("history.sqlite"), Now);
    livewindow::LiveWindowSetup setup = Setup(&store);
    setup.CoreOnceDrawn = true;
    frmLive live(std::move(setup));
    QSignalSpy drawn(&live, &frmLive::firstFrameDrawn);
    live.findChild<QPushButton *>("cmdClusterConnect")->click();
    QVERIFY(live.Session().Core() == nullptr);
    QCOMPARE(live.findChild<QLabel *>("lblClusterState")->text(),
             QString("Starting the live sources\u2026"));
    auto *clouds = live.findChild<QTableView *>("tblClouds");
    QCOMPARE(clouds->model()->rowCount(), 0);
    live.show();
    QVERIFY(drawn.wait(10'000));
    QCOMPARE(clouds->model()->rowCount(), 1);
    QCOMPARE(Cell(clouds, 0, livewindow::CloudTableModel::Centre), QString("JN39RG"));
    QCOMPARE(live.findChild<QTableView *>("tblSpots")->model()->rowCount(), 3);
    Core().ClusterLine(Now, "DX de DK7UK:    144300.0  S51XYZ  JO01MM<ES>JN75EX 1005Z");
    QCOMPARE(store.LinesSince(Now).size(), std::size_t{1});
    auto *listen = live.findChild<QPushButton *>("cmdWsjtxListen");
    QTRY_COMPARE_WITH_TIMEOUT(listen->text(), QString("S&top"), 10'000);
    QCOMPARE(drawn.size(), 1);
}

QTEST_MAIN(LiveWindowTest)
