// The Es MUF layer on the map: each square a translucent patch in its MUF's colour under the
// paths and clouds, and the scale with its band marks above the scale box.
#include "map_view.h"
#include "map_view_caches.h"
#include "muf_scale.h"

#include <QDateTime>
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace ionvane::map {

namespace {

// Points along each edge of a square: on this projection a parallel is a curve, and a square
// 2 degrees wide far from home bends visibly.
constexpr int StepsPerEdge = 4;
// A square's opacity, of 255: the land, coasts and borders stay readable through it.
constexpr int SquareAlpha = 120;
// A square wider than this on the plane lies near the antipode, where the projection tears it
// across the map, km (the widest square, on the equator, is 222 by 111 km).
constexpr double TornSquareKm = 2000;
// The scale bar, pixels: wide enough for its four band names, and the colours sampled along it.
constexpr double BarWidthPx = 200;
constexpr double BarHeightPx = 10;
constexpr int BarSamples = 24;
constexpr double LegendPaddingPx = 6;

QColor ColourOf(double mufMHz, int alpha) {
    const MufColour c = MufScaleColour(mufMHz);
    return QColor(c.R, c.G, c.B, alpha);
}

} // namespace

void MapView::PaintMufSquares(QPainter &painter, const SceneFrame &frame) {
    if (!Data.Muf) {
        return;
    }
    const double s = frame.PixelsPerKm;
    painter.save();
    // Unsmoothed: neighbouring squares meet without a paler seam between them.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    QPolygonF ring;
    for (const MufSquareShown &square : Data.Muf->Squares) {
        ring.clear();
        const GeoPoint corners[] = {{square.SouthDeg, square.WestDeg},
                                    {square.SouthDeg, square.EastDeg},
                                    {square.NorthDeg, square.EastDeg},
                                    {square.NorthDeg, square.WestDeg},
                                    {square.SouthDeg, square.WestDeg}};
        for (int edge = 0; edge < 4; ++edge) {
            for (int step = 0; step < StepsPerEdge; ++step) {
                const double f = static_cast<double>(step) / StepsPerEdge;
                const GeoPoint &a = corners[edge];
                const GeoPoint &b = corners[edge + 1];
                ring << ToPlanePixels(Projection.Forward({a.LatDeg + (b.LatDeg - a.LatDeg) * f,
                                                          a.LonDeg + (b.LonDeg - a.LonDeg) * f}),
                                      s);
            }
        }
        const QRectF bounds = ring.boundingRect();
        if (!bounds.intersects(frame.Visible) ||
            std::max(bounds.width(), bounds.height()) > TornSquareKm * s) {
            continue;
        }
        painter.setBrush(ColourOf(square.MufMHz, SquareAlpha));
        painter.drawPolygon(ring);
    }
    painter.restore();
}

void MapView::PaintMufLegend(QPainter &painter, const SceneFrame &frame, const QRectF &scaleBox) {
    if (!Data.Muf) {
        return;
    }
    const QFontMetricsF metrics(frame.LabelFont);
    const QString title =
        tr("Es MUF, %1 min to %2 UTC")
            .arg(Data.Muf->WindowMinutes)
            .arg(QDateTime::fromSecsSinceEpoch(Data.Muf->TimeS, Qt::UTC).toString("HH:mm"));
    const double widthPx =
        std::max(BarWidthPx, metrics.horizontalAdvance(title)) + 2 * LegendPaddingPx;
    const double heightPx =
        metrics.height() * 2 + BarHeightPx + 2 * LegendPaddingPx + LegendPaddingPx / 2;
    const QRectF box(scaleBox.right() - widthPx, scaleBox.top() - 6 - heightPx, widthPx, heightPx);
    MufLegendBox = box;
    painter.setFont(frame.LabelFont);
    painter.setPen(QPen(Colours.BoxEdge, 1.0));
    painter.setBrush(Colours.BoxFill);
    painter.drawRoundedRect(box, 4, 4);
    painter.setPen(Colours.Text);
    const QRectF titleBox(box.left() + LegendPaddingPx, box.top() + LegendPaddingPx / 2,
                          widthPx - 2 * LegendPaddingPx, metrics.height());
    painter.drawText(titleBox, Qt::AlignLeft | Qt::AlignVCenter, title);

    const double barLeft = box.left() + (widthPx - BarWidthPx) / 2;
    const QRectF bar(barLeft, titleBox.bottom() + LegendPaddingPx / 2, BarWidthPx, BarHeightPx);
    QLinearGradient gradient(bar.topLeft(), bar.topRight());
    for (int i = 0; i <= BarSamples; ++i) {
        const double at = static_cast<double>(i) / BarSamples;
        // The frequency at that share of the logarithmic scale.
        const double mufMHz = MufScaleLowMHz * std::pow(MufScaleHighMHz / MufScaleLowMHz, at);
        gradient.setColorAt(at, ColourOf(mufMHz, 255));
    }
    painter.setPen(QPen(Colours.BoxEdge, 1.0));
    painter.setBrush(gradient);
    painter.drawRect(bar);
    // Each band's lower edge marked and named under the bar.
    painter.setPen(Colours.Text);
    for (const MufScaleStop &stop : MufScaleStops()) {
        if (stop.Band == nullptr) {
            continue;
        }
        const double x = bar.left() + MufScalePosition(stop.FreqMHz) * BarWidthPx;
        painter.drawLine(QPointF(x, bar.top()), QPointF(x, bar.bottom() + 3));
        const QString name = QString::fromLatin1(stop.Band);
        const double nameWidth = metrics.horizontalAdvance(name);
        const double left = std::clamp(x - nameWidth / 2, box.left() + 2, box.right() - nameWidth);
        painter.drawText(QRectF(left, bar.bottom() + 2, nameWidth + 2, metrics.height()),
                         Qt::AlignLeft | Qt::AlignTop, name);
    }
}

} // namespace ionvane::map
