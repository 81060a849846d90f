// The Es MUF layer in the live window and the map picture: the squares drawn in their MUF's
// colour and switched off from the View menu (remembered), and File > Save map picture and Copy
// map picture giving the map over the band rows at the window's size and scale. Run at 100% and,
// under QT_SCALE_FACTOR=2, at 200%.
#include "live_window_fixture.h"

#include "map/map_drawing.h"
#include "map/muf_scale.h"
#include "tracker/muf_layer.h"

#include <QClipboard>
#include <QGuiApplication>

class MapPictureTest : public QObject, LiveWindowFixture {
    Q_OBJECT

  private slots:
    void initTestCase() { InitCase(); }
    void init() { Init(); }

    void squaresShowTheirMufAndSwitchOff();
    void pictureIsTheMapOverTheBandRows();
    void savedAndCopiedPicturesAreThePicture();

  private:
    static int Distance(const QColor &a, const QColor &b) {
        return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
               std::abs(a.blue() - b.blue());
    }
};

void MapPictureTest::squaresShowTheirMufAndSwitchOff() {
    // State: the opening replayed up to its last spot; JN48 holds the 2 m spot of 182.97 MHz.
    // Action: View > Es MUF layer off, then on. Expected: a point of JN48 away from the clouds
    // is tinted towards that MUF's colour with the layer and not without; the scale shows only
    // with the layer, and the choice is remembered.
    frmLive live(Setup());
    live.resize(1000, 700);
    live.show();
    QVERIFY(QTest::qWaitForWindowExposed(&live));
    Replay(0, 5);
    const std::vector<tracker::MufSquare> squares =
        live.Session().MufSquares(tracker::MufWindowShortS);
    QCOMPARE(squares.size(), std::size_t{2});
    QCOMPARE(squares[1].Square, std::string("JN48"));
    auto *mapView = live.findChild<map::MapView *>("mapView");
    // Zoomed in to about 1,000 km to the edge: a square some 30 pixels across.
    map::testing::TurnWheel(*mapView, 6);
    // The south-east corner of JN48, 48.1 N 9.9 E: over 200 km from every cloud's centre.
    // In the grabbed image's own pixels, twice as many each way at 200%.
    const QPoint inSquare =
        (mapView->WidgetPoint(map::GeoPoint{48.1, 9.9}) * mapView->devicePixelRatioF()).toPoint();
    const map::MufColour scale = map::MufScaleColour(182.97);
    const QColor squareColour(scale.R, scale.G, scale.B);
    const QColor with = mapView->grab().toImage().pixelColor(inSquare);
    QVERIFY(!mapView->MufLegendRect().isEmpty());

    QAction *layer = live.findChild<QAction *>("mnuEsLayer");
    QVERIFY(layer != nullptr && layer->isChecked());
    layer->trigger();
    const QColor without = mapView->grab().toImage().pixelColor(inSquare);
    QVERIFY(mapView->MufLegendRect().isEmpty());
    QVERIFY2(Distance(with, squareColour) + 40 < Distance(without, squareColour),
             qPrintable(with.name() + " " + without.name()));
    QCOMPARE(livewindow::LoadLiveSettings(ConfigDir->path()).MufLayer, false);

    layer->trigger();
    QCOMPARE(mapView->grab().toImage().pixelColor(inSquare), with);
    live.findChild<QAction *>("mnuEsLayer30")->trigger();
    QCOMPARE(livewindow::LoadLiveSettings(ConfigDir->path()).MufWindowMinutes, 30);
}

void MapPictureTest::pictureIsTheMapOverTheBandRows() {
    // State: the opening replayed. Expected: the picture is the map's size over the band rows'
    // at the screen's scale; home is its red dot, the band rows are the panel's own pixels.
    frmLive live(Setup());
    live.resize(1000, 700);
    live.show();
    QVERIFY(QTest::qWaitForWindowExposed(&live));
    Replay(0, 5);
    auto *mapView = live.findChild<map::MapView *>("mapView");
    auto *rows = live.findChild<livewindow::BandPanel *>();
    QVERIFY(rows != nullptr);
    const double dpr = live.devicePixelRatioF();
    const QImage picture = live.MapPicture();
    const QSize logical(std::max(mapView->width(), rows->width()),
                        mapView->height() + rows->height());
    QCOMPARE(picture.size(), (QSizeF(logical) * dpr).toSize());

    const QPointF home = mapView->WidgetPoint(livewindow::HomeOf("IO90IR"));
    QCOMPARE(picture.pixelColor((home * dpr).toPoint()), map::HomeColour);
    // The middle of the first band row, as the panel draws itself.
    const QImage panel = rows->grab().toImage();
    const QPoint inRows(rows->width() / 2, 4);
    QCOMPARE(
        picture.pixelColor((QPointF(inRows.x(), mapView->height() + inRows.y()) * dpr).toPoint()),
        panel.pixelColor((QPointF(inRows) * dpr).toPoint()));
}

void MapPictureTest::savedAndCopiedPicturesAreThePicture() {
    // Action: File > Save map picture into a temporary file, then Copy map picture. Expected:
    // the PNG and the clipboard hold the picture; a refused path is said in the status bar.
    livewindow::LiveWindowSetup setup = Setup();
    QString asked = ConfigDir->filePath("opening.png");
    setup.AskSavePath = [&asked](const QString &) { return asked; };
    frmLive live(std::move(setup));
    live.resize(900, 600);
    live.show();
    QVERIFY(QTest::qWaitForWindowExposed(&live));
    Replay(0, 5);
    const QImage picture = live.MapPicture();
    live.findChild<QAction *>("mnuSaveMapPicture")->trigger();
    const QImage saved(asked);
    QCOMPARE(saved.size(), picture.size());
    // A PNG keeps the pixels, not the scale they were painted at.
    QImage pixels = picture.convertToFormat(QImage::Format_RGB32);
    pixels.setDevicePixelRatio(1);
    QCOMPARE(saved.convertToFormat(QImage::Format_RGB32), pixels);
    QVERIFY(live.statusBar()->currentMessage().startsWith("Map picture saved"));

    asked = ConfigDir->filePath("no-such-dir/opening.png");
    live.findChild<QAction *>("mnuSaveMapPicture")->trigger();
    QVERIFY(live.statusBar()->currentMessage().contains("could not be saved"));

    live.findChild<QAction *>("mnuCopyMapPicture")->trigger();
    QCOMPARE(QGuiApplication::clipboard()->image().size(), picture.size());
}

QTEST_MAIN(MapPictureTest)
#include "map_picture_test.moc"
