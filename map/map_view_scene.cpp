// The map's scene, painted over the static layer one step at a time, bottom up: the Es MUF
// squares, paths, clouds, double-hop marks, labels, the selected band's line, home, then the
// legends and the scale in the widget's own coordinates.
#include "map_view.h"
#include "map_view_caches.h"
#include "nowcast_marks.h"
#include "plane_world.h"
#include "rotator_line.h"
#include "thin_lines.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ionvane::map {

void MapView::PaintScene(QPainter &painter) {
    const double s = PixelsPerKm();
    const double dpr = painter.device()->devicePixelRatioF();
    World(s, dpr);
    const ScreenScene &scene = Scene(s, dpr);
    const QPointF origin = PlaneOrigin();
    QFont labelFont = font();
    labelFont.setPointSizeF(std::max(labelFont.pointSizeF(), 9.0));
    const SceneFrame frame{s, dpr, QRectF(rect()).translated(-origin).adjusted(-4, -4, 4, 4),
                           labelFont};
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(origin);

    PaintMufSquares(painter, frame);
    PaintPaths(painter, scene, frame);
    PaintClouds(painter, frame);
    PaintDoubleHops(painter, scene, frame);
    PaintRotatorLine(painter, RotatorDeg, frame.PixelsPerKm, Colours);
    std::vector<QRectF> labels = PaintLabels(painter, frame);
    // Labels that are drawn wherever they fall (home's, the try-towards point's), kept clear of
    // the legend.
    std::vector<QRectF> pinned = PaintSelectedLine(painter, scene, frame);
    PaintHome(painter, frame, pinned);

    painter.resetTransform();
    labels.insert(labels.end(), pinned.begin(), pinned.end());
    const std::vector<QRectF> keepClear = LegendKeepClear(labels, scene, origin, s);
    painter.setFont(labelFont);
    std::size_t notDrawn = PathsNotDrawnElsewhere;
    for (const auto &[id, count] : PathsNotDrawn) {
        notDrawn += count;
    }
    PaintLegend(painter, notDrawn, keepClear);
    const QRectF scaleBox = PaintScale(painter, frame);
    PaintMufLegend(painter, frame, scaleBox);
    PaintOutlinesMessage(painter, frame);
}

void MapView::PaintPaths(QPainter &painter, const ScreenScene &scene, const SceneFrame &frame) {
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
                    path.Points.Bounds.intersects(frame.Visible)) {
                    if (thin.IsActive()) {
                        thin.DrawPolyline(path.Points.Points);
                    } else {
                        painter.drawPolyline(path.Points.Points);
                    }
                }
            }
        }
    }
}

