// The live window through an opening: it fits a laptop, nothing moves when its words grow, the
// banner and the band row say one thing, a double-click survives the refreshes, a wrong port is
// told as refused, and one home is shared with the calculator.
#include "live_window_fixture.h"

#include "window/settings_file.h"

#include <QMenuBar>
#include <QTcpServer>

namespace {

// Eight 6 m paths whose centres lie far apart over Europe: eight clouds.
const char *const EightPaths[] = {
    "IO90IR<ES>JN77EX", "IN80DO<ES>JN61FW", "JO65DQ<ES>KN34BK", "IO63VI<ES>JN03TJ",
    "KP20LE<ES>JO92LF", "IM58KR<ES>JN23RH", "KM17UX<ES>JN65TK", "JN97LM<ES>KO85TS",
};

QString SecondLine(const QString &text) {
    return text.section('\n', 1, 1);
}

} // namespace

class LiveLayoutTest : public QObject, LiveWindowFixture {
    Q_OBJECT

  private:
    // The eight clouds, and every source's state line at its longest.
    void Busy(frmLive &live) {
        int minute = 0;
        for (const char *path : EightPaths) {
            Now = CaptureStart + 60 * minute;
            Core().ClusterLine(Now, "DX de G4ABC:     50110.0  S51ABC  " + std::string(path) +
                                        " 10" + (minute < 10 ? "0" : "") + std::to_string(minute) +
                                        "Z");
            ++minute;
        }
        const QString longWords =
            "Heard 214 stations in the last 15 minutes, 1,532 decodes, newest 3 s ago on 50.313 "
            "MHz FT8 from a station far away";
        for (const char *name : {"lblClusterState", "lblFeedState", "lblWsjtxState"}) {
            live.findChild<QLabel *>(name)->setText(longWords);
        }
    }

  private slots:
    void initTestCase() { InitCase(); }
    void init() { Init(); }

    void otherCloudsFoldIntoOneLine() {
        // State: 6 m carried by four clouds. Expected: one small line naming the best of the
        // others and counting the rest; every other cloud in its tool tip, one a line.
        livewindow::BandPanel panel;
        tracker::VerdictEvent v;
        v.Shown = spot::BandBit(spot::Band::M6);
        tracker::BandVerdict &six = v.Bands[spot::BandIndex(spot::Band::M6)];
        six.Which = spot::Band::M6;
        six.State = tracker::VerdictState::Possible;
        six.CloudId = 1;
        six.Via = {{1, {"JN11AB", 227.6, 9.1, 1100, 58.14F}},
                   {4, {"KM06BL", 124.7, 3.2, 2100, 56.62F}},
                   {2, {"JN45AA", 130.2, 4.0, 1900, 52.01F}},
                   {7, {"KN34BK", 98.6, 2.9, 2000, 51.20F}}};
        six.Home = six.Via.front().Home;
        panel.SetVerdict(v);
        auto *others = panel.findChild<QLabel *>("lblVia6m");
        QCOMPARE(others->text(),
                 QString("also cloud 4: beam 125 towards KM06BL up to 56.6 MHz  +2 more"));
        QCOMPARE(others->toolTip(), QString("cloud 4: beam 125 towards KM06BL up to 56.6 MHz\n"
                                            "cloud 2: beam 130 towards JN45AA up to 52.0 MHz\n"
                                            "cloud 7: beam 99 towards KN34BK up to 51.2 MHz"));
    }

    void fitsALaptopDuringAnOpening() {
        // State: eight clouds and every source's words at their longest. Expected: the window's
        // smallest size fits a 1366 x 768 screen less a panel, and it takes 1366 x 740.
        frmLive live(Setup());
        live.show();
        QVERIFY(QTest::qWaitForWindowExposed(&live));
        Busy(live);
        QCOMPARE(live.findChild<QTableView *>("tblClouds")->model()->rowCount(), 8);
        QCoreApplication::processEvents();
        const QSize smallest = live.minimumSizeHint().expandedTo(live.minimumSize());
        QVERIFY2(smallest.width() <= 1366 && smallest.height() <= 740,
                 qPrintable(QString("%1 x %2").arg(smallest.width()).arg(smallest.height())));
        live.resize(1366, 740);
        QTRY_COMPARE(live.size(), QSize(1366, 740));
        // The tables keep rows to read.
        const auto *spots = live.findChild<QTableView *>("tblSpots");
        QVERIFY(spots->viewport()->height() >= 4 * spots->verticalHeader()->defaultSectionSize());
    }

