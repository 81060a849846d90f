#include "map_drawing.h"
#include "map_view.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace ionvane::map {

// Thin lines are one device pixel wide: Qt draws those with its fast line drawer, where a wider
// pen (two device pixels at 200%) goes through the path stroker, several times slower.
int PathShade(double weight) {
    const double share = (weight - FadedPathWeight) / (1.0 - FadedPathWeight);
    if (!(share > 0)) {
        return 0;
    }
    return std::min(PathShades - 1, static_cast<int>(std::lround(share * (PathShades - 1))));
}

int PathShadeAlpha(int shade) {
    const double weight =
        FadedPathWeight + (1.0 - FadedPathWeight) * shade / static_cast<double>(PathShades - 1);
    return static_cast<int>(std::lround(PathAlpha * weight));
}

QPen ThinPen(const QColor &colour, Qt::PenStyle style) {
    QPen pen(colour, 1.0, style);
    pen.setCosmetic(true);
    return pen;
}

QPointF ToPlanePixels(PlanePoint p, double pixelsPerKm) {
    return {p.XKm * pixelsPerKm, -p.YKm * pixelsPerKm};
}

// Polyline points as pixels, dropping those within `tolerancePx` of the last kept one; the last
// point always stays so that closed rings stay closed.
// Written through the polygon's data: a zoom step rescales every outline on view, and growing
// the polygon point by point checks its sharing and room each time.
QPolygonF Decimated(const std::vector<PlanePoint> &points, double pixelsPerKm, double tolerancePx) {
    QPolygonF out(static_cast<qsizetype>(points.size()));
    QPointF *kept = out.data();
    qsizetype count = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const QPointF p = ToPlanePixels(points[i], pixelsPerKm);
        if (count == 0 || i + 1 == points.size() ||
            (p - kept[count - 1]).manhattanLength() >= tolerancePx) {
            kept[count++] = p;
        }
    }
    out.resize(count);
    return out;
}

// A projected line cut where the map tears (see TearKm) and where `isCut` says a segment is no
// line on the ground.
std::vector<std::vector<PlanePoint>> ProjectLine(const AzimuthalEquidistant &projection,
                                                 const GeoLine &line, SegmentCut isCut) {
    std::vector<std::vector<PlanePoint>> pieces(1);
    for (std::size_t i = 0; i < line.size(); ++i) {
        const PlanePoint p = projection.Forward(line[i]);
        if (i > 0 && !pieces.back().empty()) {
            const PlanePoint q = pieces.back().back();
            if (std::hypot(p.XKm - q.XKm, p.YKm - q.YKm) > TearKm ||
                (isCut != nullptr && isCut(line[i - 1], line[i]))) {
                pieces.emplace_back();
            }
        }
        pieces.back().push_back(p);
    }
    std::erase_if(pieces, [](const auto &piece) { return piece.size() < 2; });
    return pieces;
}

// The outlines are cut along the date line and close Antarctica along the South Pole's edge of
// the longitude-latitude plane: those edges are on no coast.
bool IsOutlineCut(GeoPoint a, GeoPoint b) {
    const bool dateLine = std::fabs(a.LonDeg) == 180.0 && std::fabs(b.LonDeg) == 180.0;
    const bool poleEdge = a.LatDeg < -89.99 && b.LatDeg < -89.99;
    return dateLine || poleEdge;
}

// Whether `point` lies inside `ring`, taken in the longitude-latitude plane: right for the world
// outlines, whose rings never cross the date line and whose one polar ring runs along the edge.
bool RingContains(const GeoLine &ring, GeoPoint point) {
    bool inside = false;
    for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
        const GeoPoint a = ring[i];
        const GeoPoint b = ring[j];
        if ((a.LatDeg > point.LatDeg) != (b.LatDeg > point.LatDeg) &&
            point.LonDeg <
                (b.LonDeg - a.LonDeg) * (point.LatDeg - a.LatDeg) / (b.LatDeg - a.LatDeg) +
                    a.LonDeg) {
            inside = !inside;
        }
    }
    return inside;
}

GeoPoint Antipode(GeoPoint p) {
    return {-p.LatDeg, p.LonDeg > 0 ? p.LonDeg - 180.0 : p.LonDeg + 180.0};
}

QString FieldName(int lonIndex, int latIndex) {
    return QString(QChar(u'A' + lonIndex)) + QChar(u'A' + latIndex);
}

// `ring` cut to `rect` (Sutherland-Hodgman, one edge of the rectangle at a time). The cut
// leaves edges along the rectangle, which must therefore lie off screen; what is inside keeps its
// even-odd parity. A huge ring (Eurasia is 9,000 points at 1:50m) mostly off screen would
// otherwise be rasterized whole on every paint.
QPolygonF ClippedToRect(const QPolygonF &ring, const QRectF &rect) {
    QPolygonF in = ring;
    QPolygonF out;
    const auto pass = [&](auto inside, auto cross) {
        out.clear();
        for (qsizetype i = 0; i < in.size(); ++i) {
            const QPointF a = in[i];
            const QPointF b = in[(i + 1) % in.size()];
            if (inside(a)) {
                out.push_back(a);
                if (!inside(b)) {
                    out.push_back(cross(a, b));
                }
            } else if (inside(b)) {
                out.push_back(cross(a, b));
            }
        }
        std::swap(in, out);
    };
    const auto atX = [](double x) {
        return [x](QPointF a, QPointF b) {
            return QPointF(x, a.y() + (b.y() - a.y()) * (x - a.x()) / (b.x() - a.x()));
        };
    };
    const auto atY = [](double y) {
        return [y](QPointF a, QPointF b) {
            return QPointF(a.x() + (b.x() - a.x()) * (y - a.y()) / (b.y() - a.y()), y);
        };
    };
    pass([&](QPointF p) { return p.x() >= rect.left(); }, atX(rect.left()));
    pass([&](QPointF p) { return p.x() <= rect.right(); }, atX(rect.right()));
    pass([&](QPointF p) { return p.y() >= rect.top(); }, atY(rect.top()));
    pass([&](QPointF p) { return p.y() <= rect.bottom(); }, atY(rect.bottom()));
    return in;
}

