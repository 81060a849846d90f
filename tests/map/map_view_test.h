// The map as painted: one test program whose cases are spread over map_view_test.cpp (the
// outlines, land and sea, clouds, lines and paths) and map_view_interaction_test.cpp (wheel, drag,
// Home and keys, the kept picture, and what repaints the map).
#pragma once

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

// Named, not anonymous: the test class, spread over two files, shares these and one loaded copy
// of the outlines.
namespace map_view_test {

// The fill colours as painted (see map_view.cpp).
const QColor Land(0xf1, 0xec, 0xdf);
const QColor Sea(0xdc, 0xe8, 0xf2);

inline int ColourDistance(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
           std::abs(a.blue() - b.blue());
}

inline std::shared_ptr<const WorldOutlines> Outlines() {
    static const WorldOutlinesResult result = LoadWorldOutlines();
    return result.Value;
}

inline QImage Render(MapView &view, double ratio = 1.0) {
    QImage image(view.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::black);
    view.render(&image);
    return image;
}

// 800x600 on IO90IR with the outlines, 50 clouds and 500 paths.
inline void SetUpBusy(MapView &view) {
    view.resize(800, 600);
    view.SetOutlines(Outlines());
    view.SetHome(HomeIO90IR, "IO90IR");
    view.SetScene(ionvane::map::testing::FakeOpening(50, 500));
}

inline QColor PixelAt(const QImage &image, QPointF logical) {
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

} // namespace map_view_test

using namespace map_view_test;

class MapViewTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<MapView> View;

  private slots:
    void init();
    void builtInOutlinesLoad();
    void badOutlinesSayWhich();
    void landWhereLandIsSeaAtSea();
    void antipodeOnLandLeavesTheSeaBlue();
    void freqClassesAtTheirEdges();
    void cloudsTakeTheirClassColour();
    void doubleHopPointsAreMarked();
    void selectedLineAndPathsAreDrawn();
    void missingOutlinesPaintSea();
    void legendKeepsClearOfTheSelectedLine();
    void nightPaletteDarkensSeaAndLand();
    void wheelZoomsAboutTheCursor();
    void dragPansAndHomeReturns();
    void keptPictureEqualsAFreshOne();
    void changesRepaintTheMap_data();
    void changesRepaintTheMap();
    void panStaysOnTheWorld();
};