    void doubleHopLineFitsUnderItsRow() {
        // State: the busy window, every band carried by two clouds, and 6 m heard over two hops
        // towards two regions. Expected: one small line under the 6 m row, the most heard region
        // first, both regions with their reflection points' locators in its tool tip, none under
        // 10 m; the window's smallest size still fits the laptop.
        frmLive live(Setup());
        live.show();
        QVERIFY(QTest::qWaitForWindowExposed(&live));
        Busy(live);
        tracker::VerdictEvent v;
        for (const spot::Band band : spot::AllBands) {
            v.Shown = static_cast<spot::BandSet>(v.Shown | spot::BandBit(band));
            tracker::BandVerdict &verdict = v.Bands[spot::BandIndex(band)];
            verdict.Which = band;
            verdict.State = tracker::VerdictState::Possible;
            verdict.CloudId = 1;
            verdict.Via = {{1, {"JN11AB", 227.6, 9.1, 1100, 58.14F}},
                           {4, {"KM06BL", 124.7, 3.2, 2100, 56.62F}}};
            verdict.Home = verdict.Via.front().Home;
        }
        v.DoubleHop = {{spot::Band::M6,
                        "the Atlantic islands",
                        3,
                        0,
                        {40.1, -15.2},
                        {34.6, -24.9},
                        "6 m double hop to the Atlantic islands, 3 spots, last 17:10"},
                       {spot::Band::M6,
                        "the Caribbean",
                        42,
                        0,
                        {38.7, -31.45},
                        {25.3, -52.2},
                        "6 m double hop to the Caribbean, 42 spots, last 19:53"}};
        auto *panel = live.findChild<livewindow::BandPanel *>("bandPanel");
        panel->SetVerdict(v);
        auto *hops = live.findChild<QLabel *>("lblDoubleHop6m");
        QCOMPARE(hops->text(),
                 QString("6 m double hop to the Caribbean, 42 spots, last 19:53  +1 more"));
        QCOMPARE(hops->toolTip(),
                 QString("6 m double hop to the Caribbean, 42 spots, last 19:53\n"
                         "  reflected near HM48GQ and GL35VH\n"
                         "6 m double hop to the Atlantic islands, 3 spots, last 17:10\n"
                         "  reflected near IN20JC and HM74NO"));
        QVERIFY(hops->isVisible());
        QVERIFY(!live.findChild<QLabel *>("lblDoubleHop10m")->isVisible());
        QCoreApplication::processEvents();
        const QSize smallest = live.minimumSizeHint().expandedTo(live.minimumSize());
        QVERIFY2(smallest.width() <= 1366 && smallest.height() <= 740,
                 qPrintable(QString("%1 x %2").arg(smallest.width()).arg(smallest.height())));
    }

    void noControlMovesWhenAStateTextGrows() {
        // State: the window at 1366 x 740. Action: every source's state line grows long.
        // Expected: no box, button or table moves or changes size.
        frmLive live(Setup());
        live.resize(1366, 740);
        live.show();
        QVERIFY(QTest::qWaitForWindowExposed(&live));
        QCoreApplication::processEvents();
        QList<QWidget *> controls;
        for (const char *name :
             {"txtClusterHost", "spnClusterPort", "txtCall", "txtPassword", "txtBroker", "txtWsjtx",
              "cmdWsjtxListen", "mapView", "tblClouds", "tblSpots", "bandPanel"}) {
            controls << live.findChild<QWidget *>(name);
        }
        QList<QRect> before;
        for (QWidget *control : controls) {
            before << QRect(control->mapTo(&live, QPoint()), control->size());
        }
        for (const char *name : {"lblClusterState", "lblFeedState", "lblWsjtxState"}) {
            live.findChild<QLabel *>(name)->setText(QString("Heard 214 stations ").repeated(12));
        }
        QCoreApplication::processEvents();
        for (qsizetype i = 0; i < controls.size(); ++i) {
            QCOMPARE(QRect(controls[i]->mapTo(&live, QPoint()), controls[i]->size()), before[i]);
        }
    }

