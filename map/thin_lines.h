// Antialiased polylines one device pixel wide, written straight into a premultiplied ARGB32
// image: the map's spot paths, coasts, borders and field grid. QPainter's cosmetic stroker blends
// each pixel through a general span function, which made the 500 paths of a busy opening half of
// a repaint; this writer does the same blend in a few instructions a pixel.
#pragma once

#include <QColor>
#include <QPolygonF>

#include <array>

class QImage;
class QPainter;

namespace ionvane::map {

class ThinLines {
  public:
    /// A writer into the image `painter` paints on, in the painter's coordinates (its world
    /// transform included), or none (IsActive() false) where it cannot stand in for the painter:
    /// another device or format, a clip, a rotating or shearing transform, or another
    /// composition mode than source-over. The painter must not paint while lines are written.
    explicit ThinLines(QPainter &painter);

    bool IsActive() const { return Bits != nullptr; }

    /// The colour of the next lines; its alpha makes them translucent.
    void SetColour(const QColor &colour);

    /// `points` as connected segments. Each pixel column (or row, for a steep segment) the line
    /// crosses gets one pixel of ink shared between the two pixels nearest the line; the ends
    /// reach half a pixel beyond the first and last points, like a square cap.
    void DrawPolyline(const QPolygonF &points);

  private:
    void Segment(QPointF a, QPointF b, bool capStart, bool capEnd);
    // Source-over of the colour at `coverage` (0..255) onto one pixel.
    void Blend(unsigned *pixel, unsigned coverage) const {
        const unsigned source = Ink[coverage];
        *pixel = source + ByteMul(*pixel, 255U - (source >> 24));
    }
    // Each byte of the premultiplied pixel `x` times `a` / 255, rounded, two bytes at a time:
    // the arithmetic of Qt's own raster blends.
    static unsigned ByteMul(unsigned x, unsigned a) {
        unsigned t = (x & 0xff00ffU) * a;
        t = (t + ((t >> 8) & 0xff00ffU) + 0x800080U) >> 8;
        t &= 0xff00ffU;
        x = ((x >> 8) & 0xff00ffU) * a;
        x = x + ((x >> 8) & 0xff00ffU) + 0x800080U;
        x &= 0xff00ff00U;
        return x | t;
    }

    unsigned char *Bits = nullptr;
    qsizetype BytesPerLine = 0;
    int Width = 0;
    int Height = 0;
    double ScaleX = 1.0, ScaleY = 1.0, OffsetX = 0.0, OffsetY = 0.0;
    // The colour, premultiplied, at each coverage.
    std::array<unsigned, 256> Ink{};
};

} // namespace ionvane::map
