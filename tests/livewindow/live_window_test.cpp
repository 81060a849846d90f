// The live window driven with a replayed capture of an opening, on the capture's own clock: the
// cloud table, the band panel, the map, the double-click into the main window, the remembered
// geometry and settings, and the connection bars and their states.
#include "live_window_fixture.h"

#include <QListView>

class LiveWindowTest : public QObject, LiveWindowFixture {
    Q_OBJECT

  private slots:
    void initTestCase() { InitCase(); }
    void init() { Init(); }

    void cloudTableFilledFromReplayedCapture() {
        // State: an empty window. Action: the opening's first four lines, then its prompt 16
        // minutes later. Expected: one cloud, updated by the 2 m spot, then fading; the figures
        // those of ionvane-cli --replay on the same capture.
        frmLive live(Setup());
        auto *table = live.findChild<QTableView *>("tblClouds");
        QVERIFY(table != nullptr);
        QCOMPARE(table->model()->rowCount(), 0);

        Replay(live, 0, 1);
        QCOMPARE(table->model()->rowCount(), 1);
        QCOMPARE(Cell(table, 0, livewindow::CloudTableModel::Centre), QString("JN39JO"));
        QCOMPARE(Cell(table, 0, livewindow::CloudTableModel::HighestFreq), QString("50.100"));

        Replay(live, 1, 4);
        QCOMPARE(table->model()->rowCount(), 1);
        using C = livewindow::CloudTableModel;
        QCOMPARE(Cell(table, 0, C::Centre), QString("JN39RG"));
        QCOMPARE(Cell(table, 0, C::Age), QString("0 min"));
        QCOMPARE(Cell(table, 0, C::Spots), QString("2"));
        QCOMPARE(Cell(table, 0, C::Bands), QString("6m 2m"));
        QCOMPARE(Cell(table, 0, C::CriticalFreq), QString("33.1"));
        QCOMPARE(Cell(table, 0, C::HighestFreq), QString("144.174"));
        QCOMPARE(Cell(table, 0, C::Drift), QString("-"));
        // From IO90IR (50.7292 N, 1.2917 W) to 49.2708 N, 7.4473 E on the 6371.291 km sphere.
        QCOMPARE(Cell(table, 0, C::Distance), QString("645 km"));
        QCOMPARE(Cell(table, 0, C::Azimuth), QString("101°"));
        QCOMPARE(table->model()->headerData(C::CriticalFreq, Qt::Horizontal).toString(),
                 QString("Eq. fc"));

        Replay(live, 4, 5);
        QCOMPARE(Cell(table, 0, C::Age), QString("16 min (fading)"));
        QCOMPARE(Cell(table, 0, C::LastHeard), QString("15 min ago"));
    }

    void bandPanelNamesEachBandsOwnCloud() {
        // State: a verdict followed outside Region 1 (no 4 m): 6 m marginal through cloud 1 with
        // cloud 2 also within the margin, 2 m possible through cloud 2. Expected: no 4 m row;
        // each row names its own headline cloud's beam and frequency; 6 m in amber with cloud 2
        // in small type under it; 2 m with no other cloud.
        livewindow::BandPanel panel;
        tracker::VerdictEvent v;
        v.Shown = tracker::BandBit(tracker::Band::M10) | tracker::BandBit(tracker::Band::M6) |
                  tracker::BandBit(tracker::Band::M2);
        for (const tracker::Band band : tracker::AllBands) {
            v.Bands[tracker::BandIndex(band)].Which = band;
        }
        const tracker::CloudFromHome near{1, {"JN11AB", 227.6, 9.1, 1100, 48.14F}};
        const tracker::CloudFromHome far{2, {"KM06BL", 124.7, 3.2, 2100, 146.62F}};
        tracker::BandVerdict &six = v.Bands[tracker::BandIndex(tracker::Band::M6)];
        six.State = tracker::VerdictState::Marginal;
        six.CloudId = 1;
        six.Home = near.Home;
        six.Via = {near, far};
        tracker::BandVerdict &two = v.Bands[tracker::BandIndex(tracker::Band::M2)];
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
        QCOMPARE(panel.RowText(tracker::Band::M6),
                 QString("6 m marginal\nbeam 228 towards JN11AB up to 48.1 MHz"));
        QVERIFY(panel.findChild<QPushButton *>("cmdBand6m")->styleSheet().contains("#ffb300"));
        QCOMPARE(panel.findChild<QLabel *>("lblVia6m")->text(),
                 QString("also cloud 2: beam 125 towards KM06BL up to 146.6 MHz"));
        QCOMPARE(panel.RowText(tracker::Band::M2),
                 QString("2 m POSSIBLE\nbeam 125 towards KM06BL up to 146.6 MHz"));
        QVERIFY(!panel.findChild<QLabel *>("lblVia2m")->isVisible());
    }