Line ToScreenLine(const std::vector<PlanePoint> &points, double pixelsPerKm, double tolerancePx) {
    Line line{Decimated(points, pixelsPerKm, tolerancePx), {}};
    line.Bounds = line.Points.boundingRect();
    return line;
}

// The bounds of `points` in km with y down, as ToPlanePixels lays them out at one pixel a km.
QRectF PlaneBounds(const std::vector<PlanePoint> &points) {
    if (points.empty()) {
        return {};
    }
    double left = points[0].XKm, right = left, top = -points[0].YKm, bottom = top;
    for (const PlanePoint &p : points) {
        left = std::min(left, p.XKm);
        right = std::max(right, p.XKm);
        top = std::min(top, -p.YKm);
        bottom = std::max(bottom, -p.YKm);
    }
    return {QPointF(left, top), QPointF(right, bottom)};
}

// Whether a line with plane bounds `boundsKm` may show in `visiblePx` at `pixelsPerKm`. Its
// pixels are a subset of its points scaled, so a line this rejects would be rejected by the
// bounds of its pixels too.
bool MayShow(const QRectF &boundsKm, double pixelsPerKm, const QRectF &visiblePx) {
    const QRectF scaled(QPointF(boundsKm.left() * pixelsPerKm, boundsKm.top() * pixelsPerKm),
                        QPointF(boundsKm.right() * pixelsPerKm, boundsKm.bottom() * pixelsPerKm));
    return scaled.left() <= visiblePx.right() && scaled.right() >= visiblePx.left() &&
           scaled.top() <= visiblePx.bottom() && scaled.bottom() >= visiblePx.top();
}

// Draws `text` centred on `at` with a white halo, unless it would cover a label already placed.
bool PlaceLabel(QPainter &painter, LabelTexts &texts, const QString &text, QPointF at,
                const QColor &colour, std::vector<QRectF> &placed, QSizeF spacing) {
    const LabelText &label = texts.Get(painter.font(), painter.device()->logicalDpiY(), text);
    QRectF box = label.Box;
    box.moveCenter(at);
    const QRectF margin =
        box.adjusted(-spacing.width(), -spacing.height(), spacing.width(), spacing.height());
    for (const QRectF &other : placed) {
        if (other.intersects(margin)) {
            return false;
        }
    }
    placed.push_back(margin);
    // The halo is the text drawn white a pixel off in eight directions: glyphs come from the
    // glyph cache, where stroking the outline of the text costs a path per label.
    const QPointF topLeft(box.left(), box.top());
    painter.setPen(texts.Halo);
    for (const QPointF offset : {QPointF(-1, -1), QPointF(0, -1), QPointF(1, -1), QPointF(-1, 0),
                                 QPointF(1, 0), QPointF(-1, 1), QPointF(0, 1), QPointF(1, 1)}) {
        painter.drawStaticText(topLeft + offset, label.Text);
    }
    painter.setPen(colour);
    painter.drawStaticText(topLeft, label.Text);
    return true;
}

// One cloud patch: translucent fill in its class colour, a darker edge, dashed when fading.
void DrawCloud(QPainter &painter, QPointF at, double radiusPx, FreqClass freqClass, bool fading) {
    QColor fill = FreqClassColour(freqClass);
    const QColor edge = fill.darker(160);
    fill.setAlpha(fading ? FadingCloudAlpha : CloudAlpha);
    painter.setBrush(fill);
    painter.setPen(QPen(edge, 1.5, fading ? Qt::DashLine : Qt::SolidLine));
    painter.drawEllipse(at, radiusPx, radiusPx);
}

void DrawArrow(QPainter &painter, QPointF from, QPointF to, const QColor &colour) {
    const QLineF shaft(from, to);
    if (shaft.length() < 1.0) {
        return;
    }
    const QLineF back = QLineF(to, from).unitVector();
    const double headPx = 7.0;
    const QPointF base = to + (back.p2() - back.p1()) * headPx;
    const QPointF across(-(back.p2() - back.p1()).y() * headPx * 0.5,
                         (back.p2() - back.p1()).x() * headPx * 0.5);
    const QPolygonF head{to, base + across, base - across};
    for (const auto &[pen, brush] : {std::pair{QPen(HaloColour, 4.0), QColor(HaloColour)},
                                     std::pair{QPen(colour, 1.8), colour}}) {
        painter.setPen(pen);
        painter.setBrush(brush);
        painter.drawLine(from, base);
        painter.drawPolygon(head);
    }
}

QColor FreqClassColour(FreqClass freqClass) {
    switch (freqClass) {
    case FreqClass::Below50MHz:
        return {0x1f, 0x5f, 0xc8};
    case FreqClass::From50MHz:
        return {0x1c, 0x9a, 0x3c};
    case FreqClass::From70MHz:
        return {0xf0, 0x8a, 0x00};
    case FreqClass::From144MHz:
        return {0xd8, 0x10, 0x4a};
    }
    return Qt::black;
}

} // namespace ionvane::map
