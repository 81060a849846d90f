#include "thin_lines.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

namespace ionvane::map {

namespace {

// Half a device pixel: pixel centres lie at half-integers, and a square cap reaches this far
// past an end.
constexpr double HalfPx = 0.5;
// Coordinates are clamped to this many device pixels round the image before any integer cast:
// a path point may lie thousands of pixels off screen, or be huge near the antipode.
constexpr double GuardPx = 4.0;
// Minor-axis positions along a segment are stepped in fixed point with this many fraction bits.
constexpr int FixedBits = 16;
constexpr std::int64_t FixedOne = std::int64_t{1} << FixedBits;

} // namespace

ThinLines::ThinLines(QPainter &painter) {
    QPaintDevice *device = painter.device();
    if (device == nullptr || device->devType() != QInternal::Image || painter.hasClipping() ||
        painter.compositionMode() != QPainter::CompositionMode_SourceOver) {
        return;
    }
    auto *image = static_cast<QImage *>(device);
    const QTransform transform = painter.deviceTransform();
    if (image->format() != QImage::Format_ARGB32_Premultiplied ||
        transform.type() > QTransform::TxScale || !(transform.m11() > 0) ||
        !(transform.m22() > 0)) {
        return;
    }
    // A painter holds the image it paints on alone (it detached it when it began), so asking for
    // writable bits copies nothing.
    Bits = image->bits();
    BytesPerLine = image->bytesPerLine();
    Width = image->width();
    Height = image->height();
    ScaleX = transform.m11();
    ScaleY = transform.m22();
    OffsetX = transform.dx();
    OffsetY = transform.dy();
}

void ThinLines::SetColour(const QColor &colour) {
    const unsigned premultiplied = qPremultiply(colour.rgba());
    for (unsigned coverage = 0; coverage < Ink.size(); ++coverage) {
        Ink[coverage] = ByteMul(premultiplied, coverage);
    }
}

void ThinLines::DrawPolyline(const QPolygonF &points) {
    if (!IsActive() || points.size() < 2) {
        return;
    }
    const auto toDevice = [this](QPointF p) {
        return QPointF(p.x() * ScaleX + OffsetX, p.y() * ScaleY + OffsetY);
    };
    QPointF from = toDevice(points[0]);
    for (qsizetype i = 1; i < points.size(); ++i) {
        const QPointF to = toDevice(points[i]);
        Segment(from, to, i == 1, i + 1 == points.size());
        from = to;
    }
}

// Wu's line: along the major axis one pixel of ink per column (a part of one at the ends), split
// across the minor axis between the two pixels whose centres straddle the line.
void ThinLines::Segment(QPointF a, QPointF b, bool capStart, bool capEnd) {
    double u0 = a.x();
    double v0 = a.y();
    double u1 = b.x();
    double v1 = b.y();
    const bool steep = std::fabs(v1 - v0) > std::fabs(u1 - u0);
    if (steep) {
        std::swap(u0, v0);
        std::swap(u1, v1);
    }
    if (u1 < u0) {
        std::swap(u0, u1);
        std::swap(v0, v1);
        std::swap(capStart, capEnd);
    }
    const double du = u1 - u0;
    // One sum is not finite when any of its terms is not.
    if (!(du > 0) || !std::isfinite(du + v0 + v1)) {
        return;
    }
    const int majorSize = steep ? Height : Width;
    const int minorSize = steep ? Width : Height;
    const qsizetype majorStride = steep ? BytesPerLine : qsizetype{4};
    const qsizetype minorStride = steep ? qsizetype{4} : BytesPerLine;
    const double slope = (v1 - v0) / du;
    const double lo = std::max(u0 - (capStart ? HalfPx : 0.0), -GuardPx);
    const double hi = std::min(u1 + (capEnd ? HalfPx : 0.0), majorSize + GuardPx);
    if (!(lo < hi)) {
        return;
    }
    // The minor coordinate (less half a pixel) where the line crosses the middle of major
    // column u, in 1/65536 of a pixel.
    const auto fixedAt = [&](double u) {
        const double centre = v0 + (u + HalfPx - u0) * slope - HalfPx;
        return static_cast<std::int64_t>(
            std::clamp(centre, -2.0 * minorSize - GuardPx, 2.0 * minorSize + GuardPx) * FixedOne);
    };
    const auto column = [&](int u, std::int64_t centre, unsigned ink) {
        // Arithmetic shift: rounds down below zero as well.
        const auto v = static_cast<int>(centre >> FixedBits);
        if (v < -1 || v >= minorSize) {
            return;
        }
        const auto fraction = static_cast<unsigned>(centre & (FixedOne - 1));
        const auto far = static_cast<unsigned>((ink * fraction + FixedOne / 2) >> FixedBits);
        const unsigned near = ink - far;
        unsigned char *pixel = Bits + u * majorStride + v * minorStride;
        if (v >= 0) {
            Blend(reinterpret_cast<unsigned *>(pixel), near);
        }
        if (v + 1 < minorSize) {
            Blend(reinterpret_cast<unsigned *>(pixel + minorStride), far);
        }
    };
    // lo and hi lie above -GuardPx, where a cast after adding 2 * GuardPx rounds down.
    const int floorLo = static_cast<int>(lo + 2 * GuardPx) - static_cast<int>(2 * GuardPx);
    int ceilHi = static_cast<int>(hi + 2 * GuardPx) - static_cast<int>(2 * GuardPx);
    ceilHi += ceilHi < hi ? 1 : 0;
    const int first = std::max(floorLo, 0);
    const int last = std::min(ceilHi, majorSize) - 1;
    // The end columns hold part of a pixel of ink and keep the line's ends on the segment.
    const auto endColumn = [&](int u) {
        const double left = std::max(static_cast<double>(u), lo);
        const double right = std::min(static_cast<double>(u + 1), hi);
        const double at = std::clamp((left + right) * HalfPx, u0, u1);
        column(u, fixedAt(at - HalfPx), static_cast<unsigned>((right - left) * 255.0 + HalfPx));
    };
    if (first > last) {
        return;
    }
    endColumn(first);
    if (last == first) {
        return;
    }
    // The inner columns where the line is on the image, by the minor coordinate: a segment may
    // come from far off it.
    double from = first + 1;
    double to = last - 1;
    const double top = -1.0;
    const double bottom = minorSize;
    const double lowest = std::min(v0, v1) - HalfPx;
    const double highest = std::max(v0, v1) - HalfPx;
    if (lowest > top && highest < bottom) {
        // On the image all along: most segments.
    } else if (slope == 0.0) {
        if (!(v0 - HalfPx > top - 1.0 && v0 - HalfPx < bottom)) {
            from = to + 1;
        }
    } else {
        // Columns whose middle lies where the line is at `top` and at `bottom`, less half a
        // pixel, widened by one column against rounding.
        const double atTop = u0 + (top + HalfPx - v0) / slope - HalfPx;
        const double atBottom = u0 + (bottom + HalfPx - v0) / slope - HalfPx;
        from = std::max(from, std::floor(std::min(atTop, atBottom)) - 1.0);
        to = std::min(to, std::ceil(std::max(atTop, atBottom)) + 1.0);
    }
    if (from <= to) {
        const auto step = static_cast<std::int64_t>(slope * FixedOne);
        std::int64_t centre = fixedAt(from);
        for (auto u = static_cast<int>(from); u <= static_cast<int>(to); ++u) {
            column(u, centre, 255);
            centre += step;
        }
    }
    endColumn(last);
}

} // namespace ionvane::map
