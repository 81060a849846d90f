// The map's legend: what the colours mean and what of the paths is drawn.
#include "map_drawing.h"
#include "map_view.h"
#include "map_view_caches.h"

#include <QLocale>
#include <QPainter>

#include <algorithm>
#include <array>

namespace ionvane::map {

std::vector<QRectF> MapView::LegendKeepClear(const std::vector<QRectF> &labels,
                                             const ScreenScene &scene, QPointF origin,
                                             double pixelsPerKm) const {
    std::vector<QRectF> keepClear;
    for (const QRectF &label : labels) {
        keepClear.push_back(label.translated(origin));
    }
    // Home, every point of the selected band's line, and its try-towards crosshair (pixels).
    keepClear.emplace_back(origin - QPointF(8, 8), QSizeF(16, 16));
    for (const Line &line : scene.SelectedLine) {
        for (const QPointF &point : line.Points) {
            keepClear.emplace_back(point + origin - QPointF(3, 3), QSizeF(6, 6));
        }
    }
    if (PlaneSceneCache && PlaneSceneCache->TryTowards) {
        const QPointF at = ToPlanePixels(*PlaneSceneCache->TryTowards, pixelsPerKm) + origin;
        keepClear.emplace_back(at - QPointF(12, 12), QSizeF(24, 24));
    }
    return keepClear;
}

void MapView::PaintLegend(QPainter &painter, std::size_t pathsNotDrawn,
                          const std::vector<QRectF> &keepClear) {
    const QFontMetricsF metrics(painter.font());
    const double lineHeight = metrics.height() + 3;
    const std::array<std::pair<FreqClass, QString>, 4> classes{{
        {FreqClass::From144MHz, tr("144 MHz and up")},
        {FreqClass::From70MHz, tr("70 to 144 MHz")},
        {FreqClass::From50MHz, tr("50 to 70 MHz")},
        {FreqClass::Below50MHz, tr("below 50 MHz")},
    }};
    enum class Swatch { Cloud, Paths, Selected, HomeLine, Count };
    struct Row {
        Swatch Kind;
        FreqClass Class;
        QString Text;
    };
    std::vector<Row> rows;
    for (const auto &[freqClass, text] : classes) {
        rows.push_back({Swatch::Cloud, freqClass, text});
    }
    rows.push_back({Swatch::Paths, FreqClass::From50MHz,
                    tr("newest %1 paths a cloud, older paler").arg(NewestPathsPerCloud)});
    if (Data.HighlightedCloudId) {
        rows.push_back(
            {Swatch::Selected, FreqClass::From50MHz, tr("all paths of the ringed cloud")});
    }
    if (Data.Selected) {
        rows.push_back({Swatch::HomeLine, FreqClass::From50MHz, tr("home's line, selected band")});
    }
    if (pathsNotDrawn > 0) {
        rows.push_back({Swatch::Count, FreqClass::From50MHz,
                        tr("paths not drawn (%1 in all)")
                            .arg(QLocale().toString(static_cast<qulonglong>(pathsNotDrawn)))});
    }
    const QString title = tr("Highest frequency");
    const double swatchWidth = 2 * lineHeight;
    double boxWidth = metrics.horizontalAdvance(title);
    for (const Row &row : rows) {
        boxWidth = std::max(boxWidth, metrics.horizontalAdvance(row.Text) + swatchWidth + 6);
    }
    const auto rowCount = static_cast<double>(rows.size() + 1);
    // Bottom left first, as maps put it; the bottom right holds the scale.
    const QSizeF size(boxWidth + 16, lineHeight * rowCount + 8);
    constexpr double MarginPx = 8;
    const std::array corners{
        QRectF(QPointF(MarginPx, height() - MarginPx - size.height()), size),
        QRectF(QPointF(MarginPx, MarginPx), size),
        QRectF(QPointF(width() - MarginPx - size.width(), MarginPx), size),
    };
    QRectF box = corners.front();
    std::size_t fewest = keepClear.size() + 1;
    for (const QRectF &corner : corners) {
        const auto covered = static_cast<std::size_t>(
            std::count_if(keepClear.begin(), keepClear.end(),
                          [&](const QRectF &r) { return r.intersects(corner); }));
        if (covered < fewest) {
            fewest = covered;
            box = corner;
        }
        if (covered == 0) {
            break;
        }
    }
    LegendBox = box;
    painter.setPen(QPen(Colours.BoxEdge, 1.0));
    painter.setBrush(Colours.BoxFill);
    painter.drawRoundedRect(box, 4, 4);
    painter.setPen(Colours.Text);
    painter.drawText(QPointF(box.left() + 8, box.top() + 4 + metrics.ascent()), title);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row &row = rows[i];
        const double top = box.top() + 4 + lineHeight * static_cast<double>(i + 1);
        const double middle = top + lineHeight / 2;
        const double left = box.left() + 8;
        switch (row.Kind) {
        case Swatch::Cloud: {
            const QRectF swatch(left, top + 2, lineHeight - 6, lineHeight - 6);
            QColor fill = FreqClassColour(row.Class);
            painter.setPen(QPen(fill.darker(160), 1.5));
            fill.setAlpha(CloudAlpha);
            painter.setBrush(fill);
            painter.drawEllipse(swatch);
            break;
        }
        case Swatch::Paths:
            // Three strokes from the palest to the newest.
            for (int shade = 0; shade < 3; ++shade) {
                QColor colour = FreqClassColour(row.Class);
                colour.setAlpha(PathShadeAlpha(shade * (PathShades - 1) / 2));
                painter.setPen(QPen(colour, 1.5));
                const double x = left + shade * swatchWidth / 3;
                painter.drawLine(QPointF(x, top + lineHeight - 4),
                                 QPointF(x + swatchWidth / 3 + 2, top + 3));
            }
            break;
        case Swatch::Selected:
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(Colours.Selected, 2.0));
            painter.drawEllipse(QRectF(left, top + 2, lineHeight - 6, lineHeight - 6));
            break;
        case Swatch::HomeLine:
            painter.setPen(QPen(Colours.Selected, 2.5, Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(QPointF(left, middle), QPointF(left + swatchWidth - 4, middle));
            break;
        case Swatch::Count:
            painter.setPen(Colours.Text);
            painter.drawText(QPointF(left, top + metrics.ascent()), "+N");
            break;
        }
        painter.setPen(Colours.Text);
        painter.drawText(QPointF(left + swatchWidth + 4, top + metrics.ascent()), row.Text);
    }
}

} // namespace ionvane::map