    void bannerAndRowAgreeAtTheAlarmAndAfter() {
        // State: the alarm from 2 m up. Action: the capture's 2 m opening, then a higher 2 m spot
        // through the same cloud. Expected: at the alarm and after, the banner gives the alarm's
        // time and the very figures of the 2 m row; Esc leaves no strip over the map.
        frmLive live(Setup());
        live.findChild<QComboBox *>("cmbAlarmBand")->setCurrentIndex(3);
        live.show();
        QVERIFY(QTest::qWaitForWindowExposed(&live));
        Replay(0, 5);
        auto *banner = live.findChild<QPushButton *>("cmdAlarm");
        const auto *row = live.findChild<QPushButton *>("cmdBand2m");
        QVERIFY(banner->isVisible());
        QVERIFY(banner->text().startsWith("2 m OPEN since 10:00 UTC"));
        QCOMPARE(SecondLine(banner->text()), SecondLine(row->text()));
        const QString atAlarm = row->text();

        Now = CaptureStart + 150;
        Core().ClusterLine(Now, "DX de DK7UK:    146500.0  S51XYZ  JO01MM<ES>JN75EX 1002Z");
        QVERIFY(row->text() != atAlarm);
        QVERIFY(banner->text().startsWith("2 m OPEN since 10:00 UTC"));
        QCOMPARE(SecondLine(banner->text()), SecondLine(row->text()));

        QTest::keyClick(&live, Qt::Key_Escape);
        QVERIFY(!banner->isVisible());
        QVERIFY(banner->parentWidget() == live.findChild<QWidget *>("mapView"));
    }