void MapView::PaintClouds(QPainter &painter, const SceneFrame &frame) {
    // Clouds over the paths that placed them; the highlighted one ringed in black.
    if (!PlaneSceneCache) {
        return;
    }
    const double s = frame.PixelsPerKm;
    const double radiusPx = std::max(CloudPatchRadiusKm * s, MinCloudRadiusPx);
    for (const auto &cloud : PlaneSceneCache->Clouds) {
        const QPointF at = ToPlanePixels(cloud.Centre, s);
        if (!frame.Visible.adjusted(-radiusPx, -radiusPx, radiusPx, radiusPx).contains(at)) {
            continue;
        }
        if (radiusPx <= MaxSpriteRadiusPx) {
            const QImage &sprite =
                CloudSprite(cloud.Class, cloud.Fading, radiusPx, frame.DevicePixelRatio);
            painter.drawImage(at - QPointF(sprite.width(), sprite.height()) /
                                       (2 * frame.DevicePixelRatio),
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
    PaintNowcastHeads(painter, PlaneSceneCache->Clouds, s, frame.Visible, Colours.Text);
}

void MapView::PaintDoubleHops(QPainter &painter, const ScreenScene &scene,
                              const SceneFrame &frame) {
    // Double-hop evidence over the clouds (a reflection point within a cloud supports it): a
    // thin line in the band's colour between the two reflection points, each a small ringed dot.
    for (const auto &line : scene.HopLines) {
        if (line.Points.Bounds.intersects(frame.Visible)) {
            painter.setPen(QPen(FreqClassColour(line.Class), HopLinePx));
            painter.setBrush(Qt::NoBrush);
            painter.drawPolyline(line.Points.Points);
        }
    }
    if (!PlaneSceneCache) {
        return;
    }
    for (const auto &hop : PlaneSceneCache->Hops) {
        for (const PlanePoint &point : {hop.Near, hop.Far}) {
            const QPointF at = ToPlanePixels(point, frame.PixelsPerKm);
            if (frame.Visible.contains(at)) {
                painter.setPen(QPen(Colours.Text, 1.0));
                painter.setBrush(FreqClassColour(hop.Class));
                painter.drawEllipse(at, HopMarkRadiusPx, HopMarkRadiusPx);
            }
        }
    }
}

std::vector<QRectF> MapView::PaintLabels(QPainter &painter, const SceneFrame &frame) {
    // Labels over paths and clouds: each cloud's number (as the table and the band rows name it),
    // the paths of each cloud not drawn, the ring distances, then the fields where there is room.
    const double s = frame.PixelsPerKm;
    std::vector<QRectF> labels;
    if (PlaneSceneCache) {
        const double radiusPx = std::max(CloudPatchRadiusKm * s, MinCloudRadiusPx);
        QFont numberFont = frame.LabelFont;
        numberFont.setBold(true);
        painter.setFont(numberFont);
        for (const auto &cloud : PlaneSceneCache->Clouds) {
            const QPointF at = ToPlanePixels(cloud.Centre, s);
            if (frame.Visible.contains(at)) {
                // Above left of the patch, clear of its colour and of the "+N" below right.
                PlaceLabel(painter, *Labels, QString::number(cloud.Id),
                           at - QPointF(radiusPx, radiusPx) * 0.8, Colours.Text, labels);
            }
        }
        painter.setFont(frame.LabelFont);
        for (const auto &cloud : PlaneSceneCache->Clouds) {
            const QPointF at = ToPlanePixels(cloud.Centre, s);
            if (cloud.PathsNotDrawn > 0 && frame.Visible.contains(at)) {
                PlaceLabel(painter, *Labels, QString("+%1").arg(cloud.PathsNotDrawn),
                           at + QPointF(radiusPx, radiusPx) * 0.8, Colours.Text, labels);
            }
        }
    }
    painter.setFont(frame.LabelFont);
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
    const double labelBearingRad = RingLabelBearingDeg * std::numbers::pi / 180.0;
    const QPointF labelDirection(std::sin(labelBearingRad), -std::cos(labelBearingRad));
    for (const auto &label : ringLabels) {
        // A ring smaller than its label is left unlabelled.
        if (label.Km * s >= MinLabelledRingPx) {
            PlaceLabel(painter, *Labels, label.Text, labelDirection * label.Km * s,
                       Colours.RingText, labels);
        }
    }
    QFont fieldFont = frame.LabelFont;
    fieldFont.setBold(true);
    fieldFont.setPointSizeF(frame.LabelFont.pointSizeF() + 1.0);
    painter.setFont(fieldFont);
    if (PlaneWorldCache) {
        for (const auto &label : PlaneWorldCache->FieldLabels) {
            const QPointF at = ToPlanePixels(label.At, s);
            if (frame.Visible.contains(at)) {
                PlaceLabel(painter, *Labels, label.Text, at, Colours.FieldLabel, labels,
                           FieldLabelSpacingPx);
            }
        }
    }
    return labels;
}

std::vector<QRectF> MapView::PaintSelectedLine(QPainter &painter, const ScreenScene &scene,
                                               const SceneFrame &frame) {
    // The selected band: home, the cloud, the try-towards point.
    std::vector<QRectF> pinned;
    if (scene.SelectedLine.empty()) {
        return pinned;
    }
    for (const QPen &pen :
         {QPen(Colours.Halo, 6.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin),
          QPen(Colours.Selected, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin)}) {
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        for (const Line &line : scene.SelectedLine) {
            if (line.Bounds.intersects(frame.Visible)) {
                painter.drawPolyline(line.Points);
            }
        }
    }
    if (!PlaneSceneCache || !PlaneSceneCache->TryTowards) {
        return pinned;
    }
    const QPointF at = ToPlanePixels(*PlaneSceneCache->TryTowards, frame.PixelsPerKm);
    painter.setPen(QPen(Colours.Selected, 2.5));
    painter.setBrush(Colours.Halo);
    painter.drawEllipse(at, 6.0, 6.0);
    painter.drawLine(at - QPointF(10, 0), at + QPointF(10, 0));
    painter.drawLine(at - QPointF(0, 10), at + QPointF(0, 10));
    if (Data.Selected && !Data.Selected->Label.empty()) {
        painter.setFont(frame.LabelFont);
        const QString text = QString::fromStdString(Data.Selected->Label);
        const double widthPx = QFontMetricsF(frame.LabelFont).horizontalAdvance(text);
        // Drawn wherever it falls: placed against no other label.
        std::vector<QRectF> none;
        PlaceLabel(painter, *Labels, text, at + QPointF(widthPx / 2 + 14, -12), Colours.Selected,
                   none);
        pinned.insert(pinned.end(), none.begin(), none.end());
    }
    return pinned;
}

void MapView::PaintHome(QPainter &painter, const SceneFrame &frame, std::vector<QRectF> &pinned) {
    // Home on top of everything.
    painter.setPen(QPen(Qt::white, 2.0));
    painter.setBrush(HomeColour);
    painter.drawEllipse(QPointF(0, 0), 5.5, 5.5);
    if (HomeLabel.isEmpty()) {
        return;
    }
    QFont homeFont = frame.LabelFont;
    homeFont.setBold(true);
    painter.setFont(homeFont);
    const QFontMetricsF homeMetrics(homeFont);
    // Below right of home, or on the side away from the selected cloud so as not to hide its line.
    QPointF side(1, 1);
    if (Data.Selected) {
        const PlanePoint cloud = Projection.Forward(Data.Selected->Cloud);
        side = {cloud.XKm > 0 ? -1.0 : 1.0, cloud.YKm < 0 ? -1.0 : 1.0};
    }
    const QPointF offset(side.x() * (homeMetrics.horizontalAdvance(HomeLabel) / 2 + 10),
                         side.y() * (homeMetrics.height() / 2 + 4));
    std::vector<QRectF> none;
    PlaceLabel(painter, *Labels, HomeLabel, offset, HomeColour, none);
    pinned.insert(pinned.end(), none.begin(), none.end());
}

QRectF MapView::PaintScale(QPainter &painter, const SceneFrame &frame) {
    // Scale: the radius of the view, bottom right.
    const QFontMetricsF metrics(frame.LabelFont);
    const double lineHeight = metrics.height() + 3;
    const QString scaleText = tr("%1 km to the edge").arg(std::lround(RadiusKm));
    const QRectF scaleBox(width() - 8 - metrics.horizontalAdvance(scaleText) - 12,
                          height() - 8 - lineHeight - 4, metrics.horizontalAdvance(scaleText) + 12,
                          lineHeight + 4);
    painter.setFont(frame.LabelFont);
    painter.setPen(QPen(Colours.BoxEdge, 1.0));
    painter.setBrush(Colours.BoxFill);
    painter.drawRoundedRect(scaleBox, 4, 4);
    painter.setPen(Colours.Text);
    painter.drawText(scaleBox, Qt::AlignCenter, scaleText);
    return scaleBox;
}

void MapView::PaintOutlinesMessage(QPainter &painter, const SceneFrame &frame) {
    if (Outlines || OutlinesError.isEmpty()) {
        return;
    }
    const double lineHeight = QFontMetricsF(frame.LabelFont).height() + 3;
    const QRectF messageBox(8, 44, width() - 16, lineHeight * 2 + 8);
    painter.setFont(frame.LabelFont);
    painter.setBrush(Colours.BoxFill);
    painter.setPen(QPen(HomeColour, 1.0));
    painter.drawRoundedRect(messageBox, 4, 4);
    painter.setPen(Colours.Text);
    painter.drawText(messageBox.adjusted(8, 4, -8, -4), Qt::AlignLeft | Qt::TextWordWrap,
                     tr("No coastlines: %1").arg(OutlinesError));
}

} // namespace ionvane::map
