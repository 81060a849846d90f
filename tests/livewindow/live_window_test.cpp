// The live window driven with a replayed capture of an opening, on the capture's own clock: the
// cloud table, the band panel, the alarm, the spot list, the double-click into the main window,
// the remembered geometry, the history at start and the connection states.
#include "cluster/cluster_settings.h"
#include "feed/feed_event.h"
#include "livewindow/connection_words.h"
#include "livewindow/live_window.h"
#include "tests/fakenode/fake_node.h"
#include "tests/map/user_view.h"
#include "tracker/capture.h"
#include "window/locale_format.h"
#include "window/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace ionvane;
using livewindow::frmLive;

namespace {

// Counts what reached the desktop.
class FakeOutlet : public livewindow::AlarmOutlet {
  public:
    void Notify(const QString &title, const QString &text) override {
        Notes << title + " | " + text;
    }
    void Beep() override { ++Beeps; }
    QStringList Notes;
    int Beeps = 0;
};

class SilentDialogs : public window::Dialogs {
  public:
    void OpenOver(QWidget * /*window*/) override {}
    void ShowMessage(const QString &text, const QString & /*title*/, Icon /*icon*/) override {
        Messages << text;
    }
    QString AskText(const QString & /*prompt*/, const QString & /*title*/) override { return {}; }
    QStringList Messages;
};

struct CaptureRow {
    tracker::UnixSeconds Time;
    std::string Line;
};

std::vector<CaptureRow> ReadCapture() {
    QFile file(IONVANE_TEST_DATA "/opening.capture");
    std::vector<CaptureRow> rows;
    if (!file.open(QIODevice::ReadOnly)) {
        return rows;
    }
    while (!file.atEnd()) {
        const std::string text = file.readLine().trimmed().toStdString();
        if (const auto line = tracker::ReadCaptureLine(text)) {
            rows.push_back({line->Time, std::string(line->Line)});
        }
    }
    return rows;
}

// 2026-06-14T10:00:00Z, the first line of the capture.
constexpr tracker::UnixSeconds CaptureStart = 1781431200;

} // namespace

class LiveWindowTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<QTemporaryDir> ConfigDir;
    FakeOutlet Outlet;
    tracker::UnixSeconds Now = CaptureStart;
    std::vector<CaptureRow> Capture;

    livewindow::LiveWindowSetup Setup(history::HistoryStore *store = nullptr) {
        livewindow::LiveWindowSetup setup;
        setup.ConfigDir = ConfigDir->path();
        setup.Home = window::Settings{"IO90IR", 110.0F, 0.15F, "IO90IR"};
        setup.Format = window::NumberFormatOf(QLocale::c());
        setup.Store = store;
        setup.NowUtc = [this] { return Now; };
        setup.SessionClock = cluster::SessionClock::System();
        setup.Outlet = &Outlet;
        // No land: these tests look at the tables and panels, not at the map.
        setup.Outlines = std::make_shared<const map::WorldOutlines>();
        // Each change shown at once; one test below gathers them as the program does.
        setup.RefreshIntervalMs = 0;
        return setup;
    }

    // A session of the window's home without a window.
    live::CoreSetup CoreSetup() {
        live::CoreSetup setup;
        setup.Format = window::NumberFormatOf(QLocale::c());
        setup.Home = tracker::HomeSettings{"IO90IR", 110.0F, 0.15F};
        setup.NowUtc = [this] { return Now; };
        return setup;
    }

    // Feeds the capture's lines [first, last) as the cluster session hands them over.
    void Replay(frmLive &live, std::size_t first, std::size_t last) {
        for (std::size_t i = first; i < last && i < Capture.size(); ++i) {
            Now = Capture[i].Time;
            live.Session().ClusterLine(Capture[i].Time, Capture[i].Line);
        }
    }

    static QString Cell(QTableView *table, int row, int column) {
        return table->model()->index(row, column).data().toString();
    }

    static QString BandRow(frmLive &live, const char *band) {
        return live.findChild<QPushButton *>(QString("cmdBand") + band)->text();
    }

  private slots:
    void initTestCase() {
        Capture = ReadCapture();
        QCOMPARE(Capture.size(), std::size_t{5});
        QCOMPARE(Capture.front().Time, CaptureStart);
    }

    void init() {
        ConfigDir = std::make_unique<QTemporaryDir>();
        Outlet = FakeOutlet();
        Now = CaptureStart;
    }

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

        Replay(live, 4, 5);
        QCOMPARE(Cell(table, 0, C::Age), QString("16 min (fading)"));
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
        // Expected: the 6 m spot opens 10 m and 6 m only; the 2 m spot opens all four, towards
        // JN86IK; sixteen minutes without a spot close them all again. The title follows.
        frmLive live(Setup());
        QVERIFY(BandRow(live, "2m").contains("closed"));
        QCOMPARE(live.windowTitle(), QString("Ionvane Live"));

        Replay(live, 0, 1);
        QVERIFY(BandRow(live, "6m").startsWith("6 m   POSSIBLE"));
        QVERIFY(BandRow(live, "6m").contains("beam 100°  towards JN77EX  50.04 MHz"));
        QVERIFY(BandRow(live, "10m").contains("POSSIBLE"));
        QVERIFY(BandRow(live, "4m").startsWith("4 m   closed"));
        QVERIFY(BandRow(live, "2m").startsWith("2 m   closed"));
        QCOMPARE(live.windowTitle(), QString("Ionvane Live - 6 m possible"));

        Replay(live, 1, 4);
        for (const char *band : {"10m", "6m", "4m", "2m"}) {
            QVERIFY2(BandRow(live, band).contains("beam 103°  towards JN86IK  159.53 MHz"), band);
        }
        QCOMPARE(live.windowTitle(), QString("Ionvane Live - 2 m possible"));

        Replay(live, 4, 5);
        for (const char *band : {"10m", "6m", "4m", "2m"}) {
            QVERIFY2(BandRow(live, band).contains("closed"), band);
        }
        QCOMPARE(live.windowTitle(), QString("Ionvane Live"));
    }

    void alarmBannerOncePerAlarmAndEscAcknowledges() {
        // State: the alarm band set to 2 m. Action: the capture's 2 m spot (which also opens
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

        Replay(live, 0, 4);
        QVERIFY(banner->isVisible());
        QCOMPARE(banner->text(),
                 QString("2 m OPEN   beam 103°   towards JN86IK   159.53 MHz    (click or Esc)"));
        QCOMPARE(Outlet.Notes.size(), 1);
        QVERIFY(Outlet.Notes.front().startsWith(
            "Ionvane Live: 2 m open | 2m Es possible from IO90IR: beam 103.38 deg"));
        QCOMPARE(Outlet.Beeps, 1);

        Now = CaptureStart + 90;
        live.Session().ClusterLine(Now, "DX de DK7UK:    144300.0  S51XYZ  JO01MM<ES>JN75EX 1001Z");
        QCOMPARE(Outlet.Notes.size(), 1);
        QVERIFY(banner->isVisible());

        QTest::keyClick(&live, Qt::Key_Escape);
        QVERIFY(!banner->isVisible());

        Now = CaptureStart + 120;
        live.Session().ClusterLine(Now, "DX de DK7UK:    144174.0  S51ABC  JO01MM<ES>JN75EX 1002Z");
        QVERIFY(!banner->isVisible());
        QCOMPARE(Outlet.Notes.size(), 1);
        QCOMPARE(Outlet.Beeps, 1);
    }

    void alarmBandChosenInTheWindowIsTheTrackers() {
        // State: "6 m up" chosen before the opening. Action: the capture's 6 m spot and another
        // one; then "2 m up", the ageing tick 20 minutes on (the cloud fades, every band closes),
        // and 40 minutes on (closed and alarmed long enough ago to alarm again) a 6 m spot and a
        // 2 m spot through the same place.
        // Expected: the 6 m alarm once (banner, notification, beep); after the change only the
        // 2 m alarm, neither 6 m nor 4 m.
        frmLive live(Setup());
        auto *alarmBand = live.findChild<QComboBox *>("cmbAlarmBand");
        alarmBand->setCurrentIndex(1);
        auto *banner = live.findChild<QPushButton *>("cmdAlarm");
        live.show();
        QVERIFY(QTest::qWaitForWindowExposed(&live));
        Replay(live, 0, 1);
        QVERIFY(banner->isVisible());
        QVERIFY(banner->text().startsWith("6 m OPEN"));
        Now = CaptureStart + 60;
        live.Session().ClusterLine(Now, "DX de G4ABC:     50110.0  S51ABC  IO90IR<ES>JN77EX 1001Z");
        QCOMPARE(Outlet.Notes.size(), 1);
        QVERIFY(Outlet.Notes.front().startsWith("Ionvane Live: 6 m open"));
        QCOMPARE(Outlet.Beeps, 1);
        QTest::keyClick(&live, Qt::Key_Escape);

        alarmBand->setCurrentIndex(3);
        Now = CaptureStart + 20 * 60;
        live.Session().Tick();
        Now = CaptureStart + 40 * 60;
        live.Session().ClusterLine(Now, "DX de G4ABC:     50100.0  S51ABC  IO90IR<ES>JN77EX 1040Z");
        Now += 30;
        live.Session().ClusterLine(Now, "DX de DK7UK:    144174.0  S51ABC  JO01MM<ES>JN75EX 1040Z");
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
        Replay(live, 0, 4);
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
        Replay(live, 0, 4);
        auto *table = live.findChild<QTableView *>("tblSpots");
        using S = livewindow::SpotListModel;
        QCOMPARE(table->model()->rowCount(), 3);
        QCOMPARE(Cell(table, 0, S::Freq), QString("144.174"));
        QCOMPARE(Cell(table, 0, S::What), QString("Es, cloud 1"));
        QCOMPARE(Cell(table, 1, S::What), QString("skipped: No locators found in the spot"));
        QCOMPARE(Cell(table, 2, S::Time), QString("10:00:00"));
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
        livewindow::LiveSession session(CoreSetup());
        for (int i = 0; i < 1005; ++i) {
            const std::string line = "DX de G4ABC:     " + std::to_string(50100 + i) +
                                     ".0  S51ABC  IO90IR<ES>JN77EX 1000Z";
            session.ClusterLine(CaptureStart + i, line);
        }
        QCOMPARE(session.Spots().size(), livewindow::MaxListedSpots);
        QCOMPARE(session.Spots().front().Read.FreqMHzText, std::string("51.104"));
        QCOMPARE(session.Spots().back().Read.FreqMHzText, std::string("50.105"));
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

    void lateFeedReportsCountAtTheirOwnTimes() {
        // State: two sessions without a window. Action: five 6 m reports of one cloud, of 14 to
        // 2 minutes before their receipt, all received at once (the one of 12 minutes ago after
        // the one of 2 minutes ago), and one of 20 minutes ago; the same five spots as cluster
        // lines, each at its own time. Expected: the same cloud, drift and best spot (the newest
        // of the equal frequencies), and all five paths on the map.
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
        const auto session = [this] {
            return std::make_unique<livewindow::LiveSession>(CoreSetup());
        };
        const auto late = session();
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
            late->FeedReport(feed::ReportEvent(
                reader, feed::Seconds(std::chrono::seconds(received)), topic, payload));
        }
        QCOMPARE(late->Spots().size(), std::size(reports));
        QVERIFY(!late->Spots().front().CloudId.has_value()); // 20 minutes: older than the stretch

        const auto inOrder = session();
        std::vector<std::pair<tracker::UnixSeconds, std::string>> lines;
        for (const Report &report : reports) {
            if (report.AgoS < tracker::RecentWindowS) {
                lines.emplace_back(received - report.AgoS,
                                   std::string("DX de EA4XX:     50313.0  DL1XX        ") +
                                       report.From + "<ES>" + report.To + "  1000Z");
            }
        }
        std::sort(lines.begin(), lines.end());
        for (const auto &[time, line] : lines) {
            inOrder->ClusterLine(time, line);
        }
        Now = received;
        inOrder->Tick();

        QCOMPARE(late->Now(), received);
        QCOMPARE(inOrder->Now(), received);
        QCOMPARE(late->Clouds().size(), std::size_t{1});
        QCOMPARE(inOrder->Clouds().size(), std::size_t{1});
        const tracker::CloudSnapshot a = late->Clouds()[0].Cloud;
        const tracker::CloudSnapshot b = inOrder->Clouds()[0].Cloud;
        // The same sums in the same order: equal to the last bit.
        QVERIFY(a.LatDeg == b.LatDeg && a.LonDeg == b.LonDeg);
        QCOMPARE(a.Spots, 5);
        QCOMPARE(a.Spots, b.Spots);
        QCOMPARE(a.FirstSeen, received - 14 * 60);
        QCOMPARE(a.FirstSeen, b.FirstSeen);
        QCOMPARE(a.LastSeen, received - 2 * 60);
        QCOMPARE(a.LastSeen, b.LastSeen);
        QVERIFY(a.CriticalFreqMHz == b.CriticalFreqMHz);
        QVERIFY(a.Movement.has_value() && b.Movement.has_value());
        QVERIFY(a.Movement->SpeedKmh == b.Movement->SpeedKmh);
        QVERIFY(a.Movement->TowardsDeg == b.Movement->TowardsDeg);
        const auto lateBest = late->BestSpotOf(a.Id);
        const auto inOrderBest = inOrder->BestSpotOf(b.Id);
        QVERIFY(lateBest && inOrderBest);
        QCOMPARE(lateBest->Time, received - 2 * 60);
        QCOMPARE(lateBest->Read.FromLoc, inOrderBest->Read.FromLoc);
        QCOMPARE(lateBest->Read.ToLoc, inOrderBest->Read.ToLoc);
        QCOMPARE(late->RecentPaths().size(), std::size_t{5});
        QCOMPARE(inOrder->RecentPaths().size(), std::size_t{5});
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

    void ageingTickFadesCloudsWithoutLines() {
        // State: the opening's cloud. Action: the ageing tick 16 minutes later, nothing received.
        // Expected: the cloud fades and every band closes, as a line at that time would do.
        frmLive live(Setup());
        Replay(live, 0, 4);
        Now = CaptureStart + 16 * 60;
        live.Session().Tick();
        auto *table = live.findChild<QTableView *>("tblClouds");
        QCOMPARE(Cell(table, 0, livewindow::CloudTableModel::Age), QString("16 min (fading)"));
        QVERIFY(BandRow(live, "6m").contains("closed"));
        QCOMPARE(live.windowTitle(), QString("Ionvane Live"));
    }

    void storeOpenedOnceDrawnShowsTheLastHour() {
        // State: a store that recorded the opening. Action: a new window five minutes later,
        // without a store, shown; the store handed over once it has been drawn, as the program
        // does. Expected: the window was drawn first (empty), then the cloud and the spots are
        // there, and new lines go into the store.
        QTemporaryDir storeDir;
        {
            history::HistoryStore store(storeDir.filePath("history.sqlite"), CaptureStart);
            frmLive live(Setup(&store));
            Replay(live, 0, 4);
        }
        Now = CaptureStart + 5 * 60;
        frmLive live(Setup());
        QSignalSpy drawn(&live, &frmLive::firstFrameDrawn);
        live.show();
        QVERIFY(drawn.wait(10'000));
        auto *clouds = live.findChild<QTableView *>("tblClouds");
        QCOMPARE(clouds->model()->rowCount(), 0);
        history::HistoryStore store(storeDir.filePath("history.sqlite"), Now);
        live.UseStore(&store);
        QCOMPARE(clouds->model()->rowCount(), 1);
        QCOMPARE(Cell(clouds, 0, livewindow::CloudTableModel::Centre), QString("JN39RG"));
        QCOMPARE(live.findChild<QTableView *>("tblSpots")->model()->rowCount(), 3);
        live.Session().ClusterLine(Now, "DX de DK7UK:    144300.0  S51XYZ  JO01MM<ES>JN75EX 1005Z");
        QCOMPARE(store.LinesSince(Now).size(), std::size_t{1});
        QCOMPARE(drawn.size(), 1);
    }

    void storeMovedAsideIsSaidInTheStatusBar() {
        // State: a store file that is no database. Action: the store opened and handed over.
        // Expected: the status bar says it was moved aside.
        QTemporaryDir storeDir;
        const QString path = storeDir.filePath("history.sqlite");
        QFile garbage(path);
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray(4096, 'x'));
        garbage.close();
        frmLive live(Setup());
        history::HistoryStore store(path, Now);
        live.UseStore(&store);
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
            Replay(live, 0, 4);
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
};

QTEST_MAIN(LiveWindowTest)
#include "live_window_test.moc"
