#include "map_view.h"
#include "map_view_caches.h"
#include "plane_world.h"

#include <QAction>
#include <QPainter>
#include <QThread>
#include <QToolButton>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

namespace ionvane::map {

void MapView::SetPalette(const MapPalette &palette) {
    Colours = palette;
    Labels->Halo = palette.Halo;
    DropPictures();
    update();
}

MapView::MapView(QWidget *parent) : QWidget(parent), Labels(std::make_unique<LabelTexts>()) {
    setObjectName("mapView");
    setFocusPolicy(Qt::WheelFocus);
    setMinimumSize(200, 150);
    setCursor(Qt::OpenHandCursor);
    ActHome = new QAction(tr("&Home"), this);
    ActHome->setObjectName("actMapHome");
    ActHome->setShortcut(Qt::Key_Home);
    ActHome->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    ActHome->setToolTip(tr("Home in the middle, 3,000 km to the edge (Home)"));
    addAction(ActHome);
    connect(ActHome, &QAction::triggered, this, &MapView::GoHome);
    cmdMapHome = new QToolButton(this);
    cmdMapHome->setObjectName("cmdMapHome");
    cmdMapHome->setDefaultAction(ActHome);
    cmdMapHome->setCursor(Qt::ArrowCursor);
    cmdMapHome->move(8, 8);
}

MapView::~MapView() {
    // A projection still running holds nothing of the map's but must end before its QThread.
    for (QThread *worker : findChildren<QThread *>(Qt::FindDirectChildrenOnly)) {
        worker->wait();
    }
}

void MapView::SetHome(GeoPoint home, const QString &label) {
    const unsigned asked = ++HomeAsked;
    if (!Outlines || !PictureKey) {
        // Nothing on screen to keep: projected when first painted.
        HomeApplied = asked;
        ApplyHome(home, label, nullptr);
        return;
    }
    // Projecting the outlines round a new home takes longer than a frame (80,000 points, about
    // 150 ms on one core): the map keeps its picture and stays live meanwhile.
    auto result = std::make_shared<std::unique_ptr<PlaneWorld>>();
    QThread *worker = QThread::create([result, home, outlines = Outlines] {
        *result = ProjectWorld(AzimuthalEquidistant(home), outlines);
    });
    worker->setParent(this);
    connect(worker, &QThread::finished, this, [this, worker, result, home, label, asked] {
        worker->deleteLater();
        if (asked != HomeAsked) {
            return; // another home was set meanwhile
        }
        HomeApplied = asked;
        // Outlines set meanwhile are projected when painted.
        ApplyHome(home, label,
                  *result && (*result)->Outlines == Outlines.get() ? std::move(*result) : nullptr);
    });
    worker->start();
}

void MapView::ApplyHome(GeoPoint home, const QString &label, std::unique_ptr<PlaneWorld> world) {
    Projection = AzimuthalEquidistant(home);
    HomeLabel = label;
    PlaneWorldCache = std::move(world);
    ScreenWorldCache.reset();
    PlaneSceneCache.reset();
    StalePlaneScene.reset();
    ScreenSceneCache.reset();
    DropPictures();
    GoHome();
    emit homeShown();
}

void MapView::SetOutlines(std::shared_ptr<const WorldOutlines> outlines, const QString &error) {
    Outlines = std::move(outlines);
    OutlinesError = error;
    PlaneWorldCache.reset();
    ScreenWorldCache.reset();
    DropPictures();
    update();
}

void MapView::SetScene(MapScene scene) {
    PathChoice choice = ChoosePaths(std::move(scene.Paths), scene.HighlightedCloudId);
    scene.Paths = std::move(choice.Drawn);
    PathsNotDrawn = std::move(choice.NotDrawn);
    PathsNotDrawnElsewhere = choice.NotDrawnElsewhere;
    Data = std::move(scene);
    // Kept for the paths the next scene repeats; an older one kept already serves as well.
    if (PlaneSceneCache) {
        StalePlaneScene = std::move(PlaneSceneCache);
    }
    PlaneSceneCache.reset();
    ScreenSceneCache.reset();
    PictureKey.reset();
    update();
}

void MapView::SetRotatorDeg(std::optional<double> azimuthDeg) {
    if (RotatorDeg != azimuthDeg) {
        RotatorDeg = azimuthDeg;
        PictureKey.reset(); // the scene's picture is drawn again with the line
        update();
    }
}

void MapView::SetOneHopKm(double oneHopKm) {
    if (std::isfinite(oneHopKm) && oneHopKm > 0) {
        OneHopKm = std::min(oneHopKm, AntipodeDistanceKm());
        update();
    }
}

double MapView::PixelsPerKm() const {
    return std::min(width(), height()) / 2.0 / RadiusKm;
}

// Where home (the plane's origin) is on the widget.
QPointF MapView::PlaneOrigin() const {
    const double s = PixelsPerKm();
    return {width() / 2.0 - Centre.XKm * s, height() / 2.0 + Centre.YKm * s};
}

QPointF MapView::WidgetPoint(GeoPoint point) const {
    return PlaneOrigin() + ToPlanePixels(Projection.Forward(point), PixelsPerKm());
}

GeoPoint MapView::GeoPointAt(QPointF point) const {
    const double s = PixelsPerKm();
    const QPointF p = point - PlaneOrigin();
    return Projection.Inverse({p.x() / s, -p.y() / s});
}

void MapView::GoHome() {
    SetView({}, DefaultViewRadiusKm);
}

void MapView::SetView(PlanePoint centre, double radiusKm) {
    RadiusKm = std::clamp(radiusKm, MinViewRadiusKm, MaxViewRadiusKm);
    // The middle of the view stays on the world disc, so the map cannot be dragged away.
    const double fromHomeKm = std::hypot(centre.XKm, centre.YKm);
    const double edgeKm = AntipodeDistanceKm();
    if (fromHomeKm > edgeKm) {
        centre = {centre.XKm * edgeKm / fromHomeKm, centre.YKm * edgeKm / fromHomeKm};
    }
    Centre = centre;
    update();
    emit ViewChanged();
}

ScreenWorld &MapView::World(double pixelsPerKm, double devicePixelRatio) {
    if (!PlaneWorldCache) {
        PlaneWorldCache = ProjectWorld(Projection, Outlines);
        ScreenWorldCache.reset();
    }
    if (!ScreenWorldCache || ScreenWorldCache->PixelsPerKm != pixelsPerKm ||
        ScreenWorldCache->DevicePixelRatio != devicePixelRatio) {
        auto screen = std::make_unique<ScreenWorld>();
        screen->PixelsPerKm = pixelsPerKm;
        screen->DevicePixelRatio = devicePixelRatio;
        screen->LandRings.resize(PlaneWorldCache->LandRings.size());
        screen->Coasts.resize(PlaneWorldCache->Coasts.size());
        screen->Borders.resize(PlaneWorldCache->Borders.size());
        screen->Grid.resize(PlaneWorldCache->Grid.size());
        ScreenWorldCache = std::move(screen);
    }
    return *ScreenWorldCache;
}

const ScreenScene &MapView::Scene(double pixelsPerKm, double devicePixelRatio) {
    if (!PlaneSceneCache) {
        auto scene = std::make_unique<PlaneScene>();
        // A new scene mostly repeats the paths of the last one (it holds the spots of the last
        // minutes, and a few arrive every few seconds): their great circles are taken from it.
        using Ends = std::array<double, 4>;
        std::map<Ends, const PlaneScene::Path *> earlier;
        if (StalePlaneScene) {
            for (const auto &path : StalePlaneScene->Paths) {
                earlier.emplace(
                    Ends{path.From.LatDeg, path.From.LonDeg, path.To.LatDeg, path.To.LonDeg},
                    &path);
            }
        }
        for (const SpotPath &path : Data.Paths) {
            const auto found = earlier.find(
                Ends{path.From.LatDeg, path.From.LonDeg, path.To.LatDeg, path.To.LonDeg});
            scene->Paths.push_back(
                {found != earlier.end()
                     ? found->second->Pieces
                     : ProjectLine(Projection, GreatCirclePoints(path.From, path.To, PathStepKm)),
                 ClassOfFreq(path.FreqMHz), PathShade(path.Weight), path.From, path.To});
        }
        StalePlaneScene.reset();
        for (const CloudPatch &cloud : Data.Clouds) {
            PlaneScene::Cloud c{Projection.Forward(cloud.Centre),
                                std::nullopt,
                                ClassOfFreq(cloud.HighestFreqMHz),
                                cloud.Fading,
                                Data.HighlightedCloudId == cloud.Id,
                                0,
                                cloud.Id};
            if (const auto notDrawn = PathsNotDrawn.find(cloud.Id);
                notDrawn != PathsNotDrawn.end()) {
                c.PathsNotDrawn = notDrawn->second;
            }
            if (cloud.Drift && std::isfinite(cloud.Drift->SpeedKmh) &&
                std::isfinite(cloud.Drift->TowardsDeg) && cloud.Drift->SpeedKmh > 0) {
                c.DriftTo =
                    Projection.Forward(Destination(cloud.Centre, cloud.Drift->TowardsDeg,
                                                   cloud.Drift->SpeedKmh * DriftArrowHours));
            }
            if (cloud.In15Min) {
                c.In15Min = Projection.Forward(*cloud.In15Min);
            }
            scene->Clouds.push_back(c);
        }
        for (const HopPoints &hop : Data.DoubleHops) {
            scene->Hops.push_back(
                {Projection.Forward(hop.Near), Projection.Forward(hop.Far),
                 ProjectLine(Projection, GreatCirclePoints(hop.Near, hop.Far, PathStepKm)),
                 ClassOfFreq(hop.FreqMHz)});
        }
        if (Data.Selected) {
            for (const auto &[from, to] :
                 {std::pair{Projection.Home(), Data.Selected->Cloud},
                  std::pair{Data.Selected->Cloud, Data.Selected->TryTowards}}) {
                for (auto &piece :
                     ProjectLine(Projection, GreatCirclePoints(from, to, PathStepKm / 2))) {
                    scene->SelectedLine.push_back(std::move(piece));
                }
            }
            scene->TryTowards = Projection.Forward(Data.Selected->TryTowards);
        }
        PlaneSceneCache = std::move(scene);
        ScreenSceneCache.reset();
    }
    if (!ScreenSceneCache || ScreenSceneCache->PixelsPerKm != pixelsPerKm ||
        ScreenSceneCache->DevicePixelRatio != devicePixelRatio) {
        auto screen = std::make_unique<ScreenScene>();
        screen->PixelsPerKm = pixelsPerKm;
        screen->DevicePixelRatio = devicePixelRatio;
        const double tolerancePx = DecimateDevicePx / devicePixelRatio;
        for (const auto &path : PlaneSceneCache->Paths) {
            for (const auto &piece : path.Pieces) {
                screen->Paths.push_back(
                    {ToScreenLine(piece, pixelsPerKm, tolerancePx), path.Class, path.Shade});
            }
        }
        for (const auto &hop : PlaneSceneCache->Hops) {
            for (const auto &piece : hop.Pieces) {
                screen->HopLines.push_back(
                    {ToScreenLine(piece, pixelsPerKm, tolerancePx), hop.Class});
            }
        }
        for (const auto &piece : PlaneSceneCache->SelectedLine) {
            screen->SelectedLine.push_back(ToScreenLine(piece, pixelsPerKm, tolerancePx));
        }
        ScreenSceneCache = std::move(screen);
    }
    return *ScreenSceneCache;
}

const QImage &MapView::CloudSprite(FreqClass freqClass, bool fading, double radiusPx,
                                   double devicePixelRatio) {
    if (CloudSpriteRadiusPx != radiusPx || CloudSpriteRatio != devicePixelRatio) {
        CloudSprites = {};
        CloudSpriteRadiusPx = radiusPx;
        CloudSpriteRatio = devicePixelRatio;
    }
    QImage &sprite = CloudSprites[static_cast<std::size_t>(freqClass)][fading ? 1 : 0];
    if (sprite.isNull()) {
        const double sidePx = 2 * std::ceil(radiusPx + 2);
        const int side = static_cast<int>(std::ceil(sidePx * devicePixelRatio));
        sprite = QImage(side, side, QImage::Format_ARGB32_Premultiplied);
        sprite.setDevicePixelRatio(devicePixelRatio);
        sprite.fill(Qt::transparent);
        QPainter painter(&sprite);
        painter.setRenderHint(QPainter::Antialiasing);
        const double middle = side / devicePixelRatio / 2;
        DrawCloud(painter, QPointF(middle, middle), radiusPx, freqClass, fading);
    }
    return sprite;
}

// Makes `layer` a layer of the widget's size at `devicePixelRatio`, whose fonts come out at the
// widget's size: a font's pixel size follows the device's dots per inch, 72 by default for an
// image. Its memory is kept while the size holds (a new 3 MB image on every pan step costs page
// faults and cache misses); what it held is painted over.
void MapView::changeEvent(QEvent *event) {
    // The texts are translated and laid out anew; the font itself is part of the layers' key.
    if (event->type() == QEvent::LanguageChange || event->type() == QEvent::LocaleChange) {
        DropPictures();
        update();
    }
    QWidget::changeEvent(event);
}

void MapView::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    emit ViewChanged();
}

} // namespace ionvane::map
