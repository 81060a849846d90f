// The rotator's line on the live map: from home along the reported bearing, north up and east
// right, as the azimuthal equidistant plane around home lies; nothing without a reading.
#include "map/rotator_line.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace ionvane::map {
namespace {

// Whether anything was drawn at `at` (painter coordinates, home in the middle).
bool Drawn(const QImage &image, QPoint at) {
    return image.pixelColor(at + QPoint(image.width() / 2, image.height() / 2)).alpha() > 0;
}

QImage Painted(std::optional<double> azimuthDeg) {
    QImage image(200, 200, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.translate(100, 100);
    // 80 px out to the line's end: everything drawn stays inside the image.
    PaintRotatorLine(painter, azimuthDeg, 80.0 / RotatorLineKm, DayPalette());
    return image;
}

TEST(RotatorLine, RunsFromHomeAlongTheBearing) {
    const struct {
        double AzimuthDeg;
        QPoint Along;
        QPoint Opposite;
    } cases[] = {
        {0, {0, -40}, {0, 40}},   // north: up
        {90, {40, 0}, {-40, 0}},  // east: right
        {180, {0, 40}, {0, -40}}, // south: down
        {270, {-40, 0}, {40, 0}}, // west: left
    };
    for (const auto &c : cases) {
        const QImage image = Painted(c.AzimuthDeg);
        EXPECT_TRUE(Drawn(image, c.Along)) << c.AzimuthDeg;
        EXPECT_FALSE(Drawn(image, c.Opposite)) << c.AzimuthDeg;
        EXPECT_FALSE(Drawn(image, c.Along * 2.2)) << "past the line's end at " << c.AzimuthDeg;
    }
    const QImage none = Painted(std::nullopt);
    EXPECT_EQ(none, Painted(std::nullopt));
    for (const QPoint at : {QPoint(0, -40), QPoint(40, 0), QPoint(0, 40), QPoint(-40, 0)}) {
        EXPECT_FALSE(Drawn(none, at));
    }
}

} // namespace
} // namespace ionvane::map
