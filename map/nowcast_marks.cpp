#include "nowcast_marks.h"

#include <QLineF>
#include <QPainter>
#include <QPen>
#include <QPolygonF>

namespace ionvane::map {

void PaintNowcastHeads(QPainter &painter, const std::vector<PlaneScene::Cloud> &clouds,
                       double pixelsPerKm, const QRectF &visible, const QColor &textColour) {
    QColor faint = textColour;
    faint.setAlpha(NowcastHeadAlpha);
    QColor fill = faint;
    fill.setAlpha(NowcastHeadAlpha / 2);
    painter.setPen(QPen(faint, 1.2));
    painter.setBrush(fill);
    for (const auto &cloud : clouds) {
        if (cloud.Fading || !cloud.In15Min) {
            continue;
        }
        const QPointF at = ToPlanePixels(cloud.Centre, pixelsPerKm);
        const QPointF tip = ToPlanePixels(*cloud.In15Min, pixelsPerKm);
        const QLineF along(at, tip);
        // A nowcast on the cloud itself (zoomed far out) has no direction to show.
        if (!(along.length() >= 1.0) || !visible.contains(tip)) {
            continue;
        }
        const QPointF back = (at - tip) / along.length();
        const QPointF base = tip + back * NowcastHeadPx;
        const QPointF across(-back.y() * NowcastHeadPx * 0.5, back.x() * NowcastHeadPx * 0.5);
        painter.drawPolygon(QPolygonF{tip, base + across, base - across});
    }
}

} // namespace ionvane::map
