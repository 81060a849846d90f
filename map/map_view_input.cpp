// The map moved by hand: the wheel zooms about the cursor, a drag pans, and keys do both for
// those without a wheel.
#include "map_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace ionvane::map {

void MapView::wheelEvent(QWheelEvent *event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0) {
        return;
    }
    // Zoom about the cursor: the map point under it stays under it.
    const QPointF cursor = event->position();
    const double before = PixelsPerKm();
    const PlanePoint under{Centre.XKm + (cursor.x() - width() / 2.0) / before,
                           Centre.YKm - (cursor.y() - height() / 2.0) / before};
    const double radiusKm = std::clamp(RadiusKm * std::pow(ZoomPerWheelNotch, -notches),
                                       MinViewRadiusKm, MaxViewRadiusKm);
    const double after = std::min(width(), height()) / 2.0 / radiusKm;
    SetView({under.XKm - (cursor.x() - width() / 2.0) / after,
             under.YKm + (cursor.y() - height() / 2.0) / after},
            radiusKm);
    event->accept();
}

void MapView::mousePressEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton) {
        DragFrom = event->position();
        setCursor(Qt::ClosedHandCursor);
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void MapView::mouseMoveEvent(QMouseEvent *event) {
    if (!DragFrom) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    const QPointF delta = event->position() - *DragFrom;
    DragFrom = event->position();
    const double s = PixelsPerKm();
    SetView({Centre.XKm - delta.x() / s, Centre.YKm + delta.y() / s}, RadiusKm);
    event->accept();
}

void MapView::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton && DragFrom) {
        DragFrom.reset();
        setCursor(Qt::OpenHandCursor);
        event->accept();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void MapView::keyPressEvent(QKeyEvent *event) {
    // Keys for those without a wheel: + and - zoom, the arrows pan a tenth of the view.
    const double stepKm = RadiusKm / 5;
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        SetView(Centre, RadiusKm / ZoomPerWheelNotch);
        break;
    case Qt::Key_Minus:
        SetView(Centre, RadiusKm * ZoomPerWheelNotch);
        break;
    case Qt::Key_Left:
        SetView({Centre.XKm - stepKm, Centre.YKm}, RadiusKm);
        break;
    case Qt::Key_Right:
        SetView({Centre.XKm + stepKm, Centre.YKm}, RadiusKm);
        break;
    case Qt::Key_Up:
        SetView({Centre.XKm, Centre.YKm + stepKm}, RadiusKm);
        break;
    case Qt::Key_Down:
        SetView({Centre.XKm, Centre.YKm - stepKm}, RadiusKm);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

} // namespace ionvane::map
