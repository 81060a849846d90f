// The map widget's painting: the static layer (sea, land, borders, coasts, field grid, range
// rings) and the scene over it (map_view_scene.cpp), each kept as a picture until what it shows
// changes.
#include "map_view.h"
#include "map_view_caches.h"
#include "plane_world.h"
#include "thin_lines.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>

namespace ionvane::map {

// Makes `layer` a layer of the widget's size at `devicePixelRatio`, whose fonts come out at the
// widget's size: a font's pixel size follows the device's dots per inch, 72 by default for an
// image. Its memory is kept while the size holds (a new 3 MB image on every pan step costs page
// faults and cache misses); what it held is painted over.
void MapView::ReadyLayer(QImage &layer, double devicePixelRatio) const {
    const QSize sizePx(static_cast<int>(std::ceil(width() * devicePixelRatio)),
                       static_cast<int>(std::ceil(height() * devicePixelRatio)));
    if (layer.size() != sizePx || layer.format() != QImage::Format_ARGB32_Premultiplied) {
        layer = QImage(sizePx, QImage::Format_ARGB32_Premultiplied);
    }
    layer.setDevicePixelRatio(devicePixelRatio);
    // 0.0254 m to the inch.
    layer.setDotsPerMeterX(static_cast<int>(std::lround(logicalDpiX() / 0.0254)));
    layer.setDotsPerMeterY(static_cast<int>(std::lround(logicalDpiY() / 0.0254)));
}

void MapView::DropPictures() {
    StaticKey.reset();
    PictureKey.reset();
}

void MapView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    Paint(painter);
}

void MapView::Paint(QPainter &painter) {
    // Device pixels per logical pixel as this painter draws: more than the device's own ratio
    // when the widget is rendered into a larger image.
    const QTransform device = painter.deviceTransform();
    const double dpr = device.m11();
    if (device.type() > QTransform::TxScale || !(dpr > 0) || device.m22() != dpr) {
        // A rotated or mirrored painter would get a resampled picture: painted directly instead.
        painter.save();
        PaintStatic(painter);
        painter.restore();
        painter.save();
        PaintScene(painter);
        painter.restore();
        return;
    }
    const LayerKey key{size(), dpr, Centre.XKm, Centre.YKm, RadiusKm, OneHopKm, font()};
    if (PictureKey != key) {
        if (StaticKey != key) {
            ReadyLayer(StaticLayer, dpr);
            QPainter layer(&StaticLayer);
            PaintStatic(layer);
            StaticKey = key;
        }
        ReadyLayer(PictureLayer, dpr);
        if (!StaticLayer.isNull()) {
            std::memcpy(PictureLayer.bits(), StaticLayer.constBits(),
                        static_cast<std::size_t>(StaticLayer.sizeInBytes()));
        }
        QPainter layer(&PictureLayer);
        PaintScene(layer);
        PictureKey = key;
    }
    painter.drawImage(QPointF(0, 0), PictureLayer);
}

void MapView::PaintStatic(QPainter &painter) {
    const double s = PixelsPerKm();
    const double dpr = painter.device()->devicePixelRatioF();
    ScreenWorld &world = World(s, dpr);
    const PlaneWorld &plane = *PlaneWorldCache;
    const double tolerancePx = DecimateDevicePx / dpr;
    const QPointF origin = PlaneOrigin();
    const QRectF visible = QRectF(rect()).translated(-origin).adjusted(-4, -4, 4, 4);
    const double edgePx = AntipodeDistanceKm() * s;

    // Zoomed in, the world disc covers the whole view: its smoothed edge circle (thousands of
    // pixels across) would be flattened and filled only to paint every pixel sea.
    const QRectF view = QRectF(rect()).translated(-origin);
    double farthestPx = 0.0;
    for (const QPointF corner :
         {view.topLeft(), view.topRight(), view.bottomLeft(), view.bottomRight()}) {
        farthestPx = std::max(farthestPx, std::hypot(corner.x(), corner.y()));
    }
    if (farthestPx < edgePx - DiscMarginPx) {
        painter.fillRect(rect(), Colours.Sea);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(origin);
    } else {
        painter.fillRect(rect(), Colours.Outside);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(origin);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Colours.Sea);
        painter.drawEllipse(QPointF(0, 0), edgePx, edgePx);
    }

    // Land: every visible ring in one even-odd path, so lakes stay water. A ring around the
    // antipode holds the edge of the map: its land lies between it and the edge circle.
    QPainterPath land;
    land.setFillRule(Qt::OddEvenFill);
    const QRectF clip = visible.adjusted(-8, -8, 8, 8);
    for (std::size_t i = 0; i < plane.LandRings.size(); ++i) {
        const bool holdsAntipode = plane.LandRings[i].HoldsAntipode;
        if (!holdsAntipode && !MayShow(plane.LandBounds[i], s, visible)) {
            continue;
        }
        if (!world.LandRings[i]) {
            world.LandRings[i] = ToScreenLine(plane.LandRings[i].Points, s, tolerancePx);
        }
        const Line &ring = *world.LandRings[i];
        if (holdsAntipode) {
            land.addEllipse(QPointF(0, 0), edgePx, edgePx);
        } else if (!ring.Bounds.intersects(visible)) {
            continue;
        }
        land.addPolygon(clip.contains(ring.Bounds) ? ring.Points
                                                   : ClippedToRect(ring.Points, clip));
    }
    // Unsmoothed: the smoothed coastline drawn over the edge hides the steps, and the fill is
    // several times faster without.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillPath(land, Colours.Land);
    painter.setRenderHint(QPainter::Antialiasing);

    const auto drawLines = [&](std::vector<std::optional<Line>> &lines,
                               const std::vector<std::vector<PlanePoint>> &planeLines,
                               const std::vector<QRectF> &bounds, const QColor &colour) {
        ThinLines thin(painter);
        thin.SetColour(colour);
        painter.setPen(ThinPen(colour));
        painter.setBrush(Qt::NoBrush);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (!MayShow(bounds[i], s, visible)) {
                continue;
            }
            if (!lines[i]) {
                lines[i] = ToScreenLine(planeLines[i], s, tolerancePx);
            }
            const Line &line = *lines[i];
            if (line.Bounds.intersects(visible)) {
                if (thin.IsActive()) {
                    thin.DrawPolyline(line.Points);
                } else {
                    painter.drawPolyline(line.Points);
                }
            }
        }
    };
    drawLines(world.Borders, plane.Borders, plane.BorderBounds, Colours.Border);
    drawLines(world.Coasts, plane.Coasts, plane.CoastBounds, Colours.Coast);
    drawLines(world.Grid, plane.Grid, plane.GridBounds, Colours.Grid);

    // Range rings: exact circles round home on this projection; their distances are written
    // over the paths and clouds.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(ThinPen(Colours.Ring.darker(170), Qt::DashLine));
    painter.drawEllipse(QPointF(0, 0), OneHopKm * s, OneHopKm * s);
    painter.setPen(ThinPen(Colours.Ring));
    for (const double km : RangeRingsKm) {
        if (std::fabs(km - OneHopKm) > 1.0) {
            painter.drawEllipse(QPointF(0, 0), km * s, km * s);
        }
    }
}

} // namespace ionvane::map