    void changesGatheredAndShownTogether() {
        // State: a window that gathers changes as the program does. Action: four lines in a row.
        // Expected: nothing shown until the window gets back to its event loop, then the three
        // spots among them and their cloud at once.
        livewindow::LiveWindowSetup setup = Setup();
        setup.RefreshIntervalMs = livewindow::DefaultRefreshIntervalMs;
        frmLive live(std::move(setup));
        auto *clouds = live.findChild<QTableView *>("tblClouds");
        auto *spots = live.findChild<QTableView *>("tblSpots");
        Replay(live, 0, 4);
        QCOMPARE(clouds->model()->rowCount(), 0);
        QCOMPARE(spots->model()->rowCount(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(spots->model()->rowCount(), 3, 5000);
        QCOMPARE(clouds->model()->rowCount(), 1);
        QCOMPARE(Cell(clouds, 0, livewindow::CloudTableModel::HighestFreq), QString("144.174"));
    }

    void aCloudKeepsAsManySpotsAsTheTracker() {
        // State: a session without a window. Action: five spots more than the tracker keeps of a
        // cloud, all through one cloud within its recent stretch. Expected: the map's paths of
        // that cloud are the newest the tracker keeps; the five oldest are gone.
        livewindow::LiveSession session(CoreSetup());
        const int count = static_cast<int>(tracker::MaxRecentSpotsPerCloud) + 5;
        for (int i = 0; i < count; ++i) {
            // 50100.0 to 50550.4 kHz, a tenth of a kHz apart.
            const std::string line = "DX de G4ABC:     " + std::to_string(50100 + i / 10) + "." +
                                     std::to_string(i % 10) + "  S51ABC  IO90IR<ES>JN77EX 1000Z";
            session.ClusterLine(CaptureStart + i / 10, line);
        }
        const std::vector<map::SpotPath> paths = session.RecentPaths();
        QCOMPARE(paths.size(), tracker::MaxRecentSpotsPerCloud);
        QCOMPARE(std::min_element(paths.begin(), paths.end(),
                                  [](const map::SpotPath &a, const map::SpotPath &b) {
                                      return a.FreqMHz < b.FreqMHz;
                                  })
                     ->FreqMHz,
                 50.1005);
    }

    void cloudTableSortsByNumberNotText() {
        // State: two clouds far apart, 50.1 and 144.174 MHz. Action: sort by the highest
        // frequency ascending. Expected: 50.1 first, although "144" sorts before "50" as text.
        frmLive live(Setup());
        Replay(live, 0, 1);
        Now = CaptureStart + 60;
        live.Session().ClusterLine(Now, "DX de EA3XYZ:   144300.0  SV1ABC  JN11CK<ES>KM18AA 1001Z");
        auto *table = live.findChild<QTableView *>("tblClouds");
        QCOMPARE(table->model()->rowCount(), 2);
        table->sortByColumn(livewindow::CloudTableModel::HighestFreq, Qt::AscendingOrder);
        QCOMPARE(Cell(table, 0, livewindow::CloudTableModel::HighestFreq), QString("50.100"));
        QCOMPARE(Cell(table, 1, livewindow::CloudTableModel::HighestFreq), QString("144.300"));
    }

    void selectingCloudMarksItOnMapAndSurvivesUpdates() {
        // State: two clouds. Action: click the second row, then a new spot changes the table.
        // Expected: the clicked cloud is marked on the map and stays selected and marked.
        frmLive live(Setup());
        live.show();
        QVERIFY(QTest::qWaitForWindowExposed(&live));
        Replay(live, 0, 1);
        Now = CaptureStart + 60;
        live.Session().ClusterLine(Now, "DX de EA3XYZ:   144300.0  SV1ABC  JN11CK<ES>KM18AA 1001Z");
        auto *table = live.findChild<QTableView *>("tblClouds");
        QVERIFY(!live.HighlightedCloudId());
        const QModelIndex second = table->model()->index(1, 0);
        const int id = second.data(livewindow::CloudTableModel::CloudIdRole).toInt();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                          table->visualRect(second).center());
        QCOMPARE(live.HighlightedCloudId(), std::optional<int>(id));
        Now = CaptureStart + 120;
        live.Session().ClusterLine(Now, "DX de G4ABC:     50120.0  S51ABC  IO90IR<ES>JN77EX 1002Z");
        QCOMPARE(live.HighlightedCloudId(), std::optional<int>(id));
        QCOMPARE(table->selectionModel()->selectedRows().size(), 1);
        QCOMPARE(table->selectionModel()->selectedRows().front().data(
                     livewindow::CloudTableModel::CloudIdRole),
                 QVariant(id));
    }

    void highestCloudPaintedOnTop() {
        // State: a 2 m cloud over North America, then a 6 m cloud about 270 km north of it
        // (beyond one hop from home: no band line over them); the map zoomed out to 12,000 km,
        // where patches keep their least size and overlap. Expected: where they
        // overlap, the 2 m cloud's colour shows, though the 6 m cloud came later.
        frmLive live(Setup());
        live.show();
        QVERIFY(QTest::qWaitForWindowExposed(&live));
        live.Session().ClusterLine(Now, "DX de DK7UK:    144174.0  S51ABC  FN12AA<ES>EM44AA 1000Z");
        Now += 30;
        live.Session().ClusterLine(Now, "DX de DK7UK:     50110.0  S51ABC  FN14AJ<ES>EM46AJ 1000Z");
        const std::vector<tracker::CloudEvent> clouds = live.Session().Clouds();
        QCOMPARE(clouds.size(), std::size_t{2});
        auto *mapView = live.findChild<map::MapView *>("mapView");
        map::testing::TurnWheel(*mapView, -8);
        const auto at = [mapView](const tracker::CloudEvent &cloud) {
            return mapView->WidgetPoint(map::GeoPoint{cloud.Cloud.LatDeg, cloud.Cloud.LonDeg});
        };
        const QPointF twoMetre =
            clouds[0].Cloud.HighestFreqMHz > 100 ? at(clouds[0]) : at(clouds[1]);
        const QPointF sixMetre =
            clouds[0].Cloud.HighestFreqMHz > 100 ? at(clouds[1]) : at(clouds[0]);
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

    void bandPanelSaysPossibleOrClosed() {
        // State: an empty window, every band closed. Action: the capture step by step.
        // Expected: the 6 m spot opens 10 m and 6 m only; the 2 m spot opens all four through the
        // cloud's position, towards JN77TE; sixteen minutes without a spot close them all again.
        // The title follows.
        frmLive live(Setup());
        QVERIFY(BandRow(live, "2m").contains("closed"));
        QCOMPARE(live.windowTitle(), QString("Ionvane Live"));

        Replay(live, 0, 1);
        QCOMPARE(BandRow(live, "6m"),
                 QString("6 m POSSIBLE\nbeam 100 towards JN77EX up to 50.0 MHz"));
        QVERIFY(BandRow(live, "10m").contains("POSSIBLE"));
        QVERIFY(BandRow(live, "4m").startsWith("4 m closed"));
        QVERIFY(BandRow(live, "2m").startsWith("2 m closed"));
        QCOMPARE(live.windowTitle(), QString("Ionvane Live - 6 m possible"));

        Replay(live, 1, 4);
        for (const char *band : {"10m", "6m", "4m", "2m"}) {
            QVERIFY2(BandRow(live, band).contains("beam 102 towards JN77TE up to 153.3 MHz"), band);
        }
        QCOMPARE(live.windowTitle(), QString("Ionvane Live - 2 m possible"));

        Replay(live, 4, 5);
        for (const char *band : {"10m", "6m", "4m", "2m"}) {
            QVERIFY2(BandRow(live, band).contains("closed"), band);
        }
        QCOMPARE(live.windowTitle(), QString("Ionvane Live"));
    }

    void doubleClickCalculatesBestSpotInMainWindow_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("freqBox");
        QTest::newRow("decimal point") << QLocale::c() << "144.174";
        // The live window shows the cluster's "144.174" in every locale; the main window takes
        // it in its own, as if typed there.
        QTest::newRow("decimal comma") << QLocale(QLocale::German, QLocale::Germany) << "144,174";
    }

    void doubleClickCalculatesBestSpotInMainWindow() {
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
        Replay(live, 0, 4);

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

    void mainWindowFileMenuOpensLiveWindow() {
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

    void landFollowsOnceTheWindowIsUp() {
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

    void geometryAndSplittersRemembered() {
        // State: a window resized and its splitters moved, then closed. Expected: the next window
        // opens at that size with the splitters where they were, and with the same alarm band.
        QList<int> sideMoved;
        {
            frmLive live(Setup());
            live.show();
            QVERIFY(QTest::qWaitForWindowExposed(&live));
            live.resize(1000, 720);
            live.findChild<QSplitter *>("splitMain")->setSizes({700, 280});
            live.findChild<QSplitter *>("splitSide")->setSizes({400, 100, 150});
            // The band panel keeps its least height; the splitter says where it ended.
            sideMoved = live.findChild<QSplitter *>("splitSide")->sizes();
            live.findChild<QComboBox *>("cmbAlarmBand")->setCurrentIndex(1);
            QTest::qWait(0);
            live.close();
        }
        frmLive again(Setup());
        again.show();
        QVERIFY(QTest::qWaitForWindowExposed(&again));
        QCOMPARE(again.size(), QSize(1000, 720));
        const QList<int> main = again.findChild<QSplitter *>("splitMain")->sizes();
        QCOMPARE(main.size(), 2);
        QVERIFY2(std::abs(main[0] - 700) <= 2, qPrintable(QString::number(main[0])));
        const QList<int> side = again.findChild<QSplitter *>("splitSide")->sizes();
        QCOMPARE(side.size(), 3);
        for (int i = 0; i < 3; ++i) {
            QVERIFY2(std::abs(side[i] - sideMoved[i]) <= 2, qPrintable(QString::number(side[i])));
        }
        QVERIFY2(
            sideMoved[0] > sideMoved[2],
            qPrintable(QString("%1 %2 %3").arg(sideMoved[0]).arg(sideMoved[1]).arg(sideMoved[2])));
        QCOMPARE(again.findChild<QComboBox *>("cmbAlarmBand")->currentIndex(), 1);
        QCOMPARE(again.Session().AlarmBand(), tracker::Band::M6);
    }

    void feedSettingsRemembered() {
        // State: the first start: the public broker, 6 m, 4 m and 2 m, 10 m left out. Action:
        // another broker and 10 m added, the window closed. Expected: the next window has them.
        {
            frmLive live(Setup());
            QCOMPARE(live.findChild<QLineEdit *>("txtBroker")->text(),
                     QString("mqtt.pskreporter.info:1883"));
            QVERIFY(!live.findChild<QCheckBox *>("chkFeed10m")->isChecked());
            for (const char *band : {"chkFeed6m", "chkFeed4m", "chkFeed2m"}) {
                QVERIFY2(live.findChild<QCheckBox *>(band)->isChecked(), band);
            }
            QCOMPARE(live.findChild<QLabel *>("lblFeedState")->text(), QString("Not connected"));
            live.findChild<QLineEdit *>("txtBroker")->setText("127.0.0.1:1884");
            live.findChild<QCheckBox *>("chkFeed10m")->setChecked(true);
            live.findChild<QCheckBox *>("chkFeed4m")->setChecked(false);
            live.close();
        }
        frmLive again(Setup());
        QCOMPARE(again.findChild<QLineEdit *>("txtBroker")->text(), QString("127.0.0.1:1884"));
        QVERIFY(again.findChild<QCheckBox *>("chkFeed10m")->isChecked());
        QVERIFY(!again.findChild<QCheckBox *>("chkFeed4m")->isChecked());
        QVERIFY(again.findChild<QCheckBox *>("chkFeed2m")->isChecked());
    }

    void passwordReadableByOthersIsNotUsed() {
        // State: a password file that others may read. Expected: the box stays empty and the
        // state says why; a private file fills the box (masked).
        QFile file(ConfigDir->filePath(cluster::ClusterPasswordFileName));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("secret");
        file.close();
        QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
        {
            frmLive live(Setup());
            QCOMPARE(live.findChild<QLineEdit *>("txtPassword")->text(), QString());
            QVERIFY(live.findChild<QLabel *>("lblClusterState")->text().contains("read by others"));
        }
        QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
        frmLive live(Setup());
        auto *password = live.findChild<QLineEdit *>("txtPassword");
        QCOMPARE(password->text(), QString("secret"));
        QCOMPARE(password->echoMode(), QLineEdit::Password);
        QCOMPARE(live.findChild<QLabel *>("lblClusterState")->text(), QString("Not connected"));
    }

    void connectionStateWords_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("refusal");
        QTest::addColumn<QString>("detail");
        QTest::addColumn<int>("retryMs");
        QTest::addColumn<QString>("words");
        using K = cluster::ConnectionEvent::Kind;
        using R = cluster::Refusal;
        const auto row = [](const char *name, K kind, R why, const char *detail, int ms,
                            const char *words) {
            QTest::newRow(name) << static_cast<int>(kind) << static_cast<int>(why)
                                << QString(detail) << ms << QString(words);
        };
        row("connecting", K::Connecting, R::None, "db0xyz.net:7300", 0,
            "Connecting to db0xyz.net ...");
        row("logged in", K::LoggedIn, R::None, "db0xyz.net:7300 as DK7UK", 0,
            "Logged in to db0xyz.net");
        row("lost", K::Lost, R::None, "The remote host closed the connection", 0,
            "Lost: The remote host closed the connection");
        row("waiting whole seconds", K::Waiting, R::None, "", 40'000, "Lost, retrying in 40 s");
        // A wait is rounded up: the retry never comes before the time said.
        row("waiting rounded up", K::Waiting, R::None, "", 39'001, "Lost, retrying in 40 s");
        row("waiting minutes", K::Waiting, R::None, "", 150'000, "Lost, retrying in 2 min 30 s");
        row("waiting longest", K::Waiting, R::None, "", 600'000, "Lost, retrying in 10 min");
        row("refused", K::Refused, R::None, "Go away", 0, "Refused: the node says \"Go away\"");
        row("bad password", K::Refused, R::BadPassword, "Sorry, wrong password", 0,
            "Refused: wrong password, the node says \"Sorry, wrong password\"");
    }

    void connectionStateWords() {
        QFETCH(int, kind);
        QFETCH(int, refusal);
        QFETCH(QString, detail);
        QFETCH(int, retryMs);
        QFETCH(QString, words);
        cluster::ConnectionEvent event;
        event.What = static_cast<cluster::ConnectionEvent::Kind>(kind);
        event.Why = static_cast<cluster::Refusal>(refusal);
        event.Detail = detail.toStdString();
        event.RetryIn = std::chrono::milliseconds(retryMs);
        QCOMPARE(livewindow::ClusterStateWords(event, "db0xyz.net"), words);
    }

    void feedStateWords() {
        feed::FeedEvent event;
        event.Connection = feed::FeedConnection::Waiting;
        event.RetryIn = std::chrono::milliseconds(7'500);
        QCOMPARE(livewindow::FeedStateWords(event), QString("Lost, retrying in 8 s"));
        event.Connection = feed::FeedConnection::Subscribed;
        QCOMPARE(livewindow::FeedStateWords(event), QString("Receiving reports"));
        event.What = feed::FeedEvent::Kind::Spot;
        QCOMPARE(livewindow::FeedStateWords(event), QString());
    }

    void clusterBarLogsInToFakeNodeAndFillsTable() {
        // State: a fake node on 127.0.0.1 replaying the opening. Action: host, port and call in
        // the bar, Connect. Expected: "Logged in to 127.0.0.1", the call sent, the commands sent
        // after login, the cloud in the table; Disconnect says so.
        testing::FakeNode node;
        QVERIFY(node.Listen());
        frmLive live(Setup());
        live.findChild<QLineEdit *>("txtClusterHost")->setText("127.0.0.1");
        live.findChild<QSpinBox *>("spnClusterPort")->setValue(node.Port());
        live.findChild<QLineEdit *>("txtCall")->setText("dk7uk");
        live.findChild<QLineEdit *>("txtCommands")->setText("set/ve7cc; sh/dx 5");
        auto *state = live.findChild<QLabel *>("lblClusterState");
        QCOMPARE(state->text(), QString("Not connected"));
        QList<QByteArray> lines;
        for (const CaptureRow &row : Capture) {
            lines << QByteArray::fromStdString(row.Line);
        }
        node.Replay(lines.mid(0, 4), 1);
        QTest::mouseClick(live.findChild<QPushButton *>("cmdClusterConnect"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(state->text(), QString("Logged in to 127.0.0.1"), 5000);
        QCOMPARE(node.LoggedInCall(), QByteArray("DK7UK"));
        QTRY_COMPARE_WITH_TIMEOUT(live.findChild<QTableView *>("tblClouds")->model()->rowCount(), 1,
                                  5000);
        QTRY_VERIFY_WITH_TIMEOUT(node.ReceivedLines().size() >= 3, 5000);
        QCOMPARE(node.ReceivedLines()[1].Line, QByteArray("set/ve7cc"));
        QCOMPARE(node.ReceivedLines()[2].Line, QByteArray("sh/dx 5"));
        QTest::mouseClick(live.findChild<QPushButton *>("cmdClusterConnect"), Qt::LeftButton);
        QCOMPARE(state->text(), QString("Not connected"));
        // The bar is remembered for the next start and for ionvane-cli --cluster.
        const cluster::ClusterSettings saved = cluster::LoadClusterSettings(ConfigDir->path());
        QCOMPARE(saved.Host, QString("127.0.0.1"));
        QCOMPARE(saved.Call, QString("DK7UK"));
        QCOMPARE(saved.Commands, QStringList({"set/ve7cc", "sh/dx 5"}));
    }

    void clusterBarRefusesACallThatIsNoCallSign() {
        // State: "DK7UK PASS" typed as the call. Action: Connect. Expected: the words of the
        // command line's --call, no session, nothing saved.
        frmLive live(Setup());
        live.findChild<QLineEdit *>("txtClusterHost")->setText("127.0.0.1");
        live.findChild<QLineEdit *>("txtCall")->setText("DK7UK PASS");
        QTest::mouseClick(live.findChild<QPushButton *>("cmdClusterConnect"), Qt::LeftButton);
        QCOMPARE(live.findChild<QLabel *>("lblClusterState")->text(),
                 QString("Call takes a call sign (letters, digits, / and -)"));
        QVERIFY(!live.Session().Core().ClusterRunning());
        QVERIFY(cluster::LoadClusterSettings(ConfigDir->path()).Call.isEmpty());
    }

    void refusalIsElidedAndNeverWidensTheWindow() {
        // State: a node that answers the call as to a second login; the window at its narrowest.
        // Action: Connect. Expected: "Refused: ..." with the node's words, cut to the width with
        // the whole text in the tool tip, and the window no wider.
        testing::FakeNodeScript script;
        script.Answer = testing::CallAnswer::OtherPort;
        testing::FakeNode node(script);
        QVERIFY(node.Listen());
        frmLive live(Setup());
        live.show();
        QVERIFY(QTest::qWaitForWindowExposed(&live));
        live.resize(live.minimumSizeHint());
        QTRY_COMPARE(live.width(), live.minimumSizeHint().width());
        live.findChild<QLineEdit *>("txtClusterHost")->setText("127.0.0.1");
        live.findChild<QSpinBox *>("spnClusterPort")->setValue(node.Port());
        live.findChild<QLineEdit *>("txtCall")->setText("DK7UK");
        auto *state = live.findChild<QLabel *>("lblClusterState");
        QTest::mouseClick(live.findChild<QPushButton *>("cmdClusterConnect"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(state->text().startsWith("Refused: "), 5000);
        QCOMPARE(state->text(), QString("Refused: logged in on another port, the node says "
                                        "\"Sorry DK7UK you are connected to me on another port\""));
        state->repaint();
        QCOMPARE(live.width(), live.minimumSizeHint().width());
        QCOMPARE(state->toolTip(), state->text());
    }
};

QTEST_MAIN(LiveWindowTest)
#include "live_window_test.moc"
