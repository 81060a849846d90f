// The map as painted: the built-in outlines load, land shows where land is and sea where sea is,
// clouds take their class colour, and the selected line and the paths are drawn.
#include "map_view_test.h"

void MapViewTest::init() {
    View = std::make_unique<MapView>();
    View->resize(800, 600);
    View->SetOutlines(Outlines());
    View->SetHome(HomeIO90IR, "IO90IR");
}

// The built-in Natural Earth outlines: land rings and the borders between countries.
void MapViewTest::builtInOutlinesLoad() {
    const WorldOutlinesResult result = LoadWorldOutlines();
    QCOMPARE(result.Error, std::string());
    QVERIFY(result.Value);
    QCOMPARE(result.Value->Land.size(), std::size_t{1421});
    // 362 arcs are shared by two of the 241 countries (counted from the file on its own).
    QCOMPARE(result.Value->Borders.size(), std::size_t{362});
}

void MapViewTest::badOutlinesSayWhich() {
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
void MapViewTest::landWhereLandIsSeaAtSea() {
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
void MapViewTest::antipodeOnLandLeavesTheSeaBlue() {
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
                        QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
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
void MapViewTest::freqClassesAtTheirEdges() {
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
void MapViewTest::cloudsTakeTheirClassColour() {
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

// State: a 6 m double hop reflected over the Bay of Biscay and west of Ireland, at sea. Expected:
// each reflection point is marked in the 6 m colour, and the line between them is drawn.
void MapViewTest::doubleHopPointsAreMarked() {
    const GeoPoint nearHop = SeaPlaces[0].Point;
    const GeoPoint farHop = SeaPlaces[2].Point;
    MapScene scene;
    scene.DoubleHops.push_back({nearHop, farHop, 50.11});
    View->SetScene(scene);
    const QImage image = Render(*View);
    for (const GeoPoint at : {nearHop, farHop}) {
        const QColor pixel = PixelAt(image, View->WidgetPoint(at));
        QVERIFY2(ColourDistance(pixel, FreqClassColour(FreqClass::From50MHz)) <= 3,
                 qPrintable(pixel.name()));
    }
    // A thin antialiased line: the strongest pixel next to a point on it.
    const QPointF between = View->WidgetPoint(GreatCirclePoints(nearHop, farHop, 100)[4]);
    int strongest = 0;
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
            strongest =
                std::max(strongest, ColourDistance(PixelAt(image, between + QPointF(dx, dy)), Sea));
        }
    }
    QVERIFY2(strongest > 100, qPrintable(QString::number(strongest)));
}

// The line home -> cloud -> try-towards point is dark where it runs; a spot path is drawn.
void MapViewTest::selectedLineAndPathsAreDrawn() {
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
                distance =
                    std::max(distance, ColourDistance(PixelAt(image, at + QPointF(dx, dy)), Sea));
            }
        }
        return distance;
    };
    QVERIFY2(strongest(before) > 100, qPrintable(QString::number(strongest(before))));
    View->SetScene({});
    QCOMPARE(strongest(Render(*View)), 0);
}

// Without outlines the map still draws sea, grid and rings, and says why.
void MapViewTest::legendKeepsClearOfTheSelectedLine() {
    // State: a selected band whose try-towards point lies in the bottom left corner, where the
    // legend goes. Expected: the legend moves to a corner clear of that crosshair, and goes back
    // to the bottom left once no band is selected.
    Render(*View);
    const QRectF bottomLeft = View->LegendRect();
    QVERIFY(bottomLeft.left() < 20 && bottomLeft.bottom() > 580);
    const QPointF corner(bottomLeft.left() + 40, bottomLeft.bottom() - 20);
    MapScene scene;
    const GeoPoint cloud{48.0, -8.0};
    scene.Selected = SelectedBandLine{cloud, View->GeoPointAt(corner), "6 m IN65 230\xc2\xb0"};
    View->SetScene(scene);
    Render(*View);
    QVERIFY(!View->LegendRect().contains(corner));
    QVERIFY(!View->LegendRect().contains(View->WidgetPoint(cloud)));
    View->SetScene({});
    Render(*View);
    QCOMPARE(View->LegendRect(), bottomLeft);
}

void MapViewTest::nightPaletteDarkensSeaAndLand() {
    // The night palette paints the sea and the land dark, and the day palette brings them back.
    const QPointF sea = View->WidgetPoint(SeaPlaces[0].Point);
    const QPointF land = View->WidgetPoint(LandPlaces[0].Point);
    View->SetPalette(NightPalette());
    const QImage night = Render(*View);
    QCOMPARE(PixelAt(night, sea), NightPalette().Sea);
    QCOMPARE(PixelAt(night, land), NightPalette().Land);
    View->SetPalette(DayPalette());
    QCOMPARE(PixelAt(Render(*View), sea), DayPalette().Sea);
}

void MapViewTest::missingOutlinesPaintSea() {
    View->SetOutlines(nullptr, "land outlines: not JSON");
    const QImage image = Render(*View);
    const QColor france = PixelAt(image, View->WidgetPoint(LandPlaces[0].Point));
    QVERIFY(ColourDistance(france, Sea) <= 3);
}

QTEST_MAIN(MapViewTest)