    void doubleClickSurvivesARefresh() {
        // State: the opening's cloud in the table. Action: a double-click whose second press
        // comes just before a refresh (the feed's reports refresh the table four times a
        // second). Expected: the cloud's best spot is handed on, and the row stays selected.
        frmLive live(Setup());
        QSignalSpy chosen(&live, &frmLive::spotChosen);
        live.show();
        QVERIFY(QTest::qWaitForWindowExposed(&live));
        Replay(0, 4);
        auto *table = live.findChild<QTableView *>("tblClouds");
        const QPoint at = table->visualRect(table->model()->index(0, 0)).center();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
        QTest::mousePress(table->viewport(), Qt::LeftButton, {}, at);
        Now = CaptureStart + 100;
        Core().ClusterLine(Now, "DX de G4ABC:     50120.0  S51ABC  IO90IR<ES>JN77EX 1001Z");
        QMouseEvent twice(QEvent::MouseButtonDblClick, at, table->viewport()->mapToGlobal(at),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(table->viewport(), &twice);
        QTest::mouseRelease(table->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen.front().at(2).toString(), QString("144.174"));
        QCOMPARE(live.HighlightedCloudId(), std::optional<int>(1));
    }

    void wrongPortSaysRefused() {
        // State: a port on 127.0.0.1 where nothing listens. Action: Enter in the Call box.
        // Expected: "Refused", never "Lost" (nothing was ever connected), and the call as typed
        // is upper-cased.
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const quint16 port = probe.serverPort();
        probe.close();
        frmLive live(Setup());
        live.findChild<QLineEdit *>("txtClusterHost")->setText("127.0.0.1");
        live.findChild<QSpinBox *>("spnClusterPort")->setValue(port);
        auto *call = live.findChild<QLineEdit *>("txtCall");
        call->clear();
        QTest::keyClicks(call, "dk7uk");
        QCOMPARE(call->text(), QString("DK7UK"));
        QTest::keyClick(call, Qt::Key_Return);
        auto *state = live.findChild<QLabel *>("lblClusterState");
        QTRY_VERIFY_WITH_TIMEOUT(state->text().startsWith("Refused, retrying in"), 5000);
    }

    void connectionTroubles_data() {
        QTest::addColumn<QString>("detail");
        QTest::addColumn<bool>("everUp");
        QTest::addColumn<int>("trouble");
        using T = livewindow::Trouble;
        const auto row = [](const char *name, const char *detail, bool up, T trouble) {
            QTest::newRow(name) << QString(detail) << up << static_cast<int>(trouble);
        };
        row("socket refused", "Connection refused", false, T::Refused);
        row("socket not found", "Host not found", false, T::NotFound);
        row("socket timed out", "Socket operation timed out", false, T::TimedOut);
        row("broker not found", "Cannot find the broker mqtt.example: Name or service not known",
            false, T::NotFound);
        row("broker silent", "No answer from the broker within 10 s", false, T::TimedOut);
        row("other", "Network unreachable", false, T::CannotConnect);
        // Up once, then refused on a retry: the connection was lost.
        row("refused after a login", "Connection refused", true, T::Lost);
        row("closed after a login", "the node closed the connection", true, T::Lost);
    }

    void connectionTroubles() {
        QFETCH(QString, detail);
        QFETCH(bool, everUp);
        QFETCH(int, trouble);
        QCOMPARE(static_cast<int>(livewindow::TroubleOf(detail.toStdString(), everUp)), trouble);
    }

    void mapFollowsADarkDesktop() {
        // State: the map as the desktop. Action: a dark desktop palette; then View > Map by day.
        // Expected: the night palette, then the day one whatever the desktop.
        frmLive live(Setup());
        const auto *map = live.findChild<map::MapView *>("mapView");
        QCOMPARE(map->Palette().Sea, map::DayPalette().Sea);
        QPalette dark = live.palette();
        dark.setColor(QPalette::Window, QColor(0x20, 0x22, 0x24));
        live.setPalette(dark);
        QCOMPARE(map->Palette().Sea, map::NightPalette().Sea);
        live.findChild<QAction *>("mnuMapDay")->trigger();
        QCOMPARE(map->Palette().Sea, map::DayPalette().Sea);
    }

    void homeSharedBothWays() {
        // State: the calculator and the live window wired as the program wires them. Action: a
        // home typed in the calculator; then an E-layer height set in the live window's menu.
        // Expected: each seen by the other at once, the live core's verdicts from the new home.
        QTemporaryDir programDir;
        SilentDialogs dialogs;
        window::frmMUF calculator(
            dialogs, window::SettingsPlaces{programDir.path(), ConfigDir->path()}, QLocale::c());
        livewindow::LiveWindowSetup setup = Setup();
        setup.AskText = [](const QString &, const QString &, const QString &) {
            return QString("125");
        };
        frmLive live(std::move(setup));
        connect(&calculator, &window::frmMUF::homeChanged, &live, &frmLive::SetHome);
        connect(&live, &frmLive::homeChanged, &calculator, &window::frmMUF::ApplyHome);

        auto *home = calculator.findChild<QLineEdit *>("txtHomeLoc");
        home->selectAll();
        QTest::keyClicks(home, "JO01MM");
        QCOMPARE(live.Home().HomeLocator, std::string("JO01MM"));
        QTRY_COMPARE(live.Session().Verdict().HomeLocator, std::string("JO01MM"));

        live.findChild<QAction *>("mnuLiveEsLayer")->trigger();
        QCOMPARE(calculator.State().EsLayerHeightKm, 125.0F);
        QCOMPARE(calculator.findChild<QLabel *>("lblEsLayerHeight")->text(),
                 QString("e layer height = 125km"));
        QCOMPARE(home->text(), QString("JO01MM"));
    }
};

QTEST_MAIN(LiveLayoutTest)
#include "live_layout_test.moc"
