// The map widget's painting: the static layer (sea, land, borders, coasts, field grid, range
// rings) and the scene over it (paths, clouds, labels, the selected band's line, home, legend and
// scale), each kept as a picture until what it shows changes.
#include "map_view.h"
#include "map_view_caches.h"
#include "nowcast_marks.h"
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

void MapView::PaintScene(QPainter &painter) {
    const double s = PixelsPerKm();
    const double dpr = painter.device()->devicePixelRatioF();
    World(s, dpr);
    const ScreenScene &scene = Scene(s, dpr);
    const QPointF origin = PlaneOrigin();
    const QRectF visible = QRectF(rect()).translated(-origin).adjusted(-4, -4, 4, 4);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(origin);

    const auto drawLines = [&](const std::vector<Line> &lines, const QPen &pen) {
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        for (const Line &line : lines) {
            if (line.Bounds.intersects(visible)) {
                painter.drawPolyline(line.Points);
            }
        }
    };

    QFont labelFont = font();
    labelFont.setPointSizeF(std::max(labelFont.pointSizeF(), 9.0));
    struct RingLabel {
        double Km;
        QString Text;
    };
    std::vector<RingLabel> ringLabels{{OneHopKm, tr("%1 km one hop").arg(std::lround(OneHopKm))}};
    for (const double km : RangeRingsKm) {
        if (std::fabs(km - OneHopKm) > 1.0) {
            ringLabels.push_back({km, tr("%1 km").arg(std::lround(km))});
        }
    }

    // Spot paths, thin and translucent in their band's colour, the palest (oldest) first, one
    // class at a time (changing the pen is a good part of the cost of a short line).
    ThinLines thin(painter);
    for (int shade = 0; shade < PathShades; ++shade) {
        for (const FreqClass freqClass : {FreqClass::Below50MHz, FreqClass::From50MHz,
                                          FreqClass::From70MHz, FreqClass::From144MHz}) {
            QColor colour = FreqClassColour(freqClass);
            colour.setAlpha(PathShadeAlpha(shade));
            painter.setPen(ThinPen(colour));
            thin.SetColour(colour);
            for (const auto &path : scene.Paths) {
                if (path.Shade == shade && path.Class == freqClass &&
                    path.Points.Bounds.intersects(visible)) {
                    if (thin.IsActive()) {
                        thin.DrawPolyline(path.Points.Points);
                    } else {
                        painter.drawPolyline(path.Points.Points);
                    }
                }
            }
        }
    }

    // Clouds over the paths that placed them; the highlighted one ringed in black.
    if (PlaneSceneCache) {
        const double radiusPx = std::max(CloudPatchRadiusKm * s, MinCloudRadiusPx);
        for (const auto &cloud : PlaneSceneCache->Clouds) {
            const QPointF at = ToPlanePixels(cloud.Centre, s);
            if (!visible.adjusted(-radiusPx, -radiusPx, radiusPx, radiusPx).contains(at)) {
                continue;
            }
            if (radiusPx <= MaxSpriteRadiusPx) {
                const QImage &sprite = CloudSprite(cloud.Class, cloud.Fading, radiusPx, dpr);
                painter.drawImage(at - QPointF(sprite.width(), sprite.height()) / (2 * dpr),
                                  sprite);
            } else {
                DrawCloud(painter, at, radiusPx, cloud.Class, cloud.Fading);
            }
            if (cloud.Highlighted) {
                painter.setBrush(Qt::NoBrush);
                painter.setPen(QPen(Colours.Halo, 5.0));
                painter.drawEllipse(at, radiusPx + 4, radiusPx + 4);
                painter.setPen(QPen(Colours.Selected, 2.5));
                painter.drawEllipse(at, radiusPx + 4, radiusPx + 4);
            }
            if (cloud.DriftTo) {
                QPointF to = ToPlanePixels(*cloud.DriftTo, s);
                const QLineF arrow(at, to);
                if (arrow.length() < MinDriftArrowPx && arrow.length() > 0) {
                    to = at + (to - at) * (MinDriftArrowPx / arrow.length());
                }
                DrawArrow(painter, at, to, Colours.Text);
            }
        }
    }

    if (PlaneSceneCache) {
        PaintNowcastHeads(painter, PlaneSceneCache->Clouds, s, visible, Colours.Text);
    }

    // Double-hop evidence over the clouds (a reflection point within a cloud supports it): a
    // thin line in the band's colour between the two reflection points, each a small ringed dot.
    for (const auto &line : scene.HopLines) {
        if (line.Points.Bounds.intersects(visible)) {
            painter.setPen(QPen(FreqClassColour(line.Class), HopLinePx));
            painter.setBrush(Qt::NoBrush);
            painter.drawPolyline(line.Points.Points);
        }
    }
    if (PlaneSceneCache) {
        for (const auto &hop : PlaneSceneCache->Hops) {
            for (const PlanePoint &point : {hop.Near, hop.Far}) {
                const QPointF at = ToPlanePixels(point, s);
                if (visible.contains(at)) {
                    painter.setPen(QPen(Colours.Text, 1.0));
                    painter.setBrush(FreqClassColour(hop.Class));
                    painter.drawEllipse(at, HopMarkRadiusPx, HopMarkRadiusPx);
                }
            }
        }
    }

    // Labels over paths and clouds: each cloud's number (as the table and the band rows name it),
    // the paths of each cloud not drawn, the ring distances, then the fields where there is room.
    std::vector<QRectF> labels;
    if (PlaneSceneCache) {
        const double radiusPx = std::max(CloudPatchRadiusKm * s, MinCloudRadiusPx);
        QFont numberFont = labelFont;
        numberFont.setBold(true);
        painter.setFont(numberFont);
        for (const auto &cloud : PlaneSceneCache->Clouds) {
            const QPointF at = ToPlanePixels(cloud.Centre, s);
            if (visible.contains(at)) {
                // Above left of the patch, clear of its colour and of the "+N" below right.
                PlaceLabel(painter, *Labels, QString::number(cloud.Id),
                           at - QPointF(radiusPx, radiusPx) * 0.8, Colours.Text, labels);
            }
        }
    }
    painter.setFont(labelFont);
    if (PlaneSceneCache) {
        const double radiusPx = std::max(CloudPatchRadiusKm * s, MinCloudRadiusPx);
        for (const auto &cloud : PlaneSceneCache->Clouds) {
            const QPointF at = ToPlanePixels(cloud.Centre, s);
            if (cloud.PathsNotDrawn > 0 && visible.contains(at)) {
                PlaceLabel(painter, *Labels, QString("+%1").arg(cloud.PathsNotDrawn),
                           at + QPointF(radiusPx, radiusPx) * 0.8, Colours.Text, labels);
            }
        }
    }
    const double labelBearingRad = RingLabelBearingDeg * std::numbers::pi / 180.0;
    const QPointF labelDirection(std::sin(labelBearingRad), -std::cos(labelBearingRad));
    for (const auto &label : ringLabels) {
        // A ring smaller than its label is left unlabelled.
        if (label.Km * s >= MinLabelledRingPx) {
            PlaceLabel(painter, *Labels, label.Text, labelDirection * label.Km * s,
                       Colours.RingText, labels);
        }
    }
    QFont fieldFont = labelFont;
    fieldFont.setBold(true);
    fieldFont.setPointSizeF(labelFont.pointSizeF() + 1.0);
    painter.setFont(fieldFont);
    if (PlaneWorldCache) {
        for (const auto &label : PlaneWorldCache->FieldLabels) {
            const QPointF at = ToPlanePixels(label.At, s);
            if (visible.contains(at)) {
                PlaceLabel(painter, *Labels, label.Text, at, Colours.FieldLabel, labels,
                           FieldLabelSpacingPx);
            }
        }
    }

    // Labels that are drawn wherever they fall (home's, the try-towards point's), kept clear of
    // the legend.
    std::vector<QRectF> pinned;
    // The selected band: home, the cloud, the try-towards point.
    if (!scene.SelectedLine.empty()) {
        for (const auto &[pen, _] :
             {std::pair{QPen(Colours.Halo, 6.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin), 0},
              std::pair{QPen(Colours.Selected, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin),
                        0}}) {
            drawLines(scene.SelectedLine, pen);
        }
        if (PlaneSceneCache && PlaneSceneCache->TryTowards) {
            const QPointF at = ToPlanePixels(*PlaneSceneCache->TryTowards, s);
            painter.setPen(QPen(Colours.Selected, 2.5));
            painter.setBrush(Colours.Halo);
            painter.drawEllipse(at, 6.0, 6.0);
            painter.drawLine(at - QPointF(10, 0), at + QPointF(10, 0));
            painter.drawLine(at - QPointF(0, 10), at + QPointF(0, 10));
            if (Data.Selected && !Data.Selected->Label.empty()) {
                painter.setFont(labelFont);
                const QString text = QString::fromStdString(Data.Selected->Label);
                const double widthPx = QFontMetricsF(labelFont).horizontalAdvance(text);
                std::vector<QRectF> none;
                PlaceLabel(painter, *Labels, text, at + QPointF(widthPx / 2 + 14, -12),
                           Colours.Selected, none);
                pinned.insert(pinned.end(), none.begin(), none.end());
            }
        }
    }

    // Home on top of everything.
    painter.setPen(QPen(Qt::white, 2.0));
    painter.setBrush(HomeColour);
    painter.drawEllipse(QPointF(0, 0), 5.5, 5.5);
    if (!HomeLabel.isEmpty()) {
        QFont homeFont = labelFont;
        homeFont.setBold(true);
        painter.setFont(homeFont);
        std::vector<QRectF> none;
        const QFontMetricsF homeMetrics(homeFont);
        // Below right of home, or on the side away from the selected cloud so as not to hide
        // its line.
        QPointF side(1, 1);
        if (Data.Selected) {
            const PlanePoint cloud = Projection.Forward(Data.Selected->Cloud);
            side = {cloud.XKm > 0 ? -1.0 : 1.0, cloud.YKm < 0 ? -1.0 : 1.0};
        }
        const QPointF offset(side.x() * (homeMetrics.horizontalAdvance(HomeLabel) / 2 + 10),
                             side.y() * (homeMetrics.height() / 2 + 4));
        PlaceLabel(painter, *Labels, HomeLabel, offset, HomeColour, none);
        pinned.insert(pinned.end(), none.begin(), none.end());
    }
    painter.resetTransform();
    labels.insert(labels.end(), pinned.begin(), pinned.end());
    const std::vector<QRectF> keepClear = LegendKeepClear(labels, scene, origin, s);

    // The legend in a corner where it hides none of that: the cloud colours and what of the
    // paths is drawn.
    painter.setFont(labelFont);
    const QFontMetricsF metrics(labelFont);
    const double lineHeight = metrics.height() + 3;
    std::size_t notDrawn = PathsNotDrawnElsewhere;
    for (const auto &[id, count] : PathsNotDrawn) {
        notDrawn += count;
    }
    PaintLegend(painter, notDrawn, keepClear);

    // Scale: the radius of the view.
    const QString scaleText = tr("%1 km to the edge").arg(std::lround(RadiusKm));
    const QRectF scaleBox(width() - 8 - metrics.horizontalAdvance(scaleText) - 12,
                          height() - 8 - lineHeight - 4, metrics.horizontalAdvance(scaleText) + 12,
                          lineHeight + 4);
    painter.setPen(QPen(Colours.BoxEdge, 1.0));
    painter.setBrush(Colours.BoxFill);
    painter.drawRoundedRect(scaleBox, 4, 4);
    painter.setPen(Colours.Text);
    painter.drawText(scaleBox, Qt::AlignCenter, scaleText);

    if (!Outlines && !OutlinesError.isEmpty()) {
        const QRectF messageBox(8, 44, width() - 16, lineHeight * 2 + 8);
        painter.setBrush(Colours.BoxFill);
        painter.setPen(QPen(HomeColour, 1.0));
        painter.drawRoundedRect(messageBox, 4, 4);
        painter.setPen(Colours.Text);
        painter.drawText(messageBox.adjusted(8, 4, -8, -4), Qt::AlignLeft | Qt::TextWordWrap,
                         tr("No coastlines: %1").arg(OutlinesError));
    }
}

} // namespace ionvane::map
