#include "rotator_line.h"

#include <QPainter>
#include <QPen>

#include <cmath>
#include <numbers>

namespace ionvane::map {

namespace {

// Wide enough to tell from the thin spot paths, dashed in the text colour so that it reads as a
// direction rather than a path heard or the selected band's line, px.
constexpr double LineWidthPx = 2.5;
constexpr double HaloWidthPx = 5.0;

} // namespace

void PaintRotatorLine(QPainter &painter, std::optional<double> azimuthDeg, double pixelsPerKm,
                      const MapPalette &colours) {
    if (!azimuthDeg || !std::isfinite(*azimuthDeg)) {
        return;
    }
    // On the azimuthal equidistant plane around home a great circle from home is a straight line
    // at its bearing: north up, east right.
    const double bearingRad = *azimuthDeg * std::numbers::pi / 180.0;
    const QPointF end(std::sin(bearingRad) * RotatorLineKm * pixelsPerKm,
                      -std::cos(bearingRad) * RotatorLineKm * pixelsPerKm);
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(colours.Halo, HaloWidthPx, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(0, 0), end);
    painter.setPen(QPen(colours.Text, LineWidthPx, Qt::DashLine, Qt::RoundCap));
    painter.drawLine(QPointF(0, 0), end);
    painter.restore();
}

} // namespace ionvane::map
