// The map as painted: the built-in outlines load, land shows where land is and sea where sea is,
// clouds take their class colour, the selected line is drawn, and wheel, drag and Home move the
// view as a user expects.
#include "fake_scene.h"
#include "map/map_view.h"

#include <QAction>
#include <QImage>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QToolButton>
#include <QWheelEvent>
#include <QtTest>

#include <array>
#include <cmath>

using namespace ionvane::map;
using ionvane::map::testing::HomeIO90IR;

namespace {

// The fill colours as painted (see map_view.cpp).
const QColor Land(0xf1, 0xec, 0xdf);
const QColor Sea(0xdc, 0xe8, 0xf2);

int ColourDistance(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
           std::abs(a.blue() - b.blue());
}

std::shared_ptr<const WorldOutlines> Outlines() {
    static const WorldOutlinesResult result = LoadWorldOutlines();
    return result.Value;
}

QImage Render(MapView &view, double ratio = 1.0) {
    QImage image(view.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::black);
    view.render(&image);
    return image;
}

// 800x600 on IO90IR with the outlines, 50 clouds and 500 paths.
void SetUpBusy(MapView &view) {
    view.resize(800, 600);
    view.SetOutlines(Outlines());
    view.SetHome(HomeIO90IR, "IO90IR");
    view.SetScene(ionvane::map::testing::FakeOpening(50, 500));
}

QColor PixelAt(const QImage &image, QPointF logical) {
    const double ratio = image.devicePixelRatio();
    return image.pixelColor(static_cast<int>(std::lround(logical.x() * ratio)),
                            static_cast<int>(std::lround(logical.y() * ratio)));
}

struct Place {
    const char *Name;
    GeoPoint Point;
};

// Away from field lines (multiples of 10 degrees of latitude, 20 of longitude), range rings and
// their labels, at least 50 km from any coast.
const Place LandPlaces[] = {
    {"central France", {45.3, 2.8}},
    {"central Ireland", {53.1, -7.9}},
    {"Poland", {52.1, 19.2}},
    {"central Spain", {39.7, -3.6}},
};
const Place SeaPlaces[] = {
    {"Bay of Biscay", {45.6, -4.8}},
    {"North Sea", {56.1, 3.1}},
    {"Atlantic west of Ireland", {52.5, -15.0}},
    {"western Mediterranean", {38.8, 5.2}},
};

} // namespace

class MapViewTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<MapView> View;

  private slots:
    void init() {
        View = std::make_unique<MapView>();
        View->resize(800, 600);
        View->SetOutlines(Outlines());
        View->SetHome(HomeIO90IR, "IO90IR");
    }

    // The built-in Natural Earth outlines: land rings and the borders between countries.
    void builtInOutlinesLoad() {
        const WorldOutlinesResult result = LoadWorldOutlines();
        QCOMPARE(result.Error, std::string());
        QVERIFY(result.Value);
        QCOMPARE(result.Value->Land.size(), std::size_t{1421});
        // 362 arcs are shared by two of the 241 countries (counted from the file on its own).
        QCOMPARE(result.Value->Borders.size(), std::size_t{362});
    }

    void badOutlinesSayWhich() {
        QCOMPARE(MakeWorldOutlines("{", "{}").Error,
                 std::string("land outlines: not JSON: unterminated object at byte 1"));
        const QByteArray empty = R"({"type":"Topology","arcs":[],"objects":{}})";
        QCOMPARE(MakeWorldOutlines(empty, "[]").Error,
                 std::string("country borders: not a TopoJSON topology (\"type\" is not "
                             "\"Topology\")"));
        QCOMPARE(MakeWorldOutlines(empty, empty).Error,
                 std::string("land outlines: no object \"land\" with polygons"));
    }

    // State: centred on IO90IR at the default 3,000 km. Expected: home in the middle, land
    // pixels on land and sea pixels at sea, at 100% and 200%.
    void landWhereLandIsSeaAtSea() {
        QCOMPARE(View->WidgetPoint(HomeIO90IR), QPointF(400, 300));
        for (const double ratio : {1.0, 2.0}) {
            const QImage image = Render(*View, ratio);
            for (const auto &place : LandPlaces) {
                const QColor pixel = PixelAt(image, View->WidgetPoint(place.Point));
                QVERIFY2(ColourDistance(pixel, Land) <= 3,
                         qPrintable(QString("%1 is not land: %2").arg(place.Name, pixel.name())));
            }
            for (const auto &place : SeaPlaces) {
                const QColor pixel = PixelAt(image, View->WidgetPoint(place.Point));
                QVERIFY2(ColourDistance(pixel, Sea) <= 3,
                         qPrintable(QString("%1 is not sea: %2").arg(place.Name, pixel.name())));
            }
        }
    }

    // Regression: from a home whose antipode is on land (Santiago de Chile, antipode in China)
    // the ring round the antipode filled the whole disc, and the Pacific beside home was drawn
    // as land.
    void antipodeOnLandLeavesTheSeaBlue() {
        View->SetHome({-33.45, -70.67}, "FF46");
        const QImage image = Render(*View);
        const QColor pacific = PixelAt(image, View->WidgetPoint({-34.0, -76.5}));
        QVERIFY2(ColourDistance(pacific, Sea) <= 3, qPrintable(pacific.name()));
        const QColor andes = PixelAt(image, View->WidgetPoint({-32.0, -68.0}));
        QVERIFY2(ColourDistance(andes, Land) <= 3, qPrintable(andes.name()));
        // Zoomed out to the whole world, Xinjiang and Tibet (near the edge circle) are land.
        View->resize(800, 800);
        for (int notch = 0; notch < 20; ++notch) {
            QWheelEvent out(QPointF(400, 400), View->mapToGlobal(QPointF(400, 400)), QPoint(),
                            QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                            false);
            QApplication::sendEvent(View.get(), &out);
        }
        QCOMPARE(View->ViewRadiusKm(), MaxViewRadiusKm);
        const QImage world = Render(*View);
        for (const GeoPoint asia : {GeoPoint{44.0, 81.0}, GeoPoint{36.0, 95.0}}) {
            const QColor pixel = PixelAt(world, View->WidgetPoint(asia));
            QVERIFY2(ColourDistance(pixel, Land) <= 3, qPrintable(pixel.name()));
        }
    }

    // Each lower band edge belongs to the band above it.
    void freqClassesAtTheirEdges() {
        const std::pair<double, FreqClass> cases[] = {
            {28.885, FreqClass::Below50MHz},       {49.999, FreqClass::Below50MHz},
            {50.0, FreqClass::From50MHz},          {69.999, FreqClass::From50MHz},
            {70.0, FreqClass::From70MHz},          {143.999, FreqClass::From70MHz},
            {144.0, FreqClass::From144MHz},        {432.2, FreqClass::From144MHz},
            {std::nan(""), FreqClass::Below50MHz},
        };
        for (const auto &[freq, expected] : cases) {
            QCOMPARE(ClassOfFreq(freq), expected);
        }
    }

    // State: one cloud of each class over the sea. Expected: the pixel at each centre is
    // nearest to its own class colour.
    void cloudsTakeTheirClassColour() {
        const std::array<std::pair<FreqClass, double>, 4> clouds{{
            {FreqClass::Below50MHz, 28.9},
            {FreqClass::From50MHz, 50.11},
            {FreqClass::From70MHz, 70.2},
            {FreqClass::From144MHz, 144.3},
        }};
        MapScene scene;
        for (std::size_t i = 0; i < clouds.size(); ++i) {
            scene.Clouds.push_back(
                {static_cast<int>(i), SeaPlaces[i].Point, clouds[i].second, std::nullopt, false});
        }
        View->SetScene(scene);
        const QImage image = Render(*View);
        for (std::size_t i = 0; i < clouds.size(); ++i) {
            const QColor pixel = PixelAt(image, View->WidgetPoint(SeaPlaces[i].Point));
            FreqClass nearest = FreqClass::Below50MHz;
            for (const auto &candidate : clouds) {
                if (ColourDistance(pixel, FreqClassColour(candidate.first)) <
                    ColourDistance(pixel, FreqClassColour(nearest))) {
                    nearest = candidate.first;
                }
            }
            QCOMPARE(nearest, clouds[i].first);
        }
    }

    // The line home -> cloud -> try-towards point is dark where it runs; a spot path is drawn.
    void selectedLineAndPathsAreDrawn() {
        MapScene scene;
        const GeoPoint cloud{46.5, 10.5};
        const GeoPoint tryTowards{42.1, 22.9};
        scene.Selected = SelectedBandLine{cloud, tryTowards, ""};
        scene.Paths.push_back({{48.5, -16.0}, {48.5, -6.0}, 50.1, std::nullopt, 0, 1.0});
        View->SetScene(scene);
        const QImage before = Render(*View);
        for (const GeoPoint on : {GreatCirclePoints(HomeIO90IR, cloud, 100)[4],
                                  GreatCirclePoints(cloud, tryTowards, 100)[5]}) {
            const QColor pixel = PixelAt(before, View->WidgetPoint(on));
            QVERIFY2(pixel.red() + pixel.green() + pixel.blue() < 200, qPrintable(pixel.name()));
        }
        const GeoPoint onPath = GreatCirclePoints({48.5, -16.0}, {48.5, -6.0}, 50)[3];
        // A thin antialiased line: the strongest pixel next to the point on it.
        const auto strongest = [&](const QImage &image) {
            int distance = 0;
            const QPointF at = View->WidgetPoint(onPath);
            for (int dx = -1; dx <= 1; ++dx) {
                for (int dy = -1; dy <= 1; ++dy) {
                    distance = std::max(distance,
                                        ColourDistance(PixelAt(image, at + QPointF(dx, dy)), Sea));
                }
            }
            return distance;
        };
        QVERIFY2(strongest(before) > 100, qPrintable(QString::number(strongest(before))));
        View->SetScene({});
        QCOMPARE(strongest(Render(*View)), 0);
    }

    // Without outlines the map still draws sea, grid and rings, and says why.
    void missingOutlinesPaintSea() {
        View->SetOutlines(nullptr, "land outlines: not JSON");
        const QImage image = Render(*View);
        const QColor france = PixelAt(image, View->WidgetPoint(LandPlaces[0].Point));
        QVERIFY(ColourDistance(france, Sea) <= 3);
    }

    // A wheel notch zooms by 2^(1/4) about the cursor: the place under it stays put.
    void wheelZoomsAboutTheCursor() {
        QCOMPARE(View->ViewRadiusKm(), DefaultViewRadiusKm);
        const QPointF cursor(600, 150);
        const GeoPoint before = View->GeoPointAt(cursor);
        QWheelEvent in(cursor, View->mapToGlobal(cursor), QPoint(), QPoint(0, 120), Qt::NoButton,
                       Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(View.get(), &in);
        QCOMPARE(View->ViewRadiusKm(), 2522.689245761144);
        const GeoPoint after = View->GeoPointAt(cursor);
        QVERIFY(std::fabs(after.LatDeg - before.LatDeg) < 1e-9);
        QVERIFY(std::fabs(after.LonDeg - before.LonDeg) < 1e-9);
        // Zooming in stops at 100 km.
        for (int notch = 0; notch < 40; ++notch) {
            QWheelEvent more(cursor, View->mapToGlobal(cursor), QPoint(), QPoint(0, 120),
                             Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(View.get(), &more);
        }
        QCOMPARE(View->ViewRadiusKm(), MinViewRadiusKm);
    }

    // Dragging carries the map with the mouse; Home and the Home button bring it back.
    void dragPansAndHomeReturns() {
        const QPointF from(300, 200);
        const QPointF to(420, 260);
        const GeoPoint grabbed = View->GeoPointAt(from);
        QMouseEvent press(QEvent::MouseButtonPress, from, View->mapToGlobal(from), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(View.get(), &press);
        QMouseEvent move(QEvent::MouseMove, to, View->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(View.get(), &move);
        QMouseEvent release(QEvent::MouseButtonRelease, to, View->mapToGlobal(to), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(View.get(), &release);
        const GeoPoint dropped = View->GeoPointAt(to);
        QVERIFY(std::fabs(dropped.LatDeg - grabbed.LatDeg) < 1e-9);
        QVERIFY(std::fabs(dropped.LonDeg - grabbed.LonDeg) < 1e-9);
        // 120 px right and 60 px down at 3,000 km per 300 px: 1,200 km west, 600 km north.
        QCOMPARE(View->ViewCentre().XKm, -1200.0);
        QCOMPARE(View->ViewCentre().YKm, 600.0);

        auto *button = View->findChild<QToolButton *>("cmdMapHome");
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(View->ViewCentre().XKm, 0.0);
        QCOMPARE(View->ViewCentre().YKm, 0.0);
        QCOMPARE(View->WidgetPoint(HomeIO90IR), QPointF(400, 300));

        View->show();
        QVERIFY(QTest::qWaitForWindowExposed(View.get()));
        View->setFocus();
        QTest::keyClick(View.get(), Qt::Key_Minus);
        QTest::keyClick(View.get(), Qt::Key_Left);
        QVERIFY(View->ViewRadiusKm() > DefaultViewRadiusKm);
        QTest::keyClick(View.get(), Qt::Key_Home);
        QCOMPARE(View->ViewRadiusKm(), DefaultViewRadiusKm);
        QCOMPARE(View->ViewCentre().XKm, 0.0);
    }

    // State: a view painted once, so that its pictures are kept. Action: paint it again, at
    // 100%, 150% and 200%. Expected: exactly the picture a new view paints for the same state.
    void keptPictureEqualsAFreshOne() {
        for (const double ratio : {1.0, 1.5, 2.0}) {
            MapView kept;
            SetUpBusy(kept);
            Render(kept, ratio);
            const QImage again = Render(kept, ratio);
            MapView fresh;
            SetUpBusy(fresh);
            QCOMPARE(again, Render(fresh, ratio));
        }
    }

    // State: a view painted once. Action: change what it shows, then paint. Expected: the
    // picture differs from the kept one and equals that of a new view in the changed state; a
    // kept picture surviving the change would show the old map.
    void changesRepaintTheMap_data() {
        QTest::addColumn<int>("change");
        QTest::newRow("new scene") << 0;
        QTest::newRow("cloud highlighted") << 1;
        QTest::newRow("zoom") << 2;
        QTest::newRow("pan") << 3;
        QTest::newRow("resize") << 4;
        QTest::newRow("one-hop ring") << 5;
        QTest::newRow("new home") << 6;
        QTest::newRow("font") << 7;
        QTest::newRow("no outlines") << 8;
        // The paths of a new scene are taken from the last one where their ends agree: never
        // across a new home, and never for a path that moved.
        QTest::newRow("same scene again after a new home") << 9;
        QTest::newRow("one path moved") << 10;
        // Outlines get their pixels when first shown: these were off the first picture.
        QTest::newRow("pan far") << 11;
    }
    void changesRepaintTheMap() {
        QFETCH(int, change);
        const auto apply = [change](MapView &view) {
            MapScene scene = ionvane::map::testing::FakeOpening(50, 500);
            switch (change) {
            case 0:
                view.SetScene(ionvane::map::testing::FakeOpening(20, 40));
                break;
            case 1:
                scene.HighlightedCloudId = 2;
                view.SetScene(scene);
                break;
            case 2: {
                const QPointF at(500, 300);
                QWheelEvent wheel(at, at, QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                                  Qt::NoScrollPhase, false);
                QApplication::sendEvent(&view, &wheel);
                break;
            }
            case 3:
                QTest::keyClick(&view, Qt::Key_Right);
                break;
            case 4:
                view.resize(820, 600);
                break;
            case 5:
                view.SetOneHopKm(1800.0);
                break;
            case 6:
                // JN58TD, Munich.
                view.SetHome({48.145833333333333, 11.625}, "JN58TD");
                break;
            case 7: {
                QFont font = view.font();
                font.setPointSizeF(14.0);
                view.setFont(font);
                break;
            }
            case 8:
                view.SetOutlines(nullptr, "gone");
                break;
            case 9:
                view.SetScene(scene);
                view.SetHome({48.145833333333333, 11.625}, "JN58TD");
                view.SetScene(scene);
                break;
            case 10:
                scene.Paths[7].To = {60.2, 24.9};
                view.SetScene(scene);
                break;
            case 11:
                for (int step = 0; step < 8; ++step) {
                    QTest::keyClick(&view, step % 2 ? Qt::Key_Up : Qt::Key_Right);
                }
                break;
            }
        };
        MapView kept;
        SetUpBusy(kept);
        const QImage before = Render(kept);
        apply(kept);
        if (kept.HomePending()) {
            // A new home under a picture: the old picture stays until the outlines are
            // projected round the new home in the background.
            QSignalSpy shown(&kept, &MapView::homeShown);
            if (change == 6) {
                QCOMPARE(Render(kept), before);
            }
            QVERIFY(shown.wait(10000));
        }
        const QImage after = Render(kept);
        MapView fresh;
        SetUpBusy(fresh);
        apply(fresh);
        QVERIFY(after != before);
        QCOMPARE(after, Render(fresh));
    }

    // Dragging cannot take the middle of the view off the world.
    void panStaysOnTheWorld() {
        for (int i = 0; i < 30; ++i) {
            QTest::keyClick(View.get(), Qt::Key_Minus);
        }
        for (int i = 0; i < 60; ++i) {
            QTest::keyClick(View.get(), Qt::Key_Right);
        }
        QCOMPARE(View->ViewCentre().XKm, AntipodeDistanceKm());
        const QImage image = Render(*View);
        QVERIFY(!image.isNull());
    }
};

QTEST_MAIN(MapViewTest)
#include "map_view_test.moc"
