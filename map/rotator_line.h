// Where the antenna points, as the rotator reports it: a line from home on the live map.
#pragma once

#include "map_palette.h"

#include <optional>

class QPainter;

namespace ionvane::map {

/// The line's length, km: the longest single Es hop (about 2,300 km at a layer 110 km high), so it
/// reaches past every cloud the beam can work.
constexpr double RotatorLineKm = 2300.0;

/// Draws the rotator's azimuth (true bearing, degrees) as a line from home out to RotatorLineKm,
/// on a painter whose origin is home on the azimuthal equidistant plane (north up) at
/// `pixelsPerKm`; nothing without a reading.
void PaintRotatorLine(QPainter &painter, std::optional<double> azimuthDeg, double pixelsPerKm,
                      const MapPalette &colours);

} // namespace ionvane::map
